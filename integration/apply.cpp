#include "integration/apply.h"

#include "integration/app_path.h"
#include "integration/associations.h"
#include "integration/default_apps.h"
#include "integration/file_types.h"
#include "integration/shell_extension.h"
#include "integration/shortcuts.h"

bool ApplySetupChoices(const SetupChoices &choices, char *groupFolder, size_t size)
{
    LogSetupChoices(choices);
    // Without rights to the machine's keys nothing else would succeed either.
    if (!RegisterAppPath())
        return false;
    SetShellIntegration(choices);
    // Out of the way of the types given back now; offered again once they are.
    WithdrawOpenWith();
    SetAssociations(choices);
    RegisterDefaultApps();
    if (!RegisterFileTypes())
        return false;
    UpdateShortcuts(choices, groupFolder, size);
    return true;
}
