#include "decoding/BlockDecoder.h"

#include <stdexcept>

#include "decoding/Bytes16.h"
#include "decoding/Wipe.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define QUILLMAR_X86_SHUFFLES 1
#endif

namespace {

#if QUILLMAR_X86_SHUFFLES
__attribute__((target("ssse3"))) void DecodeSsse3(const uint8_t* block, const uint8_t (*shuffles)[8][16],
                                                  const uint8_t* shifts, const uint8_t* limits,
                                                  uint8_t* out) {
    __m128i chunks[8];
    for (int k = 0; k < 8; ++k)
        chunks[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * k));
    for (int j = 0; j < 8; ++j) {
        __m128i g = _mm_setzero_si128();
        for (int k = 0; k < 8; ++k)
            g = _mm_or_si128(g, _mm_shuffle_epi8(chunks[k], _mm_load_si128(reinterpret_cast<const __m128i*>(
                                                                shuffles[j][k]))));
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(shifts + 16 * j));
        const __m128i lim = _mm_load_si128(reinterpret_cast<const __m128i*>(limits + 16 * j));
        const __m128i keep = _mm_cmpeq_epi8(_mm_max_epu8(g, lim), g); // g >= lim, unsigned
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * j), _mm_sub_epi8(g, _mm_and_si128(s, keep)));
    }
}

__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void DecodeVbmi(const uint8_t* block,
                                                                       const uint8_t* positions,
                                                                       const uint8_t* shifts,
                                                                       const uint8_t* limits, uint8_t* out) {
    const __m512i lo = _mm512_loadu_si512(block);
    const __m512i hi = _mm512_loadu_si512(block + 64);
    for (int half = 0; half < 2; ++half) {
        const __m512i idx = _mm512_loadu_si512(positions + 64 * half);
        const __m512i g = _mm512_permutex2var_epi8(lo, idx, hi);
        const __mmask64 keep = _mm512_cmpge_epu8_mask(g, _mm512_load_si512(limits + 64 * half));
        const __m512i s = _mm512_loadu_si512(shifts + 64 * half);
        _mm512_storeu_si512(out + 64 * half, _mm512_mask_sub_epi8(g, keep, g, s));
    }
}
#endif

} // namespace

void DecodeBlock(const uint8_t* block, const EncriptMatrix& matrix, uint8_t* decoded) {
#if QUILLMAR_BYTES16
    alignas(16) uint8_t gathered[kBlockSize];
    for (size_t i = 0; i < kBlockSize; ++i)
        gathered[i] = block[matrix.Positions[i]];
    for (size_t i = 0; i < kBlockSize; i += 16) {
        const Bytes16 b = Load16(gathered + i);
        const Bytes16 s = Load16(matrix.Shifts.data() + i);
        // Shifts are at most 31, so 32 + s does not wrap.
        const Bytes16 keep = reinterpret_cast<Bytes16>(b >= s + 32);
        Store16(decoded + i, b - (s & keep));
    }
#else
    for (size_t i = 0; i < kBlockSize; ++i) {
        const uint8_t b = block[matrix.Positions[i]];
        const int shifted = int(b) - int(matrix.Shifts[i]);
        decoded[i] = shifted >= 32 ? static_cast<uint8_t>(shifted) : b;
    }
#endif
}

bool BlockDecoder::Supported(Kind kind) {
    switch (kind) {
    case Kind::Portable:
        return true;
#if QUILLMAR_X86_SHUFFLES
    case Kind::Ssse3:
        return __builtin_cpu_supports("ssse3");
    case Kind::Avx512Vbmi:
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
               __builtin_cpu_supports("avx512vbmi");
#endif
    default:
        return false;
    }
}

BlockDecoder::Kind BlockDecoder::Best() {
    static const Kind best = Supported(Kind::Avx512Vbmi) ? Kind::Avx512Vbmi
                             : Supported(Kind::Ssse3)    ? Kind::Ssse3
                                                         : Kind::Portable;
    return best;
}

BlockDecoder::BlockDecoder(const EncriptMatrix& matrix) : BlockDecoder(matrix, Best()) {}

BlockDecoder::BlockDecoder(const EncriptMatrix& matrix, Kind kind) : matrix_(matrix), kind_(kind) {
    if (!Supported(kind)) throw std::invalid_argument("block decoder kind not supported here");
    for (size_t i = 0; i < kBlockSize; ++i)
        limits_[i] = static_cast<uint8_t>(32 + matrix.Shifts[i]);
    for (int j = 0; j < 8; ++j)
        for (int k = 0; k < 8; ++k)
            for (int t = 0; t < 16; ++t) {
                const int p = matrix.Positions[16 * j + t];
                // A set high bit makes the shuffle yield 0 for bytes that come from another chunk.
                shuffles_[j][k][t] = static_cast<uint8_t>(p / 16 == k ? p % 16 : 0x80);
            }
}

BlockDecoder::~BlockDecoder() {
    WipeMemory(&matrix_, sizeof matrix_);
    WipeMemory(limits_, sizeof limits_);
    WipeMemory(shuffles_, sizeof shuffles_);
}

void BlockDecoder::Decode(const uint8_t* block, uint8_t* decoded) const {
    switch (kind_) {
#if QUILLMAR_X86_SHUFFLES
    case Kind::Avx512Vbmi:
        DecodeVbmi(block, matrix_.Positions.data(), matrix_.Shifts.data(), limits_, decoded);
        return;
    case Kind::Ssse3:
        DecodeSsse3(block, shuffles_, matrix_.Shifts.data(), limits_, decoded);
        return;
#endif
    default:
        DecodeBlock(block, matrix_, decoded);
    }
}
