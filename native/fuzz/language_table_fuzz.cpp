// Fuzzes the language table and the kit's check with a table text of arbitrary bytes.
// Input: one byte choosing the code page (936, 1252 or UTF-8) and the output buffer, then the
// table's lines after the marker line. Checked on every input:
//  - no read or write outside the buffers (the sanitizers; buffers are allocated exactly);
//  - every translation is terminated within its buffer and ends on a whole character of
//    the entry;
//  - for every key a line starts with, the program's look-up returns what a reader written
//    here from the file format's description alone returns;
//  - every entry the kit's check accepts is read by the program as the kit expects it.
#include "code_pages.h"
#include "lang/language_table.h"
#include "table_check.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "property.h"


// ---- The reference reader: the format as described, nothing of the program's code. ----

struct RefLine {
    std::string bytes;
    bool ended = false; // a line end follows
};

// Escapes \n \r \t \" \\ are read anywhere; a carriage return, line feed or form feed ends a
// line; a zero byte ends the text.
static std::vector<RefLine> RefLines(const std::string &text)
{
    std::vector<RefLine> lines(1);
    for (size_t i = 0; i < text.size() && text[i] != '\0'; ++i) {
        char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            const char *from = "nrt\"\\", *to = "\n\r\t\"\\";
            const char *hit = text[i + 1] != '\0' ? strchr(from, text[i + 1]) : nullptr;
            if (hit) {
                lines.back().bytes += to[hit - from];
                ++i;
                continue;
            }
        }
        if (c == '\r' || c == '\n' || c == '\f') {
            lines.back().ended = true;
            lines.emplace_back();
            continue;
        }
        lines.back().bytes += c;
    }
    return lines;
}

static bool IsLeadIn(const DbcsTable &cp, char c) { return cp.multiByte && cp.lead[static_cast<uint8_t>(c)]; }

// The width of the character at s[i]: a lead byte and the byte after it under a double-byte
// code page; under UTF-8 a lead byte (C2 to DF: two bytes, E0 to EF: three, F0 to F4: four)
// with its continuation bytes (80 to BF), its whole width when s ends inside it, and one byte
// where it is broken off early or no lead byte starts it.
static size_t Width(const std::string &s, size_t i, const DbcsTable &cp)
{
    if (!cp.utf8)
        return IsLeadIn(cp, s[i]) ? 2 : 1;
    uint8_t lead = static_cast<uint8_t>(s[i]);
    size_t width = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xC2 && lead <= 0xDF ? 2 : 1;
    for (size_t k = 1; k < width; ++k) {
        if (i + k >= s.size())
            return width;
        if (static_cast<uint8_t>(s[i + k]) < 0x80 || static_cast<uint8_t>(s[i + k]) > 0xBF)
            return 1;
    }
    return width;
}

// Bytes of the whole characters at the start of s that fit in limit bytes; a character cut
// by the end of s is half of one.
static size_t WholeCharacters(const std::string &s, size_t limit, const DbcsTable &cp)
{
    size_t i = 0;
    while (i < s.size()) {
        size_t width = Width(s, i, cp);
        if (i + width > limit || i + width > s.size())
            break;
        i += width;
    }
    return i;
}

// The translation of an entry line: from its 11th byte to the line end included, or at most
// 255 bytes of a last line; cut at its last double quote.
static std::string RefTranslation(const RefLine &line)
{
    std::string t = line.bytes.substr(10);
    if (line.ended)
        t += '\f';
    else if (t.size() > 255)
        t.resize(255);
    size_t quote = t.rfind('"');
    if (quote != std::string::npos)
        t.resize(quote);
    return t;
}

// What a buffer of size bytes receives: whole characters of the translation (half a
// character at its end is dropped), then the terminator.
static std::string RefFit(const std::string &t, size_t size, const DbcsTable &cp)
{
    return t.substr(0, WholeCharacters(t, size - 1, cp));
}

static bool RefIsEntryFor(const RefLine &line, const std::string &key)
{
    return line.bytes.size() >= 10 && line.bytes.compare(0, 8, key) == 0 && line.bytes[8] == '=' &&
           line.bytes[9] == '"';
}

