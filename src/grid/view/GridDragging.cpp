// Column and row dragging: resize guides, column moving with the drag box and arrows, hiding by
// dropping off the header, row resizing and row moving.
#include "grid/view/NextGrid.h"

#include "grid/view/GridDragBox.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <utility>

#include "grid/view/StyleDisplayClassic.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Region.h"
#include "platform/windows/Forms.h"

namespace {
constexpr TColor ArrowRed = 0x0000FF; // #FF0000 as a TColor (BGR)
constexpr int ArrowSize = 9;
constexpr int RowMoveThreshold = 5;
constexpr int MinRowHeight = 8;

bool Inside(const TRect& R, TPoint P) {
    return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}
} // namespace

using namespace GridGesture;

// ---------------------------------------------------------------------------------------------
// Geometry

int TNxCustomGrid::ScrollFor(int Position) {
    return Position < GetColumns()->GetFixedCols() ? 0 : GetHorzScrollPos();
}

TRect TNxCustomGrid::GetColumnDropRect() {
    return TRect{0, 0, std::min(GetHeaderRect().Right, GetClientWidth()), GetBodyRect().Top};
}

bool TNxCustomGrid::MoveAllowed(int From, int To) {
    int Fixed = GetColumns()->GetFixedCols();
    return !GetOptions().Contains(goLockFixedCols) || (From >= Fixed && To >= Fixed);
}

int TNxCustomGrid::GetNearestPosition(TNxCustomColumn* Column, TPoint P) {
    TNxColumns* Columns = GetColumns();
    int F = Column->GetPosition();
    TNxCustomColumn* Prev = nullptr;
    for (int Pos = 0; Pos < Columns->Count(); ++Pos) {
        TNxCustomColumn* C = Columns->GetPositionItem(Pos);
        if (!C->GetVisible() && C != Column) continue;
        if (!Prev) Prev = C;
        int S = ScrollFor(Pos);
        int Left = C->GetLeft() - S;
        int Right = Left + C->GetWidth();
        if (P.X < Left || P.X > Right) {
            Prev = C;
            continue;
        }
        int Mid = Right - C->GetWidth() / 2;
        int Result = F;
        if (C != Column) {
            if (P.X > Mid)
                Result = F < Pos ? Pos : Pos + 1;
            else
                Result = F > Pos ? Pos : Prev->GetPosition();
        }
        // A scrollable result aimed at a column whose left edge lies under the fixed ones (a fixed
        // column, or one scrolled partly beneath them) is refused.
        if (Result >= Columns->GetFixedCols() && Left < Columns->GetFixedWidth()) Result = F;
        return Result;
    }
    return F;
}

void TNxCustomGrid::UpdateArrows(int FromPos, int ToPos, bool Force) {
    if (IsDesigning()) return;
    TNxColumns* Columns = GetColumns();
    TNxCustomColumn* T = Columns->GetPositionItem(ToPos);
    int X = T->GetLeft();
    if (FromPos == ToPos) {
        if (!Force) {
            HideArrows();
            return;
        }
    } else if (FromPos < ToPos) {
        bool FirstVisible = true;
        for (int Pos = 0; Pos < ToPos; ++Pos)
            if (Columns->GetPositionItem(Pos)->GetVisible()) FirstVisible = false;
        bool DraggedVisible = MovingColumn() && MovingColumn()->GetVisible();
        if (!(DraggedVisible && FirstVisible)) X += T->GetWidth();
    }
    TPoint ScreenPoint = ClientToScreen(TPoint{X, 0});
    if (ToPos >= Columns->GetFixedCols()) ScreenPoint.X -= GetHorzScrollPos();
    ShowPositionIndicator(ScreenPoint, false);
}

