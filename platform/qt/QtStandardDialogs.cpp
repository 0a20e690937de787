#include "QtStandardDialogs.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>

#include "QtFolderChooser.h"
#include "QtPictureCropDialog.h"
#include "QtSuggestedFolderChooser.h"
#include "QtText.h"

void CQtStandardDialogs::ShowMessage(QWidget* owner, const std::string& text, const std::string& caption)
{
    MakeMessageBox(owner, text, caption)->exec();
}

bool CQtStandardDialogs::AskYesNo(QWidget* owner, const std::string& text, const std::string& caption)
{
    return MakeQuestion(owner, text, caption)->exec() == QMessageBox::Yes;
}

bool CQtStandardDialogs::AskYesNoDefaultYes(QWidget* owner, const std::string& text, const std::string& caption)
{
    return MakeQuestion(owner, text, caption, true)->exec() == QMessageBox::Yes;
}

bool CQtStandardDialogs::GetOpenFileName(QWidget* owner, const OpenFileRequest& request, std::string& path)
{
    const std::unique_ptr<QFileDialog> dialog = MakeOpenFileDialog(owner, request);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        path.clear();
        return false;
    }
    path = FromQt(dialog->selectedFiles().first());
    return true;
}

bool CQtStandardDialogs::GetOpenFileNames(QWidget* owner, const OpenFileRequest& request,
                                          std::vector<std::string>& paths)
{
    const std::unique_ptr<QFileDialog> dialog = MakeOpenFileDialog(owner, request);
    paths.clear();
    if (dialog->exec() != QDialog::Accepted)
        return false;
    for (const QString& file : dialog->selectedFiles())
        paths.push_back(FromQt(file));
    return !paths.empty();
}

bool CQtStandardDialogs::ChoosePictureCrop(QWidget* owner, const PictureCropRequest& request,
                                           IPicturePreviews& previews, PictureCropChoice& choice)
{
    CQtPictureCropDialog dialog(owner, request, previews);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    choice = dialog.Choice();
    return true;
}

bool CQtStandardDialogs::ChooseFolder(QWidget* owner, const std::string& title, const std::string& startFolder,
                                      std::string& folder)
{
    return RunFolderChooser(owner, title, startFolder, false, folder);
}

bool CQtStandardDialogs::ChooseFolderToWrite(QWidget* owner, const std::string& title, const std::string& startFolder,
                                             std::string& folder)
{
    return RunFolderChooser(owner, title, startFolder, true, folder);
}

bool CQtStandardDialogs::RunFolderChooser(QWidget* owner, const std::string& title, const std::string& startFolder,
                                          bool newFolderTaken, std::string& folder)
{
    CQtFolderChooser chooser(owner, ToQt(title), ToQt(startFolder), newFolderTaken);
    const QString chosen = chooser.exec() == QDialog::Accepted ? chooser.Chosen() : QString();
    folder = FromQt(chosen);
    return !chosen.isEmpty();
}

bool CQtStandardDialogs::ChooseSuggestedFolder(QWidget* owner, const std::string& title, const std::string& startFolder,
                                               IFolderSuggestions& suggestions, std::string& folder)
{
    CQtSuggestedFolderChooser chooser(owner, ToQt(title), ToQt(startFolder), suggestions);
    const QString chosen = chooser.exec() == QDialog::Accepted ? chooser.Chosen() : QString();
    folder = FromQt(chosen);
    return !chosen.isEmpty();
}

void CQtStandardDialogs::BeginProgress(QWidget* owner, const std::string& title, int32_t total)
{
    m_progress = MakeProgressDialog(owner, title, total);
    m_progress->show();
    QCoreApplication::processEvents();
}

bool CQtStandardDialogs::StepProgress(int32_t done, const std::string& text)
{
    if (!m_progress)
        return true;
    m_progress->setLabelText(ToQt(text));
    m_progress->setValue(done);
    QCoreApplication::processEvents();
    return !m_progress->wasCanceled();
}

void CQtStandardDialogs::EndProgress()
{
    m_progress.reset();
}

std::unique_ptr<QMessageBox> CQtStandardDialogs::MakeMessageBox(QWidget* owner, const std::string& text,
                                                                const std::string& caption)
{
    // A box that reports a failure says so at a glance; the others show no icon.
    const QMessageBox::Icon icon = caption == kErrorCaption ? QMessageBox::Warning : QMessageBox::NoIcon;
    return std::make_unique<QMessageBox>(icon, ToQt(caption), ToQt(text), QMessageBox::Ok, owner);
}

std::unique_ptr<QMessageBox> CQtStandardDialogs::MakeQuestion(QWidget* owner, const std::string& text,
                                                              const std::string& caption, bool yesDefault)
{
    auto box = std::make_unique<QMessageBox>(QMessageBox::Question, ToQt(caption), ToQt(text),
                                             QMessageBox::Yes | QMessageBox::No, owner);
    box->setDefaultButton(yesDefault ? QMessageBox::Yes : QMessageBox::No);
    return box;
}

std::unique_ptr<QFileDialog> CQtStandardDialogs::MakeOpenFileDialog(QWidget* owner, const OpenFileRequest& request)
{
    auto dialog = std::make_unique<QFileDialog>(owner);
    dialog->setFileMode((request.flags & OFN_ALLOWMULTISELECT) ? QFileDialog::ExistingFiles
                        : (request.flags & OFN_FILEMUSTEXIST)  ? QFileDialog::ExistingFile
                                                               : QFileDialog::AnyFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    // A filter's patterns, apart by ";", match regardless of case, so "*.tga"
    // shows the ".TGA" files the exports write; the label lists them as Qt
    // reads them.
    QStringList filters;
    for (const FileFilter& f : request.filters) {
        QStringList patterns;
        for (const QString& pattern : ToQt(f.pattern).split(';', Qt::SkipEmptyParts))
            for (const QString& form : {pattern, pattern.toUpper()})
                if (!patterns.contains(form))
                    patterns << form;
        const QString label = ToQt(f.description);
        filters << label.left(label.indexOf('(')) + "(" + patterns.join(' ') + ")";
    }
    dialog->setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog->selectNameFilter(filters[request.filterIndex - 1]);
    const QFileInfo initial(ToQt(request.initialDir));
    if (!request.initialDir.empty() && initial.isFile()) {
        dialog->setDirectory(initial.absolutePath());
        dialog->selectFile(initial.fileName());
    } else if (!request.initialDir.empty()) {
        dialog->setDirectory(initial.absoluteFilePath());
    }
    return dialog;
}

std::unique_ptr<QProgressDialog> CQtStandardDialogs::MakeProgressDialog(QWidget* owner, const std::string& title,
                                                                        int32_t total)
{
    auto dialog = std::make_unique<QProgressDialog>(QString(), QStringLiteral("Cancel"), 0, std::max(total, 0), owner);
    dialog->setWindowTitle(ToQt(title));
    // The window behind waits; the rest of the desktop does not.
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setMinimumDuration(0);
    // It stays until the work is over, whatever value it reaches.
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    return dialog;
}
