#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "decoding/DecodingTestSupport.h"
#include "decoding/MarkedTextDecoder.h"
#include "decoding/MarkedTextEncoder.h"

using namespace decodingtest;

namespace {

const EncriptMatrix& Matrix() {
    static const EncriptMatrix m = PrepareEncriptMatrix("Quillmar-k3y");
    return m;
}

std::string Decode(const std::string& source, size_t readChunk = 1 << 20, size_t piece = SIZE_MAX) {
    StringSource in(source, piece);
    StringSink out;
    NoProgress progress;
    DecodeMarkedText(in, out, source.size(), Matrix(), progress, readChunk);
    return out.data;
}

std::string DecodedBlock(std::string block) {
    block.resize(128, ' ');
    uint8_t out[128];
    DecodeBlock(reinterpret_cast<const uint8_t*>(block.data()), Matrix(), out);
    return std::string(reinterpret_cast<char*>(out), 128);
}

std::string ReferenceDecode(const std::string& src) {
    return decodingtest::ReferenceDecode(src, Matrix());
}

} // namespace

TEST(DecodeBlock, ShiftsBackOnlyWhatStaysPrintable) {
    EncriptMatrix m;
    for (int i = 0; i < 128; ++i) {
        m.Positions[i] = static_cast<uint8_t>(127 - i);
        m.Shifts[i] = 11;
    }
    uint8_t in[128], out[128];
    for (int i = 0; i < 128; ++i)
        in[i] = static_cast<uint8_t>(i * 2);
    in[127] = ' ';
    DecodeBlock(in, m, out);
    EXPECT_EQ(out[0], ' ');       // a space never moves: 32 - 11 is below 32
    EXPECT_EQ(out[127 - 21], 42); // 42 - 11 = 31: stays
    EXPECT_EQ(out[127 - 22], 44 - 11);
    EXPECT_EQ(out[127 - 127], ' ');
    uint8_t high[128];
    std::memset(high, 0xFF, 128);
    DecodeBlock(high, m, out);
    EXPECT_EQ(out[5], 0xFF - 11); // unsigned, not a negative char
}

TEST(MarkedTextDecoder, TextWithoutMarkersIsCopiedWithSubstitution) {
    EXPECT_EQ(Decode("plain \"quoted\" text! #hash* *star"), "plain ~quoted~ text` #hash* *star");
    EXPECT_EQ(Decode(""), "");
    std::string all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    std::string expected = all;
    expected[0x21] = 0x60;
    expected[0x22] = 0x7E;
    EXPECT_EQ(Decode(all), expected);
}

TEST(MarkedTextDecoder, ShortRegionIsPaddedWithSpacesAndDecodedWhole) {
    for (size_t n : {1u, 2u, 64u, 126u, 127u}) {
        std::string content(n, 'q');
        content[n / 2] = 'Z';
        EXPECT_EQ(Decode("ab*#" + content + "#*cd"), "ab*#" + DecodedBlock(content) + "#*cd") << n;
    }
}

TEST(MarkedTextDecoder, FullBlocksFlushOnTheFollowingByte) {
    std::string a(128, 'a'), b(100, 'b');
    a[0] = 'A';
    b[0] = 'B';
    EXPECT_EQ(Decode("*#" + a + "#*"), "*#" + DecodedBlock(a) + "#*");
    EXPECT_EQ(Decode("*#" + a + b + "#*"), "*#" + DecodedBlock(a) + DecodedBlock(b) + "#*");
    std::string a2 = a;
    a2[0] = 'C';
    EXPECT_EQ(Decode("*#" + a + a2 + "#*"), "*#" + DecodedBlock(a) + DecodedBlock(a2) + "#*");
}

