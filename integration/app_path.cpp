#include "integration/app_path.h"

#include "integration/program_files.h"
#include "registry/registry.h"
#include "support/log.h"
#include "support/program_path.h"
#include "support/text.h"

const char kAppPathKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" QBX_ARCHIVER_FILE;

bool RegisterAppPath()
{
    char exe[kPathSize];
    if (!ArchiverPath(exe, sizeof exe))
        return true;
    LONG error = SetRegString(HKEY_LOCAL_MACHINE, kAppPathKey, "", exe);
    LogChange(error, "App Path set to %s", exe);
    if (error == ERROR_ACCESS_DENIED)
        return false;
    char folder[kPathSize];
    CopyBounded(folder, exe, sizeof folder);
    StripFileName(folder); // keeps the backslash of a drive root
    SetRegString(HKEY_LOCAL_MACHINE, kAppPathKey, "Path", folder);
    return true;
}
