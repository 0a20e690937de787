// The window's save when another program has replaced an override file since
// the portrait was loaded: it asks, and either keeps the other file (letting
// the change go) or saves over it, keeping the other file in Reverted.
#include <filesystem>

#include "EditorTestKit.h"

namespace {

using SaveConflictTest = EditorFixture;

} // namespace

TEST_F(SaveConflictTest, TheWindowAsksAndKeepsTheOtherFileOrSetsItAside)
{
    const std::vector<TestPortrait> portraits = ManyPortraits(2);
    Open(MakePortraitEntries(portraits));
    dlg.SetAskBeforeOverwriting(true);
    const std::string file = PortraitsFile(EditorBaseName(portraits[0], 'L') + ".GFX");
    // The other program's file: a save of index 55, taken away again.
    ImportInto(0, WriteTga("other.tga", SolidTga(21, 15, 55)));
    host.Wheel(-120);
    const std::vector<uint8_t> other = ReadFileBytes(file);
    std::filesystem::remove(file);
    host.Wheel(120);
    ASSERT_EQ(SlotPx(0), TestPaletteRgb(1));

    // No keeps the other program's file and lets this change go.
    ImportInto(0, WriteTga("mine.tga", SolidTga(21, 15, 77)));
    game->Dir().WriteFile("Portraits/" + EditorBaseName(portraits[0], 'L') + ".GFX", other);
    host.ClearMessages();
    host.QueueYesNoAnswer(false);
    host.Wheel(-120);
    EXPECT_EQ(dlg.CurrentPortrait(), 1);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_TRUE(host.Messages()[0].question);
    EXPECT_EQ(host.Messages()[0].text,
              FormatResourceString(IDS_SAVE_REPLACED_ASK, {CFileSystem::ResolvePath(file)}));
    EXPECT_EQ(ReadFileBytes(file), other);
    host.Wheel(120);
    EXPECT_EQ(SlotPx(0), TestPaletteRgb(55));

    // Yes saves this change and keeps the other file in Portraits/Reverted.
    ImportInto(0, WriteTga("mine.tga", SolidTga(21, 15, 78)));
    std::filesystem::remove(file);
    game->Dir().WriteFile("Portraits/" + EditorBaseName(portraits[0], 'L') + ".GFX", other);
    host.QueueYesNoAnswer(true);
    host.Wheel(-120);
    EXPECT_EQ(dlg.CurrentPortrait(), 1);
    const std::vector<std::string> aside = ListFolder(*game / "Portraits/Reverted");
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(ReadFileBytes(*game / ("Portraits/Reverted/" + aside[0])), other);
    EXPECT_NE(ReadFileBytes(file), other);
    host.Wheel(120);
    EXPECT_EQ(SlotPx(0), TestPaletteRgb(78));
}
