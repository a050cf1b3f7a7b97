// Text to number, boolean and back, with fixed format settings; the exact platform messages.

#include <cmath>
#include <limits>

#include "platform/runtime/RtlConsts.h"
#include "platform/runtime/RuntimeTestSupport.h"
#include "platform/runtime/SysUtils.h"

namespace {

// The process-wide settings are replaced for each test and put back afterwards.
class ConversionTest : public ::testing::Test {
protected:
    void SetUp() override {
        FSaved = DefaultFormatSettings();
        DefaultFormatSettings() = TFormatSettings::Invariant();
        FSavedCodePage = SystemCodePage();
        SetSystemCodePage(TCodePage::cp1252);
    }
    void TearDown() override {
        DefaultFormatSettings() = FSaved;
        SetSystemCodePage(FSavedCodePage);
    }
    TFormatSettings FSaved;
    TCodePage FSavedCodePage{};
    const TFormatSettings German = GermanSettings();
};

TEST_F(ConversionTest, StrToIntAcceptsDecimalHexAndSignsAndRejectsTheRest) {
    EXPECT_EQ(StrToInt(u"123"), 123);
    EXPECT_EQ(StrToInt(u"  42"), 42);
    EXPECT_EQ(StrToInt(u"-7"), -7);
    EXPECT_EQ(StrToInt(u"+7"), 7);
    EXPECT_EQ(StrToInt(u"$FF"), 255);
    EXPECT_EQ(StrToInt(u"0x1a"), 26);
    EXPECT_EQ(StrToInt(u"$FFFFFFFF"), -1);
    EXPECT_EQ(StrToInt(u"2147483647"), 2147483647);
    EXPECT_EQ(StrToInt(u"-2147483648"), INT32_MIN);
    EXPECT_EQ(StrToInt("15"), 15);
    EXPECT_EQ(StrToInt64(u"-9223372036854775808"), std::numeric_limits<int64_t>::min());

    auto message = [](const WideString& s) { return MessageOf<EConvertError>([&] { StrToInt(s); }); };
    EXPECT_EQ(message(u""), "'' is not a valid integer value");
    EXPECT_EQ(message(u"12 "), "'12 ' is not a valid integer value");
    EXPECT_EQ(message(u"1.5"), "'1.5' is not a valid integer value");
    EXPECT_EQ(message(u"2147483648"), "'2147483648' is not a valid integer value");
    EXPECT_EQ(message(u"-"), "'-' is not a valid integer value");
    EXPECT_EQ(message(u"$"), "'$' is not a valid integer value");
    EXPECT_EQ(message(u"$100000000"), "'$100000000' is not a valid integer value");
    // The offending text goes into the message as UTF-8, from wide and from 8-bit text.
    EXPECT_EQ(message(u"zw\u00f6lf"), "'zw\xc3\xb6lf' is not a valid integer value");
    EXPECT_EQ(MessageOf<EConvertError>([] { StrToInt(AnsiString("\xf6")); }),
              "'\xc3\xb6' is not a valid integer value");

    EXPECT_EQ(StrToIntDef(u"x", -5), -5);
    int32_t v = 0;
    EXPECT_FALSE(TryStrToInt(u"9x", v));
    EXPECT_TRUE(TryStrToInt(u"-0", v));
    EXPECT_EQ(v, 0);
}

TEST_F(ConversionTest, StrToFloatFollowsTheDecimalSeparatorOfTheSettings) {
    EXPECT_DOUBLE_EQ(StrToFloat(u"3.25"), 3.25);
    EXPECT_DOUBLE_EQ(StrToFloat(u"1,5", German), 1.5);
    EXPECT_DOUBLE_EQ(StrToFloat(u" -2,5E3 ", German), -2500);
    EXPECT_DOUBLE_EQ(StrToFloat(u".5"), 0.5);
    EXPECT_DOUBLE_EQ(StrToFloat(u"7."), 7);
    EXPECT_DOUBLE_EQ(StrToFloat(u"1e-3"), 0.001);
    EXPECT_DOUBLE_EQ(StrToFloat("2.5"), 2.5);

    auto message = [](const WideString& s, const TFormatSettings& fs) {
        return MessageOf<EConvertError>([&] { StrToFloat(s, fs); });
    };
    EXPECT_EQ(message(u"1.5", German), "'1.5' is not a valid floating point value");
    EXPECT_EQ(message(u"", German), "'' is not a valid floating point value");
    EXPECT_EQ(message(u"1e", TFormatSettings::Invariant()), "'1e' is not a valid floating point value");
    EXPECT_EQ(message(u".", TFormatSettings::Invariant()), "'.' is not a valid floating point value");
    EXPECT_EQ(message(u"1,000", TFormatSettings::Invariant()), "'1,000' is not a valid floating point value");
    EXPECT_EQ(message(u"1e999", TFormatSettings::Invariant()), "'1e999' is not a valid floating point value");
    EXPECT_DOUBLE_EQ(StrToFloatDef(u"abc", 9.5), 9.5);
}

TEST_F(ConversionTest, FloatToStrWritesTheShortestGeneralFormWithFifteenDigits) {
    EXPECT_EQ(FloatToStr(0.1 + 0.2), u"0.3");
    EXPECT_EQ(FloatToStr(1.0 / 3), u"0.333333333333333");
    EXPECT_EQ(FloatToStr(2.0 / 3), u"0.666666666666667");
    EXPECT_EQ(FloatToStr(100), u"100");
    EXPECT_EQ(FloatToStr(0), u"0");
    EXPECT_EQ(FloatToStr(-2.5), u"-2.5");
    EXPECT_EQ(FloatToStr(1e20), u"1E20");
    EXPECT_EQ(FloatToStr(1.5e-7), u"1.5E-7");
    EXPECT_EQ(FloatToStr(0.0001), u"0.0001");
    EXPECT_EQ(FloatToStr(0.00001), u"1E-5");
    EXPECT_EQ(FloatToStr(123456789012345.0), u"123456789012345");
    EXPECT_EQ(FloatToStr(1234567890123456.0), u"1.23456789012346E15");
    EXPECT_EQ(FloatToStr(-999999999999999.0), u"-999999999999999");
    EXPECT_EQ(FloatToStr(1e15), u"1E15");
    EXPECT_EQ(FloatToStr(-0.0), u"0");
    EXPECT_EQ(FloatToStrF(100, ffGeneral, 2, 0), u"1E2");
    EXPECT_EQ(FloatToStrF(-99, ffGeneral, 2, 0), u"-99");
    EXPECT_EQ(FloatToStr(1.5, German), u"1,5");
    EXPECT_EQ(FloatToStr(std::nan("")), u"NAN");
    EXPECT_EQ(FloatToStr(-std::numeric_limits<double>::infinity()), u"-INF");
    // What FloatToStr writes, StrToFloat reads back.
    for (double x : {0.1, 12345.678, -1e-10, 6.02214076e23})
        EXPECT_DOUBLE_EQ(StrToFloat(FloatToStr(x, German), German), x);
}

TEST_F(ConversionTest, FloatToStrFFormsRoundHalvesAwayFromZero) {
    EXPECT_EQ(FloatToStrF(1234.5, ffExponent, 5, 3), u"1.2345E+003");
    EXPECT_EQ(FloatToStrF(-0.000123, ffExponent, 3, 2), u"-1.23E-04");
    EXPECT_EQ(FloatToStrF(1234.567, ffFixed, 15, 2), u"1234.57");
    EXPECT_EQ(FloatToStrF(1234.567, ffNumber, 15, 2), u"1,234.57");
    EXPECT_EQ(FloatToStrF(1234567.0, ffNumber, 15, 0, German), u"1.234.567");
    EXPECT_EQ(FloatToStrF(0.5, ffFixed, 15, 0), u"1");
    EXPECT_EQ(FloatToStrF(2.5, ffFixed, 15, 0), u"3");
    EXPECT_EQ(FloatToStrF(0.125, ffFixed, 15, 2), u"0.13");
    EXPECT_EQ(FloatToStrF(-0.004, ffFixed, 15, 2), u"0.00");
    EXPECT_EQ(FloatToStrF(99.96, ffFixed, 15, 1), u"100.0");
    EXPECT_EQ(FloatToStrF(42, ffFixed, 15, 0), u"42");
}

TEST_F(ConversionTest, FormatFloatPictures) {
    EXPECT_EQ(FormatFloat(u"#,##0.00", 1234567.891), u"1,234,567.89");
    EXPECT_EQ(FormatFloat(u"#,##0.00", 1234567.891, German), u"1.234.567,89");
    EXPECT_EQ(FormatFloat(u"#,##0.00", 0.5), u"0.50");
    EXPECT_EQ(FormatFloat(u"#,##0", -1234), u"-1,234");
    EXPECT_EQ(FormatFloat(u"0", 2.5), u"3");
    EXPECT_EQ(FormatFloat(u"0", -2.5), u"-3");
    EXPECT_EQ(FormatFloat(u"0", -0.4), u"0");
    EXPECT_EQ(FormatFloat(u"0.00", 0.125), u"0.13");
    EXPECT_EQ(FormatFloat(u"000", 7), u"007");
    // Pictures longer than any double's digits.
    EXPECT_EQ(FormatFloat(u"0000000000000000000000000", 42), u"0000000000000000000000042");
    EXPECT_EQ(FormatFloat(u"000000000000000000000000000000.0E+0", 1.5),
              u"150000000000000000000000000000.0E-29");
    EXPECT_EQ(FormatFloat(u"#.##", 5), u"5");
    EXPECT_EQ(FormatFloat(u"0.##", 0.5), u"0.5");
    EXPECT_EQ(FormatFloat(u"#.##", 0.5), u".5");
    EXPECT_EQ(FormatFloat(u"0", 123456), u"123456");
    EXPECT_EQ(FormatFloat(u"000-000", 12345), u"012-345");
    EXPECT_EQ(FormatFloat(u"'$'#,##0", 1234), u"$1,234");
    EXPECT_EQ(FormatFloat(u"0.0 \"kg\"", 2.25), u"2.3 kg");
    EXPECT_EQ(FormatFloat(u"0.00E+00", 12345), u"1.23E+04");
    EXPECT_EQ(FormatFloat(u"0.0E-0", 0.00012), u"1.2E-4");
    EXPECT_EQ(FormatFloat(u"0.00E+00", 0), u"0.00E+00");
    // Sections: positive; negative; zero. A value that shows as zero takes the zero section.
    EXPECT_EQ(FormatFloat(u"0.0;(0.0);'zero'", 1.25), u"1.3");
    EXPECT_EQ(FormatFloat(u"0.0;(0.0);'zero'", -1.25), u"(1.3)");
    EXPECT_EQ(FormatFloat(u"0.0;(0.0);'zero'", 0), u"zero");
    EXPECT_EQ(FormatFloat(u"0.0;(0.0);'zero'", 0.04), u"zero");
    EXPECT_EQ(FormatFloat(u"", 1.5), u"1.5");
    EXPECT_EQ(FormatFloat("0.0", 3.0), u"3.0");
}

// Every exponent marker of a picture writes the exponent, however many there are: the text is
// far longer than the picture.
TEST_F(ConversionTest, FormatFloatWritesEveryExponentOfAPictureWithManyMarkers) {
    for (int Markers : {32, 33, 100, 1000}) {
        WideString Picture = u"0", Small = u"1", Large = u"1";
        for (int i = 0; i < Markers; ++i) {
            Picture += u"E-";
            Small += u"E-300";
            Large += u"E17";
        }
        EXPECT_EQ(FormatFloat(Picture, 1e-300), Small) << Markers;
        EXPECT_EQ(FormatFloat(Picture, -1e-300), u"-" + Small) << Markers;
        EXPECT_EQ(FormatFloat(Picture + u"' kg'", 1e17), Large + u" kg") << Markers;
    }
}

TEST_F(ConversionTest, BooleansReadNumbersAndTheTrueFalseTexts) {
    EXPECT_TRUE(StrToBool(u"true"));
    EXPECT_FALSE(StrToBool(u"FALSE"));
    EXPECT_TRUE(StrToBool(u"1"));
    EXPECT_TRUE(StrToBool(u"-1"));
    EXPECT_FALSE(StrToBool(u"0"));
    EXPECT_FALSE(StrToBool(u"0.0"));
    EXPECT_TRUE(StrToBool(u"ja", German));
    EXPECT_FALSE(StrToBool(u"Nein", German));
    EXPECT_TRUE(StrToBool(u"0,5", German));
    EXPECT_EQ(MessageOf<EConvertError>([] { StrToBool(u"yes"); }), "'yes' is not a valid boolean value");
    EXPECT_EQ(MessageOf<EConvertError>([&] { StrToBool(u"True", German); }),
              "'True' is not a valid boolean value");
    EXPECT_TRUE(StrToBoolDef(u"maybe", true));

    EXPECT_EQ(BoolToStr(true), u"True");
    EXPECT_EQ(BoolToStr(false), u"False");
    EXPECT_EQ(BoolToStr(true, false), u"-1");
    EXPECT_EQ(BoolToStr(false, false), u"0");
    EXPECT_EQ(BoolToStr(true, German), u"Wahr");
}

TEST_F(ConversionTest, IntToStrAndHex) {
    EXPECT_EQ(IntToStr(0), u"0");
    EXPECT_EQ(IntToStr(-2147483647 - 1), u"-2147483648");
    EXPECT_EQ(IntToStr(int64_t{1} << 40), u"1099511627776");
    EXPECT_EQ(IntToHex(255, 4), u"00FF");
    EXPECT_EQ(IntToHex(0xABCDEF, 2), u"ABCDEF");
}

TEST_F(ConversionTest, FormatFillsThePlatformMessages) {
    EXPECT_EQ(Format(SListIndexError, {5}), "List index out of bounds (5)");
    EXPECT_EQ(Format(SListIndexError, {-1}), "List index out of bounds (-1)");
    EXPECT_EQ(Format(SAssignError, {"TFont", "TBrush"}), "Cannot assign a TFont to a TBrush");
    EXPECT_EQ(Format("%s-%s", {"a", WideString(u"\u00f6")}), "a-\xc3\xb6");
    EXPECT_EQ(Format(u"%s=%d", {u"n", 3}), u"n=3");
    EXPECT_EQ(Format("%5d|%-5d|%.3d", {42, 42, 7}), "   42|42   |007");
    EXPECT_EQ(Format("%x %.4x %x", {255, 255, -1}), "FF 00FF FFFFFFFF");
    EXPECT_EQ(Format("%u", {-1}), "4294967295");
    EXPECT_EQ(Format("%f|%.1f|%.0f", {3.14159, 0.25, 2.5}), "3.14|0.3|3");
    EXPECT_EQ(Format("%g|%g", {0.1, 1e20}), "0.1|1E20");
    EXPECT_EQ(Format("%e", {1234.5}), "1.23450000000000E+003");
    EXPECT_EQ(Format("%n", {1234567.5}), "1,234,567.50");
    EXPECT_EQ(Format("%.2f", {1.5}, German), "1,50");
    EXPECT_EQ(Format("100%% %1:s %0:s", {"a", "b"}), "100% b a");
    EXPECT_EQ(Format("%*d|%-*s|", {4, 7, 3, "x"}), "   7|x  |");
    EXPECT_EQ(Format("%.2s", {"abcdef"}), "ab");
    EXPECT_EQ(Format("%d", {static_cast<long long>(1) << 40}), "1099511627776");
    EXPECT_EQ(Format("%f", {3}), "3.00");

    EXPECT_EQ(MessageOf<EConvertError>([] { Format("%d", {1.5}); }),
              "Format '%d' invalid or incompatible with argument");
    EXPECT_EQ(MessageOf<EConvertError>([] { Format("%d %d", {1}); }), "No argument for format '%d'");
    EXPECT_EQ(MessageOf<EConvertError>([] { Format("%s", {2}); }),
              "Format '%s' invalid or incompatible with argument");
    EXPECT_EQ(MessageOf<EConvertError>([] { Format("%", {2}); }),
              "Format '%' invalid or incompatible with argument");
}

TEST_F(ConversionTest, RoundSendsHalvesToEven) {
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(3.5), 4);
    EXPECT_EQ(Round(0.5), 0);
    EXPECT_EQ(Round(1.5), 2);
    EXPECT_EQ(Round(-2.5), -2);
    EXPECT_EQ(Round(-3.5), -4);
    EXPECT_EQ(Round(-0.6), -1);
    EXPECT_EQ(Round(2.4999999999), 2);
    EXPECT_EQ(Round(2.5000000001), 3);
    EXPECT_EQ(Round(4503599627370497.0), 4503599627370497);
    EXPECT_EQ(RoundToInt(-1e9 - 0.5), -1000000000);
    EXPECT_EQ(Trunc(-2.7), -2);
    EXPECT_DOUBLE_EQ(Frac(-2.75), -0.75);
    EXPECT_EQ(MessageOf<EInvalidOp>([] { Round(std::nan("")); }), "Invalid floating point operation");
    EXPECT_THROW(Round(1e19), EInvalidOp);
    EXPECT_THROW(Trunc(-1e19), EInvalidOp);
    EXPECT_THROW(RoundToInt(3e9), EInvalidOp);
}

