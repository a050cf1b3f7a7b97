#pragma once
// The painter of one column's cells: value slots, canvas and cell rectangle, text layout flags,
// background, hint mark and the measuring used for best-fit sizes.

#include <functional>
#include <optional>

#include "grid/model/Column.h"
#include "grid/model/ColumnTypes.h"
#include "platform/graphics/Canvas.h"
#include "platform/runtime/Object.h"
#include "platform/windows/Controls.h"

// Common base of a column's display and play objects. The grid fills the slot of the column's
// type before each cell; the other slots keep the previous cell's values.
class TVirtualColElement : public TPersistent {
public:
    // Column is the owning column, not owned; it outlives this object.
    explicit TVirtualColElement(TNxCustomColumn* AColumn) : FColumn(AColumn) {}

    TNxCustomColumn* GetColumn() const { return FColumn; }
    // Fills the slot that matches the column's type from a cell's info: the value for Boolean,
    // date, float and integer columns (an increment column's integer too), the attached object
    // for graphic columns, the text for GUID, string and virtual columns; nothing for the others.
    void LoadValue(const TCellInfo& Info);

    bool GetAsBoolean() const { return FAsBoolean; }
    void SetAsBoolean(bool Value) { FAsBoolean = Value; }
    double GetAsDateTime() const { return FAsDateTime; }
    void SetAsDateTime(double Value) { FAsDateTime = Value; }
    double GetAsFloat() const { return FAsFloat; }
    void SetAsFloat(double Value) { FAsFloat = Value; }
    int32_t GetAsInteger() const { return FAsInteger; }
    void SetAsInteger(int32_t Value) { FAsInteger = Value; }
    const WideString& GetAsString() const { return FAsString; }
    void SetAsString(const WideString& Value) { FAsString = Value; }
    TObject* GetAsObject() const { return FAsObject; }
    void SetAsObject(TObject* Value) { FAsObject = Value; }

    // The grid's canvas and window, set before every paint; not owned.
    TCanvas* GetCanvas() const { return FCanvas; }
    void SetCanvas(TCanvas* Value) { FCanvas = Value; }
    HWND GetHandle() const { return FHandle; }
    void SetHandle(HWND Value) { FHandle = Value; }
    // The cell without its grid lines; narrowed by the column's Padding before the value is painted.
    const TRect& GetCellRect() const { return FCellRect; }
    void SetCellRect(const TRect& Value) { FCellRect = Value; }

protected:
    // The value slots as the column's text operations take them.
    TCellInfo MakeCellInfo() const;

private:
    TNxCustomColumn* FColumn;
    bool FAsBoolean = false;
    double FAsDateTime = 0;
    double FAsFloat = 0;
    int32_t FAsInteger = 0;
    WideString FAsString;
    TObject* FAsObject = nullptr;
    TCanvas* FCanvas = nullptr;
    HWND FHandle = nullptr;
    TRect FCellRect;
};

// Where a tree column's row stands in the row tree; filled by the data side for tree columns only.
struct TTreeRowData {
    int Row = -1;
    int ChildCount = 0;
    int Level = 0;
    bool Expanded = false;
    bool FirstVisible = false;
    bool LastSibling = true;
    // The parent row and the next sibling of a row, -1 for none.
    std::function<void(int Row, int& Parent, int& NextSibling)> GetRowLinks;
};

// Paints one column's cells, one after another; keeps nothing between cells. The grid calls, per
// cell: PaintBackground(cell color, true) unless default drawing is off, Paint when the cell has a
// value, DrawHintMark when the cell has a hint. Canvas and CellRect must be set before any of them.
class TColumnDisplay : public TVirtualColElement {
public:
    explicit TColumnDisplay(TNxCustomColumn* AColumn) : TVirtualColElement(AColumn) {}

    bool GetHighlighted() const { return FHighlighted; }
    void SetHighlighted(bool Value) { FHighlighted = Value; }
    bool GetIsCurrent() const { return FIsCurrent; }
    void SetIsCurrent(bool Value) { FIsCurrent = Value; }
    TColor GetHighlightedTextColor() const { return FHighlightedTextColor; }
    void SetHighlightedTextColor(TColor Value) { FHighlightedTextColor = Value; }
    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; }
    const TTreeRowData& GetTreeRowData() const { return FTreeRowData; }
    void SetTreeRowData(const TTreeRowData& Value) { FTreeRowData = Value; }

    // CellRect less 2 pixels at the left and the right.
    virtual TRect GetTextRect();
    // Text drawn without background into Rect with the column's layout flags; the brush is solid
    // afterwards.
    virtual void DrawTextRect(const WideString& Text, const TRect& Rect);
    // A 4-pixel red triangle in the top-right corner of CellRect.
    virtual void DrawHintMark();
    virtual int GetContentHeight() { return 0; }
    virtual int GetContentWidth() { return GetTextSize().cx; }
    // Width and height AsString needs when drawn into GetTextRect in the canvas font.
    virtual TSize GetTextSize();
    // Paints the value of the current cell inside CellRect.
    virtual void Paint() = 0;

    // Fills CellRect with Color, or frames it with one pixel when Fill is false.
    void PaintBackground(TColor Color, bool Fill);
    // The DrawText flags of the column's alignment, wrap kind and reading order. Ellipses only when
    // Drawing; multi-line text gets its top moved for vertical alignment.
    void PrepareDrawText(const WideString& Text, TRect& Rect, bool Drawing, uint32_t& Flags);
    // Moves Rect's top so that multi-line text of Flags sits by Alignment (bottom or centre).
    void AdjustTextRect(TRect& Rect, uint32_t Flags, TVerticalAlignment Alignment, const WideString& Text);

protected:
    // DrawText through the platform's wide call, or as 8-bit text where that is what it takes.
    int PlatformDrawText(const WideString& Text, TRect& Rect, uint32_t Flags);

private:
    bool FHighlighted = false;
    bool FIsCurrent = false;
    TColor FHighlightedTextColor = clHighlightText;
    int FImageIndex = -1;
    TTreeRowData FTreeRowData;
};

// The settings a display paints with: the column's own when it derives from Settings, else those
// of its Kind read through Slot; null for any other column.
template <typename Settings, typename Kind, typename Reader>
const Settings* SettingsOf(const TNxCustomColumn* Column, std::optional<Reader>& Slot) {
    if (auto* Own = dynamic_cast<const Settings*>(Column)) return Own;
    if (auto* K = dynamic_cast<const Kind*>(Column)) return &Slot.emplace(*K);
    return nullptr;
}
