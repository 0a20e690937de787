// Which entries are portraits, what each drawing slot shows, and the names
// that frames are exported under.
#include <gtest/gtest.h>

#include "DrawingSlots.h"
#include "EntryNameRules.h"
#include "ExportFileName.h"

TEST(EntryNameRules, PortraitEntriesLieBelowAPortraitsFolderAndAreNoSkulls)
{
    EXPECT_TRUE(IsPortraitEntry("PORTRAITS\\LARGE\\XTVARM1.GFX"));
    EXPECT_TRUE(IsPortraitEntry("DATA\\PORTRAITS\\X.GFX")); // anywhere in the name
    EXPECT_FALSE(IsPortraitEntry("portraits\\LARGE\\XTVARM1.GFX")); // case-sensitive
    EXPECT_FALSE(IsPortraitEntry("PORTRAITS.GFX"));
    EXPECT_FALSE(IsPortraitEntry("PORTRAITS\\LARGE\\SKULL1.GFX"));
    EXPECT_FALSE(IsPortraitEntry("SKULLS\\PORTRAITS\\XTVARM1.GFX"));
}

TEST(ExportFileName, SmallHasAnSOnlyFromExportAll)
{
    using enum ExportScope;
    EXPECT_EQ(ExportFileName("TVARM1", kSizeLarge, 0, kAllFrames), "TVARM1_LARGE.TGA");
    EXPECT_EQ(ExportFileName("TVARM1", kSizeLarge, 0, kOneFrame), "TVARM1_LARGE.TGA");
    EXPECT_EQ(ExportFileName("TVARM1", kSizeMedium, 0, kAllFrames), "TVARM10_MEDIUM.TGA");
    EXPECT_EQ(ExportFileName("TVARM1", kSizeMedium, 11, kOneFrame), "TVARM111_MEDIUM.TGA");
    EXPECT_EQ(ExportFileName("TVARM1", kSizeSmall, 0, kAllFrames), "STVARM1_SMALL.TGA");
    EXPECT_EQ(ExportFileName("TVARM1", kSizeSmall, 0, kOneFrame), "TVARM1_SMALL.TGA");
    EXPECT_EQ(ExportFileName("", kSizeLarge, 0, kOneFrame), "_LARGE.TGA");
    EXPECT_EQ(ExportFileName("TVARM1", kSizeNone, 0, kOneFrame), "");
}

TEST(ExportFileName, PngNamesAreTheTgaNamesWithPng)
{
    using enum ExportScope;
    constexpr ExportFormat kPng = ExportFormat::kPng;
    EXPECT_EQ(ExportFileName("TVARM1", kSizeLarge, 0, kAllFrames, kPng), "TVARM1_LARGE.PNG");
    EXPECT_EQ(ExportFileName("TVARM1", kSizeMedium, 0, kAllFrames, kPng), "TVARM10_MEDIUM.PNG");
    EXPECT_EQ(ExportFileName("TVARM1", kSizeSmall, 0, kAllFrames, kPng), "STVARM1_SMALL.PNG");
    EXPECT_EQ(ExportFileName("TVARM1", kSizeSmall, 0, kOneFrame, kPng), "TVARM1_SMALL.PNG");
    EXPECT_EQ(ExportFileName("TVARM1", kSizeMedium, 11, kOneFrame, ExportFormat::kTga), "TVARM111_MEDIUM.TGA");
    EXPECT_EQ(ExportFileName("TVARM1", kSizeNone, 0, kOneFrame, kPng), "");
}

TEST(DrawingSlots, EachSlotShowsOneFrameAndEachFrameHasOneSlot)
{
    const SlotImage expected[kDrawingSlotCount] = {
        {kSizeLarge, 0},  {kSizeMedium, 0}, {kSizeSmall, 0},  {kSizeMedium, 1}, {kSizeMedium, 2}, {kSizeMedium, 3},
        {kSizeMedium, 4}, {kSizeMedium, 5}, {kSizeMedium, 6}, {kSizeMedium, 7}, {kSizeMedium, 8}, {kSizeMedium, 9},
    };
    for (int32_t slot = 0; slot < kDrawingSlotCount; ++slot) {
        SCOPED_TRACE(slot);
        const SlotImage shown = GetSlotImage(slot);
        EXPECT_EQ(shown.size, expected[slot].size);
        EXPECT_EQ(shown.frame, expected[slot].frame);
        EXPECT_EQ(FindSlotOfFrame(shown.size, shown.frame), slot);
    }
    EXPECT_EQ(GetSlotImage(-1).size, kSizeNone);
    EXPECT_EQ(GetSlotImage(kDrawingSlotCount).size, kSizeNone);

    // Later MEDIUM frames share the stepped slot; LARGE and SMALL have one slot.
    EXPECT_EQ(FindSlotOfFrame(kSizeMedium, 10), kSteppedSlot);
    EXPECT_EQ(FindSlotOfFrame(kSizeMedium, 255), kSteppedSlot);
    EXPECT_EQ(FindSlotOfFrame(kSizeLarge, 3), 0);
    EXPECT_EQ(FindSlotOfFrame(kSizeSmall, 1), 2);
    EXPECT_EQ(FindSlotOfFrame(kSizeMedium, -1), -1);
    EXPECT_EQ(FindSlotOfFrame(kSizeNone, 0), -1);
}
