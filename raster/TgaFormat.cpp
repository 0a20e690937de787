// The TGA format's byte-level functions; the layout is described in TgaFormat.h
// and TgaHeader.h.
#include "TgaFormat.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

#include "ByteReader.h"
#include "CheckedSize.h"
#include "LittleEndian.h"

TgaHeader ParseTgaHeader(std::span<const uint8_t> bytes)
{
    uint8_t padded[TgaHeader::kSize] = {};
    if (!bytes.empty())
        std::memcpy(padded, bytes.data(), std::min(bytes.size(), sizeof padded));
    CByteReader reader(padded, sizeof padded);
    auto u8 = [&reader](size_t offset) {
        reader.Seek(offset);
        return reader.U8();
    };
    auto u16 = [&reader](size_t offset) {
        reader.Seek(offset);
        return reader.U16();
    };
    TgaHeader h;
    h.idLength = u8(TgaHeader::kIdLengthOffset);
    h.colourMapType = u8(TgaHeader::kColourMapTypeOffset);
    h.imageType = u8(TgaHeader::kImageTypeOffset);
    h.colourMapFirst = u16(TgaHeader::kColourMapFirstOffset);
    h.colourMapLength = u16(TgaHeader::kColourMapLengthOffset);
    h.colourMapEntrySize = u8(TgaHeader::kColourMapEntrySizeOffset);
    h.xOrigin = u16(TgaHeader::kXOriginOffset);
    h.yOrigin = u16(TgaHeader::kYOriginOffset);
    h.width = u16(TgaHeader::kWidthOffset);
    h.height = u16(TgaHeader::kHeightOffset);
    h.pixelDepth = u8(TgaHeader::kPixelDepthOffset);
    h.descriptor = u8(TgaHeader::kDescriptorOffset);
    return h;
}

std::array<uint8_t, TgaHeader::kSize> SerializeTgaHeader(const TgaHeader& header)
{
    std::array<uint8_t, TgaHeader::kSize> bytes{};
    bytes[TgaHeader::kIdLengthOffset] = header.idLength;
    bytes[TgaHeader::kColourMapTypeOffset] = header.colourMapType;
    bytes[TgaHeader::kImageTypeOffset] = header.imageType;
    StoreU16LE(&bytes[TgaHeader::kColourMapFirstOffset], header.colourMapFirst);
    StoreU16LE(&bytes[TgaHeader::kColourMapLengthOffset], header.colourMapLength);
    bytes[TgaHeader::kColourMapEntrySizeOffset] = header.colourMapEntrySize;
    StoreU16LE(&bytes[TgaHeader::kXOriginOffset], header.xOrigin);
    StoreU16LE(&bytes[TgaHeader::kYOriginOffset], header.yOrigin);
    StoreU16LE(&bytes[TgaHeader::kWidthOffset], header.width);
    StoreU16LE(&bytes[TgaHeader::kHeightOffset], header.height);
    bytes[TgaHeader::kPixelDepthOffset] = header.pixelDepth;
    bytes[TgaHeader::kDescriptorOffset] = header.descriptor;
    return bytes;
}

uint64_t TgaColourMapBytes(const TgaHeader& header)
{
    if (header.colourMapType == 0)
        return 0;
    return static_cast<uint64_t>(header.ColourMapEntryBytes()) * header.colourMapLength;
}

bool TgaKnownEntrySize(uint8_t bits)
{
    return bits == 15 || bits == 16 || bits == 24 || bits == 32;
}

void DecodeTgaMapEntry(const uint8_t* entry, uint32_t entryBytes, uint8_t* colour)
{
    if (entryBytes == 2) {
        const TgaRgb rgb = DecodeTga16(LoadU16LE(entry));
        colour[0] = static_cast<uint8_t>(rgb.blue);
        colour[1] = static_cast<uint8_t>(rgb.green);
        colour[2] = static_cast<uint8_t>(rgb.red);
    } else {
        colour[0] = entry[0];
        colour[1] = entry[1];
        colour[2] = entry[2];
    }
    colour[3] = 0;
}

void DecodeTgaColourMap(const TgaHeader& header, uint32_t firstEntry, std::span<const uint8_t> bytes,
                        uint8_t* palette)
{
    if (!TgaKnownEntrySize(header.colourMapEntrySize))
        return;
    const uint32_t entryBytes = header.ColourMapEntryBytes();
    const size_t entries = bytes.size() / entryBytes;
    for (size_t e = 0; e < entries; ++e) {
        const uint64_t index = uint64_t{header.colourMapFirst} + firstEntry + e;
        if (index < kTgaPaletteColours)
            DecodeTgaMapEntry(bytes.data() + e * entryBytes, entryBytes, palette + index * 4);
    }
}

