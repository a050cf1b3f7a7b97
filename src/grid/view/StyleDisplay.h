#pragma once
// Header styles: the painter of everything in a grid that is not a cell (headers with glyph,
// caption and sort arrow, the band beyond the last column, footer and input-row cells, the
// indicator, corner boxes and area splitters). The base lays out header content and gives plain
// defaults; each style class draws its own frames and backgrounds.

#include <memory>

#include "grid/model/Column.h"
#include "grid/model/GridHost.h"
#include "grid/view/GridControlTypes.h"
#include "platform/graphics/Canvas.h"
#include "platform/runtime/Object.h"
#include "platform/windows/Themes.h"

enum TStyleDisplayAttribute { sdaHoverEnabled, sdaInvertFocus, sdaCustomArrow };
using TStyleDisplayAttributes = TSet<TStyleDisplayAttribute>;
enum TDisplayMedia { dmPaper, dmScreen };
enum TBoxLocation { bpAlone, bpBottom, bpTop };

// Every drawing operation needs Canvas set; the grid sets Canvas, the canvas font (its own font,
// for headers) and ThemedDrawing before each use. Columns are read, never changed.
class TStyleDisplay : public TPersistent {
public:
    // AOwner is the grid (not owned), read for its Color; may be null, which reads as clBtnFace.
    explicit TStyleDisplay(TNxGridHost* AOwner) : FOwner(AOwner) {}

    // The owning grid; named apart from TPersistent::GetOwner, which means something else.
    TNxGridHost* GetOwnerGrid() const { return FOwner; }
    TCanvas* GetCanvas() const { return FCanvas; }
    void SetCanvas(TCanvas* Value) { FCanvas = Value; }
    bool GetShowMarks() const { return FShowMarks; }
    void SetShowMarks(bool Value) { FShowMarks = Value; }
    TDisplayMedia GetDisplayMedia() const { return FDisplayMedia; }
    void SetDisplayMedia(TDisplayMedia Value) { FDisplayMedia = Value; }
    bool GetThemedDrawing() const { return FThemedDrawing; }
    void SetThemedDrawing(bool Value) { FThemedDrawing = Value; }
    bool GetRightToLeft() const { return FRightToLeft; }
    void SetRightToLeft(bool Value) { FRightToLeft = Value; }
    HTHEME GetHeaderTheme() const { return FHeaderTheme; }
    void SetHeaderTheme(HTHEME Value) { FHeaderTheme = Value; }

    // Copies nothing of its own: the grid's style objects differ only by class.
    void Assign(const TPersistent* Source) override;
    // Space a header keeps free beside its content: 0 unless marks are shown on screen; then 11
    // for a themed text-only header, else 2.
    virtual int GetHeaderMargin(TNxCustomColumn* Column);
    virtual TStyleDisplayAttributes GetStyleDisplayAttributes() { return {}; }
    // Moves a header's caption rectangle; nothing in the base.
    virtual void AdjustTextRect(TRect& /*Rect*/) {}
    // The sort arrow with its top-left corner at (X, Y), 8 by 4 (themed) or 7 by 6 pixels.
    virtual void DrawArrow(int X, int Y, bool Ascending);
    // The footer's text: its caption, or TextBefore + the formula value + TextAfter, aligned by the
    // footer, inside Rect.
    virtual void DrawFooterContent(TNxCustomColumn* Column, const TRect& Rect);
    // Glyph, caption, sort arrow and the inverted focus mark of a header.
    virtual void DrawHeaderContent(TNxCustomColumn* Column, const TRect& Rect);
    virtual void DrawAreaSplitter(const TRect& Rect) { DrawCornerBox(Rect, bpAlone); }
    virtual void DrawCornerBox(const TRect& Rect, TBoxLocation Location);
    // Footer cell: column font, footer color, grid lines in clBtnFace with GridLines; the content
    // is clipped to Rect.
    virtual void DrawFooter(TNxCustomColumn* Column, const TRect& Rect, bool GridLines);
    // On screen the background, then the content.
    virtual void DrawHeader(TNxCustomColumn* Column, const TRect& Rect);
    virtual void DrawHeaderBackground(TNxCustomColumn* /*Column*/, const TRect& /*Rect*/) {}
    // One indicator cell (a raised face in the base); ARow 0 keeps its top corners.
    virtual void DrawIndicator(const TRect& Rect, int ARow, bool IsSelected, bool IsCurrent);
    // The current row's triangle, centred; a selected row's cell is then inverted.
    virtual void DrawIndicatorState(const TRect& Rect, bool IsCurrent, bool IsSelected);
    // One input-row cell: gray text on the column color, or highlight colors when selected.
    virtual void DrawInput(TNxCustomColumn* Column, const TRect& Rect, bool Focused, bool InputSelected,
                           bool GridLines);
    // The header band right of the last column.
    virtual void DrawInactiveHeader(const TRect& Rect);

    // Left-aligned, vertically centred text with an end ellipsis, no prefixes, external leading;
    // single line unless MultiLine. The brush is solid afterwards.
    void DoDrawText(TCanvas* Canvas, const TRect& Rect, bool MultiLine, const WideString& Text);
    // One-pixel lines along the bottom (left to right - 2) and down the right edge.
    void DrawGrid(const TRect& Rect, TColor Color);
    // Width a header's content needs in the canvas font (glyph, caption or both).
    int GetHeaderContentWidth(TNxCustomColumn* Column);

    // Geometry shared by drawing and tests: the caption extent E (0 for image-only headers) and
    // the left edge of the caption text.
    int GetCaptionExtent(TNxCustomColumn* Column);
    int GetCaptionLeft(TNxCustomColumn* Column, const TRect& Rect, int Extent);

protected:
    TColor GetGridColor() const;
    void Line(int X1, int Y1, int X2, int Y2, TColor Color);
    void Fill(const TRect& Rect, TColor Color);
    // A one-pixel frame: Light along the top and left, Dark along the bottom and right.
    void Frame3D(const TRect& Rect, TColor Light, TColor Dark);

private:
    TNxGridHost* FOwner;
    TCanvas* FCanvas = nullptr;
    bool FShowMarks = true;
    TDisplayMedia FDisplayMedia = dmScreen;
    bool FThemedDrawing = false;
    bool FRightToLeft = false;
    HTHEME FHeaderTheme = nullptr;
};

// The style object of a header style; the grid keeps one of each.
std::unique_ptr<TStyleDisplay> CreateStyleDisplay(THeaderStyle Style, TNxGridHost* Owner);
