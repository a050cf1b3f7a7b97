// Every column kind with an editor, edited inside a shown grid the way a user does: a click or a
// typed character opens the kind's own editor, keys type, step, drop and pick, Enter writes the
// cell and Esc leaves it. The stored value is checked through the cell's typed accessors.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "controls/NxButtonEdit.h"
#include "controls/NxCalcEdit.h"
#include "controls/NxColorPicker.h"
#include "controls/NxComboBox.h"
#include "controls/NxDatePicker.h"
#include "controls/NxMemoInplaceEdit.h"
#include "controls/NxSpinEdit.h"
#include "controls/NxTimeEdit.h"
#include "grid/model/Cell.h"
#include "grid/model/ColumnKinds.h"
#include "grid/view/NextGrid.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windows/Clipboard.h"
#include "platform/windows/TestSupport.h"

using namespace NxEdit;

namespace {

struct KindEditingTest : ::testing::Test {
    std::unique_ptr<TForm> Form;
    TNextGrid* Grid = nullptr;

    // A shown grid with one editable column of the kind, Rows rows, and the body focused.
    template <typename Kind> Kind* MakeGrid(int Rows = 4, TGridOptions Extra = {}) {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(40, 40, 420, 260);
        Grid = new TNextGrid(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, 400, 240);
        Grid->GetFont()->SetName("DejaVu Sans");
        Grid->GetFont()->SetHeight(-11);
        Grid->SetOptions(Grid->GetOptions() + Extra);
        auto* Column = Grid->GetColumns()->template Add<Kind>(u"Kind");
        Column->SetWidth(160);
        Column->SetOptions(Column->GetOptions() + TColumnOptions{coEditing});
        Grid->AddRow(Rows);
        return Column;
    }
    void Show() {
        ASSERT_TRUE(ShowAndWait(Form.get()));
        Grid->SetFocus();
        Pump();
    }
    TCell* Cell(int Row) { return Grid->GetCell(0, Row); }
    void ClickCell(int Row) {
        TRect R = Grid->GetCellRect(0, Row);
        QTest::mouseClick(Client(Grid), Qt::LeftButton, Qt::NoModifier,
                          QPoint(R.Left + 20, (R.Top + R.Bottom) / 2));
        Pump();
    }
    // Keys go where the window system has put the focus, as a keyboard's do.
    static QWidget* Focus() {
        QWidget* W = QApplication::focusWidget();
        EXPECT_NE(W, nullptr);
        return W;
    }
    static void Key(Qt::Key K, Qt::KeyboardModifiers M = Qt::NoModifier) {
        QTest::keyClick(Focus(), K, M);
        Pump();
    }
    static void Type(const char* Text) {
        QTest::keyClicks(Focus(), Text);
        Pump();
    }
    template <typename Editor> Editor* Open() {
        auto* E = dynamic_cast<Editor*>(Grid->GetInplaceEdit());
        EXPECT_NE(E, nullptr);
        EXPECT_TRUE(Grid->GetGridState().Contains(gtEdit));
        EXPECT_TRUE(E && E->GetVisible());
        return E;
    }
    bool Closed() { return !Grid->GetInplaceEdit() && !Grid->GetGridState().Contains(gtEdit); }
};

TEST_F(KindEditingTest, TextTypedCharacterStartsTheEditEnterWritesAndEscLeavesTheCell) {
    auto* Column = MakeGrid<TNxTextColumn>(4, TGridOptions{goSecondClickEdit});
    Column->SetMaxLength(6);
    Cell(1)->SetAsString(u"old");
    Cell(2)->SetAsString(u"keep");
    Show();
    ClickCell(1); // selects only: goSecondClickEdit
    ASSERT_TRUE(Closed());
    QTest::keyClick(Client(Grid), 'H');
    Pump();
    auto* Edit = Open<TNxEdit>();
    ASSERT_TRUE(Edit);
    EXPECT_EQ(Edit->GetText(), u"H");
    Type("ello, world"); // MaxLength cuts it
    EXPECT_EQ(Edit->GetText(), u"Hello,");
    Key(Qt::Key_Return);
    EXPECT_TRUE(Closed());
    EXPECT_EQ(Cell(1)->GetAsString(), u"Hello,");

    ClickCell(2);
    ClickCell(2); // the second click on the current cell opens it
    ASSERT_TRUE(Open<TNxEdit>());
    EXPECT_EQ(Grid->GetInplaceEdit()->GetText(), u"keep");
    Type("XYZ");
    Key(Qt::Key_Escape);
    EXPECT_TRUE(Closed());
    EXPECT_EQ(Cell(2)->GetAsString(), u"keep");
    EXPECT_TRUE(Grid->Focused());
}

TEST_F(KindEditingTest, TreeGuidAndVirtualColumnsEditTheirTextThroughTheirPlainEditor) {
    MakeGrid<TNxTreeColumn>(2);
    Cell(0)->SetAsString(u"node");
    Show();
    ClickCell(0);
    ASSERT_TRUE(Open<TNxEdit>());
    Key(Qt::Key_Backspace); // the caret stands at the end
    Type("s!");
    Key(Qt::Key_Return);
    EXPECT_EQ(Cell(0)->GetAsString(), u"nods!");

    MakeGrid<TNxGuidColumn>(2);
    Show();
    ClickCell(1);
    auto* Edit = Open<TNxEdit>();
    ASSERT_TRUE(Edit);
    Edit->SelectAll();
    Type("{6F9619FF-8B86-D011-B42D-00C04FC964FF}");
    Key(Qt::Key_Return);
    EXPECT_EQ(Cell(1)->GetAsString(), u"{6F9619FF-8B86-D011-B42D-00C04FC964FF}");

    auto* Virtual = MakeGrid<TNxVirtualColumn>(3);
    std::vector<WideString> Written;
    Virtual->OnGetText = [](TObject*, int, int ARow, WideString& Value) { Value = u"row" + IntToStr(ARow); };
    Virtual->OnSetText = [&](TObject*, int, int ARow, const WideString& Value) {
        Written.push_back(IntToStr(ARow) + u"=" + Value);
    };
    Show();
    ClickCell(2);
    ASSERT_TRUE(Open<TNxEdit>());
    EXPECT_EQ(Grid->GetInplaceEdit()->GetText(), u"row2");
    Type("x");
    Key(Qt::Key_Return);
    ASSERT_EQ(Written.size(), 1u);
    EXPECT_EQ(Written[0], u"2=row2x");
}

TEST_F(KindEditingTest, NumberColumnStepsByIncrementAndStoresAFloat) {
    auto* Column = MakeGrid<TNxNumberColumn>(4, TGridOptions{goSecondClickEdit});
    Column->SetIncrement(2.5);
    Column->SetMax(20);
    Column->SetMin(-20);
    Cell(1)->SetAsFloat(10);
    Show();
    ClickCell(1);
    ClickCell(1);
    auto* Spin = Open<TNxSpinEdit>();
    ASSERT_TRUE(Spin);
    EXPECT_EQ(Spin->GetText(), u"10");
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    EXPECT_EQ(Spin->GetText(), u"15");
    Key(Qt::Key_Down);
    EXPECT_EQ(Grid->GetSelectedRow(), 1); // the arrows step the value, not the selection
    Key(Qt::Key_PageUp);                  // ten steps, held at Max
    EXPECT_EQ(Spin->GetText(), u"20");
    EXPECT_TRUE(Grid->GetGridState().Contains(gtEdit));
    Key(Qt::Key_Return);
    ASSERT_TRUE(Closed());
    EXPECT_DOUBLE_EQ(Cell(1)->GetAsFloat(), 20);
    EXPECT_NE(dynamic_cast<TFloatCell*>(Cell(1)), nullptr);

    // Typed text: a letter is no number character.
    ClickCell(2);
    ClickCell(2);
    ASSERT_TRUE(Open<TNxSpinEdit>());
    Grid->GetInplaceEdit()->SelectAll();
    Type("7a.5");
    EXPECT_EQ(Grid->GetInplaceEdit()->GetText(), u"7.5");
    Key(Qt::Key_Return);
    EXPECT_DOUBLE_EQ(Cell(2)->GetAsFloat(), 7.5);

    // What the editor holds is made a number within the limits before it reaches the cell: an
    // emptied or half-typed box is 0, a typed value past Max is Max.
    const std::pair<const char*, double> Typed[] = {{"", 0}, {"-", 0}, {"99", 20}};
    for (const auto& [Text, Stored] : Typed) {
        SCOPED_TRACE(Text);
        Cell(3)->SetAsFloat(5);
        ClickCell(3);
        ClickCell(3);
        ASSERT_TRUE(Open<TNxSpinEdit>());
        Grid->GetInplaceEdit()->SelectAll();
        Key(Qt::Key_Backspace);
        Type(Text);
        Key(Qt::Key_Return);
        EXPECT_TRUE(Closed());
        EXPECT_DOUBLE_EQ(Cell(3)->GetAsFloat(), Stored);
    }
}

TEST_F(KindEditingTest, CalcColumnWorksTheDroppedCalculatorAndStoresItsResult) {
    MakeGrid<TNxCalcColumn>(3);
    Cell(0)->SetAsFloat(4);
    Cell(1)->SetAsFloat(3);
    Show();
    ClickCell(0);
    auto* Calc = Open<TNxCalcEdit>();
    ASSERT_TRUE(Calc);
    EXPECT_EQ(Calc->GetText(), u"4");
    Key(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Calc->GetDroppedDown());
    Type("*3-2=");
    EXPECT_FALSE(Calc->GetDroppedDown()); // '=' picks the result and closes
    EXPECT_EQ(Calc->GetText(), u"10");
    EXPECT_TRUE(Grid->GetGridState().Contains(gtEdit));
    Key(Qt::Key_Return);
    ASSERT_TRUE(Closed());
    EXPECT_DOUBLE_EQ(Cell(0)->GetAsFloat(), 10);

    // An emptied box stores 0 instead of failing on text that is no number.
    ClickCell(1);
    ASSERT_TRUE(Open<TNxCalcEdit>());
    Grid->GetInplaceEdit()->SelectAll();
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Return);
    EXPECT_TRUE(Closed());
    EXPECT_DOUBLE_EQ(Cell(1)->GetAsFloat(), 0);
}

