// The file an import reads into a new surface before any of it reaches a
// frame, with the reason when it is not taken, and how a palette frame's
// pixels compare with the file's.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ImportOptions.h"
#include "RasterSurface.h"
#include "ReplaceFailure.h"

// Results of ReadImportFile, as ReplaceFrame gives them.
constexpr int32_t kImportFileRead = 1;
constexpr int32_t kImportFileWrongDepth = -1;
constexpr int32_t kImportFileWrongSize = -2;

// Reads the file at path, which must be width x height, into `loaded`: an
// index buffer with the file's palette for a palette image, 32-bit pixels
// otherwise. On failure `loaded` is null and failure says why.
int32_t ReadImportFile(const std::string& path, int32_t width, int32_t height, bool paletteImage, ImportMode mode,
                       std::unique_ptr<CRasterSurface>& loaded, ReplaceFailure& failure);

// Whether the first `width` indices of every row of `loaded` (rows of
// loaded->m_width) equal those of `frame`, whose rows may be wider.
bool SameIndices(const CRasterSurface& loaded, const CRasterSurface& frame, int32_t width);

// The pixels of `loaded`, an index buffer with its file's palette, whose
// colour in `palette` (256 x blue, green, red, 0) is not the file's.
int32_t CountRecolouredPixels(const CRasterSurface& loaded, const uint8_t* palette);
