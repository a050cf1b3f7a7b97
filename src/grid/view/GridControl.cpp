// The grid component, view half: layout, rows on the vertical bar, selection and invalidation.
#include "grid/view/GridControl.h"
#include "grid/view/ColumnDisplay.h"
#include "grid/view/ColumnDisplayFactory.h"
#include "grid/view/GridAccessibility.h"
#include "grid/view/GridPaint.h"
#include "grid/view/StyleDisplay.h"

#include <algorithm>

#include "drawing/SharedDraw.h"
#include "drawing/ThemesSupport.h"
#include "platform/graphics/Canvas.h"
#include "platform/runtime/ScopedChange.h"

namespace {
constexpr int IndicatorWidth = 12;
// Space added around the header and input row texts.
constexpr int InputExtra = 6;
} // namespace

TNxCustomGridControl::TNxCustomGridControl(TComponent* AOwner) : TNxScrollControl(AOwner) {
    RegisterKindDisplays();
    FColumns = std::make_unique<TNxColumns>(this);
    FColumns->OnColumnChange = [this](TObject* Sender, TNxCustomColumn* Column, TColumnChangeKind Kind,
                                      int Param) { DoColumnChange(Sender, Column, Kind, Param); };
    FColumns->OnColumnsChange = [this](TObject* Sender, TColumnsOperation Operation, int Value1, int Value2) {
        DoColumnsChange(Sender, Operation, Value1, Value2);
    };
    FColumns->OnColumnsRepaint = [this](TObject* Sender, TColumnsOperation Operation, int, int) {
        DoColumnsRepaint(Sender, Operation);
    };
    RecalculateGridSpace();
    FBorderStyle = bsSingle;
    SetBounds(0, 0, 250, 150);
    SetTabStop(true);
}

TNxCustomGridControl::~TNxCustomGridControl() {
    // Columns freed now must not report to a grid half gone.
    FColumns->OnColumnChange = nullptr;
    FColumns->OnColumnsChange = nullptr;
    FColumns->OnColumnsRepaint = nullptr;
    FColumns.reset();
    CloseHeaderTheme();
}

// ---------------------------------------------------------------------------------------------
// Properties

void TNxCustomGridControl::SetAppearanceOptions(TAppearanceOptions Value) {
    FAppearanceOptions = Value;
    RecalculateGridSpace();
    Invalidate();
    RedrawBorder();
}

void TNxCustomGridControl::SetGridCaption(const WideString& Value) {
    FCaption = Value;
    TRect Body = GetBodyRect();
    Body.Right = GetClientWidth();
    InvalidateArea(Body);
}

void TNxCustomGridControl::SetEnableVisualStyles(bool Value) {
    FEnableVisualStyles = Value;
    Invalidate();
    RedrawBorder();
}

void TNxCustomGridControl::SetFixedCols(int Value) {
    FColumns->SetFixedCols(Value);
    Invalidate();
}

void TNxCustomGridControl::SetFooterSize(int Value) {
    FFooterSize = Value;
    Invalidate();
}

void TNxCustomGridControl::SetGridLinesColor(TColor Value) {
    FGridLinesColor = Value;
    Invalidate();
}

void TNxCustomGridControl::SetGridLinesStyle(TGridLinesStyle Value) {
    FGridLinesStyle = Value;
    RecalculateGridSpace();
    Invalidate();
}

void TNxCustomGridControl::SetGridStyle(TGridStyle Value) {
    if (Value == FGridStyle) return;
    FGridStyle = Value;
    GridStyleChanged();
    if (Value == gsSlides) {
        EndEditing();
        FInputSelected = false;
    }
    Invalidate();
    RepositionEditor();
    UpdateVertScrollBar();
    UpdateHorzScrollBar();
}

void TNxCustomGridControl::SetHeaderSize(int Value) {
    FHeaderSize = Value;
    Invalidate();
    RepositionEditor();
}

void TNxCustomGridControl::SetHeaderStyle(THeaderStyle Value) {
    if (Value == FHeaderStyle) return;
    FHeaderStyle = Value;
    RecreateStyleDisplay();
}

void TNxCustomGridControl::SetHideScrollBar(bool Value) {
    FHideScrollBar = Value;
    GetVertScrollBar()->SetAutoHide(Value);
}

void TNxCustomGridControl::SetHighlightedTextColor(TColor Value) {
    FHighlightedTextColor = Value;
    RefreshSelectedCells();
}

void TNxCustomGridControl::SetInactiveSelectionColor(TColor Value) {
    FInactiveSelectionColor = Value;
    Invalidate();
}

void TNxCustomGridControl::SetInputSize(int Value) {
    FInputSize = Value;
    Invalidate();
}

void TNxCustomGridControl::SetOptions(TGridOptions Value) {
    bool IndicatorChanged = Value.Contains(goIndicator) != FOptions.Contains(goIndicator);
    FOptions = Value;
    // Column left edges start at the body's left, which the indicator moves.
    if (IndicatorChanged) FColumns->DoUpdateColumns();
    RecalculateGridSpace();
    Invalidate();
    RepositionEditor();
    UpdateHorzScrollBar();
}

void TNxCustomGridControl::SetRowSize(int Value) {
    if (Value <= 0) return;
    FRowSize = Value;
    RefreshArea(gaBody);
    RefreshArea(gaInput);
    RefreshArea(gaIndicator);
    RepositionEditor();
}

void TNxCustomGridControl::SetSlidesOptions(TSlideOptions Value) {
    FSlidesOptions = Value;
    Invalidate();
}

void TNxCustomGridControl::SetSlideSelectionColor(TColor Value) {
    FSlideSelectionColor = Value;
    Invalidate();
}

void TNxCustomGridControl::SetSlideSize(int Value) {
    FSlideSize = Value;
    UpdateVertScrollBar();
    Invalidate();
}

void TNxCustomGridControl::SetSortedStyle(TSortedStyle Value) {
    FSortedStyle = Value;
    Invalidate();
}

void TNxCustomGridControl::SetSelectedColumn(int Index) {
    if (FColumns->Count() > 0 && Index >= 0 && Index < FColumns->Count())
        SelectCell(Index, FSelectedRow, true, {});
}

void TNxCustomGridControl::SetSelectedRow(int Index) {
    if (GetRowCount() > 0 && Index >= -1 && Index < GetRowCount()) {
        SetInputSelected(false);
        SelectCell(FSelectedColumn, Index, true, {});
    }
}

void TNxCustomGridControl::SetRowCount(int Count) {
    if (Count < 0) return;
    int Current = GetRowCount();
    if (Count > Current) {
        AddRow(Count - Current);
        return;
    }
    for (int Row = Current - 1; Row >= Count; --Row)
        DeleteRow(Row);
}

// ---------------------------------------------------------------------------------------------
// Default data answers

