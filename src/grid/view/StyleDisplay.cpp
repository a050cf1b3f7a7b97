// Header styles, the base: header content layout, footer and input cells, the indicator, and the
// plain defaults the style classes build on.

#include "grid/view/StyleDisplay.h"

#include <algorithm>

#include "drawing/NxClasses.h"
#include "drawing/Providers.h"
#include "drawing/SharedCommon.h"
#include "grid/view/StyleDisplayClassic.h"
#include "grid/view/StyleDisplayOffice.h"
#include "platform/runtime/CodePage.h"
#include "platform/runtime/SysUtils.h"

using NxSharedCommon::TCalcProvider;

void TStyleDisplay::Assign(const TPersistent* Source) {
    if (dynamic_cast<const TStyleDisplay*>(Source)) return;
    TPersistent::Assign(Source);
}

TColor TStyleDisplay::GetGridColor() const {
    return FOwner ? FOwner->GetGridColor() : clBtnFace;
}

void TStyleDisplay::Line(int X1, int Y1, int X2, int Y2, TColor Color) {
    FCanvas->GetPen()->SetColor(Color);
    FCanvas->GetPen()->SetStyle(psSolid);
    FCanvas->GetPen()->SetWidth(1);
    FCanvas->MoveTo(X1, Y1);
    FCanvas->LineTo(X2, Y2);
}

void TStyleDisplay::Fill(const TRect& Rect, TColor Color) {
    FCanvas->GetBrush()->SetStyle(bsSolid);
    FCanvas->GetBrush()->SetColor(Color);
    FCanvas->FillRect(Rect);
}

void TStyleDisplay::Frame3D(const TRect& R, TColor Light, TColor Dark) {
    Line(R.Left, R.Bottom - 2, R.Left, R.Top, Light);
    Line(R.Left, R.Top, R.Right - 1, R.Top, Light);
    Line(R.Right - 1, R.Top + 1, R.Right - 1, R.Bottom - 1, Dark);
    Line(R.Right - 1, R.Bottom - 1, R.Left, R.Bottom - 1, Dark);
}

int TStyleDisplay::GetHeaderMargin(TNxCustomColumn* Column) {
    if (!FShowMarks || FDisplayMedia != dmScreen) return 0;
    return FThemedDrawing && Column->GetHeader()->GetDisplayMode() == dmTextOnly ? 11 : 2;
}

void TStyleDisplay::DrawArrow(int X, int Y, bool Ascending) {
    if (FThemedDrawing) {
        FCanvas->GetPen()->SetColor(clGrayText);
        FCanvas->GetBrush()->SetStyle(bsSolid);
        FCanvas->GetBrush()->SetColor(clGrayText);
        if (Ascending)
            FCanvas->Polygon({Point(X, Y + 4), Point(X + 4, Y), Point(X + 8, Y + 4)});
        else
            FCanvas->Polygon({Point(X, Y), Point(X + 4, Y + 4), Point(X + 8, Y)});
        return;
    }
    // Raised look: the edges facing up and left in shadow, the others in highlight.
    if (Ascending) {
        Line(X + 3, Y, X - 1, Y + 6, clBtnShadow);
        Line(X + 3, Y, X + 7, Y + 6, clBtnHighlight);
        Line(X, Y + 5, X + 7, Y + 5, clBtnHighlight);
    } else {
        Line(X, Y, X + 7, Y, clBtnShadow);
        Line(X, Y, X + 4, Y + 6, clBtnShadow);
        Line(X + 6, Y, X + 2, Y + 6, clBtnHighlight);
    }
}

