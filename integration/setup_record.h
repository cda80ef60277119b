// Setup's record of what it changed in the machine's registry, which removal reads to undo it.
#pragma once

#include "registry/registry.h"

// The record is kept twice, below the same key paths ("Setup\" + ext, "Setup"): in the
// account's settings, and in the machine's key, which a removal run by another account (a
// deployment tool's, a second administrator's) finds too. The choices stay the account's.
// Calls write(root) for the root of each, the machine's first: read first, it must never be
// the older, also when a setup is cut short between the two.
template <typename Write> void ForEachRecord(Write write)
{
    write(kMachineSettingsRoot);
    write(kSettingsRoot);
}

// Writes one value into both records.
void SetRecordDword(const char *key, const char *name, DWORD value);

// The record to read one key of, whole: the machine's when its key holds the value marker (one
// written with the rest), else the account's. The machine's is never the older: another
// account's removal deletes it and leaves this account's, and another account's setup renews
// only the machine's. A key holding other values alone (a setup after an earlier version, which
// kept only the account's record, adds "OpenWithKey" there) leaves the account's record in force.
HKEY RecordToRead(const char *key, const char *marker);

// One value, from the machine's record when it holds it, else from the account's; 0 in neither.
DWORD GetRecordDword(const char *key, const char *name);

// Deletes the machine's record, then the program's key of the machine in either view where
// nothing else is left in it. Runs after every give-back.
void DeleteMachineRecord();
