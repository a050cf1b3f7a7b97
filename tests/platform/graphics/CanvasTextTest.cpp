#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"
#include "platform/graphics/CanvasTextStats.h"

using namespace gtest_graphics;

namespace {

const WideString Hello = u"Hello";

// Draws text into r on a fresh white bitmap and returns the bitmap.
std::unique_ptr<TBitmap> Drawn(const WideString& text, TRect r, uint32_t flags, int w = 120, int h = 60) {
    auto b = MakeBitmap(w, h);
    b->GetCanvas()->GetBrush()->SetStyle(bsClear);
    b->GetCanvas()->DrawText(text, r, flags);
    return b;
}

} // namespace

TEST(CanvasText, ExtentMatchesTheInkAndTextOutMovesThePen) {
    auto b = MakeBitmap(120, 40);
    TCanvas* c = b->GetCanvas();
    TSize ext = c->TextExtent(Hello);
    EXPECT_EQ(ext.cy, 13);
    EXPECT_EQ(c->TextHeight(Hello), 13);
    EXPECT_EQ(c->TextWidth(Hello), ext.cx);
    // No kerning: the width of a text is the sum of its characters' widths.
    EXPECT_EQ(c->TextWidth(WideString(u"AV")),
              c->TextWidth(WideString(u"A")) + c->TextWidth(WideString(u"V")));
    EXPECT_EQ(c->TextWidth(AnsiString("Hello")), ext.cx);
    c->GetBrush()->SetStyle(bsClear);
    c->TextOut(10, 5, Hello);
    TRect ink = Ink(*b);
    EXPECT_GE(ink.Left, 10);
    EXPECT_LE(ink.Right, 10 + ext.cx);
    EXPECT_GE(ink.Top, 5);
    EXPECT_LE(ink.Bottom, 5 + ext.cy);
    EXPECT_EQ(c->GetPenPos(), TPoint(10 + ext.cx, 5));
    // Text edges are not antialiased: only the font color and the background appear.
    EXPECT_EQ(Count(*b, clBlack) + Count(*b, clWhite), 120 * 40);
    TTextMetric tm = c->GetTextMetrics();
    EXPECT_EQ(tm.tmHeight, 13);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, 13);
    EXPECT_EQ(tm.tmInternalLeading, 2);
}

TEST(CanvasText, OpaqueBackgroundUnlessTheBrushIsClear) {
    auto b = MakeBitmap(80, 20);
    TCanvas* c = b->GetCanvas();
    c->GetBrush()->SetColor(clYellow);
    c->TextOut(2, 2, WideString(u"ab"));
    TSize ext = c->TextExtent(WideString(u"ab"));
    EXPECT_EQ(Ink(*b), TRect(2, 2, 2 + ext.cx, 2 + ext.cy));
    EXPECT_GT(Count(*b, clYellow), 0);
    auto t = MakeBitmap(80, 20);
    t->GetCanvas()->GetBrush()->SetStyle(bsClear);
    t->GetCanvas()->TextOut(2, 2, WideString(u"ab"));
    EXPECT_EQ(Count(*t, clYellow), 0);
    EXPECT_EQ(Count(*t, clBlack) + Count(*t, clWhite), 80 * 20);
    // SetBkMode overrides the brush until the brush changes again.
    auto m = MakeBitmap(80, 20);
    m->GetCanvas()->GetBrush()->SetColor(clYellow);
    m->GetCanvas()->SetBkMode(TRANSPARENT);
    m->GetCanvas()->TextOut(2, 2, WideString(u"ab"));
    EXPECT_EQ(Count(*m, clYellow), 0);
}

TEST(CanvasText, TextRectFillsAndClips) {
    auto b = MakeBitmap(100, 30);
    TCanvas* c = b->GetCanvas();
    c->GetBrush()->SetColor(clAqua);
    c->TextRect({10, 5, 30, 20}, 12, 6, WideString(u"Wide text that overflows"));
    EXPECT_EQ(Ink(*b), TRect(10, 5, 30, 20));
    EXPECT_GT(Count(*b, clBlack), 0);
}

