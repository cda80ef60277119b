#include "app/context_items.h"

#include "app/dialog_common.h"
#include "registry/registry.h"
#include "res/resource.h"

const MenuItemName MenuItemNames[kMenuItemCount] = {
    {IDC_MENU_EXTR_TO, "ExtrTo", 1},     {IDC_MENU_EXTR_HERE, "ExtrHere", 1}, {IDC_MENU_EXTR, "Extr", 1},
    {IDC_MENU_EXTR_SEP, "ExtrSep", 1},   {IDC_MENU_OPEN_SFX, "OpenSFX", 1},   {IDC_MENU_ADD_TO, "AddTo", 1},
    {IDC_MENU_ADD_ARC, "AddArc", 1},     {IDC_MENU_EMAIL_ARC, "EmailArc", 1}, {IDC_MENU_EMAIL_OPT, "EmailOpt", 1},
    {IDC_MENU_TEST, "Test", 0},          {IDC_MENU_CONVERT, "Convert", 0},
};

const char kMenuItemsKey[] = "Setup\\MenuItems";

static void LoadMenuItems(HWND dialog)
{
    // A stored number other than 0 or 1 goes to the box as it is.
    for (const MenuItemName &item : MenuItemNames) {
        DWORD state = GetSettingDword(kMenuItemsKey, item.valueName, item.defaultValue);
        SendDlgItemMessageA(dialog, item.control, BM_SETCHECK, state, 0); // as CheckDlgButton, one import fewer
    }
}

static void StoreMenuItems(HWND dialog)
{
    for (const MenuItemName &item : MenuItemNames)
        SetSettingDword(kMenuItemsKey, item.valueName, GetCheck(dialog, item.control) ? 1 : 0);
}

INT_PTR CALLBACK ContextItemsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogCommon(dialog, message, wParam, lParam, "HELPContextItems", "CONTEXTITEMS");
    switch (message) {
    case WM_HELP:
        // Already shown; handled here so the request does not reach the setup dialog too.
        return TRUE;
    case WM_INITDIALOG:
        LoadMenuItems(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            StoreMenuItems(dialog);
            EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}
