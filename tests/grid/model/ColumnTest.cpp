// A single column: defaults, how each kind of property change is reported, width limits,
// the search-column rule, the parent-font lock, copying and the form-reading path.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "grid/model/FakeGrid.h"

using ::testing::ElementsAre;

TEST(Column, NewColumnHasTheDocumentedDefaults) {
    TTestColumn Column;
    EXPECT_EQ(Column.GetWidth(), 80);
    EXPECT_EQ(Column.GetMinWidth(), 8);
    EXPECT_EQ(Column.GetDefaultWidth(), 80);
    EXPECT_EQ(Column.GetOptions(), (TColumnOptions{coCanClick, coCanInput, coCanSort, coPublicUsing}));
    EXPECT_EQ(Column.GetColor(), clWindow);
    EXPECT_EQ(Column.GetHeader()->GetColor(), clBtnFace);
    EXPECT_EQ(Column.GetFooter()->GetColor(), clWindow);
    EXPECT_EQ(Column.GetVerticalAlignment(), taVerticalCenter);
    EXPECT_EQ(Column.GetWrapKind(), wkEllipsis);
    EXPECT_EQ(Column.GetPosition(), -1);
    EXPECT_TRUE(Column.GetParentFont());
    EXPECT_TRUE(Column.GetVisible());
    EXPECT_TRUE(Column.GetEnabled());
    EXPECT_EQ(Column.GetColumnType(), ctString);
    EXPECT_EQ(Column.GetSortType(), stAlphabetic);
    EXPECT_EQ(Column.GetSortKind(), skAscending);
    EXPECT_EQ(Column.GetDrawingOptions(), doNormal);
    EXPECT_TRUE(Column.GetHeader()->GetHideArrow());
    EXPECT_EQ(Column.GetHeader()->GetDisplayMode(), dmTextOnly);
    EXPECT_EQ(Column.GetFooter()->GetFormulaKind(), fkNone);
    EXPECT_EQ(Column.GetSlideCaptionLocation(), clTop);
    EXPECT_EQ(Column.GetSlideRect(), TRect(8, 8, 88, 24));
    EXPECT_EQ(Column.GetIndex(), -1);
    EXPECT_EQ(Column.GetNextColumn(), &Column);
    // Out of a collection nothing is reported and nothing breaks.
    Column.SetWidth(50);
    Column.SetVisible(false);
    Column.SetPosition(3);
    EXPECT_EQ(Column.GetPosition(), 3);
}

TEST(Column, WidthBelowMinWidthIsRaisedAndReportsTheRealDifference) {
    TFakeGrid Grid;
    auto* Column = Grid.AddColumn();
    Grid.ClearReports();
    Column->SetWidth(3);
    EXPECT_EQ(Column->GetWidth(), 8);
    ASSERT_EQ(Grid.ColumnReports.size(), 1u);
    EXPECT_EQ(Grid.ColumnReports[0], (TColumnReport{Column, ccWidth, 8 - 80}));

    Grid.ClearReports();
    Column->SetMinWidth(20);
    Column->SetWidth(120);
    EXPECT_EQ(Grid.ColumnReports.back(), (TColumnReport{Column, ccWidth, 112}));
}

TEST(Column, WidthMovesTheLeftEdgesOfTheColumnsAfterIt) {
    TFakeGrid Grid;
    Grid.BodyRect.Left = 12;
    auto* A = Grid.AddColumn();
    auto* B = Grid.AddColumn();
    EXPECT_EQ(A->GetLeft(), 12);
    EXPECT_EQ(B->GetLeft(), 92);
    A->SetWidth(30);
    EXPECT_EQ(B->GetLeft(), 42);
    Grid.Designing = true;
    A->SetWidth(55);
    EXPECT_EQ(A->GetDefaultWidth(), 55);
}

