// Path building, case-insensitive resolution, the refusal of unsafe names,
// and opens that take regular files only.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "FileSystem.h"
#include "TempDir.h"

namespace {

std::string ReadAll(FILE* f)
{
    std::string s;
    char buf[64];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        s.append(buf, n);
    return s;
}

} // namespace

TEST(FileSystem, BuildsPathsWithOneSeparator)
{
    EXPECT_EQ(CFileSystem::BuildPath("/game", "\\Portraits"), "/game\\Portraits");
    EXPECT_EQ(CFileSystem::BuildPath("/game", "DATA\\DATA.QPK"), "/game\\DATA\\DATA.QPK");
    EXPECT_EQ(CFileSystem::BuildPath("/", "\\Portraits"), "/Portraits");
    EXPECT_EQ(CFileSystem::BuildPath("/game/", "PATCHES"), "/game/PATCHES");
}

TEST(FileSystem, CurrentDirectoryHasNoTrailingSeparator)
{
    TempDir dir;
    char old[4096];
    ASSERT_NE(::getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(::chdir(dir.Path().c_str()), 0);
    std::string cwd = CFileSystem::GetCurrentDir();
    ASSERT_EQ(::chdir(old), 0);
    EXPECT_EQ(CFileSystem::ResolvePath(cwd), CFileSystem::ResolvePath(dir.Path()));
    EXPECT_NE(cwd.back(), '/');
}

TEST(FileSystem, MatchesEachComponentRegardlessOfCase)
{
    TempDir dir;
    dir.MakeFolder("data");
    dir.WriteFile("data/data.qpk", {'a'});
    dir.MakeFolder("Portraits");

    auto f = CFileSystem::OpenForReading(dir.Path() + "\\DATA\\DATA.QPK");
    ASSERT_TRUE(f);
    EXPECT_EQ(ReadAll(f.get()), "a");
    EXPECT_EQ(CFileSystem::ResolvePath(dir.Path() + "\\PORTRAITS\\X.GFX"), dir / "Portraits/X.GFX");
    EXPECT_TRUE(CFileSystem::FileExists(dir.Path() + "\\Data\\Data.Qpk"));
    EXPECT_FALSE(CFileSystem::FileExists(dir.Path() + "\\Data"));
}

TEST(FileSystem, ExactSpellingWinsThenFirstInByteOrder)
{
    TempDir dir;
    dir.WriteFile("abc", {'1'});
    dir.WriteFile("ABC", {'2'});
    dir.WriteFile("Abc", {'3'});
    // Exact spellings are taken as they are.
    EXPECT_EQ(CFileSystem::ResolvePath(dir.Path() + "\\abc"), dir / "abc");
    EXPECT_EQ(CFileSystem::ResolvePath(dir.Path() + "\\Abc"), dir / "Abc");
    // Otherwise the first match in byte order, whatever order the folder lists.
    EXPECT_EQ(CFileSystem::ResolvePath(dir.Path() + "\\aBC"), dir / "ABC");
}

TEST(FileSystem, CaseIsFoldedForAsciiLettersOnly)
{
    TempDir dir;
    dir.WriteFile("\xc3\xa9t\xc3\xa9", {'x'}); // UTF-8 lower-case e-acute
    EXPECT_EQ(CFileSystem::ResolvePath(dir.Path() + "\\\xc3\xa9T\xc3\xa9"), dir / "\xc3\xa9t\xc3\xa9");
    // Upper-case E-acute is a different byte sequence and never matches.
    EXPECT_EQ(CFileSystem::ResolvePath(dir.Path() + "\\\xc3\x89T\xc3\x89"), dir / "\xc3\x89T\xc3\x89");
}

TEST(FileSystem, NewFilesKeepTheirSpellingInsideMatchedFolders)
{
    TempDir dir;
    dir.MakeFolder("patches");
    {
        auto f = CFileSystem::CreateForWriting(dir.Path() + "\\PATCHES\\PATCH.010");
        ASSERT_TRUE(f);
        std::fputs("new", f.get());
    }
    EXPECT_EQ(ListFolder(dir / "patches"), std::vector<std::string>{"PATCH.010"});

    // Writing again with another spelling replaces the same file.
    {
        auto f = CFileSystem::CreateForWriting(dir.Path() + "\\Patches\\patch.010");
        ASSERT_TRUE(f);
        std::fputs("again", f.get());
    }
    EXPECT_EQ(ListFolder(dir / "patches"), std::vector<std::string>{"PATCH.010"});
    auto bytes = ReadFileBytes(dir / "patches/PATCH.010");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "again");

    // Nothing is created below a folder that does not exist.
    EXPECT_FALSE(CFileSystem::CreateForWriting(dir.Path() + "\\MISSING\\X"));
}

