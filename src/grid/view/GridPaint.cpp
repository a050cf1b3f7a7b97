// One frame of the grid in report style (and the header band of the slide style).

#include "grid/view/GridPaint.h"

#include <algorithm>

#include "drawing/Providers.h"
#include "drawing/SharedDraw.h"
#include "drawing/ThemesSupport.h"
#include "grid/view/ColumnDisplayText.h"
#include "grid/view/GridControl.h"
#include "grid/view/StyleDisplay.h"

using NxSharedCommon::TGraphicsProvider;

namespace {
constexpr int IndicatorWidth = 12;

// Saves the canvas's clip for a cell and gives it back, whatever the cell's painters did.
class TClipScope {
public:
    TClipScope(TCanvas* Canvas, const TRect& Clip) : FCanvas(Canvas), FLevel(Canvas->SaveDC()) {
        Canvas->IntersectClipRect(Clip);
    }
    ~TClipScope() { FCanvas->RestoreDC(FLevel); }
    TClipScope(const TClipScope&) = delete;
    TClipScope& operator=(const TClipScope&) = delete;

private:
    TCanvas* FCanvas;
    int FLevel;
};
} // namespace

TGridPainter::TGridPainter(TNxCustomGridControl& Grid) : G(Grid) {}
TGridPainter::~TGridPainter() = default;

TStyleDisplay* TGridPainter::GetStyleDisplay() {
    auto& Style = FStyles[G.GetHeaderStyle()];
    if (!Style) Style = CreateStyleDisplay(G.GetHeaderStyle(), &G);
    if (G.GetHeaderStyle() == hsAuto) Style->SetHeaderTheme(G.GetHeaderTheme());
    return Style.get();
}

bool TGridPainter::ThemedDrawing() const {
    return G.GetEnableVisualStyles() && NxThemesSupport::IsThemed();
}

void TGridPainter::Paint() {
    TCanvas* Canvas = G.GetCanvas();
    FClipBox = Canvas->GetClipRect();
    FBody = G.GetBodyRect();
    const int ClientWidth = G.GetClientWidth(), ClientHeight = G.GetClientHeight();
    if (G.GetGridStyle() == gsSlides) {
        G.SetHorzScrollClip(G.GetClientRect());
        G.SetVertScrollClip({0, FBody.Top, ClientWidth, ClientHeight});
        // The slides' own painting is the grid's; the header band over them is the style's.
        G.PaintSlides();
        CollectColumns();
        PaintReportParts();
        PaintBeyondColumns();
    } else {
        G.SetHorzScrollClip({FBody.Left + G.GetColumns()->GetFixedWidth(), 0, ClientWidth, ClientHeight});
        G.SetVertScrollClip({0, FBody.Top, ClientWidth, FBody.Bottom});
        PaintReport();
        PaintBeyondColumns();
        if (G.GetVisibleRows() == 0) PaintEmptyCaption();
    }
    if (G.OnPostDraw) G.OnPostDraw(&G);
}

void TGridPainter::PaintBeyondColumns() {
    const int ClientWidth = G.GetClientWidth(), ClientHeight = G.GetClientHeight();
    const int ColumnsRight = G.GetHeaderRect().Right;
    if (ColumnsRight >= ClientWidth) return;
    TCanvas* Canvas = G.GetCanvas();
    int FillTop = 0;
    if (ThemedDrawing() && G.GetHeaderStyle() == hsAuto && G.GetOptions().Contains(goHeader)) {
        TStyleDisplay* Style = GetStyleDisplay();
        Style->SetCanvas(Canvas);
        Style->SetThemedDrawing(true);
        Style->DrawInactiveHeader({ColumnsRight, 0, ClientWidth, G.GetHeaderSize()});
        FillTop = G.GetHeaderSize();
    }
    Canvas->GetBrush()->SetStyle(bsSolid);
    Canvas->GetBrush()->SetColor(G.GetColor());
    Canvas->FillRect({ColumnsRight, FillTop, ClientWidth, ClientHeight});
}

void TGridPainter::PaintEmptyCaption() {
    TCanvas* Canvas = G.GetCanvas();
    Canvas->SetFont(G.GetFont());
    if (!G.GetEnabled()) Canvas->GetFont()->SetColor(clGrayText);
    TGraphicsProvider::DrawTextRect(Canvas, G.GetCaptionRect(), taCenter, G.GetGridCaption());
}

