#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "decoding/BlockDecoder.h"
#include "decoding/MarkedTextDecoder.h"

TEST(BlockDecoder, EveryKindMatchesDecodeBlock) {
    std::mt19937 rng(9);
    int kindsTried = 0;
    for (BlockDecoder::Kind kind :
         {BlockDecoder::Kind::Portable, BlockDecoder::Kind::Ssse3, BlockDecoder::Kind::Avx512Vbmi}) {
        if (!BlockDecoder::Supported(kind)) continue;
        ++kindsTried;
        for (int round = 0; round < 300; ++round) {
            std::string key(10, ' ');
            for (char& c : key)
                c = static_cast<char>(rng());
            const EncriptMatrix m = PrepareEncriptMatrix(key);
            BlockDecoder decoder(m, kind);
            uint8_t block[128], expected[128], got[128];
            for (uint8_t& b : block)
                b = static_cast<uint8_t>(rng());
            // Bytes right at each position's limit, where an off-by-one would show.
            for (int i = 0; i < 128; i += 3)
                block[m.Positions[i]] = static_cast<uint8_t>(31 + m.Shifts[i] + rng() % 3);
            DecodeBlock(block, m, expected);
            decoder.Decode(block, got);
            ASSERT_EQ(0, std::memcmp(expected, got, 128)) << "kind " << int(kind) << " round " << round;
        }
    }
    EXPECT_GE(kindsTried, 1);
    EXPECT_TRUE(BlockDecoder::Supported(BlockDecoder::Best()));
}

TEST(BlockDecoder, UnsupportedKindIsRefused) {
    const EncriptMatrix m = PrepareEncriptMatrix("1234567890");
    for (BlockDecoder::Kind kind : {BlockDecoder::Kind::Ssse3, BlockDecoder::Kind::Avx512Vbmi})
        if (!BlockDecoder::Supported(kind)) EXPECT_THROW(BlockDecoder(m, kind), std::invalid_argument);
    EXPECT_NO_THROW(BlockDecoder(m, BlockDecoder::Kind::Portable));
}
