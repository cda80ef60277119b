#include "integration/app_path.h"

#include "integration/program_files.h"
#include "registry/registry.h"
#include "support/optional_functions.h"
#include "support/text.h"

const char kAppPathKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Quibex.exe";

static int s_wow64 = 0; // not known yet; then 1 for no, 2 for yes
static int s_wow64Queries = 0;

bool RegisterAppPath()
{
    char exe[kPathSize];
    if (!ProgramFilePath("Quibex.exe", exe, sizeof exe))
        return true;
    if (SetRegString(HKEY_LOCAL_MACHINE, kAppPathKey, "", exe) == ERROR_ACCESS_DENIED)
        return false;
    char folder[kPathSize];
    CopyBounded(folder, exe, sizeof folder);
    StripFileName(folder); // keeps the backslash of a drive root
    SetRegString(HKEY_LOCAL_MACHINE, kAppPathKey, "Path", folder);
    return true;
}

bool IsWow64()
{
    if (s_wow64 == 0) {
        IsWow64ProcessCall query = OptionalIsWow64Process();
        BOOL answer = FALSE;
        if (query) {
            ++s_wow64Queries;
            if (query(GetCurrentProcess(), &answer))
                s_wow64 = answer ? 2 : 1;
        }
    }
    return s_wow64 == 2;
}

int Wow64QueryCount() { return s_wow64Queries; }
