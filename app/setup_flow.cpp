#include "app/setup_flow.h"

#include "app/app_state.h"
#include "app/done_dialog.h"
#include "app/setup_dialog.h"
#include "lang/messages.h"

void RunSetupFlow()
{
    INT_PTR confirmed = DialogBoxParamA(g_resourceModule, "SETUPDLG", nullptr, SetupDialogProc, 0);
    // -1 means the dialog could not be created: nothing was applied.
    if (confirmed <= 0)
        return;
    DialogBoxParamA(g_resourceModule, "DONEDLG", nullptr, DoneDialogProc, 0);
    if (g_groupFolderPath[0] != '\0' && !g_silentMode)
        ShellExecuteA(nullptr, "open", g_groupFolderPath, nullptr, "", SW_SHOWNORMAL);
}
