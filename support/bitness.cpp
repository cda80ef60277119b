#include "support/bitness.h"

#include <windows.h>

static int s_wow64 = 0; // not known yet; then 1 for no, 2 for yes
static int s_wow64Queries = 0;

bool IsWow64()
{
    typedef BOOL(WINAPI * IsWow64Fn)(HANDLE, PBOOL);
    if (s_wow64 == 0) {
        HMODULE kernel = GetModuleHandleA("kernel32");
        auto query = kernel ? reinterpret_cast<IsWow64Fn>(
                                  reinterpret_cast<void *>(GetProcAddress(kernel, "IsWow64Process")))
                            : nullptr;
        BOOL answer = FALSE;
        if (query) {
            ++s_wow64Queries;
            if (query(GetCurrentProcess(), &answer))
                s_wow64 = answer ? 2 : 1;
        }
    }
    return s_wow64 == 2;
}

int Wow64QueryCount() { return s_wow64Queries; }
