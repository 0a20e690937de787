// startup-time: how long the editor takes from the top of main() to the first
// paint of its window in a game directory. It prints "startup to first
// paint: N ms" and closes the window without saving (nothing was changed).
// A message box on the way (no archive, say) is printed and fails the run
// rather than wait for a click. Run it with QT_QPA_PLATFORM=offscreen where
// there is no display; tools/measure-startup.sh runs it several times.
//   usage: startup-time GAME_DIR

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "FileSystem.h"
#include "PortraitEditorDlg.h"
#include "QtDialogHost.h"
#include "QtModalDialogs.h"
#include "Resources.h"

namespace {

using Clock = std::chrono::steady_clock;

// Calls back once, when the watched widget's first paint has been handled:
// the filter sees the event before the widget paints, so the call waits for
// the event loop to come round again.
class CFirstPaint : public QObject {
public:
    explicit CFirstPaint(std::function<void()> painted) : m_painted(std::move(painted)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, this, m_painted);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_painted;
    bool m_seen = false;
};

// The modal dialogs as lines on standard error: a box counts as a failed
// start, a question is answered No, a file or folder dialog cancelled, and
// progress shows nothing.
class CReportingModals : public IQtModalDialogs {
public:
    void ShowMessage(QWidget*, const std::string& text, const std::string& caption) override
    {
        std::fprintf(stderr, "startup-time: %s: %s\n", caption.c_str(), text.c_str());
        failed = true;
    }
    bool AskYesNo(QWidget* owner, const std::string& text, const std::string& caption) override
    {
        ShowMessage(owner, text, caption);
        return false;
    }
    bool AskYesNoDefaultYes(QWidget* owner, const std::string& text, const std::string& caption) override
    {
        return AskYesNo(owner, text, caption);
    }
    bool GetOpenFileName(QWidget*, const OpenFileRequest&, std::string&) override { return false; }
    bool ChooseFolder(QWidget*, const std::string&, const std::string&, std::string&) override { return false; }
    void BeginProgress(QWidget*, const std::string&, int32_t) override {}
    bool StepProgress(int32_t, const std::string&) override { return true; }
    void EndProgress() override {}

    bool failed = false;
};

} // namespace

int main(int argc, char** argv)
{
    const Clock::time_point start = Clock::now();
    if (argc != 2) {
        std::fprintf(stderr, "usage: startup-time GAME_DIR\n");
        return 2;
    }
    QApplication application(argc, argv);
    if (!CFileSystem::SetCurrentDir(argv[1])) {
        std::perror(argv[1]);
        return 1;
    }
    CReportingModals modals;
    CQtDialogHost host(modals);
    CPortraitEditorDlg dialog;
    Clock::duration elapsed{};
    bool painted = false;
    CFirstPaint firstPaint([&] {
        elapsed = Clock::now() - start;
        painted = true;
        host.EndDialog(IDCANCEL);
    });
    host.SetOnShown([&](CQtDialogHost& h) {
        // The client area shows the canvas; the window's own background
        // before it is not yet the editor.
        h.ClientArea()->installEventFilter(&firstPaint);
        QTimer::singleShot(std::chrono::seconds(20), h.Window(), [&h] { h.EndDialog(IDCANCEL); });
    });
    dialog.DoModal(host);
    if (!painted || modals.failed) {
        std::fprintf(stderr, "startup-time: the window was not painted\n");
        return 1;
    }
    std::printf("startup to first paint: %lld ms\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()));
    return 0;
}
