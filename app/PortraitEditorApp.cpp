#include "PortraitEditorApp.h"

#include "PortraitEditorDlg.h"

bool CPortraitEditorApp::InitInstance(IDialogHost& host)
{
    CPortraitEditorDlg dialog(nullptr);
    dialog.DoModal(host); // the result is not used
    return false;
}
