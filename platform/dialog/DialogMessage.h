// The input messages a dialog handles, as a host delivers them.
#pragma once

#include <cstdint>
#include <string>

struct Icon;

struct ClientPoint {
    int32_t x = 0;
    int32_t y = 0;
};

enum class MessageKind {
    Paint,
    QueryDragIcon,
    Char,
    KeyDown,
    MouseWheel,
    LButtonDown,
    Command,  // a push button, the check box, a menu item, OK (Enter) or cancel (Escape, close box)
    HScroll,  // a notification of a scroll-bar control, handed back to that control
    ListSelect,   // the user chose a row of the list panel (position)
    ListSearch,   // the user typed in the list panel to find a row (text, what was typed so far)
    PaintPreview, // the preview panel's canvas is to be painted
    Timer,        // a timer that the dialog set has run out (id)
};

// Command ids that every dialog knows.
constexpr int32_t IDOK = 1;
constexpr int32_t IDCANCEL = 2;

// Keys that the dialog manager itself acts on.
constexpr uint32_t VK_RETURN = 0x0D; // presses the default button (OK)
constexpr uint32_t VK_ESCAPE = 0x1B; // the cancel command

// Horizontal scroll notification codes.
constexpr int32_t SB_LINELEFT = 0;
constexpr int32_t SB_LINERIGHT = 1;
constexpr int32_t SB_PAGELEFT = 2;
constexpr int32_t SB_PAGERIGHT = 3;
constexpr int32_t SB_THUMBPOSITION = 4;
constexpr int32_t SB_THUMBTRACK = 5;
constexpr int32_t SB_TOP = 6;
constexpr int32_t SB_BOTTOM = 7;
constexpr int32_t SB_ENDSCROLL = 8;

struct DialogMessage {
    explicit DialogMessage(MessageKind messageKind = MessageKind::Paint) : kind(messageKind) {}

    MessageKind kind;
    int32_t id = 0;        // Command: the command id; HScroll: the control id; Timer: the timer id
    uint32_t flags = 0;    // key and mouse-button flags
    uint32_t key = 0;      // Char, KeyDown: the character or key code
    uint32_t repeat = 1;   // Char, KeyDown: the repeat count
    int16_t delta = 0;     // MouseWheel: the signed wheel distance
    ClientPoint point;     // MouseWheel, LButtonDown
    const Icon* icon = nullptr; // QueryDragIcon: the answer
    int32_t code = 0;      // HScroll: the SB_ code
    int32_t position = 0;  // HScroll: the thumb position; ListSelect: the row
    std::string text;      // ListSearch: the typed text
};
