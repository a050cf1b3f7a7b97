// Floating-point text: parsing, the general / exponent / fixed / number forms and picture formats.

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <locale.h>
#include <utility>
#include <vector>

#include "platform/runtime/CodePage.h"
#include "platform/runtime/RtlConsts.h"
#include "platform/runtime/SysUtils.h"

namespace {

// Up to 17 decimal digits in place: no digit string of a double needs the heap.
class TDigits {
public:
    TDigits() = default;
    TDigits(size_t Count, char Ch) { resize(Count, Ch); }
    TDigits(const char* Text) {
        while (*Text)
            push_back(*Text++);
    }
    bool empty() const { return FSize == 0; }
    size_t size() const { return FSize; }
    char& operator[](size_t i) { return FData[i]; }
    char operator[](size_t i) const { return FData[i]; }
    char back() const { return FData[FSize - 1]; }
    void push_back(char Ch) { FData[FSize++] = Ch; }
    void pop_back() { --FSize; }
    void clear() { FSize = 0; }
    void resize(size_t Count, char Ch = '0') {
        for (size_t i = FSize; i < Count; ++i)
            FData[i] = Ch;
        FSize = static_cast<uint8_t>(Count);
    }
    void push_front(char Ch) {
        std::memmove(FData + 1, FData, FSize);
        FData[0] = Ch;
        ++FSize;
    }

private:
    char FData[24];
    uint8_t FSize = 0;
};

// The decimal digits of a value: value = 0.Digits × 10^Exponent (Digits without trailing zeros
// unless rounding asked for them), Digits empty for zero.
struct Decimal {
    bool Negative = false;
    TDigits Digits;
    int Exponent = 0;
};

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
bool ShortestDigits(double value, int significant, TDigits& digits, int& exponent) {
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
    digits.clear();
    if (count <= significant) {
        for (int i = 0; i < count; ++i)
            digits.push_back(shortest[i]);
        digits.resize(static_cast<size_t>(significant), '0');
        return true;
    }
    if (count == significant + 1 && shortest[significant] == '5') return false;
    for (int i = 0; i < significant; ++i)
        digits.push_back(shortest[i]);
    if (shortest[significant] >= '5') {
        int i = significant - 1;
        while (i >= 0 && digits[static_cast<size_t>(i)] == '9')
            digits[static_cast<size_t>(i--)] = '0';
        if (i >= 0) {
            ++digits[static_cast<size_t>(i)];
        } else {
            digits.push_front('1');
            digits.pop_back();
            ++exponent;
        }
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
// nearest: Whole holds them as an integer, Exponent as for Decimal. The product with the table's
// 10^k is known to well within one unit of 2^-64 of the result's last place, so the rounding is
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

// Count digits of Whole, leading zeros included, into Text.
void WriteDigits(char* text, uint64_t whole, int count) {
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    int i = count;
    while (i >= 2) {
        const size_t pair = static_cast<size_t>(whole % 100) * 2;
        whole /= 100;
        text[--i] = kPairs[pair + 1];
        text[--i] = kPairs[pair];
    }
    if (i == 1) text[0] = static_cast<char>('0' + whole);
}

constexpr double kNegativePow10[] = {1,     1e-1,  1e-2,  1e-3,  1e-4,  1e-5,  1e-6,  1e-7,  1e-8, 1e-9,
                                     1e-10, 1e-11, 1e-12, 1e-13, 1e-14, 1e-15, 1e-16, 1e-17, 1e-18};

// Significant digits of a positive value rounded from its exact binary value to nearest, ties to
// even, as the C library rounds. The table's product decides nearly every value; what it leaves
// open (a dropped part at a half, subnormals) is worked out exactly: in 128-bit integers from
// about 1e-6 up to 2^53, through the library's conversion elsewhere. Exponent as for Decimal.
void SignificantDigits(double value, int significant, TDigits& digits, int& exponent) {
    uint64_t fastWhole;
    if (FastSignificant(value, significant, fastWhole, exponent)) {
        digits.resize(static_cast<size_t>(significant));
        WriteDigits(&digits[0], fastWhole, significant);
        return;
    }
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
            uint64_t whole = static_cast<uint64_t>(scaled >> shift);
            const uint128 rest = scaled & ((uint128{1} << shift) - 1);
            const uint128 half = uint128{1} << (shift - 1);
            const uint64_t limit = static_cast<uint64_t>(kPow10[static_cast<size_t>(significant)]);
            if (whole >= limit) continue;
            if (rest > half || (rest == half && (whole & 1))) ++whole;
            int exp10 = power + 1;
            if (whole == limit) {
                whole /= 10;
                ++exp10;
            }
            char text[24];
            for (int i = significant - 1; i >= 0; --i) {
                text[i] = static_cast<char>('0' + whole % 10);
                whole /= 10;
            }
            digits.clear();
            for (int i = 0; i < significant; ++i)
                digits.push_back(text[i]);
            exponent = exp10;
            return;
        }
    }
    char buf[64];
    if (significant <= 15 && biased != 0 && ShortestDigits(value, significant, digits, exponent)) return;
    auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, significant - 1);
    // "d.ddde+XX"
    digits.clear();
    const char* p = buf;
    for (; p < result.ptr && *p != 'e'; ++p)
        if (*p != '.') digits.push_back(*p);
    int exp10 = 0;
    std::from_chars(p + (p[1] == '+' ? 2 : 1), result.ptr, exp10);
    exponent = exp10 + 1;
}

