#include "table_check.h"

#include "lang/size_entry.h"

static std::string Num(long long n) { return std::to_string(n); }

// The program fills in a message's one "%s" only when the translation has exactly that one
// conversion and no other '%'; otherwise it shows the native text.
static bool HasOneStringConversion(const std::string &text)
{
    int conversions = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%')
            continue;
        if (i + 1 >= text.size() || text[i + 1] != 's')
            return false;
        ++conversions;
        ++i;
    }
    return conversions == 1;
}

static bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

struct Line {
    size_t start; // offset in the table text
    std::string raw;
    int number;   // line number in the file
    bool ended;   // a line end follows
};

static int LineNumberAt(const std::string &file, size_t offset)
{
    int number = 1;
    for (size_t i = 0; i < offset; ++i)
        if (file[i] == '\n' || file[i] == '\x0C' || (file[i] == '\r' && (i + 1 >= file.size() || file[i + 1] != '\n')))
            ++number;
    return number;
}

static std::vector<Line> SplitLines(const std::string &table, int firstNumber)
{
    std::vector<Line> lines;
    int number = firstNumber;
    size_t start = 0;
    for (size_t i = 0; i <= table.size(); ++i) {
        bool end = i == table.size();
        char c = end ? '\0' : table[i];
        if (!end && c != '\r' && c != '\n' && c != '\x0C')
            continue;
        lines.push_back({start, table.substr(start, i - start), number, !end});
        if (c == '\n' || c == '\x0C' || (c == '\r' && (i + 1 >= table.size() || table[i + 1] != '\n')))
            ++number;
        start = i + 1;
    }
    return lines;
}

static std::string Unescape(const std::string &raw)
{
    std::vector<char> buffer(raw.begin(), raw.end());
    buffer.push_back('\0');
    int n = UnescapeTable(buffer.data(), static_cast<int>(raw.size()));
    return std::string(buffer.data(), n);
}

// The table text as the program reads it, with the defects of its placement.
static bool LocateTable(const std::string &file, std::string &table, int &firstLine, std::vector<std::string> &defects)
{
    size_t marker = file.find(kMarkerBytes);
    if (marker == std::string::npos) {
        defects.push_back("no table marker \"" + std::string(kTableMarker) + "\": the program ignores the file");
        return false;
    }
    firstLine = LineNumberAt(file, marker);
    if (static_cast<long long>(marker) > kMarkerSearchLimit) {
        defects.push_back("line " + Num(firstLine) + ": table marker at offset " + Num(marker) +
                          ", past the " + Num(kMarkerSearchLimit) + "-byte limit: the program ignores the file");
        return false;
    }
    if (file.size() - marker < static_cast<size_t>(kMarkerOverlap)) {
        defects.push_back("line " + Num(firstLine) + ": fewer than " + Num(kMarkerOverlap) +
                          " bytes from the table marker to the end of the file: the program ignores the file");
        return false;
    }
    table = file.substr(marker, kTableTextLimit);
    if (file.size() - marker > static_cast<size_t>(kTableTextLimit)) {
        size_t limit = marker + kTableTextLimit;
        defects.push_back("line " + Num(LineNumberAt(file, limit)) + ": text past the 128 KiB limit (offset " +
                          Num(limit) + "): the last " + Num(file.size() - limit) + " bytes are ignored");
    }
    size_t zero = table.find('\0');
    if (zero != std::string::npos) {
        defects.push_back("line " + Num(LineNumberAt(file, marker + zero)) +
                          ": zero byte: the rest of the table is ignored");
        table.resize(zero);
    }
    return true;
}

// How the bytes of a text form characters: UTF-8, or a code page with the given lead bytes.
struct Encoding {
    bool utf8;
    const DbcsTable &leadBytes;
    size_t CharBytes(char c) const
    {
        unsigned char v = static_cast<unsigned char>(c);
        if (utf8)
            return v >= 0xF0 ? 4 : v >= 0xE0 ? 3 : v >= 0xC0 ? 2 : 1;
        return leadBytes.IsLead(c) ? 2 : 1;
    }
};

// Bytes of text up to its last whole character, when its end falls inside one.
static size_t WholeChars(const std::string &text, size_t n, const Encoding &encoding)
{
    size_t i = 0;
    while (i < n) {
        size_t step = encoding.CharBytes(text[i]);
        if (i + step > n)
            break;
        i += step;
    }
    return i;
}

static bool IsEscapeLetter(char c) { return c == 'n' || c == 'r' || c == 't' || c == '"'; }

// The raw offset at which the program's reading of raw has given out bytes.
static size_t RawOffsetOf(const std::string &raw, size_t out)
{
    size_t i = 0;
    for (size_t w = 0; i < raw.size() && w < out; ++w)
        i += raw[i] == '\\' && i + 1 < raw.size() && (IsEscapeLetter(raw[i + 1]) || raw[i + 1] == '\\') ? 2 : 1;
    return i;
}

