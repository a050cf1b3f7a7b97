// Cell editing and the input row, driven by real clicks and keys.
#include <QTest>

#include "GridTestSupport.h"
#include "controls/NxEdit.h"
#include "grid/view/NextGrid.h"

namespace {

// Counts the repaints done at once (not the invalidations painted later).
class TCountingEdit : public NxEdit::TNxEdit {
public:
    using NxEdit::TNxEdit::TNxEdit;
    void Repaint() override {
        ++Repaints;
        NxEdit::TNxEdit::Repaint();
    }
    int Repaints = 0;
};

class TEditableColumn : public TPlainTextColumn {
public:
    explicit TEditableColumn(TObject* AOwner = nullptr) : TPlainTextColumn(AOwner) {
        SetOptions(GetOptions() + TColumnOptions{coEditing});
    }
    std::unique_ptr<TObject> CreateCellEditor() override { return std::make_unique<TCountingEdit>(nullptr); }
    TColumnStyle GetColumnStyle() const override {
        TColumnStyle Style{csCanEdit};
        if (WantReturns) Style.Include(csWantReturns);
        if (RedrawEditor) Style.Include(csRedrawInplaceEdit);
        return Style;
    }
    bool IsKeyValid(WideChar) override { return true; }
    bool WantReturns = false;
    bool RedrawEditor = false;
};

struct GridEditingTest : ::testing::Test {
    std::unique_ptr<TForm> Form;
    TNextGrid* Grid = nullptr;
    NxEdit::TNxEdit* Other = nullptr; // a second control that takes the focus on a click

    void MakeGrid(int Rows, TGridOptions Extra = {}) {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(40, 40, 440, 240);
        Grid = new TNextGrid(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, 300, 200);
        Grid->SetOptions(Grid->GetOptions() + Extra);
        Other = new NxEdit::TNxEdit(Form.get());
        Other->SetParent(Form.get());
        Other->SetBounds(310, 0, 100, 21);
        for (int c = 0; c < 3; ++c)
            Grid->GetColumns()->Add<TEditableColumn>(u"Col")->SetWidth(80);
        Grid->AddRow(Rows);
        for (int r = 0; r < Rows; ++r)
            for (int c = 0; c < 3; ++c)
                Grid->SetCells(c, r, u"v" + GridFixture::ToWide(r) + GridFixture::ToWide(c));
        ASSERT_TRUE(ShowAndWait(Form.get()));
        Pump();
    }
    TEditableColumn* Column(int i) { return static_cast<TEditableColumn*>(Grid->GetColumns()->GetItem(i)); }
    QPoint CellCenter(int c, int r) {
        TRect R = Grid->GetCellRect(c, r);
        return QPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2);
    }
    void Click(QPoint P) {
        QTest::mouseClick(Client(Grid), Qt::LeftButton, Qt::NoModifier, P);
        Pump();
    }
    QWidget* EditorWidget() { return Client(Grid->GetInplaceEdit()); }
    void KeyToEditor(Qt::Key Key) {
        QTest::keyClick(EditorWidget(), Key);
        Pump();
    }
    void KeyToGrid(Qt::Key Key) {
        QTest::keyClick(Client(Grid), Key);
        Pump();
    }
    void Type(const char* Text) {
        QTest::keyClicks(EditorWidget(), Text);
        Pump();
    }
    QPoint InputCenter(int c) {
        TRect Input = Grid->GetInputRect();
        return QPoint(Column(c)->GetLeft() + 20, (Input.Top + Input.Bottom) / 2);
    }
    bool EditorShown() {
        auto* E = Grid->GetInplaceEdit();
        return E && E->GetVisible() && EditorWidget() && EditorWidget()->isVisible();
    }
};

