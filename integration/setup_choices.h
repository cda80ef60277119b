// The user's setup choices and the table of archive types setup can associate.
#pragma once

#include <stddef.h>

constexpr int kArchiveTypeCount = 14;
// One single extension of a group, with its dot.
constexpr size_t kExtensionSize = 52;

// One byte per flag; a zero-filled record has every choice off (the removal's record).
struct SetupChoices {
    bool Associate[kArchiveTypeCount];
    bool Desktop;
    bool StartMenu;
    bool Programs;
    bool ShellExt;
    bool CascadedMenu;
    bool MenuIcons;
};
static_assert(sizeof(SetupChoices) == kArchiveTypeCount + 6, "one byte per choice");

struct ArchiveType {
    const char *name;      // as the setup dialog shows it
    int control;           // check box of the setup dialog
    const char *extension; // primary extension: names the type's settings key (ExtensionSettingsKey)
    const char *group;     // every extension of the type, each starting with '.'
};

constexpr int kQbxType = 0;
constexpr int kZipType = 1;
constexpr int kJarType = 11;
constexpr int kIsoType = 12;
extern const ArchiveType ArchiveTypes[kArchiveTypeCount];

// Splits an extension group: copies the extension at *cursor (cut to size bytes) into ext
// and moves the cursor to the next one. False, ext empty, when the group is used up.
bool NextExtension(const char **cursor, char *ext, size_t size);

// Calls visit(ext, type) for every extension of every archive type, type by type.
template <typename Visit> void ForEachExtension(Visit visit)
{
    for (int type = 0; type < kArchiveTypeCount; ++type) {
        const char *cursor = ArchiveTypes[type].group;
        char ext[kExtensionSize];
        while (NextExtension(&cursor, ext, sizeof ext))
            visit(ext, type);
    }
}

// Writes the choices to the log, one line.
void LogSetupChoices(const SetupChoices &choices);
// The key below the settings root that keeps setup's records; a macro, so that the keys below
// it are joined at compile time.
#define QBX_SETUP_KEY "Setup"

// Sets key to the key below the settings root that keeps setup's record of one extension:
// "Setup\" + ext. False, key unchanged, when that does not fit in size bytes.
bool ExtensionSettingsKey(const char *ext, char *key, size_t size);
