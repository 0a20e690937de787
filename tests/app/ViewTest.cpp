// The view: which slots a paint draws, the white selection bar and how the
// old one is removed, and the paint of the minimised window.
#include "EditorTestKit.h"
#include "Icon.h"
#include "GfxBytes.h"

namespace {

// One test suite per group of behaviour, all on the same fixture.
using EditorViewTest = EditorFixture;

TestPortrait WithMediumFrames(int frames, const char* race = "TVAR")
{
    TestPortrait p{race, true, '1'};
    p.mediumFrames = frames;
    return p;
}

// The bar under a slot: one pixel below its fill, 4 pixels high, one pixel
// wider than the fill.
const PixelRect kBarUnderSlot0 = {10, 154, 190, 158};
const PixelRect kBarUnderSlot1 = {200, 82, 292, 86};
const PixelRect kBarUnderSlot2 = {302, 46, 350, 50};
const PixelRect kBarUnderSlot4 = {112, 236, 204, 240};
const PixelRect kBarUnderSlot5 = {214, 236, 306, 240};
const PixelRect kBarUnderSlot11 = {316, 318, 408, 322};

} // namespace

TEST_F(EditorViewTest, SelectionBarAfterStartUpIsExactlyUnderSlotZero)
{
    Open(MakePortraitEntries({WithMediumFrames(1)}));
    EXPECT_TRUE(AllPixels(kBarUnderSlot0, kWhiteRgb));
    // Just outside the bar on all four sides the background is untouched;
    // the row above it lies between the slot's fill and the bar.
    for (ClientPoint p : {ClientPoint{9, 154}, ClientPoint{9, 157}, ClientPoint{190, 154}, ClientPoint{190, 157},
                          ClientPoint{10, 153}, ClientPoint{189, 153}, ClientPoint{10, 158}, ClientPoint{189, 158}})
        EXPECT_EQ(Px(p.x, p.y), kDialogBackgroundRgb) << p.x << "," << p.y;
    EXPECT_EQ(Px(188, 152), kBlackRgb); // the slot's fill ends at (188, 152)
}

TEST_F(EditorViewTest, PickingAnotherSlotMovesTheBarAndRestoresTheBackground)
{
    Open(MakePortraitEntries({WithMediumFrames(1)}));
    host.Click(310, 20);
    EXPECT_TRUE(AllPixels(kBarUnderSlot2, kWhiteRgb));
    EXPECT_TRUE(AllPixels(kBarUnderSlot0, kDialogBackgroundRgb));
    EXPECT_EQ(Text(IDC_COLORS), "5x3x8");

    host.Click(20, 20);
    EXPECT_TRUE(AllPixels(kBarUnderSlot2, kDialogBackgroundRgb));
    EXPECT_TRUE(AllPixels(kBarUnderSlot0, kWhiteRgb));
    EXPECT_EQ(Text(IDC_COLORS), "21x15x8");
}

TEST_F(EditorViewTest, MediumImageFramesDecideWhichSlotsAreDrawn)
{
    // Portrait 0 has one MEDIUM frame, portrait 1 four (palette indices 2 to 5).
    Open(MakePortraitEntries({WithMediumFrames(1), WithMediumFrames(4, "QEN")}));
    EXPECT_EQ(SlotPx(1), TestPaletteRgb(1));
    EXPECT_EQ(SlotPx(2), TestPaletteRgb(1));
    for (int32_t slot = 3; slot < 12; ++slot)
        EXPECT_EQ(SlotPx(slot), kDialogBackgroundRgb) << "slot " << slot;

    host.Wheel(-120);
    EXPECT_EQ(SlotPx(1), TestPaletteRgb(2));
    EXPECT_EQ(SlotPx(3), TestPaletteRgb(3));
    EXPECT_EQ(SlotPx(4), TestPaletteRgb(4));
    EXPECT_EQ(SlotPx(5), TestPaletteRgb(5));
    // A frame smaller than its slot leaves the slot's black fill around it.
    EXPECT_EQ(Px(214 + 11, 164), kBlackRgb);
    EXPECT_EQ(Px(214, 164 + 7), kBlackRgb);
    for (int32_t slot = 6; slot < 12; ++slot)
        EXPECT_EQ(SlotPx(slot), kDialogBackgroundRgb) << "slot " << slot;
}

