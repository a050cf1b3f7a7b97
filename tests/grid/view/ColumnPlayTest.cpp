// The column plays through real input: check boxes, stars, tree buttons and links clicked,
// typed and hovered, with the editing events that may refuse them.

#include <gtest/gtest.h>

#include "grid/model/ColumnKinds.h"
#include "grid/view/ColumnDisplayFactory.h"
#include "grid/view/ColumnPlay.h"
#include "grid/view/GridTestSupport.h"
#include "platform/windows/Themes.h"

namespace {

struct ColumnPlayTest : ::testing::Test {
    std::unique_ptr<TForm> Form;
    TNextGrid* Grid = nullptr;
    TProbe* Other = nullptr;
    std::vector<std::pair<TPoint, WideString>> AfterEdits;

    void SetUp() override {
        SetThemesEnabled(false);
        Screen->SetCursor(crDefault);
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(40, 40, 460, 240);
        Grid = new TNextGrid(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, 320, 200);
        Other = new TProbe(Form.get());
        Other->SetParent(Form.get());
        Other->SetBounds(330, 0, 100, 50);
        Grid->OnAfterEdit = [this](TObject*, int ACol, int ARow, const WideString& Value) {
            AfterEdits.push_back({TPoint{ACol, ARow}, Value});
        };
    }
    void TearDown() override {
        Screen->SetCursor(crDefault);
        SetThemesEnabled(true);
    }
    template <typename Kind> Kind* AddColumn(int Width = 120) {
        auto* Column = Grid->GetColumns()->Add<Kind>(u"kind");
        Column->SetWidth(Width);
        return Column;
    }
    void Show(int Rows) {
        Grid->AddRow(Rows);
        ASSERT_TRUE(ShowAndWait(Form.get()));
        Grid->Update();
    }
    QWidget* W() { return Client(Grid); }
    // A client point at (DX, DY) from the cell's top-left corner.
    QPoint At(int ACol, int ARow, int DX, int DY) {
        TRect R = Grid->GetCellRect(ACol, ARow);
        return QPoint(R.Left + DX, R.Top + DY);
    }
    void Click(QPoint P) {
        QTest::mouseClick(W(), Qt::LeftButton, Qt::NoModifier, P);
        Pump();
    }
    void Move(QPoint P) {
        QTest::mouseMove(W(), P);
        Pump();
    }
    void Type(char16_t C) {
        Grid->SetFocus();
        Pump();
        QTest::keyClick(W(), char(C));
        Pump();
    }
    static void AddOptions(TNxCustomColumn* Column, TColumnOptions Extra) {
        Column->SetOptions(Column->GetOptions() + Extra);
    }
};

// ---------------------------------------------------------------------------------------------
// Check box

struct CheckBoxPlay : ColumnPlayTest {
    TNxCheckBoxColumn* Box = nullptr;
    int ColumnChanges = 0;
    void Make(TAlignment Alignment = taLeftJustify) {
        Box = AddColumn<TNxCheckBoxColumn>(60);
        Box->SetAlignment(Alignment);
        AddOptions(Box, {coEditing});
        Box->OnChange = [this](TObject*) { ++ColumnChanges; };
        AddColumn<TNxTextColumn>();
        Show(3);
    }
    bool Checked(int ARow) { return Grid->GetCell(0, ARow)->GetAsBoolean(); }
};

TEST_F(CheckBoxPlay, AReleaseInsideTheBoxFlipsTheCellOutsideItNothing) {
    Make();
    // 11 by 11 without visual styles, margin 2 in the cell grown by one pixel: (1, 3)-(12, 14)
    // in a 60 by 16 cell.
    TCheckBoxColumnPlay Probe(Box);
    Probe.SetCellRect(Grid->GetCellRect(0, 1));
    ASSERT_EQ(Probe.GetCheckBoxRect(), Rect(1, 3, 12, 14));
    // The display frames the box on the same pixels.
    const QImage& Pixels = Grid->GetWindowPrivate()->Pixels;
    const QPoint Corner = At(0, 1, 1, 3);
    EXPECT_EQ(Pixels.pixel(Corner), QtColor(clBtnShadow));
    EXPECT_EQ(Pixels.pixel(Corner + QPoint(10, 10)), QtColor(clBtnShadow));
    EXPECT_NE(Pixels.pixel(Corner - QPoint(1, 0)), QtColor(clBtnShadow));

    Click(At(0, 1, 12, 8));
    EXPECT_FALSE(Checked(1)) << "one pixel right of the box";
    Click(At(0, 1, 5, 1));
    EXPECT_FALSE(Checked(1)) << "above the box";
    EXPECT_EQ(ColumnChanges, 0);

    Click(At(0, 1, 1, 3));
    EXPECT_TRUE(Checked(1)) << "the box's top-left pixel";
    EXPECT_EQ(ColumnChanges, 1);
    ASSERT_EQ(AfterEdits.size(), 1u);
    EXPECT_EQ(AfterEdits[0].first, (TPoint{0, 1}));
    EXPECT_EQ(AfterEdits[0].second, Grid->GetCell(0, 1)->GetAsString());
    Grid->Update();
    Grid->GetWindowPrivate()->Pixels.save(QString::fromStdString(OutDir() + "/column-play-check-box.png"));
    EXPECT_EQ(Grid->GetWindowPrivate()->Pixels.pixel(At(0, 1, 5, 9)), QtColor(clWindowText)) << "the tick";
    Click(At(0, 1, 11, 13));
    EXPECT_FALSE(Checked(1)) << "the bottom-right pixel flips it back";
    EXPECT_FALSE(Checked(0));
    EXPECT_FALSE(Checked(2));
}

TEST_F(CheckBoxPlay, CentredBoxAndSpaceOnTheCurrentCell) {
    Make(taCenter);
    Click(At(0, 2, 30, 8));
    EXPECT_TRUE(Checked(2)) << "the centre of a centred box";
    EXPECT_EQ(Grid->GetSelectedRow(), 2);
    Click(At(0, 2, 3, 8));
    EXPECT_TRUE(Checked(2)) << "the left of the cell misses a centred box";

    Type(u' ');
    EXPECT_FALSE(Checked(2));
    Type(u' ');
    EXPECT_TRUE(Checked(2));
    EXPECT_EQ(ColumnChanges, 3);
    Type(u'x');
    EXPECT_TRUE(Checked(2)) << "only Space toggles";
}

TEST_F(CheckBoxPlay, RefusedEditsLeaveTheCellAndRaiseNoChange) {
    Make();
    std::vector<WideString> Offered;
    bool Accept = false;
    Grid->OnEditAccept = [&](TObject*, int, int, const WideString& Value, bool& A) {
        Offered.push_back(Value);
        A = Accept;
    };
    Click(At(0, 0, 4, 6));
    EXPECT_FALSE(Checked(0));
    ASSERT_EQ(Offered.size(), 1u);
    EXPECT_EQ(Offered[0], u"True") << "the text form of the new value";
    EXPECT_EQ(ColumnChanges, 0);
    // The edit still ends: OnAfterEdit hears the value the cell kept.
    ASSERT_EQ(AfterEdits.size(), 1u);
    EXPECT_EQ(AfterEdits[0].first, (TPoint{0, 0}));
    EXPECT_EQ(AfterEdits[0].second, u"False");

    Accept = true;
    Type(u' ');
    EXPECT_TRUE(Checked(0)) << "the play started again from the cell's value";
    EXPECT_EQ(ColumnChanges, 1);
    ASSERT_EQ(AfterEdits.size(), 2u);
    EXPECT_EQ(AfterEdits[1].second, Grid->GetCell(0, 0)->GetAsString());

    // OnBeforeEdit refusing keeps the play from being called at all.
    int Asked = 0;
    Grid->OnBeforeEdit = [&](TObject*, int ACol, int ARow, bool& A) {
        ++Asked;
        EXPECT_EQ(ACol, 0);
        EXPECT_EQ(ARow, 0);
        A = false;
    };
    Offered.clear();
    Click(At(0, 0, 4, 6));
    Type(u' ');
    EXPECT_TRUE(Checked(0));
    EXPECT_GE(Asked, 2);
    EXPECT_TRUE(Offered.empty());
}

TEST_F(CheckBoxPlay, ReadOnlyGridSelectsButNeverPlays) {
    Make();
    Grid->SetReadOnly(true);
    int Asked = 0;
    Grid->OnBeforeEdit = [&](TObject*, int, int, bool&) { ++Asked; };
    Click(At(0, 1, 4, 6));
    Type(u' ');
    EXPECT_FALSE(Checked(1));
    EXPECT_EQ(Grid->GetSelectedRow(), 1) << "selection still works";
    EXPECT_EQ(Asked, 0) << "the play is not even prepared";
}

TEST_F(CheckBoxPlay, WithoutEditingTheColumnTakesNoClicks) {
    Make();
    Box->SetOptions(Box->GetOptions() - TColumnOptions{coEditing});
    Click(At(0, 1, 4, 6));
    Type(u' ');
    EXPECT_FALSE(Checked(1));
}

// ---------------------------------------------------------------------------------------------
// Rate

struct RatePlay : ColumnPlayTest {
    TNxRateColumn* Rate = nullptr;
    std::vector<WideString> Offered;
    void SetUp() override {
        ColumnPlayTest::SetUp();
        Rate = AddColumn<TNxRateColumn>(120);
        TBitmap Glyph;
        Glyph.SetSize(10, 10);
        Rate->SetGlyph(&Glyph);
        AddOptions(Rate, {coEditing});
        Grid->OnEditAccept = [this](TObject*, int, int, const WideString& Value, bool&) {
            Offered.push_back(Value);
        };
        Show(2);
    }
    int Value(int ARow) { return Grid->GetCell(0, ARow)->GetAsInteger(); }
};

TEST_F(RatePlay, APressOnAStarSetsItsNumber) {
    // Five 10-pixel stars from the cell's left edge.
    Click(At(0, 1, 0, 8));
    EXPECT_EQ(Value(1), 1) << "the first star's first pixel";
    Click(At(0, 1, 29, 8));
    EXPECT_EQ(Value(1), 3);
    Click(At(0, 1, 30, 8));
    EXPECT_EQ(Value(1), 4);
    Click(At(0, 1, 49, 8));
    EXPECT_EQ(Value(1), 5);
    Click(At(0, 1, 50, 8));
    EXPECT_EQ(Value(1), 5) << "right of the stars";
    EXPECT_EQ(Offered, (std::vector<WideString>{u"1", u"3", u"4", u"5"}));
    Offered.clear();
    Click(At(0, 1, 45, 8));
    EXPECT_TRUE(Offered.empty()) << "the same value is no change";
    EXPECT_EQ(Value(0), 0);
}

TEST_F(RatePlay, PlusMinusStepWithinTheRangeAndDigitsAboveMaxAreIgnored) {
    Click(At(0, 0, 70, 8));
    ASSERT_EQ(Grid->GetSelectedRow(), 0);
    Type(u'-');
    EXPECT_EQ(Value(0), 0);
    EXPECT_TRUE(Offered.empty()) << "nothing below 0";
    Type(u'+');
    Type(u'+');
    EXPECT_EQ(Value(0), 2);
    Type(u'4');
    EXPECT_EQ(Value(0), 4);
    Type(u'7');
    EXPECT_EQ(Value(0), 4) << "above Max";
    Type(u'5');
    Type(u'+');
    EXPECT_EQ(Value(0), 5) << "nothing above Max";
    Type(u'0');
    EXPECT_EQ(Value(0), 0);
    EXPECT_EQ(Offered, (std::vector<WideString>{u"1", u"2", u"4", u"5", u"0"}));
    ASSERT_EQ(AfterEdits.size(), 5u);
    EXPECT_EQ(AfterEdits.back().second, u"0");
}

// ---------------------------------------------------------------------------------------------
// Tree

struct TreePlay : ColumnPlayTest {
    TNxTreeColumn* Tree = nullptr;
    std::vector<int> Expanded;
    void SetUp() override {
        ColumnPlayTest::SetUp();
        Tree = AddColumn<TNxTreeColumn>(150);
        Tree->SetPadding(3);
        Grid->OnExpand = [this](TObject*, int ARow) { Expanded.push_back(ARow); };
        // 0 > 1 > 2, each with a child.
        Show(1);
        Grid->AddChildRow(0);
        Grid->AddChildRow(1);
        Grid->AddChildRow(2);
        for (int Row = 0; Row < 4; ++Row)
            Grid->GetCell(0, Row)->SetAsString(u"node");
        Grid->Update();
        ASSERT_EQ(Grid->GetRowLevel(2), 2);
    }
    // The button's top-left in cell coordinates: Level * 19 + Padding + 2, height div 2 - 5.
    QPoint Button(int ARow) {
        int Left = Grid->GetRowLevel(ARow) * 19 + 3 + 2;
        int Top = Grid->GetCellRect(0, ARow).Height() / 2 - 5;
        return At(0, ARow, Left, Top);
    }
};

TEST_F(TreePlay, AReleaseOnTheButtonTogglesTheRowAndMissesByOnePixelDoNot) {
    const bool Before = Grid->GetExpanded(2);
    Click(Button(2) + QPoint(-1, 4));
    Click(Button(2) + QPoint(4, -1));
    Click(Button(2) + QPoint(9, 4));
    EXPECT_EQ(Grid->GetExpanded(2), Before) << "one pixel outside the 9 by 9 button on three sides";
    EXPECT_TRUE(Expanded.empty());

    Click(Button(2));
    EXPECT_EQ(Grid->GetExpanded(2), !Before);
    Click(Button(2) + QPoint(8, 8));
    EXPECT_EQ(Grid->GetExpanded(2), Before);
    EXPECT_EQ(Expanded, (std::vector<int>{2, 2}));

    // The display draws the button on the same pixels the play hits.
    TTreeColumnPlay Play(Tree);
    Play.SetLevel(2);
    Play.SetCellRect(Grid->GetCellRect(0, 2));
    const TRect R = Grid->GetCellRect(0, 2);
    EXPECT_EQ(Play.GetButtonRect(), TreeExpandButtonRect(3, 0, R.Height(), 2));
}

TEST_F(TreePlay, TheLiveGridPaintsEachParentsButtonWhereThePlayHitsIt) {
    Grid->Invalidate();
    Grid->Update();
    const QImage& Pixels = Grid->GetWindowPrivate()->Pixels;
    // Rows 0 to 2 have a child: a gray frame at the hit position of their level. Row 3 has none.
    for (int Row = 0; Row < 3; ++Row) {
        EXPECT_EQ(Pixels.pixel(Button(Row)), QtColor(clGray)) << "row " << Row;
        EXPECT_EQ(Pixels.pixel(Button(Row) + QPoint(8, 8)), QtColor(clGray)) << "row " << Row;
    }
    EXPECT_NE(Pixels.pixel(Button(3)), QtColor(clGray));
    // Collapsed: the plus sign's vertical bar through the middle.
    Click(Button(0));
    Grid->Update();
    ASSERT_FALSE(Grid->GetExpanded(0));
    EXPECT_EQ(Pixels.pixel(Button(0) + QPoint(4, 2)), QtColor(clWindowText));
}

TEST_F(TreePlay, PlusAndMinusToggleUnlessTheColumnLocksExpanding) {
    Click(At(0, 0, 120, 8));
    ASSERT_EQ(Grid->GetSelectedRow(), 0);
    const bool Before = Grid->GetExpanded(0);
    Type(u'+');
    EXPECT_EQ(Grid->GetExpanded(0), !Before);
    Type(u'-');
    EXPECT_EQ(Grid->GetExpanded(0), Before);

    Tree->SetExpandLock(true);
    Type(u'+');
    Click(Button(0));
    EXPECT_EQ(Grid->GetExpanded(0), Before);
    EXPECT_EQ(Expanded.size(), 2u);
}

// ---------------------------------------------------------------------------------------------
// Links

struct LinkPlay : ColumnPlayTest {
    TNxHyperlinkColumn* Link = nullptr;
    TNxHtmlColumn* Html = nullptr;
    std::vector<WideString> Clicks;
    TObject* Sender = nullptr;
    void SetUp() override {
        ColumnPlayTest::SetUp();
        Link = AddColumn<TNxHyperlinkColumn>(120);
        Link->SetCursor(crIBeam);
        Link->OnClick = [this](TObject* S, int ACol, int ARow, const WideString& Text) {
            Sender = S;
            Clicks.push_back(u"link " + WideString(1, char16_t(u'0' + ACol)) +
                             WideString(1, char16_t(u'0' + ARow)) + u" " + Text);
        };
        Html = AddColumn<TNxHtmlColumn>(150);
        AddOptions(Html, {coEditing});
        Html->OnClick = [this](TObject* S, const WideString& Href) {
            Sender = S;
            Clicks.push_back(u"html " + Href);
        };
        AddColumn<TNxTextColumn>(40);
        Show(2);
        Grid->GetCell(0, 1)->SetAsString(u"home");
        Grid->GetCell(1, 1)->SetAsString(u"<a href=\"target-1\">WWWW</a>");
        Grid->Update();
    }
    TCursor Cursor() { return Screen->GetCursor(); }
};

TEST_F(LinkPlay, HyperlinkShowsTheHandOverItsTextOnlyAndClicksWithTheText) {
    Move(At(0, 1, 4, 8));
    EXPECT_EQ(Cursor(), crHandPoint);
    Move(At(0, 1, 110, 8));
    EXPECT_EQ(Cursor(), crIBeam) << "the column's cursor beside the text";
    Move(At(0, 1, 4, 8));
    EXPECT_EQ(Cursor(), crHandPoint);
    Move(At(2, 1, 4, 8));
    EXPECT_EQ(Cursor(), crDefault) << "leaving the cell restores the default";

    Click(At(0, 1, 110, 8));
    EXPECT_TRUE(Clicks.empty());
    Click(At(0, 1, 4, 8));
    ASSERT_EQ(Clicks, (std::vector<WideString>{u"link 01 home"}));
    EXPECT_NE(dynamic_cast<THyperlinkColumnPlay*>(Sender), nullptr) << "the play is the sender";
}

TEST_F(LinkPlay, RightAlignedLinkIsHitWhereItsTextIsDrawn) {
    Link->SetAlignment(taRightJustify);
    Move(At(0, 1, 4, 8));
    EXPECT_EQ(Cursor(), crIBeam) << "the left of the cell is empty now";
    Move(At(0, 1, 114, 8));
    EXPECT_EQ(Cursor(), crHandPoint);
    Click(At(0, 1, 4, 8));
    EXPECT_TRUE(Clicks.empty());
    Click(At(0, 1, 114, 8));
    EXPECT_EQ(Clicks, (std::vector<WideString>{u"link 01 home"}));
}

TEST_F(LinkPlay, MarkupLinkRaisesItsTargetAndTheHandLeavesWithThePointer) {
    Move(At(1, 1, 6, 8));
    EXPECT_EQ(Cursor(), crHandPoint);
    Move(At(1, 1, 140, 8));
    EXPECT_EQ(Cursor(), crDefault) << "beside the link: the column's cursor";
    Move(At(1, 1, 6, 8));
    ASSERT_EQ(Cursor(), crHandPoint);
    QTest::mouseMove(Client(Other), QPoint(20, 20));
    Pump();
    EXPECT_EQ(Cursor(), crDefault) << "the hand does not outlive the grid";

    Click(At(1, 1, 140, 8));
    EXPECT_TRUE(Clicks.empty());
    Click(At(1, 1, 6, 8));
    ASSERT_EQ(Clicks, (std::vector<WideString>{u"html target-1"}));
    EXPECT_NE(dynamic_cast<THtmlColumnPlay*>(Sender), nullptr);
}

TEST_F(LinkPlay, ReadOnlyGridShowsNoHandAndRaisesNoClick) {
    Grid->SetReadOnly(true);
    Move(At(0, 1, 4, 8));
    EXPECT_EQ(Cursor(), crDefault);
    Click(At(0, 1, 4, 8));
    Click(At(1, 1, 6, 8));
    EXPECT_TRUE(Clicks.empty());
    EXPECT_EQ(Grid->GetSelectedRow(), 1);
}

TEST(ColumnPlayFactory, KindsWithInputGetTheirPlayOthersNone) {
    TNxCheckBoxColumn Box;
    TNxRateColumn Rate;
    TNxTreeColumn Tree;
    TNxTextColumn Text;
    TNxProgressColumn Progress;
    RegisterKindDisplays();
    EXPECT_NE(dynamic_cast<TCheckBoxColumnPlay*>(Box.GetColumnPlay()), nullptr);
    EXPECT_NE(dynamic_cast<TRateColumnPlay*>(Rate.GetColumnPlay()), nullptr);
    EXPECT_NE(dynamic_cast<TTreeColumnPlay*>(Tree.GetColumnPlay()), nullptr);
    EXPECT_EQ(Text.GetColumnPlay(), nullptr);
    EXPECT_EQ(Progress.GetColumnPlay(), nullptr);
}

} // namespace

