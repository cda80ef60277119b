// The archiver's entry in the Windows list of installed programs.
#pragma once

#include <stddef.h>
#include <windows.h>

extern const char kUninstallKey[];

// Measures the installation in folder (ending with a backslash) in KiB; false when it cannot.
typedef bool (*ListedSize)(const char *folder, DWORD *kib);

// Writes the entry with this program as the command that removes the archiver; its estimated
// size is what listedKiB measures in the program's folder (the removal knows what it holds).
void RegisterUninstallEntry(ListedSize listedKiB);
void RemoveUninstallEntry();
// True when the entry exists and may name the folder of programPath: its "InstallLocation" or
// the program of its "UninstallString" leads there, or neither names a folder at all.
bool UninstallEntryMayNameFolderOf(const char *programPath);
// The command line Windows stores for removal: the path, quoted when it holds a blank.
// False when it does not fit size bytes.
bool UninstallCommand(char *out, size_t size, const char *programPath);
