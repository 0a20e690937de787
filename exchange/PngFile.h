// Reading and writing PNG files. Any PNG that libpng reads comes in: an
// indexed file keeps its indices and palette, every other kind becomes 8-bit
// RGB (samples cut to 8 bits, grey widened, alpha and transparency ignored).
// What goes out is what the export writes: an indexed file of bit depth 8
// with all 256 palette entries, or an 8-bit RGB file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "CheckedSize.h"
#include "PngPicture.h"

// True when the bytes begin with the 8-byte PNG signature.
bool HasPngSignature(std::span<const uint8_t> bytes);
// True when the file at the path opens and begins with the PNG signature.
bool IsPngFile(const std::string& path);

enum class PngReadResult {
    kOk,
    kCannotOpen,
    kNotPng,
    kBroken,          // cannot be read in full: corrupt, cut short
    kTooLarge,        // more pixels than the read may take (kMaxImagePixels, unless asked otherwise)
    kIndexOutsideMap, // an index at or past the length of the file's palette
};

// The width and height the file's header gives, without reading any row.
PngReadResult ReadPngSize(const std::string& path, int32_t& width, int32_t& height);

// What a read of bytes takes besides the pixels. An import takes at most
// the import bound and no colour profile; the picture a new portrait is made
// from may be larger, and is brought to sRGB by its profile.
struct PngReadOptions {
    uint64_t maxPixels = kMaxImagePixels;
    bool keepIccProfile = false; // the iCCP chunk's profile into PngPicture::iccProfile
};

// The whole picture. On any result but kOk, `out` is left empty.
PngReadResult ReadPng(const std::string& path, PngPicture& out);
PngReadResult ReadPng(std::span<const uint8_t> bytes, PngPicture& out, const PngReadOptions& options = {});

// An indexed file (colour type 3, bit depth 8, not interlaced) with a palette
// of all 256 entries of rgbPalette (red, green, blue each) and no
// transparency; row y of the picture starts at indices + y * stride.
bool WriteIndexedPng(const std::string& path, int32_t width, int32_t height, const uint8_t* indices, size_t stride,
                     const uint8_t* rgbPalette);
// An 8-bit RGB file (colour type 2); row y starts at rgb + y * stride.
bool WriteRgbPng(const std::string& path, int32_t width, int32_t height, const uint8_t* rgb, size_t stride);

// The bytes of the file that WriteIndexedPng and WriteRgbPng write for the
// same picture, into `out`; false (and `out` untouched) when they would
// refuse it. For a file's digest without reading the file back.
bool EncodeIndexedPng(int32_t width, int32_t height, const uint8_t* indices, size_t stride, const uint8_t* rgbPalette,
                      std::vector<uint8_t>& out);
bool EncodeRgbPng(int32_t width, int32_t height, const uint8_t* rgb, size_t stride, std::vector<uint8_t>& out);

// The writers and encoders refuse a picture without pixels or with a stride
// shorter than a row, the writers before they create the file; a write that
// fails removes the file.