TEST(Column, VisibleReportsOnlyRealChanges) {
    TFakeGrid Grid;
    auto* A = Grid.AddColumn();
    auto* B = Grid.AddColumn();
    std::vector<TColumnNotifyOperation> Heard;
    A->RegisterNotification(&Heard,
                            [&](TNxCustomColumn*, TColumnNotifyOperation Op) { Heard.push_back(Op); });
    Grid.ClearReports();

    A->SetVisible(true);
    EXPECT_TRUE(Grid.ColumnReports.empty());
    EXPECT_TRUE(Heard.empty());

    A->SetVisible(false);
    EXPECT_THAT(Heard, ElementsAre(ccVisibleChange));
    EXPECT_THAT(Grid.KindsFor(A), ElementsAre(ccVisible));
    EXPECT_EQ(A->GetVisibleIndex(), -1);
    EXPECT_EQ(B->GetLeft(), 0);
    EXPECT_EQ(B->GetVisibleIndex(), 0);
    EXPECT_EQ(B->GetLocation(), clAlone);
}

TEST(Column, ShowingOrHidingAColumnResizesTheAutoSizeColumns) {
    TFakeGrid Grid;
    auto* Fixed = Grid.AddColumn();
    auto* Auto = Grid.AddColumn();
    Auto->SetOptions({coAutoSize});
    EXPECT_EQ(Auto->GetWidth(), 300 - 80);
    Fixed->SetVisible(false);
    EXPECT_EQ(Auto->GetWidth(), 300);
    Fixed->SetWidth(100);
    Fixed->SetVisible(true);
    EXPECT_EQ(Auto->GetWidth(), 200);
    EXPECT_EQ(Auto->GetLeft(), 100);
}

TEST(Column, SearchColumnStaysOnOneColumn) {
    TFakeGrid Grid;
    auto* A = Grid.AddColumn();
    auto* B = Grid.AddColumn();
    A->SetOptions(A->GetOptions() + TColumnOptions{coSearchColumn});
    Grid.ClearReports();
    B->SetOptions(B->GetOptions() + TColumnOptions{coSearchColumn});
    EXPECT_FALSE(A->GetOptions().Contains(coSearchColumn));
    EXPECT_TRUE(B->GetOptions().Contains(coSearchColumn));
    // The other column loses the option quietly.
    EXPECT_TRUE(Grid.KindsFor(A).empty());
    EXPECT_THAT(Grid.KindsFor(B), ElementsAre(ccUndefined));

    // Setting it again on the same column leaves the other alone.
    A->SetOptions(A->GetOptions() + TColumnOptions{coCanClick});
    EXPECT_TRUE(B->GetOptions().Contains(coSearchColumn));
}

TEST(Column, OptionsResizeAutoSizeColumnsUnlessAutoSizeWasAndStaysSet) {
    TFakeGrid Grid;
    auto* A = Grid.AddColumn();
    auto* B = Grid.AddColumn();
    A->SetWidth(100);
    B->SetWidth(50);
    A->SetOptions(A->GetOptions() + TColumnOptions{coAutoSize});
    // A alone is auto-sized from its own place: 300 - 50 for B.
    EXPECT_EQ(A->GetWidth(), 250);
    A->SetWidth(40);
    Grid.ClearReports();
    A->SetOptions(A->GetOptions() + TColumnOptions{coEditing});
    EXPECT_EQ(A->GetWidth(), 40);
    EXPECT_THAT(Grid.KindsFor(A), ElementsAre(ccUndefined));
    // While the grid is read nothing is resized or reported.
    Grid.Reading = true;
    Grid.ClearReports();
    B->SetOptions(B->GetOptions() + TColumnOptions{coAutoSize});
    EXPECT_EQ(B->GetWidth(), 50);
    EXPECT_TRUE(Grid.ColumnReports.empty());
}

TEST(Column, ParentFontLockSeparatesGridCopiesFromUserChanges) {
    TFakeGrid Grid;
    Grid.Font.SetName("DejaVu Sans");
    Grid.Font.SetHeight(-15);
    auto* Column = Grid.AddColumn();
    // Taken from the grid under the lock: still a parent-font column.
    EXPECT_TRUE(Column->GetParentFont());
    EXPECT_EQ(Column->GetFont()->GetHeight(), -15);

    Grid.Font.SetHeight(-20);
    Grid.Columns->GridFontChanged();
    EXPECT_TRUE(Column->GetParentFont());
    EXPECT_EQ(Column->GetFont()->GetHeight(), -20);

    Grid.ClearReports();
    Column->GetFont()->SetStyle({fsBold});
    EXPECT_FALSE(Column->GetParentFont());
    EXPECT_THAT(Grid.KindsFor(Column), ElementsAre(ccUndefined));

    Grid.Font.SetHeight(-9);
    Grid.Columns->GridFontChanged();
    EXPECT_EQ(Column->GetFont()->GetHeight(), -20);

    // Back to the parent font: the grid's font again, the lock keeps ParentFont.
    Column->SetParentFont(true);
    EXPECT_TRUE(Column->GetParentFont());
    EXPECT_EQ(Column->GetFont()->GetHeight(), -9);
    EXPECT_FALSE(Column->GetFont()->GetStyle().Contains(fsBold));
}

