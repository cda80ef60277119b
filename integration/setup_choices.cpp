#include "integration/setup_choices.h"

#include "support/text.h"

const ArchiveType ArchiveTypes[kArchiveTypeCount] = {
    {"QBX", 5101, ".qbx", ".qbx"},
    {"ZIP", 5102, ".zip", ".zip"},
    {"CAB", 5103, ".cab", ".cab"},
    {"ARJ", 5104, ".arj", ".arj"},
    {"LZH", 5105, ".lzh", ".lzh.lha"},
    {"ACE", 5106, ".ace", ".ace"},
    {"7-Zip", 5107, ".7z", ".7z"},
    {"TAR", 5108, ".tar", ".tar"},
    {"GZip", 5109, ".gz", ".gz.tgz"},
    {"UUE", 5110, ".uue", ".uue.xxe.uu"},
    {"BZ2", 5111, ".bz2", ".bz2.tbz2.bz.tbz"},
    {"JAR", 5112, ".jar", ".jar"},
    {"ISO", 5113, ".iso", ".iso"},
    {"Z", 5114, ".z", ".z.taz"},
};

bool NextExtension(const char **cursor, char *ext, size_t size)
{
    const char *pos = *cursor;
    if (size > 0)
        ext[0] = '\0';
    if (pos == nullptr || *pos == '\0')
        return false;
    // Each piece runs up to the next '.' after its own first character.
    const char *end = pos + 1;
    while (*end != '\0' && *end != '.')
        ++end;
    size_t n = 0;
    for (; pos + n < end && n + 1 < size; ++n)
        ext[n] = pos[n];
    if (size > 0)
        ext[n] = '\0';
    *cursor = end;
    return true;
}

bool ExtensionSettingsKey(const char *ext, char *key, size_t size) { return JoinBounded(key, size, "Setup\\", ext); }