TEST_F(EditorViewTest, SlotsOfThePortraitBeforeAreClearedAndItsFormatForgotten)
{
    // Portrait 0 has four MEDIUM frames; portrait 1 has no MEDIUM image.
    std::vector<TestEntry> entries = MakePortraitEntries({WithMediumFrames(4), WithMediumFrames(1, "QEN")});
    entries.erase(entries.begin() + 4); // portrait 1's MEDIUM entry
    Open(entries);
    host.Click(205, 15);
    EXPECT_EQ(SlotPx(5), TestPaletteRgb(4));
    EXPECT_EQ(Text(IDC_COLORS), "11x7x8");

    host.Wheel(-120);
    EXPECT_EQ(SlotPx(1), kBlackRgb); // the missing image's slot is black
    for (int32_t slot = 3; slot < 12; ++slot)
        EXPECT_EQ(SlotPx(slot), kDialogBackgroundRgb) << "slot " << slot;
    EXPECT_EQ(Text(IDC_COLORS), "0x0x0");
}

TEST_F(EditorViewTest, SlotElevenShowsTheFrameItsCommandsActOnAndStepsToEveryLaterOne)
{
    Open(MakePortraitEntries({WithMediumFrames(12), WithMediumFrames(4, "QEN")}));
    EXPECT_EQ(SlotPx(10), TestPaletteRgb(1 + 8));
    EXPECT_EQ(SlotPx(11), TestPaletteRgb(1 + 9));
    EXPECT_EQ(Text(IDC_FRAME_LABEL), "Frame 10 of 12");
    EXPECT_FALSE(host.Control(IDC_FRAME_PREVIOUS)->enabled);
    EXPECT_TRUE(host.Control(IDC_FRAME_NEXT)->enabled);

    // Export on slot 11 writes the frame it shows, first 9, then 11.
    host.Click(320, 250);
    EXPECT_TRUE(AllPixels(kBarUnderSlot11, kWhiteRgb));
    host.Command(IDC_EXPORT);
    EXPECT_TRUE(PathExists(PortraitsFile("TVARM19_MEDIUM.TGA")));
    host.Command(IDC_FRAME_NEXT);
    host.Command(IDC_FRAME_NEXT);
    EXPECT_EQ(Text(IDC_FRAME_LABEL), "Frame 12 of 12");
    EXPECT_EQ(SlotPx(11), TestPaletteRgb(1 + 11));
    EXPECT_FALSE(host.Control(IDC_FRAME_NEXT)->enabled);
    host.Command(IDC_EXPORT);
    EXPECT_TRUE(PathExists(PortraitsFile("TVARM111_MEDIUM.TGA")));
    // Import on slot 11 replaces frame 11 and nothing else.
    ImportInto(11, WriteTga("eleven.tga", SolidTga(11, 7, 200)));
    EXPECT_EQ(SlotPx(11), TestPaletteRgb(200));
    EXPECT_TRUE(dlg.Image(kSizeMedium).IsFrameChanged(11));
    EXPECT_FALSE(dlg.Image(kSizeMedium).IsFrameChanged(9));
    host.Command(IDC_FRAME_PREVIOUS);
    EXPECT_EQ(SlotPx(11), TestPaletteRgb(1 + 10));

    // A portrait of four frames has no stepper; the next one starts at 9 again.
    host.Wheel(-120);
    EXPECT_EQ(Text(IDC_FRAME_LABEL), "");
    EXPECT_FALSE(host.Control(IDC_FRAME_NEXT)->enabled);
    host.Wheel(120);
    EXPECT_EQ(Text(IDC_FRAME_LABEL), "Frame 10 of 12");
}

TEST_F(EditorViewTest, AnEmptySlotClearsEveryPixelTheFrameBeforeDrew)
{
    // Frames of 91 x 71 are held with rows widened to 92 pixels, one column
    // more than the slot.
    std::vector<TestFrame> frames(4, PatternFrame(91, 71, 3));
    std::vector<uint8_t> rgb(768);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<uint8_t>(i * 7 + 1);
    std::vector<TestEntry> entries = MakePortraitEntries({WithMediumFrames(1), WithMediumFrames(1, "QEN")});
    entries[1].data = MakePaletteImage(rgb, frames);
    Open(entries);
    PixelRect slot4{};
    CPortraitEditorDlg::GetSlotRect(4, slot4);
    EXPECT_NE(Px(slot4.right, slot4.top + 5), kDialogBackgroundRgb); // the widened column
    host.Wheel(-120);
    EXPECT_TRUE(AllPixels({slot4.left, slot4.top, slot4.right + 1, slot4.bottom}, kDialogBackgroundRgb));
}

