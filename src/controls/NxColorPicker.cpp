// The color palette drop-down and the color picker.
#include "controls/NxColorPicker.h"

#include <algorithm>

#include "drawing/SharedCommon.h"
#include "platform/runtime/CodePage.h"
#include "platform/runtime/SysUtils.h"

namespace NxEdit {

namespace {
// Five rows of eight: grays, then saturated, dark, light and pale tones.
constexpr uint32_t PaletteRgb[] = {
    0x000000, 0x404040, 0x808080, 0xA0A0A0, 0xC0C0C0, 0xD8D8D8, 0xF0F0F0, 0xFFFFFF, 0xFF0000, 0xFF8000,
    0xFFFF00, 0x00FF00, 0x00FFFF, 0x0000FF, 0x8000FF, 0xFF00FF, 0x800000, 0x804000, 0x808000, 0x008000,
    0x008080, 0x000080, 0x400080, 0x800080, 0xFF8080, 0xFFC080, 0xFFFF80, 0x80FF80, 0x80FFFF, 0x8080FF,
    0xC080FF, 0xFF80FF, 0xFFE0E0, 0xFFF0E0, 0xFFFFE0, 0xE0FFE0, 0xE0FFFF, 0xE0E0FF, 0xF0E0FF, 0xFFE0FF,
};

TColor FromRgb(uint32_t rgb) {
    return RGB(uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb));
}

int HexDigit(WideChar c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}
} // namespace

// ---------------------------------------------------------------------------------------------
// TNxColorPopup

TNxColorPopup::TNxColorPopup(TComponent* AOwner) : TNxPopupControl(AOwner) {
    for (uint32_t rgb : PaletteRgb)
        FColors.push_back(FromRgb(rgb));
}

void TNxColorPopup::SetSelectedIndex(int Value) {
    FSelectedIndex = Value >= 0 && Value < int(FColors.size()) ? Value : -1;
    Invalidate();
}

void TNxColorPopup::SelectColor(TColor Value) {
    auto it = std::find(FColors.begin(), FColors.end(), ColorToRGB(Value));
    SetSelectedIndex(it == FColors.end() ? -1 : int(it - FColors.begin()));
}

TColor TNxColorPopup::GetSelectedColor() const {
    return FSelectedIndex < 0 ? clNone : FColors[size_t(FSelectedIndex)];
}

TRect TNxColorPopup::GetSwatchRect(int Index) const {
    const int Left = 3 + (Index % PaletteColumns) * (SwatchSize + 2);
    const int Top = 3 + (Index / PaletteColumns) * (SwatchSize + 2);
    return {Left, Top, Left + SwatchSize, Top + SwatchSize};
}

int TNxColorPopup::SwatchAtPos(int X, int Y) const {
    for (int i = 0; i < int(FColors.size()); ++i) {
        TRect r = GetSwatchRect(i);
        InflateRect(r, 1, 1); // the gaps count for their swatch
        if (PtInRect(r, {X, Y})) return i;
    }
    return -1;
}

TSize TNxColorPopup::GetPopupSize(int) const {
    const int Rows = (int(FColors.size()) + PaletteColumns - 1) / PaletteColumns;
    return {PaletteColumns * (SwatchSize + 2) + 4 + 2, Rows * (SwatchSize + 2) + 4 + 2};
}

bool TNxColorPopup::NavigateKey(Word Key, TShiftState) {
    const int Last = int(FColors.size()) - 1;
    int Index = FSelectedIndex < 0 ? 0 : FSelectedIndex;
    switch (Key) {
    case VK_LEFT:
        --Index;
        break;
    case VK_RIGHT:
        ++Index;
        break;
    case VK_UP:
        Index -= PaletteColumns;
        break;
    case VK_DOWN:
        Index += PaletteColumns;
        break;
    default:
        return false;
    }
    if (FSelectedIndex >= 0)
        SetSelectedIndex(std::clamp(Index, 0, Last));
    else
        SetSelectedIndex(0);
    return true;
}

