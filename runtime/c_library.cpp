// The few C library functions the program and the compiler's code call, for the program
// alone (the test programs keep the C runtime's). They sit on the process heap like the
// allocation operators. With link-time optimisation, ld 2.40 crashes when a function is
// first resolved from msvcrt.dll's import library after the optimised code is generated,
// so every one the program needs is defined here.
#include <windows.h>

// Loops written out must not be turned back into calls of these same functions.
#define QBX_LIBRARY_FUNCTION extern "C" __attribute__((used, optimize("no-tree-loop-distribute-patterns")))

QBX_LIBRARY_FUNCTION void *memcpy(void *dest, const void *src, size_t n)
{
    auto *d = static_cast<unsigned char *>(dest);
    auto *s = static_cast<const unsigned char *>(src);
    while (n-- > 0)
        *d++ = *s++;
    return dest;
}

QBX_LIBRARY_FUNCTION void *memmove(void *dest, const void *src, size_t n)
{
    auto *d = static_cast<unsigned char *>(dest);
    auto *s = static_cast<const unsigned char *>(src);
    if (d <= s || d >= s + n)
        return memcpy(dest, src, n);
    while (n-- > 0) // overlapping with the source first: copy from the end
        d[n] = s[n];
    return dest;
}

QBX_LIBRARY_FUNCTION void *memset(void *dest, int value, size_t n)
{
    auto *d = static_cast<unsigned char *>(dest);
    while (n-- > 0)
        *d++ = static_cast<unsigned char>(value);
    return dest;
}

QBX_LIBRARY_FUNCTION int memcmp(const void *a, const void *b, size_t n)
{
    auto *x = static_cast<const unsigned char *>(a);
    auto *y = static_cast<const unsigned char *>(b);
    for (; n > 0; --n, ++x, ++y) {
        if (*x != *y)
            return *x < *y ? -1 : 1;
    }
    return 0;
}

QBX_LIBRARY_FUNCTION size_t strlen(const char *text)
{
    size_t n = 0;
    while (text[n] != '\0')
        ++n;
    return n;
}

QBX_LIBRARY_FUNCTION int strcmp(const char *a, const char *b)
{
    for (; *a != '\0' && *a == *b; ++a, ++b) {
    }
    unsigned char x = static_cast<unsigned char>(*a), y = static_cast<unsigned char>(*b);
    return x == y ? 0 : x < y ? -1 : 1;
}

QBX_LIBRARY_FUNCTION char *strchr(const char *text, int c)
{
    for (;; ++text) {
        if (*text == static_cast<char>(c))
            return const_cast<char *>(text);
        if (*text == '\0')
            return nullptr;
    }
}

QBX_LIBRARY_FUNCTION void *realloc(void *block, size_t size)
{
    if (size == 0)
        size = 1;
    if (!block)
        return HeapAlloc(GetProcessHeap(), 0, size);
    return HeapReAlloc(GetProcessHeap(), 0, block, size);
}

QBX_LIBRARY_FUNCTION void free(void *block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}