TEST(Column, SettingAFontCopiesItReportsOnceAndIgnoresAMissingOne) {
    TFakeGrid Grid;
    auto* Column = Grid.AddColumn();
    TFont Other;
    Other.SetHeight(-30);
    Other.SetStyle({fsItalic});
    Grid.ClearReports();
    Column->SetFont(&Other);
    EXPECT_THAT(Grid.KindsFor(Column), ElementsAre(ccUndefined));
    EXPECT_EQ(Column->GetFont()->GetHeight(), -30);
    EXPECT_NE(Column->GetFont(), &Other);
    EXPECT_FALSE(Column->GetParentFont());
    Grid.ClearReports();
    Column->SetFont(nullptr);
    EXPECT_EQ(Column->GetFont()->GetHeight(), -30);
    EXPECT_TRUE(Grid.ColumnReports.empty());
    // A later direct change of the font is still a change of its own.
    Column->GetFont()->SetHeight(-12);
    EXPECT_THAT(Grid.KindsFor(Column), ElementsAre(ccUndefined));
}

TEST(Column, PropertiesReportOrRepaintTheRightArea) {
    TFakeGrid Grid;
    auto* Column = Grid.AddColumn();
    std::vector<TColumnNotifyOperation> Heard;
    Column->RegisterNotification(&Heard,
                                 [&](TNxCustomColumn*, TColumnNotifyOperation Op) { Heard.push_back(Op); });
    Grid.ClearReports();

    Column->SetAlignment(taCenter);
    Column->SetColor(clBlue);
    Column->SetDrawingOptions(doCustom);
    Column->SetInputValue(u"x");
    Column->SetSortKind(skDescending);
    EXPECT_THAT(Heard, ElementsAre(ccAlignChange, cnColorChange, ccDrawingChange));
    EXPECT_THAT(Grid.KindsFor(Column),
                ElementsAre(ccUndefined, ccUndefined, ccUndefined, ccInputChange, ccSortTypeChange));

    Column->SetPadding(2);
    Column->SetWrapKind(wkWordWrap);
    Column->GetHeader()->SetAlignment(taRightJustify);
    Column->GetFooter()->SetAlignment(taCenter);
    Column->GetHeader()->SetColor(clWhite);
    std::vector<TGridArea> Areas;
    for (auto& R : Grid.Refreshes) {
        EXPECT_EQ(R.first, Column);
        Areas.push_back(R.second);
    }
    EXPECT_THAT(Areas, ElementsAre(gaBody, gaBody, gaHeader, gaFooter, gaNone));

    // Unregistering removes the listener; others stay.
    std::vector<TColumnNotifyOperation> Second;
    Column->RegisterNotification(&Second,
                                 [&](TNxCustomColumn*, TColumnNotifyOperation Op) { Second.push_back(Op); });
    Column->UnregisterNotification(&Heard);
    Heard.clear();
    Column->GetHeader()->SetCaption(u"Name");
    EXPECT_TRUE(Heard.empty());
    EXPECT_THAT(Second, ElementsAre(cnCaptionChange));
}

TEST(Column, PartChangesReportUndefinedThroughTheColumn) {
    TFakeGrid Grid;
    auto* Column = Grid.AddColumn();
    Grid.ClearReports();
    Column->GetFooter()->SetFormulaKind(fkSum);
    Column->GetFooter()->SetFormulaValue(3.5);
    Column->GetHeader()->SetDisplayMode(dmImageOnly);
    EXPECT_THAT(Grid.KindsFor(Column), ElementsAre(ccUndefined, ccUndefined, ccUndefined));
}

