// Setup mode: the integration dialog, the completion dialog, then the program group.
#pragma once

#include <windows.h>
#include <shellapi.h>

void RunSetupFlow();

INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DoneDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
