// The list panel of the Qt host: a list of rows under column headings with
// a line of text under it. A row the user chooses (click or arrow keys) and
// what the user types in the list to find a row become the dialog's
// messages; the rows and the chosen one are the dialog's to set.
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "DialogHost.h"
#include "DialogMessage.h"

class QLabel;
class QTreeWidget;

class CQtListPanel : public QWidget {
public:
    using Deliver = std::function<void(const DialogMessage&)>;
    CQtListPanel(Deliver deliver, QWidget* parent);

    void SetColumns(const std::vector<std::string>& columns);
    void SetRows(const std::vector<ListRow>& rows);
    void SetSelection(int32_t row);
    void SetFooter(const std::string& text);

    QTreeWidget* List() const { return m_list; }
    QLabel* Footer() const { return m_footer; }

private:
    Deliver m_deliver;
    QTreeWidget* m_list = nullptr;
    QLabel* m_footer = nullptr;
};
