#include "setup_install.h"

#include "registry/registry.h"
#include "res/resource.h"

#include <gtest/gtest.h>

std::wstring SetupTitle() { return Wide(u8"Quibex 简体中文版安装"); }
std::wstring ContextItemsTitle() { return Wide(u8"关联菜单项目"); }

static const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quibex archiver";

void ResetSetupState()
{
    DeleteSettingsTree();
    DeleteRegTree(HKEY_CLASSES_ROOT, ".jar");
    DeleteRegTree(HKEY_CLASSES_ROOT, ".iso");
    DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstallKey);
}

bool SettingExists(const char *key, const char *name)
{
    DWORD value = 0;
    return QueryRegDword(kSettingsRoot, key, name, 0, &value);
}

SetupInstall::SetupInstall() : dir_("setup")
{
    // Each test starts from a desktop without the windows of an earlier one.
    EXPECT_TRUE(CloseFolderWindows());
    ResetSetupState();
    std::string fixtures = JoinPath(SourceDir(), "tests\\fixtures\\install");
    EXPECT_TRUE(CopyFileTo(ProgramPath(), path("uninstall.exe")));
    EXPECT_TRUE(CopyFileTo(JoinPath(BuildDir(), "tests\\fixtures\\quibex.chm"), path("quibex.chm")));
    EXPECT_TRUE(CopyFileTo(JoinPath(BuildDir(), "tests\\qbx_recorder.exe"), path("Quibex.exe")));
    for (const char *name : {"license.txt", "order.htm", "Qbx.txt"})
        EXPECT_TRUE(CopyFileTo(JoinPath(fixtures, name), path(name))) << name;
}

SetupInstall::~SetupInstall()
{
    if (process_) {
        if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT)
            TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
        CloseHandle(process_);
    }
    EXPECT_TRUE(CloseFolderWindows()) << "a folder window outlived its test";
    ResetSetupState();
}

bool SetupInstall::Start(const char *args, const char *extraEnv, const std::string &startIn)
{
    std::string command = "\"" + path("uninstall.exe") + "\" " + args;
    process_ = StartProcess(command, startIn.empty() ? folder() : startIn, extraEnv);
    return process_ != nullptr;
}

HWND SetupInstall::ConfirmSetup(HWND setupDialog) const
{
    ClickButton(setupDialog, IDOK);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 30000) {
        HWND found = WaitForDialog(pid(), L"", 500);
        // Whatever the language, the completion dialog is the one with the run button.
        if (found && found != setupDialog && GetDlgItem(found, IDC_DONE_RUN))
            return found;
    }
    return nullptr;
}

int SetupInstall::Finish(DWORD timeoutMs)
{
    if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return static_cast<int>(code);
}

void SetupInstall::RouteDocumentsToStandIn() const
{
    std::string command = "\"" + path("Quibex.exe") + "\" \"%1\"";
    SetRegString(HKEY_CLASSES_ROOT, ".txt", "", "QbxTest.Document");
    SetRegString(HKEY_CLASSES_ROOT, ".htm", "", "QbxTest.Document");
    SetRegString(HKEY_CLASSES_ROOT, "QbxTest.Document\\shell\\open\\command", "", command.c_str());
    DeleteRegTree(HKEY_CLASSES_ROOT, "https");
    SetRegString(HKEY_CLASSES_ROOT, "https", "URL Protocol", "");
    SetRegString(HKEY_CLASSES_ROOT, "https\\shell\\open\\command", "", command.c_str());
}

bool StartedExplorer(DWORD processId)
{
    for (const std::string &name : ChildProcesses(processId))
        if (lstrcmpiA(name.c_str(), "explorer.exe") == 0)
            return true;
    return false;
}

// Closes a folder window and waits until it is gone; a window that stays is ended with its
// process, by id.
static bool CloseAndWait(HWND window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitGone(window, 20000))
        return true;
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    if (process) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
    }
    return WaitGone(window, 5000);
}

bool CloseFolderWindows()
{
    bool closed = true;
    for (HWND window : WindowsOfClass(L"ExplorerWClass"))
        closed = CloseAndWait(window) && closed;
    return closed;
}

bool CloseFolderWindow(DWORD timeoutMs)
{
    HWND window = WaitForWindowOfClass(L"ExplorerWClass", 0, timeoutMs);
    return window && CloseFolderWindows();
}
