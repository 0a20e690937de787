#include "PortraitFromPicture.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "EditorModel.h"
#include "FrameExchange.h"
#include "OrderedDither.h"
#include "PictureReader.h"
#include "SharedPalette.h"

namespace {

// The frame's picture as ReplaceFrame takes it: for a palette image a blank
// index buffer with the colours to remap, else 32-bit pixels (blue, green,
// red, 0).
bool MakeImportPicture(bool palette, int32_t width, int32_t height, std::vector<uint8_t> rgb, ImportPicture& out)
{
    out.surface = std::make_unique<CRasterSurface>();
    if (palette) {
        out.colours = std::move(rgb);
        return out.surface->CreateBuffer(width, height) == 1;
    }
    if (out.surface->CreateDib(width, height, 32, nullptr) != 1)
        return false;
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t p = 0; p < pixels; ++p) {
        uint8_t* to = out.surface->m_pBits + p * 4;
        to[0] = rgb[p * 3 + 2];
        to[1] = rgb[p * 3 + 1];
        to[2] = rgb[p * 3];
        to[3] = 0;
    }
    return true;
}

} // namespace

PictureReplaceResult CPortraitFromPicture::Targets(const PictureReplaceRequest& request,
                                                  std::vector<PortraitSize>& sizes) const
{
    PictureReplaceResult out;
    const PortraitRecord* record = m_model.Record(m_model.CurrentPortrait());
    sizes.clear();
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size) {
        if (!record || !request.sizes[size] || record->entryIndex[size] < 0 || !m_model.Image(size).GetFrameSurface(0))
            continue;
        std::string overridePath;
        if (!m_model.Image(size).GetOverridePath(overridePath)) {
            out.result = PictureReplaceResult::kCannotSave;
            out.reason = "the image's entry name cannot be a file name, so no change to it could be saved";
            return out;
        }
        sizes.push_back(size);
    }
    if (sizes.empty() || request.pictures.empty()) {
        out.result = PictureReplaceResult::kNothingToReplace;
        out.reason = request.pictures.empty() ? "no picture was given" : "the portrait has no image of the sizes asked";
    }
    return out;
}

PictureReplaceResult CPortraitFromPicture::ReadPictures(const std::vector<std::string>& paths,
                                                        std::vector<Picture>& pictures, int32_t shownWidth,
                                                        int32_t shownHeight) const
{
    PictureRequest wanted;
    wanted.minWidth = shownWidth;
    wanted.minHeight = shownHeight;
    const PortraitRecord* record = m_model.Record(m_model.CurrentPortrait());
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size) {
        int32_t width = 0, height = 0;
        if (record && record->entryIndex[size] >= 0 && m_model.Image(size).GetFrameSurface(0))
            m_model.Image(size).GetFrameSize(0, width, height);
        wanted.minWidth = std::max(wanted.minWidth, width);
        wanted.minHeight = std::max(wanted.minHeight, height);
    }
    PictureReplaceResult out;
    pictures.assign(paths.size(), Picture{});
    for (size_t k = 0; k < paths.size(); ++k) {
        PictureFailure why;
        if (CPictureReader::ReadFile(paths[k], wanted, pictures[k], why) != PictureResult::kOk) {
            pictures.clear();
            out.result = PictureReplaceResult::kPictureRefused;
            out.reason = paths[k] + ": " + why.reason;
            return out;
        }
    }
    return out;
}

PictureReplaceResult CPortraitFromPicture::Replace(const PictureReplaceRequest& request)
{
    std::vector<PortraitSize> sizes;
    PictureReplaceResult out = Targets(request, sizes);
    std::vector<Picture> pictures;
    if (out.result == PictureReplaceResult::kOk)
        out = ReadPictures(request.pictures, pictures);
    return out.result == PictureReplaceResult::kOk ? Replace(request, pictures) : out;
}

