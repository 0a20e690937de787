// Processes that write into one folder take turns; within one process the
// folder's lock is shared.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "FolderLock.h"
#include "TempDir.h"

TEST(FolderLock, ProcessesTakeTurnsAndOneProcessSharesItsHold)
{
    TempDir dir;
    int toChild[2], toParent[2];
    ASSERT_EQ(::pipe(toChild), 0);
    ASSERT_EQ(::pipe(toParent), 0);
    // The other process is made before this one locks, so that it holds no
    // copy of the lock.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        char go = 0;
        int answers[2] = {};
        CFolderLock theirs;
        (void)!::read(toChild[0], &go, 1);
        answers[0] = theirs.Acquire(dir.Path(), 50) ? 0 : theirs.Error();
        (void)!::write(toParent[1], &answers[0], sizeof answers[0]);
        (void)!::read(toChild[0], &go, 1);
        answers[1] = theirs.Acquire(dir.Path(), 5000) ? 0 : theirs.Error();
        (void)!::write(toParent[1], &answers[1], sizeof answers[1]);
        ::_exit(0);
    }
    CFolderLock mine, again;
    ASSERT_TRUE(mine.Acquire(dir.Path()));
    EXPECT_TRUE(again.Acquire(dir.Path(), 0));
    int answer = -1;
    ASSERT_EQ(::write(toChild[1], "1", 1), 1);
    ASSERT_EQ(::read(toParent[0], &answer, sizeof answer), static_cast<ssize_t>(sizeof answer));
    EXPECT_EQ(answer, EWOULDBLOCK); // the wait ran out while this process held it
    // Only the last of this process's holds lets it go.
    mine.Release();
    again.Release();
    ASSERT_EQ(::write(toChild[1], "2", 1), 1);
    ASSERT_EQ(::read(toParent[0], &answer, sizeof answer), static_cast<ssize_t>(sizeof answer));
    EXPECT_EQ(answer, 0);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);

    CFolderLock missing;
    EXPECT_FALSE(missing.Acquire(dir / "none"));
    EXPECT_EQ(missing.Error(), ENOENT);
}
