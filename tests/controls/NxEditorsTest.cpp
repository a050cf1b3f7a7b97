// The cell editors as controls on a form, driven by real keys and clicks: stepping, dropping,
// picking from lists, calendars, palettes and the calculator, and the buttons' events.
#include <gtest/gtest.h>

#include <QPainter>

#include "controls/ControlsTestSupport.h"
#include "controls/NxCalcEdit.h"
#include "controls/NxColorPicker.h"
#include "controls/NxComboBox.h"
#include "controls/NxDatePicker.h"
#include "controls/NxMemoInplaceEdit.h"
#include "controls/NxSpinEdit.h"
#include "controls/NxTimeEdit.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windows/TimerClock.h"

using namespace ControlsTest;
using namespace NxEdit;

namespace {

struct EditorsTest : FormTest {
    void Focus(TWinControl* c) {
        c->SetFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return c->Focused(); }, 2000));
        Pump();
    }
    static void Key(TWinControl* c, Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(Client(c), k, m);
        Pump();
    }
    static void Type(TWinControl* c, const char* text) {
        QTest::keyClicks(Client(c), text);
        Pump();
    }
    static void ClickIn(TWinControl* c, const TRect& r) {
        QTest::mouseClick(Client(c), Qt::LeftButton, Qt::NoModifier,
                          QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
        Pump();
    }
    // The popup lies just under its edit on the screen.
    static void ExpectUnder(TNxPopupEdit* e, TNxPopupControl* p) {
        const TPoint EditBottom = e->ClientToScreen({0, e->GetClientHeight()});
        const TPoint PopupTop = p->ClientToScreen({0, 0});
        EXPECT_NEAR(PopupTop.Y, EditBottom.Y, 6);
        EXPECT_NEAR(PopupTop.X, e->ClientToScreen({0, 0}).X, 6);
    }
};

TEST_F(EditorsTest, SpinEditStepsByIncrementWithKeysAndButtonsWithinItsLimits) {
    auto* spin = Add<TNxSpinEdit>(10, 10, 120, 21);
    spin->SetIncrement(2.5);
    spin->SetMin(-10);
    spin->SetMax(20);
    int spins = 0;
    spin->OnSpin = [&](TObject*) { ++spins; };
    Show();
    Focus(spin);
    Type(spin, "4x"); // the letter is not a number character
    EXPECT_EQ(spin->GetText(), u"4");
    Key(spin, Qt::Key_Up);
    Key(spin, Qt::Key_Up);
    EXPECT_DOUBLE_EQ(spin->GetValue(), 9);
    EXPECT_EQ(spin->GetText(), u"9");
    Key(spin, Qt::Key_PageDown); // ten steps down stop at Min
    EXPECT_DOUBLE_EQ(spin->GetValue(), -10);
    EXPECT_EQ(spins, 3);

    // The buttons: a press steps once; held, it repeats after the start delay.
    TManualTimerClock Clock;
    TNxSpinButtons* buttons = spin->GetButtons();
    const TRect up = buttons->GetUpRect();
    const QPoint upPoint((up.Left + up.Right) / 2, (up.Top + up.Bottom) / 2);
    QTest::mousePress(Client(buttons), Qt::LeftButton, Qt::NoModifier, upPoint);
    Pump();
    EXPECT_DOUBLE_EQ(spin->GetValue(), -7.5);
    Clock.Advance(TNxSpinButtons::StartDelay - 1);
    EXPECT_DOUBLE_EQ(spin->GetValue(), -7.5);
    Clock.Advance(1 + 2 * TNxSpinButtons::RepeatInterval);
    EXPECT_DOUBLE_EQ(spin->GetValue(), 0);
    QTest::mouseRelease(Client(buttons), Qt::LeftButton, Qt::NoModifier, upPoint);
    Pump();
    Clock.Advance(1000);
    EXPECT_DOUBLE_EQ(spin->GetValue(), 0);
    const TRect down = buttons->GetDownRect();
    ClickIn(buttons, down);
    EXPECT_DOUBLE_EQ(spin->GetValue(), -2.5);

    // Fractions that do not add up exactly in binary still show as typed.
    spin->SetIncrement(0.1);
    spin->SetValue(0.2);
    Key(spin, Qt::Key_Up);
    EXPECT_EQ(spin->GetText(), u"0.3");
    // The text never runs under the buttons.
    EXPECT_GE(spin->GetRightMargin(), SpinButtonsWidth);
}

