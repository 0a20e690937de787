// What portrait-tool does with damaged override files, a second writer, links
// and kills: nothing damaged is used or packed, no save mixes two writers'
// frames, and no file is written through a link or left cut short.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "ArchiveBytes.h"
#include "CatalogueManifest.h"
#include "GameArchive.h"
#include "Sha256.h"
#include "ToolKit.h"

namespace {

// A portrait whose MEDIUM image has three frames: TVARM0.
const TestPortrait kPortrait{"TVAR", true, '0', 3};

std::string PortraitsFile(const GameDir& game, char size)
{
    return game / ("Portraits/" + std::string(1, size) + TestPortraitName(kPortrait) + ".GFX");
}

// The files below a folder whose name says they are temporary.
std::vector<std::string> TemporaryFiles(const std::string& root)
{
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        if (entry.path().extension() == ".tmp" || entry.path().extension() == ".part" ||
            entry.path().extension() == ".GF2")
            found.push_back(entry.path().string());
    return found;
}

// The exit status a background run left in its file.
int ExitStatus(const std::string& file)
{
    const std::vector<uint8_t> text = ReadFileBytes(file);
    return std::stoi(std::string(text.begin(), text.end()));
}

} // namespace

TEST(SafeWrites, DamagedOverrideFilesAreNeitherUsedNorExportedNorPacked)
{
    GameDir game(MakePortraitEntries({kPortrait}));
    game.Dir().MakeFolder("PATCHES");
    ASSERT_EQ(Tool(Base(game) + " export-all 1").status, 0);
    const std::vector<uint8_t> large = ReadFileBytes(game / "Portraits/TVARM0_LARGE.TGA");
    const std::vector<uint8_t> small = ReadFileBytes(game / "Portraits/STVARM0_SMALL.TGA");

    // LARGE: no override file at all; SMALL: a sound header before a frame of
    // absurd size; MEDIUM: sound, with a frame of another size than the
    // archive's, which may be the modder's intent.
    const std::vector<uint8_t> garbage(600, 0xAB);
    game.Dir().WriteFile("Portraits/LTVARM0.GFX", garbage);
    TestFrame absurd{-21589, -21589, {}, {0x81, 0}};
    game.Dir().WriteFile("Portraits/STVARM0.GFX",
                         MakeOverrideFile(TestEntryName(kPortrait, "SMALL"), MakePaletteImage({1, 2, 3}, {absurd})));
    PutOverride(game, kPortrait, "MEDIUM", {PatternFrame(11, 7), PatternFrame(11, 7), PatternFrame(12, 7)});

    // The archive's images are exported in their place, and each damaged
    // file is named once.
    ToolRun exported = Tool(Base(game) + " export-all 1");
    EXPECT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(ReadFileBytes(game / "Portraits/TVARM0_LARGE.TGA"), large);
    EXPECT_EQ(ReadFileBytes(game / "Portraits/STVARM0_SMALL.TGA"), small);
    EXPECT_EQ(CountLines(exported.err), 2u) << exported.err;
    EXPECT_NE(exported.err.find(PortraitsFile(game, 'L') + " is damaged and not used: it is no override file"),
              std::string::npos);
    EXPECT_NE(exported.err.find(PortraitsFile(game, 'S') + " is damaged and not used: frame 0: its size -21589 x "
                                                           "-21589 is out of range"),
              std::string::npos);
    EXPECT_NE(Tool(Base(game) + " status").out.find("LARGE   invalid override\n  1  TVARM0           MEDIUM  "
                                                    "override\n  1  TVARM0           SMALL   invalid override\n"),
              std::string::npos);

    // The pack leaves them out, names them, writes the rest and fails.
    for (const char* pack : {" pack --dry-run", " pack"}) {
        ToolRun packed = Tool(Base(game) + pack);
        EXPECT_EQ(packed.status, 1) << pack;
        EXPECT_NE(packed.err.find(PortraitsFile(game, 'L')), std::string::npos) << packed.err;
        EXPECT_NE(packed.err.find(PortraitsFile(game, 'S')), std::string::npos) << packed.err;
    }
    CGameArchive patch;
    ASSERT_EQ(patch.Open(game / "PATCHES/PATCH.010"), 1);
    ASSERT_EQ(patch.GetEntryCount(), 1);
    EXPECT_EQ(patch.GetEntryName(0), TestEntryName(kPortrait, "MEDIUM"));
    ToolRun warned = Tool(Base(game) + " validate");
    EXPECT_EQ(warned.status, 3);
    EXPECT_NE(warned.out.find(PortraitsFile(game, 'M') + ": warning: frame 2 is 12 x 7, the archive's 11 x 7\n"),
              std::string::npos)
        << warned.out;

    // A save over a damaged file moves it aside first, whole.
    const std::string tga = WriteTga(game, "a.tga", 21, 15, 9);
    ASSERT_EQ(Tool(Base(game) + " import 1 large '" + tga + "'").status, 0);
    const std::vector<std::string> aside = ListFolder(game / "Portraits/Reverted");
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(aside[0].rfind("LTVARM0.GFX.", 0), 0u);
    EXPECT_EQ(ReadFileBytes(game / ("Portraits/Reverted/" + aside[0])), garbage);
    EXPECT_NE(Tool(Base(game) + " status").out.find("LARGE   override\n"), std::string::npos);
}

