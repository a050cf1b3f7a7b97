#pragma once
// Footer formulas: the value a column's footer shows, computed from the column's cells.

#include <functional>

#include "grid/model/Cells.h"
#include "grid/model/Columns.h"

// A footer value event: (Sender, ACol, var Value).
using TFooterValueEvent = std::function<void(TObject* Sender, int ACol, double& Value)>;

namespace FooterFormula {

// The value of Kind over column ACol; with VisibleOnly hidden rows do not count. fkSum adds the
// AsFloat of the rows that count; fkAverage divides that sum by every row, hidden ones too;
// fkCount is every row; fkDistinct the number of different texts, ignoring case, among the
// rows that count; fkMaximum and fkMinimum the extreme AsFloat among them (0 when none
// counts); fkNone and fkCustom give 0. A cell that is no number raises the conversion error.
double ColumnValue(TCells& Cells, int ACol, TFormulaKind Kind, bool VisibleOnly);

// Writes the footer caption of every column whose formula is not fkNone, in index order: "0"
// without rows, else FloatToStr of the value, which OnColumnFooterValue supplies for fkCustom
// (0 if it leaves it) and OnFooterCalculate may change for every kind. A conversion error
// raises before that column's caption is written, so it keeps its old text.
void CalculateFooters(TObject* Sender, TCells& Cells, TNxColumns& Columns, bool VisibleOnly,
                      const TFooterValueEvent& OnColumnFooterValue,
                      const TFooterValueEvent& OnFooterCalculate);

// The grid's GetFormulaValue: the cell texts of column ACol read by StrToFloat over every row.
// fkSum adds them; fkAverage divides that sum by the row count unless it is 0; fkMaximum starts
// from 0 and keeps the largest; fkMinimum starts from the first row and keeps the smallest;
// every other kind gives 0. A text that is no number raises the conversion error.
double TextFormulaValue(TCells& Cells, int ACol, TFormulaKind Kind);

} // namespace FooterFormula
