// portrait-tool as a modder runs it: its exit statuses, what it prints, and
// the files it writes (only below Portraits and PATCHES).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "FarColour.h"
#include "PictureBytes.h"
#include "PngFile.h"
#include "RasterSurface.h"
#include "Sha256.h"
#include "ToolKit.h"

TEST(PortraitTool, UsageHelpAndVersion)
{
    ToolRun help = Tool("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("portrait-tool [--base DIR] import PORTRAIT SLOT FILE [--use-tga-palette | --mode "
                            "remap|keep|palette]\n                     [--metric classic|perceptual] [--dither] [--json]\n"),
              std::string::npos);
    EXPECT_NE(help.out.find("portrait-tool [--base DIR] export PORTRAIT SLOT [--format tga|png]\n"), std::string::npos);
    EXPECT_EQ(Tool("--version").status, 0);
    for (const char* bad : {"", "frobnicate", "list --xml", "export 1", "import 1 2", "pack now", "--base"}) {
        SCOPED_TRACE(bad);
        ToolRun r = Tool(bad);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("usage: portrait-tool"), std::string::npos);
    }
}

TEST(PortraitTool, ListsTheCatalogueAsTextAndJson)
{
    GameDir game(MakePortraitEntries(ManyPortraits(3)), false);
    ToolRun text = Tool(Base(game) + " list");
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(CountLines(text.out), 3u);
    EXPECT_NE(text.out.find("  1  Tvarran  male   0  TVARM0"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("MEDIUM #1 1x 11x7x8"), std::string::npos) << text.out;

    ToolRun json = Tool(Base(game) + " list --json");
    EXPECT_EQ(json.status, 0);
    EXPECT_NE(json.out.find("{\"index\": 1, \"race\": 1, \"raceName\": \"Bogren\", \"male\": true, \"variant\": \"0\", "
                            "\"name\": \"BOGREM0\", \"entries\": [3, 4, 5]}"),
              std::string::npos)
        << json.out;
    EXPECT_EQ(json.out.front(), '[');
    EXPECT_TRUE(PathExists(game / "Portraits")); // start-up is the dialog's
}

TEST(PortraitTool, StartUpFailuresAreReported)
{
    TempDir empty;
    ToolRun missing = Tool("--base '" + empty.Path() + "' list");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("DATA.QPK not found."), std::string::npos);
    EXPECT_TRUE(ListFolder(empty.Path()).empty()); // no Portraits left behind

    GameDir many(MakePortraitEntries(ManyPortraits(65)), false);
    ToolRun tooMany = Tool(Base(many) + " list");
    EXPECT_EQ(tooMany.status, 1);
    EXPECT_EQ(tooMany.err, "Too many portraits. \n");
    EXPECT_EQ(CountLines(tooMany.out), 64u); // the records found are still listed

    EXPECT_EQ(Tool("--base /nonexistent/folder list").status, 1);
}

TEST(PortraitTool, ExportsByNumberOrNameAndSlot)
{
    std::vector<TestPortrait> portraits = ManyPortraits(2);
    portraits[1].mediumFrames = 4;
    GameDir game(MakePortraitEntries(portraits), false);
    const std::vector<uint8_t> archive = game.ArchiveBytes();

    ToolRun all = Tool(Base(game) + " export-all 2");
    EXPECT_EQ(all.status, 0) << all.err;
    const std::string folder = game / "Portraits/";
    EXPECT_EQ(all.out, folder + "BOGREM00_MEDIUM.TGA\n" + folder + "BOGREM01_MEDIUM.TGA\n" + folder +
                           "BOGREM02_MEDIUM.TGA\n" + folder + "BOGREM03_MEDIUM.TGA\n" + folder +
                           "BOGREM0_LARGE.TGA\n" + folder + "SBOGREM0_SMALL.TGA\nPortrait successfully saved.\n");

    ToolRun one = Tool(Base(game) + " export BOGREM0 5");
    EXPECT_EQ(one.status, 0);
    EXPECT_EQ(one.out, folder + "BOGREM03_MEDIUM.TGA\nPortrait successfully saved.\n");

    // A slot whose frame the image lacks writes nothing and fails; frames
    // past slot 11 are reached by name.
    ToolRun none = Tool(Base(game) + " export 1 11");
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err, "This slot holds no frame of this portrait; nothing was exported.\n");
    EXPECT_EQ(Tool(Base(game) + " export 2 medium:4").status, 1);
    ToolRun named = Tool(Base(game) + " export 2 medium:3");
    EXPECT_EQ(named.out, folder + "BOGREM03_MEDIUM.TGA\nPortrait successfully saved.\n");
    EXPECT_EQ(Tool(Base(game) + " export 2 small").out, folder + "BOGREM0_SMALL.TGA\nPortrait successfully saved.\n");
    // An export that cannot be written says where and why, and fails.
    std::filesystem::remove(game / "Portraits/BOGREM0_LARGE.TGA");
    game.Dir().MakeFolder("Portraits/BOGREM0_LARGE.TGA");
    ToolRun blocked = Tool(Base(game) + " export 2 large");
    EXPECT_EQ(blocked.status, 1);
    EXPECT_EQ(blocked.err,
              "Nothing was exported: the file could not be written:\n" + folder + "BOGREM0_LARGE.TGA (Is a directory)\n");

    EXPECT_EQ(Tool(Base(game) + " export 3 0").status, 1);
    EXPECT_EQ(Tool(Base(game) + " export NOBODY 0").status, 1);
    EXPECT_EQ(Tool(Base(game) + " export 1 12").status, 1);
    EXPECT_EQ(Tool(Base(game) + " export 1 x").status, 1);
    EXPECT_EQ(game.ArchiveBytes(), archive);
}

