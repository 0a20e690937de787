// Building patch archives from override files: slot limits, the byte layout
// of the written archive, and writes that fail without harming the old patch.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

#include "GameArchive.h"
#include "ArchiveBytes.h"
#include "FileSystem.h"
#include "FileFaultPoints.h"
#include "TempDir.h"

namespace {

const std::string kFirst = "PORTRAITS\\LARGE\\XTVARM1.GFX";
const std::string kSecond = "PORTRAITS\\small\\xqenf2.gfx";

class PatchBuilder : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.MakeFolder("Portraits");
        dir.MakeFolder("PATCHES");
        dir.WriteFile("Portraits/XTVARM1.GFX", MakeOverrideFile(kFirst, Pattern(100, 1)));
        dir.WriteFile("Portraits/xqenf2.GFX", MakeOverrideFile(kSecond, Pattern(50, 200)));
        output = dir.Path() + "\\PATCHES\\PATCH.010";
    }
    std::string Source(const char* name) { return dir.Path() + "\\PORTRAITS\\" + name; }
    std::vector<uint8_t> Patch() { return ReadFileBytes(dir / "PATCHES/PATCH.010"); }

    TempDir dir;
    std::string output;
    CGameArchive builder;
};

} // namespace

TEST_F(PatchBuilder, TwoFilesGiveTheExactArchiveLayout)
{
    ASSERT_EQ(builder.BeginBuild(output), 1);
    ASSERT_EQ(builder.AddFile(Source("XTVARM1.GFX")), 1);
    ASSERT_EQ(builder.AddFile(Source("xqenf2.GFX")), 1);
    ASSERT_EQ(builder.WriteArchive(), 1);

    std::vector<uint8_t> p = Patch();
    ASSERT_EQ(p.size(), 1242u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&p[0])), output);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&p[256])), "Data\\");
    EXPECT_EQ(GetU32(p, 512), 2u);
    EXPECT_EQ(GetU32(p, 516), 2u);
    EXPECT_EQ((std::vector<uint8_t>(p.begin() + 520, p.begin() + 532)),
              (std::vector<uint8_t>{0xFF, 0xFF, 0x00, 0x02, 1, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(std::vector<uint8_t>(p.begin() + 532, p.begin() + 632), Pattern(100, 1));
    EXPECT_EQ(std::vector<uint8_t>(p.begin() + 632, p.begin() + 682), Pattern(50, 200));

    const struct {
        size_t at;
        std::string name;
        uint32_t offset, size;
    } records[] = {{682, kFirst, 532, 100}, {962, kSecond, 632, 50}};
    for (const auto& r : records) {
        SCOPED_TRACE(r.name);
        std::vector<uint8_t> field(p.begin() + static_cast<long>(r.at), p.begin() + static_cast<long>(r.at) + 256);
        std::vector<uint8_t> expected(256, 0);
        std::memcpy(expected.data(), r.name.data(), r.name.size()); // names unchanged, case kept
        EXPECT_EQ(field, expected);
        EXPECT_EQ(GetU32(p, r.at + 256), r.offset);
        EXPECT_EQ(GetU32(p, r.at + 260), r.size);
        EXPECT_EQ(std::vector<uint8_t>(p.begin() + static_cast<long>(r.at) + 264, p.begin() + static_cast<long>(r.at) + 280),
                  std::vector<uint8_t>(16, 0));
    }

    // The reader takes the patch back as it was written.
    CGameArchive reader;
    ASSERT_EQ(reader.Open(output), 1);
    ASSERT_EQ(reader.GetEntryCount(), 2);
    EXPECT_EQ(reader.GetEntryName(0), kFirst);
    EXPECT_EQ(reader.GetEntryName(1), kSecond);
    EXPECT_EQ(reader.GetEntryOffset(1), 632u);
    EXPECT_EQ(reader.GetEntrySize(1), 50u);
    EXPECT_EQ(ListFolder(dir / "PATCHES"), std::vector<std::string>{"PATCH.010"});
}

TEST_F(PatchBuilder, EmptyBuildWritesAHeaderOnly)
{
    builder.BeginBuild(output);
    ASSERT_EQ(builder.WriteArchive(), 1);
    std::vector<uint8_t> p = Patch();
    ASSERT_EQ(p.size(), 532u);
    EXPECT_EQ(GetU32(p, 512), 0u);
    EXPECT_EQ(GetU32(p, 516), 0u);
}

TEST_F(PatchBuilder, SlotLimitsAndOrder)
{
    EXPECT_EQ(builder.AddFile(Source("XTVARM1.GFX")), -1);
    EXPECT_EQ(builder.WriteArchive(), -1);
    EXPECT_TRUE(ListFolder(dir / "PATCHES").empty());

    builder.BeginBuild(output);
    EXPECT_EQ(builder.AddFile(Source("MISSING.GFX")), -3);
    for (int i = 0; i < 255; ++i)
        ASSERT_EQ(builder.AddFile(Source("XTVARM1.GFX")), 1) << i;
    EXPECT_EQ(builder.AddFile(Source("XTVARM1.GFX")), -2);
    ASSERT_EQ(builder.WriteArchive(), 1);
    CGameArchive reader;
    ASSERT_EQ(reader.Open(output), 1);
    EXPECT_EQ(reader.GetEntryCount(), 255);
    EXPECT_EQ(reader.GetEntryOffset(254), 532u + 254u * 100u);

    // A new build starts from an empty table.
    builder.BeginBuild(output);
    ASSERT_EQ(builder.AddFile(Source("xqenf2.GFX")), 1);
    ASSERT_EQ(builder.WriteArchive(), 1);
    ASSERT_EQ(reader.Open(output), 1);
    EXPECT_EQ(reader.GetEntryCount(), 1);
}

TEST_F(PatchBuilder, MalformedOverrideFilesAreRefused)
{
    std::vector<uint8_t> longName = MakeOverrideFile(std::string(256, 'N'), Pattern(4));
    std::vector<uint8_t> shortPayload = MakeOverrideFile(kFirst, Pattern(10));
    shortPayload.pop_back();
    std::vector<uint8_t> complete = MakeOverrideFile(kFirst, {});
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"name of 256 bytes", longName},
        {"empty name", MakeOverrideFile("", Pattern(4))},
        {"name starting with a zero", MakeOverrideFile(std::string("\0ORTRAITS\\A.GFX", 15), Pattern(4))},
        {"zero inside the name", MakeOverrideFile(std::string("PORTRAITS\0A.GFX", 15), Pattern(4))},
        {"payload past the end", shortPayload},
        {"header cut short", std::vector<uint8_t>(complete.begin(), complete.end() - 1)},
        {"empty file", {}},
    };
    builder.BeginBuild(output);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        dir.WriteFile("Portraits/BAD.GFX", c.bytes);
        EXPECT_EQ(builder.AddFile(Source("BAD.GFX")), -4);
    }
    // A 255-byte name is the most an entry can hold, and is taken.
    dir.WriteFile("Portraits/LONG.GFX", MakeOverrideFile(std::string(255, 'L'), Pattern(3)));
    EXPECT_EQ(builder.AddFile(Source("LONG.GFX")), 1);
    ASSERT_EQ(builder.WriteArchive(), 1);
    CGameArchive reader;
    ASSERT_EQ(reader.Open(output), 1);
    ASSERT_EQ(reader.GetEntryCount(), 1); // the refused files took no slot
    EXPECT_EQ(std::string(reader.GetEntryName(0)), std::string(255, 'L'));
}

