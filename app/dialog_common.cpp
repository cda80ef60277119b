#include "app/dialog_common.h"

#include "app/app_state.h"
#include "app/help.h"
#include "lang/localize.h"
#include "res/resource.h"

void DialogCommon(HWND dialog, UINT message, WPARAM wParam, LPARAM, const char *helpTopic,
                  const char *dialogName)
{
    switch (message) {
    case WM_SETFONT: // arrives before WM_INITDIALOG
        ApplyLayoutDirection(dialog);
        break;
    case WM_INITDIALOG: // before the dialog sets texts of its own
        LocalizeDialog(dialogName, dialog);
        break;
    case WM_HELP:
        if (helpTopic)
            ShowHelp(dialog, helpTopic);
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_HELP_BUTTON && helpTopic)
            ShowHelp(dialog, helpTopic);
        break;
    default:
        break;
    }
}

void EnableItem(HWND dialog, int id, bool enable) { EnableWindow(GetDlgItem(dialog, id), enable ? TRUE : FALSE); }

void SetProgramIcons(HWND dialog)
{
    for (int kind = ICON_SMALL; kind <= ICON_BIG; ++kind)
        SendMessageA(dialog, WM_SETICON, kind, reinterpret_cast<LPARAM>(g_programIcons[kind]));
}

// As CheckDlgButton and IsDlgButtonChecked do, without two more imports.
void SetCheck(HWND dialog, int id, bool on)
{
    SendDlgItemMessageA(dialog, id, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool GetCheck(HWND dialog, int id) { return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) != BST_UNCHECKED; }
