// Date and time text: FormatDateTime and its shorthands, and reading dates and times back.

#include <cmath>

#include "platform/runtime/CodePage.h"
#include "platform/runtime/RtlConsts.h"
#include "platform/runtime/SysUtils.h"

namespace {

char16_t Upper(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
}

bool StartsWithNoCase(const WideString& s, size_t pos, const WideString& what) {
    if (what.empty() || pos + what.size() > s.size()) return false;
    for (size_t i = 0; i < what.size(); ++i)
        if (Upper(s[pos + i]) != Upper(what[i])) return false;
    return true;
}

WideString Number(int value, int minDigits) {
    std::string s = std::to_string(value);
    while (static_cast<int>(s.size()) < minDigits)
        s.insert(s.begin(), '0');
    return WideString(s.begin(), s.end());
}

// Does the rest of the format ask for a 12-hour clock?
bool Has12HourMarker(const WideString& fmt, size_t from) {
    char16_t quote = 0;
    for (size_t i = from; i < fmt.size(); ++i) {
        char16_t c = fmt[i];
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        if (c == u'"' || c == u'\'') {
            quote = c;
            continue;
        }
        if (Upper(c) == u'A' && (StartsWithNoCase(fmt, i, u"AM/PM") || StartsWithNoCase(fmt, i, u"A/P") ||
                                 StartsWithNoCase(fmt, i, u"AMPM")))
            return true;
    }
    return false;
}

struct Parts {
    int Year, Month, Day, Hour, Min, Sec, MSec, DayOfWeek;
    bool HasTime;
};

Parts Split(TDateTime value) {
    Parts p{};
    DecodeDate(value, p.Year, p.Month, p.Day);
    DecodeTime(value, p.Hour, p.Min, p.Sec, p.MSec);
    p.DayOfWeek = ::DayOfWeek(value);
    p.HasTime = p.Hour != 0 || p.Min != 0 || p.Sec != 0 || p.MSec != 0;
    return p;
}

void AppendFormat(WideString& out, const WideString& fmt, const Parts& p, const TFormatSettings& fs,
                  int depth) {
    if (depth > 2) return; // a short date format that names itself
    char16_t lastToken = 0;
    size_t i = 0;
    const size_t n = fmt.size();
    auto count = [&](char16_t c) {
        size_t k = i;
        while (k < n && Upper(fmt[k]) == Upper(c))
            ++k;
        int result = static_cast<int>(k - i);
        i = k;
        return result;
    };
    while (i < n) {
        char16_t c = fmt[i];
        char16_t token = Upper(c);
        if (token >= u'A' && token <= u'Z') {
            if (token == u'M' && lastToken == u'H') token = u'N';
            lastToken = token;
        }
        switch (token) {
        case u'"':
        case u'\'': {
            ++i;
            while (i < n && fmt[i] != c)
                out += fmt[i++];
            if (i < n) ++i;
            break;
        }
        case u'/':
            ++i;
            if (fs.DateSeparator != 0) out += fs.DateSeparator;
            break;
        case u':':
            ++i;
            if (fs.TimeSeparator != 0) out += fs.TimeSeparator;
            break;
        case u'C':
            count(c);
            AppendFormat(out, fs.ShortDateFormat, p, fs, depth + 1);
            if (p.HasTime) {
                out += u' ';
                AppendFormat(out, fs.LongTimeFormat, p, fs, depth + 1);
            }
            break;
        case u'Y': {
            int k = count(c);
            out += k <= 2 ? Number(p.Year % 100, 2) : Number(p.Year, 4);
            break;
        }
        case u'M': {
            int k = count(c);
            if (k <= 2)
                out += Number(p.Month, k);
            else if (p.Month >= 1)
                out += k == 3 ? fs.ShortMonthNames[p.Month - 1] : fs.LongMonthNames[p.Month - 1];
            break;
        }
        case u'D': {
            int k = count(c);
            if (k <= 2)
                out += Number(p.Day, k);
            else if (k == 3 && p.DayOfWeek >= 1)
                out += fs.ShortDayNames[p.DayOfWeek - 1];
            else if (k == 4 && p.DayOfWeek >= 1)
                out += fs.LongDayNames[p.DayOfWeek - 1];
            else if (k == 5)
                AppendFormat(out, fs.ShortDateFormat, p, fs, depth + 1);
            else if (k >= 6)
                AppendFormat(out, fs.LongDateFormat, p, fs, depth + 1);
            break;
        }
        case u'H': {
            int k = count(c);
            int hour = p.Hour;
            if (Has12HourMarker(fmt, i)) {
                hour %= 12;
                if (hour == 0) hour = 12;
            }
            out += Number(hour, std::min(k, 2));
            break;
        }
        case u'N': {
            int k = count(c);
            out += Number(p.Min, std::min(k, 2));
            break;
        }
        case u'S': {
            int k = count(c);
            out += Number(p.Sec, std::min(k, 2));
            break;
        }
        case u'Z': {
            int k = count(c);
            out += Number(p.MSec, k >= 3 ? 3 : 1);
            break;
        }
        case u'T': {
            int k = count(c);
            AppendFormat(out, k == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, p, fs, depth + 1);
            break;
        }
        case u'A': {
            bool pm = p.Hour >= 12;
            if (StartsWithNoCase(fmt, i, u"AM/PM")) {
                // The case of the format's first letter picks the case of the output.
                bool lower = fmt[i] >= u'a' && fmt[i] <= u'z';
                out += pm ? (lower ? u"pm" : u"PM") : (lower ? u"am" : u"AM");
                i += 5;
            } else if (StartsWithNoCase(fmt, i, u"A/P")) {
                bool lower = fmt[i] >= u'a' && fmt[i] <= u'z';
                out += pm ? (lower ? u'p' : u'P') : (lower ? u'a' : u'A');
                i += 3;
            } else if (StartsWithNoCase(fmt, i, u"AMPM")) {
                out += pm ? fs.TimePMString : fs.TimeAMString;
                i += 4;
            } else {
                out += c;
                ++i;
            }
            break;
        }
        default:
            out += c;
            ++i;
            break;
        }
    }
}

// --- reading

struct Scanner {
    const WideString& S;
    size_t Pos = 0;

