#include "GameFinder.h"

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <map>
#include <set>

#include "FileSystem.h"
#include "GameFolder.h"
#include "SteamLibraries.h"

namespace {

// Where Steam keeps its own folder, below the home folder: natively (the
// second is usually a link to the first, which is then the path shown) and
// as a Flatpak.
constexpr const char* kSteamFolders[] = {
    ".local/share/Steam",
    ".steam/steam",
    ".var/app/com.valvesoftware.Steam/.local/share/Steam",
};
// The folders that hold one folder per bottle, each a Wine prefix.
constexpr const char* kBottleFolders[] = {
    ".local/share/bottles/bottles",
    ".var/app/com.usebottles.bottles/data/bottles/bottles",
};

// The most folders waiting to be looked into; a tree wider than this is not
// searched whole.
constexpr size_t kMaxWaiting = size_t{1} << 16;

std::string Join(const std::string& folder, std::string_view name)
{
    std::string path = folder;
    if (path.empty() || path.back() != '/')
        path += '/';
    path += name;
    return path;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return (x | 0x20) == (y | 0x20); });
}

std::string_view LastName(std::string_view path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// A Wine prefix's C: drive holds Windows' own folder, thousands of folders
// where no game is; the search passes over it.
bool IsSkipped(std::string_view folder, std::string_view name)
{
    return name.empty() || name[0] == '.' ||
           (EqualsIgnoringCase(LastName(folder), "drive_c") && EqualsIgnoringCase(name, "windows"));
}

void AddSteamRoots(const std::string& home, std::vector<GameSearchRoot>& roots)
{
    for (const char* steam : kSteamFolders) {
        const std::string folder = Join(home, steam);
        // Steam's own folder is a library, whether the file lists it or not.
        std::vector<std::string> libraries{folder};
        std::vector<std::string> listed;
        if (CSteamLibraries::Read(Join(folder, "steamapps/libraryfolders.vdf"), listed) == CSteamLibraries::kOk)
            libraries.insert(libraries.end(), listed.begin(), listed.end());
        for (const std::string& library : libraries)
            roots.push_back({Join(library, "steamapps/common"), CGameFinder::kSteam});
    }
}

} // namespace

GameSearchPlaces GameSearchPlaces::FromEnvironment()
{
    GameSearchPlaces places;
    if (const char* home = std::getenv("HOME"))
        places.home = home;
    if (const char* prefix = std::getenv("WINEPREFIX"))
        places.winePrefix = prefix;
    return places;
}

std::vector<GameSearchRoot> CGameFinder::Roots(const GameSearchPlaces& places)
{
    std::vector<GameSearchRoot> roots;
    if (!places.winePrefix.empty() && places.winePrefix[0] == '/')
        roots.push_back({Join(places.winePrefix, "drive_c"), kWine});
    const std::string& home = places.home;
    if (home.empty() || home[0] != '/')
        return roots;
    AddSteamRoots(home, roots);
    roots.push_back({Join(home, ".wine/drive_c"), kWine});
    // Heroic installs into ~/Games/Heroic and keeps its Wine prefixes in
    // Prefixes there, which lie deeper than the bound below its folder.
    roots.push_back({Join(home, "Games/Heroic"), kHeroic});
    roots.push_back({Join(home, "Games/Heroic/Prefixes"), kHeroic});
    for (const char* bottles : kBottleFolders) {
        const std::string folder = Join(home, bottles);
        for (const std::string& bottle : CFileSystem::ListFolders(folder))
            roots.push_back({Join(Join(folder, bottle), "drive_c"), kBottles});
    }
    roots.push_back({Join(home, "GOG Games"), kGog});
    roots.push_back({Join(home, "Games"), kLutris});
    roots.push_back({Join(home, ".local/share/lutris"), kLutris});
    return roots;
}

GameSearchResult CGameFinder::Search(const std::vector<GameSearchRoot>& roots, std::chrono::milliseconds budget,
                                     const std::atomic<bool>* stop)
{
    const auto deadline = std::chrono::steady_clock::now() + budget;
    struct Waiting {
        std::string folder;
        size_t root;
        int32_t depth;
    };
    // One queue for all roots: every root's first level is looked at before
    // any root's second, so that a slow root cannot keep the others' games
    // from being found, and each folder is first reached at its least depth.
    std::deque<Waiting> waiting;
    for (size_t i = 0; i < roots.size(); ++i)
        waiting.push_back({roots[i].folder, i, 0});
    // Folders by their real paths: each is entered once, however many links
    // lead to it, and each game is told once.
    std::set<std::string> entered;
    std::map<std::string, FoundGame> found;
    GameSearchResult result;
    while (!waiting.empty()) {
        if ((stop && stop->load()) || std::chrono::steady_clock::now() >= deadline) {
            result.complete = false;
            break;
        }
        Waiting place = std::move(waiting.front());
        waiting.pop_front();
        std::string real = CFileSystem::RealPath(place.folder);
        if (real.empty() || !entered.insert(real).second)
            continue;
        if (CGameFolder(place.folder).HoldsArchive()) {
            found.try_emplace(std::move(real), FoundGame{place.folder, roots[place.root].foundIn});
            continue;
        }
        if (place.depth >= kMaxDepth)
            continue;
        for (const std::string& name : CFileSystem::ListFolders(place.folder)) {
            if (IsSkipped(place.folder, name))
                continue;
            if (waiting.size() >= kMaxWaiting) {
                result.complete = false;
                break;
            }
            waiting.push_back({Join(place.folder, name), place.root, place.depth + 1});
        }
    }
    for (auto& [real, game] : found)
        result.games.push_back(std::move(game));
    std::sort(result.games.begin(), result.games.end(),
              [](const FoundGame& a, const FoundGame& b) { return a.folder < b.folder; });
    return result;
}

GameSearchResult CGameFinder::Find(const GameSearchPlaces& places, std::chrono::milliseconds budget,
                                   const std::atomic<bool>* stop)
{
    // Reading Steam's lists and the bottles' folders is part of the time.
    const auto start = std::chrono::steady_clock::now();
    const std::vector<GameSearchRoot> roots = Roots(places);
    const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    return Search(roots, std::max(budget - spent, std::chrono::milliseconds{0}), stop);
}
