// Block decoding: every kind gives what the literal rule gives, and a decoder leaves no key tables behind.
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

TEST(BlockDecoder, EveryKindLeavesNoTraceOfTheKeyInItsMemory) {
    const EncriptMatrix m = PrepareEncriptMatrix("Lantern-Harbor 7");
    // Any 16 bytes in a row of the positions or the shifts, or of the limits made from them.
    uint8_t limits[128];
    for (size_t i = 0; i < 128; ++i)
        limits[i] = static_cast<uint8_t>(32 + m.Shifts[i]);
    auto Traces = [&](const unsigned char* Storage, size_t Size) {
        int Found = 0;
        for (const uint8_t* Table :
             {m.Positions.data(), m.Shifts.data(), static_cast<const uint8_t*>(limits)})
            for (size_t At = 0; At + 16 <= 128; At += 16)
                Found += memmem(Storage, Size, Table + At, 16) != nullptr;
        return Found;
    };
    for (BlockDecoder::Kind kind :
         {BlockDecoder::Kind::Portable, BlockDecoder::Kind::Ssse3, BlockDecoder::Kind::Avx512Vbmi}) {
        if (!BlockDecoder::Supported(kind)) continue;
        alignas(BlockDecoder) unsigned char Storage[sizeof(BlockDecoder)];
        std::memset(Storage, 0xA5, sizeof Storage);
        auto* Decoder = new (Storage) BlockDecoder(m, kind);
        ASSERT_EQ(Traces(Storage, sizeof Storage), 24)
            << "kind " << int(kind) << " holds the matrix while it lives";
        unsigned char Alive[sizeof Storage];
        std::memcpy(Alive, Storage, sizeof Storage);
        Decoder->~BlockDecoder();
        EXPECT_EQ(Traces(Storage, sizeof Storage), 0) << "kind " << int(kind);
        // Whatever else was made from the key (tables for any kind of decoding) is gone as well:
        // of the nonzero bytes the decoder wrote, only its kind may stay.
        size_t Left = 0;
        for (size_t i = 0; i < sizeof Storage; ++i)
            Left += Alive[i] != 0xA5 && Alive[i] != 0 && Storage[i] == Alive[i];
        EXPECT_LE(Left, sizeof(BlockDecoder::Kind)) << "kind " << int(kind);
    }
}