TEST(CanvasText, HorizontalAlignment) {
    TRect r{10, 10, 110, 40};
    int w = MakeBitmap(1, 1)->GetCanvas()->TextWidth(Hello);
    TRect left = Ink(*Drawn(Hello, r, DT_SINGLELINE));
    TRect centre = Ink(*Drawn(Hello, r, DT_SINGLELINE | DT_CENTER));
    TRect right = Ink(*Drawn(Hello, r, DT_SINGLELINE | DT_RIGHT));
    EXPECT_GE(left.Left, 10);
    EXPECT_LE(left.Left, 11);
    EXPECT_EQ(centre.Left - left.Left, (100 - w) / 2);
    EXPECT_EQ(right.Left - left.Left, 100 - w);
    EXPECT_LE(right.Right, 110);
    // All three on the top line.
    EXPECT_EQ(left.Top, centre.Top);
    EXPECT_EQ(left.Top, right.Top);
    EXPECT_LT(left.Top, 10 + 13);
}

TEST(CanvasText, VerticalAlignmentOnASingleLine) {
    TRect r{0, 0, 120, 41};
    TRect top = Ink(*Drawn(Hello, r, DT_SINGLELINE));
    TRect mid = Ink(*Drawn(Hello, r, DT_SINGLELINE | DT_VCENTER));
    TRect bottom = Ink(*Drawn(Hello, r, DT_SINGLELINE | DT_BOTTOM));
    EXPECT_EQ(mid.Top - top.Top, (41 - 13) / 2);
    EXPECT_EQ(bottom.Top - top.Top, 41 - 13);
    // Return value: the bottom of the text measured from the rectangle's top.
    auto b = MakeBitmap(120, 60);
    TRect rr = r;
    EXPECT_EQ(b->GetCanvas()->DrawText(Hello, rr, DT_SINGLELINE | DT_BOTTOM), 41);
    rr = r;
    EXPECT_EQ(b->GetCanvas()->DrawText(Hello, rr, DT_SINGLELINE | DT_VCENTER), 14 + 13);
    // Without DT_SINGLELINE vertical centring does not apply.
    TRect multi = Ink(*Drawn(Hello, r, DT_VCENTER));
    EXPECT_EQ(multi.Top, top.Top);
}

TEST(CanvasText, EndEllipsisCutsTheTextOnOneLine) {
    auto b = MakeBitmap(200, 30);
    TCanvas* c = b->GetCanvas();
    WideString text = u"A rather long caption for a narrow cell";
    int dots = c->TextWidth(WideString(u"..."));
    TRect r{5, 5, 65, 25};
    WideString shown = text;
    c->GetBrush()->SetStyle(bsClear);
    c->DrawTextModify(shown, r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING);
    ASSERT_GE(shown.size(), 4u);
    EXPECT_EQ(shown.substr(shown.size() - 3), u"...");
    EXPECT_EQ(text.substr(0, shown.size() - 3), shown.substr(0, shown.size() - 3));
    EXPECT_LE(c->TextWidth(shown), 60);
    // One more character would not have fitted.
    EXPECT_GT(c->TextWidth(text.substr(0, shown.size() - 2)) + dots, 60);
    TRect ink = Ink(*b);
    EXPECT_LE(ink.Right, 65);
    EXPECT_LT(ink.Bottom, 5 + 14);
    // A text that fits is left alone.
    WideString small = u"ab";
    TRect r2{0, 0, 100, 20};
    c->DrawTextModify(small, r2, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING);
    EXPECT_EQ(small, u"ab");
}