TEST_F(KindEditingTest, TimeColumnStepsThePartUnderTheCaretAndStoresADateTime) {
    MakeGrid<TNxTimeColumn>(3);
    Cell(0)->SetAsDateTime(EncodeTime(6, 30, 0, 0));
    Show();
    ClickCell(0);
    auto* Time = Open<TNxTimeEdit>();
    ASSERT_TRUE(Time);
    EXPECT_EQ(Time->GetText(), u"06:30:00");
    Key(Qt::Key_Home);
    Key(Qt::Key_Up); // hours
    Key(Qt::Key_Up);
    EXPECT_EQ(Time->GetText(), u"08:30:00");
    EXPECT_EQ(Grid->GetSelectedRow(), 0);
    Key(Qt::Key_Return);
    ASSERT_TRUE(Closed());
    EXPECT_NE(dynamic_cast<TDateTimeCell*>(Cell(0)), nullptr);
    EXPECT_NEAR(Cell(0)->GetAsDateTime(), EncodeTime(8, 30, 0, 0), 1e-9);
}

TEST_F(KindEditingTest, TimeColumnEditingKeepsTheDateOfADateAndTimeCell) {
    MakeGrid<TNxTimeColumn>(3);
    const TDateTime Day = EncodeDate(2024, 2, 29);
    Cell(0)->SetAsDateTime(Day + EncodeTime(6, 30, 0, 0));
    Cell(1)->SetAsDateTime(Day + EncodeTime(9, 0, 0, 0));
    Cell(2)->SetAsDateTime(Day + EncodeTime(6, 30, 0, 0));
    Show();
    // Clicking in and out changes nothing.
    ClickCell(0);
    ASSERT_TRUE(Open<TNxTimeEdit>());
    Key(Qt::Key_Return);
    ASSERT_TRUE(Closed());
    EXPECT_NEAR(Cell(0)->GetAsDateTime(), Day + EncodeTime(6, 30, 0, 0), 1e-6);
    // A new time lands on the same day.
    ClickCell(1);
    Key(Qt::Key_Home);
    Key(Qt::Key_Up);
    Key(Qt::Key_Return);
    EXPECT_NEAR(Cell(1)->GetAsDateTime(), Day + EncodeTime(10, 0, 0, 0), 1e-6);
    // A time typed over the selected cell, without clicking into it, lands on the same day too.
    ClickCell(2);
    Key(Qt::Key_Escape);
    ASSERT_TRUE(Closed());
    Type("1");
    ASSERT_TRUE(Open<TNxTimeEdit>());
    Type("1:15");
    Key(Qt::Key_Return);
    EXPECT_NEAR(Cell(2)->GetAsDateTime(), Day + EncodeTime(11, 15, 0, 0), 1e-6);
}

