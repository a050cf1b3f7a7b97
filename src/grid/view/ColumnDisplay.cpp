// The painter of one column's cells: value slots, canvas and cell rectangle, text layout flags,
// background, hint mark and the measuring used for best-fit sizes.

#include "grid/view/ColumnDisplay.h"

#include <cmath>

#include "drawing/SharedCommon.h"
#include "platform/runtime/CodePage.h"

TCellInfo TVirtualColElement::MakeCellInfo() const {
    TCellInfo Info;
    Info.AsBoolean = FAsBoolean;
    Info.AsDateTime = FAsDateTime;
    Info.AsFloat = FAsFloat;
    Info.AsInteger = FAsInteger;
    Info.AsString = FAsString;
    Info.ObjectReference = FAsObject;
    return Info;
}

TRect TColumnDisplay::GetTextRect() {
    const TRect& R = GetCellRect();
    return Rect(R.Left + 2, R.Top, R.Right - 2, R.Bottom);
}

int TColumnDisplay::PlatformDrawText(const WideString& Text, TRect& Rect, uint32_t Flags) {
    if (NxSharedCommon::IsUnicodeSupported) return GetCanvas()->DrawText(Text, Rect, Flags);
    return GetCanvas()->DrawText(WideToAnsi(Text), Rect, Flags);
}

void TVirtualColElement::LoadValue(const TCellInfo& Info) {
    switch (FColumn->GetColumnType()) {
    case ctBoolean:
        SetAsBoolean(Info.AsBoolean);
        break;
    case ctDate:
        SetAsDateTime(Info.AsDateTime);
        break;
    case ctFloat:
        SetAsFloat(Info.AsFloat);
        break;
    case ctInteger:
    case ctAutoInc:
        SetAsInteger(Info.AsInteger);
        break;
    case ctGraphic:
        SetAsObject(Info.ObjectReference);
        break;
    case ctGuid:
    case ctString:
    case ctVirtual:
        SetAsString(Info.AsString);
        break;
    default:
        break;
    }
}

void TColumnDisplay::DrawTextRect(const WideString& Text, const TRect& Rect) {
    TRect R = Rect;
    uint32_t Flags = 0;
    PrepareDrawText(Text, R, true, Flags);
    TCanvas* Canvas = GetCanvas();
    Canvas->GetBrush()->SetStyle(bsClear);
    PlatformDrawText(Text, R, Flags);
    Canvas->GetBrush()->SetStyle(bsSolid);
}

void TColumnDisplay::DrawHintMark() {
    TCanvas* Canvas = GetCanvas();
    const TRect& R = GetCellRect();
    Canvas->GetPen()->SetColor(clRed);
    Canvas->GetBrush()->SetStyle(bsSolid);
    Canvas->GetBrush()->SetColor(clRed);
    Canvas->Polygon({Point(R.Right - 5, R.Top), Point(R.Right - 1, R.Top), Point(R.Right - 1, R.Top + 4)});
}

TSize TColumnDisplay::GetTextSize() {
    TRect R = GetTextRect();
    uint32_t Flags = 0;
    PrepareDrawText(GetAsString(), R, false, Flags);
    PlatformDrawText(GetAsString(), R, Flags | DT_CALCRECT);
    return {R.Width(), R.Height()};
}

void TColumnDisplay::PaintBackground(TColor Color, bool Fill) {
    TCanvas* Canvas = GetCanvas();
    Canvas->GetBrush()->SetStyle(bsSolid);
    Canvas->GetBrush()->SetColor(Color);
    if (Fill)
        Canvas->FillRect(GetCellRect());
    else
        Canvas->FrameRect(GetCellRect());
}

void TColumnDisplay::PrepareDrawText(const WideString& Text, TRect& Rect, bool Drawing, uint32_t& Flags) {
    TNxCustomColumn* Column = GetColumn();
    Flags = DT_NOPREFIX;
    if (Column->GetBiDiMode() != bdLeftToRight) Flags |= DT_RTLREADING;
    switch (Column->GetAlignment()) {
    case taRightJustify:
        Flags |= DT_RIGHT;
        break;
    case taCenter:
        Flags |= DT_CENTER;
        break;
    case taLeftJustify:
        break;
    }
    switch (Column->GetVerticalAlignment()) {
    case taAlignBottom:
        Flags |= DT_BOTTOM;
        break;
    case taVerticalCenter:
        Flags |= DT_VCENTER;
        break;
    case taAlignTop:
        break;
    }
    switch (Column->GetWrapKind()) {
    case wkEllipsis:
        if (Drawing) Flags |= DT_END_ELLIPSIS;
        break;
    case wkPathEllipsis:
        if (Drawing) Flags |= DT_PATH_ELLIPSIS;
        break;
    case wkWordWrap:
        Flags |= DT_WORDBREAK;
        break;
    case wkNone:
        break;
    }
    if (Column->GetWrapKind() != wkWordWrap && !Column->GetDisplayOptions().Contains(doMultiLine)) {
        Flags |= DT_SINGLELINE;
        return;
    }
    if (Column->GetVerticalAlignment() != taAlignTop)
        AdjustTextRect(Rect, Flags, Column->GetVerticalAlignment(), Text);
}

void TColumnDisplay::AdjustTextRect(TRect& Rect, uint32_t Flags, TVerticalAlignment Alignment,
                                    const WideString& Text) {
    TRect Measured = Rect;
    const int TextHeight = PlatformDrawText(Text, Measured, Flags | DT_CALCRECT);
    switch (Alignment) {
    case taAlignBottom:
        Rect.Top = Rect.Bottom - TextHeight;
        break;
    case taVerticalCenter:
        // Halves go to the even neighbour, as the rounding of the platform's Round does.
        Rect.Top += static_cast<int>(std::nearbyint((Rect.Height() - TextHeight) / 2.0));
        break;
    case taAlignTop:
        break;
    }
}
