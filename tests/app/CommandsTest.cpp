// The commands behind the buttons: Export All, Export, Import with its file
// dialog and check box, quitting, Create Archive, and the application object.
#include <algorithm>
#include <cstring>
#include <filesystem>

#include "EditorTestKit.h"
#include "FileSystem.h"
#include "PortraitEditorApp.h"

namespace {

// One test suite per group of behaviour, all on the same fixture.
using EditorCommandsTest = EditorFixture;

const char kSaved[] = "Portrait successfully saved.";
// What message 3 names after it: the file Export wrote, or how many files
// Export All wrote into which folder.
std::string Wrote(const std::string& path)
{
    return std::string(kSaved) + "\nWritten to " + path;
}
std::string WroteFiles(int count, const std::string& folder)
{
    return std::string(kSaved) + "\n" + std::to_string(count) + " files written into " + folder;
}
const char kNotLoaded[] = "Could not load TGA. Wrong size and/or colordepth.";

TestPortrait Portrait(const char* race, int mediumFrames)
{
    TestPortrait p{race, true, '1'};
    p.mediumFrames = mediumFrames;
    return p;
}

std::vector<std::string> Sorted(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end());
    return names;
}

// How many pixels of an exported 8-bit TGA hold the index.
size_t CountIndex(const std::vector<uint8_t>& tga, uint8_t index)
{
    return static_cast<size_t>(std::count(tga.begin() + 18 + 768, tga.end(), index));
}

DialogMessage CommandMessage(int32_t id)
{
    DialogMessage m(MessageKind::Command);
    m.id = id;
    return m;
}

} // namespace

TEST_F(EditorCommandsTest, ExportAllWritesEveryFrameOfTheCurrentPortrait)
{
    Open(MakePortraitEntries({Portrait("TVAR", 3)}));
    host.Command(IDC_EXPORT_ALL);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, WroteFiles(5, *game / "Portraits"));
    EXPECT_EQ(host.Messages()[0].caption, "Info");
    EXPECT_EQ(ListFolder(*game / "Portraits"),
              Sorted({"TVARM1_LARGE.TGA", "TVARM10_MEDIUM.TGA", "TVARM11_MEDIUM.TGA", "TVARM12_MEDIUM.TGA",
                      "STVARM1_SMALL.TGA"}));

    // Each file holds its own frame at its true width: the test frames are
    // one palette index with a left column of index 0.
    const std::vector<uint8_t> large = ReadFileBytes(PortraitsFile("TVARM1_LARGE.TGA"));
    ASSERT_EQ(large.size(), 18u + 768u + 21u * 15u);
    EXPECT_EQ(large[12] | large[13] << 8, 21);
    EXPECT_EQ(large[14] | large[15] << 8, 15);
    EXPECT_TRUE(std::equal(large.begin() + 18, large.begin() + 18 + 768, TestColourMap().begin()));
    EXPECT_EQ(CountIndex(large, 1), 20u * 15u);
    const std::vector<uint8_t> medium2 = ReadFileBytes(PortraitsFile("TVARM12_MEDIUM.TGA"));
    ASSERT_EQ(medium2.size(), 18u + 768u + 11u * 7u);
    EXPECT_EQ(CountIndex(medium2, 3), 10u * 7u);
    const std::vector<uint8_t> small = ReadFileBytes(PortraitsFile("STVARM1_SMALL.TGA"));
    ASSERT_EQ(small.size(), 18u + 768u + 5u * 3u);
    EXPECT_EQ(CountIndex(small, 1), 4u * 3u);
}

TEST_F(EditorCommandsTest, ExportAllSkipsASizeThatThePortraitLacks)
{
    // Portrait 1 has no MEDIUM entry; the portrait before it has three frames.
    std::vector<TestEntry> entries = MakePortraitEntries({Portrait("TVAR", 3), Portrait("QEN", 1)});
    entries.erase(entries.begin() + 4);
    Open(entries);
    host.Wheel(-120);
    EXPECT_EQ(SlotPx(0), TestPaletteRgb(2));
    EXPECT_EQ(SlotPx(1), kBlackRgb);
    EXPECT_EQ(SlotPx(2), TestPaletteRgb(2));
    host.Command(IDC_EXPORT_ALL);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, WroteFiles(2, *game / "Portraits"));
    EXPECT_EQ(ListFolder(*game / "Portraits"), Sorted({"QENM1_LARGE.TGA", "SQENM1_SMALL.TGA"}));
}

