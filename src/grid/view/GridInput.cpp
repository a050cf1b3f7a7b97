// The grid's mouse and keyboard input: hit testing, selection, keyboard movement, header clicks,
// cursors and hints.
#include "grid/view/NextGrid.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "grid/view/ColumnPlay.h"
#include "grid/view/GridDragBox.h"
#include "grid/view/StyleDisplay.h"
#include "platform/graphics/Canvas.h"
#include "platform/windows/Forms.h"

namespace {
constexpr TCursor crHorzSplit = 3000;
constexpr TCursor crVertSplit = 3003;
constexpr TCursor crIndicatorSelect = 3006;
constexpr int IndicatorWidth = 12;
constexpr int DragThreshold = 3;
constexpr int CellHintWidth = 250;

// The grid's cursor pictures under their numbers; the first move registers them, before any of
// them can be shown. Registering again after another component replaced one is harmless.
void RegisterGridCursors() {
    if (Screen->GetCursors(crHorzSplit) && Screen->GetCursors(crIndicatorSelect)) return;
    Screen->SetCursors(crHorzSplit, LoadCursor(HInstance, "HORZSPLIT"));
    Screen->SetCursors(crColumnNoDrag, LoadCursor(HInstance, "COLUMNNODRAG"));
    Screen->SetCursors(crVertSplit, LoadCursor(HInstance, "VERTSPLIT"));
    Screen->SetCursors(crIndicatorSelect, LoadCursor(HInstance, "INDICATORSELECT"));
}

// Area rectangles are hit without their last pixel column and row.
bool InsideArea(const TRect& R, TPoint P) {
    return P.X >= R.Left && P.X < R.Right - 1 && P.Y >= R.Top && P.Y < R.Bottom - 1;
}
} // namespace

using namespace GridGesture;

// ---------------------------------------------------------------------------------------------
// Hit testing

TGridArea TNxCustomGrid::GetGridArea(TPoint Point) {
    TGridOptions Options = GetOptions();
    if (GetGridStyle() == gsSlides) {
        if (Options.Contains(goHeader) && InsideArea(GetHeaderRect(), Point)) return gaHeader;
        return gaBody;
    }
    if (Options.Contains(goHeader) && InsideArea(GetHeaderRect(), Point)) return gaHeader;
    if (Options.Contains(goInput) && InsideArea(GetInputRect(), Point)) return gaInput;
    if (InsideArea(GetBodyRect(), Point)) return gaBody;
    if (Options.Contains(goFooter) && InsideArea(GetFooterRect(), Point)) return gaFooter;
    if (Options.Contains(goIndicator) && InsideArea(GetIndicatorRect(), Point)) return gaIndicator;
    return gaNone;
}

int TNxCustomGrid::ColumnScreenLeft(TNxCustomColumn* Column) {
    bool Fixed = Column->GetPosition() < GetColumns()->GetFixedCols();
    return Column->GetLeft() - (Fixed ? 0 : GetHorzScrollPos());
}

TNxCustomColumn* TNxCustomGrid::GetColumnAtPos(TPoint Point) {
    TNxColumns* Columns = GetColumns();
    for (int Pos = 0; Pos < Columns->Count(); ++Pos) {
        TNxCustomColumn* Column = Columns->GetPositionItem(Pos);
        if (!Column->GetVisible()) continue;
        int Left = ColumnScreenLeft(Column);
        if (Point.X >= Left && Point.X <= Left + Column->GetWidth()) return Column;
    }
    return nullptr;
}

int TNxCustomGrid::GetRowAtPos(int X, int Y) {
    TRect Body = GetBodyRect();
    Body.Left = 0;
    if (X < Body.Left || X >= Body.Right || Y < Body.Top || Y >= Body.Bottom) return -1;
    return GetRowAtPos(Y);
}

int TNxCustomGrid::GetRowAtPos(int Y) {
    TRect Body = GetBodyRect();
    int Edge = Body.Top;
    int Count = GetRowCount();
    // Only the rows on screen are walked: past the body bottom nothing can be hit.
    for (int Row = GetTopRow(); Row < Count && Edge <= Body.Bottom; ++Row) {
        if (!GetRowVisible(Row)) continue;
        Edge += GetRowHeight(Row) + GetGridSpace(lpTop);
        if (Edge >= Y) return Row;
        Edge += GetGridSpace(lpBottom);
    }
    return -1;
}

TPoint TNxCustomGrid::GetCellAtPos(TPoint Point) {
    if (GetGridStyle() == gsSlides) return GetSlideCellAtPos(Point);
    TNxCustomColumn* Column = GetColumnAtPos(Point);
    return TPoint{Column ? Column->GetIndex() : -1, GetRowAtPos(Point.X, Point.Y)};
}

