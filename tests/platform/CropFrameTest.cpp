// The crop rectangle of the new-portrait dialog keeps its shape and stays
// inside the picture however it is dragged or resized.
#include <gtest/gtest.h>

#include <cstdlib>

#include "CropFrame.h"

namespace {

// The rectangle's shape is the aspect's within a pixel of rounding.
void ExpectShape(const PixelRect& r, int32_t aspectWidth, int32_t aspectHeight)
{
    EXPECT_LE(std::abs(r.Width() * aspectHeight - r.Height() * aspectWidth), aspectHeight) << r.Width() << "x" << r.Height();
}

void ExpectInside(const PixelRect& r, int32_t width, int32_t height)
{
    EXPECT_GE(r.left, 0);
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.right, width);
    EXPECT_LE(r.bottom, height);
}

} // namespace

TEST(CropFrame, KeepsItsShapeInsideThePictureWhenMovedResizedOrScaled)
{
    // A wide picture: the largest crop of 179:143 fills its height, centred.
    CCropFrame frame(1000, 400, 179, 143);
    EXPECT_EQ(frame.Rect().Height(), 400);
    EXPECT_EQ(frame.Rect().left, (1000 - frame.Rect().Width()) / 2);
    ExpectShape(frame.Rect(), 179, 143);

    // Dragged from inside far past the right edge, it stops there.
    EXPECT_EQ(frame.HandleAt(500, 200, 5), CCropFrame::Handle::kInside);
    frame.BeginDrag(CCropFrame::Handle::kInside, 500, 200);
    frame.DragTo(5000, -300);
    frame.EndDrag();
    EXPECT_EQ(frame.Rect().right, 1000);
    EXPECT_EQ(frame.Rect().top, 0);

    // A corner dragged in keeps the opposite corner and the shape.
    const PixelRect before = frame.Rect();
    EXPECT_EQ(frame.HandleAt(before.left + 2, before.top - 3, 5), CCropFrame::Handle::kTopLeft);
    frame.BeginDrag(CCropFrame::Handle::kTopLeft, before.left, before.top);
    frame.DragTo(before.left + 200, before.top + 10);
    EXPECT_EQ(frame.Rect().right, before.right);
    EXPECT_EQ(frame.Rect().bottom, before.bottom);
    EXPECT_LT(frame.Rect().Height(), before.Height());
    ExpectShape(frame.Rect(), 179, 143);
    // Dragged out past the picture, it grows only as far as the picture reaches.
    frame.DragTo(-800, -800);
    frame.EndDrag();
    ExpectInside(frame.Rect(), 1000, 400);
    EXPECT_EQ(frame.Rect().Height(), 400);
    ExpectShape(frame.Rect(), 179, 143);

    // Scaled about its centre; never below the least height, never past the picture.
    frame.Set({100, 100, 100 + 179, 100 + 143});
    frame.Scale(0.5);
    EXPECT_EQ(frame.Rect().Height(), 72);
    EXPECT_NEAR((frame.Rect().left + frame.Rect().right) / 2.0, 100 + 179 / 2.0, 1.0);
    for (int k = 0; k < 100; ++k)
        frame.Scale(0.5);
    EXPECT_EQ(frame.Rect().Height(), CCropFrame::kMinHeight);
    for (int k = 0; k < 100; ++k)
        frame.Scale(2.0);
    EXPECT_EQ(frame.Rect().Height(), 400);
    ExpectInside(frame.Rect(), 1000, 400);

    // A picture smaller than the least height still gets a crop inside it.
    CCropFrame tiny(5, 3, 179, 143);
    ExpectInside(tiny.Rect(), 5, 3);
    EXPECT_GT(tiny.Rect().Height(), 0);
    tiny.Scale(0.1);
    ExpectInside(tiny.Rect(), 5, 3);
    EXPECT_GT(tiny.Rect().Width(), 0);
}
