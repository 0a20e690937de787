// The editor on a small game, driven through the headless host.
#include <gtest/gtest.h>

#include "PortraitEditorDlg.h"
#include "HeadlessHost.h"
#include "Resources.h"
#include "GameDir.h"
#include "TestGame.h"

TEST(EditorSmoke, StartsOnPortraitZero)
{
    GameDir game(MakePortraitEntries(ManyPortraits(3)), /*makePortraits=*/false);
    ScopedChdir cd(game.Base());
    CHeadlessHost host;
    CPortraitEditorDlg dlg;
    host.Open(dlg);
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_EQ(dlg.PortraitCount(), 3);
    EXPECT_EQ(dlg.CurrentPortrait(), 0);
    EXPECT_EQ(host.GetControlText(IDC_PORTRAIT_GROUP), "Portrait  1/ 3");
    EXPECT_EQ(host.GetControlText(IDC_RACE), "Tvarran");
    EXPECT_EQ(host.GetControlText(IDC_GENDER), "male");
    EXPECT_EQ(host.GetControlText(IDC_FILE), "TVARM0");
    EXPECT_EQ(host.GetControlText(IDC_COLORS), "21x15x8");
    EXPECT_EQ(host.ScrollBar(IDC_PORTRAIT_SCROLLBAR)->position, 1);
    EXPECT_EQ(host.Canvas().GetPixel(11, 11), TestPaletteRgb(1));
    EXPECT_EQ(host.Canvas().GetPixel(10, 154), 0xFFFFFFu);
    EXPECT_TRUE(PathExists(game / "Portraits"));
    host.Command(IDOK);
    EXPECT_FALSE(host.IsOpen());
    EXPECT_EQ(host.Result(), IDOK);
}

TEST(EditorSmoke, WithNobodyToAnswerFileDialogsAreCancelledAndQuestionsGetNo)
{
    GameDir game(MakePortraitEntries(ManyPortraits(2)));
    ScopedChdir cd(game.Base());
    CHeadlessHost host;
    CPortraitEditorDlg dlg;
    host.Open(dlg);
    // Import and Export Catalogue stop where their dialogs are cancelled,
    // saying nothing and writing nothing.
    host.Command(IDC_IMPORT);
    host.ChooseMenuItem(ID_FILE_EXPORT_CATALOGUE);
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_EQ(host.Effects()->Result(CommandEffects::kImport), CommandEffects::Outcome::kNotRun);
    EXPECT_EQ(host.Effects()->Result(CommandEffects::kExportCatalogue), CommandEffects::Outcome::kNotRun);
    EXPECT_TRUE(host.Effects()->written.empty());
    EXPECT_FALSE(dlg.Image(kSizeLarge).HasChanges());
    // The panels are absent, and so is a program to open files in.
    EXPECT_EQ(host.PreviewCanvas(), nullptr);
    EXPECT_FALSE(host.OpenWithDefaultProgram(game / "Portraits"));
    // A question is shown, and answered with its default.
    EXPECT_FALSE(host.AskYesNo("Replace it?", "Info"));
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_TRUE(host.Messages()[0].question);
    host.Command(IDOK);
    EXPECT_EQ(host.Result(), IDOK);
}
