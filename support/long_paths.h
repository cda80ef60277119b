// File calls on full paths of any length the program's buffers hold. The A calls refuse a path
// beyond MAX_PATH (error 206), which a caller would take for one that is not there. On the NT
// family these go through the W calls and the "\\?\" form, which that limit does not stop; 9x
// has neither and keeps the A calls, limit included.
#pragma once

#include <windows.h>

#include "support/file_identity.h"
#include "support/program_path.h"

// The "\\?\" form of a path of kPathSize bytes, "\\?\UNC\" included, with its terminator.
constexpr size_t kExtendedPathSize = kPathSize + 8;

// How the last name of a path is read.
enum class LastName {
    kAsGiven,  // as Windows reads a path: its trailing dots and blanks dropped
    kAsFolder, // as a folder on the way to something below it: only its last dot dropped, and
               // no separator after it (which would lead through a link to its target)
};

// The "\\?\" form of a full path given in the process's code page ("X:\...", "\\server\share\...",
// or one already in that form, taken as it is, as Windows takes it), read as the A calls read
// it: "/" as "\", a run of separators as one, the last dot of each folder's name dropped, the
// last name as `last` says. False, out empty, for any other path, a name of dots and blanks
// only (this reading resolves no "." or ".."), text with no exact UTF-16 form, or a result
// longer than size characters.
bool ExtendedPath(const char *path, LastName last, WCHAR *out, size_t size);

// True when the calls below reach the path: on NT when it has a "\\?\" form, on 9x when it is
// shorter than MAX_PATH.
bool IsReachablePath(const char *path);

// The A or W call of the same name on a full path; one that cannot be reached fails with
// ERROR_INVALID_NAME.
DWORD LongGetAttributes(const char *path);
bool LongSetAttributes(const char *path, DWORD attributes);
bool LongDeleteFile(const char *path);
bool LongRemoveDirectory(const char *path);
bool LongMoveFile(const char *from, const char *to);
// MoveFileEx with no new name, deleting the file at the next restart (NT only).
bool LongDeleteAtRestart(const char *path);
// The attributes of the folder a path names (with or without a separator after it), read as a
// folder on the way: a link's own, not its target's.
DWORD LongGetFolderAttributes(const char *path);
// Schedules the folder a path names for removal at the next restart (NT only), where Windows
// removes it if it is empty then. A link is not scheduled: what the restart would remove, the
// link or its target, is not to be left to chance.
bool LongRemoveFolderAtRestart(const char *path);
// As OpenForInformation of support/file_identity.h.
HANDLE LongOpenForInformation(const char *path);
// The file's identity; false when the path cannot be opened.
bool LongGetFileIdOf(const char *path, FileId *id);
// True when both paths lead to the same file, whatever names they use: an 8.3 alias, another
// case, a hard link. False when either cannot be opened.
bool LongIsSameFile(const char *a, const char *b);