    void SkipBlanks() {
        while (Pos < S.size() && S[Pos] == u' ')
            ++Pos;
    }
    bool Number(int& value, int& length) {
        SkipBlanks();
        size_t start = Pos;
        int64_t v = 0;
        while (Pos < S.size() && S[Pos] >= u'0' && S[Pos] <= u'9' && Pos - start < 9)
            v = v * 10 + (S[Pos++] - u'0');
        length = static_cast<int>(Pos - start);
        if (length == 0) return false;
        value = static_cast<int>(v);
        return true;
    }
    bool Char(char16_t c) {
        SkipBlanks();
        if (c != 0 && Pos < S.size() && S[Pos] == c) {
            ++Pos;
            return true;
        }
        return false;
    }
    bool AtEnd() {
        SkipBlanks();
        return Pos >= S.size();
    }
};

enum DateOrder { doMDY, doDMY, doYMD };

DateOrder OrderOf(const WideString& fmt) {
    char16_t quote = 0;
    for (char16_t c : fmt) {
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        if (c == u'"' || c == u'\'') {
            quote = c;
            continue;
        }
        switch (Upper(c)) {
        case u'Y':
            return doYMD;
        case u'M':
            return doMDY;
        case u'D':
            return doDMY;
        default:
            break;
        }
    }
    return doMDY;
}

bool ScanDate(Scanner& sc, TDateTime& date, const TFormatSettings& fs) {
    size_t start = sc.Pos;
    int n1, n2, n3 = 0, l1, l2, l3 = 0;
    if (!sc.Number(n1, l1) || !sc.Char(fs.DateSeparator) || !sc.Number(n2, l2)) {
        sc.Pos = start;
        return false;
    }
    bool three = false;
    size_t beforeThird = sc.Pos;
    if (sc.Char(fs.DateSeparator)) {
        if (!sc.Number(n3, l3)) {
            sc.Pos = start;
            return false;
        }
        three = true;
    } else {
        sc.Pos = beforeThird;
    }
    int year, month, day, yearLength;
    int currentYear, m, d;
    DecodeDate(Date(), currentYear, m, d);
    DateOrder order = OrderOf(fs.ShortDateFormat);
    if (!three) {
        year = currentYear;
        yearLength = 4;
        if (order == doDMY) {
            day = n1;
            month = n2;
        } else {
            month = n1;
            day = n2;
        }
    } else {
        switch (order) {
        case doMDY:
            month = n1;
            day = n2;
            year = n3;
            yearLength = l3;
            break;
        case doDMY:
            day = n1;
            month = n2;
            year = n3;
            yearLength = l3;
            break;
        default:
            year = n1;
            month = n2;
            day = n3;
            yearLength = l1;
            break;
        }
    }
    if (yearLength <= 2 && year <= 99) {
        int window = fs.TwoDigitYearCenturyWindow;
        int century = currentYear - window;
        year += century / 100 * 100;
        if (window > 0 && year < century) year += 100;
    }
    if (!TryEncodeDate(year, month, day, date)) {
        sc.Pos = start;
        return false;
    }
    return true;
}

bool ScanTime(Scanner& sc, TDateTime& time, const TFormatSettings& fs) {
    size_t start = sc.Pos;
    int hour, minute = 0, sec = 0, msec = 0, len;
    if (!sc.Number(hour, len)) return false;
    bool hasMinutes = false;
    if (sc.Char(fs.TimeSeparator)) {
        if (!sc.Number(minute, len)) {
            sc.Pos = start;
            return false;
        }
        hasMinutes = true;
        if (sc.Char(fs.TimeSeparator)) {
            if (!sc.Number(sec, len)) {
                sc.Pos = start;
                return false;
            }
            if (sc.Char(fs.DecimalSeparator)) {
                if (!sc.Number(msec, len)) {
                    sc.Pos = start;
                    return false;
                }
            }
        }
    }
    sc.SkipBlanks();
    int ampm = 0; // 0 none, 1 am, 2 pm
    for (const auto& [text, kind] :
         {std::pair<WideString, int>{fs.TimeAMString, 1}, {fs.TimePMString, 2}, {u"AM", 1}, {u"PM", 2}}) {
        if (StartsWithNoCase(sc.S, sc.Pos, text)) {
            sc.Pos += text.size();
            ampm = kind;
            break;
        }
    }
    if (!hasMinutes && ampm == 0) {
        sc.Pos = start;
        return false;
    }
    if (ampm != 0) {
        if (hour < 1 || hour > 12) {
            sc.Pos = start;
            return false;
        }
        if (hour == 12) hour = 0;
        if (ampm == 2) hour += 12;
    }
    if (!TryEncodeTime(hour, minute, sec, msec, time)) {
        sc.Pos = start;
        return false;
    }
    return true;
}

TDateTime Combine(TDateTime date, TDateTime time) {
    return date >= 0 ? date + time : date - time;
}

} // namespace

