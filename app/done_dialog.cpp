#include "app/done_dialog.h"

#include "app/app_state.h"
#include "app/dialog_common.h"
#include "app/help.h"
#include "integration/program_files.h"
#include "lang/messages.h"
#include "res/resource.h"
#include "support/program_path.h"
#include "support/system_folder.h"
#include "support/text.h"

#include <shellapi.h>

// The installation folder is where this program lies, never the folder it was started in:
// an elevated program must not open whatever archiver the current folder holds.
static void OpenInstalledFile(const char *name)
{
    char path[kPathSize];
    if (ProgramFilePath(name, path, sizeof path))
        OpenFromSystemFolder(path);
}

// The archiver keeps the folder setup runs in as its working directory, as it always has:
// while it runs, removal cannot delete its own file either.
static void RunArchiver()
{
    char path[kPathSize];
    if (ArchiverPath(path, sizeof path))
        ShellExecuteA(nullptr, "open", path, nullptr, "", SW_SHOWNORMAL);
}

static void InitDoneDialog(HWND dialog)
{
    SetProgramIcons(dialog);
    SendDlgItemMessageA(dialog, IDC_DONE_THANKS, WM_SETFONT, reinterpret_cast<WPARAM>(g_boldFont), FALSE);
    char folder[kPathSize];
    if (ProgramFolder(folder, sizeof folder))
        StripFileName(folder); // keeps the backslash of a drive root only
    SetWindowTextA(GetDlgItem(dialog, IDC_DONE_FOLDER), folder); // as SetDlgItemTextA, one import fewer
    if (g_silentMode)
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
}

INT_PTR CALLBACK DoneDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogCommon(dialog, message, wParam, lParam, nullptr, kDoneDialogName);
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
            RunArchiver();
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
            OpenFromSystemFolder(GetWebAddressMsg(IDS_HOME_PAGE));
            break;
        default:
            break;
        }
        return TRUE;
    default:
        return FALSE;
    }
}
