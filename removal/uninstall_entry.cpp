#include "removal/uninstall_entry.h"

#include "lang/messages.h"
#include "registry/registry.h"
#include "res/resource.h"
#include "support/text.h"

#include <string.h>

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quibex archiver";

bool UninstallCommand(char *out, size_t size, const char *programPath)
{
    bool blank = false;
    for (const char *p = programPath; *p != '\0'; p = NextChar(p))
        blank = blank || *p == ' ';
    if (!blank)
        return JoinBounded(out, size, programPath, "");
    // Windows runs the string as a command line: unquoted, a blank splits off a part that
    // may read as a switch ("C:\Program Files\Quibex-2" gives "-2\uninstall.exe").
    return size > 0 && JoinBounded(out, size - 1, "\"", programPath) && AppendBounded(out, "\"", size);
}

void RegisterUninstallEntry()
{
    SetRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", GetMsg(IDS_DISPLAY_NAME));
    char program[1024] = "";
    DWORD n = GetModuleFileNameA(nullptr, program, sizeof program);
    if (n > 0 && n < sizeof program) {
        char command[1024 + 2];
        if (UninstallCommand(command, sizeof command, program))
            SetRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", command);
        char icon[1024];
        CopyBounded(icon, program, sizeof icon);
        char *name = FileNamePart(icon);
        if (static_cast<size_t>(name - icon) + sizeof "Quibex.exe" <= sizeof icon) {
            memcpy(name, "Quibex.exe", sizeof "Quibex.exe"); // fits: checked above
            SetRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayIcon", icon);
        }
    }
    SetRegDword(HKEY_LOCAL_MACHINE, kUninstallKey, "NoModify", 1);
    SetRegDword(HKEY_LOCAL_MACHINE, kUninstallKey, "NoRepair", 1);
}
