// What a backend provides to run a dialog: the window with its controls and
// menu bar, the client-area canvas, message boxes, the open-file and folder
// dialogs, a progress dialog and scroll bars. The headless host and the Qt host implement it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "DialogTemplate.h"
#include "FolderSuggestions.h"
#include "MenuTemplate.h"
#include "OpenFileRequest.h"
#include "PictureCropRequest.h"

class CCanvas;
struct CommandEffects;
class CDialog;
struct Icon;

// A row of the list panel: its cells, one a column.
struct ListRow {
    std::vector<std::string> cells;
    bool operator==(const ListRow&) const = default;
};

// Where the window stands on the screen, left and top, and its size, in
// pixels, without its frame; and whether it is maximised (the place and size
// then being those it returns to).
struct WindowPlacement {
    int32_t x = 0, y = 0, width = 0, height = 0;
    bool maximized = false;
    bool operator==(const WindowPlacement&) const = default;
};

// The dialog's background colour, which the canvas starts with.
constexpr uint32_t kDialogBackgroundRgb = 0xF0F0F0;

class IDialogHost {
public:
    virtual ~IDialogHost() = default;

    // Shows the dialog, calls its OnInitDialog and delivers input until the
    // dialog ends; returns the result given to EndDialog.
    virtual int32_t RunModal(CDialog& dialog) = 0;
    virtual void EndDialog(int32_t result) = 0;

    // The client area as a canvas; a paint draws on it.
    virtual CCanvas& Canvas() = 0;
    // Invalidates the whole client area without erasing it and paints it
    // before returning.
    virtual void Redraw() = 0;
    virtual bool IsMinimized() const = 0;
    // The window's place and size; false on a host without a window. Set,
    // the window takes the size (no smaller than its least) and the place,
    // when that is on a screen there is now.
    virtual bool GetWindowPlacement(WindowPlacement&) const { return false; }
    virtual void SetWindowPlacement(const WindowPlacement&) {}
    virtual void SetIcon(const Icon& icon, bool big) = 0;

    virtual bool HasControl(int32_t id) const = 0;
    virtual void SetControlText(int32_t id, const std::string& text) = 0;
    virtual std::string GetControlText(int32_t id) const = 0;
    virtual void SetCheck(int32_t id, int32_t state) = 0;
    virtual int32_t GetCheck(int32_t id) const = 0;
    // A disabled control shows so and gives no commands.
    virtual void EnableControl(int32_t id, bool enabled) = 0;

    // A modal message box owned by the dialog, with an OK button; a window
    // marks one captioned "Error" with its warning icon.
    virtual void ShowMessageBox(const std::string& text, const std::string& caption) = 0;
    // The same without an owner window, for what code below the dialog layer
    // has to say (an image's frame decoder).
    virtual void ShowUnownedMessageBox(const std::string& text, const std::string& caption) = 0;
    // A modal question owned by the dialog, with Yes and No buttons, No the
    // default; true when the answer is Yes.
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
    // The same with Yes the default.
    virtual bool AskYesNoDefaultYes(const std::string& text, const std::string& caption) = 0;
    // The modal open-file dialog; true with the chosen path, false when cancelled.
    virtual bool GetOpenFileName(const OpenFileRequest& request, std::string& path) = 0;
    // The same for one file or, with OFN_ALLOWMULTISELECT, several, in the
    // order chosen. A host without a dialog of its own asks for one file.
    virtual bool GetOpenFileNames(const OpenFileRequest& request, std::vector<std::string>& paths)
    {
        std::string path;
        const bool chosen = GetOpenFileName(request, path);
        paths.clear();
        if (chosen)
            paths.push_back(path);
        return chosen;
    }
    // The modal folder chooser, opening in startFolder; true with the chosen
    // folder (a host path), false when cancelled. A host without one cancels.
    virtual bool ChooseFolder(const std::string& /*title*/, const std::string& /*startFolder*/, std::string& /*folder*/)
    {
        return false;
    }
    // The same for a folder to write into: a folder named that does not
    // exist yet is taken too, for the caller to make. A host without a
    // chooser of its own answers as ChooseFolder does.
    virtual bool ChooseFolderToWrite(const std::string& title, const std::string& startFolder, std::string& folder)
    {
        return ChooseFolder(title, startFolder, folder);
    }

    // The folder chooser with the suggestions above it, filled in as they
    // come: a click on one chooses it. A host without one answers as
    // ChooseFolder does.
    virtual bool ChooseSuggestedFolder(const std::string& title, const std::string& startFolder,
                                       IFolderSuggestions& /*suggestions*/, std::string& folder)
    {
        return ChooseFolder(title, startFolder, folder);
    }

