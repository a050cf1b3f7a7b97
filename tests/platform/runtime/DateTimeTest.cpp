// TDateTime arithmetic, and dates and times to and from text with fixed settings.

#include <cmath>
#include <limits>

#include "platform/runtime/DateTime.h"
#include "platform/runtime/RuntimeTestSupport.h"
#include "platform/runtime/SysUtils.h"

namespace {

TDateTime At(int y, int m, int d, int h = 0, int n = 0, int s = 0, int z = 0) {
    return EncodeDate(y, m, d) + EncodeTime(h, n, s, z);
}

struct Ymd {
    int Y, M, D;
    friend bool operator==(const Ymd&, const Ymd&) = default;
};
Ymd DateParts(TDateTime v) {
    Ymd r{};
    DecodeDate(v, r.Y, r.M, r.D);
    return r;
}
std::ostream& operator<<(std::ostream& os, const Ymd& d) {
    return os << d.Y << '-' << d.M << '-' << d.D;
}

TEST(DateTime, EncodeAndDecodeCountDaysFromTheEpoch) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526);
    EXPECT_EQ(EncodeDate(1, 1, 1), -693593);
    EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    EXPECT_EQ((DateParts(36526.75)), (Ymd{2000, 1, 1}));
    EXPECT_EQ((DateParts(EncodeDate(9999, 12, 31))), (Ymd{9999, 12, 31}));
    EXPECT_EQ((DateParts(EncodeDate(2024, 2, 29))), (Ymd{2024, 2, 29}));
    uint16_t h, n, s, z;
    DecodeTime(At(2024, 3, 5, 18, 4, 59, 321), h, n, s, z);
    EXPECT_EQ(h, 18);
    EXPECT_EQ(n, 4);
    EXPECT_EQ(s, 59);
    EXPECT_EQ(z, 321);

    // Before the epoch the fraction still counts forward: -1.25 is 29 December 1899, 06:00.
    EXPECT_EQ((DateParts(-1.25)), (Ymd{1899, 12, 29}));
    int hh, nn, ss, zz;
    DecodeTime(-1.25, hh, nn, ss, zz);
    EXPECT_EQ(hh, 6);

    // A value a fraction of a millisecond before midnight decodes as the next day at 00:00.
    TDateTime almost = EncodeDate(2020, 1, 1) + (MSecsPerDay - 0.4) / MSecsPerDay;
    EXPECT_EQ((DateParts(almost)), (Ymd{2020, 1, 2}));
    DecodeTime(almost, hh, nn, ss, zz);
    EXPECT_EQ(hh + nn + ss + zz, 0);
}

TEST(DateTime, InvalidPartsRaiseTheEncodeErrors) {
    EXPECT_EQ(MessageOf<EConvertError>([] { EncodeDate(2023, 2, 29); }), "Invalid argument to date encode");
    EXPECT_EQ(MessageOf<EConvertError>([] { EncodeDate(0, 1, 1); }), "Invalid argument to date encode");
    EXPECT_EQ(MessageOf<EConvertError>([] { EncodeDate(2023, 13, 1); }), "Invalid argument to date encode");
    EXPECT_EQ(MessageOf<EConvertError>([] { EncodeTime(24, 0, 0, 0); }), "Invalid argument to time encode");
    EXPECT_EQ(MessageOf<EConvertError>([] { EncodeTime(1, 0, 0, 1000); }), "Invalid argument to time encode");
    TDateTime v = 7;
    EXPECT_FALSE(TryEncodeDate(1900, 2, 29, v));
    EXPECT_EQ(v, 7);
}

TEST(DateTime, CalendarHelpers) {
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_FALSE(IsLeapYear(2023));
    EXPECT_EQ(DaysInAMonth(2024, 2), 29);
    EXPECT_EQ(DaysInAMonth(2023, 2), 28);
    EXPECT_EQ(DaysInAMonth(2023, 13), 0);
    EXPECT_EQ(DaysInMonth(EncodeDate(2023, 4, 10)), 30);
    EXPECT_EQ(DayOfWeek(EncodeDate(2026, 12, 9)), 4);  // a Wednesday
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7); // a Saturday
    EXPECT_EQ((DateParts(IncMonth(EncodeDate(2024, 1, 31)))), (Ymd{2024, 2, 29}));
    EXPECT_EQ((DateParts(IncMonth(EncodeDate(2024, 3, 31), -13))), (Ymd{2023, 2, 28}));
    EXPECT_DOUBLE_EQ(Frac(IncMonth(At(2024, 1, 15, 6))), 0.25);
    EXPECT_EQ(DateOf(At(2024, 1, 15, 18)), EncodeDate(2024, 1, 15));
    EXPECT_DOUBLE_EQ(TimeOf(At(2024, 1, 15, 18)), 0.75);
}

