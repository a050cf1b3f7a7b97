#pragma once
// The floating pictures of column dragging: the drag box under the pointer and the drop arrows.

#include <functional>
#include <memory>

#include "grid/view/GridControl.h"
#include "grid/view/ScrollControl.h"

class TDefaultStyleDisplay;

// Screen cursor shown while a dragged column would be dropped nowhere.
constexpr TCursor crColumnNoDrag = 3001;

using TDragBoxEvent = std::function<void(TObject* Sender, int X, int Y)>;

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
