#include "app/setup_dialog.h"

#include "app/app_state.h"
#include "app/context_items.h"
#include "app/dialog_common.h"
#include "integration/apply.h"
#include "integration/associations.h"
#include "integration/setup_choices.h"
#include "lang/messages.h"
#include "registry/registry.h"
#include "removal/uninstall_entry.h"
#include "res/resource.h"
#include "support/text.h"

#include <richedit.h>

namespace {

// JAR and ISO often belong to other programs (Java, disc tools) that users keep.
constexpr int kForeignOwnerTypes[] = {11, 12};
constexpr const char *kLinksKey = "Setup\\Links";
constexpr const char *kSetupKey = "Setup";

// A choice's place in the settings, its default and its box; the order is the save order.
struct StoredFlag {
    bool SetupChoices::*field;
    const char *key;
    const char *valueName;
    DWORD defaultValue;
    int control;
};

constexpr StoredFlag kStoredFlags[] = {
    {&SetupChoices::Desktop, kLinksKey, "Desktop", 0, IDC_DESKTOP},
    {&SetupChoices::StartMenu, kLinksKey, "StartMenu", 0, IDC_START_MENU},
    {&SetupChoices::Programs, kLinksKey, "Programs", 1, IDC_PROGRAMS},
    {&SetupChoices::ShellExt, kSetupKey, "ShellExt", 1, IDC_SHELL_EXT},
    {&SetupChoices::CascadedMenu, kSetupKey, "CascadedMenu", 0, IDC_CASCADED_MENU},
    {&SetupChoices::MenuIcons, kSetupKey, "MenuIcons", 1, IDC_MENU_ICONS},
};

// The settings key of the type's primary extension.
void TypeKey(int type, char *key, size_t size)
{
    ExtensionSettingsKey(ArchiveTypes[type].extension, key, size);
}

// An extension whose class belongs to another program keeps its owner unless the user asks.
bool OwnedByOtherProgram(int type)
{
    const char *extension = ArchiveTypes[type].extension;
    if (IsOwnAssociation(extension))
        return false;
    return RegValueHasText(HKEY_CLASSES_ROOT, extension, "");
}

void OnConfirm(HWND dialog)
{
    SetupChoices choices = {};
    ChoicesFromDialog(dialog, choices);
    SaveSetupChoices(choices);
    StartOle(); // shortcuts are shell objects
    // The uninstall entry is registered even when the apply step stopped early.
    ApplySetupChoices(choices, g_groupFolderPath);
    RegisterUninstallEntry();
    EndDialog(dialog, 1);
}

void InitSetupDialog(HWND dialog)
{
    SetupChoices choices = {};
    LoadSetupChoices(choices);
    ChoicesToDialog(dialog, choices);
    SetForegroundWindow(dialog);
    SetProgramIcons(dialog);
    SendDlgItemMessageA(dialog, IDC_DESCRIPTION, EM_SETBKGNDCOLOR, 0, GetSysColor(COLOR_BTNFACE));
    if (g_silentMode)
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
}

} // namespace

void LoadSetupChoices(SetupChoices &choices)
{
    for (int type = 0; type < kArchiveTypeCount; ++type) {
        char key[64] = "";
        TypeKey(type, key, sizeof key);
        choices.Associate[type] = GetSettingDword(key, "Set", 1) != 0;
    }
    for (int type : kForeignOwnerTypes)
        if (OwnedByOtherProgram(type))
            choices.Associate[type] = false;
    for (const StoredFlag &flag : kStoredFlags)
        choices.*flag.field = GetSettingDword(flag.key, flag.valueName, flag.defaultValue) != 0;
}

void SaveSetupChoices(const SetupChoices &choices)
{
    for (int type = 0; type < kArchiveTypeCount; ++type) {
        char key[64] = "";
        TypeKey(type, key, sizeof key);
        SetSettingDword(key, "Set", choices.Associate[type] ? 1 : 0);
    }
    for (const StoredFlag &flag : kStoredFlags)
        SetSettingDword(flag.key, flag.valueName, choices.*flag.field ? 1 : 0);
}

void ChoicesToDialog(HWND dialog, const SetupChoices &choices)
{
    for (int type = 0; type < kArchiveTypeCount; ++type)
        SetCheck(dialog, ArchiveTypes[type].control, choices.Associate[type]);
    for (const StoredFlag &flag : kStoredFlags)
        SetCheck(dialog, flag.control, choices.*flag.field);
    // Disabled boxes keep their marks and are still read and saved.
    EnableItem(dialog, IDC_CASCADED_MENU, choices.ShellExt);
    EnableItem(dialog, IDC_MENU_ICONS, choices.ShellExt);
}

void ChoicesFromDialog(HWND dialog, SetupChoices &choices)
{
    for (int type = 0; type < kArchiveTypeCount; ++type)
        choices.Associate[type] = GetCheck(dialog, ArchiveTypes[type].control);
    for (const StoredFlag &flag : kStoredFlags)
        choices.*flag.field = GetCheck(dialog, flag.control);
}

void SelectAllTypes(HWND dialog)
{
    for (const ArchiveType &type : ArchiveTypes)
        SetCheck(dialog, type.control, true);
}

INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogCommon(dialog, message, wParam, lParam, "HELPIntegrationSettings", "SETUPDLG");
    switch (message) {
    case WM_INITDIALOG:
        InitSetupDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            OnConfirm(dialog);
            break;
        case IDCANCEL:
            EndDialog(dialog, 0); // nothing stored or applied
            break;
        case IDC_SHELL_EXT: {
            SetupChoices shown = {};
            ChoicesFromDialog(dialog, shown);
            ChoicesToDialog(dialog, shown);
            break;
        }
        case IDC_SELECT_ALL:
            SelectAllTypes(dialog);
            break;
        case IDC_CONTEXT_ITEMS:
            DialogBoxParamA(g_resourceModule, "CONTEXTITEMS", dialog, ContextItemsDialogProc, 0);
            break;
        default:
            break;
        }
        return TRUE;
    default:
        return FALSE;
    }
}
