// One new palette for all the frames of a palette image together, made by
// libimagequant (the library behind pngquant), with entry 0 kept as it is:
// runs of index 0 are what the frame code packs, and the game's frames
// rely on its colour. Only this file sees libimagequant's header.
#pragma once

#include <cstdint>
#include <vector>

struct PaletteFrame {
    int32_t width = 0;
    int32_t height = 0;
    const std::vector<uint8_t>* rgb = nullptr; // width x height x 3
};

// palette: 256 entries of blue, green, red, 0, as an image holds them;
// entry 0 is read from it and kept, the others are made anew (unused ones
// black): libimagequant's choice, then moved to the centres in OKLab of the
// pixels nearest each, where a remap in OKLab looks for them. False, with the palette as it was, when no frame has pixels or
// libimagequant cannot make one.
bool MakeSharedPalette(const std::vector<PaletteFrame>& frames, uint8_t* palette);
