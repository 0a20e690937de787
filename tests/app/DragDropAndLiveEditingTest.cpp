// Files shared with other programs: a file dropped on a slot, a slot dragged
// out as a PNG file, and Edit Externally with its watched working file.
#include <filesystem>

#include "EditorTestKit.h"
#include "FileSystem.h"

namespace {

using DragDropTest = EditorFixture;
using LiveEditingTest = EditorFixture;

TestPortrait Portrait(const char* race, int mediumFrames)
{
    TestPortrait p{race, true, '1'};
    p.mediumFrames = mediumFrames;
    return p;
}

// The index at pixel (1, 1) of an image's frame, past its left border.
int FrameIndex(const CPortraitEditorDlg& dlg, PortraitSize size, int32_t frame)
{
    const CRasterSurface* s = dlg.Image(size).GetFrameSurface(frame);
    return s && s->m_pBits ? s->m_pBits[s->m_width + 1] : -1;
}

// The one file in a folder, by its path.
std::string OnlyFile(const std::string& folder)
{
    const std::vector<std::string> names = ListFolder(folder);
    EXPECT_EQ(names.size(), 1u) << folder;
    return names.empty() ? std::string() : folder + "/" + names.front();
}

// The file that Export writes for the slot, with the format chosen now.
std::vector<uint8_t> Exported(CHeadlessHost& host, const std::string& portraits, int32_t slot)
{
    const std::string kept = portraits + "-kept";
    std::filesystem::rename(portraits, kept);
    const ClientPoint p = InsideSlot(slot);
    host.Click(p.x, p.y);
    host.Command(IDC_EXPORT);
    const std::vector<uint8_t> bytes = ReadFileBytes(OnlyFile(portraits));
    std::filesystem::remove_all(portraits);
    std::filesystem::rename(kept, portraits);
    return bytes;
}

} // namespace

TEST_F(DragDropTest, AFileDroppedOnASlotIsImportedIntoItsFrameWithTheCurrentMode)
{
    Open(MakePortraitEntries({Portrait("TVAR", 3)}));
    host.ChooseMenuItem(ID_OPTIONS_IMPORT_KEEP_INDICES);
    // Index 50 of the file shows another colour than the image's: kept, the
    // index stays and the box says how many pixels look different.
    std::vector<uint8_t> map = TestColourMap();
    map[50 * 3] ^= 0xFF;
    const std::string tga = WriteTga("frame.tga", SolidTga(11, 7, 50, map));
    host.Drop(InsideSlot(4), {tga});
    EXPECT_EQ(FrameIndex(dlg, kSizeMedium, 2), 50);
    EXPECT_EQ(FrameIndex(dlg, kSizeMedium, 1), 2);
    EXPECT_EQ(dlg.SelectedSlot(), 0);
    ASSERT_NE(host.Effects()->Find(IDS_KEPT_INDICES_RECOLOURED), nullptr);
    EXPECT_EQ(host.Effects()->Find(IDS_KEPT_INDICES_RECOLOURED)->text.substr(0, 3), "77 ");

    // Several files, or another kind, are refused with a box; a drop beside
    // the slots does nothing.
    host.Effects()->Clear();
    const std::string png = WriteTga("frame.PNG", SolidTga(11, 7, 60));
    host.Drop(InsideSlot(3), {tga, png});
    host.Drop(InsideSlot(3), {WriteTga("frame.jpg", SolidTga(11, 7, 60))});
    host.Drop({5, 5}, {tga});
    ASSERT_EQ(host.Effects()->messages.size(), 2u);
    EXPECT_EQ(host.Effects()->messages[0].stringId, IDS_DROP_ONE_FILE);
    EXPECT_EQ(host.Effects()->messages[1].stringId, IDS_DROP_ONE_FILE);
    EXPECT_EQ(FrameIndex(dlg, kSizeMedium, 1), 2);
    EXPECT_EQ(host.Effects()->Result(CommandEffects::kImport), CommandEffects::Outcome::kNotRun);
}

