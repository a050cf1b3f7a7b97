#pragma once
// The key schedule: turns a key into the matrix that puts scrambled 128-byte blocks back in order.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

constexpr size_t kBlockSize = 128;
// Only this many bytes of the (trimmed) key take part.
constexpr size_t kKeyLength = 10;

struct EncriptMatrix {
    // Positions[i]: index in the scrambled block whose byte becomes decoded byte i (a permutation).
    std::array<uint8_t, kBlockSize> Positions{};
    // Shifts[i]: amount taken off the byte landing at decoded position i, 11 to 31.
    std::array<uint8_t, kBlockSize> Shifts{};
    friend bool operator==(const EncriptMatrix&, const EncriptMatrix&) = default;
};

// CRC-16 with the reflected polynomial 0x8408, start value 0xFFFF and no final XOR, over the first
// count bytes. Zero bytes give 0xFFFF.
uint16_t KeyCrc16(const uint8_t* bytes, uint16_t count);

// The key without leading and trailing bytes of value 32 or less (spaces and control characters).
std::string_view TrimKey(std::string_view key);
// Whether a key is long enough once trimmed.
bool IsKeyAcceptable(std::string_view key);

// Builds the matrix from the first ten bytes of an already trimmed key. Throws
// std::invalid_argument for a key shorter than ten bytes rather than reading past it.
EncriptMatrix PrepareEncriptMatrix(std::string_view trimmedKey);
