// The edits of the current portrait's images, and their undo: importing a
// file into a slot, reverting an image or the whole portrait to the game
// archive's (its override files moved to Portraits\Reverted), and undoing
// and redoing these. They work through the dialog, which keeps the
// histories (CPortraitEdits) for the run.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "FrameExchange.h"
#include "PaletteTakeover.h"
#include "PortraitTypes.h"

class CEditorModel;
class CPortraitImage;
class ICommandUi;
class IEditorView;

class CEditCommands {
public:
    CEditCommands(CEditorModel& model, ICommandUi& ui, IEditorView& view) : m_model(model), m_ui(ui), m_view(view) {}

    // The Edit menu's items; false for an id that is none of them.
    bool Choose(int32_t id);

    // Imports the file into the image's frame as Import does; true when the
    // file was taken. Quietly, the count of kept indices that now show
    // another colour is not told (an external editor's every save), and a
    // file's palette is taken without asking; so it is where the model asks
    // nothing before overwriting (portrait-tool). What the import did to the
    // colours is kept as the model's last import and shown in the notice.
    bool Import(PortraitSize size, int32_t frame, const std::string& path, bool quietly = false);
    // The same for a file read already (an external editor's save, checked
    // before it is taken).
    bool Import(PortraitSize size, int32_t frame, ImportPicture picture, bool quietly);
    void Undo();
    void Redo();
    // The image of the selected slot, or every image of the portrait.
    void Revert(bool wholePortrait);

    // Keeps what an import taken did to the frame's colours in the model,
    // for the status line and the preview's outline.
    void Report(PortraitSize size, int32_t frame, int64_t pixelsChanged, ReplaceFailure& why,
                const PaletteTakeover& takeover);

private:
    // Takes into the frame what replace gives it, as Import does.
    bool Take(PortraitSize size, int32_t frame, bool quietly,
              const std::function<int32_t(CPortraitImage& image, ReplaceFailure& why)>& replace,
              const PaletteTakeover& takeover = {});
    void Step(bool undo);

    CEditorModel& m_model;
    ICommandUi& m_ui;
    IEditorView& m_view;
};
