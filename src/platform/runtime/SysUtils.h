#pragma once
// Locale-aware conversions between text and numbers, booleans and dates, the printf-like Format,
// string helpers and rounding.
//
// Wide strings come first: every conversion takes a WideString, and an AnsiString overload (8-bit
// text in the system code page) where 8-bit callers need one; results are WideString. Error
// messages are UTF-8 with the offending text inserted, e.g. "'abc' is not a valid integer value".
// Every conversion that depends on the locale has an overload taking explicit TFormatSettings;
// the others use DefaultFormatSettings().

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/runtime/DateTime.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/Types.h"

// ---------------------------------------------------------------------------------------------
// Format settings

struct TFormatSettings {
    WideChar DecimalSeparator = u'.';
    WideChar ThousandSeparator = u',';
    WideChar DateSeparator = u'/';
    WideChar TimeSeparator = u':';
    WideChar ListSeparator = u',';
    // Date and time patterns in FormatDateTime's notation ("m/d/yyyy", "hh:nn:ss"): '/' and ':'
    // in them stand for DateSeparator and TimeSeparator.
    WideString ShortDateFormat = u"MM/dd/yyyy";
    WideString LongDateFormat = u"dddd, dd MMMM yyyy";
    WideString ShortTimeFormat = u"hh:nn";
    WideString LongTimeFormat = u"hh:nn:ss";
    WideString TimeAMString = u"AM";
    WideString TimePMString = u"PM";
    std::array<WideString, 12> ShortMonthNames{u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                                               u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};
    std::array<WideString, 12> LongMonthNames{u"January",   u"February", u"March",    u"April",
                                              u"May",       u"June",     u"July",     u"August",
                                              u"September", u"October",  u"November", u"December"};
    // Index 0 is Sunday.
    std::array<WideString, 7> ShortDayNames{u"Sun", u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat"};
    std::array<WideString, 7> LongDayNames{u"Sunday",   u"Monday", u"Tuesday", u"Wednesday",
                                           u"Thursday", u"Friday", u"Saturday"};
    // StrToBool accepts any of these (ignoring case); BoolToStr writes the first of each.
    std::vector<WideString> TrueBoolStrs{u"True"};
    std::vector<WideString> FalseBoolStrs{u"False"};
    // Two-digit years are placed within 100 years ending this many years after the current one
    // (0: always the current century).
    int TwoDigitYearCenturyWindow = 50;

    // Fixed, locale-independent settings (the member defaults above: English names, 24 hours).
    static TFormatSettings Invariant() { return {}; }
    // Settings taken from the system locale (LC_ALL, LC_NUMERIC, LC_TIME, LANG); the C locale
    // gives Invariant(). Two-digit years in the locale's short date become four, and date or
    // time patterns whose text would not read back are replaced by numeric ones in the same order.
    static TFormatSettings FromSystemLocale();
};

// The process-wide settings used by the overloads without TFormatSettings. Read from the system
// locale on first use; tests assign fixed settings to it (or pass settings explicitly).
TFormatSettings& DefaultFormatSettings();

// ---------------------------------------------------------------------------------------------
// Integers

// Optional blanks before, an optional sign, decimal digits or '$' / "0x" followed by hex digits;
// no blanks after. Out-of-range and empty text raise EConvertError.
int32_t StrToInt(const WideString& S);
int32_t StrToInt(const AnsiString& S);
int32_t StrToIntDef(const WideString& S, int32_t Default);
int32_t StrToIntDef(const AnsiString& S, int32_t Default);
bool TryStrToInt(const WideString& S, int32_t& Value);
bool TryStrToInt(const AnsiString& S, int32_t& Value);
int64_t StrToInt64(const WideString& S);
int64_t StrToInt64(const AnsiString& S);
int64_t StrToInt64Def(const WideString& S, int64_t Default);
bool TryStrToInt64(const WideString& S, int64_t& Value);

WideString IntToStr(int64_t Value);
// Upper-case hex, at least Digits digits (negative values as their 64-bit pattern).
WideString IntToHex(int64_t Value, int Digits);

// ---------------------------------------------------------------------------------------------
// Floating point

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// Blanks around, an optional sign, digits with one DecimalSeparator, an optional exponent
// (E or e, optional sign, digits). No thousand separators. Empty text raises.
double StrToFloat(const WideString& S);
double StrToFloat(const WideString& S, const TFormatSettings& FS);
double StrToFloat(const AnsiString& S);
double StrToFloat(const AnsiString& S, const TFormatSettings& FS);
double StrToFloatDef(const WideString& S, double Default);
double StrToFloatDef(const WideString& S, double Default, const TFormatSettings& FS);
bool TryStrToFloat(const WideString& S, double& Value);
bool TryStrToFloat(const WideString& S, double& Value, const TFormatSettings& FS);
bool TryStrToFloat(const AnsiString& S, double& Value);
bool TryStrToFloat(const AnsiString& S, double& Value, const TFormatSettings& FS);

// The shortest general form with up to 15 significant digits: 0.1 + 0.2 gives "0.3", 1e20 gives
// "1E20", 1.5e-7 gives "1.5E-7"; NaN and infinities give "NAN", "INF", "-INF".
WideString FloatToStr(double Value);
WideString FloatToStr(double Value, const TFormatSettings& FS);
// Appends FloatToStr(Value) to Out, without a string in between.
void AppendFloatToStr(WideString& Out, double Value);
// ffGeneral (Precision significant digits, exponent at least Digits digits), ffExponent
// ("d.dddE+ddd"), ffFixed and ffNumber (Digits decimals; ffNumber groups thousands). Fixed and
// number forms round halves away from zero, as the decimal text of the value shows them.
WideString FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits);
WideString FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits,
                       const TFormatSettings& FS);
