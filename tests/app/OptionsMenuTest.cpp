// The Options menu on the headless host: what it holds, how choosing its
// items sets the dialog's options and check marks, and how "Use file
// palette" and the check box stay in step. Also the menu in the dialog
// layer: the headless host's items, a host without menus, command ranges.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "EditorTestKit.h"
#include "OptionsMenu.h"

namespace {

constexpr int32_t kItems[] = {ID_OPTIONS_EXPORT_TGA,          ID_OPTIONS_EXPORT_PNG,          ID_OPTIONS_IMPORT_REMAP,
                              ID_OPTIONS_IMPORT_KEEP_INDICES, ID_OPTIONS_IMPORT_FILE_PALETTE, ID_OPTIONS_MATCH_CLASSIC,
                              ID_OPTIONS_MATCH_PERCEPTUAL,    ID_OPTIONS_DITHER};

class OptionsMenuTest : public EditorFixture {
protected:
    void SetUp() override { Open(MakePortraitEntries(ManyPortraits(3))); }

    // The items whose check mark is on, in menu order.
    std::vector<int32_t> Checked() const
    {
        std::vector<int32_t> on;
        for (int32_t id : kItems)
            if (host.IsMenuItemChecked(id))
                on.push_back(id);
        return on;
    }
    bool BoxTicked() const { return host.GetCheck(IDC_USE_TGA_PALETTE) != 0; }
};

TEST_F(OptionsMenuTest, TheDialogHasAnOptionsMenuWithTheDefaultsChecked)
{
    const MenuTemplate* menu = host.Menu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->id, IDR_PORTRAITEDITOR_MENU);
    // After the File and Edit menus, before View and Help.
    ASSERT_EQ(menu->menus.size(), 5u);
    EXPECT_EQ(menu->menus[2].text, "&Options");
    struct Expected {
        int32_t id;
        const char* text;
        int32_t group;
    };
    const std::vector<Expected> expected = {
        {ID_OPTIONS_EXPORT_TGA, "Export as &TGA", 1},
        {ID_OPTIONS_EXPORT_PNG, "Export as &PNG", 1},
        {0, "", 0},
        {ID_OPTIONS_IMPORT_REMAP, "&Remap colours", 2},
        {ID_OPTIONS_IMPORT_KEEP_INDICES, "&Keep indices", 2},
        {ID_OPTIONS_IMPORT_FILE_PALETTE, "Use &file palette", 2},
        {0, "", 0},
        {ID_OPTIONS_MATCH_CLASSIC, "&Classic matching", 3},
        {ID_OPTIONS_MATCH_PERCEPTUAL, "P&erceptual matching", 3},
        {0, "", 0},
        {ID_OPTIONS_DITHER, "&Dithering", 0},
    };
    const std::vector<MenuItemTemplate>& items = menu->menus[2].items;
    ASSERT_EQ(items.size(), expected.size());
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(items[i].id, expected[i].id);
        EXPECT_EQ(items[i].text, expected[i].text);
        EXPECT_EQ(items[i].checkable, items[i].id != 0);
        EXPECT_EQ(items[i].radioGroup, expected[i].group);
    }
    // No item shares an id with a control of the template.
    for (const ControlTemplate& c : PortraitEditorDialogTemplate().controls)
        EXPECT_EQ(FindMenuItem(*menu, c.id), nullptr) << c.id;
    EXPECT_EQ(FindMenuItem(*menu, IDC_PORTRAIT_SCROLLBAR), nullptr);

    EXPECT_EQ(Checked(), (std::vector<int32_t>{ID_OPTIONS_EXPORT_TGA, ID_OPTIONS_IMPORT_REMAP, ID_OPTIONS_MATCH_CLASSIC}));
    EXPECT_FALSE(BoxTicked());
}

