#include "QtModalLooks.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <memory>

#include "QtStandardDialogs.h"

namespace {

// Generous for a loaded machine, yet bounded: a folder that is never read
// fails the test instead of blocking the run.
constexpr int kReadWaitMs = 20000;

} // namespace

SeenBox LookAt(const QMessageBox& box)
{
    SeenBox seen;
    seen.text = box.text().toStdString();
    seen.caption = box.windowTitle().toStdString();
    seen.parent = box.parentWidget();
    seen.modal = box.isModal();
    for (QAbstractButton* button : box.buttons())
        seen.buttons << box.standardButton(button);
    if (QPushButton* d = box.defaultButton())
        seen.defaultButton = box.standardButton(d);
    seen.noIcon = box.icon() == QMessageBox::NoIcon && box.iconPixmap().isNull();
    seen.icon = box.icon();
    return seen;
}

SeenFileDialog OpenFileDialogFor(const OpenFileRequest& request, bool listFolder)
{
    const std::unique_ptr<QFileDialog> dialog = CQtStandardDialogs::MakeOpenFileDialog(nullptr, request);
    SeenFileDialog seen;
    if (listFolder)
        seen.listedNames = ListedNames(*dialog);
    seen.directory = QFileInfo(dialog->directory().absolutePath()).canonicalFilePath();
    seen.selectedFiles = dialog->selectedFiles();
    seen.nameFilters = dialog->nameFilters();
    seen.selectedNameFilter = dialog->selectedNameFilter();
    seen.fileMode = dialog->fileMode();
    seen.acceptMode = dialog->acceptMode();
    seen.nonNative = dialog->testOption(QFileDialog::DontUseNativeDialog);
    seen.parent = dialog->parentWidget();
    return seen;
}

bool OpenFileDialogRefuses(const OpenFileRequest& request, const std::string& path, std::optional<SeenBox>* warning)
{
    const std::unique_ptr<QFileDialog> dialog = CQtStandardDialogs::MakeOpenFileDialog(nullptr, request);
    dialog->show();
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!edit) {
        ADD_FAILURE() << "the file dialog has no file name box";
        return false;
    }
    // As a user would: the path typed into the file name box, which drops
    // the file selected at the start, then Enter, which accepts the dialog
    // even while Open is off for a missing name.
    dialog->selectFile(QString::fromStdString(path));
    edit->setText(QString::fromStdString(path));
    AnswerNextBox answer(QMessageBox::Ok);
    static_cast<QDialog&>(*dialog).accept(); // the file dialog's own, which is protected
    if (warning)
        *warning = answer.seen;
    return answer.seen && dialog->isVisible() && dialog->result() != QDialog::Accepted;
}

QStringList ListedNames(QFileDialog& dialog)
{
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (!model) {
        ADD_FAILURE() << "the file dialog has no file system model";
        return {};
    }
    // The model reads folders on a thread of its own and tells of each one
    // read through the event loop, after the names it found.
    const QString folder = QFileInfo(dialog.directory().absolutePath()).canonicalFilePath();
    QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
    const auto folderRead = [&] {
        for (const QList<QVariant>& arguments : loaded)
            if (QFileInfo(arguments.at(0).toString()).canonicalFilePath() == folder)
                return true;
        return false;
    };
    while (!folderRead())
        if (!loaded.wait(kReadWaitMs)) {
            ADD_FAILURE() << "the file dialog did not read " << folder.toStdString() << " in time";
            break;
        }
    QStringList names;
    const QModelIndex root = model->index(model->rootPath());
    for (int row = 0; row < model->rowCount(root); ++row)
        names << model->fileName(model->index(row, 0, root));
    return names;
}

CallFromNextLoop::CallFromNextLoop(std::function<void()> call)
{
    QTimer::singleShot(0, &m_context, [this, call = std::move(call)] {
        m_ran = true;
        call();
    });
}

AnswerNextBox::AnswerNextBox(QMessageBox::StandardButton button)
    : m_answer([this, button] {
          auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
          if (!box) {
              ADD_FAILURE() << "no message box is running";
              if (QWidget* modal = QApplication::activeModalWidget())
                  modal->close();
              return;
          }
          seen = LookAt(*box);
          if (QAbstractButton* b = box->button(button))
              b->click();
          else {
              ADD_FAILURE() << "the box has no button " << button;
              box->done(0);
          }
      })
{
}
