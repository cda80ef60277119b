#include "integration/program_files.h"

#include "support/text.h"

#include <windows.h>
#include <string.h>

bool ProgramFilePath(const char *name, char *out, size_t size)
{
    char module[kPathSize] = "";
    DWORD n = GetModuleFileNameA(nullptr, module, sizeof module);
    if (size > 0)
        out[0] = '\0';
    // A truncated module path names some other folder.
    if (n == 0 || n >= sizeof module)
        return false;
    *FileNamePart(module) = '\0';
    if (!JoinBounded(out, size, module, name)) {
        if (size > 0)
            out[0] = '\0';
        return false;
    }
    return true;
}

bool AppendPathPart(char *path, size_t size, const char *name)
{
    size_t used = strlen(path);
    const char *last = LastCharPos(path);
    bool separator = *last != '\0' && *last != '\\';
    if (used + (separator ? 1 : 0) + strlen(name) + 1 > size)
        return false;
    if (separator)
        AppendBounded(path, "\\", size);
    AppendBounded(path, name, size);
    return true;
}
