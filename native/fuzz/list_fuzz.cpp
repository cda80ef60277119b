// Fuzz target for the list file's text rules. Every input is read under the lead-byte tables
// of code pages 1252 and 936, and each property is checked against a reference written here
// from the list format alone:
// - lines come out as the reference splits them (whole lines only, trimmed, none too long,
//   none holding a zero byte);
// - a line is taken exactly when the reference finds it inside the folder, and every line
//   taken, joined to the folder, names a path inside it: the folder followed by the line
//   unchanged, no ":" byte, no leading separator (so no "\\.\" or "\\?\" form), no component
//   made only of dots and blanks;
// - folders come ordered deepest first, keeping the list's order among equals;
// - the remembered link checks never hide a link: a line passes through one exactly when a
//   folder on its way is one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "code_pages.h"
#include "removal/list_lines.h"

namespace {

const char kFolder[] = "C:\\Quibex\\";

struct CodePages {
    const LeadByteTable &cp1252 = Cp1252().lead;
    const LeadByteTable &cp936 = Cp936().lead;
};
const CodePages kPages;

void Require(bool holds)
{
    if (!holds)
        std::abort();
}

bool Separator(char c) { return c == '\\' || c == '/'; }

// The format: lines end with LF; CR, LF, blanks and tabs at the end do not belong to the name;
// a line of 2,048 bytes or more with its LF, or holding a zero byte, is no line at all.
struct RefLine {
    bool taken;
    std::string text;
};

std::vector<RefLine> ReferenceSplit(const std::string &bytes)
{
    std::vector<RefLine> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t lf = bytes.find('\n', start);
        size_t stop = lf == std::string::npos ? bytes.size() : lf + 1;
        std::string raw = bytes.substr(start, stop - start);
        start = stop;
        if (raw.size() >= 2048 || raw.find('\0') != std::string::npos) {
            lines.push_back({false, ""});
            continue;
        }
        while (!raw.empty() && std::strchr("\r\n \t", raw.back()))
            raw.pop_back();
        lines.push_back({true, raw});
    }
    return lines;
}

// Characters of a line: a lead byte and the byte after it are one, unless the line ends.
std::vector<std::string> Characters(const std::string &line, const LeadByteTable &lead)
{
    std::vector<std::string> chars;
    for (size_t i = 0; i < line.size();) {
        size_t n = lead[static_cast<unsigned char>(line[i])] && i + 1 < line.size() ? 2 : 1;
        chars.push_back(line.substr(i, n));
        i += n;
    }
    return chars;
}

// Byte offsets of the separators that end the folders on a line's way.
std::vector<size_t> FolderEnds(const std::string &line, const LeadByteTable &lead)
{
    std::vector<size_t> ends;
    size_t at = 0;
    for (const std::string &c : Characters(line, lead)) {
        if (c.size() == 1 && Separator(c[0]))
            ends.push_back(at);
        at += c.size();
    }
    return ends;
}

std::vector<std::string> Components(const std::string &line, const LeadByteTable &lead)
{
    std::vector<std::string> parts(1);
    for (const std::string &c : Characters(line, lead)) {
        if (c.size() == 1 && Separator(c[0]))
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

bool ReferenceInside(const std::string &line, const LeadByteTable &lead)
{
    if (line.empty() || Separator(line[0]) || line.find(':') != std::string::npos)
        return false;
    for (const std::string &part : Components(line, lead))
        if (!part.empty() && part.find_first_not_of(". ") == std::string::npos)
            return false;
    return true;
}

void CheckJoined(const std::string &line, const LeadByteTable &lead)
{
    char path[1024];
    if (!JoinListPath(path, sizeof path, kFolder, line.c_str())) {
        Require(std::strlen(kFolder) + line.size() + 1 > sizeof path);
        return;
    }
    std::string joined(path);
    Require(joined == kFolder + line);
    Require(joined.compare(0, 4, "\\\\.\\") != 0 && joined.compare(0, 4, "\\\\?\\") != 0);
    std::string rest = joined.substr(std::strlen(kFolder));
    Require(!rest.empty() && !Separator(rest[0]) && rest.find(':') == std::string::npos);
    for (const std::string &part : Components(rest, lead))
        Require(part.empty() || part.find_first_not_of(". ") != std::string::npos);
}

void CheckOrder(const std::vector<std::string> &taken, const LeadByteTable &lead)
{
    std::vector<const char *> texts;
    for (const std::string &line : taken)
        texts.push_back(line.c_str());
    std::vector<size_t> order(taken.size());
    OrderDeepestFirst(texts.data(), texts.size(), lead, order.data());
    std::vector<bool> seen(taken.size());
    for (size_t k = 0; k < order.size(); ++k) {
        Require(order[k] < taken.size() && !seen[order[k]]);
        seen[order[k]] = true;
        size_t depth = FolderEnds(taken[order[k]], lead).size() + 1;
        Require(LineDepth(texts[order[k]], lead) == depth);
        if (k > 0) {
            size_t before = FolderEnds(taken[order[k - 1]], lead).size() + 1;
            Require(before > depth || (before == depth && order[k - 1] < order[k]));
        }
    }
}

// A folder is a link when its bytes hash to a multiple of 5.
bool IsLink(const std::string &folder)
{
    uint32_t h = 2166136261u;
    for (char c : folder)
        h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return h % 5 == 0;
}

bool QueryLink(void *, const char *line, size_t length) { return IsLink(std::string(line, length)); }

void CheckLinks(const std::vector<std::string> &taken, const LeadByteTable &lead)
{
    CheckedFolders checked;
    for (const std::string &line : taken) {
        bool expected = false;
        for (size_t end : FolderEnds(line, lead))
            expected = expected || IsLink(line.substr(0, end));
        Require(checked.PassesThroughLink(line.c_str(), lead, QueryLink, nullptr) == expected);
    }
}

void CheckUnder(const std::string &bytes, const LeadByteTable &lead)
{
    std::vector<RefLine> expected = ReferenceSplit(bytes);
    std::vector<char> text(bytes.begin(), bytes.end());
    text.push_back('\x7F');
    size_t pos = 0, n = 0;
    char *line = nullptr;
    std::vector<std::string> taken;
    for (ListRead got; (got = TakeListLine(text.data(), bytes.size(), pos, &line)) != ListRead::End; ++n) {
        Require(n < expected.size() && (got == ListRead::Line) == expected[n].taken);
        if (got != ListRead::Line)
            continue;
        Require(line >= text.data() && line < text.data() + text.size() && expected[n].text == line);
        bool inside = IsInsideLine(line, lead);
        Require(inside == ReferenceInside(line, lead));
        if (inside) {
            CheckJoined(line, lead);
            taken.emplace_back(line);
        }
    }
    Require(n == expected.size() && pos == bytes.size());
    CheckOrder(taken, lead);
    CheckLinks(taken, lead);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string bytes(reinterpret_cast<const char *>(data), size);
    CheckUnder(bytes, kPages.cp1252);
    CheckUnder(bytes, kPages.cp936);
    return 0;
}
