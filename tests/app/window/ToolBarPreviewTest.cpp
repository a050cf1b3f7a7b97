// The main window's own tool bar as the user sees it: the gradient and border lines of the panel,
// the four visible buttons with their glyphs where the form description puts them, the label and
// the masked key field, and keyboard access to that field.
#include <gtest/gtest.h>

#include "MainFormTestSupport.h"
#include "app/window/MainGlyphs.h"
#include "controls/ControlsTestSupport.h"
#include "controls/NxEdit.h"
#include "controls/NxLabel.h"
#include "controls/NxPanel.h"
#include "grid/view/NextGrid.h"
#include "platform/windows/Buttons.h"

using namespace ControlsTest;

namespace {

using PreviewTest = TMainFormFixture;

// Share of the glyph's opaque pixels that show unchanged at (Left, Top) of the picture.
double GlyphShown(const QImage& Picture, TMainGlyph Glyph, int Left, int Top) {
    auto Bitmap = MakeMainGlyph(Glyph);
    TCanvas* Canvas = Bitmap->GetCanvas();
    const TColor Transparent = ColorToRGB(Canvas->GetPixels(0, 31));
    int Opaque = 0, Shown = 0;
    for (int Y = 0; Y < 32; ++Y)
        for (int X = 0; X < 32; ++X) {
            const TColor Want = ColorToRGB(Canvas->GetPixels(X, Y));
            if (Want == Transparent) continue;
            ++Opaque;
            Shown += Pixel(Picture, Left + X, Top + Y) == Want;
        }
    return Opaque ? double(Shown) / Opaque : 0;
}

TEST_F(PreviewTest, ToolBarAsTheMainWindowShowsIt) {
    EXPECT_EQ(Form->NxPanel1->GetBoundsRect(), (TRect{0, 0, Form->GetClientWidth(), 42}));
    EXPECT_EQ(Form->NxLabel1->GetLeft(), 176);
    EXPECT_EQ(Form->NxLabel1->GetTop(), 13);
    EXPECT_EQ(Form->Edit1->GetBoundsRect(), (TRect{256, 11, 256 + 177, 11 + 21}));
    Form->Edit1->SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Form->Edit1->Focused(); }, 2000));
    QTest::keyClicks(Client(Form->Edit1), "secret key");
    EXPECT_EQ(Form->Edit1->GetDisplayText(), u"**********");
    EXPECT_EQ(Form->Edit1->GetText(), u"secret key");
    Form->NextGrid1->SetFocus(); // the key field without its focus frame, as at start
    ASSERT_TRUE(QTest::qWaitFor([&] { return Form->NextGrid1->Focused(); }, 2000));

    QImage Bar = Shot(Form).copy(0, 0, Form->GetClientWidth(), 42);
    SavePng(Bar, "controls-toolbar.png");
    SavePng(Bar.copy(160, 0, 300, 42).scaled(900, 126), "controls-toolbar-zoom.png");
    // Width-0 border lines on the first row and column; the gradient runs from the window color
    // towards the scheme face #E3EFFF: half-way at row 21, its last row at 41/42.
    EXPECT_EQ(Pixel(Bar, 500, 0), clBlack);
    EXPECT_EQ(Pixel(Bar, 0, 21), clBlack);
    for (int X : {170, 250, 500, 600, Bar.width() - 1}) {
        EXPECT_EQ(Pixel(Bar, X, 1), Hex(0xFEFFFF)) << X;
        EXPECT_EQ(Pixel(Bar, X, 21), Hex(0xF1F7FF)) << X;
        EXPECT_EQ(Pixel(Bar, X, 41), Hex(0xE4EFFF)) << X;
    }
    // The hidden "Test RSA" button leaves the gradient alone.
    EXPECT_EQ(Pixel(Bar, 552 + 37, 21), Hex(0xF1F7FF));
    // The four visible buttons at 1, 41, 81 and 121, 40 wide from y = 2: each glyph centred in
    // its button; Run, not Stop, in the shared place.
    struct TButtonPlace {
        TMainGlyph Glyph;
        int Left;
    };
    for (const TButtonPlace& Place :
         {TButtonPlace{TMainGlyph::OpenFiles, 1}, TButtonPlace{TMainGlyph::OpenFolder, 41},
          TButtonPlace{TMainGlyph::Run, 81}, TButtonPlace{TMainGlyph::OpenFile, 121}}) {
        EXPECT_GT(GlyphShown(Bar, Place.Glyph, Place.Left + 4, 2 + 4), 0.95) << Place.Left;
    }
    EXPECT_LT(GlyphShown(Bar, TMainGlyph::Stop, 81 + 4, 2 + 4), 0.5);
    // Nothing of the buttons spills between them and the label.
    EXPECT_EQ(Pixel(Bar, 168, 21), Hex(0xF1F7FF));
    EXPECT_FALSE(Form->stop_but->GetVisible());
    EXPECT_FALSE(Form->Button1->GetVisible());
}

TEST_F(PreviewTest, KeyFieldIsReachedWithTabAndWithTheLabelsAccelerator) {
    TWinControl* Grid = Form->NextGrid1;
    Grid->SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Grid->Focused(); }, 2000));
    QTest::keyClick(Client(Grid), Qt::Key_Tab);
    Pump();
    EXPECT_TRUE(Form->Edit1->Focused());

    Grid->SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Grid->Focused(); }, 2000));
    QTest::keyClick(Client(Grid), Qt::Key_D, Qt::AltModifier);
    Pump();
    EXPECT_TRUE(Form->Edit1->Focused());
    EXPECT_EQ(Form->Edit1->GetText(), u""); // the accelerator typed nothing
}

} // namespace
