// Paths the system gives, this program's own and the files beside it among them, in a form the
// process's code page holds.
// The A calls give "?" for letters the code page lacks, which names another file; an elevated
// program must never start, write or delete such a path.
#pragma once

#include "support/text_sizes.h"

#include <windows.h>
#include <stddef.h>

// A path read in UTF-16, in out (size bytes) as codePage holds it exactly: as it is, else its
// short (8.3) form. False, out empty, when neither converts exactly (a volume without short
// names, a path that does not exist) or fits. Only where the W calls work (NT).
bool PathInCodePage(const WCHAR *path, UINT codePage, char *out, size_t size);
// A path the system gives through an A call and a W call. Each writes it into a buffer of the
// size given, in characters, and returns the characters written, 0 on failure (more than fit
// when cut), as GetModuleFileName and GetTempPath do; context is passed on to them.
struct PathCalls {
    DWORD (*narrow)(const void *context, char *out, DWORD size);
    DWORD (*wide)(const void *context, WCHAR *out, DWORD size);
};
// The path in out (size bytes): on the NT family read through the W call, as PathInCodePage
// gives it for the process's code page; on 9x, whose W calls fail, as the A call gives it.
// False, out empty, when it cannot be named or does not fit.
bool ReadSystemPath(const PathCalls &calls, const void *context, char *out, size_t size);
// This program's path in out (size bytes), as ReadSystemPath gives it.
bool OwnProgramPath(char *out, size_t size);
// This program's folder, ending in a backslash, followed by name, in out (size bytes). False,
// out empty, where OwnProgramPath fails or the result does not fit.
bool ProgramFilePath(const char *name, char *out, size_t size);
// This program's folder, ending in a backslash, in out (size bytes); false as ProgramFilePath.
bool ProgramFolder(char *out, size_t size);
// The temporary folder, ending in a backslash, named so that this process's A calls reach it.
// The A call answers "?" for a letter this process's code page cannot hold (a profile named
// with it), so on NT the folder is read through the W call, as PathInCodePage gives it.
bool TempFolderPath(char *out, size_t size);
