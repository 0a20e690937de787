// TGA pictures: the header and the colour map through raster's format
// functions, the pixel values through the bounds-checked reader, a row or a
// run-length packet at a time.
#include "TgaPicture.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "ByteReader.h"
#include "CheckedSize.h"
#include "LittleEndian.h"
#include "TgaFormat.h"

namespace {

// The kinds of pixel value read, those LoadTga takes.
enum class Value {
    kIndex,     // an 8-bit index into the colour map
    k5Bit,      // one little-endian word, five bits a channel (15- and 16-bit files)
    k24Bit,     // blue, green, red
    k32Bit,     // blue, green, red, alpha
    kGrey,      // one grey byte
    kGreyAlpha, // grey, then alpha
};

// The kind of value a header's pixels are and the bytes one takes; false
// for a kind that is not read.
bool ValueKind(const TgaHeader& header, Value& kind, uint32_t& bytes)
{
    const uint8_t type = header.imageType;
    const bool grey = type == TgaHeader::kTypeGrey || type == TgaHeader::kTypeRunLengthGrey;
    const bool colour = type == TgaHeader::kTypeTrueColour || type == TgaHeader::kTypeRunLengthTrueColour;
    const uint8_t depth = header.pixelDepth;
    auto is = [&kind, &bytes](Value k, uint32_t b) {
        kind = k;
        bytes = b;
        return true;
    };
    if (header.ColourMapped())
        return depth == 8 && header.colourMapType == 1 && TgaKnownEntrySize(header.colourMapEntrySize) &&
               is(Value::kIndex, 1);
    if (grey && depth == 8)
        return is(Value::kGrey, 1);
    if (grey && depth == 16)
        return is(Value::kGreyAlpha, 2);
    if (colour && (depth == 15 || depth == 16))
        return is(Value::k5Bit, 2);
    if (colour && depth == 24)
        return is(Value::k24Bit, 3);
    if (colour && depth == 32)
        return is(Value::k32Bit, 4);
    return false;
}

// Turns pixel values into red, green, blue; a colour-mapped file's indices
// through its palette, which holds the colours first to end - 1.
struct Converter {
    Value kind = Value::k24Bit;
    const uint8_t* palette = nullptr; // kTgaPaletteBytes: blue, green, red, 0 a colour
    uint32_t first = 0;
    uint32_t end = 0;

    // n values at `values` into n pixels at rgb; false when an index names
    // a colour the map does not hold.
    bool Convert(const uint8_t* values, size_t n, uint8_t* rgb) const
    {
        auto put = [&rgb](uint32_t red, uint32_t green, uint32_t blue) {
            rgb[0] = static_cast<uint8_t>(red);
            rgb[1] = static_cast<uint8_t>(green);
            rgb[2] = static_cast<uint8_t>(blue);
            rgb += 3;
        };
        switch (kind) {
        case Value::kIndex:
            for (size_t i = 0; i < n; ++i) {
                if (values[i] < first || values[i] >= end)
                    return false;
                const uint8_t* c = palette + size_t{values[i]} * 4;
                put(c[2], c[1], c[0]);
            }
            break;
        case Value::k5Bit:
            for (size_t i = 0; i < n; ++i, values += 2) {
                const TgaRgb c = DecodeTga16(LoadU16LE(values));
                put(c.red, c.green, c.blue);
            }
            break;
        case Value::k24Bit:
        case Value::k32Bit: {
            const size_t step = kind == Value::k24Bit ? 3 : 4;
            for (size_t i = 0; i < n; ++i, values += step)
                put(values[2], values[1], values[0]);
            break;
        }
        case Value::kGrey:
        case Value::kGreyAlpha: {
            const size_t step = kind == Value::kGrey ? 1 : 2;
            for (size_t i = 0; i < n; ++i, values += step)
                put(values[0], values[0], values[0]);
            break;
        }
        }
        return true;
    }
};

enum class Decoded { kOk, kCutShort, kOutsideMap };

// Uncompressed rows, in file order, a row at a time.
Decoded DecodeRaw(CByteReader& reader, const Converter& converter, uint32_t valueBytes, size_t width, size_t height,
                  uint8_t* rgb)
{
    std::vector<uint8_t> row(width * valueBytes);
    for (size_t y = 0; y < height; ++y) {
        reader.Bytes(row.data(), row.size());
        if (!reader.Ok())
            return Decoded::kCutShort;
        if (!converter.Convert(row.data(), width, rgb + y * width * 3))
            return Decoded::kOutsideMap;
    }
    return Decoded::kOk;
}

// Run-length packets, in file order; they may run across rows, and one that
// runs past the last pixel is cut there, as LoadTga cuts it.
Decoded DecodeRunLength(CByteReader& reader, const Converter& converter, uint32_t valueBytes, uint64_t pixels,
                        uint8_t* rgb)
{
    uint8_t values[kTgaMaxPacketPixels * 4];
    uint64_t decoded = 0;
    while (decoded < pixels) {
        const uint8_t packet = reader.U8();
        const size_t count = static_cast<size_t>(std::min<uint64_t>(TgaPacketPixels(packet), pixels - decoded));
        uint8_t* out = rgb + decoded * 3;
        const size_t stored = TgaRunPacket(packet) ? 1 : count;
        reader.Bytes(values, stored * valueBytes);
        if (!reader.Ok())
            return Decoded::kCutShort;
        if (!converter.Convert(values, stored, out))
            return Decoded::kOutsideMap;
        for (size_t i = stored; i < count; ++i)
            std::memcpy(out + i * 3, out, 3);
        decoded += count;
    }
    return Decoded::kOk;
}

// Turns rows stored bottom row first into top row first, in place.
void FlipRows(std::vector<uint8_t>& rgb, size_t rowBytes, size_t rows)
{
    std::vector<uint8_t> row(rowBytes);
    for (size_t top = 0, bottom = rows - 1; top < bottom; ++top, --bottom) {
        uint8_t* a = rgb.data() + top * rowBytes;
        uint8_t* b = rgb.data() + bottom * rowBytes;
        std::memcpy(row.data(), a, rowBytes);
        std::memcpy(a, b, rowBytes);
        std::memcpy(b, row.data(), rowBytes);
    }
}

PictureResult Refuse(PictureResult result, const std::string& reason, Picture& out, PictureFailure& failure)
{
    out = Picture{};
    failure = {result, reason};
    return result;
}

} // namespace