// Picture formats: up to three sections "positive;negative;zero"; '0' a digit or zero, '#' a
// digit or nothing, the first '.' the decimal point, ',' anywhere turns on thousand grouping,
// "E+" / "E-" / "e+" / "e-" scientific notation, text in quotes copied as it is. An empty format
// gives FloatToStr. Halves are rounded away from zero.
WideString FormatFloat(const WideString& Format, double Value);
WideString FormatFloat(const WideString& Format, double Value, const TFormatSettings& FS);
WideString FormatFloat(const AnsiString& Format, double Value);
WideString FormatFloat(const AnsiString& Format, double Value, const TFormatSettings& FS);

// ---------------------------------------------------------------------------------------------
// Booleans

// A number (as by TryStrToFloat: not 0 is true), or one of TrueBoolStrs / FalseBoolStrs ignoring
// case. Anything else raises "'%s' is not a valid boolean value".
bool StrToBool(const WideString& S);
bool StrToBool(const WideString& S, const TFormatSettings& FS);
bool StrToBool(const AnsiString& S);
bool StrToBoolDef(const WideString& S, bool Default);
bool TryStrToBool(const WideString& S, bool& Value);
bool TryStrToBool(const WideString& S, bool& Value, const TFormatSettings& FS);
// With UseBoolStrs the first of TrueBoolStrs / FalseBoolStrs ("True", "False"), else "-1" / "0".
WideString BoolToStr(bool B, bool UseBoolStrs = true);
WideString BoolToStr(bool B, const TFormatSettings& FS);

// ---------------------------------------------------------------------------------------------
// Dates and times (TDateTime: see DateTime.h)

