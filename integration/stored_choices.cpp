#include "integration/stored_choices.h"

#include "integration/associations.h"
#include "registry/registry.h"
#include "res/resource.h"
#include "support/text.h"

namespace {

// JAR and ISO often belong to other programs (Java, disc tools) that users keep.
constexpr int kForeignOwnerTypes[] = {kJarType, kIsoType};
constexpr const char *kLinksKey = QBX_SETUP_KEY "\\Links";
constexpr const char *kMenuItemsKey = QBX_SETUP_KEY "\\MenuItems";

// A choice's place in the settings and its default; the order is the save order.
struct StoredFlag {
    bool SetupChoices::*field;
    const char *key;
    const char *valueName;
    DWORD defaultValue;
};

constexpr StoredFlag kStoredFlags[] = {
    {&SetupChoices::Desktop, kLinksKey, "Desktop", 0},
    {&SetupChoices::StartMenu, kLinksKey, "StartMenu", 0},
    {&SetupChoices::Programs, kLinksKey, "Programs", 1},
    {&SetupChoices::ShellExt, QBX_SETUP_KEY, "ShellExt", 1},
    {&SetupChoices::CascadedMenu, QBX_SETUP_KEY, "CascadedMenu", 0},
    {&SetupChoices::MenuIcons, QBX_SETUP_KEY, "MenuIcons", 1},
};

// "Setup\" plus the type's primary extension.
void TypeKey(int type, char *key, size_t size)
{
    ExtensionSettingsKey(ArchiveTypes[type].extension, key, size);
}

// An extension whose class belongs to another program keeps its owner unless the user asks.
bool OwnedByOtherProgram(int type)
{
    const char *extension = ArchiveTypes[type].extension;
    if (IsOwnAssociation(extension))
        return false;
    return RegValueHasText(HKEY_CLASSES_ROOT, extension, "");
}

} // namespace

void LoadSetupChoices(SetupChoices &choices)
{
    for (int type = 0; type < kArchiveTypeCount; ++type) {
        char key[64] = "";
        TypeKey(type, key, sizeof key);
        choices.Associate[type] = GetSettingDword(key, "Set", 1) != 0;
    }
    for (int type : kForeignOwnerTypes)
        if (OwnedByOtherProgram(type))
            choices.Associate[type] = false;
    for (const StoredFlag &flag : kStoredFlags)
        choices.*flag.field = GetSettingDword(flag.key, flag.valueName, flag.defaultValue) != 0;
}

void SaveSetupChoices(const SetupChoices &choices)
{
    for (int type = 0; type < kArchiveTypeCount; ++type) {
        char key[64] = "";
        TypeKey(type, key, sizeof key);
        SetSettingDword(key, "Set", choices.Associate[type] ? 1 : 0);
    }
    for (const StoredFlag &flag : kStoredFlags)
        SetSettingDword(flag.key, flag.valueName, choices.*flag.field ? 1 : 0);
}

const MenuItemName MenuItemNames[kMenuItemCount] = {
    {IDC_MENU_EXTR_TO, "ExtrTo", 1},     {IDC_MENU_EXTR_HERE, "ExtrHere", 1}, {IDC_MENU_EXTR, "Extr", 1},
    {IDC_MENU_EXTR_SEP, "ExtrSep", 1},   {IDC_MENU_OPEN_SFX, "OpenSFX", 1},   {IDC_MENU_ADD_TO, "AddTo", 1},
    {IDC_MENU_ADD_ARC, "AddArc", 1},     {IDC_MENU_EMAIL_ARC, "EmailArc", 1}, {IDC_MENU_EMAIL_OPT, "EmailOpt", 1},
    {IDC_MENU_TEST, "Test", 0},          {IDC_MENU_CONVERT, "Convert", 0},
};

DWORD LoadMenuItem(const MenuItemName &item)
{
    return GetSettingDword(kMenuItemsKey, item.valueName, item.defaultValue);
}

void SaveMenuItem(const MenuItemName &item, bool shown)
{
    SetSettingDword(kMenuItemsKey, item.valueName, shown ? 1 : 0);
}
