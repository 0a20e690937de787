// The game folders on this computer, found where players keep games: every
// Steam library, Wine prefixes, and the folders of Lutris, Heroic, Bottles
// and GOG. The search looks a few levels down from each of those places,
// never enters one folder twice (a link that leads back is passed over),
// and stops when its time is up, so that it can run while the user waits.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

// Where the search starts from: the user's home folder and the environment's
// values that name other places. Tests give a temporary home.
struct GameSearchPlaces {
    std::string home;       // $HOME
    std::string winePrefix; // $WINEPREFIX, empty when not set

    // The places of the running program, from its environment.
    static GameSearchPlaces FromEnvironment();
};

// A folder the search looks below, and what the user is told of the games
// found there.
struct GameSearchRoot {
    std::string folder; // a host path
    std::string foundIn;
    bool operator==(const GameSearchRoot&) const = default;
};

struct FoundGame {
    std::string folder;  // the host path by which it was reached
    std::string foundIn; // "Steam library", "Wine prefix", ...
    bool operator==(const FoundGame&) const = default;
};

struct GameSearchResult {
    std::vector<FoundGame> games; // sorted by folder, each game once
    bool complete = true;         // false when time ran out (or it was stopped) first
};

class CGameFinder {
public:
    // What the user is told of where a game was found.
    static constexpr const char* kSteam = "Steam library";
    static constexpr const char* kWine = "Wine prefix";
    static constexpr const char* kHeroic = "Heroic";
    static constexpr const char* kBottles = "Bottles";
    static constexpr const char* kGog = "GOG";
    static constexpr const char* kLutris = "Lutris";

    // How far below a root a game folder may lie (a root's own folders are
    // 1), and the time the whole search may take by default.
    static constexpr int32_t kMaxDepth = 4;
    static constexpr std::chrono::milliseconds kDefaultBudget{300};

    // The roots for the places, in the order they are searched: the more
    // particular places first, so that a game below two roots (Heroic's
    // folder lies in Lutris' ~/Games) is told by the first.
    static std::vector<GameSearchRoot> Roots(const GameSearchPlaces& places);

    // The game folders below the roots, searched level by level across all
    // of them, until the budget is spent or `stop` (when given) is set.
    static GameSearchResult Search(const std::vector<GameSearchRoot>& roots, std::chrono::milliseconds budget,
                                   const std::atomic<bool>* stop = nullptr);
    // Search(Roots(places), budget, stop).
    static GameSearchResult Find(const GameSearchPlaces& places, std::chrono::milliseconds budget = kDefaultBudget,
                                 const std::atomic<bool>* stop = nullptr);
};
