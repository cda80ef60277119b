#include "support/program_path.h"

#include "support/code_pages.h"
#include "support/text.h"
#include "support/windows_version.h"

// Tests put a volume without short names in its place: Wine gives every file one.
DWORD(WINAPI *g_shortPathName)(const WCHAR *path, WCHAR *out, DWORD size) = GetShortPathNameW;

bool PathInCodePage(const WCHAR *path, UINT codePage, char *out, size_t size)
{
    if (size == 0)
        return false;
    out[0] = '\0';
    if (path[0] == L'\0')
        return false;
    if (ConvertWideText(path, kTerminated, codePage, out, size) > 0)
        return true;
    WCHAR shortForm[kPathSize];
    DWORD n = g_shortPathName(path, shortForm, kPathSize);
    return n > 0 && n < kPathSize && ConvertWideText(shortForm, kTerminated, codePage, out, size) > 0;
}

bool ReadSystemPath(const PathCalls &calls, const void *context, char *out, size_t size)
{
    if (size == 0)
        return false;
    out[0] = '\0';
    if (NtMajorVersion() == 0) {
        DWORD n = calls.narrow(context, out, static_cast<DWORD>(size));
        // A cut path names some other file.
        if (n > 0 && n < size)
            return true;
        out[0] = '\0';
        return false;
    }
    WCHAR wide[kPathSize];
    DWORD n = calls.wide(context, wide, kPathSize);
    return n > 0 && n < kPathSize && PathInCodePage(wide, ProcessCodePage(), out, size);
}

bool OwnProgramPath(char *out, size_t size)
{
    static const PathCalls calls = {
        [](const void *, char *path, DWORD n) { return GetModuleFileNameA(nullptr, path, n); },
        [](const void *, WCHAR *path, DWORD n) { return GetModuleFileNameW(nullptr, path, n); },
    };
    return ReadSystemPath(calls, nullptr, out, size);
}

bool ProgramFilePath(const char *name, char *out, size_t size)
{
    char program[kPathSize];
    if (size > 0)
        out[0] = '\0';
    if (!OwnProgramPath(program, sizeof program))
        return false;
    *FileNamePart(program) = '\0';
    if (program[0] != '\0' && JoinBounded(out, size, program, name))
        return true;
    if (size > 0)
        out[0] = '\0';
    return false;
}

bool ProgramFolder(char *out, size_t size) { return ProgramFilePath("", out, size); }

bool TempFolderPath(char *out, size_t size)
{
    static const PathCalls calls = {
        [](const void *, char *path, DWORD n) { return GetTempPathA(n, path); },
        [](const void *, WCHAR *path, DWORD n) { return GetTempPathW(n, path); },
    };
    return ReadSystemPath(calls, nullptr, out, size);
}
