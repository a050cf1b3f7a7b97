#pragma once
// The input counterparts of the displays: play objects that take presses, moves, releases and
// typed characters inside one cell and change its value or raise the column's own events.

#include <functional>

#include "grid/view/ColumnDisplay.h"
#include "platform/windows/Controls.h"

// The grid prepares a play for one cell (UpdateColumnPlay) before each call: Col, Row, Level,
// the value slots, Canvas, CellRect and the two events. Coordinates handed to the handlers are
// relative to the cell's top-left corner. The base does nothing.
class TColumnPlay : public TVirtualColElement {
public:
    explicit TColumnPlay(TNxCustomColumn* AColumn) : TVirtualColElement(AColumn) {}

    int GetCol() const { return FCol; }
    void SetCol(int Value) { FCol = Value; }
    int GetRow() const { return FRow; }
    void SetRow(int Value) { FRow = Value; }
    int GetLevel() const { return FLevel; }
    void SetLevel(int Value) { FLevel = Value; }

    virtual void KeyPress(WideChar& /*Key*/) {}
    virtual void MouseDown(TMouseButton /*Button*/, TShiftState /*Shift*/, int /*X*/, int /*Y*/) {}
    virtual void MouseLeave() {}
    virtual void MouseMove(TShiftState /*Shift*/, int /*X*/, int /*Y*/) {}
    virtual void MouseUp(TMouseButton /*Button*/, TShiftState /*Shift*/, int /*X*/, int /*Y*/) {}
    // Copies the display's Boolean into the play and has the column's display paint the cell.
    virtual void Show();

    // The grid sets these to write a changed value into the cell and to toggle the row.
    TNotifyEvent OnChange;
    TNotifyEvent OnExpand;

protected:
    virtual void DoChange();
    virtual void DoExpand();
    // The cell's width and height (CellRect moved to the origin).
    int CellWidth() const { return GetCellRect().Width(); }
    int CellHeight() const { return GetCellRect().Height(); }

private:
    int FCol = -1;
    int FRow = -1;
    int FLevel = 0;
};

// --- geometry shared by the plays and the displays that paint what they hit

// The expand button of a tree row: 9 by 9, left at Level * 19 + 2 from ContentLeft (the cell's
// left plus Padding), top at Height div 2 - 5 from Top.
constexpr int TreeLevelIndent = 19;
TRect TreeExpandButtonRect(int ContentLeft, int Top, int Height, int Level);
// The check box in a cell of Width by Height (cell coordinates): 13 square with visual styles,
// 11 without, placed by the alignments with margin 2 in the cell grown by 1 pixel on each side.
TRect CheckBoxPlayRect(int Width, int Height, TAlignment Alignment, TVerticalAlignment VerticalAlignment);
// The star (1-based) under X in Max glyphs of GlyphWidth placed by Alignment in Content; 0 when
// X misses them.
int RateGlyphAt(int X, const TRect& Content, int GlyphWidth, int GlyphHeight, int Max, TAlignment Alignment,
                TVerticalAlignment VerticalAlignment);
// Left and right end of text TextWidth wide drawn by Alignment in Content with the displays'
// 2-pixel side margin.
void TextSpan(const TRect& Content, int TextWidth, TAlignment Alignment, int& Left, int& Right);

// A release inside the check box or Space flips AsBoolean, writes its text form and reports the
// change; the column's own OnChange follows when the grid took the value.
class TCheckBoxColumnPlay : public TColumnPlay {
public:
    using TColumnPlay::TColumnPlay;
    void KeyPress(WideChar& Key) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // The box in cell coordinates.
    TRect GetCheckBoxRect() const;

protected:
    void DoChange() override;

private:
    void Toggle();
};

// A press on star k sets the value k; "+" and "-" step it within 0..Max; a digit sets it unless
// above Max. Each change writes the number as text and reports it.
class TRateColumnPlay : public TColumnPlay {
public:
    using TColumnPlay::TColumnPlay;
    void KeyPress(WideChar& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // The star under a cell point, 0 for none.
    int GetGlyphAt(int X, int Y) const;

private:
    int GetMax() const;
    void SetValue(int Value);
};

// The link is the drawn text; over it the screen cursor is the hand, elsewhere the column's
// Cursor; leaving the cell restores the default. A release over it raises the column's OnClick.
class THyperlinkColumnPlay : public TColumnPlay {
public:
    using TColumnPlay::TColumnPlay;
    void MouseLeave() override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool IsOverLink(int X, int Y) const;
};

// Finds the link under the pointer in the laid-out markup: the hand over a link, the column's
// Cursor elsewhere, the default after leaving; a release over a link raises the column's OnClick
// with its target.
class THtmlColumnPlay : public TColumnPlay {
public:
    using TColumnPlay::TColumnPlay;
    void MouseLeave() override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // Whether a link is under the cell point, and its target.
    bool LinkAt(int X, int Y, WideString& Href) const;
};

// A release on the expand button, "+" or "-" toggles the row, unless the column's ExpandLock.
class TTreeColumnPlay : public TColumnPlay {
public:
    using TColumnPlay::TColumnPlay;
    void KeyPress(WideChar& Key) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    TRect GetButtonRect() const;

private:
    bool Locked() const;
};
