#include "ColourDistance.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <memory>
#include <new>
#include <vector>

#include "CheckedSize.h"

namespace {

// sRGB's transfer curve, from a byte to linear light in 0..1.
const float* LinearTable()
{
    static const std::array<float, 256> table = [] {
        std::array<float, 256> values{};
        for (size_t i = 0; i < 256; ++i) {
            const double v = static_cast<double>(i) / 255.0;
            values[i] = static_cast<float>(v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
        }
        return values;
    }();
    return table.data();
}

float Linear(uint8_t c)
{
    return LinearTable()[c];
}

// The cube root of x >= 0 to a few parts in a hundred thousand: a first guess
// from the float's bits (its exponent divided by three, within some 5%),
// then one step of Halley's method, which cubes the error. No branch and no
// call, so that a loop of them runs on vector units.
[[gnu::always_inline]] inline float CubeRoot(float x)
{
    x += 1e-30f; // black's 0 would make the step 0 / 0 where tiny floats flush to 0
    const int32_t bits = std::bit_cast<int32_t>(x);
    const float y = std::bit_cast<float>(static_cast<int32_t>(static_cast<float>(bits) * (1.0f / 3.0f)) + 709921077);
    const float cube = y * y * y;
    return y * (cube + 2.0f * x) / (2.0f * cube + x);
}

// Linear red, green, blue to OKLab by its published matrices.
[[gnu::always_inline]] inline void ToOkLab(float r, float g, float b, float& lightness, float& a, float& bb)
{
    const float l = CubeRoot(0.4122214708f * r + 0.5363325363f * g + 0.0514459929f * b);
    const float m = CubeRoot(0.2119034982f * r + 0.6806995451f * g + 0.1073969566f * b);
    const float s = CubeRoot(0.0883024619f * r + 0.2817188376f * g + 0.6299787005f * b);
    lightness = 0.2104542553f * l + 0.7936177850f * m - 0.0040720468f * s;
    a = 1.9779984951f * l - 2.4285922050f * m + 0.4505937099f * s;
    bb = 0.0259040371f * l + 0.7827717662f * m - 0.8086757660f * s;
}

// A batch of file colours (linear) and the OKLab of the entries they were
// given: the squared distances.
constexpr size_t kBatch = 256;
struct Batch {
    float red[kBatch], green[kBatch], blue[kBatch];
    float entryL[kBatch], entryA[kBatch], entryB[kBatch];
    float squared[kBatch];
    uint32_t pixel[kBatch]; // which pixel, rows of the picture's width

    void Measure(size_t count)
    {
        for (size_t k = 0; k < count; ++k) {
            float lightness, a, b;
            ToOkLab(red[k], green[k], blue[k], lightness, a, b);
            const float dl = lightness - entryL[k], da = a - entryA[k], db = b - entryB[k];
            squared[k] = dl * dl + da * da + db * db;
        }
    }
};

constexpr float kVisibleSquared =
    static_cast<float>(ColourLoss::kVisibleDistance * ColourLoss::kVisibleDistance);

bool PictureFits(int32_t width, int32_t height, uint64_t& pixels)
{
    return width > 0 && height > 0 &&
           CheckedMul(static_cast<uint64_t>(width), static_cast<uint64_t>(height), pixels) &&
           pixels <= kMaxImagePixels;
}

} // namespace

CColourDistance::CColourDistance(const uint8_t* palette)
{
    for (size_t j = 0; j < 256; ++j) {
        m_blue[j] = palette[j * 4];
        m_green[j] = palette[j * 4 + 1];
        m_red[j] = palette[j * 4 + 2];
        ToOkLab(Linear(m_red[j]), Linear(m_green[j]), Linear(m_blue[j]), m_lightness[j], m_a[j], m_b[j]);
    }
}

double CColourDistance::Distance(uint8_t r1, uint8_t g1, uint8_t b1, uint8_t r2, uint8_t g2, uint8_t b2)
{
    float l1, a1, bb1, l2, a2, bb2;
    ToOkLab(Linear(r1), Linear(g1), Linear(b1), l1, a1, bb1);
    ToOkLab(Linear(r2), Linear(g2), Linear(b2), l2, a2, bb2);
    return std::sqrt(static_cast<double>((l1 - l2) * (l1 - l2) + (a1 - a2) * (a1 - a2) + (bb1 - bb2) * (bb1 - bb2)));
}

bool CColourDistance::Measure(const uint8_t* rgb, size_t rgbStride, int32_t width, int32_t height,
                              const uint8_t* indices, size_t indexStride, ColourLoss& loss) const
{
    loss = ColourLoss{};
    uint64_t pixels = 0;
    if (!PictureFits(width, height, pixels) || rgbStride < 3 * static_cast<size_t>(width) ||
        indexStride < static_cast<size_t>(width))
        return false;
    const size_t w = static_cast<size_t>(width);
    const float* linear = LinearTable();
    try {
        auto batch = std::make_unique<Batch>();
        float largest = 0.0f;
        size_t count = 0;
        auto measure = [&] {
            batch->Measure(count);
            // Counted without a branch a pixel: near and far pixels come
            // mixed in a picture's edges.
            int32_t far = 0;
            for (size_t k = 0; k < count; ++k) {
                largest = std::max(largest, batch->squared[k]);
                far += batch->squared[k] > kVisibleSquared ? 1 : 0;
            }
            if (far > 0) {
                if (loss.farMask.empty())
                    loss.farMask.assign(pixels, 0);
                for (size_t k = 0; k < count; ++k)
                    loss.farMask[batch->pixel[k]] = batch->squared[k] > kVisibleSquared ? 1 : 0;
                loss.farPixels += far;
            }
            count = 0;
        };
        // Most pixels of an edited frame are palette colours already: only
        // the others are measured, a batch at a time.
        for (size_t y = 0; y < static_cast<size_t>(height); ++y) {
            const uint8_t* from = rgb + y * rgbStride;
            const uint8_t* index = indices + y * indexStride;
            for (size_t x = 0; x < w; ++x, from += 3) {
                const uint8_t e = index[x];
                if (from[0] == m_red[e] && from[1] == m_green[e] && from[2] == m_blue[e])
                    continue;
                batch->red[count] = linear[from[0]];
                batch->green[count] = linear[from[1]];
                batch->blue[count] = linear[from[2]];
                batch->entryL[count] = m_lightness[e];
                batch->entryA[count] = m_a[e];
                batch->entryB[count] = m_b[e];
                batch->pixel[count] = static_cast<uint32_t>(y * w + x);
                if (++count == kBatch)
                    measure();
            }
        }
        measure();
        loss.largestDistance = std::sqrt(static_cast<double>(largest));
    } catch (const std::bad_alloc&) {
        loss = ColourLoss{};
        return false;
    }
    return true;
}

bool CColourDistance::MeasureMapped(const uint8_t* filePalette, const uint8_t* map, const uint8_t* fileIndices,
                                    int32_t width, int32_t height, ColourLoss& loss) const
{
    loss = ColourLoss{};
    uint64_t pixels = 0;
    if (!PictureFits(width, height, pixels))
        return false;
    // Each file colour is measured once, against the entry it was given.
    Batch batch;
    for (size_t k = 0; k < 256; ++k) {
        batch.red[k] = Linear(filePalette[k * 4 + 2]);
        batch.green[k] = Linear(filePalette[k * 4 + 1]);
        batch.blue[k] = Linear(filePalette[k * 4]);
        batch.entryL[k] = m_lightness[map[k]];
        batch.entryA[k] = m_a[map[k]];
        batch.entryB[k] = m_b[map[k]];
    }
    batch.Measure(256);
    try {
        float largest = 0.0f;
        for (size_t p = 0; p < pixels; ++p) {
            const uint8_t k = fileIndices[p];
            const bool same = filePalette[k * 4 + 2] == m_red[map[k]] && filePalette[k * 4 + 1] == m_green[map[k]] &&
                              filePalette[k * 4] == m_blue[map[k]];
            if (same)
                continue;
            largest = std::max(largest, batch.squared[k]);
            if (batch.squared[k] <= kVisibleSquared)
                continue;
            if (loss.farMask.empty())
                loss.farMask.assign(pixels, 0);
            loss.farMask[p] = 1;
            ++loss.farPixels;
        }
        loss.largestDistance = std::sqrt(static_cast<double>(largest));
    } catch (const std::bad_alloc&) {
        loss = ColourLoss{};
        return false;
    }
    return true;
}
