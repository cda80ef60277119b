// Setup mode: the integration dialog, the completion dialog, then the program group.
#pragma once

// Exit code of a setup that refused: the program's folder cannot be named in the process's
// code page, so every path setup stores would name another folder; nothing is written then.
// Also of a setup whose apply step the registry stopped: the installer must not take it for
// a finished one. A dialog closed unanswered is no failure: the user only declined.
constexpr int kSetupFailed = 1603;

// Returns the exit code: 0, or kSetupFailed.
int RunSetupFlow();
