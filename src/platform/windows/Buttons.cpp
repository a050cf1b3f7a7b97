// TSpeedButton.
#include "platform/windows/Buttons.h"

#include "platform/graphics/Bitmap.h"

TSpeedButton::TSpeedButton(TComponent* AOwner)
    : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
    FControlStyle = {csCaptureMouse, csDoubleClicks, csReplicatable};
    FWidth = 23;
    FHeight = 22;
    FParentFont = true;
    FColor = clBtnFace;
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetFlat(bool Value) {
    if (FFlat == Value) return;
    FFlat = Value;
    Invalidate();
}

void TSpeedButton::SetGlyph(const TBitmap* Value) {
    FGlyph->Assign(Value);
    Invalidate();
}

void TSpeedButton::SetDown(bool Value) {
    if (FGroupIndex == 0) Value = false;
    if (FDown == Value) return;
    if (FDown && !Value && !FAllowAllUp) return;
    FDown = Value;
    FState = Value ? bsExclusive : bsUp;
    if (Value) UpdateExclusive();
    Invalidate();
}

void TSpeedButton::UpdateExclusive() {
    if (FGroupIndex == 0 || !FParent) return;
    for (int i = 0; i < FParent->GetControlCount(); ++i) {
        auto* b = dynamic_cast<TSpeedButton*>(FParent->GetControl(i));
        if (b && b != this && b->FGroupIndex == FGroupIndex && b->FDown) {
            b->FDown = false;
            b->FState = bsUp;
            b->Invalidate();
        }
    }
}

void TSpeedButton::SetLayout(TButtonLayout Value) {
    FLayout = Value;
    Invalidate();
}

void TSpeedButton::SetMargin(int Value) {
    FMargin = Value;
    Invalidate();
}

void TSpeedButton::SetSpacing(int Value) {
    FSpacing = Value;
    Invalidate();
}

void TSpeedButton::Click() {
    TGraphicControl::Click();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !IsEnabledInTree()) return;
    if (!FDown) {
        FState = bsDown;
        Invalidate();
    }
    FDragging = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FDragging) return;
    TSpeedButtonState s = FDown ? bsExclusive : bsUp;
    if (PtInRect(GetClientRect(), {X, Y})) s = bsDown;
    if (s != FState) {
        FState = s;
        Invalidate();
    }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FDragging || Button != mbLeft) return;
    FDragging = false;
    bool inside = PtInRect(GetClientRect(), {X, Y});
    if (FGroupIndex == 0) {
        FState = bsUp;
        FMouseInControl = inside;
    } else if (inside) {
        SetDown(!FDown);
    } else {
        FState = FDown ? bsExclusive : bsUp;
    }
    Invalidate();
    if (inside) Click();
}

void TSpeedButton::CMMouseEnter(TMessage& Message) {
    TGraphicControl::CMMouseEnter(Message);
    if (FFlat && IsEnabledInTree()) Invalidate();
}

void TSpeedButton::CMMouseLeave(TMessage& Message) {
    TGraphicControl::CMMouseLeave(Message);
    if (FFlat && IsEnabledInTree()) Invalidate();
}

void TSpeedButton::CMEnabledChanged(TMessage& Message) {
    FState = IsEnabledInTree() ? (FDown ? bsExclusive : bsUp) : bsDisabled;
    TGraphicControl::CMEnabledChanged(Message);
}

void TSpeedButton::CMTextChanged(TMessage&) {
    Invalidate();
}

void TSpeedButton::Paint() {
    TCanvas* c = GetCanvas();
    TRect r = GetClientRect();
    bool enabled = IsEnabledInTree();
    bool pressed = FState == bsDown || FState == bsExclusive || FDown;
    auto edge = [&](TRect& fr, TColor tl, TColor br) {
        c->GetPen()->SetWidth(1);
        c->GetPen()->SetColor(tl);
        c->MoveTo(fr.Left, fr.Bottom - 1);
        c->LineTo(fr.Left, fr.Top);
        c->LineTo(fr.Right - 1, fr.Top);
        c->GetPen()->SetColor(br);
        c->LineTo(fr.Right - 1, fr.Bottom - 1);
        c->LineTo(fr.Left - 1, fr.Bottom - 1);
        InflateRect(fr, -1, -1);
    };
    if (!FFlat) {
        c->GetBrush()->SetColor(clBtnFace);
        c->GetBrush()->SetStyle(bsSolid);
        c->FillRect(r);
        TRect fr = r;
        if (pressed) {
            edge(fr, cl3DDkShadow, clBtnHighlight);
            edge(fr, clBtnShadow, cl3DLight);
        } else {
            edge(fr, clBtnHighlight, cl3DDkShadow);
            edge(fr, cl3DLight, clBtnShadow);
        }
    } else if (pressed || (FMouseInControl && enabled)) {
        // A flat button shows a thin edge only when hot or down; otherwise the parent shows through.
        TRect fr = r;
        if (pressed)
            edge(fr, clBtnShadow, clBtnHighlight);
        else
            edge(fr, clBtnHighlight, clBtnShadow);
    }
    int offset = pressed ? 1 : 0;
    WideString caption = GetText();
    int gw = FGlyph->GetEmpty() ? 0 : FGlyph->GetWidth();
    int gh = FGlyph->GetEmpty() ? 0 : FGlyph->GetHeight();
    c->SetFont(*FFont);
    TSize ts = caption.empty() ? TSize{} : c->TextExtent(caption);
    int spacing = (gw > 0 && !caption.empty()) ? FSpacing : 0;
    int gx, gy, tx, ty;
    bool horizontal = FLayout == blGlyphLeft || FLayout == blGlyphRight;
    if (horizontal) {
        int total = gw + spacing + ts.cx;
        int start = FMargin >= 0 ? FMargin : (r.Width() - total) / 2;
        gy = (r.Height() - gh) / 2;
        ty = (r.Height() - ts.cy) / 2;
        if (FLayout == blGlyphLeft) {
            gx = start;
            tx = start + gw + spacing;
        } else {
            tx = start;
            gx = start + ts.cx + spacing;
        }
    } else {
        int total = gh + spacing + ts.cy;
        int start = FMargin >= 0 ? FMargin : (r.Height() - total) / 2;
        gx = (r.Width() - gw) / 2;
        tx = (r.Width() - ts.cx) / 2;
        if (FLayout == blGlyphTop) {
            gy = start;
            ty = start + gh + spacing;
        } else {
            ty = start;
            gy = start + ts.cy + spacing;
        }
    }
    if (gw > 0) {
        TBitmap glyph;
        glyph.Assign(*FGlyph);
        glyph.SetTransparent(true);
        glyph.SetTransparentMode(tmAuto);
        c->Draw(gx + offset, gy + offset, glyph);
    }
    if (!caption.empty()) {
        c->GetBrush()->SetStyle(bsClear);
        TRect tr{tx + offset, ty + offset, tx + offset + ts.cx, ty + offset + ts.cy};
        if (!enabled) {
            c->GetFont()->SetColor(clBtnHighlight);
            TRect hr = tr;
            OffsetRect(hr, 1, 1);
            c->DrawText(caption, hr, DT_SINGLELINE);
            c->GetFont()->SetColor(clBtnShadow);
        }
        c->DrawText(caption, tr, DT_SINGLELINE);
    }
}
