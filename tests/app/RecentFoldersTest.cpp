// The recent game folders and the choice of the folder the editor opens at
// start, without settings or dialogs.
#include <gtest/gtest.h>

#include <set>

#include "RecentFolders.h"
#include "TempDir.h"

namespace {

using Folders = std::vector<std::string>;

// Folders that hold the archive, for ChooseStart.
CRecentFolders::ArchiveTest GamesAre(std::set<std::string> games)
{
    return [games](const std::string& folder) { return games.count(folder) != 0; };
}

} // namespace

TEST(RecentFolders, MostRecentFirstWithoutRepeatsAndAtMostFive)
{
    CRecentFolders recent({"/g/b", "", "/g/a/", "/g/b/."}, "/home");
    EXPECT_EQ(recent.Folders(), (Folders{"/g/b", "/g/a"}));

    // Relative names and spellings of one folder are the same folder once
    // made absolute: it moves to the front instead of being added again.
    recent.Add("a", "/g");
    EXPECT_EQ(recent.Folders(), (Folders{"/g/a", "/g/b"}));
    recent.Add("../x/../b/", "/g/a");
    EXPECT_EQ(recent.Folders(), (Folders{"/g/b", "/g/a"}));

    for (const char* name : {"c", "d", "e", "f"})
        recent.Add(name, "/g");
    EXPECT_EQ(recent.Folders(), (Folders{"/g/f", "/g/e", "/g/d", "/g/c", "/g/b"}));
    recent.Add("/g/c", "/");
    EXPECT_EQ(recent.Folders(), (Folders{"/g/c", "/g/f", "/g/e", "/g/d", "/g/b"}));
    // A stored list that grew too long is cut to the five most recent.
    EXPECT_EQ(CRecentFolders({"/1", "/2", "/3", "/4", "/5", "/6"}, "/").Folders(),
              (Folders{"/1", "/2", "/3", "/4", "/5"}));

    EXPECT_EQ(CRecentFolders::Absolute("/", "/home"), "/");
    EXPECT_EQ(CRecentFolders::Absolute(".", "/home/me"), "/home/me");
}

TEST(RecentFolders, StartOpensTheGivenCurrentOrLastFolderElseAsks)
{
    // Whether to ask, the folder, and whether to say first what a game folder is.
    const auto choose = [](std::optional<std::string> gameDir, const char* last, std::set<std::string> games) {
        const CRecentFolders::StartChoice c = CRecentFolders::ChooseStart(gameDir, "/home/me", last, GamesAre(games));
        EXPECT_EQ(c.explain, c.ask && !gameDir);
        return std::make_pair(c.ask, c.folder);
    };
    using Choice = std::pair<bool, std::string>;
    const std::set<std::string> all = {"/home/me", "/games/tv", "/home/me/tv", "/last"};

    // A folder given is opened, relative to the current one; without the
    // archive it is the folder the user is told about, whatever else holds one.
    EXPECT_EQ(choose("tv", "/last", all), (Choice{false, "/home/me/tv"}));
    EXPECT_EQ(choose("/games/tv/", "", all), (Choice{false, "/games/tv"}));
    EXPECT_EQ(choose("/nowhere", "/last", all), (Choice{true, "/nowhere"}));
    // Without one: the current folder, then the last folder opened.
    EXPECT_EQ(choose(std::nullopt, "/last", all), (Choice{false, "/home/me"}));
    EXPECT_EQ(choose(std::nullopt, "/last", {"/last"}), (Choice{false, "/last"}));
    EXPECT_EQ(choose(std::nullopt, "/last", {}), (Choice{true, "/home/me"}));

    // The program's test finds the archive in any case, and only as a file.
    TempDir dir;
    dir.MakeFolder("game/data");
    dir.WriteFile("game/data/Data.qpk", {1});
    dir.MakeFolder("folder/DATA/DATA.QPK");
    EXPECT_TRUE(CRecentFolders::HasArchive(dir / "game"));
    EXPECT_FALSE(CRecentFolders::HasArchive(dir / "folder"));
    EXPECT_FALSE(CRecentFolders::HasArchive(dir.Path()));
}
