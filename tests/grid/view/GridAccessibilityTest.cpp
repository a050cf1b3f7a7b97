// The grid through Qt's accessibility interfaces: a table of a million rows described on demand,
// cell texts as drawn, selection by click and by assistive technology, and change announcements.
#include <QAccessible>

#include "GridTestSupport.h"
#include "grid/model/ProgressColumn.h"
#include "grid/view/GridAccessibility.h"

namespace {

struct TAnnounced {
    QAccessible::Event Type;
    int Col, Row;
};
std::vector<TAnnounced>& Announced() {
    static std::vector<TAnnounced> a;
    return a;
}
void Record(QAccessibleEvent* e) {
    QAccessibleInterface* i = e->accessibleInterface();
    QAccessibleTableCellInterface* cell = i ? i->tableCellInterface() : nullptr;
    Announced().push_back({e->type(), cell ? cell->columnIndex() : -1, cell ? cell->rowIndex() : -1});
}
// Listens as the desktop's accessibility bus would, for the test's lifetime.
struct TListening {
    TListening() {
        Announced().clear();
        Previous = QAccessible::installUpdateHandler(Record);
    }
    ~TListening() { QAccessible::installUpdateHandler(Previous); }
    QAccessible::UpdateHandler Previous;
};
int CountOf(QAccessible::Event Type) {
    int n = 0;
    for (auto& a : Announced())
        n += a.Type == Type;
    return n;
}

struct GridAccessibilityTest : GridFixture {
    QAccessibleInterface* Table() { return QAccessible::queryAccessibleInterface(Client(Grid)); }
    QAccessibleTableInterface* Cells() { return Table()->tableInterface(); }
};

TEST_F(GridAccessibilityTest, AMillionRowsAreATableWhoseCellsAreMadeOnlyWhenAskedFor) {
    MakeGrid(3, 1000000);
    Grid->SetHint(u"Files");
    QAccessibleInterface* t = Table();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->role(), QAccessible::Table);
    EXPECT_EQ(t->text(QAccessible::Name), "Files");
    ASSERT_NE(Cells(), nullptr);
    EXPECT_EQ(Cells()->rowCount(), 1000000);
    EXPECT_EQ(Cells()->columnCount(), 3);
    EXPECT_EQ(t->child(2)->role(), QAccessible::ColumnHeader);
    EXPECT_EQ(t->child(2)->text(QAccessible::Name), "Col 2");
    EXPECT_EQ(Cells()->columnDescription(1), "Col 1");
    EXPECT_EQ(t->child(2)->rect().height(), Grid->GetHeaderRect().Height());

    QAccessibleInterface* cell = Cells()->cellAt(5, 1);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->text(QAccessible::Name), "r5c1");
    TRect clientCell = Grid->GetCellRect(1, 5);
    TPoint screen = Grid->ClientToScreen({clientCell.Left, clientCell.Top});
    EXPECT_EQ(cell->rect(), QRect(screen.X, screen.Y, clientCell.Width(), clientCell.Height()));
    EXPECT_EQ(t->childAt(cell->rect().center().x(), cell->rect().center().y()), cell);
    EXPECT_FALSE(cell->state().invisible);

    QAccessibleInterface* far = Cells()->cellAt(999999, 2);
    ASSERT_NE(far, nullptr);
    EXPECT_TRUE(far->state().invisible);
    EXPECT_TRUE(far->rect().isEmpty());
    EXPECT_EQ(Cells()->cellAt(1000000, 0), nullptr);

    // A client walking down the rows does not pile up cells: early ones are let go.
    QAccessible::Id first = QAccessible::uniqueId(Cells()->cellAt(0, 0));
    for (int row = 0; row < 3000; ++row)
        Cells()->cellAt(row, 0);
    EXPECT_EQ(QAccessible::accessibleInterface(first), nullptr);
}