TEST(DateTime, NowDateAndTimeAgree) {
    // Retried when the day changes between the calls.
    for (int attempt = 0; attempt < 3; ++attempt) {
        TDateTime d1 = Date(), now = Now(), d2 = Date();
        if (d1 != d2) continue;
        EXPECT_EQ(Frac(d1), 0);
        EXPECT_GE(now, d1);
        EXPECT_LT(now, d1 + 1);
        EXPECT_GT(d1, EncodeDate(2020, 1, 1));
        TDateTime t = Time();
        EXPECT_GE(t, 0);
        EXPECT_LT(t, 1);
        return;
    }
    FAIL() << "the date kept changing";
}

TEST(DateTimeText, DateTimeToStrLeavesTheTimeOutAtMidnight) {
    TFormatSettings de = GermanSettings();
    TFormatSettings inv = TFormatSettings::Invariant();
    EXPECT_EQ(DateTimeToStr(At(2024, 3, 5, 14, 7, 9), de), u"05.03.2024 14:07:09");
    EXPECT_EQ(DateTimeToStr(At(2024, 3, 5), de), u"05.03.2024");
    EXPECT_EQ(DateTimeToStr(At(2024, 3, 5, 0, 0, 0, 1), de), u"05.03.2024 00:00:00");
    EXPECT_EQ(DateTimeToStr(At(2024, 3, 5, 14, 7, 9), inv), u"03/05/2024 14:07:09");
    EXPECT_EQ(DateTimeToStr(0, inv), u"12/30/1899");
    EXPECT_EQ(DateToStr(At(2024, 3, 5, 14), de), u"05.03.2024");
    EXPECT_EQ(TimeToStr(At(2024, 3, 5, 14, 7, 9), de), u"14:07:09");
}

TEST(DateTimeText, NoTextForNaNOrValuesOutsideTheCalendar) {
    TFormatSettings inv = TFormatSettings::Invariant();
    // The first and last days of the calendar, 1/1/0001 and 12/31/9999 23:59:59.999, have text.
    EXPECT_EQ(DateTimeToStr(EncodeDate(1, 1, 1), inv), u"01/01/0001");
    EXPECT_EQ(DateTimeToStr(EncodeDate(9999, 12, 31) + EncodeTime(23, 59, 59, 999), inv),
              u"12/31/9999 23:59:59");
    for (double Value : {std::nan(""), 3e6, EncodeDate(9999, 12, 31) + 1, EncodeDate(1, 1, 1) - 1, -1e300,
                         std::numeric_limits<double>::infinity()}) {
        EXPECT_THROW(DateTimeToStr(Value, inv), EConvertError) << Value;
        EXPECT_THROW(FormatDateTime(WideString(u"yyyy"), Value, inv), EConvertError) << Value;
    }
}

TEST(DateTimeText, FormatDateTimeSpecifiers) {
    TFormatSettings de = GermanSettings();
    TFormatSettings inv = TFormatSettings::Invariant();
    TDateTime v = At(2024, 3, 5, 14, 7, 9, 45);
    EXPECT_EQ(FormatDateTime(u"yyyy-mm-dd hh:nn:ss", v, inv), u"2024-03-05 14:07:09");
    EXPECT_EQ(FormatDateTime(u"d/m/yy h:n:s.zzz", v, de), u"5.3.24 14:7:9.045");
    EXPECT_EQ(FormatDateTime(u"dddd, d mmmm yyyy", v, inv), u"Tuesday, 5 March 2024");
    EXPECT_EQ(FormatDateTime(u"ddd mmm z", v, inv), u"Tue Mar 45");
    // m right after an hour means minutes.
    EXPECT_EQ(FormatDateTime(u"hh:mm", v, inv), u"14:07");
    EXPECT_EQ(FormatDateTime(u"h:nn am/pm", v, inv), u"2:07 pm");
    EXPECT_EQ(FormatDateTime(u"h:nn AM/PM", v, inv), u"2:07 PM");
    EXPECT_EQ(FormatDateTime(u"hh a/p", v, inv), u"02 p");
    EXPECT_EQ(FormatDateTime(u"h ampm", v, inv), u"2 PM");
    EXPECT_EQ(FormatDateTime(u"h:nn am/pm", At(2024, 3, 5, 0, 30), inv), u"12:30 am");
    EXPECT_EQ(FormatDateTime(u"'Date:' yyyy \"mm\"", v, inv), u"Date: 2024 mm");
    EXPECT_EQ(FormatDateTime(u"c", v, de), DateTimeToStr(v, de));
    EXPECT_EQ(FormatDateTime(u"ddddd t", v, de), u"05.03.2024 14:07");
    EXPECT_EQ(FormatDateTime(u"tt", v, de), u"14:07:09");
    EXPECT_EQ(FormatDateTime(u"", At(2024, 3, 5), de), u"05.03.2024");
    // A short date format that names itself does not recurse forever.
    TFormatSettings odd = inv;
    odd.ShortDateFormat = u"c";
    EXPECT_NO_THROW(DateTimeToStr(v, odd));
}

