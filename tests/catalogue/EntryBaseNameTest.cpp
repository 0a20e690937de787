// Base names of archive entries, and the names that must never become files.
#include <gtest/gtest.h>

#include "EntryBaseName.h"

TEST(EntryBaseName, TakesTheTextBetweenLastBackslashAndLastDot)
{
    std::string base;
    EXPECT_TRUE(GetEntryBaseName("PORTRAITS\\LARGE\\XTVARM1.GFX", base));
    EXPECT_EQ(base, "XTVARM1");
    EXPECT_TRUE(GetEntryBaseName("PORTRAITS\\A.B.GFX", base));
    EXPECT_EQ(base, "A.B");
    EXPECT_TRUE(GetEntryBaseName("NOFOLDER.GFX", base));
    EXPECT_EQ(base, "NOFOLDER");
}

TEST(EntryBaseName, RefusesNamesWithoutOneOrThatLeaveTheFolder)
{
    const char* refused[] = {
        "PORTRAITS\\NODOT",          // no extension
        "PORTRAITS\\A.B\\NODOT",     // the only dot is in a folder name
        "PORTRAITS\\.GFX",           // empty base name
        "PORTRAITS\\..GFX",          // "."
        "PORTRAITS\\...GFX",         // ".."
        "PORTRAITS\\../../etc.GFX",  // holds a '/'
        "PORTRAITS\\a/b.GFX",
    };
    for (const char* name : refused) {
        SCOPED_TRACE(name);
        std::string base = "left over";
        EXPECT_FALSE(GetEntryBaseName(name, base));
        EXPECT_TRUE(base.empty());
    }
}