TEST_F(EditorCommandsTest, ExportWritesTheSelectedSlotsFrame)
{
    Open(MakePortraitEntries({Portrait("TVAR", 4)}));
    const struct {
        int32_t slot;
        const char* file; // null: the slot holds no frame
        uint8_t index;
    } cases[] = {
        {0, "TVARM1_LARGE.TGA", 1}, {1, "TVARM10_MEDIUM.TGA", 1}, {2, "TVARM1_SMALL.TGA", 1},
        {5, "TVARM13_MEDIUM.TGA", 4}, {11, nullptr, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.slot);
        std::filesystem::remove_all(*game / "Portraits");
        host.ClearMessages();
        const ClientPoint p = InsideSlot(c.slot);
        host.Click(p.x, p.y);
        host.Command(IDC_EXPORT);
        ASSERT_EQ(host.Messages().size(), 1u);
        // A slot without a frame says so and writes nothing.
        if (!c.file) {
            EXPECT_EQ(host.Messages()[0].text, "This slot holds no frame of this portrait; nothing was exported.");
            EXPECT_FALSE(PathExists(*game / "Portraits"));
            continue;
        }
        EXPECT_EQ(host.Messages()[0].text, Wrote(PortraitsFile(c.file)));
        EXPECT_EQ(ListFolder(*game / "Portraits"), std::vector<std::string>{c.file});
        EXPECT_GT(CountIndex(ReadFileBytes(PortraitsFile(c.file)), c.index), 0u);
    }

    std::filesystem::remove_all(*game / "Portraits");
    host.Command(IDC_EXPORT_ALL);
    EXPECT_EQ(ListFolder(*game / "Portraits").size(), 6u);
}

TEST_F(EditorCommandsTest, ExportOfANameThatWouldLeaveThePortraitsFolderWritesNothing)
{
    // The portrait's name is "/../EVILTVARF1": taken as it is, its files
    // would land in the base directory or above it.
    std::vector<TestEntry> entries = MakePortraitEntries({Portrait("TVAR", 1)});
    for (TestEntry& e : entries)
        e.name.replace(e.name.rfind('\\') + 1, std::string::npos, "X/../EVILTVARF1.GFX");
    Open(entries);
    ASSERT_EQ(Text(IDC_FILE), "/../EVILTVARF1");
    host.Command(IDC_EXPORT_ALL);
    host.Command(IDC_EXPORT);
    EXPECT_EQ(host.Messages().size(), 2u);
    EXPECT_TRUE(ListFolder(*game / "Portraits").empty());
    EXPECT_EQ(ListFolder(game->Base()), Sorted({"DATA", "Portraits"}));
    const std::string above = std::filesystem::path(game->Base()).parent_path().string();
    EXPECT_FALSE(PathExists(above + "/EVILTVARF1_LARGE.TGA"));
    // Nor can an import into it ever be saved, so none is taken.
    host.ClearMessages();
    ImportInto(0, WriteTga("large.tga", SolidTga(21, 15, 77)));
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text,
              "The file could not be imported.\n" + LoadResourceString(IDS_REASON_CANNOT_SAVE));
    EXPECT_FALSE(dlg.Image(kSizeLarge).HasChanges());
}

