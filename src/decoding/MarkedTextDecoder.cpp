#include "decoding/MarkedTextDecoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "decoding/Bytes16.h"

namespace {

constexpr uint8_t kSpace = 0x20;
constexpr uint8_t kHash = 0x23;
constexpr uint8_t kStar = 0x2A;

// 0x21 reads as 0x60 and 0x22 as 0x7E, everywhere, before anything else looks at the byte.
inline uint8_t Substitute(uint8_t b) {
    return b == 0x21 ? 0x60 : (b == 0x22 ? 0x7E : b);
}

// Copies n bytes with the substitution applied.
inline void SubstituteCopy(const uint8_t* src, uint8_t* dst, size_t n) {
    size_t i = 0;
#if QUILLMAR_BYTES16
    for (; i + 16 <= n; i += 16) {
        const Bytes16 v = Load16(src + i);
        const Bytes16 bang = reinterpret_cast<Bytes16>(v == 0x21);
        const Bytes16 quote = reinterpret_cast<Bytes16>(v == 0x22);
        Store16(dst + i, v + (bang & 0x3F) + (quote & 0x5C));
    }
#endif
    for (; i < n; ++i)
        dst[i] = Substitute(src[i]);
}

} // namespace

double ProgressSink::Percent(uint64_t processed, uint64_t size) {
    return size == 0 ? 100.0 : 100.0 * static_cast<double>(processed) / static_cast<double>(size);
}

void ProgressSink::ReportBytes(uint64_t first, uint64_t last, uint64_t size) {
    for (uint64_t k = first; k < last; ++k)
        Report(Percent(k, size));
}

MarkedTextDecoder::MarkedTextDecoder(const EncriptMatrix& matrix)
    : MarkedTextDecoder(matrix, BlockDecoder::Best()) {}

MarkedTextDecoder::MarkedTextDecoder(const EncriptMatrix& matrix, BlockDecoder::Kind kind)
    : blocks_(matrix, kind) {
    std::memset(pending_, kSpace, sizeof pending_);
}

void MarkedTextDecoder::Reset() {
    count_ = 0;
    inBlock_ = false;
    pos_ = 0;
    prev_ = 0;
    std::memset(pending_, kSpace, sizeof pending_);
    outUsed_ = 0;
}

void MarkedTextDecoder::Resize(size_t capacity) {
    auto bigger = std::make_unique_for_overwrite<uint8_t[]>(capacity);
    if (outUsed_ > 0) std::memcpy(bigger.get(), outBuffer_.get(), outUsed_);
    outBuffer_ = std::move(bigger);
    outCapacity_ = capacity;
}

void MarkedTextDecoder::Reserve(uint64_t sourceSize) {
    // Outside regions output matches input; a short last block may add up to one block.
    const uint64_t wanted = std::min<uint64_t>(sourceSize + kBlockSize + 2, kMaxOutputBuffer);
    const size_t capacity = static_cast<size_t>((wanted + kMinBuffer - 1) / kMinBuffer * kMinBuffer);
    if (capacity > outCapacity_) Resize(capacity);
}

void MarkedTextDecoder::EnsureOutput(size_t size, ByteSink& out) {
    if (outCapacity_ - outUsed_ >= size) return;
    Flush(out);
    // The output outran the buffer: fewer, larger writes from now on.
    if (outCapacity_ < kMaxOutputBuffer) Resize(std::min(kMaxOutputBuffer, outCapacity_ * 2));
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
    if (outCapacity_ == 0) Resize(kMinBuffer);
    const uint8_t* p = data;
    const uint8_t* const end = data + size;
    while (p < end) {
        if (!inBlock_) {
            // Outside a region every byte is copied; the region opens at a '#' right after a '*'.
            // Room for the rest of the input, or half the buffer: no flush while the file's output
            // fits, and no tiny copies when it does not.
            EnsureOutput(std::min<size_t>(end - p, outCapacity_ / 2), out);
            const size_t span = std::min<size_t>(end - p, outCapacity_ - outUsed_);
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

MarkedTextFileDecoder::MarkedTextFileDecoder(const EncriptMatrix& matrix, size_t readChunk)
    : decoder_(matrix), readChunk_(std::max<size_t>(readChunk, 1)) {}

void MarkedTextFileDecoder::ReserveRead(size_t capacity) {
    if (capacity <= readCapacity_) return;
    read_ = std::make_unique_for_overwrite<uint8_t[]>(capacity);
    readCapacity_ = capacity;
}

void MarkedTextFileDecoder::Decode(ByteSource& source, ByteSink& output, uint64_t size,
                                   ProgressSink& progress) {
    decoder_.Reset();
    decoder_.Reserve(size);
    ReserveRead(static_cast<size_t>(
        std::min<uint64_t>(readChunk_, std::max<uint64_t>(size, MarkedTextDecoder::kMinBuffer))));
    for (;;) {
        const size_t got = source.Read(read_.get(), readCapacity_);
        if (got == 0) break;
        const uint64_t before = decoder_.BytesProcessed();
        decoder_.Feed(read_.get(), got, output);
        progress.ReportBytes(before, decoder_.BytesProcessed(), size);
        // A source longer than its size said: larger reads from now on.
        if (decoder_.BytesProcessed() > size && readCapacity_ < readChunk_)
            ReserveRead(std::min(readChunk_, readCapacity_ * 2));
    }
    decoder_.Flush(output);
    progress.Report(ProgressSink::Percent(decoder_.BytesProcessed(), size));
}

void DecodeMarkedText(ByteSource& source, ByteSink& output, uint64_t size, const EncriptMatrix& matrix,
                      ProgressSink& progress, size_t readChunk) {
    MarkedTextFileDecoder(matrix, readChunk).Decode(source, output, size, progress);
}
