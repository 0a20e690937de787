// The search the window runs on a thread of its own while it asks for a
// game folder: nothing to offer until it ends, then the games found with
// where each was found, or a caption that says none was.
#include <gtest/gtest.h>

#include <thread>

#include "GameFolderSearch.h"
#include "PlayerHome.h"
#include "Resources.h"

namespace {

// Polls as the chooser does until the search is complete, for at most 20 s.
FolderSuggestions PollToTheEnd(CGameFolderSearch& search)
{
    FolderSuggestions offer = search.Poll();
    for (int i = 0; i < 2000 && !offer.complete; ++i) {
        EXPECT_TRUE(offer.folders.empty());
        EXPECT_EQ(offer.caption, LoadResourceString(IDS_GAMES_SEARCHING));
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        offer = search.Poll();
    }
    return offer;
}

} // namespace

TEST(GameFolderSearch, OffersTheGamesFoundOnceTheSearchEnds)
{
    PlayerHome home;
    const std::vector<FoundGame> games = home.MakeShelves();
    CGameFolderSearch search(home.Places(), std::chrono::seconds(20));
    const FolderSuggestions offer = PollToTheEnd(search);
    ASSERT_TRUE(offer.complete);
    EXPECT_EQ(offer.caption, LoadResourceString(IDS_GAMES_FOUND));
    ASSERT_EQ(offer.folders.size(), games.size());
    for (size_t i = 0; i < games.size(); ++i)
        EXPECT_EQ(offer.folders[i], (FolderSuggestion{games[i].folder, games[i].foundIn}));

    PlayerHome empty;
    CGameFolderSearch none(empty.Places(), std::chrono::seconds(20));
    const FolderSuggestions nothing = PollToTheEnd(none);
    EXPECT_TRUE(nothing.complete);
    EXPECT_TRUE(nothing.folders.empty());
    EXPECT_EQ(nothing.caption, LoadResourceString(IDS_GAMES_NONE_FOUND));

    // A search that is let go at once is stopped and waited for.
    { CGameFolderSearch dropped(home.Places(), std::chrono::seconds(20)); }
}
