#include "integration/shortcuts.h"

#include "integration/program_files.h"
#include "lang/messages.h"
#include "res/resource.h"
#include "support/code_pages.h"
#include "support/log.h"
#include "support/file_identity.h"
#include "support/optional_functions.h"
#include "support/program_path.h"
#include "support/text.h"
#include "support/windows_version.h"

#include <shlobj.h>
#include <windows.h>
#include <string.h>

// The shell's identifiers, here rather than from the uuid library, whose one object would
// bring some 1,600 bytes of identifiers the program never uses.
static const GUID kShellLinkClass = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
static const GUID kShellLinkA = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
static const GUID kShellLinkW = {0x000214F9, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
static const GUID kPersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

struct GroupShortcut {
    const char *name;
    int nameId; // 0: the fixed name above
    const char *target;
};

static const GroupShortcut kGroup[] = {
    {"Quibex", 0, QBX_ARCHIVER_FILE},
    {nullptr, IDS_HELP_SHORTCUT, "Quibex.chm"},
    {nullptr, IDS_MANUAL_SHORTCUT, "Qbx.txt"},
};
static const int kGroupCount = sizeof kGroup / sizeof kGroup[0];

// The program group's folder name, never translated.
static const char kGroupName[] = "Quibex";

// Saves a shortcut to target at linkPath through the shell link object, in the interface whose
// texts are Char: IShellLinkW for names any code page cannot hold (NT family), IShellLinkA on
// 9x, which has no other. The link's own path is wide in both: IPersistFile takes no other.
template <typename ShellLink, typename Char>
static bool CreateShellLink(const GUID &linkInterface, const Char *target, const Char *description,
                            const WCHAR *linkPath)
{
    ShellLink *link = nullptr;
    if (FAILED(CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, linkInterface,
                                reinterpret_cast<void **>(&link))))
        return false;
    link->SetPath(target);
    if (description)
        link->SetDescription(description);
    IPersistFile *file = nullptr;
    if (FAILED(link->QueryInterface(kPersistFile, reinterpret_cast<void **>(&file)))) {
        link->Release();
        return false;
    }
    bool saved = SUCCEEDED(file->Save(linkPath, TRUE));
    file->Release();
    link->Release();
    return saved;
}

static bool IsFileNameSafe(const char *name)
{
    if (name[0] == '\0')
        return false;
    for (const char *p = name; *p != '\0'; p = NextChar(p)) {
        // Trail bytes of a double-byte character may look like '\' and are fine.
        if (NextChar(p) != p + 1)
            continue;
        unsigned char c = static_cast<unsigned char>(*p);
        if (c < 32)
            return false;
        for (const char *bad = "\\/:*?\"<>|"; *bad != '\0'; ++bad)
            if (*p == *bad)
                return false;
    }
    return true;
}

void ShortcutName(int id, char *out, size_t size)
{
    CopyBounded(out, GetMsg(id), size);
    if (IsFileNameSafe(out))
        return;
    out[0] = '\0';
    if (size > 0)
        LoadStringA(g_programModule, id, out, static_cast<int>(size));
}

static bool IsWideFileNameSafe(const WCHAR *name)
{
    if (name[0] == L'\0')
        return false;
    for (const WCHAR *p = name; *p != L'\0'; ++p) {
        if (*p < 32)
            return false;
        for (const WCHAR *bad = L"\\/:*?\"<>|"; *bad != L'\0'; ++bad)
            if (*p == *bad)
                return false;
    }
    return true;
}

static bool ToWide(const char *text, WCHAR *out, size_t size)
{
    return ConvertToWide(ProcessCodePage(), text, kTerminated, out, size) >= 0;
}

static bool ToAnsi(const WCHAR *text, char *out, size_t size)
{
    return ConvertWideText(text, kTerminated, ProcessCodePage(), out, size) >= 0;
}

// A language-file translation is taken as today. Otherwise the NT family takes the resource
// text in UTF-16, which names the file whatever the process's code page.
static void LinkNameNt(int id, WCHAR *out, int size)
{
    if (IsMsgTranslated(id)) {
        char translated[kMsgBufferSize];
        CopyBounded(translated, GetMsg(id), sizeof translated);
        if (IsFileNameSafe(translated) && ToWide(translated, out, size))
            return;
    } else if (GetResourceMsgW(id, out, size) && IsWideFileNameSafe(out)) {
        return;
    }
    out[0] = L'\0';
    LoadStringW(g_programModule, id, out, size);
}

// 9x has no wide file names: a name the process's code page cannot hold (it comes out with "?")
// becomes the target's file name without extension, or with it when that is taken already.
static void LinkName9x(int row, char names[][kMsgSize])
{
    char *name = names[row];
    ShortcutName(kGroup[row].nameId, name, kMsgSize);
    if (IsFileNameSafe(name))
        return;
    CopyBounded(name, kGroup[row].target, kMsgSize);
    char *dot = name + strlen(name);
    while (dot > name && *dot != '.')
        --dot;
    if (dot == name)
        return;
    *dot = '\0';
    for (int i = 0; i < row; ++i)
        if (CompareNoCase(names[i], name) == 0) {
            *dot = '.';
            return;
        }
}

