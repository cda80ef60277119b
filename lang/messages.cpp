#include "lang/messages.h"

#include "lang/language_file.h"
#include "support/program_path.h"
#include "support/text.h"
#include "support/windows_version.h"

#include <string.h>

HMODULE g_resourceModule = nullptr;
HMODULE g_programModule = nullptr;
ExtResource g_extResource;

static char s_ring[kMsgRing][kMsgBufferSize];
static int s_ringPos = 0;

void ExtResource::Load(HMODULE program, const char *folderOf)
{
    Unload();
    char path[kPathSize] = "";
    if (folderOf) {
        CopyBounded(path, folderOf, sizeof path);
        *FileNamePart(path) = '\0';
        if (path[0] == '\0' || !AppendBounded(path, "qbxlng.dll", sizeof path))
            path[0] = '\0';
    } else {
        ProgramFilePath("qbxlng.dll", path, sizeof path); // empty when the folder cannot be named
    }
    HMODULE module = path[0] != '\0' ? LoadLibraryA(path) : nullptr;
    g_programModule = program;
    g_resourceModule = module ? module : program;
    loaded = module != nullptr;
}

void ExtResource::Unload()
{
    if (!loaded)
        return;
    FreeLibrary(g_resourceModule);
    g_resourceModule = g_programModule;
    loaded = false;
}

HRSRC FindDialogResource(const char *name)
{
    return FindResourceA(g_resourceModule, name, MAKEINTRESOURCEA(5)); // RT_DIALOG
}

static char *NextRingBuffer()
{
    s_ringPos = (s_ringPos + 1) % kMsgRing;
    char *buf = s_ring[s_ringPos];
    buf[0] = '\0';
    return buf;
}

// The program's own text, translated. The key comes from the text in UTF-16 where the NT
// family gives it: in a code page that cannot hold the native letters the narrow text has
// lost them. 9x keys the narrow text.
static void LoadTranslated(int id, char *buf, int size)
{
    LoadStringA(g_programModule, id, buf, size);
    WCHAR wide[kMsgBufferSize];
    bool hasWide = NtMajorVersion() != 0 && LoadStringW(g_programModule, id, wide, kMsgBufferSize) > 0;
    g_language.Find(buf, size, kMsgSize, buf, hasWide ? wide : nullptr, nullptr, TextKind::MessageText);
}

const char *GetMsg(int id)
{
    char *buf = NextRingBuffer();
    if (g_language.IsLoaded())
        LoadTranslated(id, buf, kMsgBufferSize);
    else if (LoadStringA(g_resourceModule, id, buf, kMsgBufferSize) == 0)
        LoadStringA(g_programModule, id, buf, kMsgBufferSize);
    return buf;
}

bool IsWebAddress(const char *text)
{
    if (!StartsWithAsciiNoCase(text, "http://") && !StartsWithAsciiNoCase(text, "https://"))
        return false;
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p != '\0'; ++p)
        if (*p <= ' ' || *p == 0x7F || *p == '"')
            return false;
    return true;
}

const char *GetWebAddressMsg(int id)
{
    const char *text = GetMsg(id);
    if (IsWebAddress(text))
        return text;
    char *own = NextRingBuffer();
    LoadStringA(g_programModule, id, own, kMsgBufferSize);
    return own;
}

bool IsMsgTranslated(int id)
{
    if (!g_language.IsLoaded())
        return false;
    char native[kMsgBufferSize] = "";
    LoadStringA(g_programModule, id, native, kMsgBufferSize);
    return strcmp(GetMsg(id), native) != 0;
}

bool GetResourceMsgW(int id, WCHAR *out, int size)
{
    if (size <= 0)
        return false;
    out[0] = L'\0';
    // With a language file the texts it translates are the program's own.
    if (!g_language.IsLoaded() && LoadStringW(g_resourceModule, id, out, size) > 0)
        return true;
    return LoadStringW(g_programModule, id, out, size) > 0;
}

// True when text holds exactly one "%s" and no other '%'.
static bool HasSingleStringConversion(const char *text)
{
    int conversions = 0;
    for (const char *p = text; *p != '\0'; p = NextChar(p)) {
        if (*p != '%')
            continue;
        if (p[1] != 's')
            return false;
        ++conversions;
    }
    return conversions == 1;
}

static void ReplaceConversion(char *out, size_t size, const char *format, const char *arg)
{
    if (size == 0)
        return;
    size_t w = 0;
    auto put = [&](const char *s, size_t n) {
        for (size_t i = 0; i < n && w + 1 < size; ++i)
            out[w++] = s[i];
    };
    const char *conv = format;
    while (*conv != '\0' && *conv != '%')
        conv = NextChar(conv);
    put(format, conv - format);
    if (*conv == '%') {
        put(arg, strlen(arg));
        put(conv + 2, strlen(conv + 2));
    }
    out[w] = '\0';
    DropTrailingLeadByte(out);
}

void FormatMsg(char *out, size_t size, int id, const char *arg)
{
    char format[kMsgBufferSize];
    CopyBounded(format, GetMsg(id), sizeof format);
    if (!HasSingleStringConversion(format)) {
        format[0] = '\0';
        LoadStringA(g_programModule, id, format, sizeof format);
    }
    ReplaceConversion(out, size, format, arg);
}
