#include "QtListPanel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "QtText.h"

namespace {

// The list: typing gathers the text as Qt's own keyboard search does (a
// pause longer than the platform's interval starts anew), and hands it to
// the dialog, which finds the row.
class CQtListView : public QTreeWidget {
public:
    CQtListView(CQtListPanel::Deliver deliver, QWidget* parent) : QTreeWidget(parent), m_deliver(std::move(deliver)) {}

    void keyboardSearch(const QString& search) override
    {
        if (!m_typing.isValid() || m_typing.elapsed() > QApplication::keyboardInputInterval())
            m_typed.clear();
        m_typing.start();
        m_typed += search;
        DialogMessage m{MessageKind::ListSearch};
        m.text = FromQt(m_typed);
        m_deliver(m);
    }

private:
    CQtListPanel::Deliver m_deliver;
    QString m_typed;
    QElapsedTimer m_typing;
};

} // namespace

CQtListPanel::CQtListPanel(Deliver deliver, QWidget* parent) : QWidget(parent), m_deliver(std::move(deliver))
{
    m_list = new CQtListView(m_deliver, this);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    // Out of the dialog's tab order, which walks its own controls; a click
    // gives the list the keys.
    m_list->setFocusPolicy(Qt::ClickFocus);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->header()->setStretchLastSection(false);
    m_footer = new QLabel(this);
    m_footer->setTextInteractionFlags(Qt::NoTextInteraction);
    // A notice under the sizes' line is longer than the panel is wide.
    m_footer->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_footer);
    // The dialog hears the user's choice; its own, set with the signals
    // blocked, comes not back to it.
    QObject::connect(m_list, &QTreeWidget::currentItemChanged, [this](QTreeWidgetItem* item, QTreeWidgetItem*) {
        if (!item)
            return;
        DialogMessage m{MessageKind::ListSelect};
        m.position = m_list->indexOfTopLevelItem(item);
        m_deliver(m);
    });
}

void CQtListPanel::SetColumns(const std::vector<std::string>& columns)
{
    QStringList labels;
    for (const std::string& c : columns)
        labels << ToQt(c);
    m_list->setHeaderLabels(labels);
}

void CQtListPanel::SetRows(const std::vector<ListRow>& rows)
{
    const QSignalBlocker block(m_list);
    const int count = static_cast<int>(rows.size());
    while (m_list->topLevelItemCount() > count)
        delete m_list->takeTopLevelItem(m_list->topLevelItemCount() - 1);
    while (m_list->topLevelItemCount() < count)
        m_list->addTopLevelItem(new QTreeWidgetItem);
    for (int r = 0; r < count; ++r) {
        QTreeWidgetItem* item = m_list->topLevelItem(r);
        const std::vector<std::string>& cells = rows[static_cast<size_t>(r)].cells;
        for (size_t c = 0; c < cells.size(); ++c)
            item->setText(static_cast<int>(c), ToQt(cells[c]));
    }
}

void CQtListPanel::SetSelection(int32_t row)
{
    const QSignalBlocker block(m_list);
    QTreeWidgetItem* item = row >= 0 ? m_list->topLevelItem(row) : nullptr;
    m_list->setCurrentItem(item);
    if (item)
        m_list->scrollToItem(item);
}

void CQtListPanel::SetFooter(const std::string& text)
{
    m_footer->setText(ToQt(text));
    // A line more or less takes its room from the list now, not at the
    // next pass of the event loop.
    if (layout())
        layout()->activate();
}