TEST_F(EditorCommandsTest, ImportReplacesTheSelectedSlotsFrame)
{
    Open(MakePortraitEntries({Portrait("TVAR", 3)}));
    ImportInto(0, WriteTga("large.tga", SolidTga(21, 15, 77)));
    EXPECT_EQ(SlotPx(0), TestPaletteRgb(77));
    EXPECT_EQ(Px(10, 24), TestPaletteRgb(77)); // bottom-left pixel of the frame
    EXPECT_EQ(SlotPx(1), TestPaletteRgb(1));

    ImportInto(4, WriteTga("medium.tga", SolidTga(11, 7, 88)));
    EXPECT_EQ(SlotPx(4), TestPaletteRgb(88));
    EXPECT_EQ(SlotPx(3), TestPaletteRgb(2));
    EXPECT_EQ(SlotPx(1), TestPaletteRgb(1));
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_TRUE(dlg.Image(kSizeMedium).IsFrameChanged(2));
    EXPECT_FALSE(dlg.Image(kSizeMedium).IsFrameChanged(0));
}

TEST_F(EditorCommandsTest, ARefusedImportNamesTheKindOfFileItMetAndWhy)
{
    Open(MakePortraitEntries({Portrait("TVAR", 1)}));
    std::vector<uint8_t> wideIndices = SolidTga(21, 15, 0);
    wideIndices[16] = 16;
    wideIndices.resize(wideIndices.size() + 21 * 15, 0);
    std::vector<uint8_t> cut = SolidTga(21, 15, 77);
    cut.resize(500);
    // Message 5 for a TGA file of the wrong size or kind of pixels, as the
    // editor always said it; any other refusal names what it met, as an error.
    const std::string tgaRefused = "The TGA file could not be imported.", pngRefused = "The PNG file could not be imported.",
                      fileRefused = "The file could not be imported.";
    const struct {
        const char* what;
        std::vector<uint8_t> tga;
        std::string headline;
        const char* reason; // the line under it
    } cases[] = {
        {"one pixel wider", SolidTga(22, 15, 77), kNotLoaded, "The file is 22 x 15; this frame is 21 x 15."},
        {"one row higher", SolidTga(21, 16, 77), kNotLoaded, "The file is 21 x 16; this frame is 21 x 15."},
        {"16-bit indices", wideIndices, kNotLoaded, "This image needs a colour-mapped 8-bit TGA file."},
        {"cut short", cut, tgaRefused, "The file is cut short."},
        {"no TGA", std::vector<uint8_t>{'G', 'I', 'F', '8', '9', 'a', 21, 0, 15, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         fileRefused, "The file is neither a TGA nor a PNG file."},
        {"a PNG cut short", std::vector<uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0, 0, 0},
         pngRefused, "The PNG file is damaged or cut short."},
        {"a folder", {}, fileRefused, "The file cannot be opened."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        host.ClearMessages();
        const int paints = host.PaintCount();
        ImportInto(0, c.tga.empty() ? files.Path() : WriteTga("bad.tga", c.tga));
        ASSERT_EQ(host.Messages().size(), 1u);
        EXPECT_EQ(host.Messages()[0].text, c.headline + "\n" + c.reason);
        EXPECT_EQ(host.Messages()[0].caption, c.headline == kNotLoaded ? "Info" : "Error");
        EXPECT_GT(host.PaintCount(), paints);
        EXPECT_EQ(SlotPx(0), TestPaletteRgb(1));
    }
    // Nothing was changed, so quitting saves nothing.
    host.Command(IDOK);
    EXPECT_TRUE(ListFolder(*game / "Portraits").empty());
}

TEST_F(EditorCommandsTest, ImportFileDialogStartsInPortraitsThenAtTheLastFileImported)
{
    Open(MakePortraitEntries({Portrait("TVAR", 1)}));
    const std::string first = WriteTga("first.tga", SolidTga(21, 15, 77));
    const std::string second = WriteTga("second.tga", SolidTga(21, 15, 78));
    host.QueueOpenFileAnswer(first);
    host.Command(IDC_IMPORT);
    host.QueueOpenFileAnswer(second);
    host.Command(IDC_IMPORT);
    host.QueueOpenFileAnswer(std::nullopt);
    const int paints = host.PaintCount();
    host.Command(IDC_IMPORT);
    EXPECT_EQ(host.PaintCount(), paints); // a cancelled dialog replaces nothing to show
    EXPECT_TRUE(host.Messages().empty()); // and says nothing
    host.QueueOpenFileAnswer(first);
    host.Command(IDC_IMPORT);

    const std::vector<OpenFileRequest>& requests = host.OpenFileRequests();
    ASSERT_EQ(requests.size(), 4u);
    // The game's Portraits folder, not the game folder, then the last file
    // imported, which a cancel keeps.
    EXPECT_EQ(requests[0].initialDir, std::filesystem::current_path().string() + "/Portraits");
    EXPECT_EQ(requests[1].initialDir, first);
    EXPECT_EQ(requests[2].initialDir, second);
    EXPECT_EQ(requests[3].initialDir, second);
    for (const OpenFileRequest& r : requests) {
        ASSERT_EQ(r.filters.size(), 4u);
        EXPECT_EQ(r.filters[0].description, "Images (*.tga *.TGA *.png *.PNG)");
        EXPECT_EQ(r.filters[0].pattern, "*.tga;*.TGA;*.png;*.PNG");
        EXPECT_EQ(r.filters[1].description, "TGA-Files (*.tga *.TGA)");
        EXPECT_EQ(r.filters[1].pattern, "*.tga;*.TGA");
        EXPECT_EQ(r.filters[2].description, "PNG-Files (*.png *.PNG)");
        EXPECT_EQ(r.filters[2].pattern, "*.png;*.PNG");
        EXPECT_EQ(r.filters[3].description, "All Files (*)");
        EXPECT_EQ(r.filters[3].pattern, "*");
        EXPECT_EQ(r.filterIndex, 1);
        EXPECT_EQ(r.flags, 0x1801u);
        EXPECT_EQ(r.bufferSize, 260u);
    }
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_EQ(SlotPx(0), TestPaletteRgb(77));
}

TEST_F(EditorCommandsTest, UseTgaPaletteTakesTheFilesColours)
{
    Open(MakePortraitEntries({Portrait("TVAR", 1)}));
    // Index 77 of the file's colour map is (1, 2, 3), a colour that the
    // image palette does not hold.
    std::vector<uint8_t> map = TestColourMap();
    map[77 * 3 + 0] = 3;
    map[77 * 3 + 1] = 2;
    map[77 * 3 + 2] = 1;
    const std::string path = WriteTga("own.tga", SolidTga(21, 15, 77, map));

    // Unchecked: the pixels are re-indexed to the nearest image colour.
    ImportInto(0, path);
    bool inImagePalette = false;
    for (int i = 0; i < 256; ++i)
        inImagePalette = inImagePalette || SlotPx(0) == TestPaletteRgb(i);
    EXPECT_TRUE(inImagePalette);
    EXPECT_NE(SlotPx(0), 0x010203u);

    host.ToggleCheck(IDC_USE_TGA_PALETTE);
    ImportInto(0, path);
    EXPECT_EQ(SlotPx(0), 0x010203u);
    EXPECT_TRUE(host.Messages().empty());
}

TEST_F(EditorCommandsTest, KeptIndicesThatShowOtherColoursAreCountedInAnInfoBox)
{
    Open(MakePortraitEntries({Portrait("TVAR", 1)}));
    ImportOptions keep;
    keep.mode = ImportMode::kKeepIndices;
    dlg.SetImportOptions(keep);
    EXPECT_EQ(host.GetCheck(IDC_USE_TGA_PALETTE), 0);

    // The exported frame comes back unchanged, and nothing is said.
    host.Command(IDC_EXPORT);
    host.ClearMessages();
    ImportInto(0, PortraitsFile("TVARM1_LARGE.TGA"));
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_FALSE(dlg.Image(kSizeLarge).HasChanges());

    // Index 77 of the file's colour map is not the image's colour 77; the
    // 21 x 15 pixels keep their index and show the image's colour.
    std::vector<uint8_t> map = TestColourMap();
    map[77 * 3 + 0] ^= 0x10;
    host.Effects()->Clear();
    ImportInto(0, WriteTga("own.tga", SolidTga(21, 15, 77, map)));
    EXPECT_EQ(SlotPx(0), TestPaletteRgb(77));
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, "315 pixels now show another colour than in the file, because the image's "
                                       "palette differs from the file's at the indices they use.");
    EXPECT_EQ(host.Messages()[0].caption, "Info");
    const CommandEffects::Message* told = host.Effects()->Find(IDS_KEPT_INDICES_RECOLOURED);
    ASSERT_TRUE(told);
    EXPECT_EQ(told->text, host.Messages()[0].text);
    EXPECT_EQ(host.Effects()->Result(CommandEffects::kImport), CommandEffects::Outcome::kDone);
    EXPECT_TRUE(dlg.Image(kSizeLarge).IsFrameChanged(0));

    // A file without a colour map cannot keep indices.
    std::vector<uint8_t> grey = SolidTga(21, 15, 5, {});
    grey[1] = 0;
    grey[2] = 3;
    grey[6] = grey[7] = 0;
    host.ClearMessages();
    ImportInto(0, WriteTga("grey.tga", grey));
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, std::string(kNotLoaded) + "\n" + LoadResourceString(IDS_REASON_NEEDS_INDICES));
}

