#include "QtSuggestedFolderChooser.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "QtFolderChooser.h"
#include "QtText.h"

namespace {

constexpr int kPollMilliseconds = 50;
// The list's height in rows: enough for a few games without crowding the chooser.
constexpr int kListRows = 5;

} // namespace

CQtSuggestedFolderChooser::CQtSuggestedFolderChooser(QWidget* owner, const QString& title,
                                                     const QString& startFolder, IFolderSuggestions& suggestions)
    : QDialog(owner), m_suggestions(suggestions)
{
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    m_caption = new QLabel(this);
    m_caption->setWordWrap(true);
    m_list = new QListWidget(this);
    m_list->setFixedHeight(m_list->fontMetrics().height() * kListRows + 2 * m_list->frameWidth() + 4);
    // The chooser is a part of this window, not one of its own.
    m_chooser = new CQtFolderChooser(this, title, startFolder, false);
    m_chooser->setWindowFlags(Qt::Widget);
    m_chooser->setSizeGripEnabled(false);
    layout->addWidget(m_caption);
    layout->addWidget(m_list);
    layout->addWidget(m_chooser, 1);
    m_chooser->show();
    resize(m_chooser->sizeHint().width() + 40, m_chooser->sizeHint().height() + m_list->height() + 60);

    const auto choose = [this](QListWidgetItem* item) {
        m_chosen = item->data(Qt::UserRole).toString();
        accept();
    };
    connect(m_list, &QListWidget::itemClicked, this, choose);
    connect(m_list, &QListWidget::itemActivated, this, choose);
    connect(m_chooser, &QDialog::finished, this, [this](int result) {
        if (result == QDialog::Accepted)
            m_chosen = m_chooser->Chosen();
        done(result);
    });
    connect(&m_poll, &QTimer::timeout, this, [this] { Refresh(); });
    Refresh();
}

void CQtSuggestedFolderChooser::Refresh()
{
    const FolderSuggestions now = m_suggestions.Poll();
    m_caption->setText(ToQt(now.caption));
    // Folders only ever come in after those shown, so the new ones are added.
    for (size_t i = static_cast<size_t>(m_list->count()); i < now.folders.size(); ++i) {
        const FolderSuggestion& s = now.folders[i];
        auto* item = new QListWidgetItem(ToQt(s.note.empty() ? s.folder : s.folder + "  (" + s.note + ")"), m_list);
        item->setData(Qt::UserRole, ToQt(s.folder));
        item->setToolTip(ToQt(s.folder));
    }
    m_list->setVisible(!now.folders.empty() || !now.complete);
    if (now.complete)
        m_poll.stop();
    else if (!m_poll.isActive())
        m_poll.start(kPollMilliseconds);
}