// A double-byte character whose trail byte is a backslash starts an escape for the program,
// which reads byte by byte, when an escape letter follows it. Doubled, as make writes it,
// the backslash is read back as the trail byte.
static bool TrailStartsEscape(const std::string &raw, size_t from, const DbcsTable &leadBytes)
{
    for (size_t i = from; i < raw.size();) {
        if (leadBytes.IsLead(raw[i]) && i + 1 < raw.size()) {
            if (raw[i + 1] == '\\' && i + 2 < raw.size()) {
                if (IsEscapeLetter(raw[i + 2]))
                    return true;
                i += raw[i + 2] == '\\' ? 3 : 2;
            } else {
                i += 2;
            }
        } else if (raw[i] == '\\' && i + 1 < raw.size() && (IsEscapeLetter(raw[i + 1]) || raw[i + 1] == '\\')) {
            i += 2;
        } else {
            ++i;
        }
    }
    return false;
}

static bool IsSizeEntry(const ProgramText &t) { return t.kind == TextKind::DialogText && t.native.empty(); }

static bool IsDirectionEntry(const ProgramText &t)
{
    return t.kind == TextKind::DialogText && t.context == "LTR" && t.native == "LTR";
}

// The translation as the program holds it in one form, against that form's buffer; form names
// it ("" for the file's own code page).
static void CheckLength(const std::string &at, const std::string &held, size_t size, const Encoding &encoding,
                        const std::string &form, const ProgramText &t, std::vector<std::string> &defects)
{
    if (held.size() <= size - 1)
        return;
    defects.push_back(at + "translation of " + Num(held.size()) + " bytes" + form + " is longer than the " +
                      Num(size - 1) + " bytes its buffer holds (" + t.where + ")");
    if (WholeChars(held, size - 1, encoding) < size - 1)
        defects.push_back(at + "the cut at " + Num(size - 1) + " bytes" + form + " falls inside a character");
}

static bool Convert(const FileCodePage &target, unsigned from, const std::string &text, unsigned to, std::string &out)
{
    std::vector<char> buffer(4 * text.size() + 1);
    int n = target.convert(from, text.data(), text.size(), to, buffer.data(), buffer.size());
    out.assign(buffer.data(), n > 0 ? n : 0);
    return n >= 0;
}

// Defects of an entry's translation as the program reads it (text) and holds it, in the code
// page the file is meant for and in UTF-8, and as written (raw).
static void CheckTranslation(const std::string &at, const Line &line, const std::string &text, size_t length,
                             const ProgramText &t, const FileCodePage &target, bool utf8File,
                             std::vector<std::string> &defects)
{
    std::string translation = text.substr(kEntryTextStart, length);
    const Encoding fileEncoding{utf8File, target.leadBytes}, codePage{false, target.leadBytes};
    const Encoding utf8{true, target.leadBytes};
    const size_t utf8Size = Converted(t.bufferSize);
    std::string cp = "code page " + Num(target.codePage), inCodePage, inUtf8;
    bool convert = target.convert && target.codePage != 0;
    if (!utf8File) {
        CheckLength(at, translation, t.bufferSize, codePage, "", t, defects);
        size_t whole = WholeChars(translation, length, codePage);
        if (whole < length && length <= t.bufferSize - 1)
            defects.push_back(at + "the translation ends in half a character: the program drops its last byte");
        if (convert && !Convert(target, target.codePage, translation.substr(0, whole), kUtf8CodePage, inUtf8))
            defects.push_back(at + "the translation holds bytes that are no character of " + cp + " (" + t.where + ")");
        else if (convert)
            CheckLength(at, inUtf8, utf8Size, utf8, " once converted to UTF-8", t, defects);
    } else if (!IsUtf8(translation.data(), translation.size(), TextEnd::File)) {
        defects.push_back(at + "the translation is not valid UTF-8 (" + t.where + ")");
    } else {
        CheckLength(at, translation, utf8Size, utf8, " in UTF-8", t, defects);
        if (convert && target.codePage != kUtf8CodePage) {
            if (!Convert(target, kUtf8CodePage, translation, target.codePage, inCodePage))
                defects.push_back(at + cp + " cannot hold every character of the translation (" + t.where + ")");
            else
                CheckLength(at, inCodePage, t.bufferSize, codePage, " once converted to " + cp, t, defects);
        }
    }
    if (t.kind == TextKind::MessageText && HasOneStringConversion(t.native) && !HasOneStringConversion(translation))
        defects.push_back(at + "the translation of " + t.where +
                          " must hold one %s and no other %: the native text is shown instead");
    if (!line.ended && text.size() - kEntryTextStart > static_cast<size_t>(kEntryTailLimit)) {
        defects.push_back(at + "the last line has no line end: only " + Num(kEntryTailLimit) + " bytes of it are read");
        if (WholeChars(text.substr(kEntryTextStart), kEntryTailLimit, fileEncoding) < static_cast<size_t>(kEntryTailLimit))
            defects.push_back(at + "the cut at " + Num(kEntryTailLimit) + " bytes falls inside a character");
    }
    if (!utf8File && TrailStartsEscape(line.raw, RawOffsetOf(line.raw, kEntryTextStart), target.leadBytes))
        defects.push_back(at + "a double-byte character ends in a backslash that the next byte makes an escape; "
                               "write that backslash twice");
    int h = 0, v = 0;
    if (IsSizeEntry(t) && !ParseSizeEntry(translation.c_str(), &h, &v))
        defects.push_back(at + "size entry \"" + translation + "\" is not two whole numbers from " +
                          Num(kMinSizePercent) + " to " + Num(kMaxSizePercent) + " as in \"120*110\": it is ignored");
    if (IsDirectionEntry(t) && translation != "LTR" && translation != "RTL")
        defects.push_back(at + "direction entry \"" + translation + "\" is neither LTR nor RTL: left to right is kept");
}

