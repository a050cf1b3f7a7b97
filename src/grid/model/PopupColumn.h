#pragma once
// Text column kinds whose editor drops something down: a plain popup, a list of strings, a
// combo box, an item index, and a date with its calendar.

#include <memory>

#include "controls/NxComboBox.h"
#include "drawing/NxClasses.h"
#include "grid/model/TextColumn.h"
#include "platform/runtime/List.h"
#include "platform/runtime/StringList.h"

// A text column whose editor drops a window; its close-up and select are passed on here.
class TNxPopupColumn : public TNxTextColumn {
public:
    explicit TNxPopupColumn(TObject* AOwner = nullptr);

    // The editor calls these when its drop-down closes, resp. a value is picked.
    virtual void DoCloseUp();
    virtual void DoSelect();
    TNotifyEvent OnCloseUp;
    TNotifyEvent OnSelect;
};

// A popup column offering the strings of Items, optionally with images.
class TNxStringsColumn : public TNxPopupColumn {
public:
    explicit TNxStringsColumn(TObject* AOwner = nullptr);
    ~TNxStringsColumn() override;

    void Assign(const TPersistent* Source) override;

    bool GetAutoDropDown() const { return FAutoDropDown; }
    void SetAutoDropDown(bool Value) { FAutoDropDown = Value; }
    TDisplayMode GetDisplayMode() const { return FDisplayMode; }
    void SetDisplayMode(TDisplayMode Value);
    int GetDropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value) { FDropDownCount = Value; }
    // A list of TBitmap* the program keeps; the column does not own it.
    TList* GetImages() const { return FImages; }
    void SetImages(TList* Value);
    // Owned; setting copies the strings.
    TStringList* GetItems() const { return FItems.get(); }
    void SetItems(const TStrings* Value);
    int GetListWidth() const { return FListWidth; }
    void SetListWidth(int Value) { FListWidth = Value; }

private:
    bool FAutoDropDown = false;
    TDisplayMode FDisplayMode = dmTextOnly;
    int FDropDownCount = 8;
    TList* FImages = nullptr;
    std::unique_ptr<TStringList> FItems;
    int FListWidth = 0;
};

// How the combo box ties its text to Items; the default is the only mode the grid uses.
enum class TNxComboDataMode { dmDefault };

// A strings column edited by a combo box. As a drop-down list it only takes what Items offer.
class TNxComboBoxColumn : public TNxStringsColumn {
public:
    explicit TNxComboBoxColumn(TObject* AOwner = nullptr);
    // A TNxComboBox; BeginEditing hands it Items, Style, DropDownCount and AutoComplete.
    std::unique_ptr<TObject> CreateCellEditor() override;
    void BeginEditing() override;

    void Assign(const TPersistent* Source) override;
    // As for text; with cbsDropDownList only a key some item starts with (ignoring case), unless
    // AutoDropDown opens the list anyway.
    bool IsKeyValid(WideChar Key) override;

    bool GetAutoComplete() const { return FAutoComplete; }
    void SetAutoComplete(bool Value) { FAutoComplete = Value; }
    TNxComboDataMode GetDataMode() const { return FDataMode; }
    void SetDataMode(TNxComboDataMode Value) { FDataMode = Value; }
    TNxComboBoxStyle GetStyle() const { return FStyle; }
    void SetStyle(TNxComboBoxStyle Value) { FStyle = Value; }

private:
    bool FAutoComplete = false;
    TNxComboDataMode FDataMode = TNxComboDataMode::dmDefault;
    TNxComboBoxStyle FStyle = cbsDropDown;
};

// Integer cells holding an index into Items; the item is what is shown.
class TNxListColumn : public TNxStringsColumn {
public:
    explicit TNxListColumn(TObject* AOwner = nullptr);
    // A drop-down list TNxComboBox. The cell holds an index: BeginEditing hands the editor the
    // items, UpdateEdit (after the grid filled in the cell's index) shows the item of that
    // index, ApplyEditing turns the chosen item back into its index.
    std::unique_ptr<TObject> CreateCellEditor() override;
    void BeginEditing() override;
    void UpdateEdit() override;
    void ApplyEditing(WideString& Value) override;

    void Assign(const TPersistent* Source) override;
    // TextBefore + the item + TextAfter; empty for an index outside Items.
    WideString GetDrawText(const TCellInfo& CellInfo) override;

    bool GetSorted() const { return FSorted; }
    // Keeps Items sorted while set.
    void SetSorted(bool Value);

private:
    bool FSorted = false;
};

// Date cells, edited with a drop-down month calendar.
class TNxDateColumn : public TNxPopupColumn {
public:
    // DefaultValue becomes today's date as text.
    explicit TNxDateColumn(TObject* AOwner = nullptr);
    // A TNxDatePicker with the column's StartDay, captions and None button.
    std::unique_ptr<TObject> CreateCellEditor() override;
    void BeginEditing() override;

    void Assign(const TPersistent* Source) override;
    // EmptyCaption for 0 when HideWhenEmpty; otherwise TextBefore + the date (by FormatMask, or
    // date and time as the platform writes them) + TextAfter, with DateSeparator between the
    // parts of the date.
    WideString GetDrawText(const TCellInfo& CellInfo) override;

    WideChar GetDateSeparator() const { return FDateSeparator; }
    void SetDateSeparator(WideChar Value);
    WideString GetEmptyCaption() const { return FEmptyCaption; }
    void SetEmptyCaption(const WideString& Value);
    WideString GetFormatMask() const { return FFormatMask; }
    void SetFormatMask(const WideString& Value);
    bool GetHideWhenEmpty() const { return FHideWhenEmpty; }
    void SetHideWhenEmpty(bool Value);
    WideString GetNoneCaption() const { return FNoneCaption; }
    void SetNoneCaption(const WideString& Value) { FNoneCaption = Value; }
    bool GetShowNoneButton() const { return FShowNoneButton; }
    void SetShowNoneButton(bool Value) { FShowNoneButton = Value; }
    NxClasses::TStartDayOfWeek GetStartDay() const { return FStartDay; }
    void SetStartDay(NxClasses::TStartDayOfWeek Value) { FStartDay = Value; }
    WideString GetTodayCaption() const { return FTodayCaption; }
    void SetTodayCaption(const WideString& Value) { FTodayCaption = Value; }

private:
    WideChar FDateSeparator = u'/';
    WideString FEmptyCaption;
    WideString FFormatMask;
    bool FHideWhenEmpty = false;
    WideString FNoneCaption = u"None";
    bool FShowNoneButton = true;
    NxClasses::TStartDayOfWeek FStartDay = NxClasses::dwSunday;
    WideString FTodayCaption = u"Today";
};
