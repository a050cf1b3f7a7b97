#pragma once
// The date picker: a date edit whose button drops a month calendar with Today and None.

#include <functional>

#include "controls/NxButtonEdit.h"
#include "drawing/NxClasses.h"

namespace NxEdit {

// A month as a grid of days: a title with the month and year between previous and next arrows,
// a row of day names, then six weeks starting on StartDay.
class TNxMonthCalendar : public TCustomControl {
public:
    explicit TNxMonthCalendar(TComponent* AOwner);

    int GetDay() const { return FDay; }
    int GetMonth() const { return FMonth; }
    int GetYear() const { return FYear; }
    // Shows the month of Value and selects its day.
    TDateTime GetSelectedDate() const;
    void SetSelectedDate(TDateTime Value);
    NxClasses::TStartDayOfWeek GetStartDay() const { return FStartDay; }
    void SetStartDay(NxClasses::TStartDayOfWeek Value);
    // Moves the selection by whole days or months (the day is kept within the month).
    void MoveDays(int Days);
    void MoveMonths(int Months);

    // ---- geometry, client coordinates
    int GetRowHeight() const;
    int GetCellWidth() const { return GetClientWidth() / 7; }
    TRect GetPrevRect() const;
    TRect GetNextRect() const;
    // Cell 0..41 of the six weeks.
    TRect GetCellRect(int Cell) const;
    // The date shown in a cell (days of the months around included).
    TDateTime GetCellDate(int Cell) const;
    // The cell at a point, or -1 outside the weeks.
    int CellAtPos(int X, int Y) const;
    // The height that shows the title, the names and six weeks.
    int GetNeededHeight() const { return 8 * GetRowHeight(); }

    // Raised when a day is clicked (after it is selected).
    TNotifyEvent OnDayClick;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    // The column of the first day of the shown month.
    int FirstColumn() const;
    int FDay = 1, FMonth = 1, FYear = 2000;
    NxClasses::TStartDayOfWeek FStartDay = NxClasses::dwSunday;
};

// The drop-down: the calendar above a row with the Today and None buttons.
class TNxDatePopup : public TNxPopupControl {
public:
    explicit TNxDatePopup(TComponent* AOwner);
    TNxMonthCalendar* GetCalendar() const { return FCalendar; }
    void SetCaptions(const WideString& Today, const WideString& None, bool ShowNone);
    TRect GetTodayRect() const;
    TRect GetNoneRect() const; // empty without the None button
    // Set when the None button was pressed: the picked value is no date.
    bool GetPickedNone() const { return FPickedNone; }

    TSize GetPopupSize(int EditWidth) const override;
    // Left and Right move a day, Up and Down a week, PageUp and PageDown a month.
    bool NavigateKey(Word Key, TShiftState Shift) override;
    void Accept() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WMSize(TMessage& Message) override;

private:
    int FooterHeight() const { return FCalendar->GetRowHeight() + 6; }
    TNxMonthCalendar* FCalendar; // owned through the component tree
    WideString FTodayCaption = u"Today";
    WideString FNoneCaption = u"None";
    bool FShowNone = true;
    bool FPickedNone = false;
};

class TNxDatePicker : public TNxPopupEdit {
public:
    explicit TNxDatePicker(TComponent* AOwner);

    // The date of the text; 0 when the text is empty or no date.
    TDateTime GetDate() const;
    // Shows the date as the platform writes short dates; 0 empties the box.
    void SetDate(TDateTime Value);
    NxClasses::TStartDayOfWeek GetStartDay() const { return FStartDay; }
    void SetStartDay(NxClasses::TStartDayOfWeek Value) { FStartDay = Value; }
    WideString GetTodayCaption() const { return FTodayCaption; }
    void SetTodayCaption(const WideString& Value) { FTodayCaption = Value; }
    WideString GetNoneCaption() const { return FNoneCaption; }
    void SetNoneCaption(const WideString& Value) { FNoneCaption = Value; }
    bool GetShowNoneButton() const { return FShowNoneButton; }
    void SetShowNoneButton(bool Value) { FShowNoneButton = Value; }
    TNxDatePopup* GetDatePopup() { return static_cast<TNxDatePopup*>(GetPopup()); }

    TDateTime GetAsDateTime() const override { return GetDate(); }
    void SetAsDateTime(TDateTime Value) override { SetDate(Value); }

protected:
    TNxPopupControl* CreatePopupControl() override;
    void PreparePopup() override;
    void PopupPicked() override;

private:
    NxClasses::TStartDayOfWeek FStartDay = NxClasses::dwSunday;
    WideString FTodayCaption = u"Today";
    WideString FNoneCaption = u"None";
    bool FShowNoneButton = true;
};

} // namespace NxEdit
