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