TEST_F(GridEditingTest, RepaintingTheEditedCellKeepsOffTheEditor) {
    MakeGrid(5);
    Grid->EditCell(1, 2, u"x");
    ASSERT_TRUE(EditorShown());
    Grid->Update();
    const TRect Ed = Grid->GetInplaceEdit()->GetBoundsRect();
    QImage& Pixels = Grid->GetWindowPrivate()->Pixels;
    const QPoint Inside((Ed.Left + Ed.Right) / 2, (Ed.Top + Ed.Bottom) / 2), Edge(Ed.Left, Ed.Top);
    Pixels.setPixel(Inside, qRgb(1, 2, 3));
    Pixels.setPixel(Edge, qRgb(1, 2, 3));
    Grid->RefreshCell(1, 2);
    Grid->Update();
    EXPECT_EQ(Pixels.pixel(Inside) & 0xFFFFFF, qRgb(1, 2, 3) & 0xFFFFFF) << "under the editor: not painted";
    EXPECT_NE(Pixels.pixel(Edge) & 0xFFFFFF, qRgb(1, 2, 3) & 0xFFFFFF)
        << "its outer pixel ring is the cell's";
}

TEST_F(GridEditingTest, ReadOnlyGridNeverShowsAnEditor) {
    MakeGrid(5);
    Grid->SetReadOnly(true);
    Click(CellCenter(1, 1));
    Click(CellCenter(1, 1));
    QTest::keyClick(Client(Grid), Qt::Key_X);
    Pump();
    Grid->EditCell(1, 1, u"y");
    Grid->StartEdit(1, 1, u'z');
    EXPECT_EQ(Grid->GetInplaceEdit(), nullptr);
    EXPECT_FALSE(Grid->GetGridState().Contains(gtEdit));
    EXPECT_FALSE(Grid->ApplyEditing());
    Grid->EndEditing();
    EXPECT_EQ(Grid->GetCells(1, 1), u"v11");
}

TEST_F(GridEditingTest, ClickOpensAtOnceButSecondClickEditWaitsForASecondClick) {
    MakeGrid(5);
    Click(CellCenter(1, 2));
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(Grid->GetEditingCell(), (TPoint{1, 2}));
    EXPECT_EQ(Grid->GetInplaceEdit()->GetText(), u"v21");
    // The editor lies inside the cell, one pixel in from each side.
    TRect Cell = Grid->GetCellRect(1, 2);
    TRect Ed = Grid->GetInplaceEdit()->GetBoundsRect();
    EXPECT_GT(Ed.Left, Cell.Left);
    EXPECT_LT(Ed.Right, Cell.Right);
    EXPECT_EQ(Ed.Top, Cell.Top + 1);

    MakeGrid(5, TGridOptions{goSecondClickEdit});
    Click(CellCenter(2, 3));
    EXPECT_EQ(Grid->GetSelectedRow(), 3);
    EXPECT_FALSE(Grid->GetGridState().Contains(gtEdit));
    Click(CellCenter(2, 3));
    EXPECT_TRUE(EditorShown());
    EXPECT_EQ(Grid->GetEditingCell(), (TPoint{2, 3}));
}

TEST_F(GridEditingTest, TypedCharacterOpensTheEditorWithItAndEnterWritesTheCell) {
    MakeGrid(5, TGridOptions{goSecondClickEdit});
    Click(CellCenter(0, 1));
    ASSERT_FALSE(Grid->GetGridState().Contains(gtEdit));
    std::vector<WideString> Edits;
    Grid->OnEdit = [&](TObject*, int, int, const WideString& V) { Edits.push_back(V); };
    QTest::keyClick(Client(Grid), Qt::Key_X);
    Pump();
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(Grid->GetInplaceEdit()->GetText(), u"x");
    EXPECT_EQ(Grid->GetInplaceEdit()->GetSelStart(), 1);
    EXPECT_EQ(Grid->GetInplaceEdit()->GetSelLength(), 0);
    QTest::keyClick(EditorWidget(), Qt::Key_Y);
    Pump();
    EXPECT_EQ(Grid->GetInplaceEdit()->GetText(), u"xy");
    ASSERT_FALSE(Edits.empty());
    EXPECT_EQ(Edits.back(), u"xy");
    KeyToEditor(Qt::Key_Return);
    EXPECT_EQ(Grid->GetInplaceEdit(), nullptr);
    EXPECT_EQ(Grid->GetCells(0, 1), u"xy");
    EXPECT_TRUE(Grid->Focused());
}

