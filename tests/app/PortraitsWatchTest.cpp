// The Portraits folder as other programs change it: when the host says its
// files changed, the list's marks follow them, the current portrait is
// loaded again when it has no unsaved changes, and otherwise keeps them and
// says so under the list, its next save still asking before it goes over
// the other program's file.
#include "EditorTestKit.h"
#include "FileSystem.h"

namespace {

class PortraitsWatchTest : public EditorFixture {
protected:
    // Another editor window on the same game imports a frame of the colour
    // into the first portrait's LARGE image and quits, which saves it.
    void SaveElsewhere(int colour)
    {
        CScriptedHost otherHost;
        CPortraitEditorDlg other;
        otherHost.Open(other);
        otherHost.QueueOpenFileAnswer(WriteTga("other.tga", SolidTga(21, 15, static_cast<uint8_t>(colour))));
        otherHost.Command(IDC_IMPORT);
        otherHost.Command(IDOK);
        ASSERT_FALSE(otherHost.IsOpen());
    }
    std::string Marks(int32_t row) const { return host.ListRows().at(static_cast<size_t>(row)).cells.back(); }
};

} // namespace

TEST_F(PortraitsWatchTest, MarksFollowTheDiskAndTheCurrentPortraitLoadsAgainUnlessItHasUnsavedEdits)
{
    const std::vector<TestPortrait> portraits = ManyPortraits(3);
    Open(MakePortraitEntries(portraits));
    dlg.SetAskBeforeOverwriting(true);
    EXPECT_EQ(host.WatchedFolder(), CFileSystem::ResolvePath(game->Base() + "/Portraits"));
    const std::string footer = host.ListFooter();

    // A damaged file of another portrait: its row is marked once the host
    // tells of the change; the current portrait and its line stay.
    game->Dir().WriteFile("Portraits/" + EditorBaseName(portraits[1], 'L') + ".GFX", {1, 2, 3});
    EXPECT_EQ(Marks(1), "");
    host.ChangeWatchedFolder();
    EXPECT_EQ(Marks(1), "!");
    EXPECT_EQ(host.ListFooter(), footer);
    EXPECT_TRUE(host.Messages().empty());

    // Another window saves the portrait shown here without changes: it is
    // loaded again from the new file.
    SaveElsewhere(77);
    host.ChangeWatchedFolder();
    EXPECT_EQ(SlotPx(0), TestPaletteRgb(77));
    EXPECT_EQ(Marks(0), "O");
    EXPECT_EQ(host.ListFooter().find('\n'), std::string::npos);

    // Its own save changes nothing behind its back: no notice, no reload.
    // (The second portrait says once that its file is damaged.)
    ImportInto(0, WriteTga("mine.tga", SolidTga(21, 15, 90)));
    host.Scroll(IDC_PORTRAIT_SCROLLBAR, SB_THUMBPOSITION, 2);
    host.Scroll(IDC_PORTRAIT_SCROLLBAR, SB_THUMBPOSITION, 1);
    host.ClearMessages();
    ImportInto(0, WriteTga("mine.tga", SolidTga(21, 15, 91)));
    host.ChangeWatchedFolder();
    EXPECT_EQ(host.ListFooter().find('\n'), std::string::npos);
    EXPECT_EQ(Marks(0), "*O");

    // With unsaved edits, another program's save leaves them be, and the
    // line under the list says so until they are gone.
    SaveElsewhere(78);
    host.ChangeWatchedFolder();
    EXPECT_EQ(SlotPx(0), TestPaletteRgb(91));
    EXPECT_EQ(host.ListFooter(), "LARGE: override, unsaved   MEDIUM: original   SMALL: original\n" +
                                     LoadResourceString(IDS_CHANGED_ELSEWHERE));
    EXPECT_TRUE(host.Messages().empty());
    // Quitting asks before it goes over the other file; No keeps that file.
    const std::string large = PortraitsFile(EditorBaseName(portraits[0], 'L') + ".GFX");
    const std::vector<uint8_t> theirs = ReadFileBytes(large);
    host.QueueYesNoAnswer(false);
    host.Command(IDOK);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, FormatResourceString(IDS_SAVE_REPLACED_ASK, {CFileSystem::ResolvePath(large)}));
    EXPECT_EQ(ReadFileBytes(large), theirs);
}
