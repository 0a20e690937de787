// libpng's default error handling aborts when no jump buffer is set, which
// is the right end for a test's own builder that is given bad settings.
#include "PngBuilder.h"

#include <png.h>
#include <zlib.h>

#include <cstring>
#include <stdexcept>

namespace {

void Append(png_structp png, png_bytep data, size_t n)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

void NoFlush(png_structp) {}

struct Reader {
    const Bytes* file;
    size_t offset;
};

void Take(png_structp png, png_bytep out, size_t n)
{
    auto* reader = static_cast<Reader*>(png_get_io_ptr(png));
    if (reader->offset + n > reader->file->size())
        png_error(png, "cut short");
    std::memcpy(out, reader->file->data() + reader->offset, n);
    reader->offset += n;
}

void StoreU32BE(uint8_t* at, uint32_t value)
{
    at[0] = static_cast<uint8_t>(value >> 24);
    at[1] = static_cast<uint8_t>(value >> 16);
    at[2] = static_cast<uint8_t>(value >> 8);
    at[3] = static_cast<uint8_t>(value);
}

} // namespace

int SamplesPerPixel(int colourType)
{
    switch (colourType) {
    case PNG_COLOR_TYPE_RGB:
        return 3;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return 4;
    default:
        return 1;
    }
}

Bytes BuildPng(uint32_t width, uint32_t height, const PngSettings& settings, const std::vector<uint16_t>& samples)
{
    const size_t perPixel = static_cast<size_t>(SamplesPerPixel(settings.colourType));
    if (samples.size() != size_t{width} * height * perPixel)
        throw std::invalid_argument("BuildPng: wrong number of samples");
    const size_t depth = static_cast<size_t>(settings.bitDepth);
    const size_t rowBytes = (size_t{width} * perPixel * depth + 7) / 8;
    Bytes pixels(rowBytes * height);
    for (size_t y = 0; y < height; ++y) {
        uint8_t* row = &pixels[y * rowBytes];
        for (size_t i = 0; i < width * perPixel; ++i) {
            const uint16_t v = samples[y * width * perPixel + i];
            if (depth == 16) {
                row[2 * i] = static_cast<uint8_t>(v >> 8);
                row[2 * i + 1] = static_cast<uint8_t>(v);
            } else if (depth == 8) {
                row[i] = static_cast<uint8_t>(v);
            } else {
                const size_t bit = i * depth;
                row[bit / 8] = static_cast<uint8_t>(row[bit / 8] | (v << (8 - depth - bit % 8)));
            }
        }
    }

    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, Append, NoFlush);
    // Indices past a short palette are what some tests need.
    png_set_benign_errors(png, 1);
    png_set_check_for_invalid_index(png, 0);
    png_set_IHDR(png, info, width, height, settings.bitDepth, settings.colourType,
                 settings.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette(settings.palette.size() / 3);
    for (size_t i = 0; i < palette.size(); ++i)
        palette[i] = {settings.palette[3 * i], settings.palette[3 * i + 1], settings.palette[3 * i + 2]};
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    png_byte alpha = 0;
    png_color_16 key{};
    key.gray = key.red = samples.empty() ? 0 : samples[0];
    if (settings.transparent)
        png_set_tRNS(png, info, &alpha, settings.colourType == PNG_COLOR_TYPE_PALETTE ? 1 : 0,
                     settings.colourType == PNG_COLOR_TYPE_PALETTE ? nullptr : &key);
    // A strong filter and compression setting unlike the library's defaults.
    png_set_filter(png, 0, PNG_ALL_FILTERS);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    std::vector<png_bytep> rows(height);
    for (size_t y = 0; y < height; ++y)
        rows[y] = &pixels[y * rowBytes];
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

PngHeaderFields ReadPngHeaderFields(const Bytes& file)
{
    PngHeaderFields fields;
    Reader reader{&file, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_read_fn(png, &reader, Take);
    png_read_info(png, info);
    int compression = 0, filter = 0;
    png_get_IHDR(png, info, &fields.width, &fields.height, &fields.bitDepth, &fields.colourType, &fields.interlace,
                 &compression, &filter);
    png_colorp entries = nullptr;
    if (png_get_PLTE(png, info, &entries, &fields.paletteEntries) == PNG_INFO_PLTE)
        for (int i = 0; i < fields.paletteEntries; ++i)
            fields.palette.insert(fields.palette.end(), {entries[i].red, entries[i].green, entries[i].blue});
    fields.transparent = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    png_destroy_read_struct(&png, &info, nullptr);
    return fields;
}

Bytes WithSize(Bytes file, uint32_t width, uint32_t height)
{
    // Signature (8), then the IHDR chunk: length (4), type (4), width and
    // height (4 each, big-endian), five more bytes, CRC over type and data.
    constexpr size_t kType = 12, kData = 16, kDataSize = 13;
    StoreU32BE(&file[kData], width);
    StoreU32BE(&file[kData + 4], height);
    const uLong crc = crc32(0, &file[kType], static_cast<uInt>(4 + kDataSize));
    StoreU32BE(&file[kData + kDataSize], static_cast<uint32_t>(crc));
    return file;
}