TEST(CanvasText, EllipsesOfAVeryLongTextMeasureOnlyAboutWhatShows) {
    auto b = MakeBitmap(200, 30);
    TCanvas* c = b->GetCanvas();
    c->GetBrush()->SetStyle(bsClear);
    const int dots = c->TextWidth(WideString(u"..."));
    auto Draw = [&](WideString shown, uint32_t Ellipsis, size_t length) {
        TRect r{0, 0, 100, 20};
        const uint64_t before = TextCharactersMeasured();
        c->DrawTextModify(shown, r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | Ellipsis | DT_MODIFYSTRING);
        EXPECT_LT(TextCharactersMeasured() - before, 20000u) << length << " characters";
        EXPECT_LE(c->TextWidth(shown), 100);
        return shown;
    };
    // The smaller length stops a quadratic fit before the large one would take minutes.
    for (size_t length : {size_t(3000), size_t(1000000)}) {
        WideString text;
        for (size_t i = 0; text.size() < length; ++i)
            text += i % 7 ? char16_t(u'a' + i % 26) : u' ';
        WideString shown = Draw(text, DT_END_ELLIPSIS, length);
        ASSERT_GE(shown.size(), 4u);
        EXPECT_EQ(shown.substr(shown.size() - 3), u"...");
        EXPECT_EQ(shown.substr(0, shown.size() - 3), text.substr(0, shown.size() - 3));
        EXPECT_GT(c->TextWidth(text.substr(0, shown.size() - 2)) + dots, 100);

        // Word ellipsis: cut after the last whole word that fits.
        WideString words = Draw(text, DT_WORD_ELLIPSIS, length);
        ASSERT_GE(words.size(), 4u);
        const WideString kept = words.substr(0, words.size() - 3);
        EXPECT_EQ(kept, text.substr(0, kept.size()));
        EXPECT_EQ(text[kept.size()], u' ');

        // Path ellipsis: a long folder part goes, the file name stays; a long file name itself is
        // cut at both ends.
        WideString path;
        while (path.size() < length)
            path += u"/folder" + WideString(1, char16_t(u'a' + path.size() % 26));
        WideString folders = Draw(path + u"/a.txt", DT_PATH_ELLIPSIS, length);
        EXPECT_EQ(folders.substr(0, 7), u"/folder");
        EXPECT_EQ(folders.substr(folders.size() - 9), u".../a.txt");
        WideString name = Draw(u"x/" + text, DT_PATH_ELLIPSIS, length);
        EXPECT_EQ(name.substr(0, 4), u".../");
        EXPECT_EQ(name.substr(name.size() - 3), u"...");
    }
}

TEST(CanvasText, EndEllipsisOfSeveralLinesCutsOnlyTheLast) {
    const TRect r{5, 5, 65, 45};
    const WideString longLine = u"A rather long first line of text";
    // The long first line is clipped, not cut: the drawing is the same as without the flag.
    auto firstLong = Drawn(longLine + u"\nshort", r, DT_END_ELLIPSIS);
    auto firstPlain = Drawn(longLine + u"\nshort", r, 0);
    EXPECT_TRUE(SamePixels(*firstLong, *firstPlain));
    EXPECT_LE(Ink(*firstLong, clWhite, {0, 0, 120, 5 + 13}).Right, 65);

    // A long last line ends in "..." as on a single line, and the first line stays as it is.
    auto b = MakeBitmap(120, 60);
    WideString cut = longLine;
    TRect one{r.Left, r.Top + 13, r.Right, r.Top + 26};
    b->GetCanvas()->DrawTextModify(cut, one, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING);
    ASSERT_EQ(cut.substr(cut.size() - 3), u"...");
    auto lastLong = Drawn(u"short\n" + longLine, r, DT_END_ELLIPSIS);
    auto expected = Drawn(u"short\n" + cut, r, 0);
    EXPECT_TRUE(SamePixels(*lastLong, *expected));
    EXPECT_LT(Ink(*lastLong, clWhite, {0, 5 + 13, 120, 60}).Right, 65);
}

