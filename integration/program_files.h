// Paths of the files that lie beside this program in the installation folder.
#pragma once

#include "support/program_path.h"

#include <stddef.h>

// Appends a backslash (unless path ends in one) and name. False, path unchanged, when the
// result would not fit in size bytes.
bool AppendPathPart(char *path, size_t size, const char *name);
