// The one fatal error: no memory for a structure the program cannot do without.
#pragma once

// Ends the process at once with exit code 8.
[[noreturn]] void MemoryError();
