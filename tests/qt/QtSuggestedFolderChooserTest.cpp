// The folder chooser with the game folders found above it: the list fills in
// when the search ends, a click on a listed folder chooses it, and the
// chooser below still chooses as it does alone.
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QThread>

#include "QtModalLooks.h"
#include "QtStandardDialogs.h"
#include "QtSuggestedFolderChooser.h"
#include "TempDir.h"

namespace {

// Suggestions that are searched for until the test says they are found.
class FakeSuggestions : public IFolderSuggestions {
public:
    FolderSuggestions Poll() override
    {
        ++polls;
        if (!found)
            return {{}, "Looking...", false};
        return {{{"/games/one", "Steam library"}, {"/games/two", "Wine prefix"}}, "Found:", true};
    }
    bool found = false;
    int polls = 0;
};

CQtSuggestedFolderChooser* ActiveChooser()
{
    return dynamic_cast<CQtSuggestedFolderChooser*>(QApplication::activeModalWidget());
}

// Lets the chooser's timer run until the list holds `count` rows (at most 5 s).
bool WaitForRows(const CQtSuggestedFolderChooser& chooser, int count)
{
    for (int i = 0; i < 500 && chooser.List()->count() != count; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(10);
    }
    return chooser.List()->count() == count;
}

} // namespace

TEST(QtSuggestedFolderChooserTest, AFolderFoundIsChosenWithAClickAndTheChooserBelowStillChooses)
{
    TempDir folder;
    CQtStandardDialogs dialogs;
    FakeSuggestions suggestions;
    std::string caption, searchingCaption;
    const CallFromNextLoop clickSecond([&] {
        CQtSuggestedFolderChooser* chooser = ActiveChooser();
        if (!chooser) {
            ADD_FAILURE() << "no chooser with suggestions is running";
            return;
        }
        searchingCaption = chooser->Caption()->text().toStdString();
        suggestions.found = true;
        if (!WaitForRows(*chooser, 2)) {
            ADD_FAILURE() << "the list was not filled in";
            chooser->reject();
            return;
        }
        caption = chooser->Caption()->text().toStdString();
        EXPECT_EQ(chooser->List()->item(0)->text(), "/games/one  (Steam library)");
        QListWidget* list = chooser->List();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    });
    std::string chosen;
    EXPECT_TRUE(dialogs.ChooseSuggestedFolder(nullptr, "Choose the game", folder.Path(), suggestions, chosen));
    EXPECT_TRUE(clickSecond.Ran());
    EXPECT_EQ(searchingCaption, "Looking...");
    EXPECT_EQ(caption, "Found:");
    EXPECT_EQ(chosen, "/games/two");

    // The chooser below, a part of the same window, chooses its folder.
    const CallFromNextLoop chooseBelow([&] {
        CQtSuggestedFolderChooser* chooser = ActiveChooser();
        auto* below = chooser ? chooser->findChild<QFileDialog*>() : nullptr;
        if (!below) {
            ADD_FAILURE() << "no chooser below the list";
            if (chooser)
                chooser->reject();
            return;
        }
        EXPECT_TRUE(below->isVisible());
        EXPECT_FALSE(below->isWindow());
        below->selectFile(QString::fromStdString(folder.Path()));
        static_cast<QDialog*>(below)->accept();
    });
    EXPECT_TRUE(dialogs.ChooseSuggestedFolder(nullptr, "Choose the game", folder.Path(), suggestions, chosen));
    EXPECT_TRUE(chooseBelow.Ran());
    EXPECT_EQ(chosen, folder.Path());
}