class QuitTest : public EditorFixture, public ::testing::WithParamInterface<int32_t> {};

TEST_P(QuitTest, QuittingSavesTheChangedImagesOfTheCurrentPortrait)
{
    Open(MakePortraitEntries({Portrait("TVAR", 1)}));
    ImportInto(0, WriteTga("large.tga", SolidTga(21, 15, 77)));
    ImportInto(2, WriteTga("small.tga", SolidTga(5, 3, 66)));
    EXPECT_TRUE(ListFolder(*game / "Portraits").empty());
    host.Command(GetParam());
    EXPECT_FALSE(host.IsOpen());
    EXPECT_EQ(host.Result(), GetParam());
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_EQ(ListFolder(*game / "Portraits"), Sorted({"LTVARM1.GFX", "STVARM1.GFX"}));
}

// IDOK is the Quit button (and Enter); IDCANCEL is Escape and the close box.
INSTANTIATE_TEST_SUITE_P(EditorQuit, QuitTest, ::testing::Values(IDOK, IDCANCEL),
                         [](const ::testing::TestParamInfo<int32_t>& param) {
                             return std::string(param.param == IDOK ? "QuitButton" : "EscapeOrCloseBox");
                         });

TEST_F(EditorCommandsTest, TheEscapeKeyQuitsAndSaves)
{
    Open(MakePortraitEntries({Portrait("TVAR", 1)}));
    ImportInto(0, WriteTga("large.tga", SolidTga(21, 15, 77)));
    host.Key(VK_ESCAPE);
    EXPECT_FALSE(host.IsOpen());
    EXPECT_EQ(host.Result(), IDCANCEL);
    EXPECT_EQ(ListFolder(*game / "Portraits"), Sorted({"LTVARM1.GFX"}));
}

