// Game directories with portraits for tests of the editor: every portrait
// gets palette images in three sizes (a true-colour SMALL image on request)
// whose pixels tell the portrait and the frame apart.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ArchiveBytes.h"

struct TestPortrait {
    std::string raceCode; // "TVAR", "QEN", ...
    bool male = true;
    char variant = '1';
    int mediumFrames = 1;
    bool trueColourSmall = false;
};

// The portrait's catalogue name: race code, M or F, and the variant.
std::string TestPortraitName(const TestPortrait& p);
// Entry names: PORTRAITS\<SIZE>\<first letter of SIZE><name>.GFX
std::string TestEntryName(const TestPortrait& p, const char* size);

// LARGE 21 x 15, MEDIUM 11 x 7 with the given number of frames, SMALL 5 x 3.
// Portrait k (in the order given) uses palette index k % 200 + 1 for its
// frame-0 pixels; MEDIUM frame f adds f.
std::vector<TestEntry> MakePortraitEntries(const std::vector<TestPortrait>& portraits);

// n portraits with distinct identities, cycling through the twelve races,
// both genders and the variants '0' to '9'.
std::vector<TestPortrait> ManyPortraits(int n);

// The colour of palette index i in the test images, as 0x00RRGGBB.
uint32_t TestPaletteRgb(int i);

// The test images' palette as a TGA colour map: 256 entries of blue, green, red.
std::vector<uint8_t> TestColourMap();
// An uncompressed colour-mapped TGA (type 1, 8 bits, 24-bit map entries,
// top row first) with every pixel set to `index`.
std::vector<uint8_t> SolidTga(uint16_t width, uint16_t height, uint8_t index,
                              const std::vector<uint8_t>& colourMap = TestColourMap());

// The process's current directory for the lifetime of the object.
class ScopedChdir {
public:
    explicit ScopedChdir(const std::string& path);
    ~ScopedChdir();
    ScopedChdir(const ScopedChdir&) = delete;
    ScopedChdir& operator=(const ScopedChdir&) = delete;

private:
    std::string m_previous;
};
