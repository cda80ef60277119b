// A property every input must keep; a broken one aborts, which the fuzzer reports with the input.
#pragma once

#include <stdio.h>
#include <stdlib.h>

#define PROPERTY(condition)                                                                  \
    do {                                                                                     \
        if (!(condition)) {                                                                  \
            fprintf(stderr, "property broken: %s (line %d)\n", #condition, __LINE__);        \
            abort();                                                                         \
        }                                                                                    \
    } while (0)