TEST(SafeWrites, TwoImportsAtOnceEndInOneOutcomeThatTheExitStatusesTell)
{
    GameDir game(MakePortraitEntries({kPortrait}));
    const std::string a = WriteTga(game, "a.tga", 11, 7, 9), b = WriteTga(game, "b.tga", 11, 7, 4);
    const std::string medium = PortraitsFile(game, 'M');
    auto import = [&](const std::string& file, int frame) {
        return Base(game) + " import 1 medium:" + std::to_string(frame) + " '" + file + "'";
    };
    // What each outcome leaves, made one import after the other.
    auto sequential = [&](const std::vector<std::string>& imports) {
        std::filesystem::remove(medium);
        for (const std::string& args : imports)
            EXPECT_EQ(Tool(args).status, 0);
        return ReadFileBytes(medium);
    };
    const std::vector<uint8_t> onlyA = sequential({import(a, 1)}), onlyB = sequential({import(b, 2)});
    const std::vector<uint8_t> both = sequential({import(a, 1), import(b, 2)});
    const std::vector<uint8_t> bOverA = sequential({import(b, 1)});

    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(round);
        const bool sameFrame = round % 2 == 1;
        std::filesystem::remove_all(game / "Portraits");
        game.Dir().MakeFolder("Portraits");
        const std::string statusA = game / "status-a", statusB = game / "status-b";
        RunProgram(ToolInBackground(import(a, 1), statusA) + " " +
                   ToolInBackground(import(b, sameFrame ? 1 : 2), statusB) + " wait");
        const int exitA = ExitStatus(statusA), exitB = ExitStatus(statusB);
        const std::vector<uint8_t> result = ReadFileBytes(medium);
        // Never a mix: a writer whose change is not there says so.
        EXPECT_EQ(ListFolder(game / "Portraits"), std::vector<std::string>{"MTVARM0.GFX"});
        if (!sameFrame) {
            EXPECT_TRUE((result == both && exitA == 0 && exitB == 0) || (result == onlyA && exitA == 0 && exitB == 1) ||
                        (result == onlyB && exitA == 1 && exitB == 0))
                << exitA << " " << exitB;
        } else {
            EXPECT_TRUE((result == onlyA && exitA == 0 && (exitB == 1 || exitB == 0)) ||
                        (result == bOverA && exitB == 0 && (exitA == 1 || exitA == 0)))
                << exitA << " " << exitB;
            EXPECT_FALSE(exitA == 1 && exitB == 1);
        }
    }
}

