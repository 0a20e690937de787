// The game folders on this computer, searched for on a thread of their own
// while the user reads the start's box or looks at the game folder's
// chooser, and offered above the chooser once found. The search starts when
// this is made; it is stopped and waited for when this goes.
#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <thread>

#include "FolderSuggestions.h"
#include "GameFinder.h"

class CGameFolderSearch : public IFolderSuggestions {
public:
    explicit CGameFolderSearch(GameSearchPlaces places,
                               std::chrono::milliseconds budget = CGameFinder::kDefaultBudget);
    ~CGameFolderSearch() override;
    CGameFolderSearch(const CGameFolderSearch&) = delete;
    CGameFolderSearch& operator=(const CGameFolderSearch&) = delete;

    // Nothing yet while the search runs; then the games found, each with
    // where it was found, and what to say above them.
    FolderSuggestions Poll() override;

    // What the chooser offers for a search's result.
    static FolderSuggestions Offer(const GameSearchResult& result);

private:
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::optional<GameSearchResult> m_result; // set once, by the search's thread
    std::thread m_thread;
};