TEST_F(PatchBuilder, APathThatIsNoOverrideFileTakesASlotButIsNotWritten)
{
    builder.BeginBuild(output);
    EXPECT_EQ(builder.AddFile(dir / "Portraits/readme.txt"), 1);
    EXPECT_EQ(builder.AddFile(Source("XTVARM1.GFX")), 1);
    ASSERT_EQ(builder.WriteArchive(), 1);
    CGameArchive reader;
    ASSERT_EQ(reader.Open(output), 1);
    ASSERT_EQ(reader.GetEntryCount(), 1);
    EXPECT_EQ(reader.GetEntryName(0), kFirst);
    EXPECT_EQ(reader.GetEntryOffset(0), 532u);
}

TEST_F(PatchBuilder, LongOutputPathIsCutToTheHeaderField)
{
    const std::string folder(150, 'F');
    dir.MakeFolder("PATCHES/" + folder + "/" + folder);
    std::string longOutput = dir.Path() + "\\PATCHES\\" + folder + "\\" + folder + "\\PATCH.010";
    ASSERT_GE(longOutput.size(), 256u);
    builder.BeginBuild(longOutput);
    ASSERT_EQ(builder.WriteArchive(), 1);
    std::vector<uint8_t> p = ReadFileBytes(CFileSystem::ResolvePath(longOutput));
    ASSERT_EQ(p.size(), 532u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&p[0])), longOutput.substr(0, 255));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&p[256])), "Data\\");
}

