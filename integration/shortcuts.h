// Desktop and Start menu shortcuts and the "Quibex" program group.
#pragma once

#include "integration/setup_choices.h"

#include <stddef.h>
#include <windows.h>

// Capacity of the caller's program group folder buffer.
constexpr size_t kGroupFolderSize = 1024;

// Creates each chosen shortcut and deletes each one not chosen, in the folders of the
// running Windows version. groupFolder (kGroupFolderSize bytes, may be null) receives the
// program group's folder when Programs is set, and is left alone otherwise.
void UpdateShortcuts(const SetupChoices &choices, char *groupFolder);
// Deletes a folder with all its contents; true when it existed and the shell succeeded.
bool DeleteFolderTree(const char *folder);
// Shortcut name for a localised string: the translation, or the native text when the
// translation is empty or holds a character not allowed in a file name.
void ShortcutName(int id, char *out, size_t size);
