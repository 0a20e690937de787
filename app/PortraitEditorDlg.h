// The main dialog: all editor state for the whole run (base directory, game
// archive, the three images of the current portrait, the catalogue, the
// selected drawing slot, the check box, the scroll bar, the view and
// Import's file dialog), the catalogue scan at start, and the
// commands behind the buttons. The commands note what they did in the host's
// record of effects (CommandEffects) when it keeps one.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "CatalogueOperations.h"
#include "EditorModel.h"
#include "EditorView.h"
#include "GameArchive.h"
#include "PortraitEdits.h"
#include "LiveEditing.h"
#include "PortraitView.h"
#include "PictureCommand.h"
#include "PortraitPanels.h"
#include "PortraitsWatch.h"
#include "DrawingSlots.h"
#include "ExportFileName.h"
#include "ImportFileDialog.h"
#include "ImportOptions.h"
#include "PortraitRecord.h"
#include "OverrideCheckCache.h"
#include "PortraitImage.h"
#include "Dialog.h"

class CPortraitScrollBar;
struct Icon;

class CPortraitEditorDlg : public CDialog, public IEditorView {
public:
    static constexpr int32_t kSlotCount = kDrawingSlotCount;
    static constexpr size_t kPathBufferSize = 4096;
    static constexpr size_t kFileNameBufferSize = CImportFileDialog::kFileNameBufferSize;

    explicit CPortraitEditorDlg(CDialog* parent = nullptr);
    ~CPortraitEditorDlg() override;

    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange& exchange) override;
    void OnOK() override;
    void OnCancel() override;
    void OnHandlerFailed(const std::exception* error) override;

    // State, for the command-line tool and tests.
    int32_t PortraitCount() const { return m_portraitCount; }
    int32_t CurrentPortrait() const { return m_currentPortrait; }
    int32_t SelectedSlot() const { return m_selectedSlot; }
    const PortraitRecord* Record(int32_t i) const { return m_model.Record(i); }
    const CPortraitImage& Image(PortraitSize size) const { return m_images[size]; }
    const std::string& BaseDir() const { return m_baseDir; }
    const CPortraitScrollBar* ScrollBar() const { return m_scrollBar; }
    const CPortraitPanels& Panels() const { return m_panels; }
    static void GetSlotRect(int32_t slot, PixelRect& rect);
    // Where Import's open-file dialog starts (CImportFileDialog).
    std::string ImportStartPath() const { return m_importDialog.StartPath(m_model.Folder()); }
    // The editor without its window, and its operations over the whole
    // catalogue.
    CEditorModel& Model() { return m_model; }
    CCatalogueOperations& CatalogueOperations() { return m_model.Operations(); }

    // Selects the slot that shows the frame, stepping slot 11 to it when it is
    // frame 9 or later; false when the current portrait has no such frame.
    bool SelectImageFrame(PortraitSize size, int32_t frame);
    // Imports the file into the image and frame that the slot stands for,
    // as Import does once its file dialog named the file, with the current
    // options and the same boxes; true when the file was taken.
    bool ImportIntoSlot(int32_t slot, const std::string& path);

    // The exchange's options, which last for the run. The import mode's "use
    // the file's palette" is the check box: setting the mode sets the box,
    // and the box as the user leaves it decides between that mode and remap.
    // The Options menu shows the same options, and its check marks follow
    // them however they were set.
    ImportOptions GetImportOptions() const;
    void SetImportOptions(const ImportOptions& options);
    ExportFormat GetExportFormat() const { return m_model.GetExportFormat(); }
    void SetExportFormat(ExportFormat format);
    // In the window, Export and Export All ask before they overwrite a file
    // in Portraits that differs from what they would write, Create Archive
    // before it replaces a patch with entries by one without
    // (COverwriteCare), and a save before it goes over another program's
    // file. Off by default, as for the command-line tool.
    void SetAskBeforeOverwriting(bool ask) { m_model.SetAskBeforeOverwriting(ask); }

    // Reads again where every portrait loads from, for the list's marks,
    // after something changed the override files.
    void RefreshPortraitList() override { m_panels.RefreshAll(); }

protected:
    const MessageMap& GetMessageMap() const override;

