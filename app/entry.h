// The program's run: start-up, the command-line modes and shut-down.
#pragma once

#include <windows.h>

// The entry the start-up calls with the whole command line, the program's name included.
// Returns the exit code: the removal's, setup's, another run's, 0 otherwise.
int RunProgram(HINSTANCE instance, const char *commandLine);