void TGridPainter::PaintReport() {
    CollectColumns();
    PaintReportRows();
    PaintReportParts();
}

void TGridPainter::CollectColumns() {
    FSpans.clear();
    TNxColumns* Columns = G.GetColumns();
    const int FixedRight = G.GetScrollRect().Left;
    const int ClientWidth = G.GetClientWidth();
    for (int Pos = 0; Pos < Columns->Count(); ++Pos) {
        TNxCustomColumn* Column = Columns->GetPositionItem(Pos);
        if (!Column->GetVisible()) continue;
        const int Left = Column->GetAbsoluteLeft();
        const int Right = Left + Column->GetWidth();
        const bool Scrollable = Pos >= Columns->GetFixedCols();
        if (Left > ClientWidth) break;
        if (Scrollable && Right < FixedRight) continue;
        FSpans.push_back({Column, Column->GetIndex(), Left, Right, Scrollable});
    }
}

bool TGridPainter::Touches(const TRect& Rect) const {
    return Rect.Left < FClipBox.Right && Rect.Right > FClipBox.Left && Rect.Top < FClipBox.Bottom &&
           Rect.Bottom > FClipBox.Top;
}

void TGridPainter::PaintReportRows() {
    const int RowCount = G.GetRowCount();
    const int SpaceTop = G.GetGridSpace(lpTop), SpaceBottom = G.GetGridSpace(lpBottom);
    const bool Indicator = G.GetOptions().Contains(goIndicator);
    const bool InputSelected = G.GetInputSelected();
    const int SelectedRow = G.GetSelectedRow();
    int Y = FBody.Top;
    int Row = G.GetTopRow();
    for (; Y < FBody.Bottom; ++Row) {
        if (Row < RowCount) {
            if (!G.GetRowVisible(Row)) continue;
            const int Height = G.GetRowHeight(Row);
            const int Top = Y + SpaceTop;
            const TRect RowBand{0, Y, G.GetClientWidth(), Top + Height + SpaceBottom};
            if (Touches(RowBand)) {
                const bool Partial = G.IntegralHeight() && Top + Height > FBody.Bottom;
                for (const TColumnSpan& Span : FSpans) {
                    if (Partial)
                        DrawEmptyCell(Span, Row, Top);
                    else
                        DrawCell(Span, Row, Top, Height);
                }
                if (Indicator)
                    DrawRowIndicator(Row, Top, Height, Row == SelectedRow && !InputSelected,
                                     !InputSelected && (G.GetSelected(Row) || Row == SelectedRow));
            }
            Y += Height + SpaceTop + SpaceBottom;
        } else {
            const int Height = G.GetRowSize();
            const int Top = Y + SpaceTop;
            if (Touches({0, Y, G.GetClientWidth(), Top + Height + SpaceBottom})) {
                for (const TColumnSpan& Span : FSpans)
                    DrawEmptyCell(Span, Row, Top);
                if (Indicator) DrawRowIndicator(Row, Top, Height, false, false);
            }
            Y += Height + SpaceTop + SpaceBottom;
        }
    }
    // One past the last real row drawn: the empty rows below the last one are no rows to repaint.
    G.SetPaintEndRow(std::min(Row, RowCount));
    if (G.GetOptions().Contains(goSelectFullRow)) DrawFocusCell();
}

TRect TGridPainter::CellClip(const TColumnSpan& Span, const TRect& CellRect) const {
    TRect Clip = CellRect;
    if (Span.Scrollable) Clip.Left = std::max(Clip.Left, G.GetScrollRect().Left);
    Clip.Left -= G.GetGridSpace(lpLeft);
    Clip.Top -= G.GetGridSpace(lpTop);
    Clip.Right += G.GetGridSpace(lpRight);
    Clip.Bottom = std::min(Clip.Bottom + G.GetGridSpace(lpBottom), FBody.Bottom);
    return Clip;
}

TRect TGridPainter::OwnPixels(const TRect& CellRect) const {
    return {CellRect.Left, CellRect.Top - G.GetGridSpace(lpTop), CellRect.Right,
            std::min(CellRect.Bottom + G.GetGridSpace(lpBottom), FBody.Bottom)};
}

TColor TGridPainter::SortedCellColor(TNxCustomColumn* Column, TColor CellColor) const {
    if (!Column->GetSorted()) return CellColor;
    switch (G.GetSortedStyle()) {
    case soDarker:
        return NxSharedDraw::BlendColor(clBlack, CellColor, 10);
    case soWhite:
        return clWhite;
    case soDefault:
        break;
    }
    return CellColor;
}

