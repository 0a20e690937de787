// Navigation: picking a slot with the mouse, the wheel and the scroll bar,
// and the saving that happens when the current portrait changes.
#include "EditorTestKit.h"

namespace {

// One test suite per group of behaviour, all on the same fixture.
using EditorNavigationTest = EditorFixture;

const TestPortrait kTvar{"TVAR", true, '1'};

} // namespace

TEST_F(EditorNavigationTest, ClicksCountEverySlotEdgeAsInside)
{
    Open(MakePortraitEntries({kTvar}));
    host.Click(200, 10); // slot 1's top-left corner
    EXPECT_EQ(dlg.SelectedSlot(), 1);
    EXPECT_TRUE(AllPixels({200, 82, 292, 86}, kWhiteRgb));

    host.Click(189, 153); // slot 0's bottom-right corner
    EXPECT_EQ(dlg.SelectedSlot(), 0);
    EXPECT_TRUE(AllPixels({10, 154, 190, 158}, kWhiteRgb));
    EXPECT_TRUE(AllPixels({200, 82, 292, 86}, kDialogBackgroundRgb));

    // Between slots 0 and 1, and far from every slot: nothing changes, and
    // nothing is repainted.
    const int paints = host.PaintCount();
    host.Click(190, 10);
    host.Click(500, 390);
    host.Click(195, 100);
    EXPECT_EQ(dlg.SelectedSlot(), 0);
    EXPECT_EQ(host.PaintCount(), paints);
    EXPECT_TRUE(AllPixels({10, 154, 190, 158}, kWhiteRgb));
}

TEST_F(EditorNavigationTest, WheelMovesOnePortraitPerMessage)
{
    Open(MakePortraitEntries(ManyPortraits(3)));
    int paints = host.PaintCount();
    host.Wheel(120); // away from the user, at the first portrait
    EXPECT_EQ(dlg.CurrentPortrait(), 0);
    EXPECT_EQ(Bar().position, 1);
    EXPECT_EQ(host.PaintCount(), paints);

    host.Wheel(-120); // towards the user
    EXPECT_EQ(Bar().position, 2);
    EXPECT_EQ(Text(IDC_PORTRAIT_GROUP), "Portrait  2/ 3");
    EXPECT_EQ(SlotPx(0), TestPaletteRgb(2));
    paints = host.PaintCount();
    host.Wheel(0); // no turn at all, between two portraits
    EXPECT_EQ(Bar().position, 2);
    EXPECT_EQ(host.PaintCount(), paints);

    host.Wheel(-32768); // however far the wheel turned
    EXPECT_EQ(Bar().position, 3);
    EXPECT_EQ(SlotPx(0), TestPaletteRgb(3));

    paints = host.PaintCount();
    host.Wheel(-120); // at the last portrait
    EXPECT_EQ(Bar().position, 3);
    EXPECT_EQ(host.PaintCount(), paints);

    host.Wheel(32767);
    EXPECT_EQ(Bar().position, 2);
    EXPECT_EQ(Text(IDC_PORTRAIT_GROUP), "Portrait  2/ 3");

    // Other keys and characters have no function of their own in the view,
    // even a character whose code is Page Down's.
    host.Key('N');
    host.Key('n', true);
    host.Key(VK_NEXT, true);
    EXPECT_EQ(Bar().position, 2);
    EXPECT_EQ(dlg.CurrentPortrait(), 1);
}

TEST_F(EditorNavigationTest, ScrollBarNotificationsMoveWithinTheRange)
{
    Open(MakePortraitEntries(ManyPortraits(40)));
    const int32_t id = IDC_PORTRAIT_SCROLLBAR;
    auto stays = [&](int32_t code, int32_t at) {
        const int paints = host.PaintCount();
        host.Scroll(id, code);
        EXPECT_EQ(Bar().position, at) << "code " << code;
        EXPECT_EQ(dlg.CurrentPortrait(), at - 1) << "code " << code;
        EXPECT_EQ(host.PaintCount(), paints) << "code " << code;
    };

    stays(SB_LINELEFT, 1);
    stays(SB_PAGELEFT, 1);

    host.Scroll(id, SB_THUMBPOSITION, 4);
    host.Scroll(id, SB_PAGELEFT);
    EXPECT_EQ(Bar().position, 1);
    EXPECT_EQ(Text(IDC_PORTRAIT_GROUP), "Portrait  1/40");

    host.Scroll(id, SB_THUMBPOSITION, 38);
    host.Scroll(id, SB_PAGERIGHT);
    EXPECT_EQ(Bar().position, 40);
    EXPECT_EQ(Text(IDC_PORTRAIT_GROUP), "Portrait 40/40");
    EXPECT_EQ(SlotPx(0), TestPaletteRgb(40));
    stays(SB_LINERIGHT, 40);
    stays(SB_PAGERIGHT, 40);
    stays(SB_BOTTOM, 40);

    host.Scroll(id, SB_LINELEFT);
    EXPECT_EQ(Bar().position, 39);
    stays(SB_ENDSCROLL, 39);
    host.Scroll(id, SB_PAGELEFT);
    EXPECT_EQ(Bar().position, 34);
    stays(SB_ENDSCROLL, 34);
    // The context menu's "Left edge" and "Right edge" go to the first and
    // the last portrait.
    host.Scroll(id, SB_TOP);
    EXPECT_EQ(Bar().position, 1);
    EXPECT_EQ(dlg.CurrentPortrait(), 0);
    host.Scroll(id, SB_BOTTOM);
    EXPECT_EQ(Bar().position, 40);
    EXPECT_EQ(dlg.CurrentPortrait(), 39);
    host.Scroll(id, SB_THUMBPOSITION, 34);

    // The wheel moves the thumb, and the arrows go on from where it stands.
    host.Wheel(120);
    EXPECT_EQ(Bar().position, 33);
    host.Scroll(id, SB_LINERIGHT);
    EXPECT_EQ(Bar().position, 34);
    EXPECT_EQ(dlg.CurrentPortrait(), 33);
    EXPECT_EQ(SlotPx(0), TestPaletteRgb(34));
}