TEST(MarkedTextDecoder, BlocksStartingWithSpaceAreDroppedAndLeaveStaleBytes) {
    EXPECT_EQ(Decode("*# abc#*"), "*##*");
    EXPECT_EQ(Decode("*##*"), "*##*");
    // The dropped block stays pending: a shorter later region is filled with its stale bytes.
    // The closing puts its '*' at the front of the dropped block, and the later closing blanks its own
    // '#' at position 3; everything behind that is left over from the first region.
    EXPECT_EQ(Decode("*# 0123456789#* and *#xyz#*"), "*##* and *#" + DecodedBlock("xyz 3456789") + "#*");
}

TEST(MarkedTextDecoder, StarRightAfterOpeningClosesAtOnce) {
    EXPECT_EQ(Decode("*#*rest"), "*##*rest");
    // After an earlier closing the pending block starts with that closing's '*'.
    std::string first(10, 'f');
    EXPECT_EQ(Decode("*#" + first + "#* *#*"),
              "*#" + DecodedBlock(first) + "#* *#" + DecodedBlock("*") + "#*");
}

TEST(MarkedTextDecoder, ClosingFollowedByHashOpensTheNextRegion) {
    std::string a = "alpha", b = "beta";
    EXPECT_EQ(Decode("*#" + a + "#*#" + b + "#*"), "*#" + DecodedBlock(a) + "#*#" + DecodedBlock(b) + "#*");
}

TEST(MarkedTextDecoder, FileStartingWithMarkerAndUnterminatedRegion) {
    EXPECT_EQ(Decode("*#abc#*"), "*#" + DecodedBlock("abc") + "#*");
    std::string a(128, 'a');
    // An open region at the end loses its pending bytes, even a whole block.
    EXPECT_EQ(Decode("head *#" + a), "head *#");
    EXPECT_EQ(Decode("head *#" + a + "b"), "head *#" + DecodedBlock(a));
    EXPECT_EQ(Decode("#"), "#");
    EXPECT_EQ(Decode("#*"), "#*");
}

TEST(MarkedTextDecoder, SubstitutionHappensInsideRegionsBeforeDecoding) {
    EXPECT_EQ(Decode("*#a!b\"#*"), "*#" + DecodedBlock("a`b~") + "#*");
}

TEST(MarkedTextDecoder, MatchesTheByteAtATimeMachineOnRandomMarkedText) {
    std::mt19937 rng(11);
    const std::string alphabet = "*#*#*# !\"abcXYZ\x01\xFF\x80";
    for (int round = 0; round < 300; ++round) {
        std::string src;
        const int len = std::uniform_int_distribution<int>(0, 2000)(rng);
        for (int i = 0; i < len; ++i) {
            if (rng() % 4 == 0)
                src += alphabet[rng() % alphabet.size()];
            else
                src += static_cast<char>(rng() % 256);
        }
        const std::string expected = ReferenceDecode(src);
        for (size_t chunk : {size_t(1), size_t(3), size_t(128), size_t(1) << 20})
            ASSERT_EQ(Decode(src, chunk), expected) << "round " << round << " chunk " << chunk;
    }
}

TEST(MarkedTextDecoder, LongOutputExpansionCrossesTheOutputBuffer) {
    // Every "#*#*" pair writes a stale 128-byte block: output grows about 64 times the input.
    std::string src = "*#x#*";
    for (int i = 0; i < 20000; ++i)
        src += "#*";
    EXPECT_EQ(Decode(src, 4096), ReferenceDecode(src));
    EXPECT_GT(ReferenceDecode(src).size(), size_t(1) << 20);
}

