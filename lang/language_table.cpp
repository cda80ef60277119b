#include "lang/language_table.h"

#include <string.h>

constexpr char kFormFeed = '\x0C';

// Filled at first use: kept in the program file, the table would add a kilobyte to it.
static unsigned s_crcTable[256];

static const unsigned *CrcTable()
{
    if (s_crcTable[1] == 0) {
        for (unsigned n = 0; n < 256; ++n) {
            unsigned c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            s_crcTable[n] = c;
        }
    }
    return s_crcTable;
}

unsigned Crc32(unsigned crc, const void *data, size_t size)
{
    const unsigned *table = CrcTable();
    const unsigned char *p = static_cast<const unsigned char *>(data);
    crc = ~crc;
    for (size_t i = 0; i < size; ++i)
        crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void LanguageKey(char (&key)[kKeySize], const char *text, const char *context, TextKind kind)
{
    char prefix = static_cast<char>(kind);
    unsigned crc = Crc32(0, &prefix, 1);
    if (context)
        crc = Crc32(crc, context, strlen(context));
    crc = Crc32(crc, text, strlen(text));
    for (size_t i = kKeyDigits; i-- > 0; crc >>= 4)
        key[i] = "0123456789abcdef"[crc & 15];
    key[kKeyDigits] = '\0';
}

int UnescapeTable(char *text, int length)
{
    int w = 0;
    for (int j = 0; j < length && text[j] != '\0';) {
        char c = text[j];
        if (c == '\\' && j + 1 < length) {
            char e = text[j + 1];
            char out = e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e == '"' ? '"' : e == '\\' ? '\\' : 0;
            if (out != 0) {
                text[w++] = out;
                j += 2;
                continue;
            }
        }
        text[w++] = (c == '\r' || c == '\n') ? kFormFeed : c;
        ++j;
    }
    text[w] = '\0';
    return w;
}

void CopyChars(char *out, size_t size, const char *src, size_t n, const DbcsTable &codePage)
{
    if (size == 0)
        return;
    size_t i = 0;
    while (i < n) {
        size_t step = codePage.CharBytes(src + i, n - i);
        if (i + step > n || i + step > size - 1)
            break;
        i += step;
    }
    memmove(out, src, i);
    out[i] = '\0';
}

// Compares a line's first bytes with a key as unsigned bytes, stopping at a zero.
static int CompareKey(const char *line, const char *key)
{
    for (size_t i = 0; i < kKeyDigits; ++i) {
        unsigned char a = static_cast<unsigned char>(line[i]), b = static_cast<unsigned char>(key[i]);
        if (a != b)
            return a < b ? -1 : 1;
        if (a == 0)
            return 0;
    }
    return 0;
}

// A line that starts with the key, "=" and a double quote. The comparison stops at the
// first difference, so a line that ends early is never read past.
static bool IsEntryFor(const char *line, const char *key)
{
    for (size_t i = 0; i < kKeyDigits; ++i)
        if (line[i] != key[i])
            return false;
    return line[kKeyDigits] == '=' && line[kKeyDigits + 1] == '"';
}

void LanguageTable::Clear()
{
    delete[] data;
    data = nullptr;
    length = 0;
    index.Clear();
}

void LanguageTable::Adopt(char *text, int count)
{
    data = text;
    length = UnescapeTable(data, count < 0 ? 0 : count);
    BuildIndex();
}

// Key order, and file order among lines of one key, so that of two entries with one key the
// first is found.
static bool IndexBefore(const char *text, int a, int b)
{
    int order = CompareKey(text + a, text + b);
    return order < 0 || (order == 0 && a < b);
}

// A Shell sort: the library's sort would add the better part of a kilobyte to the program.
void LanguageTable::BuildIndex()
{
    for (int k = 1; k <= length - static_cast<int>(kKeyDigits + 1); ++k) // a key and the byte after it
        if (data[k - 1] == kFormFeed && data[k] != kFormFeed)
            index.Append(k);
    int *items = index.items, count = index.count, gap = 1;
    while (gap < count / 3)
        gap = gap * 3 + 1;
    for (; gap > 0; gap /= 3)
        for (int i = gap; i < count; ++i) {
            int line = items[i], j = i;
            for (; j >= gap && IndexBefore(data, line, items[j - gap]); j -= gap)
                items[j] = items[j - gap];
            items[j] = line;
        }
}

const char *LanguageTable::FindEntry(const char key[kKeySize]) const
{
    // The first line is the only one the index leaves out that is long enough for an entry.
    if (IsEntryFor(data, key))
        return data;
    int low = 0, high = index.count;
    while (low < high) {
        int mid = low + (high - low) / 2;
        if (CompareKey(data + index[mid], key) < 0)
            low = mid + 1;
        else
            high = mid;
    }
    // Lines with the key in file order; one of them may be no entry.
    for (; low < index.count && CompareKey(key, data + index[low]) == 0; ++low)
        if (IsEntryFor(data + index[low], key))
            return data + index[low];
    return nullptr;
}

void LanguageTable::CopyTranslation(char *out, size_t outSize, const char *entry) const
{
    const char *start = entry + kEntryTextStart;
    const char *end = start;
    while (*end != '\0' && *end != kFormFeed)
        ++end;
    if (*end == kFormFeed)
        ++end; // the line end is copied too, and dropped by the cut at the closing quote
    else if (end - start > kEntryTailLimit)
        end = start + kEntryTailLimit;
    for (const char *p = end; p > start; --p)
        if (p[-1] == '"') {
            end = p - 1;
            break;
        }
    CopyChars(out, outSize, start, end - start, codePage);
}

void LanguageTable::Translate(char *out, size_t outSize, const char *text, const char *context,
                              TextKind kind) const
{
    const char *entry = nullptr;
    if (data) {
        char key[kKeySize];
        LanguageKey(key, text, context, kind);
        entry = FindEntry(key);
    }
    if (entry)
        CopyTranslation(out, outSize, entry);
    else if (out != text)
        CopyChars(out, outSize, text, strlen(text), codePage);
}
