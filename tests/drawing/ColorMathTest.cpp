// Color arithmetic, geometry, HTML colors and the value helpers.
#include <gtest/gtest.h>

#include <vector>

#include "drawing/DrawingTestSupport.h"
#include "drawing/NxClasses.h"
#include "drawing/Providers.h"
#include "drawing/SharedCommon.h"
#include "drawing/SharedDraw.h"
#include "platform/runtime/StringList.h"
#include "platform/runtime/SysUtils.h"

using namespace NxSharedDraw;
using namespace NxSharedCommon;
using DrawingTest::Hex;

namespace {

TEST(ColorMath, IntegerBlendTruncates) {
    EXPECT_EQ(BlendColor(clWhite, clBlack, 255), Hex(0xFEFEFE));
    EXPECT_EQ(BlendColor(clWhite, clBlack, 128), Hex(0x7F7F7F));
    EXPECT_EQ(BlendColor(clWhite, clBlack, 0), Hex(0x000000));
    EXPECT_EQ(BlendColor(clBlack, clWhite, 0), Hex(0xFEFEFE));
    // Channels stay apart: (255 * 100 + 0) >> 8 = 99, (0 + 255 * 155) >> 8 = 154.
    EXPECT_EQ(BlendColor(Hex(0xFF0000), Hex(0x00FF00), 100), Hex(0x639A00));
    EXPECT_EQ(TGraphicsProvider::BlendColor(clWhite, clBlack, 128), Hex(0x7F7F7F));
    EXPECT_EQ(TMaskProvider::MixColors(clWhite, clBlack, 255), Hex(0xFEFEFE));
    EXPECT_EQ(MixBytes(255, 0, 128), 127);
    EXPECT_EQ(MixBytes(10, 200, 0), 199);
}

TEST(ColorMath, IntegerBlendRejectsWeightsOutsideAByte) {
    EXPECT_THROW(BlendColor(clWhite, clBlack, 256), EAssertionFailed);
    EXPECT_THROW(BlendColor(clWhite, clBlack, -1), EAssertionFailed);
    try {
        BlendColor(clWhite, clBlack, 1000);
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Message().rfind("Assertion failure (", 0), 0u) << e.Message();
        EXPECT_NE(e.Message().find("line "), std::string::npos);
    }
}

TEST(ColorMath, BlendsResolveSystemColorsAndReturnPlainRgb) {
    const TColor window = ColorToRGB(clWindow), highlight = ColorToRGB(clHighlight);
    EXPECT_EQ(BlendColor(clHighlight, clWindow, 80), BlendColor(highlight, window, 80));
    EXPECT_EQ(BlendColor(clHighlight, clWindow, 0.25), BlendColor(highlight, window, 0.25));
    EXPECT_FALSE(IsSystemColor(BlendColor(clBtnFace, clBtnFace, 0.0)));
    EXPECT_EQ(BlendColor(clBtnFace, clBlack, 0.0), ColorToRGB(clBtnFace));
    EXPECT_EQ(Lighten(clBtnFace, 0), ColorToRGB(clBtnFace));
}

TEST(ColorMath, RatioBlendRoundsHalvesToEven) {
    // 127.5 -> 128, 0.5 -> 0, 1.5 -> 2, 2.5 -> 2 (not away from zero).
    EXPECT_EQ(GetRValue(BlendColor(RGB(0, 0, 0), RGB(255, 0, 0), 0.5)), 128);
    EXPECT_EQ(GetRValue(BlendColor(RGB(255, 0, 0), RGB(0, 0, 0), 0.5)), 128);
    EXPECT_EQ(BlendColor(RGB(0, 0, 0), RGB(1, 3, 5), 0.5), RGB(0, 2, 2));
    EXPECT_EQ(BlendColor(RGB(1, 3, 5), RGB(2, 4, 6), 0.5), RGB(2, 4, 6));
    EXPECT_EQ(BlendColor(RGB(0, 0, 0), RGB(7, 9, 11), 0.5), RGB(4, 4, 6));
    // Ends: 0 gives the first color, 1 the second.
    EXPECT_EQ(BlendColor(Hex(0x123456), Hex(0xABCDEF), 0.0), Hex(0x123456));
    EXPECT_EQ(BlendColor(Hex(0x123456), Hex(0xABCDEF), 1.0), Hex(0xABCDEF));
    EXPECT_EQ(TGraphicsProvider::BlendColor(RGB(0, 0, 0), RGB(5, 5, 5), 0.5), RGB(2, 2, 2));
}

