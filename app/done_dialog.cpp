#include "app/done_dialog.h"

#include "app/app_state.h"
#include "app/dialog_common.h"
#include "app/help.h"
#include "lang/messages.h"
#include "res/resource.h"
#include "support/text.h"

#include <shellapi.h>

static void OpenTarget(const char *target)
{
    ShellExecuteA(nullptr, "open", target, nullptr, "", SW_SHOWNORMAL);
}

// Opens a file of the current folder, which setup takes to be the installation folder.
static void OpenInstalledFile(const char *name)
{
    char path[1024 + 32] = "";
    if (GetCurrentDirectoryA(1024, path) >= 1024)
        return;
    AppendBackslash(path);
    if (AppendBounded(path, name, sizeof path))
        OpenTarget(path);
}

static void InitDoneDialog(HWND dialog)
{
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(g_programIcon));
    SendDlgItemMessageA(dialog, IDC_DONE_THANKS, WM_SETFONT, reinterpret_cast<WPARAM>(g_boldFont), FALSE);
    char folder[1024] = "";
    if (GetCurrentDirectoryA(sizeof folder, folder) >= sizeof folder)
        folder[0] = '\0';
    SetDlgItemTextA(dialog, IDC_DONE_FOLDER, folder);
    if (g_silentMode)
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
}

INT_PTR CALLBACK DoneDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogCommon(dialog, message, wParam, lParam, nullptr, "DONEDLG");
    switch (message) {
    case WM_INITDIALOG:
        InitDoneDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, 1);
            break;
        case IDC_DONE_RUN:
            OpenInstalledFile("Quibex.exe");
            break;
        case IDC_DONE_HELP:
            ShowHelp(dialog, nullptr);
            break;
        case IDC_DONE_LICENSE:
            OpenInstalledFile("license.txt");
            break;
        case IDC_DONE_ORDER:
            OpenInstalledFile("order.htm");
            break;
        case IDC_DONE_HOME_PAGE:
            OpenTarget(GetMsg(IDS_HOME_PAGE));
            break;
        default:
            break;
        }
        return TRUE;
    default:
        return FALSE;
    }
}
