#include "app/command_line.h"

#include "support/text.h"

static bool IsSwitchChar(char c) { return c == '/' || c == '-'; }

// A word of a switch ends at any character that is no letter, the end of the text included.
static bool EndsWord(char c, const DbcsTable &codePage)
{
    return !codePage.IsLetter(c) && !(codePage.utf8 && static_cast<unsigned char>(c) >= 0x80);
}

static bool IsSilentText(const char *text, const DbcsTable &codePage)
{
    return (text[0] == 's' || text[0] == 'S') && EndsWord(text[1], codePage);
}

// Takes the value after "/log" (at text) into scan; returns where the scan goes on.
static const char *TakeLogName(const char *text, CommandScan &scan)
{
    if (*text != '=')
        return text;
    const char *name = text + 1;
    // No trail byte of a double-byte code page is a quote, a blank or a control character.
    bool quoted = *name == '"';
    name += quoted;
    const char *end = name;
    while (*end != '\0' && (quoted ? *end != '"' : static_cast<unsigned char>(*end) > ' '))
        ++end;
    scan.logName = name;
    scan.logNameLength = static_cast<size_t>(end - name);
    return quoted && *end == '"' ? end + 1 : end;
}

SwitchKind ClassifySwitch(const char *text, const DbcsTable &codePage)
{
    if (StartsWithAsciiNoCase(text, "setup"))
        return SwitchKind::Setup;
    if (IsSilentText(text, codePage))
        return SwitchKind::Silent;
    if (StartsWithAsciiNoCase(text, "wait"))
        return SwitchKind::Wait;
    if (StartsWithAsciiNoCase(text, "warning"))
        return SwitchKind::Warning;
    if (StartsWithAsciiNoCase(text, "quiet"))
        return SwitchKind::Quiet;
    if (StartsWithAsciiNoCase(text, "log") && EndsWord(text[3], codePage))
        return SwitchKind::Log;
    return SwitchKind::Other;
}

bool SfxcmdIsSilent(const char *value, const DbcsTable &codePage)
{
    for (const char *p = value; *p != '\0'; ++p) {
        if (IsSwitchChar(*p) && IsSilentText(p + 1, codePage))
            return true;
    }
    return false;
}

CommandScan ScanCommandLine(const char *commandLine, const DbcsTable &codePage,
                            void (*onSwitch)(SwitchKind, void *), void *context)
{
    CommandScan scan;
    for (const char *p = commandLine; *p != '\0'; ++p) {
        if (!IsSwitchChar(*p))
            continue;
        SwitchKind kind = ClassifySwitch(p + 1, codePage);
        if (kind == SwitchKind::Setup)
            scan.setupRequested = true;
        if (kind == SwitchKind::Quiet)
            scan.quiet = true;
        if (kind == SwitchKind::Silent || kind == SwitchKind::Quiet)
            scan.silent = true;
        else if (kind != SwitchKind::Log)
            ++scan.counted;
        if (onSwitch)
            onSwitch(kind, context);
        if (kind == SwitchKind::Log) {
            scan.log = true;
            p = TakeLogName(p + 4, scan) - 1; // the loop steps past the last byte taken
        }
    }
    return scan;
}

RunMode ChooseMode(const CommandScan &scan)
{
    if (scan.setupRequested)
        return RunMode::Setup;
    if (scan.counted == 0)
        return RunMode::Removal;
    return RunMode::SwitchesOnly;
}

const char *SkipProgramName(const char *line)
{
    auto byte = [](const char *p) { return static_cast<unsigned char>(*p); };
    bool quoted = false;
    while (byte(line) > ' ' || (*line != '\0' && quoted)) {
        if (*line == '"')
            quoted = !quoted;
        ++line;
    }
    while (*line != '\0' && byte(line) <= ' ')
        ++line;
    return line;
}
