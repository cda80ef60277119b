// The dialog "CONTEXTITEMS": which items the archiver's Explorer context menu shows.
#pragma once

#include <windows.h>

inline constexpr char kContextItemsDialogName[] = "CONTEXTITEMS";

INT_PTR CALLBACK ContextItemsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