void TStyleDisplay::DoDrawText(TCanvas* Canvas, const TRect& Rect, bool MultiLine, const WideString& Text) {
    uint32_t Flags = DT_LEFT | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX | DT_EXTERNALLEADING;
    if (!MultiLine) Flags |= DT_SINGLELINE;
    if (FRightToLeft) Flags |= DT_RTLREADING;
    TRect R = Rect;
    Canvas->GetBrush()->SetStyle(bsClear);
    if (NxSharedCommon::IsUnicodeSupported)
        Canvas->DrawText(Text, R, Flags);
    else
        Canvas->DrawText(WideToAnsi(Text), R, Flags);
    Canvas->GetBrush()->SetStyle(bsSolid);
}

void TStyleDisplay::DrawGrid(const TRect& R, TColor Color) {
    Line(R.Left, R.Bottom - 1, R.Right - 1, R.Bottom - 1, Color);
    Line(R.Right - 1, R.Top, R.Right - 1, R.Bottom, Color);
}

int TStyleDisplay::GetCaptionExtent(TNxCustomColumn* Column) {
    TColumnHeader* Header = Column->GetHeader();
    if (Header->GetDisplayMode() == dmImageOnly) return 0;
    const WideString& Caption = Header->GetCaption();
    if (Header->GetOrientation() == hoVertical) return NxClasses::GetTextHeight(FCanvas, Caption) + 2;
    if (Header->GetMultiLine()) return NxClasses::GetMultilineTextWidth(FCanvas, Caption) + 2;
    return NxClasses::GetTextWidth(FCanvas, Caption) + 2;
}

int TStyleDisplay::GetHeaderContentWidth(TNxCustomColumn* Column) {
    TColumnHeader* Header = Column->GetHeader();
    TBitmap* Glyph = Header->GetGlyph();
    const int GlyphWidth = Glyph && !Glyph->GetEmpty() ? Glyph->GetWidth() : 0;
    const WideString& Caption = Header->GetCaption();
    const int Extent = Header->GetOrientation() == hoVertical ? NxClasses::GetTextHeight(FCanvas, Caption)
                                                              : NxClasses::GetTextWidth(FCanvas, Caption);
    switch (Header->GetDisplayMode()) {
    case dmImageOnly:
        return GlyphWidth;
    case dmTextAndImage:
        return Extent + GlyphWidth + 2;
    case dmTextOnly:
        break;
    }
    return Extent;
}

namespace {
bool HasGlyph(TColumnHeader* Header) {
    return Header->GetDisplayMode() != dmTextOnly && Header->GetGlyph() && !Header->GetGlyph()->GetEmpty();
}
// Right-aligned content leaves room for the sort arrow of a sorted column.
int ArrowRoom(TNxCustomColumn* Column) {
    return Column->GetSorted() ? 31 : 0;
}
} // namespace

int TStyleDisplay::GetCaptionLeft(TNxCustomColumn* Column, const TRect& R, int E) {
    TColumnHeader* Header = Column->GetHeader();
    if (!HasGlyph(Header)) {
        switch (Header->GetAlignment()) {
        case taLeftJustify:
            return R.Left + 2;
        case taRightJustify:
            return R.Right - E - ArrowRoom(Column);
        case taCenter:
            return E < R.Width() ? R.Left + (R.Width() - E) / 2 : R.Left + 2;
        }
    }
    const int GlyphWidth = Header->GetGlyph()->GetWidth();
    int GlyphLeft = R.Left + 3;
    switch (Header->GetAlignment()) {
    case taLeftJustify:
        break;
    case taRightJustify:
        GlyphLeft = R.Right - GlyphWidth - E - 2 - ArrowRoom(Column);
        break;
    case taCenter:
        GlyphLeft = R.Left + R.Width() / 2 - (GlyphWidth + E) / 2;
        break;
    }
    return GlyphLeft + GlyphWidth + 2;
}

