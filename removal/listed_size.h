// The size of an installation as its file list names it.
#pragma once

#include <windows.h>

// KiB (rounded up) of the files the list names, read and judged as removal reads them; false
// without a readable list. folder ends with a backslash.
bool ListedKiB(const char *folder, DWORD *kib);
