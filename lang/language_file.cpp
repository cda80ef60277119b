#include "lang/language_file.h"

#include "lang/messages.h"
#include "support/code_pages.h"
#include "support/file.h"
#include "support/file_encoding.h"
#include "support/program_path.h"
#include "support/text.h"

#include <new>
#include <string.h>

// The longest native text looked up: a window text in UTF-8.
constexpr size_t kNativeTextSize = Converted(kWindowTextSize);

LanguageResources::LanguageResources() : fileBytes(), table(fileBytes) {}

LanguageResources g_language;


static bool ResolveName(char *path, size_t size, const char *fileName)
{
    for (const char *p = fileName; *p != '\0'; p = NextChar(p))
        if (*p == '\\')
            return JoinBounded(path, size, fileName, "");
    return ProgramFilePath(fileName, path, size);
}

// Position of the table marker within the search limit, or -1; tells whether the file begins
// with the UTF-8 byte-order mark.
static long long FindMarker(File &file, bool *utf8Mark)
{
    char buffer[kMarkerReadSize];
    for (int round = 0; round < 64; ++round) {
        long long start = file.Tell();
        int got = file.Read(buffer, sizeof buffer);
        if (got < kMarkerOverlap)
            return -1;
        if (round == 0)
            *utf8Mark = StartsWithUtf8Mark(buffer, static_cast<size_t>(got));
        int at = MarkerOffset(buffer, got);
        if (at >= 0)
            return start + at;
        file.Seek(start + got - kMarkerOverlap, FILE_BEGIN);
    }
    return -1;
}

bool LanguageResources::ReadTable(const char *path)
{
    File file;
    if (!file.Open(path, File::kReadOnly, File::kShareReadWrite))
        return false;
    bool utf8Mark = false;
    long long marker = FindMarker(file, &utf8Mark);
    if (marker < 0 || !file.Seek(marker, FILE_BEGIN))
        return false;
    char *text = new (std::nothrow) char[kTableTextLimit + 1]; // and the terminator
    if (!text)
        return false;
    int count = file.Read(text, kTableTextLimit);
    // A read that stopped at the limit may have stopped inside a character.
    fileCodePage = DetectCodePage(utf8Mark, text, count > 0 ? static_cast<size_t>(count) : 0,
                                  count == kTableTextLimit ? TextEnd::Prefix : TextEnd::File, SystemAnsiCodePage(),
                                  SystemLegacyAnsiCodePage());
    fileBytes = CodePageTable(fileCodePage);
    table.Adopt(text, count);
    return true;
}

// The native text's bytes in codePage: the text itself in the process's code page; else
// converted from UTF-16 into out (size bytes) as the translator's kit converts the program's
// texts (a character the code page lacks becomes its default character, as in the kit's
// keys). Null when they do not fit.
static const char *NativeBytes(UINT codePage, const char *text, const WCHAR *wide, char *out, size_t size)
{
    if (codePage == ProcessCodePage())
        return text;
    WCHAR own[kNativeTextSize];
    if (!wide && ConvertToWide(ProcessCodePage(), text, kTerminated, own, kNativeTextSize) >= 0)
        wide = own;
    return wide && ConvertWideTextLossy(wide, kTerminated, codePage, out, size) >= 0 ? out : nullptr;
}

bool LanguageResources::Find(char *out, size_t outSize, size_t limit, const char *text, const WCHAR *wide,
                             const char *context, TextKind kind) const
{
    if (!table.IsLoaded() || outSize == 0)
        return false;
    const char *entry = nullptr;
    for (UINT codePage : keyCodePages) {
        char converted[kNativeTextSize];
        const char *bytes = entry || codePage == 0 ? nullptr : NativeBytes(codePage, text, wide, converted, sizeof converted);
        if (!bytes)
            continue;
        char key[kKeySize];
        LanguageKey(key, bytes, context, kind);
        entry = table.FindEntry(key);
    }
    if (!entry)
        return false;
    char cut[kWindowTextSize];
    table.CopyTranslation(cut, limit < sizeof cut ? limit : sizeof cut, entry);
    // In one code page but UTF-8 the bytes are taken as they are, as they always were; UTF-8
    // is checked, and another code page converted.
    const char *result = cut;
    char converted[Converted(kWindowTextSize)];
    UINT process = ProcessCodePage();
    if (fileCodePage != process || fileCodePage == CP_UTF8) {
        if (ConvertText(fileCodePage, cut, kTerminated, process, converted, sizeof converted) < 0)
            return false; // a translation the process cannot show is no translation
        result = converted;
    }
    CopyChars(out, outSize, result, strlen(result), g_processCodePage);
    return true;
}

void LanguageResources::Translate(char *out, size_t outSize, const char *text, const char *context,
                                  TextKind kind) const
{
    if (!Find(out, outSize, outSize, text, nullptr, context, kind) && out != text)
        CopyChars(out, outSize, text, strlen(text), g_processCodePage);
}

bool LanguageResources::FindSizeEntry(char *out, size_t outSize, const char *dialogName) const
{
    return Find(out, outSize, kSizeEntrySize, "", nullptr, dialogName, TextKind::DialogText);
}

bool LanguageResources::FindDirectionEntry(char *out, size_t outSize) const
{
    return Find(out, outSize, kDirectionSize, "LTR", nullptr, "LTR", TextKind::DialogText);
}

void LanguageResources::DetectDirection()
{
    if (FindDialogResource("RTL")) {
        IsRightToLeft = true;
        return;
    }
    char direction[Converted(kDirectionSize)];
    IsRightToLeft = FindDirectionEntry(direction, sizeof direction) &&
                    memcmp(direction, "RTL", 4) == 0; // byte for byte, terminator included
}

void LanguageResources::Load(const char *fileName)
{
    table.Clear();
    IsRightToLeft = false;
    // The native code page first; the legacy one for files made for it, and alone where the
    // native one is not installed (no text converts to it then).
    UINT legacy = SystemLegacyAnsiCodePage();
    keyCodePages[0] = kNativeCodePage;
    keyCodePages[1] = legacy != kNativeCodePage ? legacy : 0;
    char path[kPathSize];
    if (ResolveName(path, sizeof path, fileName))
        ReadTable(path);
    DetectDirection();
}