TEST(PortraitTool, ImportSavesOnlyWhatFits)
{
    GameDir game(MakePortraitEntries(ManyPortraits(2)), false);
    const std::vector<uint8_t> archive = game.ArchiveBytes();
    const std::string wrong = WriteTga(game, "wrong.tga", 22, 15, 9);
    ToolRun refused = Tool(Base(game) + " import 1 0 '" + wrong + "'");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "Could not load TGA. Wrong size and/or colordepth.\nThe file is 22 x 15; this frame is 21 x 15.\n");
    EXPECT_TRUE(ListFolder(game / "Portraits").empty());

    const std::string right = WriteTga(game, "right.tga", 21, 15, 9);
    ToolRun done = Tool(Base(game) + " import 2 0 '" + right + "' --use-tga-palette");
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_EQ(done.out, game / "Portraits/LBOGREM0.GFX\n");
    EXPECT_EQ(ListFolder(game / "Portraits"), std::vector<std::string>{"LBOGREM0.GFX"});

    // The saved frame is what the next start shows.
    ToolRun again = Tool(Base(game) + " export 2 0");
    EXPECT_EQ(again.status, 0);
    CRasterSurface back;
    ASSERT_EQ(back.LoadTga(game / "Portraits/BOGREM0_LARGE.TGA"), 1);
    EXPECT_EQ(back.m_pBits[5], 9);
    EXPECT_EQ(game.ArchiveBytes(), archive);
}

TEST(PortraitTool, ExchangeOptionsAndTheirUsageErrors)
{
    for (const char* bad : {"import 1 0 f --use-tga-palette --mode keep", "import 1 0 f --mode palette --use-tga-palette",
                            "import 1 0 f --mode copy", "import 1 0 f --mode", "import 1 0 f --metric fancy",
                            "import 1 0 f --dither --dither", "import 1 0 f --format png", "export 1 0 --format bmp",
                            "export-all 1 --format", "export 1 0 --mode keep", "export-all 1 --format png --format tga",
                            "export 1 --format png 0", "import 1 0 f --Dither"}) {
        SCOPED_TRACE(bad);
        ToolRun r = Tool(bad);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("usage: portrait-tool"), std::string::npos);
    }

    GameDir game(MakePortraitEntries(ManyPortraits(2)), false);
    const std::string folder = game / "Portraits/";
    ToolRun tga = Tool(Base(game) + " export 2 0 --format tga");
    EXPECT_EQ(tga.status, 0) << tga.err;
    EXPECT_EQ(tga.out, folder + "BOGREM0_LARGE.TGA\nPortrait successfully saved.\n");
    ToolRun png = Tool(Base(game) + " export-all 2 --format png");
    EXPECT_EQ(png.status, 0) << png.err;
    EXPECT_NE(png.out.find(folder + "BOGREM0_LARGE.PNG\n"), std::string::npos);
    EXPECT_NE(png.out.find(folder + "SBOGREM0_SMALL.PNG\n"), std::string::npos);
    // The PNG comes back with its indices kept and changes nothing.
    ToolRun fromPng = Tool(Base(game) + " import 2 large '" + folder + "BOGREM0_LARGE.PNG' --mode keep");
    EXPECT_EQ(fromPng.status, 0) << fromPng.err;
    EXPECT_EQ(fromPng.out, "");

    // Kept indices whose colour the file gives otherwise are counted.
    std::vector<uint8_t> map = TestColourMap();
    map[9 * 3 + 1] ^= 0x20;
    game.Dir().WriteFile("other.tga", SolidTga(21, 15, 9, map));
    ToolRun kept = Tool(Base(game) + " import 2 0 '" + (game / "other.tga") + "' --mode keep");
    EXPECT_EQ(kept.status, 0) << kept.err;
    EXPECT_EQ(kept.out, "315 pixels now show another colour than in the file, because the image's palette differs "
                        "from the file's at the indices they use.\n" +
                            folder + "LBOGREM0.GFX\n");
    // The exported frame imported again with its indices kept changes nothing.
    ToolRun same = Tool(Base(game) + " import 2 2 '" + folder + "BOGREM0_LARGE.TGA' --mode keep");
    EXPECT_EQ(same.status, 1) << same.err; // 21 x 15 is no SMALL frame
    const std::vector<uint8_t> saved = ReadFileBytes(folder + "LBOGREM0.GFX");
    ASSERT_EQ(Tool(Base(game) + " export 2 large").status, 0);
    ToolRun unchanged = Tool(Base(game) + " import 2 0 '" + folder + "BOGREM0_LARGE.TGA' --mode keep");
    EXPECT_EQ(unchanged.status, 0) << unchanged.err;
    EXPECT_EQ(unchanged.out, "");
    EXPECT_EQ(ReadFileBytes(folder + "LBOGREM0.GFX"), saved);

    // A file without a colour map cannot keep indices; remap with the new
    // matching options and the file's palette through --mode are taken.
    std::vector<uint8_t> grey = SolidTga(21, 15, 5, {});
    grey[1] = 0;
    grey[2] = 3;
    grey[6] = grey[7] = 0;
    game.Dir().WriteFile("grey.tga", grey);
    ToolRun refused = Tool(Base(game) + " import 1 0 '" + (game / "grey.tga") + "' --mode keep");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "Could not load TGA. Wrong size and/or colordepth.\nKeeping the indices needs a file with a "
                           "colour map (an indexed file).\n");
    EXPECT_EQ(Tool(Base(game) + " import 1 0 '" + (game / "other.tga") + "' --mode remap --metric perceptual --dither")
                  .status,
              0);
    ToolRun palette = Tool(Base(game) + " import 1 2 '" + WriteTga(game, "s.tga", 5, 3, 4) + "' --mode palette");
    EXPECT_EQ(palette.status, 0) << palette.err;
    EXPECT_EQ(palette.out, folder + "STVARM0.GFX\n");
}

