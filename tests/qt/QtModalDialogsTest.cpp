// Qt's own message box, question, open-file dialog and folder chooser as the
// window's host shows them, looked at as they are built and answered from
// inside the one modal loop each runs; the progress dialog, cancelled
// between steps; and the host's part of the open-file answer.
#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <filesystem>

#include "QtStandardDialogs.h"
#include "QtWindowKit.h"

namespace {

using Buttons = QList<QMessageBox::StandardButton>;

TEST(QtModalDialogsTest, TheBoxAndTheQuestionShowTheirTextCaptionButtonsAndIcons)
{
    QWidget owner;
    const SeenBox box = LookAt(*CQtStandardDialogs::MakeMessageBox(&owner, "Portrait successfully saved.", "Info"));
    EXPECT_EQ(box.text, "Portrait successfully saved.");
    EXPECT_EQ(box.caption, "Info");
    EXPECT_EQ(box.parent, &owner);
    EXPECT_EQ(box.buttons, Buttons{QMessageBox::Ok});
    EXPECT_TRUE(box.noIcon);
    // A failure shows the warning icon.
    const SeenBox error = LookAt(*CQtStandardDialogs::MakeMessageBox(&owner, "Could not be saved.", "Error"));
    EXPECT_EQ(error.icon, QMessageBox::Warning);
    EXPECT_EQ(error.buttons, Buttons{QMessageBox::Ok});

    const SeenBox question = LookAt(*CQtStandardDialogs::MakeQuestion(&owner, "Quit anyway?", "Question"));
    EXPECT_EQ(question.text, "Quit anyway?");
    EXPECT_EQ(question.caption, "Question");
    EXPECT_EQ(question.parent, &owner);
    ASSERT_EQ(question.buttons.size(), 2);
    EXPECT_TRUE(question.buttons.contains(QMessageBox::Yes));
    EXPECT_TRUE(question.buttons.contains(QMessageBox::No));
    EXPECT_EQ(question.defaultButton, QMessageBox::No);
    EXPECT_EQ(question.icon, QMessageBox::Question);
    // An offer may have Yes the default.
    const SeenBox offer = LookAt(*CQtStandardDialogs::MakeQuestion(&owner, "Create it?", "Error", true));
    EXPECT_EQ(offer.defaultButton, QMessageBox::Yes);
    EXPECT_EQ(offer.icon, QMessageBox::Question);

    // Run, each is modal and shows what it was given.
    CQtStandardDialogs dialogs;
    {
        AnswerNextBox answer(QMessageBox::Ok);
        dialogs.ShowMessage(&owner, "Portrait successfully saved.", "Info");
        ASSERT_TRUE(answer.seen);
        EXPECT_TRUE(answer.seen->modal);
        EXPECT_EQ(answer.seen->text, "Portrait successfully saved.");
        EXPECT_EQ(answer.seen->parent, &owner);
    }
    {
        AnswerNextBox answer(QMessageBox::Yes);
        EXPECT_TRUE(dialogs.AskYesNo(nullptr, "Quit anyway?", "Question"));
        ASSERT_TRUE(answer.seen);
        EXPECT_TRUE(answer.seen->modal);
        EXPECT_EQ(answer.seen->parent, nullptr);
    }
    {
        AnswerNextBox answer(QMessageBox::No);
        EXPECT_FALSE(dialogs.AskYesNo(&owner, "Quit anyway?", "Question"));
        EXPECT_TRUE(answer.seen);
    }
    {
        // Enter presses the default button: No.
        const CallFromNextLoop enter([] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return); });
        EXPECT_FALSE(dialogs.AskYesNo(&owner, "Quit anyway?", "Question"));
        EXPECT_TRUE(enter.Ran());
    }
    {
        // Or Yes, where Yes is the default.
        const CallFromNextLoop enter([] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return); });
        EXPECT_TRUE(dialogs.AskYesNoDefaultYes(&owner, "Create it?", "Question"));
        EXPECT_TRUE(enter.Ran());
    }
}

