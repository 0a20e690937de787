// How an imported file's pixels become a palette frame's indices, and which
// format frames are exported in.
#pragma once

#include <cstdint>

enum class ImportMode : int32_t {
    kRemap,       // each pixel's colour matched to the image's palette
    kKeepIndices, // an indexed file's indices taken exactly as they are
    kFilePalette, // the file's palette replaces the image's
};

enum class ColourMetric : int32_t {
    kClassic,    // sum of the channel distances
    kPerceptual, // Euclidean distance in OKLab
};

struct ImportOptions {
    ImportMode mode = ImportMode::kRemap;
    ColourMetric metric = ColourMetric::kClassic;
    bool dither = false; // Floyd-Steinberg error diffusion while remapping
};
