#include "common/test_util.h"

#include <vector>

std::wstring Wide(const char *utf8)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &w[0], n);
    w.resize(n > 0 ? n - 1 : 0);
    return w;
}

std::string Acp(const char *utf8)
{
    std::wstring w = Wide(utf8);
    int n = WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, &s[0], n, nullptr, nullptr);
    s.resize(n > 0 ? n - 1 : 0);
    return s;
}

static std::string EnvOr(const char *name, const char *fallback)
{
    char buf[2048];
    DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
    return n > 0 && n < sizeof buf ? std::string(buf) : std::string(fallback);
}

std::string BuildDir() { return EnvOr("QBX_BUILD_WIN", "."); }
std::string SourceDir() { return EnvOr("QBX_SOURCE_WIN", "."); }
bool IsWow64Run() { return EnvOr("QBX_ARCH", "") == "win64"; }
// Windows honours the manifest's UTF-8 code page from Windows 10 version 1903 on, Wine on every
// version it emulates: the older ones run the build without that element, as they would run the
// program itself.
std::string ProgramPath()
{
    bool utf8 = EnvOr("QBX_VERSION", "") == "win10";
    return JoinPath(BuildDir(), utf8 ? "uninstall.exe" : "uninstall_legacy.exe");
}

std::string JoinPath(const std::string &folder, const std::string &name)
{
    if (folder.empty() || folder.back() == '\\')
        return folder + name;
    return folder + "\\" + name;
}

bool Exists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WaitUntilGone(const std::string &path, DWORD timeoutMs)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(200))
        if (!Exists(path))
            return true;
    return !Exists(path);
}

bool WriteFileBytes(const std::string &path, const std::string &bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
    return ok && written == bytes.size();
}

std::string ReadFileBytes(const std::string &path)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::string();
    std::string s;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0)
        s.append(buf, got);
    CloseHandle(h);
    return s;
}

bool CopyFileTo(const std::string &from, const std::string &to)
{
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE;
}

void RemoveTree(const std::string &path)
{
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA(JoinPath(path, "*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = JoinPath(path, name);
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                RemoveDirectoryA(child.c_str()); // the link, never what it points to
            else if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

// The Unix path of a path on C: of the test prefix.
static std::string UnixPath(const std::string &path)
{
    std::string out = EnvOr("QBX_PREFIX_UNIX", "") + "/drive_c/";
    for (char c : path.substr(3))
        out += c == '\\' ? '/' : c;
    return out;
}

bool MakeFolderLink(const std::string &link, const std::string &target)
{
    std::string command = "/bin/ln -s \"" + UnixPath(target) + "\" \"" + UnixPath(link) + "\"";
    // Wine starts a Linux program without a handle to wait on: poll for the link.
    HANDLE process = StartProcess(command);
    if (process)
        CloseHandle(process);
    for (DWORD start = GetTickCount(); GetTickCount() - start < 20000; Sleep(100))
        if (Exists(link))
            return true;
    return false;
}

bool RemoveFolderLink(const std::string &link)
{
    HANDLE process = StartProcess("/bin/rm \"" + UnixPath(link) + "\"");
    if (process)
        CloseHandle(process);
    for (DWORD start = GetTickCount(); GetTickCount() - start < 20000; Sleep(100))
        if (!Exists(link))
            return true;
    return false;
}

TempDir::TempDir(const char *name)
{
    CreateDirectoryA("C:\\qbxtests", nullptr);
    path_ = JoinPath("C:\\qbxtests", name);
    RemoveTree(path_);
    CreateDirectoryA(path_.c_str(), nullptr);
}

TempDir::~TempDir() { RemoveTree(path_); }

static std::string EnvName(const std::string &entry)
{
    std::string name = entry.substr(0, entry.find('=', 1));
    CharUpperA(&name[0]);
    return name;
}

// The process's environment with the "\n"-separated entries of extra put in place of any
// entries of the same names, as a block for CreateProcess.
static std::vector<char> EnvironmentWith(const char *extra)
{
    std::vector<std::string> added;
    for (std::string rest = extra; !rest.empty();) {
        size_t end = rest.find('\n');
        added.push_back(rest.substr(0, end));
        rest = end == std::string::npos ? "" : rest.substr(end + 1);
    }
    std::vector<char> env;
    char *block = GetEnvironmentStringsA();
    for (const char *p = block; *p; p += lstrlenA(p) + 1) {
        bool replaced = false;
        for (const std::string &entry : added)
            replaced = replaced || EnvName(entry) == EnvName(p);
        if (!replaced)
            env.insert(env.end(), p, p + lstrlenA(p) + 1);
    }
    FreeEnvironmentStringsA(block);
    for (const std::string &entry : added)
        env.insert(env.end(), entry.c_str(), entry.c_str() + entry.size() + 1);
    env.push_back('\0');
    return env;
}

HANDLE StartProcess(const std::string &commandLine, const std::string &folder, const char *extraEnv)
{
    std::vector<char> env;
    if (extraEnv)
        env = EnvironmentWith(extraEnv);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, extraEnv ? env.data() : nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &si, &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

int WaitExit(HANDLE process, DWORD timeoutMs)
{
    if (!process)
        return -2;
    int code = -1;
    if (WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0) {
        DWORD exitCode = 0;
        GetExitCodeProcess(process, &exitCode);
        code = static_cast<int>(exitCode);
    } else {
        TerminateProcess(process, 99);
    }
    CloseHandle(process);
    return code;
}

int RunProcess(const std::string &commandLine, const std::string &folder, DWORD timeoutMs)
{
    return WaitExit(StartProcess(commandLine, folder), timeoutMs);
}

int RunProcessW(const std::wstring &commandLine, DWORD timeoutMs)
{
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::wstring cmd = commandLine;
    if (!CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -2;
    CloseHandle(pi.hThread);
    return WaitExit(pi.hProcess, timeoutMs);
}

DWORD WINAPI NoShortNames(const WCHAR *path, WCHAR *out, DWORD size)
{
    lstrcpynW(out, path, static_cast<int>(size));
    return static_cast<DWORD>(lstrlenW(out));
}

std::string FromWide(const std::wstring &text, UINT codePage)
{
    int n = WideCharToMultiByte(codePage, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(codePage, 0, text.c_str(), -1, &s[0], n, nullptr, nullptr);
    s.resize(n > 0 ? n - 1 : 0);
    return s;
}

std::string NamedPath(const std::wstring &path)
{
    std::string whole = FromWide(path);
    WCHAR back[MAX_PATH] = L"", shortForm[MAX_PATH] = L"";
    MultiByteToWideChar(CP_ACP, 0, whole.c_str(), -1, back, MAX_PATH);
    if (path == back)
        return whole;
    GetShortPathNameW(path.c_str(), shortForm, MAX_PATH);
    return FromWide(shortForm);
}
