// The window's menu bar: built from the dialog's menu above the client area,
// which keeps its place and pixels; its actions set the dialog's options as
// the headless host's items do, and the File menu's run the catalogue's
// commands through the window's folder chooser; the dialog's keys still
// work beside it.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "QtWindowKit.h"

namespace {

class QtMenuTest : public ::testing::Test {
protected:
    std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        files.WriteFile(name, bytes);
        return files / name;
    }

    TempDir files;
};

TEST_F(QtMenuTest, TheMenuBarShowsTheOptionsMenuAboveTheClientArea)
{
    const TwinGames games(MakePortraitEntries(ManyPortraits(3)));
    ScopedChdir cd(games.window.Base());
    WindowSession session;
    CPortraitEditorDlg dialog;
    session.Run(dialog, [&] {
        QMenuBar* bar = session.host.MenuBar();
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->parentWidget(), session.Window());
        EXPECT_FALSE(bar->isNativeMenuBar());
        EXPECT_TRUE(bar->isVisible());
        EXPECT_EQ(bar->focusPolicy(), Qt::NoFocus);
        EXPECT_EQ(session.Client()->geometry().top(), bar->geometry().bottom() + 1);

        // After the File menu.
        ASSERT_EQ(bar->actions().size(), 5);
        QMenu* options = bar->actions()[2]->menu();
        ASSERT_NE(options, nullptr);
        EXPECT_EQ(bar->actions()[2]->text(), QStringLiteral("&Options"));
        // The items in template order, separators where it has them, each
        // radio group one exclusive group of actions.
        const std::vector<MenuItemTemplate>& items = PortraitEditorMenu().menus[2].items;
        const QList<QAction*> shown = options->actions();
        ASSERT_EQ(static_cast<size_t>(shown.size()), items.size());
        std::map<int32_t, QActionGroup*> groups;
        for (size_t i = 0; i < items.size(); ++i) {
            const MenuItemTemplate& item = items[i];
            QAction* action = shown[static_cast<qsizetype>(i)];
            SCOPED_TRACE(item.text);
            EXPECT_EQ(action->isSeparator(), item.id == 0);
            if (item.id == 0)
                continue;
            EXPECT_EQ(action, session.host.MenuAction(item.id));
            EXPECT_EQ(action->text().toStdString(), item.text);
            EXPECT_TRUE(action->isCheckable());
            EXPECT_TRUE(action->isEnabled());
            if (item.radioGroup == 0) {
                EXPECT_EQ(action->actionGroup(), nullptr);
                continue;
            }
            ASSERT_NE(action->actionGroup(), nullptr);
            EXPECT_TRUE(action->actionGroup()->isExclusive());
            QActionGroup*& group = groups[item.radioGroup];
            if (!group)
                group = action->actionGroup();
            EXPECT_EQ(action->actionGroup(), group);
        }
        EXPECT_EQ(groups.size(), 3u);

        // The defaults are checked.
        std::vector<int32_t> checked;
        for (const MenuItemTemplate& item : items)
            if (item.id != 0 && session.host.MenuAction(item.id)->isChecked())
                checked.push_back(item.id);
        EXPECT_EQ(checked, (std::vector<int32_t>{ID_OPTIONS_EXPORT_TGA, ID_OPTIONS_IMPORT_REMAP,
                                                 ID_OPTIONS_MATCH_CLASSIC}));

        // The window shows the client area under the bar as the client
        // area shows itself.
        const QImage window = session.Window()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage client = session.Grab();
        ASSERT_EQ(window.height(), client.height() + bar->height());
        EXPECT_EQ(window.copy(0, bar->height(), client.width(), client.height()), client);
    });
}

