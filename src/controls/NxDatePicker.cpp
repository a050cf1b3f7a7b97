// The month calendar, its drop-down and the date picker.
#include "controls/NxDatePicker.h"

#include <algorithm>
#include <cmath>

#include "platform/runtime/SysUtils.h"

namespace NxEdit {

// ---------------------------------------------------------------------------------------------
// TNxMonthCalendar

TNxMonthCalendar::TNxMonthCalendar(TComponent* AOwner) : TCustomControl(AOwner) {
    SetTabStop(false);
    SetParentColor(false);
    SetColor(clWindow);
    SetSelectedDate(Date());
}

TDateTime TNxMonthCalendar::GetSelectedDate() const {
    return EncodeDate(FYear, FMonth, FDay);
}

void TNxMonthCalendar::SetSelectedDate(TDateTime Value) {
    DecodeDate(Value, FYear, FMonth, FDay);
    Invalidate();
}

void TNxMonthCalendar::SetStartDay(NxClasses::TStartDayOfWeek Value) {
    FStartDay = Value;
    Invalidate();
}

void TNxMonthCalendar::MoveDays(int Days) {
    SetSelectedDate(GetSelectedDate() + Days);
}

void TNxMonthCalendar::MoveMonths(int Months) {
    SetSelectedDate(IncMonth(GetSelectedDate(), Months));
}

int TNxMonthCalendar::GetRowHeight() const {
    TCanvas* Canvas = const_cast<TNxMonthCalendar*>(this)->GetCanvas();
    Canvas->SetFont(GetFont());
    return Canvas->TextHeight(WideString(u"Wg")) + 4;
}

TRect TNxMonthCalendar::GetPrevRect() const {
    return {0, 0, GetRowHeight(), GetRowHeight()};
}

TRect TNxMonthCalendar::GetNextRect() const {
    const int w = GetClientWidth();
    return {w - GetRowHeight(), 0, w, GetRowHeight()};
}

TRect TNxMonthCalendar::GetCellRect(int Cell) const {
    const int h = GetRowHeight(), w = GetCellWidth();
    const int Left = (Cell % 7) * w, Top = (2 + Cell / 7) * h;
    return {Left, Top, Left + w, Top + h};
}

int TNxMonthCalendar::FirstColumn() const {
    // DayOfWeek: 1 Sunday .. 7 Saturday; a Monday start moves every day one column left.
    const int Weekday = DayOfWeek(EncodeDate(FYear, FMonth, 1)) - 1;
    return FStartDay == NxClasses::dwMonday ? (Weekday + 6) % 7 : Weekday;
}

TDateTime TNxMonthCalendar::GetCellDate(int Cell) const {
    return EncodeDate(FYear, FMonth, 1) + (Cell - FirstColumn());
}

int TNxMonthCalendar::CellAtPos(int X, int Y) const {
    const int h = GetRowHeight(), w = GetCellWidth();
    if (X < 0 || Y < 2 * h || w <= 0) return -1;
    const int Column = X / w, Row = Y / h - 2;
    if (Column > 6 || Row > 5) return -1;
    return Row * 7 + Column;
}

void TNxMonthCalendar::Paint() {
    TCanvas* Canvas = GetCanvas();
    const auto& Settings = DefaultFormatSettings();
    Canvas->SetFont(GetFont());
    Canvas->GetBrush()->SetColor(GetColor());
    Canvas->FillRect(GetClientRect());
    const int h = GetRowHeight();

    // Title: the month and year between the arrows.
    Canvas->GetBrush()->SetColor(clBtnFace);
    Canvas->FillRect({0, 0, GetClientWidth(), h});
    Canvas->GetBrush()->SetStyle(bsClear);
    TRect Title{0, 0, GetClientWidth(), h};
    Canvas->DrawText(Settings.LongMonthNames[size_t(FMonth - 1)] + u" " + IntToStr(FYear), Title,
                     DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    TRect Prev = GetPrevRect(), Next = GetNextRect();
    Canvas->DrawText(WideString(u"<"), Prev, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    Canvas->DrawText(WideString(u">"), Next, DT_CENTER | DT_VCENTER | DT_SINGLELINE);

    // Day names, in the order of the columns.
    const int Offset = FStartDay == NxClasses::dwMonday ? 1 : 0;
    for (int Column = 0; Column < 7; ++Column) {
        TRect r = GetCellRect(Column);
        r.Top -= h;
        r.Bottom -= h;
        Canvas->DrawText(Settings.ShortDayNames[size_t((Column + Offset) % 7)].substr(0, 2), r,
                         DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    Canvas->GetPen()->SetColor(clBtnShadow);
    Canvas->MoveTo(2, 2 * h - 1);
    Canvas->LineTo(GetClientWidth() - 2, 2 * h - 1);

    const TDateTime Selected = GetSelectedDate();
    const TDateTime Today = Date();
    for (int Cell = 0; Cell < 42; ++Cell) {
        const TDateTime Day = GetCellDate(Cell);
        int y, m, d;
        DecodeDate(Day, y, m, d);
        TRect r = GetCellRect(Cell);
        const bool IsSelected = Day == Selected;
        if (IsSelected) {
            Canvas->GetBrush()->SetStyle(bsSolid);
            Canvas->GetBrush()->SetColor(clHighlight);
            Canvas->FillRect(r);
        }
        if (Day == Today) {
            Canvas->GetBrush()->SetColor(clRed);
            Canvas->FrameRect(r);
        }
        Canvas->GetBrush()->SetStyle(bsClear);
        Canvas->GetFont()->SetColor(IsSelected ? clHighlightText : m == FMonth ? clWindowText : clGrayText);
        Canvas->DrawText(IntToStr(d), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

void TNxMonthCalendar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    if (PtInRect(GetPrevRect(), {X, Y})) return MoveMonths(-1);
    if (PtInRect(GetNextRect(), {X, Y})) return MoveMonths(1);
    const int Cell = CellAtPos(X, Y);
    if (Cell < 0) return;
    SetSelectedDate(GetCellDate(Cell));
    if (OnDayClick) OnDayClick(this);
}

// ---------------------------------------------------------------------------------------------
// TNxDatePopup

TNxDatePopup::TNxDatePopup(TComponent* AOwner) : TNxPopupControl(AOwner) {
    FCalendar = new TNxMonthCalendar(this);
    FCalendar->SetParent(this);
    FCalendar->OnDayClick = [this](TObject*) {
        FPickedNone = false;
        if (OnPicked) OnPicked(this);
    };
}

void TNxDatePopup::SetCaptions(const WideString& Today, const WideString& None, bool ShowNone) {
    FTodayCaption = Today;
    FNoneCaption = None;
    FShowNone = ShowNone;
    FPickedNone = false;
    Invalidate();
}

TRect TNxDatePopup::GetTodayRect() const {
    const TRect Client = GetClientRect();
    const int Top = Client.Bottom - FooterHeight() + 3;
    const int Half = Client.Width() / 2;
    return FShowNone ? TRect{4, Top, Half - 2, Client.Bottom - 3}
                     : TRect{4, Top, Client.Right - 4, Client.Bottom - 3};
}

TRect TNxDatePopup::GetNoneRect() const {
    if (!FShowNone) return {};
    const TRect Client = GetClientRect();
    return {Client.Width() / 2 + 2, Client.Bottom - FooterHeight() + 3, Client.Right - 4, Client.Bottom - 3};
}

TSize TNxDatePopup::GetPopupSize(int EditWidth) const {
    const int Width = std::max(EditWidth, 7 * (FCalendar->GetRowHeight() + 8) + 2);
    return {Width, FCalendar->GetNeededHeight() + FooterHeight() + 2};
}

bool TNxDatePopup::NavigateKey(Word Key, TShiftState) {
    switch (Key) {
    case VK_LEFT:
        FCalendar->MoveDays(-1);
        return true;
    case VK_RIGHT:
        FCalendar->MoveDays(1);
        return true;
    case VK_UP:
        FCalendar->MoveDays(-7);
        return true;
    case VK_DOWN:
        FCalendar->MoveDays(7);
        return true;
    case VK_PRIOR:
        FCalendar->MoveMonths(-1);
        return true;
    case VK_NEXT:
        FCalendar->MoveMonths(1);
        return true;
    default:
        return false;
    }
}

void TNxDatePopup::Accept() {
    FPickedNone = false;
    if (OnPicked) OnPicked(this);
}

void TNxDatePopup::Paint() {
    TCanvas* Canvas = GetCanvas();
    Canvas->SetFont(GetFont());
    Canvas->GetBrush()->SetColor(GetColor());
    Canvas->FillRect(GetClientRect());
    auto Button = [&](TRect r, const WideString& Caption) {
        Canvas->GetBrush()->SetStyle(bsSolid);
        Canvas->GetBrush()->SetColor(clBtnFace);
        Canvas->FillRect(r);
        Canvas->GetBrush()->SetColor(clBtnShadow);
        Canvas->FrameRect(r);
        Canvas->GetBrush()->SetStyle(bsClear);
        Canvas->DrawText(Caption, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    };
    Button(GetTodayRect(), FTodayCaption);
    if (FShowNone) Button(GetNoneRect(), FNoneCaption);
}

void TNxDatePopup::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TNxPopupControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    if (PtInRect(GetTodayRect(), {X, Y})) {
        FCalendar->SetSelectedDate(Date());
        FPickedNone = false;
        if (OnPicked) OnPicked(this);
    } else if (FShowNone && PtInRect(GetNoneRect(), {X, Y})) {
        FPickedNone = true;
        if (OnPicked) OnPicked(this);
    }
}

void TNxDatePopup::WMSize(TMessage& Message) {
    TNxPopupControl::WMSize(Message);
    FCalendar->SetBounds(0, 0, GetClientWidth(), GetClientHeight() - FooterHeight());
}

// ---------------------------------------------------------------------------------------------
// TNxDatePicker

TNxDatePicker::TNxDatePicker(TComponent* AOwner) : TNxPopupEdit(AOwner) {}

TDateTime TNxDatePicker::GetDate() const {
    TDateTime Value = 0;
    if (!TryStrToDate(GetText(), Value, DefaultFormatSettings())) return 0;
    return Value;
}

void TNxDatePicker::SetDate(TDateTime Value) {
    SetText(Value == 0 ? WideString() : DateToStr(DateOf(Value)));
}

TNxPopupControl* TNxDatePicker::CreatePopupControl() {
    return new TNxDatePopup(this);
}

void TNxDatePicker::PreparePopup() {
    TNxDatePopup* Popup = GetDatePopup();
    Popup->SetCaptions(FTodayCaption, FNoneCaption, FShowNoneButton);
    Popup->GetCalendar()->SetStartDay(FStartDay);
    const TDateTime Current = GetDate();
    Popup->GetCalendar()->SetSelectedDate(Current == 0 ? Date() : Current);
}

void TNxDatePicker::PopupPicked() {
    TNxDatePopup* Popup = GetDatePopup();
    SetDate(Popup->GetPickedNone() ? 0 : Popup->GetCalendar()->GetSelectedDate());
    SetModified(true);
    SelectAll();
}

} // namespace NxEdit
