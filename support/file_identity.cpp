#include "support/file_identity.h"

bool PathExists(const char *name) { return GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES; }

bool GetFileId(HANDLE file, FileId *id)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info))
        return false;
    *id = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return true;
}

HANDLE OpenForInformation(const char *name)
{
    return CreateFileA(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
}

bool GetFileIdOf(const char *name, FileId *id)
{
    HANDLE file = OpenForInformation(name);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = GetFileId(file, id);
    CloseHandle(file);
    return ok;
}

bool IsSameFile(const char *a, const char *b)
{
    FileId first, second;
    return GetFileIdOf(a, &first) && GetFileIdOf(b, &second) && first == second;
}
