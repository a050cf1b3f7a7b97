#pragma once
// Columns made for the display tests (the kinds' own classes are not needed to paint a cell), a
// display bound to a surface, and a reference renderer for texts.

#include <memory>

#include "drawing/DrawingTestSupport.h"
#include "grid/model/Column.h"
#include "grid/view/ColumnDisplay.h"
#include "grid/view/ColumnDisplayProgress.h"

namespace DisplayTest {

using DrawingTest::Hex;
using DrawingTest::Surface;

// A column whose draw text is its cell text between Before and After, masked by Mask.
class TTextTestColumn : public TNxCustomColumn {
public:
    TTextTestColumn() : TNxCustomColumn(nullptr) {}
    WideString GetDrawText(const TCellInfo& CellInfo) override {
        WideString Text = Before + CellInfo.AsString + After;
        if (Mask) Text.assign(Text.size(), Mask);
        return Text;
    }
    TDisplayOptions GetDisplayOptions() const override {
        return MultiLine ? TDisplayOptions{doMultiLine} : TDisplayOptions{};
    }
    WideString Before, After;
    WideChar Mask = 0;
    bool MultiLine = false;
};

// A progress column with the main window's settings unless a test changes them.
class TProgressTestColumn : public TNxCustomColumn, public TProgressColumnSettings {
public:
    TProgressTestColumn() : TNxCustomColumn(nullptr) {
        SetColumnType(ctFloat);
        SetAlignment(taCenter);
    }
    TColor GetBorderColor() const override { return BorderColor; }
    bool GetHideWhenEmpty() const override { return HideWhenEmpty; }
    int GetHighValueBound() const override { return HighValueBound; }
    TColor GetHighValueColor() const override { return HighValueColor; }
    int GetLowValueBound() const override { return LowValueBound; }
    TColor GetLowValueColor() const override { return LowValueColor; }
    int GetMargin() const override { return Margin; }
    int GetMax() const override { return Max; }
    int GetPrecision() const override { return Precision; }
    TColor GetProgressColor() const override { return ProgressColor; }
    int GetProgressHeight() const override { return ProgressHeight; }
    TProgressStyle GetProgressStyle() const override { return Style; }
    bool GetRoundCorners() const override { return RoundCorners; }
    bool GetShowText() const override { return ShowText; }
    TProgressTextPosition GetTextPosition() const override { return TextPosition; }
    bool GetTransparent() const override { return Transparent; }

    TColor BorderColor = clWhite;
    bool HideWhenEmpty = false;
    int HighValueBound = 0;
    TColor HighValueColor = clHighlight;
    int LowValueBound = 0;
    TColor LowValueColor = clBlack;
    int Margin = 0;
    int Max = 100;
    int Precision = 0;
    TColor ProgressColor = clHighlight;
    int ProgressHeight = 0;
    TProgressStyle Style = TProgressStyle::psGradient;
    bool RoundCorners = false;
    bool ShowText = true;
    TProgressTextPosition TextPosition = TProgressTextPosition::tpInside;
    bool Transparent = false;
};

// Binds a display to a surface with the pinned test font and one cell rectangle.
template <typename Display> void Bind(Display& D, const Surface& S, const TRect& Cell) {
    DrawingTest::UseTestFont(S.Canvas());
    D.SetCanvas(S.Canvas());
    D.SetCellRect(Cell);
}

// The text drawn straight through the canvas, for comparing what a display drew.
inline void ReferenceText(const Surface& S, const WideString& Text, TRect R, uint32_t Flags) {
    DrawingTest::UseTestFont(S.Canvas());
    S.Canvas()->GetBrush()->SetStyle(bsClear);
    S.Canvas()->DrawText(Text, R, Flags);
    S.Canvas()->GetBrush()->SetStyle(bsSolid);
}

} // namespace DisplayTest