PictureReplaceResult CPortraitFromPicture::Replace(const PictureReplaceRequest& request,
                                                   const std::vector<Picture>& pictures)
{
    const int32_t current = m_model.CurrentPortrait();
    std::vector<PortraitSize> sizes;
    PictureReplaceResult out = Targets(request, sizes);
    if (out.result != PictureReplaceResult::kOk)
        return out;
    // Every crop is checked before anything changes.
    std::vector<std::optional<CropRect>> crops(pictures.size(), request.crop);
    for (size_t k = 0; k < pictures.size(); ++k) {
        if (!request.crop || CropFits(pictures[k], *request.crop))
            continue;
        if (request.cropFirstOnly && k > 0) {
            crops[k].reset();
            continue;
        }
        out.result = PictureReplaceResult::kCropOutside;
        out.reason = (k < request.pictures.size() ? request.pictures[k] : "the picture") +
                     ": the crop does not lie inside its " + std::to_string(pictures[k].width) + " x " +
                     std::to_string(pictures[k].height) + " pixels";
        return out;
    }
    if (pictures.empty()) {
        out.result = PictureReplaceResult::kNothingToReplace;
        out.reason = "no picture was given";
        return out;
    }

    const std::vector<UndoStep::Image> before = CPortraitEdits::Before(m_model.Images(), sizes);
    ImportOptions options = request.options;
    options.mode = ImportMode::kRemap;
    // Only when no memory is left, or no palette can be made: the images go
    // back as they were.
    auto fail = [&](const char* reason) {
        for (const UndoStep::Image& b : before)
            m_model.Image(b.size).RestoreSnapshot(b.before);
        out.result = PictureReplaceResult::kPictureRefused;
        out.reason = reason;
        out.images.clear();
        return out;
    };
    for (PortraitSize size : sizes) {
        CPortraitImage& image = m_model.Image(size);
        PictureReplaceImage taken;
        taken.size = size;
        taken.palette = image.Header().BitDepth() == GfxHeader::kPaletteDepth;
        taken.frames = image.FrameCount();
        std::vector<std::vector<uint8_t>> fitted(static_cast<size_t>(taken.frames));
        std::vector<PaletteFrame> shapes;
        for (int32_t f = 0; f < taken.frames; ++f) {
            const size_t k = size == kSizeMedium ? std::min<size_t>(static_cast<size_t>(f), pictures.size() - 1) : 0;
            const Picture& picture = pictures[k];
            PaletteFrame& shape = shapes.emplace_back();
            image.GetFrameSize(f, shape.width, shape.height);
            const CropRect crop = crops[k] ? *crops[k]
                                               : CropOfShape(picture.width, picture.height, shape.width, shape.height,
                                                             request.gravity);
            std::vector<uint8_t>& rgb = fitted[static_cast<size_t>(f)];
            if (!FitPicture(picture, crop, shape.width, shape.height, rgb))
                return fail("there is not enough memory to fit the picture to the portrait");
            // A true-colour image's 16-bit colours are dithered against banding when asked.
            if (!taken.palette && request.options.dither)
                AddOrderedDither(rgb, shape.width, shape.height);
            shape.rgb = &fitted[static_cast<size_t>(f)];
        }
        // A new palette serves all the image's frames together.
        if (taken.palette && request.newPalette) {
            uint8_t palette[256 * 4];
            std::copy_n(image.Palette(), sizeof palette, palette);
            if (!MakeSharedPalette(shapes, palette))
                return fail("no new palette could be made for the picture");
            image.SetPalette(palette);
        }
        for (int32_t f = 0; f < taken.frames; ++f) {
            const PaletteFrame& shape = shapes[static_cast<size_t>(f)];
            ImportPicture picture;
            ReplaceFailure why;
            if (!MakeImportPicture(taken.palette, shape.width, shape.height, std::move(fitted[static_cast<size_t>(f)]),
                                   picture) ||
                image.ReplaceFrame(f, std::move(picture), options, why) != CPortraitImage::kReplaceOk)
                return fail("there is not enough memory to fit the picture to the portrait");
            taken.farPixels += why.colourLoss.farPixels;
            if (f == 0)
                taken.firstFrame = why;
            taken.largestDistance = std::max(taken.largestDistance, why.colourLoss.largestDistance);
        }
        out.images.push_back(taken);
    }
    m_model.Edits().Record(current, "New Portrait from Picture", before, m_model.Images());
    return out;
}
