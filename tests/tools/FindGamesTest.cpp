// portrait-tool find-games on a home folder made as players have one: what
// it prints, as text and as JSON, and its exit status with games and without.
#include <gtest/gtest.h>

#include "JsonText.h"
#include "PlayerHome.h"
#include "ToolKit.h"

TEST(FindGames, ListsTheGamesFoundAsTextAndJsonAndFailsWithoutAny)
{
    PlayerHome home;
    const std::vector<FoundGame> games = home.MakeShelves();
    const std::string environment = "HOME='" + home.Home() + "' WINEPREFIX='" + home.Outside("prefix") + "'";
    const ToolRun text = Tool("find-games", environment);
    EXPECT_EQ(text.status, 0) << text.err;
    std::string lines, json = "{\"games\": [";
    for (const FoundGame& game : games) {
        lines += game.folder + "\t" + game.foundIn + "\n";
        json += std::string(&game == &games.front() ? "" : ", ") + "{\"folder\": " + JsonString(game.folder) +
                ", \"foundIn\": " + JsonString(game.foundIn) + "}";
    }
    EXPECT_EQ(text.out, lines);
    const ToolRun asJson = Tool("find-games --json", environment);
    EXPECT_EQ(asJson.status, 0) << asJson.err;
    EXPECT_EQ(asJson.out, json + "], \"complete\": true}\n");

    // Nothing found: nothing printed but the empty list, the places looked
    // in on standard error, and exit status 1.
    PlayerHome empty;
    const ToolRun none = Tool("find-games", "HOME='" + empty.Home() + "' WINEPREFIX=");
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err.find("no game folder found"), std::string::npos) << none.err;
    const ToolRun noneJson = Tool("find-games --json", "HOME='" + empty.Home() + "' WINEPREFIX=");
    EXPECT_EQ(noneJson.status, 1);
    EXPECT_EQ(noneJson.out, "{\"games\": [], \"complete\": true}\n");

    EXPECT_EQ(Tool("find-games --xml").status, 2);
    EXPECT_EQ(Tool("--base /tmp find-games").status, 2);
}
