#pragma once
// One frame of the grid in report style: rows cell by cell through the column displays, grid
// lines, empty cells to the body's bottom, the focus rectangle and the indicator; then headers,
// input row and footer through the header style; the caption of an empty grid; the post-draw
// event. Only cells that meet the canvas's clip (the invalid region) are touched, and the row
// walk runs from TopRow to the body's bottom.

#include <array>
#include <memory>
#include <vector>

#include "grid/view/GridControlTypes.h"
#include "platform/runtime/Types.h"

class TColumnDisplay;
class TNxCustomColumn;
class TNxCustomGridControl;
class TStyleDisplay;

class TGridPainter {
public:
    // Grid outlives the painter (the grid owns it).
    explicit TGridPainter(TNxCustomGridControl& Grid);
    ~TGridPainter();
    TGridPainter(const TGridPainter&) = delete;
    TGridPainter& operator=(const TGridPainter&) = delete;

    // The style object of the grid's HeaderStyle; one per style, made on first use, kept.
    TStyleDisplay* GetStyleDisplay();

    // Paints one frame on the grid's canvas, which is clipped to the invalid region.
    void Paint();

    // The steps, for the grid and tests. Rows are given with their top from the walk, since a
    // row's position is summed from TopRow and must not be summed again per cell.
    void PaintReport();
    void PaintReportRows();
    void PaintReportParts();
    void DrawFocusCell();
    void DrawRowIndicator(int ARow, int RowTop, int RowHeight, bool IsCurrent, bool IsSelected);

private:
    // A visible column of this frame, in display order, with its screen edges.
    struct TColumnSpan {
        TNxCustomColumn* Column;
        int Index;
        int Left;
        int Right;
        bool Scrollable;
    };
    void CollectColumns();
    // The clip of a cell: its rectangle with the grid lines around it, kept off the fixed columns
    // and above the body's bottom.
    TRect CellClip(const TColumnSpan& Span, const TRect& CellRect) const;
    // The pixels a cell owns: its rectangle with the grid lines above and below it. Only these
    // decide whether a cell repaints; the clip reaches one pixel further for the line ends.
    TRect OwnPixels(const TRect& CellRect) const;
    bool Touches(const TRect& Rect) const;
    void DrawCell(const TColumnSpan& Span, int ARow, int RowTop, int RowHeight);
    void DrawEmptyCell(const TColumnSpan& Span, int ARow, int RowTop);
    void DrawGrid(const TColumnSpan& Span, int ARow, TColor GridColor, const TRect& Rect);
    void PaintBeyondColumns();
    void PaintEmptyCaption();
    TColor SortedCellColor(TNxCustomColumn* Column, TColor CellColor) const;
    bool ThemedDrawing() const;

    TNxCustomGridControl& G;
    std::array<std::unique_ptr<TStyleDisplay>, 7> FStyles;
    std::vector<TColumnSpan> FSpans;
    TRect FClipBox;
    TRect FBody;
};
