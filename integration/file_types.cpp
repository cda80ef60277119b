#include "integration/file_types.h"

#include "integration/program_files.h"
#include "lang/messages.h"
#include "registry/registry.h"
#include "res/resource.h"
#include "support/log.h"
#include "support/text.h"

#include <shlobj.h>

bool IsOwnFileType(const char *type)
{
    return CompareNoCase(type, QBX_FILE_TYPE) == 0 || CompareNoCase(type, QBX_ZIP_FILE_TYPE) == 0;
}

// Default value of HKCR\key\DefaultIcon, set only when empty or missing.
static void SetIconIfMissing(const char *key, const char *icon)
{
    if (!RegValueHasText(HKEY_CLASSES_ROOT, key, ""))
        SetRegString(HKEY_CLASSES_ROOT, key, "", icon);
}

bool RegisterFileTypes()
{
    char exe[kPathSize], command[kPathSize + 16], archiveIcon[kPathSize + 4], volumeIcon[kPathSize + 4];
    ArchiverPath(exe, sizeof exe);
    JoinBounded(command, sizeof command, "\"", exe);
    AppendBounded(command, "\" \"%1\"", sizeof command);
    JoinBounded(archiveIcon, sizeof archiveIcon, exe, ",0");
    JoinBounded(volumeIcon, sizeof volumeIcon, exe, ",1");

    LONG error = SetRegString(HKEY_CLASSES_ROOT, QBX_FILE_TYPE, "", GetMsg(IDS_TYPE_QBX));
    LogChange(error, "file types registered");
    if (error == ERROR_ACCESS_DENIED)
        return false;
    SetRegString(HKEY_CLASSES_ROOT, QBX_FILE_TYPE "\\shell\\open\\command", "", command);
    SetIconIfMissing(QBX_FILE_TYPE "\\DefaultIcon", archiveIcon);

    SetRegString(HKEY_CLASSES_ROOT, QBX_ZIP_FILE_TYPE, "", GetMsg(IDS_TYPE_ZIP));
    SetRegString(HKEY_CLASSES_ROOT, QBX_ZIP_FILE_TYPE "\\shell\\open\\command", "", command);
    SetIconIfMissing(QBX_ZIP_FILE_TYPE "\\DefaultIcon", archiveIcon);

    SetRegString(HKEY_CLASSES_ROOT, ".rev", "", QBX_REV_FILE_TYPE);
    SetRegString(HKEY_CLASSES_ROOT, QBX_REV_FILE_TYPE, "", GetMsg(IDS_TYPE_REV));
    SetRegString(HKEY_CLASSES_ROOT, QBX_REV_FILE_TYPE "\\shell\\open\\command", "", command);
    SetIconIfMissing(QBX_REV_FILE_TYPE "\\DefaultIcon", volumeIcon);

    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return true;
}