TPoint TNxCustomGrid::GetSlideCellAtPos(TPoint Point) {
    const TRect Body = GetBodyRect();
    if (Point.X < 0 || Point.X >= GetClientWidth() || Point.Y < Body.Top || Point.Y >= Body.Bottom)
        return TPoint{-1, -1};
    const int Count = GetRowCount(), Size = GetSlideSize();
    int Top = Body.Top;
    for (int Row = GetTopRow(); Row < Count && Top <= Body.Bottom; ++Row) {
        if (!GetRowVisible(Row)) continue;
        const int SlideTop = Top + GetGridSpace(lpTop);
        Top += Size + GetGridSpace(lpTopBottom);
        if (Point.Y < SlideTop || Point.Y >= SlideTop + Size) continue;
        const int Y = Point.Y - SlideTop;
        for (int Col = 0; Col < GetColumns()->Count(); ++Col) {
            TNxSlideBounds* Bounds = GetColumns()->GetItem(Col)->GetSlideBounds();
            if (Point.X >= Bounds->GetLeft() && Point.X < Bounds->GetRight() && Y >= Bounds->GetTop() &&
                Y < Bounds->GetBottom())
                return TPoint{Col, Row};
        }
        return TPoint{-1, Row};
    }
    return TPoint{-1, -1};
}

TNxCustomColumn* TNxCustomGrid::GetColumnSizeGripAtPos(int X, int /*Y*/) {
    TNxColumns* Columns = GetColumns();
    for (int Pos = 0; Pos < Columns->Count(); ++Pos) {
        TNxCustomColumn* Column = Columns->GetPositionItem(Pos);
        if (!Column->GetVisible() || Column->GetOptions().Contains(coFixedSize)) continue;
        bool Fixed = Pos < Columns->GetFixedCols();
        // Scrolled columns pass under the fixed ones; their edges there cannot be taken.
        if (!Fixed && X < Columns->GetFixedWidth()) continue;
        int Right = ColumnScreenLeft(Column) + Column->GetWidth();
        if (X >= Right - 3 && X <= Right + 2) return Column;
    }
    return nullptr;
}

int TNxCustomGrid::GetRowSizeGripAtPos(int X, int Y) {
    TRect Body = GetBodyRect();
    if (Y < Body.Top || X > IndicatorWidth) return -1;
    int Edge = Body.Top;
    int Count = GetRowCount();
    for (int Row = GetTopRow(); Row < Count && Edge - 3 <= Body.Bottom; ++Row) {
        if (!GetRowVisible(Row)) continue;
        Edge += GetRowHeight(Row) + GetGridSpace(lpTopBottom);
        if (Edge - 3 < Y && Y < Edge + 1) return Row;
    }
    return -1;
}

int TNxCustomGrid::GetBodyDownLimit() {
    TRect Body = GetBodyRect();
    int Limit = Body.Top;
    int Count = GetRowCount();
    for (int Row = GetTopRow(); Row < Count && Limit <= Body.Bottom; ++Row)
        if (GetRowVisible(Row)) Limit += GetRowHeight(Row) + GetGridSpace(lpBottom);
    return Limit;
}

bool TNxCustomGrid::IsTextFit(int ACol, int ARow) {
    if (!GetColumns()->Exists(ACol) || ARow < 0 || ARow >= GetRowCount()) return true;
    TNxCustomColumn* Column = GetColumns()->GetItem(ACol);
    WideString Text = GetDrawText(ACol, ARow);
    DoApplyCell(ACol, ARow, Text);
    int Needed = GetCellContentWidth(ACol, ARow, Text) + 2 * Column->GetPadding();
    int Width = GetGridStyle() == gsSlides ? Column->GetSlideBounds()->GetWidth() : Column->GetWidth();
    return Width >= Needed + 5;
}

// ---------------------------------------------------------------------------------------------
// Hints

void TNxCustomGrid::DoApplyCell(int ACol, int ARow, WideString& Value) {
    if (OnApplyCell) OnApplyCell(this, ACol, ARow, Value);
}

void TNxCustomGrid::HideHint() {
    if (FHintWindow) FHintWindow->ReleaseHandle();
}

void TNxCustomGrid::ShowHintAt(TGridHintKind Kind, TPoint ClientPoint, int MaxWidth, const WideString& Text,
                               bool Always) {
    TCustomForm* Form = GetParentForm();
    if (!Form || Screen->GetActiveForm() != Form) return;
    if (!Always && !Application->GetShowHint()) return;
    FHintKind = Kind;
    if (Text.empty()) {
        HideHint();
        return;
    }
    if (!FHintWindow) {
        const THintWindowClass& Make = Application->GetHintWindowClass();
        FHintWindow = Make ? Make(this) : new THintWindow(this);
        FHintWindow->SetColor(Application->GetHintColor());
    }
    TRect Rect = FHintWindow->CalcHintRect(MaxWidth, Text, nullptr);
    TPoint Origin = ClientToScreen(ClientPoint);
    Rect = TRect{Rect.Left + Origin.X, Rect.Top + Origin.Y, Rect.Right + Origin.X, Rect.Bottom + Origin.Y};
    FHintWindow->ActivateHint(Rect, Text);
}

// ---------------------------------------------------------------------------------------------
// Seams of dragging: recorded here, tracked by the dragging code

// ---------------------------------------------------------------------------------------------
// Events

