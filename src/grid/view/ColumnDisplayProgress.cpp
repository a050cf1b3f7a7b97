// The progress display: a framed bar whose filled share is the cell's value against the column's
// maximum, in one of four styles, with the percentage as text.

#include "grid/view/ColumnDisplayProgress.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "drawing/Providers.h"
#include "drawing/SharedDraw.h"
#include "grid/model/ProgressColumn.h"
#include "platform/runtime/SysUtils.h"

using NxSharedCommon::TGraphicsProvider;

namespace {
// The progress column kind read through the settings the display paints with.
class TProgressColumnReader : public TProgressColumnSettings {
public:
    explicit TProgressColumnReader(const TNxProgressColumn& Column) : C(Column) {}
    TColor GetBorderColor() const override { return C.GetBorderColor(); }
    bool GetHideWhenEmpty() const override { return C.GetHideWhenEmpty(); }
    int GetHighValueBound() const override { return C.GetHighValueBound(); }
    TColor GetHighValueColor() const override { return C.GetHighValueColor(); }
    int GetLowValueBound() const override { return C.GetLowValueBound(); }
    TColor GetLowValueColor() const override { return C.GetLowValueColor(); }
    int GetMargin() const override { return C.GetMargin(); }
    int GetMax() const override { return C.GetMax(); }
    int GetPrecision() const override { return C.GetPrecision(); }
    TColor GetProgressColor() const override { return C.GetProgressColor(); }
    int GetProgressHeight() const override { return C.GetProgressHeight(); }
    TProgressStyle GetProgressStyle() const override { return C.GetProgressStyle(); }
    bool GetRoundCorners() const override { return C.GetRoundCorners(); }
    bool GetShowText() const override { return C.GetShowText(); }
    TProgressTextPosition GetTextPosition() const override { return C.GetTextPosition(); }
    bool GetTransparent() const override { return C.GetTransparent(); }

private:
    const TNxProgressColumn& C;
};
} // namespace

double TProgressColumnDisplay::GetRatio(const TProgressColumnSettings& Settings) const {
    if (Settings.GetMax() <= 0) return 0;
    const double Ratio = GetAsFloat() / Settings.GetMax() * 100;
    return std::isfinite(Ratio) ? Ratio : 0;
}

TRect TProgressColumnDisplay::GetFrameRect(const TProgressColumnSettings& Settings) const {
    TRect R = GetCellRect();
    InflateRect(R, -Settings.GetMargin(), -Settings.GetMargin());
    if (const int Height = Settings.GetProgressHeight(); Height > 0) {
        switch (GetColumn()->GetVerticalAlignment()) {
        case taAlignTop:
            break;
        case taAlignBottom:
            R.Top = R.Bottom - Height;
            break;
        case taVerticalCenter:
            R.Top = R.Top + (R.Bottom - R.Top) / 2 - Height / 2;
            break;
        }
        R.Bottom = R.Top + Height;
    }
    if (Settings.GetShowText() && Settings.GetTextPosition() == TProgressTextPosition::tpBeside) R.Left += 30;
    return R;
}

TRect TProgressColumnDisplay::GetBarRect(const TProgressColumnSettings& Settings) const {
    const TRect Frame = GetFrameRect(Settings);
    TRect Inner = Frame;
    InflateRect(Inner, -2, -2);
    // Clamped before the conversion: a share far above the maximum must not overflow an int,
    // and anything wider than the inside is cut at the frame anyway.
    const double Fill = std::nearbyint(Inner.Width() * GetRatio(Settings) / 100);
    const int Width = static_cast<int>(std::clamp(Fill, -1.0, double(std::max(Inner.Width(), 0))));
    TRect Bar(Inner.Left, Inner.Top, std::min(Inner.Left + Width, Frame.Right - 2), Inner.Bottom);
    if (Bar.IsEmpty()) return {};
    return Bar;
}

TColor TProgressColumnDisplay::GetBarColor(const TProgressColumnSettings& Settings) const {
    const double Value = GetAsFloat();
    if (Value >= Settings.GetHighValueBound()) return Settings.GetHighValueColor();
    if (Value <= Settings.GetLowValueBound()) return Settings.GetLowValueColor();
    return Settings.GetProgressColor();
}

WideString TProgressColumnDisplay::GetPercentText(const TProgressColumnSettings& Settings) const {
    return FloatToStrF(GetRatio(Settings), ffFixed, 15, Settings.GetPrecision()) + u"%";
}

