#include "QtFolderChooser.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFileInfo>
#include <QPushButton>

CQtFolderChooser::CQtFolderChooser(QWidget* owner, const QString& title, const QString& startFolder,
                                   bool newFolderTaken)
    : QFileDialog(owner, title, startFolder), m_newFolderTaken(newFolderTaken)
{
    setFileMode(QFileDialog::Directory);
    setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    // Qt disables Choose while the name typed is no folder; for a new one it
    // is enabled again each time.
    if (auto* buttons = findChild<QDialogButtonBox*>())
        m_choose = buttons->button(QDialogButtonBox::Open);
    if (m_newFolderTaken && m_choose)
        m_choose->installEventFilter(this);
}

QString CQtFolderChooser::Chosen() const
{
    if (!m_newFolder.isEmpty())
        return m_newFolder;
    const QStringList files = selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

bool CQtFolderChooser::NamesNewFolder() const
{
    const QStringList files = selectedFiles();
    return m_newFolderTaken && files.size() == 1 && !files.first().isEmpty() && !QFileInfo::exists(files.first());
}

void CQtFolderChooser::accept()
{
    if (!NamesNewFolder()) {
        QFileDialog::accept();
        return;
    }
    m_newFolder = selectedFiles().first();
    QDialog::accept();
}

bool CQtFolderChooser::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_choose && event->type() == QEvent::EnabledChange && !m_choose->isEnabled() && NamesNewFolder())
        m_choose->setEnabled(true);
    return QFileDialog::eventFilter(watched, event);
}
