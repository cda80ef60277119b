#include "support/memory_error.h"

#include <windows.h>

constexpr UINT kMemoryErrorExitCode = 8;

void MemoryError()
{
    // Nothing can carry on without memory; end with the code, skipping the exit routines that
    // would touch half-built state.
    TerminateProcess(GetCurrentProcess(), kMemoryErrorExitCode);
    for (;;)
        ExitProcess(kMemoryErrorExitCode);
}
