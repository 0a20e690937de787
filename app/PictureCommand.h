// Edit > New Portrait from Picture... (Ctrl+R): a picture chosen in the
// open-file dialog (JPEG, WebP, PNG or BMP, of any size) becomes the current
// portrait's three images in one step, each frame the centred crop of its
// shape in the image's own palette, matched with the options' metric and
// dithering; Edit > Undo takes the whole step back, and the portrait is
// saved on leaving it, as always.
#pragma once

#include <string>

class CEditorModel;
class ICommandUi;
class IEditorView;

class CPictureCommand {
public:
    CPictureCommand(CEditorModel& model, ICommandUi& ui, IEditorView& view) : m_model(model), m_ui(ui), m_view(view) {}

    // Asks for the picture; a cancel does nothing.
    void Choose();
    // The step for the picture at path; false, after telling the user why,
    // when it changed nothing.
    bool Replace(const std::string& path);

private:
    CEditorModel& m_model;
    ICommandUi& m_ui;
    IEditorView& m_view;
};
