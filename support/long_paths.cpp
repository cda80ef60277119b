#include "support/long_paths.h"

#include "support/code_pages.h"
#include "support/windows_version.h"

#include <string.h>

static bool IsSeparator(WCHAR c) { return c == L'\\' || c == L'/'; }
static bool IsNarrowSeparator(char c) { return c == '\\' || c == '/'; }
static bool IsDotOrBlank(WCHAR c) { return c == L'.' || c == L' '; }

// Reads the names from text[mark] on as Windows reads them, in place (the text only shortens).
static bool ReadNames(WCHAR *text, size_t mark, LastName last)
{
    WCHAR *const first = text + mark;
    WCHAR *write = first;
    const WCHAR *read = first;
    bool separatorLast = false;
    while (*read != L'\0') {
        if (IsSeparator(*read)) {
            separatorLast = true;
            ++read;
            continue;
        }
        const WCHAR *start = read;
        bool dotsOnly = true;
        for (; *read != L'\0' && !IsSeparator(*read); ++read)
            dotsOnly = dotsOnly && IsDotOrBlank(*read);
        if (dotsOnly)
            return false;
        const WCHAR *end = read;
        if (*read == L'\0' && last == LastName::kAsGiven) {
            while (IsDotOrBlank(end[-1]))
                --end;
        } else if (end[-1] == L'.') {
            --end;
        }
        if (write > first)
            *write++ = L'\\';
        while (start < end)
            *write++ = *start++;
        separatorLast = false;
    }
    if (separatorLast && write > first && last == LastName::kAsGiven)
        *write++ = L'\\';
    *write = L'\0';
    return true;
}

// Where the names of a share's path begin: behind "server\share\" (from text), which Windows
// takes as they are. 0 when either is missing.
static size_t ShareEnd(WCHAR *text)
{
    size_t i = 0;
    for (int part = 0; part < 2; ++part) {
        size_t start = i;
        while (text[i] != L'\0' && !IsSeparator(text[i]))
            ++i;
        if (i == start || (part == 0 && text[i] == L'\0'))
            return 0;
        if (text[i] != L'\0')
            text[i++] = L'\\';
    }
    return i;
}

bool ExtendedPath(const char *path, LastName last, WCHAR *out, size_t size)
{
    static const WCHAR kDrive[] = L"\\\\?\\", kShare[] = L"\\\\?\\UNC\\";
    if (size < sizeof kShare / sizeof(WCHAR))
        return false;
    out[0] = L'\0';
    // Each test stops at the first byte that differs, before reading past a terminator.
    bool device = IsNarrowSeparator(path[0]) && IsNarrowSeparator(path[1]) && (path[2] == '?' || path[2] == '.') &&
                  IsNarrowSeparator(path[3]);
    bool verbatim = device && path[0] == '\\' && path[1] == '\\' && path[2] == '?' && path[3] == '\\';
    bool share = !device && IsNarrowSeparator(path[0]) && IsNarrowSeparator(path[1]);
    bool drive = ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) && path[1] == ':' &&
                 IsNarrowSeparator(path[2]);
    if (!verbatim && !share && !drive)
        return false;
    size_t prefix = verbatim ? 0 : share ? sizeof kShare / sizeof(WCHAR) - 1 : sizeof kDrive / sizeof(WCHAR) - 1;
    memcpy(out, share ? kShare : kDrive, prefix * sizeof(WCHAR));
    bool read = ConvertToWide(ProcessCodePage(), share ? path + 2 : path, kTerminated, out + prefix, size - prefix) > 0;
    if (read && verbatim) {
        // Windows takes such a path as it is; a folder on the way goes without its separator.
        size_t n = 0;
        while (out[n] != L'\0')
            ++n;
        if (last == LastName::kAsFolder && out[n - 1] == L'\\')
            out[n - 1] = L'\0';
        return true;
    }
    size_t mark = prefix + 3; // behind "X:\"
    if (read && share) {
        size_t end = ShareEnd(out + prefix);
        mark = end != 0 ? prefix + end : 0;
    } else if (read) {
        out[prefix + 2] = L'\\';
    }
    if (read && mark != 0 && ReadNames(out, mark, last))
        return true;
    out[0] = L'\0';
    return false;
}