TableCheck CheckTable(const std::string &file, const std::vector<ProgramText> &texts, const FileCodePage &target)
{
    TableCheck result;
    std::vector<std::string> &defects = result.defects;
    // Texts whose keys collide get one translation, whichever of them the program looks up.
    std::map<std::string, std::vector<const ProgramText *>> byKey;
    for (const ProgramText &t : texts)
        byKey[t.key].push_back(&t);
    for (const ProgramText &t : texts) {
        const std::vector<const ProgramText *> &same = byKey[t.key];
        if (same.size() < 2 || same[0] != &t)
            continue;
        std::string places;
        for (const ProgramText *s : same)
            places += (places.empty() ? "" : "; ") + s->where;
        defects.push_back("key " + t.key + " stands for " + Num(same.size()) + " different texts (" + places +
                          "): they cannot be translated apart");
    }
    std::string table;
    int firstLine = 1;
    if (!LocateTable(file, table, firstLine, defects))
        return result;
    bool utf8File = StartsWithUtf8Mark(file.data(), file.size()) || target.codePage == kUtf8CodePage;

    std::map<std::string, int> found; // key -> line of its first entry
    std::vector<Line> lines = SplitLines(table, firstLine);
    for (size_t n = 1; n < lines.size(); ++n) { // the marker's own line is never an entry
        const Line &line = lines[n];
        if (line.raw.empty() || line.raw[0] == ';')
            continue;
        std::string at = "line " + Num(line.number) + ": ";
        std::string text = Unescape(line.raw);
        bool hexKey = text.size() >= kKeyDigits;
        bool upper = false;
        for (size_t i = 0; hexKey && i < kKeyDigits; ++i) {
            hexKey = IsHex(text[i]);
            upper = upper || (text[i] >= 'A' && text[i] <= 'F');
        }
        if (!hexKey) {
            defects.push_back(at + "not an entry: a line must start with an 8-digit key or \";\"");
            continue;
        }
        std::string key = text.substr(0, kKeyDigits);
        if (upper) {
            defects.push_back(at + "upper-case key " + key + " is never found; keys are lower case");
            continue;
        }
        if (text.size() <= kKeyDigits || text[kKeyDigits] != '=') {
            defects.push_back(at + "missing \"=\" after the key " + key);
            continue;
        }
        if (text.size() < kEntryTextStart || text[kEntryTextStart - 1] != '"') {
            defects.push_back(at + "missing opening double quote after " + key + "=");
            continue;
        }
        auto known = byKey.find(key);
        if (known == byKey.end()) {
            defects.push_back(at + "key " + key + " matches no text of the program");
            continue;
        }
        // Any line the program takes for an entry counts, whatever follows its quote.
        if (found.count(key)) {
            defects.push_back(at + "second entry for key " + key + " (first on line " + Num(found[key]) +
                              "): the program uses the first");
            result.accepted.erase(key);
            continue;
        }
        found[key] = line.number;
        size_t close = text.rfind('"');
        if (close < kEntryTextStart) {
            defects.push_back(at + "missing closing double quote");
            continue;
        }
        size_t before = defects.size();
        size_t length = close - kEntryTextStart;
        CheckTranslation(at, line, text, length, *known->second[0], target, utf8File, defects);
        if (defects.size() == before)
            result.accepted[key] = text.substr(kEntryTextStart, length);
    }
    for (const ProgramText &t : texts)
        if (!found.count(t.key) && byKey[t.key][0] == &t)
            defects.push_back("no entry for " + t.where + " (key " + t.key + ")");
    return result;
}
