// Counters the product keeps for its tests only; the program itself never calls them, so
// they stay out of its headers and out of its file.
#pragma once

#include <windows.h>

// How many times NtMajorVersion asked the system.
int VersionQueryCount();
// Passes run by the last registry tree deletion.
int TreePassCount();
// How many times IsWow64 asked the system.
int Wow64QueryCount();
// Called when giving an extension back, just before its owner is written back; a test ends
// the process there to cut a removal short at its most delicate point.
extern void (*g_beforeOwnerGivenBack)(const char *ext);
// Called by removal just before it writes and starts its batch file, the list and the
// uninstall entry already gone; a test ends the process there to cut a removal at its end.
extern void (*g_beforeBatchStarted)();
// The short-name look-up of the program's path; a test puts a volume without short names in
// its place, as Wine gives every file one.
extern DWORD(WINAPI *g_shortPathName)(const WCHAR *path, WCHAR *out, DWORD size);