// Significant digits as the C library rounds the binary value (correctly, to nearest).
Decimal ToDecimal(double value, int significant) {
    Decimal d;
    d.Negative = std::signbit(value);
    value = std::fabs(value);
    if (value == 0) return d;
    SignificantDigits(value, significant, d.Digits, d.Exponent);
    return d;
}

void StripZeros(Decimal& d) {
    while (!d.Digits.empty() && d.Digits.back() == '0')
        d.Digits.pop_back();
    if (d.Digits.empty()) d.Exponent = 0;
}

// Keeps Count digits, rounding halves away from zero on the decimal digits.
void RoundDigits(Decimal& d, int count) {
    if (count < 0) {
        d.Digits.clear();
        d.Exponent = 0;
        return;
    }
    if (static_cast<int>(d.Digits.size()) <= count) return;
    bool up = d.Digits[count] >= '5';
    d.Digits.resize(count);
    if (up) {
        int i = count - 1;
        while (i >= 0 && d.Digits[i] == '9')
            d.Digits[i--] = '0';
        if (i >= 0) {
            d.Digits[i]++;
        } else {
            d.Digits.push_front('1');
            d.Digits.pop_back();
            d.Exponent++;
            if (count == 0) d.Digits = "1";
        }
    }
    StripZeros(d);
}

// 17 significant digits identify every double; rounding then works on the decimal text.
Decimal Exact(double value) {
    Decimal d = ToDecimal(value, 17);
    StripZeros(d);
    return d;
}

// Fixed decimals: round at Decimals places after the point.
Decimal Fixed(double value, int decimals) {
    // Far below half a unit of the last place: no digit survives, whatever the 17 digits are.
    if (decimals >= 0 && decimals <= 18 &&
        std::fabs(value) < 0.4 * kNegativePow10[static_cast<size_t>(decimals)]) {
        Decimal d;
        d.Negative = std::signbit(value);
        return d;
    }
    Decimal d = Exact(value);
    if (d.Digits.empty()) return d;
    RoundDigits(d, d.Exponent + decimals);
    return d;
}

WideString Special(double value) {
    if (std::isnan(value)) return u"NAN";
    return value < 0 ? u"-INF" : u"INF";
}

// Writes the exponent's sign and at least minDigits digits; returns the end.
char16_t* WriteExponent(char16_t* out, int exponent, int minDigits, bool plusSign) {
    if (exponent < 0)
        *out++ = u'-';
    else if (plusSign)
        *out++ = u'+';
    char digits[16];
    auto end = std::to_chars(digits, digits + sizeof digits, exponent < 0 ? -exponent : exponent).ptr;
    for (int pad = minDigits - static_cast<int>(end - digits); pad > 0; --pad)
        *out++ = u'0';
    for (const char* p = digits; p < end; ++p)
        *out++ = static_cast<char16_t>(*p);
    return out;
}

// Room for any text the fixed and general forms write: at most 18 integer digits with their
// separators, 20 decimals, a sign and an exponent.
constexpr size_t kNumberRoom = 80;

