// The program's own allocation operators on the process heap. They never throw: a failed
// allocation returns null and callers check it. Replacing the library's versions keeps
// the exception machinery (and its demangler) out of the program.
#include <windows.h>

#include <new>

// Defined here so that the library's member holding it, and its unwind tables, stay out.
const std::nothrow_t std::nothrow{};

static void *Allocate(size_t size) { return HeapAlloc(GetProcessHeap(), 0, size ? size : 1); }

static void Release(void *p)
{
    if (p)
        HeapFree(GetProcessHeap(), 0, p);
}

void *operator new(size_t size) { return Allocate(size); }
void *operator new[](size_t size) { return Allocate(size); }
void *operator new(size_t size, const std::nothrow_t &) noexcept { return Allocate(size); }
void *operator new[](size_t size, const std::nothrow_t &) noexcept { return Allocate(size); }
void operator delete(void *p) noexcept { Release(p); }
void operator delete[](void *p) noexcept { Release(p); }
void operator delete(void *p, size_t) noexcept { Release(p); }
void operator delete[](void *p, size_t) noexcept { Release(p); }
