// portrait-editor: the editor in its window. It is started in the game's
// base directory and takes no command-line arguments.
#include <QApplication>
#include <cstdio>
#include <exception>
#include <new>

#include "PortraitEditorApp.h"
#include "QtDialogHost.h"

CPortraitEditorApp theApp;

int main(int argc, char** argv)
{
    // The host reports what a handler throws; anything that escapes it
    // still ends the program with a reason rather than an abort.
    try {
        QApplication application(argc, argv);
        CQtDialogHost host;
        // InitInstance runs the dialog and returns false: the program ends as
        // soon as the dialog closes.
        return theApp.InitInstance(host) ? 1 : 0;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "portrait-editor: not enough memory; the editor had to stop.\n");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "portrait-editor: stopped by an error: %s\n", e.what());
    }
    return 1;
}
