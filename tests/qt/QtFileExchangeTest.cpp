// Files between the window and the desktop: a drop on the client area
// reaches the dialog as the headless host gives it, and the watcher, drag
// detection and timers of the Qt host give the dialog's messages.
#include <QApplication>
#include <algorithm>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <QUrl>
#include <filesystem>

#include "QtFileExchange.h"
#include "QtWindowKit.h"

namespace {

int FrameIndex(const CPortraitEditorDlg& dlg, PortraitSize size, int32_t frame)
{
    const CRasterSurface* s = dlg.Image(size).GetFrameSurface(frame);
    return s && s->m_pBits ? s->m_pBits[s->m_width + 1] : -1;
}

} // namespace

TEST(QtFileExchangeTest, AFileDroppedOnTheClientAreaIsImportedIntoTheSlotUnderIt)
{
    TestPortrait portrait{"TVAR", true, '1'};
    portrait.mediumFrames = 3;
    const GameDir game(MakePortraitEntries({portrait}));
    TempDir files;
    files.WriteFile("frame.tga", SolidTga(11, 7, 50));
    ScopedChdir cd(game.Base());
    WindowSession session;
    CPortraitEditorDlg dialog;
    session.Run(dialog, [&] {
        PixelRect slot{};
        CPortraitEditorDlg::GetSlotRect(4, slot); // MEDIUM frame 2
        const QPoint at(slot.left + 1, slot.top + 1);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(files / "frame.tga"))});
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(session.Client(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(session.Client(), &drop);
        EXPECT_TRUE(drop.isAccepted());
        EXPECT_EQ(FrameIndex(dialog, kSizeMedium, 2), 50);
        EXPECT_TRUE(session.modals.boxes.empty());

        // Text is no file: the drag is refused.
        QMimeData text;
        text.setText(QStringLiteral("frame.tga"));
        QDragEnterEvent refused(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(session.Client(), &refused);
        EXPECT_FALSE(refused.isAccepted());
    });
}

TEST(QtFileExchangeTest, TheWatcherNoticesARewrittenFileAndDragsAndTimersReachTheDialog)
{
    TempDir files;
    files.WriteFile("work.png", {1, 2, 3});
    const std::string path = files / "work.png";
    std::vector<DialogMessage> heard;
    CQtFileExchange exchange([&](DialogMessage m) { heard.push_back(std::move(m)); });
    auto count = [&](MessageKind kind) {
        return std::count_if(heard.begin(), heard.end(), [kind](const DialogMessage& m) { return m.kind == kind; });
    };
    exchange.WatchFile(path);
    // Written in place, then replaced by a file renamed over it as many
    // editors save, then written again: the watch follows the name.
    files.WriteFile("work.png", {4, 5, 6});
    EXPECT_TRUE(QTest::qWaitFor([&] { return count(MessageKind::FileChanged) >= 1; }, 5000));
    files.WriteFile("work.png.new", {7});
    std::filesystem::rename(files / "work.png.new", path);
    heard.clear();
    EXPECT_TRUE(QTest::qWaitFor([&] { return count(MessageKind::FileChanged) >= 1; }, 5000));
    QTest::qWait(50);
    heard.clear();
    files.WriteFile("work.png", {8});
    EXPECT_TRUE(QTest::qWaitFor([&] { return count(MessageKind::FileChanged) >= 1; }, 5000));
    for (const DialogMessage& m : heard)
        EXPECT_EQ(m.paths, std::vector<std::string>{path});
    exchange.StopWatching();
    QTest::qWait(50);
    heard.clear();
    files.WriteFile("work.png", {9});
    QTest::qWait(200);
    EXPECT_EQ(count(MessageKind::FileChanged), 0);

    // A press that moves past the drag distance begins one drag, from where
    // the button went down.
    const int distance = QApplication::startDragDistance();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(20, 30), QPointF(20, 30), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent near(QEvent::MouseMove, QPointF(21, 30), QPointF(21, 30), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QMouseEvent far(QEvent::MouseMove, QPointF(20 + distance, 30), QPointF(20 + distance, 30), Qt::NoButton,
                    Qt::LeftButton, Qt::NoModifier);
    exchange.Press(&press);
    exchange.Move(&near);
    EXPECT_EQ(count(MessageKind::BeginDrag), 0);
    exchange.Move(&far);
    exchange.Move(&far);
    ASSERT_EQ(count(MessageKind::BeginDrag), 1);
    EXPECT_EQ(heard.back().point.x, 20);
    EXPECT_EQ(heard.back().point.y, 30);

    // A timer runs out until it is killed, also from its own message.
    heard.clear();
    exchange.SetTimer(7, 10);
    EXPECT_TRUE(QTest::qWaitFor([&] { return count(MessageKind::Timer) >= 1; }, 5000));
    exchange.KillTimer(7);
    EXPECT_EQ(heard.back().id, 7);
    heard.clear();
    QTest::qWait(50);
    EXPECT_EQ(count(MessageKind::Timer), 0);
}
