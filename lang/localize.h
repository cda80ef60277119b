// Translation, rescaling and mirroring of the program's dialogs.
#pragma once

#include <windows.h>

// Percentages of the dialog's size entry ("120*110"), 100 and 100 without one or when
// the entry is not two whole numbers from 50 to 400.
// True unless both are exactly 100.
bool GetDialogScale(const char *dialogName, int *horizontal, int *vertical);
// Rescales the dialog and its direct children when its size entry asks for it, and
// translates its title and every non-empty child text.
void LocalizeDialog(const char *dialogName, HWND dialog);
// Mirrors the window's layout when the language reads right to left.
void ApplyLayoutDirection(HWND window);

constexpr int kMaxLocalizedChildren = 512;
