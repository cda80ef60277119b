// Test-only setup: applies every choice and registers the uninstall entry, as the setup
// dialog does when confirmed. Copied into an installation as "uninstall.exe" for the run,
// so the paths it registers are those of the real program.
#include <windows.h>

#include "app/app_state.h"
#include "integration/apply.h"
#include "lang/messages.h"
#include "registry/registry.h"
#include "removal/uninstall_entry.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    g_extResource.Load(instance, nullptr);
    OleInitialize(nullptr);
    SetupChoices all;
    FillMemory(&all, sizeof all, 1);
    ApplySetupChoices(all, g_groupFolderPath);
    SetSettingDword("Setup", "ShellExt", 1); // a setting of the user's, as the dialog saves them
    RegisterUninstallEntry();
    OleUninitialize();
    return 0;
}
