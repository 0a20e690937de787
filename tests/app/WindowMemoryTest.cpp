// What the window remembers of each game folder from run to run: its place
// and size and the portrait it showed, given back at the next start with the
// same folder, and apart for each folder.
#include "EditorTestKit.h"
#include "WindowMemory.h"

namespace {

using WindowMemoryTest = EditorFixture;

} // namespace

TEST_F(WindowMemoryTest, ThePlaceSizeAndPortraitComeBackWithTheSameGameFolderOnly)
{
    Open(MakePortraitEntries(ManyPortraits(4)));
    const std::string first = game->Base();
    const GameDir other(MakePortraitEntries(ManyPortraits(3)));
    // Nothing is remembered yet: the first portrait, the window as the host made it.
    EXPECT_EQ(dlg.CurrentPortrait(), 0);
    WindowPlacement placement;
    EXPECT_FALSE(host.GetWindowPlacement(placement));

    // The user moves and sizes the window, goes to the third portrait and quits.
    const WindowPlacement moved{40, 30, 1200, 700, false};
    host.SetWindowPlacement(moved);
    host.Scroll(IDC_PORTRAIT_SCROLLBAR, SB_THUMBPOSITION, 3);
    host.Command(IDOK);
    ASSERT_FALSE(host.IsOpen());

    // The next start in the same folder shows them again.
    CPortraitEditorDlg again;
    host.Open(again);
    EXPECT_EQ(again.CurrentPortrait(), 2);
    ASSERT_TRUE(host.GetWindowPlacement(placement));
    EXPECT_EQ(placement, moved);

    // Another game folder has nothing remembered; leaving it on its second
    // portrait and coming back, each shows its own.
    host.QueueFolderAnswer(other.Base());
    host.ChooseMenuItem(ID_FILE_OPEN_GAME);
    EXPECT_EQ(again.CurrentPortrait(), 0);
    host.Scroll(IDC_PORTRAIT_SCROLLBAR, SB_THUMBPOSITION, 2);
    host.QueueFolderAnswer(first);
    host.ChooseMenuItem(ID_FILE_OPEN_GAME);
    EXPECT_EQ(again.BaseDir(), first);
    EXPECT_EQ(again.CurrentPortrait(), 2);
    host.QueueFolderAnswer(other.Base());
    host.ChooseMenuItem(ID_FILE_OPEN_GAME);
    EXPECT_EQ(again.CurrentPortrait(), 1);
    host.Command(IDCANCEL);

    // A portrait gone from the catalogue, or a placement that is no window's, is let go.
    host.WriteSetting(CWindowMemory::kKey, {first, "1 2 0 0 0", "NOSUCH"});
    CPortraitEditorDlg third;
    ScopedChdir back(first);
    host.Open(third);
    EXPECT_EQ(third.CurrentPortrait(), 0);
    EXPECT_FALSE(host.GetWindowPlacement(placement));
    host.Command(IDCANCEL);
}
