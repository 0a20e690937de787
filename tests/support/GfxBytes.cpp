#include "GfxBytes.h"

#include <algorithm>

#include "ArchiveBytes.h"

namespace {

void PutU16(std::vector<uint8_t>& out, size_t at, uint16_t v)
{
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
}

} // namespace

std::vector<uint8_t> LiteralRunLength(const TestFrame& frame)
{
    if (!frame.runLength.empty())
        return frame.runLength;
    std::vector<uint8_t> out;
    for (int y = 0; y < frame.height; ++y) {
        int x = 0;
        while (x < frame.width) {
            const int n = std::min(127, frame.width - x);
            out.push_back(static_cast<uint8_t>(n));
            for (int i = 0; i < n; ++i)
                out.push_back(frame.indices[static_cast<size_t>(y * frame.width + x + i)]);
            x += n;
        }
        out.push_back(0);
    }
    return out;
}

std::vector<uint8_t> MakePaletteImage(const std::vector<uint8_t>& paletteRgb, const std::vector<TestFrame>& frames,
                                      int32_t colourCount, bool reverseData)
{
    std::vector<uint8_t> out(64, 0);
    const int32_t stored = static_cast<int32_t>(paletteRgb.size() / 3);
    PutU16(out, 24, static_cast<uint16_t>(colourCount < 0 ? stored : colourCount));
    out[28] = static_cast<uint8_t>(frames.size());
    out[44] = 8;
    out[0] = 0xA1; // bytes that are not interpreted must survive a save
    out[50] = 0xB2;
    out.insert(out.end(), paletteRgb.begin(), paletteRgb.end());

    std::vector<std::vector<uint8_t>> data;
    for (const TestFrame& f : frames)
        data.push_back(LiteralRunLength(f));
    std::vector<uint32_t> offsets(frames.size());
    uint32_t at = 0;
    for (size_t k = 0; k < frames.size(); ++k) {
        const size_t i = reverseData ? frames.size() - 1 - k : k;
        offsets[i] = at;
        at += static_cast<uint32_t>(data[i].size());
    }
    for (size_t i = 0; i < frames.size(); ++i) {
        const size_t r = out.size();
        out.resize(r + 16, 0);
        PutU32(out, r + 0, offsets[i]);
        PutU32(out, r + 4, static_cast<uint32_t>(data[i].size()));
        out[r + 8] = static_cast<uint8_t>(0xC0 + i); // preserved bytes
        PutU16(out, r + 12, static_cast<uint16_t>(frames[i].height));
        PutU16(out, r + 14, static_cast<uint16_t>(frames[i].width));
    }
    const size_t dataStart = out.size();
    for (size_t k = 0; k < frames.size(); ++k) {
        const size_t i = reverseData ? frames.size() - 1 - k : k;
        out.insert(out.end(), data[i].begin(), data[i].end());
    }
    PutU32(out, 8, static_cast<uint32_t>(out.size() - dataStart));
    return out;
}

std::vector<uint8_t> MakeTrueColourImage(int16_t width, int16_t height, const std::vector<uint16_t>& pixels,
                                         uint8_t frameCount)
{
    std::vector<uint8_t> out(64, 0);
    PutU16(out, 20, static_cast<uint16_t>(height));
    PutU16(out, 22, static_cast<uint16_t>(width));
    out[28] = frameCount;
    out[44] = 16;
    for (uint16_t p : pixels) {
        out.push_back(static_cast<uint8_t>(p));
        out.push_back(static_cast<uint8_t>(p >> 8));
    }
    PutU32(out, 8, static_cast<uint32_t>(pixels.size() * 2));
    return out;
}

TestFrame PatternFrame(int16_t width, int16_t height, uint8_t seed)
{
    TestFrame f{width, height, {}};
    f.indices.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int i = y * width + x;
            f.indices[static_cast<size_t>(i)] = (i % 5 == 4) ? 0 : static_cast<uint8_t>((x + 3 * y + seed) % 7 + 1);
        }
    return f;
}
