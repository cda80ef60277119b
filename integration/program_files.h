// Paths of the files that lie beside this program in the installation folder.
#pragma once

#include <stddef.h>

constexpr size_t kPathSize = 1024;

// This program's module path with its name part replaced by name, in out (size bytes).
// False, out empty, when the module path can't be read or the result does not fit.
bool ProgramFilePath(const char *name, char *out, size_t size);
// Appends a backslash (unless path ends in one) and name. False, path unchanged, when the
// result would not fit in size bytes.
bool AppendPathPart(char *path, size_t size, const char *name);
