// The game folder's paths, found in whatever case the game's files have.
#include <gtest/gtest.h>

#include "FileSystem.h"
#include "GameFolder.h"
#include "TempDir.h"

TEST(GameFolder, EveryPathIsFoundInAnyCase)
{
    TempDir dir;
    dir.MakeFolder("data");
    dir.WriteFile("data/data.qpk", {1});
    dir.MakeFolder("portraits");
    dir.WriteFile("portraits/ltvarm1.gfx", {2});
    const CGameFolder game(dir.Path());
    EXPECT_EQ(CFileSystem::ResolvePath(game.ArchivePath()), dir / "data/data.qpk");
    std::string path;
    ASSERT_TRUE(game.OverridePath("PORTRAITS\\LARGE\\LTVARM1.GFX", path));
    EXPECT_EQ(CFileSystem::ResolvePath(path), dir / "portraits/ltvarm1.gfx");
    EXPECT_EQ(CFileSystem::ResolvePath(game.RevertedFolder()), dir / "portraits/Reverted");
    EXPECT_EQ(CFileSystem::ResolvePath(game.PatchPath()), dir / "PATCHES/PATCH.010");
    // An entry whose base name could leave the folder has no override file.
    EXPECT_FALSE(game.OverridePath("PORTRAITS\\LARGE\\...", path));
    EXPECT_TRUE(CGameFolder::IsOverrideFileName("ltvarm1.Gfx"));
    EXPECT_FALSE(CGameFolder::IsOverrideFileName("LTVARM1.GF2"));
}
