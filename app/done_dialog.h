// The dialog "DONEDLG" that ends setup: where the archiver went, and buttons to open it,
// its help, its licence, its order page and its home page.
#pragma once

#include <windows.h>

inline constexpr char kDoneDialogName[] = "DONEDLG";

INT_PTR CALLBACK DoneDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