void TNxCustomGrid::DoHeaderClick(int ACol) {
    if (OnHeaderClick) OnHeaderClick(this, ACol);
}
void TNxCustomGrid::DoHeaderDblClick(int ACol) {
    if (OnHeaderDblClick) OnHeaderDblClick(this, ACol);
}
void TNxCustomGrid::DoFooterClick(int ACol) {
    if (OnFooterClick) OnFooterClick(this, ACol);
}
void TNxCustomGrid::DoCellClick(int ACol, int ARow) {
    if (OnCellClick) OnCellClick(this, ACol, ARow);
}
void TNxCustomGrid::DoCellDblClick(int ACol, int ARow) {
    if (OnCellDblClick) OnCellDblClick(this, ACol, ARow);
}

// ---------------------------------------------------------------------------------------------
// Mouse

void TNxCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TNxCustomGridControl::MouseDown(Button, Shift, X, Y);
    // A row press whose release went elsewhere ends with the next press.
    if (std::holds_alternative<TRowPress>(FGesture)) FGesture = TIdle{};
    FDownPoint = TPoint{X, Y};
    FDownCell = GetCellAtPos(FDownPoint);
    TGridArea Area = GetGridArea(FDownPoint);
    if (Shift.Contains(ssDouble)) {
        if (FGripColumn && FGripColumn->GetColumnStyle().Contains(csFitToLargest)) {
            BestFitColumn(FGripColumn->GetIndex(), bfCells, true);
            FGripColumn = nullptr;
        } else if (Area == gaBody) {
            if (CellBounds(FDownCell.X, FDownCell.Y)) DoCellDblClick(FDownCell.X, FDownCell.Y);
        } else if (Area == gaHeader) {
            if (TNxCustomColumn* Column = GetColumnAtPos(FDownPoint)) DoHeaderDblClick(Column->GetIndex());
        } else if (Area == gaIndicator && GetOptions().Contains(goRowResizing)) {
            const int Row = GetRowSizeGripAtPos(X, Y);
            if (Row >= 0) BestFitRow(Row);
        }
        FDownPoint = TPoint{-1, -1};
        return;
    }
    if (!IsDesigning() && GetVisible() && GetEnabled()) TryFocus();
    if (GetColumns()->Empty() || (Button != mbLeft && Button != mbRight)) return;

    if (Button == mbLeft && GetOptions().Contains(goHeader) && InsideArea(GetHeaderRect(), FDownPoint)) {
        if (TNxCustomColumn* Grip = GetColumnSizeGripAtPos(X, Y)) {
            StartColumnResize(Grip);
            return;
        }
    }
    switch (Area) {
    case gaBody:
        BodyPress(Button, Shift, X, Y);
        break;
    case gaHeader:
        if (IsDesigning() || Button != mbLeft) break;
        if (TNxCustomColumn* Column = GetColumnAtPos(FDownPoint);
            Column && Column->GetOptions().Contains(coCanClick)) {
            FGesture = THeaderPress{Column};
            RefreshColumn(Column, gaHeader);
        }
        break;
    case gaIndicator: {
        int GripRow = GetRowSizeGripAtPos(X, Y);
        if (GetOptions().Contains(goRowResizing) && GripRow >= 0)
            StartRowResize(GripRow, Y);
        else
            SetSelectedRow(GetRowAtPos(X, Y));
        break;
    }
    case gaNone:
        ApplyEditing();
        EndEditing();
        PostRow();
        break;
    default:
        break;
    }
}

void TNxCustomGrid::BodyPress(TMouseButton Button, TShiftState Shift, int X, int Y) {
    // A press elsewhere commits the edit, as Enter would: the typed text is written (the input
    // row's becomes a new row) before the editor closes.
    if (FGridState.Contains(gtEdit) || FGridState.Contains(gtInput)) {
        bool Input = FGridState.Contains(gtInput);
        ApplyEditing();
        if (Input) AddRowFromInput();
        EndEditing();
    }
    if (GetGridStyle() == gsReport) SetInputSelected(false);
    int C = FDownCell.X;
    int R = FDownCell.Y;
    FDownWasCurrent = C == GetSelectedColumn() && R == GetSelectedRow();
    bool Deselect = Button == mbLeft;
    // A right press outside a multi-selection starts over from that row; the selection it
    // replaces comes back if a drag of the control is cancelled.
    if (IsMultiSelect() && Button == mbRight && R >= 0 && R < GetRowCount() && !GetSelected(R)) {
        Deselect = true;
        FDragReselect = true;
    }
    if (R < 0 || R >= GetRowCount()) return;
    if (Button == mbLeft && GetOptions().Contains(goRowMoving)) FGesture = TRowPress{R, TPoint{X, Y}};
    if (!GetColumns()->Exists(C)) C = GetSelectedColumn();
    if (PlayTakesInput(C)) {
        const TRect CellRect = GetCellRect(C, R);
        if (UpdateColumnPlay(C, R, CellRect))
            GetPlay(C)->MouseDown(Button, Shift, X - CellRect.Left, Y - CellRect.Top);
    }
    SelectCell(C, R, Deselect, Shift);
    // A partly visible row or slide comes further into view.
    if (GetGridStyle() == gsReport && GetRowRect(R).Bottom > GetBodyRect().Bottom) ScrollToRow(R);
    if (GetGridStyle() == gsSlides && GetSlideRect(R).Bottom > GetBodyRect().Bottom)
        GetVertScrollBar()->Next();
}

