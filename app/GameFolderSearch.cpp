#include "GameFolderSearch.h"

#include <exception>

#include "Resources.h"

CGameFolderSearch::CGameFolderSearch(GameSearchPlaces places, std::chrono::milliseconds budget)
{
    m_thread = std::thread([this, places = std::move(places), budget] {
        GameSearchResult result;
        // Nothing may leave the thread: a search that fails found nothing.
        try {
            result = CGameFinder::Find(places, budget, &m_stop);
        } catch (const std::exception&) {
            result = {};
        }
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_result = std::move(result);
    });
}

CGameFolderSearch::~CGameFolderSearch()
{
    m_stop = true;
    m_thread.join();
}

FolderSuggestions CGameFolderSearch::Poll()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_result)
        return {{}, LoadResourceString(IDS_GAMES_SEARCHING), false};
    return Offer(*m_result);
}

FolderSuggestions CGameFolderSearch::Offer(const GameSearchResult& result)
{
    FolderSuggestions offer;
    for (const FoundGame& game : result.games)
        offer.folders.push_back({game.folder, game.foundIn});
    offer.caption = LoadResourceString(offer.folders.empty() ? IDS_GAMES_NONE_FOUND : IDS_GAMES_FOUND);
    offer.complete = true;
    return offer;
}
