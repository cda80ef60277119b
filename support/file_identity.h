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
// False when the name cannot be opened.
bool GetFileIdOf(const char *name, FileId *id);
// True when both names lead to the same file, whatever names they use: an 8.3 alias, another
// case, a hard link. False when either cannot be opened.
bool IsSameFile(const char *a, const char *b);