void TGridPainter::DrawCell(const TColumnSpan& Span, int ARow, int RowTop, int RowHeight) {
    TNxCustomColumn* Column = Span.Column;
    TRect CellRect{Span.Left, RowTop, Span.Right, RowTop + RowHeight};
    if (!Touches(OwnPixels(CellRect))) return;
    const TRect Clip = CellClip(Span, CellRect);
    TCanvas* Canvas = G.GetCanvas();
    Canvas->SetFont(Column->GetFont());
    const int ACol = Span.Index;
    TColor CellColor = G.GetActualCellColor(ACol, ARow);
    TColor GridColor = G.GetGridLinesColor();
    const TAppearanceOptions Appearance = G.GetAppearanceOptions();
    TCellState State = G.GetPaintState(ACol, ARow);
    const bool Highlighted = State.Contains(csSelected);
    G.DoCellColoring(ACol, ARow, CellColor, GridColor, State);
    if (!State.Contains(csSelected)) CellColor = SortedCellColor(Column, CellColor);

    TClipScope Scope(Canvas, Clip);
    if (G.GetOptions().Contains(goGrid)) DrawGrid(Span, ARow, GridColor, CellRect);
    CellRect.Left += G.GetGridSpace(lpLeft);
    CellRect.Right -= G.GetGridSpace(lpRight);
    const TDrawingOptions Drawing = Column->GetDrawingOptions();
    bool DefaultDrawing = !Appearance.Contains(aoDontFillCells) && Drawing != doCustomOnly;
    G.DoDrawCellBackground(ACol, ARow, CellRect, State, DefaultDrawing);

    // A column whose kind names no display yet is drawn by a plain text display.
    auto* Display = dynamic_cast<TColumnDisplay*>(Column->GetColumnDisplay());
    std::unique_ptr<TTextColumnDisplay> Plain;
    if (!Display) {
        Plain = std::make_unique<TTextColumnDisplay>(Column);
        Display = Plain.get();
    }
    Display->SetHighlighted(Highlighted);
    Display->SetHandle(&G);
    Display->SetCanvas(Canvas);
    Display->SetCellRect(CellRect);
    Display->SetImageIndex(G.GetRowImageIndex(ARow));
    Display->SetHighlightedTextColor(G.GetHighlightedTextColor());
    G.SetDisplayParams(ACol, ARow, Display);
    // The open editor paints itself; the cell keeps off it.
    if (TRect Editor;
        ACol == G.GetEditingCell().X && ARow == G.GetEditingCell().Y && G.GetOpenEditorBounds(Editor)) {
        InflateRect(Editor, -1, -1);
        Canvas->ExcludeClipRect(Editor);
    }
    if (DefaultDrawing) Display->PaintBackground(CellColor, true);
    Display->SetIsCurrent(ACol == G.GetSelectedColumn() && ARow == G.GetSelectedRow());
    Display->SetCellRect({CellRect.Left + Column->GetPadding(), CellRect.Top,
                          CellRect.Right - Column->GetPadding(), CellRect.Bottom});
    if ((Drawing == doNormal || Drawing == doCustom) && !G.IsCellEmpty(ACol, ARow)) {
        // The grid sets the font, its color and the formatting; the data side loads the value into
        // the column's display and answers whether it is to be painted.
        const bool PaintValue = G.DrawCellData(ACol, ARow, State);
        if (Plain) {
            TCellInfo Info;
            G.GetCellInfo(ACol, ARow, Info);
            Display->LoadValue(Info);
        }
        if (PaintValue || Plain) {
            Display->Paint();
        }
    }
    if (Appearance.Contains(aoHintMarks) && !G.GetCellHint(ACol, ARow).empty()) Display->DrawHintMark();
    if (Drawing != doNormal) G.DoCustomDrawCell(ACol, ARow, CellRect, State);
    if (!G.GetOptions().Contains(goSelectFullRow) && ACol == G.GetSelectedColumn() &&
        ARow == G.GetSelectedRow())
        DrawFocusCell();
}

