// Shared pieces of the window tests: the game the window is opened in, inputs
// that the real window and the headless host both understand, the headless
// run that the window is compared with, and a session that drives the
// window's modal loop through its real widgets with bounded waits.
#pragma once

#include <gtest/gtest.h>

#include <QFileDialog>
#include <QImage>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "PortraitEditorDlg.h"
#include "Canvas.h"
#include "HeadlessHost.h"
#include "QtDialogHost.h"
#include "Resources.h"
#include "GameDir.h"
#include "TempDir.h"
#include "TestGame.h"

class QScrollBar;

// Two game directories made from the same entries: the window works in one,
// the headless host in the other, so that what one saves cannot change what
// the other reads.
struct TwinGames {
    explicit TwinGames(const std::vector<TestEntry>& entries) : window(entries), headless(entries) {}
    GameDir window;
    GameDir headless;
};

// One user input, as the window receives it and as the headless host is
// given it.
struct Input {
    enum class Kind {
        Click,              // the left button at (x, y) of the client area
        Wheel,              // a wheel turn by delta over (x, y) of the client area
        WheelOverScrollBar, // a wheel turn by delta with the pointer on the scroll bar
        WheelOverButton,    // a wheel turn by delta with the pointer on "Export All"
        ArrowLeft,
        ArrowRight,
        PageLeft,
        PageRight,
        DragThumbToStart,
        DragThumbToEnd,
        ScrollHereAtEnd, // "Scroll here" from the scroll bar's context menu, at its right end
        Export,
        ExportAll,
        Import,       // the file dialog is answered with path
        CancelImport, // the file dialog is cancelled
        ToggleCheck,  // the check box "Use TGA-Palette"
        CreateArchive,
        QuitButton,
        EnterKey,
        EscapeKey,
        CloseBox,
    };
    Kind kind = Kind::Click;
    int32_t x = 0, y = 0;
    int16_t delta = 0;
    std::string path;
    // Import only: names that the file dialog must list in the folder it
    // opens in before it is answered (the window checks them; the headless
    // host has no list).
    std::vector<std::string> listedNames;
};

Input ClickAt(int32_t x, int32_t y);
// A click one pixel in from the slot's top-left corner.
Input ClickSlot(int32_t slot);
Input WheelAt(int16_t delta, int32_t x, int32_t y);
Input Do(Input::Kind kind);
Input WheelOver(Input::Kind kind, int16_t delta);
Input ImportFile(const std::string& path, std::vector<std::string> listedNames = {});
std::string Describe(const Input& input);

// What the view and the dialog's state look like after an input.
struct ViewSnapshot {
    CCanvas canvas;
    int32_t portrait = -1;
    int32_t slot = 0;
    int32_t scrollPos = 0, scrollMin = 0, scrollMax = 0;
    std::map<int32_t, std::string> labels;
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

// A message box seen while it was open.
struct SeenBox {
    std::string text, caption;
    bool modal = false;
    bool owned = false; // its parent is the editor's window
    int buttonCount = 0;
    bool okButton = false;
    bool noIcon = false;
};

// The open-file dialog as it was when it opened.
struct SeenFileDialog {
    QString directory; // canonical
    QStringList selectedFiles;
    QStringList nameFilters;
    QString selectedNameFilter;
    QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
    QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptSave;
    bool nonNative = false;
    bool modal = false;
    bool owned = false;
    // Names the dialog listed in its folder, once the awaited ones appeared;
    // empty when nothing was awaited.
    QStringList listedNames;
    bool awaitedNamesListed = false;
};

// Runs the editor's dialog in the real window. Message boxes are answered
// with OK and open-file dialogs from a queue of answers, by a timer that
// looks for them while they run their own modal loops; a watchdog ends the
// dialog and fails the test when the steps do not finish in time.
class WindowSession {
public:
    WindowSession();
    ~WindowSession();
    WindowSession(const WindowSession&) = delete;
    WindowSession& operator=(const WindowSession&) = delete;

    // Runs the dialog; steps run inside its modal loop once the window is
    // shown and active. A dialog that the steps leave open is ended without
    // saving. Returns the dialog's result.
    int32_t Run(CDialog& dialog, const std::function<void()>& steps);

    // True while the window is shown, that is until the dialog ends.
    bool IsOpen() const;
    QDialog* Window() const { return host.Window(); }
    QScrollBar* ScrollBar() const;
    QWidget* Control(int32_t id) const { return host.ControlWidget(id); }

    // Gives the input through the window's real widgets; returns when the
    // input and any dialog it opened are done.
    void Perform(const Input& input);
    // The dialog's state, with the message boxes seen since box number
    // firstBox; the result once the dialog has ended.
    ViewSnapshot Snapshot(const CPortraitEditorDlg& dialog, size_t firstBox = 0);
    // The window as it is shown, painted anew; empty once it has closed.
    QImage Grab() const;
    // Performs the input, then grabs the window and takes a snapshot.
    ViewSnapshot Step(const CPortraitEditorDlg& dialog, const Input& input, QImage& grabbed);

    CQtDialogHost host;
    std::vector<SeenBox> boxes;
    std::vector<SeenFileDialog> fileDialogs;
    // The entries of each context menu seen.
    std::vector<QStringList> menus;

private:
    struct FileAnswer {
        std::optional<std::string> path;
        std::vector<std::string> listedNames;
    };
    void Poll();
    void AnswerFileDialog(QFileDialog& dialog);
    void Abort();

    QTimer m_poll;
    QTimer m_watchdog;
    bool m_polling = false;
    // The dialog whose answer is on its way: the poll leaves it alone.
    QPointer<QWidget> m_answering;
    std::deque<FileAnswer> m_fileAnswers;
    // The entry to choose in the next context menu; none closes it.
    QString m_menuChoice;
};

// Waits, processing events, until done() holds or the time is up; returns
// whether it holds.
bool WaitFor(const std::function<bool()>& done, int milliseconds);

// Names in a folder with the bytes of each file, for comparing what the two
// hosts wrote.
std::map<std::string, std::vector<uint8_t>> FolderContents(const std::string& path);
