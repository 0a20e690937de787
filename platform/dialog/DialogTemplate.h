// A dialog described as data: caption, size and font, and its controls with
// id, kind, text, position, size and style, all in dialog units.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class ControlKind {
    PushButton, // never a default button: Enter presses only a button the user gave the focus
    AutoCheckBox,
    GroupBox,
    StaticText, // left-aligned
    HorizontalScrollBar,
};

// Window styles that the dialogs here use.
namespace WindowStyle {
constexpr uint32_t kChild = 0x40000000;
constexpr uint32_t kVisible = 0x10000000;
constexpr uint32_t kTabStop = 0x00010000;
constexpr uint32_t kPopup = 0x80000000;
constexpr uint32_t kCaption = 0x00C00000;
constexpr uint32_t kSystemMenu = 0x00080000;
constexpr uint32_t kMinimizeBox = 0x00020000;
constexpr uint32_t kModalFrame = 0x00000080;  // extended style bits are kept apart below
constexpr uint32_t kHorizontalScroll = 0x00000000; // SBS_HORZ
} // namespace WindowStyle

namespace WindowExStyle {
constexpr uint32_t kAppWindow = 0x00040000; // shown in the task bar
} // namespace WindowExStyle

struct ControlTemplate {
    int32_t id;
    ControlKind kind;
    std::string text;
    int32_t x, y, width, height; // dialog units
    uint32_t style;
};

struct DialogTemplate {
    int32_t id;
    std::string caption;
    int32_t width, height; // dialog units
    std::string fontName;
    int32_t fontPointSize;
    uint32_t style;
    uint32_t exStyle;
    std::vector<ControlTemplate> controls; // template order is tab order
};

struct PixelRect {
    int32_t left, top, right, bottom;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool operator==(const PixelRect&) const = default;
};

// Dialog units to pixels with the base units of the dialog font at 96 dpi,
// 6 x 13 pixels: x * 6 / 4 and y * 13 / 8, rounded to the nearest with
// halves away from zero.
int32_t DialogUnitsToPixelsX(int32_t x);
int32_t DialogUnitsToPixelsY(int32_t y);
PixelRect ControlRectInPixels(const ControlTemplate& control);
