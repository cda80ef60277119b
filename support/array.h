// A growable array of plain values; running out of memory ends the program.
#pragma once

#include "support/memory_error.h"

#include <stdlib.h>

template <typename T> class Array {
public:
    constexpr Array() = default;
    ~Array() { free(items); }
    Array(const Array &) = delete;
    Array &operator=(const Array &) = delete;

    void Append(T value)
    {
        ++count;
        if (count > capacity) {
            int grown = capacity + capacity / 4 + 32;
            int wanted = grown > count ? grown : count;
            T *moved = static_cast<T *>(realloc(items, sizeof(T) * static_cast<size_t>(wanted)));
            if (!moved)
                MemoryError();
            items = moved;
            capacity = wanted;
        }
        items[count - 1] = value;
    }
    void Clear()
    {
        free(items);
        items = nullptr;
        count = capacity = 0;
    }
    T &operator[](int i) { return items[i]; }
    const T &operator[](int i) const { return items[i]; }

    T *items = nullptr;
    int count = 0;
    int capacity = 0;
};