void TNxCustomGrid::DragCanceled() {
    if (!FDragReselect) return;
    SelectCell(GetSelectedColumn(), GetSelectedRow(), true, {});
    FDragReselect = false;
}

void TNxCustomGrid::MouseMove(TShiftState Shift, int X, int Y) {
    TNxCustomGridControl::MouseMove(Shift, X, Y);
    RegisterGridCursors();
    FPreviousHover = FHoverCell;
    FHoverCell = TPoint{-1, -1};
    // Roll scrolling (the scroll control's vsRolling) owns the cursor; no hints or hovers meanwhile.
    if (GetColumns()->Empty() || GetViewState().Contains(vsRolling)) return;
    const bool RowDrag = GetOptions().Contains(goRowMoving) && Shift.Contains(ssLeft);
    // The gesture in progress takes the move; hovers and hints follow only when none does.
    const bool Taken = std::visit(TOverloaded{[&](TColumnResize& Resize) {
                                                  TrackColumnResize(Resize, X);
                                                  return true;
                                              },
                                              [&](TRowResize& Resize) {
                                                  if (!GetOptions().Contains(goRowResizing)) return false;
                                                  TrackRowResize(Resize, Y);
                                                  return true;
                                              },
                                              [&](TRowPress& Press) {
                                                  if (RowDrag) StartRowMove(Press, X, Y);
                                                  auto* Move = std::get_if<TRowMove>(&FGesture);
                                                  if (Move) TrackRowMove(*Move, X, Y);
                                                  return Move != nullptr;
                                              },
                                              [&](TRowMove& Move) {
                                                  if (RowDrag) TrackRowMove(Move, X, Y);
                                                  return RowDrag;
                                              },
                                              [](auto&) { return false; }},
                                  FGesture);
    if (!Taken) HoverMove(Shift, X, Y);
}

void TNxCustomGrid::HoverMove(TShiftState Shift, int X, int Y) {
    TGridArea Area = GetGridArea(TPoint{X, Y});
    if (Area == gaHeader) {
        HeaderMove(Shift, X, Y);
    } else {
        if (FHintKind == hkHeader) HideHint();
        FHeaderHintColumn = nullptr;
        FGripColumn = nullptr;
        SetHoverColumn(nullptr);
    }
    if (Area == gaFooter) {
        TNxCustomColumn* Column = GetColumnAtPos(TPoint{X, Y});
        WideString Hint = Column ? Column->GetFooter()->GetHint() : WideString();
        if (Hint.empty()) {
            HideHint();
            FFooterHintColumn = nullptr;
        } else if (Column != FFooterHintColumn) {
            FFooterHintColumn = Column;
            ShowHintAt(hkFooter, TPoint{ColumnScreenLeft(Column), GetClientHeight() + 2}, GetClientWidth(),
                       Hint, false);
        }
    } else {
        if (FHintKind == hkFooter) HideHint();
        FFooterHintColumn = nullptr;
    }
    if (Area == gaBody) {
        BodyMove(Shift, X, Y);
    } else {
        if (FHintKind == hkTextFit || FHintKind == hkCell) HideHint();
        MouseLeaveCell();
        FLastHoverCell = TPoint{-1, -1};
    }
    if (Area == gaIndicator) {
        if (GetOptions().Contains(goRowResizing) && GetRowSizeGripAtPos(X, Y) >= 0)
            SetCursor(crVertSplit);
        else if (Y > GetBodyRect().Top && Y < GetBodyDownLimit())
            SetCursor(crIndicatorSelect);
        else
            SetCursor(crDefault);
    } else if (Area == gaNone) {
        HideHint();
        SetCursor(crDefault);
    }
}

void TNxCustomGrid::SetHoverColumn(TNxCustomColumn* Column) {
    TNxCustomColumn* Old = FHoverColumn;
    FHoverColumn = Column;
    if (Old == Column) return;
    if (!GetStyleDisplay()->GetStyleDisplayAttributes().Contains(sdaHoverEnabled)) return;
    if (Column) RefreshColumn(Column, gaHeader);
    if (Old) RefreshColumn(Old, gaHeader);
}

void TNxCustomGrid::HeaderMove(TShiftState Shift, int X, int Y) {
    if (IsDesigning()) return;
    FGripColumn = GetColumnSizeGripAtPos(X, Y);
    SetCursor(FGripColumn ? crHorzSplit : crDefault);
    auto* Press = std::get_if<THeaderPress>(&FGesture);
    if (Press && Shift.Contains(ssLeft) && !Press->Column->GetOptions().Contains(coDisableMoving) &&
        !GetOptions().Contains(goDisableColumnMoving)) {
        if (std::abs(X - FDownPoint.X) > DragThreshold || std::abs(Y - FDownPoint.Y) > DragThreshold)
            StartColumnMove(Press->Column, X, Y);
        return;
    }
    TNxCustomColumn* Column = GetColumnAtPos(TPoint{X, Y});
    WideString Hint = Column ? Column->GetHeader()->GetHint() : WideString();
    if (Hint.empty()) {
        if (FHintKind == hkHeader) HideHint();
        FHeaderHintColumn = nullptr;
    } else if (Column != FHeaderHintColumn) {
        FHeaderHintColumn = Column;
        ShowHintAt(hkHeader, TPoint{ColumnScreenLeft(Column), GetHeaderSize() + 2}, GetClientWidth(), Hint,
                   false);
    }
    SetHoverColumn(Column);
}

