// The panels beside the client area on the headless host: the portrait list
// (rows, marks, choosing and type-ahead, following the scroll bar and the
// wheel) and the preview (scaled frames, backgrounds, the MEDIUM animation).
#include "EditorTestKit.h"
#include "PortraitPanels.h"

namespace {

using PanelsTest = EditorFixture;

const TestPortrait kTvar{"TVAR", true, '1', 3};
const TestPortrait kQen{"QEN", false, '2'};
const TestPortrait kTvarFemale{"TVAR", false, '3'};

std::vector<std::string> Cells(const std::vector<std::string>& cells)
{
    return cells;
}

// The preview's pixel at (x, y).
uint32_t PreviewPx(CScriptedHost& host, int32_t x, int32_t y)
{
    return host.PreviewCanvas()->GetPixel(x, y);
}

} // namespace

TEST_F(PanelsTest, TheListHasARowPerPortraitAndMovesWithTheCurrentOne)
{
    Open(MakePortraitEntries({kTvar, kQen, kTvarFemale}));
    EXPECT_EQ(host.ListColumns(), Cells({"#", "Name", "Race", "Gender", "Variant", "Marks"}));
    ASSERT_EQ(host.ListRows().size(), 3u);
    EXPECT_EQ(host.ListRows()[0].cells, Cells({"1", "TVARM1", "Tvarran", "male", "1", ""}));
    EXPECT_EQ(host.ListRows()[1].cells, Cells({"2", "QENF2", "Qenni", "female", "2", ""}));
    EXPECT_EQ(host.ListSelection(), 0);
    EXPECT_EQ(host.ListFooter(), "LARGE: original   MEDIUM: original   SMALL: original");

    // The scroll bar and the wheel move the chosen row.
    host.Scroll(IDC_PORTRAIT_SCROLLBAR, SB_LINERIGHT);
    EXPECT_EQ(host.ListSelection(), 1);
    host.Wheel(-120);
    EXPECT_EQ(host.ListSelection(), 2);

    // A click on a row moves to its portrait as the scroll bar does.
    host.ChooseListRow(1);
    EXPECT_EQ(dlg.CurrentPortrait(), 1);
    EXPECT_EQ(Bar().position, 2);
    EXPECT_EQ(Text(IDC_PORTRAIT_GROUP), "Portrait  2/ 3");
    EXPECT_EQ(SlotPx(0), TestPaletteRgb(2));

    // Type-ahead by name, in any case: the text so far from the current
    // row on, a first letter from the next one on.
    host.TypeInList("t");
    EXPECT_EQ(dlg.CurrentPortrait(), 2);
    host.TypeInList("t");
    EXPECT_EQ(dlg.CurrentPortrait(), 0);
    host.TypeInList("tvarf");
    EXPECT_EQ(dlg.CurrentPortrait(), 2);
    EXPECT_EQ(host.ListSelection(), 2);
    host.TypeInList("x");
    EXPECT_EQ(dlg.CurrentPortrait(), 2);
}

TEST_F(PanelsTest, MarksFollowImportsSavesAndOverrideFiles)
{
    // Portrait 2's MEDIUM override file is a folder: it cannot be used.
    game = nullptr;
    GameDir dir(MakePortraitEntries({kTvar, kQen, kTvarFemale}));
    dir.Dir().MakeFolder("Portraits/" + EditorBaseName(kTvarFemale, 'M') + ".GFX");
    ScopedChdir here(dir.Base());
    host.Open(dlg);
    EXPECT_EQ(host.ListRows()[2].cells[5], "!");

    ImportInto(0, WriteTga("large.tga", SolidTga(21, 15, 9)));
    EXPECT_EQ(host.ListRows()[0].cells[5], "*");
    EXPECT_EQ(host.ListFooter(), "LARGE: original, unsaved   MEDIUM: original   SMALL: original");

    // Moving on saves it: the override file is in use from then on.
    host.ChooseListRow(2);
    EXPECT_EQ(host.ListRows()[0].cells[5], "O");
    EXPECT_EQ(host.ListFooter(), "LARGE: original   MEDIUM: invalid override   SMALL: original");
    host.ChooseListRow(0);
    EXPECT_EQ(host.ListFooter(), "LARGE: override   MEDIUM: original   SMALL: original");

    ImportInto(2, WriteTga("small.tga", SolidTga(5, 3, 9)));
    EXPECT_EQ(host.ListRows()[0].cells[5], "*O");
    // Create Archive saves it too.
    host.Command(IDC_CREATE_ARCHIVE);
    EXPECT_EQ(host.ListFooter(), "LARGE: override   MEDIUM: original   SMALL: override");

    // Files changed behind the list's back show once it is told.
    std::remove((dir.Base() + "/Portraits/" + EditorBaseName(kTvar, 'L') + ".GFX").c_str());
    dlg.RefreshPortraitList();
    EXPECT_EQ(host.ListFooter(), "LARGE: original   MEDIUM: original   SMALL: override");
}

