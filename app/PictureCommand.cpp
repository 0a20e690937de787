#include "PictureCommand.h"

#include "CommandUi.h"
#include "DialogHost.h"
#include "EditorModel.h"
#include "EditorView.h"
#include "PortraitFromPicture.h"
#include "Resources.h"

void CPictureCommand::Choose()
{
    IDialogHost* host = m_ui.Host();
    if (!host || !m_model.HasCurrentPortrait())
        return;
    OpenFileRequest request;
    request.filters = {{"Pictures (*.jpg *.jpeg *.webp *.png *.bmp)", "*.jpg;*.jpeg;*.webp;*.png;*.bmp"},
                       {"All Files (*)", "*"}};
    request.flags = OFN_READONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    request.bufferSize = 4096;
    std::string path;
    if (host->GetOpenFileName(request, path) && !path.empty())
        Replace(path);
}

bool CPictureCommand::Replace(const std::string& path)
{
    PictureReplaceRequest request;
    request.pictures = {path};
    request.options = m_model.GetImportOptions();
    const PictureReplaceResult r = CPortraitFromPicture(m_model).Replace(request);
    const bool done = r.result == PictureReplaceResult::kOk;
    m_ui.RecordOutcome(CommandEffects::kImport, done ? CommandEffects::Outcome::kDone : CommandEffects::Outcome::kFailed);
    m_view.UpdateEditMenu();
    m_ui.RedrawWindow();
    if (!done)
        m_ui.MessageBox(IDS_PICTURE_NOT_TAKEN, FormatResourceString(IDS_PICTURE_NOT_TAKEN, {r.reason}), "Error");
    return done;
}
