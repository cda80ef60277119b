// Test-only "Quibex.exe": writes its arguments, one a line, to "standin-args.txt" beside itself.
#include <windows.h>

#include <stdlib.h>
#include <string.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    char *slash = strrchr(path, '\\');
    if (!slash || strlen(path) + 32 >= MAX_PATH)
        return 1;
    strcpy(slash + 1, "standin-args.txt");
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 2;
    DWORD written = 0;
    for (int i = 1; i < __argc; ++i) {
        WriteFile(file, __argv[i], static_cast<DWORD>(strlen(__argv[i])), &written, nullptr);
        WriteFile(file, "\n", 1, &written, nullptr);
    }
    CloseHandle(file);
    return 0;
}