int TNxCustomGridControl::GetRowHeight(int) {
    return FRowSize;
}
bool TNxCustomGridControl::GetRowVisible(int) {
    return true;
}
bool TNxCustomGridControl::AllRowsVisible() {
    return GetVisibleRows() == GetRowCount();
}
TColor TNxCustomGridControl::GetCellColor(int ACol, int) {
    return FColumns->Exists(ACol) ? FColumns->GetItem(ACol)->GetColor() : GetColor();
}
bool TNxCustomGridControl::IsCellEmpty(int, int) {
    return false;
}
void TNxCustomGridControl::DeleteRow(int) {
    EndEditing();
}

void TNxCustomGridControl::ClearRows() {
    FTopRow = 0;
    FSelectedColumn = 0;
    FSelectedRow = -1;
    EndEditing();
}

int TNxCustomGridControl::GetSelectedCount() {
    int Count = 0;
    for (int Row = 0; Row < GetRowCount(); ++Row)
        if (GetSelected(Row)) ++Count;
    return Count;
}

void TNxCustomGridControl::ClearSelection() {
    for (int Row = 0; Row < GetRowCount(); ++Row)
        if (GetSelected(Row)) SetSelected(Row, false);
}

int TNxCustomGridControl::GetNextSelected(int From) {
    for (int Row = std::max(From, 0); Row < GetRowCount(); ++Row)
        if (GetSelected(Row)) return Row;
    return -1;
}

void TNxCustomGridControl::ClearSelectionOutside(int Low, int High) {
    for (int Row = GetNextSelected(0); Row >= 0; Row = GetNextSelected(Row + 1))
        if (Row < Low || Row > High) SetSelected(Row, false);
}

void TNxCustomGridControl::SetInputSelected(bool Value) {
    if (Value == FInputSelected) return;
    if (Value) {
        if (FSelectedRow >= 0 && FSelectedRow < GetRowCount()) SetSelected(FSelectedRow, false);
    } else {
        // What was typed into the input row stays as its input value.
        ApplyEditing();
        EndEditing();
    }
    FInputSelected = Value;
    RefreshArea(gaInput);
    RefreshArea(gaIndicator);
    RefreshSelectedCells();
}

// ---------------------------------------------------------------------------------------------
// Geometry

void TNxCustomGridControl::RecalculateGridSpace() {
    FGridSpace = {};
    if (FOptions.Contains(goGrid)) {
        bool ThreeD = FAppearanceOptions.Contains(ao3DGridLines);
        if (FGridLinesStyle != lsHorizontalOnly && FGridLinesStyle != lsActiveHorzOnly) {
            FGridSpace[lpRight] = 1;
            if (ThreeD) FGridSpace[lpLeft] = 1;
        }
        if (FGridLinesStyle != lsVerticalOnly) {
            FGridSpace[lpBottom] = 1;
            if (ThreeD) FGridSpace[lpTop] = 1;
        }
    }
    FGridSpace[lpTopBottom] = FGridSpace[lpTop] + FGridSpace[lpBottom];
}

TRect TNxCustomGridControl::GetIndicatorRect() {
    return {0, 0, IndicatorWidth, GetClientHeight()};
}

TRect TNxCustomGridControl::GetHeaderRect() {
    int I = ShowsIndicator() ? IndicatorWidth : 0;
    return {I, 0, I + FColumns->ClientWidth() - GetHorzScrollPos(), FHeaderSize};
}

TRect TNxCustomGridControl::GetInputRect() {
    int I = ShowsIndicator() ? IndicatorWidth : 0;
    int T = FOptions.Contains(goHeader) ? FHeaderSize : 0;
    return {I, T, I + FColumns->ClientWidth() - GetHorzScrollPos(),
            T + FInputSize + InputExtra + FGridSpace[lpBottom]};
}

TRect TNxCustomGridControl::GetBodyRect() {
    int ClientHeight = GetClientHeight();
    if (FGridStyle == gsSlides) {
        TRect R = GetClientRect();
        if (FOptions.Contains(goHeader)) R.Top += FHeaderSize;
        return R;
    }
    int I = ShowsIndicator() ? IndicatorWidth : 0;
    TRect R;
    R.Left = I;
    R.Top = (FOptions.Contains(goHeader) ? FHeaderSize : 0) +
            (FOptions.Contains(goInput) ? FInputSize + InputExtra + FGridSpace[lpBottom] : 0);
    R.Right = std::min(I + FColumns->ClientWidth() - GetHorzScrollPos(), GetClientWidth());
    R.Bottom =
        FOptions.Contains(goFooter) ? ClientHeight - FFooterSize - 4 - FGridSpace[lpBottom] : ClientHeight;
    return R;
}

TRect TNxCustomGridControl::GetFooterRect() {
    if (FGridStyle == gsSlides) return {};
    int I = ShowsIndicator() ? IndicatorWidth : 0;
    int ClientHeight = GetClientHeight();
    return {I, ClientHeight - FFooterSize - 4 - FGridSpace[lpBottom],
            I + FColumns->ClientWidth() - GetHorzScrollPos(), ClientHeight};
}

TRect TNxCustomGridControl::GetScrollRect() {
    int I = ShowsIndicator() ? IndicatorWidth : 0;
    return {I + FColumns->GetFixedWidth(), 0, GetClientWidth(), GetClientHeight()};
}

int TNxCustomGridControl::GetInnerWidth() {
    int Width = GetClientWidth();
    if (FGridStyle == gsReport && ShowsIndicator()) Width -= IndicatorWidth;
    return Width;
}

TRect TNxCustomGridControl::GetCaptionRect() {
    TRect Body = GetBodyRect();
    int HPos = GetHorzScrollPos();
    int TextHeight = GetCanvas()->TextHeight(FCaption.empty() ? WideString(u"Wg") : FCaption);
    return {Body.Left - HPos, Body.Top + 4, GetClientWidth() - HPos, Body.Top + 4 + TextHeight};
}

TRect TNxCustomGridControl::GetAreaRect(TGridArea Area) {
    switch (Area) {
    case gaBody:
        return GetBodyRect();
    case gaFooter:
        return GetFooterRect();
    case gaHeader:
        return GetHeaderRect();
    case gaIndicator:
        return GetIndicatorRect();
    case gaInput:
        return GetInputRect();
    default:
        return GetClientRect();
    }
}

int TNxCustomGridControl::RowStep(int Row) {
    if (Row >= GetRowCount()) return FRowSize + FGridSpace[lpTopBottom];
    if (!GetRowVisible(Row)) return 0;
    int Height = FGridStyle == gsSlides ? FSlideSize : GetRowHeight(Row);
    return Height + FGridSpace[lpTopBottom];
}

