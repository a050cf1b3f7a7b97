#pragma once
// Overwrites key material before its memory is given back, in a way the compiler may not leave out.

#include <cstddef>
#include <string.h>

inline void WipeMemory(void* data, size_t size) {
    ::explicit_bzero(data, size);
}
