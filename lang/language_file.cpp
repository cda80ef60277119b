#include "lang/language_file.h"

#include "lang/messages.h"
#include "support/file.h"
#include "support/text.h"

#include <algorithm>
#include <new>
#include <string.h>

LanguageResources g_language;

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

void LanguageKey(char key[9], const char *text, const char *context, TextKind kind)
{
    char prefix = static_cast<char>(kind);
    unsigned crc = Crc32(0, &prefix, 1);
    if (context)
        crc = Crc32(crc, context, lstrlenA(context));
    crc = Crc32(crc, text, lstrlenA(text));
    wsprintfA(key, "%08x", crc); // always 8 digits and a terminator
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

void CopyChars(char *out, size_t size, const char *src, size_t n)
{
    if (size == 0)
        return;
    size_t i = 0;
    while (i < n) {
        size_t step = (g_dbcs.multiByte && g_dbcs.lead[static_cast<unsigned char>(src[i])] && i + 1 < n) ? 2 : 1;
        if (i + step > size - 1)
            break;
        i += step;
    }
    MoveMemory(out, src, i);
    out[i] = '\0';
}

// Compares the first 8 bytes of a line with a key as unsigned bytes, stopping at a zero.
static int CompareKey(const char *line, const char *key)
{
    for (int i = 0; i < 8; ++i) {
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
    for (int i = 0; i < 8; ++i)
        if (line[i] != key[i])
            return false;
    return line[8] == '=' && line[9] == '"';
}

static bool ResolveName(char *path, size_t size, const char *fileName)
{
    for (const char *p = fileName; *p != '\0'; p = NextChar(p))
        if (*p == '\\')
            return JoinBounded(path, size, fileName, "");
    char self[1024] = "";
    DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
    if (n == 0 || n >= sizeof self)
        return false;
    char *afterSlash = nullptr;
    for (char *p = self; *p != '\0'; p = NextChar(p))
        if (*p == '\\')
            afterSlash = p + 1;
    if (!afterSlash)
        return false;
    *afterSlash = '\0';
    return JoinBounded(path, size, self, fileName);
}

static bool IsMarkerAt(const char *p) { return memcmp(p, kMarkerBytes, sizeof kMarkerBytes - 1) == 0; }

// Position of the table marker within the search limit, or -1.
static long long FindMarker(File &file)
{
    char buffer[kMarkerReadSize];
    for (int round = 0; round < 64; ++round) {
        long long start = file.Tell();
        int got = file.Read(buffer, sizeof buffer);
        if (got < kMarkerOverlap)
            return -1;
        for (int i = 0; i <= got - kMarkerOverlap; ++i)
            if (IsMarkerAt(buffer + i))
                return start + i;
        file.Seek(start + got - kMarkerOverlap, FILE_BEGIN);
    }
    return -1;
}

bool LanguageResources::ReadTable(const char *path)
{
    File file;
    if (!file.Open(path, false, true))
        return false;
    long long marker = FindMarker(file);
    if (marker < 0 || !file.Seek(marker, FILE_BEGIN))
        return false;
    data = new (std::nothrow) char[kTableTextLimit + 1024];
    if (!data)
        return false;
    int got = file.Read(data, kTableTextLimit);
    length = UnescapeTable(data, got < 0 ? 0 : got);
    BuildIndex();
    return true;
}

void LanguageResources::BuildIndex()
{
    for (int k = 1; k <= length - 9; ++k)
        if (data[k - 1] == kFormFeed && data[k] != kFormFeed)
            index.Append(k);
    const char *text = data;
    std::sort(index.items, index.items + index.count,
              [text](int a, int b) { return CompareKey(text + a, text + b) < 0; });
}

void LanguageResources::DetectDirection()
{
    if (FindResourceA(g_resourceModule, "RTL", MAKEINTRESOURCEA(5))) { // RT_DIALOG
        IsRightToLeft = true;
        return;
    }
    char direction[kDirectionSize];
    Translate(direction, sizeof direction, "LTR", "LTR", TextKind::DialogText);
    IsRightToLeft = memcmp(direction, "RTL", 4) == 0; // byte for byte, terminator included
}

void LanguageResources::Load(const char *fileName)
{
    delete[] data;
    data = nullptr;
    length = 0;
    index.Clear();
    IsRightToLeft = false;
    char path[1024];
    if (ResolveName(path, sizeof path, fileName))
        ReadTable(path);
    DetectDirection();
}

const char *LanguageResources::FindEntry(const char *key) const
{
    int low = 0, high = index.count - 1;
    while (low <= high) {
        int mid = low + (high - low) / 2;
        const char *line = data + index[mid];
        int order = CompareKey(key, line);
        if (order == 0) {
            if (line[8] == '=' && line[9] == '"')
                return line;
            break;
        }
        if (order < 0)
            high = mid - 1;
        else
            low = mid + 1;
    }
    // Not indexed, or a line with the key that is no entry: look at every line in turn.
    for (const char *line = data; *line != '\0';) {
        if (IsEntryFor(line, key))
            return line;
        while (*line != '\0' && *line != kFormFeed)
            ++line;
        while (*line == kFormFeed)
            ++line;
    }
    return nullptr;
}

void LanguageResources::Translate(char *out, size_t outSize, const char *text, const char *context,
                                  TextKind kind) const
{
    const char *entry = nullptr;
    if (data) {
        char key[9];
        LanguageKey(key, text, context, kind);
        entry = FindEntry(key);
    }
    if (!entry) {
        if (out != text)
            CopyChars(out, outSize, text, lstrlenA(text));
        return;
    }
    const char *start = entry + 10;
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
    CopyChars(out, outSize, start, end - start);
}
