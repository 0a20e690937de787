#include "PictureCommand.h"

#include "CommandUi.h"
#include "DialogHost.h"
#include "EditCommands.h"
#include "EditorModel.h"
#include "EditorView.h"
#include "PicturePreviews.h"
#include "PortraitFromPicture.h"
#include "Resources.h"

namespace {

// The least size the dialog's picture is read at (the crop is in its pixels).
constexpr int32_t kShownWidth = 640;
constexpr int32_t kShownHeight = 480;

std::string FileNameOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

void CPictureCommand::Choose()
{
    IDialogHost* host = m_ui.Host();
    if (!host || !m_model.HasCurrentPortrait())
        return;
    OpenFileRequest request;
    request.filters = {{"Pictures (*.jpg *.jpeg *.webp *.png *.bmp *.tga)", "*.jpg;*.jpeg;*.webp;*.png;*.bmp;*.tga"},
                       {"All Files (*)", "*"}};
    request.flags = OFN_READONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT;
    request.bufferSize = 4096;
    std::vector<std::string> paths;
    if (host->GetOpenFileNames(request, paths) && !paths.empty())
        Replace(paths);
}

bool CPictureCommand::Replace(const std::vector<std::string>& paths)
{
    IDialogHost* host = m_ui.Host();
    if (!host || !m_model.HasCurrentPortrait() || paths.empty())
        return false;
    CPortraitFromPicture fromPicture(m_model);
    std::vector<Picture> pictures;
    // Read large enough for the dialog to show the picture well.
    PictureReplaceResult r = fromPicture.ReadPictures(paths, pictures, kShownWidth, kShownHeight);
    if (r.result != PictureReplaceResult::kOk) {
        Refuse(r.reason);
        return false;
    }

    // The crop keeps the shape of the first image there is, LARGE's.
    const ImportOptions options = m_model.GetImportOptions();
    PictureCropRequest ask;
    ask.caption = "New Portrait from Picture";
    ask.pictureName = FileNameOf(paths.front());
    if (paths.size() > 1)
        ask.pictureName += " (and " + std::to_string(paths.size() - 1) + " more for MEDIUM's frames)";
    ask.width = pictures.front().width;
    ask.height = pictures.front().height;
    ask.rgb = &pictures.front().rgb;
    ask.paletteImages = false;
    bool shaped = false;
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size) {
        const CPortraitImage& image = m_model.Image(size);
        const PortraitRecord* record = m_model.Record(m_model.CurrentPortrait());
        if (!record || record->entryIndex[size] < 0 || !image.GetFrameSurface(0))
            continue;
        ask.paletteImages = ask.paletteImages || image.Header().BitDepth() == GfxHeader::kPaletteDepth;
        if (!shaped)
            image.GetFrameSize(0, ask.aspectWidth, ask.aspectHeight);
        shaped = true;
    }
    const CropRect centred = CropOfShape(ask.width, ask.height, ask.aspectWidth, ask.aspectHeight, CropGravity::kCentre);
    ask.initial.crop = {centred.x, centred.y, centred.x + centred.width, centred.y + centred.height};
    ask.initial.perceptual = options.metric == ColourMetric::kPerceptual;
    ask.initial.dither = options.dither;
    CPicturePreviews previews(m_model, pictures.front());
    PictureCropChoice choice;
    if (!host->ChoosePictureCrop(ask, previews, choice))
        return false;

    PictureReplaceRequest request;
    request.pictures = paths;
    request.crop = CropRect{choice.crop.left, choice.crop.top, choice.crop.Width(), choice.crop.Height()};
    request.cropFirstOnly = true;
    request.options = options;
    request.options.metric = choice.perceptual ? ColourMetric::kPerceptual : ColourMetric::kClassic;
    request.options.dither = choice.dither;
    request.newPalette = choice.newPalette;
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size)
        request.sizes[size] = choice.sizes[size];
    r = fromPicture.Replace(request, pictures);
    const bool done = r.result == PictureReplaceResult::kOk;
    m_ui.RecordOutcome(CommandEffects::kImport, done ? CommandEffects::Outcome::kDone : CommandEffects::Outcome::kFailed);
    // What the first image's frame 0 lost shows in the status line, and
    // View > Show Colour Loss outlines it there.
    if (done && !r.images.empty()) {
        PictureReplaceImage& first = r.images.front();
        int32_t width = 0, height = 0;
        m_model.Image(first.size).GetFrameSize(0, width, height);
        CEditCommands(m_model, m_ui, m_view).Report(first.size, 0, int64_t{width} * height, first.firstFrame, {});
    }
    m_view.UpdateEditMenu();
    m_ui.RedrawWindow();
    if (!done)
        Refuse(r.reason);
    return done;
}

void CPictureCommand::Refuse(const std::string& reason)
{
    m_ui.MessageBox(IDS_PICTURE_NOT_TAKEN, FormatResourceString(IDS_PICTURE_NOT_TAKEN, {reason}), "Error");
}
