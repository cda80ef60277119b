// The dialog "CONTEXTITEMS": which items the archiver's Explorer context menu shows.
#pragma once

#include <windows.h>

struct MenuItemName {
    int control;           // check box of the dialog
    const char *valueName; // REG_DWORD under "Setup\MenuItems" of the settings key
    DWORD defaultValue;
};

constexpr int kMenuItemCount = 11;
extern const MenuItemName MenuItemNames[kMenuItemCount];

// Settings key of the menu items, relative to the archiver's settings.
extern const char kMenuItemsKey[];

INT_PTR CALLBACK ContextItemsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
