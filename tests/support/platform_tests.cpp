#include <gtest/gtest.h>

#include "common/test_hooks.h"
#include "common/test_util.h"
#include "support/platform.h"

#include <string>

static std::string EmulatedVersion()
{
    char buf[32] = "";
    GetEnvironmentVariableA("QBX_VERSION", buf, sizeof buf);
    return buf;
}

TEST(NtMajorVersion, FollowsTheEmulatedWindowsAndAsksOnce)
{
    std::string version = EmulatedVersion();
    DWORD expected = version == "win98" ? 0 : version == "winxp" ? 5 : version == "win10" ? 10 : 6;
    EXPECT_EQ(NtMajorVersion(), expected);
    EXPECT_EQ(NtMajorVersion(), expected);
    EXPECT_EQ(VersionQueryCount(), 1);
}

// The program runs elevated: a library of that name in a folder searched by bare name
// (here the DLL folder, searched before the system folder) must never be loaded.
TEST(LoadSystemLibrary, TakesOnlyTheSystemCopy)
{
    TempDir dir("syslib");
    ASSERT_TRUE(CopyFileTo(JoinPath(BuildDir(), "tests\\testlng\\qbxlng.dll"), dir / "qbxplanted.dll"));
    ASSERT_TRUE(SetDllDirectoryA(dir.path().c_str()));
    EXPECT_EQ(LoadSystemLibrary("qbxplanted.dll"), nullptr);
    HMODULE planted = LoadLibraryA("qbxplanted.dll");
    EXPECT_NE(planted, nullptr) << "the premise: a bare name finds the planted copy";
    FreeLibrary(planted);
    SetDllDirectoryA(nullptr);

    HMODULE module = LoadSystemLibrary("riched32.dll");
    ASSERT_NE(module, nullptr);
    char path[MAX_PATH] = "", system[MAX_PATH] = "";
    GetModuleFileNameA(module, path, MAX_PATH);
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, path, lstrlenA(system), system, -1), CSTR_EQUAL)
        << path;
    FreeLibrary(module);
}

TEST(MemoryError, EndsTheProcessWithCodeEight)
{
    // Run in a child: the test program itself re-run with a flag.
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string cmd = std::string("\"") + self + "\" --gtest_filter=MemoryErrorChild.*";
    HANDLE child = StartProcess(cmd, "", "QBX_MEMORY_CHILD=1");
    EXPECT_EQ(WaitExit(child), 8);
}

TEST(MemoryErrorChild, Raise)
{
    char flag[4] = "";
    if (!GetEnvironmentVariableA("QBX_MEMORY_CHILD", flag, sizeof flag))
        GTEST_SKIP() << "runs only as the child of MemoryError";
    MemoryError();
}
