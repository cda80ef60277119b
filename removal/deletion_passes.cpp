#include "removal/deletion_passes.h"

#include <new>
#include <string.h>

#include "support/file_identity.h"
#include "support/log.h"
#include "support/long_paths.h"
#include "support/text.h"
#include "support/windows_version.h"

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
    size_t line = 4 + strlen(name) + 1; // "NUL=" name terminator
    if (!section || used + line + 1 > kRenameSectionSize) {
        // The section cannot be read whole: rewriting it would lose lines.
        WritePrivateProfileStringA("Rename", "NUL", name, ini);
        delete[] section;
        return;
    }
    for (const char *entry = section; *entry != '\0'; entry += strlen(entry) + 1) {
        if (IsNulEntryFor(entry, name)) {
            delete[] section;
            return;
        }
    }
    char *end = section + used;
    memcpy(end, "NUL=", 4);
    memcpy(end + 4, name, line - 4); // with its terminator
    end[line] = '\0';
    WritePrivateProfileSectionA("Rename", section, ini);
    delete[] section;
}

static void ScheduleAtRestart(const char *name)
{
    if (NtMajorVersion() != 0) {
        if (!LongDeleteAtRestart(name))
            LogChange(FailureError(), "scheduling %s", name);
        return;
    }
    // 9x: the platform deletes the file named by a "NUL" entry of [Rename] at its next start.
    char ini[kPathSize] = "";
    UINT n = GetWindowsDirectoryA(ini, sizeof ini);
    if (n == 0 || n >= sizeof ini || !AppendPathPart(ini, sizeof ini, "wininit.ini"))
        return;
    char shortName[kPathSize] = "";
    DWORD got = GetShortPathNameA(name, shortName, sizeof shortName);
    AddRenameEntry(ini, got > 0 && got < sizeof shortName ? shortName : name);
}

constexpr int kTempNames = 1000;
static const char kTempSuffix[] = ".tmp";

// First "<fullPath>.<n>.tmp" that does not exist (n below kTempNames; the last when all do);
// returns n, or -1 when the name would not fit its buffer.
static int FreeTempName(char *temp, size_t size, const char *fullPath)
{
    for (int n = 0; n < kTempNames; ++n) {
        char suffix[16];
        wsprintfA(suffix, ".%d%s", n, kTempSuffix); // at most 9 bytes
        if (!JoinBounded(temp, size, fullPath, suffix))
            return -1;
        if (LongGetAttributes(temp) == INVALID_FILE_ATTRIBUTES || n == kTempNames - 1)
            return n;
    }
    return -1;
}

// True for a name FreeTempName makes of a file's name: "<name>.<n>.tmp".
static bool IsTempName(const char *name)
{
    size_t length = strlen(name), suffix = sizeof kTempSuffix - 1;
    if (length <= suffix || CompareNoCase(name + length - suffix, kTempSuffix) != 0)
        return false;
    const char *end = name + length - suffix, *digits = end;
    while (digits > name && digits[-1] >= '0' && digits[-1] <= '9')
        --digits;
    // Written by "%d": no leading zero but for 0 itself.
    size_t count = end - digits;
    if (count == 0 || (count > 1 && *digits == '0') || digits - name < 2 || digits[-1] != '.')
        return false;
    int n = 0;
    for (const char *p = digits; p < end && n < kTempNames; ++p)
        n = n * 10 + (*p - '0');
    return n < kTempNames;
}

int DeferDeletion(const char *fullPath)
{
    char temp[kPathSize];
    int n = FreeTempName(temp, sizeof temp, fullPath);
    if (n >= 0 && LongMoveFile(fullPath, temp)) {
        LogLine("deferred: %s as %s", fullPath, temp);
        ScheduleAtRestart(temp);
        return n;
    }
    LogLine("deferred: %s", fullPath);
    ScheduleAtRestart(fullPath);
    return -1;
}

// The program's own file under any of its names (8.3 alias, hard link).
static bool IsProgramFile(const char *fullPath, const char *programPath)
{
    return CompareNoCase(FileNamePart(fullPath), FileNamePart(programPath)) == 0 ||
           LongIsSameFile(fullPath, programPath);
}

// Clears the attributes of path, which were read as attr, unless it is a link: through one it
// would change the link's target, outside the folder. True when they were cleared.
static bool ClearAttributes(const char *path, DWORD attr)
{
    bool link = attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_REPARSE_POINT);
    return !link && LongSetAttributes(path, 0);
}

DWORD ClearAttributesUnlessLink(const char *path)
{
    DWORD attr = LongGetAttributes(path);
    ClearAttributes(path, attr);
    return attr;
}

bool HoldsOnlyRemovalLeftovers(const char *folder, const char *programPath)
{
    char path[kPathSize];
    WIN32_FIND_DATAA found;
    HANDLE find = JoinBounded(path, sizeof path, folder, "*") ? FindFirstFileA(path, &found) : INVALID_HANDLE_VALUE;
    if (find == INVALID_HANDLE_VALUE)
        return false;
    bool program = false, other = false;
    do {
        const char *name = found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            other = strcmp(name, ".") != 0 && strcmp(name, "..") != 0;
        else if (JoinBounded(path, sizeof path, folder, name) && LongIsSameFile(path, programPath))
            program = true;
        else
            other = !IsTempName(name);
    } while (!other && FindNextFileA(find, &found));
    // A listing cut short by an error may have hidden anything.
    bool whole = other || GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(find);
    return program && !other && whole;
}