TEST(Column, GlyphBecomesTransparentInItsBottomLeftColor) {
    TFakeGrid Grid;
    auto* Column = Grid.AddColumn();
    TBitmap Source(4, 3, pf24bit);
    // Bottom-left pixel red (bytes blue, green, red).
    uint8_t* Row = Source.ScanLine(2);
    Row[0] = 0;
    Row[1] = 0;
    Row[2] = 255;
    Grid.ClearReports();
    Column->GetHeader()->SetGlyph(&Source);
    TBitmap* Glyph = Column->GetHeader()->GetGlyph();
    EXPECT_EQ(Glyph->GetWidth(), 4);
    EXPECT_TRUE(Glyph->GetTransparent());
    EXPECT_EQ(ColorToRGB(Glyph->GetTransparentColor()), clRed);
    EXPECT_FALSE(Grid.KindsFor(Column).empty());
}

TEST(Column, SlideBoundsReportLeftAlwaysAndWidthOnlyOnChange) {
    TFakeGrid Grid;
    auto* Column = Grid.AddColumn();
    Grid.ClearReports();
    Column->GetSlideBounds()->SetLeft(8);
    Column->GetSlideBounds()->SetTop(8);
    Column->GetSlideBounds()->SetWidth(80);
    Column->GetSlideBounds()->SetHeight(16);
    EXPECT_THAT(Grid.KindsFor(Column), ElementsAre(ccSlideChanged, ccSlideChanged));
    Column->GetSlideBounds()->SetWidth(90);
    EXPECT_EQ(Grid.ColumnReports.size(), 3u);
    EXPECT_EQ(Column->GetSlideBounds()->GetRight(), 98);
}

TEST(Column, FooterAssignCopiesItsOwnSettingsOnly) {
    TTestColumn A, B;
    A.GetFooter()->SetTextBefore(u"Sum: ");
    A.GetFooter()->SetTextAfter(u" kg");
    A.GetFooter()->SetFormulaKind(fkSum);
    A.GetFooter()->SetFormatMask("0.00");
    A.GetFooter()->SetAlignment(taRightJustify);
    A.GetFooter()->SetCaption(u"Total");
    A.GetFooter()->SetColor(clBlue);
    B.GetFooter()->Assign(A.GetFooter());
    EXPECT_EQ(B.GetFooter()->GetTextBefore(), u"Sum: ");
    EXPECT_EQ(B.GetFooter()->GetTextAfter(), u" kg");
    EXPECT_EQ(B.GetFooter()->GetFormulaKind(), fkSum);
    EXPECT_EQ(B.GetFooter()->GetFormatMask(), "0.00");
    EXPECT_EQ(B.GetFooter()->GetAlignment(), taRightJustify);
    EXPECT_EQ(B.GetFooter()->GetCaption(), u"");
    EXPECT_EQ(B.GetFooter()->GetColor(), clWindow);
}

TEST(Column, HeaderAssignCopiesCaptionAndLookButNotHideArrow) {
    TTestColumn A, B;
    A.GetHeader()->SetCaption(u"Status");
    A.GetHeader()->SetHint(u"hint");
    A.GetHeader()->SetMultiLine(true);
    A.GetHeader()->SetOrientation(hoVertical);
    A.GetHeader()->SetHideArrow(false);
    B.GetHeader()->Assign(A.GetHeader());
    EXPECT_EQ(B.GetHeader()->GetCaption(), u"Status");
    EXPECT_EQ(B.GetHeader()->GetHint(), u"hint");
    EXPECT_TRUE(B.GetHeader()->GetMultiLine());
    EXPECT_EQ(B.GetHeader()->GetOrientation(), hoVertical);
    EXPECT_TRUE(B.GetHeader()->GetHideArrow());
    // Anything else cannot be copied into a header.
    EXPECT_THROW(B.GetHeader()->Assign(A.GetSlideBounds()), EConvertError);
}

TEST(Column, AssignCopiesTheColumnSettings) {
    TTestColumn Source;
    Source.SetAlignment(taRightJustify);
    Source.SetColor(clGray);
    Source.SetDefaultValue(u"0");
    Source.SetWidth(140);
    Source.SetVisible(false);
    Source.SetSortKind(skDescending);
    Source.SetOptions({coEditing});
    Source.GetHeader()->SetCaption(u"Copied");
    Source.GetSlideBounds()->SetLeft(30);
    TTestColumn Target;
    Target.Assign(&Source);
    EXPECT_EQ(Target.GetAlignment(), taRightJustify);
    EXPECT_EQ(Target.GetColor(), clGray);
    EXPECT_EQ(Target.GetDefaultValue(), u"0");
    EXPECT_EQ(Target.GetWidth(), 140);
    EXPECT_FALSE(Target.GetVisible());
    EXPECT_EQ(Target.GetSortKind(), skDescending);
    EXPECT_EQ(Target.GetOptions(), TColumnOptions{coEditing});
    EXPECT_EQ(Target.GetHeader()->GetCaption(), u"Copied");
    EXPECT_EQ(Target.GetSlideBounds()->GetLeft(), 30);
    EXPECT_TRUE(Target.GetParentFont());
}

