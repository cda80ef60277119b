// The log of a run asked for with "/log": where it goes, its first lines and its last.
#pragma once

#include "app/command_line.h"

// Opens the log the scan asks for (none without "/log") and writes what the run starts from:
// the version, the mode and the command line, Windows, the code pages, the folder.
void StartRunLog(const CommandScan &scan, RunMode mode);
// Writes the exit code and what it means.
void EndRunLog(int exitCode, RunMode mode);
