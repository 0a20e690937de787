// The keyboard: the browsing keys go the scroll bar's way, Up and Down step
// through the slots, and Enter presses the button with the focus.
#include <filesystem>

#include "EditorTestKit.h"

namespace {

using EditorKeysTest = EditorFixture;

} // namespace

TEST_F(EditorKeysTest, BrowsingKeysMoveAsTheScrollBarArrowsAndEdgesAndUpDownStepThroughTheSlots)
{
    const std::vector<TestPortrait> portraits = ManyPortraits(4);
    Open(MakePortraitEntries(portraits));
    ImportInto(0, WriteTga("edit.tga", SolidTga(21, 15, 77)));
    const std::string saved = PortraitsFile(EditorBaseName(portraits[0], 'L') + ".GFX");
    ASSERT_FALSE(PathExists(saved));

    // Each key with the portrait number (the thumb's position) after it.
    const std::pair<uint32_t, int32_t> steps[] = {
        {VK_LEFT, 1}, {VK_PRIOR, 1}, {VK_RIGHT, 2}, {VK_NEXT, 3}, {VK_END, 4}, {VK_RIGHT, 4},
        {VK_NEXT, 4}, {VK_PRIOR, 3}, {VK_LEFT, 2}, {VK_HOME, 1}, {VK_HOME, 1},
    };
    bool browsed = false;
    for (const auto& [key, at] : steps) {
        SCOPED_TRACE(key);
        host.Key(key);
        browsed = browsed || at != 1;
        EXPECT_EQ(Bar().position, at);
        EXPECT_EQ(dlg.CurrentPortrait(), at - 1);
        EXPECT_EQ(SlotPx(0), TestPaletteRgb(at == 1 ? 77 : at));
        // The first browse saved the change, as the scroll bar does.
        EXPECT_EQ(PathExists(saved), browsed);
    }
    EXPECT_TRUE(host.Messages().empty());

    // Up and Down stop at the first and the last slot; a key that changes
    // nothing paints nothing.
    int paints = host.PaintCount();
    host.Key(VK_UP);
    EXPECT_EQ(dlg.SelectedSlot(), 0);
    EXPECT_EQ(host.PaintCount(), paints);
    for (int32_t slot = 1; slot < CPortraitEditorDlg::kSlotCount; ++slot) {
        host.Key(VK_DOWN);
        EXPECT_EQ(dlg.SelectedSlot(), slot);
    }
    paints = host.PaintCount();
    host.Key(VK_DOWN);
    EXPECT_EQ(dlg.SelectedSlot(), CPortraitEditorDlg::kSlotCount - 1);
    EXPECT_EQ(host.PaintCount(), paints);
    host.Key(VK_UP);
    host.Key(VK_UP);
    EXPECT_EQ(dlg.SelectedSlot(), 9);
    EXPECT_EQ(dlg.CurrentPortrait(), 0);
}

TEST_F(EditorKeysTest, EnterPressesOnlyAButtonGivenTheFocusNeverTheCheckBoxOrAfterAClickOnAnImage)
{
    Open(MakePortraitEntries(ManyPortraits(4)));
    const std::string large = PortraitsFile(TestPortraitName(ManyPortraits(4)[0]) + "_LARGE.TGA");

    // At start no button has the focus: browsing and then Enter quits nothing.
    EXPECT_EQ(host.Focus(), CDialog::kClientAreaFocus);
    for (uint32_t key : {VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RETURN})
        host.Key(key);
    EXPECT_TRUE(host.IsOpen());
    EXPECT_EQ(dlg.CurrentPortrait(), 3);
    EXPECT_TRUE(host.Messages().empty());
    host.Key(VK_HOME);

    // A push of Export gives it the focus, and Enter presses it again.
    host.Command(IDC_EXPORT);
    EXPECT_EQ(host.Focus(), IDC_EXPORT);
    std::filesystem::remove(large);
    host.ClearMessages();
    host.Key(VK_RETURN);
    EXPECT_TRUE(PathExists(large));
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text.rfind(LoadResourceString(IDS_PORTRAIT_SAVED), 0), 0u);

    // On the check box Enter neither toggles it nor quits.
    host.ToggleCheck(IDC_USE_TGA_PALETTE);
    EXPECT_EQ(host.Focus(), IDC_USE_TGA_PALETTE);
    host.Key(VK_RETURN);
    EXPECT_EQ(host.GetCheck(IDC_USE_TGA_PALETTE), 1);
    EXPECT_TRUE(host.IsOpen());

    // A click on an image takes the focus: Enter does nothing.
    const ClientPoint p = InsideSlot(2);
    host.Click(p.x, p.y);
    EXPECT_EQ(host.Focus(), CDialog::kClientAreaFocus);
    host.ClearMessages();
    host.Key(VK_RETURN);
    EXPECT_TRUE(host.IsOpen());
    EXPECT_TRUE(host.Messages().empty());

    // Back on Quit, Enter quits.
    host.SetFocus(IDC_QUIT);
    host.Key(VK_RETURN);
    EXPECT_FALSE(host.IsOpen());
    EXPECT_EQ(host.Result(), IDOK);
}