TEST_F(EditorsTest, TimeEditStepsThePartUnderTheCaretAndWrapsRoundMidnight) {
    auto* time = Add<TNxTimeEdit>(10, 10, 120, 21);
    Show();
    time->SetTime(EncodeTime(10, 30, 0, 0));
    EXPECT_EQ(time->GetText(), u"10:30:00");
    Focus(time);
    time->SetSelStart(4); // in the minutes
    Key(time, Qt::Key_Up);
    EXPECT_EQ(time->GetText(), u"10:31:00");
    EXPECT_EQ(time->GetSelText(), u"31"); // the part stays selected for the next step
    Key(time, Qt::Key_Down);
    Key(time, Qt::Key_Down);
    EXPECT_EQ(time->GetText(), u"10:29:00");
    time->SetTime(EncodeTime(0, 0, 5, 0));
    time->SetSelStart(0);
    Key(time, Qt::Key_Down);
    EXPECT_EQ(time->GetText(), u"23:00:05");
    EXPECT_NEAR(time->GetTime(), EncodeTime(23, 0, 5, 0), 1e-9);

    time->SelectAll();
    Type(time, "7a:5"); // letters are refused
    EXPECT_EQ(time->GetText(), u"7:5");
    EXPECT_NEAR(time->GetAsDateTime(), EncodeTime(7, 5, 0, 0), 1e-9);
    time->SetText(u"25:00:00");
    EXPECT_EQ(time->GetTime(), 0);

    time->SetTimeSeparator(u'.');
    EXPECT_EQ(time->GetText(), u"00.00.00");
}

