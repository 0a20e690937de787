// Shared pieces of the window tests: the game the window is opened in, user
// inputs (each says once what it is in the window and on the headless
// host), the headless run that the window is compared with, and a session
// that drives the window through its real widgets, its message boxes and
// open-file dialog scripted.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "PortraitEditorDlg.h"
#include "QtModalLooks.h"
#include "Canvas.h"
#include "QtDialogHost.h"
#include "Resources.h"
#include "GameDir.h"
#include "ScriptedHost.h"
#include "ScriptedModalDialogs.h"
#include "TempDir.h"
#include "TestGame.h"

class QScrollBar;
class WindowSession;

// Two game directories made from the same entries: the window works in one,
// the headless host in the other, so that what one saves cannot change what
// the other reads.
struct TwinGames {
    explicit TwinGames(const std::vector<TestEntry>& entries) : window(entries), headless(entries) {}
    GameDir window;
    GameDir headless;
};

// One user input: what the user does in the window's widgets, and the same
// input as the headless host is given it.
struct Input {
    std::string name;
    std::function<void(WindowSession&)> inWindow;
    std::function<void(CScriptedHost&)> headless;
};

namespace Do {
Input ClickAt(int32_t x, int32_t y); // the left button at (x, y) of the client area
Input ClickSlot(int32_t slot);       // one pixel in from the slot's top-left corner
Input WheelAt(int16_t delta, int32_t x, int32_t y);
Input WheelOverScrollBar(int16_t delta);
Input WheelOverButton(int16_t delta); // with the pointer on "Export All"
Input ArrowLeft();
Input ArrowRight();
Input PageLeft();
Input PageRight();
Input DragThumbToStart();
Input DragThumbToEnd();
Input ScrollHereAtEnd(); // "Scroll here" from the scroll bar's context menu, at its right end
Input Export();
Input ExportAll();
Input ImportFile(const std::string& path); // the file dialog is answered with path
Input CancelImport();                      // the file dialog is cancelled
Input ToggleCheck();                       // the check box "Use TGA-Palette"
Input ChooseMenuItem(int32_t id);          // through the item's own action in the menu bar
Input CreateArchive();
Input QuitButton();
Input EnterKey();
Input EscapeKey();
// A key given to the widget with the focus, and by its code on the headless host.
Input KeyPress(std::string name, Qt::Key key, uint32_t code);
Input TabTo(int32_t id);  // Tab until the control has the focus
Input EnterOnQuit();      // Tab to "Quit", then Enter
Input CloseBox();
} // namespace Do

// What the view and the dialog's state look like after an input.
struct ViewSnapshot {
    CCanvas canvas;
    int32_t portrait = -1;
    int32_t slot = 0;
    int32_t scrollPos = 0, scrollMin = 0, scrollMax = 0;
    std::map<int32_t, std::string> labels;
    // The check box and the menu items, by id: checked or not.
    std::map<int32_t, bool> checks;
    // Message boxes shown during the input: text and caption.
    std::vector<std::pair<std::string, std::string>> messages;
    bool open = true;
    int32_t result = 0;
};

// Runs a fresh dialog on the headless host in baseDir with the inputs; the
// first snapshot is taken after start-up, then one after each input.
std::vector<ViewSnapshot> RunHeadless(const std::string& baseDir, const std::vector<Input>& inputs);

// The rectangle compared in the grabbed window: slot s with the selection
// bar below it, (left, top) to (right + 1, bottom + 5).
PixelRect SlotAreaWithBar(int32_t slot);

// Compares the window's view with the headless host's after the same
// inputs: the whole canvas, the window's grabbed pixels in the slot areas,
// and the dialog's state and label texts.
void ExpectSameView(const ViewSnapshot& window, const QImage& grabbed, const ViewSnapshot& headless);

// Runs the editor's dialog in the real window, with scripted message boxes
// and open-file dialog.
class WindowSession {
public:
    WindowSession() : host(modals) {}

    // Runs the dialog; steps run inside its modal loop once the window is
    // shown and active. A dialog that the steps leave open is ended without
    // saving. Returns the dialog's result.
    int32_t Run(CDialog& dialog, const std::function<void()>& steps);

    // True while the window is shown, that is until the dialog ends.
    bool IsOpen() const;
    QDialog* Window() const { return host.Window(); }
    // The client area under the menu bar, where the canvas is shown.
    QWidget* Client() const { return host.ClientArea(); }
    QScrollBar* ScrollBar() const;
    QWidget* Control(int32_t id) const { return host.ControlWidget(id); }

    // Gives the input through the window's real widgets; every answer it
    // queued must have been asked for.
    void Perform(const Input& input);
    // The dialog's state, with the boxes shown since box number firstBox;
    // the result once the dialog has ended.
    ViewSnapshot Snapshot(const CPortraitEditorDlg& dialog, size_t firstBox = 0);
    // The client area as it is shown, painted anew; empty once the window
    // has closed.
    QImage Grab() const;
    // Performs the input, then grabs the window and takes a snapshot.
    ViewSnapshot Step(const CPortraitEditorDlg& dialog, const Input& input, QImage& grabbed);

    CScriptedModalDialogs modals;
    CQtDialogHost host;
};

// Names in a folder with the bytes of each file, for comparing what the two
// hosts wrote.
std::map<std::string, std::vector<uint8_t>> FolderContents(const std::string& path);
