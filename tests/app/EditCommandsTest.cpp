// The Edit menu on the headless host: imports and reverts undone and redone,
// before and after their portrait was left and saved, with the override
// file always holding what the window showed when the portrait was left; a
// revert moving files aside rather than deleting them; and a history let go
// when its images were changed elsewhere.
#include "EditorTestKit.h"
#include "GfxBytes.h"

namespace {

const TestPortrait kFirst{"TVAR", true, '1', 2};
const TestPortrait kSecond{"QEN", false, '1', 1};

class EditCommandsTest : public EditorFixture {
protected:
    void SetUp() override { Open(MakePortraitEntries({kFirst, kSecond})); }
    void Choose(int32_t id)
    {
        host.ClearMessages();
        host.ChooseMenuItem(id);
    }
    void Show(int32_t portrait) { host.Scroll(IDC_PORTRAIT_SCROLLBAR, SB_THUMBPOSITION, portrait + 1); }
    bool Enabled(int32_t id) const { return host.IsMenuItemEnabled(id); }
    std::string Large() const { return PortraitsFile(EditorBaseName(kFirst, 'L') + ".GFX"); }
    std::string Medium() const { return PortraitsFile(EditorBaseName(kFirst, 'M') + ".GFX"); }
    std::vector<std::string> Reverted() const { return ListFolder(*game / "Portraits/Reverted"); }
    // The LARGE image's first pixel as shown: the archive's is index 1.
    uint32_t Shown() { return SlotPx(0); }
};

} // namespace

TEST_F(EditCommandsTest, AnImportIsUndoneAndRedoneBeforeAndAfterItWasSaved)
{
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO) || Enabled(ID_EDIT_REDO));
    const uint32_t original = Shown();
    ImportInto(0, WriteTga("a.tga", SolidTga(21, 15, 30)));
    EXPECT_EQ(Shown(), TestPaletteRgb(30));
    EXPECT_TRUE(Enabled(ID_EDIT_UNDO));
    EXPECT_FALSE(Enabled(ID_EDIT_REDO));
    Choose(ID_EDIT_UNDO);
    EXPECT_EQ(Shown(), original);
    EXPECT_TRUE(Enabled(ID_EDIT_REDO) && !Enabled(ID_EDIT_UNDO));
    Choose(ID_EDIT_REDO);
    EXPECT_EQ(Shown(), TestPaletteRgb(30));

    // Saved when the portrait is left; the history stays with the portrait.
    Show(1);
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    const std::vector<uint8_t> saved = ReadFileBytes(Large());
    ASSERT_FALSE(saved.empty());
    Show(0);
    ASSERT_TRUE(Enabled(ID_EDIT_UNDO));
    Choose(ID_EDIT_UNDO);
    EXPECT_EQ(Shown(), original);
    // Left showing the archive's image: the override file is moved aside.
    Show(1);
    EXPECT_FALSE(PathExists(Large()));
    ASSERT_EQ(Reverted().size(), 1u);
    EXPECT_EQ(ReadFileBytes(*game / ("Portraits/Reverted/" + Reverted()[0])), saved);
    Show(0);
    EXPECT_EQ(Shown(), original);
    Choose(ID_EDIT_REDO);
    host.Command(IDOK);
    EXPECT_EQ(ReadFileBytes(Large()), saved);
}

TEST_F(EditCommandsTest, RevertsMoveFilesAsideAndAreUndone)
{
    const uint32_t original = Shown();
    ImportInto(0, WriteTga("a.tga", SolidTga(21, 15, 30)));
    ImportInto(1, WriteTga("m.tga", SolidTga(11, 7, 31)));
    Show(1);
    Show(0);
    const std::vector<uint8_t> large = ReadFileBytes(Large()), medium = ReadFileBytes(Medium());

    // The selected image only (the MEDIUM frame's), then the whole portrait.
    Choose(ID_EDIT_REVERT_IMAGE);
    EXPECT_FALSE(PathExists(Medium()));
    EXPECT_TRUE(PathExists(Large()));
    EXPECT_EQ(Reverted().size(), 1u);
    Choose(ID_EDIT_REVERT_IMAGE);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text,
              "The MEDIUM image of " + TestPortraitName(kFirst) + " is the game archive's own already; there is "
              "nothing to revert.");
    Choose(ID_EDIT_REVERT_PORTRAIT);
    EXPECT_FALSE(PathExists(Large()));
    EXPECT_EQ(Shown(), original);
    EXPECT_EQ(Reverted().size(), 2u);

    // Both undone: left, the portrait's files hold what it showed again.
    Choose(ID_EDIT_UNDO);
    EXPECT_EQ(Shown(), TestPaletteRgb(30));
    Choose(ID_EDIT_UNDO);
    EXPECT_TRUE(Enabled(ID_EDIT_REDO));
    Show(1);
    EXPECT_EQ(ReadFileBytes(Large()), large);
    EXPECT_EQ(ReadFileBytes(Medium()), medium);
    EXPECT_EQ(Reverted().size(), 2u); // nothing is deleted
}

TEST_F(EditCommandsTest, AnImageChangedElsewhereLetsItsHistoryGo)
{
    ImportInto(0, WriteTga("a.tga", SolidTga(21, 15, 30)));
    Show(1);
    // Another program (or a catalogue import) writes the override file.
    game->Dir().WriteFile("Portraits/" + EditorBaseName(kFirst, 'L') + ".GFX",
                          MakeOverrideFile(TestEntryName(kFirst, "LARGE"),
                                           MakePaletteImage({1, 2, 3}, {PatternFrame(21, 15)})));
    const std::vector<uint8_t> theirs = ReadFileBytes(Large());
    Show(0);
    Choose(ID_EDIT_UNDO);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_NE(host.Effects()->Find(IDS_UNDO_STALE), nullptr);
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    host.Command(IDOK);
    EXPECT_EQ(ReadFileBytes(Large()), theirs);
}
