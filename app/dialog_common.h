// What every dialog procedure does first for each message: reading order, translation,
// help for F1 and the Help button.
#pragma once

#include <windows.h>

// helpTopic may be null: the dialog has no help then. Never handles the message itself;
// the caller's dialog procedure always goes on with it.
void DialogCommon(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, const char *helpTopic,
                  const char *dialogName);
void EnableItem(HWND dialog, int id, bool enable);
void SetCheck(HWND dialog, int id, bool on);
// Any checked state counts as on.
bool GetCheck(HWND dialog, int id);
// The caption's and the task switcher's icons.
void SetProgramIcons(HWND dialog);
