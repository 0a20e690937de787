// Why ReplaceFrame did not take a file, with the sizes a message needs.
#pragma once

#include <cstdint>

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
    };
    Kind kind = Kind::kNone;
    int32_t fileWidth = 0;
    int32_t fileHeight = 0;
    int32_t frameWidth = 0;
    int32_t frameHeight = 0;
};