TEST_F(PatchBuilder, MissingPatchesFolderWritesNothing)
{
    std::filesystem::remove_all(dir / "PATCHES");
    builder.BeginBuild(output);
    builder.AddFile(Source("XTVARM1.GFX"));
    EXPECT_EQ(builder.WriteArchive(), -1);
    EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"Portraits"});
}

TEST_F(PatchBuilder, SourceShrunkAfterAddFileKeepsTheOldPatch)
{
    dir.WriteFile("PATCHES/PATCH.010", {'o', 'l', 'd'});
    builder.BeginBuild(output);
    ASSERT_EQ(builder.AddFile(Source("XTVARM1.GFX")), 1);
    ASSERT_EQ(builder.AddFile(Source("xqenf2.GFX")), 1);
    dir.WriteFile("Portraits/xqenf2.GFX", MakeOverrideFile(kSecond, Pattern(49)));
    EXPECT_EQ(builder.WriteArchive(), -2);
    EXPECT_EQ(builder.GetFailedSourcePath(), Source("xqenf2.GFX"));
    EXPECT_EQ(Patch(), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(ListFolder(dir / "PATCHES"), std::vector<std::string>{"PATCH.010"});

    std::filesystem::remove(dir / "Portraits/XTVARM1.GFX");
    EXPECT_EQ(builder.WriteArchive(), -2);
    EXPECT_EQ(Patch(), (std::vector<uint8_t>{'o', 'l', 'd'}));
}

TEST_F(PatchBuilder, WriteCutShortByAFileSizeLimitKeepsTheOldPatch)
{
    // A file-size limit stops the write whoever runs the test, root included.
    dir.WriteFile("PATCHES/PATCH.010", {'o', 'l', 'd'});
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {600, 600};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        CGameArchive b;
        b.BeginBuild(output);
        b.AddFile(Source("XTVARM1.GFX"));
        b.AddFile(Source("xqenf2.GFX"));
        ::_exit(b.WriteArchive() == -3 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(Patch(), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(ListFolder(dir / "PATCHES"), std::vector<std::string>{"PATCH.010"});
}

TEST_F(PatchBuilder, EachWriteFlushSyncOrRenameThatFailsKeepsTheOldPatch)
{
    auto build = [&] {
        builder.BeginBuild(output);
        builder.AddFile(Source("XTVARM1.GFX"));
        builder.AddFile(Source("xqenf2.GFX"));
        return builder.WriteArchive();
    };
    dir.WriteFile("PATCHES/PATCH.010", {'o', 'l', 'd'});
    const std::vector<FileFaultPoint> points = FileFaultPoints([&] { ASSERT_EQ(build(), 1); });
    const std::vector<uint8_t> complete = Patch();
    // The header, two payloads, two directory records; flush, sync, rename.
    ASSERT_EQ(points.size(), 8u);
    for (const FileFaultPoint& point : points) {
        SCOPED_TRACE(point.Name());
        dir.WriteFile("PATCHES/PATCH.010", {'o', 'l', 'd'});
        CFileFaults::FailNth(point.op, point.n);
        EXPECT_EQ(build(), -3);
        CFileFaults::Reset();
        EXPECT_EQ(Patch(), (std::vector<uint8_t>{'o', 'l', 'd'}));
        EXPECT_EQ(ListFolder(dir / "PATCHES"), std::vector<std::string>{"PATCH.010"});
    }
    EXPECT_EQ(build(), 1);
    EXPECT_EQ(Patch(), complete);
}

TEST_F(PatchBuilder, ExistingPatchIsReplacedWhateverItsCase)
{
    dir.WriteFile("PATCHES/patch.010", {'o', 'l', 'd'});
    builder.BeginBuild(output);
    ASSERT_EQ(builder.WriteArchive(), 1);
    EXPECT_EQ(ListFolder(dir / "PATCHES"), std::vector<std::string>{"patch.010"});
    EXPECT_EQ(ReadFileBytes(dir / "PATCHES/patch.010").size(), 532u);
}
