// The Qt host's window: turns keys and the close box into the dialog's
// messages, and lays the menu bar, the client area and the panels out anew
// when it is resized.
#pragma once

#include <QDialog>

class CQtDialogHost;

class CQtDialogWindow : public QDialog {
public:
    explicit CQtDialogWindow(CQtDialogHost& host) : m_host(host) {}

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    CQtDialogHost& m_host;
};
