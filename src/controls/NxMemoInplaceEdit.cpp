// The memo cell editor.
#include "controls/NxMemoInplaceEdit.h"

namespace NxEdit {

TNxMemoInplaceEdit::TNxMemoInplaceEdit(TComponent* AOwner) : TNxButtonEdit(AOwner) {
    // A single-line height would cut the lines off.
    SetAutoSize(false);
    FMemo = new TMemo(this);
    FMemo->SetParent(this);
    FMemo->SetBorderStyle(bsNone);
    FMemo->SetTabStop(false);
    FMemo->OnChange = [this](TObject*) { Change(); };
    // The keys land in the lines, but whoever listens to this edit (the grid closing or
    // applying its editor on Tab, Enter and Esc) must hear them as this edit's own.
    FMemo->OnKeyDown = [this](TObject*, Word& Key, TShiftState Shift) {
        KeyDown(Key, Shift); // Ctrl+Enter clicks the button there
        if (Key == VK_RETURN && (Shift.Contains(ssCtrl) || !FWantReturns)) Key = 0;
    };
    FMemo->OnKeyPress = [this](TObject*, WideChar& Key) { KeyPress(Key); };
    FMemo->OnKeyUp = [this](TObject*, Word& Key, TShiftState Shift) { KeyUp(Key, Shift); };
    PlaceMemo();
}

void TNxMemoInplaceEdit::BeginEditing() {
    // The single-line box under the lines holds no text: its caret placement does not apply.
    if (FMemo->CanFocus()) FMemo->SetFocus();
}

WideString TNxMemoInplaceEdit::GetTextValue() const {
    if (!FMemo) return TNxButtonEdit::GetTextValue();
    // The lines end in a break each; a cell would otherwise grow a new one with every edit.
    WideString Text = FMemo->GetText();
    const WideString Break = FMemo->GetLines()->GetLineBreak();
    if (Text.size() >= Break.size() && Text.compare(Text.size() - Break.size(), Break.size(), Break) == 0)
        Text.resize(Text.size() - Break.size());
    return Text;
}

void TNxMemoInplaceEdit::SetTextValue(const WideString& Value) {
    if (!FMemo) return TNxButtonEdit::SetTextValue(Value);
    FMemo->SetText(Value);
}

void TNxMemoInplaceEdit::WMSetFocus(TMessage& Message) {
    TNxButtonEdit::WMSetFocus(Message);
    // Typing goes to the lines, not to the single-line box under them.
    if (FMemo->CanFocus()) FMemo->SetFocus();
}

void TNxMemoInplaceEdit::WMSize(TMessage& Message) {
    TNxButtonEdit::WMSize(Message);
    PlaceMemo();
}

void TNxMemoInplaceEdit::PlaceMemo() {
    if (!FMemo) return;
    const TRect Client = GetClientRect();
    const int Right = GetShowButton() ? GetButtonRect().Left : Client.Right;
    FMemo->SetBounds(Client.Left, Client.Top, Right - Client.Left, Client.Height());
}

} // namespace NxEdit
