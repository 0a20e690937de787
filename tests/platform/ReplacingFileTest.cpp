// A replacing write either puts a complete file in place or leaves the old one.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "ReplacingFile.h"
#include "TempDir.h"

TEST(ReplacingFile, CommitReplacesTheTargetAndLeavesNoTemporaryFile)
{
    TempDir dir;
    dir.WriteFile("T.GFX", {'o', 'l', 'd'});
    CReplacingFile out;
    ASSERT_TRUE(out.Begin(dir.Path() + "\\t.gfx"));
    std::fputs("new", out.Stream());
    // Until the commit the old file stands as it was.
    EXPECT_EQ(ReadFileBytes(dir / "T.GFX"), (std::vector<uint8_t>{'o', 'l', 'd'}));
    ASSERT_TRUE(out.Commit());
    EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"T.GFX"});
    EXPECT_EQ(ReadFileBytes(dir / "T.GFX"), (std::vector<uint8_t>{'n', 'e', 'w'}));
}

TEST(ReplacingFile, AbortAndDestructionKeepTheTarget)
{
    TempDir dir;
    dir.WriteFile("T.GFX", {'o'});
    {
        CReplacingFile out;
        ASSERT_TRUE(out.Begin(dir / "T.GFX"));
        std::fputs("partial", out.Stream());
    }
    EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"T.GFX"});
    EXPECT_EQ(ReadFileBytes(dir / "T.GFX"), std::vector<uint8_t>{'o'});

    CReplacingFile out;
    EXPECT_FALSE(out.Begin(dir / "missing/T.GFX"));
    EXPECT_NE(out.Error(), 0);
    EXPECT_FALSE(out.Commit());
}

TEST(ReplacingFile, WritersNeverShareATemporaryFileNorWriteThroughALink)
{
    TempDir dir;
    // Two writers of one target at once: each keeps its own bytes, and the
    // last to commit wins whole.
    CReplacingFile first, second;
    ASSERT_TRUE(first.Begin(dir / "T.GFX"));
    ASSERT_TRUE(second.Begin(dir / "T.GFX"));
    std::fputs("first", first.Stream());
    std::fputs("second", second.Stream());
    ASSERT_TRUE(second.Commit());
    ASSERT_TRUE(first.Commit());
    EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"T.GFX"});
    EXPECT_EQ(ReadFileBytes(dir / "T.GFX"), (std::vector<uint8_t>{'f', 'i', 'r', 's', 't'}));

    // A link at the target's name is replaced; what it led to is untouched.
    dir.WriteFile("elsewhere", {'k', 'e', 'e', 'p'});
    std::filesystem::create_symlink(dir / "elsewhere", dir / "L.PNG");
    int error = 0;
    ASSERT_TRUE(CReplacingFile::WriteWhole(dir / "L.PNG", "new", 3, error));
    EXPECT_FALSE(std::filesystem::is_symlink(dir / "L.PNG"));
    EXPECT_EQ(ReadFileBytes(dir / "L.PNG"), (std::vector<uint8_t>{'n', 'e', 'w'}));
    EXPECT_EQ(ReadFileBytes(dir / "elsewhere"), (std::vector<uint8_t>{'k', 'e', 'e', 'p'}));
}

TEST(ReplacingFile, LeftoversOfKilledWritersGoWithTheNextWriteOfTheirFile)
{
    TempDir dir;
    const pid_t gone = ::fork();
    ASSERT_GE(gone, 0);
    if (gone == 0)
        ::_exit(0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    // Temporary files of T.GFX from a process that has gone and from one
    // that runs (this one's parent), an earlier version's, one of another
    // file, and a file of the user's named alike.
    const std::string dead = "T.GFX." + std::to_string(gone) + "-abc123.tmp";
    const std::string live = "T.GFX." + std::to_string(::getppid()) + "-abc123.tmp";
    const std::string other = "A.PNG." + std::to_string(gone) + "-abc123.tmp";
    const std::string users = "notes." + std::to_string(gone) + "-abcdef.tmp";
    for (const std::string& name : {dead, live, other, users, std::string("T.GF2")})
        dir.WriteFile(name, {'x'});
    int error = 0;
    ASSERT_TRUE(CReplacingFile::WriteWhole(dir / "T.GFX", "new", 3, error));
    EXPECT_EQ(ListFolder(dir.Path()), (std::vector<std::string>{other, "T.GFX", live, users}));

    // A name so long that a temporary name beside it could not hold all of it.
    const std::string longName(250, 'N');
    ASSERT_TRUE(CReplacingFile::WriteWhole(dir / longName, "long", 4, error)) << std::strerror(error);
    EXPECT_EQ(ReadFileBytes(dir / longName), (std::vector<uint8_t>{'l', 'o', 'n', 'g'}));
}

TEST(ReplacingFile, CommitNewPutsTheFileOnlyWhereNoneStands)
{
    TempDir dir;
    CReplacingFile first;
    ASSERT_TRUE(first.Begin(dir.Path() + "\\NEW.QPK"));
    std::fputs("one", first.Stream());
    ASSERT_TRUE(first.CommitNew());
    // A file that came in the meantime, in any spelling, stays as it is.
    CReplacingFile second;
    ASSERT_TRUE(second.Begin(dir.Path() + "\\new.qpk"));
    std::fputs("two", second.Stream());
    EXPECT_FALSE(second.CommitNew());
    EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"NEW.QPK"});
    EXPECT_EQ(ReadFileBytes(dir / "NEW.QPK"), (std::vector<uint8_t>{'o', 'n', 'e'}));
}