TEST_F(KindEditingTest, OnKeyPressComesFirstAndItsVetoStartsNoEdit) {
    MakeGrid<TNxTextColumn>(3, TGridOptions{goSecondClickEdit});
    Cell(1)->SetAsString(u"old");
    int BeforeEdits = 0;
    std::vector<WideChar> Pressed;
    Grid->OnBeforeEdit = [&](TObject*, int, int, bool&) { ++BeforeEdits; };
    Grid->OnKeyPress = [&](TObject*, WideChar& K) {
        Pressed.push_back(K);
        if (K == u'q') K = 0;
    };
    Show();
    ClickCell(1);
    QTest::keyClick(Client(Grid), 'q');
    Pump();
    EXPECT_TRUE(Closed());
    EXPECT_EQ(BeforeEdits, 0);
    // An accepted key is heard once and opens the editor with it.
    QTest::keyClick(Client(Grid), 'w');
    Pump();
    ASSERT_TRUE(Open<TNxEdit>());
    EXPECT_EQ(Grid->GetInplaceEdit()->GetText(), u"w");
    EXPECT_EQ(BeforeEdits, 1);
    EXPECT_EQ(Pressed, (std::vector<WideChar>{u'q', u'w'}));
    Key(Qt::Key_Escape);
    EXPECT_EQ(Cell(1)->GetAsString(), u"old");

    // A refused edit is asked once.
    Grid->OnBeforeEdit = [&](TObject*, int, int, bool& Accept) {
        ++BeforeEdits;
        Accept = false;
    };
    BeforeEdits = 0;
    QTest::keyClick(Client(Grid), 'e');
    Pump();
    EXPECT_TRUE(Closed());
    EXPECT_EQ(BeforeEdits, 1);
}

