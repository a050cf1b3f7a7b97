#pragma once
// A stand-in for the grid control: answers the model's questions from plain fields, owns a
// column collection and a cell store wired the way the grid wires them, and records every
// report it receives.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "grid/model/Cells.h"
#include "grid/model/Column.h"
#include "grid/model/Columns.h"
#include "grid/model/GridHost.h"
#include "platform/runtime/SysUtils.h"

// The smallest concrete column: a kind with a chosen type and style.
class TTestColumn : public TNxCustomColumn {
public:
    explicit TTestColumn(TObject* AOwner = nullptr) : TNxCustomColumn(AOwner) {}
    TColumnStyle GetColumnStyle() const override { return Style; }
    TColumnStyle Style;
};

template <TColumnType Type> class TTypedColumn : public TTestColumn {
public:
    explicit TTypedColumn(TObject* AOwner = nullptr) : TTestColumn(AOwner) { SetColumnType(Type); }
};

// Holds the values of its virtual cells itself, by (column, row).
class TTestVirtualColumn : public TTestColumn {
public:
    explicit TTestVirtualColumn(TObject* AOwner = nullptr) : TTestColumn(AOwner) { SetColumnType(ctVirtual); }
    void DoGetText(int ACol, int ARow, WideString& Value) override {
        auto It = Values.find({ACol, ARow});
        if (It != Values.end()) Value = It->second;
    }
    void DoSetText(int ACol, int ARow, const WideString& Value) override { Values[{ACol, ARow}] = Value; }
    std::map<std::pair<int, int>, WideString> Values;
};

struct TColumnReport {
    TNxCustomColumn* Column;
    TColumnChangeKind Kind;
    int Param;
    friend bool operator==(const TColumnReport&, const TColumnReport&) = default;
};

struct TListReport {
    TColumnsOperation Operation;
    int Value1;
    int Value2;
    friend bool operator==(const TListReport&, const TListReport&) = default;
};

class TFakeGrid : public TNxGridHost {
public:
    TFakeGrid() {
        Columns = std::make_unique<TNxColumns>(this);
        Cells = std::make_unique<TCells>(this, Columns.get());
        Columns->OnColumnChange = [this](TObject* Sender, TNxCustomColumn* Column, TColumnChangeKind Kind,
                                         int Param) {
            EXPECT_EQ(Sender, Columns.get());
            ColumnReports.push_back({Column, Kind, Param});
        };
        Columns->OnColumnsChange = [this](TObject*, TColumnsOperation Operation, int Value1, int Value2) {
            // The store follows the collection first, as the grid does.
            Cells->ColumnsChange(Operation, Value1, Value2);
            ListReports.push_back({Operation, Value1, Value2});
        };
        Columns->OnColumnsRepaint = [this](TObject*, TColumnsOperation Operation, int Value1, int Value2) {
            RepaintReports.push_back({Operation, Value1, Value2});
        };
        Cells->OnCellChange = [this](TObject* Sender, int ACol, int ARow) {
            EXPECT_EQ(Sender, Cells.get());
            CellReports.emplace_back(ACol, ARow);
        };
    }
    ~TFakeGrid() override {
        // The grid frees its cell store before its columns.
        Destroying = true;
        Cells.reset();
        Columns.reset();
    }

    template <typename T = TTestColumn> T* AddColumn(const WideString& Caption = WideString()) {
        return Columns->Add<T>(Caption);
    }

    void ClearReports() {
        ColumnReports.clear();
        ListReports.clear();
        RepaintReports.clear();
        CellReports.clear();
        Refreshes.clear();
    }

    std::vector<TColumnChangeKind> KindsFor(TNxCustomColumn* Column) const {
        std::vector<TColumnChangeKind> Result;
        for (auto& R : ColumnReports)
            if (R.Column == Column) Result.push_back(R.Kind);
        return Result;
    }

    // TNxGridHost
    void RefreshColumn(TNxCustomColumn* Column, TGridArea Area) override {
        Refreshes.emplace_back(Column, Area);
    }
    TFont* GetGridFont() override { return &Font; }
    TColor GetGridColor() override { return Color; }
    TCursor GetGridCursor() override { return Cursor; }
    TRect GetBodyRect() override { return BodyRect; }
    int GetInnerWidth() override { return InnerWidth; }
    int GetHorzScrollPos() override { return HorzPos; }
    TRect GetAreaRect(TGridArea Area) override {
        switch (Area) {
        case gaHeader:
            return {0, 0, 300, 18};
        case gaFooter:
            return {0, 130, 300, 148};
        case gaInput:
            return {0, 18, 300, 34};
        default:
            return BodyRect;
        }
    }
    bool ShowsIndicator() override { return Indicator; }
    bool IsReadingState() override { return Reading; }
    bool IsDesigning() override { return Designing; }
    bool IsDestroying() override { return Destroying; }
    int GetSelectedColumn() override { return SelectedColumn; }
    TNxCustomColumn* GetFocusedColumn() override { return FocusedColumn; }
    TNxCustomColumn* GetHoverColumn() override { return HoverColumn; }
    bool IsCellHighlighted(int ACol, int ARow) override {
        return ACol == HighlightCol && ARow == HighlightRow;
    }
    TColor GetActualCellColor(int ACol, int ARow) override { return static_cast<TColor>(ACol * 1000 + ARow); }
    TColor GetActualCellFontColor(int, int ARow) override { return static_cast<TColor>(ARow); }
    TNxColumns* GetColumns() override { return Columns.get(); }
    bool OwnerHasComponent(const AnsiString& Name) override {
        for (auto& Taken : OwnerNames)
            if (SameText(Taken, Name)) return true;
        return false;
    }

    TFont Font;
    TColor Color = clWindow;
    TCursor Cursor = 0;
    TRect BodyRect{0, 18, 300, 150};
    int InnerWidth = 300;
    int HorzPos = 0;
    bool Indicator = false;
    bool Reading = false;
    bool Designing = false;
    bool Destroying = false;
    int SelectedColumn = 0;
    TNxCustomColumn* FocusedColumn = nullptr;
    TNxCustomColumn* HoverColumn = nullptr;
    int HighlightCol = -1;
    int HighlightRow = -1;
    std::vector<AnsiString> OwnerNames;

    std::unique_ptr<TNxColumns> Columns;
    std::unique_ptr<TCells> Cells;

    std::vector<TColumnReport> ColumnReports;
    std::vector<TListReport> ListReports;
    std::vector<TListReport> RepaintReports;
    std::vector<std::pair<int, int>> CellReports;
    std::vector<std::pair<TNxCustomColumn*, TGridArea>> Refreshes;
};

// Conversions in tests use fixed settings, whatever the machine's locale.
class TFixedFormatSettings {
public:
    TFixedFormatSettings() : FSaved(DefaultFormatSettings()) {
        TFormatSettings Fixed = TFormatSettings::Invariant();
        Fixed.DecimalSeparator = u'.';
        Fixed.DateSeparator = u'/';
        Fixed.TimeSeparator = u':';
        Fixed.ShortDateFormat = u"m/d/yyyy";
        Fixed.LongTimeFormat = u"hh:nn:ss";
        Fixed.TrueBoolStrs = {u"True"};
        Fixed.FalseBoolStrs = {u"False"};
        DefaultFormatSettings() = Fixed;
    }
    ~TFixedFormatSettings() { DefaultFormatSettings() = FSaved; }

private:
    TFormatSettings FSaved;
};
