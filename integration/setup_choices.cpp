#include "integration/setup_choices.h"

#include "res/resource.h"
#include "support/log.h"
#include "support/text.h"

const ArchiveType ArchiveTypes[kArchiveTypeCount] = {
    {"QBX", IDC_TYPE_QBX, ".qbx", ".qbx"},
    {"ZIP", IDC_TYPE_ZIP, ".zip", ".zip"},
    {"CAB", IDC_TYPE_CAB, ".cab", ".cab"},
    {"ARJ", IDC_TYPE_ARJ, ".arj", ".arj"},
    {"LZH", IDC_TYPE_LZH, ".lzh", ".lzh.lha"},
    {"ACE", IDC_TYPE_ACE, ".ace", ".ace"},
    {"7-Zip", IDC_TYPE_7Z, ".7z", ".7z"},
    {"TAR", IDC_TYPE_TAR, ".tar", ".tar"},
    {"GZip", IDC_TYPE_GZ, ".gz", ".gz.tgz"},
    {"UUE", IDC_TYPE_UUE, ".uue", ".uue.xxe.uu"},
    {"BZ2", IDC_TYPE_BZ2, ".bz2", ".bz2.tbz2.bz.tbz"},
    {"JAR", IDC_TYPE_JAR, ".jar", ".jar"},
    {"ISO", IDC_TYPE_ISO, ".iso", ".iso"},
    {"Z", IDC_TYPE_Z, ".z", ".z.taz"},
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

void LogSetupChoices(const SetupChoices &choices)
{
    const unsigned char *flags = reinterpret_cast<const unsigned char *>(&choices); // one byte each
    char digits[sizeof choices + 1] = "";
    for (size_t i = 0; i < sizeof choices; ++i)
        digits[i] = flags[i] ? '1' : '0';
    LogLine("choices %s", digits);
}

bool ExtensionSettingsKey(const char *ext, char *key, size_t size)
{
    return JoinBounded(key, size, QBX_SETUP_KEY "\\", ext);
}
