#pragma once
// The grid component, view half: layout, rows on the vertical bar, selection and invalidation.
//
// Files of the grid (src/grid):
//   model/ColumnTypes.h, Column.*, Columns.*   columns and the column collection
//   model/*Column.*                            the column kinds
//   model/Cell.*, Cells.*                      cells, row records and the cell store
//   model/CellsSort.cpp, GridSearch.*,         sorting, search and footer formulas
//     FooterFormula.*
//   model/GridHost.h                           what the model may ask of the grid
//   view/ScrollControl.*                       scroll bars, content shifting, roll scrolling
//   view/VertScrollBar.*                       the painted bar and its framed control base
//   view/GridControlTypes.h                    the grid's enumerations, sets and event types
//   view/GridControl.*                         TNxCustomGridControl (this file): geometry,
//                                              scrolling, selection, invalidation, size changes
//   view/GridPaint.*                           one frame: rows, grid lines, indicator, parts
//   view/GridSelectCell.*                      what a selection asks for; SelectCell applies it
//   view/CustomGrid.*                          TNxCustomGrid: input over the view; its window,
//                                              the wheel, focus and activation
//   view/GridGesture.*                         the one mouse gesture in progress
//   view/GridInput.cpp, GridClipboard.cpp      mouse, keys, hints, copying rows
//   view/GridEditing.cpp, GridDragging.cpp     in-place editing and the input row; dragging
//   view/GridDragBox.*                         the drag box and drop arrows of column moving
//   view/NextGrid.*                            TNextGrid: rows and cells over the cell store
//   view/GridSort.cpp, GridExport*.*           sorting, search, footers; export and import
//   view/ColumnDisplay*.*, StyleDisplay*.*     cell painters and header styles
//
// How input and paints travel (platform/windows/WindowBridge.cpp turns window events into
// messages; Control.cpp and WinControl.cpp dispatch them):
//   press   TNxCustomGrid::WndProc (CustomGrid.cpp) -> TControl::WMMouseDown
//             -> TNxCustomGrid::MouseDown (GridInput.cpp) -> TNxScrollControl::MouseDown (roll)
//             -> header: THeaderPress or StartColumnResize (GridDragging.cpp) as FGesture
//             -> body:   BodyPress -> SelectCell (GridSelectCell.cpp) -> DecideSelect
//                          -> MoveCurrentCell, ApplySelect -> TNextGrid::StoreSelected
//                          (GridSelection.cpp) -> RefreshRow -> InvalidateArea
//   move    TNxCustomGrid::MouseMove: std::visit on FGesture (Track...) or HoverMove (hints)
//   release TNxCustomGrid::MouseUp: FGesture ends (Finish..., DropRow, header click) -> ReleaseAt
//             (sort click, BodyClick -> EditCell in GridEditing.cpp)
//   key     TWinControl::WMKeyDown -> TNxCustomGrid::KeyDown (Esc cancels a drag)
//             -> ProcessKeyDown -> MoveSelection... (GridInput.cpp) -> SelectCell
//           TNxCustomGrid::KeyPress -> StartEdit (GridEditing.cpp) or IncrementalSearch
//             (GridSort.cpp)
//   paint   WM_PAINT -> TNxCustomGridControl::Paint -> TGridPainter::Paint (GridPaint.cpp)
//             -> PaintReportRows -> DrawCell -> TNextGrid::DrawCellData (NextGrid.cpp)
//             -> the column's display (ColumnDisplay*.cpp); PaintReportParts -> the header
//             style (StyleDisplay*.cpp); slides: TNxCustomGridControl::PaintSlides
//
// Typical flow: a program adds rows (TNextGrid::AddRow), writes a cell (GetCell(c, r)->SetAs...),
// the store reports the change, the grid invalidates the cell's rectangle (RefreshCell); later
// the window system asks for a paint and Paint walks the rows from TopRow down, painting only
// what lies in the invalid region. Scrolling moves TopRow by visible rows (GetVertOffset), shifts
// the pixels already on screen and invalidates the uncovered strip. Selecting a row flips the
// row flags through the data half and invalidates the old and the new row.
//
// Row positions are summed from TopRow, never from row 0, so a grid of a million rows scrolls and
// selects in time proportional to what is on screen.

