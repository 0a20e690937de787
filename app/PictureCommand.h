// Edit > New Portrait from Picture... (Ctrl+R), and pictures dropped on the
// preview panel: pictures (JPEG, WebP, PNG, BMP or TGA, of any size) become
// the current portrait's images in one step. A dialog shows the first
// picture with a crop rectangle of the LARGE image's shape, the images as
// they will land, and the choices (a new palette, the metric, dithering,
// which sizes); with several pictures MEDIUM frame k gets picture k.
// Edit > Undo takes the whole step back, and the portrait is saved on
// leaving it, as always.
#pragma once

#include <string>
#include <vector>

class CEditorModel;
class ICommandUi;
class IEditorView;

class CPictureCommand {
public:
    CPictureCommand(CEditorModel& model, ICommandUi& ui, IEditorView& view) : m_model(model), m_ui(ui), m_view(view) {}

    // Asks for the pictures; a cancel does nothing.
    void Choose();
    // The step for the pictures at paths, through the dialog; false when it
    // changed nothing: cancelled, or refused after telling the user why.
    bool Replace(const std::vector<std::string>& paths);

private:
    void Refuse(const std::string& reason);

    CEditorModel& m_model;
    ICommandUi& m_ui;
    IEditorView& m_view;
};