void TNxCustomGrid::BodyMove(TShiftState Shift, int X, int Y) {
    FHoverCell = GetCellAtPos(TPoint{X, Y});
    TPoint Previous = FPreviousHover;
    if (FHoverCell != FLastHoverCell) MouseLeaveCell();
    FLastHoverCell = FHoverCell;
    if (CellBounds(FHoverCell.X, FHoverCell.Y) && GetPlay(FHoverCell.X) && !GetReadOnly()) {
        const TRect CellRect = GetCellRect(FHoverCell.X, FHoverCell.Y);
        if (UpdateColumnPlay(FHoverCell.X, FHoverCell.Y, CellRect))
            GetPlay(FHoverCell.X)->MouseMove(Shift, X - CellRect.Left, Y - CellRect.Top);
    }
    bool Valid = GetColumns()->Exists(FHoverCell.X) && FHoverCell.Y >= 0 && FHoverCell.Y < GetRowCount();
    if (!Valid) {
        SetCursor(crDefault);
        FHintKind = hkNone;
        HideHint();
        return;
    }
    TNxCustomColumn* Column = GetColumns()->GetItem(FHoverCell.X);
    if (FGridState.Contains(gtEdit) && GetEditingCell() == FHoverCell) {
        HideHint();
    } else {
        SetCursor(Column->GetCursor());
        if (FHoverCell == Previous) return;
        if (Column->GetOptions().Contains(coShowTextFitHint) && !IsTextFit(FHoverCell.X, FHoverCell.Y)) {
            TRect Cell = GetCellRect(FHoverCell.X, FHoverCell.Y);
            WideString Text = GetHintText(FHoverCell.X, FHoverCell.Y);
            DoApplyCell(FHoverCell.X, FHoverCell.Y, Text);
            if (Text.empty())
                HideHint();
            else
                ShowHintAt(hkTextFit, TPoint{Cell.Left, Cell.Top}, GetClientWidth(), Text, true);
            return;
        }
    }
    if (FHoverCell == Previous) return;
    if (FHintKind != hkTextFit) {
        WideString Hint = GetCellHint(FHoverCell.X, FHoverCell.Y);
        if (!Hint.empty()) {
            TRect Cell = GetCellRect(FHoverCell.X, FHoverCell.Y);
            ShowHintAt(hkCell, TPoint{Cell.Left + Column->GetWidth(), Cell.Top - 20}, CellHintWidth, Hint,
                       false);
            return;
        }
    }
    FHintKind = hkNone;
    HideHint();
}

void TNxCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TNxCustomGridControl::MouseUp(Button, Shift, X, Y);
    // Only a press that began in the input row opens its editor at the release.
    const bool InputPress = FDownPoint.X != -1 && GetGridArea(FDownPoint) == gaInput;
    const TGridGesture Ended = std::exchange(FGesture, TIdle{});
    FDownPoint = TPoint{-1, -1};
    if (auto* Resize = std::get_if<TColumnResize>(&Ended)) {
        FinishColumnResize(*Resize);
        return;
    }
    if (auto* Resize = std::get_if<TRowResize>(&Ended)) FinishRowResize(*Resize);
    TNxCustomColumn* Pressed = nullptr;
    if (auto* Press = std::get_if<THeaderPress>(&Ended)) {
        // Reported wherever the button comes up; only a release over the same header sorts.
        Pressed = Press->Column;
        DoHeaderClick(Pressed->GetIndex());
        RefreshColumn(Pressed, gaHeader);
    }
    auto* Move = std::get_if<TRowMove>(&Ended);
    // A dropped row's press cell is forgotten, so the release is no click on a cell.
    if (Move) FDownCell = TPoint{-1, -1};
    ReleaseAt(Button, Shift, X, Y, Pressed, InputPress);
    if (Move) DropRow(*Move, X, Y);
}

void TNxCustomGrid::ReleaseAt(TMouseButton Button, TShiftState Shift, int X, int Y, TNxCustomColumn* Pressed,
                              bool InputPress) {
    if (Button != mbLeft) {
        EndEditing();
        return;
    }
    TGridArea Area = GetGridArea(TPoint{X, Y});
    TNxCustomColumn* Column = GetColumnAtPos(TPoint{X, Y});
    switch (Area) {
    case gaFooter:
        if (Column) DoFooterClick(Column->GetIndex());
        break;
    case gaHeader:
        if (!IsDesigning() && Column && Column == Pressed && Column->GetOptions().Contains(coCanSort)) {
            if (Column->GetSorted())
                Column->SetSortKind(Column->GetSortKind() == skAscending ? skDescending : skAscending);
            else
                Column->SetSorted(true);
        }
        break;
    case gaBody:
        if (!IsDesigning()) BodyClick(Button, Shift, X, Y);
        break;
    case gaInput:
        if (!IsDesigning() && InputPress && GetOptions().Contains(goInput) && Column)
            InputColumn(Column, WideString());
        break;
    default:
        if (FGridState.Contains(gtMultiSelect)) ClearSelection();
        break;
    }
}

