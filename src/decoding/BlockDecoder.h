#pragma once
// DecodeBlock prepared for one matrix, using the widest byte shuffles the processor offers.
// Gives exactly what DecodeBlock gives.

#include <cstdint>

#include "decoding/KeySchedule.h"

class BlockDecoder {
public:
    enum class Kind { Portable, Ssse3, Avx512Vbmi };

    explicit BlockDecoder(const EncriptMatrix& matrix);
    BlockDecoder(const EncriptMatrix& matrix, Kind kind);  // kind must be supported

    void Decode(const uint8_t* block, uint8_t* decoded) const;
    Kind GetKind() const { return kind_; }

    static bool Supported(Kind kind);
    static Kind Best();

private:
    const EncriptMatrix& matrix_;
    Kind kind_;
    alignas(64) uint8_t limits_[kBlockSize];      // 32 + shift: bytes below stay as they are
    alignas(64) uint8_t shuffles_[8][8][16];      // per output chunk and source chunk (SSSE3)
};