TEST(PortraitTool, PacksSavedOverrideFiles)
{
    GameDir game(MakePortraitEntries(ManyPortraits(1)), false);
    const std::string tga = WriteTga(game, "a.tga", 5, 3, 4);
    ASSERT_EQ(Tool(Base(game) + " import 1 2 '" + tga + "'").status, 0);

    // Without PATCHES it says how to make it, and makes nothing.
    ToolRun noFolder = Tool(Base(game) + " pack");
    EXPECT_EQ(noFolder.status, 1);
    const std::string patches = game / "PATCHES";
    EXPECT_EQ(noFolder.err, patches + ": the PATCHES folder does not exist; create it (mkdir \"" + patches +
                                "\") and run pack again.\n");
    EXPECT_FALSE(PathExists(game / "PATCHES"));

    game.Dir().MakeFolder("PATCHES");
    ToolRun packed = Tool(Base(game) + " pack");
    EXPECT_EQ(packed.status, 0);
    EXPECT_EQ(packed.out, "Archive successfully created.\n");
    CGameArchive patch;
    ASSERT_EQ(patch.Open(game / "PATCHES/PATCH.010"), 1);
    ASSERT_EQ(patch.GetEntryCount(), 1);
    EXPECT_STREQ(patch.GetEntryName(0), "PORTRAITS\\SMALL\\STVARM0.GFX");
}

TEST(PortraitTool, MakesADemoGameOnlyWhereThereIsNone)
{
    TempDir dir;
    const std::string demo = dir / "demo";
    ToolRun made = Tool("make-demo '" + demo + "'");
    EXPECT_EQ(made.status, 0) << made.err;
    EXPECT_TRUE(PathExists(demo + "/PATCHES"));
    ToolRun listed = Tool("--base '" + demo + "' list");
    EXPECT_EQ(listed.status, 0);
    EXPECT_GE(CountLines(listed.out), 40u);
    EXPECT_EQ(Tool("make-demo '" + demo + "'").status, 1);
}

