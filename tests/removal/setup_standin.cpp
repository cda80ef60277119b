// Test-only setup: applies every choice and registers the uninstall entry, as the setup
// dialog does when confirmed. Archive types whose row numbers follow on the command line
// are left unticked. Copied into an installation as "uninstall.exe" for the run,
// so the paths it registers are those of the real program.
#include <windows.h>

#include "app/app_state.h"
#include "integration/apply.h"
#include "integration/uninstall_entry.h"
#include "lang/messages.h"
#include "registry/registry.h"
#include "removal/listed_size.h"

#include <stdlib.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR args, int)
{
    g_extResource.Load(instance, nullptr);
    OleInitialize(nullptr);
    SetupChoices all;
    FillMemory(&all, sizeof all, 1);
    for (char *end = args; *args != '\0'; args = end) {
        long row = strtol(args, &end, 10);
        if (end == args)
            break;
        if (row >= 0 && row < kArchiveTypeCount)
            all.Associate[row] = false;
    }
    ApplySetupChoices(all, g_groupFolderPath, sizeof g_groupFolderPath);
    SetSettingDword("Setup", "ShellExt", 1); // a setting of the user's, as the dialog saves them
    RegisterUninstallEntry(ListedKiB);
    OleUninitialize();
    return 0;
}
