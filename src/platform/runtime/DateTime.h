#pragma once
// TDateTime: days since 30 December 1899 as a double; the fraction is the time of day. Before
// that day the integer part counts back and the fraction still counts forward (-1.25 is
// 29 December 1899, 06:00). Text conversions are in SysUtils.h.

#include <cstdint>

using TDateTime = double;

inline constexpr int HoursPerDay = 24;
inline constexpr int MinsPerDay = 24 * 60;
inline constexpr int SecsPerDay = 24 * 60 * 60;
inline constexpr int MSecsPerDay = SecsPerDay * 1000;
// Days from 1 January 0001 to 30 December 1899.
inline constexpr int DateDelta = 693594;

// Local time.
TDateTime Now();
// Today with a zero time part.
TDateTime Date();
// The time of day now (date part 0).
TDateTime Time();

// Year 1..9999, Month 1..12, Day 1..days of that month; others raise EConvertError
// "Invalid argument to date encode".
TDateTime EncodeDate(int Year, int Month, int Day);
bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Value);
// Hour 0..23, Min and Sec 0..59, MSec 0..999; others raise "Invalid argument to time encode".
TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec);
bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Value);
// The value is rounded to the millisecond first (23:59:59.9996 decodes as the next day 00:00).
// Values before 1 January 0001 give year, month and day 0.
void DecodeDate(TDateTime Value, uint16_t& Year, uint16_t& Month, uint16_t& Day);
void DecodeDate(TDateTime Value, int& Year, int& Month, int& Day);
void DecodeTime(TDateTime Value, uint16_t& Hour, uint16_t& Min, uint16_t& Sec, uint16_t& MSec);
void DecodeTime(TDateTime Value, int& Hour, int& Min, int& Sec, int& MSec);
// The value names a moment from 1 January 0001 to 31 December 9999 (after rounding to the
// millisecond); false for NaN and infinities.
bool IsInDateRange(TDateTime Value);
// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime Value);

bool IsLeapYear(int Year);
// Days of the month (Month 1..12); 0 for a month out of range.
int DaysInAMonth(int Year, int Month);
// Days of the month the value falls in.
int DaysInMonth(TDateTime Value);
// The same day NumberOfMonths later (earlier when negative), the day clipped to the month's end.
TDateTime IncMonth(TDateTime Value, int NumberOfMonths = 1);
// The date part (time 0) and the time part (date 0).
TDateTime DateOf(TDateTime Value);
TDateTime TimeOf(TDateTime Value);