int TNxCustomGridControl::GetRowTop(int Row) {
    int Top = GetBodyRect().Top + FGridSpace[lpTop];
    // Past the client bottom the exact value no longer matters to painting or invalidation.
    int Limit = GetClientHeight();
    for (int i = FTopRow; i < Row && Top <= Limit; ++i)
        Top += RowStep(i);
    return Top;
}

TRect TNxCustomGridControl::GetRowRect(int Row) {
    int Top = GetRowTop(Row);
    int Height = Row < GetRowCount() ? GetRowHeight(Row) : FRowSize;
    return {0, Top, GetBodyRect().Right, Top + Height + FGridSpace[lpBottom]};
}

TRect TNxCustomGridControl::GetCellRect(int ACol, int ARow) {
    TNxCustomColumn* Column = FColumns->GetItem(ACol);
    if (FGridStyle == gsSlides) {
        TRect Bounds = Column->GetSlideRect();
        int Top = GetSlideTop(ARow);
        return {Bounds.Left, Bounds.Top + Top, Bounds.Right, Bounds.Bottom + Top};
    }
    int Left = Column->GetAbsoluteLeft();
    int Top = GetRowTop(ARow);
    int Height = ARow < GetRowCount() ? GetRowHeight(ARow) : FRowSize;
    return {Left, Top, Left + Column->GetWidth(), Top + Height};
}

int TNxCustomGridControl::GetSlideTop(int Row) {
    int Top = GetBodyRect().Top;
    int Limit = GetClientHeight();
    for (int i = FTopRow; i < Row && Top <= Limit; ++i)
        if (i >= GetRowCount() || GetRowVisible(i)) Top += FSlideSize + FGridSpace[lpTopBottom];
    return Top;
}

TRect TNxCustomGridControl::GetSlideRect(int Row) {
    int Top = GetSlideTop(Row) + FGridSpace[lpTop];
    return {0, Top, GetClientWidth(), Top + FSlideSize};
}

int TNxCustomGridControl::FitCount(int* LastFitting) {
    TRect Body = GetBodyRect();
    int Bottom = Body.Top;
    int Count = 0;
    int RowCount = GetRowCount();
    if (LastFitting) *LastFitting = -1;
    for (int Row = FTopRow; Row < RowCount; ++Row) {
        if (!GetRowVisible(Row)) continue;
        Bottom += RowStep(Row);
        if (Bottom > Body.Bottom) break;
        ++Count;
        if (LastFitting) *LastFitting = Row;
    }
    return Count;
}

int TNxCustomGridControl::GetVisibleCount(bool Fill) {
    TRect Body = GetBodyRect();
    int Avail = Body.Bottom - Body.Top;
    int Sum = 0;
    int Count = 0;
    int RowCount = GetRowCount();
    int Row = FTopRow;
    for (; Row < RowCount; ++Row) {
        if (!GetRowVisible(Row)) continue;
        if (Sum + RowStep(Row) > Avail) return Count;
        Sum += RowStep(Row);
        ++Count;
    }
    if (!Fill) return Count;
    for (Row = FTopRow - 1; Row >= 0; --Row) {
        if (!GetRowVisible(Row)) continue;
        if (Sum + RowStep(Row) > Avail) break;
        Sum += RowStep(Row);
        ++Count;
    }
    return Count;
}

bool TNxCustomGridControl::IsRowInView(int Row) {
    return FTopRow <= Row && Row < FTopRow + GetVisibleCount(false);
}

int TNxCustomGridControl::GetRowsInRange(int A, int B) {
    int From = std::max(std::min(A, B), 0);
    int To = std::min(std::max(A, B), GetRowCount());
    if (From >= To) return 0;
    if (AllRowsVisible()) return To - From;
    int Count = 0;
    for (int Row = From; Row < To; ++Row)
        if (GetRowVisible(Row)) ++Count;
    return Count;
}

int TNxCustomGridControl::VisibleRowsAbove(int Row) {
    return GetRowsInRange(0, Row);
}

int TNxCustomGridControl::VisibleRowAt(int Ordinal) {
    const int Count = GetRowCount();
    if (Count == 0) return 0;
    if (AllRowsVisible()) return std::clamp(Ordinal, 0, Count - 1);
    int Last = -1;
    for (int Row = 0; Row < Count; ++Row) {
        if (!GetRowVisible(Row)) continue;
        if (Ordinal-- <= 0) return Row;
        Last = Row;
    }
    return std::max(Last, 0);
}

void TNxCustomGridControl::SyncVertPosition() {
    // The bar follows TopRow; moving TopRow again would scroll twice.
    TNxScrollBar* Bar = GetVertScrollBar();
    Bar->BeginUpdate();
    Bar->SetPosition(VisibleRowsAbove(FTopRow));
    Bar->EndUpdate();
}

int TNxCustomGridControl::GetFirstVisible(int From) {
    for (int Row = std::max(From, 0); Row < GetRowCount(); ++Row)
        if (GetRowVisible(Row)) return Row;
    return From;
}

int TNxCustomGridControl::GetLastVisible(int From) {
    for (int Row = std::min(From, GetRowCount() - 1); Row >= 0; --Row)
        if (GetRowVisible(Row)) return Row;
    return From;
}

bool TNxCustomGridControl::CellBounds(int ACol, int ARow) {
    return ACol >= 0 && ACol < FColumns->Count() && ARow >= 0 && ARow < GetRowCount();
}

TGridArea TNxCustomGridControl::GetAreaAt(int X, int Y) {
    TPoint P{X, Y};
    auto Inside = [&](const TRect& R) { return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom; };
    if (FGridStyle == gsReport) {
        if (ShowsIndicator() && Inside(GetIndicatorRect())) return gaIndicator;
        if (FOptions.Contains(goHeader) && Inside(GetHeaderRect())) return gaHeader;
        if (FOptions.Contains(goInput) && Inside(GetInputRect())) return gaInput;
        if (FOptions.Contains(goFooter) && Inside(GetFooterRect())) return gaFooter;
    } else if (FOptions.Contains(goHeader) && Y < FHeaderSize) {
        return gaHeader;
    }
    if (Inside(GetBodyRect())) return gaBody;
    (void)P;
    return gaNone;
}

// ---------------------------------------------------------------------------------------------
// Invalidation

void TNxCustomGridControl::InvalidateArea(const TRect& Rect) {
    if (Rect.Right <= Rect.Left || Rect.Bottom <= Rect.Top) return;
    InvalidateRect(&Rect, false);
}

void TNxCustomGridControl::ValidateArea(const TRect& Rect) {
    ValidateRect(&Rect);
}

void TNxCustomGridControl::RefreshRect(const TRect& Rect) {
    InvalidateArea(Rect);
}

