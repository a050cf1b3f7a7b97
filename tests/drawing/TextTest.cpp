// Text drawing: the layout flags each routine passes, alignment, wrapping, ellipsis, prefixes,
// reading order, embossed and vertical text, and the measuring helpers.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "drawing/DrawingTestSupport.h"
#include "drawing/NxClasses.h"
#include "drawing/Providers.h"
#include "drawing/SharedCommon.h"
#include "drawing/SharedDraw.h"
#include "platform/runtime/CodePage.h"
#include "platform/windows/Forms.h"

using DrawingTest::Surface;
using DrawingTest::UseTestFont;
using NxSharedCommon::TGraphicsProvider;

namespace {

const TColor Paper = DrawingTest::Hex(0xE0E0E0);
const WideString LongText = u"The quick brown fox jumps over the lazy dog";

// Renders with a routine and with the platform's text layout given the expected flags; the
// two images must match pixel for pixel.
void ExpectSameAsFlags(const std::function<void(TCanvas*, const TRect&)>& routine, const WideString& text,
                       uint32_t flags, const TRect& r = Rect(4, 4, 116, 36)) {
    Surface mine(120, 40, Paper), expected(120, 40, Paper);
    UseTestFont(mine.Canvas());
    UseTestFont(expected.Canvas());
    mine.Canvas()->GetBrush()->SetStyle(bsClear);
    routine(mine.Canvas(), r);
    expected.Canvas()->GetBrush()->SetStyle(bsClear);
    TRect er = r;
    expected.Canvas()->DrawText(text, er, flags);
    EXPECT_TRUE(mine.SameAs(expected)) << "flags 0x" << std::hex << flags;
    EXPECT_FALSE(mine.Ink().IsEmpty());
    // The brush is always solid afterwards.
    EXPECT_EQ(mine.Canvas()->GetBrush()->GetStyle(), bsSolid);
}

TEST(SingleLineText, EachRoutinePassesItsFlags) {
    const WideString t = u"R&D costs";
    for (TAlignment a : {taLeftJustify, taRightJustify, taCenter}) {
        const uint32_t align = a == taRightJustify ? DT_RIGHT : a == taCenter ? DT_CENTER : 0;
        ExpectSameAsFlags([&](TCanvas* c, const TRect& r) { NxSharedDraw::DrawText(c, r, a, t, true); }, t,
                          0x8224 | DT_NOPREFIX | align);
        ExpectSameAsFlags([&](TCanvas* c, const TRect& r) { NxSharedDraw::DrawText(c, r, a, t, false); }, t,
                          0x8224 | align);
        ExpectSameAsFlags(
            [&](TCanvas* c, const TRect& r) { NxSharedCommon::DrawTextRect(c, r, a, t, bdLeftToRight); }, t,
            0x8A24 | align);
        ExpectSameAsFlags([&](TCanvas* c, const TRect& r) { TGraphicsProvider::DrawTextRect(c, r, a, t); }, t,
                          0x8A24 | align);
    }
    ExpectSameAsFlags([&](TCanvas* c, const TRect& r) { NxSharedDraw::DrawPrefixText(c, r, t); }, t, 0x8224);
    ExpectSameAsFlags([&](TCanvas* c, const TRect& r) { NxSharedDraw::DrawTextRect(c, r, t); }, t, 0x8A24);
}

TEST(SingleLineText, ReadingOrderDiffersBetweenTheTwoFamilies) {
    const WideString t = u"abc (1)";
    // The drawing module reads right to left only for bdRightToLeft...
    ExpectSameAsFlags([&](TCanvas* c, const TRect& r) { NxSharedDraw::DrawTextRect(c, r, t, bdRightToLeft); },
                      t, 0x8A24 | DT_RTLREADING);
    ExpectSameAsFlags(
        [&](TCanvas* c, const TRect& r) { NxSharedDraw::DrawTextRect(c, r, t, bdRightToLeftNoAlign); }, t,
        0x8A24);
    // ...the common module for every mode but bdLeftToRight.
    for (TBiDiMode m : {bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly})
        ExpectSameAsFlags(
            [&](TCanvas* c, const TRect& r) { NxSharedCommon::DrawTextRect(c, r, taLeftJustify, t, m); }, t,
            0x8A24 | DT_RTLREADING);
}

TEST(SingleLineText, AlignmentPlacesTheInk) {
    const TRect r(10, 10, 190, 40);
    auto inkFor = [&](TAlignment a) {
        Surface s(200, 50, Paper);
        UseTestFont(s.Canvas());
        NxSharedDraw::DrawText(s.Canvas(), r, a, u"Total");
        return s.Ink();
    };
    const TRect left = inkFor(taLeftJustify), right = inkFor(taRightJustify), centre = inkFor(taCenter);
    EXPECT_LE(left.Left - r.Left, 2);
    EXPECT_LE(r.Right - right.Right, 2);
    EXPECT_LE(std::abs((centre.Left + centre.Right) - (r.Left + r.Right)), 3);
    // Vertically centred on one line.
    EXPECT_LE(std::abs((left.Top + left.Bottom) - (r.Top + r.Bottom)), 5);
    EXPECT_EQ(left.Width(), right.Width());
}

TEST(SingleLineText, LongTextIsCutWithAnEllipsisOnOneLine) {
    Surface s(200, 60, Paper);
    UseTestFont(s.Canvas());
    const TRect r(5, 5, 105, 55);
    NxSharedDraw::DrawText(s.Canvas(), r, taLeftJustify, LongText);
    const TRect ink = s.Ink();
    const int lineHeight = s.Canvas()->TextHeight(LongText);
    EXPECT_LE(ink.Right, r.Right);
    EXPECT_GE(ink.Right, r.Right - 15) << "the cut text fills the width";
    EXPECT_LT(ink.Height(), lineHeight + 2) << "one line only";

    // The ellipsis shows: the ink ends differently from the same text simply clipped.
    Surface clipped(200, 60, Paper);
    UseTestFont(clipped.Canvas());
    clipped.Canvas()->GetBrush()->SetStyle(bsClear);
    TRect cr = r;
    clipped.Canvas()->DrawText(LongText, cr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    EXPECT_FALSE(s.SameAs(clipped));
    WideString shown = LongText;
    TRect mr = r;
    Surface scratch(200, 60, Paper);
    UseTestFont(scratch.Canvas());
    scratch.Canvas()->DrawTextModify(shown, mr, 0x8A24 | DT_MODIFYSTRING);
    EXPECT_TRUE(shown.find(u"...") != WideString::npos || shown.find(u"\u2026") != WideString::npos);
    EXPECT_LT(shown.size(), LongText.size());
}

TEST(SingleLineText, PrefixesUnderlineTheNextLetter) {
    Surface prefix(120, 30, Paper), plain(120, 30, Paper);
    UseTestFont(prefix.Canvas());
    UseTestFont(plain.Canvas());
    NxSharedDraw::DrawPrefixText(prefix.Canvas(), Rect(2, 2, 118, 28), u"&File");
    NxSharedCommon::DrawTextRect(plain.Canvas(), Rect(2, 2, 118, 28), taLeftJustify, u"&File");
    // Without the "&" the prefixed text is narrower; with the underline it reaches lower.
    EXPECT_LT(prefix.Ink().Width(), plain.Ink().Width());
    EXPECT_GE(prefix.Ink().Bottom, plain.Ink().Bottom);
}

TEST(SingleLineText, BrushIsSolidAfterwardsEvenIfClearBefore) {
    Surface s(60, 20, Paper);
    UseTestFont(s.Canvas());
    s.Canvas()->GetBrush()->SetStyle(bsClear);
    NxSharedDraw::DrawTextRect(s.Canvas(), Rect(0, 0, 60, 20), u"x");
    EXPECT_EQ(s.Canvas()->GetBrush()->GetStyle(), bsSolid);
    // The text is drawn without a background even though the brush was solid before.
    s.Canvas()->GetBrush()->SetColor(clRed);
    NxSharedDraw::DrawText(s.Canvas(), Rect(0, 0, 60, 20), taCenter, u"y");
    EXPECT_EQ(s.CountColor(clRed), 0);
}

TEST(SingleLineText, EightBitPathGivesTheSameResultForCodePageText) {
    Surface wide(120, 40, Paper), narrow(120, 40, Paper);
    UseTestFont(wide.Canvas());
    UseTestFont(narrow.Canvas());
    NxSharedCommon::DrawTextRect(wide.Canvas(), Rect(0, 0, 120, 40), taCenter, u"Caf\u00e9");
    NxSharedCommon::IsUnicodeSupported = false;
    NxSharedCommon::DrawTextRect(narrow.Canvas(), Rect(0, 0, 120, 40), taCenter, u"Caf\u00e9");
    NxSharedCommon::IsUnicodeSupported = true;
    EXPECT_TRUE(wide.SameAs(narrow));
}

TEST(WrappedText, WordWrapWithVerticalAlignment) {
    const TRect r(10, 10, 110, 150);
    auto draw = [&](TVerticalAlignment v, bool wrap, TAlignment a = taLeftJustify) {
        auto s = std::make_unique<Surface>(120, 160, Paper);
        UseTestFont(s->Canvas());
        TGraphicsProvider::DrawWrapedTextRect(s->Canvas(), r, a, v, wrap, LongText);
        EXPECT_EQ(s->Canvas()->GetBrush()->GetStyle(), bsSolid);
        return s;
    };
    auto top = draw(taAlignTop, true);
    auto bottom = draw(taAlignBottom, true);
    auto middle = draw(taVerticalCenter, true);
    const TRect ti = top->Ink(), bi = bottom->Ink(), mi = middle->Ink();
    Surface probe(10, 10);
    UseTestFont(probe.Canvas());
    const int lineHeight = probe.Canvas()->TextHeight(u"Wg");
    EXPECT_GT(ti.Height(), 2 * lineHeight) << "wrapped onto several lines";
    EXPECT_LE(ti.Right, r.Right);
    EXPECT_LE(ti.Top - r.Top, lineHeight / 2);
    EXPECT_LE(r.Bottom - bi.Bottom, lineHeight / 2) << "the last line sits at the bottom";
    EXPECT_EQ(ti.Height(), bi.Height());
    EXPECT_EQ(ti.Height(), mi.Height());
    // Centred: the block moves by half the free space, rounded half to even.
    TRect calc = r;
    probe.Canvas()->DrawText(LongText, calc, DT_NOPREFIX | DT_WORDBREAK | DT_CALCRECT);
    const int h = calc.Height();
    const double half = (r.Bottom - (r.Top + h)) / 2.0;
    const int shift = static_cast<int>(std::nearbyint(half));
    EXPECT_EQ(mi.Top - ti.Top, shift);
    EXPECT_EQ(bi.Top - ti.Top, r.Bottom - h - r.Top);

    // Right aligned wrapped lines end at the right edge.
    auto right = draw(taAlignTop, true, taRightJustify);
    EXPECT_LE(r.Right - right->Ink().Right, 2);
}

TEST(WrappedText, WithoutWrapOneLineAlignedByTheLayout) {
    const TRect r(10, 10, 400, 110);
    for (TVerticalAlignment v : {taAlignTop, taAlignBottom, taVerticalCenter}) {
        const uint32_t vflag = v == taAlignBottom ? DT_BOTTOM : v == taVerticalCenter ? DT_VCENTER : 0;
        Surface mine(420, 120, Paper), expected(420, 120, Paper);
        UseTestFont(mine.Canvas());
        UseTestFont(expected.Canvas());
        TGraphicsProvider::DrawWrapedTextRect(mine.Canvas(), r, taCenter, v, false, LongText);
        expected.Canvas()->GetBrush()->SetStyle(bsClear);
        TRect er = r;
        expected.Canvas()->DrawText(LongText, er, DT_NOPREFIX | DT_CENTER | DT_SINGLELINE | vflag);
        EXPECT_TRUE(mine.SameAs(expected)) << "vertical alignment " << v;
    }
    Surface bottom(420, 120, Paper);
    UseTestFont(bottom.Canvas());
    TGraphicsProvider::DrawWrapedTextRect(bottom.Canvas(), r, taLeftJustify, taAlignBottom, false, u"Ag");
    EXPECT_LE(r.Bottom - bottom.Ink().Bottom, 4);
}

TEST(DisabledText, EmbossedInHighlightAndShadow) {
    Surface s(120, 30, DrawingTest::Hex(0x808080));
    UseTestFont(s.Canvas(), -16);
    NxSharedDraw::DrawDisabledText(s.Canvas(), Rect(5, 0, 115, 30), "Disabled", taLeftJustify);
    EXPECT_GT(s.CountColor(clBtnHighlight), 5);
    EXPECT_GT(s.CountColor(clBtnShadow), 5);
    EXPECT_EQ(s.Canvas()->GetFont()->GetColor(), clBtnShadow);
    EXPECT_EQ(s.Canvas()->GetBrush()->GetStyle(), bsSolid);
    // The highlight copy lies one pixel right and down of the shadow copy.
    Surface hi(120, 30, DrawingTest::Hex(0x808080));
    UseTestFont(hi.Canvas(), -16);
    hi.Canvas()->GetFont()->SetColor(clBtnShadow);
    TRect r(5, 0, 115, 30);
    hi.Canvas()->GetBrush()->SetStyle(bsClear);
    hi.Canvas()->DrawText(AnsiString("Disabled"), r, 0x8224 | DT_NOPREFIX);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x)
            if (hi.Pixel(x, y) == ColorToRGB(clBtnShadow)) EXPECT_EQ(s.Pixel(x, y), ColorToRGB(clBtnShadow));
}

TEST(DisabledText, HighlightCopyIsOnePixelRightAndDown) {
    // Built by hand: the highlight copy in the rectangle moved by (1, 1), the shadow copy over it.
    for (TAlignment alignment : {taLeftJustify, taCenter, taRightJustify}) {
        const TRect r(5, 0, 115, 30);
        Surface mine(120, 32, DrawingTest::Hex(0x808080)), expected(120, 32, DrawingTest::Hex(0x808080));
        UseTestFont(mine.Canvas(), -16);
        UseTestFont(expected.Canvas(), -16);
        NxSharedDraw::DrawDisabledText(mine.Canvas(), r, "Disabled", alignment);
        const uint32_t flags = 0x8224 | DT_NOPREFIX | (alignment == taCenter ? DT_CENTER : 0) |
                               (alignment == taRightJustify ? DT_RIGHT : 0);
        TCanvas* c = expected.Canvas();
        c->GetBrush()->SetStyle(bsClear);
        TRect shifted(r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1);
        c->GetFont()->SetColor(clBtnHighlight);
        c->DrawText(AnsiString("Disabled"), shifted, flags);
        TRect plain = r;
        c->GetFont()->SetColor(clBtnShadow);
        c->DrawText(AnsiString("Disabled"), plain, flags);
        EXPECT_TRUE(mine.SameAs(expected)) << "alignment " << alignment;
        // The highlight shows below the shadow's lowest row.
        const int lowestShadow = mine.Ink().Bottom - 1;
        bool highlightBelow = false;
        for (int x = 0; x < 120; ++x)
            highlightBelow |= mine.Pixel(x, lowestShadow) == ColorToRGB(clBtnHighlight);
        EXPECT_TRUE(highlightBelow) << "alignment " << alignment;
    }
}

TEST(VerticalText, RunsUpwardsAtTheBottom) {
    Surface s(40, 200, Paper);
    UseTestFont(s.Canvas());
    s.Canvas()->GetBrush()->SetStyle(bsSolid);
    NxSharedCommon::DrawVerticalText(s.Canvas(), Rect(5, 5, 35, 195), "Vertical caption");
    const TRect ink = s.Ink();
    ASSERT_FALSE(ink.IsEmpty());
    const int width = s.Canvas()->TextWidth(AnsiString("Vertical caption"));
    EXPECT_GT(ink.Height(), 3 * ink.Width()) << "taller than wide";
    EXPECT_NEAR(ink.Height(), width, 4);
    EXPECT_EQ(s.Canvas()->GetFont()->GetOrientation(), 0) << "the previous font is back";
    EXPECT_EQ(s.Canvas()->GetBrush()->GetStyle(), bsClear);

    // Upwards: the first letter is at the bottom. "V" alone lands where the whole text starts.
    Surface first(40, 200, Paper);
    UseTestFont(first.Canvas());
    NxSharedCommon::DrawVerticalText(first.Canvas(), Rect(5, 5, 35, 195), "V");
    EXPECT_NEAR(first.Ink().Bottom, ink.Bottom, 2);
    EXPECT_LT(first.Ink().Top, ink.Bottom);
    EXPECT_GT(first.Ink().Top, ink.Top + ink.Height() / 2);
}

TEST(Measuring, WidthsHeightsAndMultilineText) {
    Surface s(10, 10);
    UseTestFont(s.Canvas());
    TCanvas* c = s.Canvas();
    EXPECT_EQ(NxClasses::GetTextWidth(c, u"Hello"), c->TextExtent(WideString(u"Hello")).cx);
    EXPECT_EQ(NxClasses::GetTextHeight(c, u"Hello"), c->TextExtent(WideString(u"Hello")).cy);
    NxClasses::UnicodeSupported = false;
    EXPECT_EQ(NxClasses::GetTextWidth(c, u"Hello"), c->TextWidth(AnsiString("Hello")));
    NxClasses::UnicodeSupported = true;
    const int wide = c->TextWidth(WideString(u"a much longer second line"));
    EXPECT_EQ(NxClasses::GetMultilineTextWidth(c, u"short\r\na much longer second line"), wide);
    EXPECT_LT(NxClasses::GetMultilineTextWidth(c, u"short\r\na much longer second line"),
              wide + c->TextWidth(WideString(u"short")));
    // "&" prefixes are processed.
    EXPECT_EQ(NxClasses::GetMultilineTextWidth(c, u"&File"), c->TextWidth(WideString(u"File")));
}

TEST(Hints, ShowMeasureAndHide) {
    EXPECT_NO_THROW(NxClasses::ActivateHint(nullptr, Rect(0, 0, 10, 10), u"x"));
    EXPECT_NO_THROW(NxClasses::DeactivateHint(nullptr));
    EXPECT_EQ(NxClasses::CalcHintRect(nullptr, 100, u"x"), TRect());
    THintWindow hint(nullptr);
    const TRect need = NxClasses::CalcHintRect(&hint, 300, u"A hint \u0436 text");
    EXPECT_GT(need.Width(), 0);
    EXPECT_GT(need.Height(), 0);
    const TRect narrow = NxClasses::CalcHintRect(&hint, 40, u"several words that must wrap here");
    EXPECT_GT(narrow.Height(), need.Height());
    NxClasses::ActivateHint(&hint, Rect(100, 100, 100 + need.Width(), 100 + need.Height()),
                            u"A hint \u0436 text");
    EXPECT_TRUE(hint.IsHintShowing());
    EXPECT_EQ(hint.GetCaption(), u"A hint \u0436 text");
    NxClasses::DeactivateHint(&hint);
    EXPECT_FALSE(hint.IsHintShowing());
}

TEST(Hints, ParentFormActive) {
    TGraphicControl orphan(nullptr);
    EXPECT_FALSE(NxClasses::ParentFormActive(&orphan));
    EXPECT_FALSE(NxClasses::ParentFormActive(nullptr));
    TForm form(nullptr);
    TGraphicControl onForm(&form);
    onForm.SetParent(&form);
    EXPECT_EQ(NxClasses::ParentFormActive(&onForm), Screen->GetActiveForm() == &form);
}

TEST(Markup, LaysOutStylesLinksAndLineBreaks) {
    Surface s(300, 120, clWhite);
    UseTestFont(s.Canvas());
    const WideString text =
        u"Plain <b>bold</b> <font color=\"red\" size=14>red</font><br><a href='http://x'>link</a> end";
    const NxSharedCommon::THtmlInfo measured =
        NxSharedCommon::ProcessHTML(s.Canvas(), Rect(0, 0, 300, 120), text, Point(-1, -1), {}, false);
    EXPECT_EQ(s.Ink(), TRect()) << "layout only";
    EXPECT_EQ(measured.LineCount, 2);
    ASSERT_EQ(measured.Links.size(), 1u);
    EXPECT_EQ(measured.Links[0].Href, u"http://x");
    EXPECT_GT(measured.Links[0].Rect.Top, 5);

    const TRect link = measured.Links[0].Rect;
    const auto painted = NxSharedCommon::ProcessHTML(s.Canvas(), Rect(0, 0, 300, 120), text,
                                                     Point(link.Left + 1, link.Top + 1), {}, true);
    EXPECT_TRUE(painted.LinkAtPoint);
    EXPECT_EQ(painted.HrefAtPoint, u"http://x");
    EXPECT_GT(s.CountColor(clRed), 3);
    EXPECT_GT(s.CountColor(clBlue), 3);
    EXPECT_EQ(painted.Width, measured.Width);
    EXPECT_EQ(painted.Height, measured.Height);
    EXPECT_EQ(s.Canvas()->GetFont()->GetColor(), clBlack) << "the caller's font is back";

    // Narrow rectangles wrap at words.
    const auto narrow = NxSharedCommon::ProcessHTML(s.Canvas(), Rect(0, 0, 60, 200), u"one two three four",
                                                    Point(-1, -1), {}, false);
    EXPECT_GE(narrow.LineCount, 2);
    EXPECT_LE(narrow.Width, 60 + s.Canvas()->TextWidth(WideString(u"three")));
}

TEST(FontPreview, HighlightWithTheFontSample) {
    Surface s(40, 20, clWhite);
    NxSharedCommon::TDisplayProvider::DrawFontPreview(s.Canvas(), Rect(0, 0, 40, 20), "DejaVu Sans");
    EXPECT_GT(s.CountColor(clHighlight), 400);
    EXPECT_GT(s.CountColor(clHighlightText), 3);
}

} // namespace
