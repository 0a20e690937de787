// The game's Portraits folder as other programs change it (another editor
// window, portrait-tool, a file manager): the host watches the folder, and
// each change it tells of reads the list's marks and the line under it
// again. When the current portrait's override files changed, the portrait
// is loaded again from them, unless it has unsaved changes (or a frame of it
// is being edited in another program): those are kept, and the line under
// the list says so; saving them then asks before it goes over what the
// other program wrote, as every save does. The editor's own writes change
// no current portrait's files behind its back, so they only refresh the
// marks. Nothing here holds the folder's lock.
#pragma once

class CEditorModel;
class CPortraitPanels;
class ICommandUi;
class IEditorView;

class CPortraitsWatch {
public:
    CPortraitsWatch(CEditorModel& model, ICommandUi& ui, IEditorView& view, CPortraitPanels& panels)
        : m_model(model), m_ui(ui), m_view(view), m_panels(panels)
    {
    }

    // Watches the Portraits folder of the game just scanned; none without one.
    void Start();
    // The host says that files in the folder changed; keepCurrent: the
    // current portrait is not to be loaded again even without unsaved changes.
    void OnFolderChanged(bool keepCurrent);

private:
    CEditorModel& m_model;
    ICommandUi& m_ui;
    IEditorView& m_view;
    CPortraitPanels& m_panels;
};
