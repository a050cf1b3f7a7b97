// Column and row dragging: resize guides, column moving with the drag box and arrows, hiding by
// dropping off the header, row resizing and row moving.
#include "grid/view/GridDragging.h"

#include <algorithm>
#include <array>
#include <cstdlib>

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

// ---------------------------------------------------------------------------------------------
// Geometry

TNxDraggingGrid::TNxDraggingGrid(TComponent* AOwner) : TNxEditingGrid(AOwner) {
    FDragBox = new TColumnDragBox(this);
    FDragBox->OnDragBoxMove = [this](TObject* Sender, int X, int Y) { DoDragBoxMove(Sender, X, Y); };
    FDragBox->OnDragBoxDrop = [this](TObject* Sender, int X, int Y) { DoDragBoxDrop(Sender, X, Y); };
    FTopArrow = new TDragArrow(this);
    FBottomArrow = new TDragArrow(this);
}

TNxDraggingGrid::~TNxDraggingGrid() {
    FDragBox->OnDragBoxMove = nullptr;
    FDragBox->OnDragBoxDrop = nullptr;
}

void TNxDraggingGrid::CreateWnd() {
    TNxEditingGrid::CreateWnd();
    FTopArrow->SetArrowKind(akDown);
    FBottomArrow->SetArrowKind(akUp);
}

int TNxDraggingGrid::ScrollFor(int Position) {
    return Position < GetColumns()->GetFixedCols() ? 0 : GetHorzScrollPos();
}

TRect TNxDraggingGrid::GetColumnDropRect() {
    return TRect{0, 0, std::min(GetHeaderRect().Right, GetClientWidth()), GetBodyRect().Top};
}

bool TNxDraggingGrid::MoveAllowed(int From, int To) {
    int Fixed = GetColumns()->GetFixedCols();
    return !GetOptions().Contains(goLockFixedCols) || (From >= Fixed && To >= Fixed);
}

int TNxDraggingGrid::GetNearestPosition(TNxCustomColumn* Column, TPoint P) {
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

void TNxDraggingGrid::UpdateArrows(int FromPos, int ToPos, bool Force) {
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
        bool DraggedVisible = FMovingColumn && FMovingColumn->GetVisible();
        if (!(DraggedVisible && FirstVisible)) X += T->GetWidth();
    }
    TPoint ScreenPoint = ClientToScreen(TPoint{X, 0});
    if (ToPos >= Columns->GetFixedCols()) ScreenPoint.X -= GetHorzScrollPos();
    ShowPositionIndicator(ScreenPoint, false);
}

