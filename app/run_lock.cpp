#include "app/run_lock.h"

#include "support/windows_version.h"

#include <windows.h>

static const size_t kGlobalPrefixLength = 7; // "Global\"

bool TakeRunLock()
{
    const char *name = NtMajorVersion() >= 5 ? kRunLockName : kRunLockName + kGlobalPrefixLength;
    // Default security: another account's run (SYSTEM's, say) refuses this one access, which
    // says it is there. Only a held lock stops the run; one that cannot be had at all for any
    // other reason guards nothing, and the run goes on as it would without it.
    HANDLE lock = CreateMutexA(nullptr, FALSE, name); // never closed: held until the process ends
    if (!lock)
        return GetLastError() != ERROR_ACCESS_DENIED;
    // Abandoned by a run that was killed: that run is over, and this one may finish its work.
    return WaitForSingleObject(lock, 0) != WAIT_TIMEOUT;
}
