// The version of the running Windows, asked once.
#pragma once

#include <windows.h>

// What GetVersionExA answers: a failed call leaves every field 0 (not NT).
struct WindowsVersion {
    bool nt; // the NT family; false on 9x
    DWORD major, minor, build;
};
const WindowsVersion &RunningWindows();
// Major version on the NT family, 0 on 9x.
DWORD NtMajorVersion();
