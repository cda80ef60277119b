// Windows family and version, existence tests and the fatal memory error.
#pragma once

#include "support/memory_error.h"

#include <windows.h>

struct ErrorState {
    int exitCode = 0;
    int errorCount = 0;
};
extern ErrorState g_errorState;

// Major version on the NT family, 0 on 9x. Asks the system once.
DWORD NtMajorVersion();
// True when a file or folder of that name exists.
bool PathExists(const char *name);
// What tells one file from every other: its volume's serial number and its file index.
struct FileId {
    DWORD volume, indexHigh, indexLow;
    bool operator==(const FileId &) const = default;
};
bool GetFileId(HANDLE file, FileId *id);
// Opens a file for no access, only to read its information, so files in use open as well;
// a folder does not open. INVALID_HANDLE_VALUE on failure.
HANDLE OpenForInformation(const char *name);
// False when the name cannot be opened.
bool GetFileIdOf(const char *name, FileId *id);
// True when both names lead to the same file, whatever names they use: an 8.3 alias, another
// case, a hard link. False when either cannot be opened.
bool IsSameFile(const char *a, const char *b);
// Loads a library from the system folder only, never from a folder searched by bare name.
HMODULE LoadSystemLibrary(const char *name);
// Opens target through the shell with the system folder as working directory. What it starts
// (a folder window, a browser, an editor) keeps that folder open while it runs; this
// program's own, the installation folder, would then outlast the removal.
void OpenFromSystemFolder(const char *target);
