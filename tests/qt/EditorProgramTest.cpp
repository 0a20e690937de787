// portrait-editor as it is started: its answers on the command line, and the
// game folders it opens and remembers in the user's settings.
#include <gtest/gtest.h>

#include <QSettings>
#include <QStringList>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "GameDir.h"
#include "ProgramRun.h"
#include "TestGame.h"

extern char** environ;

namespace {

// Runs the editor with the arguments (quoted for the shell) without any
// display, so that whatever needs a window fails.
ProgramRun Editor(const std::string& args)
{
    return RunProgram("env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb timeout 60 " +
                      std::string(PORTRAIT_EDITOR_PATH) + " " + args);
}

// The editor's window on the offscreen platform, started in a folder with
// its settings below `config`, ended as a logout ends it.
class EditorWindow {
public:
    EditorWindow(const std::string& cwd, const std::string& config, const std::vector<std::string>& args)
    {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e)
            if (!std::string(*e).starts_with("XDG_CONFIG_HOME=") && !std::string(*e).starts_with("QT_QPA_PLATFORM="))
                env.emplace_back(*e);
        env.push_back("XDG_CONFIG_HOME=" + config);
        env.push_back("QT_QPA_PLATFORM=offscreen");
        std::vector<std::string> argv = {PORTRAIT_EDITOR_PATH};
        argv.insert(argv.end(), args.begin(), args.end());
        // Everything the child needs is made before the fork.
        std::vector<char*> envp, argp;
        for (std::string& s : env)
            envp.push_back(s.data());
        envp.push_back(nullptr);
        for (std::string& s : argv)
            argp.push_back(s.data());
        argp.push_back(nullptr);
        m_pid = ::fork();
        if (m_pid == 0) {
            if (::chdir(cwd.c_str()) == 0)
                ::execve(argp[0], argp.data(), envp.data());
            ::_exit(127);
        }
    }
    ~EditorWindow() { Stop(); }

    void Stop()
    {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
};

// Waits up to half a minute for something the editor does.
bool WaitFor(const std::function<bool()>& done)
{
    for (int i = 0; i < 600; ++i) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

} // namespace

TEST(EditorProgram, HelpVersionAndUsageNeedNoWindow)
{
    const ProgramRun help = Editor("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("usage: portrait-editor [GAME_DIR]\n")) << help.out;
    EXPECT_NE(help.out.find("DATA/DATA.QPK"), std::string::npos);
    EXPECT_NE(help.out.find("~/.config/portrait-editor/portrait-editor.conf"), std::string::npos);
    EXPECT_EQ(help.err, "");

    const ProgramRun version = Editor("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "portrait-editor 1.0.0\n");

    for (const char* wrong : {"one two", "--frobnicate", "-x /tmp"}) {
        const ProgramRun usage = Editor(wrong);
        EXPECT_EQ(usage.status, 2) << wrong;
        EXPECT_EQ(usage.out, "") << wrong;
        EXPECT_NE(usage.err.find("usage: portrait-editor [GAME_DIR]"), std::string::npos) << wrong;
    }
}

TEST(EditorProgram, OpensTheFolderGivenOrTheLastAndRemembersThem)
{
    const std::vector<TestEntry> entries = MakePortraitEntries({{"TVAR", true, '1'}});
    // No Portraits folder yet: the editor makes it once it has the game open.
    GameDir first(entries, false), second(entries, false);
    TempDir config, elsewhere;
    const std::string conf = config / "portrait-editor/portrait-editor.conf";
    const auto stored = [&conf](const char* key) { return QSettings(QString::fromStdString(conf), QSettings::IniFormat).value(key); };
    const auto openedIn = [](const GameDir& game) {
        return WaitFor([&game] { return PathExists(game / "Portraits"); });
    };

    {
        EditorWindow window(elsewhere.Path(), config.Path(), {first.Base()});
        ASSERT_TRUE(openedIn(first));
    }
    EXPECT_EQ(stored("folders/last").toString().toStdString(), first.Base());
    EXPECT_EQ(stored("folders/recent").toStringList(), QStringList{QString::fromStdString(first.Base())});

    // A relative folder is remembered as an absolute one, first in the list.
    const std::filesystem::path secondPath(second.Base());
    {
        EditorWindow window(secondPath.parent_path().string(), config.Path(),
                            {"./" + secondPath.filename().string() + "/"});
        ASSERT_TRUE(openedIn(second));
    }
    const QStringList both = {QString::fromStdString(second.Base()), QString::fromStdString(first.Base())};
    EXPECT_EQ(stored("folders/recent").toStringList(), both);

    // Started elsewhere without a folder, it opens the last one again.
    std::filesystem::remove(second / "Portraits");
    {
        EditorWindow window(elsewhere.Path(), config.Path(), {});
        ASSERT_TRUE(openedIn(second));
    }
    EXPECT_EQ(stored("folders/last").toString().toStdString(), second.Base());
    EXPECT_EQ(stored("folders/recent").toStringList(), both);
    EXPECT_TRUE(ListFolder(elsewhere.Path()).empty());
}
