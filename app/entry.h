// The program's run: start-up, the command-line modes and shut-down.
#pragma once

#include <windows.h>

int RunProgram(HINSTANCE instance, const char *commandLine);
// The manual-deletion message: removal is complete, delete this program by hand.
void ShowManualDeletionMessage();
