#include "PictureBytes.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>
#include <lcms2.h>
#include <png.h>
#include <webp/encode.h>
#include <zlib.h>

namespace {

void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value, bool bigEndian)
{
    for (size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<uint8_t>(value >> (bigEndian ? 24 - 8 * i : 8 * i));
}

uint32_t GetU32BigEndian(const std::vector<uint8_t>& bytes, size_t at)
{
    return uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 | uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
}

void AppendTo(png_structp png, png_bytep data, size_t size)
{
    auto* bytes = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    bytes->insert(bytes->end(), data, data + size);
}

void FlushNothing(png_structp) {}

std::vector<uint8_t> SavedProfile(cmsHPROFILE profile)
{
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    std::vector<uint8_t> bytes(size);
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
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
    PutU32(extended, extended.size() - 4, static_cast<uint32_t>(iccProfile.size()), false);
    extended.insert(extended.end(), iccProfile.begin(), iccProfile.end());
    if (iccProfile.size() % 2)
        extended.push_back(0);
    extended.insert(extended.end(), bytes.begin() + 12, bytes.end());
    PutU32(extended, 4, static_cast<uint32_t>(extended.size() - 8), false);
    return extended;
}

std::vector<uint8_t> PngBytes(int32_t width, int32_t height, const std::vector<uint8_t>& rgb,
                              const std::vector<uint8_t>& iccProfile)
{
    std::vector<uint8_t> bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &bytes, AppendTo, FlushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int32_t y = 0; y < height; ++y)
        png_write_row(png, rgb.data() + static_cast<size_t>(y) * static_cast<size_t>(width) * 3);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (iccProfile.empty())
        return bytes;
    // The iCCP chunk, written by hand so that any profile goes in, right
    // after the signature and IHDR: its length, "iCCP", a name and its
    // terminator, the compression method 0, the profile deflated, the CRC.
    uLongf deflatedSize = compressBound(static_cast<uLong>(iccProfile.size()));
    std::vector<uint8_t> deflated(deflatedSize);
    compress(deflated.data(), &deflatedSize, iccProfile.data(), static_cast<uLong>(iccProfile.size()));
    std::vector<uint8_t> chunk = {0, 0, 0, 0, 'i', 'C', 'C', 'P', 'i', 'c', 'c', 0, 0};
    chunk.insert(chunk.end(), deflated.begin(), deflated.begin() + static_cast<long>(deflatedSize));
    PutU32(chunk, 0, static_cast<uint32_t>(chunk.size() - 8), true);
    chunk.resize(chunk.size() + 4);
    PutU32(chunk, chunk.size() - 4, static_cast<uint32_t>(crc32(0, chunk.data() + 4, static_cast<uInt>(chunk.size() - 8))),
           true);
    bytes.insert(bytes.begin() + 33, chunk.begin(), chunk.end());
    return bytes;
}

std::vector<uint8_t> WithDeclaredPngSize(std::vector<uint8_t> png, uint32_t width, uint32_t height)
{
    // The signature, then IHDR: its length, "IHDR", width, height and five
    // bytes more, and the CRC of the name and the data.
    PutU32(png, 16, width, true);
    PutU32(png, 20, height, true);
    PutU32(png, 29, static_cast<uint32_t>(crc32(0, png.data() + 12, 17)), true);
    return png;
}

std::vector<uint8_t> LinearRgbProfile()
{
    const cmsCIExyY white = {0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries = {{0.64, 0.33, 1.0}, {0.30, 0.60, 1.0}, {0.15, 0.06, 1.0}};
    cmsToneCurve* linear = cmsBuildGamma(nullptr, 1.0);
    cmsToneCurve* curves[3] = {linear, linear, linear};
    const cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(linear);
    return SavedProfile(profile);
}

std::vector<uint8_t> LinearGreyProfile()
{
    cmsToneCurve* linear = cmsBuildGamma(nullptr, 1.0);
    const cmsHPROFILE profile = cmsCreateGrayProfile(cmsD50_xyY(), linear);
    cmsFreeToneCurve(linear);
    return SavedProfile(profile);
}

std::vector<uint8_t> WithUnreadableTags(std::vector<uint8_t> profile)
{
    // After the 128-byte header, the tag count and 12 bytes a tag: its
    // signature, the offset of its data and their size, all big endian.
    const uint32_t tags = GetU32BigEndian(profile, 128);
    for (uint32_t t = 0; t < tags; ++t) {
        const uint32_t offset = GetU32BigEndian(profile, 132 + 12 * size_t{t} + 4);
        if (offset + 4 <= profile.size())
            std::memcpy(&profile[offset], "zzzz", 4);
    }
    return profile;
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
