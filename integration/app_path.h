// The archiver's application path, which lets Windows start it by its bare name.
#pragma once

// Registers the archiver beside this program under the App Paths key. False only when the
// registry refused the first write with access denied.
bool RegisterAppPath();

extern const char kAppPathKey[];
