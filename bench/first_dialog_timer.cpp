// Times programs from CreateProcess until their first visible window, alternating them run
// by run, and prints each median in milliseconds and their ratio to the first.
//   first_dialog_timer RUNS FOLDER COMMAND-LINE [FOLDER COMMAND-LINE]...
// Each program is closed after it is timed (WM_CLOSE to its windows, ended after 10 s).
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

namespace {

struct Search {
    DWORD processId;
    HWND window;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM param)
{
    auto *search = reinterpret_cast<Search *>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window))
        return TRUE;
    search->window = window;
    return FALSE;
}

HWND VisibleWindowOf(DWORD processId)
{
    Search search = {processId, nullptr};
    EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
    return search.window;
}

void Close(const PROCESS_INFORMATION &process)
{
    for (int i = 0; i < 200; ++i) {
        if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0)
            return;
        if (HWND window = VisibleWindowOf(process.dwProcessId))
            PostMessageA(window, WM_CLOSE, 0, 0);
    }
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, INFINITE);
}

// Milliseconds until the first visible window, or -1 when the program ends without one.
double TimeOne(const char *folder, const char *commandLine)
{
    char line[2048];
    lstrcpynA(line, commandLine, sizeof line);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, folder, &startup, &process)) {
        fprintf(stderr, "cannot start %s (error %lu)\n", commandLine, GetLastError());
        exit(2);
    }
    double result = -1;
    for (;;) {
        if (VisibleWindowOf(process.dwProcessId)) {
            QueryPerformanceCounter(&now);
            result = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / frequency.QuadPart;
            break;
        }
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0)
            break;
    }
    Close(process);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

int Compare(const void *a, const void *b)
{
    double x = *static_cast<const double *>(a), y = *static_cast<const double *>(b);
    return x < y ? -1 : x > y;
}

double Median(double *values, int n)
{
    qsort(values, n, sizeof *values, Compare);
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char **argv)
{
    int runs = argc > 1 ? atoi(argv[1]) : 0;
    int programs = (argc - 2) / 2;
    if (runs < 1 || programs < 1 || (argc - 2) % 2 != 0) {
        fprintf(stderr, "usage: first_dialog_timer RUNS FOLDER COMMAND-LINE [FOLDER COMMAND-LINE]...\n");
        return 2;
    }
    auto *times = static_cast<double *>(calloc(static_cast<size_t>(runs) * programs, sizeof(double)));
    for (int r = 0; r < runs; ++r) {
        for (int i = 0; i < programs; ++i) {
            int p = r % 2 ? programs - 1 - i : i; // alternate which goes first
            double t = TimeOne(argv[2 + 2 * p], argv[3 + 2 * p]);
            if (t < 0) {
                fprintf(stderr, "%s ended without a window\n", argv[3 + 2 * p]);
                return 1;
            }
            times[p * runs + r] = t;
        }
    }
    double first = 0;
    for (int p = 0; p < programs; ++p) {
        double median = Median(times + p * runs, runs);
        if (p == 0)
            first = median;
        printf("%-40s median %7.1f ms  min %7.1f ms  (%.2f x the first)\n", argv[3 + 2 * p], median,
               times[p * runs], median / first);
    }
    return 0;
}
