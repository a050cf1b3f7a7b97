// Floating-point text: parsing, the general / exponent / fixed / number forms and picture formats.

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

#include "platform/runtime/CodePage.h"
#include "platform/runtime/RtlConsts.h"
#include "platform/runtime/SysUtils.h"

namespace {

// The decimal digits of a value: value = 0.Digits × 10^Exponent (Digits without trailing zeros
// unless rounding asked for them), Digits empty for zero.
struct Decimal {
    bool Negative = false;
    std::string Digits;
    int Exponent = 0;
};

// Significant digits as the C library rounds the binary value (correctly, to nearest).
Decimal ToDecimal(double value, int significant) {
    Decimal d;
    d.Negative = std::signbit(value);
    value = std::fabs(value);
    if (value == 0) return d;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", significant - 1, value);
    // "d.ddde+XX"
    std::string s(buf);
    auto e = s.find('e');
    for (size_t i = 0; i < e; ++i)
        if (s[i] != '.') d.Digits += s[i];
    d.Exponent = std::atoi(s.c_str() + e + 1) + 1;
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
            d.Digits.insert(d.Digits.begin(), '1');
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
    Decimal d = Exact(value);
    if (d.Digits.empty()) return d;
    RoundDigits(d, d.Exponent + decimals);
    return d;
}

WideString Ascii(const std::string& s) {
    return WideString(s.begin(), s.end());
}

WideString Special(double value) {
    if (std::isnan(value)) return u"NAN";
    return value < 0 ? u"-INF" : u"INF";
}

WideString ExponentText(int exponent, int minDigits, bool plusSign) {
    WideString s = exponent < 0 ? u"-" : (plusSign ? u"+" : u"");
    std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
    while (static_cast<int>(digits.size()) < minDigits)
        digits.insert(digits.begin(), '0');
    return s + Ascii(digits);
}

// Integer part digits with optional grouping, then the decimals.
WideString FixedText(const Decimal& d, int minDecimals, int maxDecimals, bool group,
                     const TFormatSettings& fs) {
    std::string intDigits, decDigits;
    const int n = static_cast<int>(d.Digits.size());
    for (int i = 0; i < d.Exponent; ++i)
        intDigits += i < n ? d.Digits[i] : '0';
    if (intDigits.empty()) intDigits = "0";
    for (int i = 0; i < maxDecimals; ++i) {
        int idx = d.Exponent + i;
        decDigits += idx >= 0 && idx < n ? d.Digits[idx] : '0';
    }
    while (static_cast<int>(decDigits.size()) > minDecimals && decDigits.back() == '0')
        decDigits.pop_back();
    WideString out;
    bool zero = d.Digits.empty();
    if (d.Negative && !zero) out += u'-';
    for (size_t i = 0; i < intDigits.size(); ++i) {
        out += static_cast<char16_t>(intDigits[i]);
        size_t left = intDigits.size() - 1 - i;
        if (group && left > 0 && left % 3 == 0 && fs.ThousandSeparator != 0) out += fs.ThousandSeparator;
    }
    if (!decDigits.empty()) {
        out += fs.DecimalSeparator;
        out += Ascii(decDigits);
    }
    return out;
}

WideString GeneralText(double value, int precision, int digits, const TFormatSettings& fs) {
    if (precision < 1) precision = 1;
    if (precision > 17) precision = 17;
    Decimal d = ToDecimal(value, precision);
    StripZeros(d);
    if (d.Digits.empty()) return u"0";
    WideString out = d.Negative ? u"-" : u"";
    if (d.Exponent > precision || d.Exponent < -3) {
        out += static_cast<char16_t>(d.Digits[0]);
        if (d.Digits.size() > 1) {
            out += fs.DecimalSeparator;
            out += Ascii(d.Digits.substr(1));
        }
        out += u'E';
        out += ExponentText(d.Exponent - 1, digits, false);
        return out;
    }
    Decimal pos = d;
    pos.Negative = false;
    return out +
           FixedText(pos, 0, std::max<int>(0, static_cast<int>(d.Digits.size()) - d.Exponent), false, fs);
}

WideString ExponentFormText(double value, int precision, int digits, const TFormatSettings& fs) {
    if (precision < 1) precision = 1;
    if (precision > 17) precision = 17;
    Decimal d = ToDecimal(value, precision);
    bool zero = d.Digits.empty();
    if (zero) d.Digits = std::string(precision, '0');
    WideString out = d.Negative && !zero ? u"-" : u"";
    out += static_cast<char16_t>(d.Digits[0]);
    if (precision > 1) {
        out += fs.DecimalSeparator;
        out += Ascii(d.Digits.substr(1));
    }
    out += u'E';
    out += ExponentText(zero ? 0 : d.Exponent - 1, digits, true);
    return out;
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
    return p;
}

WideString ApplyPicture(const WideString& fmt, const Picture& p, const std::string& intDigitsIn,
                        const std::string& decDigits, int exponent, bool negative,
                        const TFormatSettings& fs) {
    std::string intDigits = intDigitsIn;
    while (static_cast<int>(intDigits.size()) < p.MinInt)
        intDigits.insert(intDigits.begin(), '0');
    const int len = static_cast<int>(intDigits.size());
    WideString out;
    if (negative) out += u'-';
    int intSeen = 0, decSeen = 0;
    bool afterPoint = false, intEmitted = false;
    auto emitDigit = [&](int pos) {
        out += static_cast<char16_t>(intDigits[pos]);
        int left = len - 1 - pos;
        if (p.Group && left > 0 && left % 3 == 0 && fs.ThousandSeparator != 0) out += fs.ThousandSeparator;
    };
    auto emitAllInt = [&] {
        if (intEmitted) return;
        intEmitted = true;
        for (int pos = 0; pos < len; ++pos)
            emitDigit(pos);
    };
    char16_t quote = 0;
    for (size_t i = 0; i < fmt.size(); ++i) {
        char16_t c = fmt[i];
        if (quote) {
            if (c == quote)
                quote = 0;
            else
                out += c;
            continue;
        }
        if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'0' || c == u'#') {
            if (!afterPoint) {
                // Placeholder k shows digit len - IntPlaces + k; the first one shows any extra digits.
                int pos = len - p.IntPlaces + intSeen;
                if (intSeen == 0) {
                    for (int k = 0; k <= pos && k < len; ++k)
                        emitDigit(k);
                } else if (pos >= 0) {
                    emitDigit(pos);
                }
                ++intSeen;
                if (intSeen == p.IntPlaces) intEmitted = true;
            } else {
                if (decSeen < static_cast<int>(decDigits.size()))
                    out += static_cast<char16_t>(decDigits[decSeen]);
                ++decSeen;
            }
        } else if (c == u'.') {
            if (afterPoint) continue;
            if (p.IntPlaces == 0) emitAllInt();
            afterPoint = true;
            if (!decDigits.empty()) out += fs.DecimalSeparator;
        } else if (c == u',') {
            // Only switches grouping on.
        } else if ((c == u'E' || c == u'e') && p.Scientific && i + 1 < fmt.size() &&
                   (fmt[i + 1] == u'+' || fmt[i + 1] == u'-')) {
            if (p.IntPlaces == 0 && !afterPoint) emitAllInt();
            afterPoint = true;
            out += c;
            bool plus = fmt[i + 1] == u'+';
            out += ExponentText(exponent, std::max(1, p.ExpDigits), plus);
            i += 1 + p.ExpDigits;
        } else {
            out += c;
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

WideString FormatFloat(const WideString& Fmt, double Value, const TFormatSettings& FS) {
    if (!std::isfinite(Value)) return Special(Value);
    if (Fmt.empty() || std::fabs(Value) >= 1e18) return FloatToStr(Value, FS);
    std::vector<WideString> sections = SplitSections(Fmt);
    // Section choice: positive (or the only one), negative, zero; an empty section falls back to
    // the first. The zero section applies when the value shows as zero in the first section.
    const WideString& first = sections[0];
    Picture firstPic = Analyse(first);
    bool roundsToZero;
    if (firstPic.Scientific)
        roundsToZero = Value == 0;
    else
        roundsToZero = Fixed(Value, firstPic.DecPlaces).Digits.empty();
    const WideString* chosen = &first;
    bool signFromFormat = false;
    if (roundsToZero && sections.size() >= 3 && !sections[2].empty()) {
        chosen = &sections[2];
        signFromFormat = true;
    } else if (Value < 0 && sections.size() >= 2 && !sections[1].empty()) {
        chosen = &sections[1];
        signFromFormat = true;
    }
    Picture p = chosen == &first ? firstPic : Analyse(*chosen);
    double magnitude = std::fabs(Value);
    std::string intDigits, decDigits;
    int exponent = 0;
    bool zero;
    if (p.Scientific) {
        int total = std::max(1, p.IntPlaces + p.DecPlaces);
        Decimal d = Exact(magnitude);
        if (!d.Digits.empty()) RoundDigits(d, total);
        zero = d.Digits.empty();
        int intCount = p.IntPlaces;
        if (!zero) exponent = d.Exponent - intCount;
        std::string digits = d.Digits;
        digits.resize(total, '0');
        intDigits = digits.substr(0, std::min<size_t>(intCount, digits.size()));
        decDigits = digits.substr(intDigits.size(), p.DecPlaces);
        // Leading zeros of the mantissa (only with zero) are left to the placeholders.
        while (!intDigits.empty() && intDigits[0] == '0')
            intDigits.erase(intDigits.begin());
    } else {
        Decimal d = Fixed(magnitude, p.DecPlaces);
        zero = d.Digits.empty();
        const int n = static_cast<int>(d.Digits.size());
        for (int i = 0; i < d.Exponent; ++i)
            intDigits += i < n ? d.Digits[i] : '0';
        for (int i = 0; i < p.DecPlaces; ++i) {
            int idx = d.Exponent + i;
            decDigits += idx >= 0 && idx < n ? d.Digits[idx] : '0';
        }
    }
    while (static_cast<int>(decDigits.size()) > p.MinDec && decDigits.back() == '0')
        decDigits.pop_back();
    bool negative = Value < 0 && !signFromFormat && !zero;
    return ApplyPicture(*chosen, p, intDigits, decDigits, exponent, negative, FS);
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
