// Runs the tests from a copy of this program in "C:\Quibex Test", beside a stand-in Quibex.exe.
#include <gtest/gtest.h>

#include "common/test_util.h"
#include "lang/messages.h"

#include <objbase.h>

static const char kInstall[] = "C:\\Quibex Test";

static int RunFromInstallFolder()
{
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string folder = self;
    folder.resize(folder.rfind('\\'));
    RemoveTree(kInstall);
    CreateDirectoryA(kInstall, nullptr);
    std::string copy = JoinPath(kInstall, "integration_tests.exe");
    if (!CopyFileTo(self, copy) ||
        !CopyFileTo(JoinPath(folder, "standin\\Quibex.exe"), JoinPath(kInstall, "Quibex.exe"))) {
        fprintf(stderr, "cannot lay out %s\n", kInstall);
        return 3;
    }
    SetEnvironmentVariableA("QBX_INSTALLED", "1");
    // The same arguments, after the program's own name.
    const char *args = GetCommandLineA();
    bool quoted = *args == '"';
    for (++args; *args && (quoted ? *args != '"' : *args != ' '); ++args) {
    }
    if (*args == '"')
        ++args;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string cmd = "\"" + copy + "\"" + args;
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, kInstall, &si, &pi))
        return 4;
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    return static_cast<int>(code);
}

int main(int argc, char **argv)
{
    char installed[4] = "";
    if (!GetEnvironmentVariableA("QBX_INSTALLED", installed, sizeof installed))
        return RunFromInstallFolder();
    g_programModule = g_resourceModule = GetModuleHandleA(nullptr);
    CoInitialize(nullptr);
    testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
