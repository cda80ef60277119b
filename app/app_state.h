// Process-wide state of the entry, shared with the dialogs and the removal driver.
#pragma once

#include "support/text_sizes.h"

#include <windows.h>

extern bool g_silentMode;
extern bool g_quietMode; // silent, and no message box at all
extern HICON g_programIcons[2]; // indexed by ICON_SMALL and ICON_BIG
extern HFONT g_boldFont;
extern char g_groupFolderPath[kPathSize]; // program group created by the apply step
extern bool g_oleStarted;

// Starts OLE for the shell's objects (shortcuts, ShellExecute) once; the entry ends it.
void StartOle();
