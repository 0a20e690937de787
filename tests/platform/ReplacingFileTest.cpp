// A replacing write either puts a complete file in place or leaves the old one.
#include <gtest/gtest.h>

#include "ReplacingFile.h"
#include "TempDir.h"

TEST(ReplacingFile, CommitReplacesTheTargetAndLeavesNoTemporaryFile)
{
    TempDir dir;
    dir.WriteFile("T.GFX", {'o', 'l', 'd'});
    CReplacingFile out;
    ASSERT_TRUE(out.Begin(dir.Path() + "\\t.gfx", dir.Path() + "\\T.GF2"));
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
        ASSERT_TRUE(out.Begin(dir / "T.GFX", dir / "T.GF2"));
        std::fputs("partial", out.Stream());
    }
    EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"T.GFX"});
    EXPECT_EQ(ReadFileBytes(dir / "T.GFX"), std::vector<uint8_t>{'o'});

    CReplacingFile out;
    EXPECT_FALSE(out.Begin(dir / "missing/T.GFX", dir / "missing/T.GF2"));
    EXPECT_FALSE(out.Commit());
}

TEST(ReplacingFile, CommitFailsWhenTheTemporaryPathIsAFolder)
{
    TempDir dir;
    dir.WriteFile("T.GFX", {'o'});
    dir.MakeFolder("T.GF2");
    CReplacingFile out;
    EXPECT_FALSE(out.Begin(dir / "T.GFX", dir / "T.GF2"));
    EXPECT_EQ(ReadFileBytes(dir / "T.GFX"), std::vector<uint8_t>{'o'});
}

TEST(ReplacingFile, CommitNewPutsTheFileOnlyWhereNoneStands)
{
    TempDir dir;
    CReplacingFile first;
    ASSERT_TRUE(first.Begin(dir.Path() + "\\NEW.QPK", dir.Path() + "\\NEW.QPK.part"));
    std::fputs("one", first.Stream());
    ASSERT_TRUE(first.CommitNew());
    // A file that came in the meantime, in any spelling, stays as it is.
    CReplacingFile second;
    ASSERT_TRUE(second.Begin(dir.Path() + "\\new.qpk", dir.Path() + "\\new.qpk.part"));
    std::fputs("two", second.Stream());
    EXPECT_FALSE(second.CommitNew());
    EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"NEW.QPK"});
    EXPECT_EQ(ReadFileBytes(dir / "NEW.QPK"), (std::vector<uint8_t>{'o', 'n', 'e'}));
}
