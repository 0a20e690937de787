// Colours and the small shading arithmetic of the demo's drawings. Every
// function gives the same result for the same arguments, with no state.
#pragma once

#include <cmath>
#include <cstdint>

namespace demo {

inline constexpr float kPi = 3.14159265358979f;

// A value in [0, 1) fixed by an integer cell; gives stones and scales their
// uneven look without any state. Unsigned arithmetic keeps the wrap-around defined.
inline float CellNoise(int32_t x, int32_t y)
{
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h >> 8) / 16777216.0f;
}

inline float Clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

inline float Smooth(float edge0, float edge1, float x)
{
    const float t = Clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

inline float Fraction(float v) { return v - std::floor(v); }

struct Rgb {
    float r, g, b;
};

constexpr Rgb Hex(uint32_t v)
{
    return {static_cast<float>((v >> 16) & 0xFF) / 255.0f, static_cast<float>((v >> 8) & 0xFF) / 255.0f,
            static_cast<float>(v & 0xFF) / 255.0f};
}

inline Rgb Mix(Rgb a, Rgb b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

inline uint8_t ToByte(float v) { return static_cast<uint8_t>(std::lround(Clamp01(v) * 255.0f)); }

// One colour of a material's ramp: shade 0 is its deep, slightly cool shadow,
// about 0.72 its own colour, 1 a warm highlight.
inline Rgb RampColour(Rgb base, float shade)
{
    const Rgb shadow{base.r * 0.14f + 0.015f, base.g * 0.14f + 0.015f, base.b * 0.16f + 0.035f};
    const Rgb highlight = Mix(base, Hex(0xFFF6E6), 0.55f);
    constexpr float kBase = 0.72f;
    if (shade < kBase)
        return Mix(shadow, base, shade / kBase);
    return Mix(base, highlight, (shade - kBase) / (1.0f - kBase));
}

// Index 0 of every palette: the dark frame round each picture. It is also the
// colour of zero runs, so that the run-length code has real zero runs to store.
inline constexpr Rgb kFrameColour = Hex(0x120E0C);

} // namespace demo