TEST(FileSystem, FoldersRemovalAndRename)
{
    TempDir dir;
    EXPECT_TRUE(CFileSystem::CreateFolder(dir.Path() + "\\Portraits"));
    EXPECT_TRUE(CFileSystem::CreateFolder(dir.Path() + "\\PORTRAITS")); // exists already
    EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"Portraits"});

    dir.WriteFile("Portraits/A.GF2", {'n'});
    dir.WriteFile("Portraits/A.GFX", {'o'});
    EXPECT_TRUE(CFileSystem::RenameFile(dir.Path() + "\\PORTRAITS\\A.GF2", dir.Path() + "\\PORTRAITS\\a.gfx"));
    EXPECT_EQ(ListFolder(dir / "Portraits"), std::vector<std::string>{"A.GFX"});
    EXPECT_EQ(ReadFileBytes(dir / "Portraits/A.GFX"), std::vector<uint8_t>{'n'});

    EXPECT_TRUE(CFileSystem::RemoveFile(dir.Path() + "\\portraits\\a.gfx"));
    EXPECT_FALSE(CFileSystem::RemoveFile(dir.Path() + "\\portraits\\a.gfx"));
    EXPECT_TRUE(ListFolder(dir / "Portraits").empty());
}

TEST(FileSystem, MovesWithoutReplacingAndListsFiles)
{
    TempDir dir;
    dir.MakeFolder("Portraits");
    dir.WriteFile("Portraits/A.GFX", {'a'});
    dir.WriteFile("Portraits/B.GFX", {'b'});
    dir.MakeFolder("Portraits/Reverted");
    EXPECT_EQ(CFileSystem::ListFiles(dir.Path() + "\\PORTRAITS"), (std::vector<std::string>{"A.GFX", "B.GFX"}));
    EXPECT_TRUE(CFileSystem::ListFiles(dir.Path() + "\\Missing").empty());
    EXPECT_TRUE(CFileSystem::PathExists(dir.Path() + "\\portraits\\reverted"));
    EXPECT_FALSE(CFileSystem::PathExists(dir.Path() + "\\portraits\\C.GFX"));

    // A name that is taken is never replaced; both files stay as they were.
    EXPECT_FALSE(CFileSystem::MoveWithoutReplacing(dir.Path() + "\\Portraits\\A.GFX",
                                                   dir.Path() + "\\Portraits\\b.gfx"));
    EXPECT_EQ(ReadFileBytes(dir / "Portraits/A.GFX"), std::vector<uint8_t>{'a'});
    EXPECT_EQ(ReadFileBytes(dir / "Portraits/B.GFX"), std::vector<uint8_t>{'b'});
    EXPECT_TRUE(CFileSystem::MoveWithoutReplacing(dir.Path() + "\\Portraits\\A.GFX",
                                                  dir.Path() + "\\PORTRAITS\\REVERTED\\A.GFX.1"));
    EXPECT_EQ(ListFolder(dir / "Portraits/Reverted"), std::vector<std::string>{"A.GFX.1"});
    EXPECT_EQ(ReadFileBytes(dir / "Portraits/Reverted/A.GFX.1"), std::vector<uint8_t>{'a'});
    EXPECT_FALSE(CFileSystem::MoveWithoutReplacing(dir.Path() + "\\Portraits\\A.GFX",
                                                   dir.Path() + "\\Portraits\\C.GFX"));
}

