// make-icon-png: writes the program's icon as a PNG file of the given size
// for the desktop entry. Larger sizes repeat each pixel of the drawn icon,
// smaller ones average blocks of them. The PNG is written with uncompressed
// deflate blocks, which every reader accepts and which needs no compression
// library.
//   usage: make-icon-png SIZE OUTPUT.png
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Resources.h"

namespace {

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0)
{
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void PutU32BE(std::vector<uint8_t>& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(v >> shift));
}

void Chunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data)
{
    PutU32BE(png, static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    PutU32BE(png, Crc32(body.data(), body.size()));
}

// A zlib stream of stored blocks.
std::vector<uint8_t> Stored(const std::vector<uint8_t>& raw)
{
    std::vector<uint8_t> z = {0x78, 0x01};
    size_t at = 0;
    do {
        const size_t n = std::min<size_t>(65535, raw.size() - at);
        z.push_back(at + n == raw.size() ? 1 : 0);
        z.push_back(static_cast<uint8_t>(n));
        z.push_back(static_cast<uint8_t>(n >> 8));
        z.push_back(static_cast<uint8_t>(~n));
        z.push_back(static_cast<uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + n));
        at += n;
    } while (at < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutU32BE(z, (b << 16) | a);
    return z;
}

// The icon at size x size pixels as blue, green, red, alpha rows. A size
// that divides the drawn one averages each block (by alpha, so that clear
// pixels lend no colour); any other takes the nearest pixel.
std::vector<uint8_t> Scaled(const Icon& icon, int size)
{
    std::vector<uint8_t> out(static_cast<size_t>(size) * static_cast<size_t>(size) * 4);
    const int block = icon.size % size == 0 ? icon.size / size : 1;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int sx = block > 1 ? x * block : (2 * x + 1) * icon.size / (2 * size);
            const int sy = block > 1 ? y * block : (2 * y + 1) * icon.size / (2 * size);
            uint32_t sum[4] = {};
            for (int dy = 0; dy < block; ++dy) {
                for (int dx = 0; dx < block; ++dx) {
                    const uint8_t* p = &icon.pixels[static_cast<size_t>((sy + dy) * icon.size + sx + dx) * 4];
                    for (int c = 0; c < 3; ++c)
                        sum[c] += p[c] * p[3];
                    sum[3] += p[3];
                }
            }
            uint8_t* q = &out[static_cast<size_t>(y * size + x) * 4];
            for (int c = 0; c < 3; ++c)
                q[c] = static_cast<uint8_t>(sum[3] ? (sum[c] + sum[3] / 2) / sum[3] : 0);
            q[3] = static_cast<uint8_t>((sum[3] + block * block / 2) / static_cast<uint32_t>(block * block));
        }
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    const int size = argc == 3 ? std::atoi(argv[1]) : 0;
    if (size < 1 || size > 1024) {
        std::fprintf(stderr, "usage: make-icon-png SIZE OUTPUT.png (SIZE from 1 to 1024)\n");
        return 2;
    }
    const std::vector<uint8_t> pixels = Scaled(LoadAppIcon(), size);
    std::vector<uint8_t> raw;
    for (int y = 0; y < size; ++y) {
        raw.push_back(0); // no filter
        for (int x = 0; x < size; ++x) {
            const uint8_t* p = &pixels[static_cast<size_t>(y * size + x) * 4];
            raw.insert(raw.end(), {p[2], p[1], p[0], p[3]});
        }
    }
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutU32BE(header, static_cast<uint32_t>(size));
    PutU32BE(header, static_cast<uint32_t>(size));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", Stored(raw));
    Chunk(png, "IEND", {});
    FILE* f = std::fopen(argv[2], "wb");
    if (!f || std::fwrite(png.data(), 1, png.size(), f) != png.size() || std::fclose(f) != 0) {
        std::perror(argv[2]);
        return 1;
    }
    return 0;
}