void TNxColorPopup::Accept() {
    if (FSelectedIndex >= 0 && OnPicked) OnPicked(this);
}

void TNxColorPopup::Paint() {
    TCanvas* Canvas = GetCanvas();
    Canvas->GetBrush()->SetColor(GetColor());
    Canvas->FillRect(GetClientRect());
    for (int i = 0; i < int(FColors.size()); ++i) {
        TRect r = GetSwatchRect(i);
        if (i == FSelectedIndex) {
            TRect Ring = r;
            InflateRect(Ring, 2, 2);
            Canvas->GetBrush()->SetColor(clHighlight);
            Canvas->FillRect(Ring);
        }
        Canvas->GetBrush()->SetColor(clGray);
        Canvas->FrameRect(r);
        InflateRect(r, -1, -1);
        Canvas->GetBrush()->SetColor(FColors[size_t(i)]);
        Canvas->FillRect(r);
    }
}

void TNxColorPopup::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TNxPopupControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    const int Index = SwatchAtPos(X, Y);
    if (Index < 0) return;
    SetSelectedIndex(Index);
    if (OnPicked) OnPicked(this);
}

// ---------------------------------------------------------------------------------------------
// TNxColorPicker

TNxColorPicker::TNxColorPicker(TComponent* AOwner) : TNxPopupEdit(AOwner) {
    SetShowPreview(true);
}

TColor TNxColorPicker::GetSelected() const {
    const WideString Text = Trim(GetText());
    if (Text.size() > 1 && Text[0] == u'$') {
        uint32_t Value = 0;
        for (size_t i = 1; i < Text.size(); ++i) {
            const int d = HexDigit(Text[i]);
            if (d < 0 || i > 8) return clNone;
            Value = Value * 16 + uint32_t(d);
        }
        return TColor(Value);
    }
    if (Text.empty()) return clNone;
    return NxSharedCommon::GetColorFromHTML(WideToAnsi(Text));
}

void TNxColorPicker::SetSelected(TColor Value) {
    if (FWebColorFormat) {
        SetText(AnsiToWide(NxSharedCommon::HTMLColorToString(Value)));
        return;
    }
    static const char16_t Digits[] = u"0123456789ABCDEF";
    WideString Text = u"$";
    for (int Shift = 28; Shift >= 0; Shift -= 4)
        Text += Digits[(uint32_t(Value) >> Shift) & 0xF];
    SetText(Text);
}

void TNxColorPicker::SetWebColorFormat(bool Value) {
    const TColor Color = GetSelected();
    FWebColorFormat = Value;
    if (Color != clNone) SetSelected(Color);
}

void TNxColorPicker::PaintPreview(TCanvas* Canvas, const TRect& Rect) {
    const TColor Color = GetSelected();
    Canvas->GetBrush()->SetStyle(bsSolid);
    Canvas->GetBrush()->SetColor(Color == clNone ? clWhite : Color);
    Canvas->FillRect(Rect);
    if (Color == clNone) {
        // No color: a red stroke across the box.
        Canvas->GetPen()->SetColor(clRed);
        Canvas->MoveTo(Rect.Left, Rect.Bottom - 1);
        Canvas->LineTo(Rect.Right, Rect.Top - 1);
    }
    TNxPopupEdit::PaintPreview(Canvas, Rect);
}

TNxPopupControl* TNxColorPicker::CreatePopupControl() {
    return new TNxColorPopup(this);
}

void TNxColorPicker::PreparePopup() {
    GetColorPopup()->SelectColor(GetSelected());
}

void TNxColorPicker::PopupPicked() {
    SetSelected(GetColorPopup()->GetSelectedColor());
    SetModified(true);
    SelectAll();
}

void TNxColorPicker::Change() {
    TNxPopupEdit::Change();
    RefreshPreview();
}

} // namespace NxEdit