TEST(Column, ColumnStateNeedsAnEditorAndEnabled) {
    TTestColumn Column;
    Column.SetOptions({coEditing, coCanInput});
    EXPECT_TRUE(Column.GetColumnState().Empty());
    Column.Style = {csCanEdit};
    EXPECT_EQ(Column.GetColumnState(), (TColumnState{ceEditable, ceCanInput}));
    Column.SetEnabled(false);
    EXPECT_TRUE(Column.GetColumnState().Empty());
    Column.SetEnabled(true);
    Column.Style = {};
    auto Editor = std::make_unique<TComponent>(nullptr);
    Column.SetInplaceEdit(Editor.get());
    Column.SetEditing(false);
    EXPECT_EQ(Column.GetColumnState(), TColumnState{ceCanInput});
    // When the editor is destroyed the column forgets it (the sanitizer build catches a
    // dangling editor here).
    Editor.reset();
    EXPECT_EQ(Column.GetInplaceEdit(), nullptr);
    EXPECT_TRUE(Column.GetColumnState().Empty());
}

TEST(Column, AReplacedOrOutlivedEditorIsNoLongerWatched) {
    auto First = std::make_unique<TComponent>(nullptr);
    auto Second = std::make_unique<TComponent>(nullptr);
    {
        TTestColumn Column;
        Column.SetInplaceEdit(First.get());
        Column.SetInplaceEdit(Second.get());
        // The first editor's end no longer concerns the column.
        First.reset();
        EXPECT_EQ(Column.GetInplaceEdit(), Second.get());
    }
    // The column went first: the editor must not call back into it.
    Second.reset();
}

TEST(Column, SortedIsExclusiveAndRefusedByKindsThatCannotSort) {
    TFakeGrid Grid;
    auto* A = Grid.AddColumn();
    auto* B = Grid.AddColumn();
    A->SetSorted(true);
    Grid.ClearReports();
    B->SetSorted(true);
    EXPECT_FALSE(A->GetSorted());
    EXPECT_TRUE(B->GetSorted());
    EXPECT_EQ(Grid.ColumnReports, (std::vector<TColumnReport>{{A, ccUnsorted, 0}, {B, ccSorted, 0}}));

    B->Style = {csDisableSorting};
    Grid.ClearReports();
    B->SetSorted(false);
    EXPECT_TRUE(B->GetSorted());
    EXPECT_TRUE(Grid.ColumnReports.empty());
}

TEST(Column, GeometryFollowsFixedColumnsAndScrolling) {
    TFakeGrid Grid;
    auto* A = Grid.AddColumn();
    auto* B = Grid.AddColumn();
    auto* C = Grid.AddColumn();
    Grid.Columns->SetFixedCols(1);
    Grid.HorzPos = 50;
    EXPECT_EQ(A->GetAbsoluteLeft(), 0);
    EXPECT_EQ(B->GetAbsoluteLeft(), 30);
    EXPECT_EQ(B->GetMemberRect(ckHeader), TRect(30, 0, 110, 18));
    EXPECT_EQ(B->GetMemberRect(ckFooter), TRect(30, 130, 110, 148));
    EXPECT_EQ(B->GetMemberRect(ckIndicator), TRect());
    // B's right edge (160) less the scroll (50) is not under the fixed 80 pixels; with 100 it is.
    EXPECT_FALSE(B->IsClipped());
    Grid.HorzPos = 100;
    EXPECT_TRUE(B->IsClipped());
    EXPECT_FALSE(A->IsClipped());

    EXPECT_EQ(A->GetLocation(), clLeftSide);
    EXPECT_EQ(B->GetLocation(), clMiddle);
    EXPECT_EQ(C->GetLocation(), clRightSide);
    B->SetEnabled(false);
    EXPECT_EQ(A->GetNextColumn(), C);
    EXPECT_EQ(C->GetPrevColumn(), A);
    EXPECT_EQ(C->GetNextColumn(), C);
    EXPECT_TRUE(A->GetFirst());
    EXPECT_TRUE(C->GetLast());
    Grid.SelectedColumn = 2;
    Grid.FocusedColumn = B;
    EXPECT_TRUE(C->GetSelected());
    EXPECT_TRUE(B->GetFocused());
    EXPECT_FALSE(A->GetHover());
}