#include <array>
#include <memory>

#include "grid/model/Columns.h"
#include "grid/model/GridHost.h"
#include "grid/view/GridControlTypes.h"
#include "grid/view/GridSelectCell.h"
#include "grid/view/ScrollControl.h"
#include "platform/windows/Themes.h"

class TColumnDisplay;
class TGridPainter;
class TStyleDisplay;

class TNxCustomGridControl : public TNxScrollControl, public TNxGridHost {
    // Paints frames through the seams below (GridPaint.*).
    friend class TGridPainter;

public:
    explicit TNxCustomGridControl(TComponent* AOwner);
    ~TNxCustomGridControl() override;

    TNxColumns* GetColumns() override { return FColumns.get(); }

    // --- published appearance and behaviour; setters store first, then invalidate what they affect
    TAppearanceOptions GetAppearanceOptions() const { return FAppearanceOptions; }
    void SetAppearanceOptions(TAppearanceOptions Value);
    // Reading order; the cell editor takes it when it opens.
    TBiDiMode GetBiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value) { FBiDiMode = Value; }
    bool GetAutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool Value) { FAutoScroll = Value; }
    // Shown in the body when no row is visible.
    WideString GetGridCaption() const { return FCaption; }
    void SetGridCaption(const WideString& Value);
    bool GetEnableVisualStyles() const { return FEnableVisualStyles; }
    void SetEnableVisualStyles(bool Value);
    int GetFixedCols() const { return FColumns->GetFixedCols(); }
    void SetFixedCols(int Value);
    int GetFooterSize() const { return FFooterSize; }
    void SetFooterSize(int Value);
    TColor GetGridLinesColor() const { return FGridLinesColor; }
    void SetGridLinesColor(TColor Value);
    TGridLinesStyle GetGridLinesStyle() const { return FGridLinesStyle; }
    void SetGridLinesStyle(TGridLinesStyle Value);
    TGridStyle GetGridStyle() const { return FGridStyle; }
    void SetGridStyle(TGridStyle Value);
    int GetHeaderSize() const { return FHeaderSize; }
    void SetHeaderSize(int Value);
    THeaderStyle GetHeaderStyle() const { return FHeaderStyle; }
    void SetHeaderStyle(THeaderStyle Value);
    bool GetHideScrollBar() const { return FHideScrollBar; }
    void SetHideScrollBar(bool Value);
    TColor GetHighlightedTextColor() const { return FHighlightedTextColor; }
    void SetHighlightedTextColor(TColor Value);
    TColor GetInactiveSelectionColor() const { return FInactiveSelectionColor; }
    void SetInactiveSelectionColor(TColor Value);
    int GetInputSize() const { return FInputSize; }
    void SetInputSize(int Value);
    TGridOptions GetOptions() const { return FOptions; }
    void SetOptions(TGridOptions Value);
    bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    int GetRowSize() const { return FRowSize; }
    // Values of 0 or below are ignored; rows keep their own heights.
    virtual void SetRowSize(int Value);
    TColor GetSelectionColor() const { return FSelectionColor; }
    void SetSelectionColor(TColor Value) { FSelectionColor = Value; }
    TSelectionMoveDirection GetSelectionMoveDirection() const { return FSelectionMoveDirection; }
    void SetSelectionMoveDirection(TSelectionMoveDirection Value) { FSelectionMoveDirection = Value; }
    TSlideOptions GetSlidesOptions() const { return FSlidesOptions; }
    void SetSlidesOptions(TSlideOptions Value);
    TColor GetSlideSelectionColor() const { return FSlideSelectionColor; }
    void SetSlideSelectionColor(TColor Value);
    int GetSlideSize() const { return FSlideSize; }
    void SetSlideSize(int Value);
    TSortedStyle GetSortedStyle() const { return FSortedStyle; }
    void SetSortedStyle(TSortedStyle Value);
    TColor GetSlideCaptionColor() const { return FSlideCaptionColor; }
    void SetSlideCaptionColor(TColor Value) { FSlideCaptionColor = Value; }
    AnsiString GetVersion() const { return "5.2.5"; }

    // --- view state
    int GetSelectedColumn() override { return FSelectedColumn; }
    // Index in 0..column count - 1 selects that column of the current row; others are ignored.
    void SetSelectedColumn(int Index);
    int GetSelectedRow() const { return FSelectedRow; }
    // On a grid with rows, -1..row count - 1 selects that row; other values are ignored.
    virtual void SetSelectedRow(int Index);
    // (SelectedColumn, SelectedRow), read and written without any other effect.
    TPoint GetSelectedCell() const { return TPoint{FSelectedColumn, FSelectedRow}; }
    void SetSelectedCell(TPoint Value) {
        FSelectedColumn = Value.X;
        FSelectedRow = Value.Y;
    }
    int GetTopRow() const { return FTopRow; }
    int GetPaintEndRow() const { return FPaintEndRow; }
    int GetAnchorRow() const { return FAnchorRow; }
    bool GetInputSelected() const { return FInputSelected; }
    // Moves the focus between the body and the input row: selecting it clears the current row's
    // flag, leaving it applies and ends an edit; the input row, indicator and selection repaint.
    virtual void SetInputSelected(bool Value);
    virtual TGridState GetGridState() const { return FGridState; }
    TPoint GetEditingCell() const { return FEditingCell; }
    int GetGridSpace(TGridLinePosition Position) const { return FGridSpace[Position]; }
    bool IsMultiSelect() const {
        return FOptions.Contains(goMultiSelect) && FOptions.Contains(goSelectFullRow);
    }
    int GetUpdateCount() const { return FUpdateCount; }
    bool IsUpdating() const { return FUpdateCount > 0; }

    // --- the data half supplies these
    virtual int GetRowCount() = 0;
    // The row's height (RowSize in the view).
    virtual int GetRowHeight(int Index);
    // Heights are the data half's; nothing in the view.
    virtual void SetRowHeight(int /*Index*/, int /*Value*/) {}
    // The row's image index for the displays; -1 (none) in the view.
    virtual int GetRowImageIndex(int /*ARow*/) { return -1; }
    // The open cell editor's bounds (client pixels) while a body cell is edited; false otherwise.
    virtual bool GetOpenEditorBounds(TRect& /*Bounds*/) { return false; }
    virtual bool GetRowVisible(int Index);
    virtual int GetVisibleRows() = 0;
    virtual int GetFirstVisibleRow() = 0;
    virtual int GetLastVisibleRow() = 0;
    virtual bool GetSelected(int Index) = 0;
    // Writes the flag and repaints the row (unless updating).
    virtual void SetSelected(int Index, bool Value) = 0;
    // Writes the flag only; selection repaints the rows it touched once, itself.
    virtual void StoreSelected(int Index, bool Value) = 0;
    virtual void SelectRange(int FromRow, int ToRow, bool Value) = 0;
    // The first selected row at or after From, -1 when there is none. The default walks every
    // row; the data half looks only where selected rows can be.
    virtual int GetNextSelected(int From);
    // Clears (through SetSelected) every selected row outside Low..High.
    virtual void ClearSelectionOutside(int Low, int High);
    virtual WideString GetCells(int ACol, int ARow) = 0;
    virtual void SetCells(int ACol, int ARow, const WideString& Value) = 0;
    virtual void GetCellInfo(int ACol, int ARow, TCellInfo& CellInfo) = 0;
    virtual WideString GetDrawText(int ACol, int ARow) = 0;
    virtual int AddRow(int Count = 1) = 0;
    // Moves a row to ToIndex; the rows between shift by one.
    virtual void MoveRow(int FromIndex, int ToIndex) = 0;
    virtual void DeleteRow(int Index);
    virtual void ClearRows();
    // True when no row is hidden; lets row walks jump instead of stepping.
    virtual bool AllRowsVisible();
    virtual int GetSelectedCount();
    virtual TColor GetCellColor(int ACol, int ARow);
    virtual bool IsCellEmpty(int ACol, int ARow);
    // Negative counts are ignored; adds rows at the end or deletes the last rows.
    void SetRowCount(int Count);

    // --- geometry, client coordinates
    TRect GetIndicatorRect();
    TRect GetHeaderRect();
    TRect GetInputRect();
    TRect GetBodyRect() override;
    TRect GetFooterRect();
    TRect GetScrollRect();
    int GetInnerWidth() override;
    TRect GetCaptionRect();
    // Top of Row summed from TopRow; rows at or above TopRow get the body's first top. Summing
    // stops below the client area, so rows further down answer a top past the client bottom.
    int GetRowTop(int Row);
    TRect GetRowRect(int Row);
    TRect GetCellRect(int ACol, int ARow);
    int GetSlideTop(int Row);
    TRect GetSlideRect(int Row);
    // Whole rows that fit in the body from TopRow down; with Fill, rows above TopRow fill the rest.
    int GetVisibleCount(bool Fill = false);
    bool IsRowInView(int Row);
    // Visible rows with index from min(A, B) to max(A, B) - 1.
    int GetRowsInRange(int A, int B);
    int GetFirstVisible(int From);
    int GetLastVisible(int From);
    bool CellBounds(int ACol, int ARow);
    // The area under a client point.
    TGridArea GetAreaAt(int X, int Y);

    // --- invalidation; each marks exactly its rectangle and paints nothing. Rows and cells out of
    // range or off screen are ignored.
    // The area's rectangle when the area is shown (the body always); gaNone marks nothing.
    void RefreshArea(TGridArea Area);
    // The cell with the grid line below it.
    virtual void RefreshCell(int ACol, int ARow);
    // The column's span over Area's height (gaNone: the client height); nothing while updating.
    void RefreshColumn(TNxCustomColumn* Column, TGridArea Area) override;
    // A row painted last time (TopRow..PaintEndRow - 1); with Borders only its one-pixel frame.
    void RefreshRow(int Row, bool Borders = false);
    void RefreshRowGrid(int Row);
    void RefreshIndicator(int Row);
    // From the top of the lower row to the bottom of the higher one, clipped to the client.
    void RefreshRange(int FromRow, int ToRow);
    // From FromRow's top down to the last row of the range that starts inside the body.
    void RefreshVisibleRows(int FromRow, int ToRow);
    // The input row when selected, then the current cell or the selected rows in view.
    void RefreshSelectedCells();
    void RefreshSlide(int Row, bool Borders = false);
    void RefreshRect(const TRect& Rect);
    virtual void RefreshColumnSlide(TNxCustomColumn* Column);

    // --- updates; EndUpdate at level 0 repaints body, header and indicator at once
    void BeginUpdate();
    void EndUpdate();

    // --- scrolling into view
    // A row above the view comes to the top, one below it to the bottom; a row in view stays.
    void ScrollToRow(int Row);
    // Scrolls horizontally until the column lies within the scroll rectangle; fixed columns never.
    void ScrollToColumn(TNxCustomColumn* Column);
    // Range = visible rows, page = whole rows that fit + 1, position = visible rows above TopRow;
    // one row (or all rows fitting) hides the bar.
    virtual void UpdateVertScrollBar();
    // Range = the columns' width (+ indicator), page = client width + 1, in pixels.
    virtual void UpdateHorzScrollBar();
    int GetHorzMax();
    int GetVertMax();

    // --- selection
    // Makes (ACol, ARow) current when OnBeforeSelect accepts and the column exists and is enabled.
    // Full-row single selection moves the row flag and repaints the old and the new row; Ctrl
    // toggles and Shift selects from the anchor in multi-select grids.
    // The decision (what the modifiers and the mode ask for) is DecideSelect's (GridSelectCell.h).
    virtual void SelectCell(int ACol, int ARow, bool Deselect = true, TShiftState Shift = {});
    // Select the first (last) visible row and scroll to the top (the last page).
    void SelectFirstRow(TShiftState Shift = {});
    void SelectLastRow(TShiftState Shift = {});
    // Clears every row flag; no current row afterwards.
    void NoSelection();
    // Multi-select grids only.
    void SelectAll();
    virtual void ClearSelection();
    // The grid or its open editor has the focus: the selection colors, csFocused and the focus
    // rectangle follow this, so an edited row keeps its focused look while the editor types.
    bool GridFocused() const;
    bool IsCellHighlighted(int ACol, int ARow) override;
    TColor GetActualCellColor(int ACol, int ARow) override;
    TColor GetActualCellFontColor(int ACol, int ARow) override;
    // The state a cell is painted with (csSelected, csBoldTextSelection, csFocused); GetCellState
    // also raises OnCellColoring with it, as painting does.
    TCellState GetPaintState(int ACol, int ARow);
    TCellState GetCellState(int ACol, int ARow);

    // --- columns
    // Width = widest header content (GetHeaderContentWidth) and/or cell content (the column
    // display's GetContentWidth) + 2 * Padding + 5; OnlyVisible measures only rows whose visible
    // flag is set, else every row counts.
    void BestFitColumn(int Index, TBestFitMode Mode = bfBoth, bool OnlyVisible = false);
    // The content width the column's display needs for a cell prepared as for painting (its
    // value, its own font style, bold with csBoldTextSelection), Text standing for its text.
    // ACol and ARow must name a cell.
    int GetCellContentWidth(int ACol, int ARow, const WideString& Text);
    void BestFitColumns(TBestFitMode Mode = bfBoth);
    // The row's height becomes the largest content height of the visible columns' displays for
    // its cells, at least RowSize. A row that does not exist is ignored.
    void BestFitRow(int Index);
    TNxCustomColumn* GetColumnByName(const AnsiString& Name);

    // --- the rest of the model's interface
    TFont* GetGridFont() override { return GetFont(); }
    TColor GetGridColor() override { return GetColor(); }
    TCursor GetGridCursor() override { return GetCursor(); }
    int GetHorzScrollPos() override { return GetHorzScrollBar()->GetPosition(); }
    TRect GetAreaRect(TGridArea Area) override;
    bool ShowsIndicator() override { return FOptions.Contains(goIndicator); }
    bool IsReadingState() override { return GetComponentState().Contains(csReading); }
    bool IsDesigning() override { return TComponent::IsDesigning(); }
    bool IsDestroying() override { return TComponent::IsDestroying(); }
    TNxCustomColumn* GetFocusedColumn() override;
    // Reports the grid as a table (GridAccessibility.cpp).
    std::unique_ptr<TAccessible> CreateAccessible() override;
    TNxCustomColumn* GetHoverColumn() override { return FHoverColumn; }
    bool OwnerHasComponent(const AnsiString& Name) override;

    // --- events
    TCellColoringEvent OnCellColoring;
    TDrawCellBackgroundEvent OnDrawCellBackground;
    TSlideColoringEvent OnSlideColoring;
    TCustomDrawCellEvent OnCustomDrawCell;
    TCellEvent OnSelectCell;
    TCellEvent OnDeselectCell;
    TCellEvent OnChange;
    TCellAcceptEvent OnBeforeSelect;
    TColumnEvent OnColumnResize;
    TColumnMoveEvent OnColumnMove;
    TColumnEvent OnInputSelectCell;
    TSortColumnEvent OnSortColumn;
    TColumnEvent OnSlideChange;
    TDataChangeEvent OnDataChange;
    TChangeRowHeightEvent OnChangeRowHeight;
    TNotifyEvent OnPostDraw;
    // The header style object of HeaderStyle; the grid keeps one per style.
    TStyleDisplay* GetStyleDisplay();

    int GetHorzOffset(int OldPos, int NewPos) override;
    int GetVertOffset(int OldPos, int NewPos) override;

    void DoEnter() override;
    void DoExit() override;
    void WMSize(TMessage& Message) override;
    // The visual-style data of class "header" while the window exists and styles are active;
    // null otherwise. Handed to the hsAuto style object.
    HTHEME GetHeaderTheme() const { return FHeaderTheme; }