void TNxCustomGrid::BodyClick(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TPoint Cell = GetCellAtPos(TPoint{X, Y});
    bool SameCell = false;
    if (Cell.X >= 0 && Cell.Y >= 0 && Cell.Y < GetRowCount()) {
        SameCell = Cell == FDownCell;
        if (SameCell) DoCellClick(Cell.X, Cell.Y);
    }
    if (!GetColumns()->Exists(Cell.X)) return;
    if (FGridState.Contains(gtMultiSelect)) {
        if (Cell.Y == -1) ClearSelection();
        return;
    }
    if (!SameCell || !CellBounds(Cell.X, Cell.Y)) return;
    TRect CellRect = GetCellRect(Cell.X, Cell.Y);
    if (PlayTakesInput(Cell.X) && UpdateColumnPlay(Cell.X, Cell.Y, CellRect))
        GetPlay(Cell.X)->MouseUp(Button, Shift, X - CellRect.Left, Y - CellRect.Top);
    GetColumns()->GetItem(Cell.X)->AdjustEditRect(Cell.Y, CellRect);
    if (X < CellRect.Left || X >= CellRect.Right || Y < CellRect.Top || Y >= CellRect.Bottom) return;
    if (GetOptions().Contains(goSecondClickEdit) && !FDownWasCurrent) return;
    if (!GetReadOnly() && CanSelectCell(Cell.X, Cell.Y)) EditCell(Cell.X, Cell.Y, WideString());
}

void TNxCustomGrid::EndGesture() {
    FGesture = TIdle{};
    FDownPoint = TPoint{-1, -1};
    FDownCell = TPoint{-1, -1};
}

// ---------------------------------------------------------------------------------------------
// Keyboard

void TNxCustomGrid::KeyDown(Word& Key, TShiftState Shift) {
    if (Key == VK_ESCAPE && GestureIsDrag(FGesture)) {
        CancelGestures();
        Key = 0;
        return;
    }
    TNxCustomGridControl::KeyDown(Key, Shift);
    if (Key != 0) ProcessKeyDown(Key, Shift);
}

void TNxCustomGrid::ProcessKeyDown(Word& Key, TShiftState Shift) {
    if (GetOptions().Contains(goDisableKeys)) return;
    bool EditorOpen = FGridState.Contains(gtEdit) || FGridState.Contains(gtInput);
    // In an open editor Ctrl+C and Ctrl+A copy and select its text, not the grid's rows.
    if (Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt) && !EditorOpen) {
        if (Key == 'C') {
            CopyToClipboard();
            return;
        }
        if (Key == 'A' && GetOptions().Contains(goMultiSelect)) {
            SelectAll();
            return;
        }
    }
    if (EditorOpen && (Key == VK_END || Key == VK_HOME || Key == VK_LEFT || Key == VK_UP || Key == VK_RIGHT ||
                       Key == VK_DOWN))
        return;
    TNxScrollBar* Vert = GetVertScrollBar();
    bool SideStep = GetInputSelected() || !GetOptions().Contains(goSelectFullRow) ||
                    GetAppearanceOptions().Contains(aoIndicateSelectedCell);
    switch (Key) {
    case VK_TAB:
        if (Shift.Contains(ssShift))
            MoveToPrevCell(true);
        else
            MoveToNextCell(true);
        break;
    case VK_PRIOR: {
        int V = GetVisibleCount(false);
        if (GetSelectedRow() > GetTopRow()) {
            SetSelectedRow(GetTopRow());
        } else {
            MoveSelectionBy(-V);
            Vert->MoveBy(-V);
        }
        break;
    }
    case VK_NEXT: {
        int V = GetVisibleCount(false);
        if (GetSelectedRow() < GetTopRow() + V - 1) {
            SetSelectedRow(GetLastRowInView(V));
        } else if (GetSelectedRow() + V > GetRowCount()) {
            SelectLastRow({});
        } else {
            MoveSelectionBy(V);
            Vert->MoveBy(V);
        }
        break;
    }
    case VK_END:
        if (GetRowCount() > 0) SelectRows(Shift, GetSelectedRow(), GetRowCount() - 1);
        if (FHomeEndBehaviour == hebLeftRight)
            SelectLastColumn();
        else if (GetColumns()->Exists(GetSelectedColumn()))
            SelectLastRow(Shift);
        break;
    case VK_HOME:
        if (GetRowCount() > 0) SelectRows(Shift, 0, GetSelectedRow());
        if (FHomeEndBehaviour == hebLeftRight)
            SelectFirstColumn();
        else if (GetColumns()->Exists(GetSelectedColumn()))
            SelectFirstRow(Shift);
        break;
    case VK_LEFT:
        if (SideStep)
            MoveSelectionLeft(mkArrows);
        else
            GetHorzScrollBar()->Prior();
        break;
    case VK_UP:
        MoveSelectionUp(Shift);
        break;
    case VK_RIGHT:
        if (SideStep)
            MoveSelectionRight(mkArrows);
        else
            GetHorzScrollBar()->Next();
        break;
    case VK_DOWN:
        MoveSelectionDown(Shift, false, false);
        break;
    default:
        break;
    }
}

