// A sample installation under C:\ with the program, its help file, its documents and a
// stand-in "Quibex.exe", and the setup mode of the real program started in it.
#pragma once

#include "common/gui_driver.h"
#include "common/test_util.h"

#include <windows.h>

#include <string>

std::wstring SetupTitle();        // caption of SETUPDLG and DONEDLG
std::wstring ContextItemsTitle(); // caption of CONTEXTITEMS

// Forgets every setting, association and entry a setup run may have left in the registry.
void ResetSetupState();
bool SettingExists(const char *key, const char *name);

class SetupInstall {
public:
    SetupInstall();
    ~SetupInstall();
    const std::string &folder() const { return dir_.path(); }
    std::string path(const char *name) const { return dir_ / name; }
    // Starts uninstall.exe with args, in the installation folder unless another is given.
    bool Start(const char *args = "/setup", const char *extraEnv = nullptr, const std::string &startIn = "");
    DWORD pid() const { return GetProcessId(process_); }
    HWND WaitSetupDialog() const { return WaitForDialog(pid(), SetupTitle()); }
    // Presses OK in the setup dialog and waits for the completion dialog (null on time-out).
    HWND ConfirmSetup(HWND setupDialog) const;
    // Waits for the program to end and returns its exit code (-1 on time-out).
    int Finish(DWORD timeoutMs = 30000);
    // Command lines recorded by the stand-in, one per start, in order.
    std::string OpenedLog() const { return ReadFileBytes(path("opened.log")); }
    // Makes ".txt", ".htm" and web addresses open with the stand-in, so the test sees them.
    void RouteDocumentsToStandIn() const;

private:
    TempDir dir_;
    HANDLE process_ = nullptr;
};

// True when the process started Explorer (a folder window outlives the program that opened it).
bool StartedExplorer(DWORD processId);
// Closes every folder window (Wine's explorer.exe, which outlives the program that opened it)
// and waits until each is gone; false when one stays.
bool CloseFolderWindows();
// Waits for a folder window, then closes them all as above; false when none came.
bool CloseFolderWindow(DWORD timeoutMs);
