// The file an import reads into a new surface before any of it reaches a
// frame, with the reason when it is not taken; how a palette frame's pixels
// compare with the file's and are matched to the image's palette; and the
// PNG file an export writes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ColourLoss.h"
#include "ImportOptions.h"
#include "RasterSurface.h"
#include "ReplaceFailure.h"

// A picture read from a file for an import, as ReadImportFile gives it.
struct ImportPicture {
    std::unique_ptr<CRasterSurface> surface;
    std::vector<uint8_t> colours;
};

// Results of ReadImportFile, as ReplaceFrame gives them.
constexpr int32_t kImportFileRead = 1;
constexpr int32_t kImportFileWrongDepth = -1;
constexpr int32_t kImportFileWrongSize = -2;

// Reads the file at path, a PNG or a TGA file told apart by its signature,
// which must be width x height, into `loaded`: for a palette image an index
// buffer with the file's palette, 32-bit pixels otherwise. A file without a
// palette read for a palette image (to be remapped) leaves the index buffer
// blank, without palette, and its pixels (red, green, blue each, rows top
// first) in `colours`. On failure `loaded` is null and failure says why.
int32_t ReadImportFile(const std::string& path, int32_t width, int32_t height, bool paletteImage, ImportMode mode,
                       std::unique_ptr<CRasterSurface>& loaded, std::vector<uint8_t>& colours,
                       ReplaceFailure& failure);

// Whether the first `width` indices of every row of `loaded` (rows of
// loaded->m_width) equal those of `frame`, whose rows may be wider.
bool SameIndices(const CRasterSurface& loaded, const CRasterSurface& frame, int32_t width);

// The pixels of `loaded`, an index buffer with its file's palette, whose
// colour in `palette` (256 x blue, green, red, 0) is not the file's.
int32_t CountRecolouredPixels(const CRasterSurface& loaded, const uint8_t* palette);

// Matches a remapped import's pixels to `palette` in place: an indexed
// file's through its own palette, or `colours` (red, green, blue a pixel) of
// a file without one, by the options' metric and with their dithering; loss
// says how far the pixels' new colours lie from the file's. False when it
// cannot be done (no memory).
bool MatchImportedColours(CRasterSurface& loaded, const std::vector<uint8_t>& colours, const uint8_t* palette,
                          const ImportOptions& options, ColourLoss& loss);

// Writes width x height pixels of a frame (an index buffer shown through
// `palette`, or 32-bit pixels) as an indexed or an 8-bit RGB PNG file with
// the colours the TGA export writes; 1 when written, -1 otherwise.
int32_t ExportPng(const CRasterSurface& surface, int32_t width, int32_t height, const uint8_t* palette,
                  const std::string& path);
// The bytes ExportPng writes for the same frame, into bytes; false when it
// would write nothing.
bool EncodePng(const CRasterSurface& surface, int32_t width, int32_t height, const uint8_t* palette,
               std::vector<uint8_t>& bytes);