void TGridPainter::DrawEmptyCell(const TColumnSpan& Span, int ARow, int RowTop) {
    TNxCustomColumn* Column = Span.Column;
    TRect CellRect{Span.Left, RowTop, Span.Right, RowTop + G.GetRowSize()};
    if (!Touches(OwnPixels(CellRect))) return;
    const TRect Clip = CellClip(Span, CellRect);
    TColor CellColor = G.GetColor();
    if (G.GetAppearanceOptions().Contains(aoIndicateSortedColumn) && Column->GetSorted())
        CellColor = SortedCellColor(Column, CellColor);
    const TGridLinesStyle Lines = G.GetGridLinesStyle();
    TColor GridColor = Lines == lsActiveRows || Lines == lsActiveHorzOnly ? CellColor : G.GetGridLinesColor();
    G.DoCellColoring(Span.Index, ARow, CellColor, GridColor, TCellState{csEmpty});
    TCanvas* Canvas = G.GetCanvas();
    TClipScope Scope(Canvas, Clip);
    if (G.GetOptions().Contains(goGrid)) DrawGrid(Span, ARow, GridColor, CellRect);
    CellRect.Left += G.GetGridSpace(lpLeft);
    CellRect.Right -= G.GetGridSpace(lpRight);
    bool DefaultDrawing =
        !G.GetAppearanceOptions().Contains(aoDontFillCells) && Column->GetDrawingOptions() != doCustomOnly;
    G.DoDrawCellBackground(Span.Index, ARow, CellRect, TCellState{csEmpty}, DefaultDrawing);
    if (DefaultDrawing) {
        Canvas->GetBrush()->SetStyle(bsSolid);
        Canvas->GetBrush()->SetColor(CellColor);
        Canvas->FillRect(CellRect);
    }
}

void TGridPainter::DrawGrid(const TColumnSpan& Span, int ARow, TColor GridColor, const TRect& R) {
    TCanvas* Canvas = G.GetCanvas();
    TPen* Pen = Canvas->GetPen();
    Pen->SetStyle(psSolid);
    Pen->SetWidth(1);
    const bool Framed = G.GetGridLinesStyle() == lsFramed;
    const int RowCount = G.GetRowCount();
    if (G.GetGridSpace(lpBottom) > 0) {
        Pen->SetColor(Framed && ARow == RowCount - 1 ? clBlack : GridColor);
        Canvas->MoveTo(R.Left, R.Bottom);
        Canvas->LineTo(R.Right + 1, R.Bottom);
    }
    if (G.GetGridSpace(lpTop) > 0) {
        Pen->SetColor(clBtnHighlight);
        Canvas->MoveTo(R.Left, R.Top - 1);
        Canvas->LineTo(R.Right + 1, R.Top - 1);
    }
    if (G.GetGridSpace(lpLeft) > 0) {
        Pen->SetColor(clBtnHighlight);
        Canvas->MoveTo(R.Left, R.Top - 1);
        Canvas->LineTo(R.Left, R.Bottom + 1);
    }
    if (G.GetGridSpace(lpRight) > 0) {
        const bool Outer = Framed && Span.Column->GetLocation() == clRightSide && ARow < RowCount;
        Pen->SetColor(Outer ? clBlack : GridColor);
        Canvas->MoveTo(R.Right - 1, R.Top - 1);
        Canvas->LineTo(R.Right - 1, R.Bottom + 1);
    }
}

void TGridPainter::DrawFocusCell() {
    const int Col = G.GetSelectedColumn(), Row = G.GetSelectedRow();
    TNxColumns* Columns = G.GetColumns();
    if (!Columns->Exists(Col) || Row < 0 || Row >= G.GetRowCount() || Row < G.GetTopRow()) return;
    if (G.GetInputSelected() || !G.GridFocused() || G.GetAppearanceOptions().Contains(aoHideFocus)) return;
    if (!G.GetRowVisible(Row)) return;
    const int Top = G.GetRowTop(Row);
    const int Height = G.GetRowHeight(Row);
    TRect Focus, Clip;
    if (G.GetOptions().Contains(goSelectFullRow)) {
        const int HPos = G.GetHorzScrollPos();
        Focus = {FBody.Left - HPos - G.GetGridSpace(lpLeft), Top,
                 FBody.Left - HPos + Columns->ClientWidth() - G.GetGridSpace(lpRight), Top + Height};
        Clip = {FBody.Left, Top, G.GetClientWidth(), FBody.Bottom};
    } else {
        TNxCustomColumn* Column = Columns->GetItem(Col);
        if (!Column->GetVisible()) return;
        const int Left = Column->GetAbsoluteLeft();
        Focus = {Left + G.GetGridSpace(lpLeft), Top, Left + Column->GetWidth() - G.GetGridSpace(lpRight),
                 Top + Height};
        Clip = CellClip(
            {Column, Col, Left, Left + Column->GetWidth(), Column->GetPosition() >= Columns->GetFixedCols()},
            Focus);
    }
    TRect InBody;
    if (!IntersectRect(InBody, Focus, FBody)) return;
    TCanvas* Canvas = G.GetCanvas();
    TClipScope Scope(Canvas, Clip);
    TGraphicsProvider::DrawFocused(Canvas, Focus, G.GetAppearanceOptions().Contains(aoAlphaBlendedSelection));
}

