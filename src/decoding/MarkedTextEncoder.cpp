#include "decoding/MarkedTextEncoder.h"

#include <algorithm>
#include <cstring>

std::optional<size_t> EncodeBlock(const uint8_t* plain, const EncriptMatrix& matrix, uint8_t* scrambled) {
    std::optional<size_t> bad;
    for (size_t i = 0; i < kBlockSize; ++i) {
        const uint8_t c = plain[i];
        const unsigned s = matrix.Shifts[i];
        // Bytes below 32 pass the decoder unchanged; the others come back less their shift.
        // Neither form can be a '#', a space at the block's front, or a byte the decoder substitutes.
        uint8_t b = c;
        if (c >= 32) {
            if (c + s > 255) {
                if (!bad || i < *bad) bad = i;
                b = 0;
            } else {
                b = static_cast<uint8_t>(c + s);
            }
        }
        scrambled[matrix.Positions[i]] = b;
    }
    return bad;
}

EncodeResult EncodeMarkedText(std::string_view plain, const EncriptMatrix& matrix) {
    EncodeResult result;
    const size_t blocks = (plain.size() + kBlockSize - 1) / kBlockSize;
    result.Text.reserve(blocks * kBlockSize + 4);
    result.Text += "*#";
    uint8_t in[kBlockSize];
    uint8_t out[kBlockSize];
    for (size_t blk = 0; blk < blocks; ++blk) {
        const size_t start = blk * kBlockSize;
        const size_t n = std::min(kBlockSize, plain.size() - start);
        std::memset(in, ' ', kBlockSize);
        std::memcpy(in, plain.data() + start, n);
        if (auto bad = EncodeBlock(in, matrix, out)) {
            result.BadOffset = start + *bad;
            result.Text.clear();
            return result;
        }
        result.Text.append(reinterpret_cast<const char*>(out), kBlockSize);
    }
    result.Text += "#*";
    return result;
}
