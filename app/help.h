// The archiver's HTML help "quibex.chm", shown through "hhctrl.ocx" loaded on first use.
#pragma once

#include <windows.h>

// Opens topic (a page name under html/ of the help file), or the contents when topic is
// null. Does nothing when the help system cannot be loaded.
void ShowHelp(HWND owner, const char *topic);
