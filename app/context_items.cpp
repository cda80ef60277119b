#include "app/context_items.h"

#include "app/dialog_common.h"
#include "integration/stored_choices.h"

static void LoadMenuItems(HWND dialog)
{
    // A stored number other than 0 or 1 goes to the box as it is; the message is CheckDlgButton's,
    // with one import fewer.
    for (const MenuItemName &item : MenuItemNames)
        SendDlgItemMessageA(dialog, item.control, BM_SETCHECK, LoadMenuItem(item), 0);
}

static void StoreMenuItems(HWND dialog)
{
    for (const MenuItemName &item : MenuItemNames)
        SaveMenuItem(item, GetCheck(dialog, item.control));
}

INT_PTR CALLBACK ContextItemsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogCommon(dialog, message, wParam, lParam, "HELPContextItems", kContextItemsDialogName);
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
