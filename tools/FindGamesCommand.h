// portrait-tool find-games: the game folders on this computer, found where
// the window looks when it starts without one (Steam's libraries, Wine
// prefixes, Lutris, Heroic, Bottles and GOG), one a line with where it was
// found, or as JSON.
#pragma once

#include <string>
#include <vector>

// The arguments after "find-games": only --json. An empty string when they
// are right, else what is wrong.
std::string ParseFindGames(const std::vector<std::string>& rest, bool& json);

// Searches and prints: 0 when a game folder was found, 1 when none was (the
// places looked in on standard error).
int RunFindGames(bool json);
