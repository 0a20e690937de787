// The Qt 6 Widgets backend of the dialog layer: a window with the dialog's
// menu bar, when it has one, above the client area, which holds the real
// child controls over the client-area canvas and keeps its size, and the
// list and preview panels beside it, which take the room the window is
// resized to. It only translates:
// Qt events become the dialog's messages, the canvas is shown as an image,
// and the message box, the question, the open-file and folder dialogs and
// the progress dialog are those it is given (Qt's own unless told otherwise).
#pragma once

#include <QDialog>
#include <QImage>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>

#include "Canvas.h"
#include "DialogHost.h"
#include "DialogMessage.h"
#include "QtFileExchange.h"
#include "QtFolderWatch.h"
#include "QtListPanel.h"
#include "QtModalDialogs.h"
#include "QtPreviewPanel.h"
#include "QtScrollBars.h"
#include "ScrollRange.h"

class QAbstractButton;
class QAction;
class QMenuBar;
class QScrollBar;
class QWidget;
class CQtDialogWindow;
class CQtClientArea;

class CQtDialogHost : public IDialogHost {
public:
    CQtDialogHost();
    // Shows modals' dialogs instead of Qt's own; modals must outlive the host.
    explicit CQtDialogHost(IQtModalDialogs& modals);
    ~CQtDialogHost() override;

    // The window while a dialog runs; null otherwise.
    QDialog* Window() const;
    // The client area, of the dialog's client size, under the menu bar.
    QWidget* ClientArea() const { return m_client; }
    QWidget* ControlWidget(int32_t id) const;
    // The menu bar and a menu item's action; null when the dialog set none.
    QMenuBar* MenuBar() const { return m_menuBar; }
    QAction* MenuAction(int32_t id) const;
    // The panels beside the client area; null while no dialog runs.
    CQtListPanel* ListPanel() const { return m_listPanel; }
    CQtPreviewPanel* PreviewPanel() const { return m_previewPanel; }
    // The list panel's width; the preview takes the rest, at least
    // kMinPreviewWidth, and the window opens with kStartPreviewWidth.
    static constexpr int kListWidth = 350;
    static constexpr int kMinPreviewWidth = 160;
    static constexpr int kStartPreviewWidth = 380;
    // Called once the window exists and before it is shown (tests use it to
    // drive the dialog from inside its modal loop).
    void SetOnShown(std::function<void(CQtDialogHost&)> onShown) { m_onShown = std::move(onShown); }

