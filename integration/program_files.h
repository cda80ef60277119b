// The archiver's main program, which lies beside this program in the installation folder.
#pragma once

#include <stddef.h>

// Its file name; a macro, so that a key named after it is joined at compile time.
#define QBX_ARCHIVER_FILE "Quibex.exe"

// Its path in out (size bytes), as ProgramFilePath gives it; false, out empty, when the
// folder cannot be named or the path does not fit.
bool ArchiverPath(char *out, size_t size);