// Calls wide on the "\\?\" form of path on NT, narrow on path itself on 9x.
template <typename Result, typename Wide, typename Narrow>
static Result Call(const char *path, LastName last, Result failed, Wide wide, Narrow narrow)
{
    if (NtMajorVersion() == 0)
        return narrow(path);
    WCHAR extended[kExtendedPathSize];
    if (ExtendedPath(path, last, extended, kExtendedPathSize))
        return wide(extended);
    SetLastError(ERROR_INVALID_NAME);
    return failed;
}

bool IsReachablePath(const char *path)
{
    WCHAR extended[kExtendedPathSize];
    return NtMajorVersion() == 0 ? strlen(path) < MAX_PATH
                                 : ExtendedPath(path, LastName::kAsGiven, extended, kExtendedPathSize);
}

DWORD LongGetAttributes(const char *path)
{
    return Call(path, LastName::kAsGiven, INVALID_FILE_ATTRIBUTES, GetFileAttributesW, GetFileAttributesA);
}

bool LongSetAttributes(const char *path, DWORD attributes)
{
    return Call(
        path, LastName::kAsGiven, FALSE, [=](const WCHAR *p) { return SetFileAttributesW(p, attributes); },
        [=](const char *p) { return SetFileAttributesA(p, attributes); });
}

bool LongDeleteFile(const char *path) { return Call(path, LastName::kAsGiven, FALSE, DeleteFileW, DeleteFileA); }

bool LongRemoveDirectory(const char *path)
{
    return Call(path, LastName::kAsGiven, FALSE, RemoveDirectoryW, RemoveDirectoryA);
}

bool LongMoveFile(const char *from, const char *to)
{
    if (NtMajorVersion() == 0)
        return MoveFileA(from, to);
    WCHAR wideFrom[kExtendedPathSize], wideTo[kExtendedPathSize];
    if (ExtendedPath(from, LastName::kAsGiven, wideFrom, kExtendedPathSize) &&
        ExtendedPath(to, LastName::kAsGiven, wideTo, kExtendedPathSize))
        return MoveFileW(wideFrom, wideTo);
    SetLastError(ERROR_INVALID_NAME);
    return false;
}

static BOOL DeleteWideAtRestart(const WCHAR *path) { return MoveFileExW(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT); }

static BOOL DeleteNarrowAtRestart(const char *path) { return MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT); }

bool LongDeleteAtRestart(const char *path)
{
    return Call(path, LastName::kAsGiven, FALSE, DeleteWideAtRestart, DeleteNarrowAtRestart);
}

DWORD LongGetFolderAttributes(const char *path)
{
    return Call(path, LastName::kAsFolder, INVALID_FILE_ATTRIBUTES, GetFileAttributesW, GetFileAttributesA);
}

bool LongRemoveFolderAtRestart(const char *path)
{
    DWORD attr = LongGetFolderAttributes(path);
    if (attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_DIRECTORY) || (attr & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    return Call(path, LastName::kAsFolder, FALSE, DeleteWideAtRestart, DeleteNarrowAtRestart);
}

static HANDLE OpenWideForInformation(const WCHAR *path)
{
    return CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
}

HANDLE LongOpenForInformation(const char *path)
{
    return Call(path, LastName::kAsGiven, INVALID_HANDLE_VALUE, OpenWideForInformation, OpenForInformation);
}

bool LongGetFileIdOf(const char *path, FileId *id)
{
    HANDLE file = LongOpenForInformation(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = GetFileId(file, id);
    CloseHandle(file);
    return ok;
}

bool LongIsSameFile(const char *a, const char *b)
{
    FileId first, second;
    return LongGetFileIdOf(a, &first) && LongGetFileIdOf(b, &second) && first == second;
}
