// The integration dialog "SETUPDLG", which shows the user's setup choices and applies them.
#pragma once

#include "integration/setup_choices.h"

#include <windows.h>

constexpr char kSetupDialogName[] = "SETUPDLG";

void ChoicesToDialog(HWND dialog, const SetupChoices &choices);
void ChoicesFromDialog(HWND dialog, SetupChoices &choices);
void SelectAllTypes(HWND dialog);

INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
