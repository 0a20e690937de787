// A new portrait from pictures in one step: every frame of the three images
// gets its picture's crop in the image's own palette, several pictures fill
// MEDIUM's frames in order, a picture that cannot be read changes nothing,
// and one undo takes the whole step back.
#include <algorithm>
#include <cstring>
#include <numeric>

#include "EditorTestKit.h"
#include "PictureBytes.h"
#include "PortraitFromPicture.h"

namespace {

using PortraitFromPictureTest = EditorFixture;

TestPortrait ThreeFrames()
{
    TestPortrait p{"TVAR", true, '1'};
    p.mediumFrames = 3;
    return p;
}

// The colour frame f of an image shows at (x, y); at its middle by default.
uint32_t Shown(const CPortraitImage& image, int32_t f, int32_t x, int32_t y)
{
    const CRasterSurface* frame = image.GetFrameSurface(f);
    const uint8_t index = frame->m_pBits[static_cast<size_t>(y) * static_cast<size_t>(frame->m_width) +
                                         static_cast<size_t>(x)];
    const uint8_t* entry = image.Palette() + index * 4;
    return uint32_t{entry[2]} << 16 | uint32_t{entry[1]} << 8 | entry[0];
}

uint32_t Middle(const CPortraitImage& image, int32_t f)
{
    int32_t width = 0, height = 0;
    image.GetFrameSize(f, width, height);
    return Shown(image, f, width / 2, height / 2);
}

} // namespace

TEST_F(PortraitFromPictureTest, EveryFrameTakesItsPictureInItsPaletteAndOneUndoTakesItBack)
{
    Open(MakePortraitEntries({ThreeFrames()}));
    std::vector<uint8_t> palettes[kSizeCount];
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size)
        palettes[size].assign(dlg.Image(size).Palette(), dlg.Image(size).Palette() + 1024);
    // A photo of one colour of the test palette, then a WebP of another.
    const uint32_t first = TestPaletteRgb(40), second = TestPaletteRgb(90);
    auto solid = [](int32_t w, int32_t h, uint32_t c) {
        std::vector<uint8_t> rgb;
        for (int32_t p = 0; p < w * h; ++p)
            rgb.insert(rgb.end(), {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)});
        return rgb;
    };
    PictureReplaceRequest request;
    request.pictures = {WriteTga("photo.jpg", JpegBytes(300, 200, solid(300, 200, first), 100)),
                        WriteTga("other.webp", WebpBytes(33, 21, solid(33, 21, second)))};
    const PictureReplaceResult r = CPortraitFromPicture(dlg.Model()).Replace(request);
    ASSERT_EQ(r.result, PictureReplaceResult::kOk) << r.reason;
    ASSERT_EQ(r.images.size(), 3u);
    EXPECT_EQ(Middle(dlg.Image(kSizeLarge), 0), first);
    EXPECT_EQ(Middle(dlg.Image(kSizeSmall), 0), first);
    EXPECT_EQ(Middle(dlg.Image(kSizeMedium), 0), first);
    EXPECT_EQ(Middle(dlg.Image(kSizeMedium), 1), second);
    EXPECT_EQ(Middle(dlg.Image(kSizeMedium), 2), second); // the last picture repeats
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size) {
        EXPECT_TRUE(dlg.Image(size).HasChanges());
        EXPECT_EQ(std::memcmp(dlg.Image(size).Palette(), palettes[size].data(), 1024), 0);
    }

    // One step of the history takes all three back.
    EXPECT_EQ(dlg.Model().Edits().Undo(dlg.CurrentPortrait(), dlg.Model().Images()), CPortraitEdits::Result::kDone);
    EXPECT_FALSE(dlg.Model().Edits().CanUndo(dlg.CurrentPortrait()));
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size)
        EXPECT_TRUE(dlg.Image(size).IsOriginal());
}

