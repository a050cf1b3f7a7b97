// The Office header styles: scheme-colored gradient headers with a divider and a bottom border.

#include "grid/view/StyleDisplayOffice.h"

#include "drawing/SharedDraw.h"

using NxThemesSupport::SchemeColor;

TColor TOffice2010StyleDisplay::GradientStart() const {
    return SchemeColor(NxThemesSupport::seGridHeaderGradientStart);
}
TColor TOffice2010StyleDisplay::GradientEnd() const {
    return SchemeColor(NxThemesSupport::seGridHeaderGradientEnd);
}

void TOffice2010StyleDisplay::DrawFrameBox(TNxCustomColumn* Column, const TRect& R) {
    const bool Pressed = Column->GetFocused();
    NxSharedDraw::DrawVertGradient(GetCanvas(), R, Pressed ? GradientEnd() : GradientStart(),
                                   Pressed ? GradientStart() : GradientEnd());
    switch (Column->GetLocation()) {
    case clLeftSide:
    case clMiddle:
        Line(R.Right - 1, R.Top + 2, R.Right - 1, R.Bottom - 3,
             SchemeColor(NxThemesSupport::seHeaderDivider));
        break;
    case clRightSide:
    case clAlone:
        Line(R.Right - 1, R.Top, R.Right - 1, R.Bottom - 1, SchemeColor(NxThemesSupport::seBorder));
        break;
    }
    Line(R.Left, R.Bottom - 1, R.Right - 1, R.Bottom - 1, SchemeColor(NxThemesSupport::seBorder));
}

void TOffice2010StyleDisplay::DrawArrow(int X, int Y, bool Ascending) {
    TCanvas* Canvas = GetCanvas();
    Canvas->GetPen()->SetColor(clBlack);
    Canvas->GetBrush()->SetStyle(bsSolid);
    Canvas->GetBrush()->SetColor(RGB(0xA5, 0xAC, 0xB5));
    if (Ascending)
        Canvas->Polygon({Point(X, Y + 4), Point(X + 4, Y), Point(X + 8, Y + 4)});
    else
        Canvas->Polygon({Point(X, Y), Point(X + 4, Y + 4), Point(X + 8, Y)});
}

void TOffice2010StyleDisplay::DrawCornerBox(const TRect& R, TBoxLocation /*Location*/) {
    NxSharedDraw::DrawVertGradient(GetCanvas(), R, GradientStart(), GradientEnd());
    const TColor Border = SchemeColor(NxThemesSupport::seBorder);
    Line(R.Right - 1, R.Top, R.Right - 1, R.Bottom - 1, Border);
    Line(R.Right - 1, R.Bottom - 1, R.Left, R.Bottom - 1, Border);
}

void TOffice2010StyleDisplay::DrawAreaSplitter(const TRect& Rect) {
    Fill(Rect, SchemeColor(NxThemesSupport::seHeaderGradientEnd));
}

TColor TOffice2007StyleDisplay::GradientStart() const {
    return clWhite;
}
TColor TOffice2007StyleDisplay::GradientEnd() const {
    return SchemeColor(NxThemesSupport::seHeaderGradientEnd);
}
