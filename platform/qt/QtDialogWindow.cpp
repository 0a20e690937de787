#include "QtDialogWindow.h"

#include <QCloseEvent>
#include <QKeyEvent>

#include "DialogMessage.h"
#include "QtDialogHost.h"
#include "QtKeyFilter.h"

void CQtDialogWindow::keyPressEvent(QKeyEvent* event)
{
    // Keys come with the dialog's codes (Enter and the browsing keys
    // reached it before any control did).
    const int key = event->key();
    DialogMessage down{MessageKind::KeyDown};
    down.key = CQtKeyFilter::DialogKeyCode(key);
    m_host.Deliver(down);
    if (!event->text().isEmpty()) {
        DialogMessage ch{MessageKind::Char};
        ch.key = event->text().at(0).unicode();
        m_host.Deliver(ch);
    }
    // Escape is the cancel command.
    if (key == Qt::Key_Escape) {
        m_host.Deliver(DialogMessage::Command(IDCANCEL));
        return;
    }
    QDialog::keyPressEvent(event);
}

void CQtDialogWindow::closeEvent(QCloseEvent* event)
{
    // The close box is the cancel command; the window closes only when the
    // dialog ends itself.
    if (!m_host.m_ended) {
        event->ignore();
        m_host.Deliver(DialogMessage::Command(IDCANCEL));
    }
}

void CQtDialogWindow::reject()
{
    if (m_host.m_ended)
        QDialog::reject();
}

void CQtDialogWindow::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    m_host.LayOut();
}
