// The demo's pictures, drawn pixel by pixel with the painter; animations
// move the face a little from frame to frame.
#include "DemoPicture.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "DemoColour.h"
#include "DemoRandom.h"

namespace demo {

Pose PoseAt(const Character& who, int32_t frame, int32_t frames)
{
    Pose pose;
    if (frames <= 1)
        return pose;
    const float t = static_cast<float>(frame) / static_cast<float>(frames);
    const float phase = 2.0f * kPi * t;
    switch (who.motion) {
    case Motion::Blink: {
        // The eyes close around the middle frame and open again.
        const float middle = static_cast<float>(frames / 2);
        const float reach = std::max(1.0f, static_cast<float>(frames) / 5.0f);
        pose.eyeOpen = Clamp01(std::fabs(static_cast<float>(frame) - middle) / reach);
        break;
    }
    case Motion::Talk:
        pose.mouthOpen = 0.5f - 0.5f * std::cos(phase * 2.0f);
        break;
    case Motion::Turn:
        pose.turn = 0.9f * std::sin(phase);
        pose.gaze = 0.5f * std::sin(phase);
        break;
    case Motion::Flicker:
        break; // all in the light below
    case Motion::Glance:
        pose.gaze = std::sin(phase);
        pose.turn = 0.2f * std::sin(phase);
        break;
    }
    // Torchlight never stands quite still, so every frame differs a little
    // from its neighbours even while the face holds still; a flickering
    // frame is lit quite differently. The flicker is drawn at random so that
    // no two frames match, from a seed of the character and frame alone.
    CDemoRandom flicker(CharacterSeed(who.race, who.male, who.variant) ^
                          (0xF11C4E5ull * static_cast<uint64_t>(frame)));
    const float jitter = static_cast<float>(flicker.Below(2001) - 1000) / 1000.0f; // -1 .. 1
    const float reach = frame == 0 ? 0.0f : (who.motion == Motion::Flicker ? 0.18f : 0.04f);
    pose.light += reach * (0.25f + 0.75f * std::fabs(jitter)) * (jitter < 0.0f ? -1.0f : 1.0f);
    // Long animations end in a blink, as people do.
    if (who.motion != Motion::Blink && frames >= 8 && frame == frames - 1)
        pose.eyeOpen = 0.0f;
    return pose;
}

namespace {

// Whether (px, py) lies in the dark frame round the picture (a 48th of its
// height wide, at least one pixel) or in one of its rounded-off corners.
bool InPictureFrame(int32_t px, int32_t py, int32_t width, int32_t height)
{
    const int32_t border = std::max(1, height / 48);
    if (px < border || py < border || px >= width - border || py >= height - border)
        return true;
    const int32_t radius = border * 4;
    const int32_t cx = px < radius ? radius : (px >= width - radius ? width - radius - 1 : px);
    const int32_t cy = py < radius ? radius : (py >= height - radius ? height - radius - 1 : py);
    const int32_t dx = px - cx;
    const int32_t dy = py - cy;
    return dx * dx + dy * dy > (radius - border) * (radius - border);
}

// The bust is drawn a little larger than its shapes' units, about a point
// between chin and eyes, so that it fills the picture.
constexpr float kZoom = 1.12f;
constexpr float kZoomCentreY = 0.47f;

// Calls draw(px, py, sample) for every pixel, row by row; the frame's pixels
// come with the material kFrame.
template <typename Draw>
void PaintPicture(const Character& who, const Pose& pose, int32_t width, int32_t height, Draw draw)
{
    const CDemoPainter painter(who, pose);
    const float scale = 1.0f / static_cast<float>(height);
    for (int32_t py = 0; py < height; ++py) {
        for (int32_t px = 0; px < width; ++px) {
            if (InPictureFrame(px, py, width, height)) {
                draw(px, py, Sample{kFrame, 0.0f});
                continue;
            }
            const float x = (static_cast<float>(px) + 0.5f - static_cast<float>(width) * 0.5f) * scale;
            const float y = (static_cast<float>(py) + 0.5f) * scale;
            draw(px, py, painter.At(x / kZoom, kZoomCentreY + (y - kZoomCentreY) / kZoom));
        }
    }
}

// The base colour of each material for one character.
std::array<Rgb, kMaterialCount> MaterialColours(const Character& who)
{
    const RaceLook& race = kRaceLooks[who.race];
    std::array<Rgb, kMaterialCount> colours{};
    colours[kFrame] = kFrameColour;
    colours[kBackdrop] = who.skull ? Hex(0x3A2E48) : race.backdrop;
    colours[kSkin] = race.skin;
    colours[kHair] = who.hairColour;
    colours[kCloth] = who.clothColour;
    colours[kTrim] = race.trim;
    colours[kIvory] = race.ivory;
    colours[kIris] = who.skull ? Hex(0x60E070) : race.iris;
    colours[kLips] = who.lipsColour;
    colours[kMetal] = who.metalColour;
    return colours;
}

// An ordered dither spreads each shade over its two nearest ramp colours, so
// that short ramps still give smooth gradients.
constexpr float kBayer[4][4] = {{0.0f / 16, 8.0f / 16, 2.0f / 16, 10.0f / 16},
                                {12.0f / 16, 4.0f / 16, 14.0f / 16, 6.0f / 16},
                                {3.0f / 16, 11.0f / 16, 1.0f / 16, 9.0f / 16},
                                {15.0f / 16, 7.0f / 16, 13.0f / 16, 5.0f / 16}};

uint16_t ToRgb565(Rgb c)
{
    const auto channel = [](float v, float top) { return static_cast<uint16_t>(std::lround(Clamp01(v) * top)); };
    return static_cast<uint16_t>((channel(c.r, 31.0f) << 11) | (channel(c.g, 63.0f) << 5) | channel(c.b, 31.0f));
}

} // namespace

std::vector<uint8_t> BuildPalette(const Character& who)
{
    const auto colours = MaterialColours(who);
    std::vector<uint8_t> rgb;
    auto add = [&rgb](Rgb c) { rgb.insert(rgb.end(), {ToByte(c.r), ToByte(c.g), ToByte(c.b)}); };
    add(kFrameColour);
    for (int32_t m = 1; m < kMaterialCount; ++m)
        for (int32_t k = 0; k < who.shades; ++k)
            add(RampColour(colours[static_cast<size_t>(m)],
                           static_cast<float>(k) / static_cast<float>(who.shades - 1)));
    return rgb;
}

std::vector<uint8_t> PaintIndices(const Character& who, const Pose& pose, int32_t width, int32_t height)
{
    std::vector<uint8_t> indices(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    const float top = static_cast<float>(who.shades - 1);
    PaintPicture(who, pose, width, height, [&](int32_t px, int32_t py, Sample s) {
        if (s.material == kFrame)
            return; // index 0
        const float level = std::floor(Clamp01(s.shade) * top + kBayer[py & 3][px & 3]);
        const int32_t k = std::clamp(static_cast<int32_t>(level), 0, who.shades - 1);
        indices[static_cast<size_t>(py) * static_cast<size_t>(width) + static_cast<size_t>(px)] =
            static_cast<uint8_t>(1 + (s.material - 1) * who.shades + k);
    });
    return indices;
}

std::vector<uint16_t> PaintTrueColour(const Character& who, const Pose& pose, int32_t width, int32_t height)
{
    std::vector<uint16_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    const auto colours = MaterialColours(who);
    PaintPicture(who, pose, width, height, [&](int32_t px, int32_t py, Sample s) {
        const Rgb c = s.material == kFrame ? kFrameColour : RampColour(colours[s.material], Clamp01(s.shade));
        pixels[static_cast<size_t>(py) * static_cast<size_t>(width) + static_cast<size_t>(px)] = ToRgb565(c);
    });
    return pixels;
}

} // namespace demo
