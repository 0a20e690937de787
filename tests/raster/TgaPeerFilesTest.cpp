// Reads TGA files made by other programs and compares every pixel with what
// an independent, widely used decoder makes of them. The files stay outside
// the repository: their folder is named by TV_PEER_TGA_DIR, or found beside
// the source tree; without it the test is skipped.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "RasterSurface.h"
#include "TgaFile.h"

// The decoder is compiled into this test alone, for TGA files only; it is
// the other opinion the reader is checked against, not part of the editor.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#include <stb/stb_image.h>

namespace fs = std::filesystem;

namespace {

fs::path PeerFolder()
{
    const char* named = std::getenv("TV_PEER_TGA_DIR");
    if (named && *named)
        return named;
    // This file is tests/raster/ in the source tree, which sits beside shared/.
    return fs::path(__FILE__).parent_path().parent_path().parent_path().parent_path() / "shared" / "peer" / "pillow-tga";
}

struct Decoded {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba; // top row first
};

bool DecodeWithPeer(const fs::path& path, Decoded& out)
{
    stbi_set_flip_vertically_on_load(false);
    int channels = 0;
    stbi_uc* pixels = stbi_load(path.c_str(), &out.width, &out.height, &channels, 4);
    if (!pixels)
        return false;
    out.rgba.assign(pixels, pixels + static_cast<size_t>(out.width) * static_cast<size_t>(out.height) * 4);
    stbi_image_free(pixels);
    return true;
}

uint8_t HeaderByte(const fs::path& path, long offset)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return 0;
    uint8_t b = 0;
    if (std::fseek(f, offset, SEEK_SET) != 0 || std::fread(&b, 1, 1, f) != 1)
        b = 0;
    std::fclose(f);
    return b;
}

} // namespace

TEST(TgaPeerFilesTest, EveryPixelMatchesAnIndependentDecoder)
{
    const fs::path folder = PeerFolder();
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        GTEST_SKIP() << "no peer TGA files at " << folder;
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(folder, ec))
        if (e.is_regular_file() && (e.path().extension() == ".tga" || e.path().extension() == ".TGA"))
            files.push_back(e.path());
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty()) << "no .tga files in " << folder;

    for (const fs::path& path : files) {
        SCOPED_TRACE(path.filename().string());
        Decoded peer;
        ASSERT_TRUE(DecodeWithPeer(path, peer)) << stbi_failure_reason();
        const int depth = HeaderByte(path, 16);
        EXPECT_EQ(TgaHasSize(path.string(), peer.width, peer.height), 1);
        EXPECT_EQ(TgaHasDepth(path.string(), depth), 1);

        CRasterSurface s;
        ASSERT_EQ(s.LoadTga(path.string()), 1);
        ASSERT_EQ(s.m_width, peer.width);
        ASSERT_EQ(s.m_height, peer.height);
        size_t mismatches = 0;
        const size_t count = static_cast<size_t>(peer.width) * static_cast<size_t>(peer.height);
        for (size_t i = 0; i < count; ++i) {
            const uint8_t* theirs = &peer.rgba[i * 4]; // red, green, blue, alpha
            uint8_t ours[4];
            if (s.m_depth == 8) {
                ASSERT_TRUE(s.m_pPalette);
                std::memcpy(ours, &s.m_pPalette[s.m_pBits[i] * 4u], 4);
            } else {
                ASSERT_EQ(s.m_depth, 32);
                std::memcpy(ours, s.m_pBits + i * 4, 4);
            }
            bool same = true;
            for (int c = 0; c < 3; ++c) {
                const uint8_t mine = ours[2 - c];
                if (depth == 16) {
                    // Ours shifts five bits up; the other scales them to 0..255.
                    same = same && (mine & 7) == 0 && theirs[c] == (mine >> 3) * 255 / 31;
                } else {
                    same = same && mine == theirs[c];
                }
            }
            if (depth == 32)
                same = same && ours[3] == theirs[3];
            if (!same && ++mismatches <= 5)
                ADD_FAILURE() << "pixel " << i % static_cast<size_t>(peer.width) << ", "
                              << i / static_cast<size_t>(peer.width) << ": ours BGRA " << int(ours[0]) << " "
                              << int(ours[1]) << " " << int(ours[2]) << " " << int(ours[3]) << ", theirs RGBA "
                              << int(theirs[0]) << " " << int(theirs[1]) << " " << int(theirs[2]) << " "
                              << int(theirs[3]);
        }
        EXPECT_EQ(mismatches, 0u);
    }
}
