#include "lang/size_entry.h"

bool ParseSizeEntry(const char *entry, int *horizontal, int *vertical)
{
    int percent[2];
    const char *p = entry;
    for (int k = 0; k < 2; ++k, ++p) {
        const char *digits = p;
        int n = 0;
        for (; *p >= '0' && *p <= '9'; ++p)
            if (n <= kMaxSizePercent) // leading zeros allowed; larger values stay too large
                n = n * 10 + (*p - '0');
        if (p == digits || n < kMinSizePercent || n > kMaxSizePercent || *p != (k == 0 ? '*' : '\0'))
            return false;
        percent[k] = n;
    }
    *horizontal = percent[0];
    *vertical = percent[1];
    return true;
}