TEST_F(ConversionTest, StringHelpers) {
    EXPECT_EQ(Trim(WideString(u"  a b \t\r\n")), u"a b");
    EXPECT_EQ(TrimLeft(AnsiString("  x ")), "x ");
    EXPECT_EQ(TrimRight(AnsiString("  x ")), "  x");
    EXPECT_EQ(Trim(AnsiString(" \t ")), "");
    EXPECT_EQ(UpperCase(WideString(u"stra\u00dfe \u00e4")), u"STRA\u00dfE \u00e4");
    EXPECT_EQ(LowerCase(AnsiString("MiXeD")), "mixed");
    EXPECT_EQ(AnsiUpperCase(WideString(u"\u00e4\u00f6\u00fc")), u"\u00c4\u00d6\u00dc");
    EXPECT_EQ(AnsiLowerCase(AnsiString("\xC4X")), "\xE4x"); // in code page 1252

    EXPECT_LT(CompareStr(WideString(u"B"), WideString(u"a")), 0);
    EXPECT_GT(CompareText(WideString(u"B"), WideString(u"a")), 0);
    EXPECT_EQ(CompareText(AnsiString("abc"), AnsiString("ABC")), 0);
    EXPECT_LT(CompareStr(WideString(u"ab"), WideString(u"abc")), 0);
    EXPECT_GT(CompareStr(AnsiString("\xE4"), AnsiString("z")), 0); // bytes compare unsigned
    EXPECT_NE(CompareText(WideString(u"\u00c4"), WideString(u"\u00e4")), 0);
    EXPECT_EQ(AnsiCompareText(WideString(u"\u00c4rger"), WideString(u"\u00e4rger")), 0);
    EXPECT_TRUE(SameText(WideString(u"Column"), WideString(u"COLUMN")));
    EXPECT_TRUE(AnsiSameText(AnsiString("\xC4"), AnsiString("\xE4")));

    EXPECT_EQ(QuotedStr(WideString(u"it's")), u"'it''s'");
    EXPECT_EQ(AnsiDequotedStr(u"\"a\"\"b\"rest", u'"'), u"a\"b");
    EXPECT_EQ(StringReplace(WideString(u"aXbxc"), u"x", u"-", {rfReplaceAll, rfIgnoreCase}), u"a-b-c");
    EXPECT_EQ(StringReplace(AnsiString("aaa"), "a", "b", {}), "baa");
}

} // namespace

