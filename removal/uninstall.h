// Removal mode: gives everything back and deletes the installation.
#pragma once

// Exit codes a deployment tool reads from a silent removal.
constexpr int kRemoved = 0;
constexpr int kRemovalCancelled = 1602; // the user answered No; nothing changed
constexpr int kRemovalFailed = 1603;    // could not start, or the batch file failed
constexpr int kRestartRequired = 3010;  // a file is left for deletion at the next restart

// Returns the removal's exit code. silent: no question; quiet: no message box at all either,
// the exit code says what the messages would.
int RunUninstall(bool silent, bool quiet = false);
// The manual-deletion message: removal is complete, delete this program by hand.
void ShowManualDeletionMessage();
