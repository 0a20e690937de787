// What an import says of colours: the pixels a remap leaves far from the
// file's colours, told in the notice without a box and outlined in the
// preview on request, and a file's palette that would recolour the image's
// other frames, asked about first.
#include <algorithm>

#include "ColourDistance.h"
#include "CommandMessages.h"
#include "EditorTestKit.h"
#include "FarColour.h"

namespace {

class ImportColoursTest : public EditorFixture {
protected:
    // The status line's second line, under the list.
    std::string Notice() const
    {
        const std::string& footer = host.ListFooter();
        const size_t newline = footer.find('\n');
        return newline == std::string::npos ? std::string() : footer.substr(newline + 1);
    }
};

size_t OutlinePixels(CScriptedHost& host)
{
    CCanvas& preview = *host.PreviewCanvas();
    size_t count = 0;
    for (int32_t y = 0; y < preview.Height(); ++y)
        for (int32_t x = 0; x < preview.Width(); ++x)
            count += preview.GetPixel(x, y) == CPreviewPanel::kOutline;
    return count;
}

} // namespace

TEST_F(ImportColoursTest, FarPixelsAreToldInTheNoticeAndOutlinedUntilTheFrameChanges)
{
    Open(MakePortraitEntries({{"TVAR", true, '1'}}));
    double nearest = 0.0;
    const uint32_t far = FarTestColour(nearest);
    ASSERT_GT(nearest, ColourLoss::kVisibleDistance);

    ImportInto(0, WriteTga("far.tga", FarBlockTga(far)));
    EXPECT_TRUE(host.Messages().empty());
    const ImportReport& last = dlg.Model().LastImport();
    EXPECT_EQ(last.colourLoss.farPixels, 6);
    EXPECT_EQ(Notice(), "Colour loss: 6 pixels lie far from the file's colours (largest OKLab distance " +
                                    DistanceText(last.colourLoss.largestDistance) +
                                    "). View > Show Colour Loss outlines them.");
    EXPECT_EQ(OutlinePixels(host), 0u);

    // At 8x the block's outline is two pixels thick inside its 24 x 16
    // pixels: 2 * (24 + 16) * 2 - 4 * 4.
    host.ChooseMenuItem(ID_VIEW_COLOUR_LOSS);
    EXPECT_TRUE(host.IsMenuItemChecked(ID_VIEW_COLOUR_LOSS));
    EXPECT_EQ(OutlinePixels(host), 2u * (24 + 16) * 2 - 16);

    // Undone, the frame no longer holds those pixels: neither is shown.
    host.ChooseMenuItem(ID_EDIT_UNDO);
    EXPECT_EQ(OutlinePixels(host), 0u);
    EXPECT_EQ(Notice(), "");
}

TEST_F(ImportColoursTest, AFilesPaletteThatRecoloursOtherFramesIsAskedAboutFirst)
{
    TestPortrait p{"TVAR", true, '1'};
    p.mediumFrames = 3;
    Open(MakePortraitEntries({p}));
    dlg.SetAskBeforeOverwriting(true);
    // Frames 1 and 2 use indices 2 and 3 right of a column of index 0 (10 x
    // 7 pixels each); the file changes entry 3 and its own pixels use entry 1.
    std::vector<uint8_t> map = TestColourMap();
    map[3 * 3] ^= 0x40;
    const std::string path = WriteTga("palette.tga", SolidTga(11, 7, 1, map));
    ImportOptions palette;
    palette.mode = ImportMode::kFilePalette;
    dlg.SetImportOptions(palette);

    ImportInto(1, path); // No, the default
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, "The file's palette replaces the image's: 70 pixels in 1 other frames of this "
                                       "image will show other colours.\nTake the file's palette?");
    EXPECT_FALSE(dlg.Image(kSizeMedium).HasChanges());

    host.QueueYesNoAnswer(true);
    ImportInto(1, path);
    EXPECT_TRUE(dlg.Image(kSizeMedium).HasChanges());
    EXPECT_EQ(dlg.Model().LastImport().takeover.otherPixels, 70);
    EXPECT_EQ(Notice(), "The file's palette was taken: 70 pixels in 1 other frames show other colours.");
}