TEST(ColorMath, RatioBlendOutsideTheRangeWrapsInTheLowByte) {
    // 0 + 200 * 2 = 400 -> 144; 100 * 2 - 200 = -100 -> 156.
    EXPECT_EQ(GetRValue(BlendColor(RGB(0, 0, 0), RGB(200, 0, 0), 2.0)), 144);
    EXPECT_EQ(GetRValue(BlendColor(RGB(100, 0, 0), RGB(200, 0, 0), -1.0)), 0);
    EXPECT_EQ(GetRValue(BlendColor(RGB(200, 0, 0), RGB(100, 0, 0), 3.0)), 156);
    EXPECT_EQ(GetRValue(BlendColor(RGB(200, 0, 0), RGB(50, 0, 0), 2.0)), 156);
}

TEST(ColorMath, LightenLevelsAndChannels) {
    EXPECT_EQ(Lighten(RGB(10, 128, 250), 10), RGB(20, 138, 255));
    EXPECT_EQ(Lighten(RGB(10, 128, 250), -20), RGB(0, 108, 230));
    EXPECT_EQ(TMaskProvider::GetColorLevel(clWhite), 255);
    EXPECT_EQ(TMaskProvider::GetColorLevel(RGB(100, 0, 0)), (100 * 77) >> 8);
    EXPECT_EQ(TMaskProvider::GetColorLevel(RGB(10, 20, 30)), (10 * 77 + 20 * 151 + 30 * 28) >> 8);
    uint8_t r = 0, g = 0, b = 0;
    TMaskProvider::GetRGB(Hex(0x123456), r, g, b);
    EXPECT_EQ(r, 0x12);
    EXPECT_EQ(g, 0x34);
    EXPECT_EQ(b, 0x56);
}

TEST(Geometry, CalcProvider) {
    EXPECT_DOUBLE_EQ(TCalcProvider::GetRatio(25, 200), 12.5);
    EXPECT_TRUE(TCalcProvider::IsRectInRect(Rect(0, 0, 10, 10), Rect(10, 10, 20, 20)));
    EXPECT_FALSE(TCalcProvider::IsRectInRect(Rect(0, 0, 10, 10), Rect(11, 0, 20, 10)));
    EXPECT_FALSE(TCalcProvider::IsRectInRect(Rect(0, 12, 10, 20), Rect(0, 0, 10, 10)));
    EXPECT_TRUE(TCalcProvider::IsRectInRect(Rect(2, 2, 4, 4), Rect(0, 0, 10, 10)));

    EXPECT_EQ(TCalcProvider::PosInRect(13, 13, 0, Rect(0, 0, 20, 20), taCenter, taVerticalCenter),
              Point(4, 4));
    // The margin applies to the edges but not to centring.
    EXPECT_EQ(TCalcProvider::PosInRect(13, 13, 2, Rect(0, 0, 20, 20), taCenter, taVerticalCenter),
              Point(4, 4));
    EXPECT_EQ(TCalcProvider::PosInRect(6, 11, 2, Rect(10, 20, 40, 60), taLeftJustify, taAlignTop),
              Point(12, 22));
    EXPECT_EQ(TCalcProvider::PosInRect(6, 11, 2, Rect(10, 20, 40, 60), taRightJustify, taAlignBottom),
              Point(32, 47));
    // Centres of odd sizes: centre x = 10 + 31 div 2 = 25, minus 7 div 2.
    EXPECT_EQ(TCalcProvider::PosInRect(7, 7, 0, Rect(10, 10, 41, 41), taCenter, taVerticalCenter),
              Point(22, 22));
    EXPECT_EQ(TCalcProvider::ResizeRect(Rect(1, 2, 3, 4), 1, -1, 2, -2), Rect(2, 1, 5, 2));
}