TEST_F(DragDropTest, ASlotDraggedOutIsExportedAsPngBelowPortraitsAndDragged)
{
    Open(MakePortraitEntries({Portrait("TVAR", 3)}));
    host.DragFrom(InsideSlot(4));
    const std::string dragged = OnlyFile(*game / "Portraits/Dragged");
    ASSERT_EQ(host.FileDrags().size(), 1u);
    EXPECT_EQ(std::filesystem::path(host.FileDrags()[0]), std::filesystem::path(dragged));
    EXPECT_EQ(host.Effects()->written.back(), host.FileDrags()[0]);
    // As Export writes the frame in PNG, under the same name.
    host.ChooseMenuItem(ID_OPTIONS_EXPORT_PNG);
    EXPECT_EQ(ReadFileBytes(dragged), Exported(host, *game / "Portraits", 4));
    const std::string exportedName = std::filesystem::path(dragged).filename().string();
    EXPECT_EQ(exportedName.substr(exportedName.size() - 4), ".PNG");

    // Nothing is dragged from beside the slots or from a slot without a frame.
    host.DragFrom({5, 5});
    host.DragFrom(InsideSlot(9));
    EXPECT_EQ(host.FileDrags().size(), 1u);
    EXPECT_EQ(ListFolder(*game / "Portraits/Dragged").size(), 1u);
}

TEST_F(LiveEditingTest, SavesOfTheWorkingFileAreTakenIntoTheFrameChosenAtTheStart)
{
    Open(MakePortraitEntries({Portrait("TVAR", 12), Portrait("QEN", 1)}));
    // MEDIUM frame 10, in slot 11 stepped on once.
    const ClientPoint stepped = InsideSlot(11);
    host.Click(stepped.x, stepped.y);
    host.Command(IDC_FRAME_NEXT);
    host.ChooseMenuItem(ID_EDIT_EXTERNALLY);
    const std::string working = OnlyFile(*game / "Portraits/Editing");
    EXPECT_EQ(std::filesystem::path(host.WatchedFile()), std::filesystem::path(working));
    EXPECT_EQ(host.OpenedFiles(), std::vector<std::string>{host.WatchedFile()});
    EXPECT_EQ(ReadFileBytes(working), Exported(host, *game / "Portraits", 11));
    EXPECT_EQ(working.substr(working.size() - 4), ".TGA");

    // The selection moves on; the saves still go to frame 10, once they
    // have settled for 300 ms after the last.
    host.Command(IDC_FRAME_PREVIOUS);
    host.Click(InsideSlot(0).x, InsideSlot(0).y);
    host.Effects()->Clear();
    auto save = [&](const std::vector<uint8_t>& bytes) {
        files.WriteFile("save.tga", bytes);
        std::filesystem::copy_file(files / "save.tga", working, std::filesystem::copy_options::overwrite_existing);
        host.ChangeWatchedFile();
    };
    save(SolidTga(11, 7, 77));
    host.AdvanceTime(200);
    save(SolidTga(11, 7, 78));
    host.AdvanceTime(299);
    EXPECT_EQ(FrameIndex(dlg, kSizeMedium, 10), 11);
    host.AdvanceTime(1);
    EXPECT_EQ(FrameIndex(dlg, kSizeMedium, 10), 78);
    EXPECT_EQ(FrameIndex(dlg, kSizeMedium, 9), 10);
    EXPECT_EQ(dlg.SelectedSlot(), 0);
    EXPECT_EQ(SlotPx(11), TestPaletteRgb(10));
    EXPECT_EQ(host.Effects()->Result(CommandEffects::kImport), CommandEffects::Outcome::kDone);

    // A save caught half-written says nothing and is tried again with the
    // next. One still settling when another portrait is shown is taken
    // first and saved with the portrait; the watch ends there.
    std::vector<uint8_t> half = SolidTga(11, 7, 79);
    half.resize(half.size() - 20);
    save(half);
    host.AdvanceTime(300);
    EXPECT_EQ(FrameIndex(dlg, kSizeMedium, 10), 78);
    save(SolidTga(11, 7, 80));
    host.Wheel(-120);
    EXPECT_EQ(dlg.CurrentPortrait(), 1);
    EXPECT_EQ(host.WatchedFile(), "");
    EXPECT_FALSE(host.HasTimer(ID_TIMER_LIVE_EDITING));
    EXPECT_TRUE(host.Effects()->messages.empty());
    host.Wheel(120);
    EXPECT_EQ(FrameIndex(dlg, kSizeMedium, 10), 80);
    save(SolidTga(11, 7, 81));
    host.AdvanceTime(300);
    EXPECT_EQ(FrameIndex(dlg, kSizeMedium, 10), 80);
}

