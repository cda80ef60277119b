#include "integration/templates.h"

#include "integration/setup_choices.h"
#include "registry/registry.h"
#include "support/log.h"
#include "support/program_path.h"
#include "support/text.h"
#include "support/windows_version.h"

#include <string.h>
#include <windows.h>

static unsigned char s_emptyQbx[20];
static unsigned char s_emptyZip[22];

// Both are made here, at every call, from a tail that lacks the first byte, so that the
// program's file holds neither signature whole (an archiver or a scanner would take the program
// for an archive). The first byte is stored through a volatile: otherwise the optimiser folds it
// and the tail back into one constant.
ArchiveBytes EmptyArchiveBytes(bool isQbx)
{
    if (isQbx) {
        static const unsigned char qbxTail[] = {0x62, 0x78, 0x21, 0x1A, 0x07, 0x00,
                                                0xCF, 0x90, 0x73, 0x00, 0x00, 0x0D};
        memcpy(s_emptyQbx + 1, qbxTail, sizeof qbxTail);
        *static_cast<volatile unsigned char *>(s_emptyQbx) = 0x51;
        return {s_emptyQbx, sizeof s_emptyQbx};
    }
    static const unsigned char zipTail[] = {0x4B, 0x05, 0x06};
    memcpy(s_emptyZip + 1, zipTail, sizeof zipTail);
    *static_cast<volatile unsigned char *>(s_emptyZip) = 0x50;
    return {s_emptyZip, sizeof s_emptyZip};
}

static bool ShellNewKey(const char *ext, char *key, size_t size)
{
    return JoinBounded(key, size, ext, "\\ShellNew");
}

void SaveNewFileEntry(const char *ext, HKEY record, const char *settings)
{
    char key[kPathSize], nullFile[10];
    bool hasKey = ShellNewKey(ext, key, sizeof key);
    if (hasKey && RegValueHasText(HKEY_CLASSES_ROOT, key, "FileName") &&
        CopyRegValue(HKEY_CLASSES_ROOT, key, "FileName", record, settings, "ShellNew") == ERROR_SUCCESS)
        return;
    bool hasNullFile = hasKey && GetRegString(HKEY_CLASSES_ROOT, key, "NullFile", nullFile, sizeof nullFile, "");
    SetRegString(record, settings, "ShellNew", hasNullFile ? "*" : "");
}

// Windows 2000 and later, and Me, take a template file; 95, 98 and NT 4 want the bytes.
// NtMajorVersion cannot tell Me from 98: both are 9x of major version 4.
static bool UsesTemplateFile()
{
    const WindowsVersion &version = RunningWindows();
    bool windows2000OrLater = version.major > 4;
    bool windowsMe = version.minor > 10; // Me is 4.90, 98 4.10; 95 and NT 4 are 4.0
    return windows2000OrLater || windowsMe;
}

