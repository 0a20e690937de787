// The window's care before overwriting: exported files edited in Portraits
// and a patch archive with entries are replaced only when the user says
// so; the command-line tool's dialog, which does not ask, overwrites them.
#include <filesystem>
#include <fstream>

#include "EditorTestKit.h"
#include "FileSystem.h"
#include "GameArchive.h"

namespace {

using EditorOverwriteCareTest = EditorFixture;

const TestPortrait kTvar{"TVAR", true, '1'};

void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> Edited(std::vector<uint8_t> bytes)
{
    bytes.back() ^= 0x55;
    return bytes;
}

} // namespace

TEST_F(EditorOverwriteCareTest, ExportsAskBeforeOverwritingAFileWhoseBytesDiffer)
{
    Open(MakePortraitEntries({kTvar}));
    dlg.SetAskBeforeOverwriting(true);
    const std::string large = PortraitsFile("TVARM1_LARGE.TGA");
    const std::string saved = LoadResourceString(IDS_PORTRAIT_SAVED);
    auto question = [](const std::string& path) {
        return FormatResourceString(IDS_OVERWRITE_EDITED_EXPORT, {CFileSystem::ResolvePath(path)});
    };

    // A new file, then the same bytes again: no question.
    host.Command(IDC_EXPORT);
    const std::vector<uint8_t> exported = ReadFileBytes(large);
    ASSERT_FALSE(exported.empty());
    host.Command(IDC_EXPORT);
    ASSERT_EQ(host.Messages().size(), 2u);
    EXPECT_EQ(host.Messages()[1].text.rfind(saved, 0), 0u);

    // Edited there: No, the default, keeps it; Yes overwrites it.
    WriteFileBytes(large, Edited(exported));
    host.ClearMessages();
    host.Command(IDC_EXPORT);
    ASSERT_EQ(host.Messages().size(), 2u);
    EXPECT_TRUE(host.Messages()[0].question);
    EXPECT_EQ(host.Messages()[0].text, question(large));
    EXPECT_EQ(host.Messages()[1].text, LoadResourceString(IDS_EXPORT_KEPT_FILES));
    EXPECT_EQ(ReadFileBytes(large), Edited(exported));
    host.QueueYesNoAnswer(true);
    host.Command(IDC_EXPORT);
    EXPECT_EQ(ReadFileBytes(large), exported);

    // Export All as PNG asks about the edited file alone, and writes the
    // others: one missing, one as it was.
    dlg.SetExportFormat(ExportFormat::kPng);
    host.Command(IDC_EXPORT_ALL);
    const std::string small = PortraitsFile("STVARM1_SMALL.PNG"), medium = PortraitsFile("TVARM10_MEDIUM.PNG");
    const std::vector<uint8_t> smallPng = ReadFileBytes(small);
    ASSERT_FALSE(smallPng.empty());
    WriteFileBytes(small, Edited(smallPng));
    std::filesystem::remove(medium);
    host.ClearMessages();
    host.Command(IDC_EXPORT_ALL);
    ASSERT_EQ(host.Messages().size(), 2u);
    EXPECT_EQ(host.Messages()[0].text, question(small));
    EXPECT_EQ(host.Messages()[1].text.rfind(saved, 0), 0u);
    EXPECT_EQ(ReadFileBytes(small), Edited(smallPng));
    EXPECT_TRUE(PathExists(medium));

    // Without asking, as portrait-tool runs it, the file is overwritten.
    dlg.SetAskBeforeOverwriting(false);
    host.ClearMessages();
    host.Command(IDC_EXPORT_ALL);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(ReadFileBytes(small), smallPng);
}

TEST_F(EditorOverwriteCareTest, CreateArchiveAsksBeforeReplacingAPatchWithEntriesByAnEmptyOne)
{
    Open(MakePortraitEntries({kTvar}));
    dlg.SetAskBeforeOverwriting(true);
    game->Dir().MakeFolder("PATCHES");
    const std::string patch = *game / "PATCHES/PATCH.010";
    const std::string created = LoadResourceString(IDS_ARCHIVE_CREATED);
    auto entries = [&] {
        CGameArchive archive;
        return archive.Open(patch) == CGameArchive::kOpenOk ? archive.GetEntryCount() : -1;
    };

    // Nothing to pack and no patch with entries: no question.
    host.Command(IDC_CREATE_ARCHIVE);
    host.Command(IDC_CREATE_ARCHIVE);
    EXPECT_EQ(entries(), 0);
    // Override files to pack: no question either.
    ImportInto(0, WriteTga("edit.tga", SolidTga(21, 15, 77)));
    host.Command(IDC_CREATE_ARCHIVE);
    EXPECT_EQ(entries(), 1);
    for (const CHeadlessHost::ShownMessage& m : host.Messages())
        EXPECT_EQ(m.text, created);
    const std::vector<uint8_t> packed = ReadFileBytes(patch);

    // The override file gone: No, the default, keeps the patch; Yes packs.
    std::filesystem::remove(PortraitsFile(EditorBaseName(kTvar, 'L') + ".GFX"));
    host.ClearMessages();
    host.Effects()->Clear();
    host.Command(IDC_CREATE_ARCHIVE);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_TRUE(host.Messages()[0].question);
    EXPECT_EQ(host.Messages()[0].text,
              FormatResourceString(IDS_REPLACE_PATCH_BY_EMPTY, {CFileSystem::ResolvePath(patch), "1"}));
    EXPECT_EQ(host.Effects()->Result(CommandEffects::kPack), CommandEffects::Outcome::kCancelled);
    EXPECT_EQ(ReadFileBytes(patch), packed);
    host.QueueYesNoAnswer(true);
    host.Command(IDC_CREATE_ARCHIVE);
    EXPECT_EQ(host.Messages().back().text, created);
    EXPECT_EQ(entries(), 0);

    // Without asking, as portrait-tool runs it, the patch is replaced.
    WriteFileBytes(patch, packed);
    dlg.SetAskBeforeOverwriting(false);
    host.ClearMessages();
    host.Command(IDC_CREATE_ARCHIVE);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(entries(), 0);
}
