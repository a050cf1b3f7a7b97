// Footer formulas: every formula kind with and without hidden rows, the events, captions kept
// when a conversion fails, and the text-based formula value.

#include <gtest/gtest.h>

#include "grid/model/FakeGrid.h"
#include "grid/model/FooterFormula.h"

namespace {

// Column 0 holds numbers as float cells, column 1 texts.
class TFooterGrid {
public:
    TFooterGrid(const std::vector<double>& Numbers, const std::vector<WideString>& Texts) {
        Grid.AddColumn<TTypedColumn<ctFloat>>();
        Grid.AddColumn();
        const size_t Rows = std::max(Numbers.size(), Texts.size());
        Grid.Cells->AddRow(static_cast<int>(Rows));
        for (size_t r = 0; r < Rows; ++r) {
            if (r < Numbers.size()) Grid.Cells->GetCell(0, static_cast<int>(r))->SetAsFloat(Numbers[r]);
            if (r < Texts.size()) Grid.Cells->GetCell(1, static_cast<int>(r))->SetAsString(Texts[r]);
        }
    }
    double Value(int ACol, TFormulaKind Kind, bool VisibleOnly = false) {
        return FooterFormula::ColumnValue(*Grid.Cells, ACol, Kind, VisibleOnly);
    }
    TColumnFooter* Footer(int ACol) { return Grid.Columns->GetItem(ACol)->GetFooter(); }
    void Calculate(bool VisibleOnly = false) {
        FooterFormula::CalculateFooters(&Sender, *Grid.Cells, *Grid.Columns, VisibleOnly, OnColumnFooterValue,
                                        OnFooterCalculate);
    }
    TFixedFormatSettings Settings;
    TFakeGrid Grid;
    TObject Sender;
    TFooterValueEvent OnColumnFooterValue;
    TFooterValueEvent OnFooterCalculate;
};

} // namespace

TEST(FooterFormula, KindsOverAllAndVisibleRows) {
    TFooterGrid G({2, 4}, {u"A", u"a"});
    EXPECT_EQ(G.Value(0, fkAverage), 3);
    EXPECT_EQ(G.Value(0, fkSum), 6);
    EXPECT_EQ(G.Value(0, fkMaximum), 4);
    EXPECT_EQ(G.Value(0, fkMinimum), 2);
    EXPECT_EQ(G.Value(0, fkCount), 2);
    EXPECT_EQ(G.Value(0, fkNone), 0);
    EXPECT_EQ(G.Value(0, fkCustom), 0);

    // Hidden rows leave the sum, but the average still divides by every row.
    G.Grid.Cells->ShowRow(1, false);
    EXPECT_EQ(G.Value(0, fkAverage, true), 1);
    EXPECT_EQ(G.Value(0, fkSum, true), 2);
    EXPECT_EQ(G.Value(0, fkCount, true), 2);
    EXPECT_EQ(G.Value(0, fkAverage, false), 3);

    // With the first row hidden the extremes come from the rows that count, not from 0.
    TFooterGrid Negative({10, -3, -5}, {});
    Negative.Grid.Cells->ShowRow(0, false);
    EXPECT_EQ(Negative.Value(0, fkMaximum, true), -3);
    EXPECT_EQ(Negative.Value(0, fkMinimum, true), -5);
    EXPECT_EQ(Negative.Value(0, fkMaximum, false), 10);
    Negative.Grid.Cells->ShowRow(1, false);
    Negative.Grid.Cells->ShowRow(2, false);
    EXPECT_EQ(Negative.Value(0, fkMinimum, true), 0) << "no row counts";
}

TEST(FooterFormula, DistinctIgnoresCase) {
    TFooterGrid G({}, {u"A", u"a", u"b", u"\u00c9", u"\u00e9", u""});
    EXPECT_EQ(G.Value(1, fkDistinct), 4);
    G.Grid.Cells->ShowRow(2, false);
    EXPECT_EQ(G.Value(1, fkDistinct, true), 3);
}

TEST(FooterFormula, CalculateFootersWritesCaptionsAndRaisesEvents) {
    TFooterGrid G({1.5, 2}, {u"x", u"y"});
    G.Footer(0)->SetFormulaKind(fkSum);
    G.Footer(1)->SetFormulaKind(fkCustom);
    std::vector<int> Calculated;
    G.OnColumnFooterValue = [&](TObject* Sender, int ACol, double& Value) {
        EXPECT_EQ(Sender, &G.Sender);
        EXPECT_EQ(ACol, 1);
        EXPECT_EQ(Value, 0);
        Value = 7;
    };
    G.OnFooterCalculate = [&](TObject*, int ACol, double& Value) {
        Calculated.push_back(ACol);
        Value *= 2;
    };
    G.Calculate();
    EXPECT_EQ(G.Footer(0)->GetCaption(), u"7");
    EXPECT_EQ(G.Footer(1)->GetCaption(), u"14");
    EXPECT_EQ(Calculated, (std::vector<int>{0, 1}));

    // Without rows every formula column reads "0" and no event is asked.
    G.Grid.Cells->ClearRows();
    Calculated.clear();
    G.Calculate();
    EXPECT_EQ(G.Footer(0)->GetCaption(), u"0");
    EXPECT_EQ(G.Footer(1)->GetCaption(), u"0");
    EXPECT_TRUE(Calculated.empty());
}

TEST(FooterFormula, FailedConversionKeepsTheCaption) {
    TFooterGrid G({1}, {u"12", u"twelve"});
    G.Footer(1)->SetFormulaKind(fkSum);
    G.Footer(1)->SetCaption(u"old");
    EXPECT_THROW(G.Calculate(), EConvertError);
    EXPECT_EQ(G.Footer(1)->GetCaption(), u"old");
    // A text formula of texts needs no numbers.
    G.Footer(1)->SetFormulaKind(fkDistinct);
    G.Calculate();
    EXPECT_EQ(G.Footer(1)->GetCaption(), u"2");
}

TEST(FooterFormula, TextFormulaValue) {
    TFooterGrid G({}, {u"-3", u"-5"});
    using FooterFormula::TextFormulaValue;
    EXPECT_EQ(TextFormulaValue(*G.Grid.Cells, 1, fkMaximum), 0) << "the maximum starts from 0";
    EXPECT_EQ(TextFormulaValue(*G.Grid.Cells, 1, fkMinimum), -5);
    EXPECT_EQ(TextFormulaValue(*G.Grid.Cells, 1, fkSum), -8);
    EXPECT_EQ(TextFormulaValue(*G.Grid.Cells, 1, fkAverage), -4);
    EXPECT_EQ(TextFormulaValue(*G.Grid.Cells, 1, fkCount), 0);
    G.Grid.Cells->GetCell(1, 1)->SetAsString(u"3");
    EXPECT_EQ(TextFormulaValue(*G.Grid.Cells, 1, fkAverage), 0) << "a zero sum is not divided";
    G.Grid.Cells->GetCell(1, 1)->SetAsString(u"");
    EXPECT_THROW(TextFormulaValue(*G.Grid.Cells, 1, fkSum), EConvertError);
    TFooterGrid Empty({}, {});
    EXPECT_EQ(TextFormulaValue(*Empty.Grid.Cells, 1, fkMinimum), 0);
}
