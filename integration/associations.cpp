#include "integration/associations.h"

#include "integration/file_types.h"
#include "integration/setup_record.h"
#include "integration/templates.h"
#include "lang/messages.h"
#include "registry/registry.h"
#include "support/log.h"
#include "support/text.h"
#include "support/windows_version.h"

#include <windows.h>

bool IsOwnAssociation(const char *ext)
{
    char type[80];
    GetRegString(HKEY_CLASSES_ROOT, ext, "", type, sizeof type, "");
    return IsOwnFileType(type);
}

// The record of an extension's earlier owner, as the log shows it after what.
static void LogOwnerRecord(DWORD error, const char *what, const char *ext, HKEY record, const char *settings)
{
    char type[kPathSize];
    GetRegString(record, settings, "Type", type, sizeof type, "");
    LogChange(error, "%s %s: owner \"%s\"%s", ext, what, type, GetRegDword(record, settings, "Exist", 1) ? "" : ", no key");
}

// ".qNN" and its terminator.
constexpr size_t kVolumeExtensionSize = 5;

static void VolumeExtension(int number, char (&out)[kVolumeExtensionSize])
{
    wsprintfA(out, ".q%02d", number % 100);
}

// Keeps the owner's value whole in the extension's record; one it lacks, as empty text.
static void SaveOwnerValue(const char *ext, const char *name, HKEY record, const char *settings,
                           const char *savedName)
{
    if (CopyRegValue(HKEY_CLASSES_ROOT, ext, name, record, settings, savedName) != ERROR_SUCCESS)
        SetRegString(record, settings, savedName, "");
}

static void SaveOwner(const char *ext, HKEY record, const char *settings)
{
    SaveOwnerValue(ext, "", record, settings, "Type");
    SaveOwnerValue(ext, "Content Type", record, settings, "Content");
    SaveNewFileEntry(ext, record, settings);
    SaveNewFileValues(ext, record);
    SetRegDword(record, settings, "Exist", RegKeyExists(HKEY_CLASSES_ROOT, ext) ? 1 : 0);
}

static void TakeExtension(const char *ext, const char *settings, bool shellExt, bool isZip, bool isQbx)
{
    // Saved only on the first takeover, so a second setup keeps the original owner's state.
    if (!IsOwnAssociation(ext))
        ForEachRecord([=](HKEY record) { SaveOwner(ext, record, settings); });
    LONG error = SetRegString(HKEY_CLASSES_ROOT, ext, "", isZip ? QBX_ZIP_FILE_TYPE : QBX_FILE_TYPE);
    LogOwnerRecord(error, "taken", ext, RecordToRead(settings, "Exist"), settings);
    DeleteRegValue(HKEY_CLASSES_ROOT, ext, "Content Type");
    if (isQbx) {
        int volumes = NtMajorVersion() != 0 ? 30 : 100;
        for (int n = 0; n < volumes; ++n) {
            char volume[kVolumeExtensionSize];
            VolumeExtension(n, volume);
            SetRegString(HKEY_CLASSES_ROOT, volume, "", QBX_FILE_TYPE);
            DeleteRegValue(HKEY_CLASSES_ROOT, volume, "Content Type");
        }
    }
    if (shellExt && (isZip || isQbx))
        RegisterNewFileTemplate(ext, isQbx);
}

// Every number a setup on either family may have taken; another program's stay as they are.
static void GiveBackVolumes(HKEY record, const char *settings, bool hasType, bool hasContent)
{
    for (int n = 0; n < 100; ++n) {
        char volume[kVolumeExtensionSize];
        VolumeExtension(n, volume);
        if (!IsOwnAssociation(volume))
            continue;
        if (hasType) {
            CopyRegValue(record, settings, "Type", HKEY_CLASSES_ROOT, volume, "");
            if (hasContent)
                CopyRegValue(record, settings, "Content", HKEY_CLASSES_ROOT, volume, "Content Type");
        } else {
            DeleteRegKey(HKEY_CLASSES_ROOT, volume);
        }
    }
}

void (*g_beforeOwnerGivenBack)(const char *ext) = nullptr;

// The extension's default value goes back last: a removal cut short and run again passes over
// every extension that no longer names the archiver, so nothing may be left to do for it then.
static void GiveBackExtension(const char *ext, const char *settings, bool isQbx)
{
    // Another program took it since, or it was never ours: leave it and its volumes alone.
    if (!IsOwnAssociation(ext))
        return LogLine("%s left: not ours", ext);
    HKEY record = RecordToRead(settings, "Exist");
    bool existed = GetRegDword(record, settings, "Exist", 1) != 0;
    char type[80]; // only to tell the archiver's own types, which fit
    GetRegString(record, settings, "Type", type, sizeof type, "");
    bool hasType = existed && !IsOwnFileType(type) && RegValueHasText(record, settings, "Type");
    bool hasContent = RegValueHasText(record, settings, "Content");
    if (existed)
        RestoreNewFileEntry(ext, record);
    else
        RemoveNewFileEntry(ext);
    if (isQbx)
        GiveBackVolumes(record, settings, hasType, hasContent);
    if (g_beforeOwnerGivenBack)
        g_beforeOwnerGivenBack(ext);
    if (existed) {
        // The owner's values go back whole, as they were saved.
        if (hasContent)
            CopyRegValue(record, settings, "Content", HKEY_CLASSES_ROOT, ext, "Content Type");
        else
            DeleteRegValue(HKEY_CLASSES_ROOT, ext, "Content Type");
        LONG error = hasType ? CopyRegValue(record, settings, "Type", HKEY_CLASSES_ROOT, ext, "")
                             : SetRegString(HKEY_CLASSES_ROOT, ext, "", "");
        LogOwnerRecord(error, "given back", ext, record, settings);
    } else {
        // Emptied first: if a subkey keeps the key alive it no longer names the archiver.
        SetRegString(HKEY_CLASSES_ROOT, ext, "", "");
        LogChange(DeleteRegKey(HKEY_CLASSES_ROOT, ext), "%s deleted", ext);
    }
}

void AssociateExtension(const char *ext, bool associate, bool shellExt, bool isZip, bool isQbx)
{
    char settings[kPathSize];
    if (ext[0] == '\0' || !ExtensionSettingsKey(ext, settings, sizeof settings))
        return;
    if (associate)
        TakeExtension(ext, settings, shellExt, isZip, isQbx);
    else
        GiveBackExtension(ext, settings, isQbx);
}

void SetAssociations(const SetupChoices &choices)
{
    ForEachExtension([&choices](const char *ext, int type) {
        AssociateExtension(ext, choices.Associate[type], choices.ShellExt, type == kZipType, type == kQbxType);
    });
}
