// editor-screenshot: starts the editor's window in a game directory, lets it
// paint, saves a picture of it as PNG and closes it without saving anything.
// It makes the README's screenshot; run it with QT_QPA_PLATFORM=offscreen
// where there is no display.
//   usage: editor-screenshot GAME_DIR OUTPUT.png [PORTRAIT_NUMBER] [SLOT]

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "FileSystem.h"
#include "PortraitEditorDlg.h"
#include "DialogMessage.h"
#include "QtDialogHost.h"
#include "Resources.h"

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: editor-screenshot GAME_DIR OUTPUT.png [PORTRAIT_NUMBER] [SLOT]\n");
        return 2;
    }
    // The output is named from where the program was started, before it
    // changes into the game directory.
    const QString output = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    const int portrait = argc > 3 ? std::atoi(argv[3]) : 1;
    const int slot = argc > 4 ? std::atoi(argv[4]) : 0;
    QApplication application(argc, argv);
    if (!CFileSystem::SetCurrentDir(argv[1])) {
        std::perror(argv[1]);
        return 1;
    }
    CQtDialogHost host;
    CPortraitEditorDlg dialog;
    bool saved = false;
    host.SetOnShown([&](CQtDialogHost& h) {
        QTimer::singleShot(200, [&] {
            // The same inputs a user would give: the scroll thumb, then a click.
            DialogMessage scroll{MessageKind::HScroll};
            scroll.id = IDC_PORTRAIT_SCROLLBAR;
            scroll.code = SB_THUMBPOSITION;
            scroll.position = portrait;
            dialog.Dispatch(scroll);
            PixelRect r{};
            CPortraitEditorDlg::GetSlotRect(slot, r);
            DialogMessage click{MessageKind::LButtonDown};
            click.point = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
            dialog.Dispatch(click);
            h.Window()->repaint();
            saved = h.Window()->grab().save(output, "PNG");
            h.EndDialog(IDCANCEL); // no changes were made, so there is nothing to save
        });
    });
    dialog.DoModal(host);
    if (!saved) {
        std::fprintf(stderr, "editor-screenshot: could not write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
