#include "support/platform.h"

#include "support/log.h"
#include "support/text.h"

#include <shellapi.h>

ErrorState g_errorState;

static bool s_versionKnown = false;
static LONG s_platformId = 0;
static DWORD s_majorVersion = 0;
static int s_versionQueries = 0;

DWORD NtMajorVersion()
{
    if (!s_versionKnown) {
        s_versionKnown = true;
        OSVERSIONINFOA info;
        ZeroMemory(&info, sizeof info);
        info.dwOSVersionInfoSize = sizeof info;
        ++s_versionQueries;
        GetVersionExA(&info);
        // A failed call leaves the zeroed record: not NT from then on.
        s_platformId = static_cast<LONG>(info.dwPlatformId);
        s_majorVersion = info.dwMajorVersion;
    }
    return s_platformId == VER_PLATFORM_WIN32_NT ? s_majorVersion : 0;
}

int VersionQueryCount() { return s_versionQueries; }

bool PathExists(const char *name) { return GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES; }

bool GetFileId(HANDLE file, FileId *id)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info))
        return false;
    *id = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return true;
}

HANDLE OpenForInformation(const char *name)
{
    return CreateFileA(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
}

bool GetFileIdOf(const char *name, FileId *id)
{
    HANDLE file = OpenForInformation(name);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = GetFileId(file, id);
    CloseHandle(file);
    return ok;
}

bool IsSameFile(const char *a, const char *b)
{
    FileId first, second;
    return GetFileIdOf(a, &first) && GetFileIdOf(b, &second) && first == second;
}

void MemoryError()
{
    g_errorState.exitCode = 8;
    ++g_errorState.errorCount;
    LogLine("exit code %d: %s", g_errorState.exitCode, "out of memory");
    // Nothing can carry on without memory; end with the recorded code, skipping the
    // exit routines that would touch half-built state.
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(g_errorState.exitCode));
    for (;;)
        ExitProcess(static_cast<UINT>(g_errorState.exitCode));
}

// The system folder in path (MAX_PATH bytes); false, path empty, when there is none.
static bool GetSystemFolder(char *path)
{
    UINT n = GetSystemDirectoryA(path, MAX_PATH);
    if (n != 0 && n < MAX_PATH)
        return true;
    path[0] = '\0';
    return false;
}

HMODULE LoadSystemLibrary(const char *name)
{
    char path[MAX_PATH + 64];
    if (!GetSystemFolder(path))
        return nullptr;
    AppendBackslash(path);
    if (!AppendBounded(path, name, sizeof path))
        return nullptr;
    return LoadLibraryA(path);
}

void OpenFromSystemFolder(const char *target)
{
    char folder[MAX_PATH];
    GetSystemFolder(folder); // without one, the target still opens, in this program's folder
    ShellExecuteA(nullptr, "open", target, nullptr, folder, SW_SHOWNORMAL);
}
