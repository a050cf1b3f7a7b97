#pragma once
// The inverse of the decoder, for sample files and test data: scrambles a text into one region.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "decoding/KeySchedule.h"

// Scrambles one block so that DecodeBlock gives it back. Returns the index of the first byte that
// cannot be represented (a byte of 32 or more whose shifted value would pass 255), or nothing.
std::optional<size_t> EncodeBlock(const uint8_t* plain, const EncriptMatrix& matrix, uint8_t* scrambled);

struct EncodeResult {
    std::string Text;                  // "*#", the scrambled blocks, "#*"
    std::optional<uint64_t> BadOffset; // source offset of a byte that cannot be represented
};

// Pads the text with spaces to a multiple of 128 bytes and wraps its scrambled blocks in one region.
// Decoding the result yields "*#", the padded text and "#*".
EncodeResult EncodeMarkedText(std::string_view plain, const EncriptMatrix& matrix);