// Date in ShortDateFormat's field order (day, month, year by DateSeparator), the year optional
// (the current one) and two-digit years placed by the century window; time as hours, minutes,
// optional seconds and milliseconds by TimeSeparator, optionally followed by the AM or PM text.
TDateTime StrToDateTime(const WideString& S);
TDateTime StrToDateTime(const WideString& S, const TFormatSettings& FS);
TDateTime StrToDateTime(const AnsiString& S);
TDateTime StrToDateTimeDef(const WideString& S, TDateTime Default);
bool TryStrToDateTime(const WideString& S, TDateTime& Value);
bool TryStrToDateTime(const WideString& S, TDateTime& Value, const TFormatSettings& FS);
TDateTime StrToDate(const WideString& S);
TDateTime StrToDate(const WideString& S, const TFormatSettings& FS);
bool TryStrToDate(const WideString& S, TDateTime& Value, const TFormatSettings& FS);
TDateTime StrToTime(const WideString& S);
TDateTime StrToTime(const WideString& S, const TFormatSettings& FS);
bool TryStrToTime(const WideString& S, TDateTime& Value, const TFormatSettings& FS);

// Short date, a blank and the long time; at exact midnight the date alone. These and
// FormatDateTime raise EConvertError "'%s' is not a valid date and time" for NaN and for values
// outside 1 January 0001 to 31 December 9999 (IsInDateRange).
WideString DateTimeToStr(TDateTime Value);
WideString DateTimeToStr(TDateTime Value, const TFormatSettings& FS);
WideString DateToStr(TDateTime Value);
WideString DateToStr(TDateTime Value, const TFormatSettings& FS);
WideString TimeToStr(TDateTime Value);
WideString TimeToStr(TDateTime Value, const TFormatSettings& FS);
// Specifiers (case-insensitive): c, d, dd, ddd, dddd, ddddd (short date), dddddd (long date),
// m, mm, mmm, mmmm (minutes right after an hour), yy, yyyy, h, hh, n, nn, s, ss, z, zzz,
// t (short time), tt (long time), am/pm, a/p, ampm, '/', ':', and quoted text.
WideString FormatDateTime(const WideString& Format, TDateTime Value);
WideString FormatDateTime(const WideString& Format, TDateTime Value, const TFormatSettings& FS);
WideString FormatDateTime(const AnsiString& Format, TDateTime Value);

// ---------------------------------------------------------------------------------------------
// Format: printf-like with %[index:][-][width][.precision]type, type one of d u x (upper-case
// hex) e f g n (thousands) m s p, '*' for width or precision from the arguments, "%%" for '%'.
// %f and %n default to 2 decimals, %g to 15 significant digits. Mismatched arguments raise
// EConvertError "Format '%s' invalid or incompatible with argument".

class TVarRec {
public:
    enum TKind { vkInteger, vkUnsigned, vkFloat, vkString, vkWideString, vkPointer, vkChar, vkWideChar };
    TVarRec(int v) : FKind(vkInteger), FInt(v) {}
    TVarRec(long v) : FKind(vkInteger), FInt(v) {}
    TVarRec(long long v) : FKind(vkInteger), FInt(v) {}
    TVarRec(unsigned v) : FKind(vkUnsigned), FInt(static_cast<int64_t>(v)) {}
    TVarRec(unsigned long v) : FKind(vkUnsigned), FInt(static_cast<int64_t>(v)) {}
    TVarRec(unsigned long long v) : FKind(vkUnsigned), FInt(static_cast<int64_t>(v)) {}
    TVarRec(double v) : FKind(vkFloat), FFloat(v) {}
    TVarRec(char c) : FKind(vkChar), FInt(static_cast<unsigned char>(c)) {}
    TVarRec(char16_t c) : FKind(vkWideChar), FInt(c) {}
    // Narrow text is UTF-8.
    TVarRec(const char* s) : FKind(vkString), FStr(s ? s : "") {}
    TVarRec(const std::string& s) : FKind(vkString), FStr(s) {}
    TVarRec(const char16_t* s) : FKind(vkWideString), FWide(s ? s : u"") {}
    TVarRec(const WideString& s) : FKind(vkWideString), FWide(s) {}
    TVarRec(const void* p) : FKind(vkPointer), FInt(static_cast<int64_t>(reinterpret_cast<uintptr_t>(p))) {}