TEST(SafeWrites, ExportsReplaceLinksAndAKilledForcedExportLeavesNoStaleManifest)
{
    GameDir game(MakePortraitEntries({kPortrait}));
    TempDir outside;
    outside.WriteFile("keep", {'k', 'e', 'e', 'p'});
    const std::vector<uint8_t> kept = ReadFileBytes(outside / "keep");
    std::filesystem::create_symlink(outside / "keep", game / "Portraits/TVARM0_LARGE.TGA");
    ASSERT_EQ(Tool(Base(game) + " export 1 large").status, 0);
    EXPECT_FALSE(std::filesystem::is_symlink(game / "Portraits/TVARM0_LARGE.TGA"));

    // In an export folder too, even where the link leads to the very bytes
    // the export writes.
    const std::string out = outside / "export";
    ASSERT_EQ(Tool(Base(game) + " export-catalogue '" + out + "'").status, 0);
    std::filesystem::rename(out + "/TVARM0/TVARM0_LARGE.PNG", outside / "same");
    std::filesystem::create_symlink(outside / "same", out + "/TVARM0/TVARM0_LARGE.PNG");
    std::filesystem::remove(out + "/TVARM0/TVARM0_SMALL.PNG");
    std::filesystem::create_symlink(outside / "keep", out + "/TVARM0/TVARM0_SMALL.PNG");
    ASSERT_EQ(Tool(Base(game) + " export-catalogue '" + out + "' --force").status, 0);
    EXPECT_FALSE(std::filesystem::is_symlink(out + "/TVARM0/TVARM0_LARGE.PNG"));
    EXPECT_FALSE(std::filesystem::is_symlink(out + "/TVARM0/TVARM0_SMALL.PNG"));
    EXPECT_EQ(ReadFileBytes(outside / "keep"), kept);

    // Whatever stops a forced export (a failing disk, a kill), a manifest
    // in the folder names only files whose bytes it describes.
    auto consistent = [&out] {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(out)) {
            if (entry.is_regular_file()) {
                EXPECT_GT(entry.file_size(), 0u) << entry.path();
            }
        }
        if (!PathExists(out + "/manifest.json"))
            return;
        const std::vector<uint8_t> bytes = ReadFileBytes(out + "/manifest.json");
        CatalogueManifest manifest;
        std::string reason;
        ASSERT_EQ(ParseCatalogueManifest(std::string(bytes.begin(), bytes.end()), manifest, reason),
                  CatalogueManifest::kOk);
        for (const ManifestPortrait& portrait : manifest.portraits)
            for (const ManifestFile& file : portrait.files)
                EXPECT_EQ(Sha256Hex(ReadFileBytes(out + "/" + file.path)), file.sha256) << file.path;
    };
    for (const std::string fault : {"write", "rename", "write:kill", "rename:kill", "sync:kill"}) {
        const std::string kind = fault.substr(0, fault.find(':'));
        const std::string kill = fault.find(':') == std::string::npos ? "" : ":kill";
        for (int n = 1;; ++n) {
            SCOPED_TRACE(fault + " " + std::to_string(n));
            ASSERT_LT(n, 20) << "the export never finished";
            // The modder's edits, which the forced export overwrites.
            for (const auto& entry : std::filesystem::recursive_directory_iterator(out))
                if (entry.is_regular_file() && entry.path().filename() != "manifest.json")
                    outside.WriteFile(std::filesystem::relative(entry.path(), outside.Path()).string(), {'e', 'd'});
            const ToolRun run = Tool(Base(game) + " export-catalogue '" + out + "' --force",
                                     "TV_FILE_FAULT=" + kind + ":" + std::to_string(n) + kill);
            consistent();
            if (run.status == 0)
                break;
            EXPECT_TRUE(run.status == 1 || run.status == 137) << run.status << run.err;
        }
    }
    EXPECT_TRUE(TemporaryFiles(out).empty());
}

TEST(SafeWrites, RevertAndMovesAsideThatFailLeaveTheFileInPlace)
{
    GameDir game(MakePortraitEntries({kPortrait}));
    PutOverride(game, kPortrait, "LARGE", {PatternFrame(21, 15)});
    const std::vector<uint8_t> sound = ReadFileBytes(PortraitsFile(game, 'L'));
    for (const char* fault : {"mkdir:1", "rename:1"}) {
        ToolRun failed = Tool(Base(game) + " revert 1", std::string("TV_FILE_FAULT=") + fault);
        EXPECT_EQ(failed.status, 1) << fault;
        EXPECT_FALSE(failed.err.empty());
        EXPECT_EQ(ReadFileBytes(PortraitsFile(game, 'L')), sound);
    }

    // A damaged file that cannot be moved aside stops the save that needs
    // it out of the way; one moved aside before the new file failed to go
    // in comes back.
    const std::vector<uint8_t> garbage(100, 0xCD);
    game.Dir().WriteFile("Portraits/LTVARM0.GFX", garbage);
    std::filesystem::remove_all(game / "Portraits/Reverted");
    const std::string tga = WriteTga(game, "a.tga", 21, 15, 9);
    for (const char* fault : {"mkdir:1", "rename:1", "write:1", "rename:2"}) {
        ToolRun failed = Tool(Base(game) + " import 1 large '" + tga + "'", std::string("TV_FILE_FAULT=") + fault);
        EXPECT_EQ(failed.status, 1) << fault;
        EXPECT_NE(failed.err.find("could not be saved"), std::string::npos) << failed.err;
        EXPECT_EQ(ReadFileBytes(PortraitsFile(game, 'L')), garbage) << fault;
        EXPECT_TRUE(!PathExists(game / "Portraits/Reverted") || ListFolder(game / "Portraits/Reverted").empty())
            << fault;
    }
}