TEST(Geometry, PointsAndRectangles) {
    EXPECT_FALSE(PointOffset(Point(10, 10), Point(13, 13), 3));
    EXPECT_TRUE(PointOffset(Point(10, 10), Point(14, 10), 3));
    EXPECT_TRUE(PointOffset(Point(10, 6), Point(10, 10), 3));
    EXPECT_EQ(NormalizeRect(Rect(10, 20, 0, 5)), Rect(0, 5, 10, 20));
    EXPECT_EQ(NormalizeRect(Rect(0, 5, 10, 20)), Rect(0, 5, 10, 20));

    std::vector<TPoint> pts{{0, 0}, {5, 3}, {9, 10}};
    FlipPointsVert(pts, Rect(0, 0, 20, 10)); // middle row 5
    EXPECT_EQ(pts, (std::vector<TPoint>{{0, 10}, {5, 7}, {9, 0}}));
    FlipPointsVert(pts, Rect(0, 1, 20, 10)); // middle 1 + 9 div 2 = 5
    EXPECT_EQ(pts, (std::vector<TPoint>{{0, 0}, {5, 3}, {9, 10}}));

    int a = 1, b = 2;
    NxClasses::Exchange(a, b);
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 1);
    EXPECT_TRUE(NxClasses::IsPointNil(Point(-1, 5)));
    EXPECT_TRUE(NxClasses::IsPointNil(Point(5, -1)));
    EXPECT_FALSE(NxClasses::IsPointNil(Point(0, 0)));
    TRect r(1, 1, 5, 5);
    NxClasses::ResizeRect(r, -1, -1, 1, 1);
    EXPECT_EQ(r, Rect(0, 0, 6, 6));
    int v = 50;
    NxClasses::SetRange(v, 0, 10);
    EXPECT_EQ(v, 10);
    v = -3;
    NxClasses::SetRange(v, 0, 10);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(NxClasses::Indent(3, 4).Left, 3);
    EXPECT_EQ(NxClasses::Indent(3, 4).Top, 4);
}

TEST(HtmlColors, NamesAndNumbers) {
    ASSERT_EQ(WebColorNames.size(), 141u);
    EXPECT_EQ(WebColorNames.front().Name, "transparent");
    EXPECT_EQ(WebColorNames.front().Value, "#FFFFFF");
    EXPECT_EQ(WebColorNames[1].Name, "aliceblue");
    EXPECT_EQ(WebColorNames.back().Name, "yellowgreen");
    for (size_t i = 2; i < WebColorNames.size(); ++i)
        EXPECT_LT(WebColorNames[i - 1].Name, WebColorNames[i].Name) << "alphabetical at " << i;
    for (const auto& entry : WebColorNames) {
        ASSERT_EQ(entry.Value.size(), 7u) << entry.Name;
        EXPECT_NE(GetColorFromHTML(AnsiString(entry.Name)), clNone) << entry.Name;
    }

    EXPECT_EQ(GetColorFromHTML("aliceblue"), Hex(0xF0F8FF));
    EXPECT_EQ(GetColorFromHTML("AliceBlue"), Hex(0xF0F8FF));
    EXPECT_EQ(GetColorFromHTML("#FF0000"), clRed);
    EXPECT_EQ(GetColorFromHTML("#0000ff"), clBlue);
    EXPECT_EQ(GetColorFromHTML("#12GG56"), clNone);
    EXPECT_EQ(GetColorFromHTML("nosuchcolor"), clNone);
    EXPECT_EQ(GetColorFromHTML("#"), clNone);
    EXPECT_EQ(GetColorFromHTML(""), clNone);
    EXPECT_EQ(GetColorFromHTML("#123456789"), clNone);
    EXPECT_EQ(GetHTMLColorName("Navy"), "#000080");
    EXPECT_EQ(GetHTMLColorName("#ABCDEF"), "#ABCDEF");
    EXPECT_EQ(HTMLColorToString(clBlue), "#0000FF");
    EXPECT_EQ(HTMLColorToString(Hex(0xA0B1C2)), "#A0B1C2");
    EXPECT_EQ(HTMLColorToString(clWindow), HTMLColorToString(ColorToRGB(clWindow)));
}

