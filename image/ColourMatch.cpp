#include "ColourMatch.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <new>

#include "CheckedSize.h"

namespace {

constexpr double kLabScale = 16384.0;

// sRGB's transfer curve, from a byte to linear light in 0..1.
double Linear(uint8_t c)
{
    static const std::array<double, 256> table = [] {
        std::array<double, 256> values{};
        for (size_t i = 0; i < 256; ++i) {
            const double v = static_cast<double>(i) / 255.0;
            values[i] = v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        }
        return values;
    }();
    return table[c];
}

int32_t Fixed(double v)
{
    return static_cast<int32_t>(std::lround(v * kLabScale));
}

// The colours of one picture already matched: a direct-mapped table keyed by
// the 24-bit colour, so that a picture of few colours searches each once.
class MatchCache {
public:
    static constexpr uint32_t kBits = 14;

    explicit MatchCache(const CColourMatch& match)
        : m_match(match), m_keys(new (std::nothrow) uint32_t[size_t{1} << kBits]()),
          m_values(new (std::nothrow) uint8_t[size_t{1} << kBits])
    {
    }
    bool Ready() const { return m_keys && m_values; }

    uint8_t Nearest(uint8_t red, uint8_t green, uint8_t blue)
    {
        // Bit 24 marks a filled slot, so that black is a key like any other.
        const uint32_t key = (uint32_t{1} << 24) | (uint32_t{red} << 16) | (uint32_t{green} << 8) | blue;
        const uint32_t slot = (key * 0x9E3779B1u) >> (32 - kBits);
        if (m_keys[slot] != key) {
            m_keys[slot] = key;
            m_values[slot] = m_match.Nearest(red, green, blue);
        }
        return m_values[slot];
    }

private:
    const CColourMatch& m_match;
    std::unique_ptr<uint32_t[]> m_keys;
    std::unique_ptr<uint8_t[]> m_values;
};

uint8_t Clamped(int32_t v)
{
    return static_cast<uint8_t>(std::clamp(v, 0, 255));
}

} // namespace

CColourMatch::CColourMatch(const uint8_t* palette, ColourMetric metric)
    : m_metric(metric)
{
    for (int j = 0; j < 256; ++j) {
        m_blue[j] = palette[j * 4];
        m_green[j] = palette[j * 4 + 1];
        m_red[j] = palette[j * 4 + 2];
    }
    // Entries sorted by key, equal keys by index.
    Point points[256];
    for (int j = 0; j < 256; ++j) {
        points[j] = Coordinates(m_red[j], m_green[j], m_blue[j]);
        m_index[j] = static_cast<uint8_t>(j);
    }
    std::stable_sort(m_index, m_index + 256, [&](uint8_t a, uint8_t b) { return Key(points[a]) < Key(points[b]); });
    for (int s = 0; s < 256; ++s) {
        const Point& q = points[m_index[s]];
        m_x[s] = q.x;
        m_y[s] = q.y;
        m_z[s] = q.z;
        m_key[s] = Key(q);
    }
}

CColourMatch::Point CColourMatch::Coordinates(uint8_t red, uint8_t green, uint8_t blue) const
{
    if (m_metric == ColourMetric::kClassic)
        return {red, green, blue};
    // Linear sRGB to cone responses, their cube roots, then to L, a, b, by
    // OKLab's published matrices.
    const double r = Linear(red), g = Linear(green), b = Linear(blue);
    const double l = std::cbrt(0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b);
    const double m = std::cbrt(0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b);
    const double s = std::cbrt(0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b);
    return {Fixed(0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s),
            Fixed(1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s),
            Fixed(0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s)};
}

int32_t CColourMatch::Key(Point p) const
{
    // A lower bound of the distance, from one number: the channel sum for
    // classic (|dr| + |dg| + |db| >= |dr + dg + db|), L for perceptual.
    return m_metric == ColourMetric::kClassic ? p.x + p.y + p.z : p.x;
}

