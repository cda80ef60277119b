#include "support/code_pages.h"

#include <new>
#include <string.h>

static UINT LocaleCodePage(LCTYPE type, UINT fallback)
{
    char digits[8] = "";
    if (GetLocaleInfoA(LOCALE_SYSTEM_DEFAULT, type, digits, sizeof digits) == 0)
        return fallback;
    UINT value = 0;
    for (const char *p = digits; *p >= '0' && *p <= '9'; ++p)
        value = value * 10 + static_cast<UINT>(*p - '0');
    return value != 0 ? value : fallback;
}

UINT ProcessCodePage() { return GetACP(); }

UINT SystemAnsiCodePage() { return LocaleCodePage(LOCALE_IDEFAULTANSICODEPAGE, GetACP()); }

UINT SystemLegacyAnsiCodePage()
{
    constexpr LCTYPE kUseUtf8LegacyAcp = 0x00000666; // LOCALE_IUSEUTF8LEGACYACP, Windows 10 1803 on
    UINT legacy = LocaleCodePage(LOCALE_IDEFAULTANSICODEPAGE | kUseUtf8LegacyAcp, 0);
    return legacy != 0 && legacy != CP_UTF8 ? legacy : SystemAnsiCodePage();
}

UINT SystemOemCodePage() { return LocaleCodePage(LOCALE_IDEFAULTCODEPAGE, GetOEMCP()); }

// UTF-8 and UTF-7 take neither flags nor a default-character answer.
static bool TakesFlags(UINT codePage) { return codePage != CP_UTF8 && codePage != CP_UTF7; }

int ConvertWideText(const WCHAR *text, int length, UINT to, char *out, int size)
{
    if (size <= 0)
        return -1;
    out[0] = '\0';
    if (length < 0) {
        length = 0;
        while (text[length] != L'\0')
            ++length;
    }
    if (length == 0)
        return 0;
    WCHAR *back = new (std::nothrow) WCHAR[length];
    if (!back)
        return -1;
    BOOL lossy = FALSE;
    int n = WideCharToMultiByte(to, 0, text, length, out, size - 1, nullptr, TakesFlags(to) ? &lossy : nullptr);
    // The text must come back unchanged, or a character was replaced by a look-alike.
    bool exact = n > 0 && !lossy && MultiByteToWideChar(to, 0, out, n, back, length) == length &&
                 memcmp(text, back, length * sizeof(WCHAR)) == 0;
    delete[] back;
    out[exact ? n : 0] = '\0';
    return exact ? n : -1;
}

int ConvertText(UINT from, const char *text, int length, UINT to, char *out, int size)
{
    if (size <= 0)
        return -1;
    out[0] = '\0';
    if (length < 0)
        length = static_cast<int>(strlen(text));
    if (length == 0)
        return 0;
    int wideLength = MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, text, length, nullptr, 0);
    WCHAR *wide = wideLength > 0 ? new (std::nothrow) WCHAR[wideLength] : nullptr;
    if (!wide)
        return -1;
    MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, text, length, wide, wideLength);
    int n = ConvertWideText(wide, wideLength, to, out, size);
    delete[] wide;
    return n;
}

int ConvertToWide(UINT from, const char *text, int length, WCHAR *out, int size)
{
    if (size <= 0)
        return -1;
    out[0] = L'\0';
    if (length < 0)
        length = static_cast<int>(strlen(text));
    if (length == 0)
        return 0;
    int n = MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, text, length, out, size - 1);
    out[n > 0 ? n : 0] = L'\0';
    return n > 0 ? n : -1;
}
