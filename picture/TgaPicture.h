// TGA files read as pictures, over the raster library's description of the
// format (TgaFormat.h): every kind that LoadTga takes (colour-mapped 8-bit
// files with maps of 15-, 16-, 24- or 32-bit entries, true-colour files of
// 15, 16, 24 and 32 bits, grey files of 8 bits or 16 with alpha; raw or
// run-length; either vertical origin), turned into red, green, blue, alpha
// dropped. Unlike LoadTga it reads bytes, holds no state of its own and is
// bounded by the request instead of the import bound.
#pragma once

#include <cstdint>
#include <span>

#include "Picture.h"

// TGA files have no signature: true when the bytes begin with a header that
// a TGA file with pixels could have (a known image type, a colour map for a
// colour-mapped one, a size, a pixel depth TGA defines). Tried after every
// kind that has a signature.
bool HasTgaHeader(std::span<const uint8_t> bytes);

// A declared size over request.maxPixels is refused before any pixel is
// decoded; a file cut short, of a kind not read, or with an index outside
// its colour map is refused as broken. On any result but kOk, `out` is left
// empty.
PictureResult ReadTga(std::span<const uint8_t> bytes, const PictureRequest& request, Picture& out,
                      PictureFailure& failure);
