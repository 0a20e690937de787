#include "PictureBytes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>
#include <webp/encode.h>

namespace {

void PutU32LittleEndian(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    for (size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

} // namespace

std::vector<uint8_t> QuadrantPicture(int32_t width, int32_t height)
{
    std::vector<uint8_t> rgb;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t c = QuadrantColour((y >= height / 2 ? 2 : 0) + (x >= width / 2 ? 1 : 0));
            rgb.insert(rgb.end(), {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)});
        }
    return rgb;
}

uint32_t QuadrantColour(int32_t quadrant)
{
    static const uint32_t colours[4] = {0xC81E1E, 0x1EC81E, 0x1E1EC8, 0xDCDC28};
    return colours[quadrant & 3];
}

std::vector<uint8_t> PhotoPicture(int32_t width, int32_t height)
{
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    const double scale = std::max(width, height) / 4.0;
    uint32_t seed = 7;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const double noise = static_cast<double>(seed >> 28) - 8.0;
            const double d = std::hypot(x - width / 2.0, y - height / 2.5) / scale;
            double r = 230 - 90 * d, g = 170 - 80 * d, b = 70 + 110 * d;
            // The face: an oval of skin, darker towards its rim.
            const double fx = (x - width / 2.0) / (width * 0.16), fy = (y - height * 0.42) / (height * 0.3);
            if (const double f = fx * fx + fy * fy; f < 1.0) {
                r = 205 - 60 * f;
                g = 150 - 55 * f;
                b = 120 - 50 * f;
            }
            // The cloth: a deep green band, its folds a slow wave.
            if (y > height * 0.78) {
                const double fold = std::sin(x * 12.0 / width) * 25;
                r = 40 + fold;
                g = 110 + fold;
                b = 70 + fold / 2;
            }
            uint8_t* p = &rgb[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3];
            p[0] = static_cast<uint8_t>(std::clamp(r + noise, 0.0, 255.0));
            p[1] = static_cast<uint8_t>(std::clamp(g + noise, 0.0, 255.0));
            p[2] = static_cast<uint8_t>(std::clamp(b + noise, 0.0, 255.0));
        }
    return rgb;
}

std::vector<uint8_t> JpegBytes(int32_t width, int32_t height, const std::vector<uint8_t>& rgb, int quality,
                               int orientation, bool progressive, const std::vector<uint8_t>& iccProfile)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    if (orientation != 1) {
        // "Exif\0\0", a big-endian TIFF header, IFD0 of one entry: the
        // orientation, a SHORT.
        const unsigned char exif[] = {'E', 'x', 'i', 'f', 0, 0, 'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1,
                                      0x01, 0x12, 0, 3, 0, 0, 0, 1, 0, static_cast<unsigned char>(orientation), 0, 0,
                                      0, 0, 0, 0};
        jpeg_write_marker(&info, JPEG_APP0 + 1, exif, sizeof exif);
    }
    if (!iccProfile.empty())
        jpeg_write_icc_profile(&info, iccProfile.data(), static_cast<unsigned int>(iccProfile.size()));
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.data() + static_cast<size_t>(info.next_scanline) * width * 3);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

std::vector<uint8_t> WebpBytes(int32_t width, int32_t height, const std::vector<uint8_t>& rgb,
                               const std::vector<uint8_t>& iccProfile)
{
    uint8_t* output = nullptr;
    const size_t size = WebPEncodeLosslessRGB(rgb.data(), width, height, width * 3, &output);
    std::vector<uint8_t> bytes(output, output + size);
    WebPFree(output);
    if (iccProfile.empty())
        return bytes;
    // "RIFF", its size, "WEBP"; a VP8X chunk (flags with the ICC bit, three
    // bytes kept free, width - 1 and height - 1 in three bytes each); the
    // ICCP chunk, padded to an even size; then the simple file's VP8L chunk.
    std::vector<uint8_t> extended = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'E', 'B', 'P', 'V', 'P', '8', 'X', 10, 0,
                                     0, 0, 0x20, 0, 0, 0};
    for (int32_t side : {width - 1, height - 1})
        extended.insert(extended.end(), {static_cast<uint8_t>(side), static_cast<uint8_t>(side >> 8),
                                         static_cast<uint8_t>(side >> 16)});
    extended.insert(extended.end(), {'I', 'C', 'C', 'P', 0, 0, 0, 0});
    PutU32LittleEndian(extended, extended.size() - 4, static_cast<uint32_t>(iccProfile.size()));
    extended.insert(extended.end(), iccProfile.begin(), iccProfile.end());
    if (iccProfile.size() % 2)
        extended.push_back(0);
    extended.insert(extended.end(), bytes.begin() + 12, bytes.end());
    PutU32LittleEndian(extended, 4, static_cast<uint32_t>(extended.size() - 8));
    return extended;
}

std::vector<uint8_t> BmpBytes(int32_t width, int32_t height, const std::vector<uint8_t>& rgb)
{
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    const size_t dataSize = stride * static_cast<size_t>(height);
    std::vector<uint8_t> bytes(54 + dataSize, 0);
    auto put = [&bytes](size_t at, size_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
    };
    // The file header, then the 40-byte information header.
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(2, 54 + dataSize, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<size_t>(width), 4);
    put(22, static_cast<size_t>(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, dataSize, 4);
    put(38, 2835, 4);
    put(42, 2835, 4);
    // Rows bottom first, blue, green, red a pixel.
    for (size_t y = 0; y < static_cast<size_t>(height); ++y)
        for (size_t x = 0; x < static_cast<size_t>(width); ++x)
            for (size_t k = 0; k < 3; ++k)
                bytes[54 + (static_cast<size_t>(height) - 1 - y) * stride + x * 3 + k] =
                    rgb[(y * static_cast<size_t>(width) + x) * 3 + 2 - k];
    return bytes;
}
