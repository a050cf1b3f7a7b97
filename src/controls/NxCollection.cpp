// Indents and margins of the control set.
#include "controls/NxCollection.h"

namespace NxCollection {

// ---- TNxIndent

void TNxIndent::SetLeft(int Value) {
    FLeft = Value;
    DoChange();
}

void TNxIndent::SetTop(int Value) {
    FTop = Value;
    DoChange();
}

void TNxIndent::Assign(const TPersistent* Source) {
    if (auto* s = dynamic_cast<const TNxIndent*>(Source)) {
        FLeft = s->FLeft;
        FTop = s->FTop;
        DoChange();
        return;
    }
    TPersistent::Assign(Source);
}

void TNxIndent::DoChange() {
    if (OnChange) OnChange(this);
}

// ---- TNxMargins

void TNxMargins::SetBottom(int Value) {
    FBottom = Value;
    DoChange();
}

void TNxMargins::SetRight(int Value) {
    FRight = Value;
    DoChange();
}

void TNxMargins::SetRect(int ALeft, int ATop, int ARight, int ABottom) {
    FLeft = ALeft;
    FTop = ATop;
    FRight = ARight;
    FBottom = ABottom;
    DoChange();
}

TRect TNxMargins::AsRect(int Width, int Height) const {
    return {FLeft, FTop, Width - FRight, Height - FBottom};
}

void TNxMargins::Assign(const TPersistent* Source) {
    if (auto* s = dynamic_cast<const TNxMargins*>(Source)) {
        SetRect(s->FLeft, s->FTop, s->FRight, s->FBottom);
        return;
    }
    TNxIndent::Assign(Source);
}

// ---- TMargins

void TMargins::SetHorizontal(int Value) {
    if (FHorizontal == Value) return;
    FHorizontal = Value;
    if (OnUpdate) OnUpdate(this);
}

void TMargins::SetVertical(int Value) {
    if (FVertical == Value) return;
    FVertical = Value;
    if (OnUpdate) OnUpdate(this);
}

void TMargins::Assign(const TPersistent* Source) {
    if (auto* s = dynamic_cast<const TMargins*>(Source)) {
        SetHorizontal(s->FHorizontal);
        SetVertical(s->FVertical);
        return;
    }
    TPersistent::Assign(Source);
}

} // namespace NxCollection
