#pragma once
// The marked-text decoder: copies a text through and restores the regions between "*#" and "#*",
// whose bytes were scrambled in blocks of 128 with the key's matrix.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "decoding/BlockDecoder.h"
#include "decoding/KeySchedule.h"

// Where the decoder reads from. Read returns the bytes delivered, 0 at the end or on a failure.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual size_t Read(uint8_t* buffer, size_t capacity) = 0;
};

// Where the decoder writes to. The decoder does not look at write failures; a sink that cares keeps
// them for its owner.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void Write(const uint8_t* data, size_t size) = 0;
};

// Receives the decoder's progress: one report per processed byte (100 * k / size, k being the bytes
// processed before it) and a last one when the source ends (100 for a complete read). A source of
// size bytes thus gives size + 1 reports; an empty source gives one report of 100.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void Report(double percent) = 0;
    // The reports for the bytes first .. last - 1 in one call. Sinks that need only the latest value
    // override this; by default every report is passed on.
    virtual void ReportBytes(uint64_t first, uint64_t last, uint64_t size);
    static double Percent(uint64_t processed, uint64_t size);
};

// The decoder's state machine, fed in pieces of any size. The state is that of one file; Reset starts
// the next file with the same matrix and buffers.
class MarkedTextDecoder {
public:
    explicit MarkedTextDecoder(const EncriptMatrix& matrix);
    MarkedTextDecoder(const EncriptMatrix& matrix, BlockDecoder::Kind kind);

    // Processes the bytes; decoded output goes to the sink through an internal buffer.
    void Feed(const uint8_t* data, size_t size, ByteSink& out);
    // Hands buffered output to the sink. Bytes of a region that is still open stay pending.
    void Flush(ByteSink& out);
    uint64_t BytesProcessed() const { return count_; }
    bool InRegion() const { return inBlock_; }

    // Back to the start state of a file. Output not yet flushed is dropped; the buffer is kept.
    void Reset();
    // Sizes the output buffer for a source of about this many bytes, never past kMaxOutputBuffer.
    // Only a hint: the buffer also grows when output outruns it.
    void Reserve(uint64_t sourceSize);
    size_t OutputCapacity() const { return outCapacity_; }

    static constexpr size_t kMinBuffer = 4096;
    static constexpr size_t kMaxOutputBuffer = size_t(1) << 20;

private:
    void FlushBlock();
    void EnsureOutput(size_t size, ByteSink& out);
    void Resize(size_t capacity);

    BlockDecoder blocks_;
    uint64_t count_ = 0;
    bool inBlock_ = false;
    size_t pos_ = 0;
    uint8_t prev_ = 0; // no marker byte, so the first byte can never complete a marker
    uint8_t pending_[kBlockSize];
    // Left uninitialised: every byte is written before it is handed on.
    std::unique_ptr<uint8_t[]> outBuffer_;
    size_t outCapacity_ = 0;
    size_t outUsed_ = 0;
};

// Decodes one source after another with one matrix, keeping the read and output buffers between
// files so that a batch of small files does not allocate (and fault in) fresh memory for each.
// Each buffer is sized to the file (at least kMinBuffer, at most readChunk for reads) and only grows.
class MarkedTextFileDecoder {
public:
    // readChunk bounds each read (the default suits files; tests use small pieces).
    explicit MarkedTextFileDecoder(const EncriptMatrix& matrix, size_t readChunk = size_t(1) << 20);

    // Decodes a whole source into the output. size is the source's length, used for progress and to
    // size the buffers; a wrong size costs only speed.
    void Decode(ByteSource& source, ByteSink& output, uint64_t size, ProgressSink& progress);

    size_t ReadCapacity() const { return readCapacity_; }
    size_t OutputCapacity() const { return decoder_.OutputCapacity(); }

private:
    void ReserveRead(size_t capacity);

    MarkedTextDecoder decoder_;
    size_t readChunk_;
    std::unique_ptr<uint8_t[]> read_;
    size_t readCapacity_ = 0;
};

// Decodes a whole source into the output, for a single file. size is the source's length, used for
// progress only. readChunk bounds each read.
void DecodeMarkedText(ByteSource& source, ByteSink& output, uint64_t size, const EncriptMatrix& matrix,
                      ProgressSink& progress, size_t readChunk = 1 << 20);