TEST_F(OptionsMenuTest, ChoosingItemsSetsTheOptionsAndTheirCheckMarks)
{
    host.ChooseMenuItem(ID_OPTIONS_EXPORT_PNG);
    EXPECT_EQ(dlg.GetExportFormat(), ExportFormat::kPng);
    host.ChooseMenuItem(ID_OPTIONS_IMPORT_KEEP_INDICES);
    EXPECT_EQ(dlg.GetImportOptions().mode, ImportMode::kKeepIndices);
    host.ChooseMenuItem(ID_OPTIONS_MATCH_PERCEPTUAL);
    EXPECT_EQ(dlg.GetImportOptions().metric, ColourMetric::kPerceptual);
    host.ChooseMenuItem(ID_OPTIONS_DITHER);
    EXPECT_TRUE(dlg.GetImportOptions().dither);
    EXPECT_EQ(Checked(), (std::vector<int32_t>{ID_OPTIONS_EXPORT_PNG, ID_OPTIONS_IMPORT_KEEP_INDICES,
                                               ID_OPTIONS_MATCH_PERCEPTUAL, ID_OPTIONS_DITHER}));
    EXPECT_FALSE(BoxTicked());

    // A radio item chosen again stays chosen; Dithering goes off again.
    host.ChooseMenuItem(ID_OPTIONS_EXPORT_PNG);
    host.ChooseMenuItem(ID_OPTIONS_DITHER);
    EXPECT_EQ(dlg.GetExportFormat(), ExportFormat::kPng);
    EXPECT_FALSE(dlg.GetImportOptions().dither);

    // The choices last for the run: moving to another portrait keeps them.
    host.Wheel(-120);
    EXPECT_EQ(dlg.CurrentPortrait(), 1);
    host.ChooseMenuItem(ID_OPTIONS_EXPORT_TGA);
    host.ChooseMenuItem(ID_OPTIONS_MATCH_CLASSIC);
    host.Wheel(120);
    EXPECT_EQ(dlg.CurrentPortrait(), 0);
    EXPECT_EQ(dlg.GetExportFormat(), ExportFormat::kTga);
    EXPECT_EQ(dlg.GetImportOptions().mode, ImportMode::kKeepIndices);
    EXPECT_EQ(dlg.GetImportOptions().metric, ColourMetric::kClassic);
    EXPECT_EQ(Checked(), (std::vector<int32_t>{ID_OPTIONS_EXPORT_TGA, ID_OPTIONS_IMPORT_KEEP_INDICES,
                                               ID_OPTIONS_MATCH_CLASSIC}));
    // Choosing says nothing and writes nothing.
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_TRUE(host.Effects()->written.empty());

    // What Export writes follows the menu.
    host.ChooseMenuItem(ID_OPTIONS_EXPORT_PNG);
    host.Command(IDC_EXPORT_ALL);
    ASSERT_FALSE(host.Effects()->written.empty());
    for (const std::string& path : host.Effects()->written)
        EXPECT_EQ(path.substr(path.size() - 4), ".PNG") << path;
}

TEST_F(OptionsMenuTest, UseFilePaletteAndTheCheckBoxStayInStep)
{
    // Choosing the item ticks the box.
    host.ChooseMenuItem(ID_OPTIONS_IMPORT_FILE_PALETTE);
    EXPECT_TRUE(BoxTicked());
    EXPECT_EQ(dlg.GetImportOptions().mode, ImportMode::kFilePalette);
    EXPECT_EQ(Checked(), (std::vector<int32_t>{ID_OPTIONS_EXPORT_TGA, ID_OPTIONS_IMPORT_FILE_PALETTE,
                                               ID_OPTIONS_MATCH_CLASSIC}));
    // Unticking the box returns to remap.
    host.ToggleCheck(IDC_USE_TGA_PALETTE);
    EXPECT_FALSE(BoxTicked());
    EXPECT_EQ(dlg.GetImportOptions().mode, ImportMode::kRemap);
    EXPECT_TRUE(host.IsMenuItemChecked(ID_OPTIONS_IMPORT_REMAP));
    EXPECT_FALSE(host.IsMenuItemChecked(ID_OPTIONS_IMPORT_FILE_PALETTE));

    // Ticking the box selects the item, from keep indices too; unticking it
    // then goes to remap, not back to keep indices.
    host.ChooseMenuItem(ID_OPTIONS_IMPORT_KEEP_INDICES);
    host.ToggleCheck(IDC_USE_TGA_PALETTE);
    EXPECT_TRUE(BoxTicked());
    EXPECT_EQ(dlg.GetImportOptions().mode, ImportMode::kFilePalette);
    EXPECT_TRUE(host.IsMenuItemChecked(ID_OPTIONS_IMPORT_FILE_PALETTE));
    EXPECT_FALSE(host.IsMenuItemChecked(ID_OPTIONS_IMPORT_KEEP_INDICES));
    host.ToggleCheck(IDC_USE_TGA_PALETTE);
    EXPECT_EQ(dlg.GetImportOptions().mode, ImportMode::kRemap);

    // Another mode chosen in the menu unticks the box.
    host.ChooseMenuItem(ID_OPTIONS_IMPORT_FILE_PALETTE);
    host.ChooseMenuItem(ID_OPTIONS_IMPORT_KEEP_INDICES);
    EXPECT_FALSE(BoxTicked());
    host.ChooseMenuItem(ID_OPTIONS_IMPORT_FILE_PALETTE);
    host.ChooseMenuItem(ID_OPTIONS_IMPORT_REMAP);
    EXPECT_FALSE(BoxTicked());
    // The other options stay as they are throughout.
    EXPECT_EQ(dlg.GetImportOptions().metric, ColourMetric::kClassic);
    EXPECT_FALSE(dlg.GetImportOptions().dither);
}

