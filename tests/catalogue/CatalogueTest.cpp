// How entry names are read into sizes, races, genders, variants and names,
// and how records are found by their identity.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "EntryNameRules.h"
#include "PortraitRecord.h"
#include "RaceTable.h"

TEST(EntryNameRules, ReadsAWholePortraitEntryName)
{
    const char* n = "PORTRAITS\\LARGE\\XTVARM1.GFX";
    EXPECT_EQ(ClassifySize(n), kSizeLarge);
    EXPECT_EQ(ClassifyRace(n), 0);
    EXPECT_TRUE(IsMaleName(n));
    EXPECT_EQ(GetVariantChar(n), '1');
    PortraitRecord r(ClassifyRace(n), IsMaleName(n), GetVariantChar(n), "/g\\DATA\\DATA.QPK");
    r.SetNameFromEntry(n);
    EXPECT_EQ(r.GetName(), "TVARM1");
    EXPECT_EQ(r.GetArchivePath(), "/g\\DATA\\DATA.QPK");
}

TEST(EntryNameRules, SizeWordsAndRaceCodesAreTestedInTableOrder)
{
    EXPECT_EQ(ClassifySize("PORTRAITS\\SMALL\\LARGE.GFX"), kSizeLarge);
    EXPECT_EQ(ClassifySize("PORTRAITS\\SMALL\\MEDIUM.GFX"), kSizeMedium);
    EXPECT_EQ(ClassifySize("PORTRAITS\\SMALL\\X.GFX"), kSizeSmall);
    EXPECT_EQ(ClassifySize("PORTRAITS\\large\\X.GFX"), kSizeNone); // case-sensitive
    EXPECT_EQ(ClassifySize("PORTRAITS\\HUGE\\X.GFX"), kSizeNone);

    EXPECT_EQ(ClassifyRace("PORTRAITS\\GURQEN.GFX"), 2); // QEN stands earlier in the table
    EXPECT_EQ(ClassifyRace("PORTRAITS\\X\\AGURF1.GFX"), 11);
    EXPECT_EQ(ClassifyRace("PORTRAITS\\X\\Atvarf1.GFX"), kRaceNone);
    for (RaceIndex race = 0; race < kRaceCount; ++race) {
        std::string name = std::string("PORTRAITS\\LARGE\\X") + kRaceTable[race].code + "M1.GFX";
        EXPECT_EQ(ClassifyRace(name), race) << name;
    }
}

TEST(EntryNameRules, GenderAndVariantLookAtTheFirstDot)
{
    EXPECT_FALSE(IsMaleName("PORTRAITS\\X\\XTVARm1.GFX")); // lower-case m is female
    EXPECT_TRUE(IsMaleName("M1.GFX"));
    EXPECT_FALSE(IsMaleName("1.GFX"));                   // dot at position 1
    EXPECT_EQ(GetVariantChar("1.GFX"), '1');
    EXPECT_FALSE(IsMaleName(".GFX"));
    EXPECT_EQ(GetVariantChar(".GFX"), 0);
    EXPECT_FALSE(IsMaleName("PORTRAITS\\X\\XTVARM1"));  // no dot at all
    EXPECT_EQ(GetVariantChar("PORTRAITS\\X\\XTVARM1"), 0);
    // A dot in a folder name is the first dot of the whole name.
    EXPECT_TRUE(IsMaleName("PORTRAITS\\VM2.D\\XTVARF1.GFX"));
    EXPECT_EQ(GetVariantChar("PORTRAITS\\VM2.D\\XTVARF1.GFX"), '2');
}

TEST(PortraitRecordTest, NamesFromEntryNames)
{
    PortraitRecord r(0, true, '1', "");
    const struct {
        const char* entry;
        const char* name;
    } cases[] = {
        {"PORTRAITS\\X\\ABCDE.GFX", "BCDE"},
        {"PORTRAITS\\X\\AB.C.GFX", "B.C"},
        {"PORTRAITS\\X\\A.GFX", ""},
        {"PORTRAITS\\X\\.GFX", ""},
        {"PORTRAITS\\X\\ABCDE", ""},
        {"PORTRAITS\\X.Y\\ABCDE", ""},
        {"PORTRAITS\\", ""},
    };
    for (const auto& c : cases) {
        r.name = "stale";
        r.SetNameFromEntry(c.entry);
        EXPECT_EQ(r.GetName(), c.name) << c.entry;
    }
}

TEST(PortraitRecordTest, EntriesPerSize)
{
    PortraitRecord r(3, false, 'a', "p");
    EXPECT_EQ(r.race, 3);
    EXPECT_EQ(r.male, 0);
    EXPECT_EQ(r.variant, 'a');
    EXPECT_TRUE(r.GetName().empty());
    EXPECT_EQ(r.entryIndex[0], -1);
    EXPECT_EQ(r.entryIndex[1], -1);
    EXPECT_EQ(r.entryIndex[2], -1);

    r.SetEntry(kSizeMedium, 7); // a portrait with only a MEDIUM entry
    r.SetEntry(kSizeNone, 8);
    r.SetEntry(3, 9);
    EXPECT_EQ(r.entryIndex[0], -1);
    EXPECT_EQ(r.entryIndex[1], 7);
    EXPECT_EQ(r.entryIndex[2], -1);
    r.SetEntry(kSizeMedium, 12); // a later entry of the same size replaces it
    EXPECT_EQ(r.entryIndex[1], 12);
}

TEST(PortraitRecordTest, FindRecordMatchesTheWholeIdentity)
{
    std::vector<std::unique_ptr<PortraitRecord>> owned;
    owned.push_back(std::make_unique<PortraitRecord>(0, true, '1', ""));
    owned.push_back(std::make_unique<PortraitRecord>(0, true, '2', ""));  // differs in variant
    owned.push_back(std::make_unique<PortraitRecord>(0, false, '1', "")); // differs in gender
    owned.push_back(std::make_unique<PortraitRecord>(0, true, '1', "dup"));
    PortraitRecord* records[64] = {};
    for (size_t i = 0; i < owned.size(); ++i)
        records[i] = owned[i].get();

    EXPECT_EQ(FindRecord(records, 4, 0, true, '1'), records[0]); // the first one wins
    EXPECT_EQ(FindRecord(records, 4, 0, true, '2'), records[1]);
    EXPECT_EQ(FindRecord(records, 4, 0, false, '1'), records[2]);
    EXPECT_EQ(FindRecord(records, 4, 1, true, '1'), nullptr);
    EXPECT_EQ(FindRecord(records, 1, 0, true, '2'), nullptr); // only the first count records
    EXPECT_EQ(FindRecord(records, 0, 0, true, '1'), nullptr);
}

TEST(RaceTableTest, DisplayNames)
{
    EXPECT_EQ(GetRaceName(0), "Tvarran");
    EXPECT_EQ(GetRaceName(7), "Moren");
    EXPECT_EQ(GetRaceName(11), "Gurrat");
    EXPECT_EQ(GetRaceName(-1), "Unknown");
    EXPECT_EQ(GetRaceName(12), "Unknown");
}