void TNxCustomGrid::KeyPress(WideChar& Key) {
    // OnKeyPress comes first: a handler that clears Key stops the edit, the input and the
    // search alike, before anything has started.
    TNxCustomGridControl::KeyPress(Key);
    if (FGridState.Contains(gtEdit) || FGridState.Contains(gtInput) || GetOptions().Contains(goDisableKeys) ||
        Key == 27 || Key == 0)
        return;
    if (Key == 13 && FWantReturns) {
        if (!GetInputSelected()) {
            switch (GetSelectionMoveDirection()) {
            case mdUp:
                MoveSelectionUp({});
                break;
            case mdDown:
                MoveSelectionDown({}, false, false);
                break;
            case mdLeft:
                MoveSelectionLeft(mkEnter);
                break;
            case mdRight:
                MoveSelectionRight(mkEnter);
                break;
            case mdNone:
                break;
            }
        } else if (FInputEnterMode == imAllways) {
            ApplyEditing();
            AddRowFromInput();
        }
    }
    bool HasRow = GetSelectedRow() >= 0 && GetSelectedRow() < GetRowCount();
    if (!GetColumns()->Exists(GetSelectedColumn()) || (!GetInputSelected() && !HasRow)) return;
    if (!GetInputSelected() && PlayTakesInput(GetSelectedColumn())) {
        const int ACol = GetSelectedColumn(), ARow = GetSelectedRow();
        if (UpdateColumnPlay(ACol, ARow, GetCellRect(ACol, ARow))) GetPlay(ACol)->KeyPress(Key);
    }
    if (Key == 13 || Key == 9) return;
    // Control characters and Ctrl with a letter (Ctrl+C, Ctrl+A) are commands, never search text;
    // Ctrl with Alt is how some keyboards type characters.
    if (Key < 32) return;
    if (GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0) return;
    TNxCustomColumn* Column = GetColumns()->GetItem(GetSelectedColumn());
    if (!GetReadOnly() && Column->IsKeyValid(Key)) {
        // The character reaches the editor as typed, so the editor's own rules apply to it.
        if (GetInputSelected())
            StartInput(GetSelectedColumn(), Key);
        else
            StartEdit(GetSelectedColumn(), GetSelectedRow(), Key);
        if (FGridState.Contains(gtEdit) || FGridState.Contains(gtInput)) return;
    }
    if (!GetInputSelected()) IncrementalSearch(Key);
}

// ---------------------------------------------------------------------------------------------
// Keyboard movement

void TNxCustomGrid::MoveSelectionUp(TShiftState Shift) {
    int Current = GetSelectedRow();
    if (Current < 0 || Current >= GetRowCount() || GetInputSelected()) return;
    if (Current == GetFirstVisibleRow() && GetOptions().Contains(goInput) && GetGridStyle() == gsReport) {
        SetInputSelected(true);
        return;
    }
    for (int Row = Current - 1; Row >= 0; --Row) {
        if (!GetRowVisible(Row) || !CanSelectCell(GetSelectedColumn(), Row)) continue;
        SelectCell(GetSelectedColumn(), Row, true, Shift);
        if (Row < GetTopRow()) ScrollToRow(Row);
        return;
    }
}

void TNxCustomGrid::MoveSelectionDown(TShiftState Shift, bool LeaveAtEnd, bool Wrap) {
    int Count = GetRowCount();
    int Current = GetSelectedRow();
    if (Count == 0) return;
    if (GetInputSelected()) {
        // From the input row down to the first row in the body.
        SetInputSelected(false);
        int First = GetFirstVisibleRow();
        SelectCell(GetSelectedColumn(), First, true, Shift);
        RefreshRow(First);
        return;
    }
    if (Current < 0 || Current >= Count) return;
    if (Current == Count - 1) {
        if (LeaveAtEnd) SelectNextControl();
        if (Wrap) SelectFirstRow({});
        return;
    }
    for (int Row = Current + 1; Row < Count; ++Row) {
        if (!GetRowVisible(Row) || !CanSelectCell(GetSelectedColumn(), Row)) continue;
        SelectCell(GetSelectedColumn(), Row, true, Shift);
        if (GetGridStyle() == gsReport) {
            if (GetRowRect(Row).Bottom > GetBodyRect().Bottom) ScrollToRow(Row);
        } else if (GetSlideRect(Row).Bottom >= GetBodyRect().Bottom) {
            GetVertScrollBar()->Next();
        }
        return;
    }
}

void TNxCustomGrid::MoveSelectionLeft(TMoveSelectionKey Key) {
    if (!GetColumns()->Exists(GetSelectedColumn())) return;
    MoveSelectionToColumn(GetColumns()->GetPrevColumn(GetColumns()->GetItem(GetSelectedColumn())), Key);
}

