// Opening game archives: every result of Open, the directory found from the
// end of the file, and the accessors' answers out of range.
#include <gtest/gtest.h>

#include <dirent.h>

#include <cstring>

#include "GameArchive.h"
#include "ArchiveBytes.h"
#include "TempDir.h"

namespace {

int CountOpenFiles()
{
    int n = 0;
    if (DIR* d = ::opendir("/proc/self/fd")) {
        while (::readdir(d))
            ++n;
        ::closedir(d);
    }
    return n;
}

class ArchiveReader : public ::testing::Test {
protected:
    std::string Write(const std::vector<uint8_t>& bytes)
    {
        dir.WriteFile("DATA.QPK", bytes);
        return dir / "DATA.QPK";
    }
    TempDir dir;
    CGameArchive archive;
};

} // namespace

TEST_F(ArchiveReader, EmptyArchiveOpens)
{
    EXPECT_EQ(archive.Open(Write(MakeArchiveHeader(0, 0))), 1);
    EXPECT_EQ(archive.GetEntryCount(), 0);
    EXPECT_EQ(archive.GetEntryName(0), nullptr);
}

TEST_F(ArchiveReader, FailuresLeaveTheReaderEmptyAndNoFileOpen)
{
    const int before = CountOpenFiles();
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        int32_t result;
    };
    std::vector<uint8_t> counts3and4 = MakeArchive({{"A", {1}}, {"B", {2}}, {"C", {3}}});
    PutU32(counts3and4, 516, 4);
    std::vector<uint8_t> tenIn1000 = MakeArchiveHeader(10, 10);
    tenIn1000.resize(1000);
    std::vector<uint8_t> huge = MakeArchiveHeader(0x7FFFFFFF, 0x7FFFFFFF);
    std::vector<uint8_t> negative = MakeArchiveHeader(-1, -1);
    negative.resize(2000);
    const Case cases[] = {
        {"531 bytes", std::vector<uint8_t>(531, 0), -2},
        {"empty file", {}, -2},
        {"counts 3 and 4", counts3and4, -3},
        {"10 entries in 1000 bytes", tenIn1000, -2},
        {"huge count in a small file", huge, -2},
        {"negative count", negative, -2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(archive.Open(Write(c.bytes)), c.result);
        EXPECT_EQ(archive.GetEntryCount(), 0);
        EXPECT_EQ(archive.GetEntryName(0), nullptr);
    }
    EXPECT_EQ(archive.Open(dir / "missing.qpk"), -1);
    EXPECT_EQ(CountOpenFiles(), before);
}

TEST_F(ArchiveReader, TwoEntryArchiveOfTheBuilderLayout)
{
    std::vector<uint8_t> bytes = MakeArchive({{"PORTRAITS\\LARGE\\XTVARM1.GFX", Pattern(100)},
                                              {"PORTRAITS\\SMALL\\XTVARM1.GFX", Pattern(50, 7)}});
    ASSERT_EQ(bytes.size(), 1242u);
    ASSERT_EQ(archive.Open(Write(bytes)), 1);
    EXPECT_EQ(archive.GetEntryCount(), 2);
    EXPECT_STREQ(archive.GetEntryName(0), "PORTRAITS\\LARGE\\XTVARM1.GFX");
    EXPECT_STREQ(archive.GetEntryName(1), "PORTRAITS\\SMALL\\XTVARM1.GFX");
    EXPECT_EQ(archive.GetEntryOffset(0), 532u);
    EXPECT_EQ(archive.GetEntryOffset(1), 632u);
    EXPECT_EQ(archive.GetEntrySize(0), 100u);
    EXPECT_EQ(archive.GetEntrySize(1), 50u);
}