TEST_F(EditorCommandsTest, QuittingWithoutChangesWritesNothing)
{
    Open(MakePortraitEntries(ManyPortraits(2)));
    host.Wheel(-120);
    host.Click(310, 20);
    host.Command(IDCANCEL);
    EXPECT_FALSE(host.IsOpen());
    EXPECT_TRUE(ListFolder(*game / "Portraits").empty());
}

TEST_F(EditorCommandsTest, CreateArchivePacksSavedOverridesInDirectoryOrder)
{
    // Portrait 0's entries come first in the directory, portrait 1's next,
    // then a SKULL entry whose override file exists but is never packed.
    const std::vector<TestPortrait> portraits = ManyPortraits(2);
    std::vector<TestEntry> entries = MakePortraitEntries(portraits);
    const std::string skullName = "PORTRAITS\\LARGE\\LSKULLQENM1.GFX";
    entries.push_back({skullName, entries[0].data});
    Open(entries);
    game->Dir().WriteFile("Portraits/LSKULLQENM1.GFX", MakeOverrideFile(skullName, Pattern(20)));
    game->Dir().MakeFolder("PATCHES");

    // Portrait 1's LARGE image is saved first, portrait 0's second, so that
    // neither the order of saving nor the order of names is the directory's.
    host.Wheel(-120);
    ImportInto(0, WriteTga("one.tga", SolidTga(21, 15, 91)));
    host.Wheel(120);
    ImportInto(0, WriteTga("zero.tga", SolidTga(21, 15, 90)));
    host.Wheel(-120);
    ASSERT_TRUE(host.Messages().empty());

    host.Command(IDC_CREATE_ARCHIVE);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, "Archive successfully created.");
    EXPECT_EQ(host.Messages()[0].caption, "Info");

    auto payloadOf = [&](const std::string& file, const std::string& entryName) {
        const std::vector<uint8_t> bytes = ReadFileBytes(PortraitsFile(file));
        return std::vector<uint8_t>(bytes.begin() + 19 + static_cast<long>(entryName.size()), bytes.end());
    };
    const std::string name0 = "PORTRAITS\\LARGE\\LTVARM0.GFX";
    const std::string name1 = "PORTRAITS\\LARGE\\LBOGREM0.GFX";
    // The patch names itself by its place below the base directory only.
    const std::vector<uint8_t> expected = MakePatchArchive(
        "PATCHES\\PATCH.010", {{name0, payloadOf("LTVARM0.GFX", name0)}, {name1, payloadOf("LBOGREM0.GFX", name1)}});
    EXPECT_EQ(ReadFileBytes(*game / "PATCHES/PATCH.010"), expected);
}