TEST_F(QtMenuTest, ItsActionsSetTheOptionsAsTheHeadlessHostsItemsDo)
{
    // A LARGE frame with its own colour map: index 77 is (1, 2, 3), which
    // the image palette does not hold.
    std::vector<uint8_t> ownMap = TestColourMap();
    ownMap[77 * 3 + 0] = 3;
    ownMap[77 * 3 + 1] = 2;
    ownMap[77 * 3 + 2] = 1;
    const std::string large = WriteFile("PAINTED_LARGE.TGA", SolidTga(21, 15, 77, ownMap));
    const TwinGames games(MakePortraitEntries(ManyPortraits(3)));

    const std::vector<Input> inputs = {
        Do::ChooseMenuItem(ID_OPTIONS_EXPORT_PNG),          // 0
        Do::ChooseMenuItem(ID_OPTIONS_MATCH_PERCEPTUAL),    // 1
        Do::ChooseMenuItem(ID_OPTIONS_DITHER),              // 2
        Do::ChooseMenuItem(ID_OPTIONS_IMPORT_FILE_PALETTE), // 3: ticks the box
        Do::ImportFile(large),                              // 4: with the file's palette
        Do::ToggleCheck(),                                  // 5: back to remap
        Do::ChooseMenuItem(ID_OPTIONS_IMPORT_KEEP_INDICES), // 6
        Do::ToggleCheck(),                                  // 7: the file's palette again
        Do::ChooseMenuItem(ID_OPTIONS_EXPORT_PNG),          // 8: chosen again, stays chosen
        Do::ChooseMenuItem(ID_OPTIONS_DITHER),              // 9: off again
        Do::WheelAt(-120, 300, 200),                        // 10: another portrait keeps the options
        Do::ChooseMenuItem(ID_OPTIONS_IMPORT_REMAP),        // 11: unticks the box
    };
    const std::vector<ViewSnapshot> headless = RunHeadless(games.headless.Base(), inputs);
    ASSERT_EQ(headless.size(), inputs.size() + 1);

    ScopedChdir cd(games.window.Base());
    WindowSession session;
    CPortraitEditorDlg dialog;
    session.Run(dialog, [&] {
        ExpectSameView(session.Snapshot(dialog), session.Grab(), headless[0]);
        auto* box = qobject_cast<QCheckBox*>(session.Control(IDC_USE_TGA_PALETTE));
        ASSERT_NE(box, nullptr);
        for (size_t i = 0; i < inputs.size() && session.IsOpen(); ++i) {
            SCOPED_TRACE("input " + std::to_string(i) + ": " + inputs[i].name);
            QImage grabbed;
            const ViewSnapshot shown = session.Step(dialog, inputs[i], grabbed);
            ExpectSameView(shown, grabbed, headless[i + 1]);
            const ImportOptions options = dialog.GetImportOptions();
            switch (i) {
            case 0: EXPECT_EQ(dialog.GetExportFormat(), ExportFormat::kPng); break;
            case 1: EXPECT_EQ(options.metric, ColourMetric::kPerceptual); break;
            case 2: EXPECT_TRUE(options.dither); break;
            case 3:
            case 7:
                EXPECT_EQ(options.mode, ImportMode::kFilePalette);
                EXPECT_TRUE(box->isChecked());
                EXPECT_TRUE(session.host.MenuAction(ID_OPTIONS_IMPORT_FILE_PALETTE)->isChecked());
                break;
            case 4: {
                PixelRect r{};
                CPortraitEditorDlg::GetSlotRect(0, r);
                EXPECT_EQ(grabbed.pixel(r.left + 1, r.top + 1) & 0xFFFFFFu, 0x010203u);
                break;
            }
            case 5:
                EXPECT_EQ(options.mode, ImportMode::kRemap);
                EXPECT_TRUE(session.host.MenuAction(ID_OPTIONS_IMPORT_REMAP)->isChecked());
                EXPECT_FALSE(session.host.MenuAction(ID_OPTIONS_IMPORT_FILE_PALETTE)->isChecked());
                break;
            case 6:
                EXPECT_EQ(options.mode, ImportMode::kKeepIndices);
                EXPECT_FALSE(box->isChecked());
                break;
            case 8: EXPECT_TRUE(session.host.MenuAction(ID_OPTIONS_EXPORT_PNG)->isChecked()); break;
            case 9: EXPECT_FALSE(options.dither); break;
            case 10:
                EXPECT_EQ(dialog.CurrentPortrait(), 1);
                EXPECT_EQ(dialog.GetExportFormat(), ExportFormat::kPng);
                EXPECT_EQ(options.metric, ColourMetric::kPerceptual);
                EXPECT_EQ(options.mode, ImportMode::kFilePalette);
                break;
            case 11:
                EXPECT_EQ(options.mode, ImportMode::kRemap);
                EXPECT_FALSE(box->isChecked());
                break;
            default: break;
            }
        }
        EXPECT_TRUE(session.modals.boxes.empty());
    });
}