// Integer part digits with optional grouping, then the decimals; returns the end.
char16_t* WriteFixed(char16_t* out, const Decimal& d, int minDecimals, int maxDecimals, bool group,
                     const TFormatSettings& fs) {
    const int n = static_cast<int>(d.Digits.size());
    if (d.Negative && n > 0) *out++ = u'-';
    if (d.Exponent <= 0) *out++ = u'0';
    for (int i = 0; i < d.Exponent; ++i) {
        *out++ = static_cast<char16_t>(i < n ? d.Digits[i] : '0');
        const int left = d.Exponent - 1 - i;
        if (group && left > 0 && left % 3 == 0 && fs.ThousandSeparator != 0) *out++ = fs.ThousandSeparator;
    }
    auto decimalAt = [&](int i) {
        const int idx = d.Exponent + i;
        return idx >= 0 && idx < n ? d.Digits[idx] : '0';
    };
    int decimals = maxDecimals;
    while (decimals > minDecimals && decimalAt(decimals - 1) == '0')
        --decimals;
    if (decimals > 0) {
        *out++ = fs.DecimalSeparator;
        for (int i = 0; i < decimals; ++i)
            *out++ = static_cast<char16_t>(decimalAt(i));
    }
    return out;
}

WideString FixedText(const Decimal& d, int minDecimals, int maxDecimals, bool group,
                     const TFormatSettings& fs) {
    char16_t buf[kNumberRoom];
    return WideString(buf, WriteFixed(buf, d, minDecimals, maxDecimals, group, fs));
}

// The general form into buf (kNumberRoom characters); returns the end.
char16_t* WriteGeneral(char16_t* buf, double value, int precision, int digits, const TFormatSettings& fs) {
    if (precision < 1) precision = 1;
    if (precision > 17) precision = 17;
    // The digits without trailing zeros, none for zero; value = 0.text × 10^exponent.
    char text[24];
    int n = 0;
    int exponent = 0;
    uint64_t whole;
    if (value != 0 && FastSignificant(std::fabs(value), precision, whole, exponent)) {
        WriteDigits(text, whole, precision);
        n = precision;
    } else {
        const Decimal d = ToDecimal(value, precision);
        for (; n < static_cast<int>(d.Digits.size()); ++n)
            text[n] = d.Digits[static_cast<size_t>(n)];
        exponent = d.Exponent;
    }
    while (n > 0 && text[n - 1] == '0')
        --n;
    char16_t* out = buf;
    if (n == 0) {
        *out++ = u'0';
        return out;
    }
    if (std::signbit(value)) *out++ = u'-';
    if (exponent > precision || exponent < -3) {
        *out++ = static_cast<char16_t>(text[0]);
        if (n > 1) {
            *out++ = fs.DecimalSeparator;
            for (int i = 1; i < n; ++i)
                *out++ = static_cast<char16_t>(text[i]);
        }
        *out++ = u'E';
        return WriteExponent(out, exponent - 1, digits, false);
    }
    if (exponent <= 0) {
        *out++ = u'0';
        *out++ = fs.DecimalSeparator;
        for (int i = exponent; i < 0; ++i)
            *out++ = u'0';
        for (int i = 0; i < n; ++i)
            *out++ = static_cast<char16_t>(text[i]);
        return out;
    }
    for (int i = 0; i < exponent; ++i)
        *out++ = static_cast<char16_t>(i < n ? text[i] : '0');
    if (n > exponent) {
        *out++ = fs.DecimalSeparator;
        for (int i = exponent; i < n; ++i)
            *out++ = static_cast<char16_t>(text[i]);
    }
    return out;
}

WideString GeneralText(double value, int precision, int digits, const TFormatSettings& fs) {
    char16_t buf[kNumberRoom];
    return WideString(buf, WriteGeneral(buf, value, precision, digits, fs));
}

WideString ExponentFormText(double value, int precision, int digits, const TFormatSettings& fs) {
    if (precision < 1) precision = 1;
    if (precision > 17) precision = 17;
    Decimal d = ToDecimal(value, precision);
    bool zero = d.Digits.empty();
    if (zero) d.Digits = TDigits(static_cast<size_t>(precision), '0');
    char16_t buf[kNumberRoom];
    char16_t* out = buf;
    if (d.Negative && !zero) *out++ = u'-';
    *out++ = static_cast<char16_t>(d.Digits[0]);
    if (precision > 1) {
        *out++ = fs.DecimalSeparator;
        for (size_t i = 1; i < d.Digits.size(); ++i)
            *out++ = static_cast<char16_t>(d.Digits[i]);
    }
    *out++ = u'E';
    out = WriteExponent(out, zero ? 0 : d.Exponent - 1, digits, true);
    return WideString(buf, out);
}

