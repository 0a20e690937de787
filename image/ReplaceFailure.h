// Why ReplaceFrame did not take a file, with the sizes a message needs, and
// what a file taken with its indices kept says about its colours.
#pragma once

#include <cstdint>

#include "ColourLoss.h"

struct ReplaceFailure {
    enum class Kind {
        kNone,
        kCannotOpen,
        kNotTga,
        kWrongSize,         // fileWidth x fileHeight is not the frame's frameWidth x frameHeight
        kNeedsColourMapped, // a palette image takes colour-mapped 8-bit files only
        kNeedsTrueColour,   // a true-colour image takes true-colour files only
        kCutShort,
        kIndexOutsideMap,
        kUnsupported,
        kTooLarge,
        kNeedsIndices,      // keeping indices takes an indexed file only
        kBrokenPng,         // a PNG file that cannot be read in full
        kNeedsPalette,      // taking the file's palette takes an indexed file only
    };
    // What the file turned out to be, for a message that names it.
    enum class FileKind { kUnknown, kTga, kPng };
    Kind kind = Kind::kNone;
    FileKind fileKind = FileKind::kUnknown;
    int32_t fileWidth = 0;
    int32_t fileHeight = 0;
    int32_t frameWidth = 0;
    int32_t frameHeight = 0;
    // After a file taken with its indices kept: the pixels that show another
    // colour than in the file, because the image's palette differs from the
    // file's at the indices they use.
    int32_t recolouredPixels = 0;
    // After a file remapped to the image's palette: how far its pixels'
    // new colours lie from the file's.
    ColourLoss colourLoss;
};
