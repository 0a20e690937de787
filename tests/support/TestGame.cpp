#include "TestGame.h"

#include <unistd.h>

#include <stdexcept>

#include "GfxBytes.h"
#include "RaceTable.h"
#include "TgaBytes.h"

namespace {

std::vector<uint8_t> PaletteRgb()
{
    std::vector<uint8_t> rgb;
    for (int i = 0; i < 256; ++i) {
        const uint32_t c = TestPaletteRgb(i);
        rgb.insert(rgb.end(), {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)});
    }
    return rgb;
}

// A frame whose pixels are `index`, with a border of index 0 on the left.
TestFrame SolidFrame(int16_t width, int16_t height, uint8_t index)
{
    TestFrame f{width, height, std::vector<uint8_t>(static_cast<size_t>(width * height), index)};
    for (int y = 0; y < height; ++y)
        f.indices[static_cast<size_t>(y * width)] = 0;
    return f;
}

} // namespace

uint32_t TestPaletteRgb(int i)
{
    if (i == 0)
        return 0x102030;
    return static_cast<uint32_t>(((i * 37) & 0xFF) << 16 | ((i * 91 + 50) & 0xFF) << 8 | ((255 - i) & 0xFF));
}

std::string TestPortraitName(const TestPortrait& p)
{
    return p.raceCode + (p.male ? "M" : "F") + std::string(1, p.variant);
}

std::string TestEntryName(const TestPortrait& p, const char* size)
{
    // Each size's file starts with its own letter: override files are named
    // after the base name, so sizes sharing one would overwrite each other.
    return std::string("PORTRAITS\\") + size + "\\" + size[0] + TestPortraitName(p) + ".GFX";
}

std::vector<TestEntry> MakePortraitEntries(const std::vector<TestPortrait>& portraits)
{
    const std::vector<uint8_t> palette = PaletteRgb();
    std::vector<TestEntry> entries;
    for (size_t k = 0; k < portraits.size(); ++k) {
        const TestPortrait& p = portraits[k];
        const auto index = static_cast<uint8_t>(k % 200 + 1);
        entries.push_back({TestEntryName(p, "LARGE"), MakePaletteImage(palette, {SolidFrame(21, 15, index)})});
        std::vector<TestFrame> medium;
        for (int f = 0; f < p.mediumFrames; ++f)
            medium.push_back(SolidFrame(11, 7, static_cast<uint8_t>(index + f)));
        entries.push_back({TestEntryName(p, "MEDIUM"), MakePaletteImage(palette, medium)});
        if (p.trueColourSmall)
            entries.push_back({TestEntryName(p, "SMALL"), MakeTrueColourImage(5, 3, std::vector<uint16_t>(15, 0xF800))});
        else
            entries.push_back({TestEntryName(p, "SMALL"), MakePaletteImage(palette, {SolidFrame(5, 3, index)})});
    }
    return entries;
}

std::vector<TestPortrait> ManyPortraits(int n)
{
    std::vector<TestPortrait> out;
    for (int i = 0; i < n; ++i) {
        TestPortrait p;
        p.raceCode = kRaceTable[i % kRaceCount].code;
        p.male = (i / kRaceCount) % 2 == 0;
        p.variant = static_cast<char>('0' + (i / (2 * kRaceCount)) % 10);
        out.push_back(p);
    }
    return out;
}

std::vector<uint8_t> TestColourMap()
{
    std::vector<uint8_t> map;
    for (int i = 0; i < 256; ++i) {
        const uint32_t c = TestPaletteRgb(i);
        map.insert(map.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16)});
    }
    return map;
}

std::vector<uint8_t> SolidTga(uint16_t width, uint16_t height, uint8_t index, const std::vector<uint8_t>& colourMap)
{
    TgaLayout layout;
    layout.imageType = 1; // uncompressed, colour-mapped
    layout.depth = 8;
    layout.width = width;
    layout.height = height;
    layout.colourMapType = 1;
    layout.colourMapLength = 256; // whatever colourMap holds
    layout.colourMapEntrySize = 24;
    layout.colourMap = colourMap;
    return MakeTga(layout, Bytes(static_cast<size_t>(width) * height, index));
}

ScopedChdir::ScopedChdir(const std::string& path)
{
    char buf[4096];
    if (!::getcwd(buf, sizeof buf) || ::chdir(path.c_str()) != 0)
        throw std::runtime_error("cannot change to " + path);
    m_previous = buf;
}

ScopedChdir::~ScopedChdir()
{
    if (::chdir(m_previous.c_str()) != 0) {
        // Nothing sensible is left to do in a destructor.
    }
}
