#include "lang/language_file.h"

#include "lang/messages.h"
#include "support/file.h"
#include "support/program_path.h"
#include "support/text.h"

#include <new>
#include <string.h>

LanguageResources::LanguageResources() : table(g_dbcs) {}

LanguageResources g_language;


static bool ResolveName(char *path, size_t size, const char *fileName)
{
    for (const char *p = fileName; *p != '\0'; p = NextChar(p))
        if (*p == '\\')
            return JoinBounded(path, size, fileName, "");
    return ProgramFilePath(fileName, path, size);
}

// Position of the table marker within the search limit, or -1.
static long long FindMarker(File &file)
{
    char buffer[kMarkerReadSize];
    for (int round = 0; round < 64; ++round) {
        long long start = file.Tell();
        int got = file.Read(buffer, sizeof buffer);
        if (got < kMarkerOverlap)
            return -1;
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
    if (!file.Open(path, false, true))
        return false;
    long long marker = FindMarker(file);
    if (marker < 0 || !file.Seek(marker, FILE_BEGIN))
        return false;
    char *text = new (std::nothrow) char[kTableTextLimit + 1024];
    if (!text)
        return false;
    table.Adopt(text, file.Read(text, kTableTextLimit));
    return true;
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
    table.Clear();
    IsRightToLeft = false;
    char path[1024];
    if (ResolveName(path, sizeof path, fileName))
        ReadTable(path);
    DetectDirection();
}
