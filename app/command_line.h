// Reading the silent switch from "sfxcmd" and the switches of the command line.
#pragma once

#include "support/dbcs_table.h"

enum class SwitchKind { Setup, Silent, Wait, Warning, Other };

enum class RunMode { Setup, Removal, SwitchesOnly };

struct CommandScan {
    bool setupRequested = false;
    bool silent = false;
    int counted = 0; // switches other than the silent one
};

// Classifies the text that follows a "/" or "-".
SwitchKind ClassifySwitch(const char *text, const DbcsTable &codePage);
// True when the value holds a silent switch ("/s" or "-s" not followed by a letter of the
// code page).
bool SfxcmdIsSilent(const char *value, const DbcsTable &codePage);
// Scans every switch in order; onSwitch runs for each one as it is found (the pause and
// the warning happen during the scan, before the next switch is read).
CommandScan ScanCommandLine(const char *commandLine, const DbcsTable &codePage,
                            void (*onSwitch)(SwitchKind kind, void *context), void *context);
RunMode ChooseMode(const CommandScan &scan);
