#pragma once
// The narrow face of the grid control that columns, the column collection and the cell store call.
// The grid control implements it; the model never sees more of the grid than this.

#include "grid/model/ColumnTypes.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/Font.h"

class TNxColumns;
class TNxCustomColumn;

class TNxGridHost {
public:
    virtual ~TNxGridHost() = default;

    // Repaint one area of a column (gaNone: the column over the whole client height).
    virtual void RefreshColumn(TNxCustomColumn* Column, TGridArea Area) = 0;

    // What new columns take over from the grid.
    virtual TFont* GetGridFont() = 0;
    virtual TColor GetGridColor() = 0;
    virtual TCursor GetGridCursor() = 0;

    // Geometry: the body rectangle, the client width less the indicator, the horizontal scroll
    // position, the rectangle of the header, footer or input area, and whether the row indicator
    // column is shown.
    virtual TRect GetBodyRect() = 0;
    virtual int GetInnerWidth() = 0;
    virtual int GetHorzScrollPos() = 0;
    virtual TRect GetAreaRect(TGridArea Area) = 0;
    virtual bool ShowsIndicator() = 0;

    // Component state of the grid.
    virtual bool IsReadingState() = 0;
    virtual bool IsDesigning() = 0;
    virtual bool IsDestroying() = 0;

    // The view's current, focused and hovered columns.
    virtual int GetSelectedColumn() = 0;
    virtual TNxCustomColumn* GetFocusedColumn() = 0;
    virtual TNxCustomColumn* GetHoverColumn() = 0;

    // How a cell is drawn now.
    virtual bool IsCellHighlighted(int ACol, int ARow) = 0;
    virtual TColor GetActualCellColor(int ACol, int ARow) = 0;
    virtual TColor GetActualCellFontColor(int ACol, int ARow) = 0;

    // The column collection of the grid, for columns read from a form description.
    virtual TNxColumns* GetColumns() = 0;
    // Whether the grid's owner already has a component of this name (for unique column names).
    virtual bool OwnerHasComponent(const AnsiString& Name) = 0;
};
