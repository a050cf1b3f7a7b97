#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

#include "decoding/KeySchedule.h"

namespace {

uint16_t Crc(std::string_view s) {
    return KeyCrc16(reinterpret_cast<const uint8_t*>(s.data()), static_cast<uint16_t>(s.size()));
}

void ExpectValidMatrix(const EncriptMatrix& m) {
    std::set<int> seen(m.Positions.begin(), m.Positions.end());
    EXPECT_EQ(seen.size(), 128u);
    EXPECT_EQ(*seen.begin(), 0);
    EXPECT_EQ(*seen.rbegin(), 127);
    for (uint8_t s : m.Shifts) {
        EXPECT_GE(s, 11);
        EXPECT_LE(s, 31);
    }
}

} // namespace

TEST(KeyCrc16, CheckValueAndEmptyInput) {
    EXPECT_EQ(Crc("123456789"), 0x6F91);
    EXPECT_EQ(Crc(""), 0xFFFF);
    // One byte through the table: entry (0xFF ^ b) xor 0x00FF.
    EXPECT_EQ(Crc(std::string(1, '\xFE')), 0x1189 ^ 0x00FF);
    EXPECT_EQ(Crc(std::string(1, '\x7F')), 0x8408 ^ 0x00FF);
}

TEST(KeyCrc16, HighBytesCountUnsigned) {
    // A signed byte would index the table out of its range, and give another value.
    EXPECT_NE(Crc("\xE9"), Crc("\x69"));
    EXPECT_EQ(Crc("\xE9"), KeyCrc16(std::array<uint8_t, 1>{0xE9}.data(), 1));
}

TEST(TrimKey, RemovesBytesUpTo32AtBothEndsOnly) {
    EXPECT_EQ(TrimKey(" \t\r\n key with inner space \x01\x1F "), "key with inner space");
    EXPECT_EQ(TrimKey("   "), "");
    EXPECT_EQ(TrimKey("\x7F"
                      "x"),
              "\x7F"
              "x");
    EXPECT_FALSE(IsKeyAcceptable("  123456789  "));
    EXPECT_TRUE(IsKeyAcceptable("  1234567890  "));
    EXPECT_TRUE(IsKeyAcceptable("\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9"));
}

TEST(PrepareEncriptMatrix, PermutationAndShiftRangeForManyKeys) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int n = 0; n < 2000; ++n) {
        std::string key(10, '\0');
        for (char& c : key)
            c = static_cast<char>(byte(rng));
        ExpectValidMatrix(PrepareEncriptMatrix(key));
    }
    ExpectValidMatrix(PrepareEncriptMatrix(std::string(10, '\0')));
    ExpectValidMatrix(PrepareEncriptMatrix(std::string(10, '\xFF')));
}

TEST(PrepareEncriptMatrix, OnlyTheFirstTenBytesCount) {
    const EncriptMatrix ten = PrepareEncriptMatrix("abcdefghij");
    EXPECT_EQ(PrepareEncriptMatrix("abcdefghijk"), ten);
    EXPECT_EQ(PrepareEncriptMatrix("abcdefghij and much more text"), ten);
    EXPECT_NE(PrepareEncriptMatrix("abcdefghiJ"), ten);
    EXPECT_NE(PrepareEncriptMatrix("abcd efghi"), PrepareEncriptMatrix("abcdefghij"));
    // Trimming before the schedule makes surrounding blanks irrelevant.
    EXPECT_EQ(PrepareEncriptMatrix(TrimKey("\t  abcdefghij \r\n")), ten);
}

TEST(PrepareEncriptMatrix, DifferentKeysGiveDifferentMatricesAndHighBytesMatter) {
    std::set<std::string> distinct;
    for (int i = 0; i < 256; ++i) {
        std::string key = "key-";
        key += static_cast<char>(i);
        key += "-12345";
        const EncriptMatrix m = PrepareEncriptMatrix(key);
        distinct.insert(std::string(m.Positions.begin(), m.Positions.end()) +
                        std::string(m.Shifts.begin(), m.Shifts.end()));
    }
    EXPECT_EQ(distinct.size(), 256u);
}

TEST(PrepareEncriptMatrix, ShortKeyIsRefusedRatherThanOverread) {
    EXPECT_THROW(PrepareEncriptMatrix("123456789"), std::invalid_argument);
    EXPECT_NO_THROW(PrepareEncriptMatrix("1234567890"));
}

