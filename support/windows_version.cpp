#include "support/windows_version.h"

static bool s_versionKnown = false;
static WindowsVersion s_version = {};
static int s_versionQueries = 0;

const WindowsVersion &RunningWindows()
{
    if (!s_versionKnown) {
        s_versionKnown = true;
        OSVERSIONINFOA info;
        ZeroMemory(&info, sizeof info);
        info.dwOSVersionInfoSize = sizeof info;
        ++s_versionQueries;
        GetVersionExA(&info);
        s_version = {info.dwPlatformId == VER_PLATFORM_WIN32_NT, info.dwMajorVersion, info.dwMinorVersion,
                     info.dwBuildNumber & 0xFFFF}; // 9x keeps its version in the high word
    }
    return s_version;
}

DWORD NtMajorVersion()
{
    const WindowsVersion &version = RunningWindows();
    return version.nt ? version.major : 0;
}

int VersionQueryCount() { return s_versionQueries; }
