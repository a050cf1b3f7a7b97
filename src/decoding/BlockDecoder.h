#pragma once
// Decoding one 128-byte block: the literal rule, and the same rule prepared for one matrix with the
// widest byte shuffles the processor offers.

#include <cstdint>

#include "decoding/KeySchedule.h"

// Decodes one block: decoded byte i is block[Positions[i]] less Shifts[i] when that stays at 32 or
// more, and the byte unchanged otherwise.
void DecodeBlock(const uint8_t* block, const EncriptMatrix& matrix, uint8_t* decoded);

// Gives exactly what DecodeBlock gives. Keeps its own copy of the matrix, so the caller's may change
// or go away afterwards.
class BlockDecoder {
public:
    enum class Kind { Portable, Ssse3, Avx512Vbmi };

    explicit BlockDecoder(const EncriptMatrix& matrix);
    // Throws std::invalid_argument when this processor lacks the kind.
    BlockDecoder(const EncriptMatrix& matrix, Kind kind);
    // The matrix and the tables made from it are wiped.
    ~BlockDecoder();
    BlockDecoder(const BlockDecoder&) = default;
    BlockDecoder& operator=(const BlockDecoder&) = default;

    void Decode(const uint8_t* block, uint8_t* decoded) const;
    Kind GetKind() const { return kind_; }

    static bool Supported(Kind kind);
    static Kind Best();

private:
    EncriptMatrix matrix_;
    Kind kind_;
    alignas(64) uint8_t limits_[kBlockSize]; // 32 + shift: bytes below stay as they are
    alignas(64) uint8_t shuffles_[8][8][16]; // per output chunk and source chunk (SSSE3)
};
