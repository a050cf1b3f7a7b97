// The floating pictures of column dragging: the drag box under the pointer and the drop arrows.
#include "grid/view/GridDragBox.h"

#include <array>

#include "grid/view/StyleDisplayClassic.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Region.h"

namespace {
constexpr TColor ArrowRed = 0x0000FF; // #FF0000 as a TColor (BGR)
constexpr int ArrowSize = 9;
} // namespace

// ---------------------------------------------------------------------------------------------
// TColumnDragBox

TColumnDragBox::TColumnDragBox(TNxCustomGridControl* AOwner)
    : TNxFlyoutControl(AOwner), FGrid(AOwner), FStyleDisplay(std::make_unique<TDefaultStyleDisplay>(AOwner)) {
    FVisible = false;
}

TColumnDragBox::~TColumnDragBox() = default;

void TColumnDragBox::Show(int /*X*/, int /*Y*/, TNxCustomColumn* Column, bool Hidden) {
    FStyleDisplay->SetShowMarks(false);
    GetFont()->Assign(*FGrid->GetFont());
    if (!Hidden) SetVisible(true);
    FDragColumn = Column;
    // Every further move and the release come here, wherever the pointer goes.
    SetCaptureControl(this);
}

void TColumnDragBox::MouseMove(TShiftState Shift, int X, int Y) {
    TNxFlyoutControl::MouseMove(Shift, X, Y);
    if (!FDragColumn) return;
    TPoint P = ClientToScreen(TPoint{X, Y});
    if (OnDragBoxMove) OnDragBoxMove(this, P.X, P.Y);
    int W = GetClientWidth();
    int H = GetClientHeight();
    SetBounds(P.X - W / 2, P.Y - H + 4, GetWidth(), GetHeight());
}

void TColumnDragBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TNxFlyoutControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || !FDragColumn) return;
    TPoint P = ClientToScreen(TPoint{X, Y});
    SetVisible(false);
    if (GetCaptureControl() == this) ReleaseCapture();
    FDragColumn = nullptr;
    if (OnDragBoxDrop) OnDragBoxDrop(this, P.X, P.Y);
}

void TColumnDragBox::Paint() {
    TCanvas* Canvas = GetCanvas();
    TRect R = GetClientRect();
    if (FDragColumn) {
        FStyleDisplay->SetCanvas(Canvas);
        Canvas->GetFont()->Assign(*GetFont());
        FStyleDisplay->DrawHeader(FDragColumn, R);
    }
    Canvas->GetPen()->SetColor(clBlack);
    Canvas->MoveTo(0, R.Bottom - 1);
    Canvas->LineTo(R.Right - 1, R.Bottom - 1);
    Canvas->LineTo(R.Right - 1, -1);
}

// ---------------------------------------------------------------------------------------------
// TDragArrow

TDragArrow::TDragArrow(TComponent* AOwner) : TNxFlyoutControl(AOwner) {
    FVisible = false;
    SetBounds(0, 0, ArrowSize, ArrowSize);
}

void TDragArrow::SetArrowKind(TArrowKind Value) {
    FArrowKind = Value;
    static constexpr std::array<TPoint, 8> Up{
        {{-1, 5}, {4, -1}, {9, 5}, {6, 5}, {6, 9}, {3, 9}, {3, 5}, {0, 5}}};
    static constexpr std::array<TPoint, 8> Down{
        {{5, 0}, {3, 0}, {3, 4}, {0, 4}, {4, 9}, {9, 4}, {6, 4}, {6, 0}}};
    static constexpr std::array<TPoint, 8> None{};
    const auto& Points = Value == akUp ? Up : Value == akDown ? Down : None;
    TRegion Shape = TRegion::FromPolygon(std::span<const TPoint>(Points.data(), Points.size()), WINDING);
    SetWindowRgn(&Shape, true);
}

void TDragArrow::Paint() {
    GetCanvas()->GetBrush()->SetColor(ArrowRed);
    GetCanvas()->FillRect(GetClientRect());
}