    TKind Kind() const { return FKind; }
    int64_t AsInt() const { return FInt; }
    double AsFloat() const { return FFloat; }
    const std::string& AsString() const { return FStr; }
    const WideString& AsWide() const { return FWide; }

private:
    TKind FKind;
    int64_t FInt = 0;
    double FFloat = 0;
    std::string FStr;
    WideString FWide;
};

// Narrow form: format and result are UTF-8 (as exception messages are).
std::string Format(const std::string& Fmt, const std::vector<TVarRec>& Args);
std::string Format(const std::string& Fmt, const std::vector<TVarRec>& Args, const TFormatSettings& FS);
WideString Format(const WideString& Fmt, const std::vector<TVarRec>& Args);
WideString Format(const WideString& Fmt, const std::vector<TVarRec>& Args, const TFormatSettings& FS);

// ---------------------------------------------------------------------------------------------
// String helpers. The plain forms touch only the letters A to Z; the Ansi forms handle every
// letter (Unicode simple case mapping; 8-bit text through the system code page) and compare
// case-insensitively by folded code units, with no locale collation, so results repeat.

AnsiString UpperCase(const AnsiString& S);
WideString UpperCase(const WideString& S);
AnsiString LowerCase(const AnsiString& S);
WideString LowerCase(const WideString& S);
AnsiString AnsiUpperCase(const AnsiString& S);
WideString AnsiUpperCase(const WideString& S);
AnsiString AnsiLowerCase(const AnsiString& S);
WideString AnsiLowerCase(const WideString& S);

// Remove characters up to and including the blank (control characters and ' ').
AnsiString Trim(const AnsiString& S);
WideString Trim(const WideString& S);
AnsiString TrimLeft(const AnsiString& S);
WideString TrimLeft(const WideString& S);
AnsiString TrimRight(const AnsiString& S);
WideString TrimRight(const WideString& S);

// < 0, 0, > 0. CompareStr: by unsigned code units, a prefix first. CompareText: the same after
// turning A-Z into a-z.
int CompareStr(const AnsiString& S1, const AnsiString& S2);
int CompareStr(const WideString& S1, const WideString& S2);
int CompareText(const AnsiString& S1, const AnsiString& S2);
int CompareText(const WideString& S1, const WideString& S2);
bool SameStr(const AnsiString& S1, const AnsiString& S2);
bool SameStr(const WideString& S1, const WideString& S2);
bool SameText(const AnsiString& S1, const AnsiString& S2);
bool SameText(const WideString& S1, const WideString& S2);
int AnsiCompareStr(const AnsiString& S1, const AnsiString& S2);
int AnsiCompareStr(const WideString& S1, const WideString& S2);
int AnsiCompareText(const AnsiString& S1, const AnsiString& S2);
int AnsiCompareText(const WideString& S1, const WideString& S2);
bool AnsiSameText(const AnsiString& S1, const AnsiString& S2);
bool AnsiSameText(const WideString& S1, const WideString& S2);

// Enclose in Quote, doubling the quotes inside; and the reverse (text not starting with Quote
// comes back unchanged).
WideString QuotedStr(const WideString& S, WideChar Quote = u'\'');
AnsiString QuotedStr(const AnsiString& S, char Quote = '\'');
WideString AnsiDequotedStr(const WideString& S, WideChar Quote);

enum TReplaceFlag { rfReplaceAll, rfIgnoreCase };
using TReplaceFlags = TSet<TReplaceFlag>;
WideString StringReplace(const WideString& S, const WideString& OldPattern, const WideString& NewPattern,
                         TReplaceFlags Flags);
AnsiString StringReplace(const AnsiString& S, const AnsiString& OldPattern, const AnsiString& NewPattern,
                         TReplaceFlags Flags);

// ---------------------------------------------------------------------------------------------
// Rounding

// To the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2). NaN, infinities and
// values beyond 64 bits raise EInvalidOp.
int64_t Round(double X);
// Toward zero; the same errors as Round.
int64_t Trunc(double X);
// The same rounding when the result is known to fit 32 bits (raises EInvalidOp otherwise).
int32_t RoundToInt(double X);
double Frac(double X);
double Int(double X);