TEST(CanvasText, PathAndWordEllipsis) {
    auto b = MakeBitmap(300, 30);
    TCanvas* c = b->GetCanvas();
    WideString path = u"/home/user/documents/reports/2026/summary.txt";
    int w = c->TextWidth(WideString(u".../summary.txt")) + 20;
    TRect r{0, 0, w, 20};
    WideString shown = path;
    c->DrawTextModify(shown, r, DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_MODIFYSTRING);
    EXPECT_NE(shown.find(u"..."), WideString::npos);
    EXPECT_EQ(shown.substr(shown.size() - 12), u"/summary.txt");
    EXPECT_EQ(shown.substr(0, 1), u"/");
    EXPECT_LE(c->TextWidth(shown), w);

    WideString words = u"alpha beta gamma delta";
    int ww = c->TextWidth(WideString(u"alpha beta...")) + 2;
    TRect r2{0, 0, ww, 20};
    c->DrawTextModify(words, r2, DT_SINGLELINE | DT_WORD_ELLIPSIS | DT_MODIFYSTRING);
    EXPECT_EQ(words, u"alpha beta...");
}

TEST(CanvasText, WordBreakAndCalcRect) {
    auto b = MakeBitmap(200, 100);
    TCanvas* c = b->GetCanvas();
    WideString text = u"one two three four five";
    int limit = c->TextWidth(WideString(u"one two")) + 3;
    TRect calc{10, 10, 10 + limit, 11};
    int h = c->DrawText(text, calc, DT_WORDBREAK | DT_CALCRECT);
    // "one two" / "three four"? no: "three" and "four" only fit one by one when too wide together.
    int lines = h / 13;
    EXPECT_EQ(h % 13, 0);
    EXPECT_GE(lines, 3);
    EXPECT_EQ(calc.Top, 10);
    EXPECT_EQ(calc.Left, 10);
    EXPECT_EQ(calc.Bottom, 10 + h);
    EXPECT_LE(calc.Width(), limit);
    EXPECT_EQ(Count(*b, clBlack), 0); // measuring draws nothing
    // Drawing fills as many lines, each within the width.
    TRect r{10, 10, 10 + limit, 90};
    c->GetBrush()->SetStyle(bsClear);
    EXPECT_EQ(c->DrawText(text, r, DT_WORDBREAK), h);
    TRect ink = Ink(*b);
    EXPECT_GE(ink.Left, 10);
    EXPECT_LE(ink.Right, 10 + limit);
    EXPECT_GT(ink.Bottom, 10 + (lines - 1) * 13);
    EXPECT_LE(ink.Bottom, 10 + h);

    // Single line: the width shrinks to the text; a word wider than the rectangle widens it.
    TRect one{0, 0, 500, 0};
    EXPECT_EQ(c->DrawText(WideString(u"abc"), one, DT_SINGLELINE | DT_CALCRECT), 13);
    EXPECT_EQ(one, TRect(0, 0, c->TextWidth(WideString(u"abc")), 13));
    TRect narrow{0, 0, 5, 0};
    c->DrawText(WideString(u"Unbreakable"), narrow, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(narrow.Width(), c->TextWidth(WideString(u"Unbreakable")));
    EXPECT_EQ(narrow.Height(), 13);
    // Line breaks start new lines; the widest line sets the width.
    TRect ml{0, 0, 1, 0};
    EXPECT_EQ(c->DrawText(WideString(u"ab\r\nabcdef\nx"), ml, DT_CALCRECT), 39);
    EXPECT_EQ(ml.Width(), c->TextWidth(WideString(u"abcdef")));
}

TEST(CanvasText, PrefixUnderlinesUnlessNoPrefix) {
    TRect r{0, 0, 100, 20};
    auto withPrefix = Drawn(u"&File", r, DT_SINGLELINE);
    auto plain = Drawn(u"File", r, DT_SINGLELINE);
    auto noPrefix = Drawn(u"&File", r, DT_SINGLELINE | DT_NOPREFIX);
    auto hidden = Drawn(u"&File", r, DT_SINGLELINE | DT_HIDEPREFIX);
    // "&File" draws "File" with an underline below the "F" only: across the F's advance.
    TRect a = Ink(*withPrefix), p = Ink(*plain);
    EXPECT_EQ(a.Left, 0);
    EXPECT_EQ(a.Right, p.Right);
    EXPECT_GT(a.Bottom, p.Bottom);
    auto b = MakeBitmap(1, 1);
    int fw = b->GetCanvas()->TextWidth(WideString(u"F"));
    EXPECT_EQ(Ink(*withPrefix, clWhite, {0, p.Bottom, 100, 20}).Right, fw);
    EXPECT_TRUE(SamePixels(*hidden, *plain));
    // With DT_NOPREFIX the "&" is an ordinary character.
    EXPECT_EQ(Ink(*noPrefix).Right - Ink(*noPrefix).Left,
              Ink(*Drawn(u"&File", r, DT_SINGLELINE | DT_NOPREFIX)).Width());
    EXPECT_GT(Ink(*noPrefix).Right, p.Right);
    // "&&" is one "&".
    EXPECT_TRUE(
        SamePixels(*Drawn(u"A&&B", r, DT_SINGLELINE), *Drawn(u"A&B", r, DT_SINGLELINE | DT_NOPREFIX)));
}

TEST(CanvasText, AnsiFormDrawsLikeTheWideForm) {
    TRect r{0, 0, 120, 20};
    auto wide = Drawn(u"Caf\u00e9 & co", r, DT_SINGLELINE | DT_NOPREFIX | DT_CENTER);
    auto ansi = MakeBitmap(120, 60);
    ansi->GetCanvas()->GetBrush()->SetStyle(bsClear);
    TRect rr = r;
    ansi->GetCanvas()->DrawText(AnsiString("Caf\xe9 & co"), rr, DT_SINGLELINE | DT_NOPREFIX | DT_CENTER);
    EXPECT_TRUE(SamePixels(*wide, *ansi));
}

TEST(CanvasText, RightToLeftReadingKeepsTheAlignment) {
    TRect r{0, 0, 120, 20};
    TRect ltr = Ink(*Drawn(u"abc!", r, DT_SINGLELINE | DT_RIGHT));
    TRect rtl = Ink(*Drawn(u"abc!", r, DT_SINGLELINE | DT_RIGHT | DT_RTLREADING));
    EXPECT_LE(rtl.Right, 120);
    EXPECT_EQ(rtl.Width(), ltr.Width());
    // The neutral "!" moves to the reading start (the left) in right-to-left reading.
    auto a = Drawn(u"abc!", r, DT_SINGLELINE | DT_RIGHT);
    auto b = Drawn(u"abc!", r, DT_SINGLELINE | DT_RIGHT | DT_RTLREADING);
    EXPECT_FALSE(SamePixels(*a, *b));
}

TEST(CanvasText, ExpandedTabsJumpToStops) {
    auto b = MakeBitmap(1, 1);
    TCanvas* c = b->GetCanvas();
    int stop = 8 * c->GetTextMetrics().tmAveCharWidth;
    TRect r{0, 0, 400, 0};
    c->DrawText(WideString(u"a\tb"), r, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT);
    EXPECT_EQ(r.Width(), stop + c->TextWidth(WideString(u"b")));
}

TEST(CanvasText, RotatedTextRunsUpwards) {
    auto b = MakeBitmap(60, 100);
    TCanvas* c = b->GetCanvas();
    c->GetBrush()->SetStyle(bsClear);
    c->GetFont()->SetOrientation(900);
    WideString text = u"Rotated";
    int w = c->TextWidth(text);
    c->TextOut(20, 90, text);
    TRect ink = Ink(*b);
    // Turned a quarter counter-clockwise about (20, 90): the text rises from the origin and its
    // cell lies to the right of x = 20.
    EXPECT_GT(ink.Height(), ink.Width());
    EXPECT_LE(ink.Bottom, 90);
    EXPECT_GE(ink.Top, 90 - w - 1);
    EXPECT_GE(ink.Left, 20);
    EXPECT_LE(ink.Right, 20 + 13);
    // Unrotated the same text lies flat.
    auto flat = MakeBitmap(100, 30);
    flat->GetCanvas()->TextOut(5, 5, text);
    EXPECT_GT(Ink(*flat).Width(), Ink(*flat).Height());
}

TEST(CanvasText, ClippingToTheRectangleUnlessNoClip) {
    TRect r{10, 10, 30, 16}; // narrower and lower than the text
    WideString text = u"Clipped text";
    TRect clipped = Ink(*Drawn(text, r, DT_SINGLELINE));
    TRect free = Ink(*Drawn(text, r, DT_SINGLELINE | DT_NOCLIP));
    EXPECT_GE(clipped.Left, 10);
    EXPECT_LE(clipped.Right, 30);
    EXPECT_LE(clipped.Bottom, 16);
    EXPECT_GT(free.Right, 30);
    EXPECT_GT(free.Bottom, 16);
    // Lines keep the font's height; external leading adds the font's leading (none for this face).
    auto b = MakeBitmap(1, 1);
    TRect a{0, 0, 200, 0}, e{0, 0, 200, 0};
    int plain = b->GetCanvas()->DrawText(WideString(u"a\nb"), a, DT_CALCRECT);
    int leading = b->GetCanvas()->DrawText(WideString(u"a\nb"), e, DT_CALCRECT | DT_EXTERNALLEADING);
    EXPECT_EQ(plain, 26);
    EXPECT_EQ(leading, 2 * (13 + b->GetCanvas()->GetTextMetrics().tmExternalLeading));
}

TEST(CanvasText, EditControlBreaksLongWordsAndHidesAPartialLine) {
    auto b = MakeBitmap(1, 1);
    TCanvas* c = b->GetCanvas();
    int limit = c->TextWidth(WideString(u"abcd"));
    TRect r{0, 0, limit, 0};
    EXPECT_EQ(c->DrawText(WideString(u"abcdefghij"), r, DT_WORDBREAK | DT_EDITCONTROL | DT_CALCRECT), 3 * 13);
    EXPECT_LE(r.Width(), limit);
    // Without the flag the long word stays whole on one line.
    TRect one{0, 0, limit, 0};
    EXPECT_EQ(c->DrawText(WideString(u"abcdefghij"), one, DT_WORDBREAK | DT_CALCRECT), 13);
    // Three lines in a box of two and a half: the third is drawn cut, or with the flag not at all.
    auto draw = [&](uint32_t extra) {
        auto bmp = MakeBitmap(60, 60);
        bmp->GetCanvas()->GetBrush()->SetStyle(bsClear);
        TRect box{0, 0, bmp->GetCanvas()->TextWidth(WideString(u"ab")), 32};
        bmp->GetCanvas()->DrawText(WideString(u"ab ab ab"), box, DT_WORDBREAK | extra);
        return Ink(*bmp);
    };
    EXPECT_GT(draw(0).Bottom, 26);
    EXPECT_GT(draw(DT_EDITCONTROL).Bottom, 13);
    EXPECT_LE(draw(DT_EDITCONTROL).Bottom, 26);
}

namespace {

// Every text of a set, with several flag sets and fonts, drawn onto one bitmap.
std::unique_ptr<TBitmap> DrawnSet() {
    static const WideString texts[] = {
        u"Hello",
        u"AV To WAVE fi fl",
        u"Decoded",
        u"42%",
        u"&File && more",
        u"a\tb\tc tabbed",
        u"/home/user/documents/batch/Decript/source file 7(dec12).txt",
        u"e\u0301 \u00e9 \u00fc\u00df",
        u"\u4e2d\u6587 mixed",
        u"Several words that wrap onto more than one line here",
        u"",
        u" lead and trail ",
    };
    static const uint32_t flagSets[] = {
        DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX,
        DT_SINGLELINE | DT_CENTER | DT_VCENTER,
        DT_RIGHT | DT_WORDBREAK,
        DT_EXPANDTABS | DT_SINGLELINE,
        DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_NOPREFIX,
        DT_WORDBREAK | DT_EDITCONTROL | DT_WORD_ELLIPSIS,
    };
    auto b = MakeBitmap(900, 1200);
    TCanvas* c = b->GetCanvas();
    int y = 0;
    for (int font = 0; font < 3; ++font) {
        c->GetFont()->SetName(font == 2 ? "DejaVu Serif" : "DejaVu Sans");
        c->GetFont()->SetHeight(font == 1 ? -13 : -11);
        c->GetFont()->SetStyle(font == 1   ? TFontStyles{fsBold}
                               : font == 2 ? TFontStyles{fsItalic}
                                           : TFontStyles{});
        for (uint32_t flags : flagSets) {
            int x = 0;
            for (const WideString& t : texts) {
                TRect r{x, y, x + 70, y + 30};
                c->GetBrush()->SetStyle(x % 140 ? bsClear : bsSolid);
                c->GetBrush()->SetColor(clYellow);
                c->DrawText(t, r, flags);
                x += 74;
            }
            y += 32;
        }
        c->TextOut(0, y, WideString(u"TextOut AVAV \u00e9"));
        y += 20;
    }
    return b;
}

} // namespace

TEST(CanvasText, TheLayoutCacheChangesNoPixelOnFirstOrLaterCalls) {
    ASSERT_TRUE(GetTextLayoutCaching());
    SetTextLayoutCaching(false);
    auto uncached = DrawnSet();
    SetTextLayoutCaching(true);
    ClearTextLayoutCache();
    auto first = DrawnSet();
    auto again = DrawnSet();
    EXPECT_TRUE(SamePixels(*uncached, *first)) << "measured and shaped now";
    EXPECT_TRUE(SamePixels(*uncached, *again)) << "from the cache";
    EXPECT_GT(Count(*again, clBlack), 1000) << "the set drew text";
    again->SaveToFile(OutDir() + "/text-cache-set.bmp");
    // Sizes agree as well.
    TCanvas* c = again->GetCanvas();
    const WideString probe = u"AV To WAVE fi fl";
    int cached = c->TextWidth(probe);
    SetTextLayoutCaching(false);
    EXPECT_EQ(c->TextWidth(probe), cached);
    SetTextLayoutCaching(true);
}

TEST(CanvasText, ReassigningFontsKeepsMetricsOnlyWhileTheFontIsTheSame) {
    auto b = MakeBitmap(200, 40);
    TCanvas* c = b->GetCanvas();
    TFont small, big, bold;
    small.SetName("DejaVu Sans");
    small.SetHeight(-11);
    big.Assign(small);
    big.SetHeight(-20);
    bold.Assign(small);
    bold.SetStyle(TFontStyles{fsBold});
    const WideString probe = u"Decoded files 0123";
    auto fresh = [&](const TFont& f) {
        auto other = MakeBitmap(10, 10);
        other->GetCanvas()->SetFont(f);
        return std::make_pair(other->GetCanvas()->TextWidth(probe), other->GetCanvas()->TextHeight(probe));
    };
    // A cell after cell sequence: the same font again, another size, another style, back.
    for (const TFont* f : {&small, &small, &big, &small, &bold, &bold, &small}) {
        c->SetFont(*f);
        EXPECT_EQ(std::make_pair(c->TextWidth(probe), c->TextHeight(probe)), fresh(*f));
    }
    // Only the color changed: the text takes it.
    small.SetColor(clRed);
    c->SetFont(small);
    TRect r{0, 0, 200, 40};
    c->GetBrush()->SetStyle(bsClear);
    c->DrawText(probe, r, DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_GT(Count(*b, clRed), 20);
    EXPECT_EQ(Count(*b, clBlack), 0);
}