TEST_F(EditorCommandsTest, AChangeThatCannotBeSavedIsKeptNamedAndNeverPackedStale)
{
    const std::vector<TestPortrait> portraits = ManyPortraits(2);
    Open(MakePortraitEntries(portraits));
    game->Dir().MakeFolder("PATCHES");
    // Another program puts a folder where the LARGE override file goes after
    // the portrait was loaded: the save keeps it and says so.
    const std::string blocker = "Portraits/" + EditorBaseName(portraits[0], 'L') + ".GFX";
    game->Dir().MakeFolder(blocker);
    ImportInto(0, WriteTga("a.tga", SolidTga(21, 15, 77)));
    const std::string saveFailed = "The changed LARGE image could not be saved as\n" +
                                   CFileSystem::ResolvePath(*game / blocker) + "\n(" +
                                   LoadResourceString(IDS_REASON_REPLACED_MEANWHILE) + ").";

    // Browsing away stays on the portrait and says which image and why.
    host.ClearMessages();
    host.Wheel(-120);
    EXPECT_EQ(dlg.CurrentPortrait(), 0);
    EXPECT_EQ(Bar().position, 1);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text.rfind(saveFailed, 0), 0u) << host.Messages()[0].text;
    EXPECT_EQ(host.Messages()[0].caption, "Error");
    EXPECT_EQ(SlotPx(0), TestPaletteRgb(77));
    // Create Archive stops there too, and Quit asks, No by default.
    host.ClearMessages();
    host.Command(IDC_CREATE_ARCHIVE);
    EXPECT_FALSE(PathExists(*game / "PATCHES/PATCH.010"));
    host.Command(IDOK);
    EXPECT_TRUE(host.IsOpen());
    ASSERT_EQ(host.Messages().size(), 3u);
    EXPECT_TRUE(host.Messages()[2].question);
    EXPECT_EQ(host.Messages()[2].text, LoadResourceString(IDS_QUIT_LOSING_CHANGES));

    // With the cause gone, Create Archive saves the change first and packs it.
    std::filesystem::remove(*game / blocker);
    host.ClearMessages();
    host.Command(IDC_CREATE_ARCHIVE);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, "Archive successfully created.");
    CGameArchive patch;
    ASSERT_EQ(patch.Open(*game / "PATCHES/PATCH.010"), 1);
    ASSERT_EQ(patch.GetEntryCount(), 1);
    EXPECT_EQ(ReadFileBytes(PortraitsFile(EditorBaseName(portraits[0], 'L') + ".GFX")).size(),
              19 + std::strlen(patch.GetEntryName(0)) + patch.GetEntrySize(0));

    // Quit answered Yes leaves a change that cannot be saved.
    ImportInto(0, WriteTga("b.tga", SolidTga(21, 15, 78)));
    std::filesystem::remove(*game / blocker);
    game->Dir().MakeFolder(blocker);
    host.QueueYesNoAnswer(true);
    host.Command(IDOK);
    EXPECT_FALSE(host.IsOpen());
}