TEST_F(EditorViewTest, SelectedSlotWithoutFrameHasNoBar)
{
    Open(MakePortraitEntries({WithMediumFrames(1)}));
    host.Click(120, 170); // slot 4: MEDIUM frame 2, which this image lacks
    EXPECT_EQ(dlg.SelectedSlot(), 4);
    EXPECT_TRUE(AllPixels(kBarUnderSlot0, kDialogBackgroundRgb));
    EXPECT_TRUE(AllPixels(kBarUnderSlot4, kDialogBackgroundRgb));
    EXPECT_EQ(SlotPx(4), kDialogBackgroundRgb);
    // A paint that changes nothing keeps it so, instead of moving a bar down.
    host.Paint();
    EXPECT_TRUE(AllPixels({112, 236, 204, 250}, kDialogBackgroundRgb));

    host.Click(205, 15);
    EXPECT_TRUE(AllPixels(kBarUnderSlot1, kWhiteRgb));
}

TEST_F(EditorViewTest, BarUnderAFrameThatTheNextPortraitLacksIsRemoved)
{
    Open(MakePortraitEntries({WithMediumFrames(4), WithMediumFrames(1, "QEN")}));
    host.Click(220, 170); // slot 5, MEDIUM frame 3
    EXPECT_TRUE(AllPixels(kBarUnderSlot5, kWhiteRgb));

    host.Wheel(-120);
    EXPECT_EQ(dlg.SelectedSlot(), 5); // the slot carries over
    EXPECT_TRUE(AllPixels(kBarUnderSlot5, kDialogBackgroundRgb));
    EXPECT_TRUE(AllPixels(kBarUnderSlot0, kDialogBackgroundRgb));

    host.Wheel(120);
    EXPECT_TRUE(AllPixels(kBarUnderSlot5, kWhiteRgb));
}

TEST_F(EditorViewTest, MinimisedPaintDrawsOnlyTheCentredIcon)
{
    Open(MakePortraitEntries({WithMediumFrames(1)}));
    const Icon& icon = LoadAppIcon();
    ASSERT_GT(icon.size, 0);
    // The window shows the application icon in its title bar and task bar.
    EXPECT_EQ(host.WindowIcon(true)->pixels, icon.pixels);
    EXPECT_EQ(host.WindowIcon(false)->pixels, icon.pixels);

    // Marks in slot 0 and in the bar show whether the paint touches them.
    host.Canvas().FillRect(20, 20, 21, 21, 0x123456);
    host.Canvas().FillRect(50, 155, 51, 156, 0x654321);
    host.SetMinimized(true);
    const int paints = host.PaintCount();
    host.Paint();
    EXPECT_EQ(host.PaintCount(), paints + 1);
    EXPECT_EQ(Px(20, 20), 0x123456u);
    EXPECT_EQ(Px(50, 155), 0x654321u);

    const int32_t x = (host.Canvas().Width() - icon.size + 1) / 2;
    const int32_t y = (host.Canvas().Height() - icon.size + 1) / 2;
    CCanvas expected(icon.size, icon.size, kDialogBackgroundRgb);
    DrawIcon(expected, 0, 0, icon);
    int wrong = 0;
    for (int32_t row = 0; row < icon.size; ++row)
        for (int32_t col = 0; col < icon.size; ++col)
            wrong += Px(x + col, y + row) != expected.GetPixel(col, row);
    EXPECT_EQ(wrong, 0);

    host.SetMinimized(false);
    host.Paint();
    EXPECT_EQ(Px(20, 20), TestPaletteRgb(1));
    EXPECT_EQ(Px(50, 155), kWhiteRgb);
}

TEST_F(EditorViewTest, DraggedMinimisedWindowShowsTheAppIcon)
{
    Open(MakePortraitEntries({WithMediumFrames(1)}));
    DialogMessage query(MessageKind::QueryDragIcon);
    ASSERT_TRUE(host.Send(query)); // the dialog has a handler for it
    EXPECT_EQ(query.icon, &LoadAppIcon());
}