// Names of the group's shortcuts and the shortcuts' description (size characters), in UTF-16.
static void LinkTexts(WCHAR names[][kMsgSize], WCHAR *description, int size)
{
    bool nt = NtMajorVersion() != 0;
    char ansi[kGroupCount][kMsgSize];
    for (int i = 0; i < kGroupCount; ++i) {
        if (kGroup[i].nameId == 0) {
            CopyBounded(ansi[i], kGroup[i].name, kMsgSize);
            ToWide(ansi[i], names[i], kMsgSize);
        } else if (nt) {
            LinkNameNt(kGroup[i].nameId, names[i], kMsgSize);
        } else {
            LinkName9x(i, ansi);
            ToWide(ansi[i], names[i], kMsgSize);
        }
    }
    if (!nt || IsMsgTranslated(IDS_SHORTCUT_DESCRIPTION) || !GetResourceMsgW(IDS_SHORTCUT_DESCRIPTION, description, size))
        ToWide(GetMsg(IDS_SHORTCUT_DESCRIPTION), description, size);
}

// The NT family saves through the wide interface; 9x has only the ANSI one.
static bool SaveLink(const char *target, const WCHAR *description, const WCHAR *link)
{
    if (NtMajorVersion() != 0) {
        WCHAR wideTarget[kPathSize];
        return ToWide(target, wideTarget, kPathSize) &&
               CreateShellLink<IShellLinkW>(kShellLinkW, wideTarget, description, link);
    }
    char ansiDescription[kMsgSize * 2];
    return ToAnsi(description, ansiDescription, sizeof ansiDescription) &&
           CreateShellLink<IShellLinkA>(kShellLinkA, target, ansiDescription, link);
}

// The shell writes a folder's path into MAX_PATH characters. The W call is loaded by name: not
// every 9x shell exports it.
static DWORD FolderPathA(const void *items, char *out, DWORD size)
{
    return size >= MAX_PATH && SHGetPathFromIDListA(static_cast<LPCITEMIDLIST>(items), out) ? strlen(out) : 0;
}

static DWORD FolderPathW(const void *items, WCHAR *out, DWORD size)
{
    PathFromIdListCall readPath = OptionalPathFromIdListW();
    DWORD n = 0;
    if (size >= MAX_PATH && readPath && readPath(static_cast<LPCITEMIDLIST>(items), out))
        while (out[n] != L'\0')
            ++n;
    return n;
}

// Path of a special folder in out (size bytes); false, out empty, when there is none.
static bool SpecialFolder(IMalloc *malloc, int csidl, char *out, size_t size)
{
    out[0] = '\0';
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &items)) || !items)
        return false;
    static const PathCalls calls = {FolderPathA, FolderPathW};
    bool found = ReadSystemPath(calls, items, out, size);
    if (malloc)
        malloc->Free(items);
    return found;
}

// The Programs folders a group is made in: the user's, and on the NT family all users' (empty
// when there is none).
static void ProgramsFolders(IMalloc *malloc, char folders[2][kPathSize])
{
    SpecialFolder(malloc, CSIDL_PROGRAMS, folders[0], kPathSize);
    folders[1][0] = '\0';
    if (NtMajorVersion() != 0)
        SpecialFolder(malloc, CSIDL_COMMON_PROGRAMS, folders[1], kPathSize);
}

bool IsProgramGroupFolder(const char *folder, const char *const *programs, int count)
{
    // A component of dots alone names another folder than it reads.
    const char *part = folder;
    for (const char *p = folder;; p = NextChar(p)) {
        if (*p != '\0' && !IsPathSeparator(*p))
            continue;
        const char *q = part;
        while (q < p && *q == '.')
            ++q;
        if (q == p && p > part)
            return false;
        if (*p == '\0')
            break;
        part = p + 1;
    }
    for (int i = 0; i < count; ++i) {
        char group[kPathSize];
        CopyBounded(group, programs[i], sizeof group);
        if (group[0] != '\0' && AppendPathPart(group, sizeof group, kGroupName) && strcmp(folder, group) == 0)
            return true;
    }
    return false;
}