TEST(DateTimeText, StrToDateTimeReadsTheShortDateOrderAndTheTime) {
    TFormatSettings de = GermanSettings();
    EXPECT_EQ(StrToDateTime(u"05.03.2024 14:07:09", de), At(2024, 3, 5, 14, 7, 9));
    EXPECT_EQ(StrToDateTime(u" 5.3.2024 ", de), At(2024, 3, 5));
    EXPECT_EQ(StrToDateTime(u"5.3.2024 2:07 PM", de), At(2024, 3, 5, 14, 7));
    EXPECT_EQ(StrToDateTime(u"5.3.2024 12:00 am", de), At(2024, 3, 5));
    EXPECT_EQ(StrToDateTime(u"5.3.2024 10:20:30,5", de), At(2024, 3, 5, 10, 20, 30, 5));
    EXPECT_EQ(StrToDateTime(u"14:07", de), EncodeTime(14, 7, 0, 0));
    // Two-digit years fall within 50 years of now either way.
    EXPECT_EQ(StrToDateTime(u"5.3.24", de), At(2024, 3, 5));
    EXPECT_EQ(StrToDateTime(u"5.3.80", de), At(1980, 3, 5));
    TFormatSettings noWindow = de;
    noWindow.TwoDigitYearCenturyWindow = 0;
    EXPECT_EQ((DateParts(StrToDate(u"5.3.99", noWindow))), (Ymd{2099, 3, 5}));
    // Without a year: the current one.
    int year, m, d;
    DecodeDate(Date(), year, m, d);
    EXPECT_EQ((DateParts(StrToDate(u"5.3", de))), (Ymd{year, 3, 5}));

    TFormatSettings inv = TFormatSettings::Invariant();
    EXPECT_EQ(StrToDateTime(u"03/05/2024", inv), At(2024, 3, 5));
    TFormatSettings iso = inv;
    iso.ShortDateFormat = u"yyyy/mm/dd";
    iso.DateSeparator = u'-';
    EXPECT_EQ(StrToDateTime(u"2024-03-05 08:00", iso), At(2024, 3, 5, 8));

    auto message = [&](const WideString& s) {
        return MessageOf<EConvertError>([&] { StrToDateTime(s, de); });
    };
    EXPECT_EQ(message(u"31.02.2024"), "'31.02.2024' is not a valid date and time");
    EXPECT_EQ(message(u""), "'' is not a valid date and time");
    EXPECT_EQ(message(u"no date"), "'no date' is not a valid date and time");
    EXPECT_EQ(message(u"5.3.2024 25:00"), "'5.3.2024 25:00' is not a valid date and time");
    EXPECT_EQ(message(u"5.3.2024 13:00 PM"), "'5.3.2024 13:00 PM' is not a valid date and time");
    EXPECT_EQ(MessageOf<EConvertError>([&] { StrToDate(u"5.3.2024 10:00", de); }),
              "'5.3.2024 10:00' is not a valid date");
    EXPECT_EQ(MessageOf<EConvertError>([&] { StrToTime(u"10:61", de); }), "'10:61' is not a valid time");
    EXPECT_EQ(StrToDateTimeDef(u"bad", 3.5), 3.5);

    // Text written by DateTimeToStr reads back to the same second.
    for (TDateTime v : {At(1999, 12, 31, 23, 59, 59), At(2024, 2, 29), At(1900, 1, 1, 0, 0, 1)})
        EXPECT_EQ(StrToDateTime(DateTimeToStr(v, de), de), v);
}

} // namespace

namespace {

// Whatever the machine's locale, what its settings write they read back.
TEST(SystemLocaleSettings, WrittenTextsReadBack) {
    TFormatSettings fs = TFormatSettings::FromSystemLocale();
    EXPECT_NE(fs.DecimalSeparator, fs.ThousandSeparator);
    TDateTime v = EncodeDate(2031, 10, 27) + EncodeTime(21, 5, 3, 0);
    EXPECT_EQ(StrToDateTime(DateTimeToStr(v, fs), fs), v) << U8(DateTimeToStr(v, fs));
    EXPECT_EQ(StrToDateTime(DateTimeToStr(EncodeDate(2031, 10, 27), fs), fs), EncodeDate(2031, 10, 27));
    EXPECT_EQ(StrToFloat(FloatToStr(-1234.5, fs), fs), -1234.5);
    EXPECT_EQ(BoolToStr(true, fs), u"True");
}

} // namespace