TEST_F(KindEditingTest, CtrlAAndCtrlCInAnOpenEditorWorkOnItsText) {
    MakeGrid<TNxTextColumn>(3, TGridOptions{goMultiSelect, goSelectFullRow});
    Cell(0)->SetAsString(u"first");
    Cell(1)->SetAsString(u"second");
    Show();
    ClickCell(1);
    auto* Edit = Open<TNxEdit>();
    ASSERT_TRUE(Edit);
    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_FALSE(Grid->GetSelected(0)) << "the grid's rows stay as they were";
    EXPECT_EQ(Edit->GetSelLength(), 6);
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(GetClipboardText(), u"second");
}

TEST_F(KindEditingTest, ButtonColumnButtonKeyRaisesItsEventAndEnterWrites) {
    auto* Column = MakeGrid<TNxButtonColumn>(2);
    int Clicks = 0;
    Column->OnButtonClick = [&](TObject*) { ++Clicks; };
    Cell(0)->SetAsString(u"a");
    Show();
    ClickCell(0);
    ASSERT_TRUE(Open<TNxButtonEdit>());
    Type("bc");
    Key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(Clicks, 1);
    EXPECT_TRUE(Grid->GetGridState().Contains(gtEdit)); // Ctrl+Enter is the button's, not a commit
    Key(Qt::Key_Return);
    ASSERT_TRUE(Closed());
    EXPECT_EQ(Cell(0)->GetAsString(), u"abc");
}

