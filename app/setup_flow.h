// Setup mode: the integration dialog, the completion dialog, then the program group.
#pragma once

// Exit code of a setup that refused: the program's folder cannot be named in the process's
// code page, so every path setup stores would name another folder. Nothing is written then.
constexpr int kSetupRefused = 1603;

// Returns the exit code: 0, or kSetupRefused.
int RunSetupFlow();