TEST_F(OptionsMenuTest, OptionsSetFromOutsideShowInTheMenu)
{
    // As the command-line tool sets them.
    dlg.SetImportOptions({ImportMode::kFilePalette, ColourMetric::kPerceptual, true});
    dlg.SetExportFormat(ExportFormat::kPng);
    EXPECT_TRUE(BoxTicked());
    EXPECT_EQ(Checked(), (std::vector<int32_t>{ID_OPTIONS_EXPORT_PNG, ID_OPTIONS_IMPORT_FILE_PALETTE,
                                               ID_OPTIONS_MATCH_PERCEPTUAL, ID_OPTIONS_DITHER}));
    dlg.SetImportOptions({});
    EXPECT_FALSE(BoxTicked());
    EXPECT_EQ(Checked(), (std::vector<int32_t>{ID_OPTIONS_EXPORT_PNG, ID_OPTIONS_IMPORT_REMAP, ID_OPTIONS_MATCH_CLASSIC}));
}

TEST(OptionsMenuItems, EachItemSetsWhatItNamesAndNothingElse)
{
    for (int32_t id : kItems) {
        SCOPED_TRACE(id);
        ImportOptions options;
        ExportFormat format = ExportFormat::kTga;
        ASSERT_TRUE(ApplyOptionsMenuItem(id, options, format));
        EXPECT_TRUE(IsOptionsMenuItemChecked(id, options, format));
        // One item of each other group keeps its default.
        const int changed = (format != ExportFormat::kTga) + (options.mode != ImportMode::kRemap) +
                            (options.metric != ColourMetric::kClassic) + options.dither;
        EXPECT_LE(changed, 1);
    }
    ImportOptions options;
    ExportFormat format = ExportFormat::kPng;
    EXPECT_FALSE(ApplyOptionsMenuItem(IDC_EXPORT, options, format));
    EXPECT_FALSE(ApplyOptionsMenuItem(0, options, format));
    EXPECT_EQ(format, ExportFormat::kPng);
    EXPECT_EQ(options.mode, ImportMode::kRemap);
    EXPECT_FALSE(IsOptionsMenuItemChecked(IDC_EXPORT, options, format));
}

// The menu in the dialog layer, with a dialog of its own.
constexpr int32_t kFirst = 40001, kSecond = 40002, kSwitch = 40003, kOther = 40004;

class CMenuDialog : public CDialog {
public:
    CMenuDialog() : CDialog(PortraitEditorDialogTemplate()) {}
    bool OnInitDialog() override
    {
        SetMenu({7,
                 {{"&File", {{kFirst, "First", true, 5, ""}, {0, "", false, 0, ""}, {kSecond, "Second", true, 5, ""}}},
                  {"&View", {{kSwitch, "Switch", true, 0, ""}, {kOther, "Other", false, 0, "Ctrl+O"}}}}});
        CheckMenuItem(kFirst, true);
        return true;
    }
    void OnItem(int32_t id) { heard.push_back(id); }
    std::vector<int32_t> heard;

protected:
    const MessageMap& GetMessageMap() const override
    {
        static const MessageMap map = {OnCommandRangeEntry(kFirst, kOther, &CMenuDialog::OnItem)};
        return map;
    }
};

