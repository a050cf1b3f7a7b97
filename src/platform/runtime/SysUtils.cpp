// Format settings, integer and boolean conversions, Format, string helpers and rounding.

#include "platform/runtime/SysUtils.h"

#include <QChar>
#include <QLocale>
#include <QString>

#include <climits>
#include <cmath>
#include <limits>

#include "platform/runtime/CodePage.h"
#include "platform/runtime/RtlConsts.h"

namespace {

WideString FromQt(const QString& s) {
    return WideString(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<size_t>(s.size()));
}

// A Qt date or time pattern in FormatDateTime's notation, with the separator replaced by the
// placeholder ('/' or ':') and two-digit years widened so that dates read back unambiguously.
WideString ConvertQtPattern(const QString& qt, char16_t placeholder, char16_t& separator) {
    WideString in = FromQt(qt), out;
    separator = 0;
    for (size_t i = 0; i < in.size();) {
        char16_t c = in[i];
        if (c == u'\'') {
            size_t j = in.find(u'\'', i + 1);
            if (j == WideString::npos) j = in.size();
            out += u'"';
            out += in.substr(i + 1, j - i - 1);
            out += u'"';
            i = j + 1;
            continue;
        }
        size_t k = i;
        while (k < in.size() && in[k] == c)
            ++k;
        size_t run = k - i;
        switch (c) {
        case u'M':
            out += WideString(run, u'm');
            break;
        case u'm':
            out += WideString(std::min<size_t>(run, 2), u'n');
            break;
        case u'H':
        case u'h':
            out += WideString(std::min<size_t>(run, 2), u'h');
            break;
        case u'y':
            out += run <= 2 ? WideString(u"yyyy") : WideString(run, u'y');
            break;
        case u'd':
        case u's':
        case u'z':
            out += WideString(run, c);
            break;
        case u'A':
        case u'a':
            out += u"AMPM";
            if (k < in.size() && (in[k] == u'P' || in[k] == u'p')) ++k;
            break;
        case u't':
            break; // time zone: not kept
        default:
            if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')) {
                out += WideString(run, c);
            } else if (separator == 0 && (placeholder == u'/' ? (c == u'/' || c == u'.' || c == u'-')
                                                              : (c == u':' || c == u'.'))) {
                separator = c;
                out += WideString(run, placeholder);
            } else if (c == separator) {
                out += WideString(run, placeholder);
            } else {
                out += in.substr(i, run);
            }
            break;
        }
        i = k;
    }
    // Blanks left by a dropped time zone.
    while (!out.empty() && out.back() == u' ')
        out.pop_back();
    while (!out.empty() && out.front() == u' ')
        out.erase(out.begin());
    return out;
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

int HexValue(char16_t c) {
    if (IsDigit(c)) return c - u'0';
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    return -1;
}

// Optional blanks, sign, decimal digits or '$' / "0x" / 'x' and hex digits, nothing after.
// Hex accepts the full unsigned range of the width (0xFFFFFFFF is -1 for 32 bits).
bool ParseInteger(const WideString& s, int bits, int64_t& value) {
    size_t i = 0, n = s.size();
    while (i < n && s[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';
    bool hex = false;
    if (i < n && s[i] == u'$') {
        hex = true;
        ++i;
    } else if (i < n && (s[i] == u'x' || s[i] == u'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
        hex = true;
        i += 2;
    }
    if (i >= n) return false;
    const uint64_t maxMagnitude = bits == 32 ? (negative ? 0x80000000ull : 0x7FFFFFFFull)
                                             : (negative ? 0x8000000000000000ull : 0x7FFFFFFFFFFFFFFFull);
    const uint64_t maxHex = bits == 32 ? 0xFFFFFFFFull : 0xFFFFFFFFFFFFFFFFull;
    uint64_t v = 0;
    for (; i < n; ++i) {
        if (hex) {
            int d = HexValue(s[i]);
            if (d < 0) return false;
            if (v > (maxHex >> 4)) return false;
            v = (v << 4) | static_cast<uint64_t>(d);
        } else {
            if (!IsDigit(s[i])) return false;
            uint64_t d = s[i] - u'0';
            if (v > (maxMagnitude - d) / 10) return false;
            v = v * 10 + d;
        }
    }
    if (hex) {
        int64_t signedValue = bits == 32
                                  ? static_cast<int64_t>(static_cast<int32_t>(static_cast<uint32_t>(v)))
                                  : static_cast<int64_t>(v);
        value = negative ? -signedValue : signedValue;
        if (bits == 32 && (value < INT32_MIN || value > INT32_MAX)) return false;
        return true;
    }
    value = negative ? static_cast<int64_t>(0 - v) : static_cast<int64_t>(v);
    return true;
}

// Simple (length-keeping) case mapping of one UTF-16 unit; surrogates stay as they are.
char16_t MapUpper(char16_t c) {
    return static_cast<char16_t>(QChar::toUpper(static_cast<char32_t>(c)));
}
char16_t MapLower(char16_t c) {
    return static_cast<char16_t>(QChar::toLower(static_cast<char32_t>(c)));
}
char16_t Fold(char16_t c) {
    return static_cast<char16_t>(QChar::toCaseFolded(static_cast<char32_t>(c)));
}

template <typename S, typename F> int CompareMapped(const S& a, const S& b, F map) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        auto x = map(a[i]), y = map(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

unsigned char AsciiLowerByte(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u + 32) : u;
}
char16_t AsciiLowerWide(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
}

template <typename S> S TrimImpl(const S& s, bool left, bool right) {
    size_t b = 0, e = s.size();
    auto blank = [](auto c) {
        return static_cast<uint32_t>(static_cast<std::make_unsigned_t<decltype(c)>>(c)) <= 32;
    };
    if (left)
        while (b < e && blank(s[b]))
            ++b;
    if (right)
        while (e > b && blank(s[e - 1]))
            --e;
    return s.substr(b, e - b);
}

// --- Format

[[noreturn]] void FormatError(const WideString& fmt) {
    throw EConvertError(Format(SInvalidFormat, {fmt}));
}

WideString Pad(const WideString& s, int width, bool leftJustify) {
    if (width <= static_cast<int>(s.size())) return s;
    WideString fill(width - s.size(), u' ');
    return leftJustify ? s + fill : fill + s;
}

WideString HexText(uint64_t v, int minDigits) {
    static const char16_t digits[] = u"0123456789ABCDEF";
    WideString s;
    do {
        s.insert(s.begin(), digits[v & 0xF]);
        v >>= 4;
    } while (v != 0);
    while (static_cast<int>(s.size()) < minDigits)
        s.insert(s.begin(), u'0');
    return s;
}

WideString FormatCore(const WideString& fmt, const std::vector<TVarRec>& args, const TFormatSettings& fs) {
    WideString out;
    size_t argIndex = 0;
    const size_t n = fmt.size();
    for (size_t i = 0; i < n;) {
        char16_t c = fmt[i];
        if (c != u'%') {
            out += c;
            ++i;
            continue;
        }
        size_t start = i++;
        if (i < n && fmt[i] == u'%') {
            out += u'%';
            ++i;
            continue;
        }
        auto readNumber = [&](int& value) -> bool {
            if (i < n && fmt[i] == u'*') {
                ++i;
                if (argIndex >= args.size()) throw EConvertError(Format(SArgumentMissing, {fmt}));
                const TVarRec& a = args[argIndex++];
                if (a.Kind() != TVarRec::vkInteger && a.Kind() != TVarRec::vkUnsigned) FormatError(fmt);
                value = static_cast<int>(a.AsInt());
                return true;
            }
            if (i >= n || !IsDigit(fmt[i])) return false;
            int64_t v = 0;
            while (i < n && IsDigit(fmt[i])) {
                v = std::min<int64_t>(v * 10 + (fmt[i++] - u'0'), 1 << 20);
            }
            value = static_cast<int>(v);
            return true;
        };
        int number = -1;
        bool hasNumber = readNumber(number);
        if (hasNumber && i < n && fmt[i] == u':') {
            ++i;
            argIndex = static_cast<size_t>(std::max(0, number));
            hasNumber = false;
            number = -1;
        }
        bool leftJustify = false;
        if (!hasNumber && i < n && fmt[i] == u'-') {
            leftJustify = true;
            ++i;
        }
        int width = -1;
        if (hasNumber)
            width = number;
        else
            readNumber(width);
        int precision = -1;
        if (i < n && fmt[i] == u'.') {
            ++i;
            if (!readNumber(precision)) precision = 0;
        }
        if (i >= n) FormatError(fmt);
        char16_t type = AsciiLowerWide(fmt[i++]);
        if (argIndex >= args.size())
            throw EConvertError(Format(SArgumentMissing, {fmt.substr(start, i - start)}));
        const TVarRec& a = args[argIndex++];
        const bool isInt = a.Kind() == TVarRec::vkInteger || a.Kind() == TVarRec::vkUnsigned;
        WideString text;
        switch (type) {
        case u'd':
        case u'u': {
            if (!isInt) FormatError(fmt);
            int64_t v = a.AsInt();
            bool negative = false;
            uint64_t magnitude;
            if (type == u'u' || a.Kind() == TVarRec::vkUnsigned) {
                magnitude = (type == u'u' && v < 0 && v >= INT32_MIN) ? static_cast<uint32_t>(v)
                                                                      : static_cast<uint64_t>(v);
            } else {
                negative = v < 0;
                magnitude = negative ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
            }
            std::string digits = std::to_string(magnitude);
            while (precision > static_cast<int>(digits.size()))
                digits.insert(digits.begin(), '0');
            if (negative) text += u'-';
            text += WideString(digits.begin(), digits.end());
            break;
        }
        case u'x': {
            if (!isInt) FormatError(fmt);
            int64_t v = a.AsInt();
            uint64_t bits = (v < 0 && v >= INT32_MIN && a.Kind() == TVarRec::vkInteger)
                                ? static_cast<uint32_t>(v)
                                : static_cast<uint64_t>(v);
            text = HexText(bits, precision);
            break;
        }
        case u'e':
        case u'f':
        case u'g':
        case u'n':
        case u'm': {
            double v;
            if (a.Kind() == TVarRec::vkFloat)
                v = a.AsFloat();
            else if (a.Kind() == TVarRec::vkInteger)
                v = static_cast<double>(a.AsInt());
            else if (a.Kind() == TVarRec::vkUnsigned)
                v = static_cast<double>(static_cast<uint64_t>(a.AsInt()));
            else
                FormatError(fmt);
            if (type == u'e')
                text = FloatToStrF(v, ffExponent, precision < 0 ? 15 : std::max(precision, 1), 3, fs);
            else if (type == u'f')
                text = FloatToStrF(v, ffFixed, 17, precision < 0 ? 2 : precision, fs);
            else if (type == u'g')
                text = FloatToStrF(v, ffGeneral, precision < 0 ? 15 : std::max(precision, 1), 0, fs);
            else
                text = FloatToStrF(v, ffNumber, 17, precision < 0 ? 2 : precision, fs);
            break;
        }
        case u's': {
            if (a.Kind() == TVarRec::vkString)
                text = Utf8ToWide(a.AsString());
            else if (a.Kind() == TVarRec::vkWideString)
                text = a.AsWide();
            else if (a.Kind() == TVarRec::vkChar)
                text = AnsiToWide(std::string(1, static_cast<char>(a.AsInt())));
            else if (a.Kind() == TVarRec::vkWideChar)
                text = WideString(1, static_cast<char16_t>(a.AsInt()));
            else
                FormatError(fmt);
            if (precision >= 0 && precision < static_cast<int>(text.size())) text.resize(precision);
            break;
        }
        case u'p':
            if (a.Kind() != TVarRec::vkPointer) FormatError(fmt);
            text = HexText(static_cast<uint64_t>(a.AsInt()), 16);
            break;
        default:
            FormatError(fmt);
        }
        out += Pad(text, width, leftJustify);
    }
    return out;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Format settings

namespace {
// Does the date and time text these settings write read back to the same value?
bool DateTimeRoundTrips(const TFormatSettings& fs) {
    TDateTime v = EncodeDate(2024, 11, 23) + EncodeTime(14, 7, 9, 0), back;
    return TryStrToDateTime(DateTimeToStr(v, fs), back, fs) && std::fabs(back - v) < 1e-9;
}
} // namespace

TFormatSettings TFormatSettings::FromSystemLocale() {
    TFormatSettings fs;
    QLocale locale = QLocale::system();
    if (locale.language() == QLocale::C) return fs;
    QString point = locale.decimalPoint();
    QString group = locale.groupSeparator();
    if (point.size() == 1) fs.DecimalSeparator = point.at(0).unicode();
    if (group.size() == 1) fs.ThousandSeparator = group.at(0).unicode();
    if (fs.ThousandSeparator == fs.DecimalSeparator)
        fs.ThousandSeparator = fs.DecimalSeparator == u',' ? u'.' : u',';
    char16_t dateSep = 0, timeSep = 0, ignored = 0;
    fs.ShortDateFormat = ConvertQtPattern(locale.dateFormat(QLocale::ShortFormat), u'/', dateSep);
    fs.LongDateFormat = ConvertQtPattern(locale.dateFormat(QLocale::LongFormat), u'/', ignored);
    fs.LongTimeFormat = ConvertQtPattern(locale.timeFormat(QLocale::LongFormat), u':', timeSep);
    fs.ShortTimeFormat = ConvertQtPattern(locale.timeFormat(QLocale::ShortFormat), u':', ignored);
    if (dateSep != 0) fs.DateSeparator = dateSep;
    if (timeSep != 0) fs.TimeSeparator = timeSep;
    if (fs.ShortDateFormat.empty()) fs.ShortDateFormat = u"MM/dd/yyyy";
    if (fs.LongTimeFormat.empty()) fs.LongTimeFormat = u"hh:nn:ss";
    if (fs.ShortTimeFormat.empty()) fs.ShortTimeFormat = u"hh:nn";
    if (fs.LongDateFormat.empty()) fs.LongDateFormat = fs.ShortDateFormat;
    if (!locale.amText().isEmpty()) fs.TimeAMString = FromQt(locale.amText());
    if (!locale.pmText().isEmpty()) fs.TimePMString = FromQt(locale.pmText());
    for (int m = 1; m <= 12; ++m) {
        fs.ShortMonthNames[m - 1] = FromQt(locale.monthName(m, QLocale::ShortFormat));
        fs.LongMonthNames[m - 1] = FromQt(locale.monthName(m, QLocale::LongFormat));
    }
    for (int d = 0; d < 7; ++d) {
        int qtDay = d == 0 ? 7 : d; // Qt counts from Monday = 1
        fs.ShortDayNames[d] = FromQt(locale.dayName(qtDay, QLocale::ShortFormat));
        fs.LongDayNames[d] = FromQt(locale.dayName(qtDay, QLocale::LongFormat));
    }
    fs.ListSeparator = fs.DecimalSeparator == u',' ? u';' : u',';
    // Date texts must read back (cells store what they show): where the locale's patterns hold
    // words or signs the reader does not know, plain numeric patterns in the same order are used.
    if (!DateTimeRoundTrips(fs)) {
        fs.LongTimeFormat = u"hh:nn:ss";
        fs.ShortTimeFormat = u"hh:nn";
        fs.TimeSeparator = u':';
    }
    if (!DateTimeRoundTrips(fs)) {
        WideString order;
        for (char16_t c : fs.ShortDateFormat) {
            char16_t u = c >= u'a' ? static_cast<char16_t>(c - 32) : c;
            if ((u == u'D' || u == u'M' || u == u'Y') && order.find(u) == WideString::npos) order += u;
        }
        fs.ShortDateFormat = order.rfind(u"Y", 0) == 0   ? u"yyyy/mm/dd"
                             : order.rfind(u"D", 0) == 0 ? u"dd/mm/yyyy"
                                                         : u"mm/dd/yyyy";
        if (fs.DateSeparator != u'/' && fs.DateSeparator != u'.' && fs.DateSeparator != u'-')
            fs.DateSeparator = u'/';
    }
    if (!DateTimeRoundTrips(fs)) {
        TFormatSettings inv = Invariant();
        fs.ShortDateFormat = inv.ShortDateFormat;
        fs.DateSeparator = inv.DateSeparator;
        fs.LongTimeFormat = inv.LongTimeFormat;
        fs.TimeSeparator = inv.TimeSeparator;
    }
    return fs;
}

TFormatSettings& DefaultFormatSettings() {
    static TFormatSettings settings = TFormatSettings::FromSystemLocale();
    return settings;
}

// ---------------------------------------------------------------------------------------------
// Integers

bool TryStrToInt(const WideString& S, int32_t& Value) {
    int64_t v;
    if (!ParseInteger(S, 32, v)) return false;
    Value = static_cast<int32_t>(v);
    return true;
}
bool TryStrToInt(const AnsiString& S, int32_t& Value) {
    return TryStrToInt(AnsiToWide(S), Value);
}

int32_t StrToInt(const WideString& S) {
    int32_t v;
    if (!TryStrToInt(S, v)) throw EConvertError(Format(SInvalidInteger, {S}));
    return v;
}
int32_t StrToInt(const AnsiString& S) {
    return StrToInt(AnsiToWide(S));
}
int32_t StrToIntDef(const WideString& S, int32_t Default) {
    int32_t v;
    return TryStrToInt(S, v) ? v : Default;
}
int32_t StrToIntDef(const AnsiString& S, int32_t Default) {
    return StrToIntDef(AnsiToWide(S), Default);
}

bool TryStrToInt64(const WideString& S, int64_t& Value) {
    return ParseInteger(S, 64, Value);
}
int64_t StrToInt64(const WideString& S) {
    int64_t v;
    if (!ParseInteger(S, 64, v)) throw EConvertError(Format(SInvalidInteger, {S}));
    return v;
}
int64_t StrToInt64(const AnsiString& S) {
    return StrToInt64(AnsiToWide(S));
}
int64_t StrToInt64Def(const WideString& S, int64_t Default) {
    int64_t v;
    return ParseInteger(S, 64, v) ? v : Default;
}

WideString IntToStr(int64_t Value) {
    std::string s = std::to_string(Value);
    return WideString(s.begin(), s.end());
}

WideString IntToHex(int64_t Value, int Digits) {
    return HexText(static_cast<uint64_t>(Value), Digits);
}

// ---------------------------------------------------------------------------------------------
// Booleans

bool TryStrToBool(const WideString& S, bool& Value, const TFormatSettings& FS) {
    double number;
    if (TryStrToFloat(S, number, FS)) {
        Value = number != 0;
        return true;
    }
    for (const WideString& t : FS.TrueBoolStrs)
        if (AnsiSameText(S, t)) {
            Value = true;
            return true;
        }
    for (const WideString& f : FS.FalseBoolStrs)
        if (AnsiSameText(S, f)) {
            Value = false;
            return true;
        }
    return false;
}
bool TryStrToBool(const WideString& S, bool& Value) {
    return TryStrToBool(S, Value, DefaultFormatSettings());
}

bool StrToBool(const WideString& S, const TFormatSettings& FS) {
    bool v;
    if (!TryStrToBool(S, v, FS)) throw EConvertError(Format(SInvalidBoolean, {S}));
    return v;
}
bool StrToBool(const WideString& S) {
    return StrToBool(S, DefaultFormatSettings());
}
bool StrToBool(const AnsiString& S) {
    return StrToBool(AnsiToWide(S), DefaultFormatSettings());
}
bool StrToBoolDef(const WideString& S, bool Default) {
    bool v;
    return TryStrToBool(S, v) ? v : Default;
}

WideString BoolToStr(bool B, const TFormatSettings& FS) {
    const auto& list = B ? FS.TrueBoolStrs : FS.FalseBoolStrs;
    if (!list.empty()) return list.front();
    return B ? u"True" : u"False";
}

WideString BoolToStr(bool B, bool UseBoolStrs) {
    if (!UseBoolStrs) return B ? u"-1" : u"0";
    return BoolToStr(B, DefaultFormatSettings());
}

// ---------------------------------------------------------------------------------------------
// Format

std::string Format(const std::string& Fmt, const std::vector<TVarRec>& Args, const TFormatSettings& FS) {
    return WideToUtf8(FormatCore(Utf8ToWide(Fmt), Args, FS));
}
std::string Format(const std::string& Fmt, const std::vector<TVarRec>& Args) {
    return Format(Fmt, Args, DefaultFormatSettings());
}
WideString Format(const WideString& Fmt, const std::vector<TVarRec>& Args, const TFormatSettings& FS) {
    return FormatCore(Fmt, Args, FS);
}
WideString Format(const WideString& Fmt, const std::vector<TVarRec>& Args) {
    return FormatCore(Fmt, Args, DefaultFormatSettings());
}

// ---------------------------------------------------------------------------------------------
// Strings

AnsiString UpperCase(const AnsiString& S) {
    AnsiString r = S;
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return r;
}
WideString UpperCase(const WideString& S) {
    WideString r = S;
    for (char16_t& c : r)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
    return r;
}
AnsiString LowerCase(const AnsiString& S) {
    AnsiString r = S;
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return r;
}
WideString LowerCase(const WideString& S) {
    WideString r = S;
    for (char16_t& c : r)
        c = AsciiLowerWide(c);
    return r;
}
WideString AnsiUpperCase(const WideString& S) {
    WideString r = S;
    for (char16_t& c : r)
        c = MapUpper(c);
    return r;
}
WideString AnsiLowerCase(const WideString& S) {
    WideString r = S;
    for (char16_t& c : r)
        c = MapLower(c);
    return r;
}
AnsiString AnsiUpperCase(const AnsiString& S) {
    return WideToAnsi(AnsiUpperCase(AnsiToWide(S)));
}
AnsiString AnsiLowerCase(const AnsiString& S) {
    return WideToAnsi(AnsiLowerCase(AnsiToWide(S)));
}

AnsiString Trim(const AnsiString& S) {
    return TrimImpl(S, true, true);
}
WideString Trim(const WideString& S) {
    return TrimImpl(S, true, true);
}
AnsiString TrimLeft(const AnsiString& S) {
    return TrimImpl(S, true, false);
}
WideString TrimLeft(const WideString& S) {
    return TrimImpl(S, true, false);
}
AnsiString TrimRight(const AnsiString& S) {
    return TrimImpl(S, false, true);
}
WideString TrimRight(const WideString& S) {
    return TrimImpl(S, false, true);
}

int CompareStr(const AnsiString& S1, const AnsiString& S2) {
    return CompareMapped(S1, S2, [](char c) { return static_cast<unsigned char>(c); });
}
int CompareStr(const WideString& S1, const WideString& S2) {
    return CompareMapped(S1, S2, [](char16_t c) { return c; });
}
int CompareText(const AnsiString& S1, const AnsiString& S2) {
    return CompareMapped(S1, S2, AsciiLowerByte);
}
int CompareText(const WideString& S1, const WideString& S2) {
    return CompareMapped(S1, S2, AsciiLowerWide);
}
bool SameStr(const AnsiString& S1, const AnsiString& S2) {
    return S1 == S2;
}
bool SameStr(const WideString& S1, const WideString& S2) {
    return S1 == S2;
}
bool SameText(const AnsiString& S1, const AnsiString& S2) {
    return CompareText(S1, S2) == 0;
}
bool SameText(const WideString& S1, const WideString& S2) {
    return CompareText(S1, S2) == 0;
}
int AnsiCompareStr(const WideString& S1, const WideString& S2) {
    return CompareStr(S1, S2);
}
int AnsiCompareStr(const AnsiString& S1, const AnsiString& S2) {
    return CompareStr(AnsiToWide(S1), AnsiToWide(S2));
}
int AnsiCompareText(const WideString& S1, const WideString& S2) {
    return CompareMapped(S1, S2, Fold);
}
int AnsiCompareText(const AnsiString& S1, const AnsiString& S2) {
    return AnsiCompareText(AnsiToWide(S1), AnsiToWide(S2));
}
bool AnsiSameText(const WideString& S1, const WideString& S2) {
    return AnsiCompareText(S1, S2) == 0;
}
bool AnsiSameText(const AnsiString& S1, const AnsiString& S2) {
    return AnsiCompareText(S1, S2) == 0;
}

WideString QuotedStr(const WideString& S, WideChar Quote) {
    WideString r(1, Quote);
    for (char16_t c : S) {
        r += c;
        if (c == Quote) r += c;
    }
    r += Quote;
    return r;
}
AnsiString QuotedStr(const AnsiString& S, char Quote) {
    AnsiString r(1, Quote);
    for (char c : S) {
        r += c;
        if (c == Quote) r += c;
    }
    r += Quote;
    return r;
}
WideString AnsiDequotedStr(const WideString& S, WideChar Quote) {
    if (S.empty() || S[0] != Quote) return S;
    WideString r;
    size_t i = 1;
    while (i < S.size()) {
        if (S[i] == Quote) {
            if (i + 1 < S.size() && S[i + 1] == Quote) {
                r += Quote;
                i += 2;
                continue;
            }
            return r;
        }
        r += S[i++];
    }
    return r;
}

template <typename S, typename F>
S ReplaceImpl(const S& s, const S& oldPattern, const S& newPattern, TReplaceFlags flags, F map) {
    if (oldPattern.empty()) return s;
    S result;
    size_t i = 0;
    while (i < s.size()) {
        bool match = i + oldPattern.size() <= s.size();
        for (size_t k = 0; match && k < oldPattern.size(); ++k)
            match = flags.Contains(rfIgnoreCase) ? map(s[i + k]) == map(oldPattern[k])
                                                 : s[i + k] == oldPattern[k];
        if (match) {
            result += newPattern;
            i += oldPattern.size();
            if (!flags.Contains(rfReplaceAll)) {
                result += s.substr(i);
                return result;
            }
        } else {
            result += s[i++];
        }
    }
    return result;
}
WideString StringReplace(const WideString& S, const WideString& OldPattern, const WideString& NewPattern,
                         TReplaceFlags Flags) {
    return ReplaceImpl(S, OldPattern, NewPattern, Flags, Fold);
}
AnsiString StringReplace(const AnsiString& S, const AnsiString& OldPattern, const AnsiString& NewPattern,
                         TReplaceFlags Flags) {
    return ReplaceImpl(S, OldPattern, NewPattern, Flags, AsciiLowerByte);
}

// ---------------------------------------------------------------------------------------------
// Rounding

namespace {
void CheckIntegral(double x) {
    // Doubles at or past 2^63 do not fit 64 bits.
    if (!std::isfinite(x) || x >= 9223372036854775808.0 || x < -9223372036854775808.0)
        throw EInvalidOp(SInvalidOp);
}
} // namespace

int64_t Round(double X) {
    CheckIntegral(X);
    // Halves to even, whatever the current rounding mode.
    double r = std::floor(X);
    double diff = X - r;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0)) r += 1;
    CheckIntegral(r);
    return static_cast<int64_t>(r);
}

int64_t Trunc(double X) {
    CheckIntegral(X);
    return static_cast<int64_t>(std::trunc(X));
}

int32_t RoundToInt(double X) {
    int64_t r = Round(X);
    if (r < INT32_MIN || r > INT32_MAX) throw EInvalidOp(SInvalidOp);
    return static_cast<int32_t>(r);
}

double Frac(double X) {
    return X - std::trunc(X);
}
double Int(double X) {
    return std::trunc(X);
}
