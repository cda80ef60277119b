// Reading the silent switch from "sfxcmd" and the switches of the command line.
#pragma once

#include "support/dbcs_table.h"

enum class SwitchKind { Setup, Silent, Wait, Warning, Quiet, Log, Other };

enum class RunMode { Setup, Removal, SwitchesOnly };

struct CommandScan {
    bool setupRequested = false;
    bool silent = false; // "/s" or "/quiet"
    bool quiet = false;  // "/quiet": no message box at all
    int counted = 0;     // switches other than the silent, quiet and log ones
    bool log = false;    // "/log": write a log of the run
    // "/log=NAME" or "/log=\"NAME\"" (the last one named): where to write it. Points into the
    // command line; null when no log switch named a file.
    const char *logName = nullptr;
    size_t logNameLength = 0;
};

// Switch text is read with the code page's letters; in UTF-8 a byte from 0x80 on begins a
// character of several bytes ("/s\xC3\xA9" is "/sé"), which is never taken for the end of "/s".
// Classifies the text that follows a "/" or "-".
SwitchKind ClassifySwitch(const char *text, const DbcsTable &codePage);
// True when the value holds a silent switch ("/s" or "-s" not followed by a letter).
bool SfxcmdIsSilent(const char *value, const DbcsTable &codePage);
// Scans every switch in order; onSwitch runs for each one as it is found (the pause and
// the warning happen during the scan, before the next switch is read). The value of "/log="
// belongs to it: quoted, it runs to the closing quote (or the end), else to the next blank or
// control character; a "/" or "-" inside it starts no switch.
CommandScan ScanCommandLine(const char *commandLine, const DbcsTable &codePage,
                            void (*onSwitch)(SwitchKind kind, void *context), void *context);
RunMode ChooseMode(const CommandScan &scan);
// The command line after the program's name, as the C runtime's start-up finds it: the name
// ends at the first blank or control character outside quotes, and the blanks after it are
// skipped. Bytes compare unsigned, so a double-byte character stays in an unquoted name.
const char *SkipProgramName(const char *line);
