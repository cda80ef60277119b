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
// True when both names lead to the same file (volume serial and file index), whatever
// names they use: an 8.3 alias, another case, a hard link. False when either cannot be opened.
bool IsSameFile(const char *a, const char *b);
// Loads a library from the system folder only, never from a folder searched by bare name.
HMODULE LoadSystemLibrary(const char *name);
