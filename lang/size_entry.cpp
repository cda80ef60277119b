#include "lang/size_entry.h"

// Reads a whole percentage from 50 to 400 (leading zeros allowed); null when there is none.
static const char *ReadPercent(const char *p, int *value)
{
    int n = 0;
    const char *start = p;
    for (; *p >= '0' && *p <= '9'; ++p)
        if (n <= kMaxSizePercent)
            n = n * 10 + (*p - '0');
    if (p == start || n < kMinSizePercent || n > kMaxSizePercent)
        return nullptr;
    *value = n;
    return p;
}

bool ParseSizeEntry(const char *entry, int *horizontal, int *vertical)
{
    int h = 0, v = 0;
    const char *p = ReadPercent(entry, &h);
    if (!p || *p != '*')
        return false;
    p = ReadPercent(p + 1, &v);
    if (!p || *p != '\0')
        return false;
    *horizontal = h;
    *vertical = v;
    return true;
}
