// The input messages a dialog handles, as a host delivers them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
    // Files shared with the desktop, and time.
    DropFiles,   // files dropped on the client area at a point
    BeginDrag,   // the left button, pressed at a point, moved past the drag distance
    FileChanged, // the watched file was written, or replaced by another file
    Timer,       // a timer of the dialog ran out
    ListSelect,   // the user chose a row of the list panel (position)
    ListSearch,   // the user typed in the list panel to find a row (text, what was typed so far)
    PaintPreview, // the preview panel's canvas is to be painted
    FolderChanged, // files in the watched folder were made, written, renamed or removed
    PreviewDropFiles, // files dropped on the preview panel (paths)
};

// Command ids that every dialog knows.
constexpr int32_t IDOK = 1;
constexpr int32_t IDCANCEL = 2;

// Keys that the dialog manager itself acts on.
constexpr uint32_t VK_RETURN = 0x0D; // presses the default button (OK)
constexpr uint32_t VK_ESCAPE = 0x1B; // the cancel command

// Keys that reach the dialog by these codes on every host; a host gives
// letters, digits and the space bar as their upper-case characters, and
// other keys it has no code for as 0.
constexpr uint32_t VK_TAB = 0x09;
constexpr uint32_t VK_SPACE = 0x20;
constexpr uint32_t VK_PRIOR = 0x21; // Page Up
constexpr uint32_t VK_NEXT = 0x22;  // Page Down
constexpr uint32_t VK_END = 0x23;
constexpr uint32_t VK_HOME = 0x24;
constexpr uint32_t VK_LEFT = 0x25;
constexpr uint32_t VK_UP = 0x26;
constexpr uint32_t VK_RIGHT = 0x27;
constexpr uint32_t VK_DOWN = 0x28;

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
    // The mouse-button flag of a left button held down.
    static constexpr uint32_t kLeftButton = 0x0001;

    explicit DialogMessage(MessageKind messageKind = MessageKind::Paint) : kind(messageKind) {}

    // The messages that hosts make of their input.
    static DialogMessage Command(int32_t commandId)
    {
        DialogMessage m{MessageKind::Command};
        m.id = commandId;
        return m;
    }
    static DialogMessage Scroll(int32_t controlId, int32_t scrollCode, int32_t thumbPosition = 0)
    {
        DialogMessage m{MessageKind::HScroll};
        m.id = controlId;
        m.code = scrollCode;
        m.position = thumbPosition;
        return m;
    }
    static DialogMessage Wheel(int16_t wheelDelta, ClientPoint at)
    {
        DialogMessage m{MessageKind::MouseWheel};
        m.delta = wheelDelta;
        m.point = at;
        return m;
    }
    static DialogMessage LeftButtonDown(ClientPoint at)
    {
        DialogMessage m{MessageKind::LButtonDown};
        m.flags = kLeftButton;
        m.point = at;
        return m;
    }

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
    // DropFiles, PreviewDropFiles: the files, host paths (point: where); BeginDrag: point is
    // where the button went down; FileChanged: the watched file;
    // FolderChanged: the watched folder; Timer: id.
    std::vector<std::string> paths;
    std::string text;      // ListSearch: the typed text
};
