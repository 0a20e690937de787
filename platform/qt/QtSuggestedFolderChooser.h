// The folder chooser with folders to pick from above it, in one window: a
// line that says what they are, the list of them, filled in as they come
// (asked for every 50 ms until they are all there), and the Qt host's
// folder chooser below. A click on a listed folder (or Enter on it) chooses
// it; the chooser below chooses as it does alone.
#pragma once

#include <QDialog>
#include <QString>
#include <QTimer>

#include "FolderSuggestions.h"

class CQtFolderChooser;
class QLabel;
class QListWidget;

class CQtSuggestedFolderChooser : public QDialog {
public:
    CQtSuggestedFolderChooser(QWidget* owner, const QString& title, const QString& startFolder,
                              IFolderSuggestions& suggestions);

    // The folder chosen, once the dialog was accepted.
    QString Chosen() const { return m_chosen; }
    QListWidget* List() const { return m_list; }
    QLabel* Caption() const { return m_caption; }

private:
    // Shows what the suggestions offer now; stops asking once they are complete.
    void Refresh();

    IFolderSuggestions& m_suggestions;
    QLabel* m_caption = nullptr;
    QListWidget* m_list = nullptr;
    CQtFolderChooser* m_chooser = nullptr;
    QTimer m_poll;
    QString m_chosen;
};
