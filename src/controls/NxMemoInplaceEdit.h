#pragma once
// The memo cell editor: a button edit whose text area holds several lines.

#include "controls/NxButtonEdit.h"

namespace NxEdit {

// The text lives in a multi-line memo filling the area left of the button; Text, the typed
// accessors and OnChange work on the memo's whole text: the lines joined by line breaks, with
// none after the last, so text read back equals the text written.
class TNxMemoInplaceEdit : public TNxButtonEdit {
public:
    explicit TNxMemoInplaceEdit(TComponent* AOwner);

    TMemo* GetMemo() const { return FMemo; }
    TStrings* GetLines() const { return FMemo->GetLines(); }
    TScrollStyle GetScrollBars() const { return FMemo->GetScrollBars(); }
    void SetScrollBars(TScrollStyle Value) { FMemo->SetScrollBars(Value); }
    bool GetWordWrap() const { return FMemo->GetWordWrap(); }
    void SetWordWrap(bool Value) { FMemo->SetWordWrap(Value); }
    // Enter starts a new line; without it Enter is left to the form (Ctrl+Enter always clicks
    // the button).
    bool GetWantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }

    void BeginEditing() override;

protected:
    WideString GetTextValue() const override;
    void SetTextValue(const WideString& Value) override;
    void WMSetFocus(TMessage& Message) override;
    void WMSize(TMessage& Message) override;

private:
    void PlaceMemo();
    TMemo* FMemo = nullptr; // owned through the component tree
    bool FWantReturns = true;
};

} // namespace NxEdit
