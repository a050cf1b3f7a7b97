#pragma once
// Column and row dragging: the resize guides, the drag box, the drop arrows and the row marker.

#include <functional>
#include <memory>

#include "grid/view/GridEditing.h"
#include "grid/view/ScrollControl.h"

class TDefaultStyleDisplay;

// Screen cursor shown while a dragged column would be dropped nowhere.
constexpr TCursor crColumnNoDrag = 3001;

using TDragBoxEvent = std::function<void(TObject* Sender, int X, int Y)>;
using TRowMoveEvent = std::function<void(TObject* Sender, int FromPos, int ToPos, bool& Accept)>;
using TAfterRowMoveEvent = std::function<void(TObject* Sender, int FromPos, int ToPos)>;

// A floating picture of a column header that follows the pointer while the column is dragged.
// Holds the pointer capture from Show until the release.
class TColumnDragBox : public TNxFlyoutControl {
public:
    // AOwner is the grid; its font is used for the caption.
    explicit TColumnDragBox(TNxCustomGridControl* AOwner);
    ~TColumnDragBox() override;

    TNxCustomColumn* GetDragColumn() const { return FDragColumn; }
    // Shows the box (unless Hidden) for Column and takes the pointer capture.
    void Show(int X, int Y, TNxCustomColumn* Column, bool Hidden);

    TDragBoxEvent OnDragBoxMove; // screen coordinates
    TDragBoxEvent OnDragBoxDrop; // screen coordinates

    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

protected:
    void Paint() override;

private:
    TNxCustomGridControl* FGrid; // not owned
    std::unique_ptr<TDefaultStyleDisplay> FStyleDisplay;
    TNxCustomColumn* FDragColumn = nullptr;
};

enum TArrowKind { akNone, akUp, akDown };

// A 9 by 9 red arrow marking where a dragged column would land.
class TDragArrow : public TNxFlyoutControl {
public:
    explicit TDragArrow(TComponent* AOwner);
    TArrowKind GetArrowKind() const { return FArrowKind; }
    void SetArrowKind(TArrowKind Value);

protected:
    void Paint() override;

private:
    TArrowKind FArrowKind = akNone;
};

// A grid whose columns are resized, moved and hidden, and whose rows are resized and moved,
// by dragging. Every gesture ends on release, focus loss, deactivation or Esc, with the
// default cursor back. Layout changes are reported through OnColumnResize, OnColumnMove and
// the columns' own change reports, so a window can save the layout.
class TNxDraggingGrid : public TNxEditingGrid {
public:
    explicit TNxDraggingGrid(TComponent* AOwner);
    ~TNxDraggingGrid() override;

    // The band a dragged column can be dropped in: the header, up to the body top.
    TRect GetColumnDropRect();
    // The display position at which Column would land when dropped at client point P.
    int GetNearestPosition(TNxCustomColumn* Column, TPoint P);
    void UpdateArrows(int FromPos, int ToPos, bool Force);
    // Top arrow's tip 3 pixels above ScreenPoint, bottom arrow's tip on the header's last row.
    void ShowPositionIndicator(TPoint ScreenPoint, bool Hide);
    void HideArrows();
    // The row before which a row dropped at (X, Y) would be inserted; -1 above the body or
    // past the rows.
    int GetNearestRow(int X, int Y);

    TColumnDragBox* GetDragBox() const { return FDragBox; }
    TDragArrow* GetTopArrow() const { return FTopArrow; }
    TDragArrow* GetBottomArrow() const { return FBottomArrow; }
    int GetResizeGuideLeft() const { return FResizeGuideLeft; }
    int GetResizeGuideRight() const { return FResizeGuideRight; }
    int GetRowGuideY() const { return FRowGuide.Y; }
    int GetDropRow() const { return FDropRow; }

    TRowMoveEvent OnRowMove;
    TAfterRowMoveEvent OnAfterRowMove;

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void DoExit() override;
    void ApplicationActivated(bool Active) override;

protected:
    void CreateWnd() override;
    void StartColumnResize(TNxCustomColumn* Column, int X) override;
    void TrackColumnResize(int X) override;
    void FinishColumnResize(int X) override;
    void StartRowResize(int Row, int Y) override;
    void TrackRowResize(int Y) override;
    void FinishRowResize(int Y) override;
    void StartColumnMove(TNxCustomColumn* Column, int X, int Y) override;

    virtual void DoDragBoxMove(TObject* Sender, int X, int Y);
    virtual void DoDragBoxDrop(TObject* Sender, int X, int Y);
    virtual bool CanMoveRow(int FromPos, int ToPos);

private:
    // Whether moving from position From to To is allowed by goLockFixedCols.
    bool MoveAllowed(int From, int To);
    int ScrollFor(int Position);
    void DrawVertGuide(int X);
    void DrawHorzGuide(int Y);
    void DrawRowPosition(int Row);
    void RefreshRowPosition();
    int RowMarkerY(int Row, TRect& R);
    // Ends any gesture without applying it: guides erased, box and arrows hidden.
    void CancelGestures();

    TColumnDragBox* FDragBox = nullptr; // owned as a component
    TDragArrow* FTopArrow = nullptr;
    TDragArrow* FBottomArrow = nullptr;
    TNxCustomColumn* FResizeColumn = nullptr;
    int FResizeDelta = 0;
    int FResizeGuideLeft = -1;
    int FResizeGuideRight = -1;
    int FResizingRow = -1;
    TPoint FRowGuide{-1, -1};
    int FDownRow = -1;
    TPoint FRowDownPoint{-1, -1};
    int FDropRow = -1;
    int FOldDropRow = -1;
    TNxCustomColumn* FMovingColumn = nullptr;
};