TEST(PortraitTool, FoldersPipesAndHostileImagesNeitherStopNorHoldTheTool)
{
    // Three images whose frames claim 16,000 x 16,000 pixels from a few bytes.
    std::vector<TestEntry> entries = MakePortraitEntries(ManyPortraits(2));
    const std::vector<TestFrame> huge(12, TestFrame{16000, 16000, {}, {0x81, 0, 0x81, 0}});
    for (size_t i = 3; i < 6; ++i)
        entries[i].data = MakePaletteImage(std::vector<uint8_t>(768, 7), huge);
    GameDir game(entries, false);
    game.Dir().MakeFolder("Portraits");
    game.Dir().MakeFolder("Portraits/LTVARM0.GFX"); // where portrait 1's LARGE override file belongs
    ASSERT_EQ(::mkfifo((game / "Portraits/STVARM0.GFX").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((game / "pipe.tga").c_str(), 0600), 0);

    ToolRun listed = Tool(Base(game) + " list");
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(CountLines(listed.out), 2u);

    // Neither is used: the archive's images are, as the tool says once
    // each. The import's save moves the folder aside, whole.
    EXPECT_NE(listed.err.find(game / "Portraits/LTVARM0.GFX is damaged and not used: it is not a regular file."),
              std::string::npos)
        << listed.err;
    const std::string tga = WriteTga(game, "a.tga", 21, 15, 9);
    ToolRun saved = Tool(Base(game) + " import 1 0 '" + tga + "'");
    EXPECT_EQ(saved.status, 0) << saved.err;
    EXPECT_EQ(CountLines(saved.err), 2u) << saved.err;
    EXPECT_TRUE(std::filesystem::is_regular_file(game / "Portraits/LTVARM0.GFX"));
    const std::vector<std::string> reverted = ListFolder(game / "Portraits/Reverted");
    ASSERT_EQ(reverted.size(), 1u);
    EXPECT_TRUE(std::filesystem::is_directory(game / ("Portraits/Reverted/" + reverted[0])));

    // A FIFO is no file to import, and neither is a folder.
    for (const std::string& notFile : {game / "pipe.tga", game / "Portraits"}) {
        ToolRun refused = Tool(Base(game) + " import 1 2 '" + notFile + "'");
        EXPECT_EQ(refused.status, 1);
        const std::string refusal = "The file could not be imported.\nThe file cannot be opened.\n";
        EXPECT_EQ(refused.err.substr(refused.err.size() - std::min(refused.err.size(), refusal.size())), refusal);
    }
    EXPECT_EQ(ListFolder(game / "Portraits"), (std::vector<std::string>{"LTVARM0.GFX", "Reverted", "STVARM0.GFX"}));
}

TEST(PortraitTool, EachFailingWriteFlushSyncOrRenameExitsOneAndKeepsTheOldFiles)
{
    GameDir game(MakePortraitEntries(ManyPortraits(1)), false);
    game.Dir().MakeFolder("PATCHES");
    const std::string first = WriteTga(game, "a.tga", 21, 15, 9);
    const std::string second = WriteTga(game, "b.tga", 21, 15, 4);
    ASSERT_EQ(Tool(Base(game) + " import 1 0 '" + first + "'").status, 0);
    ASSERT_EQ(Tool(Base(game) + " pack").status, 0);
    const std::vector<uint8_t> override = ReadFileBytes(game / "Portraits/LTVARM0.GFX");
    const std::vector<uint8_t> patch = ReadFileBytes(game / "PATCHES/PATCH.010");

    // The n-th operation of a kind fails, for every n until the command has
    // no n-th one and succeeds.
    auto sweep = [&](const std::string& command, const std::string& kind) -> int {
        for (int n = 1;; ++n) {
            SCOPED_TRACE(command + ", " + kind + " " + std::to_string(n));
            if (n == 100) {
                ADD_FAILURE() << "the command never succeeded";
                return n;
            }
            const ToolRun run = Tool(Base(game) + " " + command, "TV_FILE_FAULT=" + kind + ":" + std::to_string(n));
            if (run.status == 0)
                return n;
            EXPECT_EQ(run.status, 1) << run.err;
            EXPECT_FALSE(run.err.empty());
            EXPECT_EQ(ReadFileBytes(game / "Portraits/LTVARM0.GFX"), override);
            EXPECT_EQ(ReadFileBytes(game / "PATCHES/PATCH.010"), patch);
            EXPECT_EQ(ListFolder(game / "Portraits"), std::vector<std::string>{"LTVARM0.GFX"});
            EXPECT_EQ(ListFolder(game / "PATCHES"), std::vector<std::string>{"PATCH.010"});
        }
    };
    for (const char* kind : {"write", "flush", "sync", "rename"}) {
        // The pack that finally succeeds writes the same patch again.
        EXPECT_GT(sweep("pack", kind), 1);
        EXPECT_EQ(ReadFileBytes(game / "PATCHES/PATCH.010"), patch);
    }
    for (const char* kind : {"write", "flush", "sync", "rename"}) {
        EXPECT_GT(sweep("import 1 0 '" + second + "'", kind), 1);
        // The import that succeeded is undone for the next kind.
        ASSERT_EQ(Tool(Base(game) + " import 1 0 '" + first + "'").status, 0);
        ASSERT_EQ(ReadFileBytes(game / "Portraits/LTVARM0.GFX"), override);
    }
}


TEST(PortraitTool, CatalogueCommandsInHelpAndTheirUsageErrors)
{
    ToolRun help = Tool("--help");
    for (const char* line : {"portrait-tool [--base DIR] status [--json]\n",
                             "portrait-tool [--base DIR] validate [--json]\n",
                             "portrait-tool [--base DIR] revert PORTRAIT [large|medium|small]\n",
                             "portrait-tool [--base DIR] pack [--dry-run] [--json]\n",
                             "2 wrong usage, 3\nvalidate found problems.\n"})
        EXPECT_NE(help.out.find(line), std::string::npos) << line;
    GameDir game(MakePortraitEntries(ManyPortraits(1)), false);
    for (const char* bad : {"status --xml", "validate now", "revert", "revert 1 huge", "revert 1 large more",
                            "pack --dry-run --dry-run", "status --json --json"}) {
        SCOPED_TRACE(bad);
        ToolRun r = Tool(Base(game) + " " + bad);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("usage: portrait-tool"), std::string::npos);
    }
    EXPECT_EQ(Tool(Base(game) + " revert 7").status, 1);
}