namespace {

// ---------------------------------------------------------------------------------------------
// The grid's own cursors

struct GridCursors : ColumnPlayTest {};

TEST_F(GridCursors, GripsAndIndicatorShowTheRegisteredPicturesAndTheBodyTheColumnsCursor) {
    auto* Text = AddColumn<TNxTextColumn>(60);
    Text->SetCursor(crCross);
    Grid->SetOptions(Grid->GetOptions() + TGridOptions{goIndicator, goRowResizing});
    Show(3);
    const int HeaderY = Grid->GetHeaderRect().Top + 8;
    const int Right = Text->GetAbsoluteLeft() + Text->GetWidth();
    const TRect Body = Grid->GetBodyRect();
    const int RowEdge = Body.Top + Grid->GetRowHeight(0) + Grid->GetGridSpace(lpTopBottom);
    auto Shape = [&] { return W()->cursor().shape(); };

    // The last column's edge is the header's: its grip is hit from the left side.
    Move(QPoint(Right - 2, HeaderY));
    EXPECT_EQ(Grid->GetCursor(), 3000) << "the column's resize grip";
    EXPECT_EQ(Shape(), Qt::BitmapCursor) << "the registered picture, not a stand-in arrow";
    for (int Number : {3000, 3001, 3003, 3006})
        EXPECT_NE(Screen->GetCursors(Number), nullptr) << Number;
    Move(QPoint(Right - 10, HeaderY));
    EXPECT_EQ(Grid->GetCursor(), crDefault);

    Move(QPoint(5, RowEdge - 1));
    EXPECT_EQ(Grid->GetCursor(), 3003) << "the row's resize grip in the indicator";
    EXPECT_EQ(Shape(), Qt::BitmapCursor);
    Move(QPoint(5, Body.Top + 5));
    EXPECT_EQ(Grid->GetCursor(), 3006) << "beside a row";

    Move(At(0, 1, 10, 5));
    EXPECT_EQ(Grid->GetCursor(), crCross) << "the column's cursor over its cells";
    EXPECT_EQ(Screen->GetCursor(), crDefault) << "a column without a play leaves the screen cursor";
}

} // namespace