bool ParseFloat(const WideString& s, double& value, const TFormatSettings& fs) {
    size_t i = 0, n = s.size();
    while (i < n && s[i] == u' ')
        ++i;
    std::string text;
    if (i < n && (s[i] == u'+' || s[i] == u'-')) text += static_cast<char>(s[i++]);
    int digits = 0;
    while (i < n && s[i] >= u'0' && s[i] <= u'9') {
        text += static_cast<char>(s[i++]);
        ++digits;
    }
    if (i < n && s[i] == fs.DecimalSeparator) {
        ++i;
        text += '.';
        while (i < n && s[i] >= u'0' && s[i] <= u'9') {
            text += static_cast<char>(s[i++]);
            ++digits;
        }
    }
    if (digits == 0) return false;
    if (i < n && (s[i] == u'e' || s[i] == u'E')) {
        text += 'e';
        ++i;
        if (i < n && (s[i] == u'+' || s[i] == u'-')) text += static_cast<char>(s[i++]);
        int expDigits = 0;
        while (i < n && s[i] >= u'0' && s[i] <= u'9') {
            text += static_cast<char>(s[i++]);
            ++expDigits;
        }
        if (expDigits == 0) return false;
    }
    while (i < n && s[i] == u' ')
        ++i;
    if (i != n) return false;
    static locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
    char* end = nullptr;
    double v = strtod_l(text.c_str(), &end, cLocale);
    if (end != text.c_str() + text.size() || std::isinf(v)) return false;
    value = v;
    return true;
}

// Value / 10^Power for Power 0 to 19, each a division by a constant: a multiplication, where a
// division by a variable would cost more than the rest of a number's text.
uint64_t DividePow10(uint64_t value, int power) {
    return [&]<size_t... P>(std::index_sequence<P...>) {
        uint64_t quotient = 0;
        ((static_cast<int>(P) == power ? (quotient = value / static_cast<uint64_t>(kPow10[P]), true)
                                       : false) ||
         ...);
        return quotient;
    }
    (std::make_index_sequence<20>{});
}

// The value in units of 10^-Decimals, rounded as Fixed rounds (its 17 significant digits, halves
// away from zero), as one integer; false where that takes the digit route.
bool FixedUnits(double magnitude, int decimals, uint64_t& units) {
    if (magnitude < 0.4 * kNegativePow10[static_cast<size_t>(decimals)]) {
        units = 0;
        return true;
    }
    uint64_t whole;
    int exponent;
    if (!FastSignificant(magnitude, 17, whole, exponent)) return false;
    const int dropped = 17 - (exponent + decimals); // digits of whole below the last unit
    if (dropped < -2) return false;                 // 10^19 units and more
    if (dropped <= 0) {
        // Under 10^17 times at most 100: within 64 bits.
        units = whole * static_cast<uint64_t>(kPow10[static_cast<size_t>(-dropped)]);
        return true;
    }
    if (dropped > 18) {
        units = 0;
        return true;
    }
    units = DividePow10(whole, dropped);
    units += whole - units * static_cast<uint64_t>(kPow10[static_cast<size_t>(dropped)]) >=
             static_cast<uint64_t>(kPow10[static_cast<size_t>(dropped)] / 2);
    return true;
}

// --- picture formats

struct Section {
    WideString Text;
};

std::vector<WideString> SplitSections(const WideString& fmt) {
    std::vector<WideString> sections(1);
    char16_t quote = 0;
    for (char16_t c : fmt) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u';') {
            if (sections.size() < 3) {
                sections.emplace_back();
                continue;
            }
        }
        sections.back() += c;
    }
    return sections;
}

struct Picture {
    int IntPlaces = 0; // digit placeholders before the point
    int MinInt = 0;    // integer digits always shown (from the first '0')
    int DecPlaces = 0; // placeholders after the point
    int MinDec = 0;    // decimals always shown (up to the last '0')
    bool HasPoint = false;
    bool Group = false;
    bool Scientific = false;
    int ExpDigits = 0;
    // Only placeholders, group commas and at most one point, with an integer placeholder and at
    // most 18 decimals: the text is the rounded value's digits, nothing interleaved.
    bool Plain = false;
};

// A picture split into its sections, each analysed.
struct TParsedFormat {
    WideString Source;
    std::vector<WideString> Sections;
    std::vector<Picture> Pictures;
};

