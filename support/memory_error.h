// The one fatal error: no memory for a structure the program cannot do without.
#pragma once

// Records exit code 8 and ends the process at once.
[[noreturn]] void MemoryError();
