#include "PortraitEditorApp.h"

#include "PortraitEditorDlg.h"

bool CPortraitEditorApp::InitInstance(IDialogHost& host)
{
    CPortraitEditorDlg dialog(nullptr);
    // The window's user may have edited exported files in place.
    dialog.SetAskBeforeOverwriting(true);
    dialog.DoModal(host); // the result is not used
    return false;
}