TEST_F(PanelsTest, ThePreviewScalesTheSelectedFrameOnItsBackground)
{
    Open(MakePortraitEntries({kTvar}));
    // LARGE 21 x 15 as large as fits the 256 x 256 panel: 8x, centred.
    EXPECT_EQ(dlg.Panels().Preview().Zoom(), CPreviewPanel::kFit);
    EXPECT_EQ(PreviewPx(host, (256 - 168) / 2 + 8 * 5, (256 - 120) / 2 + 8 * 5), SlotPx(0));

    host.ChooseMenuItem(ID_VIEW_ZOOM_1X + 1);
    EXPECT_TRUE(host.IsMenuItemChecked(ID_VIEW_ZOOM_1X + 1));
    EXPECT_FALSE(host.IsMenuItemChecked(ID_VIEW_ZOOM_FIT));
    // Every frame pixel is a 2 x 2 block of its colour, the rest the
    // dialog's grey.
    const int32_t left = (256 - 42) / 2, top = (256 - 30) / 2;
    PixelRect slot{};
    CPortraitEditorDlg::GetSlotRect(0, slot);
    for (int32_t y = 0; y < 15; ++y)
        for (int32_t x = 0; x < 21; ++x)
            for (int32_t d = 0; d < 4; ++d)
                ASSERT_EQ(PreviewPx(host, left + 2 * x + d % 2, top + 2 * y + d / 2), Px(slot.left + x, slot.top + y))
                    << x << "," << y;
    EXPECT_EQ(PreviewPx(host, left - 1, top), kDialogBackgroundRgb);
    EXPECT_EQ(PreviewPx(host, left + 42, top + 29), kDialogBackgroundRgb);

    // + and - step the factor, from the one fit chose too; the selected
    // slot's frame is the one shown.
    host.ChooseMenuItem(ID_VIEW_ZOOM_IN);
    EXPECT_TRUE(host.IsMenuItemChecked(ID_VIEW_ZOOM_1X + 2));
    host.ChooseMenuItem(ID_VIEW_ZOOM_FIT);
    host.ChooseMenuItem(ID_VIEW_ZOOM_IN);
    EXPECT_EQ(dlg.Panels().Preview().Zoom(), 8);
    host.ChooseMenuItem(ID_VIEW_ZOOM_OUT);
    EXPECT_TRUE(host.IsMenuItemChecked(ID_VIEW_ZOOM_1X + 6));
    host.Click(InsideSlot(2).x, InsideSlot(2).y);
    EXPECT_EQ(PreviewPx(host, 128, 128), SlotPx(2));

    host.ChooseMenuItem(ID_VIEW_BACKGROUND_BLACK);
    EXPECT_EQ(PreviewPx(host, 0, 0), kBlackRgb);
    host.ChooseMenuItem(ID_VIEW_BACKGROUND_CHECKERBOARD);
    EXPECT_EQ(PreviewPx(host, 0, 0), CPreviewPanel::kLightSquare);
    EXPECT_EQ(PreviewPx(host, CPreviewPanel::kSquare, 0), CPreviewPanel::kDarkSquare);
    EXPECT_EQ(PreviewPx(host, CPreviewPanel::kSquare, CPreviewPanel::kSquare), CPreviewPanel::kLightSquare);
    EXPECT_TRUE(host.IsMenuItemChecked(ID_VIEW_BACKGROUND_CHECKERBOARD));
    EXPECT_FALSE(host.IsMenuItemChecked(ID_VIEW_BACKGROUND_GREY));

    // A panel resized paints anew at its size.
    host.ResizePreview(40, 30);
    EXPECT_EQ(PreviewPx(host, 20, 15), SlotPx(2));
}

TEST_F(PanelsTest, TheMediumFramesPlayOnTimerEvents)
{
    Open(MakePortraitEntries({kTvar, kQen}));
    constexpr int32_t timer = CPortraitPanels::kAnimationTimer;
    EXPECT_EQ(host.TimerInterval(timer), 0);
    EXPECT_TRUE(host.IsMenuItemChecked(ID_VIEW_SPEED_NORMAL));
    host.ChooseMenuItem(ID_VIEW_PLAY);
    EXPECT_TRUE(host.IsMenuItemChecked(ID_VIEW_PLAY));
    EXPECT_EQ(host.TimerInterval(timer), 125);
    // MEDIUM frame f of portrait 0 is palette index 1 + f; after the last
    // frame the first again.
    for (int32_t f : {0, 1, 2, 0, 1}) {
        EXPECT_EQ(PreviewPx(host, 128, 128), TestPaletteRgb(1 + f));
        host.FireTimer(timer);
    }
    host.ChooseMenuItem(ID_VIEW_SPEED_FAST);
    EXPECT_EQ(host.TimerInterval(timer), 62);

    // Another portrait starts at its first frame.
    host.Wheel(-120);
    EXPECT_EQ(PreviewPx(host, 128, 128), TestPaletteRgb(2));
    host.FireTimer(timer); // a single frame stays
    EXPECT_EQ(PreviewPx(host, 128, 128), TestPaletteRgb(2));

    // Paused, the preview shows the selected frame again and no timer runs.
    host.ChooseMenuItem(ID_VIEW_PLAY);
    EXPECT_EQ(host.TimerInterval(timer), 0);
    EXPECT_FALSE(host.IsMenuItemChecked(ID_VIEW_PLAY));
    EXPECT_EQ(PreviewPx(host, 128, 128), SlotPx(0));
}