TEST(QtModalDialogsTest, TheOpenFileDialogIsSetUpFromTheRequest)
{
    TempDir folder;
    folder.WriteFile("PAINTED_LARGE.TGA", {1});
    folder.WriteFile("painted_small.tga", {2});
    folder.WriteFile("notes.txt", {3});
    const QString canonical = QFileInfo(QString::fromStdString(folder.Path())).canonicalFilePath();
    OpenFileRequest request;
    request.filters = {{"TGA-Files (*.tga)", "*.tga"}, {"All Files (*.*)", "*.*"}};
    request.filterIndex = 1;
    request.initialDir = folder.Path();
    request.flags = OFN_READONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;

    QWidget owner;
    {
        const std::unique_ptr<QFileDialog> dialog = CQtStandardDialogs::MakeOpenFileDialog(&owner, request);
        const QStringList listed = ListedNames(*dialog);
        EXPECT_EQ(dialog->parentWidget(), &owner);
        // A lower-case pattern is given in upper case too; the file system
        // here tells case apart.
        EXPECT_EQ(dialog->nameFilters(), (QStringList{"TGA-Files (*.tga *.TGA)", "All Files (*.*)"}));
        EXPECT_EQ(dialog->selectedNameFilter(), "TGA-Files (*.tga *.TGA)");
        EXPECT_EQ(QFileInfo(dialog->directory().absolutePath()).canonicalFilePath(), canonical);
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
        EXPECT_TRUE(listed.contains("PAINTED_LARGE.TGA")) << listed.join(", ").toStdString();
        EXPECT_TRUE(listed.contains("painted_small.tga")) << listed.join(", ").toStdString();
        EXPECT_FALSE(listed.contains("notes.txt")) << listed.join(", ").toStdString();
    }

    // The second filter preselected; one out of range leaves the first.
    request.filterIndex = 2;
    EXPECT_EQ(OpenFileDialogFor(request).selectedNameFilter, "All Files (*.*)");
    request.filterIndex = 3;
    EXPECT_EQ(OpenFileDialogFor(request).selectedNameFilter, "TGA-Files (*.tga *.TGA)");
    request.filterIndex = 1;

    // Several patterns, apart by ";", each with its upper-case form once;
    // "*" stays as it is.
    {
        OpenFileRequest several = request;
        several.filters = {{"Images (*.tga *.png)", "*.tga;*.png"},
                           {"TGA-Files (*.tga *.TGA)", "*.tga;*.TGA"},
                           {"All Files (*)", "*"}};
        folder.WriteFile("painted.png", {4});
        const std::unique_ptr<QFileDialog> dialog = CQtStandardDialogs::MakeOpenFileDialog(&owner, several);
        const QStringList listed = ListedNames(*dialog);
        EXPECT_EQ(dialog->nameFilters(),
                  (QStringList{"Images (*.tga *.TGA *.png *.PNG)", "TGA-Files (*.tga *.TGA)", "All Files (*)"}));
        EXPECT_TRUE(listed.contains("PAINTED_LARGE.TGA")) << listed.join(", ").toStdString();
        EXPECT_TRUE(listed.contains("painted.png")) << listed.join(", ").toStdString();
        EXPECT_FALSE(listed.contains("notes.txt")) << listed.join(", ").toStdString();
        std::filesystem::remove(folder / "painted.png");
    }

    // A file opens its folder with it selected.
    request.initialDir = folder / "PAINTED_LARGE.TGA";
    const SeenFileDialog onFile = OpenFileDialogFor(request);
    EXPECT_EQ(onFile.directory, canonical);
    ASSERT_EQ(onFile.selectedFiles.size(), 1);
    EXPECT_EQ(QFileInfo(onFile.selectedFiles[0]).canonicalFilePath(), canonical + "/PAINTED_LARGE.TGA");

    // Without "the file must exist" any name may be chosen.
    request.flags = 0;
    EXPECT_EQ(OpenFileDialogFor(request).fileMode, QFileDialog::AnyFile);
    request.flags = OFN_FILEMUSTEXIST;

    // A name that is not there is refused by the dialog itself, which says
    // so and stays open.
    std::optional<SeenBox> warning;
    EXPECT_TRUE(OpenFileDialogRefuses(request, folder / "MISSING.TGA", &warning));
    ASSERT_TRUE(warning);
    EXPECT_NE(warning->text.find("MISSING.TGA"), std::string::npos) << warning->text;

    // Run, it is modal over its owner and answers with the path chosen, or
    // nothing when cancelled.
    CQtStandardDialogs dialogs;
    const std::string chosen = folder / "painted_small.tga";
    bool modal = false;
    const QWidget* parent = nullptr;
    const CallFromNextLoop open([&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no file dialog is running";
            return;
        }
        modal = dialog->isModal();
        parent = dialog->parentWidget();
        // Typed in, which drops the file selected at the start.
        dialog->selectFile(QString::fromStdString(chosen));
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QString::fromStdString(chosen));
        static_cast<QDialog*>(dialog)->accept(); // the file dialog's own
    });
    std::string path;
    EXPECT_TRUE(dialogs.GetOpenFileName(&owner, request, path));
    EXPECT_TRUE(open.Ran());
    EXPECT_TRUE(modal);
    EXPECT_EQ(parent, &owner);
    EXPECT_EQ(QFileInfo(QString::fromStdString(path)).canonicalFilePath(), canonical + "/painted_small.tga");

    const CallFromNextLoop cancel([] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
        else
            ADD_FAILURE() << "no file dialog is running";
    });
    EXPECT_FALSE(dialogs.GetOpenFileName(&owner, request, path));
    EXPECT_TRUE(cancel.Ran());
    EXPECT_EQ(path, "");
}

