// Writing and reading the header of an override file.
#include <gtest/gtest.h>

#include <cstring>

#include "GameArchive.h"
#include "FileSystem.h"
#include "ArchiveBytes.h"
#include "TempDir.h"

namespace {

const std::string kName20 = "PORTRAITS\\L\\ABC.GFX_"; // 20 characters

class OverrideHeaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(kName20.size(), 20u);
        dir.WriteFile("DATA.QPK", MakeArchive({{"OTHER", Pattern(3)}, {kName20, Pattern(777)}}));
        ASSERT_EQ(archive.Open(dir / "DATA.QPK"), 1);
    }
    TempDir dir;
    CGameArchive archive;
};

} // namespace

TEST_F(OverrideHeaderTest, WritesNineteenBytesAndTheNameAndReturnsTheSizeField)
{
    {
        FileHandle f = CFileSystem::CreateForWriting(dir / "A.GFX");
        ASSERT_TRUE(f);
        EXPECT_EQ(archive.WriteOverrideHeader(f.get(), 1), 35);
    }
    std::vector<uint8_t> bytes = ReadFileBytes(dir / "A.GFX");
    ASSERT_EQ(bytes.size(), 39u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 11), "KORV-EXPORT");
    EXPECT_EQ(GetU32(bytes, 11), 20u);
    EXPECT_EQ(std::string(bytes.begin() + 15, bytes.begin() + 35), kName20);
    EXPECT_EQ(GetU32(bytes, 35), 777u); // the archive size until the writer overwrites it
}

TEST_F(OverrideHeaderTest, WriterOrderThenReaderLeavesThePayloadPosition)
{
    {
        FileHandle f = CFileSystem::CreateForWriting(dir / "A.GFX");
        const int32_t sizeField = archive.WriteOverrideHeader(f.get(), 1);
        const long payloadStart = std::ftell(f.get());
        std::vector<uint8_t> payload = Pattern(1000);
        std::fwrite(payload.data(), 1, payload.size(), f.get());
        const long end = std::ftell(f.get());
        std::fseek(f.get(), sizeField, SEEK_SET);
        uint8_t size[4];
        const auto n = static_cast<uint32_t>(end - payloadStart);
        std::memcpy(size, &n, 4); // little-endian host
        std::fwrite(size, 1, 4, f.get());
    }
    std::vector<uint8_t> bytes = ReadFileBytes(dir / "A.GFX");
    ASSERT_EQ(bytes.size(), 1039u);
    EXPECT_EQ(GetU32(bytes, 35), 1000u);

    FileHandle f = CFileSystem::OpenForReading(dir / "A.GFX");
    uint32_t payloadSize = 0;
    EXPECT_EQ(archive.ReadOverrideHeader(f.get(), payloadSize), 1);
    EXPECT_EQ(payloadSize, 1000u);
    EXPECT_EQ(std::ftell(f.get()), 39);
}

TEST_F(OverrideHeaderTest, ReaderDoesNotCompareTheMagicAndNeedsNoArchive)
{
    std::vector<uint8_t> bytes = MakeOverrideFile("NAME", Pattern(5));
    std::memcpy(bytes.data(), "NOT-A-MAGIC", 11);
    dir.WriteFile("B.GFX", bytes);
    CGameArchive empty;
    FileHandle f = CFileSystem::OpenForReading(dir / "B.GFX");
    uint32_t payloadSize = 0;
    EXPECT_EQ(empty.ReadOverrideHeader(f.get(), payloadSize), 1);
    EXPECT_EQ(payloadSize, 5u);
    EXPECT_EQ(std::ftell(f.get()), 23);
}

TEST_F(OverrideHeaderTest, ReaderTakesANameLongerThanAnyEntryName)
{
    dir.WriteFile("L.GFX", MakeOverrideFile(std::string(300, 'N'), Pattern(5)));
    FileHandle f = CFileSystem::OpenForReading(dir / "L.GFX");
    uint32_t payloadSize = 0;
    EXPECT_EQ(archive.ReadOverrideHeader(f.get(), payloadSize), 1);
    EXPECT_EQ(payloadSize, 5u);
    EXPECT_EQ(std::ftell(f.get()), 319);
}

TEST_F(OverrideHeaderTest, ReaderReportsAHeaderCutShort)
{
    std::vector<uint8_t> full = MakeOverrideFile("NAME", {});
    std::vector<uint8_t> hugeName = MakeOverrideFile("NAME", {});
    PutU32(hugeName, 11, 0xFFFFFFF0u);
    const std::vector<std::vector<uint8_t>> cases = {
        {}, {full.begin(), full.begin() + 14}, {full.begin(), full.begin() + 20}, {full.begin(), full.end() - 1},
        hugeName,
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        dir.WriteFile("C.GFX", cases[i]);
        FileHandle f = CFileSystem::OpenForReading(dir / "C.GFX");
        uint32_t payloadSize = 99;
        EXPECT_EQ(archive.ReadOverrideHeader(f.get(), payloadSize), -1);
        EXPECT_EQ(payloadSize, 0u);
    }
}
