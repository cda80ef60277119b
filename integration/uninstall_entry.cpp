#include "integration/uninstall_entry.h"

#include "integration/program_files.h"
#include "lang/messages.h"
#include "qbx_version.h"
#include "registry/registry.h"
#include "res/resource.h"
#include "support/log.h"
#include "support/long_paths.h"
#include "support/program_path.h"
#include "support/text.h"

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quibex archiver";

bool UninstallCommand(char *out, size_t size, const char *programPath)
{
    bool blank = false;
    for (const char *p = programPath; *p != '\0'; p = NextChar(p))
        blank = blank || *p == ' ';
    if (!blank)
        return JoinBounded(out, size, programPath, "");
    // Windows runs the string as a command line: unquoted, a blank splits off a part that
    // may read as a switch ("C:\Program Files\Quibex-2" gives "-2\uninstall.exe").
    return size > 0 && JoinBounded(out, size - 1, "\"", programPath) && AppendBounded(out, "\"", size);
}

static LONG SetEntryString(const char *name, const char *text)
{
    return SetRegString(HKEY_LOCAL_MACHINE, kUninstallKey, name, text);
}

static void SetEntryDword(const char *name, DWORD value) { SetRegDword(HKEY_LOCAL_MACHINE, kUninstallKey, name, value); }

// What Apps & features and deployment tools show and use beside the name and the command.
static void RegisterDetails(const char *program, ListedSize listedKiB)
{
    char text[kPathSize + 16];
    if (JoinBounded(text, sizeof text, "\"", program) && AppendBounded(text, "\" /quiet", sizeof text))
        SetEntryString("QuietUninstallString", text);
    CopyBounded(text, program, sizeof text);
    StripFileName(text);
    SetEntryString("InstallLocation", text);
    SetEntryString("DisplayVersion", QBX_VERSION);
    SetEntryDword("VersionMajor", QBX_VERSION_MAJOR);
    SetEntryDword("VersionMinor", QBX_VERSION_MINOR);
    SetEntryString("Publisher", GetMsg(IDS_PUBLISHER));
    SetEntryString("URLInfoAbout", GetWebAddressMsg(IDS_HOME_PAGE));
    AppendBackslash(text, sizeof text);
    DWORD kib;
    if (listedKiB(text, &kib))
        SetEntryDword("EstimatedSize", kib);
    else
        DeleteRegValue(HKEY_LOCAL_MACHINE, kUninstallKey, "EstimatedSize");
    SYSTEMTIME now;
    GetLocalTime(&now);
    wsprintfA(text, "%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
    SetEntryString("InstallDate", text);
}

void RegisterUninstallEntry(ListedSize listedKiB)
{
    LogChange(SetEntryString("DisplayName", GetMsg(IDS_DISPLAY_NAME)), "uninstall entry registered");
    // Without a path that names this program, no path at all.
    char program[kPathSize];
    bool named = OwnProgramPath(program, sizeof program);
    if (named) {
        char command[kPathSize + 2];
        if (UninstallCommand(command, sizeof command, program))
            SetEntryString("UninstallString", command);
        char icon[kPathSize];
        if (ArchiverPath(icon, sizeof icon))
            SetEntryString("DisplayIcon", icon);
    }
    SetEntryDword("NoModify", 1);
    SetEntryDword("NoRepair", 1);
    if (named)
        RegisterDetails(program, listedKiB);
}

void RemoveUninstallEntry() { LogChange(DeleteRegKey(HKEY_LOCAL_MACHINE, kUninstallKey), "uninstall entry removed"); }

// True when folder (with or without a trailing backslash) is the program's folder: by name,
// or under any other (8.3 alias, link) when the program's file is found there.
static bool IsFolderOf(const char *folder, const char *programPath)
{
    char own[kPathSize], path[kPathSize];
    CopyBounded(own, programPath, sizeof own);
    StripFileName(own);
    AppendBackslash(own, sizeof own);
    if (!JoinBounded(path, sizeof path, folder, "") || !AppendBackslash(path, sizeof path))
        return false;
    return CompareNoCase(path, own) == 0 ||
           (AppendBounded(path, FileNamePart(programPath), sizeof path) && LongIsSameFile(path, programPath));
}

bool UninstallEntryMayNameFolderOf(const char *programPath)
{
    if (!RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey))
        return false;
    bool named = false;
    char text[kPathSize];
    if (GetRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation", text, sizeof text, "")) {
        if (IsFolderOf(text, programPath))
            return true;
        named = true;
    }
    if (GetRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", text, sizeof text, "")) {
        // Setup writes the program's path alone, quoted when it holds a blank.
        char *path = text;
        if (*path == '"') {
            char *close = strchr(++path, '"');
            if (close)
                *close = '\0';
        }
        StripFileName(path);
        if (IsFolderOf(path, programPath))
            return true;
        named = true;
    }
    // An entry that names no folder could be this one's.
    return !named;
}
