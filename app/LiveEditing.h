// Live editing in an external program: Edit Externally writes the selected
// frame to a working file below Portraits\Editing, opens it in the desktop's
// default program and watches it; each save is taken into the frame chosen
// at the start, once the saves have settled, as Import takes a file. One
// working file at a time; editing stops when another portrait is shown.
#pragma once

#include <cstdint>
#include <string>

#include "PortraitTypes.h"

class CEditorModel;
class ICommandUi;
class IEditorView;

class CLiveEditing {
public:
    // How long the working file must stay unchanged before it is read.
    static constexpr int32_t kSettleMilliseconds = 300;

    CLiveEditing(CEditorModel& model, ICommandUi& ui, IEditorView& view) : m_model(model), m_ui(ui), m_view(view) {}

    // Edit Externally on the selected frame. The frame being edited already
    // is opened again as its working file stands, not written anew.
    void Begin();
    // The host's watch and timer.
    void OnFileChanged(const std::string& path);
    void OnTimer(int32_t id);
    // The dialog is about to leave its portrait or close: a save still
    // settling is taken now, so that it is saved with the other changes.
    void OnPortraitLeaving();
    // The dialog shows the portrait: editing another portrait's frame stops.
    void OnPortraitShown(int32_t portrait);
    // Stops watching; a last save that could not be taken is said now.
    void Stop();
    // Whether a frame is being edited in another program.
    bool IsEditing() const { return m_active; }

private:
    void TakeSave();

    CEditorModel& m_model;
    ICommandUi& m_ui;
    IEditorView& m_view;
    bool m_active = false;
    int32_t m_portrait = -1;
    PortraitSize m_size = kSizeLarge;
    int32_t m_frame = 0;
    std::string m_path; // the working file, a host path
    // Why the last save was not taken; empty when it was.
    std::string m_failure;
    bool m_taking = false;
    bool m_settling = false; // a save waits for the timer
};