Picture Analyse(const WideString& fmt) {
    Picture p;
    char16_t quote = 0;
    int firstZero = -1;
    for (size_t i = 0; i < fmt.size(); ++i) {
        char16_t c = fmt[i];
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'0' || c == u'#') {
            if (p.Scientific) continue;
            if (p.HasPoint) {
                ++p.DecPlaces;
                if (c == u'0') p.MinDec = p.DecPlaces;
            } else {
                if (c == u'0' && firstZero < 0) firstZero = p.IntPlaces;
                ++p.IntPlaces;
            }
        } else if (c == u'.') {
            if (!p.Scientific) p.HasPoint = true;
        } else if (c == u',') {
            p.Group = true;
        } else if ((c == u'E' || c == u'e') && i + 1 < fmt.size() &&
                   (fmt[i + 1] == u'+' || fmt[i + 1] == u'-') && !p.Scientific) {
            p.Scientific = true;
            size_t j = i + 2;
            while (j < fmt.size() && fmt[j] == u'0') {
                ++p.ExpDigits;
                ++j;
            }
        }
    }
    p.MinInt = firstZero < 0 ? 0 : p.IntPlaces - firstZero;
    const bool placeholdersOnly = std::all_of(
        fmt.begin(), fmt.end(), [](char16_t c) { return c == u'0' || c == u'#' || c == u',' || c == u'.'; });
    p.Plain = placeholdersOnly && std::count(fmt.begin(), fmt.end(), u'.') <= 1 && p.IntPlaces > 0 &&
              p.DecPlaces <= 18;
    return p;
}

// A plain picture's text of Units (in 10^-DecPlaces); returns the end. Out has room for
// 2 × (picture length + 20) characters.
char16_t* WritePlainPicture(char16_t* out, const Picture& p, uint64_t units, bool negative,
                            const TFormatSettings& fs) {
    // All digits from the right: the decimals first, then the whole part.
    char text[24];
    int count = 0;
    for (uint64_t rest = units; rest > 0 || count < p.DecPlaces; rest /= 10)
        text[23 - count++] = static_cast<char>('0' + rest % 10);
    const int wholeCount = count - p.DecPlaces;
    const char* decimals = text + 24 - p.DecPlaces;
    if (negative && units != 0) *out++ = u'-';
    const int length = std::max(wholeCount, p.MinInt);
    const bool grouped = p.Group && fs.ThousandSeparator != 0;
    for (int pos = 0; pos < length; ++pos) {
        const int fromRight = length - 1 - pos;
        *out++ = static_cast<char16_t>(fromRight < wholeCount ? decimals[-1 - fromRight] : '0');
        if (grouped && fromRight > 0 && fromRight % 3 == 0) *out++ = fs.ThousandSeparator;
    }
    int shown = p.DecPlaces;
    while (shown > p.MinDec && decimals[shown - 1] == '0')
        --shown;
    if (shown > 0) {
        *out++ = fs.DecimalSeparator;
        for (int i = 0; i < shown; ++i)
            *out++ = static_cast<char16_t>(decimals[i]);
    }
    return out;
}

// Digits of the value laid out for a picture: the integer digits (without leading zeros) and the
// decimals kept, both at most a picture's length plus 18.
struct TPictureDigits {
    const char* Int = nullptr;
    int IntCount = 0;
    const char* Dec = nullptr;
    int DecCount = 0;
};

// Room for Count digit characters: in place for any picture of ordinary length.
class TDigitRoom {
public:
    char* Get(int Count) {
        if (Count <= static_cast<int>(sizeof FInPlace)) return FInPlace;
        FStore.assign(static_cast<size_t>(Count), '0');
        return FStore.data();
    }

private:
    char FInPlace[40];
    std::string FStore;
};

// Whether the picture character at i begins an exponent ("E+", "E-", "e+", "e-") of a scientific
// picture.
bool ExponentAt(const WideString& fmt, const Picture& p, size_t i) {
    const char16_t c = fmt[i];
    return (c == u'E' || c == u'e') && p.Scientific && i + 1 < fmt.size() &&
           (fmt[i + 1] == u'+' || fmt[i + 1] == u'-');
}

// Quoting in a picture: a quote character opens or closes a quoted run, whose characters are
// copied as they are.
enum class TQuoting { Outside, Mark, Text };
TQuoting QuotingOf(char16_t c, char16_t& quote) {
    if (quote) {
        if (c != quote) return TQuoting::Text;
        quote = 0;
        return TQuoting::Mark;
    }
    if (c != u'"' && c != u'\'') return TQuoting::Outside;
    quote = c;
    return TQuoting::Mark;
}

