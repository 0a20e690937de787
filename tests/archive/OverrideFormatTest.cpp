// Override headers as bytes and values, checked against the independent
// builder of the tests.
#include <gtest/gtest.h>

#include <cstring>

#include "OverrideFormat.h"
#include "ArchiveBytes.h"

namespace {

const std::string kName = "PORTRAITS\\LARGE\\XTVARM1.GFX"; // 27 characters

// The 15 bytes in front of the name and the 4 of the payload size.
std::vector<uint8_t> WithoutName(const std::vector<uint8_t>& file, size_t nameLength)
{
    std::vector<uint8_t> out(file.begin(), file.begin() + 15);
    out.insert(out.end(), file.begin() + 15 + static_cast<long>(nameLength),
               file.begin() + 19 + static_cast<long>(nameLength));
    return out;
}

} // namespace

TEST(OverrideFormat, SerializedHeaderIsTheBuildersAndParsesBack)
{
    for (const std::string& name : {kName, std::string(), std::string(255, 'N')}) {
        SCOPED_TRACE(name.size());
        const std::vector<uint8_t> file = MakeOverrideFile(name, Pattern(5));
        std::vector<uint8_t> bytes = SerializeOverrideHeader(name, 5);
        const std::vector<uint8_t> payload = Pattern(5);
        bytes.insert(bytes.end(), payload.begin(), payload.end());
        EXPECT_EQ(bytes, file);

        const OverrideHeader header = ParseOverrideHeader(file);
        EXPECT_EQ(header.result, OverrideHeader::kOk);
        EXPECT_EQ(header.entryName, name);
        EXPECT_EQ(header.nameLength, name.size());
        EXPECT_EQ(header.payloadSize, 5u);
        EXPECT_EQ(header.headerSize, 19 + name.size());

        const OverrideHeader skipped = ParseOverrideHeaderSkippingName(WithoutName(file, name.size()));
        EXPECT_EQ(skipped.result, OverrideHeader::kOk);
        EXPECT_TRUE(skipped.entryName.empty());
        EXPECT_EQ(skipped.nameLength, name.size());
        EXPECT_EQ(skipped.payloadSize, 5u);
        EXPECT_EQ(skipped.headerSize, 19 + name.size());
    }
}

TEST(OverrideFormat, BytesCutShortGiveShortWithTheLengthOnceItIsThere)
{
    const std::vector<uint8_t> file = MakeOverrideFile(kName, {});
    ASSERT_EQ(file.size(), 46u);
    for (size_t n = 0; n < file.size(); ++n) {
        SCOPED_TRACE(n);
        const OverrideHeader header = ParseOverrideHeader(std::span(file).first(n));
        EXPECT_EQ(header.result, OverrideHeader::kShort);
        EXPECT_TRUE(header.entryName.empty());
        EXPECT_EQ(header.payloadSize, 0u);
        EXPECT_EQ(header.nameLength, n < 15 ? 0u : 27u);
        EXPECT_EQ(header.headerSize, n < 15 ? 0u : 46u);
    }
    const std::vector<uint8_t> front = WithoutName(file, kName.size());
    for (size_t n = 0; n < front.size(); ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(ParseOverrideHeaderSkippingName(std::span(front).first(n)).result, OverrideHeader::kShort);
    }
}

TEST(OverrideFormat, ParserTakesAnyLengthMagicOrNameAndStopsAtTheHeader)
{
    // A length that no file could hold is short, its header size exact.
    std::vector<uint8_t> huge = MakeOverrideFile(kName, Pattern(8));
    PutU32(huge, 11, 0xFFFFFFF0u);
    OverrideHeader header = ParseOverrideHeader(huge);
    EXPECT_EQ(header.result, OverrideHeader::kShort);
    EXPECT_EQ(header.headerSize, uint64_t{19} + 0xFFFFFFF0u);

    // The magic is not compared, a name is kept whatever its bytes, and
    // the payload is not looked at.
    const std::string zeros("A\0B", 3);
    std::vector<uint8_t> file = MakeOverrideFile(zeros, Pattern(8));
    std::memcpy(file.data(), "NOT-A-MAGIC", 11);
    file.resize(file.size() - 3);
    header = ParseOverrideHeader(file);
    EXPECT_EQ(header.result, OverrideHeader::kOk);
    EXPECT_EQ(header.entryName, zeros);
    EXPECT_EQ(header.payloadSize, 8u);
    EXPECT_EQ(header.headerSize, 22u);
}
