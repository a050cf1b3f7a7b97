// The system-looking header styles: default, flat borders, old style, Outlook and Vista.

#include "grid/view/StyleDisplayClassic.h"

#include "drawing/Providers.h"
#include "drawing/SharedDraw.h"
#include "drawing/ThemesSupport.h"

using NxSharedCommon::TGraphicsProvider;

// ---- default

TStyleDisplayAttributes TDefaultStyleDisplay::GetStyleDisplayAttributes() {
    if (GetThemedDrawing()) return {sdaHoverEnabled};
    return {sdaInvertFocus};
}

void TDefaultStyleDisplay::ThemedHeader(const TRect& Rect, int Part, int State) {
    if (GetHeaderTheme() && NxThemesSupport::DrawThemeBackground)
        NxThemesSupport::DrawThemeBackground(GetHeaderTheme(), GetCanvas(), Part, State, &Rect, nullptr);
    else
        NxThemesSupport::ThemeRect(nullptr, GetCanvas(), Rect, u"header", Part, State);
}

void TDefaultStyleDisplay::DrawFrameBox(TNxCustomColumn* Column, const TRect& Rect) {
    if (GetThemedDrawing())
        DrawThemedFrameBox(Column, Rect);
    else
        DrawDefaultFrameBox(Column, Rect);
}

void TDefaultStyleDisplay::DrawDefaultFrameBox(TNxCustomColumn* Column, const TRect& R) {
    Fill(R, Column->GetHeader()->GetColor());
    // The corner pixels keep the header color.
    Line(R.Left + 1, R.Top, R.Right - 1, R.Top, clBtnHighlight);
    Line(R.Left, R.Top + 1, R.Left, R.Bottom - 1, clBtnHighlight);
    Line(R.Left + 1, R.Bottom - 1, R.Right - 1, R.Bottom - 1, clBtnShadow);
    Line(R.Right - 1, R.Top + 1, R.Right - 1, R.Bottom - 1, clBtnShadow);
}

void TDefaultStyleDisplay::DrawThemedFrameBox(TNxCustomColumn* Column, const TRect& Rect) {
    const int State = Column->GetFocused() ? 3 : Column->GetHover() ? 2 : 1;
    ThemedHeader(Rect, 1, State);
}

void TDefaultStyleDisplay::DrawCornerBox(const TRect& Rect, TBoxLocation Location) {
    if (GetThemedDrawing() && Location != bpBottom)
        ThemedHeader(Rect, 1, 1);
    else
        TGraphicsProvider::DrawButton(GetCanvas(), Rect, false);
}

void TDefaultStyleDisplay::DrawInactiveHeader(const TRect& Rect) {
    if (GetThemedDrawing())
        ThemedHeader(Rect, 2, 1);
    else
        TStyleDisplay::DrawInactiveHeader(Rect);
}

// ---- flat

void TFlatStyleDisplay::DrawFlat(const TRect& R, TColor Face) {
    Fill(R, Face);
    Line(R.Right - 1, R.Top, R.Right - 1, R.Bottom, clGrayText);
    Line(R.Left, R.Bottom - 1, R.Right - 1, R.Bottom - 1, clGrayText);
}

void TFlatStyleDisplay::DrawDefaultFrameBox(TNxCustomColumn* Column, const TRect& Rect) {
    DrawFlat(Rect, Column->GetHeader()->GetColor());
}

// ---- old style

void TOldStyleDisplay::DrawFrameBox(const TRect& R) {
    Fill(R, clBtnFace);
    Frame3D(R, clBtnHighlight, clWindowFrame);
}

// ---- Outlook

void TOutlookStyleDisplay::DrawFrameBox(TNxCustomColumn* Column, const TRect& R) {
    const TColor Face = Column->GetHeader()->GetColor();
    Fill(R, Face);
    const TColumnLocation Location = Column->GetLocation();
    const bool First = Location == clLeftSide || Location == clAlone;
    const bool Last = Location == clRightSide || Location == clAlone;
    // Dividers stop short of the edges between two headers, and run full length at the outside.
    if (First)
        Line(R.Left, R.Top, R.Left, R.Bottom, clBtnHighlight);
    else
        Line(R.Left, R.Top + 2, R.Left, R.Bottom - 3, clBtnHighlight);
    if (Last)
        Line(R.Right - 1, R.Top, R.Right - 1, R.Bottom, clBtnShadow);
    else
        Line(R.Right - 1, R.Top + 2, R.Right - 1, R.Bottom - 4, clBtnShadow);
    // Soft shading: two rows fading towards the shadow at the bottom.
    Line(R.Left, R.Bottom - 2, R.Right, R.Bottom - 2, NxSharedDraw::BlendColor(Face, clBtnShadow, 0.25));
    Line(R.Left, R.Bottom - 1, R.Right, R.Bottom - 1, NxSharedDraw::BlendColor(Face, clBtnShadow, 0.5));
}

void TOutlookStyleDisplay::DrawAreaSplitter(const TRect& Rect) {
    TGraphicsProvider::DrawButton(GetCanvas(), Rect, false);
}

// ---- Vista

void TVistaStyleDisplay::DrawTopArrow(const TRect& R, bool Ascending) {
    TCanvas* Canvas = GetCanvas();
    const int X = R.Left + (R.Width() - 7) / 2, Y = R.Top;
    Canvas->GetPen()->SetColor(clWhite);
    Canvas->GetBrush()->SetStyle(bsSolid);
    Canvas->GetBrush()->SetColor(clWhite);
    if (Ascending)
        Canvas->Polygon({Point(X, Y + 3), Point(X + 3, Y), Point(X + 6, Y + 3)});
    else
        Canvas->Polygon({Point(X, Y), Point(X + 3, Y + 3), Point(X + 6, Y)});
}

void TVistaStyleDisplay::DrawFrameBox(TNxCustomColumn* Column, const TRect& R) {
    if (Column->GetSorted()) {
        NxSharedDraw::DrawVertGradient(GetCanvas(), R, RGB(0xAF, 0xDC, 0xF0), clWhite);
        if (GetShowMarks()) DrawTopArrow(R, Column->GetSortKind() == skAscending);
    } else {
        Fill(R, RGB(0xF0, 0xF0, 0xF0));
    }
    Line(R.Left, R.Top, R.Left, R.Bottom, clWhite);
    Line(R.Right - 1, R.Top, R.Right - 1, R.Bottom, clBtnFace);
}
