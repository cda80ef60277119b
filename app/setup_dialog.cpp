#include "app/setup_dialog.h"

#include "app/app_state.h"
#include "app/context_items.h"
#include "app/dialog_common.h"
#include "integration/apply.h"
#include "integration/stored_choices.h"
#include "integration/uninstall_entry.h"
#include "lang/messages.h"
#include "removal/listed_size.h"
#include "res/resource.h"

#include <richedit.h>

namespace {

// Each flag's check box.
struct FlagBox {
    bool SetupChoices::*field;
    int control;
};

constexpr FlagBox kFlagBoxes[] = {
    {&SetupChoices::Desktop, IDC_DESKTOP},           {&SetupChoices::StartMenu, IDC_START_MENU},
    {&SetupChoices::Programs, IDC_PROGRAMS},         {&SetupChoices::ShellExt, IDC_SHELL_EXT},
    {&SetupChoices::CascadedMenu, IDC_CASCADED_MENU}, {&SetupChoices::MenuIcons, IDC_MENU_ICONS},
};

void OnConfirm(HWND dialog)
{
    SetupChoices choices = {};
    ChoicesFromDialog(dialog, choices);
    SaveSetupChoices(choices);
    StartOle(); // shortcuts are shell objects
    // The uninstall entry is registered even when the apply step stopped early.
    bool applied = ApplySetupChoices(choices, g_groupFolderPath, sizeof g_groupFolderPath);
    RegisterUninstallEntry(ListedKiB);
    EndDialog(dialog, applied ? kSetupApplied : kSetupStoppedEarly);
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

void ChoicesToDialog(HWND dialog, const SetupChoices &choices)
{
    for (int type = 0; type < kArchiveTypeCount; ++type)
        SetCheck(dialog, ArchiveTypes[type].control, choices.Associate[type]);
    for (const FlagBox &flag : kFlagBoxes)
        SetCheck(dialog, flag.control, choices.*flag.field);
    // Disabled boxes keep their marks and are still read and saved.
    EnableItem(dialog, IDC_CASCADED_MENU, choices.ShellExt);
    EnableItem(dialog, IDC_MENU_ICONS, choices.ShellExt);
}

void ChoicesFromDialog(HWND dialog, SetupChoices &choices)
{
    for (int type = 0; type < kArchiveTypeCount; ++type)
        choices.Associate[type] = GetCheck(dialog, ArchiveTypes[type].control);
    for (const FlagBox &flag : kFlagBoxes)
        choices.*flag.field = GetCheck(dialog, flag.control);
}

void SelectAllTypes(HWND dialog)
{
    for (const ArchiveType &type : ArchiveTypes)
        SetCheck(dialog, type.control, true);
}

INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogCommon(dialog, message, wParam, lParam, "HELPIntegrationSettings", kSetupDialogName);
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
            DialogBoxParamA(g_resourceModule, kContextItemsDialogName, dialog, ContextItemsDialogProc, 0);
            break;
        default:
            break;
        }
        return TRUE;
    default:
        return FALSE;
    }
}