bool HasTgaHeader(std::span<const uint8_t> bytes)
{
    if (bytes.size() < TgaHeader::kSize)
        return false;
    const TgaHeader header = ParseTgaHeader(bytes);
    const uint8_t depth = header.pixelDepth;
    const bool tgaDepth = depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
    return header.Plausible() && header.imageType != TgaHeader::kTypeNoImage && header.width > 0 &&
           header.height > 0 && tgaDepth && (!header.ColourMapped() || header.colourMapType == 1);
}

PictureResult ReadTga(std::span<const uint8_t> bytes, const PictureRequest& request, Picture& out,
                      PictureFailure& failure)
{
    out = Picture{};
    failure = PictureFailure{};
    if (!HasTgaHeader(bytes))
        return Refuse(PictureResult::kUnknownKind, "the file is no TGA file", out, failure);
    const TgaHeader header = ParseTgaHeader(bytes);
    const uint64_t width = header.width;
    const uint64_t height = header.height;
    uint64_t pixels = 0;
    if (!CheckedMul(width, height, pixels) || pixels > request.maxPixels)
        return Refuse(PictureResult::kTooLarge,
                      "the TGA file declares " + std::to_string(width) + " x " + std::to_string(height) +
                          " pixels, more than can be read",
                      out, failure);
    Converter converter;
    uint32_t valueBytes = 0;
    if (!ValueKind(header, converter.kind, valueBytes))
        return Refuse(PictureResult::kBroken, "TGA files of this kind cannot be read", out, failure);

    const std::string cutShort = "the TGA file is cut short";
    CByteReader reader(bytes.data(), bytes.size());
    reader.Seek(TgaHeader::kSize);
    reader.Skip(header.idLength);
    const size_t mapOffset = reader.Position();
    const uint64_t mapBytes = TgaColourMapBytes(header);
    if (!RangeFits(mapOffset, mapBytes, bytes.size()))
        return Refuse(PictureResult::kBroken, cutShort, out, failure);
    reader.Skip(static_cast<size_t>(mapBytes));
    std::array<uint8_t, kTgaPaletteBytes> palette{};
    if (converter.kind == Value::kIndex) {
        DecodeTgaColourMap(header, 0, bytes.subspan(mapOffset, static_cast<size_t>(mapBytes)), palette.data());
        converter.palette = palette.data();
        converter.first = header.colourMapFirst;
        converter.end = uint32_t{header.colourMapFirst} + header.colourMapLength;
    }

    // The bytes after the colour map must hold every pixel (uncompressed),
    // or could describe them at the most a packet stands for (run-length).
    const bool runLength = header.imageType >= TgaHeader::kTypeRunLengthColourMapped;
    const uint64_t rest = reader.Ok() ? reader.Remaining() : 0;
    const uint64_t describable = runLength ? DescribablePixels(rest, kTgaMaxPacketPixels) : rest / valueBytes;
    uint64_t budget = request.maxPixels;
    uint64_t rgbBytes = 0;
    if (!reader.Ok() || !TakePixels(width, width, height, describable, budget))
        return Refuse(PictureResult::kBroken, cutShort, out, failure);
    if (!CheckedMul(pixels, 3, rgbBytes) || rgbBytes > SIZE_MAX)
        return Refuse(PictureResult::kTooLarge, "there is not enough memory to read the TGA file", out, failure);
    try {
        out.rgb.resize(static_cast<size_t>(rgbBytes));
        const Decoded decoded =
            runLength ? DecodeRunLength(reader, converter, valueBytes, pixels, out.rgb.data())
                      : DecodeRaw(reader, converter, valueBytes, static_cast<size_t>(width),
                                  static_cast<size_t>(height), out.rgb.data());
        if (decoded == Decoded::kCutShort)
            return Refuse(PictureResult::kBroken, cutShort, out, failure);
        if (decoded == Decoded::kOutsideMap)
            return Refuse(PictureResult::kBroken, "the TGA file names a colour that its colour map does not hold",
                          out, failure);
        if (!header.TopRowFirst())
            FlipRows(out.rgb, static_cast<size_t>(width) * 3, static_cast<size_t>(height));
    } catch (const std::bad_alloc&) {
        return Refuse(PictureResult::kTooLarge, "there is not enough memory to read the TGA file", out, failure);
    }
    out.width = static_cast<int32_t>(width);
    out.height = static_cast<int32_t>(height);
    return PictureResult::kOk;
}
