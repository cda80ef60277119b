// Deleting what "Uninstall.lst" names, pass after pass, and deferring files in use.
#pragma once

#include <windows.h>

#include "removal/list_file.h"

// Runs passes over the list until one deletes nothing, but never more than one pass more
// than the list has lines. folder ends with a backslash; programPath is this program's
// file. Each line's outcome goes to the log. Returns true when a file in use could only
// be scheduled under its own name; scheduled (may be null) tells whether any file was left
// for deletion at the next restart.
bool RunDeletionPasses(ListFile &list, const char *folder, const char *programPath, bool *scheduled = nullptr);

// Moves a file that cannot be deleted to a free "<name>.<n>.tmp", schedules that for deletion
// at the next restart and returns n; when it cannot be moved, schedules the file itself and
// returns -1 (a restart is needed).
int DeferDeletion(const char *fullPath);

// After passes that left files to the restart: schedules there, after them, the listed folders
// still present (deepest first) and then the folder (ending with a backslash) itself, unless
// it is a drive's root. Windows removes each that is empty then. NT only: 9x removes no folder
// at its restart.
void ScheduleFoldersAtRestart(ListFile &list, const char *folder);

// True when the folder (ending with a backslash) holds nothing but the program's own file,
// recognised as a file under whatever name, and files these passes moved aside for the
// restart ("<name>.<n>.tmp"): all a removal leaves once its list is gone. False for a
// subfolder, any other file, or a folder that cannot be read whole.
bool HoldsOnlyRemovalLeftovers(const char *folder, const char *programPath);

// Reads the attributes of a full path and clears them, unless it is a junction or symbolic link, whose
// target lies elsewhere. Returns the attributes read (INVALID_FILE_ATTRIBUTES when none).
DWORD ClearAttributesUnlessLink(const char *path);
