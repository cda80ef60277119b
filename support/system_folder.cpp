#include "support/system_folder.h"

#include "support/text.h"

#include <shellapi.h>

// The system folder in path (size bytes); false, path empty, when there is none or it does not fit.
static bool SystemFolder(char *path, UINT size)
{
    UINT n = GetSystemDirectoryA(path, size);
    if (n != 0 && n < size)
        return true;
    if (size > 0)
        path[0] = '\0';
    return false;
}

HMODULE LoadSystemLibrary(const char *name)
{
    char path[MAX_PATH + 64];
    if (!SystemFolder(path, MAX_PATH))
        return nullptr;
    if (!AppendPathPart(path, sizeof path, name))
        return nullptr;
    return LoadLibraryA(path);
}

void OpenFromSystemFolder(const char *target)
{
    char folder[MAX_PATH];
    SystemFolder(folder, sizeof folder); // without one, the target still opens, in this program's folder
    ShellExecuteA(nullptr, "open", target, nullptr, folder, SW_SHOWNORMAL);
}
