// Stand-in for the archiver's main program and for document viewers in the tests: records
// its own command line and its working directory, tab-separated, in "opened.log" beside itself
// and ends.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char log[MAX_PATH + 16] = "";
    DWORD n = GetModuleFileNameA(nullptr, log, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return 1;
    char *slash = log + n;
    while (slash > log && slash[-1] != '\\')
        --slash;
    lstrcpyA(slash, "opened.log"); // fits: slash lies within MAX_PATH, 16 bytes spare
    HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    const char *line = GetCommandLineA();
    DWORD written = 0;
    WriteFile(file, line, lstrlenA(line), &written, nullptr);
    char folder[MAX_PATH] = "\t";
    GetCurrentDirectoryA(MAX_PATH - 1, folder + 1);
    WriteFile(file, folder, lstrlenA(folder), &written, nullptr);
    WriteFile(file, "\r\n", 2, &written, nullptr);
    CloseHandle(file);
    return 0;
}
