// Floating-point text: parsing, the general / exponent / fixed / number forms and picture formats,
// all from the correctly rounded digits FloatSignificantDigits gives.

#include <algorithm>
#include <array>
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
#include "platform/runtime/FloatDigits.h"
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

// 10^k for k up to 19, all within 64 bits.
constexpr std::array<uint64_t, 20> kPow10 = [] {
    std::array<uint64_t, 20> Powers{};
    uint64_t Power = 1;
    for (auto& Entry : Powers) {
        Entry = Power;
        Power *= 10;
    }
    return Powers;
}();

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

// Significant digits as the C library rounds the binary value (correctly, to nearest).
Decimal ToDecimal(double value, int significant) {
    Decimal d;
    d.Negative = std::signbit(value);
    value = std::fabs(value);
    if (value == 0) return d;
    d.Digits.resize(static_cast<size_t>(significant));
    WriteDigits(&d.Digits[0], FloatSignificantDigits(value, significant, d.Exponent), significant);
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

// Cents / 100 into buf without trailing zeros in its decimals; returns the end.
char16_t* WriteCents(char16_t* buf, bool negative, uint64_t cents, const TFormatSettings& fs) {
    if (negative) *buf++ = u'-';
    char text[24];
    const char* end = std::to_chars(text, text + sizeof text, cents / 100).ptr;
    for (const char* p = text; p < end; ++p)
        *buf++ = static_cast<char16_t>(*p);
    const auto decimals = static_cast<unsigned>(cents % 100);
    if (decimals != 0) {
        *buf++ = fs.DecimalSeparator;
        *buf++ = static_cast<char16_t>(u'0' + decimals / 10);
        if (decimals % 10 != 0) *buf++ = static_cast<char16_t>(u'0' + decimals % 10);
    }
    return buf;
}

// The general form into buf (kNumberRoom characters); returns the end.
char16_t* WriteGeneral(char16_t* buf, double value, int precision, int digits, const TFormatSettings& fs) {
    if (precision < 1) precision = 1;
    if (precision > 17) precision = 17;
    // Whole numbers and amounts in cents, the common cases, are their own digits when they have
    // no more than precision. The double nearest to Cents / 100 lies within 2^-53 of it, inside
    // half a unit of the fifteenth digit, so rounding to at most fifteen digits gives Cents / 100
    // back, and no exponent form arises below 10^13.
    const double magnitude = std::fabs(value);
    const auto limit = static_cast<double>(kPow10[static_cast<size_t>(precision)]);
    if (value != 0 && magnitude < limit && magnitude == std::floor(magnitude))
        return WriteCents(buf, std::signbit(value), static_cast<uint64_t>(magnitude) * 100, fs);
    if (value != 0 && precision <= 15) {
        const double cents = std::nearbyint(magnitude * 100);
        if (cents / 100 == magnitude && cents < limit)
            return WriteCents(buf, std::signbit(value), static_cast<uint64_t>(cents), fs);
    }
    // The digits without trailing zeros, none for zero; value = 0.text × 10^exponent.
    char text[24];
    int n = 0;
    int exponent = 0;
    if (value != 0) {
        WriteDigits(text, FloatSignificantDigits(std::fabs(value), precision, exponent), precision);
        n = precision;
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
    int exponent;
    const uint64_t whole = FloatSignificantDigits(magnitude, 17, exponent);
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
