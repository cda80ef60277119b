#include "removal/deletion_passes.h"

#include <new>

#include "support/platform.h"
#include "support/text.h"

constexpr DWORD kRenameSectionSize = 32768;

static bool IsNulEntryFor(const char *entry, const char *name)
{
    char key[5];
    CopyBounded(key, entry, sizeof key);
    return CompareNoCase(key, "NUL=") == 0 && CompareNoCase(entry + 4, name) == 0;
}

// Adds a line "NUL=<name>" to [Rename] of wininit.ini. The section holds one such line per
// file: setting the key would replace the line before, and only the last file would go.
static void AddRenameEntry(const char *ini, const char *name)
{
    char *section = new (std::nothrow) char[kRenameSectionSize];
    DWORD used = section ? GetPrivateProfileSectionA("Rename", section, kRenameSectionSize, ini) : 0;
    size_t line = 4 + lstrlenA(name) + 1; // "NUL=" name terminator
    if (!section || used + line + 1 > kRenameSectionSize) {
        // The section cannot be read whole: rewriting it would lose lines.
        WritePrivateProfileStringA("Rename", "NUL", name, ini);
        delete[] section;
        return;
    }
    for (const char *entry = section; *entry != '\0'; entry += lstrlenA(entry) + 1) {
        if (IsNulEntryFor(entry, name)) {
            delete[] section;
            return;
        }
    }
    char *end = section + used;
    lstrcpyA(end, "NUL=");
    lstrcpyA(end + 4, name);
    end[line] = '\0';
    WritePrivateProfileSectionA("Rename", section, ini);
    delete[] section;
}

static void ScheduleAtRestart(const char *name)
{
    if (NtMajorVersion() != 0) {
        MoveFileExA(name, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        return;
    }
    // 9x: the platform deletes the file named by a "NUL" entry of [Rename] at its next start.
    char ini[1024] = "";
    UINT n = GetWindowsDirectoryA(ini, sizeof ini - 1);
    if (n == 0 || n >= sizeof ini - 1)
        return;
    AppendBackslash(ini);
    if (!AppendBounded(ini, "wininit.ini", sizeof ini))
        return;
    char shortName[1024] = "";
    DWORD got = GetShortPathNameA(name, shortName, sizeof shortName);
    AddRenameEntry(ini, got > 0 && got < sizeof shortName ? shortName : name);
}

// First "<fullPath>.<n>.tmp" that does not exist (n up to 999; 999 when all do). False when
// the name would not fit its buffer.
static bool FreeTempName(char *temp, size_t size, const char *fullPath)
{
    for (int n = 0; n < 1000; ++n) {
        char suffix[16];
        wsprintfA(suffix, ".%d.tmp", n); // at most 9 bytes
        if (!JoinBounded(temp, size, fullPath, suffix))
            return false;
        if (!PathExists(temp))
            return true;
    }
    return true;
}

bool DeferDeletion(const char *fullPath)
{
    char temp[1024];
    if (FreeTempName(temp, sizeof temp, fullPath) && MoveFileA(fullPath, temp)) {
        ScheduleAtRestart(temp);
        return false;
    }
    ScheduleAtRestart(fullPath);
    return true;
}

// The program's own file under any of its names (8.3 alias, hard link), and the list.
static bool IsProtectedFile(const char *fullPath, const char *programPath)
{
    const char *name = FileNamePart(fullPath);
    return CompareNoCase(name, FileNamePart(programPath)) == 0 || CompareNoCase(name, "Uninstall.lst") == 0 ||
           IsSameFile(fullPath, programPath);
}

DWORD ClearAttributesUnlessLink(const char *path)
{
    DWORD attr = GetFileAttributesA(path);
    // Clearing attributes through a link would change its target, outside the folder.
    if (attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_REPARSE_POINT))
        SetFileAttributesA(path, 0);
    return attr;
}

// Deletes or defers one listed path; returns how many items were deleted (0 or 1).
static int HandleListedPath(const char *fullPath, const char *programPath, bool &scheduled, bool &restartNeeded)
{
    DWORD attr = ClearAttributesUnlessLink(fullPath);
    bool exists = attr != INVALID_FILE_ATTRIBUTES;
    if (exists && (attr & FILE_ATTRIBUTE_DIRECTORY))
        return RemoveDirectoryA(fullPath) ? 1 : 0;
    if (DeleteFileA(fullPath))
        return 1;
    if (!exists || IsProtectedFile(fullPath, programPath))
        return 0;
    scheduled = true;
    if (DeferDeletion(fullPath))
        restartNeeded = true;
    return 0;
}

bool RunDeletionPasses(ListFile &list, const char *folder, const char *programPath, bool *scheduled)
{
    bool restartNeeded = false, deferred = false;
    int lines = 0;
    for (int pass = 0;; ++pass) {
        int deleted = 0;
        char line[kListLineSize];
        for (ListRead got; (got = list.ReadLine(line, sizeof line)) != ListRead::End;) {
            if (pass == 0)
                ++lines;
            if (got != ListRead::Line)
                continue;
            TrimLineEnd(line);
            char fullPath[1024];
            if (!IsInsideLine(line) || !JoinBounded(fullPath, sizeof fullPath, folder, line) ||
                PassesThroughLink(folder, line))
                continue;
            deleted += HandleListedPath(fullPath, programPath, deferred, restartNeeded);
        }
        // Another process re-creating a listed file must not keep the passes going for ever.
        if (deleted == 0 || pass >= lines || !list.Rewind())
            break;
    }
    if (scheduled)
        *scheduled = deferred;
    return restartNeeded;
}
