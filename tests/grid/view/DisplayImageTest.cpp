// The picture displays painted into a bitmap: check boxes, image list entries, scaled graphics,
// rating glyphs and list items with images.

#include <gtest/gtest.h>

#include "grid/model/PopupColumn.h"
#include "grid/view/ColumnDisplayImage.h"
#include "grid/view/ColumnDisplayMarkup.h"
#include "grid/view/DisplayTestSupport.h"
#include "platform/windows/Themes.h"

using namespace DisplayTest;

namespace {

std::unique_ptr<TBitmap> Solid(int W, int H, TColor Color) {
    auto B = std::make_unique<TBitmap>(W, H, pf24bit);
    B->GetCanvas()->GetBrush()->SetColor(Color);
    B->GetCanvas()->FillRect(Rect(0, 0, W, H));
    return B;
}

class TPictureColumn : public TTextTestColumn,
                       public TImageColumnSettings,
                       public TGraphicColumnSettings,
                       public TRateColumnSettings,
                       public TStringsColumnSettings {
public:
    int GetImageCount() const override { return int(Images.size()); }
    TBitmap* GetImage(int Index) const override { return Images.at(Index).get(); }
    int GetBorderWidth() const override { return 1; }
    int GetMargin() const override { return 4; }
    bool GetStretch() const override { return Stretch; }
    TBitmap* GetGlyph() const override { return Full.get(); }
    TBitmap* GetEmptyGlyph() const override { return Empty.get(); }
    bool GetHideWhenEmpty() const override { return HideWhenEmpty; }
    int GetMax() const override { return 5; }
    TDisplayMode GetDisplayMode() const override { return Mode; }
    TBitmap* GetCellImage(const TCellInfo&) const override {
        return Images.empty() ? nullptr : Images[0].get();
    }

    std::vector<std::unique_ptr<TBitmap>> Images;
    bool Stretch = false;
    std::unique_ptr<TBitmap> Full = Solid(6, 6, Hex(0xFFCC00));
    std::unique_ptr<TBitmap> Empty = Solid(6, 6, Hex(0xCCCCCC));
    bool HideWhenEmpty = false;
    TDisplayMode Mode = dmTextAndImage;
};

constexpr TColor Back = Hex(0x336699);

} // namespace

TEST(PictureDisplays, CheckBoxWithoutVisualStylesIsACentredElevenPixelBox) {
    SetThemesEnabled(false);
    TTextTestColumn Column;
    Column.SetAlignment(taCenter);
    TCheckBoxColumnDisplay Box(&Column);
    Surface S(40, 21, Back);
    Bind(Box, S, Rect(0, 0, 41, 21));
    Box.SetAsBoolean(true);
    Box.Paint();
    EXPECT_EQ(S.Ink(), Rect(15, 5, 26, 16));
    EXPECT_EQ(S.Pixel(15, 5), ColorToRGB(clBtnShadow));
    EXPECT_EQ(Box.GetContentWidth(), 11);
    SetThemesEnabled(true);
    EXPECT_EQ(Box.GetContentWidth(), 13);
}

TEST(PictureDisplays, ImageByIndexOrNothingOutsideTheList) {
    TPictureColumn Column;
    Column.Images.push_back(Solid(8, 8, Hex(0xFF0000)));
    TImageColumnDisplay Image(&Column);
    for (int Index : {-1, 1}) {
        Surface S(40, 20, Back);
        Bind(Image, S, Rect(0, 0, 40, 20));
        Image.SetAsInteger(Index);
        Image.Paint();
        EXPECT_EQ(S.CountColor(Back), 40 * 20) << Index;
    }
    Surface S(40, 20, Back);
    Bind(Image, S, Rect(0, 0, 40, 20));
    Image.SetAsInteger(0);
    Image.Paint();
    // Left aligned with the 2-pixel margin, vertically centred.
    EXPECT_EQ(S.Ink(), Rect(2, 6, 10, 14));
}

TEST(PictureDisplays, GraphicIsScaledIntoItsRoomKeepingItsShape) {
    TPictureColumn Column;
    TGraphicColumnDisplay Graphic(&Column);
    auto Picture = Solid(80, 40, Hex(0x00FF00));
    Surface S(50, 50, Back);
    Bind(Graphic, S, Rect(0, 0, 50, 50));
    Graphic.SetAsObject(Picture.get());
    // Room: 50 less margin 4 and border 1 on each side = 40 by 40; 80 by 40 becomes 40 by 20.
    EXPECT_EQ(Graphic.GetPictureRect(), Rect(5, 15, 45, 35));
    Graphic.Paint();
    EXPECT_EQ(S.Ink(), Rect(5, 15, 45, 35));
    Column.Stretch = true;
    EXPECT_EQ(Graphic.GetPictureRect(), Rect(5, 5, 45, 45));
    // Something that is not a picture draws nothing.
    TTextTestColumn Other;
    Graphic.SetAsObject(&Other);
    EXPECT_TRUE(Graphic.GetPictureRect().IsEmpty());
}

