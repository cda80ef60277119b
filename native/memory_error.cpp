// Natively, running out of memory ends the test program as it ends the product.
#include "support/memory_error.h"

#include <stdio.h>
#include <stdlib.h>

void MemoryError()
{
    fputs("out of memory\n", stderr);
    abort();
}