void TNxCustomGrid::MoveSelectionRight(TMoveSelectionKey Key) {
    if (!GetColumns()->Exists(GetSelectedColumn())) return;
    MoveSelectionToColumn(GetColumns()->GetNextColumn(GetColumns()->GetItem(GetSelectedColumn())), Key);
}

void TNxCustomGrid::MoveSelectionToColumn(TNxCustomColumn* Target, TMoveSelectionKey Key) {
    if (!Target) return;
    int Index = Target->GetIndex();
    DoSelectionMove(Index, GetSelectedRow(), Key);
    // The handler may have removed the column.
    if (!GetColumns()->Exists(Index)) return;
    SelectCell(Index, GetSelectedRow(), true, {});
    if (GetGridStyle() == gsReport) ScrollToColumn(GetColumns()->GetItem(Index));
}

void TNxCustomGrid::MoveSelectionBy(int N) {
    int Current = GetSelectedRow();
    if (N == 0 || Current < 0 || Current >= GetRowCount()) return;
    int First = GetFirstVisibleRow();
    int Last = GetLastVisibleRow();
    int Target = Current;
    if (AllRowsVisible()) {
        Target = std::clamp(Current + N, First, Last);
    } else {
        int Step = N > 0 ? 1 : -1;
        for (int Left = std::abs(N); Left > 0;) {
            int Next = Target + Step;
            if (Next < First || Next > Last) break;
            Target = Next;
            if (GetRowVisible(Target)) --Left;
        }
    }
    SetSelectedRow(Target);
}

void TNxCustomGrid::MoveToNextCell(bool ByTab) {
    TNxColumns* Columns = GetColumns();
    if (!Columns->Exists(GetSelectedColumn())) return;
    if (Columns->GetItem(GetSelectedColumn()) != Columns->Last()) {
        MoveSelectionRight(ByTab ? mkTab : mkUndefined);
        return;
    }
    if (GetInputSelected()) {
        if (FTabLeaveControl) SelectNextControl();
        return;
    }
    MoveSelectionDown({}, ByTab && FTabLeaveControl, ByTab);
    if (TNxCustomColumn* First = Columns->FirstEnabled()) {
        int Index = First->GetIndex();
        DoSelectionMove(Index, GetSelectedRow(), ByTab ? mkTab : mkUndefined);
        SetSelectedColumn(Index);
    }
}

void TNxCustomGrid::MoveToPrevCell(bool ByTab) {
    TNxColumns* Columns = GetColumns();
    if (!Columns->Exists(GetSelectedColumn())) return;
    if (Columns->GetItem(GetSelectedColumn()) != Columns->First()) {
        MoveSelectionLeft(ByTab ? mkTab : mkUndefined);
        return;
    }
    if (!GetInputSelected() && GetSelectedRow() > GetFirstVisibleRow()) {
        MoveSelectionUp({});
        if (TNxCustomColumn* Last = Columns->LastEnabled()) {
            int Index = Last->GetIndex();
            DoSelectionMove(Index, GetSelectedRow(), ByTab ? mkTab : mkUndefined);
            SetSelectedColumn(Index);
        }
    } else if (FTabLeaveControl) {
        if (TWinControl* Parent = GetParent()) Parent->SelectNext(this, false, true);
    }
}

int TNxCustomGrid::GetLastRowInView(int Count) {
    int Row = GetTopRow();
    if (Count <= 0) return Row;
    int Last = GetRowCount() - 1;
    for (int Passed = 0; Passed < Count - 1 && Row < Last;) {
        ++Row;
        if (GetRowVisible(Row)) ++Passed;
    }
    return Row;
}

void TNxCustomGrid::SelectFirstColumn() {
    TNxColumns* Columns = GetColumns();
    for (int Pos = 0; Pos < Columns->Count(); ++Pos) {
        TNxCustomColumn* Column = Columns->GetPositionItem(Pos);
        if (!Column->GetVisible()) continue;
        SetSelectedColumn(Column->GetIndex());
        ScrollToColumn(Column);
        return;
    }
}

void TNxCustomGrid::SelectLastColumn() {
    TNxColumns* Columns = GetColumns();
    for (int Pos = Columns->Count() - 1; Pos >= 0; --Pos) {
        TNxCustomColumn* Column = Columns->GetPositionItem(Pos);
        if (!Column->GetVisible()) continue;
        SetSelectedColumn(Column->GetIndex());
        ScrollToColumn(Column);
        return;
    }
}

void TNxCustomGrid::SelectRows(TShiftState /*Shift*/, int From, int To) {
    if (From == To || !IsMultiSelect() || From < 0 || To < 0) return;
    FGridState.Include(gtMultiSelect);
    int Low = std::min(From, To);
    int High = std::max(From, To);
    if (AllRowsVisible()) {
        SelectRange(Low, High, true);
        return;
    }
    BeginUpdate();
    for (int Row = Low; Row <= High; ++Row)
        if (GetRowVisible(Row)) SetSelected(Row, true);
    EndUpdate();
}