void TStyleDisplay::DrawHeaderContent(TNxCustomColumn* Column, const TRect& R) {
    TColumnHeader* Header = Column->GetHeader();
    const int E = GetCaptionExtent(Column);
    const int TextLeft = GetCaptionLeft(Column, R, E);
    if (HasGlyph(Header)) {
        TBitmap* Glyph = Header->GetGlyph();
        const int Top = R.Top + R.Height() / 2 - Glyph->GetHeight() / 2;
        NxSharedCommon::ApplyBitmap(FCanvas, TextLeft - 2 - Glyph->GetWidth(), Top, Glyph);
    }
    if (Header->GetDisplayMode() != dmImageOnly) {
        TRect TextRect(TextLeft, R.Top, R.Right, R.Bottom);
        AdjustTextRect(TextRect);
        if (Header->GetOrientation() == hoVertical) {
            NxSharedCommon::DrawVerticalText(FCanvas, TextRect, WideToAnsi(Header->GetCaption()));
            FCanvas->GetBrush()->SetStyle(bsSolid);
        } else {
            DoDrawText(FCanvas, TextRect, Header->GetMultiLine(), Header->GetCaption());
        }
    }
    const TStyleDisplayAttributes Attributes = GetStyleDisplayAttributes();
    if (FShowMarks && Column->GetSorted() && !Attributes.Contains(sdaCustomArrow)) {
        const int ArrowX = TextLeft + E + 19;
        const int ArrowY = R.Top + R.Height() / 2 - 4;
        if (ArrowX + 8 < R.Right || !Header->GetHideArrow())
            DrawArrow(ArrowX, ArrowY, Column->GetSortKind() == skAscending);
    }
    if (FShowMarks && Column->GetFocused() && Attributes.Contains(sdaInvertFocus)) {
        if (Column->GetLocation() == clAlone)
            FCanvas->InvertRect(Rect(R.Left - 1, R.Top - 1, R.Right, R.Bottom));
        else
            FCanvas->InvertRect(Rect(R.Left, R.Top, R.Right - 1, R.Bottom));
    }
}

void TStyleDisplay::DrawFooterContent(TNxCustomColumn* Column, const TRect& Rect) {
    TColumnFooter* Footer = Column->GetFooter();
    WideString Text = Footer->GetCaption();
    if (Footer->GetFormulaKind() != fkNone) {
        const double Value = Footer->GetFormulaValue();
        const WideString Number =
            Footer->GetFormatMask().empty() ? FloatToStr(Value) : FormatFloat(Footer->GetFormatMask(), Value);
        Text = Footer->GetTextBefore() + Number + Footer->GetTextAfter();
    }
    TRect TextRect = Rect;
    InflateRect(TextRect, -2, 0);
    NxSharedCommon::DrawTextRect(FCanvas, TextRect, Footer->GetAlignment(), Text);
}

void TStyleDisplay::DrawCornerBox(const TRect& Rect, TBoxLocation /*Location*/) {
    Fill(Rect, GetGridColor());
}

void TStyleDisplay::DrawFooter(TNxCustomColumn* Column, const TRect& Rect, bool GridLines) {
    FCanvas->SetFont(Column->GetFont());
    TRect Inside = Rect;
    if (GridLines) {
        --Inside.Right;
        --Inside.Bottom;
    }
    Fill(Inside, Column->GetFooter()->GetColor());
    if (GridLines) DrawGrid(Rect, clBtnFace);
    const int Saved = FCanvas->SaveDC();
    FCanvas->IntersectClipRect(Rect);
    DrawFooterContent(Column, Rect);
    FCanvas->RestoreDC(Saved);
}

void TStyleDisplay::DrawHeader(TNxCustomColumn* Column, const TRect& Rect) {
    if (FDisplayMedia == dmScreen) DrawHeaderBackground(Column, Rect);
    DrawHeaderContent(Column, Rect);
}