TEST_F(KindEditingTest, MemoColumnTakesSeveralLinesTabWritesThemAndEscLeavesTheCell) {
    MakeGrid<TNxMemoColumn>(3);
    Cell(0)->SetAsString(u"first");
    Cell(1)->SetAsString(u"kept");
    Show();
    ClickCell(0);
    auto* Memo = Open<TNxMemoInplaceEdit>();
    ASSERT_TRUE(Memo);
    Key(Qt::Key_End);
    Key(Qt::Key_Return); // a new line: the memo wants returns
    Type("second");
    Key(Qt::Key_Return);
    Type("third");
    EXPECT_TRUE(Grid->GetGridState().Contains(gtEdit));
    EXPECT_EQ(Memo->GetLines()->Count(), 3);
    Key(Qt::Key_Tab);
    ASSERT_TRUE(Closed());
    // Joined by the platform's line break, none after the last line.
    EXPECT_EQ(Cell(0)->GetAsString(), u"first\r\nsecond\r\nthird");

    ClickCell(1);
    ASSERT_TRUE(Open<TNxMemoInplaceEdit>());
    Type("zz");
    Key(Qt::Key_Escape);
    EXPECT_TRUE(Closed());
    EXPECT_EQ(Cell(1)->GetAsString(), u"kept");
}

TEST_F(KindEditingTest, ComboBoxColumnDropsItsItemsAndEnterPicksThenWrites) {
    auto* Column = MakeGrid<TNxComboBoxColumn>(3, TGridOptions{goSecondClickEdit});
    for (const char16_t* S : {u"one", u"two", u"three"})
        Column->GetItems()->Add(S);
    Cell(0)->SetAsString(u"one");
    Show();
    ClickCell(0);
    ClickCell(0);
    auto* Box = Open<TNxComboBox>();
    ASSERT_TRUE(Box);
    Key(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Box->GetDroppedDown());
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    Key(Qt::Key_Return); // picks the highlighted item; the edit stays open
    EXPECT_FALSE(Box->GetDroppedDown());
    EXPECT_TRUE(Grid->GetGridState().Contains(gtEdit));
    EXPECT_EQ(Box->GetText(), u"three");
    Key(Qt::Key_Return);
    ASSERT_TRUE(Closed());
    EXPECT_EQ(Cell(0)->GetAsString(), u"three");

    // Esc in a dropped list closes the list only.
    ClickCell(0);
    ClickCell(0);
    ASSERT_TRUE(Open<TNxComboBox>());
    Key(Qt::Key_Down, Qt::AltModifier);
    Key(Qt::Key_Escape);
    EXPECT_FALSE(Box->GetDroppedDown());
    EXPECT_TRUE(Grid->GetGridState().Contains(gtEdit));
    Key(Qt::Key_Escape);
    EXPECT_TRUE(Closed());

    // A drop-down list: only a key an item starts with opens the edit, on that item.
    Column->SetStyle(cbsDropDownList);
    ClickCell(1);
    QTest::keyClick(Client(Grid), Qt::Key_X);
    Pump();
    EXPECT_TRUE(Closed());
    QTest::keyClick(Client(Grid), Qt::Key_T);
    Pump();
    ASSERT_TRUE(Open<TNxComboBox>());
    EXPECT_EQ(Grid->GetInplaceEdit()->GetText(), u"two");
    Key(Qt::Key_Return);
    EXPECT_EQ(Cell(1)->GetAsString(), u"two");
}

TEST_F(KindEditingTest, ListColumnShowsTheItemAndStoresThePickedIndex) {
    auto* Column = MakeGrid<TNxListColumn>(3);
    for (const char16_t* S : {u"red", u"green", u"blue"})
        Column->GetItems()->Add(S);
    Cell(0)->SetAsInteger(2);
    Cell(1)->SetAsInteger(1);
    Show();
    ClickCell(0);
    auto* Box = Open<TNxComboBox>();
    ASSERT_TRUE(Box);
    EXPECT_EQ(Box->GetText(), u"blue"); // the cell holds the index, the editor shows the item
    Key(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Box->GetDroppedDown());
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    Key(Qt::Key_Return);
    EXPECT_EQ(Box->GetText(), u"red");
    Key(Qt::Key_Return);
    ASSERT_TRUE(Closed());
    EXPECT_NE(dynamic_cast<TIntegerCell*>(Cell(0)), nullptr);
    EXPECT_EQ(Cell(0)->GetAsInteger(), 0);

    // Opened and closed with Enter untouched, a cell keeps its index.
    ClickCell(1);
    ASSERT_TRUE(Open<TNxComboBox>());
    EXPECT_EQ(Grid->GetInplaceEdit()->GetText(), u"green");
    Key(Qt::Key_Return);
    EXPECT_EQ(Cell(1)->GetAsInteger(), 1);

    // A typed first letter picks its item.
    ClickCell(2);
    Key(Qt::Key_Escape);
    QTest::keyClick(Client(Grid), Qt::Key_B);
    Pump();
    ASSERT_TRUE(Open<TNxComboBox>());
    EXPECT_EQ(Grid->GetInplaceEdit()->GetText(), u"blue");
    Key(Qt::Key_Return);
    EXPECT_EQ(Cell(2)->GetAsInteger(), 2);
}

