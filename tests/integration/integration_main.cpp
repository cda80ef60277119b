// Runs the tests from a copy of this program in "C:\Quibex Test", beside a stand-in Quibex.exe.
#include <gtest/gtest.h>

#include "common/test_util.h"
#include "lang/messages.h"

#include <objbase.h>
#include <shlobj.h>

static const char kInstall[] = "C:\\Quibex Test";

// The prefix links the user's desktop to the shared Linux home; give this run a folder of its own.
static void PrivateDesktop()
{
    char prefix[1024] = "", desktop[MAX_PATH] = "";
    if (!GetEnvironmentVariableA("QBX_PREFIX_UNIX", prefix, sizeof prefix))
        return;
    SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop);
    std::string marker = JoinPath(desktop, "qbx-private-desktop");
    std::string cmd = std::string("/bin/sh -c \"cd '") + prefix +
                      "/drive_c/users' && for u in *; do if [ -L $u/Desktop ]; then rm $u/Desktop && mkdir "
                      "$u/Desktop && touch $u/Desktop/qbx-private-desktop; fi; done\"";
    // Wine starts a Linux program without a handle to wait on: poll for its marker.
    HANDLE process = StartProcess(cmd);
    if (process)
        CloseHandle(process);
    for (int i = 0; i < 200 && GetFileAttributesA(marker.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(50);
    DeleteFileA(marker.c_str());
}

static int RunFromInstallFolder()
{
    PrivateDesktop();
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
