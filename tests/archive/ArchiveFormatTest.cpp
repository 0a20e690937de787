// The archive header and directory records as bytes and values, checked
// against the independent builder of the tests and the patch builder.
#include <gtest/gtest.h>

#include <cstring>

#include "ArchiveFormat.h"
#include "ArchiveBytes.h"
#include "GameArchive.h"
#include "TempDir.h"

namespace {

const std::string kStored = "PATCHES\\PATCH.010";
const std::string kFirst = "PORTRAITS\\LARGE\\XTVARM1.GFX";
const std::string kSecond = "PORTRAITS\\small\\xqenf2.gfx";

std::vector<uint8_t> Bytes(std::span<const uint8_t> span) { return {span.begin(), span.end()}; }

} // namespace

TEST(ArchiveFormat, SerializedArchiveIsTheBuildersAndParsesBack)
{
    const std::vector<ArchiveMember> members = {{kFirst, Pattern(100, 1)}, {kSecond, Pattern(50, 200)}, {"E", {}}};
    const std::vector<uint8_t> bytes = SerializeArchive(kStored, members);
    ASSERT_EQ(bytes, MakePatchArchive(kStored, {{kFirst, Pattern(100, 1)}, {kSecond, Pattern(50, 200)}, {"E", {}}}));
    EXPECT_EQ(Bytes(SerializeArchiveHeader(kStored, 3)), std::vector<uint8_t>(bytes.begin(), bytes.begin() + 532));
    EXPECT_EQ(Bytes(SerializeDirectoryRecord(kSecond, 632, 50)), MakeDirectoryRecord(kSecond, 632, 50));
    EXPECT_EQ(SerializeArchive("", {}), MakePatchArchive("", {}));

    int32_t count = -1;
    ASSERT_EQ(ParseArchiveHeader(bytes, count), kArchiveParseOk);
    ASSERT_EQ(count, 3);
    uint64_t start = 0, length = 0;
    ASSERT_TRUE(FindArchiveDirectory(count, bytes.size(), start, length));
    EXPECT_EQ(start, 682u);
    EXPECT_EQ(length, 840u);
    const struct {
        std::string name;
        uint32_t offset, size;
    } expected[] = {{kFirst, 532, 100}, {kSecond, 632, 50}, {"E", 682, 0}};
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ArchiveRecord record;
        ASSERT_EQ(ParseDirectoryRecord(std::span(bytes).subspan(start + i * 280, 280), record), kArchiveParseOk);
        EXPECT_EQ(record.name, expected[i].name);
        EXPECT_EQ(record.offset, expected[i].offset);
        EXPECT_EQ(record.size, expected[i].size);
    }

    // The patch builder writes the same bytes for the same entries.
    TempDir dir;
    dir.WriteFile("A.GFX", MakeOverrideFile(kFirst, Pattern(100, 1)));
    dir.WriteFile("B.GFX", MakeOverrideFile(kSecond, Pattern(50, 200)));
    dir.WriteFile("C.GFX", MakeOverrideFile("E", {}));
    CGameArchive builder;
    builder.BeginBuild(dir / "PATCH.010", kStored);
    for (const char* file : {"A.GFX", "B.GFX", "C.GFX"})
        ASSERT_EQ(builder.AddFile(dir / file), CGameArchive::kAddOk);
    ASSERT_EQ(builder.WriteArchive(), CGameArchive::kWriteOk);
    EXPECT_EQ(ReadFileBytes(dir / "PATCH.010"), bytes);
}

TEST(ArchiveFormat, ParsersRefuseBytesCutShortOrCountsThatDisagree)
{
    const std::vector<uint8_t> header = MakeArchiveHeader(2, 2);
    int32_t count = 7;
    EXPECT_EQ(ParseArchiveHeader({}, count), kArchiveParseShort);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(ParseArchiveHeader(std::span(header).first(531), count), kArchiveParseShort);
    EXPECT_EQ(ParseArchiveHeader(MakeArchiveHeader(3, 4), count), kArchiveParseCountMismatch);
    // The counts are compared before their sign.
    EXPECT_EQ(ParseArchiveHeader(MakeArchiveHeader(-1, -2), count), kArchiveParseCountMismatch);
    EXPECT_EQ(ParseArchiveHeader(MakeArchiveHeader(-1, -1), count), kArchiveParseNegativeCount);
    EXPECT_EQ(count, 0);

    const std::vector<uint8_t> record = MakeDirectoryRecord("A.GFX", 1, 2);
    ArchiveRecord parsed{"X", 5, 6};
    EXPECT_EQ(ParseDirectoryRecord(std::span(record).first(279), parsed), kArchiveParseShort);
    EXPECT_TRUE(parsed.name.empty());
    EXPECT_EQ(parsed.offset, 0u);
    EXPECT_EQ(parsed.size, 0u);
    EXPECT_EQ(ParseDirectoryRecord({}, parsed), kArchiveParseShort);
}

TEST(ArchiveFormat, NamesPathsAndDirectoryKeepToTheirBounds)
{
    // A name or path too long for its field is cut so that a zero ends it.
    const std::string longName(300, 'N');
    EXPECT_EQ(Bytes(SerializeDirectoryRecord(longName, 1, 2)), MakeDirectoryRecord(longName.substr(0, 255), 1, 2));
    EXPECT_EQ(Bytes(SerializeArchiveHeader(longName, 0)), MakePatchArchive(longName, {}));
    // A stored name field without a zero ends after 255 characters.
    const std::vector<uint8_t> unterminated = MakeDirectoryRecord(std::string(256, 'N'), 0, 0);
    ArchiveRecord record;
    ASSERT_EQ(ParseDirectoryRecord(unterminated, record), kArchiveParseOk);
    EXPECT_EQ(record.name, std::string(255, 'N'));
    // Offsets and sizes are returned as stored, and bytes after the record
    // are not looked at.
    std::vector<uint8_t> far = MakeDirectoryRecord("FAR.GFX", 0xFFFFFFF0u, 0xFFFFFFFFu);
    far.push_back(0xEE);
    ASSERT_EQ(ParseDirectoryRecord(far, record), kArchiveParseOk);
    EXPECT_EQ(record.name, "FAR.GFX");
    EXPECT_EQ(record.offset, 0xFFFFFFF0u);
    EXPECT_EQ(record.size, 0xFFFFFFFFu);

    uint64_t start = 1, length = 1;
    EXPECT_TRUE(FindArchiveDirectory(10, 2800, start, length));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(length, 2800u);
    EXPECT_TRUE(FindArchiveDirectory(0, 0, start, length));
    EXPECT_EQ(length, 0u);
    EXPECT_FALSE(FindArchiveDirectory(10, 2799, start, length));
    EXPECT_FALSE(FindArchiveDirectory(0x7FFFFFFF, 1u << 20, start, length));
    EXPECT_FALSE(FindArchiveDirectory(-1, UINT64_MAX, start, length));
}