TEST(PictureDisplays, RateShowsFullThenEmptyGlyphsWithinMax) {
    TPictureColumn Column;
    TRateColumnDisplay Rate(&Column);
    auto Paint = [&](int Value) {
        auto S = std::make_unique<Surface>(40, 10, Back);
        Bind(Rate, *S, Rect(0, 0, 40, 10));
        Rate.SetAsInteger(Value);
        Rate.Paint();
        return S;
    };
    auto Two = Paint(2);
    EXPECT_EQ(Two->CountColor(Hex(0xFFCC00)), 2 * 36);
    EXPECT_EQ(Two->CountColor(Hex(0xCCCCCC)), 3 * 36);
    EXPECT_EQ(Paint(9)->CountColor(Hex(0xFFCC00)), 5 * 36) << "kept within Max";
    EXPECT_EQ(Paint(-3)->CountColor(Hex(0xCCCCCC)), 5 * 36);
    Column.HideWhenEmpty = true;
    EXPECT_EQ(Paint(0)->CountColor(Back), 400);
    EXPECT_EQ(Rate.GetContentWidth(), 30);
}

TEST(PictureDisplays, ListItemImageMovesTheTextRight) {
    TPictureColumn Column;
    Column.Images.push_back(Solid(10, 10, Hex(0xFF0000)));
    TStringsColumnDisplay Strings(&Column);
    Surface S(120, 20, clWhite);
    Bind(Strings, S, Rect(0, 0, 120, 20));
    Strings.SetAsString(u"item");
    Strings.Paint();
    EXPECT_EQ(S.Ink(Rect(0, 0, 14, 20)), Rect(2, 5, 12, 15));
    EXPECT_GE(S.Ink(Rect(12, 0, 120, 20)).Left, 16);

    Column.Mode = dmImageOnly;
    Surface Only(120, 20, clWhite);
    Bind(Strings, Only, Rect(0, 0, 120, 20));
    Strings.Paint();
    EXPECT_TRUE(Only.Ink(Rect(12, 0, 120, 20)).IsEmpty());
}

TEST(PictureDisplays, StringsComboAndListKindsShowTheirItemImageByDisplayMode) {
    auto Red = Solid(10, 10, Hex(0xFF0000)), Green = Solid(10, 10, Hex(0x00FF00));
    TList Images;
    Images.Add(Red.get());
    Images.Add(Green.get());
    TNxStringsColumn Strings;
    TNxComboBoxColumn Combo;
    TNxListColumn List;
    // Strings and combo box cells name their item; a list cell holds its index.
    for (TNxStringsColumn* Column : std::initializer_list<TNxStringsColumn*>{&Strings, &Combo, &List}) {
        Column->GetItems()->Add(u"first");
        Column->GetItems()->Add(u"second");
        Column->SetImages(&Images);
        TStringsColumnDisplay Display(Column);
        auto Paint = [&] {
            auto S = std::make_unique<Surface>(120, 20, clWhite);
            Bind(Display, *S, Rect(0, 0, 120, 20));
            Display.SetAsString(u"second");
            Display.SetAsInteger(1);
            Display.Paint();
            return S;
        };
        EXPECT_EQ(Paint()->CountColor(Hex(0x00FF00)), 0) << "dmTextOnly shows no image";
        Column->SetDisplayMode(dmTextAndImage);
        auto Both = Paint();
        EXPECT_EQ(Both->Ink(Rect(0, 0, 14, 20)), Rect(2, 5, 12, 15));
        EXPECT_EQ(Both->CountColor(Hex(0x00FF00)), 100);
        EXPECT_GE(Both->Ink(Rect(12, 0, 120, 20)).Left, 16);
        Column->SetDisplayMode(dmImageOnly);
        EXPECT_TRUE(Paint()->Ink(Rect(12, 0, 120, 20)).IsEmpty());
    }
}

namespace {
class TTreeTestColumn : public TTextTestColumn, public TTreeColumnSettings {
public:
    bool GetShowButtons() const override { return true; }
    bool GetShowLines() const override { return false; }
};
} // namespace

TEST(PictureDisplays, TreeButtonShowsPlusWhenCollapsedAndIndentsByLevel) {
    SetThemesEnabled(false);
    TTreeTestColumn Column;
    TTreeColumnDisplay Tree(&Column);
    auto Paint = [&](bool Expanded) {
        auto S = std::make_unique<Surface>(120, 20);
        Bind(Tree, *S, Rect(0, 0, 120, 20));
        TTreeRowData Row;
        Row.Level = 1;
        Row.ChildCount = 2;
        Row.Expanded = Expanded;
        Tree.SetTreeRowData(Row);
        Tree.Paint();
        return S;
    };
    auto Collapsed = Paint(false);
    auto Expanded = Paint(true);
    const TRect Button = Tree.GetButtonRect();
    EXPECT_EQ(Button, Rect(21, 5, 30, 14));
    EXPECT_EQ(Collapsed->Pixel(25, 7), ColorToRGB(clWindowText)) << "the plus's upright";
    EXPECT_EQ(Expanded->Pixel(25, 7), ColorToRGB(clWindow));
    EXPECT_EQ(Expanded->Pixel(25, 9), ColorToRGB(clWindowText));
    SetThemesEnabled(true);
}
