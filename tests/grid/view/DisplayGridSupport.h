#pragma once
// A shown grid whose columns are real kinds with their displays attached, for painting tests,
// the gallery and the benchmark: what the kinds' wiring will do, done in the test.

#include <QImage>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "grid/model/ColumnKinds.h"
#include "grid/view/ColumnDisplayImage.h"
#include "grid/view/ColumnDisplayMarkup.h"
#include "grid/view/ColumnDisplayProgress.h"
#include "grid/view/ColumnDisplayText.h"
#include "grid/view/NextGrid.h"
#include "platform/windows/TestSupport.h"

// A text display that counts the cells it paints.
class TCountingTextDisplay : public TTextColumnDisplay {
public:
    using TTextColumnDisplay::TTextColumnDisplay;
    void Paint() override {
        ++Painted;
        TTextColumnDisplay::Paint();
    }
    int Painted = 0;
};

// A kind with the display it will name once the kinds are wired to the displays.
template <typename Kind, typename Display> class TWithDisplay : public Kind {
public:
    explicit TWithDisplay(TObject* AOwner = nullptr) : Kind(AOwner) {}
    std::unique_ptr<TObject> CreateColumnDisplay() override { return std::make_unique<Display>(this); }
};

using TTestTextColumn = TWithDisplay<TNxTextColumn, TCountingTextDisplay>;
using TTestProgressColumn = TWithDisplay<TNxProgressColumn, TProgressColumnDisplay>;

inline WideString Wide(const std::string& s) {
    return WideString(s.begin(), s.end());
}

// The main window's look: 8-point sans font, Office 2010 headers, centred captions.
inline void UseJobListLook(TNextGrid* Grid) {
    Grid->GetFont()->SetName("DejaVu Sans");
    Grid->GetFont()->SetHeight(-11);
    Grid->SetHeaderStyle(hsOffice2010);
}

inline TTestProgressColumn* AddJobProgressColumn(TNextGrid* Grid, const WideString& Caption) {
    auto* P = Grid->GetColumns()->Add<TTestProgressColumn>(Caption);
    P->SetMargin(0);
    P->SetBorderColor(clWhite);
    P->SetLowValueColor(clBlack);
    P->SetProgressStyle(TProgressStyle::psGradient);
    P->SetShowText(true);
    P->SetTextPosition(TProgressTextPosition::tpInside);
    P->SetAlignment(taCenter);
    P->GetHeader()->SetAlignment(taCenter);
    return P;
}

// A form holding one grid of the given client size.
struct ShownGrid {
    std::unique_ptr<TForm> Form;
    TNextGrid* Grid = nullptr;

    ShownGrid(int Width, int Height) {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(20, 20, Width + 40, Height + 40);
        Grid = new TNextGrid(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, Width, Height);
    }
    bool Show() { return ShowAndWait(Form.get()); }
    void Paint() { Grid->Update(); }
    // The client area's pixels as last painted.
    const QImage& Pixels() const { return Grid->GetWindowPrivate()->Pixels; }
    QRgb At(int X, int Y) const { return Pixels().pixel(X, Y); }
    static QRgb Qt(TColor C) {
        const TColor Rgb = ColorToRGB(C);
        return qRgb(GetRValue(Rgb), GetGValue(Rgb), GetBValue(Rgb));
    }
};
