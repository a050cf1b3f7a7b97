#include "drawing/NxStdCtrls.h"

#include <algorithm>

#include "drawing/NxClasses.h"
#include "drawing/Providers.h"
#include "drawing/SharedCommon.h"
#include "drawing/SharedDraw.h"
#include "platform/runtime/List.h"
#include "platform/runtime/RtlConsts.h"

namespace NxStdCtrls {

// ---- TNxPalleteButton, TNxTabButtons

void TNxPalleteButton::SetImageIndex(int Value) {
    FImageIndex = Value;
    if (FOwner) FOwner->Changed();
}

void TNxPalleteButton::SetEnabled(bool Value) {
    FEnabled = Value;
    if (FOwner) FOwner->Changed();
}

void TNxTabButtons::SetCaption(const WideString& Value) {
    FCaption = Value;
    Changed();
}

TNxPalleteButton* TNxTabButtons::GetItem(int Index) const {
    if (Index < 0 || Index >= GetCount()) TList::Error(SListIndexError, Index);
    return FButtons[static_cast<size_t>(Index)].get();
}

TNxPalleteButton* TNxTabButtons::Add(int ImageIndex, const WideString& Hint) {
    FButtons.push_back(std::make_unique<TNxPalleteButton>(this));
    TNxPalleteButton* b = FButtons.back().get();
    b->SetHint(Hint);
    b->SetImageIndex(ImageIndex);
    return b;
}

void TNxTabButtons::Delete(int Index) {
    GetItem(Index);
    FButtons.erase(FButtons.begin() + Index);
    Changed();
}

void TNxTabButtons::Clear() {
    FButtons.clear();
    Changed();
}

// ---- TNxTabControl

TNxTabControl::TNxTabControl(TComponent* AOwner)
    : TCustomControl(AOwner), FButtonHint(std::make_unique<TNxButtonHint>(nullptr)) {
    SetBounds(GetLeft(), GetTop(), 200, 60);
    SetColor(NxThemesSupport::SchemeColor(NxThemesSupport::seBtnFace));
}

TNxTabControl::~TNxTabControl() = default;

TNxTabButtons* TNxTabControl::GetTab(int Index) const {
    if (Index < 0 || Index >= GetTabCount()) TList::Error(SListIndexError, Index);
    return FTabs[static_cast<size_t>(Index)].get();
}

TNxTabButtons* TNxTabControl::AddTab(const WideString& Caption) {
    FTabs.push_back(std::make_unique<TNxTabButtons>([this] { Invalidate(); }, Caption));
    if (FActiveIndex < 0) FActiveIndex = 0;
    Invalidate();
    return FTabs.back().get();
}

void TNxTabControl::DeleteTab(int Index) {
    GetTab(Index);
    FTabs.erase(FTabs.begin() + Index);
    if (FActiveIndex >= GetTabCount()) FActiveIndex = GetTabCount() - 1;
    FHoverButton = FDownButton = -1;
    Invalidate();
}

void TNxTabControl::SetActiveIndex(int Value) {
    const int clamped = GetTabCount() == 0 ? -1 : std::clamp(Value, 0, GetTabCount() - 1);
    if (clamped == FActiveIndex) return;
    FActiveIndex = clamped;
    FHoverButton = FDownButton = -1;
    Invalidate();
    DoChange();
}

void TNxTabControl::SetBackgroundStyle(TTabsBackgroundStyle Value) {
    FBackgroundStyle = Value;
    Invalidate();
}

void TNxTabControl::SetButtonHeight(int Value) {
    FButtonHeight = Value;
    Invalidate();
}

void TNxTabControl::SetButtonWidth(int Value) {
    FButtonWidth = Value;
    Invalidate();
}

void TNxTabControl::SetImages(const std::vector<TBitmap*>* Value) {
    FImages = Value;
    Invalidate();
}

void TNxTabControl::SetLeftIndent(int Value) {
    FLeftIndent = Value;
    Invalidate();
}

void TNxTabControl::SetMargin(int Value) {
    FMargin = Value;
    Invalidate();
}

void TNxTabControl::SetTabHeight(int Value) {
    FTabHeight = Value;
    Invalidate();
}

void TNxTabControl::SetTopIndent(int Value) {
    FTopIndent = Value;
    Invalidate();
}

TRect TNxTabControl::GetTabRect(int Index) {
    GetTab(Index);
    TCanvas* canvas = GetCanvas();
    canvas->GetFont()->Assign(GetFont());
    int x = FLeftIndent;
    for (int i = 0;; ++i) {
        const int w = NxClasses::GetTextWidth(canvas, FTabs[static_cast<size_t>(i)]->GetCaption()) + 16;
        if (i == Index) return {x, FTopIndent, x + w, FTopIndent + FTabHeight};
        x += w;
    }
}

TRect TNxTabControl::GetButtonRect(int Index) const {
    const int top = FTopIndent + FTabHeight + FMargin;
    const int left = FLeftIndent + FMargin + Index * (FButtonWidth + FMargin);
    return {left, top, left + FButtonWidth, top + FButtonHeight};
}

int TNxTabControl::GetTabAtPos(const TPoint& P) {
    for (int i = 0; i < GetTabCount(); ++i)
        if (PtInRect(GetTabRect(i), P)) return i;
    return -1;
}

int TNxTabControl::GetButtonAtPos(const TPoint& P) const {
    if (FActiveIndex < 0) return -1;
    const TNxTabButtons* tab = GetTab(FActiveIndex);
    for (int i = 0; i < tab->GetCount(); ++i)
        if (PtInRect(GetButtonRect(i), P)) return i;
    return -1;
}

void TNxTabControl::Paint() {
    using namespace NxSharedDraw;
    using NxThemesSupport::SchemeColor;
    TCanvas* canvas = GetCanvas();
    const TRect client = GetClientRect();
    const TColor face = GetColor();
    if (FBackgroundStyle == tbsVertGradient) {
        DrawVertGradient(canvas, client, clWindow, face);
    } else {
        canvas->GetBrush()->SetStyle(bsSolid);
        canvas->GetBrush()->SetColor(face);
        canvas->FillRect(client);
    }
    canvas->GetFont()->Assign(GetFont());
    const TColor border = SchemeColor(NxThemesSupport::seBorder);
    for (int i = 0; i < GetTabCount(); ++i) {
        TRect r = GetTabRect(i);
        const bool active = i == FActiveIndex;
        if (!active) r.Top += 2;
        canvas->GetBrush()->SetStyle(bsSolid);
        canvas->GetBrush()->SetColor(active ? clWindow : BlendColor(face, clWindow, 0.5));
        canvas->FillRect(r);
        canvas->GetBrush()->SetColor(border);
        canvas->FrameRect(r);
        canvas->GetFont()->SetColor(GetEnabled() ? clWindowText : clGrayText);
        DrawText(canvas, r, taCenter, FTabs[static_cast<size_t>(i)]->GetCaption());
    }
    if (FActiveIndex < 0) return;
    const TNxTabButtons* tab = GetTab(FActiveIndex);
    for (int i = 0; i < tab->GetCount(); ++i) {
        const TNxPalleteButton* b = tab->GetItem(i);
        const TRect r = GetButtonRect(i);
        if (b->GetEnabled() && (i == FHoverButton || i == FDownButton)) {
            const bool down = i == FDownButton && i == FHoverButton;
            DrawVertGradient(canvas, r,
                             NxSharedDraw::GetColor(down ? ceToolBtnDFromColor : ceToolBtnHFromColor),
                             NxSharedDraw::GetColor(down ? ceToolBtnDToColor : ceToolBtnHToColor));
            canvas->GetBrush()->SetStyle(bsSolid);
            canvas->GetBrush()->SetColor(SchemeColor(NxThemesSupport::seMenuSelectionBorder));
            canvas->FrameRect(r);
        }
        if (!FImages || b->GetImageIndex() < 0 || b->GetImageIndex() >= static_cast<int>(FImages->size()))
            continue;
        TBitmap* image = (*FImages)[static_cast<size_t>(b->GetImageIndex())];
        if (!image || image->GetEmpty()) continue;
        const TPoint p = NxSharedCommon::TCalcProvider::PosInRect(image->GetWidth(), image->GetHeight(), 0, r,
                                                                  taCenter, taVerticalCenter);
        if (b->GetEnabled())
            ApplyBitmap(canvas, p.X, p.Y, image);
        else
            NxSharedCommon::TDrawProvider::GrayscaleBitmap(canvas, p.X, p.Y, image, face);
    }
}

void TNxTabControl::SetHoverButton(int Index) {
    if (Index == FHoverButton) return;
    FHoverButton = Index;
    Invalidate();
    const TNxPalleteButton* b =
        Index >= 0 && FActiveIndex >= 0 ? GetTab(FActiveIndex)->GetItem(Index) : nullptr;
    if (!b || b->GetHint().empty()) {
        NxClasses::DeactivateHint(FButtonHint.get());
        return;
    }
    const TRect br = GetButtonRect(Index);
    TRect need = NxClasses::CalcHintRect(FButtonHint.get(), 300, b->GetHint());
    const TPoint at = ClientToScreen(Point(br.Left, br.Bottom + 2));
    OffsetRect(need, at.X - need.Left, at.Y - need.Top);
    NxClasses::ActivateHint(FButtonHint.get(), need, b->GetHint());
}

void TNxTabControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    const int tab = GetTabAtPos(Point(X, Y));
    if (tab >= 0) {
        SetActiveIndex(tab);
        return;
    }
    const int button = GetButtonAtPos(Point(X, Y));
    if (button >= 0 && GetTab(FActiveIndex)->GetItem(button)->GetEnabled()) {
        FDownButton = button;
        Invalidate();
    }
}

void TNxTabControl::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    SetHoverButton(GetButtonAtPos(Point(X, Y)));
}

void TNxTabControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || FDownButton < 0) return;
    const int down = FDownButton;
    FDownButton = -1;
    Invalidate();
    if (GetButtonAtPos(Point(X, Y)) == down && FActiveIndex >= 0)
        DoButtonClick(GetTab(FActiveIndex)->GetItem(down));
}

void TNxTabControl::CMMouseLeave(TMessage& Message) {
    TCustomControl::CMMouseLeave(Message);
    SetHoverButton(-1);
}

void TNxTabControl::DoButtonClick(TNxPalleteButton* Button) {
    if (OnButtonClick) OnButtonClick(this, Button);
}

void TNxTabControl::DoChange() {
    if (OnChange) OnChange(this);
}

} // namespace NxStdCtrls
