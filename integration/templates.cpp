#include "integration/templates.h"

#include "integration/program_files.h"
#include "registry/registry.h"
#include "support/text.h"

#include <windows.h>

unsigned char EmptyQbxArchive[20] = {0x00, 0x62, 0x78, 0x21, 0x1A, 0x07, 0x00, 0xCF, 0x90, 0x73,
                                     0x00, 0x00, 0x0D, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
unsigned char EmptyZipArchive[22] = {0x00, 0x4B, 0x05, 0x06};

void CompleteTemplates()
{
    EmptyQbxArchive[0] = 0x51;
    EmptyZipArchive[0] = 0x50;
}

static bool ShellNewKey(const char *ext, char *key, size_t size)
{
    return JoinBounded(key, size, ext, "\\ShellNew");
}

static bool SettingsKey(const char *ext, char *key, size_t size)
{
    return JoinBounded(key, size, "Setup\\", ext);
}

void SaveNewFileEntry(const char *ext, char *out, size_t size)
{
    char key[kPathSize], fileName[1024], nullFile[10];
    CopyBounded(out, "", size);
    if (!ShellNewKey(ext, key, sizeof key))
        return;
    GetRegString(HKEY_CLASSES_ROOT, key, "FileName", fileName, sizeof fileName, "");
    bool hasNullFile = GetRegString(HKEY_CLASSES_ROOT, key, "NullFile", nullFile, sizeof nullFile, "");
    if (fileName[0] != '\0')
        CopyBounded(out, fileName, size);
    else if (hasNullFile)
        CopyBounded(out, "*", size);
}

// Windows 2000 and later, and Me, take a template file; 95, 98 and NT 4 want the bytes.
static bool UsesTemplateFile()
{
    OSVERSIONINFOA info;
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = 148;
    GetVersionExA(&info);
    return info.dwMajorVersion > 4 || info.dwMinorVersion > 10;
}

static void CreateTemplateFile(const char *path, const void *bytes, DWORD count)
{
    // CREATE_NEW: a file already there, whatever it holds, is left as it is.
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, bytes, count, &written, nullptr);
    CloseHandle(file);
}

void RegisterNewFileTemplate(const char *ext, bool isQbx)
{
    char key[kPathSize];
    if (!ShellNewKey(ext, key, sizeof key))
        return;
    const unsigned char *bytes = isQbx ? EmptyQbxArchive : EmptyZipArchive;
    DWORD count = isQbx ? sizeof EmptyQbxArchive : sizeof EmptyZipArchive;
    DeleteRegKey(HKEY_CLASSES_ROOT, key);
    if (!UsesTemplateFile()) {
        SetRegBytes(HKEY_CLASSES_ROOT, key, "Data", bytes, count);
        return;
    }
    char path[kPathSize];
    if (!ProgramFilePath(isQbx ? "qbxnew.dat" : "zipnew.dat", path, sizeof path))
        return;
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        CreateTemplateFile(path, bytes, count);
    SetRegString(HKEY_CLASSES_ROOT, key, "FileName", path);
}

void RestoreNewFileEntry(const char *ext)
{
    char settings[kPathSize], key[kPathSize], entry[1024];
    if (!SettingsKey(ext, settings, sizeof settings) || !ShellNewKey(ext, key, sizeof key))
        return;
    GetSettingString(settings, "ShellNew", entry, sizeof entry, "");
    DeleteRegValue(HKEY_CLASSES_ROOT, key, "FileName");
    // Setup deleted whatever "Data" was there before writing its own, so any left is ours.
    DeleteRegValue(HKEY_CLASSES_ROOT, key, "Data");
    if (entry[0] == '*')
        SetRegString(HKEY_CLASSES_ROOT, key, "NullFile", "");
    else if (entry[0] != '\0')
        SetRegString(HKEY_CLASSES_ROOT, key, "FileName", entry);
}
