// The archiver offered in Default apps and in "Open with" (Windows Vista and later).
#pragma once

// Registers the capabilities and adds the archiver's file type to "Open with" of every
// extension whose key exists. Runs after the associations were taken; nothing before Vista.
void RegisterDefaultApps();
// Takes the archiver out of "Open with" of every extension; other programs' entries stay.
// Runs before extensions are given back: that deletes a key setup created only when it
// has no subkeys.
void WithdrawOpenWith();
// Withdraws and deletes the capabilities.
void RemoveDefaultApps();