// The most ApplyPicture can write, element by element: a sign, every integer digit with a group
// separator, the kept decimals and one decimal separator, each quoted or literal character, and
// for every exponent its marker, sign and digits (a picture may hold any number of exponents).
size_t PictureRoom(const WideString& fmt, const Picture& p, const TPictureDigits& digits, int exponent) {
    const size_t intLength = static_cast<size_t>(std::max(digits.IntCount, p.MinInt));
    size_t room = 1 + 2 * intLength + static_cast<size_t>(digits.DecCount) + 1;
    char digitText[16];
    const auto magnitude = static_cast<unsigned>(exponent < 0 ? -exponent : exponent);
    const size_t exponentDigits =
        static_cast<size_t>(std::to_chars(digitText, std::end(digitText), magnitude).ptr - digitText);
    const size_t exponentRoom = 2 + std::max({exponentDigits, static_cast<size_t>(p.ExpDigits), size_t{1}});
    char16_t quote = 0;
    for (size_t i = 0; i < fmt.size(); ++i) {
        const char16_t c = fmt[i];
        const TQuoting quoting = QuotingOf(c, quote);
        if (quoting != TQuoting::Outside) {
            room += quoting == TQuoting::Text;
        } else if (c == u'0' || c == u'#' || c == u'.' || c == u',') {
            // Counted with the digits above.
        } else if (ExponentAt(fmt, p, i)) {
            room += exponentRoom;
            i += 1 + static_cast<size_t>(p.ExpDigits);
        } else {
            ++room;
        }
    }
    return room;
}

// Writes the picture with the digits into out, which has room for PictureRoom(); returns the end.
char16_t* ApplyPicture(char16_t* out, const WideString& fmt, const Picture& p, const TPictureDigits& digits,
                       int exponent, bool negative, const TFormatSettings& fs) {
    const int pad = std::max(0, p.MinInt - digits.IntCount);
    const int len = pad + digits.IntCount;
    const bool grouped = p.Group && fs.ThousandSeparator != 0;
    if (negative) *out++ = u'-';
    int intSeen = 0, decSeen = 0;
    bool afterPoint = false, intEmitted = false;
    auto emitDigit = [&](int pos) {
        *out++ = static_cast<char16_t>(pos < pad ? '0' : digits.Int[pos - pad]);
        const int left = len - 1 - pos;
        if (grouped && left > 0 && left % 3 == 0) *out++ = fs.ThousandSeparator;
    };
    auto emitAllInt = [&] {
        if (intEmitted) return;
        intEmitted = true;
        for (int pos = 0; pos < len; ++pos)
            emitDigit(pos);
    };
    char16_t quote = 0;
    for (size_t i = 0; i < fmt.size(); ++i) {
        const char16_t c = fmt[i];
        const TQuoting quoting = QuotingOf(c, quote);
        if (quoting != TQuoting::Outside) {
            if (quoting == TQuoting::Text) *out++ = c;
        } else if (c == u'0' || c == u'#') {
            if (!afterPoint) {
                // Placeholder k shows digit len - IntPlaces + k; the first one shows any extra digits.
                const int pos = len - p.IntPlaces + intSeen;
                if (intSeen == 0) {
                    for (int k = 0; k <= pos && k < len; ++k)
                        emitDigit(k);
                } else if (pos >= 0) {
                    emitDigit(pos);
                }
                ++intSeen;
                if (intSeen == p.IntPlaces) intEmitted = true;
            } else {
                if (decSeen < digits.DecCount) *out++ = static_cast<char16_t>(digits.Dec[decSeen]);
                ++decSeen;
            }
        } else if (c == u'.') {
            if (afterPoint) continue;
            if (p.IntPlaces == 0) emitAllInt();
            afterPoint = true;
            if (digits.DecCount > 0) *out++ = fs.DecimalSeparator;
        } else if (c == u',') {
            // Only switches grouping on.
        } else if (ExponentAt(fmt, p, i)) {
            if (p.IntPlaces == 0 && !afterPoint) emitAllInt();
            afterPoint = true;
            *out++ = c;
            out = WriteExponent(out, exponent, std::max(1, p.ExpDigits), fmt[i + 1] == u'+');
            i += 1 + static_cast<size_t>(p.ExpDigits);
        } else {
            *out++ = c;
        }
    }
    return out;
}

} // namespace

