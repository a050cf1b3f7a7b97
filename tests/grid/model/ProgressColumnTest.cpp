// The progress column: defaults, the fill color by the two bounds, the percentage text, what its
// setters repaint and what Assign copies.

#include <gtest/gtest.h>

#include "grid/model/FakeGrid.h"
#include "grid/model/ProgressColumn.h"

TEST(ProgressColumn, NewColumnDefaultsAndCells) {
    TFakeGrid Grid;
    auto* Column = Grid.AddColumn<TNxProgressColumn>();
    EXPECT_EQ(Column->GetMax(), 100);
    EXPECT_EQ(Column->GetMargin(), 2);
    EXPECT_EQ(Column->GetBorderColor(), clGray);
    EXPECT_EQ(Column->GetTextPosition(), TProgressTextPosition::tpBeside);
    EXPECT_EQ(Column->GetProgressStyle(), TProgressStyle::psSolid);
    EXPECT_FALSE(Column->GetShowText());
    EXPECT_FALSE(Column->GetHideWhenEmpty());
    EXPECT_EQ(Column->GetHighValueColor(), clHighlight);
    EXPECT_EQ(Column->GetLowValueColor(), clHighlight);
    EXPECT_EQ(Column->GetProgressColor(), clHighlight);
    EXPECT_EQ(Column->GetDefaultValue(), u"0");
    EXPECT_EQ(Column->GetSortType(), stNumeric);
    EXPECT_EQ(Column->GetColumnType(), ctFloat);
    EXPECT_TRUE(Column->GetColumnStyle().Empty());
    Grid.Cells->AddRow();
    EXPECT_NE(dynamic_cast<TFloatCell*>(Grid.Cells->GetCell(0, 0)), nullptr);
}

TEST(ProgressColumn, PercentTextFollowsMaxAndPrecision) {
    TFixedFormatSettings Settings;
    TNxProgressColumn Column;
    EXPECT_EQ(Column.GetPercentText(42), u"42%");
    Column.SetMax(200);
    EXPECT_EQ(Column.GetPercentText(42), u"21%");
    Column.SetPrecision(2);
    EXPECT_EQ(Column.GetPercentText(1), u"0.50%");
    // No share without a maximum, and no nonsense digits.
    Column.SetMax(0);
    EXPECT_EQ(Column.GetPercentText(42), u"0.00%");
    Column.SetMax(100);
    Column.SetPrecision(-3);
    EXPECT_EQ(Column.GetPercentText(42), u"42%");
}

TEST(ProgressColumn, FillColorByTheTwoBounds) {
    TNxProgressColumn Column;
    Column.SetHighValueColor(clBlue);
    Column.SetLowValueColor(clBlack);
    Column.SetProgressColor(clWhite);
    // Both bounds at 0: everything from 0 up is high.
    EXPECT_EQ(Column.GetValueColor(0), clBlue);
    EXPECT_EQ(Column.GetValueColor(-1), clBlack);
    Column.SetLowValueBound(20);
    Column.SetHighValueBound(80);
    EXPECT_EQ(Column.GetValueColor(20), clBlack);
    EXPECT_EQ(Column.GetValueColor(20.5), clWhite);
    EXPECT_EQ(Column.GetValueColor(79.9), clWhite);
    EXPECT_EQ(Column.GetValueColor(80), clBlue);
}

TEST(ProgressColumn, SettersRepaintTheirAreaAndBorderColorOnlyStores) {
    TFakeGrid Grid;
    auto* Column = Grid.AddColumn<TNxProgressColumn>();
    Grid.ClearReports();
    Column->SetBorderColor(clWhite);
    EXPECT_TRUE(Grid.Refreshes.empty());
    EXPECT_TRUE(Grid.ColumnReports.empty());
    Column->SetHideWhenEmpty(true);
    Column->SetProgressColor(clBlack);
    Column->SetProgressHeight(6);
    Column->SetProgressStyle(TProgressStyle::psGradient);
    for (auto& Refresh : Grid.Refreshes)
        EXPECT_EQ(Refresh, std::make_pair(static_cast<TNxCustomColumn*>(Column), gaBody));
    EXPECT_EQ(Grid.Refreshes.size(), 4u);
    Grid.ClearReports();
    Column->SetMargin(0);
    Column->SetMax(50);
    Column->SetShowText(true);
    Column->SetTextPosition(TProgressTextPosition::tpInside);
    Column->SetTransparent(true);
    Column->SetRoundCorners(true);
    Column->SetHighValueBound(1);
    Column->SetLowValueColor(clBlack);
    EXPECT_EQ(Grid.Refreshes, (std::vector<std::pair<TNxCustomColumn*, TGridArea>>(8, {Column, gaNone})));
}

TEST(ProgressColumn, AssignCopiesTheBarButNotTheBoundsOrPrecision) {
    TNxProgressColumn Source;
    Source.SetBorderColor(clWhite);
    Source.SetMargin(0);
    Source.SetMax(10);
    Source.SetProgressColor(clBlack);
    Source.SetProgressStyle(TProgressStyle::psGradient);
    Source.SetTextPosition(TProgressTextPosition::tpInside);
    Source.SetShowText(true);
    Source.SetPrecision(3);
    Source.SetHighValueBound(7);
    Source.SetAlignment(taCenter);
    TNxProgressColumn Copy;
    Copy.Assign(&Source);
    EXPECT_EQ(Copy.GetBorderColor(), clWhite);
    EXPECT_EQ(Copy.GetMargin(), 0);
    EXPECT_EQ(Copy.GetMax(), 10);
    EXPECT_EQ(Copy.GetProgressColor(), clBlack);
    EXPECT_EQ(Copy.GetProgressStyle(), TProgressStyle::psGradient);
    EXPECT_EQ(Copy.GetTextPosition(), TProgressTextPosition::tpInside);
    EXPECT_TRUE(Copy.GetShowText());
    EXPECT_EQ(Copy.GetAlignment(), taCenter);
    EXPECT_EQ(Copy.GetPrecision(), 0);
    EXPECT_EQ(Copy.GetHighValueBound(), 0);
}
