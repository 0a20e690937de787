// The painter of the demo's portraits: what a character shows at any point of
// the picture, drawn from a few shapes (head, hair, eyes, shoulders, clothing)
// lit from the upper left.
#pragma once

#include <cstdint>

#include "DemoCast.h"

namespace demo {

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

// The moment one frame shows. Frame 0 of every animation is the rest pose,
// which is also what LARGE and SMALL show.
struct Pose {
    float turn = 0.0f;   // -1 left .. 1 right
    float eyeOpen = 1.0f;
    float mouthOpen = 0.0f;
    float gaze = 0.0f;   // -1 .. 1
    float light = 1.0f;  // brightness of the flickering light
};

// Coordinates are in units of the picture's height: y runs from 0 at the top
// to 1 at the bottom, x from the centre line, so that one painter draws all
// three sizes alike and SMALL is simply LARGE scaled down.
class CDemoPainter {
public:
    CDemoPainter(const Character& who, const Pose& pose);

    // The material and shade at (x, y).
    Sample At(float x, float y) const;

private:
    static constexpr float kHeadY = 0.40f;
    static constexpr float kHeadRx = 0.145f;
    static constexpr float kHeadRy = 0.185f;
    static constexpr float kEyeY = 0.385f;
    static constexpr float kEyeSpacing = 0.056f;
    static constexpr float kMouthY = 0.512f;

    float HeadHalfWidth(float y) const;
    float Strands(float x, float y) const;
    void Background(float x, float y, Sample& s) const;
    void Body(float x, float y, Sample& s) const;
    void BackHair(float x, float y, Sample& s) const;
    void Neck(float x, float y, Sample& s) const;
    void Ears(float x, float y, Sample& s) const;
    void Horns(float x, float y, Sample& s) const;
    bool Head(float x, float y, Sample& s) const;
    void Beard(float x, float y, bool inHead, Sample& s) const;
    void Eyes(float x, float y, Sample& s) const;
    void Nose(float x, float y, Sample& s) const;
    void Mouth(float x, float y, Sample& s) const;
    void Paint(float x, float y, Sample& s) const;
    void Tusks(float x, float y, Sample& s) const;
    void FrontHair(float x, float y, Sample& s) const;
    void Jewellery(float x, float y, Sample& s) const;
    void Skull(float xOnPicture, float yOnPicture, Sample& s) const;

    const Character& m_who;
    const RaceLook& m_race;
    const Pose& m_pose;
    float m_headX; // centre of the head
    float m_faceX; // centre line of the face, which moves further than the head when it turns
};

} // namespace demo
