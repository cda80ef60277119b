// Desktop and Start menu shortcuts and the "Quibex" program group.
#pragma once

#include "integration/setup_choices.h"

#include <stddef.h>
#include <windows.h>

// Creates each chosen shortcut and deletes each one not chosen, in the folders of the
// running Windows version. groupFolder (size bytes, may be null) receives the program group's
// folder when Programs is set and the path fits whole, and is left alone otherwise.
void UpdateShortcuts(const SetupChoices &choices, char *groupFolder, size_t size);
// True when folder is the program group's folder directly under one of the count Programs
// folders, written as the group is made there: no other, deeper or dotted path.
bool IsProgramGroupFolder(const char *folder, const char *const *programs, int count);
// Deletes a program group folder (as above, under the Programs folders of this system) with all
// its contents; refuses any other path and a link. True when it existed and the shell succeeded.
bool DeleteFolderTree(const char *folder);
// Shortcut name for a localised string: the translation, or the native text when the
// translation is empty or holds a character not allowed in a file name.
void ShortcutName(int id, char *out, size_t size);