TEST_F(KindEditingTest, PopupAndStringsColumnsEditTextInTheirEditor) {
    MakeGrid<TNxPopupColumn>(2);
    Cell(0)->SetAsString(u"p");
    Show();
    ClickCell(0);
    ASSERT_TRUE(Open<TNxEdit>());
    Type("op");
    Key(Qt::Key_Return);
    EXPECT_EQ(Cell(0)->GetAsString(), u"pop");

    auto* Strings = MakeGrid<TNxStringsColumn>(2);
    Strings->GetItems()->Add(u"alpha");
    Show();
    ClickCell(1);
    ASSERT_TRUE(Open<TNxEdit>());
    Type("beta");
    Key(Qt::Key_Return);
    EXPECT_EQ(Cell(1)->GetAsString(), u"beta");
}

TEST_F(KindEditingTest, DateColumnDropsTheCalendarMovesByKeysAndStoresTheDate) {
    auto* Column = MakeGrid<TNxDateColumn>(3);
    Column->SetStartDay(NxClasses::dwMonday);
    const TDateTime Start = EncodeDate(2023, 3, 15);
    Cell(0)->SetAsDateTime(Start);
    Show();
    ClickCell(0);
    auto* Picker = Open<TNxDatePicker>();
    ASSERT_TRUE(Picker);
    EXPECT_DOUBLE_EQ(Picker->GetDate(), Start);
    Key(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Picker->GetDroppedDown());
    EXPECT_EQ(Picker->GetDatePopup()->GetCalendar()->GetStartDay(), NxClasses::dwMonday);
    Key(Qt::Key_Right); // a day on
    Key(Qt::Key_Down);  // a week on
    Key(Qt::Key_Return);
    EXPECT_FALSE(Picker->GetDroppedDown());
    EXPECT_DOUBLE_EQ(Picker->GetDate(), Start + 8);
    Key(Qt::Key_Return);
    ASSERT_TRUE(Closed());
    EXPECT_NE(dynamic_cast<TDateTimeCell*>(Cell(0)), nullptr);
    EXPECT_DOUBLE_EQ(Cell(0)->GetAsDateTime(), Start + 8);
}

TEST_F(KindEditingTest, ColorColumnDropsThePaletteAndStoresTheWebColor) {
    MakeGrid<TNxColorColumn>(3);
    Cell(0)->SetAsString(u"#000000");
    Show();
    ClickCell(0);
    auto* Picker = Open<TNxColorPicker>();
    ASSERT_TRUE(Picker);
    Key(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Picker->GetDroppedDown());
    TNxColorPopup* Popup = Picker->GetColorPopup();
    const int Start = Popup->GetSelectedIndex();
    ASSERT_GE(Start, 0); // black is in the palette
    Key(Qt::Key_Right);
    const TColor Expected = Popup->GetColors()[Start + 1];
    Key(Qt::Key_Return);
    EXPECT_FALSE(Picker->GetDroppedDown());
    EXPECT_EQ(Picker->GetSelected(), Expected);
    Key(Qt::Key_Return);
    ASSERT_TRUE(Closed());
    const TColor Rgb = ColorToRGB(Expected);
    char Hex[8];
    std::snprintf(Hex, sizeof Hex, "#%02X%02X%02X", GetRValue(Rgb), GetGValue(Rgb), GetBValue(Rgb));
    EXPECT_EQ(Cell(0)->GetAsString(), WideString(Hex, Hex + 7));
}

} // namespace
