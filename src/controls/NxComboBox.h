#pragma once
// The combo box: an edit whose button drops the list of its Items.

#include <memory>

#include "controls/NxButtonEdit.h"
#include "platform/runtime/StringList.h"

// cbsDropDown: any text; cbsDropDownList: only the text of an item.
enum TNxComboBoxStyle { cbsDropDown, cbsDropDownList };

namespace NxEdit {

// The dropped list: one row per item, the highlighted one in the selection colors.
class TNxPopupList : public TNxPopupControl {
public:
    explicit TNxPopupList(TComponent* AOwner);

    // Not owned: the combo box's Items.
    void SetItems(const TStrings* Value) { FItems = Value; }
    int GetItemIndex() const { return FItemIndex; }
    // Highlights an item (-1: none) and scrolls it into view.
    void SetItemIndex(int Value);
    int GetTopIndex() const { return FTopIndex; }
    int GetDropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value) { FDropDownCount = Value < 1 ? 1 : Value; }
    int GetItemHeight() const;
    // The row at a client point, or -1 below the last item.
    int ItemAtPos(int Y) const;
    // The item's rectangle in client coordinates (outside the client when scrolled away).
    TRect GetItemRect(int Index) const;

    TSize GetPopupSize(int EditWidth) const override;
    bool NavigateKey(Word Key, TShiftState Shift) override;
    void Accept() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;

private:
    int VisibleCount() const;
    int Count() const { return FItems ? FItems->GetCount() : 0; }
    const TStrings* FItems = nullptr;
    int FItemIndex = -1;
    int FTopIndex = 0;
    int FDropDownCount = 8;
};

class TNxComboBox : public TNxPopupEdit {
public:
    explicit TNxComboBox(TComponent* AOwner);
    ~TNxComboBox() override;

    TStringList* GetItems() const { return FItems.get(); }
    // Copies the strings.
    void SetItems(const TStrings* Value);
    // The item whose text equals Text (ignoring case), or -1. Writing shows the item's text.
    int GetItemIndex() const;
    void SetItemIndex(int Value);
    TNxComboBoxStyle GetStyle() const { return FStyle; }
    // A drop-down list takes no typed text of its own; keys pick items.
    void SetStyle(TNxComboBoxStyle Value);
    int GetDropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value) { FDropDownCount = Value; }
    // Typing completes the text with the first item that starts with it.
    bool GetAutoComplete() const { return FAutoComplete; }
    void SetAutoComplete(bool Value) { FAutoComplete = Value; }
    TNxPopupList* GetPopupList() { return static_cast<TNxPopupList*>(GetPopup()); }

    // Index of the first item starting with Prefix (ignoring case), or -1.
    int FindItem(const WideString& Prefix) const;

protected:
    TNxPopupControl* CreatePopupControl() override;
    void PreparePopup() override;
    void PopupPicked() override;
    // Closed, Up and Down pick the previous or next item.
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(WideChar& Key) override;

private:
    std::unique_ptr<TStringList> FItems;
    TNxComboBoxStyle FStyle = cbsDropDown;
    int FDropDownCount = 8;
    bool FAutoComplete = false;
};

} // namespace NxEdit