TEST(QtModalDialogsTest, TheFolderChooserAndTheProgressDialogAreModalToTheirWindow)
{
    TempDir folder;
    folder.MakeFolder("catalogue");
    const QString canonical = QFileInfo(QString::fromStdString(folder.Path())).canonicalFilePath();
    QWidget owner;
    owner.show();
    CQtStandardDialogs dialogs;
    std::optional<SeenFileDialog> seen;
    QString title;
    const CallFromNextLoop choose([&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no file dialog is running";
            return;
        }
        seen.emplace();
        seen->directory = QFileInfo(dialog->directory().absolutePath()).canonicalFilePath();
        seen->fileMode = dialog->fileMode();
        seen->nonNative = dialog->testOption(QFileDialog::DontUseNativeDialog);
        seen->parent = dialog->parentWidget();
        title = dialog->windowTitle();
        const QString chosen = QString::fromStdString(folder / "catalogue");
        dialog->selectFile(chosen);
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(chosen);
        static_cast<QDialog*>(dialog)->accept();
    });
    std::string chosen;
    EXPECT_TRUE(dialogs.ChooseFolder(&owner, "Export the catalogue into", folder.Path(), chosen));
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->directory, canonical);
    EXPECT_EQ(seen->fileMode, QFileDialog::Directory);
    EXPECT_TRUE(seen->nonNative);
    EXPECT_EQ(seen->parent, &owner);
    EXPECT_EQ(title, "Export the catalogue into");
    EXPECT_EQ(QFileInfo(QString::fromStdString(chosen)).canonicalFilePath(), canonical + "/catalogue");

    // For a folder to write into, the name of a new one is taken with
    // Choose (and Enter), and nothing is made yet.
    bool chooseEnabled = false;
    const CallFromNextLoop typeNew([&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        auto* edit = dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
        auto* buttons = dialog ? dialog->findChild<QDialogButtonBox*>() : nullptr;
        if (!edit || !buttons) {
            ADD_FAILURE() << "no folder chooser with a name field and buttons is running";
            if (dialog)
                dialog->reject();
            return;
        }
        QTest::keyClicks(edit, "fresh");
        QPushButton* chooseButton = buttons->button(QDialogButtonBox::Open);
        chooseEnabled = chooseButton->isEnabled();
        chooseButton->click();
        if (dialog->isVisible()) // refused: a box of its own would be showing
            dialog->reject();
    });
    EXPECT_TRUE(dialogs.ChooseFolderToWrite(&owner, "Export the catalogue into", folder.Path(), chosen));
    EXPECT_TRUE(typeNew.Ran());
    EXPECT_TRUE(chooseEnabled);
    EXPECT_EQ(chosen, folder / "fresh");
    EXPECT_FALSE(PathExists(folder / "fresh"));

    dialogs.BeginProgress(&owner, "Exporting the catalogue", 3);
    QProgressDialog* progress = dialogs.Progress();
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(progress->isVisible());
    EXPECT_EQ(progress->parentWidget(), &owner);
    EXPECT_EQ(progress->windowModality(), Qt::WindowModal);
    EXPECT_EQ(progress->windowTitle(), "Exporting the catalogue");
    EXPECT_EQ(progress->maximum(), 3);
    EXPECT_TRUE(dialogs.StepProgress(0, "TVARM1"));
    EXPECT_EQ(progress->labelText(), "TVARM1");
    EXPECT_TRUE(dialogs.StepProgress(1, "QENF1"));
    EXPECT_EQ(progress->value(), 1);
    // Cancel, pressed while a step runs, stops the work at the next.
    auto* cancel = progress->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), "Cancel");
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_FALSE(dialogs.StepProgress(2, "TVARF1"));
    dialogs.EndProgress();
    EXPECT_EQ(dialogs.Progress(), nullptr);
}

TEST(QtModalDialogsTest, TheHostRefusesAPathLongerThanTheCallerTakes)
{
    CScriptedModalDialogs modals;
    CQtDialogHost host(modals);
    OpenFileRequest request;
    request.bufferSize = 10;
    std::string path = "old";
    modals.QueueFile("123456789");
    EXPECT_TRUE(host.GetOpenFileName(request, path));
    EXPECT_EQ(path, "123456789");
    modals.QueueFile("1234567890");
    EXPECT_FALSE(host.GetOpenFileName(request, path));
    EXPECT_EQ(path, "");
    modals.QueueFile(std::nullopt);
    path = "old";
    EXPECT_FALSE(host.GetOpenFileName(request, path));
    EXPECT_EQ(path, "");
    ASSERT_EQ(modals.fileRequests.size(), 3u);
    EXPECT_EQ(modals.fileRequests[0].owner, nullptr); // no window outside a dialog
    EXPECT_TRUE(modals.TakeAllAnswered());
}

} // namespace