bool TryStrToFloat(const WideString& S, double& Value, const TFormatSettings& FS) {
    return ParseFloat(S, Value, FS);
}
bool TryStrToFloat(const WideString& S, double& Value) {
    return TryStrToFloat(S, Value, DefaultFormatSettings());
}
bool TryStrToFloat(const AnsiString& S, double& Value, const TFormatSettings& FS) {
    return ParseFloat(AnsiToWide(S), Value, FS);
}
bool TryStrToFloat(const AnsiString& S, double& Value) {
    return TryStrToFloat(S, Value, DefaultFormatSettings());
}

double StrToFloat(const WideString& S, const TFormatSettings& FS) {
    double v;
    if (!ParseFloat(S, v, FS)) throw EConvertError(Format(SInvalidFloat, {S}));
    return v;
}
double StrToFloat(const WideString& S) {
    return StrToFloat(S, DefaultFormatSettings());
}
double StrToFloat(const AnsiString& S, const TFormatSettings& FS) {
    return StrToFloat(AnsiToWide(S), FS);
}
double StrToFloat(const AnsiString& S) {
    return StrToFloat(AnsiToWide(S), DefaultFormatSettings());
}
double StrToFloatDef(const WideString& S, double Default, const TFormatSettings& FS) {
    double v;
    return ParseFloat(S, v, FS) ? v : Default;
}
double StrToFloatDef(const WideString& S, double Default) {
    return StrToFloatDef(S, Default, DefaultFormatSettings());
}

WideString FloatToStrF(double Value, TFloatFormat Fmt, int Precision, int Digits, const TFormatSettings& FS) {
    if (!std::isfinite(Value)) return Special(Value);
    if (Precision > 17) Precision = 17;
    if (Digits < 0) Digits = 0;
    switch (Fmt) {
    case ffGeneral:
        return GeneralText(Value, Precision, std::min(Digits, 4), FS);
    case ffExponent:
        return ExponentFormText(Value, Precision, std::min(Digits, 4), FS);
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
        Decimal exact = Exact(Value);
        // More integer digits than the precision holds: the general form says it better.
        if (exact.Exponent > Precision && !exact.Digits.empty()) return GeneralText(Value, Precision, 0, FS);
        if (Digits > 18) Digits = 18;
        Decimal d = Fixed(Value, Digits);
        return FixedText(d, Digits, Digits, Fmt != ffFixed, FS);
    }
    }
    return GeneralText(Value, Precision, Digits, FS);
}

WideString FloatToStrF(double Value, TFloatFormat Fmt, int Precision, int Digits) {
    return FloatToStrF(Value, Fmt, Precision, Digits, DefaultFormatSettings());
}

WideString FloatToStr(double Value, const TFormatSettings& FS) {
    if (!std::isfinite(Value)) return Special(Value);
    return GeneralText(Value, 15, 0, FS);
}
WideString FloatToStr(double Value) {
    return FloatToStr(Value, DefaultFormatSettings());
}

void AppendFloatToStr(WideString& Out, double Value) {
    if (!std::isfinite(Value)) {
        Out += Special(Value);
        return;
    }
    char16_t buf[kNumberRoom];
    Out.append(buf, WriteGeneral(buf, Value, 15, 0, DefaultFormatSettings()));
}