TEST_F(EditorCommandsTest, CreateArchiveWithoutPatchesFolderOffersToMakeItInTheWindowOnly)
{
    Open(MakePortraitEntries({Portrait("TVAR", 1)}));
    ImportInto(0, WriteTga("large.tga", SolidTga(21, 15, 77)));
    const std::string patches = CFileSystem::ResolvePath(game->Base()) + "/PATCHES";
    // The window offers to make it, Yes the default. No leaves everything
    // as it was, the change unsaved too.
    dlg.SetAskBeforeOverwriting(true);
    host.QueueYesNoAnswer(false);
    host.Command(IDC_CREATE_ARCHIVE);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_TRUE(host.Messages()[0].question);
    EXPECT_TRUE(host.Messages()[0].yesDefault);
    EXPECT_NE(host.Messages()[0].text.find(patches), std::string::npos);
    EXPECT_EQ(host.Effects()->Result(CommandEffects::kPack), CommandEffects::Outcome::kCancelled);
    EXPECT_EQ(ListFolder(game->Base()), Sorted({"DATA", "Portraits"}));
    EXPECT_TRUE(ListFolder(*game / "Portraits").empty());

    // Without asking (as for portrait-tool) it says so and makes nothing.
    dlg.SetAskBeforeOverwriting(false);
    host.ClearMessages();
    host.Command(IDC_CREATE_ARCHIVE);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].caption, "Error");
    // The path as the system writes paths.
    EXPECT_EQ(host.Messages()[0].text.rfind(patches + "/PATCH.010 could not be written.", 0), 0u)
        << host.Messages()[0].text;
    EXPECT_EQ(ListFolder(game->Base()), Sorted({"DATA", "Portraits"}));

    // Yes, the default, makes it and packs.
    dlg.SetAskBeforeOverwriting(true);
    host.ClearMessages();
    host.Command(IDC_CREATE_ARCHIVE);
    ASSERT_EQ(host.Messages().size(), 2u);
    EXPECT_EQ(host.Messages()[1].text, LoadResourceString(IDS_ARCHIVE_CREATED));
    EXPECT_TRUE(PathExists(patches + "/PATCH.010"));
}

TEST(EditorApp, InitInstanceRunsTheDialogOnTheHostAndReturnsFalse)
{
    const TestPortrait p = Portrait("TVAR", 1);
    GameDir game(MakePortraitEntries({p}));
    const std::vector<uint8_t> archiveBefore = game.ArchiveBytes();
    TempDir files;
    files.WriteFile("edit.tga", SolidTga(21, 15, 77));
    ScopedChdir cd(game.Base());
    {
        CScriptedHost host;
        host.QueueOpenFileAnswer(files / "edit.tga");
        host.QueueMessage(CommandMessage(IDC_IMPORT));
        CPortraitEditorApp app;
        EXPECT_FALSE(app.InitInstance(host));
        // The script ran out and the user closed the window, which saved.
        EXPECT_FALSE(host.IsOpen());
        EXPECT_EQ(host.Result(), IDCANCEL);
        EXPECT_EQ(host.OpenFileRequests().size(), 1u);
        EXPECT_TRUE(host.Messages().empty());
    }
    EXPECT_EQ(ListFolder(game / "Portraits"), std::vector<std::string>{"LTVARM1.GFX"});

    // The next run shows the saved frame.
    CHeadlessHost host;
    CPortraitEditorDlg dlg;
    host.Open(dlg);
    EXPECT_EQ(host.Canvas().GetPixel(11, 11), TestPaletteRgb(77));
    EXPECT_EQ(game.ArchiveBytes(), archiveBefore);
}
