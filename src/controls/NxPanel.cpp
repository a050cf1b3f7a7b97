// The gradient panel: background styles, border lines, caption and inner margins.
#include "controls/NxPanel.h"

#include "drawing/NxClasses.h"
#include "drawing/SharedDraw.h"
#include "drawing/ThemesSupport.h"

namespace NxStdCtrls {

TNxPanel::TNxPanel(TComponent* AOwner)
    : TCustomControl(AOwner), FBorderPen(std::make_unique<TPen>()),
      FInnerMargins(std::make_unique<NxCollection::TNxMargins>()) {
    FInnerMargins->SetRect(0, 0, 0, 0);
    FBorderPen->OnChange = [this] { Invalidate(); };
    FInnerMargins->OnChange = [this](TObject*) { MarginsChanged(); };
    // Not opaque: what lies behind shows through the transparent style.
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                                  csDoubleClicks, csReplicatable});
    NxThemesSupport::SchemeNotification(this);
}

TNxPanel::~TNxPanel() {
    NxThemesSupport::RemoveSchemeNotification(this);
    FBorderPen->OnChange = nullptr;
    FInnerMargins->OnChange = nullptr;
}

void TNxPanel::SetAdaptiveColors(bool Value) {
    FAdaptiveColors = Value;
    Invalidate();
}

void TNxPanel::SetBackgroundStyle(TNxPanelBackgroundStyle Value) {
    FBackgroundStyle = Value;
    Invalidate();
}

void TNxPanel::SetBorderPen(const TPen* Value) {
    // The pen reports its own change, which repaints.
    FBorderPen->Assign(Value);
}

void TNxPanel::SetColorScheme(NxThemesSupport::TColorScheme Value) {
    FColorScheme = Value;
    Invalidate();
}

void TNxPanel::SetInnerMargins(const NxCollection::TNxMargins* Value) {
    if (!Value) return;
    FInnerMargins->SetRect(Value->GetLeft(), Value->GetTop(), Value->GetRight(), Value->GetBottom());
}

void TNxPanel::SetPanelBorders(TPanelBorders Value) {
    FPanelBorders = Value;
    Invalidate();
}

void TNxPanel::MarginsChanged() {
    Invalidate();
    Realign();
}

TColor TNxPanel::GetFaceColor() const {
    if (FAdaptiveColors) return NxThemesSupport::SchemeColor(NxThemesSupport::seBtnFace, FColorScheme);
    return GetColor();
}

TRect TNxPanel::GetBackgroundRect() const {
    TRect r = GetClientRect();
    if (FBorderPen->GetStyle() != psSolid) return r;
    const int w = FBorderPen->GetWidth();
    if (FPanelBorders.Contains(boLeft)) r.Left += w;
    if (FPanelBorders.Contains(boTop)) r.Top += w;
    if (FPanelBorders.Contains(boRight)) r.Right -= w;
    if (FPanelBorders.Contains(boBottom)) r.Bottom -= w;
    return r;
}

TPanelBorderLine TNxPanel::GetBorderLine(TPanelBorder Side) const {
    const int w = FBorderPen->GetWidth();
    // Odd widths split unevenly: a pen of width 3 gives 1 on the near sides, 2 on the far ones.
    const int a = w / 2;
    const int b = w - w / 2;
    const int cw = GetClientWidth();
    const int ch = GetClientHeight();
    switch (Side) {
    case boLeft:
        return {{a, 0}, {a, ch}};
    case boTop:
        return {{0, a}, {cw, a}};
    case boBottom:
        return {{0, ch - b}, {cw, ch - b}};
    case boRight:
        return {{cw - b, 0}, {cw - b, ch - 1}};
    }
    return {};
}

void TNxPanel::AdjustClientRect(TRect& Rect) {
    TCustomControl::AdjustClientRect(Rect);
    Rect.Left += FInnerMargins->GetLeft();
    Rect.Top += FInnerMargins->GetTop();
    Rect.Right -= FInnerMargins->GetRight();
    Rect.Bottom -= FInnerMargins->GetBottom();
}

bool TNxPanel::CanAutoSize(int& NewWidth, int& NewHeight) {
    TCustomControl::CanAutoSize(NewWidth, NewHeight);
    TCanvas* canvas = GetCanvas();
    canvas->SetFont(GetFont());
    const WideString caption = GetCaption();
    const int textWidth = NxClasses::GetTextWidth(canvas, caption);
    const int textHeight = NxClasses::GetTextHeight(canvas, caption);
    NewWidth = std::max(NewWidth, textWidth + FInnerMargins->GetRight() + FInnerMargins->GetLeft() + 2);
    NewHeight = std::max(NewHeight, textHeight + FInnerMargins->GetTop() + FInnerMargins->GetBottom());
    return true;
}

void TNxPanel::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (FBackgroundStyle == pbTransparent) Params.ExStyle |= WS_EX_TRANSPARENT;
}

void TNxPanel::Paint() {
    TCanvas* canvas = GetCanvas();
    const TRect background = GetBackgroundRect();
    const TColor face = GetFaceColor();
    canvas->SetFont(GetFont());

    switch (FBackgroundStyle) {
    case pbControl:
        if (NxThemesSupport::IsThemed()) {
            NxThemesSupport::ThemeRect(this, canvas, background, u"edit", 1, 0);
            break;
        }
        [[fallthrough]];
    case pbSolid:
        canvas->GetBrush()->SetStyle(bsSolid);
        canvas->GetBrush()->SetColor(face);
        canvas->FillRect(background);
        break;
    case pbHorzGradient:
        NxSharedDraw::DrawHorzGradient(canvas, background, clWindow, face);
        break;
    case pbTransparent:
        NxSharedDraw::DrawTransparent(this, canvas);
        break;
    case pbVertGradient:
        NxSharedDraw::DrawVertGradient(canvas, background, clWindow, face);
        break;
    }

    const WideString caption = GetCaption();
    if (!caption.empty()) {
        canvas->GetBrush()->SetStyle(bsClear);
        NxSharedDraw::DrawText(canvas, background, taCenter, caption, true);
    }

    TPen* pen = canvas->GetPen();
    pen->SetColor(FBorderPen->GetColor());
    pen->SetWidth(FBorderPen->GetWidth());
    pen->SetStyle(FBorderPen->GetStyle());
    for (TPanelBorder side : {boLeft, boTop, boBottom, boRight}) {
        if (!FPanelBorders.Contains(side)) continue;
        const TPanelBorderLine line = GetBorderLine(side);
        canvas->Polyline({line.From, line.To});
    }
}

void TNxPanel::CMTextChanged(TMessage& Message) {
    TCustomControl::CMTextChanged(Message);
    Invalidate();
}

void TNxPanel::WMEraseBkgnd(TMessage& Message) {
    // Paint covers every pixel; erasing first would only flicker.
    Message.Result = FFullRepaint ? 0 : 1;
}

void TNxPanel::WMWindowPosChanged(TMessage& Message) {
    TCustomControl::WMWindowPosChanged(Message);
    // The copied background must follow the move.
    if (FBackgroundStyle == pbTransparent) Invalidate();
}

void TNxPanel::WMThemeChanged(TMessage& Message) {
    TCustomControl::WMThemeChanged(Message);
    Invalidate();
}

} // namespace NxStdCtrls