void TGridPainter::DrawRowIndicator(int ARow, int RowTop, int RowHeight, bool IsCurrent, bool IsSelected) {
    const TRect Rect{0, RowTop - G.GetGridSpace(lpTop), IndicatorWidth,
                     RowTop + RowHeight + G.GetGridSpace(lpBottom)};
    if (!Touches(Rect)) return;
    TStyleDisplay* Style = GetStyleDisplay();
    Style->SetCanvas(G.GetCanvas());
    Style->SetThemedDrawing(ThemedDrawing());
    Style->DrawIndicator(Rect, ARow, IsSelected, IsCurrent);
    Style->DrawIndicatorState(Rect, IsCurrent, IsSelected);
}

void TGridPainter::PaintReportParts() {
    TCanvas* Canvas = G.GetCanvas();
    TStyleDisplay* Style = GetStyleDisplay();
    Style->SetCanvas(Canvas);
    Style->SetThemedDrawing(ThemedDrawing());
    const TGridOptions Options = G.GetOptions();
    const bool GridLines = Options.Contains(goGrid);
    const TRect ScrollRect = G.GetScrollRect();
    const int ClientWidth = G.GetClientWidth(), ClientHeight = G.GetClientHeight();
    const TRect Header{0, 0, ClientWidth, Options.Contains(goHeader) ? G.GetHeaderSize() : 0};
    const TRect Input = Options.Contains(goInput) ? G.GetInputRect() : TRect{};
    const TRect Footer =
        Options.Contains(goFooter) && G.GetGridStyle() == gsReport ? G.GetFooterRect() : TRect{};
    // Nothing to do when the invalid region misses every band of the parts.
    const bool Parts = Touches(Header) ||
                       (!Input.IsEmpty() && Touches({0, Input.Top, ClientWidth, Input.Bottom})) ||
                       (!Footer.IsEmpty() && Touches({0, Footer.Top, ClientWidth, ClientHeight}));
    if (!Parts) return;
    for (const TColumnSpan& Span : FSpans) {
        TNxCustomColumn* Column = Span.Column;
        const int Level = Canvas->SaveDC();
        if (Span.Scrollable) Canvas->IntersectClipRect({ScrollRect.Left, 0, ClientWidth, ClientHeight});
        Canvas->SetFont(G.GetFont());
        if (Options.Contains(goHeader)) Style->DrawHeader(Column, Column->GetMemberRect(ckHeader));
        if (!Input.IsEmpty())
            Style->DrawInput(Column, {Span.Left, Input.Top, Span.Right, Input.Bottom - 6}, G.GridFocused(),
                             G.GetInputSelected(), GridLines);
        if (!Footer.IsEmpty())
            Style->DrawFooter(Column, {Span.Left, Footer.Top + 4, Span.Right, Footer.Bottom}, GridLines);
        Canvas->RestoreDC(Level);
    }
    const int Left = Options.Contains(goIndicator) ? IndicatorWidth : 0;
    if (!Input.IsEmpty()) Style->DrawAreaSplitter({Left, Input.Bottom - 6, ClientWidth, Input.Bottom});
    if (!Footer.IsEmpty()) Style->DrawAreaSplitter({Left, Footer.Top, ClientWidth, Footer.Top + 4});
    if (Options.Contains(goIndicator)) {
        if (!Input.IsEmpty()) Style->DrawCornerBox({0, Input.Top, IndicatorWidth, Input.Bottom}, bpAlone);
        if (!Footer.IsEmpty()) Style->DrawCornerBox({0, Footer.Top, IndicatorWidth, Footer.Bottom}, bpBottom);
        if (Options.Contains(goHeader))
            Style->DrawCornerBox({0, 0, IndicatorWidth, G.GetHeaderSize()}, bpTop);
    }
}
