// The painter's shapes, one method a part of the picture; each paints over
// what the parts before it left in the sample.
#include "DemoPainter.h"

#include <algorithm>
#include <cmath>

#include "DemoColour.h"
#include "DemoShapes.h"

namespace demo {

namespace {

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

} // namespace

CDemoPainter::CDemoPainter(const Character& who, const Pose& pose)
    : m_who(who), m_race(kRaceLooks[who.race]), m_pose(pose), m_headX(pose.turn * 0.03f),
      m_faceX(m_headX + pose.turn * 0.045f)
{
}

Sample CDemoPainter::At(float x, float y) const
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

// Half width of the head at height y: the jaw narrows below the middle
// unless the race has a heavy one.
float CDemoPainter::HeadHalfWidth(float y) const
{
    const float dy = (y - kHeadY) / kHeadRy;
    const float narrowing = dy > 0.0f ? (0.4f - 0.3f * m_race.jaw) * dy * dy : 0.0f;
    return kHeadRx * (1.0f + 0.12f * m_race.jaw) * (1.0f - narrowing);
}

// Wavy streaks, so that hair reads as hair and not as a cap.
float CDemoPainter::Strands(float x, float y) const
{
    return 0.84f + 0.16f * std::sin((x - m_headX) * 120.0f + 6.0f * std::sin(y * 18.0f));
}

void CDemoPainter::Background(float x, float y, Sample& s) const
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

void CDemoPainter::Body(float x, float y, Sample& s) const
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

void CDemoPainter::BackHair(float x, float y, Sample& s) const
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

void CDemoPainter::Neck(float x, float y, Sample& s) const
{
    const float nx = m_headX * 0.5f;
    const float half = 0.066f + std::max(0.0f, y - 0.62f) * 0.4f;
    if (y < 0.50f || y > 0.76f || std::fabs(x - nx) >= half)
        return;
    const float dx = (x - nx) / half;
    const float chinShadow = 0.55f + 0.45f * Smooth(0.56f, 0.64f, y);
    s = {kSkin, Lit(m_pose, dx, 0.0f, std::sqrt(std::max(0.0f, 1.0f - dx * dx))) * chinShadow};
}

void CDemoPainter::Ears(float x, float y, Sample& s) const
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

void CDemoPainter::Horns(float x, float y, Sample& s) const
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

bool CDemoPainter::Head(float x, float y, Sample& s) const
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
void CDemoPainter::Beard(float x, float y, bool inHead, Sample& s) const
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

void CDemoPainter::Eyes(float x, float y, Sample& s) const
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

void CDemoPainter::Nose(float x, float y, Sample& s) const
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

void CDemoPainter::Mouth(float x, float y, Sample& s) const
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

void CDemoPainter::Paint(float x, float y, Sample& s) const
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

void CDemoPainter::Tusks(float x, float y, Sample& s) const
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

void CDemoPainter::FrontHair(float x, float y, Sample& s) const
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

void CDemoPainter::Jewellery(float x, float y, Sample& s) const
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
void CDemoPainter::Skull(float xOnPicture, float yOnPicture, Sample& s) const
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

} // namespace demo
