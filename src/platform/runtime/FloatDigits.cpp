// Correctly rounded significant digits of a double: a product with a table of 128-bit powers of ten
// settles nearly every value at once; exact integer arithmetic and the library's conversion take the rest.
#include "platform/runtime/FloatDigits.h"

#include <array>
#include <bit>
#include <charconv>
#include <cstring>
#include <vector>

namespace {

using uint128 = unsigned __int128;

// 10^k for k up to 22: with a 53-bit significand the product stays within 128 bits.
constexpr int kMaxPow10 = 22;
constexpr std::array<uint128, kMaxPow10 + 1> kPow10 = [] {
    std::array<uint128, kMaxPow10 + 1> Powers{};
    uint128 Power = 1;
    for (auto& Entry : Powers) {
        Entry = Power;
        Power *= 10;
    }
    return Powers;
}();

// The same digits from the shortest text that reads back as the value, where that decides them.
// With at most 15 digits asked for of a normal value, a shortest text of no more digits is the nearest one,
// as the spacing of 15-digit decimals is several times the value's own; a longer one lies on the value's side
// of every midpoint it does not hit, or a shorter text would have read back too. False when the shortest text
// is that midpoint itself.
bool ShortestDigits(double value, int significant, uint64_t& whole, int& exponent) {
    char buf[32];
    const char* end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific).ptr;
    const char* e = static_cast<const char*>(std::memchr(buf, 'e', static_cast<size_t>(end - buf)));
    char shortest[24];
    int count = 0;
    for (const char* p = buf; p < e; ++p)
        if (*p != '.') shortest[count++] = *p;
    int exp10 = 0;
    std::from_chars(e + (e[1] == '+' ? 2 : 1), end, exp10);
    exponent = exp10 + 1;
    if (count == significant + 1 && shortest[significant] == '5') return false;
    whole = 0;
    for (int i = 0; i < significant; ++i)
        whole = whole * 10 + static_cast<uint64_t>(i < count ? shortest[i] - '0' : 0);
    if (count > significant && shortest[significant] >= '5') ++whole;
    if (whole == static_cast<uint64_t>(kPow10[static_cast<size_t>(significant)])) {
        whole /= 10;
        ++exponent;
    }
    return true;
}

// 10^k as a 128-bit significand T in [2^127, 2^128) and a binary exponent: 10^k ≈ T × 2^Exponent,
// never above it and less than two units of T below.
struct TPow10Entry {
    uint64_t High;
    uint64_t Low;
    int Exponent;
};

constexpr int kTableMinPow = -330;
constexpr int kTableMaxPow = 330;

// Worked out once in plain multiple-precision arithmetic: positive powers exactly, negative ones by
// dividing 2^kScaleBits by ten again and again (each division floors, so the error stays under two
// units of the wide value, far below T's last bit).
const std::array<TPow10Entry, kTableMaxPow - kTableMinPow + 1>& Pow10Table() {
    static const auto Table = [] {
        std::array<TPow10Entry, kTableMaxPow - kTableMinPow + 1> Entries{};
        using TLimbs = std::vector<uint32_t>; // little-endian
        auto bitLength = [](const TLimbs& n) {
            size_t top = n.size();
            while (top > 0 && n[top - 1] == 0)
                --top;
            return top == 0 ? 0 : static_cast<int>(32 * (top - 1)) + std::bit_width(n[top - 1]);
        };
        auto bit = [](const TLimbs& n, int i) { return (n[static_cast<size_t>(i / 32)] >> (i % 32)) & 1; };
        // The top 128 bits of n, with n = T × 2^shift (T exact when n has at most 128 bits).
        auto top128 = [&](const TLimbs& n, int& shift) {
            const int length = bitLength(n);
            shift = length - 128;
            uint128 t = 0;
            for (int i = length - 1; i >= std::max(0, shift); --i)
                t = (t << 1) | bit(n, i);
            if (shift < 0) t <<= -shift;
            return t;
        };
        auto store = [&](int k, uint128 t, int exponent) {
            Entries[static_cast<size_t>(k - kTableMinPow)] = {static_cast<uint64_t>(t >> 64),
                                                              static_cast<uint64_t>(t), exponent};
        };
        TLimbs power{1};
        for (int k = 0; k <= kTableMaxPow; ++k) {
            int shift;
            const uint128 t = top128(power, shift);
            store(k, t, shift);
            uint64_t carry = 0;
            for (uint32_t& limb : power) {
                const uint64_t product = uint64_t{limb} * 10 + carry;
                limb = static_cast<uint32_t>(product);
                carry = product >> 32;
            }
            if (carry) power.push_back(static_cast<uint32_t>(carry));
        }
        constexpr int kScaleBits = 1400; // 10^330 needs 1097 bits; the quotient keeps over 300
        TLimbs scaled(kScaleBits / 32 + 1, 0);
        scaled.back() = uint32_t{1} << (kScaleBits % 32);
        for (int k = 1; k <= -kTableMinPow; ++k) {
            uint64_t rest = 0;
            for (size_t i = scaled.size(); i-- > 0;) {
                const uint64_t current = (rest << 32) | scaled[i];
                scaled[i] = static_cast<uint32_t>(current / 10);
                rest = current % 10;
            }
            int shift;
            const uint128 t = top128(scaled, shift);
            store(-k, t, shift - kScaleBits);
        }
        return Entries;
    }();
    return Table;
}