static unsigned RefCrc(const std::string &bytes)
{
    unsigned crc = 0xFFFFFFFFu;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

static std::string RefKey(char prefix, const std::string &context, const std::string &text)
{
    char key[16];
    snprintf(key, sizeof key, "%08x", RefCrc(prefix + context + text));
    return key;
}

// ---- The property checks. ----

static std::string Translate(const LanguageTable &table, const char *entry, size_t size)
{
    char *out = static_cast<char *>(malloc(size));
    memset(out, 0x7F, size);
    table.CopyTranslation(out, size, entry);
    PROPERTY(memchr(out, '\0', size) != nullptr);
    std::string got(out);
    free(out);
    return got;
}

static bool EndsOnWholeCharacter(const std::string &s, const DbcsTable &cp)
{
    size_t i = 0;
    while (i < s.size())
        i += Width(s, i, cp);
    return i == s.size();
}

static std::vector<ProgramText> KitTexts()
{
    struct {
        TextKind kind;
        const char *context, *native;
        size_t size;
    } rows[] = {
        {TextKind::DialogText, "FUZZDLG", "", kSizeEntrySize},
        {TextKind::DialogText, "LTR", "LTR", kDirectionSize},
        {TextKind::MessageText, "", "Plain message", 512},
        {TextKind::MessageText, "", "Delete %s by hand", 512},
        {TextKind::DialogText, "FUZZDLG", "OK", kWindowTextSize},
    };
    std::vector<ProgramText> texts;
    for (const auto &r : rows)
        texts.push_back({r.kind, r.context, r.native, r.native, r.native, r.size,
                         RefKey(static_cast<char>(r.kind), r.context, r.native)});
    return texts;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    static const size_t kSizes[] = {1, 2, 3, 8, 64, 255, 256, 512, 1024};
    const DbcsTable &cp = data[0] < 0x80 ? Cp936() : data[0] < 0xC0 ? Cp1252() : Utf8();
    size_t outSize = kSizes[data[0] % (sizeof kSizes / sizeof kSizes[0])];
    std::string text = std::string(kTableMarker) + "\r\n" + std::string(reinterpret_cast<const char *>(data + 1), size - 1);
    if (text.size() > static_cast<size_t>(kTableTextLimit))
        text.resize(kTableTextLimit);

    // The program's table, in a buffer of exactly the bytes read and the terminator.
    char *bytes = new char[text.size() + 1];
    memcpy(bytes, text.data(), text.size());
    LanguageTable table(cp);
    table.Adopt(bytes, static_cast<int>(text.size()));

    std::vector<RefLine> lines = RefLines(text);
    std::vector<std::string> keys = {"00000000"};
    for (size_t n = 1; n < lines.size(); ++n)
        if (lines[n].bytes.size() >= 8)
            keys.push_back(lines[n].bytes.substr(0, 8));
    for (const std::string &key : keys) {
        const char *entry = table.FindEntry(key.c_str());
        std::vector<std::string> expected; // the marker's line is never an entry
        for (size_t n = 1; n < lines.size(); ++n)
            if (RefIsEntryFor(lines[n], key))
                expected.push_back(RefFit(RefTranslation(lines[n]), outSize, cp));
        if (expected.empty()) {
            PROPERTY(entry == nullptr);
            continue;
        }
        PROPERTY(entry != nullptr);
        std::string got = Translate(table, entry, outSize);
        PROPERTY(got.size() < outSize);
        // In UTF-8 a byte that starts no character may end the cut and look like the start of
        // one: whole characters are then as the entry reads them, which the reference checks.
        PROPERTY(cp.utf8 || EndsOnWholeCharacter(got, cp));
        bool one = false; // of equal keys, any entry may be taken
        for (const std::string &e : expected)
            one = one || e == got;
        PROPERTY(one);
    }

    // The kit: every entry it accepts is what the program shows for that text. Its check
    // knows the lead bytes of double-byte code pages, not yet UTF-8's sequences.
    if (cp.utf8)
        return 0;
    static const std::vector<ProgramText> texts = KitTexts();
    TableCheck check = CheckTable(text, texts, cp);
    for (const ProgramText &t : texts) {
        char key[9];
        LanguageKey(key, t.native.c_str(), t.context.empty() ? nullptr : t.context.c_str(), t.kind);
        PROPERTY(t.key == key);
        std::vector<char> out(t.bufferSize);
        table.Translate(out.data(), out.size(), t.native.c_str(), t.context.empty() ? nullptr : t.context.c_str(),
                        t.kind);
        PROPERTY(memchr(out.data(), '\0', out.size()) != nullptr);
        auto accepted = check.accepted.find(t.key);
        if (accepted != check.accepted.end())
            PROPERTY(accepted->second == out.data());
    }
    return 0;
}