// What the passes know of a line.
enum LineState : unsigned char {
    kUntried, // not yet found to be a folder, nor done
    kNewFolder, // found to be a folder in this pass, its way already checked
    kFolder,
    kDone, // deleted, or found absent: never tried again
};

struct Pass {
    const ListFile &list;
    const char *folder;
    const char *programPath;
    CheckedFolders checked;
    int deleted;
    bool scheduled;
    bool restartNeeded;
};

static void MarkDeleted(ListLine &line, Pass &pass, const char *fullPath)
{
    LogLine("deleted %s", fullPath);
    line.state = kDone;
    ++pass.deleted;
}

// A file in use: moved aside, done with under its name; or left to the restart under it, and
// tried again in later passes.
static void Defer(ListLine &line, const char *fullPath, Pass &pass)
{
    pass.scheduled = true;
    if (DeferDeletion(fullPath) < 0)
        pass.restartNeeded = true;
    else
        line.state = kDone;
}

// A line not known to be a folder: deleted, found absent, found to be a folder, or deferred.
static void TryFile(ListLine &line, const char *fullPath, Pass &pass)
{
    if (LongDeleteFile(fullPath))
        return MarkDeleted(line, pass, fullPath);
    DWORD attr = LongGetAttributes(fullPath);
    if (attr == INVALID_FILE_ATTRIBUTES) {
        LogLine("not there: %s", fullPath);
        line.state = kDone;
        return;
    }
    bool readOnly = (attr & FILE_ATTRIBUTE_READONLY) != 0;
    if (attr & FILE_ATTRIBUTE_DIRECTORY) {
        if (readOnly)
            ClearAttributes(fullPath, attr);
        line.state = kNewFolder;
        return;
    }
    if (readOnly && ClearAttributes(fullPath, attr) && LongDeleteFile(fullPath))
        return MarkDeleted(line, pass, fullPath);
    // The open list cannot be deleted; it goes last, so that a removal cut short can be run
    // again. A line naming it is done.
    if (pass.list.IsListFile(fullPath))
        line.state = kDone;
    else if (!IsProgramFile(fullPath, pass.programPath))
        Defer(line, fullPath, pass);
}

// The line joined to the folder, unless the path would not fit, cannot be reached (9x reaches
// paths shorter than MAX_PATH, NT those with an exact UTF-16 form) or leads through a link:
// such a line is skipped for good, since no later pass changes that.
static bool FullPathOf(char *fullPath, size_t size, ListLine &line, const char *folder, CheckedFolders &checked)
{
    const char *why;
    if (!JoinListPath(fullPath, size, folder, line.text))
        why = "too long";
    else if (!IsReachablePath(fullPath))
        why = NtMajorVersion() != 0 ? "no exact form" : "too long";
    else if (PassesThroughLink(checked, folder, line.text))
        why = "a link on the way";
    else
        return true;
    LogLine("skipped, %s: %s", why, line.text);
    line.state = kDone;
    return false;
}

// Files in the list's order, then folders deepest first, so one pass empties a tree.
static void RunPass(ListFile &list, Pass &pass)
{
    pass.deleted = 0;
    pass.checked.Clear();
    char fullPath[kPathSize];
    for (size_t i = 0; i < list.Count(); ++i) {
        ListLine &line = list.Line(i);
        if (line.state == kUntried && FullPathOf(fullPath, sizeof fullPath, line, pass.folder, pass.checked))
            TryFile(line, fullPath, pass);
    }
    for (size_t k = 0; k < list.Count(); ++k) {
        ListLine &line = list.Deepest(k);
        if (line.state == kNewFolder ? JoinListPath(fullPath, sizeof fullPath, pass.folder, line.text)
                                     : line.state == kFolder &&
                                           FullPathOf(fullPath, sizeof fullPath, line, pass.folder, pass.checked)) {
            line.state = kFolder;
            if (LongRemoveDirectory(fullPath))
                MarkDeleted(line, pass, fullPath);
        }
    }
}

static bool AnyLeft(ListFile &list)
{
    for (size_t i = 0; i < list.Count(); ++i)
        if (list.Line(i).state != kDone)
            return true;
    return false;
}

bool RunDeletionPasses(ListFile &list, const char *folder, const char *programPath, bool *scheduled)
{
    Pass pass = {list, folder, programPath, {}, 0, false, false};
    // Another process re-creating a listed file cannot keep the passes going: a line done is
    // not tried again, and the passes are bounded by the lines anyway.
    for (size_t n = 0; n <= list.LinesRead(); ++n) {
        RunPass(list, pass);
        if (pass.deleted == 0 || !AnyLeft(list))
            break;
    }
    if (scheduled)
        *scheduled = pass.scheduled;
    return pass.restartNeeded;
}

static void RemoveFolderAtRestart(const char *path)
{
    LogChange(LongRemoveFolderAtRestart(path) ? 0 : FailureError(), "folder %s scheduled for the restart", path);
}

void ScheduleFoldersAtRestart(ListFile &list, const char *folder)
{
    // wininit.ini of 9x removes no folder.
    if (NtMajorVersion() == 0)
        return;
    CheckedFolders checked;
    char path[kPathSize];
    for (size_t k = 0; k < list.Count(); ++k) {
        ListLine &line = list.Deepest(k);
        if (line.state == kFolder && FullPathOf(path, sizeof path, line, folder, checked))
            RemoveFolderAtRestart(path);
    }
    CopyBounded(path, folder, sizeof path);
    StripFileName(path);
    if (*LastCharPos(path) != '\\') // never a drive's root
        RemoveFolderAtRestart(path);
}
