// The painter's strokes: horns, tusks and pointed ears.
#include "DemoShapes.h"

#include <cmath>
#include <cstdint>

#include "DemoColour.h"

namespace demo {

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

} // namespace demo
