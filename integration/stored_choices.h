// The user's setup choices as the settings keep them between setups.
#pragma once

#include "integration/setup_choices.h"

#include <windows.h>

// Fills choices from the settings, with the defaults for anything not stored, and leaves
// JAR and ISO off when their extension already belongs to another program.
void LoadSetupChoices(SetupChoices &choices);
void SaveSetupChoices(const SetupChoices &choices);

// An item of the archiver's Explorer context menu: a REG_DWORD under "Setup\MenuItems" of the
// settings, and a check box of the dialog "CONTEXTITEMS".
struct MenuItemName {
    int control; // check box of the dialog
    const char *valueName;
    DWORD defaultValue;
};

constexpr int kMenuItemCount = 11;
extern const MenuItemName MenuItemNames[kMenuItemCount];

// The item's stored number, its default when none is stored; one other than 0 or 1 as it is.
DWORD LoadMenuItem(const MenuItemName &item);
void SaveMenuItem(const MenuItemName &item, bool shown);
