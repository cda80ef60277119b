// The integration dialog "SETUPDLG" and the stored form of the user's setup choices.
#pragma once

#include "integration/setup_choices.h"

#include <windows.h>

// Fills choices from the settings, with the defaults for anything not stored, and leaves
// JAR and ISO off when their extension already belongs to another program.
void LoadSetupChoices(SetupChoices &choices);
void SaveSetupChoices(const SetupChoices &choices);
void ChoicesToDialog(HWND dialog, const SetupChoices &choices);
void ChoicesFromDialog(HWND dialog, SetupChoices &choices);
void SelectAllTypes(HWND dialog);

INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
