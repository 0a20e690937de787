// The folder chooser the Qt host shows: Qt's own non-native file dialog for
// folders only. For a folder to write into it takes a name typed that does
// not exist yet as well (Qt's own refuses one, "Directory not found"), and
// keeps its Choose button enabled for it; the caller makes the folder.
#pragma once

#include <QFileDialog>
#include <QString>

class QPushButton;

class CQtFolderChooser : public QFileDialog {
public:
    CQtFolderChooser(QWidget* owner, const QString& title, const QString& startFolder, bool newFolderTaken);

    // The folder chosen, once the dialog was accepted.
    QString Chosen() const;

protected:
    void accept() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A new folder's name typed in: the one selected file, which does not exist.
    bool NamesNewFolder() const;

    bool m_newFolderTaken;
    QPushButton* m_choose = nullptr;
    QString m_newFolder;
};
