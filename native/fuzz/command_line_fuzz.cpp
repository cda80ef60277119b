// Fuzzes the switch scan and the "sfxcmd" test. Input: one byte choosing the code page (bit 1:
// UTF-8, else bit 0: 1252 or 936), then
// the command line, a zero byte and the value of "sfxcmd". Checked on every input:
//  - no read past the end of either text (each lies in a buffer of exactly its bytes);
//  - the program's name is skipped where a reading of the start-up rule written here ends it;
//  - the switches seen, in order, the mode chosen and the log file named agree with a reading
//    of the switch rules written here from their description alone.
#include "app/command_line.h"
#include "code_pages.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "property.h"


// ---- The reference: the switch rules as described. ----

static char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

// Does text at i begin with the word, in any letter case?
static bool BeginsWith(const std::string &text, size_t i, const char *word)
{
    size_t n = strlen(word);
    if (text.size() - i < n)
        return false;
    for (size_t k = 0; k < n; ++k)
        if (Upper(text[i + k]) != Upper(word[k]))
            return false;
    return true;
}

// "s" or "S", then the end of the text or a character that is no letter; in UTF-8 a byte from
// 0x80 on begins a character of several bytes, which does not end the switch.
static bool RefWordEndsAt(const std::string &text, size_t i, const DbcsTable &cp, bool utf8)
{
    return i >= text.size() || (!cp.isLetter(text[i]) && !(utf8 && static_cast<unsigned char>(text[i]) >= 0x80));
}

static bool RefSilentAt(const std::string &text, size_t i, const DbcsTable &cp, bool utf8)
{
    return i < text.size() && Upper(text[i]) == 'S' && RefWordEndsAt(text, i + 1, cp, utf8);
}

static SwitchKind RefKind(const std::string &text, size_t i, const DbcsTable &cp, bool utf8)
{
    if (BeginsWith(text, i, "setup"))
        return SwitchKind::Setup;
    if (RefSilentAt(text, i, cp, utf8))
        return SwitchKind::Silent;
    if (BeginsWith(text, i, "wait"))
        return SwitchKind::Wait;
    if (BeginsWith(text, i, "warning"))
        return SwitchKind::Warning;
    if (BeginsWith(text, i, "quiet"))
        return SwitchKind::Quiet;
    if (BeginsWith(text, i, "log") && RefWordEndsAt(text, i + 3, cp, utf8))
        return SwitchKind::Log;
    return SwitchKind::Other;
}

// "=" right after "log" starts a file name: between quotes (the closing one may be missing),
// else up to the first byte that is a blank or below. The scan goes on after it.
static std::vector<SwitchKind> RefSwitches(const std::string &line, const DbcsTable &cp, bool utf8,
                                           std::string *logName, bool *named)
{
    std::vector<SwitchKind> kinds;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '/' && line[i] != '-')
            continue;
        kinds.push_back(RefKind(line, i + 1, cp, utf8));
        size_t at = i + 4;
        if (kinds.back() != SwitchKind::Log || at >= line.size() || line[at] != '=')
            continue;
        *named = true;
        if (at + 1 < line.size() && line[at + 1] == '"') {
            size_t close = line.find('"', at + 2);
            *logName = line.substr(at + 2, close == std::string::npos ? std::string::npos : close - at - 2);
            i = close == std::string::npos ? line.size() : close;
        } else {
            size_t end = at + 1;
            while (end < line.size() && static_cast<unsigned char>(line[end]) > ' ')
                ++end;
            *logName = line.substr(at + 1, end - at - 1);
            i = end - 1;
        }
    }
    return kinds;
}

static RunMode RefMode(const std::vector<SwitchKind> &kinds)
{
    int counted = 0;
    for (SwitchKind k : kinds) {
        if (k == SwitchKind::Setup)
            return RunMode::Setup;
        counted += k != SwitchKind::Silent && k != SwitchKind::Quiet && k != SwitchKind::Log;
    }
    return counted == 0 ? RunMode::Removal : RunMode::SwitchesOnly;
}

static bool RefSfxcmdSilent(const std::string &value, const DbcsTable &cp, bool utf8)
{
    for (size_t i = 0; i < value.size(); ++i)
        if ((value[i] == '/' || value[i] == '-') && RefSilentAt(value, i + 1, cp, utf8))
            return true;
    return false;
}

// Where the arguments begin: the name runs to the first byte up to a blank outside quotes,
// then blanks and control characters are passed over.
static size_t RefArguments(const std::string &line)
{
    size_t i = 0;
    for (bool quoted = false; i < line.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        if (!quoted && c <= ' ')
            break;
        quoted ^= c == '"';
    }
    while (i < line.size() && static_cast<unsigned char>(line[i]) <= ' ')
        ++i;
    return i;
}

// ---- The properties. ----

// A UTF-8 process classifies single bytes: only the ASCII ones are letters.
static const DbcsTable &kUtf8 = Utf8();

static void Record(SwitchKind kind, void *context) { static_cast<std::vector<SwitchKind> *>(context)->push_back(kind); }

// A copy in a buffer of exactly its bytes and the terminator, so a read past it is caught.
static char *Exact(const std::string &s)
{
    char *copy = static_cast<char *>(malloc(s.size() + 1));
    memcpy(copy, s.c_str(), s.size() + 1);
    return copy;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const bool utf8 = data[0] & 2;
    const DbcsTable &cp = utf8 ? kUtf8 : (data[0] & 1) ? Cp1252() : Cp936();
    std::string rest(reinterpret_cast<const char *>(data + 1), size - 1);
    size_t zero = rest.find('\0');
    std::string line = rest.substr(0, zero);
    std::string sfxcmd = zero == std::string::npos ? "" : rest.substr(zero + 1);
    sfxcmd = sfxcmd.substr(0, sfxcmd.find('\0'));

    char *lineCopy = Exact(line), *sfxcmdCopy = Exact(sfxcmd);
    std::vector<SwitchKind> seen;
    CommandScan scan = ScanCommandLine(lineCopy, cp, Record, &seen);
    std::string logName;
    bool named = false;
    std::vector<SwitchKind> expected = RefSwitches(line, cp, utf8, &logName, &named);
    PROPERTY(seen == expected);
    PROPERTY(scan.log == (std::count(expected.begin(), expected.end(), SwitchKind::Log) > 0));
    PROPERTY((scan.logName != nullptr) == named);
    PROPERTY(!named || std::string(scan.logName, scan.logNameLength) == logName);
    PROPERTY(ChooseMode(scan) == RefMode(expected));
    bool silent = false, quiet = false;
    for (SwitchKind k : expected) {
        silent = silent || k == SwitchKind::Silent || k == SwitchKind::Quiet;
        quiet = quiet || k == SwitchKind::Quiet;
    }
    PROPERTY(scan.silent == silent);
    PROPERTY(scan.quiet == quiet);
    PROPERTY(SfxcmdIsSilent(sfxcmdCopy, cp) == RefSfxcmdSilent(sfxcmd, cp, utf8));
    PROPERTY(SkipProgramName(lineCopy) == lineCopy + RefArguments(line));
    free(lineCopy);
    free(sfxcmdCopy);
    return 0;
}
