// A home folder as players have one, for the game search's tests: Steam
// (natively, with its usual link, and a second library outside the home),
// a Wine prefix, Heroic's folder, and the folders around them that hold no
// game, lie too deep or lead back round in a circle.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "GameFinder.h"
#include "TempDir.h"

class PlayerHome {
public:
    // The home folder is <temporary folder>/home; what lies outside it
    // (another disk's Steam library, $WINEPREFIX) is beside it.
    PlayerHome();

    std::string Home() const { return m_dir / "home"; }
    // A host path below the temporary folder, outside the home.
    std::string Outside(const std::string& relative) const { return m_dir / relative; }

    // A game folder at a host path: the archive below it, spelled as given;
    // the folder.
    static std::string AddGame(const std::string& folder, const std::string& archive = "DATA/DATA.QPK");
    // A link at a host path to the target.
    static void Link(const std::string& at, const std::string& target);
    // libraryfolders.vdf in a Steam folder, as Steam writes it, listing the
    // libraries.
    static void WriteSteamLibraries(const std::string& steamFolder, const std::vector<std::string>& libraries);

    // The trees named above, every one; the games in them that the search
    // finds, sorted by folder. $WINEPREFIX is Outside("prefix").
    std::vector<FoundGame> MakeShelves() const;
    GameSearchPlaces Places() const { return {Home(), Outside("prefix")}; }

private:
    TempDir m_dir;
};

// A game found as a failed test shows it.
inline void PrintTo(const FoundGame& game, std::ostream* out)
{
    *out << game.folder << " (" << game.foundIn << ")";
}
