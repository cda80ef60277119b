#include "app/setup_flow.h"

#include "app/app_state.h"
#include "app/done_dialog.h"
#include "app/setup_dialog.h"
#include "lang/messages.h"
#include "support/platform.h"

void RunSetupFlow()
{
    // The integration dialog holds a rich-edit control: its library comes first.
    HMODULE richEdit = LoadSystemLibrary("riched32.dll");
    g_programIcon = LoadIconA(g_resourceModule, "QBXICON");
    INT_PTR confirmed = DialogBoxParamA(g_resourceModule, "SETUPDLG", nullptr, SetupDialogProc, 0);
    // -1 means the dialog could not be created: nothing was applied.
    if (confirmed > 0) {
        g_boldFont = CreateFontA(-12, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, GB2312_CHARSET, 0, 0, 0, 0,
                                 "MS Sans Serif");
        DialogBoxParamA(g_resourceModule, "DONEDLG", nullptr, DoneDialogProc, 0);
        if (g_groupFolderPath[0] != '\0' && !g_silentMode)
            ShellExecuteA(nullptr, "open", g_groupFolderPath, nullptr, "", SW_SHOWNORMAL);
        DeleteObject(g_boldFont);
    }
    DestroyIcon(g_programIcon);
    if (richEdit)
        FreeLibrary(richEdit);
}
