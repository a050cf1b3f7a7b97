#pragma once
// Sixteen bytes at a time through the compiler's portable vector types, for the decoding loops.

#include <cstdint>
#include <cstring>

#if defined(__GNUC__)
#define QUILLMAR_BYTES16 1

typedef uint8_t Bytes16 __attribute__((vector_size(16)));

inline Bytes16 Load16(const uint8_t* p) {
    Bytes16 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline void Store16(uint8_t* p, Bytes16 v) {
    std::memcpy(p, &v, sizeof v);
}
#endif