void TNxDraggingGrid::ShowPositionIndicator(TPoint ScreenPoint, bool Hide) {
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

void TNxDraggingGrid::HideArrows() {
    FTopArrow->SetVisible(false);
    FBottomArrow->SetVisible(false);
}

int TNxDraggingGrid::GetNearestRow(int /*X*/, int Y) {
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

void TNxDraggingGrid::DrawVertGuide(int X) {
    TCanvas* Canvas = GetCanvas();
    Canvas->GetPen()->SetMode(pmNot);
    Canvas->MoveTo(X, 0);
    Canvas->LineTo(X, GetClientHeight());
    Canvas->GetPen()->SetMode(pmCopy);
}

void TNxDraggingGrid::DrawHorzGuide(int Y) {
    TCanvas* Canvas = GetCanvas();
    Canvas->GetPen()->SetMode(pmNot);
    Canvas->MoveTo(0, Y);
    Canvas->LineTo(GetClientWidth(), Y);
    Canvas->GetPen()->SetMode(pmCopy);
}

int TNxDraggingGrid::RowMarkerY(int Row, TRect& R) {
    R = GetGridStyle() == gsSlides ? GetSlideRect(Row) : GetRowRect(Row);
    return Row == GetTopRow() ? R.Top : R.Top - 1;
}

void TNxDraggingGrid::DrawRowPosition(int Row) {
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

void TNxDraggingGrid::RefreshRowPosition() {
    if (FOldDropRow < 0) return;
    TRect R;
    int Y = RowMarkerY(FOldDropRow, R);
    InvalidateArea(TRect{0, Y - 5, 7, Y + 6});
    InvalidateArea(TRect{R.Right - 7, Y - 5, R.Right + 1, Y + 6});
    InvalidateArea(TRect{7, Y, R.Right, Y + 1});
}

// ---------------------------------------------------------------------------------------------
// Column resizing

void TNxDraggingGrid::StartColumnResize(TNxCustomColumn* Column, int X) {
    TNxEditingGrid::StartColumnResize(Column, X);
    FResizeColumn = Column;
    FResizeDelta = 0;
    int Left = Column->GetLeft() - ScrollFor(Column->GetPosition());
    FResizeGuideLeft = Column->GetIndex() == 0 ? Left : Left - 1;
    FResizeGuideRight = Left + Column->GetWidth() - 1;
    DrawVertGuide(FResizeGuideLeft);
    DrawVertGuide(FResizeGuideRight);
}

void TNxDraggingGrid::TrackColumnResize(int X) {
    if (!FResizeColumn) return;
    FGridState.Include(gtColumnResizing);
    DrawVertGuide(FResizeGuideRight);
    int S = ScrollFor(FResizeColumn->GetPosition());
    int Width = FResizeColumn->GetWidth();
    FResizeDelta = X + S - FResizeColumn->GetLeft() - Width;
    if (Width + FResizeDelta < FResizeColumn->GetMinWidth())
        FResizeDelta = FResizeColumn->GetMinWidth() - Width;
    FResizeGuideRight = FResizeColumn->GetLeft() + Width + FResizeDelta - 1 - S;
    DrawVertGuide(FResizeGuideRight);
}

void TNxDraggingGrid::FinishColumnResize(int X) {
    TNxCustomColumn* Column = FResizeColumn;
    int Delta = FResizeDelta;
    // The guides go before the width changes, while the pixels under them are still ours.
    if (Column) {
        DrawVertGuide(FResizeGuideLeft);
        DrawVertGuide(FResizeGuideRight);
    }
    FResizeColumn = nullptr;
    FResizeDelta = 0;
    TNxEditingGrid::FinishColumnResize(X);
    // Also without a move: the release always sets the width, so OnColumnResize follows.
    if (Column) Column->SetWidth(Column->GetWidth() + Delta);
}

// ---------------------------------------------------------------------------------------------
// Row resizing

void TNxDraggingGrid::StartRowResize(int Row, int Y) {
    TNxEditingGrid::StartRowResize(Row, Y);
    FResizingRow = Row;
    FRowGuide = TPoint{0, Y};
    DrawHorzGuide(Y);
}

void TNxDraggingGrid::TrackRowResize(int Y) {
    if (FResizingRow < 0) return;
    DrawHorzGuide(FRowGuide.Y);
    FRowGuide.Y = std::max(Y, GetRowTop(FResizingRow) + MinRowHeight);
    DrawHorzGuide(FRowGuide.Y);
}

void TNxDraggingGrid::FinishRowResize(int Y) {
    int Row = FResizingRow;
    if (Row >= 0) DrawHorzGuide(FRowGuide.Y);
    FResizingRow = -1;
    TNxEditingGrid::FinishRowResize(Y);
    if (Row >= 0 && Row < GetRowCount()) SetRowHeight(Row, FRowGuide.Y - GetRowTop(Row));
}

// ---------------------------------------------------------------------------------------------
// Column moving

void TNxDraggingGrid::StartColumnMove(TNxCustomColumn* Column, int X, int Y) {
    if (FGridState.Contains(gtColumnMoving) || !Column) return;
    FGridState.Include(gtColumnMoving);
    FMovingColumn = Column;
    FDragBox->GetFont()->Assign(*GetFont());
    TPoint TopLeft = ClientToScreen(TPoint{Column->GetLeft(), 0});
    FDragBox->SetBounds(TopLeft.X, TopLeft.Y, Column->GetWidth(), GetHeaderSize());
    FDragBox->Show(X, Y, Column, false);
}

void TNxDraggingGrid::DoDragBoxMove(TObject* /*Sender*/, int X, int Y) {
    if (!FMovingColumn) return;
    TPoint P = ScreenToClient(TPoint{X, Y});
    int From = FMovingColumn->GetPosition();
    if (Inside(GetColumnDropRect(), P)) {
        int To = GetNearestPosition(FMovingColumn, P);
        if (MoveAllowed(From, To)) {
            if (GetColumns()->GetPositionItem(To)->GetVisible()) UpdateArrows(From, To, false);
            Screen->SetCursor(crDefault);
            return;
        }
    }
    HideArrows();
    Screen->SetCursor(crColumnNoDrag);
}

void TNxDraggingGrid::DoDragBoxDrop(TObject* /*Sender*/, int X, int Y) {
    Screen->SetCursor(crDefault);
    TNxCustomColumn* Column = FMovingColumn;
    FMovingColumn = nullptr;
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
    // The box held the capture, so the grid's own release never ran: no header click follows.
    EndHeaderGesture();
    HideArrows();
    FGridState.Exclude(gtColumnMoving);
}

// ---------------------------------------------------------------------------------------------
// Row moving and the gesture's mouse path

bool TNxDraggingGrid::CanMoveRow(int FromPos, int ToPos) {
    bool Accept = true;
    if (OnRowMove) OnRowMove(this, FromPos, ToPos, Accept);
    return Accept;
}

void TNxDraggingGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TNxEditingGrid::MouseDown(Button, Shift, X, Y);
    FDownRow = -1;
    if (Button == mbLeft && !Shift.Contains(ssDouble) && GetOptions().Contains(goRowMoving) &&
        GetGridArea(TPoint{X, Y}) == gaBody) {
        int Row = GetRowAtPos(X, Y);
        if (Row >= 0 && Row < GetRowCount()) {
            FDownRow = Row;
            FRowDownPoint = TPoint{X, Y};
        }
    }
}

void TNxDraggingGrid::MouseMove(TShiftState Shift, int X, int Y) {
    if (FDownRow != -1 && GetOptions().Contains(goRowMoving) && Shift.Contains(ssLeft)) {
        if (!FGridState.Contains(gtRowMoving) && (std::abs(X - FRowDownPoint.X) > RowMoveThreshold ||
                                                  std::abs(Y - FRowDownPoint.Y) > RowMoveThreshold)) {
            FGridState.Include(gtRowMoving);
            FDropRow = -1;
            Screen->SetCursor(crDrag);
        }
        if (FGridState.Contains(gtRowMoving)) {
            FOldDropRow = FDropRow;
            FDropRow = GetNearestRow(X, Y);
            if (FDropRow != FOldDropRow) {
                RefreshRowPosition();
                if (FDropRow == GetTopRow() && FDropRow > 0)
                    GetVertScrollBar()->Prior();
                else if (FDropRow == GetLastRowInView(GetVisibleCount(false)) + 1)
                    GetVertScrollBar()->Next();
                DrawRowPosition(FDropRow);
            }
            return;
        }
    }
    TNxEditingGrid::MouseMove(Shift, X, Y);
}

void TNxDraggingGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FGridState.Contains(gtRowMoving)) {
        int From = FDownRow;
        int T = GetNearestRow(X, Y);
        FOldDropRow = FDropRow;
        RefreshRowPosition();
        FGridState.Exclude(gtRowMoving);
        FDownRow = -1;
        FDropRow = -1;
        Screen->SetCursor(crDefault);
        // The press cell is forgotten, so the release is no click on a cell.
        EndHeaderGesture();
        TNxEditingGrid::MouseUp(Button, Shift, X, Y);
        if (T == -1 || From < 0 || From >= GetRowCount()) return;
        if (From < T) --T;
        if (T < 0 || T >= GetRowCount() || !CanMoveRow(From, T)) return;
        MoveRow(From, T);
        if (OnAfterRowMove) OnAfterRowMove(this, From, T);
        SetSelectedRow(T);
        return;
    }
    FDownRow = -1;
    TNxEditingGrid::MouseUp(Button, Shift, X, Y);
}