WideString FormatFloat(const WideString& Fmt, double Value, const TFormatSettings& FS) {
    if (!std::isfinite(Value)) return Special(Value);
    if (Fmt.empty() || std::fabs(Value) >= 1e18) return FloatToStr(Value, FS);
    // A column formats all its cells with one picture: the last one stays analysed.
    thread_local TParsedFormat Parsed;
    if (Parsed.Source != Fmt || Parsed.Sections.empty()) {
        Parsed.Sections = SplitSections(Fmt);
        Parsed.Pictures.clear();
        for (const WideString& Section : Parsed.Sections)
            Parsed.Pictures.push_back(Analyse(Section));
        Parsed.Source = Fmt;
    }
    const std::vector<WideString>& sections = Parsed.Sections;
    // Section choice: positive (or the only one), negative, zero; an empty section falls back to
    // the first. The zero section applies when the value shows as zero in the first section.
    const Picture& firstPic = Parsed.Pictures[0];
    double magnitude = std::fabs(Value);
    uint64_t units;
    if (firstPic.Plain && FixedUnits(magnitude, firstPic.DecPlaces, units)) {
        const bool otherSection = (units == 0 && sections.size() >= 3 && !sections[2].empty()) ||
                                  (Value < 0 && sections.size() >= 2 && !sections[1].empty());
        const size_t room = 2 * (sections[0].size() + 20);
        char16_t stackText[160];
        if (!otherSection && room <= std::size(stackText))
            return WideString(stackText, WritePlainPicture(stackText, firstPic, units, Value < 0, FS));
    }
    Decimal firstFixed;
    bool roundsToZero;
    if (firstPic.Scientific) {
        roundsToZero = Value == 0;
    } else {
        firstFixed = Fixed(magnitude, firstPic.DecPlaces);
        roundsToZero = firstFixed.Digits.empty();
    }
    size_t chosenIndex = 0;
    bool signFromFormat = false;
    if (roundsToZero && sections.size() >= 3 && !sections[2].empty()) {
        chosenIndex = 2;
        signFromFormat = true;
    } else if (Value < 0 && sections.size() >= 2 && !sections[1].empty()) {
        chosenIndex = 1;
        signFromFormat = true;
    }
    const WideString& chosen = sections[chosenIndex];
    const Picture& p = Parsed.Pictures[chosenIndex];
    TPictureDigits digits;
    TDigitRoom intRoom, decRoom;
    int exponent = 0;
    bool zero;
    if (p.Scientific) {
        const int total = std::max(1, p.IntPlaces + p.DecPlaces);
        Decimal d = Exact(magnitude);
        if (!d.Digits.empty()) RoundDigits(d, total);
        zero = d.Digits.empty();
        if (!zero) exponent = d.Exponent - p.IntPlaces;
        auto digitAt = [&](int i) {
            return i < static_cast<int>(d.Digits.size()) ? d.Digits[static_cast<size_t>(i)] : '0';
        };
        // Leading zeros of the mantissa (only with zero) are left to the placeholders.
        const int intCount = std::min(p.IntPlaces, total);
        int first = 0;
        while (first < intCount && digitAt(first) == '0')
            ++first;
        char* whole = intRoom.Get(intCount - first);
        for (int i = first; i < intCount; ++i)
            whole[digits.IntCount++] = digitAt(i);
        digits.Int = whole;
        const int decCount = std::min(p.DecPlaces, total - intCount);
        char* dec = decRoom.Get(decCount);
        for (int i = 0; i < decCount; ++i)
            dec[i] = digitAt(intCount + i);
        digits.Dec = dec;
        digits.DecCount = decCount;
    } else {
        const Decimal d = chosenIndex == 0 ? firstFixed : Fixed(magnitude, p.DecPlaces);
        zero = d.Digits.empty();
        const int n = static_cast<int>(d.Digits.size());
        char* whole = intRoom.Get(d.Exponent);
        for (int i = 0; i < d.Exponent; ++i)
            whole[digits.IntCount++] = i < n ? d.Digits[static_cast<size_t>(i)] : '0';
        digits.Int = whole;
        char* dec = decRoom.Get(p.DecPlaces);
        for (int i = 0; i < p.DecPlaces; ++i) {
            const int idx = d.Exponent + i;
            dec[i] = idx >= 0 && idx < n ? d.Digits[static_cast<size_t>(idx)] : '0';
        }
        digits.Dec = dec;
        digits.DecCount = p.DecPlaces;
    }
    while (digits.DecCount > p.MinDec && digits.Dec[digits.DecCount - 1] == '0')
        --digits.DecCount;
    const bool negative = Value < 0 && !signFromFormat && !zero;
    const size_t room = PictureRoom(chosen, p, digits, exponent);
    char16_t stackText[160];
    if (room <= std::size(stackText))
        return WideString(stackText, ApplyPicture(stackText, chosen, p, digits, exponent, negative, FS));
    WideString text(room, u'\0');
    text.resize(static_cast<size_t>(ApplyPicture(text.data(), chosen, p, digits, exponent, negative, FS) -
                                    text.data()));
    return text;
}

WideString FormatFloat(const WideString& Fmt, double Value) {
    return FormatFloat(Fmt, Value, DefaultFormatSettings());
}
WideString FormatFloat(const AnsiString& Fmt, double Value, const TFormatSettings& FS) {
    return FormatFloat(AnsiToWide(Fmt), Value, FS);
}
WideString FormatFloat(const AnsiString& Fmt, double Value) {
    return FormatFloat(AnsiToWide(Fmt), Value, DefaultFormatSettings());
}