protected:
    // A one-pixel sunken border with bsSingle; no full repaint on resize.
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Paint() override;
    // The platform's frame first, then the grid's own border over it (PaintBorder).
    void WMNCPaint(TMessage& Message) override;
    void WMThemeChanged(TMessage& Message) override;
    // Asks for the window border to be painted again (after style or scheme changes).
    void RedrawBorder();
    // Office header styles with bsSingle: the one-pixel border in the scheme's seBorder color;
    // else, themed with EnableVisualStyles and bsSingle: the "listview" background on the border
    // ring; else nothing. Canvas covers the whole window.
    void PaintBorder(TCanvas* Canvas);
    void BeforeScroll(TScrollBarKind Kind) override;
    void AfterScroll(TScrollBarKind Kind) override;
    // The bands a scroll moves: the scrollable columns (horizontal) and the body rows (vertical).
    void UpdateScrollClips();

    // --- painting: report frames are TGridPainter's (GridPaint.cpp), the slides' rows the view's
    virtual void PaintSlides();
    // Background and value of one cell of a slide inside CellRect.
    virtual void DrawCell(int ACol, int ARow, const TRect& CellRect);
    // Gives DisplayCanvas-less painters the font and colors of a cell; the data side adds the value.
    virtual bool DrawCellData(int ACol, int ARow, TCellState CellState);
    // The cell's hint text (none here; the data side has the cells).
    virtual WideString GetCellHint(int /*ACol*/, int /*ARow*/) { return {}; }
    // Step around a cell's painting: the handler may take over the background
    // (DefaultDrawing := False), and paints over a cell whose column draws custom.
    virtual void DoDrawCellBackground(int ACol, int ARow, const TRect& CellRect, TCellState CellState,
                                      bool& DefaultDrawing);
    virtual void DoCustomDrawCell(int ACol, int ARow, const TRect& CellRect, TCellState CellState);
    // Before a slide is painted: the handler may change its color and its grid color.
    virtual void DoSlideColoring(int Index, TColor& SlideColor, TColor& GridColor, TSlideState SlideState);
    // Before a cell is painted: the data side hands the display the row's data (level, expand
    // state). Nothing here.
    virtual void SetDisplayParams(int /*ACol*/, int /*ARow*/, TColumnDisplay* /*Display*/) {}
    virtual bool IntegralHeight() { return false; }

    // --- hooks and dispatchers
    virtual void CellsScrolled(int /*Delta*/) {}
    virtual bool CanSelectCell(int ACol, int ARow);
    virtual void DoSelectCell(int ACol, int ARow);
    virtual void DoDeselectCell(int ACol, int ARow);
    virtual void DoInputSelectCell(int ACol);
    virtual void DoColumnResize(int ACol);
    virtual void DoColumnMove(int ACol, int FromPos, int ToPos);
    virtual void DoSlideChange(int ACol);
    virtual void DoDataChange(TDataChange AChangeType, int AIndex);
    virtual void DoCellColoring(int ACol, int ARow, TColor& CellColor, TColor& GridColor,
                                TCellState CellState);
    virtual void DoSortColumn(int ACol, bool Ascending);
    virtual void DoChange(int ACol, int ARow);
    virtual void GridStyleChanged() {}
    virtual void SortColumn(TNxCustomColumn* Column, bool Ascending);
    virtual void ColumnsChange(TColumnsOperation Operation, int Value1, int Value2);
    virtual void DoColumnChange(TObject* Sender, TNxCustomColumn* Column, TColumnChangeKind ChangeKind,
                                int Param);
    virtual void DoColumnsChange(TObject* Sender, TColumnsOperation Operation, int Value1, int Value2);
    virtual void DoColumnsRepaint(TObject* Sender, TColumnsOperation Operation);
    // Editing lands with the cell editor; until then nothing is ever open. ApplyEditing writes
    // the open editor's text (True when something was written) and leaves it open; EndEditing
    // closes it without writing; AddRowFromInput turns the input values into a row.
    virtual bool ApplyEditing() { return false; }
    virtual void EndEditing() {}
    virtual void AddRowFromInput() {}
    virtual void RepositionEditor() {}
    void RecalculateGridSpace();
    void RecreateStyleDisplay();

    // Every invalidation of the grid ends here; one place to watch them.
    virtual void InvalidateArea(const TRect& Rect);
    // Marks part of a rectangle as needing no paint again.
    void ValidateArea(const TRect& Rect);

    // Height plus both grid spaces of a visible row (RowSize past the last row).
    int RowStep(int Row);
    // Visible rows above Row; for TopRow this is the vertical bar's position.
    int VisibleRowsAbove(int Row);
    // The visible row with Ordinal visible rows above it: the inverse of VisibleRowsAbove. The last
    // visible row when there are not that many, 0 when no row is visible.
    int VisibleRowAt(int Ordinal);
    // Sets the vertical bar's position to the visible rows above TopRow without scrolling; after
    // rows above the view were added, deleted, hidden or shown. Walks the rows above TopRow when
    // some row is hidden.
    void SyncVertPosition();
    // Rows from TopRow on whose bottom stays within the body, and the last of them (-1 none).
    int FitCount(int* LastFitting = nullptr);
    void SetPaintEndRow(int Value) { FPaintEndRow = Value; }
    void SetTopRowDirect(int Value) { FTopRow = Value; }
    void SetSelectedRowDirect(int Value) { FSelectedRow = Value; }
    void SetSelectedColumnDirect(int Value) { FSelectedColumn = Value; }
    void SetAnchorRowDirect(int Value) { FAnchorRow = Value; }
    void SetEditingCellDirect(TPoint Value) { FEditingCell = Value; }
    void SetInputSelectedDirect(bool Value) { FInputSelected = Value; }
    void ResizeHandled();
    // SelectCell's application: the current cell moves (OnDeselectCell, an open edit applied,
    // AutoScroll), then the row flags and the repaints Action asks for.
    void MoveCurrentCell(int ACol, int ARow);
    void ApplySelect(TSelectAction Action, TPoint Old, int ACol, int ARow);

    TGridState FGridState;
    TNxCustomColumn* FHoverColumn = nullptr;

