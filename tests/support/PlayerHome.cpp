#include "PlayerHome.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

PlayerHome::PlayerHome()
{
    m_dir.MakeFolder("home");
}

std::string PlayerHome::AddGame(const std::string& folder, const std::string& archive)
{
    const fs::path file = fs::path(folder) / archive;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << "QPK";
    return folder;
}

void PlayerHome::Link(const std::string& at, const std::string& target)
{
    fs::create_directories(fs::path(at).parent_path());
    fs::create_directory_symlink(target, at);
}

void PlayerHome::WriteSteamLibraries(const std::string& steamFolder, const std::vector<std::string>& libraries)
{
    fs::create_directories(fs::path(steamFolder) / "steamapps");
    std::ofstream out(fs::path(steamFolder) / "steamapps/libraryfolders.vdf", std::ios::binary);
    out << "\"libraryfolders\"\n{\n";
    for (size_t i = 0; i < libraries.size(); ++i)
        out << "\t\"" << i << "\"\n\t{\n\t\t\"path\"\t\t\"" << libraries[i]
            << "\"\n\t\t\"label\"\t\t\"\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"2401\"\t\t\"5120\"\n\t\t}\n\t}\n";
    out << "}\n";
    if (!out)
        throw std::runtime_error("cannot write libraryfolders.vdf");
}

std::vector<FoundGame> PlayerHome::MakeShelves() const
{
    const std::string steam = Home() + "/.local/share/Steam";
    const std::string library = Outside("disk/SteamLibrary");
    // ~/.steam/steam leads to the same folder, as on most systems.
    Link(Home() + "/.steam/steam", steam);
    WriteSteamLibraries(steam, {steam, library});
    std::vector<FoundGame> games = {
        {AddGame(steam + "/steamapps/common/Thornvale"), CGameFinder::kSteam},
        {AddGame(library + "/steamapps/common/Thornvale Gold", "data/data.qpk"), CGameFinder::kSteam},
        {AddGame(Home() + "/.wine/drive_c/GOG Games/Thornvale"), CGameFinder::kWine},
        {AddGame(Outside("prefix/drive_c/Program Files/Thornvale")), CGameFinder::kWine},
        // Heroic's folder lies in ~/Games, Lutris' folder, too.
        {AddGame(Home() + "/Games/Heroic/Thornvale"), CGameFinder::kHeroic},
        // Four levels below ~/Games: as deep as the search goes.
        {AddGame(Home() + "/Games/thornvale/drive_c/GOG Games/Thornvale"), CGameFinder::kLutris},
    };
    // A game's folder without its archive, an archive that is a folder, and a
    // game one level too deep are no finds.
    fs::create_directories(Home() + "/Games/Heroic/Unpacked/DATA");
    fs::create_directories(Home() + "/Games/Heroic/Broken/DATA/DATA.QPK");
    AddGame(Home() + "/Games/deep/drive_c/GOG Games/Thornvale/Thornvale");
    // Links that lead back up, round and round, and one to the second library.
    Link(Home() + "/Games/Heroic/Unpacked/Back", Home() + "/Games");
    Link(Home() + "/Games/loop", Home());
    Link(Home() + "/Games/library", library);
    std::sort(games.begin(), games.end(), [](const FoundGame& a, const FoundGame& b) { return a.folder < b.folder; });
    return games;
}
