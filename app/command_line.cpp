#include "app/command_line.h"

#include "support/text.h"

static bool IsSwitchChar(char c) { return c == '/' || c == '-'; }

static bool IsSilentText(const char *text, const DbcsTable &codePage)
{
    if (text[0] != 's' && text[0] != 'S')
        return false;
    return !codePage.IsLetter(text[1]) && !(codePage.utf8 && static_cast<unsigned char>(text[1]) >= 0x80);
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
        else
            ++scan.counted;
        if (onSwitch)
            onSwitch(kind, context);
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
