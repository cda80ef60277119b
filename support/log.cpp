#include "support/log.h"

#include <stdarg.h>
#include <string.h>

#include "support/code_pages.h"
#include "support/file_encoding.h"
#include "support/program_path.h"
#include "support/text.h"

// Null while no log is open: zero-initialised, it takes no room in the file.
static HANDLE s_log = nullptr;

// Room for the text of a line; "..." after a cut always fits behind it.
constexpr int kTextRoom = kLogLineSize - 4;
// Names tried for a new log in a folder before giving up.
constexpr int kLogNames = 100;

// One line as it is formed, in the process's code page.
struct LogText {
    char text[kLogLineSize];
    int used = 0;
    bool cut = false;
};

static void Put(LogText &line, char c)
{
    if (line.used < kTextRoom)
        line.text[line.used++] = c;
    else
        line.cut = true;
}

static void PutText(LogText &line, const char *text)
{
    for (; *text != '\0'; ++text)
        Put(line, *text);
}

// A number as "%ld" or "%lu" writes it: at most 11 bytes.
static void PutNumber(LogText &line, const char *format, unsigned long value)
{
    char digits[16];
    wsprintfA(digits, format, value);
    PutText(line, digits);
}

static void PutFormatted(LogText &line, const char *format, va_list args)
{
    for (const char *p = format; *p != '\0'; ++p) {
        if (*p != '%' || p[1] == '\0') {
            Put(line, *p);
            continue;
        }
        if (*++p == 'l' && p[1] != '\0')
            ++p;
        if (*p == 's') {
            PutText(line, va_arg(args, const char *));
        } else if (*p == 'd' || *p == 'u') {
            PutNumber(line, *p == 'd' ? "%ld" : "%lu", va_arg(args, unsigned long));
        } else {
            Put(line, *p); // "%%"
        }
    }
}

// Text that is not valid in the process's code page, or memory lacking for its conversion:
// each byte beyond ASCII as "\xNN", so that nothing is lost. At most size bytes.
static int Escaped(const char *text, char *out, int size)
{
    int n = 0;
    for (; *text != '\0' && n + 5 <= size; ++text) {
        unsigned char c = static_cast<unsigned char>(*text);
        if (c < 0x80)
            out[n++] = static_cast<char>(c);
        else
            n += wsprintfA(out + n, "\\x%02X", c);
    }
    return n;
}

static void WriteLine(DWORD error, const char *format, va_list args)
{
    if (!s_log)
        return;
    LogText line;
    SYSTEMTIME now;
    GetLocalTime(&now);
    line.used = wsprintfA(line.text, "%04u-%02u-%02u %02u:%02u:%02u.%03u ", now.wYear, now.wMonth, now.wDay,
                          now.wHour, now.wMinute, now.wSecond, now.wMilliseconds); // 24 bytes
    PutFormatted(line, format, args);
    if (error != 0) {
        PutText(line, " failed: error ");
        PutNumber(line, "%lu", error);
    }
    // A cut that splits a character leaves a byte the conversion refuses: it is escaped then.
    line.text[line.used] = '\0';
    if (line.cut)
        AppendBounded(line.text, "...", sizeof line.text); // kTextRoom leaves room for it
    // The line in UTF-8, then CR and LF.
    char utf8[Converted(kLogLineSize) + 2];
    int n = ConvertText(ProcessCodePage(), line.text, kTerminated, kUtf8CodePage, utf8, sizeof utf8 - 2);
    if (n < 0)
        n = Escaped(line.text, utf8, sizeof utf8 - 2);
    utf8[n++] = '\r';
    utf8[n++] = '\n';
    DWORD written = 0;
    WriteFile(s_log, utf8, static_cast<DWORD>(n), &written, nullptr);
}

void LogLine(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    WriteLine(0, format, args);
    va_end(args);
}

void LogChange(DWORD error, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    WriteLine(error, format, args);
    va_end(args);
}

DWORD FailureError()
{
    DWORD error = GetLastError();
    return error != 0 ? error : ERROR_INVALID_DATA;
}

void LogDeletion(bool deleted, const char *what, const char *path)
{
    DWORD error = deleted ? 0 : GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
        LogChange(error, "%s %s deleted", what, path);
}

// CREATE_NEW: never an existing file, nor a link of that name. Others may read it meanwhile.
static bool CreateLog(const char *path)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    s_log = file;
    DWORD written = 0;
    WriteFile(s_log, kUtf8Mark, kUtf8MarkSize, &written, nullptr);
    return true;
}

bool OpenLog(const char *path)
{
    DeleteFileA(path); // a link of that name goes, not its target
    return CreateLog(path);
}

bool OpenNewLog(const char *folder, const char *stem)
{
    char path[kPathSize];
    if (!JoinBounded(path, sizeof path - 8, folder, stem)) // room for "_100.log"
        return false;
    char *suffix = path + strlen(path);
    for (int n = 1; n <= kLogNames; ++n) {
        wsprintfA(suffix, n > 1 ? "_%d.log" : ".log", n);
        if (CreateLog(path))
            return true;
        if (GetLastError() != ERROR_FILE_EXISTS)
            return false;
    }
    return false;
}