    // The modal dialog for a new portrait from a picture: the picture with a
    // crop rectangle of the request's shape, the previews asked of previews
    // whenever the crop or a choice changes, and the choices; true with
    // what was chosen, false when cancelled. A host without one takes the
    // request's initial choice.
    virtual bool ChoosePictureCrop(const PictureCropRequest& request, IPicturePreviews& /*previews*/,
                                   PictureCropChoice& choice)
    {
        choice = request.initial;
        return true;
    }

    // A modal progress dialog over the dialog for work done in steps, with a
    // Cancel button: shown by BeginProgress for `total` steps, told before
    // each step how many are done and what comes next, closed by EndProgress.
    // StepProgress answers false once the user has cancelled. A host without
    // one shows nothing and is never cancelled.
    virtual void BeginProgress(const std::string& /*title*/, int32_t /*total*/) {}
    virtual bool StepProgress(int32_t /*done*/, const std::string& /*text*/) { return true; }
    virtual void EndProgress() {}

    virtual void CreateScrollBar(int32_t id, const PixelRect& rect) = 0;
    virtual void SetScrollRange(int32_t id, int32_t min, int32_t max, bool redraw) = 0;
    virtual void GetScrollRange(int32_t id, int32_t& min, int32_t& max) const = 0;
    // Returns the previous position.
    virtual int32_t SetScrollPos(int32_t id, int32_t position, bool redraw) = 0;
    virtual int32_t GetScrollPos(int32_t id) const = 0;

    // The dialog's menu bar, above its client area, which keeps its size:
    // the window grows by the bar. Choosing an item delivers a command with
    // its id. A host without menus ignores them and answers unchecked.
    virtual void SetMenu(const MenuTemplate&) {}
    // Checking an item of a radio group unchecks the others of the group.
    virtual void CheckMenuItem(int32_t, bool) {}
    virtual bool IsMenuItemChecked(int32_t) const { return false; }
    // A disabled item shows so and gives no command, by click or shortcut.
    virtual void EnableMenuItem(int32_t, bool) {}
    virtual bool IsMenuItemEnabled(int32_t) const { return true; }

    // Files shared with the desktop, and timers; paths are host paths. A
    // host without them starts no drag, opens nothing, watches nothing and
    // never times out.
    // Drags the file out of the window, as a copy for wherever it is dropped.
    virtual void StartFileDrag(const std::string& /*path*/) {}
    // Opens the file in the desktop's default program for its kind; false
    // when none could be started.
    virtual bool OpenWithDefaultProgram(const std::string& /*path*/) { return false; }
    // Watches one file: each time it is written, or another file is renamed
    // to its name (as editors save), the dialog gets FileChanged. Watching
    // another file stops watching the first.
    virtual void WatchFile(const std::string& /*path*/) {}
    virtual void StopWatching() {}
    // Watches a folder and the files in it, apart from the watched file:
    // when files there are made, written, renamed or removed, the dialog
    // gets FolderChanged, once for changes that come close together, and
    // only between its other messages, never while it handles one (a modal
    // box it shows, say). Watching another folder stops watching the first.
    virtual void WatchFolder(const std::string& /*path*/) {}
    virtual void StopWatchingFolder() {}
    // The dialog gets Timer with the id every `milliseconds` until the timer
    // is killed; setting it again starts the wait anew. The dialog's end
    // stops its timers and the watches.
    virtual void SetTimer(int32_t /*id*/, int32_t /*milliseconds*/) {}
    virtual void KillTimer(int32_t /*id*/) {}
    // The panels beside the client area, which keeps its size and pixels: a
    // list of rows under column headings whose chosen row the dialog hears
    // (ListSelect), typing in it too (ListSearch), with a line of text under
    // it; and a preview whose canvas the dialog paints when it hears
    // PaintPreview, at the panel's size. A host without panels ignores them.
    virtual void SetListColumns(const std::vector<std::string>&) {}
    virtual void SetListRows(const std::vector<ListRow>&) {}
    // Shows the row as the chosen one without telling the dialog; -1 for none.
    virtual void SetListSelection(int32_t) {}
    virtual void SetListFooter(const std::string&) {}
    virtual CCanvas* PreviewCanvas() { return nullptr; }
    // Paints the preview anew (soon, on a window).
    virtual void RedrawPreview() {}

    // The record of what the dialog's commands do, for a host that keeps one
    // (the headless host); null for one that does not.
    virtual CommandEffects* Effects() { return nullptr; }

    // The user's settings that last from run to run (the window keeps them
    // in the user's configuration), as lists of strings by key; empty for a
    // key never written, and on a host that keeps none.
    virtual std::vector<std::string> ReadSetting(const std::string&) const { return {}; }
    virtual void WriteSetting(const std::string&, const std::vector<std::string>&) {}
};