void TStyleDisplay::DrawIndicator(const TRect& R, int ARow, bool /*IsSelected*/, bool /*IsCurrent*/) {
    const int L = R.Left;
    Fill(Rect(L + 1, R.Top + 1, R.Right - 1, R.Bottom), clBtnFace);
    Line(L, R.Top, L, R.Bottom, clBtnHighlight);
    if (ARow == 0) {
        Line(L + 1, R.Top, R.Right - 1, R.Top, clBtnHighlight);
    } else {
        Line(L + 2, R.Top, R.Right - 2, R.Top, clBtnHighlight);
        FCanvas->SetPixels(L + 1, R.Top, clBtnFace);
        FCanvas->SetPixels(R.Right - 2, R.Top, clBtnFace);
    }
    Line(R.Right - 1, R.Top, R.Right - 1, R.Bottom, clBtnShadow);
    Line(L + 2, R.Bottom - 1, R.Right - 2, R.Bottom - 1, clBtnShadow);
}

void TStyleDisplay::DrawIndicatorState(const TRect& Rect, bool IsCurrent, bool IsSelected) {
    if (IsCurrent) {
        const TPoint P = TCalcProvider::PosInRect(6, 11, 0, Rect, taCenter, taVerticalCenter);
        FCanvas->GetPen()->SetColor(clWindowText);
        FCanvas->GetBrush()->SetStyle(bsSolid);
        FCanvas->GetBrush()->SetColor(clWindowText);
        FCanvas->Polygon({Point(P.X, P.Y), Point(P.X + 5, P.Y + 5), Point(P.X, P.Y + 10)});
    }
    if (IsSelected) FCanvas->InvertRect(Rect);
}

void TStyleDisplay::DrawInput(TNxCustomColumn* Column, const TRect& Rect, bool Focused, bool InputSelected,
                              bool GridLines) {
    FCanvas->SetFont(Column->GetFont());
    FCanvas->GetFont()->SetStyle({});
    const bool Editing = Column->GetInputEditing();
    TColor TextColor = clGrayText, Back = Column->GetColor();
    if (InputSelected && !Editing && !Column->GetSelected()) {
        TextColor = clHighlightText;
        Back = Focused ? clHighlight : clBtnFace;
    }
    FCanvas->GetFont()->SetColor(TextColor);
    TRect Cell = Rect;
    if (GridLines && InputSelected) {
        --Cell.Right;
        --Cell.Bottom;
    }
    FCanvas->GetBrush()->SetStyle(bsSolid);
    FCanvas->GetBrush()->SetColor(Back);
    if (Editing)
        FCanvas->FrameRect(Cell);
    else
        FCanvas->FillRect(Cell);
    if (GridLines && InputSelected) DrawGrid(Rect, clHighlight);
    const TRect TextRect(Rect.Left + 2, Rect.Top, Rect.Right - 1, Rect.Bottom - 1);
    if (!Column->GetInputValue().empty())
        NxSharedCommon::DrawTextRect(FCanvas, TextRect, Column->GetAlignment(), Column->GetInputDrawText());
    else
        NxSharedCommon::DrawTextRect(FCanvas, TextRect, taCenter, Column->GetInputCaption());
}

void TStyleDisplay::DrawInactiveHeader(const TRect& Rect) {
    Fill(Rect, GetGridColor());
}

std::unique_ptr<TStyleDisplay> CreateStyleDisplay(THeaderStyle Style, TNxGridHost* Owner) {
    switch (Style) {
    case hsAuto:
        return std::make_unique<TDefaultStyleDisplay>(Owner);
    case hsFlatBorders:
        return std::make_unique<TFlatStyleDisplay>(Owner);
    case hsOffice2007:
        return std::make_unique<TOffice2007StyleDisplay>(Owner);
    case hsOffice2010:
        return std::make_unique<TOffice2010StyleDisplay>(Owner);
    case hsOldStyle:
        return std::make_unique<TOldStyleDisplay>(Owner);
    case hsOutlook:
        return std::make_unique<TOutlookStyleDisplay>(Owner);
    case hsVista:
        return std::make_unique<TVistaStyleDisplay>(Owner);
    }
    return std::make_unique<TDefaultStyleDisplay>(Owner);
}
