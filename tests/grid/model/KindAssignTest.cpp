// Assign between column kinds not covered elsewhere: each kind copies its own settings from its
// own kind, and from any other kind only the common column settings, never the column type.
#include <gtest/gtest.h>

#include "grid/model/ColumnKinds.h"

namespace {

TEST(KindAssign, OwnSettingsComeOnlyFromTheSameKind) {
    TList Images;
    TNxTreeColumn Tree;
    Tree.SetExpandLock(true);
    Tree.SetShowButtons(false);
    Tree.SetShowLines(true);
    Tree.SetImages(&Images);
    TNxTreeColumn TreeCopy;
    TreeCopy.Assign(&Tree);
    EXPECT_TRUE(TreeCopy.GetExpandLock());
    EXPECT_FALSE(TreeCopy.GetShowButtons());
    EXPECT_TRUE(TreeCopy.GetShowLines());
    EXPECT_EQ(TreeCopy.GetImages(), &Images);

    TNxTimeColumn Time;
    Time.SetFormatMask(u"hh:nn");
    Time.SetEmptyCaption(u"-");
    Time.SetHideWhenEmpty(true);
    Time.SetTextBefore(u"at ");
    TNxTimeColumn TimeCopy;
    TimeCopy.Assign(&Time);
    EXPECT_EQ(TimeCopy.GetFormatMask(), u"hh:nn");
    EXPECT_EQ(TimeCopy.GetEmptyCaption(), u"-");
    EXPECT_TRUE(TimeCopy.GetHideWhenEmpty());
    EXPECT_EQ(TimeCopy.GetTextBefore(), u"at ");

    TNxColorColumn Color;
    Color.SetFullSize(true);
    TNxColorColumn ColorCopy;
    ColorCopy.Assign(&Color);
    EXPECT_TRUE(ColorCopy.GetFullSize());

    TNxImageColumn Image;
    Image.SetTransparent(false);
    Image.SetImages(&Images);
    TNxImageColumn ImageCopy;
    ImageCopy.Assign(&Image);
    EXPECT_FALSE(ImageCopy.GetTransparent());
    EXPECT_EQ(ImageCopy.GetImages(), &Images);

    TNxGraphicColumn Graphic;
    Graphic.SetBorderWidth(3);
    Graphic.SetMargin(7);
    Graphic.SetStretch(true);
    TNxGraphicColumn GraphicCopy;
    GraphicCopy.Assign(&Graphic);
    EXPECT_EQ(GraphicCopy.GetBorderWidth(), 3);
    EXPECT_EQ(GraphicCopy.GetMargin(), 7);
    EXPECT_TRUE(GraphicCopy.GetStretch());

    // GUID and virtual columns share their surrounding texts.
    TNxVirtualColumn Virtual;
    Virtual.SetTextBefore(u"<");
    Virtual.SetTextAfter(u">");
    Virtual.SetAutoExecute(true);
    TNxGuidColumn Guid;
    Guid.Assign(&Virtual);
    EXPECT_EQ(Guid.GetTextBefore(), u"<");
    EXPECT_EQ(Guid.GetTextAfter(), u">");
    EXPECT_TRUE(Guid.GetAutoExecute());
}

TEST(KindAssign, AcrossKindsOnlyTheCommonSettingsAndNeverTheColumnType) {
    TNxNumberColumn Number; // right-aligned, DefaultValue "0", float cells
    Number.SetWidth(90);
    Number.SetTextBefore(u"$");
    TNxTextColumn Text;
    Text.SetTextBefore(u"#");
    Text.Assign(&Number);
    EXPECT_EQ(Text.GetWidth(), 90);
    EXPECT_EQ(Text.GetAlignment(), taRightJustify);
    EXPECT_EQ(Text.GetDefaultValue(), u"0");
    EXPECT_EQ(Text.GetTextBefore(), u"#"); // a number column is no text column
    EXPECT_EQ(Text.GetColumnType(), ctString);

    TNxCheckBoxColumn Check;
    Check.Assign(&Text);
    EXPECT_EQ(Check.GetColumnType(), ctBoolean);
    EXPECT_EQ(Check.GetWidth(), 90);

    TNxTreeColumn Tree;
    Tree.SetShowButtons(false);
    Tree.Assign(&Text);
    EXPECT_FALSE(Tree.GetShowButtons());

    TNxProgressColumn Progress;
    Progress.SetMax(300);
    TNxListColumn List;
    List.GetItems()->Add(u"kept");
    List.Assign(&Progress);
    EXPECT_EQ(List.GetItems()->Count(), 1);
    EXPECT_EQ(List.GetColumnType(), ctInteger);
}

} // namespace