TEST_F(EditorsTest, ButtonEditRaisesItsButtonEventByClickAndCtrlEnter) {
    auto* edit = Add<TNxButtonEdit>(10, 10, 150, 21);
    edit->SetButtonCaption(u"...");
    int clicks = 0, downs = 0;
    edit->OnButtonClick = [&](TObject*) { ++clicks; };
    edit->OnButtonDown = [&](TObject*) { ++downs; };
    Show();
    Focus(edit);
    Type(edit, "abc");
    EXPECT_EQ(edit->GetText(), u"abc");
    const TRect r = edit->GetButtonRect();
    EXPECT_EQ(r.Right, edit->GetClientWidth());
    EXPECT_GE(edit->GetRightMargin(), r.Width());
    ClickIn(edit->GetButton(), edit->GetButton()->GetClientRect());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(downs, 1);
    // A press released outside the button is no click.
    QTest::mousePress(Client(edit->GetButton()), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    QTest::mouseRelease(Client(edit->GetButton()), Qt::LeftButton, Qt::NoModifier, QPoint(-20, 3));
    Pump();
    EXPECT_EQ(clicks, 1);
    Focus(edit);
    Key(edit, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(clicks, 2);
    edit->SetShowButton(false);
    EXPECT_FALSE(edit->GetButton()->GetVisible());
    Key(edit, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(clicks, 2);
}

TEST_F(EditorsTest, MemoEditorTakesSeveralLinesAndItsButton) {
    auto* memo = Add<TNxMemoInplaceEdit>(10, 10, 200, 60);
    int clicks = 0, changes = 0;
    memo->OnButtonClick = [&](TObject*) { ++clicks; };
    memo->OnChange = [&](TObject*) { ++changes; };
    Show();
    EXPECT_EQ(memo->GetHeight(), 60); // no single-line auto height
    memo->SetFocus();                 // the focus goes on to the lines
    ASSERT_TRUE(QTest::qWaitFor([&] { return memo->GetMemo()->Focused(); }, 2000));
    Type(memo->GetMemo(), "one");
    Key(memo->GetMemo(), Qt::Key_Return);
    Type(memo->GetMemo(), "two");
    ASSERT_EQ(memo->GetLines()->GetCount(), 2);
    EXPECT_EQ(memo->GetLines()->Get(1), u"two");
    EXPECT_EQ(memo->GetText(), u"one\r\ntwo");
    EXPECT_GT(changes, 0);
    Key(memo->GetMemo(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(memo->GetLines()->GetCount(), 2);
    memo->SetWantReturns(false);
    Key(memo->GetMemo(), Qt::Key_Return);
    EXPECT_EQ(memo->GetLines()->GetCount(), 2);
    memo->SetText(u"a");
    EXPECT_EQ(memo->GetLines()->GetCount(), 1);
    // Written and read back unchanged, so a cell does not gain a line break per edit.
    for (const char16_t* text : {u"a", u"a\r\nb", u""}) {
        memo->SetText(text);
        EXPECT_EQ(memo->GetText(), text);
    }
    // The lines end where the button begins.
    EXPECT_LE(memo->GetMemo()->GetLeft() + memo->GetMemo()->GetWidth(), memo->GetButtonRect().Left);
}

struct ComboTest : EditorsTest {
    TNxComboBox* combo = nullptr;
    void SetUp() override {
        EditorsTest::SetUp();
        combo = Add<TNxComboBox>(10, 10, 150, 21);
        for (const char16_t* s : {u"Apple", u"Banana", u"Cherry", u"Blueberry"})
            combo->GetItems()->Add(s);
    }
};

TEST_F(ComboTest, DropsItsItemsUnderTheEditAndPicksByKeysOrClick) {
    int selects = 0, closes = 0;
    combo->OnSelect = [&](TObject*) { ++selects; };
    combo->OnCloseUp = [&](TObject*) { ++closes; };
    Show();
    Focus(combo);
    Key(combo, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(combo->GetDroppedDown());
    TNxPopupList* list = combo->GetPopupList();
    ExpectUnder(combo, list);
    EXPECT_EQ(list->GetHeight(), 4 * list->GetItemHeight() + 2);
    Key(combo, Qt::Key_Down);
    Key(combo, Qt::Key_Down);
    EXPECT_EQ(combo->GetText(), u""); // moving in the list changes nothing yet
    Key(combo, Qt::Key_Return);
    EXPECT_EQ(combo->GetText(), u"Banana");
    EXPECT_FALSE(combo->GetDroppedDown());
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(closes, 1);

    // The button drops the list with the current item highlighted; a click picks another.
    ClickIn(combo->GetButton(), combo->GetButton()->GetClientRect());
    ASSERT_TRUE(combo->GetDroppedDown());
    EXPECT_EQ(list->GetItemIndex(), 1);
    EXPECT_EQ(list->GetTopIndex(), 0); // all four fit: nothing scrolled away
    ClickIn(list, list->GetItemRect(2));
    EXPECT_EQ(combo->GetText(), u"Cherry");
    EXPECT_FALSE(combo->GetDroppedDown());
    EXPECT_EQ(selects, 2);

    // With fewer rows than items the highlighted one is scrolled into view.
    combo->SetDropDownCount(2);
    Focus(combo);
    Key(combo, Qt::Key_F4);
    EXPECT_EQ(list->GetHeight(), 2 * list->GetItemHeight() + 2);
    EXPECT_EQ(list->GetTopIndex(), 1);
    Key(combo, Qt::Key_Down);
    EXPECT_EQ(list->GetItemIndex(), 3);
    EXPECT_EQ(list->GetTopIndex(), 2);
    EXPECT_EQ(list->ItemAtPos(list->GetItemHeight() + 1), 3);
    Key(combo, Qt::Key_Escape);

    // Escape closes without picking; closed, the arrows walk the items.
    Focus(combo);
    Key(combo, Qt::Key_F4);
    Key(combo, Qt::Key_Down);
    Key(combo, Qt::Key_Escape);
    EXPECT_FALSE(combo->GetDroppedDown());
    EXPECT_EQ(combo->GetText(), u"Cherry");
    Key(combo, Qt::Key_Up);
    EXPECT_EQ(combo->GetItemIndex(), 1);
    // Leaving the box closes an open list.
    Key(combo, Qt::Key_F4);
    auto* other = Add<TNxEdit>(10, 200, 100, 21);
    Focus(other);
    EXPECT_FALSE(combo->GetDroppedDown());
}

TEST_F(ComboTest, DropDownListTakesOnlyItemsAndAutoCompleteFillsTheRest) {
    combo->SetStyle(cbsDropDownList);
    Show();
    Focus(combo);
    Type(combo, "b");
    EXPECT_EQ(combo->GetText(), u"Banana");
    Type(combo, "b"); // the same key goes on to the next item starting with it
    EXPECT_EQ(combo->GetText(), u"Blueberry");
    Type(combo, "x");
    EXPECT_EQ(combo->GetText(), u"Blueberry");
    combo->SelectAll();
    Key(combo, Qt::Key_Delete);
    Key(combo, Qt::Key_Backspace);
    EXPECT_EQ(combo->GetText(), u"Blueberry");

    combo->SetStyle(cbsDropDown);
    combo->SetAutoComplete(true);
    combo->SetText(u"");
    Type(combo, "ch");
    EXPECT_EQ(combo->GetText(), u"Cherry");
    EXPECT_EQ(combo->GetSelText(), u"erry");
    Type(combo, "x"); // no item goes on like this: plain typing over the completed rest
    EXPECT_EQ(combo->GetText(), u"Chx");
    EXPECT_EQ(combo->GetItemIndex(), -1);
}

TEST_F(EditorsTest, DatePickerDropsAMonthAndPicksByKeysDayClickTodayAndNone) {
    auto* picker = Add<TNxDatePicker>(10, 10, 150, 21);
    Show();
    picker->SetDate(EncodeDate(2024, 2, 10));
    Focus(picker);
    Key(picker, Qt::Key_F4);
    ASSERT_TRUE(picker->GetDroppedDown());
    TNxDatePopup* popup = picker->GetDatePopup();
    TNxMonthCalendar* calendar = popup->GetCalendar();
    ExpectUnder(picker, popup);
    EXPECT_EQ(calendar->GetSelectedDate(), EncodeDate(2024, 2, 10));
    // 1 February 2024 is a Thursday: column 4 from Sunday.
    EXPECT_EQ(calendar->GetCellDate(4), EncodeDate(2024, 2, 1));
    Key(picker, Qt::Key_Right);
    Key(picker, Qt::Key_Down);
    Key(picker, Qt::Key_PageDown);
    EXPECT_EQ(calendar->GetSelectedDate(), EncodeDate(2024, 3, 18));
    Key(picker, Qt::Key_Return);
    EXPECT_FALSE(picker->GetDroppedDown());
    EXPECT_EQ(picker->GetDate(), EncodeDate(2024, 3, 18));

    // A click on a day; the first column with a Monday start.
    picker->SetStartDay(NxClasses::dwMonday);
    ClickIn(picker->GetButton(), picker->GetButton()->GetClientRect());
    ASSERT_TRUE(picker->GetDroppedDown());
    EXPECT_EQ(calendar->GetCellDate(4), EncodeDate(2024, 3, 1)); // a Friday
    ClickIn(calendar, calendar->GetCellRect(7 + 2));             // Wednesday of the second week
    EXPECT_EQ(picker->GetDate(), EncodeDate(2024, 3, 6));
    // The arrows of the title change the month only.
    Focus(picker);
    Key(picker, Qt::Key_F4);
    ClickIn(calendar, calendar->GetNextRect());
    EXPECT_EQ(calendar->GetSelectedDate(), EncodeDate(2024, 4, 6));
    EXPECT_TRUE(picker->GetDroppedDown());
    ClickIn(popup, popup->GetTodayRect());
    EXPECT_EQ(picker->GetDate(), Date());
    Focus(picker);
    Key(picker, Qt::Key_F4);
    ClickIn(popup, popup->GetNoneRect());
    EXPECT_EQ(picker->GetText(), u"");
    EXPECT_EQ(picker->GetDate(), 0);
    // Month ends: 31 January plus a month is the last of February.
    calendar->SetSelectedDate(EncodeDate(2024, 1, 31));
    calendar->MoveMonths(1);
    EXPECT_EQ(calendar->GetSelectedDate(), EncodeDate(2024, 2, 29));
}

TEST_F(EditorsTest, ColorPickerDropsAPaletteAndWritesThePickedColor) {
    auto* picker = Add<TNxColorPicker>(10, 10, 150, 21);
    picker->SetWebColorFormat(true);
    Show();
    picker->SetSelected(clRed);
    EXPECT_EQ(picker->GetText(), u"#FF0000");
    Focus(picker);
    ClickIn(picker->GetButton(), picker->GetButton()->GetClientRect());
    ASSERT_TRUE(picker->GetDroppedDown());
    TNxColorPopup* popup = picker->GetColorPopup();
    ExpectUnder(picker, popup);
    EXPECT_EQ(popup->GetSelectedIndex(), 8); // red is in the palette
    ClickIn(popup, popup->GetSwatchRect(13));
    EXPECT_EQ(picker->GetSelected(), clBlue);
    EXPECT_EQ(picker->GetText(), u"#0000FF");
    Focus(picker);
    Key(picker, Qt::Key_F4);
    Key(picker, Qt::Key_Down);
    Key(picker, Qt::Key_Left);
    Key(picker, Qt::Key_Return);
    EXPECT_EQ(picker->GetSelected(), RGB(0, 128, 128));
    // The preview box shows the color of the text.
    const QImage shot = Shot(picker);
    const TRect box = picker->GetEditInfo()->GetPreviewBox();
    const TPoint at =
        picker->GetEditInfo()->ClientToScreen({(box.Left + box.Right) / 2, (box.Top + box.Bottom) / 2});
    const TPoint origin = picker->ClientToScreen({0, 0});
    const int border = (picker->GetWidth() - picker->GetClientWidth()) / 2;
    EXPECT_EQ(Pixel(shot, at.X - origin.X + border, at.Y - origin.Y + border), RGB(0, 128, 128));

    picker->SetWebColorFormat(false);
    EXPECT_EQ(picker->GetText(), u"$00808000");
    picker->SetText(u"navy");
    EXPECT_EQ(picker->GetSelected(), RGB(0, 0, 128));
    picker->SetText(u"no such color");
    EXPECT_EQ(picker->GetSelected(), clNone);
}

TEST_F(EditorsTest, CalcEditWorksTheValueOnTheDroppedCalculator) {
    auto* calc = Add<TNxCalcEdit>(10, 10, 150, 21);
    Show();
    calc->SetValue(12);
    Focus(calc);
    Type(calc, "a"); // closed: only number characters
    EXPECT_EQ(calc->GetText(), u"12");
    Key(calc, Qt::Key_F4);
    ASSERT_TRUE(calc->GetDroppedDown());
    TNxCalcPopup* popup = calc->GetCalcPopup();
    ExpectUnder(calc, popup);
    Type(calc, "+3*2");
    EXPECT_EQ(popup->GetCalculator().GetDisplay(), u"2");
    Type(calc, "="); // AutoClose: the result goes to the box
    EXPECT_FALSE(calc->GetDroppedDown());
    EXPECT_EQ(calc->GetText(), u"30");

    // By mouse: 30 / 0 = shows an error and keeps the calculator open.
    Key(calc, Qt::Key_F4);
    auto keyIndex = [](WideChar c) {
        for (int i = 0; i < TNxCalcPopup::KeyColumns * TNxCalcPopup::KeyRows; ++i)
            if (TNxCalcPopup::KeyChar(i) == c) return i;
        return -1;
    };
    for (WideChar c : {u'/', u'0', u'='})
        ClickIn(popup, popup->GetKeyRect(keyIndex(c)));
    EXPECT_TRUE(calc->GetDroppedDown());
    EXPECT_EQ(popup->GetCalculator().GetDisplay(), u"Error");
    EXPECT_EQ(calc->GetText(), u"30");
    for (WideChar c : {u'C', u'7', u'.', u'5'})
        ClickIn(popup, popup->GetKeyRect(keyIndex(c)));
    Key(calc, Qt::Key_Backspace);
    Key(calc, Qt::Key_Return);
    EXPECT_EQ(calc->GetText(), u"7");
    calc->SetMax(5);
    calc->SetValue(9);
    EXPECT_EQ(calc->GetText(), u"5");
}

TEST(Calculator, OperatorsApplyLeftToRightAndEditKeysChangeTheEntry) {
    TNxCalculator c;
    auto press = [&](const char16_t* keys) {
        for (const char16_t* k = keys; *k; ++k)
            c.Press(*k);
    };
    press(u"2+3*4=");
    EXPECT_DOUBLE_EQ(c.GetValue(), 20);
    c.SetValue(0);
    press(u"9-+1="); // the second operator replaces the first
    EXPECT_DOUBLE_EQ(c.GetValue(), 10);
    c.SetValue(0);
    press(u"123<~");
    EXPECT_EQ(c.GetDisplay(), u"-12");
    press(u"..5");
    EXPECT_EQ(c.GetDisplay(), u"-12.5");
    press(u"<<<<<");
    EXPECT_EQ(c.GetDisplay(), u"0");
    press(u"1/0=5");
    EXPECT_TRUE(c.GetError());
    EXPECT_EQ(c.GetDisplay(), u"Error");
    press(u"C");
    EXPECT_FALSE(c.GetError());
    EXPECT_EQ(c.GetDisplay(), u"0");
}

// Every editor on one form, each dropped once, for a person to look at.
TEST_F(EditorsTest, PictureOfEveryEditorOpen) {
    form->SetBounds(40, 40, 880, 400);
    auto* combo = Add<TNxComboBox>(10, 10, 200, 21);
    for (const char16_t* s : {u"Apple", u"Banana", u"Cherry", u"Blueberry", u"Damson"})
        combo->GetItems()->Add(s);
    combo->SetText(u"Cherry");
    auto* date = Add<TNxDatePicker>(225, 10, 200, 21);
    date->SetDate(EncodeDate(2026, 12, 9));
    auto* color = Add<TNxColorPicker>(440, 10, 200, 21);
    color->SetWebColorFormat(true);
    color->SetSelected(RGB(0, 128, 0));
    auto* calc = Add<TNxCalcEdit>(655, 10, 200, 21);
    calc->SetValue(1234.5);
    auto* spin = Add<TNxSpinEdit>(10, 300, 200, 21);
    spin->SetValue(42);
    auto* time = Add<TNxTimeEdit>(225, 300, 200, 21);
    time->SetTime(EncodeTime(14, 5, 30, 0));
    auto* button = Add<TNxButtonEdit>(440, 300, 200, 21);
    button->SetText(u"C:\\data\\report.txt");
    auto* memo = Add<TNxMemoInplaceEdit>(655, 300, 200, 60);
    memo->SetText(u"first line\nsecond line");
    Show();
    QImage picture = Shot(form.get());
    const QPoint formOrigin = Frame(form.get())->mapToGlobal(QPoint(0, 0));
    QPainter painter(&picture);
    for (TNxPopupEdit* e : std::initializer_list<TNxPopupEdit*>{combo, date, color, calc}) {
        Focus(e);
        Key(e, Qt::Key_F4);
        ASSERT_TRUE(e->GetDroppedDown());
        TNxPopupControl* p = e->GetPopup();
        const QImage popupShot = Shot(p);
        painter.drawImage(Frame(p)->mapToGlobal(QPoint(0, 0)) - formOrigin, popupShot);
        Key(e, Qt::Key_Escape);
    }
    painter.end();
    SavePng(picture, "editors_open.png");
}

} // namespace
