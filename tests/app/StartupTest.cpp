// Start-up: the catalogue scan over the game archive's directory, the
// messages it shows, and what the view shows while no portrait is current.
#include <filesystem>

#include "EditorTestKit.h"
#include "GfxBytes.h"

namespace {

// One test suite per group of behaviour, all on the same fixture.
using EditorStartupTest = EditorFixture;

const char kArchiveNotFound[] =
    "DATA.QPK not found. Please make sure that the editor is installed in the Thornvale base directory.";

const TestPortrait kTvar{"TVAR", true, '1'};
const TestPortrait kQen{"QEN", false, '2'};

// The four labels that name a record, which stay empty while no portrait is
// current.
void ExpectRecordLabelsEmpty(const CHeadlessHost& host)
{
    EXPECT_EQ(host.GetControlText(IDC_RACE), "");
    EXPECT_EQ(host.GetControlText(IDC_GENDER), "");
    EXPECT_EQ(host.GetControlText(IDC_FILE), "");
    EXPECT_EQ(host.GetControlText(IDC_COLORS), "");
}

} // namespace

TEST(EditorStartup, WithoutArchiveShowsMessageOneAndOpensEmpty)
{
    TempDir base;
    ScopedChdir cd(base.Path());
    CScriptedHost host;
    CPortraitEditorDlg dlg;
    host.Open(dlg);

    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, kArchiveNotFound);
    EXPECT_EQ(host.Messages()[0].caption, "Error");
    EXPECT_TRUE(host.Messages()[0].owned);
    // A folder that is no game folder is left as it was.
    EXPECT_TRUE(ListFolder(base.Path()).empty());
    EXPECT_TRUE(host.IsOpen());

    const auto* bar = host.ScrollBar(IDC_PORTRAIT_SCROLLBAR);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->min, 1);
    EXPECT_EQ(bar->max, 0);
    EXPECT_EQ(bar->position, 0);
    EXPECT_EQ(host.GetControlText(IDC_PORTRAIT_GROUP), "Portrait  0/ 0");
    ExpectRecordLabelsEmpty(host);
    // The slots are filled all the same, with nothing drawn in them.
    EXPECT_EQ(host.Canvas().GetPixel(11, 11), kBlackRgb);

    // The commands find no portrait: the exports do nothing and say nothing;
    // the import still asks for a file but has nothing to replace.
    host.ClearMessages();
    host.Command(IDC_EXPORT_ALL);
    host.Command(IDC_EXPORT);
    host.QueueOpenFileAnswer(base / "any.tga");
    host.Command(IDC_IMPORT);
    EXPECT_EQ(host.OpenFileRequests().size(), 1u);
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_TRUE(ListFolder(base.Path()).empty());

    // With no archive there is nothing to pack, and the patch holds no entry.
    base.MakeFolder("PATCHES");
    host.Command(IDC_CREATE_ARCHIVE);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, "Archive successfully created.");
    EXPECT_EQ(host.Messages()[0].caption, "Info");
    const std::vector<uint8_t> patch = ReadFileBytes(base / "PATCHES/PATCH.010");
    ASSERT_EQ(patch.size(), 532u);
    EXPECT_EQ(GetU32(patch, 512), 0u);
    EXPECT_EQ(GetU32(patch, 516), 0u);
}

TEST_F(EditorStartupTest, ArchiveWithoutPortraitEntriesGivesEmptyCatalogueSilently)
{
    // A race code outside "PORTRAITS\" makes no portrait.
    Open({{"DATA\\MAPS\\TVARM1.MAP", Pattern(40)}, {"SOUNDS\\QENF2.WAV", Pattern(12)}});
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_EQ(dlg.PortraitCount(), 0);
    EXPECT_EQ(dlg.CurrentPortrait(), -1);
    EXPECT_EQ(Bar().min, 1);
    EXPECT_EQ(Bar().max, 0);
    EXPECT_EQ(Bar().position, 0);
    EXPECT_EQ(Text(IDC_PORTRAIT_GROUP), "Portrait  0/ 0");
    ExpectRecordLabelsEmpty(host);
}

TEST_F(EditorStartupTest, LowerCaseFolderAndSkullEntriesAreNoPortraits)
{
    std::vector<TestEntry> entries = MakePortraitEntries({kTvar});
    const std::vector<uint8_t> image = entries[0].data;
    entries.push_back({"portraits\\LARGE\\LQENM1.GFX", image});
    entries.push_back({"PORTRAITS\\SKULL\\LBOGREM1.GFX", image});
    entries.push_back({"PORTRAITS\\LARGE\\LSKULLGURM1.GFX", image});
    Open(entries);
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_EQ(dlg.PortraitCount(), 1);
    EXPECT_EQ(Bar().max, 1);
    EXPECT_EQ(Text(IDC_PORTRAIT_GROUP), "Portrait  1/ 1");
    EXPECT_EQ(Text(IDC_RACE), "Tvarran");
}