private:
    void OpenHeaderTheme();
    void CloseHeaderTheme();

    std::unique_ptr<TNxColumns> FColumns;
    HTHEME FHeaderTheme = nullptr;
    // The border color last painted; a scheme change shows at the next paint.
    TColor FBorderPainted = clNone;
    TAppearanceOptions FAppearanceOptions{aoHideSelection, aoHighlightSlideCells};
    bool FAutoScroll = false;
    TBiDiMode FBiDiMode = bdLeftToRight;
    WideString FCaption;
    bool FEnableVisualStyles = true;
    int FFooterSize = 18;
    TColor FGridLinesColor = clBtnFace;
    TGridLinesStyle FGridLinesStyle = lsNormal;
    TGridStyle FGridStyle = gsReport;
    int FHeaderSize = 18;
    THeaderStyle FHeaderStyle = hsAuto;
    bool FHideScrollBar = true;
    TColor FHighlightedTextColor = clHighlightText;
    TColor FInactiveSelectionColor = clBtnFace;
    int FInputSize = 16;
    TGridOptions FOptions{goHeader};
    bool FReadOnly = false;
    int FRowSize = 16;
    TColor FSelectionColor = clHighlight;
    TSelectionMoveDirection FSelectionMoveDirection = mdDown;
    TSlideOptions FSlidesOptions{soFrame, soHideSelection};
    TColor FSlideSelectionColor = clWindow;
    int FSlideSize = 80;
    TSortedStyle FSortedStyle = soDefault;
    TColor FSlideCaptionColor = clGrayText;

    int FSelectedColumn = 0;
    int FSelectedRow = -1;
    int FTopRow = 0;
    int FPaintEndRow = 0;
    int FAnchorRow = -1;
    TPoint FEditingCell{-1, -1};
    bool FInputSelected = false;
    std::array<int, 5> FGridSpace{};
    int FUpdateCount = 0;
    TNxCustomColumn* FSortedColumn = nullptr;
    int FOldClientWidth = 0;
    int FOldClientHeight = 0;
    bool FInResize = false;
    std::unique_ptr<TGridPainter> FPainter;
    TGridPainter& Painter();
};