void TNxCustomGrid::ShowPositionIndicator(TPoint ScreenPoint, bool Hide) {
    if (Hide) {
        HideArrows();
        return;
    }
    FTopArrow->SetBounds(ScreenPoint.X - 4, ScreenPoint.Y - 12, ArrowSize, ArrowSize);
    FBottomArrow->SetBounds(ScreenPoint.X - 4, ScreenPoint.Y + GetHeaderSize() - 1, ArrowSize, ArrowSize);
    for (TDragArrow* Arrow : {FTopArrow, FBottomArrow}) {
        // Popups without a parent get their window only when asked for it.
        Arrow->HandleNeeded();
        Arrow->SetVisible(true);
    }
}

void TNxCustomGrid::HideArrows() {
    FTopArrow->SetVisible(false);
    FBottomArrow->SetVisible(false);
}

int TNxCustomGrid::GetNearestRow(int /*X*/, int Y) {
    TRect Body = GetBodyRect();
    if (Y < Body.Top) return -1;
    int E = Body.Top;
    int Space = GetGridSpace(lpTopBottom);
    int Count = GetRowCount();
    for (int Row = GetTopRow(); E < Body.Bottom && Row < Count; ++Row) {
        if (!GetRowVisible(Row)) continue;
        int H = GetGridStyle() == gsSlides ? GetSlideSize() : GetRowHeight(Row);
        if (E < Y && Y <= E + Space + H) return Y <= E + H / 2 ? Row : Row + 1;
        E += Space + H;
    }
    return -1;
}

// ---------------------------------------------------------------------------------------------
// Inverted guides and the row marker

void TNxCustomGrid::DrawVertGuide(int X) {
    TCanvas* Canvas = GetCanvas();
    Canvas->GetPen()->SetMode(pmNot);
    Canvas->MoveTo(X, 0);
    Canvas->LineTo(X, GetClientHeight());
    Canvas->GetPen()->SetMode(pmCopy);
}

void TNxCustomGrid::DrawHorzGuide(int Y) {
    TCanvas* Canvas = GetCanvas();
    Canvas->GetPen()->SetMode(pmNot);
    Canvas->MoveTo(0, Y);
    Canvas->LineTo(GetClientWidth(), Y);
    Canvas->GetPen()->SetMode(pmCopy);
}

int TNxCustomGrid::RowMarkerY(int Row, TRect& R) {
    R = GetGridStyle() == gsSlides ? GetSlideRect(Row) : GetRowRect(Row);
    return Row == GetTopRow() ? R.Top : R.Top - 1;
}

void TNxCustomGrid::DrawRowPosition(int Row) {
    if (Row < 0) return;
    TRect R;
    int Y = RowMarkerY(Row, R);
    int Rt = R.Right - 1;
    TCanvas* Canvas = GetCanvas();
    Canvas->GetPen()->SetColor(ArrowRed);
    Canvas->GetBrush()->SetColor(ArrowRed);
    Canvas->Polygon(
        {{0, Y - 2}, {2, Y - 2}, {2, Y - 5}, {7, Y}, {2, Y + 5}, {2, Y + 2}, {0, Y + 2}, {0, Y - 2}});
    Canvas->Polygon({{Rt, Y - 2},
                     {Rt - 2, Y - 2},
                     {Rt - 2, Y - 5},
                     {Rt - 7, Y},
                     {Rt - 2, Y + 5},
                     {Rt - 2, Y + 2},
                     {Rt, Y + 2},
                     {Rt, Y - 2}});
    Canvas->MoveTo(8, Y);
    Canvas->LineTo(Rt - 7, Y);
}

void TNxCustomGrid::RefreshRowPosition(int Row) {
    if (Row < 0) return;
    TRect R;
    int Y = RowMarkerY(Row, R);
    InvalidateArea(TRect{0, Y - 5, 7, Y + 6});
    InvalidateArea(TRect{R.Right - 7, Y - 5, R.Right + 1, Y + 6});
    InvalidateArea(TRect{7, Y, R.Right, Y + 1});
}

// ---------------------------------------------------------------------------------------------
// The gesture's getters

int TNxCustomGrid::GetResizeGuideLeft() const {
    auto* Resize = std::get_if<TColumnResize>(&FGesture);
    return Resize ? Resize->GuideLeft : -1;
}