void TNxCustomGridControl::RefreshArea(TGridArea Area) {
    switch (Area) {
    case gaBody:
        InvalidateArea(GetBodyRect());
        break;
    case gaFooter:
        if (FOptions.Contains(goFooter)) InvalidateArea(GetFooterRect());
        break;
    case gaHeader:
        if (FOptions.Contains(goHeader)) InvalidateArea(GetHeaderRect());
        break;
    case gaIndicator:
        if (ShowsIndicator()) InvalidateArea(GetIndicatorRect());
        break;
    case gaInput:
        if (FOptions.Contains(goInput)) InvalidateArea(GetInputRect());
        break;
    case gaNone:
        break;
    }
}

void TNxCustomGridControl::RefreshCell(int ACol, int ARow) {
    if (!CellBounds(ACol, ARow)) return;
    // A row above the top or below the body is not on screen; nothing to mark.
    if (ARow < FTopRow) return;
    TRect R = GetCellRect(ACol, ARow);
    if (R.Top >= GetBodyRect().Bottom) return;
    R.Bottom += FGridSpace[lpBottom];
    InvalidateArea(R);
}

void TNxCustomGridControl::RefreshColumn(TNxCustomColumn* Column, TGridArea Area) {
    if (IsUpdating() || !Column) return;
    TRect Extent = Area == gaNone ? GetClientRect() : GetAreaRect(Area);
    int Left = Column->GetAbsoluteLeft();
    InvalidateArea({Left, Extent.Top, Left + Column->GetWidth(), Extent.Bottom});
}

void TNxCustomGridControl::RefreshRow(int Row, bool Borders) {
    if (Row < 0 || Row >= GetRowCount() || Row < FTopRow || Row >= FPaintEndRow) return;
    TRect R = GetRowRect(Row);
    InvalidateArea(R);
    if (Borders) ValidateArea({R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1});
}

void TNxCustomGridControl::RefreshRowGrid(int Row) {
    if (Row < 0 || Row >= GetRowCount() || Row < FTopRow) return;
    if (FGridStyle == gsSlides) {
        TRect R = GetSlideRect(Row);
        InvalidateArea({R.Left, R.Bottom - 1, R.Right, R.Bottom + FGridSpace[lpBottom]});
        return;
    }
    TRect R = GetRowRect(Row);
    int Bottom = R.Top + GetRowHeight(Row);
    InvalidateArea({R.Left, Bottom - 1, R.Right, Bottom + FGridSpace[lpBottom]});
}

void TNxCustomGridControl::RefreshIndicator(int Row) {
    if (Row < 0 || Row >= GetRowCount() || Row < FTopRow) return;
    TRect R = GetRowRect(Row);
    InvalidateArea({0, R.Top - FGridSpace[lpTop], IndicatorWidth, R.Bottom});
}

void TNxCustomGridControl::RefreshRange(int FromRow, int ToRow) {
    int Low = std::max(std::min(FromRow, ToRow), FTopRow);
    int High = std::max(FromRow, ToRow);
    if (High < Low) return;
    if (FGridStyle == gsSlides) {
        InvalidateArea({0, GetSlideTop(Low), GetClientWidth(), GetSlideTop(High) + FSlideSize});
        return;
    }
    TRect LowRect = GetRowRect(Low);
    // The higher row's bottom, clipped to the client: walking past it would add nothing visible.
    TRect HighRect = GetRowRect(High);
    InvalidateArea({0, LowRect.Top, GetBodyRect().Right, std::min(HighRect.Bottom, GetClientHeight())});
}

void TNxCustomGridControl::RefreshVisibleRows(int FromRow, int ToRow) {
    int From = std::max(FromRow, FTopRow);
    if (ToRow < From) return;
    TRect Body = GetBodyRect();
    int Top = GetRowTop(From);
    int Bottom = Top;
    for (int Row = From; Row <= ToRow && Bottom < Body.Bottom; ++Row)
        Bottom += RowStep(Row);
    InvalidateArea({0, Top, Body.Right, std::min(Bottom, Body.Bottom)});
}

void TNxCustomGridControl::RefreshSelectedCells() {
    if (FInputSelected) RefreshArea(gaInput);
    if (FColumns->Count() == 0 || GetRowCount() == 0) return;
    if (!FOptions.Contains(goSelectFullRow)) {
        RefreshCell(FSelectedColumn, FSelectedRow);
        return;
    }
    int End = std::min(FTopRow + GetVisibleCount(false) + 1, GetRowCount());
    for (int Row = FTopRow; Row < End; ++Row)
        if (GetSelected(Row)) RefreshRow(Row);
}

void TNxCustomGridControl::RefreshSlide(int Row, bool Borders) {
    TRect R = GetSlideRect(Row);
    InvalidateArea(R);
    if (Borders) ValidateArea({R.Left + 3, R.Top + 4, R.Right - 3, R.Bottom - 4});
}

