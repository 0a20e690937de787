#include "PicturePreviews.h"

#include <algorithm>

#include "ColourDistance.h"
#include "ColourMatch.h"
#include "EditorModel.h"
#include "GfxImage.h"
#include "OrderedDither.h"
#include "PictureFit.h"
#include "SharedPalette.h"

namespace {

const char* const kSizeLabels[kSizeCount] = {"LARGE", "MEDIUM", "SMALL"};

// The fitted pixels in the palette's colours, with what they lost.
bool ShowInPalette(const uint8_t* palette, const PictureCropChoice& choice, PicturePreview& preview)
{
    const size_t pixels = static_cast<size_t>(preview.width) * static_cast<size_t>(preview.height);
    std::vector<uint8_t> indices(pixels);
    const CColourMatch match(palette, choice.perceptual ? ColourMetric::kPerceptual : ColourMetric::kClassic);
    if (!match.MapColours(preview.rgb.data(), static_cast<size_t>(preview.width) * 3, preview.width, preview.height,
                          indices.data(), static_cast<size_t>(preview.width), choice.dither))
        return false;
    ColourLoss loss;
    const bool measured =
        CColourDistance(palette).Measure(preview.rgb.data(), static_cast<size_t>(preview.width) * 3, preview.width,
                                         preview.height, indices.data(), static_cast<size_t>(preview.width), loss);
    for (size_t p = 0; p < pixels; ++p)
        for (size_t c = 0; c < 3; ++c)
            preview.rgb[p * 3 + c] = palette[indices[p] * size_t{4} + 2 - c];
    preview.note = choice.newPalette ? "new palette" : "own palette";
    if (measured && loss.farPixels > 0)
        preview.note += ", " + std::to_string(loss.farPixels) + " pixels far";
    return true;
}

// The fitted pixels as the image's 16-bit colours hold them.
void ShowInTrueColour(bool dither, PicturePreview& preview)
{
    if (dither)
        AddOrderedDither(preview.rgb, preview.width, preview.height);
    for (size_t p = 0; p + 2 < preview.rgb.size(); p += 3) {
        const uint8_t bgr[3] = {preview.rgb[p + 2], preview.rgb[p + 1], preview.rgb[p]};
        uint8_t shown[4];
        UnpackGfxPixel(PackGfxPixel(bgr), shown);
        preview.rgb[p] = shown[2];
        preview.rgb[p + 1] = shown[1];
        preview.rgb[p + 2] = shown[0];
    }
    preview.note = "true colour";
}

} // namespace

std::vector<PicturePreview> CPicturePreviews::Previews(const PictureCropChoice& choice)
{
    std::vector<PicturePreview> out;
    const PortraitRecord* record = m_model.Record(m_model.CurrentPortrait());
    const CropRect crop{choice.crop.left, choice.crop.top, choice.crop.Width(), choice.crop.Height()};
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size) {
        const CPortraitImage& image = m_model.Image(size);
        if (!record || !choice.sizes[size] || record->entryIndex[size] < 0 || !image.GetFrameSurface(0))
            continue;
        PicturePreview preview;
        preview.label = kSizeLabels[size];
        image.GetFrameSize(0, preview.width, preview.height);
        if (!FitPicture(m_picture, crop, preview.width, preview.height, preview.rgb))
            continue;
        if (image.Header().BitDepth() != GfxHeader::kPaletteDepth) {
            ShowInTrueColour(choice.dither, preview);
        } else {
            uint8_t palette[256 * 4];
            std::copy_n(image.Palette(), sizeof palette, palette);
            const PaletteFrame frame{preview.width, preview.height, &preview.rgb};
            if (choice.newPalette && !MakeSharedPalette({frame}, palette))
                continue;
            if (!ShowInPalette(palette, choice, preview))
                continue;
        }
        out.push_back(std::move(preview));
    }
    return out;
}