class ValueHelpers : public ::testing::Test {
protected:
    void SetUp() override {
        saved = DefaultFormatSettings();
        DefaultFormatSettings().DecimalSeparator = u'.';
    }
    void TearDown() override { DefaultFormatSettings() = saved; }
    TFormatSettings saved;
};

TEST_F(ValueHelpers, DataKind) {
    using namespace NxClasses;
    EXPECT_EQ(GetDataKind("-123"), dkInteger);
    EXPECT_EQ(GetDataKind("+7"), dkInteger);
    EXPECT_EQ(GetDataKind(""), dkInteger);
    EXPECT_EQ(GetDataKind("12-3"), dkString);
    EXPECT_EQ(GetDataKind("1.5"), dkFloat);
    EXPECT_EQ(GetDataKind("-1.5"), dkFloat);
    EXPECT_EQ(GetDataKind("1.5.5"), dkString);
    EXPECT_EQ(GetDataKind("1,5"), dkString);
    EXPECT_EQ(GetDataKind("abc"), dkString);
    DefaultFormatSettings().DecimalSeparator = u',';
    EXPECT_EQ(GetDataKind("1,5"), dkFloat);
    EXPECT_EQ(GetDataKind("1.5"), dkString);
}

TEST_F(ValueHelpers, ValidNumber) {
    using namespace NxClasses;
    EXPECT_DOUBLE_EQ(GetValidNumber("a1b2c3", false, false, 0, 0), 123);
    EXPECT_DOUBLE_EQ(GetValidNumber("-12.5x", true, true, 0, 0), -12.5);
    EXPECT_DOUBLE_EQ(GetValidNumber("-12.5x", false, false, 0, 0), 125);
    EXPECT_DOUBLE_EQ(GetValidNumber("1.2.3", true, false, 0, 0), 1.23);
    EXPECT_DOUBLE_EQ(GetValidNumber("5-3", false, true, 0, 0), 53);
    EXPECT_DOUBLE_EQ(GetValidNumber("", true, true, 0, 0), 0);
    EXPECT_DOUBLE_EQ(GetValidNumber("-", true, true, 0, 0), 0);
    EXPECT_DOUBLE_EQ(GetValidNumber("500", false, false, 10, 100), 100);
    EXPECT_DOUBLE_EQ(GetValidNumber("5", false, false, 10, 100), 10);
    EXPECT_DOUBLE_EQ(GetValidNumber("-5", false, true, 0, 3), 0);
    EXPECT_THROW(GetValidNumber(".", true, false, 0, 0), EConvertError);
}

TEST_F(ValueHelpers, NameValueParts) {
    using namespace NxClasses;
    TStringList list;
    list.Add(u"name=value");
    list.Add(u"plain");
    list.Add(u"k==v");
    EXPECT_EQ(ValueFromIndex(&list, 0), u"value");
    EXPECT_EQ(ValueFromIndex(&list, 1), u"");
    EXPECT_EQ(ValueFromIndex(&list, 2), u"=v");
    EXPECT_EQ(ValueFromIndex(&list, -1), u"");
    EXPECT_THROW(ValueFromIndex(&list, 3), EListError);
    EXPECT_EQ(ValueFromPair(u"a=bc"), u"bc");
    EXPECT_EQ(ValueFromPair(u"abc"), u"");
}