TEST(PortraitTool, StatusValidateAndRevert)
{
    const std::vector<TestPortrait> cast = ManyPortraits(2);
    GameDir game(MakePortraitEntries(cast), false);
    game.Dir().MakeFolder("Portraits");
    PutOverride(game, cast[0], "LARGE", {PatternFrame(21, 15)});
    game.Dir().MakeFolder("Portraits/M" + TestPortraitName(cast[0]) + ".GFX");

    ToolRun status = Tool(Base(game) + " status");
    EXPECT_EQ(status.status, 0) << status.err;
    EXPECT_EQ(CountLines(status.out), 6u);
    EXPECT_NE(status.out.find("  1  TVARM0           LARGE   override\n"
                              "  1  TVARM0           MEDIUM  invalid override\n"
                              "  1  TVARM0           SMALL   original\n"),
              std::string::npos)
        << status.out;
    ToolRun json = Tool(Base(game) + " status --json");
    EXPECT_NE(json.out.find("{\"index\": 0, \"name\": \"TVARM0\", \"images\": [{\"size\": \"LARGE\", \"status\": "
                            "\"override\", \"file\": \"" + game / "Portraits/LTVARM0.GFX\"}, {\"size\": \"MEDIUM\", "
                            "\"status\": \"invalid override\", \"file\": \"" + game / "Portraits/MTVARM0.GFX\"}, "
                            "{\"size\": \"SMALL\", \"status\": \"original\"}]}"),
              std::string::npos)
        << json.out;

    // The folder is not a file; a SMALL image of another size is used, with
    // a warning.
    PutOverride(game, cast[1], "SMALL", {PatternFrame(5, 4)});
    ToolRun faults = Tool(Base(game) + " validate");
    EXPECT_EQ(faults.status, 3) << faults.err;
    EXPECT_EQ(faults.out, game / "Portraits/MTVARM0.GFX: it is not a regular file\n" + game /
                              "Portraits/SBOGREM0.GFX: warning: frame 0 is 5 x 4, the archive's 5 x 3\n"
                              "1 problem found in the override files (damaged files are not used); 1 warning.\n");
    ToolRun faultsJson = Tool(Base(game) + " validate --json");
    EXPECT_EQ(faultsJson.status, 3);
    EXPECT_EQ(faultsJson.out.rfind("{\"checked\": 3, \"valid\": false, \"problems\": [\n  {\"file\": ", 0), 0u)
        << faultsJson.out;
    EXPECT_NE(faultsJson.out.find("\"warnings\": [\n  {\"file\": "), std::string::npos) << faultsJson.out;

    // Reverting moves the files aside, bytes and all; what is left is valid.
    const std::vector<uint8_t> large = ReadFileBytes(game / "Portraits/LTVARM0.GFX");
    ToolRun reverted = Tool(Base(game) + " revert TVARM0");
    EXPECT_EQ(reverted.status, 0) << reverted.err;
    EXPECT_EQ(CountLines(reverted.out), 2u) << reverted.out;
    const std::vector<std::string> moved = ListFolder(game / "Portraits/Reverted");
    ASSERT_EQ(moved.size(), 2u);
    EXPECT_EQ(moved[0].rfind("LTVARM0.GFX.", 0), 0u);
    EXPECT_EQ(moved[0].size(), std::string("LTVARM0.GFX.20261209T060000Z").size());
    EXPECT_EQ(ReadFileBytes(game / ("Portraits/Reverted/" + moved[0])), large);
    EXPECT_NE(reverted.out.find(game / "Portraits/LTVARM0.GFX -> " + game / ("Portraits/Reverted/" + moved[0])),
              std::string::npos);
    EXPECT_EQ(Tool(Base(game) + " revert 2 large").out, "BOGREM0 has no override files; nothing was moved.\n");
    EXPECT_EQ(Tool(Base(game) + " revert 2 small").status, 0);
    ToolRun clean = Tool(Base(game) + " validate");
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.out, "All override files are valid.\n");
    EXPECT_EQ(Tool(Base(game) + " status").out.find("override"), std::string::npos);
}

TEST(PortraitTool, PackDryRunWritesNothingAndListsWhatPackWrites)
{
    const std::vector<TestPortrait> cast = ManyPortraits(2);
    GameDir game(MakePortraitEntries(cast), false);
    game.Dir().MakeFolder("Portraits");
    game.Dir().MakeFolder("PATCHES");
    PutOverride(game, cast[1], "MEDIUM", {PatternFrame(11, 7)});
    PutOverride(game, cast[0], "SMALL", {PatternFrame(5, 3)});
    ASSERT_EQ(Tool(Base(game) + " list").status, 0); // start-up's own writes done

    const auto before = Snapshot(game.Base());
    ToolRun dry = Tool(Base(game) + " pack --dry-run");
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(dry.out, "PORTRAITS\\SMALL\\STVARM0.GFX <- " + game / "Portraits/STVARM0.GFX\n" +
                           "PORTRAITS\\MEDIUM\\MBOGREM0.GFX <- " + game / "Portraits/MBOGREM0.GFX\n" +
                           "Would pack 2 entries into " + game / "PATCHES/PATCH.010.\n");
    ToolRun dryJson = Tool(Base(game) + " pack --json --dry-run");
    EXPECT_EQ(dryJson.status, 0);
    EXPECT_NE(dryJson.out.find("\"written\": false, \"entries\": [\n  {\"entry\": "
                               "\"PORTRAITS\\\\SMALL\\\\STVARM0.GFX\", \"file\": \"" +
                               game / "Portraits/STVARM0.GFX\"},"),
              std::string::npos)
        << dryJson.out;
    EXPECT_EQ(Snapshot(game.Base()), before);

    ToolRun packed = Tool(Base(game) + " pack --json");
    EXPECT_EQ(packed.status, 0) << packed.err;
    EXPECT_NE(packed.out.find("\"written\": true"), std::string::npos);
    CGameArchive patch;
    ASSERT_EQ(patch.Open(game / "PATCHES/PATCH.010"), 1);
    ASSERT_EQ(patch.GetEntryCount(), 2);
    EXPECT_STREQ(patch.GetEntryName(0), "PORTRAITS\\SMALL\\STVARM0.GFX");
    EXPECT_STREQ(patch.GetEntryName(1), "PORTRAITS\\MEDIUM\\MBOGREM0.GFX");
}

