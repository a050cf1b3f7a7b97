#include <gtest/gtest.h>

#include "platform/runtime/CodePage.h"

TEST(CodePage, LocaleLanguageChoosesTheWindowsCodePage) {
    EXPECT_EQ(CodePageForLocale(""), TCodePage::cp1252);
    EXPECT_EQ(CodePageForLocale("C"), TCodePage::cp1252);
    EXPECT_EQ(CodePageForLocale("POSIX"), TCodePage::cp1252);
    EXPECT_EQ(CodePageForLocale("de_DE.UTF-8"), TCodePage::cp1252);
    EXPECT_EQ(CodePageForLocale("ru_RU.UTF-8"), TCodePage::cp1251);
    EXPECT_EQ(CodePageForLocale("pl_PL"), TCodePage::cp1250);
    EXPECT_EQ(CodePageForLocale("el_GR.UTF-8"), TCodePage::cp1253);
    EXPECT_EQ(CodePageForLocale("tr"), TCodePage::cp1254);
    EXPECT_EQ(CodePageForLocale("he_IL"), TCodePage::cp1255);
    EXPECT_EQ(CodePageForLocale("ar_EG.UTF-8"), TCodePage::cp1256);
    EXPECT_EQ(CodePageForLocale("lt_LT"), TCodePage::cp1257);
    EXPECT_EQ(CodePageForLocale("vi_VN"), TCodePage::cp1258);
    EXPECT_EQ(CodePageForLocale("th_TH"), TCodePage::cp874);
    EXPECT_EQ(CodePageForLocale("sr_RS"), TCodePage::cp1251);
    EXPECT_EQ(CodePageForLocale("sr_RS@latin"), TCodePage::cp1250);
}

TEST(CodePage, Windows1252TextBothWays) {
    const std::string utf8 = "Gr\xC3\xBC\xC3\x9F"
                             "e \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D"; // Grüße € “q”
    const std::string ansi = "Gr\xFC\xDF"
                             "e \x80 \x93q\x94";
    EXPECT_EQ(Utf8ToAnsi(utf8, TCodePage::cp1252), ansi);
    EXPECT_EQ(AnsiToUtf8(ansi, TCodePage::cp1252), utf8);
    EXPECT_EQ(AnsiToWide(ansi, TCodePage::cp1252), u"Gr\u00FC\u00DFe \u20AC \u201Cq\u201D");
    EXPECT_EQ(WideToAnsi(u"Gr\u00FC\u00DFe \u20AC \u201Cq\u201D", TCodePage::cp1252), ansi);
}

TEST(CodePage, CharactersOutsideBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToAnsi("\xD0\x96-\xF0\x9F\x98\x80-\xC3\xA9", TCodePage::cp1252),
              "?-?-\xE9"); // Ж, an emoji, é
    EXPECT_EQ(WideToAnsi(u"\u0416\U0001F600", TCodePage::cp1252), "??");
    EXPECT_EQ(WideToAnsi(u"\u0416", TCodePage::cp1251), "\xC6");
    EXPECT_EQ(Utf8ToAnsi("\xD0\x96", TCodePage::cp1251), "\xC6");
    // Malformed UTF-8 and unpaired surrogates never pass through as raw bytes.
    EXPECT_EQ(Utf8ToAnsi("a\xC3", TCodePage::cp1252), "a?");
    EXPECT_EQ(WideToAnsi(std::u16string(1, char16_t(0xD800)), TCodePage::cp1252), "?");
}

TEST(CodePage, EveryByteSurvivesTheRoundTripInEveryCodePage) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    for (TCodePage cp :
         {TCodePage::cp874, TCodePage::cp1250, TCodePage::cp1251, TCodePage::cp1252, TCodePage::cp1253,
          TCodePage::cp1254, TCodePage::cp1255, TCodePage::cp1256, TCodePage::cp1257, TCodePage::cp1258}) {
        EXPECT_EQ(WideToAnsi(AnsiToWide(all, cp), cp), all) << static_cast<int>(cp);
        EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all, cp), cp), all) << static_cast<int>(cp);
        EXPECT_TRUE(IsValidUtf8(AnsiToUtf8(all, cp)));
    }
    // Undefined 0x81 stands for the control character of the same value.
    EXPECT_EQ(AnsiToWide("\x81", TCodePage::cp1252), u"\u0081");
}

TEST(CodePage, Utf8AndWideText) {
    const std::u16string wide = u"a\u00E9\u20AC\U0001F600";
    const std::string utf8 = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    EXPECT_EQ(WideToUtf8(wide), utf8);
    EXPECT_EQ(Utf8ToWide(utf8), wide);
    EXPECT_EQ(Utf8ToWide("x\xFFy"), u"x\uFFFDy");
}

TEST(CodePage, Utf8Validity) {
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("plain ASCII"));
    EXPECT_TRUE(IsValidUtf8("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF"));
    EXPECT_FALSE(IsValidUtf8("\xE9t\xE9"));        // Latin-1 bytes
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));         // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));     // a surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")); // past U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));         // cut short
    EXPECT_FALSE(IsValidUtf8("\x80"));
}

TEST(CodePage, SystemCodePageCanBeReplaced) {
    const TCodePage saved = SystemCodePage();
    SetSystemCodePage(TCodePage::cp1251);
    EXPECT_EQ(Utf8ToAnsi("\xD0\x96"), "\xC6");
    EXPECT_EQ(AnsiToWide("\xC6"), u"\u0416");
    SetSystemCodePage(TCodePage::cp1252);
    EXPECT_EQ(AnsiToWide("\xC6"), u"\u00C6");

    // The exact conversions give the bytes and nothing more, or refuse.
    AnsiString out;
    EXPECT_TRUE(Utf8ToAnsiExact("caf\xC3\xA9 \xE2\x82\xAC", out));
    EXPECT_EQ(out, "caf\xE9 \x80");
    EXPECT_TRUE(WideToAnsiExact(u"caf\u00E9 \u20AC", out));
    EXPECT_EQ(out, "caf\xE9 \x80");
    EXPECT_FALSE(Utf8ToAnsiExact("key \xD0\x96", out));
    EXPECT_FALSE(WideToAnsiExact(u"key \u0416", out));
    EXPECT_FALSE(Utf8ToAnsiExact("a\xC3", out)) << "malformed";
    SetSystemCodePage(saved);
}
