// portrait-editor: the editor in its window, on a game's base directory. The
// folder comes from the command line, the current folder, the last one used
// or the user; the program changes into it, and the dialog takes its current
// folder as the base directory.
//   usage: portrait-editor [GAME_DIR] | --help | --version
#include <QApplication>
#include <QMessageBox>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <optional>
#include <string>

#include "FileSystem.h"
#include "GameFolderSearch.h"
#include "PortraitEditorApp.h"
#include "ProgramVersion.h"
#include "QtDialogHost.h"
#include "QtStandardDialogs.h"
#include "QtText.h"
#include "RecentFolders.h"
#include "Resources.h"

CPortraitEditorApp theApp;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

const char kUsage[] =
    "usage: portrait-editor [GAME_DIR]\n"
    "       portrait-editor --help | --version\n"
    "\n"
    "Opens the portrait editor on GAME_DIR, a game's base directory (the folder\n"
    "that holds DATA/DATA.QPK). Without GAME_DIR it opens the current folder when\n"
    "that is a game folder, else the last game folder opened, else it asks for\n"
    "one, offering the game folders it finds on this computer (as\n"
    "portrait-tool find-games lists them). A GAME_DIR that begins with '-' is\n"
    "given after '--'.\n"
    "The last game folder and the five most recent ones are remembered in\n"
    "$XDG_CONFIG_HOME/portrait-editor/portrait-editor.conf (by default\n"
    "~/.config/portrait-editor/portrait-editor.conf).\n"
    "\n"
    "Exit status: 0 when the editor was closed (or the folder chooser\n"
    "cancelled), 1 when it could not run, 2 wrong usage.\n";

const char kChooserTitle[] = "Choose the Thornvale base directory";
// The caption of what the window says before the chooser when it has no game folder.
const char kIntroCaption[] = "Portrait Editor";

// What the command line asks for: a window on a folder (or on whatever the
// start-up finds), or an answer printed at once.
struct Arguments {
    enum class Action { kRun, kHelp, kVersion, kUsageError } action = Action::kRun;
    std::optional<std::string> gameDir;
    std::string error;
};

Arguments ParseArguments(int argc, char** argv)
{
    Arguments parsed;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            parsed.action = Arguments::Action::kHelp;
            return parsed;
        } else if (!optionsEnded && arg == "--version") {
            parsed.action = Arguments::Action::kVersion;
            return parsed;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            parsed.action = Arguments::Action::kUsageError;
            parsed.error = "unknown option " + arg;
            return parsed;
        } else if (parsed.gameDir) {
            parsed.action = Arguments::Action::kUsageError;
            parsed.error = "only one game directory can be given";
            return parsed;
        } else {
            parsed.gameDir = arg;
        }
    }
    return parsed;
}

// Tells the user what a game folder is (explain), or that the folder looked
// in holds no game archive, and lets them choose one until it holds the
// archive, offering the game folders found on this computer above the
// chooser; nothing when they cancel.
std::optional<std::string> AskForGameFolder(std::string lookedIn, bool explain)
{
    // The search runs while the box is read.
    CGameFolderSearch search(GameSearchPlaces::FromEnvironment());
    CQtStandardDialogs dialogs;
    for (;; explain = false) {
        if (explain)
            QMessageBox(QMessageBox::Information, kIntroCaption, ToQt(LoadResourceString(IDS_CHOOSE_GAME_INTRO)),
                        QMessageBox::Ok)
                .exec();
        else
            dialogs.ShowMessage(nullptr, LoadResourceString(IDS_ARCHIVE_NOT_FOUND) + "\n" + lookedIn, "Error");
        std::string chosen;
        if (!dialogs.ChooseSuggestedFolder(nullptr, kChooserTitle, lookedIn, search, chosen))
            return std::nullopt;
        lookedIn = CRecentFolders::Absolute(chosen, CFileSystem::GetCurrentDir());
        if (CRecentFolders::HasArchive(lookedIn))
            return lookedIn;
    }
}

int RunEditor(const Arguments& arguments)
{
    // Qt is given no arguments of the command line: they were all read above.
    static int qtArgc = 1;
    static char qtName[] = "portrait-editor";
    static char* qtArgv[] = {qtName, nullptr};
    QApplication application(qtArgc, qtArgv);
    // The settings land in $XDG_CONFIG_HOME/portrait-editor/portrait-editor.conf.
    QApplication::setOrganizationName("portrait-editor");
    QApplication::setApplicationName("portrait-editor");
    QApplication::setApplicationVersion(kProgramVersion);
    QApplication::setDesktopFileName("portrait-editor");

    // The host keeps the settings, in the window's QSettings.
    CQtDialogHost host;
    const std::vector<std::string> stored = host.ReadSetting(CRecentFolders::kLastKey);
    const std::string last = stored.empty() ? std::string() : stored.front();
    const CRecentFolders::StartChoice choice = CRecentFolders::ChooseStart(
        arguments.gameDir, CFileSystem::GetCurrentDir(), last, CRecentFolders::HasArchive);
    std::string folder = choice.folder;
    if (choice.ask) {
        const std::optional<std::string> chosen = AskForGameFolder(choice.folder, choice.explain);
        if (!chosen)
            return kExitOk;
        folder = *chosen;
    }
    if (!CFileSystem::SetCurrentDir(folder)) {
        std::fprintf(stderr, "portrait-editor: cannot change into %s: %s\n", folder.c_str(), std::strerror(errno));
        return kExitFailed;
    }
    CRecentFolders::Remember(host, folder); // absolute, as the choice and the chooser give it

    // InitInstance runs the dialog and returns false: the program ends as
    // soon as the dialog closes.
    return theApp.InitInstance(host) ? kExitFailed : kExitOk;
}

} // namespace

int main(int argc, char** argv)
{
    // Answers that need no window are given before Qt looks for a display.
    const Arguments arguments = ParseArguments(argc, argv);
    switch (arguments.action) {
    case Arguments::Action::kHelp:
        std::fputs(kUsage, stdout);
        return kExitOk;
    case Arguments::Action::kVersion:
        std::printf("portrait-editor %s\n", kProgramVersion);
        return kExitOk;
    case Arguments::Action::kUsageError:
        std::fprintf(stderr, "portrait-editor: %s\n%s", arguments.error.c_str(), kUsage);
        return kExitUsage;
    case Arguments::Action::kRun:
        break;
    }
    // The host reports what a handler throws; anything that escapes it
    // still ends the program with a reason rather than an abort.
    try {
        return RunEditor(arguments);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "portrait-editor: not enough memory; the editor had to stop.\n");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "portrait-editor: stopped by an error: %s\n", e.what());
    }
    return kExitFailed;
}
