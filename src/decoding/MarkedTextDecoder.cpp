#include "decoding/MarkedTextDecoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

constexpr uint8_t kSpace = 0x20;
constexpr uint8_t kHash = 0x23;
constexpr uint8_t kStar = 0x2A;
constexpr size_t kOutCapacity = 1 << 20;

// 0x21 reads as 0x60 and 0x22 as 0x7E, everywhere, before anything else looks at the byte.
inline uint8_t Substitute(uint8_t b) {
    return b == 0x21 ? 0x60 : (b == 0x22 ? 0x7E : b);
}

#if defined(__GNUC__)
// Sixteen bytes at a time through the compiler's portable vector types.
typedef uint8_t Bytes16 __attribute__((vector_size(16)));

inline Bytes16 Load16(const uint8_t* p) {
    Bytes16 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline void Store16(uint8_t* p, Bytes16 v) { std::memcpy(p, &v, sizeof v); }
#endif

// Copies n bytes with the substitution applied.
inline void SubstituteCopy(const uint8_t* src, uint8_t* dst, size_t n) {
    size_t i = 0;
#if defined(__GNUC__)
    for (; i + 16 <= n; i += 16) {
        const Bytes16 v = Load16(src + i);
        const Bytes16 bang = reinterpret_cast<Bytes16>(v == 0x21);
        const Bytes16 quote = reinterpret_cast<Bytes16>(v == 0x22);
        Store16(dst + i, v + (bang & 0x3F) + (quote & 0x5C));
    }
#endif
    for (; i < n; ++i) dst[i] = Substitute(src[i]);
}

}  // namespace

void DecodeBlock(const uint8_t* block, const EncriptMatrix& matrix, uint8_t* decoded) {
#if defined(__GNUC__)
    alignas(16) uint8_t gathered[kBlockSize];
    for (size_t i = 0; i < kBlockSize; ++i) gathered[i] = block[matrix.Positions[i]];
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

double ProgressSink::Percent(uint64_t processed, uint64_t size) {
    return size == 0 ? 100.0 : 100.0 * static_cast<double>(processed) / static_cast<double>(size);
}

void ProgressSink::ReportBytes(uint64_t first, uint64_t last, uint64_t size) {
    for (uint64_t k = first; k < last; ++k) Report(Percent(k, size));
}

MarkedTextDecoder::MarkedTextDecoder(const EncriptMatrix& matrix)
    : MarkedTextDecoder(matrix, BlockDecoder::Best()) {}

MarkedTextDecoder::MarkedTextDecoder(const EncriptMatrix& matrix, BlockDecoder::Kind kind)
    : blocks_(matrix, kind), outBuffer_(new uint8_t[kOutCapacity]) {
    std::memset(pending_, kSpace, sizeof pending_);
}

void MarkedTextDecoder::EnsureOutput(size_t size, ByteSink& out) {
    if (kOutCapacity - outUsed_ < size) Flush(out);
}

void MarkedTextDecoder::Flush(ByteSink& out) {
    if (outUsed_ > 0) out.Write(outBuffer_.get(), outUsed_);
    outUsed_ = 0;
}

// A block whose first byte is a space is dropped and left as it is; the next region's short block
// then carries its stale bytes.
void MarkedTextDecoder::FlushBlock() {
    if (pending_[0] == kSpace) return;
    blocks_.Decode(pending_, outBuffer_.get() + outUsed_);
    outUsed_ += kBlockSize;
    std::memset(pending_, kSpace, sizeof pending_);
}

void MarkedTextDecoder::Feed(const uint8_t* data, size_t size, ByteSink& out) {
    const uint8_t* p = data;
    const uint8_t* const end = data + size;
    while (p < end) {
        if (!inBlock_) {
            // Outside a region every byte is copied; the region opens at a '#' right after a '*'.
            EnsureOutput(kOutCapacity / 2, out);
            const size_t span = std::min<size_t>(end - p, kOutCapacity - outUsed_);
            const uint8_t* hash = static_cast<const uint8_t*>(std::memchr(p, kHash, span));
            const size_t n = hash ? size_t(hash - p) + 1 : span;
            uint8_t* o = outBuffer_.get() + outUsed_;
            SubstituteCopy(p, o, n);
            outUsed_ += n;
            const uint8_t before = n >= 2 ? o[n - 2] : prev_;
            prev_ = o[n - 1];
            p += n;
            count_ += n;
            if (hash && before == kStar) {
                inBlock_ = true;
                pos_ = 0;
            }
            continue;
        }
        // Inside a region. While the block has room, bytes up to the next '*' cannot close the
        // region and go straight into the block.
        if (pos_ < kBlockSize) {
            const size_t room = std::min<size_t>(end - p, kBlockSize - pos_);
            const uint8_t* star = static_cast<const uint8_t*>(std::memchr(p, kStar, room));
            const size_t n = star ? size_t(star - p) : room;
            if (n > 0) {
                uint8_t* dst = pending_ + pos_;
                SubstituteCopy(p, dst, n);
                pos_ += n;
                prev_ = dst[n - 1];
                p += n;
                count_ += n;
                if (p == end) break;
            }
        }
        // One byte through the full rules: a '*' that may close, or the byte after a full block.
        const uint8_t ch = Substitute(*p++);
        ++count_;
        if (prev_ == kHash && ch == kStar) {
            // The '#' already stored as a block byte is blanked before the block is flushed.
            if (pos_ >= 1) pending_[pos_ - 1] = kSpace;
            EnsureOutput(kBlockSize + 2, out);
            FlushBlock();
            pending_[0] = ch;
            outBuffer_[outUsed_++] = kHash;
            outBuffer_[outUsed_++] = kStar;
            pos_ = 1;
            inBlock_ = false;
        } else if (pos_ < kBlockSize) {
            pending_[pos_++] = ch;
        } else {
            EnsureOutput(kBlockSize, out);
            FlushBlock();
            pending_[0] = ch;
            pos_ = 1;
        }
        prev_ = ch;
    }
}

void DecodeMarkedText(ByteSource& source, ByteSink& output, uint64_t size, const EncriptMatrix& matrix,
                      ProgressSink& progress, size_t readChunk) {
    MarkedTextDecoder decoder(matrix);
    std::vector<uint8_t> buffer(std::max<size_t>(readChunk, 1));
    for (;;) {
        const size_t got = source.Read(buffer.data(), buffer.size());
        if (got == 0) break;
        const uint64_t before = decoder.BytesProcessed();
        decoder.Feed(buffer.data(), got, output);
        progress.ReportBytes(before, decoder.BytesProcessed(), size);
    }
    decoder.Flush(output);
    progress.Report(ProgressSink::Percent(decoder.BytesProcessed(), size));
}
