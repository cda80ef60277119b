#include "support/memory_error.h"

#include <windows.h>

#include "support/log.h"

constexpr UINT kMemoryErrorExitCode = 8;

void MemoryError()
{
    // Nothing can carry on without memory; end with the code, skipping the exit routines that
    // would touch half-built state.
    LogLine("exit code %u: out of memory", kMemoryErrorExitCode);
    TerminateProcess(GetCurrentProcess(), kMemoryErrorExitCode);
    for (;;)
        ExitProcess(kMemoryErrorExitCode);
}
