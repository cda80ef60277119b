// A new file that no other user can change while this program relies on its contents.
#pragma once

#include <windows.h>

// Creates path (CREATE_NEW, so never an existing file or link) for writing. On the NT family
// its permissions are its own, not inherited from the folder: the current user, SYSTEM and
// Administrators have full access, nobody else any. INVALID_HANDLE_VALUE on failure.
HANDLE CreatePrivateFile(const char *path);
