// The TGA file format as plain functions from bytes to values and back, with
// no file handling: LoadTga, SaveTga and the header checks are adapters over
// these. A file is, in this order:
//
//   section       bytes                                   holds
//   header        18 (fields in TgaHeader.h)              kind, sizes, origin
//   image ID      idLength                                anything; skipped
//   colour map    colourMapLength x ColourMapEntryBytes() when colourMapType is 1:
//                                                         entry k is colour colourMapFirst + k
//   pixel data    the rest                                width x height pixels, bottom row
//                                                         first unless the descriptor says
//
// Colour-map entries and pixel values are blue, green, red, then alpha for
// 32 bits; 15- and 16-bit values are one little-endian word of five bits a
// channel (blue in bits 0-4, green 5-9, red 10-14, bit 15 unused). Pixel data
// of the run-length types is a sequence of packets, each a byte and then
// pixel values: with bit 0x80 set, one value repeated (byte & 0x7F) + 1
// times; without it, (byte & 0x7F) + 1 values one after another. Packets may
// run across rows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "TgaFailure.h"
#include "TgaHeader.h"

// The palette a colour-mapped file is read into: 256 x (blue, green, red, 0).
constexpr size_t kTgaPaletteColours = 256;
constexpr size_t kTgaPaletteBytes = kTgaPaletteColours * 4;

// The header at the start of bytes. Fields past the end of a header cut short
// read as 0, as a file's bytes past its end do for the reader.
TgaHeader ParseTgaHeader(std::span<const uint8_t> bytes);
std::array<uint8_t, TgaHeader::kSize> SerializeTgaHeader(const TgaHeader& header);

// Bytes of the colour map, whether or not its entry size is one the reader
// decodes; 0 when the colour-map type is 0.
uint64_t TgaColourMapBytes(const TgaHeader& header);
// Whether colour-map entries of this many bits are decoded: 15, 16, 24, 32.
bool TgaKnownEntrySize(uint8_t bits);

// A 15- or 16-bit value's channels, five bits each, shifted up to eight.
struct TgaRgb {
    uint32_t blue;
    uint32_t green;
    uint32_t red;
};
constexpr TgaRgb DecodeTga16(uint32_t value)
{
    return {(value & 0x1F) << 3, ((value >> 5) & 0x1F) << 3, ((value >> 10) & 0x1F) << 3};
}

// One colour-map entry of 2, 3 or 4 bytes at entry as blue, green, red, 0 at
// colour: the fourth byte of a 32-bit entry (its alpha) is not kept.
void DecodeTgaMapEntry(const uint8_t* entry, uint32_t entryBytes, uint8_t* colour);
// Decodes the whole entries in bytes, which are colour-map entries
// firstEntry, firstEntry + 1, ... of the header's map, into palette
// (kTgaPaletteBytes): each goes to colour colourMapFirst + its entry number,
// and those past colour 255 are dropped. Nothing for an entry size that
// TgaKnownEntrySize refuses.
void DecodeTgaColourMap(const TgaHeader& header, uint32_t firstEntry, std::span<const uint8_t> bytes,
                        uint8_t* palette);

// Run-length packets.
constexpr uint32_t kTgaMaxPacketPixels = 128;
constexpr bool TgaRunPacket(uint8_t packet) { return (packet & 0x80u) != 0; }
constexpr uint32_t TgaPacketPixels(uint8_t packet) { return (packet & 0x7Fu) + 1u; }
// pixels (values of pixelBytes each, in file order) as run-length packets
// appended to out: two or more equal values make a run packet, the rest
// literal packets of up to 128 values, which stop before a pair of equal ones.
void AppendTgaRunLength(std::span<const uint8_t> pixels, size_t pixelBytes, std::vector<uint8_t>& out);

// Whether the picture a header claims may be given memory, when `bytes` bytes
// of the file follow the colour map: they must hold all its pixels at
// bytesPerPixel each (an uncompressed file), or could describe them at the
// most a run-length packet stands for (bytesPerPixel 0: run-length files, and
// files that are refused anyway), and the picture must fit the pixels one
// import may hold. kNone, kTooLarge or kCutShort.
TgaFailure CheckTgaPixels(const TgaHeader& header, uint64_t bytes, uint32_t bytesPerPixel);

// A picture as SaveTga writes it: height rows of width pixels, top row first,
// at stride bytes from one another; depth 8 (indices, with palette: 256 x
// blue, green, red, fourth byte, which must be given) or 32 (blue, green,
// red, fourth byte). Other depths are for the caller to refuse.
struct TgaPicture {
    const uint8_t* pixels = nullptr;
    size_t stride = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t depth = 8;
    const uint8_t* palette = nullptr;
};
// The whole uncompressed file for picture, top row first: an 8-bit picture
// with a 256-entry colour map of 24-bit entries, a 32-bit one with 255 as the
// fourth byte of every pixel (other programs read it as alpha, and 0 would
// make the picture fully transparent to them). False, with out empty, when
// the bytes cannot be had.
bool SerializeTgaFile(const TgaPicture& picture, std::vector<uint8_t>& out);
