#include "FindGamesCommand.h"

#include <cstdio>

#include "GameFinder.h"
#include "JsonText.h"

namespace {

constexpr int kExitFound = 0;
constexpr int kExitNoneFound = 1;

} // namespace

std::string ParseFindGames(const std::vector<std::string>& rest, bool& json)
{
    json = false;
    for (const std::string& flag : rest) {
        if (flag != "--json" || json)
            return "find-games takes only --json";
        json = true;
    }
    return {};
}

int RunFindGames(bool json)
{
    const GameSearchResult result = CGameFinder::Find(GameSearchPlaces::FromEnvironment());
    if (json) {
        std::printf("{\"games\": [");
        for (size_t i = 0; i < result.games.size(); ++i)
            std::printf("%s{\"folder\": %s, \"foundIn\": %s}", i ? ", " : "",
                        JsonString(result.games[i].folder).c_str(), JsonString(result.games[i].foundIn).c_str());
        std::printf("], \"complete\": %s}\n", result.complete ? "true" : "false");
    } else {
        for (const FoundGame& game : result.games)
            std::printf("%s\t%s\n", game.folder.c_str(), game.foundIn.c_str());
    }
    if (!result.complete)
        std::fprintf(stderr, "find-games: the search stopped after %lld ms; folders deeper down were not looked at.\n",
                     static_cast<long long>(CGameFinder::kDefaultBudget.count()));
    if (!result.games.empty())
        return kExitFound;
    std::fprintf(stderr,
                 "find-games: no game folder found (a folder holding DATA/DATA.QPK) in Steam's libraries, Wine "
                 "prefixes, or the folders of Lutris, Heroic, Bottles and GOG.\n");
    return kExitNoneFound;
}
