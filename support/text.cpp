#include "support/text.h"

#include <windows.h>
#include <string.h>

static bool IsAnsiLetter(char c) { return c != '\0' && IsCharAlphaA(c); }

static DbcsTable SystemTable()
{
    DbcsTable table;
    CPINFO info = {};
    table.multiByte = GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1;
    for (int v = 0; v < 256; ++v)
        table.lead[v] = IsDBCSLeadByte(static_cast<BYTE>(v)) != FALSE;
    table.isLetter = IsAnsiLetter;
    return table;
}

DbcsTable g_dbcs = SystemTable();

static bool IsLead(char c) { return g_dbcs.lead[static_cast<unsigned char>(c)]; }

char *NextChar(const char *pos)
{
    if (IsLead(*pos) && pos[1] != '\0')
        return const_cast<char *>(pos + 2);
    return const_cast<char *>(pos + 1);
}

static const char *Step(const char *pos) { return g_dbcs.multiByte ? NextChar(pos) : pos + 1; }

int CompareNoCase(const char *a, const char *b)
{
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE | SORT_STRINGSORT, a, -1, b, -1) - 2;
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
    if (!g_dbcs.multiByte)
        return;
    char *last = LastCharPos(str);
    if (IsLead(*last) && last[1] == '\0')
        *last = '\0';
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
    if (IsDriveSeparator(path[1]) && !(g_dbcs.multiByte && IsLead(path[0])))
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

void AppendBackslash(char *path)
{
    char *last = LastCharPos(path);
    if (*last == '\0' || *last == '\\')
        return;
    size_t n = strlen(path);
    path[n] = '\\';
    path[n + 1] = '\0';
}

void StripFileName(char *path)
{
    char *q = FileNamePart(path);
    ptrdiff_t offset = q - path;
    if (offset >= 2 && (!IsDriveSeparator(path[1]) || offset >= 4))
        --q;
    *q = '\0';
}
