#include "integration/setup_record.h"

void SetRecordDword(const char *key, const char *name, DWORD value)
{
    ForEachRecord([=](HKEY record) { SetRegDword(record, key, name, value); });
}

HKEY RecordToRead(const char *key, const char *marker)
{
    DWORD value;
    return QueryRegDword(kMachineSettingsRoot, key, marker, 0, &value) ? kMachineSettingsRoot : kSettingsRoot;
}

DWORD GetRecordDword(const char *key, const char *name)
{
    return GetRegDword(RecordToRead(key, name), key, name, 0);
}

void DeleteMachineRecord()
{
    DeleteRegTree(kMachineSettingsRoot, "Setup");
    // Default apps' capabilities lie in the 64-bit view; on 32-bit Windows both are one key.
    DeleteEmptyRegKey(kMachineSettingsRoot, "", false);
    DeleteEmptyRegKey(kMachineSettingsRoot, "", true);
}
