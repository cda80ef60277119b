#include "integration/default_apps.h"

#include "integration/file_types.h"
#include "integration/setup_choices.h"
#include "integration/setup_record.h"
#include "lang/messages.h"
#include "registry/registry.h"
#include "res/resource.h"
#include "support/log.h"
#include "support/text.h"
#include "support/windows_version.h"

static const char kCapabilitiesKey[] = "Software\\Quibex\\Capabilities";
static const char kFileAssociationsKey[] = "Software\\Quibex\\Capabilities\\FileAssociations";
static const char kRegisteredKey[] = "Software\\RegisteredApplications";
// Says in setup's record that setup created kRegisteredKey (Windows has none before a first
// program registers itself); written only then, so a later setup that finds the key keeps it.
static const char kRegisteredKeyRecord[] = "RegisteredAppsKey";

// Offers (where the extension's key exists) or withdraws the archiver's file type in
// HKCR\ext\OpenWithProgids, and when offering lists the extension among the capabilities.
// "OpenWithKey" in the extension's record says that setup created that key; it is
// written only then, so a later setup that finds the key keeps the record.
static void SetOpenWith(const char *ext, const char *type, bool offer)
{
    char key[kExtensionSize + 16], settings[kExtensionSize + 8]; // every extension fits
    JoinBounded(key, sizeof key, ext, "\\OpenWithProgids");
    ExtensionSettingsKey(ext, settings, sizeof settings);
    if (!offer) {
        DeleteRegValue(HKEY_CLASSES_ROOT, key, type);
        if (GetRecordDword(settings, "OpenWithKey") != 0)
            DeleteEmptyRegKey(HKEY_CLASSES_ROOT, key, false);
        return;
    }
    SetRegView64(true);
    SetRegString(HKEY_LOCAL_MACHINE, kFileAssociationsKey, ext, type);
    SetRegView64(false);
    // An extension key made for this alone would be taken for another program's later.
    if (!RegKeyExists(HKEY_CLASSES_ROOT, ext))
        return;
    if (!RegKeyExists(HKEY_CLASSES_ROOT, key))
        SetRecordDword(settings, "OpenWithKey", 1);
    SetRegValue(HKEY_CLASSES_ROOT, key, type, REG_NONE, "", 0);
}

static void WalkExtensions(bool offer)
{
    ForEachExtension([offer](const char *ext, int type) {
        SetOpenWith(ext, type == kZipType ? QBX_ZIP_FILE_TYPE : QBX_FILE_TYPE, offer);
    });
}

void RegisterDefaultApps()
{
    if (NtMajorVersion() < 6)
        return;
    // Recorded before the key is made: a setup cut short in between still leaves the record.
    if (!RegKeyExists64(HKEY_LOCAL_MACHINE, kRegisteredKey))
        SetRecordDword(QBX_SETUP_KEY, kRegisteredKeyRecord, 1);
    // Where the 64-bit shell looks for them; 32-bit Windows has only the one view.
    SetRegView64(true);
    SetRegString(HKEY_LOCAL_MACHINE, kCapabilitiesKey, "ApplicationName", GetMsg(IDS_APP_NAME));
    SetRegString(HKEY_LOCAL_MACHINE, kCapabilitiesKey, "ApplicationDescription", GetMsg(IDS_APP_DESCRIPTION));
    LogChange(SetRegString(HKEY_LOCAL_MACHINE, kRegisteredKey, "Quibex", kCapabilitiesKey), "Default apps registered");
    SetRegView64(false);
    WalkExtensions(true);
}

void WithdrawOpenWith() { WalkExtensions(false); }

void RemoveDefaultApps()
{
    WithdrawOpenWith();
    DeleteRegValue64(HKEY_LOCAL_MACHINE, kRegisteredKey, "Quibex");
    // Runs before the records go; another program's registration keeps the key.
    if (GetRecordDword(QBX_SETUP_KEY, kRegisteredKeyRecord) != 0)
        DeleteEmptyRegKey(HKEY_LOCAL_MACHINE, kRegisteredKey, true);
    DeleteRegKey64(HKEY_LOCAL_MACHINE, kFileAssociationsKey);
    DeleteRegKey64(HKEY_LOCAL_MACHINE, kCapabilitiesKey);
    LogLine("Default apps removed");
}
