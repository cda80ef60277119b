#include <gtest/gtest.h>

#include "common/test_util.h"

#include <string>

// A copy of the program in a folder of its own, as an installation would hold it. The pause
// is checked for a lower bound only: the batch file relies on it, and no load can shorten it.
TEST(Entry, WaitPausesTwoSecondsAndUnknownSwitchesDoNothing)
{
    TempDir dir("entry");
    ASSERT_TRUE(CopyFileTo(ProgramPath(), dir / "uninstall.exe"));
    ASSERT_TRUE(WriteFileBytes(dir / "Uninstall.lst", "victim.txt\r\n"));
    ASSERT_TRUE(WriteFileBytes(dir / "victim.txt", "x"));
    auto run = [&](const char *args) { return RunProcess("\"" + (dir / "uninstall.exe") + "\" " + args); };
    DWORD start = GetTickCount();
    EXPECT_EQ(run("/wait"), 0);
    EXPECT_GE(GetTickCount() - start, 1900u);
    for (const char *args : {"/clean", "/x", "/", "--s"}) // no dialog waits, no removal starts
        EXPECT_EQ(run(args), 0) << args;
    EXPECT_TRUE(Exists(dir / "victim.txt")) << "neither the pause nor an unknown switch removes anything";
}
