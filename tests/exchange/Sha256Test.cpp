#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Sha256.h"
#include "TempDir.h"

namespace {

std::string Hex(const std::string& text)
{
    return Sha256Hex(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

const char* const kEmpty = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
const char* const kAbc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
const char* const kLong = "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1";
const char* const kLongText = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";

} // namespace

TEST(Sha256Test, KnownVectors)
{
    EXPECT_EQ(Hex(""), kEmpty);
    EXPECT_EQ(Hex("abc"), kAbc);
    EXPECT_EQ(Hex(kLongText), kLong);
}

TEST(Sha256Test, FileDigestEqualsTheBytesDigestAcrossBlocks)
{
    TempDir dir;
    std::vector<uint8_t> bytes(200000);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i * 31 + i / 7);
    dir.WriteFile("big.bin", bytes);
    dir.WriteFile("abc.bin", std::vector<uint8_t>{'a', 'b', 'c'});
    std::string hex;
    uint64_t size = 0;
    ASSERT_TRUE(Sha256OfFile(dir / "big.bin", hex, size));
    EXPECT_EQ(size, bytes.size());
    EXPECT_EQ(hex, Sha256Hex(bytes));
    ASSERT_TRUE(Sha256OfFile(dir / "abc.bin", hex, size));
    EXPECT_EQ(hex, kAbc);
    EXPECT_EQ(size, 3u);
    EXPECT_FALSE(Sha256OfFile(dir / "missing.bin", hex, size));
}
