// The program's run: start-up, the command-line modes and shut-down.
#pragma once

#include <windows.h>

// Returns the exit code: the removal's, setup's refusal, 0 otherwise.
int RunProgram(HINSTANCE instance, const char *commandLine);
