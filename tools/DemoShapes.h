// Where a point lies in the painter's shapes: ellipses and strokes that
// narrow from one end to the other, in the picture's units.
#pragma once

namespace demo {

// Squared distance of (x, y) from the centre of an ellipse, in units of its radii.
inline float EllipseDistance(float x, float y, float cx, float cy, float rx, float ry)
{
    const float dx = (x - cx) / rx;
    const float dy = (y - cy) / ry;
    return dx * dx + dy * dy;
}

// Whether (x, y) lies inside a stroke from a to b whose radius narrows from
// r0 to r1; along (0 .. 1) and across (0 at the middle, 1 at the edge) tell
// where.
bool InTaper(float x, float y, float ax, float ay, float bx, float by, float r0, float r1, float& along,
             float& across);

// The same for a stroke that curves from a to b, bent towards c (a quadratic
// curve, followed in eight straight pieces).
bool InCurvedTaper(float x, float y, float ax, float ay, float cx, float cy, float bx, float by, float r0,
                   float r1, float& along, float& across);

} // namespace demo
