// One decoder reused over many files: its buffers and state must never carry anything from one file
// to the next, and it must hold its own matrix.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "decoding/BlockDecoder.h"
#include "decoding/DecodingTestSupport.h"
#include "decoding/MarkedTextDecoder.h"
#include "decoding/MarkedTextEncoder.h"

using namespace decodingtest;

namespace {

const std::string kKey = "reuse-key-42";

// Marked text of exactly n bytes: plain text with scrambled regions, the last one possibly cut off.
std::string MarkedText(size_t n, std::mt19937& rng) {
    const EncriptMatrix m = PrepareEncriptMatrix(kKey);
    std::string plain(300, ' ');
    for (char& c : plain)
        c = static_cast<char>('a' + rng() % 26);
    const std::string region = EncodeMarkedText(plain, m).Text;
    std::string text;
    while (text.size() < n) {
        text += "line \"" + std::to_string(rng() % 1000) + "\"!\n";
        text += region;
    }
    text.resize(n);
    return text;
}

std::string DecodeWith(MarkedTextFileDecoder& decoder, const std::string& src, uint64_t sizeHint) {
    StringSource in(src);
    StringSink out;
    NoProgress progress;
    decoder.Decode(in, out, sizeHint, progress);
    return out.data;
}

} // namespace

TEST(MarkedTextFileDecoder, ReusedOverFilesOfEverySizeGivesWhatEachGivesAlone) {
    const EncriptMatrix m = PrepareEncriptMatrix(kKey);
    constexpr size_t kReadChunk = 1000;
    std::mt19937 rng(5);
    std::vector<std::string> sources;
    for (size_t n : {size_t(129), size_t(5000), size_t(0), size_t(1), size_t(127), size_t(128), size_t(129),
                     size_t(4097), size_t(1)})
        sources.push_back(MarkedText(n, rng));
    // State that a file leaves behind: an open region, a '*' at its very end, a dropped block whose
    // stale bytes would fill a later short region.
    sources.push_back("text *#" + std::string(200, 'q'));
    sources.push_back("#opens nothing here*");
    sources.push_back("*# 0123456789#*");
    sources.push_back("*#xyz#*");
    sources.push_back(std::string(3000, '!') + "*#*");

    MarkedTextFileDecoder reused(m, kReadChunk);
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < sources.size(); ++i) {
            const std::string& src = sources[i];
            MarkedTextFileDecoder fresh(m, kReadChunk);
            const std::string expected = ReferenceDecode(src, m);
            ASSERT_EQ(DecodeWith(fresh, src, src.size()), expected) << "file " << i;
            ASSERT_EQ(DecodeWith(reused, src, src.size()), expected) << "pass " << pass << " file " << i;
            // The size only sizes the buffers: a wrong one must not change a byte.
            ASSERT_EQ(DecodeWith(reused, src, 0), expected) << "unknown size, file " << i;
            ASSERT_EQ(DecodeWith(reused, src, src.size() / 3), expected) << "short size, file " << i;
            ASSERT_EQ(DecodeWith(reused, src, src.size() * 5 + 7), expected) << "long size, file " << i;
        }
    }
}

TEST(MarkedTextFileDecoder, BuffersFitTheFileAndStayWithinTheReadChunk) {
    const EncriptMatrix m = PrepareEncriptMatrix(kKey);
    std::mt19937 rng(8);
    MarkedTextFileDecoder decoder(m);
    for (size_t n : {size_t(10), size_t(700), size_t(0)})
        DecodeWith(decoder, MarkedText(n, rng), n);
    EXPECT_EQ(decoder.ReadCapacity(), MarkedTextDecoder::kMinBuffer);
    EXPECT_EQ(decoder.OutputCapacity(), MarkedTextDecoder::kMinBuffer);

    // Output that fits the buffer reaches the sink in one write: one system call per small file.
    struct CountingSink : ByteSink {
        int writes = 0;
        void Write(const uint8_t*, size_t) override { ++writes; }
    };
    for (size_t n : {size_t(700), size_t(3000), size_t(9000)}) {
        const std::string src = MarkedText(n, rng);
        StringSource in(src);
        CountingSink out;
        NoProgress progress;
        decoder.Decode(in, out, src.size(), progress);
        EXPECT_EQ(out.writes, 1) << n;
    }

    const std::string big = MarkedText(300000, rng);
    EXPECT_EQ(DecodeWith(decoder, big, big.size()), ReferenceDecode(big, m));
    EXPECT_GE(decoder.ReadCapacity(), big.size());
    EXPECT_LT(decoder.ReadCapacity(), 2 * big.size());
    EXPECT_LE(decoder.OutputCapacity(), MarkedTextDecoder::kMaxOutputBuffer);

    // A source longer than its size said still reads in larger pieces, never past the chunk.
    MarkedTextFileDecoder bounded(m, 64 << 10);
    EXPECT_EQ(DecodeWith(bounded, big, 0), ReferenceDecode(big, m));
    EXPECT_EQ(bounded.ReadCapacity(), size_t(64) << 10);
}

// The decoders copy the matrix: a temporary one, or one the caller changes later, is safe.
TEST(MarkedTextDecoder, KeepsItsOwnCopyOfTheMatrix) {
    const EncriptMatrix original = PrepareEncriptMatrix(kKey);
    std::mt19937 rng(2);
    const std::string src = MarkedText(2000, rng);
    const std::string expected = ReferenceDecode(src, original);
    for (BlockDecoder::Kind kind :
         {BlockDecoder::Kind::Portable, BlockDecoder::Kind::Ssse3, BlockDecoder::Kind::Avx512Vbmi}) {
        if (!BlockDecoder::Supported(kind)) continue;
        auto callers = std::make_unique<EncriptMatrix>(original);
        MarkedTextDecoder decoder(*callers, kind);
        *callers = PrepareEncriptMatrix("another key, another matrix");
        callers.reset();
        StringSink out;
        decoder.Feed(reinterpret_cast<const uint8_t*>(src.data()), src.size(), out);
        decoder.Flush(out);
        EXPECT_EQ(out.data, expected) << "kind " << int(kind);

        MarkedTextDecoder fromTemporary(PrepareEncriptMatrix(kKey), kind);
        StringSink out2;
        fromTemporary.Feed(reinterpret_cast<const uint8_t*>(src.data()), src.size(), out2);
        fromTemporary.Flush(out2);
        EXPECT_EQ(out2.data, expected) << "kind " << int(kind);
    }
    MarkedTextFileDecoder file(PrepareEncriptMatrix(kKey));
    EXPECT_EQ(DecodeWith(file, src, src.size()), expected);
}