TEST(Column, BestFitMeasuresTheTextInTheColumnFont) {
    TTestColumn Column;
    TFont Font;
    Font.SetName("DejaVu Sans");
    Font.SetHeight(-12);
    Column.SetFont(&Font);
    EXPECT_EQ(Column.GetCellBestFit(u""), 8);
    int Short = Column.GetCellBestFit(u"ab");
    int Long = Column.GetCellBestFit(u"abababababab");
    EXPECT_GT(Short, 8);
    EXPECT_GT(Long, Short);
}

TEST(Column, DestroyingAColumnRemovesItFromTheGridAndItsCells) {
    TFakeGrid Grid;
    auto* A = Grid.AddColumn();
    auto* B = Grid.AddColumn();
    Grid.Cells->AddRow(2);
    Grid.Cells->GetCell(1, 1)->SetAsString(u"b");
    Grid.ClearReports();
    delete A;
    EXPECT_EQ(Grid.Columns->Count(), 1);
    EXPECT_EQ(Grid.ListReports, (std::vector<TListReport>{{opDelete, 0, -1}}));
    EXPECT_EQ(Grid.RepaintReports, (std::vector<TListReport>{{opDelete, 0, -1}}));
    EXPECT_EQ(Grid.Cells->GetColumnCount(), 1);
    EXPECT_EQ(Grid.Cells->GetCell(0, 1)->GetAsString(), u"b");
    EXPECT_EQ(B->GetPosition(), 0);
    EXPECT_EQ(B->GetLeft(), 0);
}

TEST(Column, ReadingFromAFormJoinsByIndexThenPlacesByPosition) {
    TFakeGrid Grid;
    Grid.Reading = true;
    TTestColumn* Read[3];
    const int Positions[3] = {2, 0, 1};
    for (int i = 0; i < 3; ++i) {
        Read[i] = new TTestColumn(nullptr);
        Read[i]->SetParentComponent(&Grid);
        Read[i]->ReadState([&](TNxCustomColumn* C) {
            C->SetPosition(Positions[i]);
            C->SetWidth(50 + i);
        });
    }
    EXPECT_EQ(Grid.ListReports,
              (std::vector<TListReport>{{opAdd, -1, -1}, {opAdd, -1, -1}, {opAdd, -1, -1}}));
    EXPECT_EQ(Grid.Cells->GetColumnCount(), 3);
    EXPECT_EQ(Grid.Columns->GetPositionItem(0), Read[1]);
    EXPECT_EQ(Grid.Columns->GetPositionItem(1), Read[2]);
    EXPECT_EQ(Grid.Columns->GetPositionItem(2), Read[0]);
    EXPECT_EQ(Read[1]->GetLeft(), 0);
    EXPECT_EQ(Read[2]->GetLeft(), 51);
    EXPECT_EQ(Read[0]->GetLeft(), 103);
    EXPECT_EQ(Grid.Columns->GetItem(0), Read[0]);
}

TEST(Column, ReadingAColumnWithAKnownNameUpdatesTheExistingOne) {
    TFakeGrid Grid;
    auto* Existing = Grid.AddColumn();
    Existing->SetName("Status");
    Grid.Reading = true;
    auto* Read = new TTestColumn(nullptr);
    Read->SetName("Status");
    Read->SetParentComponent(&Grid);
    Read->ReadState([](TNxCustomColumn* C) { C->GetHeader()->SetCaption(u"From form"); });
    EXPECT_EQ(Existing->GetHeader()->GetCaption(), u"From form");
    EXPECT_EQ(Grid.Columns->GetPositionItem(0), Existing);
    EXPECT_THROW(Grid.Columns->GetPositionItem(1), EListError);
}
