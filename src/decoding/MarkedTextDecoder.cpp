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

}  // namespace

void DecodeBlock(const uint8_t* block, const EncriptMatrix& matrix, uint8_t* decoded) {
    for (size_t i = 0; i < kBlockSize; ++i) {
        const uint8_t b = block[matrix.Positions[i]];
        const int shifted = int(b) - int(matrix.Shifts[i]);
        decoded[i] = shifted >= 32 ? static_cast<uint8_t>(shifted) : b;
    }
}

double ProgressSink::Percent(uint64_t processed, uint64_t size) {
    return size == 0 ? 100.0 : 100.0 * static_cast<double>(processed) / static_cast<double>(size);
}

void ProgressSink::ReportBytes(uint64_t first, uint64_t last, uint64_t size) {
    for (uint64_t k = first; k < last; ++k) Report(Percent(k, size));
}

MarkedTextDecoder::MarkedTextDecoder(const EncriptMatrix& matrix)
    : matrix_(matrix), outBuffer_(new uint8_t[kOutCapacity]) {
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
    DecodeBlock(pending_, matrix_, outBuffer_.get() + outUsed_);
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
            for (size_t i = 0; i < n; ++i) o[i] = Substitute(p[i]);
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
        // Inside a region.
        uint8_t prev = prev_;
        while (p < end) {
            const uint8_t ch = Substitute(*p++);
            ++count_;
            if (prev == kHash && ch == kStar) {
                // The '#' already stored as a block byte is blanked before the block is flushed.
                if (pos_ >= 1) pending_[pos_ - 1] = kSpace;
                EnsureOutput(kBlockSize + 2, out);
                FlushBlock();
                pending_[0] = ch;
                outBuffer_[outUsed_++] = kHash;
                outBuffer_[outUsed_++] = kStar;
                pos_ = 1;
                inBlock_ = false;
                prev = ch;
                break;
            }
            if (pos_ < kBlockSize) {
                pending_[pos_++] = ch;
            } else {
                EnsureOutput(kBlockSize, out);
                FlushBlock();
                pending_[0] = ch;
                pos_ = 1;
            }
            prev = ch;
        }
        prev_ = prev;
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
