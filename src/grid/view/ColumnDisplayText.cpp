// Displays that paint a cell as one text: plain text, numbers, dates, times, row numbers, memos,
// GUIDs, hyperlinks and named colors.

#include "grid/view/ColumnDisplayText.h"

#include "drawing/SharedCommon.h"
#include "grid/model/HyperlinkColumn.h"
#include "platform/runtime/CodePage.h"

void TTextColumnDisplay::Paint() {
    DrawTextRect(GetColumn()->GetDrawText(MakeCellInfo()), GetTextRect());
}

void TNumberColumnDisplay::Paint() {
    DrawTextRect(GetColumn()->GetDrawText(MakeCellInfo()), GetTextRect());
}

void TDateColumnDisplay::Paint() {
    DrawTextRect(GetColumn()->GetDrawText(MakeCellInfo()), GetTextRect());
}

void TTimeColumnDisplay::Paint() {
    DrawTextRect(GetColumn()->GetDrawText(MakeCellInfo()), GetTextRect());
}

void TIncrementColumnDisplay::Paint() {
    DrawTextRect(GetColumn()->GetDrawText(MakeCellInfo()), GetTextRect());
}

TRect TMemoColumnDisplay::GetTextRect() {
    const TRect& R = GetCellRect();
    return Rect(R.Left + 2, R.Top + 1, R.Right - 2, R.Bottom - 1);
}

TSize TMemoColumnDisplay::GetTextSize() {
    TRect R = GetTextRect();
    PlatformDrawText(GetAsString(), R, MemoFlags | DT_CALCRECT);
    return {R.Width(), R.Height()};
}

void TMemoColumnDisplay::Paint() {
    TRect R = GetTextRect();
    TCanvas* Canvas = GetCanvas();
    Canvas->GetBrush()->SetStyle(bsClear);
    PlatformDrawText(GetAsString(), R, MemoFlags);
    Canvas->GetBrush()->SetStyle(bsSolid);
}

void THyperlinkColumnDisplay::Paint() {
    const WideString Text = GetColumn()->GetDrawText(MakeCellInfo());
    // An invalid link is the stronger news, so its color wins over the visited one.
    auto Recolor = [&](const auto& Links) {
        if (Links.HyperlinkIsInvalidated(GetAsString()))
            GetCanvas()->GetFont()->SetColor(Links.GetInvalidatedLinkColor());
        else if (Links.HyperlinkHasBeenVisited(GetAsString()))
            GetCanvas()->GetFont()->SetColor(Links.GetVisitedLinkColor());
    };
    if (auto* Links = dynamic_cast<const THyperlinkColumnSettings*>(GetColumn()))
        Recolor(*Links);
    else if (auto* Kind = dynamic_cast<const TNxHyperlinkColumn*>(GetColumn()))
        Recolor(*Kind);
    DrawTextRect(Text, GetTextRect());
}

TRect TNxColorColumnDisplay::GetSwatchRect() const {
    const TRect& R = GetCellRect();
    const int Top = R.Top + 2, Bottom = R.Bottom - 2;
    if (GetColumn()->GetBiDiMode() != bdLeftToRight) return Rect(R.Right - 22, Top, R.Right - 2, Bottom);
    return Rect(R.Left + 2, Top, R.Left + 22, Bottom);
}

void TNxColorColumnDisplay::Paint() {
    TCanvas* Canvas = GetCanvas();
    const TRect Swatch = GetSwatchRect();
    const TColor Named =
        GetAsString().empty() ? clNone : NxSharedCommon::GetColorFromHTML(WideToAnsi(GetAsString()));
    Canvas->GetPen()->SetColor(clGray);
    Canvas->GetBrush()->SetStyle(bsSolid);
    Canvas->GetBrush()->SetColor(Named == clNone ? clWhite : Named);
    Canvas->Rectangle(Swatch);
    if (Named == clNone) {
        Canvas->GetPen()->SetColor(clRed);
        Canvas->MoveTo(Swatch.Left + 1, Swatch.Bottom - 2);
        Canvas->LineTo(Swatch.Right - 1, Swatch.Top);
    }
    TRect Text = GetTextRect();
    if (GetColumn()->GetBiDiMode() != bdLeftToRight)
        Text.Right -= SwatchIndent;
    else
        Text.Left += SwatchIndent;
    DrawTextRect(GetColumn()->GetDrawText(MakeCellInfo()), Text);
}