TEST(TreeNodes, BuildMoveSortAndDelete) {
    using namespace NxClasses;
    TNxTreeNodes nodes;
    int changes = 0;
    nodes.OnChange = [&](TObject*) { ++changes; };
    TNxTreeNode* b = nodes.Add(nullptr, u"b");
    TNxTreeNode* a = nodes.Add(nullptr, u"a", apLast);
    TNxTreeNode* first = nodes.Add(nullptr, u"z", apFirst);
    TNxTreeNode* child = nodes.AddChild(b, u"child");
    EXPECT_EQ(nodes.GetCount(), 4);
    EXPECT_EQ(nodes.GetRootCount(), 3);
    EXPECT_EQ(nodes.GetFirstNode(), first);
    EXPECT_EQ(child->GetLevel(), 1);
    EXPECT_EQ(b->GetLevel(), 0);
    EXPECT_EQ(first->GetNextSibling(), b);
    EXPECT_EQ(a->GetPrevSibling(), b);
    EXPECT_EQ(a->GetNextSibling(), nullptr);
    EXPECT_EQ(nodes.GetItem(2), child); // depth first: z, b, child, a
    EXPECT_THROW(nodes.GetItem(4), EListError);
    EXPECT_THROW(b->GetItem(1), EListError);

    EXPECT_THROW(b->MoveTo(child, apLast), EInvalidOperation);
    child->MoveTo(a, apFirst);
    EXPECT_EQ(child->GetParent(), a);
    EXPECT_FALSE(b->HasChildren());
    nodes.Sort();
    EXPECT_EQ(nodes.GetRootItem(0)->GetText(), u"a");
    EXPECT_EQ(nodes.GetRootItem(2)->GetText(), u"z");
    nodes.Delete(a);
    EXPECT_EQ(nodes.GetCount(), 2);
    EXPECT_GT(changes, 5);
    nodes.Clear();
    EXPECT_EQ(nodes.GetCount(), 0);
}

TEST(TreeNodes, ComponentNodesShareTheTreeBehaviour) {
    using namespace NxClasses;
    TNxObjectTreeNodes nodes;
    TNxObjectTreeNode* root = nodes.Add(nullptr, u"root");
    TNxObjectTreeNode* leaf = nodes.AddChild(root, u"leaf");
    leaf->SetTag(7);
    EXPECT_TRUE(leaf->InheritsFrom<TComponent>());
    EXPECT_EQ(leaf->GetParent(), root);
    EXPECT_EQ(root->GetParent(), nullptr);
    EXPECT_EQ(leaf->GetLevel(), 1);
    EXPECT_EQ(nodes.GetItem(1)->GetTag(), 7);
    leaf->MoveTo(nullptr, apFirst);
    EXPECT_EQ(nodes.GetFirstNode(), leaf);
    EXPECT_EQ(leaf->GetLevel(), 0);
    // A node of another tree is not deleted from this one.
    TNxObjectTreeNodes other;
    nodes.Delete(other.Add(nullptr, u"x"));
    EXPECT_EQ(nodes.GetCount(), 2);
    EXPECT_EQ(other.GetCount(), 1);
}

TEST(Localizer, SetsTheProcessWideCaptions) {
    using namespace NxClasses;
    EXPECT_EQ(TodayCaption, u"Today");
    EXPECT_EQ(NoneCaption, u"None");
    EXPECT_EQ(StartDay, dwSunday);
    TNxLocalizer localizer(nullptr);
    localizer.SetTodayCaption(u"Heute");
    localizer.SetStartDay(dwMonday);
    EXPECT_EQ(TodayCaption, u"Heute");
    EXPECT_EQ(localizer.GetStartDay(), dwMonday);
    localizer.SetTodayCaption(u"Today");
    localizer.SetStartDay(dwSunday);
}

TEST(GlyphSettings, DefaultsChangesAndAssign) {
    using namespace NxClasses;
    TNxActiveGlyphSettings a;
    EXPECT_FALSE(a.GetTransparent());
    EXPECT_EQ(a.GetTransparentColor(), clNone);
    int changes = 0;
    a.OnChange = [&](TObject*) { ++changes; };
    a.SetTransparent(true);
    a.SetTransparentColor(clRed);
    TBitmap glyph(4, 3, pf24bit);
    a.SetHoverGlyph(&glyph);
    EXPECT_EQ(a.GetHoverGlyph()->GetWidth(), 4);
    EXPECT_GE(changes, 2);
    TNxActiveGlyphSettings b;
    b.Assign(&a);
    EXPECT_TRUE(b.GetTransparent());
    EXPECT_EQ(b.GetTransparentColor(), clRed);
    EXPECT_EQ(b.GetHoverGlyph()->GetHeight(), 3);
}

} // namespace