const std::vector<TColor>& TProgressColumnDisplay::GetGradientColors(TColor From, TColor To, int Width) {
    // System colors are keyed by what they stand for now.
    From = ColorToRGB(From);
    To = ColorToRGB(To);
    const auto Key = std::make_tuple(From, To, Width);
    if (auto It = FGradients.find(Key); It != FGradients.end()) return It->second;
    if (FGradients.size() >= MaxGradients) FGradients.clear();
    std::vector<TColor> Colors(static_cast<size_t>(std::max(Width, 0)));
    for (int X = 0; X < Width; ++X)
        Colors[static_cast<size_t>(X)] = NxSharedDraw::BlendColor(From, To, static_cast<double>(X) / Width);
    return FGradients.emplace(Key, std::move(Colors)).first->second;
}

void TProgressColumnDisplay::PaintBar(const TProgressColumnSettings& Settings, const TRect& Bar) {
    TCanvas* Canvas = GetCanvas();
    const TColor BarColor = GetBarColor(Settings);
    const TColor Back = GetColumn()->GetColor();
    switch (Settings.GetProgressStyle()) {
    case TProgressStyle::psSolid:
        Canvas->GetBrush()->SetColor(BarColor);
        Canvas->FillRect(Bar);
        break;
    case TProgressStyle::psBoxes: {
        const int BoxWidth = static_cast<int>(std::nearbyint(Bar.Height() / 1.5));
        if (BoxWidth <= 0) break;
        Canvas->GetBrush()->SetColor(BarColor);
        for (int X = Bar.Left; X + BoxWidth < Bar.Right; X += BoxWidth + 2)
            Canvas->FillRect(Rect(X, Bar.Top, X + BoxWidth, Bar.Bottom));
        break;
    }
    case TProgressStyle::psGradient: {
        // The provider's horizontal gradient, one vertical line per pixel column, with the
        // blended colors kept.
        const std::vector<TColor>& Colors = GetGradientColors(Back, BarColor, Bar.Width());
        TPen* Pen = Canvas->GetPen();
        for (int X = Bar.Left; X < Bar.Right; ++X) {
            Pen->SetColor(Colors[static_cast<size_t>(X - Bar.Left)]);
            Canvas->MoveTo(X, Bar.Top);
            Canvas->LineTo(X, Bar.Bottom);
        }
        break;
    }
    case TProgressStyle::psCylinder:
        TGraphicsProvider::DrawGradient(Canvas, Bar, BarColor, Back);
        break;
    }
}

int TProgressColumnDisplay::GetContentWidth() {
    std::optional<TProgressColumnReader> Reader;
    auto* Settings = SettingsOf<TProgressColumnSettings, TNxProgressColumn>(GetColumn(), Reader);
    if (!Settings) return TColumnDisplay::GetContentWidth();
    // The bar stretches to any width; only the percentage asks for room, beside the bar at least
    // the 30 pixels the bar leaves for it.
    if (!Settings->GetShowText()) return 0;
    const int Text = GetCanvas()->TextWidth(GetPercentText(*Settings));
    return Settings->GetTextPosition() == TProgressTextPosition::tpBeside ? std::max(Text, 30) : Text;
}

void TProgressColumnDisplay::Paint() {
    std::optional<TProgressColumnReader> Reader;
    auto* Settings = SettingsOf<TProgressColumnSettings, TNxProgressColumn>(GetColumn(), Reader);
    if (!Settings) {
        DrawTextRect(GetColumn()->GetDrawText(MakeCellInfo()), GetTextRect());
        return;
    }
    if (GetAsFloat() == 0 && Settings->GetHideWhenEmpty()) return;
    TCanvas* Canvas = GetCanvas();
    const TRect Frame = GetFrameRect(*Settings);
    Canvas->GetBrush()->SetStyle(bsSolid);
    if (Settings->GetTransparent()) {
        Canvas->GetBrush()->SetColor(Settings->GetBorderColor());
        Canvas->FrameRect(Frame);
    } else {
        Canvas->GetPen()->SetColor(Settings->GetBorderColor());
        Canvas->GetPen()->SetStyle(psSolid);
        Canvas->GetBrush()->SetColor(GetColumn()->GetColor());
        if (Settings->GetRoundCorners())
            Canvas->RoundRect(Frame.Left, Frame.Top, Frame.Right, Frame.Bottom, 4, 4);
        else
            Canvas->Rectangle(Frame);
    }
    if (const TRect Bar = GetBarRect(*Settings); !Bar.IsEmpty()) PaintBar(*Settings, Bar);
    if (!Settings->GetShowText()) return;
    // Inside the bar the text keeps the column's color, so a selected row does not recolor it.
    if (Settings->GetTextPosition() == TProgressTextPosition::tpInside)
        Canvas->GetFont()->SetColor(GetColumn()->GetFont()->GetColor());
    DrawTextRect(GetPercentText(*Settings), GetTextRect());
}
