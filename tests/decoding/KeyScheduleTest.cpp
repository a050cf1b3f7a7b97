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

}  // namespace

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
    EXPECT_EQ(TrimKey("\x7F" "x"), "\x7F" "x");
    EXPECT_FALSE(IsKeyAcceptable("  123456789  "));
    EXPECT_TRUE(IsKeyAcceptable("  1234567890  "));
    EXPECT_TRUE(IsKeyAcceptable("\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9"));
}

TEST(PrepareEncriptMatrix, PermutationAndShiftRangeForManyKeys) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int n = 0; n < 2000; ++n) {
        std::string key(10, '\0');
        for (char& c : key) c = static_cast<char>(byte(rng));
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