static void CreateTemplateFile(const char *path, const void *bytes, DWORD count)
{
    // CREATE_NEW: a file already there, whatever it holds, is left as it is.
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    LogChange(file != INVALID_HANDLE_VALUE && WriteFile(file, bytes, count, &written, nullptr) ? 0 : FailureError(),
              "template %s written", path);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

void RegisterNewFileTemplate(const char *ext, bool isQbx)
{
    char key[kPathSize];
    if (!ShellNewKey(ext, key, sizeof key))
        return;
    ArchiveBytes archive = EmptyArchiveBytes(isQbx);
    DeleteRegKey(HKEY_CLASSES_ROOT, key);
    if (!UsesTemplateFile()) {
        LogChange(SetRegBytes(HKEY_CLASSES_ROOT, key, "Data", archive.data, archive.count), "%s set", key);
        return;
    }
    char path[kPathSize];
    if (!ProgramFilePath(isQbx ? "qbxnew.dat" : "zipnew.dat", path, sizeof path))
        return;
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        CreateTemplateFile(path, archive.data, archive.count);
    LogChange(SetRegString(HKEY_CLASSES_ROOT, key, "FileName", path), "%s set", key);
}

// What the record keeps of the extension's new-file key, in key (size bytes).
static bool SavedValuesKey(const char *ext, char *key, size_t size)
{
    return ExtensionSettingsKey(ext, key, size) && AppendBounded(key, "\\ShellNew", size);
}

static bool IsOwnTemplateFile(const char *path)
{
    static const char *const names[] = {"qbxnew.dat", "zipnew.dat"};
    for (const char *name : names) {
        char own[kPathSize];
        if (ProgramFilePath(name, own, sizeof own) && CompareNoCase(path, own) == 0)
            return true;
    }
    return false;
}

static bool IsOwnTemplateData(const BYTE *data, DWORD count)
{
    ArchiveBytes qbx = EmptyArchiveBytes(true), zip = EmptyArchiveBytes(false);
    return (count == qbx.count && memcmp(data, qbx.data, count) == 0) ||
           (count == zip.count && memcmp(data, zip.data, count) == 0);
}

// Only a "FileName" naming this program's own template file is surely setup's (bytes equal to an
// empty archive are also what Windows itself registers as "Data"). Deleted from the new-file key
// or from a copy of it: one left by an earlier installation is never another program's to get back.
static void DeleteOwnFileName(HKEY root, const char *key)
{
    char fileName[kPathSize];
    if (GetRegString(root, key, "FileName", fileName, sizeof fileName, "") && IsOwnTemplateFile(fileName))
        DeleteRegValue(root, key, "FileName");
}

void SaveNewFileValues(const char *ext, HKEY record)
{
    char key[kPathSize], saved[kPathSize];
    if (!ShellNewKey(ext, key, sizeof key) || !SavedValuesKey(ext, saved, sizeof saved))
        return;
    DeleteRegTree(record, saved);
    if (!RegKeyExists(HKEY_CLASSES_ROOT, key))
        return;
    CopyRegValues(HKEY_CLASSES_ROOT, key, record, saved, false); // an empty key is kept too
    DeleteOwnFileName(record, saved);
}

// Only what RegisterNewFileTemplate writes goes; every other value is another program's.
static void DeleteOwnValues(const char *key)
{
    DeleteOwnFileName(HKEY_CLASSES_ROOT, key);
    BYTE data[32];
    DWORD type = 0, count = 0;
    if (QueryRegValue(HKEY_CLASSES_ROOT, key, "Data", &type, data, sizeof data, &count) && type == REG_BINARY &&
        IsOwnTemplateData(data, count))
        DeleteRegValue(HKEY_CLASSES_ROOT, key, "Data");
}

void RestoreNewFileEntry(const char *ext, HKEY record)
{
    char settings[kPathSize], key[kPathSize], saved[kPathSize], entry[2];
    if (!ExtensionSettingsKey(ext, settings, sizeof settings) || !ShellNewKey(ext, key, sizeof key) ||
        !SavedValuesKey(ext, saved, sizeof saved))
        return;
    DeleteOwnValues(key);
    LogLine("%s given back", key);
    if (RegKeyExists(record, saved)) {
        CopyRegValues(record, saved, HKEY_CLASSES_ROOT, key, true);
        DeleteOwnFileName(HKEY_CLASSES_ROOT, key);
        return;
    }
    // A record without saved values: its one encoded entry, or no new-file key before. Only
    // "*" fits entry; a file name is copied whole.
    GetRegString(record, settings, "ShellNew", entry, sizeof entry, "");
    if (entry[0] == '*')
        SetRegString(HKEY_CLASSES_ROOT, key, "NullFile", "");
    else if (RegValueHasText(record, settings, "ShellNew"))
        CopyRegValue(record, settings, "ShellNew", HKEY_CLASSES_ROOT, key, "FileName");
    else
        DeleteEmptyRegKey(HKEY_CLASSES_ROOT, key, false);
}

void RemoveNewFileEntry(const char *ext)
{
    char key[kPathSize];
    if (!ShellNewKey(ext, key, sizeof key))
        return;
    DeleteOwnValues(key);
    DeleteEmptyRegKey(HKEY_CLASSES_ROOT, key, false);
    LogLine("%s removed", key);
}
