// lngkit: makes a template "uninstall.lng" from the program's resources and checks a
// finished one against them.
//
//   lngkit make  <uninstall.exe|qbxlng.dll> <output.lng> [--codepage N]
//   lngkit check <uninstall.exe|qbxlng.dll> <uninstall.lng> [--codepage N] [--report FILE]
//
// Keys are CRC-32 checksums of the native texts in the ANSI code page of the Windows that
// runs the program (936 by default). check exits with 0 when it finds nothing, 1 when it
// reports defects, 2 when it cannot do its work.
#include "resources.h"
#include "table_check.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

static std::string EscapeText(const std::string &text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: out += c;
        }
    }
    return out;
}

// A comment names where a text is used; it must stay on its one line.
static std::string CommentText(const std::string &text)
{
    std::string out;
    for (char c : text)
        out += (c == '\n' || c == '\r' || c == '\x0C') ? ' ' : c;
    return out;
}

static std::string Header(const char *module, unsigned codePage)
{
    char cp[16];
    snprintf(cp, sizeof cp, "%u", codePage);
    std::string h;
    h += "; Language file of uninstall.exe, the setup and removal program of Quibex.\n";
    h += std::string("; Template made by lngkit from ") + CommentText(module) + " for ANSI code page " + cp + ".\n";
    h += ";\n";
    h += "; Save the translated file as \"uninstall.lng\" beside uninstall.exe, in the same code page.\n";
    h += "; Everything above the table marker line is ignored. Below it every entry is one line:\n";
    h += ";     key=\"translation\"\n";
    h += "; The key is 8 lower-case hexadecimal digits, the CRC-32 of the native text: keep it as\n";
    h += "; it is. Replace only the text between the quotes. The translation ends at the last double\n";
    h += "; quote of the line, so quotes inside it need no escape. Escapes: \\n line feed, \\r carriage\n";
    h += "; return, \\t tab, \\\\ backslash, \\\" double quote. Lines starting with \";\" are comments\n";
    h += "; that say where the text below them is used.\n";
    h += "; A dialog's size entry (\"100*100\") gives its width and height in percent, for example\n";
    h += "; \"120*110\" for longer texts. Setting the direction entry from \"LTR\" to \"RTL\" mirrors the\n";
    h += "; dialogs for a right-to-left language. Messages hold at most 511 bytes, dialog texts 1023.\n";
    h += std::string("; Check a finished file with: lngkit check uninstall.exe uninstall.lng --codepage ") + cp + "\n";
    h += ";\n";
    return h;
}

static int Make(const char *module, const char *output, unsigned codePage)
{
    std::vector<ProgramText> texts;
    std::string error;
    if (!ReadProgramTexts(module, codePage, texts, error)) {
        fprintf(stderr, "lngkit: %s\n", error.c_str());
        return 2;
    }
    std::string file = Header(module, codePage);
    file += kTableMarker;
    file += "\n";
    for (const ProgramText &t : texts) {
        if (t.lossy)
            fprintf(stderr, "lngkit: %s: not every character exists in code page %u\n", t.where.c_str(), codePage);
        file += "\n; " + CommentText(t.where) + "\n";
        file += t.key + "=\"" + EscapeText(t.starting) + "\"\n";
    }
    std::string lines; // Windows line ends, for the editors translators use
    for (char c : file)
        lines += c == '\n' ? std::string("\r\n") : std::string(1, c);
    file = lines;
    FILE *out = fopen(output, "wb");
    if (!out || fwrite(file.data(), 1, file.size(), out) != file.size() || fclose(out) != 0) {
        fprintf(stderr, "lngkit: cannot write %s\n", output);
        return 2;
    }
    printf("%s: %u texts\n", output, static_cast<unsigned>(texts.size()));
    return 0;
}

static bool ReadWholeFile(const char *name, std::string &bytes)
{
    FILE *in = fopen(name, "rb");
    if (!in)
        return false;
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, in)) > 0)
        bytes.append(buffer, n);
    bool ok = !ferror(in);
    fclose(in);
    return ok;
}

// Lead bytes of the code page the file is written in.
static DbcsTable CodePageBytes(unsigned codePage)
{
    DbcsTable table = {};
    CPINFO info = {};
    if (!GetCPInfo(codePage, &info))
        return table;
    table.multiByte = info.MaxCharSize > 1;
    for (int r = 0; r + 1 < MAX_LEADBYTES && info.LeadByte[r] != 0; r += 2)
        for (int v = info.LeadByte[r]; v <= info.LeadByte[r + 1]; ++v)
            table.lead[v] = true;
    return table;
}

static int Check(const char *module, const char *lngFile, unsigned codePage, const char *reportFile)
{
    std::vector<ProgramText> texts;
    std::string error;
    if (!ReadProgramTexts(module, codePage, texts, error)) {
        fprintf(stderr, "lngkit: %s\n", error.c_str());
        return 2;
    }
    std::string bytes;
    if (!ReadWholeFile(lngFile, bytes)) {
        fprintf(stderr, "lngkit: cannot read %s\n", lngFile);
        return 2;
    }
    std::vector<std::string> defects = CheckTable(bytes, texts, CodePageBytes(codePage)).defects;
    FILE *out = reportFile ? fopen(reportFile, "wb") : stdout;
    if (!out) {
        fprintf(stderr, "lngkit: cannot write %s\n", reportFile);
        return 2;
    }
    for (const std::string &d : defects)
        fprintf(out, "%s: %s\n", lngFile, d.c_str());
    fprintf(out, "%u defect(s)\n", static_cast<unsigned>(defects.size()));
    if (reportFile)
        fclose(out);
    return defects.empty() ? 0 : 1;
}

static int Usage()
{
    fprintf(stderr, "usage: lngkit make <uninstall.exe|qbxlng.dll> <output.lng> [--codepage N]\n"
                    "       lngkit check <uninstall.exe|qbxlng.dll> <uninstall.lng> [--codepage N] [--report FILE]\n");
    return 2;
}

int main(int argc, char **argv)
{
    unsigned codePage = 936;
    const char *reportFile = nullptr;
    std::vector<const char *> args;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--codepage") == 0 && i + 1 < argc)
            codePage = static_cast<unsigned>(strtoul(argv[++i], nullptr, 10));
        else if (strcmp(argv[i], "--report") == 0 && i + 1 < argc)
            reportFile = argv[++i];
        else
            args.push_back(argv[i]);
    }
    if (args.size() != 3)
        return Usage();
    if (!IsValidCodePage(codePage)) {
        fprintf(stderr, "lngkit: code page %u is not available\n", codePage);
        return 2;
    }
    if (strcmp(args[0], "make") == 0)
        return Make(args[1], args[2], codePage);
    if (strcmp(args[0], "check") == 0)
        return Check(args[1], args[2], codePage, reportFile);
    return Usage();
}
