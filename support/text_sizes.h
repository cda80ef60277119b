// The sizes the program's fixed text buffers are made of, each stated once.
#pragma once

#include <stddef.h>

// A path, or a key path, to be formed: 1,023 bytes and the terminator.
constexpr size_t kPathSize = 1024;

// UTF-8 takes at most three bytes for a character that another code page holds in one or two:
// a buffer this many times a limit holds any text within the limit once converted.
constexpr size_t kConversionGrowth = 3;
constexpr size_t Converted(size_t limit) { return kConversionGrowth * limit; }
