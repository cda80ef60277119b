// Helpers shared by the test programs: code-page texts, paths, folders and processes.
#pragma once

#include <windows.h>

#include <string>

// UTF-8 source text in the ANSI code page of the run.
std::string Acp(const char *utf8);
std::wstring Wide(const char *utf8);
// UTF-16 text in a code page (the ANSI code page of the run unless named).
std::string FromWide(const std::wstring &text, UINT codePage = CP_ACP);
inline std::string Acp(const char8_t *utf8) { return Acp(reinterpret_cast<const char *>(utf8)); }
inline std::wstring Wide(const char8_t *utf8) { return Wide(reinterpret_cast<const char *>(utf8)); }
// Windows path of the build folder and of the source tree (set by the test runner).
std::string BuildDir();
std::string SourceDir();
// True when the run's prefix is 64-bit Windows.
bool IsWow64Run();
// The built program as the emulated Windows runs it: a UTF-8 process on Windows 10 only.
std::string ProgramPath();
std::string JoinPath(const std::string &folder, const std::string &name);

bool Exists(const std::string &path);
// Polls until nothing of that name exists; false when it is still there at the time-out.
bool WaitUntilGone(const std::string &path, DWORD timeoutMs = 30000);
bool WriteFileBytes(const std::string &path, const std::string &bytes);
std::string ReadFileBytes(const std::string &path);
bool CopyFileTo(const std::string &from, const std::string &to);
// Deletes a folder with everything in it (read-only attributes cleared first).
void RemoveTree(const std::string &path);
// Makes link (a path on C:) a Unix symbolic link to target (a folder on C:), the one kind of
// link Wine 8 reports as a reparse point; false when it did not appear.
bool MakeFolderLink(const std::string &link, const std::string &target);
// Removes such a link and never its target, which Wine's RemoveDirectory would remove.
bool RemoveFolderLink(const std::string &link);

// A fresh, empty folder below C:\qbxtests, removed with its contents at the end.
class TempDir {
public:
    explicit TempDir(const char *name);
    ~TempDir();
    const std::string &path() const { return path_; }
    std::string operator/(const std::string &name) const { return JoinPath(path_, name); }

private:
    std::string path_;
};

// Starts a command line (optionally in a folder, with "NAME=value" environment entries,
// separated by "\n", in place of those of the same names); returns the process handle or null.
HANDLE StartProcess(const std::string &commandLine, const std::string &folder = "",
                    const char *extraEnv = nullptr);
// Waits for the process and returns its exit code, or -1 on time-out (the process is killed).
int WaitExit(HANDLE process, DWORD timeoutMs = 60000);
int RunProcess(const std::string &commandLine, const std::string &folder = "", DWORD timeoutMs = 60000);
// As RunProcess, for a command line the code page of the run may not hold.
int RunProcessW(const std::wstring &commandLine, DWORD timeoutMs = 60000);
// A short-name look-up as on a volume without short names: the path comes back as it is.
DWORD WINAPI NoShortNames(const WCHAR *path, WCHAR *out, DWORD size);
// A path in the code page of the run as a program there reads it: as it is where the code page
// holds it, else its short (8.3) form.
std::string NamedPath(const std::wstring &path);