bool DeleteFolderTree(const char *folder)
{
    IMalloc *malloc = nullptr;
    if (FAILED(SHGetMalloc(&malloc)))
        malloc = nullptr;
    char programs[2][kPathSize];
    ProgramsFolders(malloc, programs);
    if (malloc)
        malloc->Release();
    const char *const known[] = {programs[0], programs[1]};
    DWORD attr = GetFileAttributesA(folder);
    // Through a link the shell would delete the link's target.
    if (!IsProgramGroupFolder(folder, known, 2) || attr == INVALID_FILE_ATTRIBUTES ||
        (attr & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != FILE_ATTRIBUTE_DIRECTORY)
        return false;
    // A double-terminated list of one path, which fits: it was formed in kPathSize bytes.
    char list[kPathSize + 1];
    size_t length = strlen(folder);
    CopyMemory(list, folder, length);
    list[length] = '\0';
    list[length + 1] = '\0';
    SHFILEOPSTRUCTA op;
    ZeroMemory(&op, sizeof op);
    op.wFunc = FO_DELETE;
    op.pFrom = list;
    op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;
    return SHFileOperationA(&op) == 0;
}

// One "Quibex.lnk" in folder: created when wanted, deleted otherwise.
static void UpdateLink(const char *folder, bool wanted, const char *target, const WCHAR *description)
{
    char link[kPathSize];
    // Without its folder the name alone would be relative to the current folder.
    if (folder[0] == '\0')
        return;
    CopyBounded(link, folder, sizeof link);
    if (!AppendPathPart(link, sizeof link, "Quibex.lnk"))
        return;
    WCHAR wideLink[kPathSize];
    if (!wanted)
        LogDeletion(DeleteFileA(link), "shortcut", link);
    else if (ToWide(link, wideLink, kPathSize))
        LogLine("shortcut %s %s", link, SaveLink(target, description, wideLink) ? "created" : "not created");
}

// Joins folder, name and ".lnk" into link (size characters); false when they do not fit.
static bool LinkPath(WCHAR *link, size_t size, const WCHAR *folder, const WCHAR *name)
{
    const WCHAR *parts[] = {folder, name, L".lnk"};
    size_t used = 0;
    for (const WCHAR *part : parts) {
        for (; *part != L'\0'; ++part) {
            if (used + 1 >= size)
                return false;
            link[used++] = *part;
        }
    }
    link[used] = L'\0';
    return true;
}

static void CreateGroupLinks(const char *group, WCHAR names[][kMsgSize], const WCHAR *description)
{
    WCHAR folder[kPathSize];
    char separated[kPathSize];
    CopyBounded(separated, group, sizeof separated);
    if (!AppendBackslash(separated, sizeof separated) || !ToWide(separated, folder, kPathSize))
        return;
    for (int i = 0; i < kGroupCount; ++i) {
        WCHAR link[kPathSize];
        char target[kPathSize];
        if (!LinkPath(link, kPathSize, folder, names[i]) || !ProgramFilePath(kGroup[i].target, target, sizeof target))
            continue;
        LogLine("shortcut to %s %s", target, SaveLink(target, description, link) ? "created" : "not created");
    }
}

// Deletes the group folder below programs and, when wanted, makes it anew with its shortcuts.
// group (size bytes) receives its path. True when the group folder exists afterwards.
static bool UpdateGroup(const char *programs, bool wanted, WCHAR names[][kMsgSize], const WCHAR *description,
                        char *group, size_t size)
{
    group[0] = '\0';
    if (programs[0] == '\0')
        return false;
    CopyBounded(group, programs, size);
    if (!AppendPathPart(group, size, kGroupName)) {
        group[0] = '\0';
        return false;
    }
    if (DeleteFolderTree(group))
        LogLine("program group %s deleted", group);
    if (!wanted)
        return false;
    LogChange(CreateDirectoryA(group, nullptr) ? 0 : FailureError(), "program group %s created", group);
    CreateGroupLinks(group, names, description);
    return PathExists(group);
}

void UpdateShortcuts(const SetupChoices &choices, char *groupFolder, size_t size)
{
    DWORD version = NtMajorVersion();
    char target[kPathSize], folder[kPathSize], group[kPathSize];
    if (!ArchiverPath(target, sizeof target))
        return;
    WCHAR names[kGroupCount][kMsgSize], description[kMsgSize];
    LinkTexts(names, description, kMsgSize);
    IMalloc *malloc = nullptr;
    if (FAILED(SHGetMalloc(&malloc)))
        malloc = nullptr;

    SpecialFolder(malloc, CSIDL_DESKTOPDIRECTORY, folder, sizeof folder);
    if (version >= 6) {
        // Windows 6 and later keep it on the all-users desktop; an older one here would double it.
        UpdateLink(folder, false, target, description);
        SpecialFolder(malloc, CSIDL_COMMON_DESKTOPDIRECTORY, folder, sizeof folder);
    }
    UpdateLink(folder, choices.Desktop, target, description);

    SpecialFolder(malloc, version >= 6 ? CSIDL_COMMON_STARTMENU : CSIDL_STARTMENU, folder, sizeof folder);
    UpdateLink(folder, choices.StartMenu, target, description);

    char programs[2][kPathSize];
    ProgramsFolders(malloc, programs);
    UpdateGroup(programs[0], choices.Programs, names, description, group, sizeof group);
    // Whole or not at all: a cut path names another folder.
    if (choices.Programs && groupFolder && group[0] != '\0')
        JoinBounded(groupFolder, size, group, "");
    // The all-users group, when it could be made, is the one to show afterwards.
    if (UpdateGroup(programs[1], choices.Programs, names, description, group, sizeof group) && groupFolder)
        JoinBounded(groupFolder, size, group, "");

    if (malloc)
        malloc->Release();
}