TEST(FileSystem, RefusesNamesThatCouldLeaveTheirFolder)
{
    EXPECT_TRUE(CFileSystem::IsSafeFileName("XTVARM1"));
    EXPECT_TRUE(CFileSystem::IsSafeFileName("..."));
    EXPECT_TRUE(CFileSystem::IsSafeFileName(".hidden"));
    EXPECT_FALSE(CFileSystem::IsSafeFileName(""));
    EXPECT_FALSE(CFileSystem::IsSafeFileName("."));
    EXPECT_FALSE(CFileSystem::IsSafeFileName(".."));
    EXPECT_FALSE(CFileSystem::IsSafeFileName("../x"));
    EXPECT_FALSE(CFileSystem::IsSafeFileName("a/b"));
    EXPECT_FALSE(CFileSystem::IsSafeFileName("a\\b"));
    EXPECT_FALSE(CFileSystem::IsSafeFileName(std::string_view("a\0b", 3)));
}

TEST(FileSystem, FileSizeKeepsThePosition)
{
    TempDir dir;
    dir.WriteFile("f", std::vector<uint8_t>(10, 7));
    auto f = CFileSystem::OpenForReading(dir / "f");
    ASSERT_TRUE(f);
    std::fseek(f.get(), 3, SEEK_SET);
    EXPECT_EQ(CFileSystem::GetFileSize(f.get()), 10);
    EXPECT_EQ(std::ftell(f.get()), 3);
}

TEST(FileSystem, OnlyRegularFilesAreOpenedAndNoOpenWaits)
{
    TempDir dir;
    dir.MakeFolder("FOLDER.GFX");
    ASSERT_EQ(::mkfifo((dir / "PIPE.GFX").c_str(), 0600), 0);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = dir / "SOCKET.GFX";
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, socketPath.c_str());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    dir.WriteFile("FILE.GFX", {1, 2, 3});

    // A FIFO without a writer would block a plain open for ever; these
    // return at once, with nothing opened.
    for (const char* name : {"FOLDER.GFX", "PIPE.GFX", "SOCKET.GFX", "MISSING.GFX"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(CFileSystem::OpenForReading(dir / name));
        EXPECT_FALSE(CFileSystem::FileExists(dir / name));
    }
    EXPECT_FALSE(CFileSystem::OpenForReading("/dev/zero"));
    EXPECT_TRUE(CFileSystem::OpenForReading(dir / "FILE.GFX"));

    // Writing: a FIFO without a reader and a folder are refused, a device
    // is not written to.
    EXPECT_FALSE(CFileSystem::CreateForWriting(dir / "PIPE.GFX"));
    EXPECT_FALSE(CFileSystem::CreateForWriting(dir / "FOLDER.GFX"));
    EXPECT_FALSE(CFileSystem::CreateForWriting("/dev/null"));
    ::close(sock);

    // A temporary file takes the place of what stood at its name: a link is
    // replaced, not followed.
    ASSERT_EQ(::symlink((dir / "FILE.GFX").c_str(), (dir / "LINK.GF2").c_str()), 0);
    {
        FileHandle f = CFileSystem::CreateNewFile(dir / "LINK.GF2");
        ASSERT_TRUE(f);
        EXPECT_TRUE(CFileSystem::Write(f.get(), "new", 3));
    }
    EXPECT_FALSE(std::filesystem::is_symlink(dir / "LINK.GF2"));
    EXPECT_EQ(ReadFileBytes(dir / "LINK.GF2"), (std::vector<uint8_t>{'n', 'e', 'w'}));
    EXPECT_EQ(ReadFileBytes(dir / "FILE.GFX"), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_FALSE(CFileSystem::CreateNewFile(dir / "FOLDER.GFX"));
}