// Significant digits (1 to 17) of a positive normal value, rounded from its exact binary value to
// nearest: Whole holds them as an integer, Exponent as FloatSignificantDigits sets it. The product with the
// table's 10^k is known to well within one unit of 2^-64 of the result's last place, so the rounding is
// certain unless the dropped part lies right at a half; then it answers false and the exact ways decide.
bool FastSignificant(double value, int significant, uint64_t& whole, int& exponent) {
    const uint64_t bits = std::bit_cast<uint64_t>(value);
    const int biased = static_cast<int>(bits >> 52);
    if (biased == 0 || biased == 0x7FF) return false;
    const uint64_t mantissa = (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
    const int binaryExponent = biased - 1075; // value = mantissa × 2^binaryExponent
    // floor(log10(2^(biased - 1023))): floor(log10(value)) or one below it.
    int power = ((biased - 1023) * 315653) >> 20;
    const uint64_t limit = static_cast<uint64_t>(kPow10[static_cast<size_t>(significant)]);
    for (int attempt = 0; attempt < 2; ++attempt, ++power) {
        const int k = significant - 1 - power;
        if (k < kTableMinPow || k > kTableMaxPow) return false;
        const TPow10Entry& entry = Pow10Table()[static_cast<size_t>(k - kTableMinPow)];
        // mantissa × T as three 64-bit words.
        const uint128 low = uint128{mantissa} * entry.Low;
        const uint128 high = uint128{mantissa} * entry.High + (low >> 64);
        const int shift = -(binaryExponent + entry.Exponent); // value × 10^k ≈ product / 2^shift
        if (shift <= 64 || shift >= 192) return false;
        // The product's bits from 64 up: the integer part and the upper fraction.
        const uint128 upper = high;
        const int fractionBits = shift - 64;
        const uint64_t integer = fractionBits >= 128 ? 0 : static_cast<uint64_t>(upper >> fractionBits);
        if (integer >= limit) continue;
        const uint128 fraction = fractionBits >= 128 ? upper : upper & ((uint128{1} << fractionBits) - 1);
        const uint128 half = uint128{1} << (fractionBits - 1);
        if (fraction == half || fraction + 1 == half) return false;
        whole = integer + (fraction > half ? 1 : 0);
        if (whole < limit / 10) return false; // the estimate of the power was high
        exponent = power + 1;
        if (whole == limit) {
            whole /= 10;
            ++exponent;
        }
        return true;
    }
    return false;
}

} // namespace

// The table's product decides nearly every value; what it leaves open (a dropped part at a half,
// subnormals) is worked out exactly: in 128-bit integers from about 1e-6 up to 2^53, through the
// library's conversion elsewhere.
uint64_t FloatSignificantDigits(double value, int significant, int& exponent) {
    uint64_t whole;
    if (FastSignificant(value, significant, whole, exponent)) return whole;
    const uint64_t bits = std::bit_cast<uint64_t>(value);
    const int biased = static_cast<int>(bits >> 52);
    const int shift = 1075 - biased; // value = mantissa / 2^shift
    if (biased != 0 && shift >= 1 && shift < 128) {
        const uint64_t mantissa = (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
        // Lower bound of floor(log10(value)); one too low at most.
        int power = ((biased - 1023) * 78913) >> 18;
        for (int attempt = 0; attempt < 2; ++attempt, ++power) {
            const int scale = significant - 1 - power;
            if (scale < 0 || scale > kMaxPow10) break;
            const uint128 scaled = uint128{mantissa} * kPow10[static_cast<size_t>(scale)];
            whole = static_cast<uint64_t>(scaled >> shift);
            const uint128 rest = scaled & ((uint128{1} << shift) - 1);
            const uint128 half = uint128{1} << (shift - 1);
            const uint64_t limit = static_cast<uint64_t>(kPow10[static_cast<size_t>(significant)]);
            if (whole >= limit) continue;
            if (rest > half || (rest == half && (whole & 1))) ++whole;
            exponent = power + 1;
            if (whole == limit) {
                whole /= 10;
                ++exponent;
            }
            return whole;
        }
    }
    if (significant <= 15 && biased != 0 && ShortestDigits(value, significant, whole, exponent)) return whole;
    char buf[64];
    const auto result =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, significant - 1);
    // "d.ddde+XX"
    whole = 0;
    const char* p = buf;
    for (; p < result.ptr && *p != 'e'; ++p)
        if (*p != '.') whole = whole * 10 + static_cast<uint64_t>(*p - '0');
    int exp10 = 0;
    std::from_chars(p + (p[1] == '+' ? 2 : 1), result.ptr, exp10);
    exponent = exp10 + 1;
    return whole;
}
