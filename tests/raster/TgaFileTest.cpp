// The header checks made before a TGA file is imported into a frame.
#include <gtest/gtest.h>

#include "TgaBytes.h"
#include "TgaFile.h"
#include "TempDir.h"

TEST(TgaFileTest, SizeAndDepthComeFromTheHeaderAlone)
{
    TempDir dir;
    TgaLayout layout;
    layout.imageType = 1;
    layout.depth = 8;
    layout.width = 300;  // both bytes of the field matter
    layout.height = 2;
    // The header alone: the checks read nothing after it.
    dir.WriteFile("A.TGA", MakeTgaHeader(layout));
    const std::string path = dir / "A.TGA";
    EXPECT_EQ(TgaHasSize(path, 300, 2), 1);
    EXPECT_EQ(TgaHasSize(path, 2, 300), 0);
    EXPECT_EQ(TgaHasSize(path, 300, 3), 0);
    EXPECT_EQ(TgaHasSize(path, 44, 2), 0); // 300 in its low byte
    EXPECT_EQ(TgaHasDepth(path, 8), 1);
    EXPECT_EQ(TgaHasDepth(path, 24), 0);
    EXPECT_EQ(TgaHasSize(dir.Path() + "\\a.tga", 300, 2), 1);
    EXPECT_EQ(TgaHasDepth(dir.Path() + "\\a.tga", 8), 1);
}

TEST(TgaFileTest, FilesWithoutAWholeHeaderMatchNothing)
{
    TempDir dir;
    dir.WriteFile("EMPTY.TGA", {});
    dir.WriteFile("SHORT.TGA", Bytes(17, 0));
    dir.MakeFolder("FOLDER.TGA");
    for (const char* name : {"MISSING.TGA", "EMPTY.TGA", "SHORT.TGA", "FOLDER.TGA"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(TgaHasSize(dir / name, 0, 0), 0);
        EXPECT_EQ(TgaHasDepth(dir / name, 0), 0);
    }
}
