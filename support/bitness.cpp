#include "support/bitness.h"

#include "support/optional_functions.h"

#include <windows.h>

static int s_wow64 = 0; // not known yet; then 1 for no, 2 for yes
static int s_wow64Queries = 0;

bool IsWow64()
{
    if (s_wow64 == 0) {
        IsWow64ProcessCall query = OptionalIsWow64Process();
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