TEST(HeadlessMenu, ItemsAreChosenAsInAWindowAndEveryIdOfTheRangeIsHeard)
{
    CHeadlessHost host;
    CMenuDialog dialog;
    host.Open(dialog);
    ASSERT_NE(host.Menu(), nullptr);
    EXPECT_EQ(host.Menu()->menus.size(), 2u);
    EXPECT_TRUE(host.IsMenuItemChecked(kFirst));

    // A radio item becomes the one checked of its group, across separators.
    host.ChooseMenuItem(kSecond);
    EXPECT_FALSE(host.IsMenuItemChecked(kFirst));
    EXPECT_TRUE(host.IsMenuItemChecked(kSecond));
    host.ChooseMenuItem(kSecond);
    EXPECT_TRUE(host.IsMenuItemChecked(kSecond));
    // A checkable item flips; a plain one keeps no mark.
    host.ChooseMenuItem(kSwitch);
    EXPECT_TRUE(host.IsMenuItemChecked(kSwitch));
    host.ChooseMenuItem(kSwitch);
    EXPECT_FALSE(host.IsMenuItemChecked(kSwitch));
    host.ChooseMenuItem(kOther);
    EXPECT_FALSE(host.IsMenuItemChecked(kOther));
    // An id that is no item (a separator's 0, a control) does nothing.
    host.ChooseMenuItem(0);
    host.ChooseMenuItem(IDC_EXPORT);
    EXPECT_EQ(dialog.heard, (std::vector<int32_t>{kSecond, kSecond, kSwitch, kSwitch, kOther}));
    // Checking an item unchecks the rest of its group only.
    host.CheckMenuItem(kSwitch, true);
    host.CheckMenuItem(kFirst, true);
    EXPECT_FALSE(host.IsMenuItemChecked(kSecond));
    EXPECT_TRUE(host.IsMenuItemChecked(kSwitch));
    // The range ends where it says.
    host.Command(kOther + 1);
    host.Command(kFirst - 1);
    EXPECT_EQ(dialog.heard.size(), 5u);
    // A disabled item gives no command until it is enabled again.
    host.EnableMenuItem(kOther, false);
    EXPECT_FALSE(host.IsMenuItemEnabled(kOther));
    host.ChooseMenuItem(kOther);
    EXPECT_EQ(dialog.heard.size(), 5u);
    host.EnableMenuItem(kOther, true);
    host.ChooseMenuItem(kOther);
    EXPECT_EQ(dialog.heard.size(), 6u);
}

// A host that knows nothing of menus.
class CNoMenuHost : public CHeadlessHost {
public:
    void SetMenu(const MenuTemplate& menu) override { IDialogHost::SetMenu(menu); }
    void CheckMenuItem(int32_t id, bool checked) override { IDialogHost::CheckMenuItem(id, checked); }
    bool IsMenuItemChecked(int32_t id) const override { return IDialogHost::IsMenuItemChecked(id); }
};

TEST(HeadlessMenu, AHostWithoutMenusNeedsNothingAndTheEditorRunsOnIt)
{
    const GameDir game(MakePortraitEntries(ManyPortraits(2)));
    const ScopedChdir cd(game.Base());
    CNoMenuHost host;
    CPortraitEditorDlg dialog;
    host.Open(dialog);
    EXPECT_EQ(host.Menu(), nullptr);
    EXPECT_FALSE(dialog.IsMenuItemChecked(ID_OPTIONS_EXPORT_TGA));
    // The menu's commands still work when they arrive.
    host.Command(ID_OPTIONS_EXPORT_PNG);
    EXPECT_EQ(dialog.GetExportFormat(), ExportFormat::kPng);
    host.ToggleCheck(IDC_USE_TGA_PALETTE);
    EXPECT_EQ(dialog.GetImportOptions().mode, ImportMode::kFilePalette);
    EXPECT_EQ(dialog.PortraitCount(), 2);
}

} // namespace
