// Drives real dialogs of another process as a person would: find, read, press.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Waits for a visible top-level dialog (class #32770) of the process whose title is title
// (any title when empty); null on time-out.
HWND WaitForDialog(DWORD processId, const std::wstring &title, DWORD timeoutMs = 60000);
// The same for a dialog of any process (a batch file starts its own instances).
HWND WaitForAnyDialog(const std::wstring &title, DWORD timeoutMs = 30000);
std::wstring WindowTextOf(HWND window);
// Texts of all child windows, in window order.
std::vector<std::wstring> ChildTexts(HWND dialog);
// Presses a button by identifier as a click would; returns at once.
void ClickButton(HWND dialog, int id);
// Presses a button that opens no window and returns once the dialog has handled the click.
void ClickAndWait(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);
bool IsItemEnabled(HWND dialog, int id);
// Brings the dialog to the foreground and types one key into it with real input (SendInput),
// as a person would; posted key messages do not produce WM_HELP for F1.
void PressKey(HWND dialog, WORD virtualKey);
// Top-level windows of a class, of one process (any process when processId is 0).
std::vector<HWND> WindowsOfClass(const wchar_t *className, DWORD processId = 0);
// Waits for a top-level window of the class; null on time-out.
HWND WaitForWindowOfClass(const wchar_t *className, DWORD processId = 0, DWORD timeoutMs = 20000);
// Waits until the window is gone.
bool WaitGone(HWND window, DWORD timeoutMs = 20000);
// File names of the running processes that the process started.
std::vector<std::string> ChildProcesses(DWORD processId);
