// The keys the dialog hears before any control of the window does: Enter,
// which gives the command the dialog names for the control with the focus
// (CDialog::EnterCommand), and the browsing keys, which Qt's buttons would
// otherwise take to move the focus. Also the dialog's code of a Qt key.
#pragma once

#include <QObject>
#include <cstdint>

class CQtDialogHost;
class QEvent;
class QKeyEvent;

class CQtKeyFilter : public QObject {
public:
    // Filters the key presses of the widgets it is installed on.
    CQtKeyFilter(CQtDialogHost& host, QObject* parent) : QObject(parent), m_host(host) {}

    // The dialog manager's code for the keys it names, a letter's, digit's
    // or the space bar's own, and 0 for the rest.
    static uint32_t DialogKeyCode(int qtKey);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // True when the key was the dialog's; it then goes no further.
    bool TakeKey(const QKeyEvent& event);

    CQtDialogHost& m_host;
};