TEST_F(LiveEditingTest, OneWorkingFileAtATimeUntilTheGameFolderCloses)
{
    Open(MakePortraitEntries({Portrait("TVAR", 3)}));
    host.ChooseMenuItem(ID_OPTIONS_EXPORT_PNG);
    // No program to open it: said, and the file is still watched.
    host.FailOpening(true);
    host.ChooseMenuItem(ID_EDIT_EXTERNALLY);
    ASSERT_NE(host.Effects()->Find(IDS_EDIT_NOT_OPENED), nullptr);
    const std::string large = host.WatchedFile();
    EXPECT_EQ(large.substr(large.size() - 4), ".PNG");

    // The same frame again opens the working file as it stands; another
    // frame takes the place of the first.
    host.FailOpening(false);
    WriteTga("large.tga", SolidTga(21, 15, 90));
    std::filesystem::copy_file(files / "large.tga", large, std::filesystem::copy_options::overwrite_existing);
    host.ChooseMenuItem(ID_EDIT_EXTERNALLY);
    EXPECT_EQ(ReadFileBytes(large), SolidTga(21, 15, 90));
    // A save of it that could not be taken is said as it ends.
    WriteTga("wrong.tga", SolidTga(5, 3, 90));
    std::filesystem::copy_file(files / "wrong.tga", large, std::filesystem::copy_options::overwrite_existing);
    host.ChangeWatchedFile();
    host.AdvanceTime(300);
    host.Effects()->Clear();
    host.Click(InsideSlot(2).x, InsideSlot(2).y);
    host.ChooseMenuItem(ID_EDIT_EXTERNALLY);
    ASSERT_EQ(host.Effects()->messages.size(), 1u);
    EXPECT_EQ(host.Effects()->messages[0].text, "The last save of\n" + large +
                                                    "\nwas not taken into the frame.\nThe file is 5 x 3; this frame is "
                                                    "21 x 15.");
    EXPECT_EQ(host.OpenedFiles().size(), 3u);
    EXPECT_NE(host.WatchedFile(), large);
    EXPECT_EQ(ListFolder(*game / "Portraits/Editing").size(), 2u);

    // Quit takes a save still settling and saves it with the portrait.
    WriteTga("small.tga", SolidTga(5, 3, 91));
    std::filesystem::copy_file(files / "small.tga", host.WatchedFile(),
                               std::filesystem::copy_options::overwrite_existing);
    host.ChangeWatchedFile();
    EXPECT_TRUE(host.HasTimer(ID_TIMER_LIVE_EDITING));
    host.Command(IDC_QUIT);
    EXPECT_FALSE(host.IsOpen());
    EXPECT_TRUE(PathExists(PortraitsFile(EditorBaseName(Portrait("TVAR", 3), 'S') + ".GFX")));
    EXPECT_EQ(host.WatchedFile(), "");
    EXPECT_FALSE(host.HasTimer(ID_TIMER_LIVE_EDITING));
}