WideString FormatDateTime(const WideString& Fmt, TDateTime Value, const TFormatSettings& FS) {
    // A value outside the calendar has no text; writing one would hand back a date that reads as
    // something else or not at all.
    if (!IsInDateRange(Value)) throw EConvertError(Format(SInvalidDateTime, {FloatToStr(Value, FS)}));
    WideString out;
    Parts p = Split(Value);
    AppendFormat(out, Fmt.empty() ? WideString(u"c") : Fmt, p, FS, 0);
    return out;
}
WideString FormatDateTime(const WideString& Fmt, TDateTime Value) {
    return FormatDateTime(Fmt, Value, DefaultFormatSettings());
}
WideString FormatDateTime(const AnsiString& Fmt, TDateTime Value) {
    return FormatDateTime(AnsiToWide(Fmt), Value, DefaultFormatSettings());
}

WideString DateTimeToStr(TDateTime Value, const TFormatSettings& FS) {
    return FormatDateTime(u"c", Value, FS);
}
WideString DateTimeToStr(TDateTime Value) {
    return DateTimeToStr(Value, DefaultFormatSettings());
}
WideString DateToStr(TDateTime Value, const TFormatSettings& FS) {
    return FormatDateTime(u"ddddd", Value, FS);
}
WideString DateToStr(TDateTime Value) {
    return DateToStr(Value, DefaultFormatSettings());
}
WideString TimeToStr(TDateTime Value, const TFormatSettings& FS) {
    return FormatDateTime(u"tt", Value, FS);
}
WideString TimeToStr(TDateTime Value) {
    return TimeToStr(Value, DefaultFormatSettings());
}

bool TryStrToDate(const WideString& S, TDateTime& Value, const TFormatSettings& FS) {
    Scanner sc{S};
    TDateTime d;
    if (!ScanDate(sc, d, FS) || !sc.AtEnd()) return false;
    Value = d;
    return true;
}

bool TryStrToTime(const WideString& S, TDateTime& Value, const TFormatSettings& FS) {
    Scanner sc{S};
    TDateTime t;
    if (!ScanTime(sc, t, FS) || !sc.AtEnd()) return false;
    Value = t;
    return true;
}

bool TryStrToDateTime(const WideString& S, TDateTime& Value, const TFormatSettings& FS) {
    Scanner sc{S};
    TDateTime d = 0, t = 0;
    if (ScanDate(sc, d, FS)) {
        if (sc.AtEnd()) {
            Value = d;
            return true;
        }
        if (ScanTime(sc, t, FS) && sc.AtEnd()) {
            Value = Combine(d, t);
            return true;
        }
    }
    // A time alone is a time on day 0.
    return TryStrToTime(S, Value, FS);
}
bool TryStrToDateTime(const WideString& S, TDateTime& Value) {
    return TryStrToDateTime(S, Value, DefaultFormatSettings());
}

TDateTime StrToDateTime(const WideString& S, const TFormatSettings& FS) {
    TDateTime v;
    if (!TryStrToDateTime(S, v, FS)) throw EConvertError(Format(SInvalidDateTime, {S}));
    return v;
}
TDateTime StrToDateTime(const WideString& S) {
    return StrToDateTime(S, DefaultFormatSettings());
}
TDateTime StrToDateTime(const AnsiString& S) {
    return StrToDateTime(AnsiToWide(S), DefaultFormatSettings());
}
TDateTime StrToDateTimeDef(const WideString& S, TDateTime Default) {
    TDateTime v;
    return TryStrToDateTime(S, v, DefaultFormatSettings()) ? v : Default;
}

TDateTime StrToDate(const WideString& S, const TFormatSettings& FS) {
    TDateTime v;
    if (!TryStrToDate(S, v, FS)) throw EConvertError(Format(SInvalidDate, {S}));
    return v;
}
TDateTime StrToDate(const WideString& S) {
    return StrToDate(S, DefaultFormatSettings());
}

TDateTime StrToTime(const WideString& S, const TFormatSettings& FS) {
    TDateTime v;
    if (!TryStrToTime(S, v, FS)) throw EConvertError(Format(SInvalidTime, {S}));
    return v;
}
TDateTime StrToTime(const WideString& S) {
    return StrToTime(S, DefaultFormatSettings());
}