    int32_t RunModal(CDialog& dialog) override;
    void EndDialog(int32_t result) override;
    CCanvas& Canvas() override { return m_canvas; }
    void Redraw() override;
    bool IsMinimized() const override;
    bool GetWindowPlacement(WindowPlacement& placement) const override;
    void SetWindowPlacement(const WindowPlacement& placement) override;
    void SetIcon(const Icon& icon, bool big) override;
    bool HasControl(int32_t id) const override;
    void SetControlText(int32_t id, const std::string& text) override;
    std::string GetControlText(int32_t id) const override;
    void SetCheck(int32_t id, int32_t state) override;
    int32_t GetCheck(int32_t id) const override;
    void EnableControl(int32_t id, bool enabled) override;
    void SetMenu(const MenuTemplate& menu) override;
    void CheckMenuItem(int32_t id, bool checked) override;
    bool IsMenuItemChecked(int32_t id) const override;
    void EnableMenuItem(int32_t id, bool enabled) override;
    bool IsMenuItemEnabled(int32_t id) const override;
    // In the user's configuration, through QSettings with the application's
    // names; a list of one string is stored as that string.
    std::vector<std::string> ReadSetting(const std::string& key) const override;
    void WriteSetting(const std::string& key, const std::vector<std::string>& values) override;
    void ShowMessageBox(const std::string& text, const std::string& caption) override;
    void ShowUnownedMessageBox(const std::string& text, const std::string& caption) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    bool AskYesNoDefaultYes(const std::string& text, const std::string& caption) override
    {
        return m_modals->AskYesNoDefaultYes(Window(), text, caption);
    }
    bool GetOpenFileName(const OpenFileRequest& request, std::string& path) override;
    bool GetOpenFileNames(const OpenFileRequest& request, std::vector<std::string>& paths) override
    {
        return m_modals->GetOpenFileNames(Window(), request, paths);
    }
    bool ChoosePictureCrop(const PictureCropRequest& request, IPicturePreviews& previews,
                           PictureCropChoice& choice) override
    {
        return m_modals->ChoosePictureCrop(Window(), request, previews, choice);
    }
    bool ChooseFolder(const std::string& title, const std::string& startFolder, std::string& folder) override;
    bool ChooseFolderToWrite(const std::string& title, const std::string& startFolder, std::string& folder) override
    {
        return m_modals->ChooseFolderToWrite(Window(), title, startFolder, folder);
    }
    bool ChooseSuggestedFolder(const std::string& title, const std::string& startFolder,
                               IFolderSuggestions& suggestions, std::string& folder) override
    {
        return m_modals->ChooseSuggestedFolder(Window(), title, startFolder, suggestions, folder);
    }
    void BeginProgress(const std::string& title, int32_t total) override;
    bool StepProgress(int32_t done, const std::string& text) override;
    void EndProgress() override;
    void CreateScrollBar(int32_t id, const PixelRect& rect) override;
    void SetScrollRange(int32_t id, int32_t min, int32_t max, bool redraw) override;
    void GetScrollRange(int32_t id, int32_t& min, int32_t& max) const override;
    int32_t SetScrollPos(int32_t id, int32_t position, bool redraw) override;
    int32_t GetScrollPos(int32_t id) const override;
    // Files shared with the desktop, and timers (CQtFileExchange).
    void StartFileDrag(const std::string& path) override { m_files->StartDrag(m_client, path); }
    bool OpenWithDefaultProgram(const std::string& path) override
    {
        return CQtFileExchange::OpenWithDefaultProgram(path);
    }
    void WatchFile(const std::string& path) override { m_files->WatchFile(path); }
    void StopWatching() override { m_files->StopWatching(); }
    void WatchFolder(const std::string& path) override { m_folderWatch->Watch(path); }
    void StopWatchingFolder() override { m_folderWatch->Stop(); }
    void SetTimer(int32_t id, int32_t milliseconds) override { m_files->SetTimer(id, milliseconds); }
    void KillTimer(int32_t id) override { m_files->KillTimer(id); }
    // The panels, while the window is there.
    void SetListColumns(const std::vector<std::string>& columns) override
    {
        if (m_listPanel)
            m_listPanel->SetColumns(columns);
    }
    void SetListRows(const std::vector<ListRow>& rows) override
    {
        if (m_listPanel)
            m_listPanel->SetRows(rows);
    }
    void SetListSelection(int32_t row) override
    {
        if (m_listPanel)
            m_listPanel->SetSelection(row);
    }
    void SetListFooter(const std::string& text) override
    {
        if (m_listPanel)
            m_listPanel->SetFooter(text);
    }
    CCanvas* PreviewCanvas() override { return m_previewPanel ? &m_previewPanel->Canvas() : nullptr; }
    void RedrawPreview() override
    {
        if (m_previewPanel)
            m_previewPanel->update();
    }

private:
    friend class CQtDialogWindow;
    friend class CQtClientArea;
    friend class CQtKeyFilter;
    explicit CQtDialogHost(std::unique_ptr<IQtModalDialogs> ownModals);
    void Deliver(DialogMessage message);
    // Runs a call into the dialog, reporting an exception instead of passing it on.
    void Guarded(const std::function<void()>& call);
    // The control with the focus: its id, CDialog::kClientAreaFocus for
    // the client area, -1 for anything else (the menu bar).
    int32_t FocusedControl() const;
    // Places the menu bar, the client area and the panels in the window.
    void LayOut();

    std::unique_ptr<IQtModalDialogs> m_ownModals;
    IQtModalDialogs* m_modals = nullptr;
    CDialog* m_dialog = nullptr;
    std::unique_ptr<CQtDialogWindow> m_window;
    QWidget* m_client = nullptr;   // a child of the window
    QMenuBar* m_menuBar = nullptr; // a child of the window
    std::map<int32_t, QAction*> m_menuActions;
    CCanvas m_canvas;
    std::map<int32_t, QWidget*> m_controls;
    CQtScrollBars m_scrollBars{[this](DialogMessage m) { Deliver(std::move(m)); }};
    CQtListPanel* m_listPanel = nullptr;       // a child of the window
    CQtPreviewPanel* m_previewPanel = nullptr; // a child of the window
    std::function<void(CQtDialogHost&)> m_onShown;
    bool m_ended = false;
    // How deep the calls into the dialog are (a modal box's loop runs inside
    // one): the folder watch delivers only at 0.
    int m_inDialog = 0;
    std::unique_ptr<CQtFileExchange> m_files;
    std::unique_ptr<CQtFolderWatch> m_folderWatch;
};
