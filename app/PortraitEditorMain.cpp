// portrait-editor: the editor in its window. It is started in the game's
// base directory and takes no command-line arguments.
#include <QApplication>

#include "PortraitEditorApp.h"
#include "platform/qt/QtDialogHost.h"

CPortraitEditorApp theApp;

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    CQtDialogHost host;
    // InitInstance runs the dialog and returns false: the program ends as
    // soon as the dialog closes.
    return theApp.InitInstance(host) ? 1 : 0;
}