TEST_F(QtMenuTest, TheFileMenuComesFirstAndExportsTheCatalogueThroughTheFolderChooser)
{
    const TwinGames games(MakePortraitEntries(ManyPortraits(3)));
    ScopedChdir cd(games.window.Base());
    WindowSession session;
    CPortraitEditorDlg dialog;
    const std::string out = files / "catalogue";
    session.Run(dialog, [&] {
        QMenuBar* bar = session.host.MenuBar();
        ASSERT_NE(bar, nullptr);
        ASSERT_EQ(bar->actions().size(), 5);
        EXPECT_EQ(bar->actions()[0]->text(), QStringLiteral("&File"));
        QMenu* file = bar->actions()[0]->menu();
        ASSERT_NE(file, nullptr);
        QStringList shown;
        for (QAction* action : file->actions()) {
            shown << (action->isSeparator() ? QStringLiteral("-") : action->text());
            EXPECT_FALSE(action->isCheckable());
        }
        EXPECT_EQ(shown, (QStringList{"&Open Game Folder...", "-", "&Export Catalogue...", "&Import Catalogue...", "&Validate...", "-",
                                      "&Revert Portrait to Original", "-", "&Quit"}));
        EXPECT_EQ(session.host.MenuAction(ID_FILE_EXPORT_CATALOGUE), file->actions()[2]);

        session.modals.QueueFolder(out);
        session.Perform(Do::ChooseMenuItem(ID_FILE_EXPORT_CATALOGUE));
        ASSERT_EQ(session.modals.folderRequests.size(), 1u);
        EXPECT_EQ(session.modals.folderRequests[0].owner, session.Window());
        EXPECT_EQ(session.modals.folderRequests[0].startFolder, dialog.BaseDir());
        ASSERT_EQ(session.modals.progress.size(), 1u);
        EXPECT_EQ(session.modals.progress[0].second.size(), 3u);
        ASSERT_EQ(session.modals.boxes.size(), 1u);
        EXPECT_EQ(session.modals.boxes[0].text, "The catalogue was exported into\n" + out +
                                                    "\nFiles written: 9, and manifest.json.");
        EXPECT_EQ(session.modals.boxes[0].owner, session.Window());
        EXPECT_TRUE(PathExists(out + "/manifest.json"));
    });
}

TEST_F(QtMenuTest, AltOpensTheMenuAndTheDialogsKeysStillWork)
{
    const TwinGames games(MakePortraitEntries(ManyPortraits(3)));
    ScopedChdir cd(games.window.Base());
    WindowSession session;
    CPortraitEditorDlg dialog;
    const int32_t result = session.Run(dialog, [&] {
        QWidget* quit = session.Control(IDC_QUIT);
        session.Perform(Do::TabTo(IDC_QUIT));
        ASSERT_EQ(QApplication::focusWidget(), quit);
        // Alt with the menu's letter opens it; the item's letter chooses.
        QTest::keyClick(quit, Qt::Key_O, Qt::AltModifier);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr) << "Alt+O opened no menu";
        QTest::keyClick(menu, Qt::Key_P);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        EXPECT_EQ(dialog.GetExportFormat(), ExportFormat::kPng);
        EXPECT_TRUE(session.host.MenuAction(ID_OPTIONS_EXPORT_PNG)->isChecked());

        // Escape closes an open menu and leaves the bar with the keyboard,
        // as menu bars do; a second Escape leaves the bar. Neither reaches
        // the dialog as its cancel.
        QTest::keyClick(quit, Qt::Key_O, Qt::AltModifier);
        menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        QTest::keyClick(menu, Qt::Key_Escape);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        EXPECT_EQ(QApplication::focusWidget(), session.host.MenuBar());
        QTest::keyClick(session.host.MenuBar(), Qt::Key_Escape);
        EXPECT_TRUE(session.IsOpen());
        EXPECT_EQ(dialog.GetExportFormat(), ExportFormat::kPng);

        // The focus is back on "Quit", and Enter presses it.
        EXPECT_EQ(QApplication::focusWidget(), quit);
        session.Perform(Do::EnterKey());
        EXPECT_FALSE(session.IsOpen());
    });
    EXPECT_EQ(result, IDOK);
}

} // namespace

TEST_F(QtMenuTest, CtrlZUndoesAnImportAndTheEditMenuFollows)
{
    const TwinGames games(MakePortraitEntries(ManyPortraits(2)));
    ScopedChdir cd(games.window.Base());
    WindowSession session;
    CPortraitEditorDlg dialog;
    const std::string large = WriteFile("PAINTED_LARGE.TGA", SolidTga(21, 15, 77));
    session.Run(dialog, [&] {
        QAction* undo = session.host.MenuAction(ID_EDIT_UNDO);
        QAction* redo = session.host.MenuAction(ID_EDIT_REDO);
        ASSERT_TRUE(undo && redo);
        EXPECT_EQ(undo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
        EXPECT_EQ(redo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
        EXPECT_FALSE(undo->isEnabled() || redo->isEnabled());
        session.Perform(Do::ImportFile(large));
        EXPECT_TRUE(undo->isEnabled());
        QTest::keyClick(session.Control(IDC_QUIT), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_FALSE(undo->isEnabled());
        EXPECT_TRUE(redo->isEnabled());
        EXPECT_FALSE(dialog.Image(kSizeLarge).HasChanges());
        QTest::keyClick(session.Control(IDC_QUIT), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_TRUE(dialog.Image(kSizeLarge).HasChanges());
    });
}