TEST_F(EditorNavigationTest, DraggingTheThumbSelectsAndSavesAtEveryPosition)
{
    const std::vector<TestPortrait> portraits = ManyPortraits(4);
    Open(MakePortraitEntries(portraits));
    const std::string saved = PortraitsFile(EditorBaseName(portraits[0], 'L') + ".GFX");
    ImportInto(0, WriteTga("edit.tga", SolidTga(21, 15, 77)));
    ASSERT_TRUE(host.Messages().empty());
    EXPECT_FALSE(PathExists(saved));

    host.Scroll(IDC_PORTRAIT_SCROLLBAR, SB_THUMBTRACK, 2);
    EXPECT_TRUE(PathExists(saved));
    EXPECT_EQ(dlg.CurrentPortrait(), 1);
    EXPECT_EQ(SlotPx(0), TestPaletteRgb(2));

    host.Scroll(IDC_PORTRAIT_SCROLLBAR, SB_THUMBTRACK, 3);
    EXPECT_EQ(dlg.CurrentPortrait(), 2);
    EXPECT_EQ(SlotPx(0), TestPaletteRgb(3));
    const int paints = host.PaintCount();
    host.Scroll(IDC_PORTRAIT_SCROLLBAR, SB_THUMBTRACK, 3);
    EXPECT_EQ(host.PaintCount(), paints);

    host.Scroll(IDC_PORTRAIT_SCROLLBAR, SB_THUMBPOSITION, 1);
    EXPECT_EQ(SlotPx(0), TestPaletteRgb(77));
    // Only the changed size was saved.
    EXPECT_EQ(ListFolder(*game / "Portraits"), (std::vector<std::string>{EditorBaseName(portraits[0], 'L') + ".GFX"}));
}

TEST_F(EditorNavigationTest, ImportedFrameComesBackFromItsOverrideFile)
{
    Open(MakePortraitEntries(ManyPortraits(2)));
    const std::string entryName = "PORTRAITS\\LARGE\\LTVARM0.GFX";
    const std::string saved = PortraitsFile("LTVARM0.GFX");
    ImportInto(0, WriteTga("edit.tga", SolidTga(21, 15, 77)));
    EXPECT_EQ(SlotPx(0), TestPaletteRgb(77));
    EXPECT_FALSE(PathExists(saved)); // nothing is saved while the portrait stays

    host.Wheel(-120);
    ASSERT_TRUE(PathExists(saved));
    const std::vector<uint8_t> bytes = ReadFileBytes(saved);
    ASSERT_GT(bytes.size(), 19u + entryName.size());
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 11), "KORV-EXPORT");
    EXPECT_EQ(GetU32(bytes, 11), entryName.size());
    EXPECT_EQ(std::string(bytes.begin() + 15, bytes.begin() + 15 + static_cast<long>(entryName.size())), entryName);
    EXPECT_EQ(GetU32(bytes, 15 + entryName.size()), bytes.size() - 19 - entryName.size());

    // The archive still holds palette index 1 for this frame: index 77 can
    // only come from the override file.
    host.Wheel(120);
    EXPECT_EQ(SlotPx(0), TestPaletteRgb(77));
    EXPECT_EQ(Px(10, 10), TestPaletteRgb(77)); // the whole frame, left column included
    EXPECT_EQ(Px(31, 10), kBlackRgb);          // and no wider than 21 pixels
    EXPECT_EQ(SlotPx(1), TestPaletteRgb(1));
    EXPECT_EQ(ListFolder(*game / "Portraits"), (std::vector<std::string>{"LTVARM0.GFX"}));
}