TEST_F(GridEditingTest, EscDiscardsOrWithEscClearEditEmptiesAndKeepsEditing) {
    MakeGrid(5);
    Click(CellCenter(1, 1));
    ASSERT_TRUE(EditorShown());
    QTest::keyClicks(EditorWidget(), "abc");
    int Exits = 0;
    Grid->OnEditExit = [&](TObject*) { ++Exits; };
    KeyToEditor(Qt::Key_Escape);
    EXPECT_EQ(Grid->GetInplaceEdit(), nullptr);
    EXPECT_EQ(Grid->GetCells(1, 1), u"v11");
    EXPECT_EQ(Exits, 1);
    EXPECT_TRUE(Grid->Focused());

    Grid->SetOptions(Grid->GetOptions() + TGridOptions{goEscClearEdit});
    Click(CellCenter(1, 2));
    ASSERT_TRUE(EditorShown());
    KeyToEditor(Qt::Key_Escape);
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(Grid->GetInplaceEdit()->GetText(), u"");
    EXPECT_EQ(Grid->GetCells(1, 2), u"v21");
    QTest::keyClicks(EditorWidget(), "n");
    KeyToEditor(Qt::Key_Return);
    EXPECT_EQ(Grid->GetCells(1, 2), u"n");
}

TEST_F(GridEditingTest, EnterInAColumnWantingReturnsKeepsTheEditorOpen) {
    MakeGrid(5);
    Column(1)->WantReturns = true;
    Click(CellCenter(1, 1));
    ASSERT_TRUE(EditorShown());
    KeyToEditor(Qt::Key_Return);
    EXPECT_TRUE(EditorShown());
    EXPECT_TRUE(Grid->GetGridState().Contains(gtEdit));
    EXPECT_EQ(Grid->GetCells(1, 1), u"v11");
}

TEST_F(GridEditingTest, NoCloseButEscDiscardsTheText) {
    MakeGrid(40);
    // Focus moving to another control stores the text and closes the editor.
    Click(CellCenter(0, 0));
    ASSERT_TRUE(EditorShown());
    QTest::keyClicks(EditorWidget(), "zz");
    Other->SetFocus();
    Pump();
    EXPECT_EQ(Grid->GetInplaceEdit(), nullptr);
    EXPECT_EQ(Grid->GetCells(0, 0), u"v00zz");

    // A press on another cell stores it; a scroll request from the bar stores the next one.
    Click(CellCenter(0, 1));
    EXPECT_EQ(Grid->GetCells(0, 0), u"v00zz");
    ASSERT_TRUE(EditorShown());
    QTest::keyClicks(EditorWidget(), "yy");
    Grid->GetVertScrollBar()->Next();
    Pump();
    EXPECT_EQ(Grid->GetInplaceEdit(), nullptr);
    EXPECT_FALSE(Grid->GetGridState().Contains(gtEdit));
    EXPECT_EQ(Grid->GetCells(0, 1), u"v10yy");

    // A row operation ends the edit first.
    Click(CellCenter(2, 3));
    ASSERT_TRUE(EditorShown());
    Grid->DeleteRow(3);
    EXPECT_EQ(Grid->GetInplaceEdit(), nullptr);
}

TEST_F(GridEditingTest, APressElsewhereStoresTheTextAndOnEditExitSeesTheEditedCell) {
    MakeGrid(5);
    std::vector<TPoint> Exits;
    Grid->OnEditExit = [&](TObject*) { Exits.push_back(Grid->GetEditingCell()); };
    Click(CellCenter(0, 1));
    Type("zz");
    Click(CellCenter(2, 3));
    EXPECT_EQ(Grid->GetCells(0, 1), u"v10zz");
    EXPECT_EQ(Grid->GetSelectedRow(), 3);
    EXPECT_EQ(Grid->GetEditingCell(), (TPoint{2, 3}));
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(Grid->GetInplaceEdit()->GetText(), u"v32");
    // Right of the last column lies outside every area: the press still stores the text.
    Type("q");
    Click(QPoint(Grid->GetClientWidth() - 20, CellCenter(0, 1).y()));
    EXPECT_EQ(Grid->GetCells(2, 3), u"v32q");
    EXPECT_EQ(Grid->GetInplaceEdit(), nullptr);
    EXPECT_EQ(Exits, (std::vector<TPoint>{{0, 1}, {2, 3}}));
}

