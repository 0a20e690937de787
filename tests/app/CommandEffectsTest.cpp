// What the commands note in the headless host's record as they act: the
// files they wrote and removed, the strings they showed, and how each
// operation ended.
#include "EditorTestKit.h"
#include "FileFaults.h"
#include "FileSystem.h"

namespace {

using CommandEffectsTest = EditorFixture;
using Outcome = CommandEffects::Outcome;

TestPortrait Portrait(int mediumFrames)
{
    TestPortrait p{"TVAR", true, '1'};
    p.mediumFrames = mediumFrames;
    return p;
}

std::vector<int32_t> StringIds(const CommandEffects& effects)
{
    std::vector<int32_t> ids;
    for (const CommandEffects::Message& m : effects.messages)
        ids.push_back(m.stringId);
    return ids;
}

} // namespace

TEST_F(CommandEffectsTest, ExportAllNotesEachFileInTheOrderWritten)
{
    Open(MakePortraitEntries({Portrait(2)}));
    CommandEffects& effects = *host.Effects();
    EXPECT_TRUE(effects.messages.empty()); // a start without trouble
    effects.Clear();
    host.Command(IDC_EXPORT_ALL);
    const std::string folder = CFileSystem::ResolvePath(game->Base()) + "/Portraits/";
    EXPECT_EQ(effects.written, (std::vector<std::string>{folder + "TVARM1_LARGE.TGA", folder + "TVARM10_MEDIUM.TGA",
                                                         folder + "TVARM11_MEDIUM.TGA", folder + "STVARM1_SMALL.TGA"}));
    EXPECT_TRUE(effects.removed.empty());
    EXPECT_EQ(StringIds(effects), std::vector<int32_t>{IDS_PORTRAIT_SAVED});
    EXPECT_EQ(effects.messages[0].text, host.Messages().back().text);
    EXPECT_EQ(effects.Result(CommandEffects::kExport), Outcome::kDone);
    EXPECT_EQ(effects.Result(CommandEffects::kPack), Outcome::kNotRun);

    // A slot without a frame exports nothing.
    effects.Clear();
    host.Click(InsideSlot(11).x, InsideSlot(11).y);
    host.Command(IDC_EXPORT);
    EXPECT_TRUE(effects.written.empty());
    EXPECT_EQ(StringIds(effects), std::vector<int32_t>{IDS_NOTHING_TO_EXPORT});
    EXPECT_EQ(effects.Result(CommandEffects::kExport), Outcome::kNothing);
}

TEST_F(CommandEffectsTest, AnExportThatFailsKeepsTheOldFileAndSaysWhy)
{
    Open(MakePortraitEntries({Portrait(1)}));
    host.Command(IDC_EXPORT);
    const std::vector<uint8_t> before = ReadFileBytes(PortraitsFile("TVARM1_LARGE.TGA"));
    CommandEffects& effects = *host.Effects();
    effects.Clear();
    CFileFaults::FailNth(FileOperation::Write, 1);
    host.Command(IDC_EXPORT);
    CFileFaults::Reset();
    const std::string path = CFileSystem::ResolvePath(game->Base()) + "/Portraits/TVARM1_LARGE.TGA";
    EXPECT_EQ(ReadFileBytes(PortraitsFile("TVARM1_LARGE.TGA")), before);
    EXPECT_TRUE(effects.written.empty());
    EXPECT_TRUE(effects.removed.empty());
    EXPECT_EQ(StringIds(effects), std::vector<int32_t>{IDS_EXPORT_FAILED});
    EXPECT_NE(effects.messages[0].text.find(path + " (Input/output error)"), std::string::npos);
    EXPECT_EQ(effects.Result(CommandEffects::kExport), Outcome::kFailed);
}

TEST_F(CommandEffectsTest, ImportAndQuitNoteTheRefusalAndTheSavedOverrideFile)
{
    Open(MakePortraitEntries({Portrait(1)}));
    CommandEffects& effects = *host.Effects();
    effects.Clear();
    ImportInto(0, WriteTga("wrong.tga", SolidTga(22, 15, 77)));
    EXPECT_EQ(effects.Result(CommandEffects::kImport), Outcome::kFailed);
    EXPECT_EQ(StringIds(effects), std::vector<int32_t>{IDS_TGA_NOT_LOADED});
    EXPECT_EQ(effects.messages[0].text, host.Messages().back().text);

    effects.Clear();
    ImportInto(0, WriteTga("right.tga", SolidTga(21, 15, 77)));
    EXPECT_EQ(effects.Result(CommandEffects::kImport), Outcome::kDone);
    EXPECT_TRUE(effects.messages.empty());
    EXPECT_TRUE(effects.written.empty()); // saved only on the way out

    effects.Clear();
    host.Command(IDOK);
    EXPECT_FALSE(host.IsOpen());
    EXPECT_EQ(effects.Result(CommandEffects::kSave), Outcome::kDone);
    EXPECT_EQ(effects.written,
              std::vector<std::string>{CFileSystem::ResolvePath(game->Base()) + "/Portraits/LTVARM1.GFX"});
}

TEST_F(CommandEffectsTest, CreateArchiveGivesItsReasonFromTheStringTable)
{
    Open(MakePortraitEntries({Portrait(1)}));
    CommandEffects& effects = *host.Effects();
    effects.Clear();
    host.Command(IDC_CREATE_ARCHIVE);
    const std::string target = CFileSystem::ResolvePath(game->Base()) + "/PATCHES/PATCH.010";
    EXPECT_EQ(effects.Result(CommandEffects::kPack), Outcome::kFailed);
    EXPECT_EQ(effects.Result(CommandEffects::kSave), Outcome::kNothing);
    ASSERT_EQ(StringIds(effects), std::vector<int32_t>{IDS_PACK_FAILED});
    EXPECT_EQ(effects.messages[0].text,
              target + " could not be written. The folder PATCHES does not exist in the game directory, or it "
                       "cannot be written to (No such file or directory). An earlier PATCH.010 is left as it was.");
    EXPECT_EQ(FormatResourceString(IDS_PACK_REASON_SOURCE_UNREADABLE, {"/g/Portraits/LTVARM1.GFX"}),
              "The override file /g/Portraits/LTVARM1.GFX could not be read in full.");
    EXPECT_EQ(LoadResourceString(IDS_PACK_REASON_WRITE_FAILED), "Writing the file failed; the disk may be full.");

    game->Dir().MakeFolder("PATCHES");
    effects.Clear();
    host.Command(IDC_CREATE_ARCHIVE);
    EXPECT_EQ(effects.Result(CommandEffects::kPack), Outcome::kDone);
    EXPECT_EQ(effects.written, std::vector<std::string>{target});
    EXPECT_EQ(StringIds(effects), std::vector<int32_t>{IDS_ARCHIVE_CREATED});
}

TEST_F(CommandEffectsTest, StartUpTroubleIsNotedByItsString)
{
    Open(MakePortraitEntries(ManyPortraits(65)));
    EXPECT_EQ(StringIds(*host.Effects()), std::vector<int32_t>{IDS_TOO_MANY_PORTRAITS});
}
