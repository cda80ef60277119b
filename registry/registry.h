// The one layer through which the program reads, writes and deletes registry keys.
#pragma once

#include <windows.h>

// Stands, as a root, for the program's settings key HKEY_CURRENT_USER\Software\Quibex: a path
// given with it lies below that key, and the empty path is the key itself. Every other root
// takes its path as it is. Not a key of the system: only this layer's functions accept it.
extern const HKEY kSettingsRoot;
// The same for the program's key of the machine, HKEY_LOCAL_MACHINE\Software\Quibex, in the
// view the call works in: the default one (the 32-bit one on 64-bit Windows) unless the call is
// for the 64-bit view.
extern const HKEY kMachineSettingsRoot;

// Room a built path keeps for the settings key's path, its separator and the terminator.
constexpr size_t kSettingsPathRoom = 20;
// Longest key path a caller may pass: the rest of the 256-byte built path.
constexpr size_t kKeyPathSize = 256;
constexpr size_t kMaxKeyPath = kKeyPathSize - kSettingsPathRoom;

// Writes the path the system receives into dest (size bytes) and returns the system's root it
// lies below. Null, dest untouched, when path is longer than size - kSettingsPathRoom.
HKEY BuildKeyPath(HKEY root, const char *path, char *dest, size_t size);

// Opens the key for writing, creating missing keys on the way (in the 64-bit view while
// SetRegView64 is on). error receives 0, the system's code, or 123 for a path too long.
HKEY CreateRegKey(HKEY root, const char *path, LONG *error);
// Opens an existing key for querying values and enumerating subkeys; null on failure.
HKEY OpenRegKey(HKEY root, const char *path);
// True when a non-null key was closed without error.
bool CloseRegKey(HKEY key);

// Writers create the key when missing and return the system's error code (0 = written).
LONG SetRegString(HKEY root, const char *path, const char *name, const char *text);
LONG SetRegDword(HKEY root, const char *path, const char *name, DWORD value);
LONG SetRegBytes(HKEY root, const char *path, const char *name, const void *bytes, DWORD count);
// Writes a value of any type with exactly the given bytes.
LONG SetRegValue(HKEY root, const char *path, const char *name, DWORD type, const void *bytes, DWORD count);

// Reads a value of any type into dest (capacity bytes) and always leaves it terminated.
// A missing key or value, an empty value, or one that does not fit with its terminator
// yields a copy of def (cut to capacity) and false.
bool GetRegString(HKEY root, const char *path, const char *name, char *dest, DWORD capacity, const char *def);
// Reads a value of at most 4 bytes whatever its type; otherwise stores def and returns false.
bool QueryRegDword(HKEY root, const char *path, const char *name, DWORD def, DWORD *out);
DWORD GetRegDword(HKEY root, const char *path, const char *name, DWORD def);
// Reads a value's type and bytes into data (capacity bytes). False when the key or value is
// missing or the bytes do not fit; count then holds 0.
bool QueryRegValue(HKEY root, const char *path, const char *name, DWORD *type, void *data, DWORD capacity,
                   DWORD *count);

// Another program's values are copied whole: name, type and bytes as the registry holds them
// (text in UTF-16 on the NT family, in ANSI on 9x), never through this process's code page.
// Copies one value to another key and name; ERROR_FILE_NOT_FOUND when there is no such value.
LONG CopyRegValue(HKEY fromRoot, const char *fromPath, const char *fromName, HKEY toRoot, const char *toPath,
                  const char *toName);
// Copies every value of one key into another (created when missing). With onlyMissing, a
// value the target already has stays as it is. A value whose name or bytes change during the
// walk is left out. False when the source cannot be read or the target cannot be opened.
bool CopyRegValues(HKEY fromRoot, const char *from, HKEY toRoot, const char *to, bool onlyMissing);
// True when the value exists and holds text (of another type: any bytes), however long.
bool RegValueHasText(HKEY root, const char *path, const char *name);
// True when the key exists and holds neither values nor subkeys.
bool RegKeyIsEmpty(HKEY root, const char *path);

// Deletes one key; on the NT family only a key without subkeys. Returns 0 when the key is gone
// (also when there was none), else the system's error (123 for a path too long or empty).
LONG DeleteRegKey(HKEY root, const char *path);
// Deletes one key of the 64-bit view; does nothing on a system without that view.
void DeleteRegKey64(HKEY root, const char *path);
// Deletes one value of the 64-bit view, the one view of 32-bit Windows.
void DeleteRegValue64(HKEY root, const char *path, const char *name);
// Deletes the key when it holds neither values nor subkeys; with in64, in the 64-bit view.
void DeleteEmptyRegKey(HKEY root, const char *path, bool in64);
// Deletes one value; a missing key or value is no error.
void DeleteRegValue(HKEY root, const char *path, const char *name);
// Deletes a key with everything below it, on both Windows families; never a root itself.
// Returns as DeleteRegKey: 0 when the key is gone, else the error that kept it.
LONG DeleteRegTree(HKEY root, const char *path);
// True when the key can be opened for querying.
bool RegKeyExists(HKEY root, const char *path);
// The same in the 64-bit view, the one view of 32-bit Windows.
bool RegKeyExists64(HKEY root, const char *path);

// Sends key creation (and so the writers) into the 64-bit view, or back to the default view.
// Readers, and deletions not named for that view, always use the default view.
void SetRegView64(bool on);

// The program's settings: path names a key below kSettingsRoot, as for the functions above.
LONG SetSettingString(const char *path, const char *name, const char *text);
LONG SetSettingDword(const char *path, const char *name, DWORD value);
bool GetSettingString(const char *path, const char *name, char *dest, DWORD capacity, const char *def);
DWORD GetSettingDword(const char *path, const char *name, DWORD def);
// Deletes the settings key with everything below it.
LONG DeleteSettingsTree();
