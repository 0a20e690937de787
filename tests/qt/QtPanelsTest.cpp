// The panels beside the window's client area: they stand beside it without
// changing it, take the room the window is resized to, and the list and the
// View menu's keys work through the real widgets.
#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>

#include "QtWindowKit.h"

namespace {

constexpr uint32_t kBlack = 0x000000;

std::vector<TestPortrait> Portraits()
{
    std::vector<TestPortrait> portraits = ManyPortraits(5);
    portraits[0].mediumFrames = 3;
    return portraits;
}

} // namespace

TEST(QtPanelsTest, ThePanelsStandBesideAnUnchangedClientAreaAndTakeTheRoom)
{
    const TwinGames games(MakePortraitEntries(Portraits()));
    const std::vector<ViewSnapshot> headless = RunHeadless(games.headless.Base(), {});
    ScopedChdir cd(games.window.Base());
    WindowSession session;
    CPortraitEditorDlg dialog;
    session.Run(dialog, [&] {
        const int bar = session.host.MenuBar()->height();
        QWidget* list = session.host.ListPanel();
        QWidget* preview = session.host.PreviewPanel();
        ASSERT_NE(list, nullptr);
        ASSERT_NE(preview, nullptr);
        EXPECT_EQ(list->geometry(), QRect(521, bar, CQtDialogHost::kListWidth, 401));
        EXPECT_EQ(preview->geometry(),
                  QRect(521 + CQtDialogHost::kListWidth, bar, CQtDialogHost::kStartPreviewWidth, 401));
        QTreeWidget* rows = session.host.ListPanel()->List();
        ASSERT_EQ(rows->topLevelItemCount(), 5);
        EXPECT_EQ(rows->topLevelItem(1)->text(1).toStdString(), TestPortraitName(Portraits()[1]));
        EXPECT_EQ(rows->currentItem(), rows->topLevelItem(0));
        EXPECT_EQ(session.host.ListPanel()->Footer()->text(),
                  QStringLiteral("LARGE: original   MEDIUM: original   SMALL: original"));

        // Larger, the window gives the list height and the preview both;
        // the client area stays as the headless host paints it.
        session.Window()->resize(session.Window()->width() + 100, session.Window()->height() + 60);
        QApplication::processEvents();
        EXPECT_EQ(session.Client()->geometry(), QRect(0, bar, 521, 401));
        EXPECT_EQ(list->geometry(), QRect(521, bar, CQtDialogHost::kListWidth, 461));
        EXPECT_EQ(preview->size(), QSize(CQtDialogHost::kStartPreviewWidth + 100, 461));
        ExpectSameView(session.Snapshot(dialog), session.Grab(), headless[0]);

        // The preview shows the LARGE frame, centred, on the dialog's grey.
        const QImage shown = preview->grab().toImage();
        const QImage client = session.Grab();
        EXPECT_EQ(shown.pixel(shown.width() / 2, shown.height() / 2), client.pixel(11, 11));
        EXPECT_EQ(shown.pixel(0, 0) & 0xFFFFFF, kDialogBackgroundRgb);
    });
}

TEST(QtPanelsTest, TheListAndTheViewKeysWorkThroughTheWidgets)
{
    const TwinGames games(MakePortraitEntries(Portraits()));
    ScopedChdir cd(games.window.Base());
    WindowSession session;
    CPortraitEditorDlg dialog;
    session.Run(dialog, [&] {
        QTreeWidget* rows = session.host.ListPanel()->List();
        // A click on a row changes the portrait, as the scroll bar would.
        QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, rows->visualItemRect(rows->topLevelItem(2)).center());
        EXPECT_EQ(dialog.CurrentPortrait(), 2);
        EXPECT_EQ(session.ScrollBar()->value(), 3);
        EXPECT_EQ(session.host.GetControlText(IDC_PORTRAIT_GROUP), "Portrait  3/ 5");
        // The arrow keys and typing a name move on in the list.
        QTest::keyClick(rows, Qt::Key_Down);
        EXPECT_EQ(dialog.CurrentPortrait(), 3);
        QTest::keyClicks(rows, QString::fromStdString(TestPortraitName(Portraits()[1])).toLower());
        EXPECT_EQ(dialog.CurrentPortrait(), 1);
        EXPECT_EQ(rows->currentItem(), rows->topLevelItem(1));
        // The wheel over the client area moves the chosen row.
        Do::WheelAt(120, 200, 200).inWindow(session);
        EXPECT_EQ(rows->currentItem(), rows->topLevelItem(0));

        // Space plays the MEDIUM frames, wherever the focus is; + zooms in.
        session.Control(IDC_QUIT)->setFocus();
        QTest::keyClick(session.Window(), Qt::Key_Space);
        ASSERT_TRUE(session.IsOpen());
        EXPECT_TRUE(session.host.MenuAction(ID_VIEW_PLAY)->isChecked());
        EXPECT_TRUE(dialog.Panels().Preview().IsPlaying());
        const int32_t before = dialog.Panels().Preview().AnimationFrame();
        // The timer steps it on within a few intervals.
        for (int i = 0; i < 50 && dialog.Panels().Preview().AnimationFrame() == before; ++i)
            QTest::qWait(20);
        EXPECT_NE(dialog.Panels().Preview().AnimationFrame(), before);
        QTest::keyClick(session.Window(), Qt::Key_Space);
        EXPECT_FALSE(dialog.Panels().Preview().IsPlaying());
        QTest::keyClick(session.Window(), Qt::Key_Plus);
        EXPECT_NE(dialog.Panels().Preview().Zoom(), CPreviewPanel::kFit);
        session.host.MenuAction(ID_VIEW_BACKGROUND_BLACK)->trigger();
        const QImage shown = session.host.PreviewPanel()->grab().toImage();
        EXPECT_EQ(shown.pixel(0, 0) & 0xFFFFFF, kBlack);
    });
}

TEST(QtPanelsTest, TheListsMarksFollowWhatAnotherProgramWritesInPortraits)
{
    const TwinGames games(MakePortraitEntries(Portraits()));
    ScopedChdir cd(games.window.Base());
    WindowSession session;
    CPortraitEditorDlg dialog;
    session.Run(dialog, [&] {
        QTreeWidget* rows = session.host.ListPanel()->List();
        const auto marks = [rows] { return rows->topLevelItem(2)->text(5).toStdString(); };
        ASSERT_EQ(marks(), "");
        // A damaged override file, as another program might leave it: the
        // watch tells the window once the folder is quiet again.
        games.window.Dir().WriteFile("Portraits/L" + TestPortraitName(Portraits()[2]) + ".GFX", {1, 2, 3});
        EXPECT_TRUE(QTest::qWaitFor([&] { return marks() == "!"; }, 20000)) << marks();
        EXPECT_TRUE(session.modals.boxes.empty());
    });
}
