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

// The system counts in int: a longer text is refused, a larger buffer used in part.
constexpr size_t kIntMax = 0x7FFFFFFF;
static int Room(size_t size) { return static_cast<int>(size > kIntMax ? kIntMax : size); }

// The start every conversion into out (size units) shares: out emptied, length counted. 1 to
// go on; else the conversion's answer: 0 for the empty text, -1 where nothing fits.
template <typename In, typename Out>
static int Start(const In *text, size_t &length, Out *out, size_t size)
{
    if (size == 0)
        return -1;
    out[0] = 0;
    if (length == kTerminated)
        for (length = 0; text[length] != 0;)
            ++length;
    if (length == 0)
        return 0;
    // Room for no unit would ask the system for the size instead.
    return size == 1 || length > kIntMax ? -1 : 1;
}

// The UTF-16 form of text, strictly: 0 for bytes that are no text of that code page.
static int Widen(UINT from, const char *text, size_t length, WCHAR *out, size_t size)
{
    return MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, text, static_cast<int>(length), out, Room(size));
}

int ConvertWideText(const WCHAR *text, size_t length, UINT to, char *out, size_t size)
{
    int start = Start(text, length, out, size);
    if (start <= 0)
        return start;
    WCHAR *back = new (std::nothrow) WCHAR[length];
    if (!back)
        return -1;
    BOOL lossy = FALSE;
    int wide = static_cast<int>(length);
    int n = WideCharToMultiByte(to, 0, text, wide, out, Room(size - 1), nullptr, TakesFlags(to) ? &lossy : nullptr);
    // The text must come back unchanged, or a character was replaced by a look-alike.
    bool exact = n > 0 && !lossy && MultiByteToWideChar(to, 0, out, n, back, wide) == wide &&
                 memcmp(text, back, length * sizeof(WCHAR)) == 0;
    delete[] back;
    out[exact ? n : 0] = '\0';
    return exact ? n : -1;
}

int ConvertToWide(UINT from, const char *text, size_t length, WCHAR *out, size_t size)
{
    int start = Start(text, length, out, size);
    if (start <= 0)
        return start;
    int n = Widen(from, text, length, out, size - 1);
    out[n > 0 ? n : 0] = L'\0';
    return n > 0 ? n : -1;
}

int ConvertText(UINT from, const char *text, size_t length, UINT to, char *out, size_t size)
{
    int start = Start(text, length, out, size);
    if (start <= 0)
        return start;
    int wideLength = Widen(from, text, length, nullptr, 0);
    WCHAR *wide = wideLength > 0 ? new (std::nothrow) WCHAR[wideLength] : nullptr;
    if (!wide)
        return -1;
    Widen(from, text, length, wide, wideLength);
    int n = ConvertWideText(wide, wideLength, to, out, size);
    delete[] wide;
    return n;
}

int ConvertWideTextLossy(const WCHAR *text, size_t length, UINT to, char *out, size_t size)
{
    int start = Start(text, length, out, size);
    if (start <= 0)
        return start;
    int n = WideCharToMultiByte(to, 0, text, static_cast<int>(length), out, Room(size - 1), nullptr, nullptr);
    out[n > 0 ? n : 0] = '\0';
    return n > 0 ? n : -1;
}