// Known answer, frozen: scrambled bytes made once with this key. A fault shared by the key schedule
// and the encoder would pass the round trip, not this.
TEST(MarkedTextDecoder, KnownScrambledTextGivesKnownPlainText) {
    const std::string hex = "2a23858c8481333284482c3a2d333e763e39348083423b2d2c7a8f2d862c4153317c8e858d31867d"
                            "2c318687303f83786c472b7a9077497d8f2d7431883434342b39"
                            "343d3831353d337f2e3833753f568280572c3d332f96392b2f312e898330852b8c323f7a2b34912d"
                            "3d5f8b337f3275498f848f79353630373f347e352c2e326f232a";
    std::string scrambled;
    for (size_t i = 0; i < hex.size(); i += 2)
        scrambled += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    std::string plain = "Known answer: \"the quick brown fox\" jumps over the lazy dog! 0123456789 ~{|}";
    plain.resize(128, ' ');
    EXPECT_EQ(Decode("intro!\n" + scrambled + "\n"), "intro`\n*#" + plain + "#*\n");
}

TEST(DecoderProgress, OneReportPerByteThenTheFinalOne) {
    const std::string src = "ab*#cd#*e";
    for (size_t chunk : {size_t(1), size_t(4), size_t(1) << 20}) {
        StringSource in(src);
        StringSink out;
        RecordingProgress progress;
        DecodeMarkedText(in, out, src.size(), Matrix(), progress, chunk);
        ASSERT_EQ(progress.reports.size(), src.size() + 1);
        for (size_t k = 0; k < src.size(); ++k)
            EXPECT_DOUBLE_EQ(progress.reports[k], 100.0 * k / src.size());
        EXPECT_DOUBLE_EQ(progress.reports.back(), 100.0);
    }
}

TEST(DecoderProgress, EmptySourceReportsOneHundredOnce) {
    StringSource in("");
    StringSink out;
    RecordingProgress progress;
    DecodeMarkedText(in, out, 0, Matrix(), progress);
    EXPECT_EQ(progress.reports, std::vector<double>{100.0});
    EXPECT_EQ(out.data, "");
}

TEST(DecoderProgress, SizesPastFourGigabytesStayExact) {
    const uint64_t size = (uint64_t(5) << 30) + 3; // past both the 2 GiB and the 4 GiB limits
    EXPECT_DOUBLE_EQ(ProgressSink::Percent(size / 2, size), 100.0 * double(size / 2) / double(size));
    EXPECT_NEAR(ProgressSink::Percent(uint64_t(3) << 31, uint64_t(6) << 31), 50.0, 1e-12);
    EXPECT_DOUBLE_EQ(ProgressSink::Percent(size, size), 100.0);
    RecordingProgress p;
    p.ReportBytes(size - 2, size, size);
    ASSERT_EQ(p.reports.size(), 2u);
    EXPECT_LT(p.reports[0], p.reports[1]);
    EXPECT_LT(p.reports[1], 100.0);
}

TEST(MarkedTextEncoder, EncodeThenDecodeGivesThePaddedTextBack) {
    std::mt19937 rng(3);
    for (int round = 0; round < 200; ++round) {
        const int len = std::uniform_int_distribution<int>(0, 700)(rng);
        std::string plain;
        for (int i = 0; i < len; ++i) {
            // Printable text, line ends, tabs, and the substituted bytes themselves.
            const int r = rng() % 100;
            plain += r < 3 ? '\n' : r < 5 ? '\t' : r < 7 ? '!' : static_cast<char>(32 + rng() % 95);
        }
        EncodeResult enc = EncodeMarkedText(plain, Matrix());
        ASSERT_FALSE(enc.BadOffset);
        std::string padded = plain;
        padded.resize((plain.size() + 127) / 128 * 128, ' ');
        ASSERT_EQ(Decode(enc.Text), "*#" + padded + "#*") << round;
    }
}

TEST(MarkedTextEncoder, UnrepresentableByteIsReportedWithItsOffset) {
    std::string plain(300, 'a');
    plain[200] = '\xFF'; // 255 + any shift passes 255
    EncodeResult enc = EncodeMarkedText(plain, Matrix());
    ASSERT_TRUE(enc.BadOffset);
    EXPECT_EQ(*enc.BadOffset, 200u);
    EXPECT_TRUE(EncodeMarkedText(std::string(10, '\x01'), Matrix()).BadOffset == std::nullopt);
}
