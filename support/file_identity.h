// Whether a name leads to a file, and to which one.
#pragma once

#include <windows.h>

// True when a file or folder of that name exists.
bool PathExists(const char *name);
// What tells one file from every other: its volume's serial number and its file index.
struct FileId {
    DWORD volume, indexHigh, indexLow;
    bool operator==(const FileId &) const = default;
};
bool GetFileId(HANDLE file, FileId *id);
// Opens a file for no access, only to read its information, so files in use open as well;
// a folder does not open. INVALID_HANDLE_VALUE on failure.
HANDLE OpenForInformation(const char *name);