int TNxCustomGrid::GetResizeGuideRight() const {
    auto* Resize = std::get_if<TColumnResize>(&FGesture);
    return Resize ? Resize->GuideRight : -1;
}

int TNxCustomGrid::GetRowGuideY() const {
    auto* Resize = std::get_if<TRowResize>(&FGesture);
    return Resize ? Resize->GuideY : -1;
}

int TNxCustomGrid::GetDropRow() const {
    auto* Move = std::get_if<TRowMove>(&FGesture);
    return Move ? Move->DropRow : -1;
}

// ---------------------------------------------------------------------------------------------
// Column resizing

void TNxCustomGrid::StartColumnResize(TNxCustomColumn* Column) {
    int Left = Column->GetLeft() - ScrollFor(Column->GetPosition());
    TColumnResize Resize{Column, Column->GetIndex() == 0 ? Left : Left - 1, Left + Column->GetWidth() - 1};
    DrawVertGuide(Resize.GuideLeft);
    DrawVertGuide(Resize.GuideRight);
    FGesture = Resize;
}

void TNxCustomGrid::TrackColumnResize(TColumnResize& Resize, int X) {
    TNxCustomColumn* Column = Resize.Column;
    DrawVertGuide(Resize.GuideRight);
    int S = ScrollFor(Column->GetPosition());
    int Width = Column->GetWidth();
    Resize.Delta = std::max(X + S - Column->GetLeft() - Width, Column->GetMinWidth() - Width);
    Resize.GuideRight = Column->GetLeft() + Width + Resize.Delta - 1 - S;
    DrawVertGuide(Resize.GuideRight);
}

void TNxCustomGrid::FinishColumnResize(const TColumnResize& Resize) {
    // The guides go before the width changes, while the pixels under them are still ours.
    DrawVertGuide(Resize.GuideLeft);
    DrawVertGuide(Resize.GuideRight);
    // Also without a move: the release always sets the width, so OnColumnResize follows.
    Resize.Column->SetWidth(Resize.Column->GetWidth() + Resize.Delta);
}

// ---------------------------------------------------------------------------------------------
// Row resizing

void TNxCustomGrid::StartRowResize(int Row, int Y) {
    FGesture = TRowResize{Row, Y};
    DrawHorzGuide(Y);
}

void TNxCustomGrid::TrackRowResize(TRowResize& Resize, int Y) {
    DrawHorzGuide(Resize.GuideY);
    Resize.GuideY = std::max(Y, GetRowTop(Resize.Row) + MinRowHeight);
    DrawHorzGuide(Resize.GuideY);
}

void TNxCustomGrid::FinishRowResize(const TRowResize& Resize) {
    DrawHorzGuide(Resize.GuideY);
    if (Resize.Row < GetRowCount()) SetRowHeight(Resize.Row, Resize.GuideY - GetRowTop(Resize.Row));
}

// ---------------------------------------------------------------------------------------------
// Column moving

void TNxCustomGrid::StartColumnMove(TNxCustomColumn* Column, int X, int Y) {
    FGesture = TColumnMove{Column};
    FDragBox->GetFont()->Assign(*GetFont());
    TPoint TopLeft = ClientToScreen(TPoint{Column->GetLeft(), 0});
    FDragBox->SetBounds(TopLeft.X, TopLeft.Y, Column->GetWidth(), GetHeaderSize());
    FDragBox->Show(X, Y, Column, false);
}

TNxCustomColumn* TNxCustomGrid::MovingColumn() const {
    auto* Move = std::get_if<TColumnMove>(&FGesture);
    return Move ? Move->Column : nullptr;
}

