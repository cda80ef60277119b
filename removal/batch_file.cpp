#include "removal/batch_file.h"

#include <new>
#include <string.h>

#include "support/code_pages.h"
#include "support/log.h"
#include "support/private_file.h"
#include "support/program_path.h"
#include "support/text.h"
#include "support/windows_version.h"

// Text of this process in the system's OEM code page, which the interpreter reads a batch file
// in whatever this process uses; exact (no look-alike names another path), or false.
static bool ToOem(char *out, size_t size, const char *text)
{
    UINT from = ProcessCodePage(), to = SystemOemCodePage();
    if (from == to)
        return JoinBounded(out, size, text, "");
    return ConvertText(from, text, kTerminated, to, out, size) >= 0;
}

static bool DoublePercent(char *out, size_t size, const char *text)
{
    size_t w = 0;
    for (const char *p = text; *p != '\0'; ++p) {
        size_t need = *p == '%' ? 2 : 1;
        if (w + need + 1 > size)
            return false;
        out[w++] = *p;
        if (*p == '%')
            out[w++] = '%';
    }
    out[w] = '\0';
    return true;
}

static bool HasPercent(const char *text)
{
    for (; *text != '\0'; ++text)
        if (*text == '%')
            return true;
    return false;
}

bool ToBatchPath(char *out, size_t size, const char *path, const char *variable)
{
    char oem[kPathSize];
    if (ToOem(oem, sizeof oem, path))
        return DoublePercent(out, size, oem);
    // On NT a variable rather than the short name: short names can be switched off per volume,
    // while the variable reaches the interpreter as UTF-16, whole, and a "!" in it stays as the
    // interpreter runs with delayed expansion off. Not for a path holding "%": some interpreters
    // (Wine's) expand a variable's value once more. That path, and any on 9x, whose file systems
    // always keep short names, is named by its short name.
    if (NtMajorVersion() != 0 && !HasPercent(path))
        return SetEnvironmentVariableA(variable, path) && JoinBounded(out, size, "%", variable) &&
               AppendBounded(out, "%", size);
    char shortPath[kPathSize];
    DWORD n = GetShortPathNameA(path, shortPath, sizeof shortPath);
    return n > 0 && n < sizeof shortPath && ToOem(oem, sizeof oem, shortPath) && DoublePercent(out, size, oem);
}

bool ComposeBatch(char *out, size_t size, bool nt, const char *program, const char *folder, const char *batch,
                  bool quiet)
{
    if (size == 0)
        return false;
    out[0] = '\0';
    const char *attempt[] = {"del \"", program, "\"\r\nrd \"", folder, "\"\r\nif not exist \"", program,
                             "\" goto done\r\n"};
    bool ok = AppendBounded(out, nt ? "\"" : "start /wait \"", size) && AppendBounded(out, program, size) &&
              AppendBounded(out, "\" /wait\r\n", size);
    for (int round = 0; round < 5; ++round)
        for (const char *piece : attempt)
            ok = ok && AppendBounded(out, piece, size);
    const char *tail[] = {":done\r\nif exist \"", program, "\" \"", program,
                          quiet ? "\" /quiet /warning\r\ndel \"" : "\" /warning\r\ndel \"", batch, "\""};
    for (const char *piece : tail)
        ok = ok && AppendBounded(out, piece, size);
    return ok;
}

static bool WriteAll(HANDLE file, const char *text)
{
    DWORD size = strlen(text), written = 0;
    return WriteFile(file, text, size, &written, nullptr) && written == size;
}

// The batch text in text (size bytes) for the file at batchPath, which must exist so that its
// short name does.
static bool ComposeFor(char *text, size_t size, const char *batchPath, const char *programPath, bool quiet)
{
    char folder[kPathSize];
    DWORD n = GetCurrentDirectoryA(sizeof folder, folder);
    char program[kBatchPathSize], folderText[kBatchPathSize], batch[kBatchPathSize];
    return n > 0 && n < sizeof folder && ToBatchPath(program, sizeof program, programPath, "QBX_PROGRAM") &&
           ToBatchPath(folderText, sizeof folderText, folder, "QBX_FOLDER") &&
           ToBatchPath(batch, sizeof batch, batchPath, "QBX_BATCH") &&
           ComposeBatch(text, size, NtMajorVersion() != 0, program, folderText, batch, quiet);
}

