// The game search over a home folder made as players have one, and the
// reader of Steam's library list, on real and broken text.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "GameFinder.h"
#include "PlayerHome.h"
#include "SteamLibraries.h"

namespace {

// Ample time: the tests below must end because the search did, not because
// its time ran out.
constexpr std::chrono::milliseconds kAmpleTime{20'000};

} // namespace

TEST(GameFinder, FindsTheGamesWherePlayersKeepThemEachOnceAndNoDeeper)
{
    PlayerHome home;
    const std::vector<FoundGame> expected = home.MakeShelves();
    const GameSearchResult result = CGameFinder::Find(home.Places(), kAmpleTime);
    EXPECT_TRUE(result.complete);
    EXPECT_EQ(result.games, expected);

    // Steam's own folder and the second library are searched once each,
    // though two paths lead to the first and the list names it, too.
    const std::vector<GameSearchRoot> roots = CGameFinder::Roots(home.Places());
    ASSERT_GE(roots.size(), 4u);
    EXPECT_EQ(roots[0], (GameSearchRoot{home.Outside("prefix/drive_c"), CGameFinder::kWine}));
    EXPECT_EQ(roots[1], (GameSearchRoot{home.Home() + "/.local/share/Steam/steamapps/common", CGameFinder::kSteam}));
    EXPECT_EQ(roots[3], (GameSearchRoot{home.Outside("disk/SteamLibrary/steamapps/common"), CGameFinder::kSteam}));
    EXPECT_EQ(roots[4], (GameSearchRoot{home.Home() + "/.steam/steam/steamapps/common", CGameFinder::kSteam}));

    // A link from a root to itself, and a library that lists itself through
    // a link, still end the search at once.
    PlayerHome::Link(home.Home() + "/GOG Games/again", home.Home() + "/GOG Games");
    PlayerHome::Link(home.Home() + "/GOG Games/up", home.Home());
    EXPECT_EQ(CGameFinder::Find(home.Places(), kAmpleTime).games, expected);

    // Without time, nothing is searched, and the result says it is not whole.
    const GameSearchResult none = CGameFinder::Find(home.Places(), std::chrono::milliseconds{0});
    EXPECT_FALSE(none.complete);
    EXPECT_TRUE(none.games.empty());
    std::atomic<bool> stop{true};
    EXPECT_FALSE(CGameFinder::Find(home.Places(), kAmpleTime, &stop).complete);

    // A home without any of the places has no games, and a folder that
    // cannot be read is passed over.
    PlayerHome empty;
    std::filesystem::create_directories(empty.Home() + "/Games/locked/Thornvale");
    PlayerHome::AddGame(empty.Home() + "/Games/locked/Thornvale");
    std::filesystem::permissions(empty.Home() + "/Games/locked", std::filesystem::perms::none);
    const GameSearchResult nothing = CGameFinder::Find(empty.Places(), kAmpleTime);
    std::filesystem::permissions(empty.Home() + "/Games/locked", std::filesystem::perms::owner_all);
    EXPECT_TRUE(nothing.complete);
    // Root reads every folder, so only another user's search is seen to pass it over.
    EXPECT_TRUE(nothing.games.empty() || ::geteuid() == 0);
}

TEST(SteamLibraries, ReadsEveryPathAndRefusesBrokenText)
{
    std::vector<std::string> paths;
    const std::string real = "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"/home/ann/.local/share/Steam\"\n"
                             "\t\t\"apps\"\n\t\t{\n\t\t\t\"2401\"\t\t\"5120\"\n\t\t}\n\t}\n"
                             "\t\"1\"\n\t{\n\t\t\"PATH\"\t\t\"/mnt/games/Steam \\\"Library\\\" \\\\2\"\n\t}\n}\n";
    ASSERT_EQ(CSteamLibraries::Parse(real, paths), CSteamLibraries::kOk);
    EXPECT_EQ(paths, (std::vector<std::string>{"/home/ann/.local/share/Steam", "/mnt/games/Steam \"Library\" \\2"}));

    // Comments, conditions and bare words are read past; a path that is
    // not absolute, or hides a zero byte, is passed over.
    const std::string odd = std::string("// made by hand\nlibraryfolders { 0 { path /opt/steam [$LINUX] } ") +
                            "1 { \"path\" \"games\" } 2 { \"path\" \"/a\\0b\" } 3 { \"path\" \"/x" + '\0' + "y\" } }";
    ASSERT_EQ(CSteamLibraries::Parse(odd, paths), CSteamLibraries::kOk);
    EXPECT_EQ(paths, (std::vector<std::string>{"/opt/steam", "/a0b"}));
    EXPECT_EQ(CSteamLibraries::Parse("", paths), CSteamLibraries::kOk);
    EXPECT_TRUE(paths.empty());

    // Broken text gives no paths at all, whatever came before the break.
    std::string nested;
    for (size_t i = 0; i <= CSteamLibraries::kMaxDepth; ++i)
        nested += "\"k\" { ";
    std::string many = "lf {";
    for (size_t i = 0; i <= CSteamLibraries::kMaxLibraries; ++i)
        many += " path /l" + std::to_string(i);
    const struct {
        std::string text;
        int32_t result;
    } broken[] = {
        {"lf { path /a ", CSteamLibraries::kMalformed},
        {"lf { path \"/a }", CSteamLibraries::kMalformed},
        {"lf { path /a } }", CSteamLibraries::kMalformed},
        {"lf { path }", CSteamLibraries::kMalformed},
        {"{ path /a }", CSteamLibraries::kMalformed},
        {"lf { path /a \"\\", CSteamLibraries::kMalformed},
        {nested, CSteamLibraries::kTooDeep},
        {many + " }", CSteamLibraries::kTooLarge},
        {"path \"/" + std::string(CSteamLibraries::kMaxStringBytes, 'a') + "\"", CSteamLibraries::kTooLarge},
        {std::string(CSteamLibraries::kMaxTextBytes + 1, ' '), CSteamLibraries::kTooLarge},
    };
    for (const auto& [text, result] : broken) {
        SCOPED_TRACE(text.substr(0, 40));
        paths = {"left over"};
        EXPECT_EQ(CSteamLibraries::Parse(text, paths), result);
        EXPECT_TRUE(paths.empty());
    }

    // The file is read whole, in any case of its name; none is unreadable.
    PlayerHome home;
    PlayerHome::WriteSteamLibraries(home.Home() + "/Steam", {"/s1", "/s2"});
    EXPECT_EQ(CSteamLibraries::Read(home.Home() + "/Steam/STEAMAPPS/LibraryFolders.vdf", paths), CSteamLibraries::kOk);
    EXPECT_EQ(paths, (std::vector<std::string>{"/s1", "/s2"}));
    EXPECT_EQ(CSteamLibraries::Read(home.Home() + "/nothing.vdf", paths), CSteamLibraries::kUnreadable);
    EXPECT_EQ(CSteamLibraries::Read(home.Home(), paths), CSteamLibraries::kUnreadable);
}