namespace {

std::string FileSha(const std::string& path)
{
    return Sha256Hex(ReadFileBytes(path));
}

// The manifest's line for a file, with the digest of the file's bytes.
std::string ManifestEntry(const std::string& out, const char* size, int frame, const std::string& path, int width,
                          int height)
{
    return "{\"size\": \"" + std::string(size) + "\", \"frame\": " + std::to_string(frame) + ", \"path\": \"" + path +
           "\", \"width\": " + std::to_string(width) + ", \"height\": " + std::to_string(height) +
           ", \"depth\": 8, \"sha256\": \"" + FileSha(out + "/" + path) + "\"}";
}

size_t Occurrences(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

std::string ReadText(const std::string& path)
{
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

TEST(PortraitTool, ExportCatalogueWritesEveryFrameAndItsManifest)
{
    std::vector<TestPortrait> cast = ManyPortraits(2);
    cast[1].mediumFrames = 3;
    GameDir game(MakePortraitEntries(cast), false);
    const std::string out = game / "out/catalogue"; // created with its parent

    ToolRun run = Tool(Base(game) + " export-catalogue '" + out + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(CountLines(run.out), 8u + 1u) << run.out;
    EXPECT_NE(run.out.find("8 files and " + out + "/manifest.json written, 0 failed.\n"), std::string::npos);
    const std::string manifest = ReadText(out + "/manifest.json");
    std::string archiveSha;
    uint64_t archiveSize = 0;
    ASSERT_TRUE(Sha256OfFile(game / "DATA/DATA.QPK", archiveSha, archiveSize));
    const std::string archive = "{\"format\": \"thornvale-portraits\", \"version\": 2, \"archive\": {\"size\": " +
                                std::to_string(archiveSize) +
                                ", \"digestOf\": \"header-directory-portraits\", \"sha256\": \"";
    EXPECT_EQ(manifest.rfind(archive, 0), 0u) << manifest;
    EXPECT_EQ(manifest.find("\"}, \"portraits\": [\n  {\"index\": 0, \"name\": \"TVARM0\", \"race\": 0, "),
              archive.size() + 64)
        << manifest;
    EXPECT_EQ(manifest.find(archiveSha), std::string::npos); // not the whole file's
    EXPECT_NE(manifest.find("{\"index\": 1, \"name\": \"BOGREM0\""), std::string::npos);
    EXPECT_EQ(Occurrences(manifest, "\"path\": "), 8u);
    for (const std::string& entry :
         {ManifestEntry(out, "LARGE", 0, "TVARM0/TVARM0_LARGE.PNG", 21, 15),
          ManifestEntry(out, "MEDIUM", 0, "TVARM0/TVARM00_MEDIUM.PNG", 11, 7),
          ManifestEntry(out, "SMALL", 0, "TVARM0/TVARM0_SMALL.PNG", 5, 3),
          ManifestEntry(out, "LARGE", 0, "BOGREM0/BOGREM0_LARGE.PNG", 21, 15),
          ManifestEntry(out, "MEDIUM", 0, "BOGREM0/BOGREM00_MEDIUM.PNG", 11, 7),
          ManifestEntry(out, "MEDIUM", 1, "BOGREM0/BOGREM01_MEDIUM.PNG", 11, 7),
          ManifestEntry(out, "MEDIUM", 2, "BOGREM0/BOGREM02_MEDIUM.PNG", 11, 7),
          ManifestEntry(out, "SMALL", 0, "BOGREM0/BOGREM0_SMALL.PNG", 5, 3)})
        EXPECT_NE(manifest.find(entry), std::string::npos) << entry << "\n" << manifest;

    // Each file is what a single export of its frame writes.
    for (const auto& [slot, file] : std::vector<std::pair<std::string, std::string>>{
             {"large", "BOGREM0_LARGE.PNG"}, {"medium:2", "BOGREM02_MEDIUM.PNG"}, {"small", "BOGREM0_SMALL.PNG"}}) {
        ASSERT_EQ(Tool(Base(game) + " export 2 " + slot + " --format png").status, 0);
        EXPECT_EQ(ReadFileBytes(out + "/BOGREM0/" + file), ReadFileBytes(game / ("Portraits/" + file))) << file;
    }

    // A second export is refused and changes nothing; --force writes again,
    // here from an override file.
    const auto before = Snapshot(out);
    ToolRun refused = Tool(Base(game) + " export-catalogue '" + out + "'");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("holds a manifest already"), std::string::npos) << refused.err;
    EXPECT_EQ(Snapshot(out), before);
    PutOverride(game, cast[0], "LARGE", {PatternFrame(21, 15)});
    ToolRun forced = Tool(Base(game) + " export-catalogue '" + out + "' --force --json");
    ASSERT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(forced.out.rfind("{\"outDir\": \"" + out + "\", \"manifest\": \"" + out + "/manifest.json\", "
                               "\"written\": [\n  {\"path\": \"TVARM0/TVARM0_LARGE.PNG\", \"portrait\": 0, "
                               "\"size\": \"LARGE\", \"frame\": 0, \"width\": 21, \"height\": 15, \"depth\": 8, ",
                               0),
              0u)
        << forced.out;
    EXPECT_EQ(forced.out.substr(forced.out.size() - 17), "], \"failed\": []}\n");
    EXPECT_EQ(Occurrences(forced.out, "\"sha256\": \""), 8u);
    EXPECT_NE(ReadFileBytes(out + "/TVARM0/TVARM0_LARGE.PNG"), before.at(out + "/TVARM0/TVARM0_LARGE.PNG"));
    ASSERT_EQ(Tool(Base(game) + " export 1 large --format png").status, 0);
    EXPECT_EQ(ReadFileBytes(out + "/TVARM0/TVARM0_LARGE.PNG"), ReadFileBytes(game / "Portraits/TVARM0_LARGE.PNG"));
    EXPECT_NE(ReadText(out + "/manifest.json").find(FileSha(out + "/TVARM0/TVARM0_LARGE.PNG")), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(out + "/manifest.json.part"));
}

TEST(PortraitTool, ExportCatalogueAsTgaAndItsUsageAndFailures)
{
    GameDir game(MakePortraitEntries(ManyPortraits(1)), false);
    const std::string out = game / "tga";
    ToolRun run = Tool(Base(game) + " export-catalogue '" + out + "' --format tga");
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(Tool(Base(game) + " export 1 medium:0").status, 0);
    EXPECT_EQ(ReadFileBytes(out + "/TVARM0/TVARM00_MEDIUM.TGA"), ReadFileBytes(game / "Portraits/TVARM00_MEDIUM.TGA"));
    EXPECT_NE(ReadText(out + "/manifest.json").find("\"path\": \"TVARM0/TVARM0_SMALL.TGA\""), std::string::npos);

    EXPECT_NE(Tool("--help").out.find(
                  "portrait-tool [--base DIR] export-catalogue OUTDIR [--format png|tga] [--force] [--json]\n"),
              std::string::npos);
    for (const char* bad : {"export-catalogue", "export-catalogue --json", "export-catalogue x --format gif",
                            "export-catalogue x --force --force", "export-catalogue x y"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(Tool(Base(game) + " " + bad).status, 2);
    }
    // A file that cannot be written fails the export; the manifest names
    // only the files that are there.
    const std::string blocked = game / "blocked";
    game.Dir().MakeFolder("blocked/TVARM0/TVARM0_SMALL.PNG");
    ToolRun failed = Tool(Base(game) + " export-catalogue '" + blocked + "'");
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.err.find("TVARM0/TVARM0_SMALL.PNG: cannot be written"), std::string::npos) << failed.err;
    EXPECT_EQ(Occurrences(ReadText(blocked + "/manifest.json"), "\"path\": "), 2u);
}

TEST(PortraitTool, ImportCatalogueTakesTheChangedFilesAndSaysWhatItDid)
{
    GameDir game(MakePortraitEntries(ManyPortraits(2)), false);
    const std::string out = game / "catalogue";
    ASSERT_EQ(Tool(Base(game) + " export-catalogue '" + out + "'").status, 0);
    std::filesystem::copy_file(WriteTga(game, "edited.tga", 21, 15, 9), out + "/BOGREM0/BOGREM0_LARGE.PNG",
                               std::filesystem::copy_options::overwrite_existing);

    const auto before = Snapshot(game.Base());
    ToolRun dry = Tool(Base(game) + " import-catalogue '" + out + "' --dry-run --mode keep");
    ASSERT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(dry.out, "would import BOGREM0/BOGREM0_LARGE.PNG into BOGREM0 LARGE frame 0: 315 pixels changed\n"
                       "Would import 1 file, 5 unchanged, 0 failed; nothing was written.\n");
    EXPECT_EQ(Snapshot(game.Base()), before);

    ToolRun run = Tool(Base(game) + " import-catalogue '" + out + "' --json");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string saved = game / "Portraits/LBOGREM0.GFX";
    EXPECT_EQ(run.out, "{\"manifest\": \"" + out + "/manifest.json\", \"dryRun\": false, \"refused\": null, "
                       "\"imported\": [\n  {\"path\": \"BOGREM0/BOGREM0_LARGE.PNG\", \"portrait\": \"BOGREM0\", "
                       "\"size\": \"LARGE\", \"frame\": 0, \"pixelsChanged\": 315, \"farPixels\": 0, "
              "\"largestDistance\": 0.000}\n], \"unchanged\": 5, "
                       "\"failed\": [], \"saved\": [\"" + saved + "\"]}\n");
    EXPECT_TRUE(std::filesystem::exists(saved));

    // A file that fails is named and makes the exit status 1.
    std::filesystem::remove(out + "/TVARM0/TVARM0_SMALL.PNG");
    ToolRun failed = Tool(Base(game) + " import-catalogue '" + out + "'");
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.err, "TVARM0/TVARM0_SMALL.PNG: the file is missing\n");
    EXPECT_NE(failed.out.find("Imported 1 file into 1 image, 4 unchanged, 1 failed.\n"), std::string::npos)
        << failed.out;

    // Another archive's manifest is refused, and --force takes it.
    std::string manifest = ReadText(out + "/manifest.json");
    manifest.replace(manifest.find("\"size\": ") + 8, 1, "9");
    std::FILE* f = std::fopen((out + "/manifest.json").c_str(), "wb");
    std::fputs(manifest.c_str(), f);
    std::fclose(f);
    ToolRun refused = Tool(Base(game) + " import-catalogue '" + out + "'");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("made from another game archive"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("(--force imports it all the same). Nothing was imported.\n"), std::string::npos);
    EXPECT_EQ(Tool(Base(game) + " import-catalogue '" + out + "' --force").status, 1); // the missing file

    EXPECT_NE(Tool("--help").out.find("portrait-tool [--base DIR] import-catalogue DIR [--mode remap|keep|palette]"),
              std::string::npos);
    for (const char* bad : {"import-catalogue", "import-catalogue --json", "import-catalogue x --mode odd",
                            "import-catalogue x --dry-run --dry-run", "import-catalogue x --use-tga-palette",
                            "import-catalogue x --format png"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(Tool(Base(game) + " " + bad).status, 2);
    }
}

TEST(PortraitTool, ImportSaysWhatItDidToColours)
{
    GameDir game(MakePortraitEntries(ManyPortraits(2)), false);
    double nearest = 0.0;
    game.Dir().WriteFile("far.tga", FarBlockTga(FarTestColour(nearest)));
    ToolRun text = Tool(Base(game) + " import 2 0 '" + (game / "far.tga") + "'");
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out.find("6 pixels lie far from the file's colours (largest OKLab distance "), 0u) << text.out;

    ToolRun json = Tool(Base(game) + " import 2 0 '" + (game / "far.tga") + "' --json --dither");
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(json.out.find("{\"portrait\": \"BOGREM0\", \"size\": \"LARGE\", \"frame\": 0, \"pixelsChanged\": "), 0u)
        << json.out;
    EXPECT_NE(json.out.find("\"farPixels\": 6, \"largestDistance\": 0."), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"saved\": [\"" + (game / "Portraits/LBOGREM0.GFX") + "\"]}\n"), std::string::npos);

    // A file's palette says what it does to the image's other frames; the
    // tool takes it without asking.
    TestPortrait p{"TVAR", true, '1'};
    p.mediumFrames = 3;
    GameDir three(MakePortraitEntries({p}), false);
    std::vector<uint8_t> map = TestColourMap();
    map[3 * 3] ^= 0x40;
    three.Dir().WriteFile("p.tga", SolidTga(11, 7, 1, map));
    ToolRun palette = Tool(Base(three) + " import 1 1 '" + (three / "p.tga") + "' --mode palette");
    EXPECT_EQ(palette.status, 0) << palette.err;
    EXPECT_EQ(palette.out, "The file's palette recoloured 70 pixels in 1 other frames of the image.\n" +
                               (three / "Portraits/MTVARM1.GFX\n"));
}

TEST(PortraitTool, ReplaceMakesANewPortraitFromPicturesAndADryRunSavesNothing)
{
    for (const char* bad : {"replace", "replace 1", "replace 1 a.jpg --crop 1,2,3", "replace 1 a.jpg --gravity left",
                            "replace 1 a.jpg --crop 0,0,9,9 --gravity top", "replace 1 a.jpg --palette median",
                            "replace 1 a.jpg --sizes huge", "replace 1 a.jpg --dither --dither"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(Tool(bad).status, 2);
    }
    GameDir game(MakePortraitEntries(ManyPortraits(2)), false);
    const std::vector<uint8_t> archive = game.ArchiveBytes();
    game.Dir().WriteFile("photo.jpg", JpegBytes(640, 480, QuadrantPicture(640, 480), 90, 6));
    const std::string photo = game / "photo.jpg";
    ToolRun dry = Tool(Base(game) + " replace 2 '" + photo + "' --gravity top --dry-run --preview '" +
                       (game / "sheet.png") + "'");
    EXPECT_EQ(dry.status, 0) << dry.err;
    // The sheet: LARGE 21 x 15, MEDIUM 11 x 7, SMALL 5 x 3, 4 pixels apart.
    int32_t sheetWidth = 0, sheetHeight = 0;
    EXPECT_EQ(ReadPngSize(game / "sheet.png", sheetWidth, sheetHeight), PngReadResult::kOk);
    EXPECT_EQ(sheetWidth, 4 + 21 + 4 + 11 + 4 + 5 + 4);
    EXPECT_EQ(sheetHeight, 15 + 8);
    EXPECT_NE(dry.out.find("LARGE: 1 frame in the image's palette"), std::string::npos) << dry.out;
    EXPECT_NE(dry.out.find("Nothing was saved (--dry-run).\n"), std::string::npos);
    EXPECT_TRUE(ListFolder(game / "Portraits").empty());

    ToolRun done = Tool(Base(game) + " replace 2 '" + photo + "' --sizes large,small --json");
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_NE(done.out.find("\"saved\": [\"" + (game / "Portraits/LBOGREM0.GFX") + "\", \"" +
                            (game / "Portraits/SBOGREM0.GFX") + "\"]}"),
              std::string::npos)
        << done.out;
    EXPECT_EQ(ListFolder(game / "Portraits"), (std::vector<std::string>{"LBOGREM0.GFX", "SBOGREM0.GFX"}));

    game.Dir().WriteFile("broken.webp", {'R', 'I', 'F', 'F', 9, 0, 0, 0, 'W', 'E', 'B', 'P', 'V', 'P', '8'});
    ToolRun refused = Tool(Base(game) + " replace 1 '" + (game / "broken.webp") + "'");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "Nothing was replaced: " + (game / "broken.webp") + ": the WebP file is damaged or cut short.\n");
    EXPECT_EQ(game.ArchiveBytes(), archive);
}