void TNxCustomGridControl::RefreshColumnSlide(TNxCustomColumn*) {
    Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Updates

void TNxCustomGridControl::BeginUpdate() {
    ++FUpdateCount;
}

void TNxCustomGridControl::EndUpdate() {
    if (FUpdateCount > 0) --FUpdateCount;
    if (FUpdateCount != 0) return;
    RefreshArea(gaBody);
    RefreshArea(gaHeader);
    RefreshArea(gaIndicator);
    UpdateVertScrollBar();
}

// ---------------------------------------------------------------------------------------------
// Scrolling

int TNxCustomGridControl::GetHorzOffset(int OldPos, int NewPos) {
    return OldPos - NewPos;
}

int TNxCustomGridControl::GetVertOffset(int OldPos, int NewPos) {
    // A shift of more than the body uncovers all of it, so the sum stops there; TopRow still
    // moves the whole way.
    TRect Body = GetBodyRect();
    int Cap = std::max(Body.Bottom - Body.Top, 0) + 1;
    int RowCount = GetRowCount();
    int Sum = 0;
    if (NewPos > OldPos) {
        int Count = NewPos - OldPos;
        if (AllRowsVisible()) {
            int NewTop = std::min(FTopRow + Count, std::max(RowCount, FTopRow));
            for (int Row = FTopRow; Row < NewTop && Sum <= Cap; ++Row)
                Sum += RowStep(Row);
            FTopRow = NewTop;
        } else {
            int Passed = 0;
            while (FTopRow < RowCount) {
                if (GetRowVisible(FTopRow)) {
                    if (Passed == Count) break;
                    ++Passed;
                    if (Sum <= Cap) Sum += RowStep(FTopRow);
                }
                ++FTopRow;
            }
        }
        return -std::min(Sum, Cap);
    }
    if (NewPos < OldPos) {
        int Count = OldPos - NewPos;
        if (AllRowsVisible()) {
            int NewTop = std::max(FTopRow - Count, 0);
            for (int Row = FTopRow - 1; Row >= NewTop && Sum <= Cap; --Row)
                Sum += RowStep(Row);
            FTopRow = NewTop;
        } else {
            int Passed = 0;
            while (FTopRow > 0 && Passed < Count) {
                --FTopRow;
                if (GetRowVisible(FTopRow)) {
                    ++Passed;
                    if (Sum <= Cap) Sum += RowStep(FTopRow);
                }
            }
        }
        return std::min(Sum, Cap);
    }
    return 0;
}

void TNxCustomGridControl::BeforeScroll(TScrollBarKind) {
    UpdateScrollClips();
}

void TNxCustomGridControl::AfterScroll(TScrollBarKind) {}

int TNxCustomGridControl::GetHorzMax() {
    int Width = FColumns->ClientWidth() + (ShowsIndicator() ? IndicatorWidth : 0) - GetClientWidth();
    return std::max(Width, 0);
}

int TNxCustomGridControl::GetVertMax() {
    return GetRowCount() > 0 && FColumns->Count() > 0 ? GetVisibleRows() : 0;
}

void TNxCustomGridControl::UpdateVertScrollBar() {
    TNxScrollBar* Bar = GetVertScrollBar();
    int V = GetVisibleRows();
    if (GetRowCount() == 1) V = 0;
    int F = FitCount();
    if (F < V) {
        Bar->SetPageSize(F + 1);
        Bar->SetMax(V);
        Bar->SetLargeChange(Bar->GetPageSize());
    } else {
        Bar->SetMax(0);
    }
    if (F + 1 >= V) SyncVertPosition();
    ResizeHandled();
}

void TNxCustomGridControl::UpdateHorzScrollBar() {
    TNxScrollBar* Bar = GetHorzScrollBar();
    if (FGridStyle == gsSlides) {
        Bar->SetMax(0);
        Bar->SetVisible(false);
        ResizeHandled();
        return;
    }
    Bar->SetPageSize(GetClientWidth() + 1);
    Bar->SetMax(FColumns->ClientWidth() + (ShowsIndicator() ? IndicatorWidth : 0));
    Bar->SetLargeChange(Bar->GetPageSize() - 10);
    if (HandleAllocated()) {
        int Track = GetRealScrollPosition(Bar);
        if (Track != Bar->GetPosition()) Bar->SetPosition(Track);
    }
    ResizeHandled();
}

void TNxCustomGridControl::ScrollToRow(int Row) {
    int Last = -1;
    FitCount(&Last);
    int L = Last < 0 ? FTopRow : Last;
    int Move = 0;
    if (Row < L) {
        if (Row >= FTopRow) return;
        Move = -GetRowsInRange(Row, FTopRow);
    } else {
        Move = GetRowsInRange(L, Row);
    }
    if (Move != 0) GetVertScrollBar()->MoveBy(Move);
    CellsScrolled(Move);
}

void TNxCustomGridControl::ScrollToColumn(TNxCustomColumn* Column) {
    if (!Column || Column->GetPosition() < FColumns->GetFixedCols()) return;
    TRect Scroll = GetScrollRect();
    int X = Column->GetLeft() - GetHorzScrollPos();
    if (X < Scroll.Left)
        GetHorzScrollBar()->MoveBy(X - Scroll.Left);
    else if (X + Column->GetWidth() > Scroll.Right)
        GetHorzScrollBar()->MoveBy(X + Column->GetWidth() - Scroll.Right);
    RepositionEditor();
}

// ---------------------------------------------------------------------------------------------
// Selection

bool TNxCustomGridControl::CanSelectCell(int ACol, int ARow) {
    bool Accept = true;
    if (OnBeforeSelect) OnBeforeSelect(this, ACol, ARow, Accept);
    return Accept;
}

void TNxCustomGridControl::SelectFirstRow(TShiftState Shift) {
    SetInputSelected(false);
    SelectCell(FSelectedColumn, GetFirstVisibleRow(), true, Shift);
    GetVertScrollBar()->First();
}

void TNxCustomGridControl::SelectLastRow(TShiftState Shift) {
    SetInputSelected(false);
    SelectCell(FSelectedColumn, GetLastVisibleRow(), true, Shift);
    GetVertScrollBar()->Last();
}

void TNxCustomGridControl::NoSelection() {
    BeginUpdate();
    ClearSelection();
    EndUpdate();
    FGridState.Exclude(gtMultiSelect);
    FSelectedRow = -1;
    FSelectedColumn = 0;
}

void TNxCustomGridControl::SelectAll() {
    if (!IsMultiSelect()) return;
    BeginUpdate();
    if (GetRowCount() > 0) SelectRange(0, GetRowCount() - 1, true);
    EndUpdate();
    FGridState.Include(gtMultiSelect);
}

bool TNxCustomGridControl::IsCellHighlighted(int ACol, int ARow) {
    if (FGridStyle == gsSlides && !FAppearanceOptions.Contains(aoHighlightSlideCells)) return false;
    if (FInputSelected) return false;
    if (FColumns->Exists(ACol) && FColumns->GetItem(ACol)->GetOptions().Contains(coDontHighlight))
        return false;
    if (!GridFocused() && FAppearanceOptions.Contains(aoHideSelection)) return false;
    bool Editing = FGridState.Contains(gtEdit) && FEditingCell.X == ACol && FEditingCell.Y == ARow;
    bool Current = ACol == FSelectedColumn && ARow == FSelectedRow;
    if (FOptions.Contains(goSelectFullRow)) {
        if (ARow < 0 || ARow >= GetRowCount() || !GetSelected(ARow)) return false;
        if (Current && FAppearanceOptions.Contains(aoIndicateSelectedCell)) return false;
        return !Editing;
    }
    return Current && !Editing;
}

bool TNxCustomGridControl::GridFocused() const {
    TWinControl* Focus = ::GetFocus();
    return Focus && ContainsControl(Focus);
}

TColor TNxCustomGridControl::GetActualCellColor(int ACol, int ARow) {
    TColor Color = GetCellColor(ACol, ARow);
    if (FAppearanceOptions.Contains(aoIndicateSortedColumn) && FColumns->Exists(ACol) &&
        FColumns->GetItem(ACol)->GetSorted())
        Color = NxSharedDraw::BlendColor(clBlack, Color, 10);
    if (!IsCellHighlighted(ACol, ARow)) return Color;
    if (!GridFocused()) return FInactiveSelectionColor;
    if (FAppearanceOptions.Contains(aoAlphaBlendedSelection))
        return NxSharedDraw::BlendColor(Color, clHighlight, 0.25);
    return FSelectionColor;
}

TColor TNxCustomGridControl::GetActualCellFontColor(int ACol, int ARow) {
    if (IsCellHighlighted(ACol, ARow) && GridFocused()) return FHighlightedTextColor;
    return FColumns->Exists(ACol) ? FColumns->GetItem(ACol)->GetFont()->GetColor() : GetFont()->GetColor();
}

TCellState TNxCustomGridControl::GetPaintState(int ACol, int ARow) {
    TCellState State;
    if (IsCellHighlighted(ACol, ARow)) {
        State.Include(csSelected);
        if (FAppearanceOptions.Contains(aoBoldTextSelection)) State.Include(csBoldTextSelection);
    }
    if (GridFocused() && !FAppearanceOptions.Contains(aoHideFocus)) State.Include(csFocused);
    return State;
}

TCellState TNxCustomGridControl::GetCellState(int ACol, int ARow) {
    const TCellState State = GetPaintState(ACol, ARow);
    TColor CellColor = GetActualCellColor(ACol, ARow);
    TColor GridColor = FGridLinesColor;
    DoCellColoring(ACol, ARow, CellColor, GridColor, State);
    return State;
}

TNxCustomColumn* TNxCustomGridControl::GetFocusedColumn() {
    return FColumns->Exists(FSelectedColumn) ? FColumns->GetItem(FSelectedColumn) : nullptr;
}

bool TNxCustomGridControl::OwnerHasComponent(const AnsiString& Name) {
    TComponent* OwnerComponent = GetOwner();
    return OwnerComponent && OwnerComponent->FindComponent(Name) != nullptr;
}

TNxCustomColumn* TNxCustomGridControl::GetColumnByName(const AnsiString& Name) {
    return FColumns->GetColumn(Name);
}

// ---------------------------------------------------------------------------------------------
// Dispatchers

void TNxCustomGridControl::DoSelectCell(int ACol, int ARow) {
    GridAccessibleSelected(this, ACol, ARow);
    if (OnSelectCell) OnSelectCell(this, ACol, ARow);
}
void TNxCustomGridControl::DoDeselectCell(int ACol, int ARow) {
    if (OnDeselectCell) OnDeselectCell(this, ACol, ARow);
}
void TNxCustomGridControl::DoInputSelectCell(int ACol) {
    if (OnInputSelectCell) OnInputSelectCell(this, ACol);
}
void TNxCustomGridControl::DoColumnResize(int ACol) {
    if (OnColumnResize) OnColumnResize(this, ACol);
}
void TNxCustomGridControl::DoColumnMove(int ACol, int FromPos, int ToPos) {
    if (OnColumnMove) OnColumnMove(this, ACol, FromPos, ToPos);
}
void TNxCustomGridControl::DoSlideChange(int ACol) {
    if (OnSlideChange) OnSlideChange(this, ACol);
}
void TNxCustomGridControl::DoDataChange(TDataChange AChangeType, int AIndex) {
    GridAccessibleDataChanged(this, AChangeType, AIndex);
    if (OnDataChange) OnDataChange(this, AChangeType, AIndex);
}
void TNxCustomGridControl::DoCellColoring(int ACol, int ARow, TColor& CellColor, TColor& GridColor,
                                          TCellState CellState) {
    if (OnCellColoring) OnCellColoring(this, ACol, ARow, CellColor, GridColor, CellState);
}
void TNxCustomGridControl::DoDrawCellBackground(int ACol, int ARow, const TRect& CellRect,
                                                TCellState CellState, bool& DefaultDrawing) {
    if (OnDrawCellBackground) OnDrawCellBackground(this, ACol, ARow, CellRect, CellState, DefaultDrawing);
}

void TNxCustomGridControl::DoSlideColoring(int Index, TColor& SlideColor, TColor& GridColor,
                                           TSlideState SlideState) {
    if (OnSlideColoring) OnSlideColoring(this, Index, SlideColor, GridColor, SlideState);
}

void TNxCustomGridControl::DoCustomDrawCell(int ACol, int ARow, const TRect& CellRect, TCellState CellState) {
    if (OnCustomDrawCell) OnCustomDrawCell(this, ACol, ARow, CellRect, CellState);
}

void TNxCustomGridControl::DoSortColumn(int ACol, bool Ascending) {
    if (OnSortColumn) OnSortColumn(this, ACol, Ascending);
}
void TNxCustomGridControl::DoChange(int ACol, int ARow) {
    GridAccessibleCellChanged(this, ACol, ARow);
    if (OnChange) OnChange(this, ACol, ARow);
}

void TNxCustomGridControl::SortColumn(TNxCustomColumn* Column, bool Ascending) {
    if (!Column || !Column->GetOptions().Contains(coCanSort)) return;
    EndEditing();
    FSortedColumn = Column;
    DoSortColumn(Column->GetIndex(), Ascending);
}

void TNxCustomGridControl::DoEnter() {
    TNxScrollControl::DoEnter();
    RefreshArea(gaIndicator);
}

void TNxCustomGridControl::DoExit() {
    // The focus left for a control outside the grid and its editor: what was typed is stored
    // before anyone hears of the exit.
    if (FGridState.Contains(gtEdit) || FGridState.Contains(gtInput)) {
        ApplyEditing();
        EndEditing();
    }
    TNxScrollControl::DoExit();
    if (FAppearanceOptions.Contains(aoHideSelection)) RefreshSelectedCells();
}

// ---------------------------------------------------------------------------------------------
// Column changes

void TNxCustomGridControl::ColumnsChange(TColumnsOperation Operation, int, int) {
    if (Operation == opDelete || Operation == opClear) EndEditing();
    UpdateHorzScrollBar();
}

void TNxCustomGridControl::DoColumnsChange(TObject*, TColumnsOperation Operation, int Value1, int Value2) {
    ColumnsChange(Operation, Value1, Value2);
    if (Value1 == -1) return;
    if (Operation == opDelete)
        DoDataChange(dcDeleteColumn, Value1);
    else if (Operation == opInsert)
        DoDataChange(dcInsertColumn, Value1);
    else
        DoDataChange(dcAddColumn, Value1);
}

void TNxCustomGridControl::DoColumnsRepaint(TObject*, TColumnsOperation Operation) {
    if (Operation != opClear) RepositionEditor();
    Invalidate();
}

void TNxCustomGridControl::DoColumnChange(TObject*, TNxCustomColumn* Column, TColumnChangeKind ChangeKind,
                                          int Param) {
    if (!HandleAllocated() || !Column) return;
    int Index = Column->GetIndex();
    switch (ChangeKind) {
    case ccInputChange:
        RefreshColumn(Column, gaInput);
        break;
    case ccPosition:
        RepositionEditor();
        DoColumnMove(Index, Param, Column->GetPosition());
        Invalidate();
        break;
    case ccVisible:
        RepositionEditor();
        UpdateHorzScrollBar();
        Invalidate();
        break;
    case ccUndefined:
        RefreshColumn(Column, gaNone);
        break;
    case ccSlideChanged:
        RefreshColumnSlide(Column);
        DoSlideChange(Index);
        break;
    case ccUnsorted:
        RefreshColumn(Column, gaHeader);
        if (FAppearanceOptions.Contains(aoIndicateSortedColumn)) RefreshColumn(Column, gaBody);
        if (FSortedColumn == Column) FSortedColumn = nullptr;
        break;
    case ccWidth:
        RepositionEditor();
        if (!IsUpdating()) {
            RefreshColumn(Column, gaNone);
            // What lies right of the column moves with its right edge instead of repainting.
            int NewRight = Column->GetAbsoluteLeft() + Column->GetWidth();
            int OldRight = NewRight - Param;
            TRect Clip{std::min(OldRight, NewRight), 0, GetClientWidth(), GetClientHeight()};
            if (FGridStyle == gsSlides) Clip.Bottom = FOptions.Contains(goHeader) ? FHeaderSize : 0;
            if (Param != 0 && Clip.Right > Clip.Left && Clip.Bottom > Clip.Top)
                ScrollWindowEx(Param, 0, nullptr, &Clip, SW_INVALIDATE);
        }
        DoColumnResize(Index);
        UpdateHorzScrollBar();
        break;
    case ccSorted:
    case ccSortTypeChange:
        RepositionEditor();
        if (Column->GetSorted()) {
            RefreshColumn(Column, gaHeader);
            SortColumn(Column, Column->GetSortKind() == skAscending);
        }
        break;
    case ccFieldName:
        break;
    }
}

void TNxCustomGridControl::RecreateStyleDisplay() {
    // The painter picks the style object of HeaderStyle at every paint.
    Invalidate();
    RedrawBorder();
}

void TNxCustomGridControl::RedrawBorder() {
    if (HandleAllocated()) RedrawWindow(nullptr, RDW_FRAME);
}

void TNxCustomGridControl::PaintBorder(TCanvas* Canvas) {
    if (!Canvas || GetBorderStyle() != bsSingle) return;
    const TRect Window{0, 0, GetWidth(), GetHeight()};
    if (FHeaderStyle == hsOffice2007 || FHeaderStyle == hsOffice2010) {
        FBorderPainted =
            NxThemesSupport::SchemeColor(NxThemesSupport::seBorder, NxThemesSupport::ColorScheme);
        Canvas->GetBrush()->SetStyle(bsSolid);
        Canvas->GetBrush()->SetColor(FBorderPainted);
        Canvas->FrameRect(Window);
    } else if (FEnableVisualStyles && NxThemesSupport::IsThemed()) {
        TRect Inner = Window;
        InflateRect(Inner, -1, -1);
        const int Saved = Canvas->SaveDC();
        Canvas->ExcludeClipRect(Inner);
        NxThemesSupport::ThemeRect(this, Canvas, Window, u"listview", 1, 0);
        Canvas->RestoreDC(Saved);
    }
}

void TNxCustomGridControl::WMNCPaint(TMessage& Message) {
    TNxScrollControl::WMNCPaint(Message);
    PaintBorder(GetPaintCanvas());
}

void TNxCustomGridControl::WMThemeChanged(TMessage& Message) {
    TNxScrollControl::WMThemeChanged(Message);
    CloseHeaderTheme();
    OpenHeaderTheme();
    RedrawBorder();
}

void TNxCustomGridControl::OpenHeaderTheme() {
    if (FHeaderTheme || !HandleAllocated() || !NxThemesSupport::IsThemed() || !NxThemesSupport::OpenThemeData)
        return;
    FHeaderTheme = NxThemesSupport::OpenThemeData(this, u"header");
}

void TNxCustomGridControl::CloseHeaderTheme() {
    if (!FHeaderTheme) return;
    if (NxThemesSupport::CloseThemeData) NxThemesSupport::CloseThemeData(FHeaderTheme);
    FHeaderTheme = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Best fit

void TNxCustomGridControl::BestFitColumn(int Index, TBestFitMode Mode, bool OnlyVisible) {
    TNxCustomColumn* Column = FColumns->GetItem(Index);
    TCanvas* Canvas = GetCanvas();
    int Widest = 0;
    if (Mode != bfCells) {
        // Headers are drawn in the grid's font; glyphs and vertical captions count.
        Canvas->SetFont(GetFont());
        TStyleDisplay* Style = GetStyleDisplay();
        Style->SetCanvas(Canvas);
        Widest = std::max(Widest, Style->GetHeaderContentWidth(Column));
    }
    if (Mode != bfHeader) {
        const int Count = GetRowCount();
        for (int Row = 0; Row < Count; ++Row) {
            if (OnlyVisible && !GetRowVisible(Row)) continue;
            Widest = std::max(Widest, GetCellContentWidth(Index, Row, GetDrawText(Index, Row)));
        }
    }
    Column->SetWidth(Widest + 2 * Column->GetPadding() + 5);
}

int TNxCustomGridControl::GetCellContentWidth(int ACol, int ARow, const WideString& Text) {
    TNxCustomColumn* Column = FColumns->GetItem(ACol);
    TCanvas* Canvas = GetCanvas();
    auto* Display = dynamic_cast<TColumnDisplay*>(Column->GetColumnDisplay());
    if (!Display) {
        Canvas->SetFont(Column->GetFont());
        return Canvas->TextWidth(Text);
    }
    // Images, check boxes, stars and swatches have widths of their own, and a bold cell is
    // wider than its text in the plain font: only the display knows.
    DrawCellData(ACol, ARow, GetPaintState(ACol, ARow));
    Display->SetCanvas(Canvas);
    Display->SetCellRect(GetCellRect(ACol, ARow));
    Display->SetAsString(Text);
    return Display->GetContentWidth();
}

void TNxCustomGridControl::BestFitRow(int Index) {
    if (Index < 0 || Index >= GetRowCount()) return;
    TCanvas* Canvas = GetCanvas();
    int Height = FRowSize;
    for (int Col = 0; Col < FColumns->Count(); ++Col) {
        TNxCustomColumn* Column = FColumns->GetItem(Col);
        auto* Display = dynamic_cast<TColumnDisplay*>(Column->GetColumnDisplay());
        if (!Column->GetVisible() || !Display) continue;
        TCellInfo Info;
        GetCellInfo(Col, Index, Info);
        Display->LoadValue(Info);
        Canvas->SetFont(Column->GetFont());
        Display->SetCanvas(Canvas);
        Display->SetCellRect(GetCellRect(Col, Index));
        Height = std::max(Height, Display->GetContentHeight());
    }
    SetRowHeight(Index, Height);
}

void TNxCustomGridControl::BestFitColumns(TBestFitMode Mode) {
    for (int Index = 0; Index < FColumns->Count(); ++Index)
        BestFitColumn(Index, Mode, false);
}

// ---------------------------------------------------------------------------------------------
// Window

void TNxCustomGridControl::CreateParams(TCreateParams& Params) {
    TNxScrollControl::CreateParams(Params);
    Params.ExStyle &= ~WS_EX_CLIENTEDGE;
    if (GetBorderStyle() == bsSingle)
        Params.ExStyle |= WS_EX_STATICEDGE;
    else
        Params.ExStyle &= ~WS_EX_STATICEDGE;
    // Resizing invalidates only the uncovered strips (ResizeHandled).
    Params.WindowClassStyle &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TNxCustomGridControl::CreateWnd() {
    TNxScrollControl::CreateWnd();
    OpenHeaderTheme();
    FOldClientWidth = GetClientWidth();
    FOldClientHeight = GetClientHeight();
    UpdateHorzScrollBar();
    UpdateVertScrollBar();
}

void TNxCustomGridControl::WMSize(TMessage& Message) {
    TNxScrollControl::WMSize(Message);
    ResizeHandled();
}

// Follows a change of the client size, from a resize or from a scroll bar coming or going:
// only the newly uncovered strips are invalidated.
void TNxCustomGridControl::ResizeHandled() {
    if (FInResize || !HandleAllocated()) return;
    int Width = GetClientWidth();
    int Height = GetClientHeight();
    if (Width == FOldClientWidth && Height == FOldClientHeight) return;
    TScopedChange Guard(FInResize, true);
    if (Height != FOldClientHeight) {
        if (FGridStyle == gsReport && FOptions.Contains(goFooter)) {
            RefreshArea(gaFooter);
            if (ShowsIndicator()) InvalidateArea({0, GetFooterRect().Top, IndicatorWidth, Height});
            int OldFooterTop = FOldClientHeight - FFooterSize - 4 - FGridSpace[lpBottom];
            int NewFooterTop = Height - FFooterSize - 4 - FGridSpace[lpBottom];
            InvalidateArea(
                {0, std::min(OldFooterTop, NewFooterTop), Width, std::max(OldFooterTop, NewFooterTop)});
        } else if (FGridStyle == gsSlides) {
            InvalidateArea(
                {0, std::min(FOldClientHeight, Height), Width, std::max(FOldClientHeight, Height)});
        } else if (Height > FOldClientHeight) {
            InvalidateArea({0, FOldClientHeight, Width, Height});
        }
        FOldClientHeight = Height;
        UpdateVertScrollBar();
    }
    if (Width != FOldClientWidth) {
        if (GetHorzScrollPos() == 0) {
            int From = FOldClientWidth - (FGridStyle == gsSlides ? 3 : 0);
            InvalidateArea({std::min(From, Width), 0, std::max(FOldClientWidth, Width), Height});
        } else {
            Invalidate();
        }
        FOldClientWidth = Width;
        UpdateHorzScrollBar();
        FColumns->ResizeColumns(nullptr, false);
        if (!FCaption.empty() && GetVisibleRows() == 0) InvalidateArea(GetCaptionRect());
    }
    // An open editor follows its cell rather than closing: closing would drop what was typed.
    RepositionEditor();
}

// ---------------------------------------------------------------------------------------------
// Painting: background, plain cells and parts. The full painter overrides the seams.

void TNxCustomGridControl::UpdateScrollClips() {
    FHorzScrollClip = GetScrollRect();
    TRect Body = GetBodyRect();
    FVertScrollClip = {0, Body.Top, GetClientWidth(), Body.Bottom};
}

void TNxCustomGridControl::Paint() {
    Painter().Paint();
    // The grid does not hear of scheme changes; its border follows at the next paint.
    if ((FHeaderStyle == hsOffice2007 || FHeaderStyle == hsOffice2010) && GetBorderStyle() == bsSingle &&
        FBorderPainted !=
            NxThemesSupport::SchemeColor(NxThemesSupport::seBorder, NxThemesSupport::ColorScheme))
        RedrawBorder();
}

TGridPainter& TNxCustomGridControl::Painter() {
    if (!FPainter) FPainter = std::make_unique<TGridPainter>(*this);
    return *FPainter;
}

TStyleDisplay* TNxCustomGridControl::GetStyleDisplay() {
    return Painter().GetStyleDisplay();
}

void TNxCustomGridControl::PaintSlides() {
    TCanvas* Canvas = GetCanvas();
    TRect Body = GetBodyRect();
    int Top = Body.Top + FGridSpace[lpTop];
    int Row = FTopRow;
    for (; Row < GetRowCount() && Top < Body.Bottom; ++Row) {
        if (!GetRowVisible(Row)) continue;
        TRect Slide{0, Top, GetClientWidth(), Top + FSlideSize};
        TSlideState State;
        if (GetSelected(Row)) State.Include(stSelected);
        if (Row == FSelectedRow && GridFocused()) State.Include(stFocused);
        TColor SlideColor = State.Contains(stSelected) ? FSlideSelectionColor : GetColor();
        TColor GridColor = FGridLinesColor;
        DoSlideColoring(Row, SlideColor, GridColor, State);
        Canvas->GetBrush()->SetColor(SlideColor);
        Canvas->FillRect(Slide);
        for (int Index = 0; Index < FColumns->Count(); ++Index) {
            TNxCustomColumn* Column = FColumns->GetItem(Index);
            if (!Column->GetVisible()) continue;
            TRect Bounds = Column->GetSlideRect();
            DrawCell(Index, Row, {Bounds.Left, Bounds.Top + Top, Bounds.Right, Bounds.Bottom + Top});
        }
        Top += FSlideSize + FGridSpace[lpTopBottom];
    }
    FPaintEndRow = Row;
}

bool TNxCustomGridControl::DrawCellData(int ACol, int ARow, TCellState CellState) {
    TCanvas* Canvas = GetCanvas();
    Canvas->SetFont(FColumns->GetItem(ACol)->GetFont());
    Canvas->GetFont()->SetColor(GetEnabled() ? GetActualCellFontColor(ACol, ARow) : TColor(clGrayText));
    if (CellState.Contains(csBoldTextSelection))
        Canvas->GetFont()->SetStyle(Canvas->GetFont()->GetStyle() + TFontStyles{fsBold});
    return false;
}

void TNxCustomGridControl::DrawCell(int ACol, int ARow, const TRect& CellRect) {
    TCanvas* Canvas = GetCanvas();
    TCellState State = GetCellState(ACol, ARow);
    Canvas->GetBrush()->SetStyle(bsSolid);
    Canvas->GetBrush()->SetColor(GetActualCellColor(ACol, ARow));
    Canvas->FillRect(CellRect);
    DrawCellData(ACol, ARow, State);
    TRect TextRect{CellRect.Left + 2, CellRect.Top, CellRect.Right - 2 - FGridSpace[lpRight],
                   CellRect.Bottom};
    Canvas->GetBrush()->SetStyle(bsClear);
    Canvas->DrawText(GetDrawText(ACol, ARow), TextRect,
                     DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    Canvas->GetBrush()->SetStyle(bsSolid);
}
