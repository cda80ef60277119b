// The archiver's own file types in HKEY_CLASSES_ROOT, which the extensions taken over name.
#pragma once

// Names of the types; macros, so that the keys below them are joined at compile time.
#define QBX_FILE_TYPE "Quibex"
#define QBX_ZIP_FILE_TYPE "Quibex.ZIP"
#define QBX_REV_FILE_TYPE "Quibex.REV"

// True when type is "Quibex" or "Quibex.ZIP" (any case): the types an extension taken over names.
bool IsOwnFileType(const char *type);
// Writes the file types "Quibex", "Quibex.ZIP" and "Quibex.REV" and the ".rev" extension,
// then tells the shell. False only when the first write was refused with access denied.
bool RegisterFileTypes();