TEST_F(PortraitFromPictureTest, APictureThatCannotBeReadOrACropOutsideItChangesNothing)
{
    Open(MakePortraitEntries({ThreeFrames()}));
    const std::vector<uint8_t> jpeg = JpegBytes(64, 48, QuadrantPicture(64, 48), 90);
    PictureReplaceRequest cut;
    cut.pictures = {WriteTga("cut.jpg", std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + 300))};
    PictureReplaceResult r = CPortraitFromPicture(dlg.Model()).Replace(cut);
    EXPECT_EQ(r.result, PictureReplaceResult::kPictureRefused);
    EXPECT_NE(r.reason.find("the JPEG file is cut short"), std::string::npos) << r.reason;

    PictureReplaceRequest outside;
    outside.pictures = {WriteTga("whole.jpg", jpeg)};
    outside.crop = CropRect{40, 0, 30, 20};
    r = CPortraitFromPicture(dlg.Model()).Replace(outside);
    EXPECT_EQ(r.result, PictureReplaceResult::kCropOutside);
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size)
        EXPECT_FALSE(dlg.Image(size).HasChanges());
    EXPECT_FALSE(dlg.Model().Edits().CanUndo(dlg.CurrentPortrait()));
}

TEST_F(PortraitFromPictureTest, ANewPaletteServesEveryFrameAndKeepsEntryZero)
{
    Open(MakePortraitEntries({ThreeFrames()}));
    std::vector<uint8_t> entryZero(dlg.Image(kSizeMedium).Palette(), dlg.Image(kSizeMedium).Palette() + 4);
    PictureReplaceRequest request;
    request.pictures = {WriteTga("quadrants.webp", WebpBytes(200, 160, QuadrantPicture(200, 160)))};
    request.newPalette = true;
    const PictureReplaceResult r = CPortraitFromPicture(dlg.Model()).Replace(request);
    ASSERT_EQ(r.result, PictureReplaceResult::kOk) << r.reason;
    for (const PictureReplaceImage& image : r.images)
        EXPECT_EQ(image.farPixels, 0) << kSizeNames[image.size]; // four colours fit any palette
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size)
        EXPECT_EQ(std::memcmp(dlg.Image(size).Palette(), entryZero.data(), 3), 0) << kSizeNames[size];
    // Away from the middle lines, the quadrants' own colours, exactly.
    for (int32_t f = 0; f < 3; ++f) {
        EXPECT_EQ(Shown(dlg.Image(kSizeMedium), f, 1, 1), QuadrantColour(0));
        EXPECT_EQ(Shown(dlg.Image(kSizeMedium), f, 9, 5), QuadrantColour(3));
    }
}