namespace {

// The schedule once more, written straight from its description and kept slow and literal: a bitwise
// checksum, the work array and key buffer as named there, and an ordered list to pick from.
uint16_t LiteralCrc16(const uint8_t* bytes, unsigned count) {
    uint16_t crc = 0xFFFF;
    for (unsigned i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0x8408) : static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}

void Store(uint8_t* first, uint16_t c) {
    first[0] = static_cast<uint8_t>(c >> 8);
    first[1] = static_cast<uint8_t>(c & 0xFF);
}

EncriptMatrix LiteralSchedule(std::string_view key) {
    uint8_t K[10];
    for (int i = 0; i < 10; ++i)
        K[i] = static_cast<uint8_t>(key[i]);
    uint8_t M[128] = {};
    for (int n = 1; n <= 10; ++n)
        Store(&M[2 * n - 2], LiteralCrc16(K, n)); // step 1
    for (int i = 0; i <= 9; ++i)
        M[i] = K[9 - i]; // step 2
    for (int i = 0; i <= 9; ++i)
        K[i] = M[i]; // step 3
    for (int n = 1; n <= 10; ++n)
        Store(&M[18 + 2 * n], LiteralCrc16(K, n));              // step 4
    const uint8_t a = M[18], b = M[19], a2 = M[38], b2 = M[39]; // step 5
    for (int i = 0; i <= 17; ++i)
        M[i] = M[i] ^ M[20 + i] ^ (i % 2 == 0 ? a ^ a2 : b ^ b2);
    M[18] = a ^ a2;
    M[19] = b ^ b2;
    for (int n = 20; n <= 126; n += 2)
        Store(&M[n], LiteralCrc16(M, n)); // step 6
    EncriptMatrix m;
    std::vector<int> available; // step 7
    for (int v = 0; v <= 127; ++v)
        available.push_back(v);
    for (int j = 0; j <= 127; ++j) {
        const int t = M[j] % (128 - j);
        m.Positions[j] = static_cast<uint8_t>(available[t]);
        available.erase(available.begin() + t);
    }
    for (int k = 0; k <= 127; ++k) { // step 8
        int s = M[k] % 32;
        if (s < 11) s = s + 11;
        m.Shifts[k] = static_cast<uint8_t>(s);
    }
    return m;
}

std::string Hex(const uint8_t* bytes, size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        s += digits[bytes[i] >> 4];
        s += digits[bytes[i] & 15];
    }
    return s;
}

std::string Hex(const EncriptMatrix& m) {
    return Hex(m.Positions.data(), 128) + "/" + Hex(m.Shifts.data(), 128);
}

} // namespace

TEST(KeyCrc16, MatchesTheBitwiseChecksumOverEveryLengthTheScheduleUses) {
    std::mt19937 rng(17);
    uint8_t bytes[128];
    for (int round = 0; round < 200; ++round) {
        for (uint8_t& b : bytes)
            b = static_cast<uint8_t>(rng());
        for (uint16_t n = 0; n <= 128; ++n)
            ASSERT_EQ(KeyCrc16(bytes, n), LiteralCrc16(bytes, n)) << n;
    }
}

TEST(PrepareEncriptMatrix, MatchesTheLiteralScheduleForThousandsOfKeys) {
    std::mt19937 rng(23);
    for (int n = 0; n < 4000; ++n) {
        std::string key(10 + rng() % 6, '\0');
        // Printable keys as typed, and any bytes at all.
        for (char& c : key)
            c = static_cast<char>(n % 2 == 0 ? 33 + rng() % 94 : rng());
        ASSERT_EQ(Hex(PrepareEncriptMatrix(key)), Hex(LiteralSchedule(key))) << "key " << n;
    }
}

// Known answers, frozen: a change of the schedule that both directions share would still show here.
TEST(PrepareEncriptMatrix, KnownKeysGiveKnownMatrices) {
    const std::pair<std::string, std::string> known[] = {
        {"1234567890", "6c2e337f3952411d7d23165e4c5f18710f7270141c46206a794b49372b294e1556780501574853472a697"
                       "6501977360e5b5a0843111b1706594f26653b4d1a2f"
                       "250355120a6d3a107e75633432583e380b6b3d4a54356f442c6e423f662160735d407b68047a513061312"
                       "22d677c133c5c020d09072700240c621f644574281e/"
                       "0c0e101c17151e1d0e19161610151b151f0e0d13181b1a0d0b1e0d12120c1b130b190c1e160b0e0d1e0b1"
                       "c0b1a14170c191811110c11181f1113140b13121318"
                       "121f10151d0c0d0c0f1514150f0d151915121f120b1e0d12120c1b130b190c1e160b0e0d1e0b1c0b1a141"
                       "70c191811110c11181f1113140b13121318121f1015"},
        {"Quillmar-k3y", "69252c1873392e6a061a6e7207450c12242d5d015c354e17047f3a22606343336c023d795b291f704f3"
                         "c31030d000b28477a52214b5e71513820114837134c41"
                         "2f341c6f1d4d507b55326636145954427d4909166b67750e747c271e76087e40786158620a655f64234"
                         "64a6d770f683f3b303e262a2b561519055a5710441b53/"
                         "140f14180b110b1d110f101d0e1d1c0f1e13101b0e141f0f130d161e150c1111100c12141f120f1f0d1"
                         "40b0b1113131217191d19140b0b0c101f190d0d120e0b"
                         "14150c131c1e1e15181515121b110f180e181a0c130d161e150c1111100c12141f120f1f0d140b0b111"
                         "3131217191d19140b0b0c101f190d0d120e0b14150c13"},
        {"\xE9t\xE9 \xFF\x80key!", "4a52175d287d4608683f761a111005617c24752c53785401275f450b0f49381b126709716"
                                   "a152e5b376e3d416243207b591c0a0d3b7f26191d5c4e393a662f14"
                                   "306c791f65030e3c3163736f5840424b027269040c2260185e4856574f74213e292d7e2a3"
                                   "6234d1355774c476d070034257a3550065a2b336b5164701e324416/"
                                   "1511151a12181e1a0c130e0d100f10150d1e140f1210100c12141f120f1f0d140b0b11131"
                                   "31217191d19140b0b0c101f190d0d120e0b14150c131c1e1e151815"
                                   "15121b110f180e181a0c130d161e150c1111100c12141f120f1f0d140b0b1113131217191"
                                   "d19140b0b0c101f190d0d120e0b14150c131c1e1e15181515121b11"},
    };
    for (const auto& [key, hex] : known)
        EXPECT_EQ(Hex(PrepareEncriptMatrix(key)), hex) << key;
}
