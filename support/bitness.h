// The bitness of the Windows this 32-bit program runs on.
#pragma once

// True when this 32-bit process runs on 64-bit Windows. Asks the system until it answers once.
bool IsWow64();