private:
    // Start-up and the check box.
    void ScanArchive();
    void OnUseTgaPalette();

    // The view.
    void SelectPortrait(int32_t index);
    void OnPaint();
    const Icon* OnQueryDragIcon() const;
    void OnKey(uint32_t key, uint32_t repeat, uint32_t flags);
    // The browsing and slot keys (CEditorKeys); a browse goes the scroll
    // bar's way, saving the portrait left.
    void OnKeyDown(uint32_t key, uint32_t repeat, uint32_t flags);
    bool OnMouseWheel(uint32_t flags, int16_t delta, ClientPoint point);
    void OnLButtonDown(uint32_t flags, ClientPoint point);
    void GetSlotFormat(int32_t slot, int32_t& width, int32_t& height, int32_t& bitDepth) const;
    void OnPreviousFrame();
    void OnNextFrame();
    void UpdateFrameStepper();

    // The buttons, the menus, and the files shared with the desktop: each
    // hands its work to a command over the model (CExportCommands,
    // CEditCommands, CFileMenu, the Options menu, CSlotDragDrop and
    // CLiveEditing).
    void OnExportAll();
    void OnExport();
    void OnImport();
    void OnCreateArchive();
    void OnOptionsMenu(int32_t id);
    void OnFileMenu(int32_t id);
    void OnEditMenu(int32_t id);
    void OnAbout();
    void OnDropFiles(ClientPoint point, const std::vector<std::string>& paths);
    void OnBeginDrag(ClientPoint point);
    void OnEditExternally() { m_liveEditing.Begin(); }
    void OnNewFromPicture() { CPictureCommand(m_model, *this, *this).Choose(); }
    void OnDropPictures(const std::vector<std::string>& paths) { CPictureCommand(m_model, *this, *this).Replace(paths); }
    void OnFileChanged(const std::string& path) { m_liveEditing.OnFileChanged(path); }
    // Each timer's owner takes its own ids: the live editing's and the
    // preview's animation.
    void OnTimer(int32_t id)
    {
        m_liveEditing.OnTimer(id);
        m_panels.OnTimer(id);
    }

    // IEditorView, for the commands.
    FrameTarget TargetOfSlot(int32_t slot) const override;
    FrameTarget SelectedTarget() const override { return TargetOfSlot(m_selectedSlot); }
    // Saves the current portrait's changed images, as moving on saves them;
    // false, after telling the user why, when one could not be saved.
    bool SaveCurrentPortrait() override { return !HasCurrentPortrait() || SaveChangedImages(); }
    // Loads the current portrait's images again from where the editor loads
    // them, letting unsaved changes go, and redraws.
    void ReloadPortrait() override;
    void ReloadImage(PortraitSize size) override;
    void UpdateEditMenu() override;
    // Another game opened in place of this one (its changes saved first, as
    // browsing saves them); false, after telling the user why, when the
    // folder holds no game archive or the changes could not be saved.
    bool OpenGameFolder(const std::string& folder) override;
    // Moves to a portrait as the scroll bar does, saving the one left.
    void GoToPortrait(int32_t index) override;

    // Saves the current portrait's changed images; false, after telling the
    // user which could not be saved and why, when one could not.
    bool SaveChangedImages();
    // Says that a change of the image could not be saved at path, and why.
    void ShowSaveFailed(PortraitSize size, const std::string& path, const std::string& reason);
    // Says which override files of the current portrait are damaged and not
    // used, each once a run.
    void NoteUnusedOverrides();
    // Saves before the dialog closes; when that fails, asks whether to close
    // and lose the changes (No by default). Closing, it remembers the window
    // and the portrait for the game folder (CWindowMemory).
    bool SaveBeforeClosing();
    // The menu bar, with the recent game folders, its check marks and the
    // items enabled as they can be used.
    void ShowMenu();
    bool HasCurrentPortrait() const { return m_model.HasCurrentPortrait(); }
    // A message box with the text of a string.
    void ShowString(int32_t stringId, const char* caption);

    int32_t m_useTgaPalette;
    const Icon* m_hIcon;
    std::string m_baseDir; // at most kPathBufferSize - 1 characters
    CGameArchive m_archive;
    CPortraitImage m_images[kSizeCount];
    int32_t m_portraitCount;
    int32_t m_currentPortrait;
    int32_t m_selectedSlot;
    int32_t m_lastSlotFrame; // the MEDIUM frame slot 11 shows
    PortraitRecord* m_records[kMaxPortraits];
    CPortraitScrollBar* m_scrollBar;
    CPortraitView m_view;
    CImportFileDialog m_importDialog;
    CEditorModel m_model{m_baseDir, m_archive, m_images, m_records, m_portraitCount, m_currentPortrait};
    CLiveEditing m_liveEditing{m_model, *this, *this};
    CPortraitPanels m_panels;
    CPortraitsWatch m_portraitsWatch{m_model, *this, *this, m_panels};
};
