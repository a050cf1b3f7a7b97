// The copy's text buffer: UTF-8 of every kind of unit, each unit back exactly, and growth that
// keeps the text.

#include <gtest/gtest.h>

#include <string>

#include "platform/runtime/CodePage.h"
#include "platform/runtime/TextBuffer.h"

namespace {

WideString Decoded(const TTextBuffer& Buffer) {
    WideString Text(Buffer.Units(), u'\0');
    EXPECT_EQ(Buffer.DecodeTo(Text.data()), Text.data() + Text.size());
    return Text;
}

} // namespace

TEST(TextBuffer, KeepsUtf8AndGivesEveryUnitBack) {
    // One, two, three and four bytes a character, in one call and unit by unit.
    const WideString Valid = u"Tab\t\"q\"\r\n\u0080\u00e9\u0436\u07ff\u0800\u4e2d\uffff\U0001F600\U0010FFFF";
    TTextBuffer Buffer;
    Buffer.Append(Valid);
    EXPECT_EQ(Buffer.Bytes(), WideToUtf8(Valid));
    EXPECT_TRUE(Buffer.IsValidUtf8());
    EXPECT_EQ(Buffer.Units(), Valid.size());
    EXPECT_EQ(Decoded(Buffer), Valid);

    // Eight units that end the text, and eight whose only high bit is U+0080's.
    const WideString Eight = u"12345678" + WideString(1, u'\u0080') + WideString(7, u'\0');
    TTextBuffer Chunks;
    Chunks.Append(Eight);
    EXPECT_EQ(Chunks.Bytes(), WideToUtf8(Eight));
    TTextBuffer Ascii;
    Ascii.Append(std::u16string_view(u"12345678"));
    EXPECT_EQ(Ascii.Bytes(), "12345678");

    // A lone low surrogate alone leaves the bytes short of UTF-8.
    TTextBuffer Low;
    Low.Append(u'\xDC00');
    EXPECT_FALSE(Low.IsValidUtf8());

    // Lone surrogates, one before a letter, and a pair split between calls, come back unit for unit.
    const WideString Odd = u"\xDC00x\xD800y\xD800";
    TTextBuffer Units;
    Units.Append(Odd);
    for (char16_t Unit : Valid)
        Units.Append(Unit);
    EXPECT_FALSE(Units.IsValidUtf8());
    EXPECT_EQ(Decoded(Units), Odd + Valid);

    // Large enough to move into huge-page blocks and grow there; another buffer appended whole.
    TTextBuffer Large(16);
    WideString Expected;
    while (Expected.size() < 3'000'000) {
        Large.Append(Valid);
        Expected += Valid;
    }
    Large.Append(Units);
    Expected += Odd + Valid;
    EXPECT_FALSE(Large.IsValidUtf8());
    EXPECT_TRUE(Decoded(Large) == Expected);
}

TEST(TextBuffer, PlainFieldStopsAtTabsLineBreaksAndQuotesLeavingTheBufferAsItWas) {
    TTextBuffer Buffer;
    Buffer.Append(std::u16string_view(u"x"));
    EXPECT_TRUE(Buffer.AppendPlainField(u"A plain field, long \u0436 enough for eight-unit steps"));
    EXPECT_TRUE(Buffer.AppendPlainField(u""));
    const std::string Before(Buffer.Bytes());
    const size_t UnitsBefore = Buffer.Units();
    // Each stop at the start, at the end of the first eight units, in the units that follow,
    // beside a wide letter, and after a lone surrogate that must not mark the buffer.
    for (char16_t Stop : {u'\t', u'\n', u'\r', u'"'}) {
        for (size_t At : {0, 7, 8, 9, 17}) {
            WideString Field = u"\xD800" + WideString(20, u'\u0436');
            Field[At] = Stop;
            EXPECT_FALSE(Buffer.AppendPlainField(Field)) << int(Stop) << " at " << At;
            Field = WideString(20, u'a');
            Field[At] = Stop;
            EXPECT_FALSE(Buffer.AppendPlainField(Field)) << int(Stop) << " at " << At;
        }
    }
    EXPECT_EQ(Buffer.Bytes(), Before);
    EXPECT_EQ(Buffer.Units(), UnitsBefore);
    EXPECT_TRUE(Buffer.IsValidUtf8());
    // Other control characters are plain.
    EXPECT_TRUE(Buffer.AppendPlainField(u"\x0B\x0C\x01\x1F\x7F' 123456789"));
}
