// lngkit: makes a template "uninstall.lng" from the program's resources and checks a
// finished one against them.
//
//   lngkit make  <uninstall.exe|qbxlng.dll> <output.lng> [--codepage N] [--utf8] [--key-codepage K]
//   lngkit check <uninstall.exe|qbxlng.dll> <uninstall.lng> [--codepage N] [--key-codepage K] [--report FILE]
//
// Keys are CRC-32 checksums of the native texts in code page 936, as the program forms them
// on every Windows; --key-codepage K forms them over K instead, for a file meant only for a
// Windows whose code page is K (the program tries that key where the 936 key finds no line).
// --codepage names the ANSI code page the file is meant for, which its translations are
// written in unless it is UTF-8 with a byte-order mark (--utf8). check exits with 0 when it
// finds nothing, 1 when it reports defects, 2 when it cannot do its work.
#include "resources.h"
#include "table_check.h"

#include "support/code_pages.h"

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

static std::string Header(const char *module, const TextCodePages &codePages)
{
    std::string cp = std::to_string(codePages.file);
    std::string h;
    h += "; Language file of uninstall.exe, the setup and removal program of Quibex.\n";
    h += std::string("; Template made by lngkit from ") + CommentText(module) + " for ANSI code page " + cp +
         (codePages.utf8 ? ", in UTF-8.\n" : ".\n");
    h += ";\n";
    if (codePages.utf8)
        h += "; Save the translated file as \"uninstall.lng\" beside uninstall.exe, in UTF-8 with its byte-order\n"
             "; mark, as this template is.\n";
    else
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
    if (codePages.utf8)
        h += "; Here they count the bytes of the text converted to code page " + cp + ".\n";
    std::string keyOption;
    if (codePages.key != 936) {
        keyOption = " --key-codepage " + std::to_string(codePages.key);
        h += "; The keys are formed over code page " + std::to_string(codePages.key) +
             ": the file translates only on a Windows whose code page that is.\n";
    }
    h += "; Check a finished file with: lngkit check uninstall.exe uninstall.lng --codepage " + cp + keyOption + "\n";
    h += ";\n";
    return h;
}

// Writes the entries once per key; texts that share a key share their entry.
static int Make(const char *module, const char *output, const TextCodePages &codePages)
{
    std::vector<ProgramText> texts;
    std::string error;
    if (!ReadProgramTexts(module, codePages, texts, error)) {
        fprintf(stderr, "lngkit: %s\n", error.c_str());
        return 2;
    }
    std::string file = codePages.utf8 ? kUtf8Mark : "";
    file += Header(module, codePages);
    file += kTableMarker;
    file += "\n";
    unsigned entries = 0;
    for (size_t i = 0; i < texts.size(); ++i) {
        const ProgramText &t = texts[i];
        if (t.lossy)
            fprintf(stderr, "lngkit: %s: not every character exists in code page %u\n", t.where.c_str(), codePages.file);
        bool written = false;
        std::string where = t.where;
        for (size_t j = 0; j < texts.size(); ++j)
            if (j != i && texts[j].key == t.key) {
                written = written || j < i;
                where += ", " + texts[j].where;
            }
        if (written)
            continue;
        if (where != t.where)
            fprintf(stderr, "lngkit: different texts share key %s (%s): they cannot be translated apart\n",
                    t.key.c_str(), where.c_str());
        ++entries;
        file += "\n; " + CommentText(where) + "\n";
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
    printf("%s: %u texts\n", output, entries);
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

static int Check(const char *module, const char *lngFile, const TextCodePages &codePages, const char *reportFile)
{
    std::vector<ProgramText> texts;
    std::string error;
    if (!ReadProgramTexts(module, codePages, texts, error)) {
        fprintf(stderr, "lngkit: %s\n", error.c_str());
        return 2;
    }
    std::string bytes;
    if (!ReadWholeFile(lngFile, bytes)) {
        fprintf(stderr, "lngkit: cannot read %s\n", lngFile);
        return 2;
    }
    DbcsTable leadBytes = CodePageBytes(codePages.file);
    std::vector<std::string> defects = CheckTable(bytes, texts, {codePages.file, leadBytes, ConvertText}).defects;
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
    fprintf(stderr, "usage: lngkit make <uninstall.exe|qbxlng.dll> <output.lng> [--codepage N] [--utf8] [--key-codepage K]\n"
                    "       lngkit check <uninstall.exe|qbxlng.dll> <uninstall.lng> [--codepage N] [--key-codepage K]"
                    " [--report FILE]\n");
    return 2;
}

int main(int argc, char **argv)
{
    TextCodePages codePages;
    const char *reportFile = nullptr;
    std::vector<const char *> args;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--codepage") == 0 && i + 1 < argc)
            codePages.file = static_cast<unsigned>(strtoul(argv[++i], nullptr, 10));
        else if (strcmp(argv[i], "--key-codepage") == 0 && i + 1 < argc)
            codePages.key = static_cast<unsigned>(strtoul(argv[++i], nullptr, 10));
        else if (strcmp(argv[i], "--utf8") == 0)
            codePages.utf8 = true;
        else if (strcmp(argv[i], "--report") == 0 && i + 1 < argc)
            reportFile = argv[++i];
        else
            args.push_back(argv[i]);
    }
    if (args.size() != 3 || (codePages.utf8 && strcmp(args[0], "make") != 0))
        return Usage();
    if (!IsValidCodePage(codePages.file)) {
        fprintf(stderr, "lngkit: code page %u is not available\n", codePages.file);
        return 2;
    }
    // The program forms its second key over the system's code page before any UTF-8 setting.
    if (!IsValidCodePage(codePages.key) || codePages.key == CP_UTF8 || codePages.key == CP_UTF7) {
        fprintf(stderr, "lngkit: code page %u cannot key a language file\n", codePages.key);
        return 2;
    }
    if (strcmp(args[0], "make") == 0)
        return Make(args[1], args[2], codePages);
    if (strcmp(args[0], "check") == 0)
        return Check(args[1], args[2], codePages, reportFile);
    return Usage();
}
