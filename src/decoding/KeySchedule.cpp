#include "decoding/KeySchedule.h"

#include <stdexcept>

#include "decoding/Wipe.h"

namespace {

constexpr std::array<uint16_t, 256> MakeCrcTable() {
    std::array<uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        uint16_t c = static_cast<uint16_t>(i);
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? static_cast<uint16_t>((c >> 1) ^ 0x8408) : static_cast<uint16_t>(c >> 1);
        table[i] = c;
    }
    return table;
}

constexpr std::array<uint16_t, 256> kCrcTable = MakeCrcTable();
static_assert(kCrcTable[1] == 0x1189 && kCrcTable[128] == 0x8408);

void StoreBigEndian(uint8_t* dst, uint16_t c) {
    dst[0] = static_cast<uint8_t>(c >> 8);
    dst[1] = static_cast<uint8_t>(c & 0xFF);
}

} // namespace

uint16_t KeyCrc16(const uint8_t* bytes, uint16_t count) {
    uint16_t crc = 0xFFFF;
    for (uint16_t i = 0; i < count; ++i)
        crc = kCrcTable[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}

std::string_view TrimKey(std::string_view key) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    while (!key.empty() && blank(key.front()))
        key.remove_prefix(1);
    while (!key.empty() && blank(key.back()))
        key.remove_suffix(1);
    return key;
}

bool IsKeyAcceptable(std::string_view key) {
    return TrimKey(key).size() >= kKeyLength;
}

EncriptMatrix PrepareEncriptMatrix(std::string_view trimmedKey) {
    if (trimmedKey.size() < kKeyLength) throw std::invalid_argument("key shorter than ten bytes");

    std::array<uint8_t, kKeyLength> k{};
    for (size_t i = 0; i < kKeyLength; ++i)
        k[i] = static_cast<uint8_t>(trimmedKey[i]);
    std::array<uint8_t, kBlockSize> m{};

    // Checksums of the key's prefixes.
    for (uint16_t n = 1; n <= 10; ++n)
        StoreBigEndian(&m[2 * n - 2], KeyCrc16(k.data(), n));
    // The reversed key over the front, then the key buffer reversed the same way.
    for (size_t i = 0; i < 10; ++i)
        m[i] = k[9 - i];
    for (size_t i = 0; i < 10; ++i)
        k[i] = m[i];
    for (uint16_t n = 1; n <= 10; ++n)
        StoreBigEndian(&m[18 + 2 * n], KeyCrc16(k.data(), n));
    // Mixing.
    const uint8_t a = m[18], b = m[19], a2 = m[38], b2 = m[39];
    for (size_t i = 0; i < 18; ++i)
        m[i] = m[i] ^ m[20 + i] ^ ((i % 2 == 0) ? (a ^ a2) : (b ^ b2));
    m[18] = a ^ a2;
    m[19] = b ^ b2;
    // Each checksum covers what the passes before it wrote.
    for (uint16_t n = 20; n <= 126; n += 2)
        StoreBigEndian(&m[n], KeyCrc16(m.data(), n));

    EncriptMatrix matrix;
    std::array<uint8_t, kBlockSize> available{};
    for (size_t i = 0; i < kBlockSize; ++i)
        available[i] = static_cast<uint8_t>(i);
    size_t left = kBlockSize;
    for (size_t j = 0; j < kBlockSize; ++j) {
        size_t t = m[j] % (kBlockSize - j);
        matrix.Positions[j] = available[t];
        for (size_t x = t; x + 1 < left; ++x)
            available[x] = available[x + 1];
        --left;
    }
    for (size_t k2 = 0; k2 < kBlockSize; ++k2) {
        uint8_t s = m[k2] % 32;
        if (s < 11) s += 11;
        matrix.Shifts[k2] = s;
    }
    // The key's bytes and everything derived from them stay only in the matrix.
    WipeMemory(k.data(), k.size());
    WipeMemory(m.data(), m.size());
    WipeMemory(available.data(), available.size());
    return matrix;
}
