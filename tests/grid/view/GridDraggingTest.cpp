// Column and row dragging through real presses, moves and releases.
#include <QPainter>
#include <QTest>

#include "GridTestSupport.h"
#include "grid/view/GridDragBox.h"
#include "grid/view/NextGrid.h"

namespace {

struct GridDraggingTest : ::testing::Test {
    std::unique_ptr<TForm> Form;
    TNextGrid* Grid = nullptr;

    void MakeGrid(int Rows, TGridOptions Extra = {}) {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(60, 60, 360, 260);
        Grid = new TNextGrid(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, 320, 200);
        Grid->SetOptions(Grid->GetOptions() + Extra);
        for (int c = 0; c < 4; ++c)
            Grid->GetColumns()->Add<TPlainTextColumn>(u"Col " + GridFixture::ToWide(c))->SetWidth(60);
        Grid->AddRow(Rows);
        for (int r = 0; r < Rows; ++r)
            Grid->SetCells(0, r, u"r" + GridFixture::ToWide(r));
        ASSERT_TRUE(ShowAndWait(Form.get()));
        Pump();
    }
    QWidget* W() { return Client(Grid); }
    TNxCustomColumn* Col(int Index) { return Grid->GetColumns()->GetItem(Index); }
    int HeaderMid() { return Grid->GetHeaderSize() / 2; }
    int Left(int Index) { return Col(Index)->GetLeft(); }
    void Press(QPoint P) { QTest::mousePress(W(), Qt::LeftButton, Qt::NoModifier, P); }
    void Move(QPoint P) {
        QTest::mouseMove(W(), P);
        Pump();
    }
    void Release(QPoint P) {
        QTest::mouseRelease(W(), Qt::LeftButton, Qt::NoModifier, P);
        Pump();
    }
    // Drags the header of column Index from its middle to P.
    void DragHeader(int Index, QPoint P) {
        QPoint Start(Left(Index) + 30, HeaderMid());
        Press(Start);
        Move(Start + QPoint(6, 0));
        Move(P);
        Release(P);
    }
    std::vector<int> Order() {
        std::vector<int> Result;
        for (int Pos = 0; Pos < Grid->GetColumns()->Count(); ++Pos)
            Result.push_back(Grid->GetColumns()->GetPositionItem(Pos)->GetIndex());
        return Result;
    }
};

TEST_F(GridDraggingTest, GripDragStopsAtMinWidthAndAStillPressKeepsTheWidth) {
    MakeGrid(3);
    Col(1)->SetMinWidth(25);
    int Grip = Left(1) + 60;
    std::vector<int> Resized;
    Grid->OnColumnResize = [&](TObject*, int ACol) { Resized.push_back(ACol); };
    // The release sets the width by the delta, 0 here: same width, one resize reported.
    Press(QPoint(Grip, HeaderMid()));
    Release(QPoint(Grip, HeaderMid()));
    EXPECT_EQ(Col(1)->GetWidth(), 60);
    EXPECT_EQ(Resized, std::vector<int>{1});

    Resized.clear();
    Press(QPoint(Grip, HeaderMid()));
    EXPECT_TRUE(Grid->GetGridState().Contains(gtColumnResizing));
    Move(QPoint(Grip - 20, HeaderMid()));
    EXPECT_EQ(Col(1)->GetWidth(), 60) << "only the guide moves during the drag";
    EXPECT_EQ(Grid->GetResizeGuideRight(), Left(1) + 40 - 1);
    Move(QPoint(Left(1) + 2, HeaderMid()));
    EXPECT_EQ(Grid->GetResizeGuideRight(), Left(1) + 25 - 1);
    Release(QPoint(Left(1) + 2, HeaderMid()));
    EXPECT_EQ(Col(1)->GetWidth(), 25);
    EXPECT_FALSE(Grid->GetGridState().Contains(gtColumnResizing));
    EXPECT_EQ(Resized, std::vector<int>{1});
}

TEST_F(GridDraggingTest, AHeaderDragUnderFourPixelsIsAClick) {
    MakeGrid(3);
    int Clicks = 0;
    Grid->OnHeaderClick = [&](TObject*, int) { ++Clicks; };
    QPoint Start(Left(0) + 30, HeaderMid());
    Press(Start);
    Move(Start + QPoint(3, 0));
    Release(Start + QPoint(3, 0));
    EXPECT_EQ(Clicks, 1);
    EXPECT_FALSE(Grid->GetDragBox()->GetVisible());
    EXPECT_EQ(Order(), (std::vector<int>{0, 1, 2, 3}));
}

TEST_F(GridDraggingTest, DropHalvesDecideThePlace) {
    MakeGrid(3);
    std::vector<int> Moves;
    Grid->OnColumnMove = [&](TObject*, int ACol, int, int) { Moves.push_back(ACol); };
    DragHeader(0, QPoint(Left(1) + 15, HeaderMid())); // left half of the right neighbour
    EXPECT_EQ(Order(), (std::vector<int>{0, 1, 2, 3}));
    DragHeader(0, QPoint(Left(1) + 45, HeaderMid())); // its right half
    EXPECT_EQ(Order(), (std::vector<int>{1, 0, 2, 3}));
    EXPECT_EQ(Moves, std::vector<int>{0});
    EXPECT_EQ(Screen->GetCursor(), crDefault);
    EXPECT_EQ(Grid->GetGridState().Contains(gtColumnMoving), false);

    DragHeader(3, QPoint(Left(1) + 15, HeaderMid())); // left half of a column to its left: before it
    EXPECT_EQ(Order(), (std::vector<int>{3, 1, 0, 2}));
    DragHeader(2, QPoint(Left(3) + 45, HeaderMid())); // right half of a column to its left: after it
    EXPECT_EQ(Order(), (std::vector<int>{3, 2, 1, 0}));
    int Clicks = 0;
    Grid->OnHeaderClick = [&](TObject*, int) { ++Clicks; };
    Release(QPoint(5, 100)); // a stray release: the finished move is no click
    EXPECT_EQ(Clicks, 0);
}

TEST_F(GridDraggingTest, DroppingBelowTheBandHidesOnlyWithCanHideColumn) {
    MakeGrid(3);
    QPoint Start(Left(1) + 30, HeaderMid());
    Press(Start);
    Move(Start + QPoint(6, 0));
    Move(QPoint(100, 120));
    EXPECT_EQ(Screen->GetCursor(), crColumnNoDrag);
    EXPECT_FALSE(Grid->GetTopArrow()->GetVisible());
    Release(QPoint(100, 120));
    EXPECT_TRUE(Col(1)->GetVisible());
    EXPECT_EQ(Screen->GetCursor(), crDefault);

    Grid->SetOptions(Grid->GetOptions() + TGridOptions{goCanHideColumn});
    DragHeader(1, QPoint(100, 120));
    EXPECT_FALSE(Col(1)->GetVisible());
    EXPECT_EQ(Screen->GetCursor(), crDefault);
}

TEST_F(GridDraggingTest, LockFixedColsKeepsTheFixedPositions) {
    MakeGrid(3, TGridOptions{goLockFixedCols});
    Grid->SetFixedCols(1);
    Pump();
    DragHeader(0, QPoint(Left(2) + 45, HeaderMid()));
    EXPECT_EQ(Order(), (std::vector<int>{0, 1, 2, 3}));
    DragHeader(2, QPoint(Left(0) + 15, HeaderMid()));
    EXPECT_EQ(Order(), (std::vector<int>{0, 1, 2, 3}));
    DragHeader(3, QPoint(Left(1) + 15, HeaderMid()));
    EXPECT_EQ(Order(), (std::vector<int>{0, 3, 1, 2}));
    // Unlocked: a scrollable column aimed at the right half of the last fixed one stays put; the
    // left half of the first scrollable one is the way in front.
    Grid->SetOptions(Grid->GetOptions() - TGridOptions{goLockFixedCols});
    EXPECT_EQ(Grid->GetNearestPosition(Col(2), TPoint{Left(0) + 45, HeaderMid()}), 3);
    EXPECT_EQ(Grid->GetNearestPosition(Col(2), TPoint{Left(3) + 15, HeaderMid()}), 1);
}

TEST_F(GridDraggingTest, PictureInTheMiddleOfAColumnMove) {
    MakeGrid(6);
    QPoint Start(Left(0) + 30, HeaderMid());
    Press(Start);
    Move(Start + QPoint(6, 0));
    Move(QPoint(Left(2) + 40, HeaderMid()));
    ASSERT_TRUE(Grid->GetDragBox()->GetVisible());
    ASSERT_TRUE(Grid->GetTopArrow()->GetVisible());
    ASSERT_TRUE(Grid->GetBottomArrow()->GetVisible());
    // Arrows mark the right edge of column 2, the top tip 3 pixels above the grid.
    TPoint Edge = Grid->ClientToScreen(TPoint{Left(2) + 60, 0});
    EXPECT_EQ(Grid->GetTopArrow()->GetLeft(), Edge.X - 4);
    EXPECT_EQ(Grid->GetTopArrow()->GetTop(), Edge.Y - 12);
    EXPECT_EQ(Grid->GetBottomArrow()->GetTop(), Edge.Y + Grid->GetHeaderSize() - 1);

    Grid->Update();
    const int Margin = 20;
    QImage Shot(Grid->GetWidth() + 2 * Margin, Grid->GetHeight() + 2 * Margin, QImage::Format_RGB32);
    Shot.fill(Qt::white);
    QPainter Painter(&Shot);
    Painter.drawImage(Margin, Margin, Grid->GetWindowPrivate()->Pixels);
    TPoint Origin = Grid->ClientToScreen(TPoint{0, 0});
    for (TWinControl* Popup :
         {static_cast<TWinControl*>(Grid->GetDragBox()), static_cast<TWinControl*>(Grid->GetTopArrow()),
          static_cast<TWinControl*>(Grid->GetBottomArrow())}) {
        Popup->Repaint();
        Pump();
        ASSERT_NE(Popup->GetWindowPrivate(), nullptr);
        QImage Picture = Popup->GetWindowPrivate()->Pixels.copy();
        if (Popup != Grid->GetDragBox()) {
            ASSERT_NE(Popup->GetWindowRgn(), nullptr);
            EXPECT_TRUE(Popup->GetWindowRgn()->Contains(4, 4)) << "the arrow's shaft is in its shape";
            ASSERT_FALSE(Picture.isNull()) << "the arrow has a window";
            EXPECT_EQ(Picture.pixel(4, 4), qRgb(255, 0, 0)) << "arrows are red";
        }
        if (const TRegion* Shape = Popup->GetWindowRgn()) {
            // Only the shaped part of an arrow is on screen.
            for (int y = 0; y < Picture.height(); ++y)
                for (int x = 0; x < Picture.width(); ++x)
                    if (!Shape->Contains(x, y)) Picture.setPixel(x, y, Shot.pixel(0, 0));
        }
        Painter.drawImage(Popup->GetLeft() - Origin.X + Margin, Popup->GetTop() - Origin.Y + Margin, Picture);
    }
    Painter.end();
    Shot.save(QString::fromStdString(OutDir() + "/grid-column-move.png"));
    Release(QPoint(Left(2) + 40, HeaderMid()));
    EXPECT_EQ(Order(), (std::vector<int>{1, 2, 0, 3}));
}

TEST_F(GridDraggingTest, RowMovedOneDownAndTheRowGuideLimit) {
    MakeGrid(6, TGridOptions{goRowMoving, goIndicator, goRowResizing});
    std::vector<std::pair<int, int>> Moved;
    Grid->OnAfterRowMove = [&](TObject*, int From, int To) { Moved.push_back({From, To}); };
    TRect R1 = Grid->GetRowRect(1);
    TRect R2 = Grid->GetRowRect(2);
    QPoint Start(100, (R1.Top + R1.Bottom) / 2);
    Press(Start);
    Move(Start + QPoint(0, 7));
    EXPECT_TRUE(Grid->GetGridState().Contains(gtRowMoving));
    EXPECT_EQ(Screen->GetCursor(), crDrag);
    QPoint Drop(100, R2.Bottom - 3); // lower half of the next row
    Move(Drop);
    EXPECT_EQ(Grid->GetDropRow(), 3);
    Release(Drop);
    EXPECT_EQ(Grid->GetCells(0, 1), u"r2");
    EXPECT_EQ(Grid->GetCells(0, 2), u"r1");
    EXPECT_EQ(Grid->GetSelectedRow(), 2);
    EXPECT_EQ(Moved, (std::vector<std::pair<int, int>>{{1, 2}}));
    EXPECT_EQ(Screen->GetCursor(), crDefault);

    // The grip at row 0's lower edge cannot go above 8 pixels below its top.
    int Edge = Grid->GetRowRect(0).Top + Grid->GetRowHeight(0) + Grid->GetGridSpace(lpTopBottom);
    Press(QPoint(5, Edge - 1));
    Move(QPoint(5, Edge - 40));
    EXPECT_EQ(Grid->GetRowGuideY(), Grid->GetRowTop(0) + 8);
    Release(QPoint(5, Edge - 40));
    EXPECT_EQ(Grid->GetRowHeight(0), 8);
}

TEST_F(GridDraggingTest, EscAndFocusLossEndAGestureWithTheDefaultCursor) {
    MakeGrid(3);
    QPoint Start(Left(1) + 30, HeaderMid());
    Press(Start);
    Move(Start + QPoint(6, 0));
    Move(QPoint(100, 120));
    ASSERT_TRUE(Grid->GetGridState().Contains(gtColumnMoving));
    Grid->DoExit();
    EXPECT_FALSE(Grid->GetGridState().Contains(gtColumnMoving));
    EXPECT_FALSE(Grid->GetDragBox()->GetVisible());
    EXPECT_EQ(Screen->GetCursor(), crDefault);
    Release(QPoint(100, 120));
    EXPECT_EQ(Order(), (std::vector<int>{0, 1, 2, 3}));

    int Grip = Left(1) + 60;
    Press(QPoint(Grip, HeaderMid()));
    Move(QPoint(Grip + 30, HeaderMid()));
    QTest::keyClick(W(), Qt::Key_Escape);
    Release(QPoint(Grip + 30, HeaderMid()));
    EXPECT_EQ(Col(1)->GetWidth(), 60);

    // Switching to another application ends a column move the same way.
    Press(Start);
    Move(Start + QPoint(6, 0));
    Move(QPoint(100, 120));
    ASSERT_TRUE(Grid->GetDragBox()->GetVisible());
    Grid->Perform(WM_ACTIVATEAPP, 0, 0);
    EXPECT_FALSE(Grid->GetGridState().Contains(gtColumnMoving));
    EXPECT_FALSE(Grid->GetDragBox()->GetVisible());
    EXPECT_EQ(Screen->GetCursor(), crDefault);
    Release(QPoint(100, 120));
    EXPECT_EQ(Order(), (std::vector<int>{0, 1, 2, 3}));
}

} // namespace