TEST_F(GridAccessibilityTest, ClickSelectsARowThatIsReportedAndAnnounced) {
    MakeGrid(3, 50);
    Grid->SetOptions(Grid->GetOptions() + TGridOptions{goSelectFullRow});
    TListening listening;
    TRect clientCell = Grid->GetCellRect(1, 3);
    QTest::mouseClick(Client(Grid), Qt::LeftButton, Qt::NoModifier,
                      QPoint(clientCell.Left + 5, clientCell.Top + 3));
    ASSERT_EQ(Grid->GetSelectedRow(), 3);
    EXPECT_EQ(Cells()->selectedRows(), QList<int>{3});
    EXPECT_EQ(Cells()->selectedRowCount(), 1);
    EXPECT_TRUE(Cells()->isRowSelected(3));
    EXPECT_TRUE(Cells()->cellAt(3, 0)->state().selected);
    EXPECT_FALSE(Cells()->cellAt(2, 0)->state().selected);
    EXPECT_GE(CountOf(QAccessible::SelectionWithin), 1);
    ASSERT_TRUE(Grid->Focused());
    auto focus = std::find_if(Announced().begin(), Announced().end(),
                              [](const TAnnounced& a) { return a.Type == QAccessible::Focus; });
    ASSERT_NE(focus, Announced().end());
    // Whole rows are selected: the row's first cell alone has the focus.
    EXPECT_EQ(focus->Row, 3);
    EXPECT_EQ(focus->Col, 0);
    EXPECT_EQ(Table()->focusChild(), Cells()->cellAt(3, 0));
    EXPECT_TRUE(Cells()->cellAt(3, 0)->state().focused);
    EXPECT_FALSE(Cells()->cellAt(3, 1)->state().focused);

    // Assistive technology selects as a click would.
    EXPECT_TRUE(Cells()->selectRow(7));
    EXPECT_EQ(Grid->GetSelectedRow(), 7);
    EXPECT_EQ(Cells()->selectedRows(), QList<int>{7});
    EXPECT_FALSE(Cells()->selectRow(50));
}

TEST_F(GridAccessibilityTest, NoCellHasTheFocusWhileAnotherControlHasItAndEverySelectedCellIsCounted) {
    MakeGrid(3, 50);
    Grid->SetOptions(Grid->GetOptions() + TGridOptions{goSelectFullRow, goMultiSelect});
    TRect clientCell = Grid->GetCellRect(1, 2);
    QTest::mouseClick(Client(Grid), Qt::LeftButton, Qt::NoModifier,
                      QPoint(clientCell.Left + 5, clientCell.Top + 3));
    ASSERT_TRUE(Grid->Focused());
    ASSERT_EQ(Table()->focusChild(), Cells()->cellAt(2, 0));

    // A screen reader asking where the focus is must not be sent into the grid.
    Other->SetFocus();
    Pump();
    ASSERT_FALSE(Grid->Focused());
    EXPECT_EQ(Table()->focusChild(), nullptr);
    for (int col = 0; col < 3; ++col)
        EXPECT_FALSE(Cells()->cellAt(2, col)->state().focused) << col;
    EXPECT_TRUE(Cells()->cellAt(2, 0)->state().selected);

    // The count of selected children matches the children listed, cell by cell of each row.
    Grid->SelectRange(5, 6, true);
    ASSERT_EQ(Cells()->selectedRows(), (QList<int>{2, 5, 6}));
    const QList<QAccessibleInterface*> selected = Cells()->selectedCells();
    EXPECT_EQ(Cells()->selectedCellCount(), 9);
    ASSERT_EQ(selected.size(), 9);
    for (QAccessibleInterface* cell : selected) {
        EXPECT_TRUE(cell->state().selected);
        EXPECT_TRUE(Cells()->isRowSelected(cell->tableCellInterface()->rowIndex()));
    }
}

TEST_F(GridAccessibilityTest, ChangedCellsInViewAreAnnouncedOnceAndProgressReadsAsDrawn) {
    MakeGrid(2, 1000);
    auto* progress = Grid->GetColumns()->Add<TNxProgressColumn>(u"Progress");
    progress->SetWidth(80);
    TListening listening;

    Grid->GetCell(2, 1)->SetAsFloat(37);
    EXPECT_EQ(Cells()->cellAt(1, 2)->text(QAccessible::Name), "37%");
    Announced().clear();
    Grid->GetCell(0, 2)->SetAsString(u"Decoding");
    ASSERT_EQ(Announced().size(), 1u);
    EXPECT_EQ(Announced()[0].Type, QAccessible::NameChanged);
    EXPECT_EQ(Announced()[0].Col, 0);
    EXPECT_EQ(Announced()[0].Row, 2);
    // The run rewrites progress after every byte; the same text says nothing new.
    Grid->GetCell(2, 2)->SetAsFloat(12);
    Grid->GetCell(2, 2)->SetAsFloat(12);
    EXPECT_EQ(Announced().size(), 2u);

    // A row out of view that no client asked for makes no cell and no announcement.
    Grid->GetCell(0, 900)->SetAsString(u"Decoded");
    EXPECT_EQ(Announced().size(), 2u);

    // Rows going away tell the table, and kept cells are dropped.
    QAccessible::Id kept = QAccessible::uniqueId(Cells()->cellAt(5, 0));
    Grid->DeleteRow(0);
    EXPECT_EQ(CountOf(QAccessible::TableModelChanged), 1);
    EXPECT_EQ(QAccessible::accessibleInterface(kept), nullptr);
    EXPECT_EQ(Cells()->rowCount(), 999);
    EXPECT_EQ(Cells()->cellAt(1, 0)->text(QAccessible::Name), "Decoding");
}

} // namespace
