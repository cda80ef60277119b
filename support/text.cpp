#include "support/text.h"

#include "support/code_pages.h"

#include <windows.h>
#include <string.h>

// IsCharAlphaA reads the byte in the process's code page: in UTF-8 a byte from 0x80 on is no
// whole character, and no letter.
static bool IsAnsiLetter(char c) { return c != '\0' && IsCharAlphaA(c); }

DbcsTable CodePageTable(unsigned codePage)
{
    DbcsTable table = {};
    CPINFO info = {};
    table.multiByte = GetCPInfo(codePage, &info) && info.MaxCharSize > 1;
    for (int v = 0; v < 256; ++v)
        table.lead[v] = IsDBCSLeadByteEx(codePage, static_cast<BYTE>(v)) != FALSE;
    table.utf8 = codePage == CP_UTF8;
    table.isLetter = IsAnsiLetter;
    return table;
}

DbcsTable g_processCodePage = CodePageTable(ProcessCodePage());

char *NextChar(const char *pos) { return const_cast<char *>(pos + g_processCodePage.CharBytes(pos, kTerminated)); }

static const char *Step(const char *pos) { return g_processCodePage.multiByte ? NextChar(pos) : pos + 1; }

// CompareStringA reads its text in the code page of the locale it is given, never in UTF-8:
// a UTF-8 process compares the UTF-16 forms (never the 9x family, whose wide call fails).
// Those take texts of up to a path's size, as every buffer they come from holds.
int CompareNoCase(const char *a, const char *b)
{
    constexpr DWORD kFlags = NORM_IGNORECASE | SORT_STRINGSORT;
    if (!IsUtf8Process())
        return CompareStringA(LOCALE_USER_DEFAULT, kFlags, a, -1, b, -1) - 2;
    WCHAR wideA[kPathSize], wideB[kPathSize];
    if (ConvertToWide(ProcessCodePage(), a, kTerminated, wideA, kPathSize) < 0 ||
        ConvertToWide(ProcessCodePage(), b, kTerminated, wideB, kPathSize) < 0)
        return -2;
    return CompareStringW(LOCALE_USER_DEFAULT, kFlags, wideA, -1, wideB, -1) - 2;
}

char *TrimLineEnd(char *str)
{
    size_t n = strlen(str);
    while (n > 0) {
        char c = str[n - 1];
        if (c != '\r' && c != '\n' && c != ' ' && c != '\t')
            break;
        str[--n] = '\0';
    }
    return str;
}

char *CopyBounded(char *dest, const char *src, size_t size)
{
    if (size == 0)
        return dest;
    size_t i = 0;
    for (; i + 1 < size && src[i] != '\0'; ++i)
        dest[i] = src[i];
    for (; i + 1 < size; ++i)
        dest[i] = '\0';
    dest[size - 1] = '\0';
    return dest;
}

bool AppendBounded(char *dest, const char *src, size_t size)
{
    size_t used = strlen(dest), add = strlen(src);
    if (used + add + 1 > size)
        return false;
    CopyMemory(dest + used, src, add + 1);
    return true;
}

bool JoinBounded(char *dest, size_t size, const char *a, const char *b)
{
    size_t la = strlen(a), lb = strlen(b);
    if (la + lb + 1 > size)
        return false;
    MoveMemory(dest, a, la);
    MoveMemory(dest + la, b, lb + 1);
    return true;
}

void DropTrailingLeadByte(char *str)
{
    size_t n = strlen(str);
    for (size_t i = 0; i < n;) {
        size_t step = g_processCodePage.CharBytes(str + i, n - i);
        if (i + step > n) {
            str[i] = '\0';
            return;
        }
        i += step;
    }
}

bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

bool IsDriveSeparator(char c) { return c == ':'; }

char *FileNamePart(const char *path)
{
    const char *afterSep = nullptr;
    for (const char *p = path; *p != '\0';) {
        const char *next = Step(p);
        if (IsPathSeparator(*p))
            afterSep = next;
        p = next;
    }
    if (afterSep)
        return const_cast<char *>(afterSep);
    if (path[0] == '\0')
        return const_cast<char *>(path);
    if (IsDriveSeparator(path[1]) && g_processCodePage.CharBytes(path, kTerminated) == 1)
        return const_cast<char *>(path + 2);
    return const_cast<char *>(path);
}

char *LastCharPos(const char *str)
{
    const char *last = str;
    for (const char *p = str; *p != '\0'; p = Step(p))
        last = p;
    return const_cast<char *>(last);
}

bool AppendBackslash(char *path, size_t size)
{
    char *last = LastCharPos(path);
    return *last == '\0' || *last == '\\' || AppendBounded(path, "\\", size);
}

bool AppendPathPart(char *path, size_t size, const char *name)
{
    size_t used = strlen(path);
    if (AppendBackslash(path, size) && AppendBounded(path, name, size))
        return true;
    path[used] = '\0';
    return false;
}

void StripFileName(char *path)
{
    char *q = FileNamePart(path);
    ptrdiff_t offset = q - path;
    if (offset >= 2 && (!IsDriveSeparator(path[1]) || offset >= 4))
        --q;
    *q = '\0';
}
