// The integration dialog "SETUPDLG", which shows the user's setup choices and applies them.
#pragma once

#include "integration/setup_choices.h"

#include <windows.h>

// The dialog's results once confirmed; 0 when it was closed unanswered.
constexpr INT_PTR kSetupApplied = 1;
constexpr INT_PTR kSetupStoppedEarly = 2; // the registry refused the apply step
inline constexpr char kSetupDialogName[] = "SETUPDLG";

void ChoicesToDialog(HWND dialog, const SetupChoices &choices);
void ChoicesFromDialog(HWND dialog, SetupChoices &choices);
void SelectAllTypes(HWND dialog);

INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
