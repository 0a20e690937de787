// A GFX portrait image as a plain value, and the one description of how its
// bytes are laid out. ParseGfx takes any bytes apart without trusting them;
// SerializeGfx writes a value back field by field. Everything that writes a
// GFX image builds a value and serializes it.
//
//   part          bytes                                   present in
//   header        64, see GfxHeader.h                     every image
//   palette       3 a stored colour: red, green, blue     palette images (bit depth 8)
//   frame table   16 a frame, see GfxFrameRecord.h        palette images
//   frame data    each frame's run-length code            palette images
//                 (FrameCodec.h) at its record's offset
//   pixels        2 a pixel, rows of width pixels, top    true-colour images (bit depth 16)
//                 row first: red 15-11, green 10-5,
//                 blue 4-0
//
// The header's colour count says how many colours are stored (none for a
// negative count), also past the 256 that the editor keeps, and the frame
// table follows all of them. An image of any other bit depth is its header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "GfxFrameRecord.h"
#include "GfxHeader.h"

struct GfxImage {
    GfxHeader header;
    std::vector<uint8_t> palette;           // the stored colours: red, green, blue each
    std::vector<GfxFrameRecord> frameTable; // palette images
    std::vector<uint8_t> frameData;         // palette images: what follows the frame table
    std::vector<uint16_t> pixels;           // true-colour images

    // A palette image with the given header bytes, the colours of rgb (red,
    // green, blue each, at most 32,767 of them) and no frames yet.
    static GfxImage PaletteImage(const GfxHeader& header, std::span<const uint8_t> rgb);
    // A true-colour image of one frame, width x height pixels.
    static GfxImage TrueColourImage(const GfxHeader& header, int16_t width, int16_t height,
                                    std::vector<uint16_t> pixels);

    // Appends a frame's run-length code to the frame data and its record to
    // the table. The record's offset and length are set here, its other bytes
    // kept; the header's frame count and data size follow. False, with
    // nothing changed, for a 256th frame or frame data past 4 GiB.
    bool AddFrame(GfxFrameRecord record, std::span<const uint8_t> code);
    // The same for height rows of width indices, encoded here; the record
    // takes the frame's width and height as well. False when the frame
    // cannot be encoded.
    bool AddFrame(GfxFrameRecord record, const uint8_t* indices, int32_t width, int32_t height);

    // The run-length code of frame i as far as the frame data hold it; empty
    // when its offset lies past them.
    std::span<const uint8_t> FrameCode(size_t i) const;
};

// Where the frame data start: after the header, `storedColours` colours and
// `frames` records.
uint64_t GfxDataStart(uint64_t storedColours, uint64_t frames);

// How far the image's parts reach from its first byte: the header, the
// stored colours, the frame table and the furthest frame's data of a palette
// image; the header and width x height pixels of a true-colour image; the
// header alone for any other. Bytes past it belong to no part.
uint64_t GfxImageExtent(const GfxImage& image);

// Takes any bytes apart; nothing is allocated beyond what the bytes hold
// (and 255 records). A header cut short reads as zeros past its end; a
// palette cut short keeps the colours that are there whole, and the frame
// table then reads as zeros; true-colour pixels are those the bytes hold.
GfxImage ParseGfx(std::span<const uint8_t> bytes);

// The bytes of the value's parts in the order above, each as it is held.
std::vector<uint8_t> SerializeGfx(const GfxImage& image);

// The stored colours as the 256 colours the editor holds (blue, green, red,
// 0 each): colours past 256 are left out, missing ones are black.
void StoredToEditorPalette(std::span<const uint8_t> rgb, uint8_t* palette);
// The first `colours` colours of the editor's palette as stored; colours
// past 256 are stored as black.
std::vector<uint8_t> EditorToStoredPalette(const uint8_t* palette, int32_t colours);

// A true-colour pixel from blue, green and red, each cut to its top bits.
uint16_t PackGfxPixel(const uint8_t* bgr);
// Blue, green, red and 0 from a true-colour pixel; channels widen by a plain
// shift, so white 0xFFFF becomes (248, 252, 248).
void UnpackGfxPixel(uint16_t pixel, uint8_t* bgr0);
