// Writes a demo game: every portrait is drawn here from a few shapes (head,
// hair, eyes, shoulders, clothing), lit from the upper left and stored in the
// game's own image and archive formats by the project's own writers, so the
// result exercises the editor the way a real game would.
#include "DemoGame.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "ArchiveHeader.h"
#include "GameArchive.h"
#include "OverrideHeader.h"
#include "RaceTable.h"
#include "FrameCodec.h"
#include "GfxFrameRecord.h"
#include "GfxHeader.h"
#include "FileSystem.h"
#include "LittleEndian.h"

namespace {

// ---------------------------------------------------------------------------
// Sizes of the three portrait images. The widths are deliberately not
// multiples of 4, so that every load goes through the row widening.

struct ImageSize {
    int32_t width;
    int32_t height;
    char prefix;        // first character of the file name; it keeps the override files of the sizes apart
    const char* folder; // the size word the catalogue looks for
};

constexpr ImageSize kLarge{179, 143, 'L', "LARGE"};
constexpr ImageSize kMedium{91, 71, 'M', "MEDIUM"};
constexpr ImageSize kSmall{47, 35, 'S', "SMALL"};

// The archive header names the file it was built as; a fixed name keeps the
// archive identical whichever folder it is written to.
constexpr const char* kArchiveLabel = "DATA\\DATA.QPK";
constexpr const char* kBuildFolder = ".demo-build";

constexpr float kPi = 3.14159265358979f;

// ---------------------------------------------------------------------------
// Small deterministic helpers. Nothing here reads the clock, so two runs give
// the same bytes.

// SplitMix64: a tiny generator whose whole state is the seed.
class CSeededRandom {
public:
    explicit CSeededRandom(uint64_t seed) : m_state(seed) {}
    uint64_t Next()
    {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. count - 1.
    int32_t Below(int32_t count) { return static_cast<int32_t>(Next() % static_cast<uint64_t>(count)); }
    bool Chance(int32_t percent) { return Below(100) < percent; }

private:
    uint64_t m_state;
};

// A value in [0, 1) fixed by an integer cell; gives stones and scales their
// uneven look without any state. Unsigned arithmetic keeps the wrap-around defined.
float CellNoise(int32_t x, int32_t y)
{
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h >> 8) / 16777216.0f;
}

float Clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

float Smooth(float edge0, float edge1, float x)
{
    const float t = Clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

float Fraction(float v) { return v - std::floor(v); }

// ---------------------------------------------------------------------------
// Colours.

struct Rgb {
    float r, g, b;
};

constexpr Rgb Hex(uint32_t v)
{
    return {static_cast<float>((v >> 16) & 0xFF) / 255.0f, static_cast<float>((v >> 8) & 0xFF) / 255.0f,
            static_cast<float>(v & 0xFF) / 255.0f};
}

Rgb Mix(Rgb a, Rgb b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

uint8_t ToByte(float v) { return static_cast<uint8_t>(std::lround(Clamp01(v) * 255.0f)); }

// One colour of a material's ramp: shade 0 is its deep, slightly cool shadow,
// about 0.72 its own colour, 1 a warm highlight.
Rgb RampColour(Rgb base, float shade)
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
constexpr Rgb kFrameColour = Hex(0x120E0C);

// ---------------------------------------------------------------------------
// What a picture is made of. Every material but the frame owns one ramp of
// shades in the palette.

enum Material : uint8_t {
    kFrame = 0,
    kBackdrop,
    kSkin,
    kHair,
    kCloth,
    kTrim,
    kIvory, // eye whites, teeth, tusks, horns, bone
    kIris,
    kLips,
    kMetal,
    kMaterialCount
};

struct Sample {
    uint8_t material = kBackdrop;
    float shade = 0.5f;
};

enum class EarShape { Round, Pointed, LongPointed, Big, None };
enum class HairStyle { Short, Long, Bun, Crest, Bald, Braids, Hood };
enum class Neckline { V, Scoop, HighCollar, Robe };
enum class Backdrop { Glow, Bricks, Drapes };
enum class Motion { Blink, Talk, Turn, Flicker, Glance };

// The colours and build of one race; the order is that of the race table.
struct RaceLook {
    Rgb skin;
    Rgb hair[2];
    Rgb cloth[3];
    Rgb trim;
    Rgb iris;
    Rgb lips;
    Rgb backdrop;
    Rgb ivory;
    EarShape ears;
    bool tusks;
    bool horns;
    bool scales;
    bool fur;
    float jaw; // 0 a narrow chin, up to 1 a heavy square jaw
};

const RaceLook kRaceLooks[kRaceCount] = {
    // Tvarran: weathered townsfolk.
    {Hex(0xE0B08A), {Hex(0x5A3A22), Hex(0xC89B4A)}, {Hex(0x2F4F8F), Hex(0x6B2A2A), Hex(0x3F6B3A)}, Hex(0xD9C07A),
     Hex(0x4A7AB0), Hex(0xB86A5E), Hex(0x5A6E8C), Hex(0xF2EEE0), EarShape::Round, false, false, false, false, 0.1f},
    // Bogren: big, grey-green, tusked.
    {Hex(0x8FA080), {Hex(0x2A2A26), Hex(0x5C4A3A)}, {Hex(0x6B4A2E), Hex(0x4A4A3A), Hex(0x7A3A2A)}, Hex(0xA08850),
     Hex(0xC8A030), Hex(0x6E7A5E), Hex(0x6E5A46), Hex(0xE8DEC0), EarShape::Round, true, false, false, false, 0.8f},
    // Qenni: pale, fair-haired, long ears.
    {Hex(0xF2DCC8), {Hex(0xE8D8A0), Hex(0xD8D8E0)}, {Hex(0x2E6B4A), Hex(0x5A7A9A), Hex(0x8A6AA8)}, Hex(0xC0D8A0),
     Hex(0x5AB07A), Hex(0xC88A8A), Hex(0x4A7A6A), Hex(0xF4F2EA), EarShape::LongPointed, false, false, false, false, 0.0f},
    // Vollen: ruddy, red-haired, stocky.
    {Hex(0xD89A7A), {Hex(0xB8481E), Hex(0xD87A2A)}, {Hex(0x6A6E74), Hex(0x4A3A5A), Hex(0x7A5A2A)}, Hex(0xC8C8D0),
     Hex(0x6A8A5A), Hex(0xA85A4A), Hex(0x7A6A5A), Hex(0xF0ECE0), EarShape::Round, false, false, false, false, 0.5f},
    // Kaphiri: dark skin, bright robes.
    {Hex(0x7A4A2E), {Hex(0x1A1410), Hex(0x3A2A1E)}, {Hex(0xD8902A), Hex(0xA8301E), Hex(0xE8D8A8)}, Hex(0xF0D060),
     Hex(0x6A4A1E), Hex(0x5A2A22), Hex(0xA8703A), Hex(0xF4F0E4), EarShape::Round, false, false, false, false, 0.2f},
    // Trombel: small folk with big ears and white hair.
    {Hex(0xF0B8A0), {Hex(0xF0F0F0), Hex(0xA8A8B0)}, {Hex(0x6A3A8A), Hex(0x2A7A8A), Hex(0xB86A2A)}, Hex(0xE8C85A),
     Hex(0x3A8AC8), Hex(0xD07A7A), Hex(0x8A5A7A), Hex(0xF6F2EC), EarShape::Big, false, false, false, false, 0.0f},
    // Yassan: desert people in light robes.
    {Hex(0xC8955A), {Hex(0x241A14), Hex(0x4A2E1A)}, {Hex(0xE8E0C8), Hex(0xC8B890), Hex(0x3AA8A0)}, Hex(0x30A8B8),
     Hex(0x7A5A2A), Hex(0x9A5A48), Hex(0xC8A070), Hex(0xF4EEE2), EarShape::Round, false, false, false, false, 0.1f},
    // Moren: grey-blue skin, white hair, red eyes.
    {Hex(0x7A8090), {Hex(0xF0F0F8), Hex(0x9A9AB0)}, {Hex(0x3A2A4A), Hex(0x2A2A3A), Hex(0x5A1E2E)}, Hex(0xA8A8C8),
     Hex(0xE03A3A), Hex(0x5A4A6A), Hex(0x3A3A5A), Hex(0xE8E8F0), EarShape::Pointed, false, false, false, false, 0.0f},
    // Skarth: scaled and horned.
    {Hex(0x5A8A4A), {Hex(0x8A2A1E), Hex(0x3A5A2A)}, {Hex(0xA82A1E), Hex(0x3A3A3A), Hex(0xC8782A)}, Hex(0xE8C03A),
     Hex(0xE8C81E), Hex(0x4A6A3A), Hex(0x7A5A3A), Hex(0xE0D8B0), EarShape::None, false, true, true, false, 0.3f},
    // Brukk: olive-green, tusked, pointed ears.
    {Hex(0x6E8A3A), {Hex(0x1A1A14), Hex(0x4A3A2A)}, {Hex(0x8A3A1E), Hex(0x5A4A3A), Hex(0x3A4A5A)}, Hex(0xB08040),
     Hex(0xD8A01E), Hex(0x4A5A2A), Hex(0x5A4A3A), Hex(0xE6DCB8), EarShape::Pointed, true, false, false, false, 0.6f},
    // Obian: teal skin, sea colours.
    {Hex(0x5AA0B0), {Hex(0x1E2A6A), Hex(0xE8E8F0)}, {Hex(0xE8F0F8), Hex(0x2A8AB8), Hex(0x1E4A7A)}, Hex(0x8AE0F0),
     Hex(0xF0E060), Hex(0x3A6A8A), Hex(0x2A5A7A), Hex(0xF0F4F4), EarShape::Pointed, false, false, false, false, 0.0f},
    // Gurrat: furred, with big round ears.
    {Hex(0x8A6A4A), {Hex(0x9A9A90), Hex(0x5A4A3A)}, {Hex(0x4A6A2A), Hex(0x6A5A3A), Hex(0x7A2A2A)}, Hex(0xC8A86A),
     Hex(0x2A1E1A), Hex(0xC88A8A), Hex(0x5A6A4A), Hex(0xF0E8D8), EarShape::Big, false, false, false, true, 0.2f},
};

// The seed of everything chosen at random about one character.
uint64_t CharacterSeed(int32_t race, bool male, char variant)
{
    return 0x7468726EULL * static_cast<uint64_t>(race + 1) + (male ? 0x4D00u : 0x4600u) +
           static_cast<uint64_t>(static_cast<unsigned char>(variant));
}

// One portrait of the demo: who it shows and how it is drawn.
struct Character {
    int32_t race = 0;
    bool male = true;
    char variant = '1';
    bool skull = false; // the dead character's picture, which the editor must skip

    HairStyle hair = HairStyle::Short;
    Neckline neckline = Neckline::V;
    Backdrop backdrop = Backdrop::Glow;
    Motion motion = Motion::Blink;
    Rgb hairColour{};
    Rgb clothColour{};
    Rgb metalColour{};
    Rgb lipsColour{};
    bool beard = false;
    bool circlet = false;
    bool earring = false;
    bool pauldrons = false;
    bool necklace = false;
    bool eyePatch = false;
    bool warPaint = false;

    int32_t mediumFrames = 1;
    int32_t shades = 16; // shades per material ramp: the palette holds 1 + 9 x shades colours
    bool trueColour = false;
};

// The moment one frame shows. Frame 0 of every animation is the rest pose,
// which is also what LARGE and SMALL show.
struct Pose {
    float turn = 0.0f;   // -1 left .. 1 right
    float eyeOpen = 1.0f;
    float mouthOpen = 0.0f;
    float gaze = 0.0f;   // -1 .. 1
    float light = 1.0f;  // brightness of the flickering light
};

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
    CSeededRandom flicker(CharacterSeed(who.race, who.male, who.variant) ^
                          (0xF11C4E5ull * static_cast<uint64_t>(frame)));
    const float jitter = static_cast<float>(flicker.Below(2001) - 1000) / 1000.0f; // -1 .. 1
    const float reach = frame == 0 ? 0.0f : (who.motion == Motion::Flicker ? 0.18f : 0.04f);
    pose.light += reach * (0.25f + 0.75f * std::fabs(jitter)) * (jitter < 0.0f ? -1.0f : 1.0f);
    // Long animations end in a blink, as people do.
    if (who.motion != Motion::Blink && frames >= 8 && frame == frames - 1)
        pose.eyeOpen = 0.0f;
    return pose;
}

// ---------------------------------------------------------------------------
// Drawing. Coordinates are in units of the picture's height: y runs from 0 at
// the top to 1 at the bottom, x from the centre line, so that one painter
// draws all three sizes alike and SMALL is simply LARGE scaled down.

// Brightness of a surface whose normal is (nx, ny, nz), lit from the upper left.
float Lit(const Pose& pose, float nx, float ny, float nz)
{
    const float length = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (length <= 0.0f)
        return 0.2f * pose.light;
    const float d = (-0.48f * nx - 0.56f * ny + 0.675f * nz) / length;
    return (0.18f + 0.82f * std::max(0.0f, d)) * pose.light;
}

// Brightness of a point on a dome whose outline is an ellipse; dx and dy are
// the point's offsets in units of the radii. Flatter domes light more evenly.
float DomeShade(const Pose& pose, float dx, float dy, float flatness)
{
    const float nz = std::sqrt(std::max(0.0f, 1.0f - dx * dx - dy * dy));
    return Lit(pose, dx * flatness, dy * flatness, nz) * (0.8f + 0.2f * nz);
}

// Squared distance of (x, y) from the centre of an ellipse, in units of its radii.
float EllipseDistance(float x, float y, float cx, float cy, float rx, float ry)
{
    const float dx = (x - cx) / rx;
    const float dy = (y - cy) / ry;
    return dx * dx + dy * dy;
}

// Whether (x, y) lies inside a stroke from a to b whose radius narrows from
// r0 to r1; along (0 .. 1) and across (0 at the middle, 1 at the edge) tell
// where.
bool InTaper(float x, float y, float ax, float ay, float bx, float by, float r0, float r1, float& along,
             float& across)
{
    const float vx = bx - ax;
    const float vy = by - ay;
    const float lengthSquared = vx * vx + vy * vy;
    float t = lengthSquared > 0.0f ? ((x - ax) * vx + (y - ay) * vy) / lengthSquared : 0.0f;
    t = Clamp01(t);
    const float px = ax + vx * t - x;
    const float py = ay + vy * t - y;
    const float r = r0 + (r1 - r0) * t;
    const float d = std::sqrt(px * px + py * py);
    if (d >= r)
        return false;
    along = t;
    across = d / r;
    return true;
}

// The same for a stroke that curves from a to b, bent towards c (a quadratic
// curve, followed in eight straight pieces).
bool InCurvedTaper(float x, float y, float ax, float ay, float cx, float cy, float bx, float by, float r0,
                   float r1, float& along, float& across)
{
    constexpr int32_t kSteps = 8;
    auto point = [&](float t, float& px, float& py) {
        const float u = 1.0f - t;
        px = u * u * ax + 2.0f * u * t * cx + t * t * bx;
        py = u * u * ay + 2.0f * u * t * cy + t * t * by;
    };
    for (int32_t i = 0; i < kSteps; ++i) {
        const float t0 = static_cast<float>(i) / kSteps;
        const float t1 = static_cast<float>(i + 1) / kSteps;
        float x0, y0, x1, y1;
        point(t0, x0, y0);
        point(t1, x1, y1);
        float localAlong, localAcross;
        if (InTaper(x, y, x0, y0, x1, y1, r0 + (r1 - r0) * t0, r0 + (r1 - r0) * t1, localAlong, localAcross)) {
            along = t0 + (t1 - t0) * localAlong;
            across = localAcross;
            return true;
        }
    }
    return false;
}

class CPortraitPainter {
public:
    CPortraitPainter(const Character& who, const Pose& pose)
        : m_who(who), m_race(kRaceLooks[who.race]), m_pose(pose), m_headX(pose.turn * 0.03f),
          m_faceX(m_headX + pose.turn * 0.045f)
    {
    }

    Sample At(float x, float y) const
    {
        Sample s;
        Background(x, y, s);
        if (m_who.skull) {
            Skull(x, y, s);
            return s;
        }
        // Above the shoulders nothing reaches further out than hair, ears
        // and horns; most of the wall is done here.
        if (y < 0.65f && std::fabs(x - m_headX) > 0.32f)
            return s;
        // The neck comes first: the clothes cover its foot and hair hangs
        // beside it.
        Neck(x, y, s);
        Body(x, y, s);
        BackHair(x, y, s);
        Ears(x, y, s);
        Horns(x, y, s);
        const bool inHead = Head(x, y, s);
        Beard(x, y, inHead, s);
        if (inHead) {
            Eyes(x, y, s);
            Nose(x, y, s);
            Mouth(x, y, s);
            Paint(x, y, s);
        }
        Tusks(x, y, s);
        FrontHair(x, y, s);
        Jewellery(x, y, s);
        return s;
    }

private:
    static constexpr float kHeadY = 0.40f;
    static constexpr float kHeadRx = 0.145f;
    static constexpr float kHeadRy = 0.185f;
    static constexpr float kEyeY = 0.385f;
    static constexpr float kEyeSpacing = 0.056f;
    static constexpr float kMouthY = 0.512f;

    // Half width of the head at height y: the jaw narrows below the middle
    // unless the race has a heavy one.
    float HeadHalfWidth(float y) const
    {
        const float dy = (y - kHeadY) / kHeadRy;
        const float narrowing = dy > 0.0f ? (0.4f - 0.3f * m_race.jaw) * dy * dy : 0.0f;
        return kHeadRx * (1.0f + 0.12f * m_race.jaw) * (1.0f - narrowing);
    }

    // Wavy streaks, so that hair reads as hair and not as a cap.
    float Strands(float x, float y) const
    {
        return 0.84f + 0.16f * std::sin((x - m_headX) * 120.0f + 6.0f * std::sin(y * 18.0f));
    }

    void Background(float x, float y, Sample& s) const
    {
        const float dy = y - 0.38f;
        const float glow = std::exp(-(x * x * 3.0f + dy * dy * 5.0f));
        float shade = 0.18f + 0.36f * (1.0f - y) + 0.42f * glow;
        switch (m_who.backdrop) {
        case Backdrop::Glow:
            break;
        case Backdrop::Bricks: {
            const float rowPos = y * 11.0f;
            const int32_t row = static_cast<int32_t>(std::floor(rowPos));
            const float colPos = x * 5.5f + ((row & 1) ? 0.5f : 0.0f);
            const int32_t col = static_cast<int32_t>(std::floor(colPos));
            if (Fraction(rowPos) < 0.09f || Fraction(colPos) < 0.05f)
                shade *= 0.55f;
            else
                shade *= 0.86f + 0.22f * CellNoise(col, row);
            break;
        }
        case Backdrop::Drapes:
            shade *= 0.78f + 0.22f * std::sin(x * 38.0f + 2.2f * std::sin(y * 5.0f));
            break;
        }
        // The flickering light plays most on the wall behind.
        shade *= 1.0f + (m_pose.light - 1.0f) * 1.6f;
        s = {kBackdrop, shade};
    }

    void Body(float x, float y, Sample& s) const
    {
        if (y < 0.65f)
            return; // above the shoulders
        const float rx = m_who.male ? 0.58f : 0.52f;
        const float dx = x / rx;
        const float dy = (y - 1.06f) / 0.40f;
        if (dx * dx + dy * dy >= 1.0f)
            return;
        s = {kCloth, DomeShade(m_pose, dx, dy, 0.7f) * (0.92f + 0.08f * std::sin(x * 46.0f + y * 9.0f))};
        const float nx = m_headX * 0.5f;
        switch (m_who.neckline) {
        case Neckline::V: {
            const float half = 0.11f - (y - 0.70f) * 0.42f;
            if (y > 0.66f && std::fabs(x - nx) < half)
                s = {kSkin, DomeShade(m_pose, (x - nx) / 0.3f, -0.3f, 0.6f) * (1.0f - (y - 0.66f))};
            else if (y > 0.66f && std::fabs(x - nx) < half + 0.018f)
                s = {kTrim, DomeShade(m_pose, dx, dy, 0.5f)};
            break;
        }
        case Neckline::Scoop: {
            const float e = EllipseDistance(x, y, nx, 0.69f, 0.12f, 0.12f);
            if (e < 1.0f)
                s = {kSkin, DomeShade(m_pose, (x - nx) / 0.3f, -0.3f, 0.6f) * (1.0f - (y - 0.66f))};
            else if (e < 1.35f)
                s = {kTrim, DomeShade(m_pose, dx, dy, 0.5f)};
            break;
        }
        case Neckline::HighCollar:
            if (y < 0.77f && std::fabs(x - nx) < 0.095f)
                s = {kTrim, DomeShade(m_pose, (x - nx) / 0.095f, 0.0f, 0.9f)};
            else if (std::fabs(x - nx) < 0.006f && Fraction(y * 22.0f) < 0.4f)
                s = {kMetal, 0.85f}; // a row of buttons
            break;
        case Neckline::Robe:
            if (std::fabs(x - nx - (y - 0.7f) * 0.15f) < 0.02f || (y < 0.75f && std::fabs(x - nx) < 0.08f))
                s = {kTrim, DomeShade(m_pose, dx, dy, 0.5f)};
            break;
        }
        if (m_who.pauldrons) {
            for (float side : {-1.0f, 1.0f}) {
                const float px = (x - side * 0.37f) / 0.15f;
                const float py = (y - 0.76f) / 0.085f;
                if (px * px + py * py < 1.0f) {
                    s = {kMetal, DomeShade(m_pose, px, py, 0.9f) * (0.9f + 0.1f * std::sin(py * 9.0f))};
                    for (float rivet : {-0.05f, 0.0f, 0.05f})
                        if (EllipseDistance(x, y, side * 0.37f + rivet, 0.735f, 0.007f, 0.007f) < 1.0f)
                            s = {kMetal, 1.0f};
                }
            }
        }
        if (m_who.necklace) {
            const float e = std::sqrt(EllipseDistance(x, y, nx, 0.64f, 0.085f, 0.13f));
            if (y > 0.69f && std::fabs(e - 1.0f) < 0.07f) {
                const float angle = std::atan2(y - 0.64f, x - nx);
                s = {kMetal, 0.35f + 0.6f * std::fabs(std::sin(angle * 14.0f))};
            }
            if (EllipseDistance(x, y, nx, 0.785f, 0.014f, 0.018f) < 1.0f)
                s = {kIris, 0.9f};
        }
    }

    void BackHair(float x, float y, Sample& s) const
    {
        if (y < 0.11f || y > 0.82f)
            return;
        // Below the chin hood and hair part and show the neck.
        const bool parted = y > 0.56f && std::fabs(x - m_headX) < 0.075f;
        if (m_who.hair == HairStyle::Hood) {
            const float dx = (x - m_headX) / 0.215f;
            const float dy = (y - 0.44f) / 0.30f;
            if (dx * dx + dy * dy < 1.0f && y < 0.78f && !parted)
                s = {kCloth, DomeShade(m_pose, dx, dy, 0.8f) * 0.85f};
            return;
        }
        if (m_who.hair == HairStyle::Long) {
            const float dx = (x - m_headX) / 0.215f;
            const float dy = (y - 0.46f) / 0.31f;
            const float bottom = 0.74f + 0.015f * std::sin(x * 90.0f);
            if (dx * dx + dy * dy < 1.0f && y < bottom && !parted)
                s = {kHair, DomeShade(m_pose, dx, dy, 0.6f) * Strands(x, y)};
            return;
        }
        const float off = std::fabs(x - m_headX);
        if (m_who.hair == HairStyle::Braids && y > 0.36f && off > 0.12f && off < 0.3f) {
            for (float side : {-1.0f, 1.0f}) {
                for (int32_t i = 0; i < 9; ++i) {
                    const float by = 0.40f + 0.045f * static_cast<float>(i);
                    const float bx = m_headX + side * (0.16f + 0.012f * static_cast<float>(i));
                    const float r = 0.030f - 0.0015f * static_cast<float>(i);
                    const float dx = (x - bx) / r;
                    const float dy = (y - by) / r;
                    if (dx * dx + dy * dy < 1.0f)
                        s = {kHair, DomeShade(m_pose, dx, dy, 0.9f)};
                }
                if (EllipseDistance(x, y, m_headX + side * 0.268f, 0.79f, 0.014f, 0.01f) < 1.0f)
                    s = {kTrim, 0.7f}; // the braid's tie
            }
        }
        if (m_who.hair == HairStyle::Bun) {
            const float dx = (x - m_headX) / 0.058f;
            const float dy = (y - 0.17f) / 0.05f;
            if (dx * dx + dy * dy < 1.0f)
                s = {kHair, DomeShade(m_pose, dx, dy, 0.9f) * Strands(x * 1.3f, y)};
        }
    }

    void Neck(float x, float y, Sample& s) const
    {
        const float nx = m_headX * 0.5f;
        const float half = 0.066f + std::max(0.0f, y - 0.62f) * 0.4f;
        if (y < 0.50f || y > 0.76f || std::fabs(x - nx) >= half)
            return;
        const float dx = (x - nx) / half;
        const float chinShadow = 0.55f + 0.45f * Smooth(0.56f, 0.64f, y);
        s = {kSkin, Lit(m_pose, dx, 0.0f, std::sqrt(std::max(0.0f, 1.0f - dx * dx))) * chinShadow};
    }

    void Ears(float x, float y, Sample& s) const
    {
        // Every ear shape lies within this band beside the head.
        if (y < 0.23f || y > 0.47f || std::fabs(x - m_headX) < 0.1f || std::fabs(x - m_headX) > 0.3f)
            return;
        for (float side : {-1.0f, 1.0f}) {
            const float base = m_headX + side * 0.138f;
            float along = 0.0f, across = 0.0f;
            switch (m_race.ears) {
            case EarShape::None:
                break;
            case EarShape::Round: {
                const float e = EllipseDistance(x, y, base + side * 0.008f, 0.405f, 0.026f, 0.042f);
                if (e < 1.0f)
                    s = {kSkin, (0.3f + 0.5f * (1.0f - e)) * m_pose.light * (e < 0.35f ? 0.75f : 1.0f)};
                break;
            }
            case EarShape::Pointed:
            case EarShape::LongPointed: {
                const float tipX = base + side * (m_race.ears == EarShape::LongPointed ? 0.12f : 0.075f);
                const float tipY = m_race.ears == EarShape::LongPointed ? 0.27f : 0.31f;
                if (InTaper(x, y, base, 0.425f, tipX, tipY, 0.03f, 0.004f, along, across))
                    s = {kSkin, (0.35f + 0.45f * (1.0f - across)) * m_pose.light * (across < 0.4f ? 0.8f : 1.0f)};
                break;
            }
            case EarShape::Big: {
                const float cx = base + side * 0.03f;
                const float e = EllipseDistance(x, y, cx, 0.31f, 0.065f, 0.065f);
                if (e < 1.0f) {
                    const float inner = EllipseDistance(x, y, cx + side * 0.004f, 0.315f, 0.044f, 0.046f);
                    s = inner < 1.0f ? Sample{kLips, 0.35f + 0.4f * inner}
                                     : Sample{kSkin, DomeShade(m_pose, (x - cx) / 0.065f, (y - 0.31f) / 0.065f, 0.7f)};
                }
                break;
            }
            }
        }
    }

    void Horns(float x, float y, Sample& s) const
    {
        if (!m_race.horns || y > 0.29f || y < 0.05f || std::fabs(x - m_headX) < 0.05f ||
            std::fabs(x - m_headX) > 0.27f)
            return;
        for (float side : {-1.0f, 1.0f}) {
            float along = 0.0f, across = 0.0f;
            if (InCurvedTaper(x, y, m_headX + side * 0.08f, 0.255f, m_headX + side * 0.23f, 0.24f,
                              m_headX + side * 0.17f, 0.07f, 0.03f, 0.004f, along, across)) {
                const float ridges = 0.82f + 0.18f * std::sin(along * 38.0f);
                const float lightSide = side < 0.0f ? 1.0f : 0.8f;
                s = {kIvory, (0.3f + 0.5f * (1.0f - across * across)) * ridges * lightSide * m_pose.light};
            }
        }
    }

    bool Head(float x, float y, Sample& s) const
    {
        const float dy = (y - kHeadY) / kHeadRy;
        if (dy <= -1.0f || dy >= 1.0f)
            return false;
        const float dx = (x - m_headX) / HeadHalfWidth(y);
        if (dx * dx + dy * dy >= 1.0f)
            return false;
        // Turning moves the brightest spot with the face.
        float shade = DomeShade(m_pose, std::clamp(dx - m_pose.turn * 0.25f, -1.0f, 1.0f), dy, 0.85f);
        if (m_race.scales) {
            const float v = y * 70.0f;
            const int32_t row = static_cast<int32_t>(std::floor(v));
            const float u = x * 70.0f + ((row & 1) ? 0.5f : 0.0f);
            const float fu = Fraction(u) - 0.5f;
            const float fv = Fraction(v) - 0.5f;
            shade *= 0.78f + 0.3f * (1.0f - 2.0f * (fu * fu + fv * fv)) +
                     0.06f * CellNoise(static_cast<int32_t>(std::floor(u)), row);
        }
        if (m_race.fur)
            shade *= 0.88f + 0.12f * std::sin(x * 160.0f + 3.0f * std::sin(y * 45.0f));
        // The sockets under the brows lie in shadow.
        for (float side : {-1.0f, 1.0f})
            if (EllipseDistance(x, y, m_faceX + side * kEyeSpacing, kEyeY - 0.004f, 0.044f, 0.032f) < 1.0f)
                shade *= 0.86f;
        s = {kSkin, shade};
        return true;
    }

    // The beard starts below the nose, climbs the cheeks and hangs below the chin.
    void Beard(float x, float y, bool inHead, Sample& s) const
    {
        if (!m_who.beard || y < 0.44f)
            return;
        const float across = (x - m_faceX) / 0.1f;
        const float top = 0.485f - 0.04f * across * across;
        const bool belowChin = EllipseDistance(x, y, m_headX, 0.55f, 0.115f, 0.11f) < 1.0f;
        if (y <= top || !(inHead || belowChin))
            return;
        const float dx = (x - m_headX) / 0.16f;
        const float dy = (y - 0.5f) / 0.2f;
        s = {kHair, DomeShade(m_pose, std::clamp(dx, -1.0f, 1.0f), std::clamp(dy, -1.0f, 1.0f), 0.6f) *
                        Strands(x, y * 1.5f)};
    }

    void Eyes(float x, float y, Sample& s) const
    {
        // The patch's strap reaches over the forehead, beyond the brows.
        if (std::fabs(y - kEyeY) > (m_who.eyePatch ? 0.2f : 0.07f))
            return;
        for (float side : {-1.0f, 1.0f}) {
            const float ex = m_faceX + side * kEyeSpacing;
            if (m_who.eyePatch && side < 0.0f) {
                if (EllipseDistance(x, y, ex, kEyeY, 0.038f, 0.03f) < 1.0f) {
                    s = {kHair, 0.08f + 0.1f * (1.0f - EllipseDistance(x, y, ex - 0.01f, kEyeY - 0.01f, 0.03f, 0.02f))};
                    continue;
                }
                // The strap runs from the patch up over the forehead and down to the ear.
                const float rising = (y - kEyeY) + (x - ex) * 0.9f;
                const float falling = (y - kEyeY) - (x - ex) * 0.35f;
                if ((x > ex && std::fabs(rising) < 0.005f) || (x < ex && std::fabs(falling) < 0.005f))
                    s = {kHair, 0.12f};
                continue;
            }
            const float w = 0.029f;
            const float h = 0.0155f * m_pose.eyeOpen;
            // Brow: an arch above the eye, heavier on men.
            const float across = (x - ex) / 0.034f;
            if (std::fabs(across) < 1.0f) {
                const float browY = kEyeY - 0.036f - 0.008f * (1.0f - across * across) + side * across * 0.004f;
                const float thickness = m_who.male ? 0.011f : 0.006f;
                if (y > browY - thickness && y < browY)
                    s = {kHair, 0.25f + 0.2f * m_pose.light};
            }
            if (m_pose.eyeOpen < 0.2f) {
                const float lid = kEyeY + 0.002f - 0.006f * (1.0f - ((x - ex) / w) * ((x - ex) / w));
                if (std::fabs(x - ex) < w && std::fabs(y - lid) < 0.0045f)
                    s = {kHair, 0.12f};
                continue;
            }
            // Lashes, then the eye white over them, then iris, pupil and glint.
            if (y < kEyeY && EllipseDistance(x, y, ex, kEyeY, w * 1.08f, h * 1.5f + 0.004f) < 1.0f)
                s = {kHair, 0.1f};
            const float e = EllipseDistance(x, y, ex, kEyeY, w, h);
            if (e >= 1.0f)
                continue;
            s = {kIvory, 0.88f - 0.3f * e};
            const float ix = ex + m_pose.gaze * 0.011f + m_pose.turn * 0.006f;
            const float di = std::sqrt(EllipseDistance(x, y, ix, kEyeY, 0.0125f, 0.0125f));
            if (di < 1.0f) {
                const bool slit = m_race.scales;
                const bool pupil = slit ? std::fabs(x - ix) < 0.0035f : di < 0.42f;
                s = {kIris, pupil ? 0.02f : 0.8f - 0.35f * di};
            }
            if (EllipseDistance(x, y, ix - 0.004f, kEyeY - 0.004f, 0.0032f, 0.0032f) < 1.0f)
                s = {kIvory, 1.0f};
        }
    }

    void Nose(float x, float y, Sample& s) const
    {
        if (s.material != kSkin || y < 0.39f || y > 0.48f)
            return;
        const float nx = m_faceX + m_pose.turn * 0.02f;
        if (y > 0.40f && y < 0.465f) {
            if (x > nx + 0.006f && x < nx + 0.018f)
                s.shade *= 0.78f; // the side of the nose away from the light
            else if (x > nx - 0.006f && x <= nx)
                s.shade *= 1.12f;
        }
        const float tip = EllipseDistance(x, y, nx, 0.458f, 0.022f, 0.014f);
        if (tip < 1.0f)
            s.shade = DomeShade(m_pose, (x - nx) / 0.022f, (y - 0.458f) / 0.014f, 0.9f);
        if (EllipseDistance(x, y, nx, 0.474f, 0.021f, 0.005f) < 1.0f)
            s.shade *= 0.6f;
        for (float side : {-1.0f, 1.0f})
            if (EllipseDistance(x, y, nx + side * 0.011f, 0.466f, 0.005f, 0.0028f) < 1.0f)
                s.shade = 0.15f;
    }

    void Mouth(float x, float y, Sample& s) const
    {
        if (std::fabs(y - kMouthY) > 0.04f)
            return;
        const float mx = m_faceX + m_pose.turn * 0.01f;
        const float open = m_pose.mouthOpen;
        const float lipHeight = 0.0085f + 0.011f * open;
        if (EllipseDistance(x, y, mx, kMouthY, 0.043f, lipHeight) < 1.0f) {
            s = {kLips, y < kMouthY ? 0.45f : 0.72f};
            const float innerHeight = 0.0115f * open;
            if (open > 0.05f && EllipseDistance(x, y, mx, kMouthY, 0.032f, innerHeight) < 1.0f)
                s = y < kMouthY - innerHeight * 0.35f ? Sample{kIvory, 0.8f} : Sample{kLips, 0.03f};
            else if (open <= 0.05f && std::fabs(y - kMouthY) < 0.0022f)
                s = {kLips, 0.12f};
        }
        if (m_who.beard) {
            // The moustache covers the top of the upper lip.
            if (y < kMouthY - 0.006f && EllipseDistance(x, y, mx, kMouthY - 0.016f, 0.058f, 0.013f) < 1.0f)
                s = {kHair, (0.45f + 0.25f * (kMouthY - y) / 0.03f) * Strands(x, y)};
        }
    }

    void Paint(float x, float y, Sample& s) const
    {
        if (!m_who.warPaint || s.material != kSkin || y < 0.28f || y > 0.48f)
            return;
        for (float side : {-1.0f, 1.0f})
            for (float stripe : {0.0f, 0.016f})
                if (y > 0.41f && y < 0.47f &&
                    std::fabs(x - (m_faceX + side * (0.07f + stripe) + (y - 0.41f) * 0.2f * side)) < 0.005f)
                    s = {kTrim, 0.55f};
        if (EllipseDistance(x, y, m_faceX, 0.31f, 0.012f, 0.02f) < 1.0f)
            s = {kTrim, 0.6f};
    }

    void Tusks(float x, float y, Sample& s) const
    {
        if (!m_race.tusks || y < 0.455f || y > 0.545f)
            return;
        const float mx = m_faceX + m_pose.turn * 0.01f;
        for (float side : {-1.0f, 1.0f}) {
            float along = 0.0f, across = 0.0f;
            if (InTaper(x, y, mx + side * 0.036f, 0.528f, mx + side * 0.05f, 0.468f, 0.011f, 0.002f, along, across))
                s = {kIvory, (0.45f + 0.45f * (1.0f - across)) * m_pose.light};
        }
    }

    void FrontHair(float x, float y, Sample& s) const
    {
        const HairStyle style = m_who.hair;
        if (style == HairStyle::Bald || y > 0.56f)
            return;
        if (style == HairStyle::Crest) {
            const float e = EllipseDistance(x, y, m_headX, 0.25f, 0.032f, 0.14f);
            const float spikes = 0.02f * std::fabs(std::sin((x - m_headX) * 260.0f));
            if (e < 1.0f && y > 0.11f + spikes && y < 0.31f)
                s = {kHair, (0.35f + 0.55f * (1.0f - (x - m_headX + 0.03f) / 0.07f)) * m_pose.light};
            return;
        }
        const float dx = (x - m_headX) / 0.158f;
        const float dy = (y - 0.365f) / 0.195f;
        if (dx * dx + dy * dy >= 1.0f)
            return;
        const float off = std::fabs(x - m_headX);
        float hairline = off < 0.11f ? 0.285f + 0.01f * std::sin((x - m_headX) * 95.0f) : 0.285f + (off - 0.11f) * 3.0f;
        if (!m_who.male && style != HairStyle::Hood)
            hairline += 0.03f * (x - m_headX) / 0.158f; // a fringe swept to one side
        if (y >= hairline)
            return;
        if (style == HairStyle::Hood) {
            s = y > hairline - 0.015f ? Sample{kTrim, DomeShade(m_pose, dx, dy, 0.7f)}
                                      : Sample{kCloth, DomeShade(m_pose, dx, dy, 0.7f) * 0.9f};
            return;
        }
        float shade = DomeShade(m_pose, dx, dy, 0.8f) * Strands(x, y);
        if (std::fabs(dy + 0.5f) < 0.08f)
            shade += 0.12f; // the sheen of the hair
        s = {kHair, shade};
    }

    void Jewellery(float x, float y, Sample& s) const
    {
        if (y < 0.28f || y > 0.5f)
            return;
        if (m_who.circlet && m_who.hair != HairStyle::Hood) {
            const float across = (x - m_headX) / 0.15f;
            const float bandY = 0.298f + 0.03f * across * across;
            if (std::fabs(across) < 1.0f && y > bandY && y < bandY + 0.013f)
                s = {kMetal, (0.4f + 0.55f * (1.0f - std::fabs(across + 0.2f))) * m_pose.light};
            if (EllipseDistance(x, y, m_faceX, 0.305f, 0.011f, 0.013f) < 1.0f)
                s = {kIris, EllipseDistance(x, y, m_faceX - 0.004f, 0.3f, 0.004f, 0.004f) < 1.0f ? 1.0f : 0.6f};
        }
        if (m_who.earring && m_race.ears != EarShape::None) {
            for (float side : {-1.0f, 1.0f}) {
                const bool big = m_race.ears == EarShape::Big;
                const float ex = m_headX + side * (big ? 0.2f : 0.148f);
                const float ey = big ? 0.37f : 0.47f;
                const float d = std::sqrt(EllipseDistance(x, y, ex, ey, 1.0f, 1.0f));
                if (d > 0.006f && d < 0.013f)
                    s = {kMetal, (x < ex ? 0.95f : 0.55f) * m_pose.light};
            }
        }
    }

    // The picture of a dead character: a skull in a dim light.
    void Skull(float xOnPicture, float yOnPicture, Sample& s) const
    {
        // The skull is drawn half as large again as a head, to fill the picture.
        const float x = xOnPicture / 1.5f;
        const float y = 0.42f + (yOnPicture - 0.45f) / 1.5f;
        const float cranium = EllipseDistance(x, y, 0.0f, 0.37f, 0.16f, 0.16f);
        const bool face = std::fabs(x) < 0.115f - std::max(0.0f, y - 0.45f) * 0.3f && y > 0.37f && y < 0.53f;
        const float jaw = EllipseDistance(x, y, 0.0f, 0.54f, 0.09f, 0.055f);
        if (cranium >= 1.0f && !face && jaw >= 1.0f)
            return;
        s = {kIvory, DomeShade(m_pose, x / 0.17f, (y - 0.42f) / 0.2f, 0.8f)};
        for (float side : {-1.0f, 1.0f}) {
            const float socket = EllipseDistance(x, y, side * 0.058f, 0.41f, 0.04f, 0.035f);
            if (socket < 1.0f)
                s = EllipseDistance(x, y, side * 0.058f, 0.415f, 0.009f, 0.009f) < 1.0f
                        ? Sample{kIris, 0.6f * m_pose.light}
                        : Sample{kFrame, 0.0f};
        }
        if (y > 0.455f && y < 0.495f && std::fabs(x) < (y - 0.455f) * 0.5f)
            s = {kFrame, 0.0f};
        if (y > 0.515f && y < 0.56f && std::fabs(x) < 0.062f) {
            const bool gap = Fraction((x + 0.062f) / 0.0155f) < 0.18f || std::fabs(y - 0.537f) < 0.003f;
            s = gap ? Sample{kLips, 0.05f} : Sample{kIvory, 0.8f - (y - 0.515f) * 4.0f};
        }
    }

    const Character& m_who;
    const RaceLook& m_race;
    const Pose& m_pose;
    float m_headX; // centre of the head
    float m_faceX; // centre line of the face, which moves further than the head when it turns
};

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
    const CPortraitPainter painter(who, pose);
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

// The palette of a palette image: colour 0 the frame, then one ramp of
// `shades` colours per material, as red, green, blue triples.
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

// An ordered dither spreads each shade over its two nearest ramp colours, so
// that short ramps still give smooth gradients.
constexpr float kBayer[4][4] = {{0.0f / 16, 8.0f / 16, 2.0f / 16, 10.0f / 16},
                                {12.0f / 16, 4.0f / 16, 14.0f / 16, 6.0f / 16},
                                {3.0f / 16, 11.0f / 16, 1.0f / 16, 9.0f / 16},
                                {15.0f / 16, 7.0f / 16, 13.0f / 16, 5.0f / 16}};

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

uint16_t ToRgb565(Rgb c)
{
    const auto channel = [](float v, float top) { return static_cast<uint16_t>(std::lround(Clamp01(v) * top)); };
    return static_cast<uint16_t>((channel(c.r, 31.0f) << 11) | (channel(c.g, 63.0f) << 5) | channel(c.b, 31.0f));
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

// ---------------------------------------------------------------------------
// The GFX image format, written field by field.

// Bytes of the header that the editor does not interpret. The demo puts
// labels there so that a test can see the editor carry them through a save.
constexpr size_t kLabelTagOffset = 0;      // 4 bytes "DEMO", then u16 serial number
constexpr size_t kLabelSerialOffset = 4;
constexpr size_t kLabelDelayOffset = 12;   // u32 frame delay in milliseconds
constexpr size_t kLabelNameOffset = 29;    // up to 15 bytes of the entry's base name
constexpr size_t kLabelNameSize = 15;
constexpr size_t kLabelWhoOffset = 45;     // race + 1, 'M' or 'F', variant
constexpr size_t kRecordDelayOffset = 8;   // frame record: u16 delay, u16 frame number + 1

struct ImageLabel {
    uint16_t serial = 0;
    uint32_t delay = 0;
    std::string name;
    uint8_t race = 0;
    char gender = 0;
    char variant = 0;
};

void StampLabel(GfxHeader& header, const ImageLabel& label)
{
    std::memcpy(&header.bytes[kLabelTagOffset], "DEMO", 4);
    StoreU16LE(&header.bytes[kLabelSerialOffset], label.serial);
    StoreU32LE(&header.bytes[kLabelDelayOffset], label.delay);
    std::memcpy(&header.bytes[kLabelNameOffset], label.name.data(), std::min(label.name.size(), kLabelNameSize));
    header.bytes[kLabelWhoOffset] = label.race;
    header.bytes[kLabelWhoOffset + 1] = static_cast<uint8_t>(label.gender);
    header.bytes[kLabelWhoOffset + 2] = static_cast<uint8_t>(label.variant);
}

struct Frame {
    int32_t width;
    int32_t height;
    std::vector<uint8_t> indices; // rows of exactly width bytes
};

// Header, palette, frame table with the frames' data packed in frame order,
// then the frame data area. False when a frame cannot be encoded.
bool BuildPaletteImage(const std::vector<uint8_t>& rgb, const std::vector<Frame>& frames, const ImageLabel& label,
                       std::vector<uint8_t>& out)
{
    if (frames.empty() || frames.size() > 255 || rgb.size() % 3 != 0 || rgb.size() / 3 > 256)
        return false;
    std::vector<uint8_t> data;
    std::vector<GfxFrameRecord> records;
    for (size_t i = 0; i < frames.size(); ++i) {
        const Frame& f = frames[i];
        std::vector<uint8_t> encoded(MaxEncodedSize(f.width, f.height));
        const int32_t length = EncodeFrame(f.indices.data(), f.width, f.height, encoded.data(), encoded.size());
        if (length < 0)
            return false;
        GfxFrameRecord record;
        record.SetOffset(static_cast<uint32_t>(data.size()));
        record.SetLength(static_cast<uint32_t>(length));
        StoreU16LE(&record.bytes[kRecordDelayOffset], static_cast<uint16_t>(label.delay));
        StoreU16LE(&record.bytes[kRecordDelayOffset + 2], static_cast<uint16_t>(i + 1));
        record.SetHeight(static_cast<int16_t>(f.height));
        record.SetWidth(static_cast<int16_t>(f.width));
        records.push_back(record);
        data.insert(data.end(), encoded.begin(), encoded.begin() + length);
    }

    GfxHeader header;
    StampLabel(header, label);
    header.SetDataSize(static_cast<uint32_t>(data.size()));
    StoreU16LE(&header.bytes[GfxHeader::kHeightOffset], static_cast<uint16_t>(frames[0].height));
    StoreU16LE(&header.bytes[GfxHeader::kWidthOffset], static_cast<uint16_t>(frames[0].width));
    StoreU16LE(&header.bytes[GfxHeader::kColourCountOffset], static_cast<uint16_t>(rgb.size() / 3));
    header.SetFrameCount(static_cast<uint8_t>(frames.size()));
    header.bytes[GfxHeader::kBitDepthOffset] = GfxHeader::kPaletteDepth;

    out.assign(header.bytes.begin(), header.bytes.end());
    out.insert(out.end(), rgb.begin(), rgb.end());
    for (const GfxFrameRecord& r : records)
        out.insert(out.end(), r.bytes.begin(), r.bytes.end());
    out.insert(out.end(), data.begin(), data.end());
    return true;
}

std::vector<uint8_t> BuildTrueColourImage(const std::vector<uint16_t>& pixels, int32_t width, int32_t height,
                                          const ImageLabel& label)
{
    GfxHeader header;
    StampLabel(header, label);
    header.SetDataSize(static_cast<uint32_t>(pixels.size() * 2));
    StoreU16LE(&header.bytes[GfxHeader::kHeightOffset], static_cast<uint16_t>(height));
    StoreU16LE(&header.bytes[GfxHeader::kWidthOffset], static_cast<uint16_t>(width));
    header.SetFrameCount(1);
    header.bytes[GfxHeader::kBitDepthOffset] = GfxHeader::kTrueColourDepth;

    std::vector<uint8_t> out(header.bytes.begin(), header.bytes.end());
    out.resize(GfxHeader::kSize + pixels.size() * 2);
    for (size_t i = 0; i < pixels.size(); ++i)
        StoreU16LE(&out[GfxHeader::kSize + 2 * i], pixels[i]);
    return out;
}

// ---------------------------------------------------------------------------
// The cast of the demo.

struct DemoEntry {
    std::string name;
    std::vector<uint8_t> payload;
};

// Medium frame counts, handed out in turn so that every count from 1 to 12
// occurs, several of them above 10.
constexpr int32_t kMediumFrameCounts[] = {4, 12, 1, 7, 11, 3, 10, 6, 2, 9, 5, 8};
constexpr int32_t kShadeChoices[] = {7, 12, 16, 20, 24, 28}; // palettes of 64 to 253 colours

struct Identity {
    int32_t race;
    bool male;
    char variant;
};

// The few portraits stored as 16-bit true-colour images in all three sizes.
bool IsTrueColour(const Identity& id)
{
    const Identity chosen[] = {{2, false, '2'}, {4, true, 'B'}, {10, false, '1'}, {11, true, '2'}};
    for (const Identity& c : chosen)
        if (c.race == id.race && c.male == id.male && c.variant == id.variant)
            return true;
    return false;
}

Character Cast(const Identity& id, int32_t serial)
{
    const RaceLook& race = kRaceLooks[id.race];
    // Each character's choices come from its own seed, so adding a portrait
    // never changes the others.
    CSeededRandom random(CharacterSeed(id.race, id.male, id.variant));
    Character who;
    who.race = id.race;
    who.male = id.male;
    who.variant = id.variant;

    static constexpr HairStyle kMaleHair[] = {HairStyle::Short, HairStyle::Bald, HairStyle::Crest,
                                              HairStyle::Long,  HairStyle::Hood, HairStyle::Braids};
    static constexpr HairStyle kFemaleHair[] = {HairStyle::Long, HairStyle::Bun, HairStyle::Braids, HairStyle::Short,
                                                HairStyle::Hood};
    who.hair = id.male ? kMaleHair[random.Below(6)] : kFemaleHair[random.Below(5)];
    if (race.scales && who.hair != HairStyle::Hood)
        who.hair = HairStyle::Crest; // scaled heads grow only a crest
    who.hairColour = race.hair[random.Below(2)];
    const int32_t variantNumber = static_cast<unsigned char>(id.variant);
    who.clothColour = race.cloth[(variantNumber + (id.male ? 1 : 0)) % 3];
    static constexpr Rgb kMetals[] = {Hex(0xD4AF37), Hex(0xC0C8D0), Hex(0xB0703A)};
    who.metalColour = kMetals[random.Below(3)];
    who.lipsColour = id.male ? race.lips : Mix(race.lips, Hex(0xC03848), 0.35f);

    static constexpr Neckline kMaleNecks[] = {Neckline::V, Neckline::HighCollar, Neckline::Robe};
    static constexpr Neckline kFemaleNecks[] = {Neckline::Scoop, Neckline::HighCollar, Neckline::Robe};
    who.neckline = id.male ? kMaleNecks[random.Below(3)] : kFemaleNecks[random.Below(3)];
    who.backdrop = static_cast<Backdrop>(random.Below(3));
    who.motion = static_cast<Motion>(serial % 5);

    const bool beardless = race.scales || race.fur || id.race == 10;
    who.beard = id.male && !beardless && who.hair != HairStyle::Hood && random.Chance(id.race == 3 ? 90 : 45);
    who.circlet = who.hair != HairStyle::Hood && random.Chance(30);
    who.earring = random.Chance(id.male ? 25 : 60);
    who.pauldrons = id.male && random.Chance(40);
    who.necklace = !id.male && who.neckline != Neckline::HighCollar && random.Chance(55);
    who.eyePatch = id.male && random.Chance(15);
    who.warPaint = (race.tusks || race.scales) && random.Chance(50);

    who.mediumFrames = kMediumFrameCounts[serial % 12];
    who.shades = kShadeChoices[random.Below(6)];
    who.trueColour = IsTrueColour(id);
    return who;
}

// The file name of one size of a portrait: the size's letter, the race code,
// the gender letter two places before the dot and the variant just before it.
std::string EntryName(const ImageSize& size, const Identity& id)
{
    return std::string("PORTRAITS\\") + size.folder + "\\" + size.prefix + kRaceTable[id.race].code +
           (id.male ? 'M' : 'F') + id.variant + ".GFX";
}

std::string BaseName(const std::string& entryName)
{
    const size_t slash = entryName.rfind('\\');
    const size_t dot = entryName.rfind('.');
    const size_t begin = slash == std::string::npos ? 0 : slash + 1;
    return entryName.substr(begin, dot == std::string::npos || dot < begin ? std::string::npos : dot - begin);
}

bool AddPortraitImage(const Character& who, const ImageSize& size, const std::string& name, uint16_t serial,
                      std::vector<DemoEntry>& entries)
{
    ImageLabel label;
    label.serial = serial;
    label.delay = 90 + 10 * static_cast<uint32_t>(serial % 7);
    label.name = BaseName(name);
    label.race = static_cast<uint8_t>(who.race + 1);
    label.gender = who.male ? 'M' : 'F';
    label.variant = who.variant;

    DemoEntry entry{name, {}};
    const bool medium = &size == &kMedium;
    if (who.trueColour) {
        entry.payload = BuildTrueColourImage(PaintTrueColour(who, Pose{}, size.width, size.height), size.width,
                                             size.height, label);
    } else {
        const int32_t count = medium ? who.mediumFrames : 1;
        std::vector<Frame> frames;
        for (int32_t i = 0; i < count; ++i)
            frames.push_back({size.width, size.height, PaintIndices(who, PoseAt(who, i, count), size.width, size.height)});
        if (!BuildPaletteImage(BuildPalette(who), frames, label, entry.payload))
            return false;
    }
    entries.push_back(std::move(entry));
    return true;
}

// ---------------------------------------------------------------------------
// Entries that are not portraits, which the editor must pass over.

std::vector<uint8_t> DoorSound()
{
    // 8-bit mono sound: a decaying knock of filtered noise.
    constexpr uint32_t kRate = 11025;
    constexpr uint32_t kSamples = 2205;
    std::vector<uint8_t> wav(44 + kSamples);
    auto put4 = [&wav](size_t at, const char* s) { std::memcpy(&wav[at], s, 4); };
    put4(0, "RIFF");
    StoreU32LE(&wav[4], 36 + kSamples);
    put4(8, "WAVE");
    put4(12, "fmt ");
    StoreU32LE(&wav[16], 16);
    StoreU16LE(&wav[20], 1); // plain samples
    StoreU16LE(&wav[22], 1); // mono
    StoreU32LE(&wav[24], kRate);
    StoreU32LE(&wav[28], kRate);
    StoreU16LE(&wav[32], 1);
    StoreU16LE(&wav[34], 8);
    put4(36, "data");
    StoreU32LE(&wav[40], kSamples);
    CSeededRandom random(0xD00Bu);
    float smooth = 0.0f;
    for (uint32_t i = 0; i < kSamples; ++i) {
        const float noise = static_cast<float>(random.Below(2001) - 1000) / 1000.0f;
        smooth = smooth * 0.8f + noise * 0.2f;
        const float t = static_cast<float>(i) / static_cast<float>(kRate);
        const float v = smooth * std::exp(-t * 25.0f) + 0.4f * std::sin(t * 2.0f * kPi * 90.0f) * std::exp(-t * 15.0f);
        wav[44 + i] = static_cast<uint8_t>(std::clamp(128.0f + v * 120.0f, 0.0f, 255.0f));
    }
    return wav;
}

std::vector<uint8_t> ReadMeText()
{
    const std::string text =
        "Demo data for the portrait editor.\r\n"
        "The portraits in this archive are drawn by a program and belong to no real game.\r\n";
    return std::vector<uint8_t>(text.begin(), text.end());
}

// A one-frame palette image whose pixel (x, y) gets the palette index draw(x, y).
template <typename Draw>
bool InterfaceImage(const std::string& name, int32_t width, int32_t height, const std::vector<uint8_t>& rgb,
                    uint16_t serial, Draw draw, std::vector<DemoEntry>& entries)
{
    Frame frame{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * static_cast<size_t>(height))};
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            frame.indices[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = draw(x, y);
    ImageLabel label;
    label.serial = serial;
    label.name = BaseName(name);
    DemoEntry entry{name, {}};
    if (!BuildPaletteImage(rgb, {frame}, label, entry.payload))
        return false;
    entries.push_back(std::move(entry));
    return true;
}

bool AddInterfaceEntries(std::vector<DemoEntry>& entries, uint16_t& serial)
{
    const std::vector<uint8_t> greys = {0, 0, 0, 255, 255, 255, 128, 128, 128, 200, 170, 60};
    // An arrow cursor, white edged and grey inside, on index 0.
    const auto inArrow = [](int32_t x, int32_t y) {
        if (x < 0 || y < 0)
            return false;
        const bool head = y < 13 && x <= (y * 2) / 3;
        const bool tail = y >= 9 && y < 19 && x >= (y - 9) / 2 + 2 && x <= (y - 9) / 2 + 4;
        return head || tail;
    };
    const bool cursor = InterfaceImage("INTERFACE\\CURSOR.GFX", 13, 19, greys, serial++,
                                       [&](int32_t x, int32_t y) {
                                           if (!inArrow(x, y))
                                               return uint8_t{0};
                                           const bool edge = !inArrow(x - 1, y) || !inArrow(x + 1, y) ||
                                                             !inArrow(x, y - 1) || !inArrow(x, y + 1);
                                           return static_cast<uint8_t>(edge ? 1 : 2);
                                       },
                                       entries);
    // A gold frame that the game lays over a portrait: it holds "PORTRAIT"
    // but is no portrait.
    const bool frame = InterfaceImage("INTERFACE\\PORTRAITFRAME.GFX", 183, 147, greys, serial++,
                                      [](int32_t x, int32_t y) {
                                          const int32_t edge = std::min({x, y, 182 - x, 146 - y});
                                          if (edge >= 4)
                                              return uint8_t{0};
                                          return static_cast<uint8_t>(edge == 0 || edge == 3 ? 2 : 3);
                                      },
                                      entries);
    // A banner with a race code in its name, outside the portraits folder.
    std::vector<uint8_t> banner = {0, 0, 0};
    for (int32_t k = 0; k < 16; ++k) {
        const Rgb c = RampColour(kRaceLooks[0].cloth[0], static_cast<float>(k) / 15.0f);
        banner.insert(banner.end(), {ToByte(c.r), ToByte(c.g), ToByte(c.b)});
    }
    const bool flag = InterfaceImage("INTERFACE\\BANNERS\\TVARFLAG.GFX", 37, 61, banner, serial++,
                                     [](int32_t x, int32_t y) {
                                         // A swallow-tailed cloth with a gentle wave in it.
                                         if (y > 60 - (18 - std::abs(x - 18)) * 10 / 18)
                                             return uint8_t{0};
                                         const float wave = std::sin(static_cast<float>(x) * 0.35f +
                                                                     static_cast<float>(y) * 0.08f);
                                         return static_cast<uint8_t>(std::clamp(8 + static_cast<int32_t>(wave * 6.0f), 1, 16));
                                     },
                                     entries);
    return cursor && frame && flag;
}

// Every entry of the demo archive, in directory order.
bool BuildEntries(std::vector<DemoEntry>& entries, std::string& error)
{
    uint16_t serial = 1;
    entries.push_back({"DATA\\SOUNDS\\DOOR01.WAV", DoorSound()});
    entries.push_back({"DATA\\TEXT\\README.TXT", ReadMeText()});
    if (!AddInterfaceEntries(entries, serial)) {
        error = "cannot encode an interface image";
        return false;
    }

    // Four portraits per race (both genders, variants 1 and 2), and a fifth
    // for some races, with letters for variants.
    const Identity extras[] = {{0, true, 'A'}, {2, false, '3'}, {4, true, 'B'},
                               {6, false, 'A'}, {8, true, '3'}, {10, false, 'B'}};
    int32_t portrait = 0;
    for (int32_t race = 0; race < kRaceCount; ++race) {
        std::vector<Identity> ids = {{race, true, '1'}, {race, false, '1'}, {race, true, '2'}, {race, false, '2'}};
        for (const Identity& extra : extras)
            if (extra.race == race)
                ids.push_back(extra);
        for (const Identity& id : ids) {
            const Character who = Cast(id, portrait++);
            for (const ImageSize* size : {&kLarge, &kMedium, &kSmall}) {
                if (!AddPortraitImage(who, *size, EntryName(*size, id), serial++, entries)) {
                    error = "cannot encode the image " + EntryName(*size, id);
                    return false;
                }
            }
        }
        if (race == 5) {
            // A dead character's picture: under PORTRAITS\ and with a race
            // code, but "SKULL" in its name keeps it out of the catalogue.
            Character skull = Cast({race, true, '1'}, portrait);
            skull.skull = true;
            skull.trueColour = false;
            skull.motion = Motion::Flicker;
            skull.mediumFrames = 1;
            if (!AddPortraitImage(skull, kLarge, "PORTRAITS\\LARGE\\LSKULLTROMBM1.GFX", serial++, entries)) {
                error = "cannot encode the skull image";
                return false;
            }
        }
        if (race == 9) {
            // The folder spelled in lower case is not the portraits folder:
            // name tests are case-sensitive.
            const Identity id{race, true, '9'};
            if (!AddPortraitImage(Cast(id, portrait), kLarge, "portraits\\LARGE\\LBRUKM9.GFX", serial++, entries)) {
                error = "cannot encode the lower-case entry";
                return false;
            }
        }
    }
    return true;
}

// ---------------------------------------------------------------------------
// Writing the archive with the project's own patch builder.

std::vector<uint8_t> OverrideFile(const DemoEntry& entry)
{
    std::vector<uint8_t> bytes(OverrideHeader::kFixedSize + entry.name.size());
    std::memcpy(bytes.data(), OverrideHeader::kMagic, OverrideHeader::kMagicSize);
    StoreU32LE(&bytes[OverrideHeader::kNameLengthOffset], static_cast<uint32_t>(entry.name.size()));
    std::memcpy(&bytes[OverrideHeader::kNameOffset], entry.name.data(), entry.name.size());
    StoreU32LE(&bytes[OverrideHeader::kNameOffset + entry.name.size()], static_cast<uint32_t>(entry.payload.size()));
    bytes.insert(bytes.end(), entry.payload.begin(), entry.payload.end());
    return bytes;
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FileHandle file = CFileSystem::CreateForWriting(path);
    if (!file)
        return false;
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    return std::fclose(file.release()) == 0 && written;
}

// Replaces the path that the builder wrote into the archive header with a
// fixed one, so that the archive does not depend on where it was written.
bool LabelArchive(const std::string& archivePath)
{
    std::FILE* file = std::fopen(CFileSystem::ResolvePath(archivePath).c_str(), "r+b");
    if (!file)
        return false;
    uint8_t field[ArchiveHeader::kPathSize] = {};
    std::memcpy(field, kArchiveLabel, std::strlen(kArchiveLabel));
    const bool written = std::fseek(file, static_cast<long>(ArchiveHeader::kPathOffset), SEEK_SET) == 0 &&
                         std::fwrite(field, 1, sizeof field, file) == sizeof field;
    return std::fclose(file) == 0 && written;
}

// Removes the override files of the build and their folder, whatever
// happened; the folder is left alone if something else lies in it.
class CBuildFolder {
public:
    explicit CBuildFolder(std::string path) : m_path(std::move(path)) {}
    ~CBuildFolder()
    {
        for (const std::string& file : m_files)
            CFileSystem::RemoveFile(file);
        std::error_code ignored;
        std::filesystem::remove(CFileSystem::ResolvePath(m_path), ignored);
    }
    CBuildFolder(const CBuildFolder&) = delete;
    CBuildFolder& operator=(const CBuildFolder&) = delete;

    const std::string& Path() const { return m_path; }
    void Track(const std::string& file) { m_files.push_back(file); }

private:
    std::string m_path;
    std::vector<std::string> m_files;
};

} // namespace

bool MakeDemoGame(const std::string& dir, std::string& error)
{
    error.clear();
    if (dir.empty()) {
        error = "no directory given";
        return false;
    }
    const std::string archivePath = CFileSystem::BuildPath(dir, "DATA\\DATA.QPK");
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(CFileSystem::ResolvePath(archivePath), ec))) {
        error = CFileSystem::ResolvePath(archivePath) + " exists already; a game archive is never overwritten";
        return false;
    }
    std::filesystem::create_directories(CFileSystem::ResolvePath(dir), ec);
    for (const char* folder : {"", "DATA", "PATCHES"}) {
        const std::string path = *folder ? CFileSystem::BuildPath(dir, folder) : dir;
        if (!CFileSystem::CreateFolder(path)) {
            error = "cannot create the folder " + CFileSystem::ResolvePath(path);
            return false;
        }
    }

