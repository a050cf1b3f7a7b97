// Footer formulas over a column's cells.

#include "grid/model/FooterFormula.h"

#include <algorithm>
#include <unordered_set>

#include "grid/model/Column.h"
#include "grid/model/GridSearch.h"
#include "platform/runtime/SysUtils.h"

namespace FooterFormula {

namespace {

// Row records are looked at only when some row is hidden and that matters.
bool RowCounts(TCells& Cells, int Row, bool CheckRows) {
    return !CheckRows || GridSearch::RowSearchable(Cells.GetRow(Row), false);
}

double DistinctTexts(TCells& Cells, int ACol, bool CheckRows) {
    std::unordered_set<WideString> Seen;
    for (int Row = 0; Row < Cells.GetRowCount(); ++Row)
        if (RowCounts(Cells, Row, CheckRows))
            Seen.insert(AnsiLowerCase(Cells.GetCell(ACol, Row)->GetAsString()));
    return static_cast<double>(Seen.size());
}

} // namespace

double ColumnValue(TCells& Cells, int ACol, TFormulaKind Kind, bool VisibleOnly) {
    const int Count = Cells.GetRowCount();
    const bool CheckRows = VisibleOnly && Cells.GetVisibleRowCount() != Count;
    switch (Kind) {
    case fkCount:
        return Count;
    case fkDistinct:
        return DistinctTexts(Cells, ACol, CheckRows);
    case fkAverage:
    case fkSum:
    case fkMaximum:
    case fkMinimum: {
        double Value = 0;
        bool Any = false;
        for (int Row = 0; Row < Count; ++Row) {
            if (!RowCounts(Cells, Row, CheckRows)) continue;
            const double Cell = Cells.GetCell(ACol, Row)->GetAsFloat();
            if (!Any)
                Value = Cell;
            else if (Kind == fkMaximum)
                Value = std::max(Value, Cell);
            else if (Kind == fkMinimum)
                Value = std::min(Value, Cell);
            else
                Value += Cell;
            Any = true;
        }
        return Kind == fkAverage && Count > 0 ? Value / Count : Value;
    }
    case fkNone:
    case fkCustom:
        break;
    }
    return 0;
}

void CalculateFooters(TObject* Sender, TCells& Cells, TNxColumns& Columns, bool VisibleOnly,
                      const TFooterValueEvent& OnColumnFooterValue,
                      const TFooterValueEvent& OnFooterCalculate) {
    for (int ACol = 0; ACol < Columns.Count(); ++ACol) {
        TColumnFooter* Footer = Columns.GetItem(ACol)->GetFooter();
        const TFormulaKind Kind = Footer->GetFormulaKind();
        if (Kind == fkNone) continue;
        if (Cells.GetRowCount() == 0) {
            Footer->SetCaption(u"0");
            continue;
        }
        double Value = ColumnValue(Cells, ACol, Kind, VisibleOnly);
        if (Kind == fkCustom && OnColumnFooterValue) OnColumnFooterValue(Sender, ACol, Value);
        if (OnFooterCalculate) OnFooterCalculate(Sender, ACol, Value);
        Footer->SetCaption(FloatToStr(Value));
    }
}

double TextFormulaValue(TCells& Cells, int ACol, TFormulaKind Kind) {
    const int Count = Cells.GetRowCount();
    auto NumberAt = [&](int Row) { return StrToFloat(Cells.GetCell(ACol, Row)->GetAsString()); };
    switch (Kind) {
    case fkSum:
    case fkAverage: {
        double Sum = 0;
        for (int Row = 0; Row < Count; ++Row)
            Sum += NumberAt(Row);
        return Kind == fkAverage && Sum != 0 ? Sum / Count : Sum;
    }
    case fkMaximum: {
        double Value = 0;
        for (int Row = 0; Row < Count; ++Row)
            Value = std::max(Value, NumberAt(Row));
        return Value;
    }
    case fkMinimum: {
        double Value = Count > 0 ? NumberAt(0) : 0;
        for (int Row = 1; Row < Count; ++Row)
            Value = std::min(Value, NumberAt(Row));
        return Value;
    }
    default:
        return 0;
    }
}

} // namespace FooterFormula
