#include "removal/batch_file.h"

#include <new>

#include "support/platform.h"
#include "support/text.h"

// ANSI text in the OEM code page; false when a character has no OEM form. The text must
// come back unchanged, so that no best-fit substitute ("O" for "\x8C") names another path.
static bool AnsiToOem(char *out, size_t size, const char *text)
{
    if (GetACP() == GetOEMCP())
        return JoinBounded(out, size, text, "");
    WCHAR wide[1024], back[1024];
    int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, wide, 1024);
    if (n == 0)
        return false;
    BOOL lossy = FALSE;
    if (WideCharToMultiByte(CP_OEMCP, 0, wide, -1, out, static_cast<int>(size), nullptr, &lossy) == 0 || lossy)
        return false;
    if (MultiByteToWideChar(CP_OEMCP, 0, out, -1, back, 1024) != n)
        return false;
    for (int i = 0; i < n; ++i)
        if (wide[i] != back[i])
            return false;
    return true;
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

bool ToBatchPath(char *out, size_t size, const char *path)
{
    char oem[1024];
    if (!AnsiToOem(oem, sizeof oem, path)) {
        char shortPath[1024];
        DWORD n = GetShortPathNameA(path, shortPath, sizeof shortPath);
        if (n == 0 || n >= sizeof shortPath || !AnsiToOem(oem, sizeof oem, shortPath))
            return false;
    }
    return DoublePercent(out, size, oem);
}

bool ComposeBatch(char *out, size_t size, bool nt, const char *program, const char *folder, const char *batch)
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
    const char *tail[] = {":done\r\nif exist \"", program, "\" \"", program, "\" /warning\r\ndel \"", batch, "\""};
    for (const char *piece : tail)
        ok = ok && AppendBounded(out, piece, size);
    return ok;
}

// A new file: an existing file or link of that name is deleted, never written through.
static bool WriteNewFile(const char *path, const char *text)
{
    DeleteFileA(path);
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD size = lstrlenA(text), written = 0;
    BOOL ok = WriteFile(file, text, size, &written, nullptr) && written == size;
    return CloseHandle(file) && ok;
}

static bool WriteBatch(const char *batchPath, const char *programPath)
{
    // Created empty first, so that its short name exists when the path needs one.
    if (!WriteNewFile(batchPath, ""))
        return false;
    char folder[1024];
    DWORD n = GetCurrentDirectoryA(sizeof folder, folder);
    char program[kBatchPathSize], folderText[kBatchPathSize], batch[kBatchPathSize];
    char *text = new (std::nothrow) char[kBatchTextSize];
    bool ok = text && n > 0 && n < sizeof folder && ToBatchPath(program, sizeof program, programPath) &&
              ToBatchPath(folderText, sizeof folderText, folder) && ToBatchPath(batch, sizeof batch, batchPath) &&
              ComposeBatch(text, kBatchTextSize, NtMajorVersion() != 0, program, folderText, batch) &&
              WriteNewFile(batchPath, text);
    delete[] text;
    if (!ok)
        DeleteFileA(batchPath);
    return ok;
}

static bool HasPercent(const char *text)
{
    for (; *text != '\0'; ++text)
        if (*text == '%')
            return true;
    return false;
}

static bool StartBatch(const char *batchPath)
{
    // On a command line "%" cannot be escaped inside quotes; the short name may do without.
    char path[1024];
    if (!JoinBounded(path, sizeof path, batchPath, ""))
        return false;
    if (HasPercent(path)) {
        DWORD got = GetShortPathNameA(batchPath, path, sizeof path);
        if (got == 0 || got >= sizeof path || HasPercent(path))
            return false;
    }
    char comspec[1024] = "";
    DWORD n = GetEnvironmentVariableA("COMSPEC", comspec, sizeof comspec);
    char command[2 * 1024 + 16];
    if (n == 0 || n >= sizeof comspec)
        return false;
    // wsprintf stops at 1024 bytes; a cut command line would name another file.
    if (!JoinBounded(command, sizeof command, comspec, " /c \"") || !AppendBounded(command, path, sizeof command) ||
        !AppendBounded(command, "\"", sizeof command))
        return false;

    bool nt = NtMajorVersion() != 0;
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
    BOOL started = CreateProcessA(nullptr, command, nullptr, nullptr, TRUE, nt ? 0 : DETACHED_PROCESS, nullptr,
                                  nullptr, &startup, &info);
    if (nul != INVALID_HANDLE_VALUE)
        CloseHandle(nul);
    if (!started)
        return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}

bool WriteAndStartBatch(const char *programPath)
{
    char temp[1024] = "";
    DWORD n = GetTempPathA(sizeof temp, temp);
    char batchPath[1024];
    if (n == 0 || n >= sizeof temp || !JoinBounded(batchPath, sizeof batchPath, temp, "Uninstall_Qbx.Bat"))
        return false;
    return WriteBatch(batchPath, programPath) && StartBatch(batchPath);
}
