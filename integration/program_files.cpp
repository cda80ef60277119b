#include "integration/program_files.h"

#include "support/text.h"

#include <windows.h>
#include <string.h>

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
