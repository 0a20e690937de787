#include "PngBytes.h"

#include <png.h>
#include <zlib.h>

namespace {

void PutU32BigEndian(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    for (size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

void AppendTo(png_structp png, png_bytep data, size_t size)
{
    auto* bytes = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    bytes->insert(bytes->end(), data, data + size);
}

void FlushNothing(png_structp) {}

} // namespace

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
    PutU32BigEndian(chunk, 0, static_cast<uint32_t>(chunk.size() - 8));
    chunk.resize(chunk.size() + 4);
    const uLong crc = crc32(0, chunk.data() + 4, static_cast<uInt>(chunk.size() - 8));
    PutU32BigEndian(chunk, chunk.size() - 4, static_cast<uint32_t>(crc));
    bytes.insert(bytes.begin() + 33, chunk.begin(), chunk.end());
    return bytes;
}

std::vector<uint8_t> WithDeclaredPngSize(std::vector<uint8_t> png, uint32_t width, uint32_t height)
{
    // The signature, then IHDR: its length, "IHDR", width, height and five
    // bytes more, and the CRC of the name and the data.
    PutU32BigEndian(png, 16, width);
    PutU32BigEndian(png, 20, height);
    PutU32BigEndian(png, 29, static_cast<uint32_t>(crc32(0, png.data() + 12, 17)));
    return png;
}