TEST_F(PortraitFromPictureTest, TheWindowsCommandTakesAPictureInOneStepThatUndoTakesBack)
{
    Open(MakePortraitEntries({ThreeFrames()}));
    const std::vector<uint8_t> jpeg = JpegBytes(320, 240, QuadrantPicture(320, 240), 95);
    // The dialog shows the picture with a crop of LARGE's shape and the
    // three images as they will land; the crop chosen is the top left
    // quadrant's, with a new palette.
    std::vector<PicturePreview> previews;
    PictureCropRequest asked;
    host.pictureCrop = [&](const PictureCropRequest& request, IPicturePreviews& shown, PictureCropChoice& choice) {
        asked = request;
        previews = shown.Previews(request.initial);
        const int32_t height = std::min(100, 140 * request.aspectHeight / request.aspectWidth);
        choice.crop = {10, 10, 10 + height * request.aspectWidth / request.aspectHeight, 10 + height};
        choice.newPalette = true;
        return true;
    };
    host.QueueOpenFileAnswer(WriteTga("photo.jpg", jpeg));
    host.ChooseMenuItem(ID_EDIT_NEW_FROM_PICTURE);
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_EQ(asked.width, 320);
    int32_t largeWidth = 0, largeHeight = 0;
    dlg.Image(kSizeLarge).GetFrameSize(0, largeWidth, largeHeight);
    EXPECT_EQ(asked.aspectWidth * largeHeight, asked.aspectHeight * largeWidth);
    ASSERT_EQ(previews.size(), 3u);
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size) {
        int32_t width = 0, height = 0;
        dlg.Image(size).GetFrameSize(0, width, height);
        EXPECT_EQ(previews[size].width * 10000 + previews[size].height, width * 10000 + height);
        EXPECT_TRUE(dlg.Image(size).HasChanges()) << kSizeNames[size];
        EXPECT_EQ(Middle(dlg.Image(size), 0), QuadrantColour(0)) << kSizeNames[size];
    }
    EXPECT_TRUE(host.IsMenuItemEnabled(ID_EDIT_UNDO));
    host.ChooseMenuItem(ID_EDIT_UNDO);
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size)
        EXPECT_TRUE(dlg.Image(size).IsOriginal()) << kSizeNames[size];

    // A picture cut short changes nothing and says why.
    host.QueueOpenFileAnswer(WriteTga("cut.jpg", std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + 400)));
    host.ChooseMenuItem(ID_EDIT_NEW_FROM_PICTURE);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].caption, "Error");
    EXPECT_NE(host.Messages()[0].text.find("the JPEG file is cut short"), std::string::npos) << host.Messages()[0].text;
    EXPECT_FALSE(dlg.Image(kSizeLarge).HasChanges());

    // Cancelled, the dialog changes nothing and says nothing.
    host.ClearMessages();
    host.pictureCrop = [](const PictureCropRequest&, IPicturePreviews&, PictureCropChoice&) { return false; };
    host.QueueOpenFileAnswer(WriteTga("photo.jpg", jpeg));
    host.ChooseMenuItem(ID_EDIT_NEW_FROM_PICTURE);
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_FALSE(dlg.Image(kSizeLarge).HasChanges());

    // Two pictures dropped on the preview panel fill MEDIUM's frames in order.
    host.pictureCrop = nullptr;
    DialogMessage drop{MessageKind::PreviewDropFiles};
    drop.paths = {WriteTga("a.webp", WebpBytes(40, 30, QuadrantPicture(40, 30))),
                  WriteTga("b.jpg", JpegBytes(64, 48, std::vector<uint8_t>(64 * 48 * 3, 0), 95))};
    host.Send(drop);
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_NE(Middle(dlg.Image(kSizeMedium), 0), Middle(dlg.Image(kSizeMedium), 1));
    EXPECT_EQ(Middle(dlg.Image(kSizeMedium), 1), Middle(dlg.Image(kSizeMedium), 2));
}

TEST_F(PortraitFromPictureTest, ATrueColourImageIsDitheredAgainstBandingOnlyWhenAsked)
{
    TestPortrait portrait = ThreeFrames();
    portrait.trueColourSmall = true;
    Open(MakePortraitEntries({portrait}));
    // Grey 100 lies between the 5-bit steps 96 and 104.
    PictureReplaceRequest request;
    request.pictures = {WriteTga("grey.bmp", BmpBytes(50, 30, std::vector<uint8_t>(50 * 30 * 3, 100)))};
    request.sizes[kSizeLarge] = request.sizes[kSizeMedium] = false;
    auto reds = [&] {
        const CRasterSurface* frame = dlg.Image(kSizeSmall).GetFrameSurface(0);
        std::vector<int> out;
        for (int32_t y = 0; y < frame->m_height; ++y)
            for (int32_t x = 0; x < 5; ++x)
                out.push_back(frame->m_pBits[(static_cast<size_t>(y) * static_cast<size_t>(frame->m_width) +
                                              static_cast<size_t>(x)) * 4 + 2]);
        return out;
    };
    for (bool dither : {false, true}) {
        request.options.dither = dither;
        ASSERT_EQ(CPortraitFromPicture(dlg.Model()).Replace(request).result, PictureReplaceResult::kOk);
        EXPECT_TRUE(dlg.Image(kSizeSmall).HasChanges());
        const std::vector<int> red = reds();
        const double mean = std::accumulate(red.begin(), red.end(), 0.0) / static_cast<double>(red.size());
        EXPECT_EQ(*std::min_element(red.begin(), red.end()) != *std::max_element(red.begin(), red.end()), dither);
        if (dither) {
            EXPECT_GT(mean, 97.0); // the pattern averages nearer 100 than truncation's 96
        }
    }
}