void TNxCustomGrid::DoDragBoxMove(TObject* /*Sender*/, int X, int Y) {
    TNxCustomColumn* Column = MovingColumn();
    if (!Column) return;
    TPoint P = ScreenToClient(TPoint{X, Y});
    int From = Column->GetPosition();
    if (Inside(GetColumnDropRect(), P)) {
        int To = GetNearestPosition(Column, P);
        if (MoveAllowed(From, To)) {
            if (GetColumns()->GetPositionItem(To)->GetVisible()) UpdateArrows(From, To, false);
            Screen->SetCursor(crDefault);
            return;
        }
    }
    HideArrows();
    Screen->SetCursor(crColumnNoDrag);
}

void TNxCustomGrid::DoDragBoxDrop(TObject* /*Sender*/, int X, int Y) {
    Screen->SetCursor(crDefault);
    TNxCustomColumn* Column = MovingColumn();
    // The box held the capture, so the grid's own release never ran: no header click follows.
    EndGesture();
    if (Column) {
        TPoint P = ScreenToClient(TPoint{X, Y});
        int From = Column->GetPosition();
        if (Inside(GetColumnDropRect(), P)) {
            int To = GetNearestPosition(Column, P);
            if (MoveAllowed(From, To) && To != From) GetColumns()->ChangePosition(From, To);
        } else if (GetOptions().Contains(goCanHideColumn)) {
            Column->SetVisible(false);
        }
        if (Column->GetVisible()) RefreshColumn(Column, gaHeader);
    }
    HideArrows();
}

// ---------------------------------------------------------------------------------------------
// Row moving

bool TNxCustomGrid::CanMoveRow(int FromPos, int ToPos) {
    bool Accept = true;
    if (OnRowMove) OnRowMove(this, FromPos, ToPos, Accept);
    return Accept;
}

void TNxCustomGrid::TrackRowMove(TRowMove& Move, int X, int Y) {
    int Old = Move.DropRow;
    Move.DropRow = GetNearestRow(X, Y);
    if (Move.DropRow == Old) return;
    RefreshRowPosition(Old);
    if (Move.DropRow == GetTopRow() && Move.DropRow > 0)
        GetVertScrollBar()->Prior();
    else if (Move.DropRow == GetLastRowInView(GetVisibleCount(false)) + 1)
        GetVertScrollBar()->Next();
    DrawRowPosition(Move.DropRow);
}

void TNxCustomGrid::StartRowMove(const TRowPress& Press, int X, int Y) {
    if (std::abs(X - Press.Down.X) <= RowMoveThreshold && std::abs(Y - Press.Down.Y) <= RowMoveThreshold)
        return;
    FGesture = TRowMove{Press.Row};
    Screen->SetCursor(crDrag);
}

void TNxCustomGrid::DropRow(const TRowMove& Move, int X, int Y) {
    int From = Move.Row;
    int T = GetNearestRow(X, Y);
    RefreshRowPosition(Move.DropRow);
    Screen->SetCursor(crDefault);
    if (T == -1 || From < 0 || From >= GetRowCount()) return;
    if (From < T) --T;
    if (T < 0 || T >= GetRowCount() || !CanMoveRow(From, T)) return;
    MoveRow(From, T);
    if (OnAfterRowMove) OnAfterRowMove(this, From, T);
    SetSelectedRow(T);
}

// ---------------------------------------------------------------------------------------------
// Ending a drag without applying it

void TNxCustomGrid::CancelGestures() {
    const TGridGesture Ended = std::exchange(FGesture, TIdle{});
    if (auto* Resize = std::get_if<TColumnResize>(&Ended)) {
        DrawVertGuide(Resize->GuideLeft);
        DrawVertGuide(Resize->GuideRight);
    } else if (auto* Resize = std::get_if<TRowResize>(&Ended)) {
        DrawHorzGuide(Resize->GuideY);
    } else if (auto* Move = std::get_if<TRowMove>(&Ended)) {
        RefreshRowPosition(Move->DropRow);
    }
    if (std::holds_alternative<TColumnMove>(Ended) || FDragBox->GetVisible()) {
        FDragBox->SetVisible(false);
        if (GetCaptureControl() == FDragBox) ReleaseCapture();
        HideArrows();
        EndGesture();
    }
    Screen->SetCursor(crDefault);
}