TEST_F(GridEditingTest, TabStoresAndMovesToTheNextCellWhileTheGridKeepsTheFocus) {
    MakeGrid(5);
    Grid->SetWantTabs(true);
    Grid->SetBiDiMode(bdRightToLeft);
    Click(CellCenter(0, 1));
    ASSERT_TRUE(EditorShown());
    EXPECT_TRUE(Grid->GetInplaceEdit()->GetWantTabs());
    EXPECT_EQ(Grid->GetInplaceEdit()->GetBiDiMode(), bdRightToLeft);
    Type("zz");
    KeyToEditor(Qt::Key_Tab);
    EXPECT_EQ(Grid->GetCells(0, 1), u"v10zz");
    EXPECT_EQ(Grid->GetInplaceEdit(), nullptr);
    EXPECT_EQ(Grid->GetSelectedColumn(), 1);
    EXPECT_EQ(Grid->GetSelectedRow(), 1);
    EXPECT_TRUE(Grid->Focused());
    EXPECT_FALSE(Other->Focused());
}

TEST_F(GridEditingTest, ClickingAnotherControlStoresTheTextBeforeOnExit) {
    MakeGrid(5);
    std::vector<WideString> AtExit;
    Grid->OnExit = [&](TObject*) { AtExit.push_back(Grid->GetCells(1, 2)); };
    Click(CellCenter(1, 2));
    Type("zz");
    QTest::mouseClick(Client(Other), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    Pump();
    ASSERT_TRUE(Other->Focused());
    EXPECT_EQ(Grid->GetCells(1, 2), u"v21zz");
    EXPECT_EQ(Grid->GetInplaceEdit(), nullptr);
    EXPECT_FALSE(Grid->GetGridState().Contains(gtEdit));
    EXPECT_EQ(AtExit, (std::vector<WideString>{u"v21zz"}));

    // Shift+Tab back reaches the grid itself; the next key starts a new edit.
    QTest::keyClick(Client(Other), Qt::Key_Backtab, Qt::ShiftModifier);
    Pump();
    ASSERT_TRUE(Grid->Focused());
    EXPECT_EQ(Grid->GetInplaceEdit(), nullptr);
    KeyToGrid(Qt::Key_U);
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(Grid->GetInplaceEdit()->GetText(), u"u");
}

TEST_F(GridEditingTest, TabWithoutWantTabsStoresTheTextAndMovesTheFocusOn) {
    MakeGrid(5);
    Click(CellCenter(0, 3));
    Type("t");
    KeyToEditor(Qt::Key_Tab);
    EXPECT_TRUE(Other->Focused());
    EXPECT_EQ(Grid->GetCells(0, 3), u"v30t");
    EXPECT_EQ(Grid->GetInplaceEdit(), nullptr);
}

TEST_F(GridEditingTest, TextLeftForAnotherControlSurvivesASortAndAClearOfTheRows) {
    MakeGrid(5);
    std::vector<WideString> Stored;
    Grid->OnAfterEdit = [&](TObject*, int, int, const WideString& V) { Stored.push_back(V); };
    Click(CellCenter(0, 2));
    Type("zz");
    QTest::mouseClick(Client(Other), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    Pump();
    // A header click sorts the rows with the typed text among them.
    const TRect Header = Grid->GetHeaderRect();
    Click(QPoint(Column(0)->GetLeft() + 20, (Header.Top + Header.Bottom) / 2));
    ASSERT_TRUE(Column(0)->GetSorted());
    int Found = 0;
    for (int r = 0; r < Grid->GetRowCount(); ++r)
        Found += Grid->GetCells(0, r) == u"v20zz";
    EXPECT_EQ(Found, 1);

    Click(CellCenter(1, 1));
    Type("y");
    QTest::mouseClick(Client(Other), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    Pump();
    const WideString Typed = Stored.empty() ? WideString() : Stored.back();
    Grid->ClearRows();
    EXPECT_EQ(Stored.size(), 2u);
    EXPECT_EQ(Typed.substr(Typed.size() - 1), u"y");
}

TEST_F(GridEditingTest, ClosingTheFormStoresTheOpenEditBeforeOnExitAndTheCloseHandlers) {
    MakeGrid(5);
    std::vector<WideString> Heard;
    bool CanClose = false;
    Grid->OnExit = [&](TObject*) { Heard.push_back(u"exit " + Grid->GetCells(1, 2)); };
    Grid->OnEnter = [&](TObject*) { Heard.push_back(u"enter"); };
    Form->OnCloseQuery = [&](TObject*, bool& Can) {
        Heard.push_back(u"query " + Grid->GetCells(1, 2));
        Can = CanClose;
    };
    Click(CellCenter(1, 2));
    Type("zz");
    Heard.clear();
    // A refused close keeps the form, with the text stored and the grid focused again.
    Form->Close();
    Pump();
    EXPECT_EQ(Grid->GetCells(1, 2), u"v21zz");
    EXPECT_EQ(Grid->GetInplaceEdit(), nullptr);
    EXPECT_TRUE(Form->GetVisible());
    EXPECT_TRUE(Grid->Focused());
    EXPECT_EQ(Heard, (std::vector<WideString>{u"exit v21zz", u"query v21zz", u"enter"}));

    Heard.clear();
    KeyToGrid(Qt::Key_Y);
    ASSERT_TRUE(EditorShown());
    CanClose = true;
    Form->Close();
    Pump();
    EXPECT_FALSE(Form->GetVisible());
    EXPECT_EQ(Grid->GetCells(1, 2), u"y");
    EXPECT_EQ(Heard, (std::vector<WideString>{u"exit y", u"query y"}));
}

TEST_F(GridEditingTest, AFormFreedWithAnOpenEditStoresItWhileTheFormIsWhole) {
    MakeGrid(5);
    WideString AtExit, AtDestroy;
    bool Freed = false;
    Grid->OnExit = [&](TObject*) { AtExit = Grid->GetCells(0, 1); };
    Form->OnDestroy = [&](TObject*) {
        AtDestroy = Grid->GetCells(0, 1);
        Freed = true;
    };
    Click(CellCenter(0, 1));
    Type("zz");
    // Freed the way the application frees it: Release, done once pending messages have run.
    Form.release()->Release();
    for (int i = 0; i < 100 && !Freed; ++i)
        Pump();
    ASSERT_TRUE(Freed);
    EXPECT_EQ(AtExit, u"v10zz");
    EXPECT_EQ(AtDestroy, u"v10zz");
}

TEST_F(GridEditingTest, TheGridsOwnEditorTakingTheFocusRaisesNoExit) {
    MakeGrid(5, TGridOptions{goSecondClickEdit});
    int Exits = 0, Enters = 0;
    Grid->OnExit = [&](TObject*) { ++Exits; };
    Grid->OnEnter = [&](TObject*) { ++Enters; };
    Click(CellCenter(0, 1));
    ASSERT_TRUE(Grid->Focused());
    Enters = 0;
    Click(CellCenter(0, 1));
    ASSERT_TRUE(EditorShown());
    ASSERT_TRUE(Grid->GetInplaceEdit()->Focused());
    KeyToEditor(Qt::Key_Return);
    KeyToGrid(Qt::Key_X);
    ASSERT_TRUE(Grid->GetInplaceEdit() && Grid->GetInplaceEdit()->Focused());
    KeyToEditor(Qt::Key_Escape);
    EXPECT_TRUE(Grid->Focused());
    EXPECT_EQ(Exits, 0);
    EXPECT_EQ(Enters, 0);
}

TEST_F(GridEditingTest, TheEditedRowKeepsItsHighlightWhileTheEditorHasTheFocus) {
    MakeGrid(5, TGridOptions{goSelectFullRow});
    Click(CellCenter(0, 2));
    ASSERT_TRUE(EditorShown());
    ASSERT_TRUE(Grid->GetInplaceEdit()->Focused());
    Grid->Invalidate();
    Grid->Update();
    // Beside the edited cell the row is painted in the focused selection color.
    const TRect Cell = Grid->GetCellRect(2, 2);
    const QPoint Beside(Cell.Right - 6, Cell.Top + 3);
    EXPECT_EQ(Grid->GetWindowPrivate()->Pixels.pixel(Beside) & 0xFFFFFF, QtColor(clHighlight) & 0xFFFFFF);
    EXPECT_TRUE(Grid->GetPaintState(2, 2).Contains(csFocused));
    EXPECT_TRUE(Grid->GetPaintState(2, 2).Contains(csSelected));
    // Once the focus is elsewhere the selection hides (aoHideSelection).
    Other->SetFocus();
    Pump();
    Grid->Update();
    EXPECT_EQ(Grid->GetWindowPrivate()->Pixels.pixel(Beside) & 0xFFFFFF, QtColor(clWindow) & 0xFFFFFF);
}

TEST_F(GridEditingTest, ACellScrolledOutOfTheBodyHidesItsEditorUntilItComesBack) {
    MakeGrid(40, TGridOptions{goFooter});
    TNxScrollBar* Bar = Grid->GetVertScrollBar();
    Click(CellCenter(0, 2));
    Type("zz");
    Bar->MoveBy(10); // above the body
    Pump();
    EXPECT_FALSE(EditorShown());
    EXPECT_TRUE(Grid->GetGridState().Contains(gtEdit));
    Bar->MoveBy(-10);
    Pump();
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(Grid->GetInplaceEdit()->GetBoundsRect().Top, Grid->GetCellRect(0, 2).Top + 1);
    Type("w"); // typing goes on after the text, nothing selected
    EXPECT_EQ(Grid->GetInplaceEdit()->GetText(), u"v20zzw");
    EXPECT_EQ(Grid->GetCells(0, 2), u"v20");

    Bar->MoveBy(10);
    Pump();
    Click(CellCenter(1, 11));
    EXPECT_EQ(Grid->GetCells(0, 2), u"v20zzw");
    Type("yy");
    Bar->MoveBy(-10); // below the body, where the footer is
    Pump();
    ASSERT_GT(Grid->GetRowRect(11).Top, Grid->GetBodyRect().Bottom);
    EXPECT_FALSE(EditorShown());
    Bar->MoveBy(10);
    Pump();
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(Grid->GetInplaceEdit()->GetText(), u"v111yy");
    EXPECT_LE(Grid->GetInplaceEdit()->GetBoundsRect().Bottom, Grid->GetBodyRect().Bottom);
}

TEST_F(GridEditingTest, APressOnABodyRowAddsTheInputRowThenSelectsTheClickedRow) {
    MakeGrid(5, TGridOptions{goInput});
    Click(InputCenter(0));
    ASSERT_TRUE(Grid->GetGridState().Contains(gtInput));
    Type("new");
    Click(CellCenter(1, 2));
    ASSERT_EQ(Grid->GetRowCount(), 6);
    EXPECT_EQ(Grid->GetCells(0, 5), u"new");
    EXPECT_FALSE(Grid->GetInputSelected());
    EXPECT_FALSE(Grid->GetGridState().Contains(gtInput));
    EXPECT_EQ(Grid->GetSelectedRow(), 2);
    EXPECT_EQ(Grid->GetSelectedColumn(), 1);
    EXPECT_EQ(Grid->GetEditingCell(), (TPoint{1, 2}));
}

TEST_F(GridEditingTest, PageUpWithTheInputEditorOpenLeavesTheInputRowKeepingItsText) {
    MakeGrid(5, TGridOptions{goInput, goSecondClickEdit});
    Click(CellCenter(0, 0));
    KeyToGrid(Qt::Key_Up);
    ASSERT_TRUE(Grid->GetInputSelected());
    KeyToGrid(Qt::Key_X);
    ASSERT_TRUE(Grid->GetGridState().Contains(gtInput));
    ASSERT_TRUE(EditorShown());
    KeyToEditor(Qt::Key_PageUp);
    EXPECT_FALSE(Grid->GetGridState().Contains(gtInput));
    EXPECT_FALSE(Grid->GetInputSelected());
    EXPECT_EQ(Grid->GetInplaceEdit(), nullptr);
    EXPECT_FALSE(Column(0)->GetInputEditing());
    EXPECT_EQ(Column(0)->GetInputValue(), u"x");
    EXPECT_EQ(Grid->GetSelectedRow(), 0);
    EXPECT_TRUE(Grid->Focused());
}

TEST_F(GridEditingTest, PageKeysAndSetSelectedRowWhileEditingStoreTheTypedTextInItsOwnCell) {
    MakeGrid(40);
    // Page Down from a row above the bottom of the view goes to the last row in view.
    Click(CellCenter(0, 1));
    Type("zz");
    KeyToEditor(Qt::Key_PageDown);
    EXPECT_EQ(Grid->GetCells(0, 1), u"v10zz");
    const int LastInView = Grid->GetSelectedRow();
    EXPECT_GT(LastInView, 1);
    EXPECT_EQ(Grid->GetCells(0, LastInView), u"v" + GridFixture::ToWide(LastInView) + u"0");
    EXPECT_EQ(Grid->GetInplaceEdit(), nullptr);

    // From the bottom of the view Page Down moves a page; Page Up from below the top goes to the top.
    for (Qt::Key Key : {Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_PageUp}) {
        const int Row = Grid->GetSelectedRow();
        Click(CellCenter(2, Row));
        ASSERT_TRUE(EditorShown()) << Row;
        Type("p");
        KeyToEditor(Key);
        EXPECT_EQ(Grid->GetCells(2, Row), u"v" + GridFixture::ToWide(Row) + u"2p") << Row;
        EXPECT_NE(Grid->GetSelectedRow(), Row);
        EXPECT_EQ(Grid->GetInplaceEdit(), nullptr);
    }

    // A caller choosing another row while a cell is edited keeps the text too.
    Click(CellCenter(1, 3));
    Type("s");
    Grid->SetSelectedRow(5);
    EXPECT_EQ(Grid->GetCells(1, 3), u"v31s");
    EXPECT_EQ(Grid->GetCells(1, 5), u"v51");
    EXPECT_EQ(Grid->GetSelectedRow(), 5);
    EXPECT_FALSE(Grid->GetGridState().Contains(gtEdit));
    // And so does another column of the same row.
    Click(CellCenter(1, 5));
    Type("c");
    Grid->SetSelectedColumn(2);
    EXPECT_EQ(Grid->GetCells(1, 5), u"v51c");
    EXPECT_EQ(Grid->GetCells(2, 5), u"v52");
    EXPECT_FALSE(Grid->GetGridState().Contains(gtEdit));
}

TEST_F(GridEditingTest, EnterInAnOpenEditorMovesTheSelectionOnceOrWithoutWantReturnsNotAtAll) {
    MakeGrid(10);
    Click(CellCenter(0, 3));
    Type("a");
    KeyToEditor(Qt::Key_Return);
    EXPECT_EQ(Grid->GetCells(0, 3), u"v30a");
    EXPECT_EQ(Grid->GetSelectedRow(), 4);
    Grid->SetWantReturns(false);
    Click(CellCenter(0, 6));
    Type("b");
    KeyToEditor(Qt::Key_Return);
    EXPECT_EQ(Grid->GetCells(0, 6), u"v60b");
    EXPECT_EQ(Grid->GetSelectedRow(), 6);
    EXPECT_EQ(Grid->GetInplaceEdit(), nullptr);
}

TEST_F(GridEditingTest, SettingEditingCellOpensItAndRedrawInplaceEditRepaintsAtOnce) {
    MakeGrid(5);
    Grid->SetEditingCell(TPoint{2, 1});
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(Grid->GetInplaceEdit()->GetText(), u"v12");
    auto* Editor = static_cast<TCountingEdit*>(Grid->GetInplaceEdit());
    EXPECT_EQ(Editor->Repaints, 0);
    Grid->EndEditing();
    Column(1)->RedrawEditor = true;
    Grid->SetEditingCell(TPoint{1, 1});
    ASSERT_TRUE(EditorShown());
    EXPECT_GE(static_cast<TCountingEdit*>(Grid->GetInplaceEdit())->Repaints, 1);
}

TEST_F(GridEditingTest, RefusalsOfBeforeEditAndEditAcceptLeaveTheCell) {
    MakeGrid(5);
    Grid->OnBeforeEdit = [](TObject*, int ACol, int, bool& Accept) { Accept = ACol != 2; };
    Click(CellCenter(2, 1));
    EXPECT_EQ(Grid->GetInplaceEdit(), nullptr);
    Grid->OnEditAccept = [](TObject*, int, int, const WideString& V, bool& Accept) { Accept = V != u"bad"; };
    Grid->EditCell(1, 1, u"bad");
    ASSERT_TRUE(EditorShown());
    EXPECT_FALSE(Grid->ApplyEditing());
    Grid->EndEditing();
    EXPECT_EQ(Grid->GetCells(1, 1), u"v11");
    Grid->EditCell(1, 1, u"good");
    EXPECT_TRUE(Grid->ApplyEditing());
    EXPECT_EQ(Grid->GetCells(1, 1), u"good");
    EXPECT_TRUE(Grid->GetGridState().Contains(gtEdit)); // applying does not close
}

TEST_F(GridEditingTest, InputRowAddsARowWithDefaultValuesAndEmptiesTheInputs) {
    MakeGrid(2, TGridOptions{goInput});
    Column(2)->SetDefaultValue(u"dflt");
    Column(1)->SetInputValue(u"old");
    int Added = 0;
    Grid->OnInputAdded = [&](TObject*) { ++Added; };
    TRect Input = Grid->GetInputRect();
    Click(QPoint(Column(0)->GetLeft() + 20, (Input.Top + Input.Bottom) / 2));
    ASSERT_TRUE(EditorShown());
    EXPECT_TRUE(Grid->GetGridState().Contains(gtInput));
    EXPECT_TRUE(Grid->GetInputSelected());
    EXPECT_TRUE(Column(0)->GetInputEditing());
    QTest::keyClicks(EditorWidget(), "new");
    Pump();
    TRect Ed = Grid->GetInplaceEdit()->GetBoundsRect();
    EXPECT_GE(Ed.Top, Input.Top);
    EXPECT_LE(Ed.Bottom, Grid->GetBodyRect().Top);
    Grid->Update();
    // The edited input cell is framed in the column's color, not filled with the highlight.
    const QRgb Frame = Grid->GetWindowPrivate()->Pixels.pixel(Column(0)->GetLeft(), Input.Top);
    EXPECT_EQ(Frame & 0xFFFFFF, QtColor(Column(0)->GetColor()) & 0xFFFFFF);
    EXPECT_NE(Frame & 0xFFFFFF, QtColor(clHighlight) & 0xFFFFFF);
    QImage Shot = Grid->GetWindowPrivate()->Pixels.copy();
    QWidget* E = EditorWidget();
    QPainter(&Shot).drawImage(E->geometry().topLeft(), E->grab().toImage());
    Shot.save(QString::fromStdString(OutDir() + "/grid-input-row-editor.png"));

    KeyToEditor(Qt::Key_Return);
    ASSERT_EQ(Grid->GetRowCount(), 3);
    EXPECT_EQ(Added, 1);
    EXPECT_EQ(Grid->GetCells(0, 2), u"new");
    EXPECT_EQ(Grid->GetCells(1, 2), u"old");
    EXPECT_EQ(Grid->GetCells(2, 2), u"dflt");
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(Column(c)->GetInputValue(), u"");
    EXPECT_TRUE(EditorShown()); // the input editor stays for the next row
    EXPECT_EQ(Grid->GetInplaceEdit()->GetText(), u"");

    Grid->OnInputAccept = [](TObject*, bool& Accept) { Accept = false; };
    Grid->AddRowFromInput();
    EXPECT_EQ(Grid->GetRowCount(), 3);

    // In the input row, choosing another column tells of it once; the same column again, never.
    ASSERT_TRUE(Grid->GetInputSelected());
    std::vector<int> Chosen;
    Grid->OnInputSelectCell = [&](TObject*, int ACol) { Chosen.push_back(ACol); };
    Grid->SetSelectedColumn(1);
    Grid->SetSelectedColumn(1);
    Grid->SetSelectedColumn(2);
    EXPECT_EQ(Chosen, (std::vector<int>{1, 2}));
}

} // namespace
