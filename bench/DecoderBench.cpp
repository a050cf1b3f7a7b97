// Decoder throughput with a sink that discards everything, so only the decoding is measured; and a
// batch of small files decoded with one reused decoder, with a fresh one per file, and merely copied.
#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <sys/resource.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "decoding/MarkedTextDecoder.h"
#include "decoding/MarkedTextEncoder.h"

namespace {

constexpr size_t kTextSize = 64 << 20;

const EncriptMatrix& Matrix() {
    static const EncriptMatrix m = PrepareEncriptMatrix("benchmark-key");
    return m;
}

std::string RandomProse(std::mt19937& rng, size_t n) {
    std::string s;
    s.reserve(n);
    for (size_t i = 0; i < n; ++i)
        s += (rng() % 60 == 0) ? '\n' : static_cast<char>(32 + rng() % 95);
    return s;
}

// Text of 64 MiB: regions of regionSize plain bytes (scrambled) separated by gapSize bytes of text.
std::string MakeText(size_t regionSize, size_t gapSize) {
    std::mt19937 rng(1);
    std::string text;
    text.reserve(kTextSize + regionSize * 2);
    const std::string region = EncodeMarkedText(RandomProse(rng, regionSize), Matrix()).Text;
    std::string gap = RandomProse(rng, gapSize);
    for (char& c : gap)
        if (c == '*') c = '+'; // no markers in the plain text
    while (text.size() < kTextSize) {
        text += gap;
        text += region;
    }
    text.resize(kTextSize);
    return text;
}

struct MemorySource : ByteSource {
    const std::string& data;
    size_t at = 0;
    explicit MemorySource(const std::string& d) : data(d) {}
    size_t Read(uint8_t* buffer, size_t capacity) override {
        const size_t n = std::min(capacity, data.size() - at);
        std::memcpy(buffer, data.data() + at, n);
        at += n;
        return n;
    }
};

struct NullSink : ByteSink {
    void Write(const uint8_t* data, size_t size) override { benchmark::DoNotOptimize(data[size - 1]); }
};

struct NullProgress : ProgressSink {
    void Report(double p) override { benchmark::DoNotOptimize(p); }
    void ReportBytes(uint64_t, uint64_t last, uint64_t) override { benchmark::DoNotOptimize(last); }
};

void RunDecoder(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        MemorySource source(text);
        NullSink sink;
        NullProgress progress;
        DecodeMarkedText(source, sink, text.size(), Matrix(), progress);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void BM_DecodeBlock(benchmark::State& state) {
    uint8_t block[kBlockSize], out[kBlockSize];
    for (size_t i = 0; i < kBlockSize; ++i)
        block[i] = static_cast<uint8_t>(40 + i % 80);
    for (auto _ : state) {
        DecodeBlock(block, Matrix(), out);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kBlockSize);
}
BENCHMARK(BM_DecodeBlock);

// The prepared form the decoder uses, with the widest shuffles this processor has.
void BM_BlockDecoderBest(benchmark::State& state) {
    uint8_t block[kBlockSize], out[kBlockSize];
    for (size_t i = 0; i < kBlockSize; ++i)
        block[i] = static_cast<uint8_t>(40 + i % 80);
    const BlockDecoder decoder(Matrix());
    state.SetLabel(decoder.GetKind() == BlockDecoder::Kind::Avx512Vbmi ? "avx512vbmi"
                   : decoder.GetKind() == BlockDecoder::Kind::Ssse3    ? "ssse3"
                                                                       : "portable");
    for (auto _ : state) {
        decoder.Decode(block, out);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kBlockSize);
}
BENCHMARK(BM_BlockDecoderBest);

// Nearly all of the text inside regions of 64 KiB.
void BM_DecodeDense64MiB(benchmark::State& state) {
    static const std::string text = MakeText(64 << 10, 64);
    RunDecoder(state, text);
}
BENCHMARK(BM_DecodeDense64MiB)->Unit(benchmark::kMillisecond);

// Plain text with a short region every 16 KiB.
void BM_DecodeSparse64MiB(benchmark::State& state) {
    static const std::string text = MakeText(200, 16 << 10);
    RunDecoder(state, text);
}
BENCHMARK(BM_DecodeSparse64MiB)->Unit(benchmark::kMillisecond);

// Small regions close together: many markers, many short blocks.
void BM_DecodeManySmallRegions64MiB(benchmark::State& state) {
    static const std::string text = MakeText(40, 40);
    RunDecoder(state, text);
}
BENCHMARK(BM_DecodeManySmallRegions64MiB)->Unit(benchmark::kMillisecond);

// 2,000 files of 10 to 700 bytes, as most real batches are.
const std::vector<std::string>& SmallFiles() {
    static const std::vector<std::string> files = [] {
        std::mt19937 rng(5);
        const std::string region = EncodeMarkedText(RandomProse(rng, 128), Matrix()).Text;
        std::vector<std::string> v;
        for (int i = 0; i < 2000; ++i) {
            const size_t size = 10 + (static_cast<size_t>(i) * 7919) % 691;
            std::string text = RandomProse(rng, size / 2) + region + RandomProse(rng, size);
            text.resize(size);
            v.push_back(std::move(text));
        }
        return v;
    }();
    return files;
}

void RunSmallFiles(benchmark::State& state, bool reuse) {
    const std::vector<std::string>& files = SmallFiles();
    size_t bytes = 0;
    for (const std::string& f : files)
        bytes += f.size();
    for (auto _ : state) {
        MarkedTextFileDecoder shared(Matrix());
        for (const std::string& f : files) {
            MemorySource source(f);
            NullSink sink;
            NullProgress progress;
            if (reuse)
                shared.Decode(source, sink, f.size(), progress);
            else
                DecodeMarkedText(source, sink, f.size(), Matrix(), progress);
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    ReportPeakMemory(state);
}

void BM_DecodeSmallFilesReused(benchmark::State& state) {
    RunSmallFiles(state, true);
}
BENCHMARK(BM_DecodeSmallFilesReused)->Unit(benchmark::kMicrosecond);

void BM_DecodeSmallFilesFreshDecoder(benchmark::State& state) {
    RunSmallFiles(state, false);
}
BENCHMARK(BM_DecodeSmallFilesFreshDecoder)->Unit(benchmark::kMicrosecond);

// Baseline: each file copied into a buffer and handed to the sink.
void BM_CopySmallFiles(benchmark::State& state) {
    const std::vector<std::string>& files = SmallFiles();
    std::vector<uint8_t> buffer(1024);
    size_t bytes = 0;
    for (const std::string& f : files)
        bytes += f.size();
    for (auto _ : state) {
        for (const std::string& f : files) {
            MemorySource source(f);
            NullSink sink;
            while (const size_t n = source.Read(buffer.data(), buffer.size()))
                sink.Write(buffer.data(), n);
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    ReportPeakMemory(state);
}
BENCHMARK(BM_CopySmallFiles)->Unit(benchmark::kMicrosecond);

} // namespace