// Created once and written through that one handle: an existing file or link of the name is
// deleted (never written through), and no other user may change the file until it has run.
static bool WriteBatch(const char *batchPath, const char *programPath, bool quiet)
{
    DeleteFileA(batchPath);
    HANDLE file = CreatePrivateFile(batchPath);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char *text = new (std::nothrow) char[kBatchTextSize];
    bool ok = text && ComposeFor(text, kBatchTextSize, batchPath, programPath, quiet) && WriteAll(file, text);
    delete[] text;
    ok = CloseHandle(file) && ok;
    if (!ok)
        DeleteFileA(batchPath);
    return ok;
}

// Only characters that no interpreter reads as anything but part of a path.
static bool IsPlainPath(const char *text)
{
    for (; *text != '\0'; ++text) {
        char c = *text;
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '\\' ||
                     c == ':' || c == '.' || c == '_' || c == '~' || c == '-';
        if (!plain)
            return false;
    }
    return true;
}

static bool IsAbsolutePath(const char *path)
{
    return (path[0] != '\0' && IsDriveSeparator(path[1]) && path[2] == '\\') || (path[0] == '\\' && path[1] == '\\');
}

bool BatchCommandLine(char *out, size_t size, bool nt, const char *comspec, const char *batchPath)
{
    // The interpreter must be the one named, whatever its folder holds or searching would find.
    if (!IsAbsolutePath(comspec))
        return false;
    for (const char *p = comspec; *p != '\0'; ++p)
        if (*p == '"')
            return false;
    char path[kPathSize];
    if (nt) {
        // "%" is expanded on a command line even inside quotes; the short name may do without.
        if (!JoinBounded(path, sizeof path, batchPath, ""))
            return false;
        if (HasPercent(path)) {
            DWORD got = GetShortPathNameA(batchPath, path, sizeof path);
            if (got == 0 || got >= sizeof path || HasPercent(path))
                return false;
        }
        // With /s the interpreter strips only the outer quotes, so "&", "(" or "^" in the
        // path cannot split the command; /d keeps AutoRun commands out, and /v:off a "!" in a
        // path from being expanded where the registry turns delayed expansion on.
        return JoinBounded(out, size, "\"", comspec) && AppendBounded(out, "\" /d /v:off /s /c \"\"", size) &&
               AppendBounded(out, path, size) && AppendBounded(out, "\"\"", size);
    }
    // The 9x interpreter knows no /s: its quotes are safe only around a plain short name.
    DWORD got = GetShortPathNameA(batchPath, path, sizeof path);
    if (got == 0 || got >= sizeof path || !IsPlainPath(path))
        return false;
    return JoinBounded(out, size, comspec, " /c \"") && AppendBounded(out, path, size) &&
           AppendBounded(out, "\"", size);
}

static bool StartBatch(const char *batchPath)
{
    char comspec[kPathSize] = "";
    DWORD n = GetEnvironmentVariableA("COMSPEC", comspec, sizeof comspec);
    if (n == 0 || n >= sizeof comspec)
        return false;
    bool nt = NtMajorVersion() != 0;
    char command[2 * kPathSize + 32];
    if (!BatchCommandLine(command, sizeof command, nt, comspec, batchPath))
        return false;

    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    HANDLE nul = INVALID_HANDLE_VALUE;
    if (nt) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
    } else {
        nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
    }
    // The interpreter must not hold the program folder as its current directory.
    SetCurrentDirectoryA("..");
    PROCESS_INFORMATION info;
    ZeroMemory(&info, sizeof info);
    // Named as the application too, so that a blank in its path cannot split it.
    BOOL started = CreateProcessA(comspec, command, nullptr, nullptr, TRUE, nt ? 0 : DETACHED_PROCESS, nullptr,
                                  nullptr, &startup, &info);
    if (nul != INVALID_HANDLE_VALUE)
        CloseHandle(nul);
    if (!started)
        return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}

bool WriteAndStartBatch(const char *programPath, bool quiet)
{
    char temp[kPathSize] = "";
    char batchPath[kPathSize];
    if (!TempFolderPath(temp, sizeof temp) || !JoinBounded(batchPath, sizeof batchPath, temp, "Uninstall_Qbx.Bat"))
        return false;
    if (!WriteBatch(batchPath, programPath, quiet))
        return false;
    if (StartBatch(batchPath)) {
        LogLine("batch file %s started", batchPath);
        return true;
    }
    LogChange(FailureError(), "starting %s", batchPath);
    DeleteFileA(batchPath); // never left for anything else to start
    return false;
}
