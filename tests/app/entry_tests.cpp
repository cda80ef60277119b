#include <gtest/gtest.h>

#include "app/entry.h"
#include "common/test_hooks.h"
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
    // A language module without the dialogs: setup can show none, applies nothing, and says so.
    ASSERT_TRUE(CopyFileTo(BuildDir() + "\\tests\\testlng\\qbxlng.dll", dir / "qbxlng.dll"));
    EXPECT_EQ(run("/setup /quiet"), 1603);
}

TEST(EntryChild, RunOnAVolumeWithoutShortNames)
{
    char args[32] = "";
    if (!GetEnvironmentVariableA("QBX_ENTRY_CHILD", args, sizeof args))
        GTEST_SKIP() << "runs only as the child of Entry.AFolderNoNameHoldsIsNeitherSetUpNorRemoved";
    g_shortPathName = NoShortNames;
    std::string commandLine = std::string("uninstall.exe ") + args; // as the start-up hands it over
    ExitProcess(static_cast<UINT>(RunProgram(GetModuleHandleA(nullptr), commandLine.c_str())));
}

// Hangul letters, which neither 936 nor 1252 holds, in a folder without a short name: setup
// refuses and writes nothing, removal reports as for a folder it cannot enter and deletes nothing.
TEST(Entry, AFolderNoNameHoldsIsNeitherSetUpNorRemoved)
{
    TempDir dir("refusal");
    const std::wstring folder = Wide(dir.path().c_str()) + Wide(u8"\\Quibex 한글"), self = folder + L"\\uninstall.exe";
    if (Acp(u8"한글").find('?') == std::string::npos)
        GTEST_SKIP() << "the code page holds every letter";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    WCHAR tests[MAX_PATH];
    GetModuleFileNameW(nullptr, tests, MAX_PATH);
    ASSERT_TRUE(CopyFileW(tests, self.c_str(), FALSE));
    const std::string shortFolder = NamedPath(folder);
    ASSERT_TRUE(WriteFileBytes(JoinPath(shortFolder, "Uninstall.lst"), "victim.txt\r\n"));
    ASSERT_TRUE(WriteFileBytes(JoinPath(shortFolder, "victim.txt"), "x"));
    for (const char *args : {"/setup /quiet", "/quiet"}) {
        SetEnvironmentVariableA("QBX_ENTRY_CHILD", args);
        EXPECT_EQ(RunProcessW(L"\"" + self + L"\" --gtest_filter=EntryChild.*"), 1603) << args;
        SetEnvironmentVariableA("QBX_ENTRY_CHILD", nullptr);
    }
    EXPECT_TRUE(Exists(JoinPath(shortFolder, "victim.txt")));
    EXPECT_FALSE(Exists(JoinPath(shortFolder, "qbxnew.dat")));
    for (const char *key : {"Software\\Quibex", "Software\\Classes\\Quibex",
                            "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quibex archiver"})
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            HKEY opened;
            EXPECT_NE(RegOpenKeyExA(root, key, 0, KEY_READ, &opened), ERROR_SUCCESS) << key;
        }
}