uint8_t CColourMatch::NearestTo(Point p) const
{
    // The entries are in order of key. The search runs outward from the
    // colour's key, on each side up to the first entry whose key alone puts
    // it further than the best so far; entries as far as the best are still
    // seen, so the lowest index among equals wins.
    const bool classic = m_metric == ColourMetric::kClassic;
    const int32_t key = Key(p);
    int32_t best = std::numeric_limits<int32_t>::max();
    int32_t bestIndex = 256;
    auto visit = [&](int s) {
        const int32_t gap = std::abs(key - m_key[s]);
        if ((classic ? gap : gap * gap) > best)
            return false;
        const int32_t dx = p.x - m_x[s], dy = p.y - m_y[s], dz = p.z - m_z[s];
        // Squares of coordinates within +-16384 sum to well under 2^31.
        const int32_t d = classic ? std::abs(dx) + std::abs(dy) + std::abs(dz) : dx * dx + dy * dy + dz * dz;
        if (d < best || (d == best && m_index[s] < bestIndex)) {
            best = d;
            bestIndex = m_index[s];
        }
        return true;
    };
    const int start = static_cast<int>(std::lower_bound(m_key, m_key + 256, key) - m_key);
    for (int s = start; s < 256 && visit(s); ++s) {
    }
    for (int s = start - 1; s >= 0 && visit(s); --s) {
    }
    return static_cast<uint8_t>(bestIndex);
}

uint8_t CColourMatch::Nearest(uint8_t red, uint8_t green, uint8_t blue) const
{
    return NearestTo(Coordinates(red, green, blue));
}

void CColourMatch::MapPalette(const uint8_t* filePalette, uint8_t* map) const
{
    for (int k = 0; k < 256; ++k)
        map[k] = Nearest(filePalette[k * 4 + 2], filePalette[k * 4 + 1], filePalette[k * 4]);
}

bool CColourMatch::MapColours(const uint8_t* rgb, size_t rgbStride, int32_t width, int32_t height, uint8_t* indices,
                              size_t indexStride, bool dither) const
{
    uint64_t pixels = 0;
    if (width <= 0 || height <= 0 || !CheckedMul(static_cast<uint64_t>(width), static_cast<uint64_t>(height), pixels) ||
        pixels > kMaxImagePixels || rgbStride < 3 * static_cast<size_t>(width) ||
        indexStride < static_cast<size_t>(width))
        return false;
    MatchCache cache(*this);
    if (!cache.Ready())
        return false;
    const size_t w = static_cast<size_t>(width);
    if (!dither) {
        for (size_t y = 0; y < static_cast<size_t>(height); ++y) {
            const uint8_t* from = rgb + y * rgbStride;
            uint8_t* to = indices + y * indexStride;
            for (size_t x = 0; x < w; ++x, from += 3)
                to[x] = cache.Nearest(from[0], from[1], from[2]);
        }
        return true;
    }

    // Errors in sixteenths of a level, red, green, blue, for this row and
    // the next, with a spare pixel at either end to take what falls outside.
    const size_t rowLength = 3 * (w + 2);
    std::unique_ptr<int32_t[]> errors(new (std::nothrow) int32_t[2 * rowLength]());
    if (!errors)
        return false;
    for (int32_t y = 0; y < height; ++y) {
        int32_t* here = errors.get() + static_cast<size_t>(y % 2) * rowLength;
        int32_t* below = errors.get() + static_cast<size_t>(1 - y % 2) * rowLength;
        std::fill(below, below + rowLength, 0);
        const uint8_t* from = rgb + static_cast<size_t>(y) * rgbStride;
        uint8_t* to = indices + static_cast<size_t>(y) * indexStride;
        const int32_t step = y % 2 ? -1 : 1; // even rows left to right, odd rows back
        for (int32_t i = 0, x = y % 2 ? width - 1 : 0; i < width; ++i, x += step) {
            // Slot s of a row holds pixel s - 1.
            const size_t at = static_cast<size_t>(x + 1) * 3;
            const size_t ahead = static_cast<size_t>(x + 1 + step) * 3;
            const size_t behind = static_cast<size_t>(x + 1 - step) * 3;
            uint8_t c[3];
            for (size_t k = 0; k < 3; ++k)
                c[k] = Clamped(from[static_cast<size_t>(x) * 3 + k] + ((here[at + k] + 8) >> 4));
            const uint8_t index = cache.Nearest(c[0], c[1], c[2]);
            to[x] = index;
            const int32_t e[3] = {c[0] - m_red[index], c[1] - m_green[index], c[2] - m_blue[index]};
            for (size_t k = 0; k < 3; ++k) {
                here[ahead + k] += 7 * e[k];
                below[behind + k] += 3 * e[k];
                below[at + k] += 5 * e[k];
                below[ahead + k] += e[k];
            }
        }
    }
    return true;
}