void AppendTgaRunLength(std::span<const uint8_t> pixels, size_t pixelBytes, std::vector<uint8_t>& out)
{
    const size_t count = pixels.size() / pixelBytes;
    auto same = [&](size_t a, size_t b) {
        return std::memcmp(pixels.data() + a * pixelBytes, pixels.data() + b * pixelBytes, pixelBytes) == 0;
    };
    auto put = [&](size_t from, size_t n) {
        out.insert(out.end(), pixels.begin() + static_cast<ptrdiff_t>(from * pixelBytes),
                   pixels.begin() + static_cast<ptrdiff_t>((from + n) * pixelBytes));
    };
    size_t i = 0;
    while (i < count) {
        size_t run = 1;
        while (i + run < count && run < kTgaMaxPacketPixels && same(i + run, i))
            ++run;
        if (run >= 2) {
            out.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
            put(i, 1);
            i += run;
            continue;
        }
        size_t literal = 1;
        while (i + literal < count && literal < kTgaMaxPacketPixels &&
               (i + literal + 1 >= count || !same(i + literal, i + literal + 1)))
            ++literal;
        out.push_back(static_cast<uint8_t>(literal - 1));
        put(i, literal);
        i += literal;
    }
}

TgaFailure CheckTgaPixels(const TgaHeader& header, uint64_t bytes, uint32_t bytesPerPixel)
{
    const uint64_t describable =
        bytesPerPixel ? bytes / bytesPerPixel : DescribablePixels(bytes, kTgaMaxPacketPixels);
    uint64_t budget = kMaxImagePixels;
    if (TakePixels(header.width, header.width, header.height, describable, budget))
        return TgaFailure::kNone;
    const uint64_t claimed = static_cast<uint64_t>(header.width) * header.height;
    return claimed > kMaxImagePixels ? TgaFailure::kTooLarge : TgaFailure::kCutShort;
}

bool SerializeTgaFile(const TgaPicture& picture, std::vector<uint8_t>& out)
{
    out.clear();
    const bool colourMapped = picture.depth == 8;
    const size_t rowBytes = static_cast<size_t>(picture.width) * (picture.depth / 8);
    const size_t prefixBytes = TgaHeader::kSize + (colourMapped ? TgaHeader::kPaletteBytes : 0);
    uint64_t imageBytes = 0;
    uint64_t fileBytes = 0;
    if (!CheckedMul(rowBytes, picture.height, imageBytes) || !CheckedAdd(prefixBytes, imageBytes, fileBytes) ||
        fileBytes > SIZE_MAX)
        return false;
    try {
        out.resize(static_cast<size_t>(fileBytes));
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }

    TgaHeader header;
    header.width = static_cast<uint16_t>(picture.width);
    header.height = static_cast<uint16_t>(picture.height);
    header.pixelDepth = static_cast<uint8_t>(picture.depth);
    header.descriptor = TgaHeader::kDescriptorTopLeft;
    if (colourMapped) {
        header.colourMapType = 1;
        header.imageType = TgaHeader::kTypeColourMapped;
        header.colourMapLength = TgaHeader::kPaletteEntries;
        header.colourMapEntrySize = TgaHeader::kPaletteEntryBits;
    } else {
        header.imageType = TgaHeader::kTypeTrueColour;
    }
    const std::array<uint8_t, TgaHeader::kSize> headerBytes = SerializeTgaHeader(header);
    std::copy(headerBytes.begin(), headerBytes.end(), out.begin());
    if (colourMapped) {
        // The fourth byte of each palette entry is not written.
        uint8_t* map = out.data() + TgaHeader::kSize;
        for (size_t i = 0; i < TgaHeader::kPaletteEntries; ++i) {
            map[i * 3 + 0] = picture.palette[i * 4 + 0];
            map[i * 3 + 1] = picture.palette[i * 4 + 1];
            map[i * 3 + 2] = picture.palette[i * 4 + 2];
        }
    }
    uint8_t* row = out.data() + prefixBytes;
    for (uint32_t y = 0; y < picture.height && rowBytes > 0; ++y, row += rowBytes) {
        std::memcpy(row, picture.pixels + static_cast<size_t>(y) * picture.stride, rowBytes);
        if (!colourMapped)
            for (size_t x = 3; x < rowBytes; x += 4)
                row[x] = 0xFF;
    }
    return true;
}
