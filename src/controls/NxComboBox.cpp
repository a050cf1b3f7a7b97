// The combo box and its drop-down list.
#include "controls/NxComboBox.h"

#include <algorithm>

#include "platform/runtime/SysUtils.h"

namespace NxEdit {

// ---------------------------------------------------------------------------------------------
// TNxPopupList

TNxPopupList::TNxPopupList(TComponent* AOwner) : TNxPopupControl(AOwner) {}

int TNxPopupList::GetItemHeight() const {
    // Measuring only sets the canvas font; the list itself does not change.
    TCanvas* Canvas = const_cast<TNxPopupList*>(this)->GetCanvas();
    Canvas->SetFont(GetFont());
    return Canvas->TextHeight(WideString(u"Wg")) + 3;
}

// The rows the list is sized to show; the window may not have its size yet when an item is
// scrolled into view.
int TNxPopupList::VisibleCount() const {
    return std::clamp(Count(), 1, FDropDownCount);
}

TSize TNxPopupList::GetPopupSize(int EditWidth) const {
    const int Rows = std::clamp(Count(), 1, FDropDownCount);
    // The window's border takes one pixel on every side.
    return {EditWidth, Rows * GetItemHeight() + 2};
}

int TNxPopupList::ItemAtPos(int Y) const {
    if (Y < 0) return -1;
    const int Index = FTopIndex + Y / GetItemHeight();
    return Index < Count() ? Index : -1;
}

TRect TNxPopupList::GetItemRect(int Index) const {
    const int h = GetItemHeight();
    const int Top = (Index - FTopIndex) * h;
    return {0, Top, GetClientWidth(), Top + h};
}

void TNxPopupList::SetItemIndex(int Value) {
    FItemIndex = Value >= 0 && Value < Count() ? Value : -1;
    if (FItemIndex >= 0) {
        if (FItemIndex < FTopIndex) FTopIndex = FItemIndex;
        if (FItemIndex >= FTopIndex + VisibleCount()) FTopIndex = FItemIndex - VisibleCount() + 1;
    }
    Invalidate();
}

bool TNxPopupList::NavigateKey(Word Key, TShiftState) {
    const int Last = Count() - 1;
    if (Last < 0) return false;
    const int Page = VisibleCount();
    int Index = FItemIndex;
    switch (Key) {
    case VK_UP:
        Index = Index < 0 ? 0 : Index - 1;
        break;
    case VK_DOWN:
        Index = Index + 1;
        break;
    case VK_PRIOR:
        Index -= Page;
        break;
    case VK_NEXT:
        Index = Index < 0 ? Page - 1 : Index + Page;
        break;
    default:
        return false;
    }
    SetItemIndex(std::clamp(Index, 0, Last));
    return true;
}

void TNxPopupList::Accept() {
    if (FItemIndex >= 0 && OnPicked) OnPicked(this);
}

void TNxPopupList::Paint() {
    TCanvas* Canvas = GetCanvas();
    Canvas->SetFont(GetFont());
    Canvas->GetBrush()->SetColor(GetColor());
    Canvas->FillRect(GetClientRect());
    const int Last = std::min(Count(), FTopIndex + VisibleCount() + 1);
    for (int i = FTopIndex; i < Last; ++i) {
        const TRect ItemRect = GetItemRect(i);
        const bool Selected = i == FItemIndex;
        Canvas->GetBrush()->SetColor(Selected ? clHighlight : GetColor());
        Canvas->FillRect(ItemRect);
        Canvas->GetFont()->SetColor(Selected ? clHighlightText : GetFont()->GetColor());
        TRect TextRect = ItemRect;
        TextRect.Left += 2;
        Canvas->GetBrush()->SetStyle(bsClear);
        Canvas->DrawText(FItems->Get(i), TextRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
}

void TNxPopupList::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TNxPopupControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    const int Index = ItemAtPos(Y);
    if (Index < 0) return;
    SetItemIndex(Index);
    if (OnPicked) OnPicked(this);
}

void TNxPopupList::MouseMove(TShiftState Shift, int X, int Y) {
    TNxPopupControl::MouseMove(Shift, X, Y);
    const int Index = ItemAtPos(Y);
    if (Index >= 0 && Index != FItemIndex) SetItemIndex(Index);
}

bool TNxPopupList::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    if (TNxPopupControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
    const int MaxTop = std::max(0, Count() - VisibleCount());
    FTopIndex = std::clamp(FTopIndex - WheelDelta / 120 * 3, 0, MaxTop);
    Invalidate();
    return true;
}

// ---------------------------------------------------------------------------------------------
// TNxComboBox

TNxComboBox::TNxComboBox(TComponent* AOwner)
    : TNxPopupEdit(AOwner), FItems(std::make_unique<TStringList>()) {}

TNxComboBox::~TNxComboBox() = default;

void TNxComboBox::SetItems(const TStrings* Value) {
    FItems->Assign(Value);
}

int TNxComboBox::GetItemIndex() const {
    const WideString Text = GetText();
    for (int i = 0; i < FItems->GetCount(); ++i)
        if (SameText(FItems->Get(i), Text)) return i;
    return -1;
}

void TNxComboBox::SetItemIndex(int Value) {
    if (Value < 0 || Value >= FItems->GetCount()) {
        SetText(WideString());
        return;
    }
    SetText(FItems->Get(Value));
    SelectAll();
}

void TNxComboBox::SetStyle(TNxComboBoxStyle Value) {
    FStyle = Value;
}

int TNxComboBox::FindItem(const WideString& Prefix) const {
    const WideString Upper = AnsiUpperCase(Prefix);
    for (int i = 0; i < FItems->GetCount(); ++i)
        if (AnsiUpperCase(FItems->Get(i)).starts_with(Upper)) return i;
    return -1;
}

TNxPopupControl* TNxComboBox::CreatePopupControl() {
    return new TNxPopupList(this);
}

void TNxComboBox::PreparePopup() {
    TNxPopupList* List = GetPopupList();
    List->SetItems(FItems.get());
    List->SetDropDownCount(FDropDownCount);
    List->SetItemIndex(GetItemIndex());
}

void TNxComboBox::PopupPicked() {
    SetItemIndex(GetPopupList()->GetItemIndex());
    SetModified(true);
}

void TNxComboBox::KeyDown(Word& Key, TShiftState Shift) {
    TNxPopupEdit::KeyDown(Key, Shift);
    if (Key == 0 || GetDroppedDown()) return;
    if ((Key == VK_UP || Key == VK_DOWN) && !Shift.Contains(ssAlt) && FItems->GetCount() > 0) {
        const int Index = GetItemIndex();
        const int Next = Key == VK_DOWN ? (Index < 0 ? 0 : Index + 1) : Index - 1;
        Key = 0;
        if (Next >= 0 && Next < FItems->GetCount()) {
            SetItemIndex(Next);
            if (OnSelect) OnSelect(this);
        }
        return;
    }
    // A drop-down list's text changes only by picking an item.
    if (FStyle == cbsDropDownList &&
        (Key == VK_DELETE || (Shift.Contains(ssCtrl) && (Key == 'V' || Key == 'X' || Key == 'Z'))))
        Key = 0;
}

void TNxComboBox::KeyPress(WideChar& Key) {
    TNxPopupEdit::KeyPress(Key);
    if (Key == 0) return;
    if (FStyle == cbsDropDownList) {
        if (Key >= 32) {
            // The next item starting with the key, after the current one, so repeated presses cycle.
            const int Current = GetItemIndex();
            const WideString Upper = AnsiUpperCase(WideString(1, Key));
            const int n = FItems->GetCount();
            for (int step = 1; step <= n; ++step) {
                const int i = (Current + step + n) % n;
                if (AnsiUpperCase(FItems->Get(i)).starts_with(Upper)) {
                    SetItemIndex(i);
                    if (GetDroppedDown()) GetPopupList()->SetItemIndex(i);
                    if (OnSelect) OnSelect(this);
                    break;
                }
            }
        }
        Key = 0;
        return;
    }
    if (!FAutoComplete || Key < 32) return;
    const WideString Typed = GetText().substr(0, size_t(GetSelStart())) + Key;
    const int Index = FindItem(Typed);
    if (Index < 0) return;
    Key = 0;
    SetText(FItems->Get(Index));
    // The completed rest stays selected so the next key replaces it.
    SetSelStart(int(Typed.size()));
    SetSelLength(int(FItems->Get(Index).size() - Typed.size()));
    if (GetDroppedDown()) GetPopupList()->SetItemIndex(Index);
}

} // namespace NxEdit