void TNxDraggingGrid::ApplicationActivated(bool Active) {
    if (!Active) CancelGestures();
    TNxEditingGrid::ApplicationActivated(Active);
}

void TNxDraggingGrid::CancelGestures() {
    if (FResizeColumn) {
        DrawVertGuide(FResizeGuideLeft);
        DrawVertGuide(FResizeGuideRight);
        FResizeColumn = nullptr;
        FResizeDelta = 0;
        TNxEditingGrid::FinishColumnResize(0);
    }
    if (FResizingRow >= 0) {
        DrawHorzGuide(FRowGuide.Y);
        FResizingRow = -1;
        TNxEditingGrid::FinishRowResize(0);
    }
    if (FGridState.Contains(gtRowMoving)) {
        FOldDropRow = FDropRow;
        RefreshRowPosition();
        FGridState.Exclude(gtRowMoving);
    }
    FDownRow = -1;
    FDropRow = -1;
    if (FGridState.Contains(gtColumnMoving) || FDragBox->GetVisible()) {
        FMovingColumn = nullptr;
        FDragBox->SetVisible(false);
        if (GetCaptureControl() == FDragBox) ReleaseCapture();
        HideArrows();
        FGridState.Exclude(gtColumnMoving);
        EndHeaderGesture();
    }
    Screen->SetCursor(crDefault);
}

void TNxDraggingGrid::KeyDown(Word& Key, TShiftState Shift) {
    bool Gesture = FResizeColumn || FResizingRow >= 0 || FGridState.Contains(gtRowMoving) ||
                   FGridState.Contains(gtColumnMoving);
    if (Key == VK_ESCAPE && Gesture) {
        CancelGestures();
        Key = 0;
        return;
    }
    TNxEditingGrid::KeyDown(Key, Shift);
}

void TNxDraggingGrid::DoExit() {
    CancelGestures();
    TNxEditingGrid::DoExit();
}
