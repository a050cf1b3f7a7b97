#pragma once
// Helpers of the grid view tests: a text column, a grid that records every rectangle it
// invalidates, and a shown form holding it.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "grid/model/Column.h"
#include "grid/view/NextGrid.h"
#include "platform/windows/TestSupport.h"

class TPlainTextColumn : public TNxCustomColumn {
public:
    explicit TPlainTextColumn(TObject* AOwner = nullptr) : TNxCustomColumn(AOwner) {}
};

class TPlainIntegerColumn : public TNxCustomColumn {
public:
    explicit TPlainIntegerColumn(TObject* AOwner = nullptr) : TNxCustomColumn(AOwner) {
        SetColumnType(ctInteger);
    }
    WideString GetDrawText(const TCellInfo& CellInfo) override {
        std::string s = std::to_string(CellInfo.AsInteger) + "%";
        return WideString(s.begin(), s.end());
    }
};

class TRecordingGrid : public TNextGrid {
public:
    using TNextGrid::TNextGrid;
    std::vector<TRect> Invalidated;
    using TNextGrid::GetRowRect;

protected:
    void InvalidateArea(const TRect& Rect) override {
        Invalidated.push_back(Rect);
        TNextGrid::InvalidateArea(Rect);
    }
};

inline QRgb QtColor(TColor c) {
    TColor rgb = ColorToRGB(c);
    return qRgb(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

// A form with a grid of Columns text columns and Rows rows ("r<row>c<col>"), painted once.
struct GridFixture : ::testing::Test {
    std::unique_ptr<TForm> Form;
    TRecordingGrid* Grid = nullptr;
    TProbe* Other = nullptr;

    void MakeGrid(int Columns, int Rows, int Width = 300, int Height = 200) {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(40, 40, Width + 140, Height + 40);
        Grid = new TRecordingGrid(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, Width, Height);
        Other = new TProbe(Form.get());
        Other->SetParent(Form.get());
        Other->SetBounds(Width + 10, 0, 100, 50);
        for (int c = 0; c < Columns; ++c) {
            auto* Column = Grid->GetColumns()->Add<TPlainTextColumn>(u"Col " + ToWide(c));
            Column->SetWidth(60);
        }
        Grid->BeginUpdate();
        Grid->AddRow(Rows);
        for (int r = 0; r < Rows && r < 200; ++r)
            for (int c = 0; c < Columns; ++c)
                Grid->GetCell(c, r)->SetAsString(u"r" + ToWide(r) + u"c" + ToWide(c));
        Grid->EndUpdate();
        ASSERT_TRUE(ShowAndWait(Form.get()));
        Paint();
    }
    static WideString ToWide(int n) {
        std::string s = std::to_string(n);
        return WideString(s.begin(), s.end());
    }
    void Paint() {
        Grid->Update();
        Grid->Invalidated.clear();
    }
    QImage Pixels() { return Grid->GetWindowPrivate()->Pixels; }
    QRgb PixelAt(int x, int y) { return Grid->GetWindowPrivate()->Pixels.pixel(x, y); }
};
