// time_run.exe COMMAND-LINE: starts the command, waits for its process to end and prints the
// milliseconds between on standard error, so the start of Wine itself is not counted.
#include <windows.h>

#include <cstdio>

int main()
{
    const char *cmd = GetCommandLineA();
    // Skip this program's own name, quoted or not.
    if (*cmd == '"') {
        for (++cmd; *cmd && *cmd != '"'; ++cmd) {
        }
        if (*cmd)
            ++cmd;
    } else {
        while (*cmd && *cmd != ' ')
            ++cmd;
    }
    while (*cmd == ' ')
        ++cmd;
    static char line[32768];
    lstrcpynA(line, cmd, sizeof line);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    LARGE_INTEGER freq, t0, t1;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&t0);
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 1;
    WaitForSingleObject(pi.hProcess, INFINITE);
    QueryPerformanceCounter(&t1);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    std::fprintf(stderr, "elapsed ms: %.0f\n", (t1.QuadPart - t0.QuadPart) * 1000.0 / freq.QuadPart);
    return static_cast<int>(code);
}