    std::vector<DemoEntry> entries;
    if (!BuildEntries(entries, error))
        return false;
    if (entries.size() > static_cast<size_t>(CGameArchive::kMaxSlots)) {
        error = "too many entries for one archive";
        return false;
    }

    CBuildFolder build(CFileSystem::BuildPath(dir, kBuildFolder));
    if (!CFileSystem::CreateFolder(build.Path())) {
        error = "cannot create the folder " + CFileSystem::ResolvePath(build.Path());
        return false;
    }
    CGameArchive builder;
    builder.BeginBuild(archivePath);
    for (size_t i = 0; i < entries.size(); ++i) {
        char fileName[32];
        std::snprintf(fileName, sizeof fileName, "E%03zu.GFX", i);
        const std::string path = CFileSystem::BuildPath(build.Path(), fileName);
        build.Track(path);
        if (!WriteWholeFile(path, OverrideFile(entries[i]))) {
            error = "cannot write " + CFileSystem::ResolvePath(path);
            return false;
        }
        const int32_t added = builder.AddFile(path);
        if (added != CGameArchive::kAddOk) {
            error = "the archive builder refused " + CFileSystem::ResolvePath(path) + " (" + std::to_string(added) + ")";
            return false;
        }
    }
    const int32_t written = builder.WriteArchive();
    if (written != CGameArchive::kWriteOk) {
        error = "cannot write " + CFileSystem::ResolvePath(archivePath) + " (" + std::to_string(written) + ")";
        return false;
    }
    if (!LabelArchive(archivePath)) {
        error = "cannot finish the header of " + CFileSystem::ResolvePath(archivePath);
        return false;
    }
    return true;
}
