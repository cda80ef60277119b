#include "removal/remove_integration.h"

#include "integration/setup_choices.h"
#include "integration/app_path.h"
#include "integration/associations.h"
#include "integration/default_apps.h"
#include "integration/file_types.h"
#include "integration/setup_record.h"
#include "integration/shell_extension.h"
#include "integration/shortcuts.h"
#include "registry/registry.h"
#include "support/log.h"

#include <shlobj.h>

void RemoveIntegration()
{
    // Every choice off: each setup routine takes its branch that gives back or removes.
    SetupChoices none;
    ZeroMemory(&none, sizeof none);
    // Before the give-back, which leaves an extension key setup created while "Open with" is below it.
    RemoveDefaultApps();
    // Before the records go: giving back reads the saved earlier owners from them.
    SetAssociations(none);
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSH, nullptr, nullptr);
    SetShellIntegration(none);
    UpdateShortcuts(none, nullptr, 0);
    static const char *const types[] = {QBX_FILE_TYPE, QBX_ZIP_FILE_TYPE, QBX_REV_FILE_TYPE, ".rev"};
    for (const char *key : types)
        LogChange(DeleteRegTree(HKEY_CLASSES_ROOT, key), "%s removed", key);
    LogChange(DeleteRegKey(HKEY_LOCAL_MACHINE, kAppPathKey), "App Path removed");
    DeleteMachineRecord();
    LogChange(DeleteSettingsTree(), "settings removed");
}