TEST_F(EditorStartupTest, EntryWithoutSizeWordMakesOrFindsARecordAndSetsNoSize)
{
    std::vector<TestEntry> entries = {{"PORTRAITS\\FACES\\XQENF2.GFX", Pattern(30)}};
    for (const TestEntry& e : MakePortraitEntries({kTvar}))
        entries.push_back(e);
    // Found, not made: portrait TVARM1 keeps its three sizes.
    entries.push_back({"PORTRAITS\\FACES\\XTVARM1.GFX", Pattern(30)});
    Open(entries);

    EXPECT_EQ(dlg.PortraitCount(), 2);
    EXPECT_EQ(Text(IDC_PORTRAIT_GROUP), "Portrait  1/ 2");
    EXPECT_EQ(Text(IDC_RACE), "Qenni");
    EXPECT_EQ(Text(IDC_GENDER), "female");
    EXPECT_EQ(Text(IDC_FILE), "QENF2");
    for (int32_t slot = 0; slot < 3; ++slot)
        EXPECT_EQ(SlotPx(slot), kBlackRgb) << "slot " << slot;

    host.Wheel(-120);
    EXPECT_EQ(Text(IDC_FILE), "TVARM1");
    EXPECT_EQ(SlotPx(0), TestPaletteRgb(1));
    EXPECT_EQ(SlotPx(1), TestPaletteRgb(1));
    EXPECT_EQ(SlotPx(2), TestPaletteRgb(1));
}

TEST_F(EditorStartupTest, LaterEntryOfTheSameIdentityAndSizeIsTheOneUsed)
{
    // The second copy's images use palette index 2 instead of 1.
    Open(MakePortraitEntries({kTvar, kTvar}));
    EXPECT_EQ(dlg.PortraitCount(), 1);
    EXPECT_EQ(SlotPx(0), TestPaletteRgb(2));
    EXPECT_EQ(SlotPx(1), TestPaletteRgb(2));
    EXPECT_EQ(SlotPx(2), TestPaletteRgb(2));
}

TEST_F(EditorStartupTest, SixtyFourPortraitsCanAllBeBrowsed)
{
    Open(MakePortraitEntries(ManyPortraits(64)));
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_EQ(Bar().min, 1);
    EXPECT_EQ(Bar().max, 64);
    EXPECT_EQ(Bar().position, 1);

    host.Scroll(IDC_PORTRAIT_SCROLLBAR, SB_THUMBPOSITION, 64);
    EXPECT_EQ(Bar().position, 64);
    EXPECT_EQ(Text(IDC_PORTRAIT_GROUP), "Portrait 64/64");
    // Portrait 63 of ManyPortraits: the fourth race, female, variant 2.
    EXPECT_EQ(Text(IDC_RACE), "Vollen");
    EXPECT_EQ(Text(IDC_GENDER), "female");
    EXPECT_EQ(Text(IDC_FILE), "VOLLEF2");
    EXPECT_EQ(SlotPx(0), TestPaletteRgb(64));
}

TEST_F(EditorStartupTest, SixtyFifthPortraitStopsTheScanWithMessageTwo)
{
    std::vector<TestEntry> entries = MakePortraitEntries(ManyPortraits(65));
    // Portrait 0's SMALL entry moves behind the 65th portrait: the scan has
    // stopped before it, so portrait 0 never gets a SMALL image.
    const TestEntry small0 = entries[2];
    entries.erase(entries.begin() + 2);
    entries.push_back(small0);
    Open(entries);

    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, "Too many portraits. ");
    EXPECT_EQ(host.Messages()[0].caption, "Error");
    EXPECT_EQ(dlg.PortraitCount(), 64);
    EXPECT_EQ(dlg.CurrentPortrait(), -1);
    ASSERT_NE(dlg.Record(0), nullptr);
    EXPECT_EQ(dlg.Record(0)->entryIndex[kSizeSmall], -1);
    EXPECT_EQ(Bar().max, 64);

    // Nothing is drawn from a record while none is current.
    EXPECT_EQ(Text(IDC_PORTRAIT_GROUP), "Portrait  0/64");
    ExpectRecordLabelsEmpty(host);
    for (int32_t slot = 0; slot < 3; ++slot)
        EXPECT_EQ(SlotPx(slot), kBlackRgb) << "slot " << slot;
    EXPECT_EQ(SlotPx(3), kDialogBackgroundRgb);

    host.ClearMessages();
    host.Command(IDC_EXPORT_ALL);
    host.Command(IDC_EXPORT);
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_TRUE(ListFolder(*game / "Portraits").empty());
}
