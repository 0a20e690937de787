// Why a TGA file was not read into a surface, for messages that tell the
// user what to change.
#pragma once

enum class TgaFailure {
    kNone,
    kCannotOpen,      // missing, not a regular file, or not readable
    kNotTga,          // shorter than a header, or a header no TGA file has
    kUnsupported,     // a kind of TGA the reader does not take (16-bit indices, 8-bit colour, ...)
    kCutShort,        // the colour map or the pixels end before the header says
    kIndexOutsideMap, // a pixel names a colour that the colour map does not hold
    kTooLarge,        // more pixels than one import may hold
};
