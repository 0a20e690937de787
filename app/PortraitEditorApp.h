// The application: runs the main dialog modally on the host it is given.
#pragma once

class IDialogHost;

class CPortraitEditorApp {
public:
    // Runs the main dialog, asking before overwriting (it is the window's),
    // and returns false, so that the program ends as
    // soon as the dialog closes.
    bool InitInstance(IDialogHost& host);
};
