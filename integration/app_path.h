// The archiver's application path and the bitness of the Windows this program runs on.
#pragma once

// Registers "Quibex.exe" beside this program under the App Paths key. False only when the
// registry refused the first write with access denied.
bool RegisterAppPath();
// True when this 32-bit process runs on 64-bit Windows. Asks the system until it answers once.
bool IsWow64();
// How many times IsWow64 asked the system (for tests).

extern const char kAppPathKey[];