TEST_F(ArchiveReader, AccessorsOutOfRange)
{
    ASSERT_EQ(archive.Open(Write(MakeArchive({{"A.GFX", {1, 2}}}))), 1);
    for (int32_t index : {-1, archive.GetEntryCount(), INT32_MIN, INT32_MAX}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(archive.GetEntryName(index), nullptr);
        EXPECT_EQ(archive.GetEntryOffset(index), 0xFFFFFFFFu);
        EXPECT_EQ(archive.GetEntrySize(index), 0u);
    }
    CGameArchive empty;
    EXPECT_EQ(empty.GetEntryCount(), 0);
    EXPECT_EQ(empty.GetEntryName(0), nullptr);
    EXPECT_EQ(empty.GetEntryOffset(0), 0xFFFFFFFFu);
}

TEST_F(ArchiveReader, DirectoryIsTheEndOfTheFileAndRecordsAreNotValidated)
{
    // Data after the header is ignored; the records sit at the very end, and
    // an offset or size outside the file is returned as stored.
    std::vector<uint8_t> bytes = MakeArchiveHeader(2, 2);
    bytes.resize(700, 0xEE);
    for (const auto& record :
         {MakeDirectoryRecord("FAR.GFX", 0xFFFFFFF0u, 123456789u), MakeDirectoryRecord("ALL.GFX", 600, 0xFFFFFFFFu)})
        bytes.insert(bytes.end(), record.begin(), record.end());
    ASSERT_EQ(archive.Open(Write(bytes)), 1);
    EXPECT_STREQ(archive.GetEntryName(0), "FAR.GFX");
    EXPECT_EQ(archive.GetEntryOffset(0), 0xFFFFFFF0u);
    EXPECT_EQ(archive.GetEntrySize(0), 123456789u);

    // An entry's bytes are what the file holds of them, never what the
    // record claims, and at most the limit.
    std::vector<uint8_t> entry{1};
    EXPECT_TRUE(archive.ReadEntry(0, entry, UINT64_MAX));
    EXPECT_TRUE(entry.empty());
    EXPECT_TRUE(archive.ReadEntry(1, entry, UINT64_MAX));
    EXPECT_EQ(entry.size(), bytes.size() - 600);
    EXPECT_EQ(entry[99], 0xEE);
    EXPECT_TRUE(archive.ReadEntry(1, entry, 10));
    EXPECT_EQ(entry, std::vector<uint8_t>(10, 0xEE));
    EXPECT_FALSE(archive.ReadEntry(2, entry, 10));
}

TEST_F(ArchiveReader, NameWithoutTerminatorEndsInsideItsField)
{
    std::vector<uint8_t> bytes = MakeArchive({{std::string(256, 'N'), {}}, {"NEXT", {}}});
    ASSERT_EQ(archive.Open(Write(bytes)), 1);
    EXPECT_EQ(std::strlen(archive.GetEntryName(0)), 255u);
    EXPECT_EQ(std::string(archive.GetEntryName(0)), std::string(255, 'N'));
    EXPECT_STREQ(archive.GetEntryName(1), "NEXT");
}

TEST_F(ArchiveReader, ASecondOpenDropsTheFirstDirectoryEvenWhenItFails)
{
    ASSERT_EQ(archive.Open(Write(MakeArchive({{"A", {1}}}))), 1);
    EXPECT_EQ(archive.Open(dir / "missing"), -1);
    EXPECT_EQ(archive.GetEntryCount(), 0);
    EXPECT_EQ(archive.GetEntryName(0), nullptr);

    ASSERT_EQ(archive.Open(Write(MakeArchive({{"A", {1}}, {"B", {2}}}))), 1);
    EXPECT_EQ(archive.Open(Write(MakeArchiveHeader(3, 4))), -3);
    EXPECT_EQ(archive.GetEntryCount(), 0);

    archive.Clear();
    EXPECT_EQ(archive.GetEntryCount(), 0);
}

TEST_F(ArchiveReader, PathsResolveRegardlessOfCase)
{
    dir.MakeFolder("data");
    dir.WriteFile("data/data.qpk", MakeArchive({{"X", {1}}}));
    EXPECT_EQ(archive.Open(dir.Path() + "\\DATA\\DATA.QPK"), 1);
    EXPECT_EQ(archive.GetEntryCount(), 1);
}
