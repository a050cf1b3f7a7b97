#include "platform/runtime/DateTime.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>

#include "platform/runtime/Exception.h"
#include "platform/runtime/RtlConsts.h"

namespace {

constexpr int MonthDays[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                  {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

// Days since 1 January 0001 (that day is 1) and milliseconds into the day.
struct TimeStamp {
    int64_t Date = 0;
    int64_t Time = 0;
};

TimeStamp ToTimeStamp(TDateTime value) {
    TimeStamp ts;
    if (!std::isfinite(value) || std::fabs(value) > 1e9) return ts;
    // Round to the millisecond; halves to even like the platform's rounding.
    int64_t ms = static_cast<int64_t>(std::nearbyint(value * MSecsPerDay));
    ts.Date = DateDelta + ms / MSecsPerDay;
    ts.Time = (ms < 0 ? -ms : ms) % MSecsPerDay;
    return ts;
}

void DecodeDay(int64_t t, int& year, int& month, int& day, int& dow) {
    if (t <= 0) {
        year = month = day = dow = 0;
        return;
    }
    dow = static_cast<int>(t % 7) + 1;
    t -= 1;
    constexpr int64_t D1 = 365, D4 = D1 * 4 + 1, D100 = D4 * 25 - 1, D400 = D100 * 4 + 1;
    int64_t y = 1;
    y += (t / D400) * 400;
    t %= D400;
    int64_t i = t / D100, d = t % D100;
    if (i == 4) {
        i = 3;
        d += D100;
    }
    y += i * 100;
    i = d / D4;
    d %= D4;
    y += i * 4;
    int64_t j = d / D1;
    d %= D1;
    if (j == 4) {
        j = 3;
        d += D1;
    }
    y += j;
    const int* table = MonthDays[IsLeapYear(static_cast<int>(y)) ? 1 : 0];
    int m = 0;
    while (m < 11 && d >= table[m])
        d -= table[m++];
    year = static_cast<int>(y);
    month = m + 1;
    day = static_cast<int>(d) + 1;
}

} // namespace

TDateTime Now() {
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t secs = system_clock::to_time_t(now);
    auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    if (ms < 0) ms += 1000;
    std::tm local{};
    localtime_r(&secs, &local);
    TDateTime date = EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    TDateTime time =
        EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), static_cast<int>(ms));
    return date + time;
}

TDateTime Date() {
    return std::trunc(Now());
}

TDateTime Time() {
    TDateTime now = Now();
    return now - std::trunc(now);
}

bool IsLeapYear(int Year) {
    return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0);
}

int DaysInAMonth(int Year, int Month) {
    if (Month < 1 || Month > 12) return 0;
    return MonthDays[IsLeapYear(Year) ? 1 : 0][Month - 1];
}

int DaysInMonth(TDateTime Value) {
    int y, m, d;
    DecodeDate(Value, y, m, d);
    return DaysInAMonth(y, m);
}

bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Value) {
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 || Day > DaysInAMonth(Year, Month))
        return false;
    const int* table = MonthDays[IsLeapYear(Year) ? 1 : 0];
    for (int i = 0; i < Month - 1; ++i)
        Day += table[i];
    int64_t y = Year - 1;
    Value = static_cast<double>(y * 365 + y / 4 - y / 100 + y / 400 + Day - DateDelta);
    return true;
}

TDateTime EncodeDate(int Year, int Month, int Day) {
    TDateTime result;
    if (!TryEncodeDate(Year, Month, Day, result)) throw EConvertError(SDateEncodeError);
    return result;
}

bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Value) {
    if (Hour < 0 || Hour > 23 || Min < 0 || Min > 59 || Sec < 0 || Sec > 59 || MSec < 0 || MSec > 999)
        return false;
    Value = static_cast<double>(((Hour * 60 + Min) * 60 + Sec) * 1000 + MSec) / MSecsPerDay;
    return true;
}

TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec) {
    TDateTime result;
    if (!TryEncodeTime(Hour, Min, Sec, MSec, result)) throw EConvertError(STimeEncodeError);
    return result;
}

bool IsInDateRange(TDateTime Value) {
    // Days are counted from 1 January 0001 as day 1; 31 December 9999 is day 3652059.
    constexpr int64_t LastDay = DateDelta + 2958465;
    if (!std::isfinite(Value)) return false;
    const int64_t Day = ToTimeStamp(Value).Date;
    return Day >= 1 && Day <= LastDay;
}

void DecodeDate(TDateTime Value, int& Year, int& Month, int& Day) {
    int dow;
    DecodeDay(ToTimeStamp(Value).Date, Year, Month, Day, dow);
}

void DecodeDate(TDateTime Value, uint16_t& Year, uint16_t& Month, uint16_t& Day) {
    int y, m, d;
    DecodeDate(Value, y, m, d);
    Year = static_cast<uint16_t>(y);
    Month = static_cast<uint16_t>(m);
    Day = static_cast<uint16_t>(d);
}

void DecodeTime(TDateTime Value, int& Hour, int& Min, int& Sec, int& MSec) {
    int64_t t = ToTimeStamp(Value).Time;
    MSec = static_cast<int>(t % 1000);
    t /= 1000;
    Sec = static_cast<int>(t % 60);
    t /= 60;
    Min = static_cast<int>(t % 60);
    Hour = static_cast<int>(t / 60);
}

void DecodeTime(TDateTime Value, uint16_t& Hour, uint16_t& Min, uint16_t& Sec, uint16_t& MSec) {
    int h, n, s, z;
    DecodeTime(Value, h, n, s, z);
    Hour = static_cast<uint16_t>(h);
    Min = static_cast<uint16_t>(n);
    Sec = static_cast<uint16_t>(s);
    MSec = static_cast<uint16_t>(z);
}

int DayOfWeek(TDateTime Value) {
    int y, m, d, dow;
    DecodeDay(ToTimeStamp(Value).Date, y, m, d, dow);
    return dow;
}

TDateTime IncMonth(TDateTime Value, int NumberOfMonths) {
    int y, m, d;
    DecodeDate(Value, y, m, d);
    int64_t months = static_cast<int64_t>(y) * 12 + (m - 1) + NumberOfMonths;
    int ny = static_cast<int>(months / 12);
    int nm = static_cast<int>(months % 12) + 1;
    int nd = std::min(d, DaysInAMonth(ny, nm));
    TDateTime date = EncodeDate(ny, nm, nd);
    double time = std::fabs(Value - std::trunc(Value));
    return date >= 0 ? date + time : date - time;
}

TDateTime DateOf(TDateTime Value) {
    TimeStamp ts = ToTimeStamp(Value);
    return static_cast<double>(ts.Date - DateDelta);
}

TDateTime TimeOf(TDateTime Value) {
    return static_cast<double>(ToTimeStamp(Value).Time) / MSecsPerDay;
}