#include "platform/runtime/MaskUtils.h"

namespace {

TEST(EditMask, FormatMaskTextPlacesTheValueAndTheLiterals) {
    TFormatSettings de = GermanSettings();
    // Literals not in the value.
    EXPECT_EQ(FormatMaskText(u"(000) 000-0000;0;_", u"5551234567", de), u"(555) 123-4567");
    EXPECT_EQ(FormatMaskText(u"(000) 000-0000;0;_", u"55512", de), u"(555) 12 -    ");
    // Literals carried by the value stay in place.
    EXPECT_EQ(FormatMaskText(u"(000) 000-0000;1;_", u"(555) 123-4567", de), u"(555) 123-4567");
    EXPECT_EQ(FormatMaskText(u"00/00/0000", u"05032024", de), u"05.03.2024");
    EXPECT_EQ(FormatMaskText(u"!99:99;0", u"1405", de), u"14:05");
    EXPECT_EQ(FormatMaskText(u">LL<ll\\-0", u"abCD7", de), u"ABcd-7");
    EXPECT_EQ(FormatMaskText(u"\\;AA;0;*", u"xy", de), u";xy");
    EXPECT_FALSE(MaskGetMaskSave(u"000;0;_"));
    EXPECT_TRUE(MaskGetMaskSave(u"000"));
    EXPECT_EQ(MaskGetMaskBlank(u"000;1;*"), u'*');
}

} // namespace
