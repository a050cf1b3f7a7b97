// The label tied to an associate control.
#include "controls/NxLabel.h"

namespace NxStdCtrls {

TNxLabel::TNxLabel(TComponent* AOwner)
    : TLabel(AOwner), FInnerMargins(std::make_unique<NxCollection::TMargins>()) {
    FInnerMargins->OnUpdate = [this](TObject*) { UpdatePosition(); };
    FInnerMargins->SetHorizontal(0);
    FInnerMargins->SetVertical(2);
}

TNxLabel::~TNxLabel() {
    Unhook();
    FInnerMargins->OnUpdate = nullptr;
}

void TNxLabel::Unhook() {
    if (!FAssociate) return;
    // A dying associate is told of nothing more; its control part is already gone.
    if (!FAssociate->IsDestroying()) FAssociate->WindowProc = std::move(FSavedWindowProc);
    FSavedWindowProc = nullptr;
    RemoveFreeNotification(FAssociate);
    FAssociate = nullptr;
}

void TNxLabel::SetAssociate(TControl* Value) {
    if (Value == FAssociate || Value == this) return;
    Unhook();
    if (!Value) return;
    FAssociate = Value;
    FSavedWindowProc = Value->WindowProc;
    Value->WindowProc = [this](TMessage& Message) {
        if (Message.Msg == WM_MOVE || Message.Msg == WM_SIZE) UpdatePosition();
        if (FSavedWindowProc) FSavedWindowProc(Message);
    };
    FreeNotification(Value);
    UpdatePosition();
}

void TNxLabel::SetInnerHorizontal(bool Value) {
    FInnerHorizontal = Value;
    UpdatePosition();
}

void TNxLabel::SetInnerVertical(bool Value) {
    FInnerVertical = Value;
    UpdatePosition();
}

void TNxLabel::SetHorizontalPosition(THorizontalPosition Value) {
    FHorizontalPosition = Value;
    UpdatePosition();
}

void TNxLabel::SetVerticalPosition(TVerticalPosition Value) {
    FVerticalPosition = Value;
    UpdatePosition();
}

void TNxLabel::SetInnerMargins(const NxCollection::TMargins* Value) {
    if (!Value) return;
    if (Value->GetHorizontal() != FInnerMargins->GetHorizontal() ||
        Value->GetVertical() != FInnerMargins->GetVertical()) {
        FInnerMargins->SetHorizontal(Value->GetHorizontal());
        FInnerMargins->SetVertical(Value->GetVertical());
    }
    UpdatePosition();
}

TPoint TNxLabel::GetAssociatedPosition() const {
    if (!FAssociate) return {GetLeft(), GetTop()};
    const TRect a = FAssociate->GetBoundsRect();
    const int aWidth = a.Width(), aHeight = a.Height();
    const int h = FInnerMargins->GetHorizontal();
    const int v = FInnerMargins->GetVertical();
    int x = 0, y = 0;
    switch (FHorizontalPosition) {
    case hpLeft:
        x = FInnerHorizontal ? a.Left + h : a.Left - GetWidth() - h;
        break;
    case hpCenter:
        x = a.Left + aWidth / 2 - GetWidth() / 2 + h;
        break;
    case hpRight:
        x = FInnerHorizontal ? a.Left + aWidth - GetWidth() - h : a.Left + aWidth + h;
        break;
    }
    switch (FVerticalPosition) {
    case vpTop:
        y = FInnerVertical ? a.Top + v : a.Top - GetHeight() - v;
        break;
    case vpMiddle:
        y = a.Top + aHeight / 2 - GetHeight() / 2 + v;
        break;
    // Inside the bottom edge the margin is added, not subtracted: the label ends V below it.
    case vpBottom:
        y = FInnerVertical ? a.Top + aHeight - GetHeight() + v : a.Top + aHeight + v;
        break;
    }
    return {x, y};
}

void TNxLabel::UpdatePosition() {
    if (!FAssociate) return;
    const TPoint p = GetAssociatedPosition();
    SetBounds(p.X, p.Y, GetWidth(), GetHeight());
}

void TNxLabel::Assign(const TPersistent* Source) {
    if (auto* s = dynamic_cast<const TNxLabel*>(Source)) {
        SetAssociate(s->FAssociate);
        FHorizontalPosition = s->FHorizontalPosition;
        FVerticalPosition = s->FVerticalPosition;
        FInnerHorizontal = s->FInnerHorizontal;
        FInnerVertical = s->FInnerVertical;
        SetInnerMargins(s->FInnerMargins.get());
    }
    TLabel::Assign(Source);
}

void TNxLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TLabel::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FAssociate) SetAssociate(nullptr);
}

void TNxLabel::CMTextChanged(TMessage& Message) {
    TLabel::CMTextChanged(Message);
    UpdatePosition();
}

} // namespace NxStdCtrls
