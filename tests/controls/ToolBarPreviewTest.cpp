// The main window's tool bar as its form description builds it, and galleries of the panel
// styles and edit variants, rendered offscreen to PNGs; plus keyboard access to the key field.
#include <gtest/gtest.h>

#include "controls/ControlsTestSupport.h"
#include "controls/NxEdit.h"
#include "controls/NxLabel.h"
#include "controls/NxPanel.h"
#include "drawing/ThemesSupport.h"
#include "platform/windows/Buttons.h"
#include "platform/windows/Themes.h"

using namespace ControlsTest;
using namespace NxStdCtrls;

namespace {

std::unique_ptr<TBitmap> ButtonGlyph(TColor color, int shape) {
    auto b = std::make_unique<TBitmap>(32, 32, pf24bit);
    TCanvas* c = b->GetCanvas();
    c->GetBrush()->SetColor(clFuchsia); // bottom-left: transparent
    c->FillRect({0, 0, 32, 32});
    c->GetBrush()->SetColor(color);
    c->GetPen()->SetColor(clBlack);
    if (shape == 0) c->Rectangle(6, 4, 26, 28);
    if (shape == 1) c->Polygon({{4, 10}, {14, 10}, {16, 6}, {28, 6}, {28, 26}, {4, 26}});
    if (shape == 2) c->Polygon({{8, 4}, {28, 16}, {8, 28}});
    if (shape == 3) c->Ellipse(4, 4, 28, 28);
    if (shape == 4) c->Rectangle(8, 8, 24, 24);
    return b;
}

// The tool bar part of the main window, in the order and with the values of its description.
struct ToolBarForm {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TNxPanel* NxPanel1;
    TSpeedButton* stop_but;
    std::vector<TSpeedButton*> buttons;
    TNxLabel* NxLabel1;
    NxEdit::TNxEdit* Edit1;
    TButton* Button1;
    TEdit* below; // stands in for the grid, next in the tab order

    ToolBarForm() {
        TForm* f = form.get();
        f->BeginLoading();
        f->SetCaption(u"Quillmar 1.3");
        f->SetBounds(711, 169, 649, 320);
        f->SetColor(clBtnFace);
        f->GetFont()->SetColor(clWindowText);
        f->GetFont()->SetHeight(-11);
        f->GetFont()->SetName("MS Sans Serif");
        NxPanel1 = new TNxPanel(f);
        NxPanel1->SetParent(f);
        NxPanel1->SetBounds(0, 0, 633, 42);
        NxPanel1->SetAlign(alTop);
        NxPanel1->SetBackgroundStyle(pbVertGradient);
        NxPanel1->GetBorderPen()->SetWidth(0);
        NxPanel1->GetInnerMargins()->SetLeft(0);
        NxPanel1->GetInnerMargins()->SetTop(0);
        NxPanel1->GetInnerMargins()->SetBottom(0);
        NxPanel1->GetInnerMargins()->SetRight(0);
        NxPanel1->SetTabOrder(0);
        auto button = [&](int left, const char16_t* hint, TColor color, int shape) {
            auto* b = new TSpeedButton(f);
            b->SetParent(NxPanel1);
            b->SetBounds(left, 2, 40, 40);
            b->SetHint(hint);
            b->SetFlat(true);
            auto glyph = ButtonGlyph(color, shape);
            b->SetGlyph(glyph.get());
            b->SetParentShowHint(false);
            b->SetShowHint(true);
            return b;
        };
        stop_but = button(81, u"Остановить декрипт", clRed, 4);
        stop_but->SetVisible(false);
        buttons.push_back(button(1, u"Upload files", clWhite, 0));
        buttons.push_back(button(41, u"Folder to upload files", clYellow, 1));
        buttons.push_back(button(81, u"Run", clLime, 2));
        buttons.push_back(button(121, u"Open file", clAqua, 3));
        NxLabel1 = new TNxLabel(f);
        NxLabel1->SetParent(NxPanel1);
        NxLabel1->SetBounds(176, 13, 72, 13);
        NxLabel1->SetCaption(u"Key for &decode");
        NxLabel1->SetTransparent(true);
        NxLabel1->SetHorizontalPosition(hpLeft);
        NxLabel1->SetVerticalPosition(vpTop);
        NxLabel1->SetInnerHorizontal(true);
        NxLabel1->SetInnerVertical(false);
        NxLabel1->GetInnerMargins()->SetHorizontal(0);
        NxLabel1->GetInnerMargins()->SetVertical(2);
        Edit1 = new NxEdit::TNxEdit(f);
        Edit1->SetParent(NxPanel1);
        Edit1->SetBounds(256, 11, 177, 21);
        Edit1->SetHint(u"Ключ для декодирования");
        Edit1->SetShowHint(true);
        Edit1->SetPasswordChar(u'*');
        Edit1->SetTabOrder(0);
        NxLabel1->SetFocusControl(Edit1);
        Button1 = new TButton(f);
        Button1->SetParent(NxPanel1);
        Button1->SetBounds(552, 8, 75, 25);
        Button1->SetCaption(u"Test RSA");
        Button1->SetTabOrder(1);
        Button1->SetVisible(false);
        below = new TEdit(f);
        below->SetParent(f);
        below->SetBounds(0, 42, 633, 240);
        below->SetAlign(alClient);
        below->SetTabOrder(1);
        f->EndLoading();
    }
};

struct PreviewTest : ::testing::Test {
    NxThemesSupport::TColorScheme saved = NxThemesSupport::ColorScheme;
    void SetUp() override { NxThemesSupport::ColorScheme = NxThemesSupport::csBlue; }
    void TearDown() override { NxThemesSupport::ColorScheme = saved; }
};

TEST_F(PreviewTest, ToolBarAsTheMainWindowShowsIt) {
    ToolBarForm w;
    ASSERT_TRUE(ShowAndWait(w.form.get()));
    EXPECT_EQ(w.NxPanel1->GetBoundsRect(), (TRect{0, 0, w.form->GetClientWidth(), 42}));
    EXPECT_EQ(w.NxLabel1->GetLeft(), 176);
    EXPECT_EQ(w.NxLabel1->GetTop(), 13);
    w.Edit1->SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.Edit1->Focused(); }, 2000));
    QTest::keyClicks(Client(w.Edit1), "secret key");
    EXPECT_EQ(w.Edit1->GetDisplayText(), u"**********");
    EXPECT_EQ(w.Edit1->GetText(), u"secret key");
    w.below->SetFocus(); // the key field without its focus frame, as at start
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.below->Focused(); }, 2000));

    QImage bar = Shot(w.form.get()).copy(0, 0, w.form->GetClientWidth(), 42);
    SavePng(bar, "controls-toolbar.png");
    SavePng(bar.copy(160, 0, 300, 42).scaled(900, 126), "controls-toolbar-zoom.png");
    // Gradient behind the label and beside the field, the glyphs of the four visible buttons.
    EXPECT_EQ(Pixel(bar, 500, 21), Hex(0xF1F7FF));
    EXPECT_EQ(Pixel(bar, 247, 21), Hex(0xF1F7FF));
    EXPECT_EQ(Pixel(bar, 1 + 20, 2 + 20), clWhite);
    EXPECT_EQ(Pixel(bar, 81 + 20, 2 + 16), clLime);
    EXPECT_EQ(Pixel(bar, 121 + 20, 2 + 20), clAqua);
    EXPECT_FALSE(w.stop_but->GetVisible());
    EXPECT_FALSE(w.Button1->GetVisible());
}

TEST_F(PreviewTest, KeyFieldIsReachedWithTabAndWithTheLabelsAccelerator) {
    ToolBarForm w;
    ASSERT_TRUE(ShowAndWait(w.form.get()));
    w.below->SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.below->Focused(); }, 2000));
    QTest::keyClick(Client(w.below), Qt::Key_Tab);
    Pump();
    EXPECT_TRUE(w.Edit1->Focused());

    w.below->SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.below->Focused(); }, 2000));
    QTest::keyClick(Client(w.below), Qt::Key_D, Qt::AltModifier);
    Pump();
    EXPECT_TRUE(w.Edit1->Focused());
    EXPECT_EQ(w.below->GetText(), u""); // the accelerator typed nothing
}

TEST_F(PreviewTest, PanelStylesGallery) {
    TForm form(nullptr);
    form.SetBounds(40, 40, 660, 160);
    form.GetFont()->SetName("DejaVu Sans");
    form.GetFont()->SetHeight(-11);
    struct Style {
        TNxPanelBackgroundStyle style;
        const char16_t* caption;
    };
    const Style styles[] = {{pbControl, u"pbControl"},
                            {pbHorzGradient, u"pbHorzGradient"},
                            {pbSolid, u"pbSolid"},
                            {pbTransparent, u"pbTransparent"},
                            {pbVertGradient, u"pbVertGradient"}};
    auto* back = new TNxPanel(&form);
    back->SetParent(&form);
    back->SetBounds(0, 0, 660, 130);
    back->SetBackgroundStyle(pbVertGradient);
    back->SetPanelBorders({});
    std::vector<TNxPanel*> panels;
    for (int i = 0; i < 5; ++i) {
        auto* p = new TNxPanel(&form);
        p->SetParent(back);
        p->SetBounds(8 + i * 128, 8, 120, 42);
        p->SetBackgroundStyle(styles[i].style);
        p->SetCaption(styles[i].caption);
        panels.push_back(p);
    }
    auto* wide = new TNxPanel(&form);
    wide->SetParent(back);
    wide->SetBounds(8, 60, 120, 42);
    wide->GetBorderPen()->SetWidth(3);
    wide->GetBorderPen()->SetColor(RGB(0x40, 0x60, 0xA0));
    wide->SetCaption(u"Pen 3 & more");
    auto* sides = new TNxPanel(&form);
    sides->SetParent(back);
    sides->SetBounds(136, 60, 120, 42);
    sides->SetPanelBorders({boBottom, boRight});
    sides->SetCaption(u"Bottom, right");
    auto* own = new TNxPanel(&form);
    own->SetParent(back);
    own->SetBounds(264, 60, 120, 42);
    own->SetAdaptiveColors(false);
    own->SetColor(RGB(0xFF, 0xE0, 0xA0));
    own->SetBackgroundStyle(pbHorzGradient);
    own->SetCaption(u"Own color");
    auto* silver = new TNxPanel(&form);
    silver->SetParent(back);
    silver->SetBounds(392, 60, 120, 42);
    silver->SetColorScheme(NxThemesSupport::csBlack);
    silver->SetBackgroundStyle(pbVertGradient);
    silver->SetCaption(u"csBlack");
    ASSERT_TRUE(ShowAndWait(&form));
    QImage img = Shot(back);
    SavePng(img, "controls-panel-styles.png");
    // The transparent panel shows the gradient of the panel behind it.
    EXPECT_EQ(Pixel(img, 8 + 3 * 128 + 5, 30), Pixel(img, 650, 30));
    // Solid is the scheme face throughout its inside.
    EXPECT_EQ(Pixel(img, 8 + 2 * 128 + 5, 30), Hex(0xE3EFFF));
}

TEST_F(PreviewTest, EditVariantsGallery) {
    TForm form(nullptr);
    form.SetBounds(40, 40, 420, 300);
    form.GetFont()->SetName("DejaVu Sans");
    form.GetFont()->SetHeight(-11);
    auto* back = new TNxPanel(&form);
    back->SetParent(&form);
    back->SetAlign(alClient);
    back->SetPanelBorders({});
    auto add = [&](int row, int col, const char16_t* text) {
        auto* e = new NxEdit::TNxEdit(&form);
        e->SetParent(back);
        e->SetBounds(8 + col * 200, 8 + row * 32, 185, 21);
        e->SetText(text);
        return e;
    };
    add(0, 0, u"Plain edit");
    add(0, 1, u"secret")->SetPasswordChar(u'*');
    auto glyph = ButtonGlyph(clLime, 2);
    auto small = std::make_unique<TBitmap>(16, 16, pf24bit);
    small->GetCanvas()->StretchDraw({0, 0, 16, 16}, *glyph);
    add(1, 0, u"With glyph")->SetGlyph(small.get());
    auto* preview = add(1, 1, u"Glyph and preview");
    preview->SetGlyph(small.get());
    preview->SetShowPreview(true);
    preview->OnCustomPreviewDraw = [preview](TObject*, const TRect& r) {
        (void)preview;
        (void)r;
    };
    add(2, 0, u"Right aligned")->SetAlignment(taRightJustify);
    add(2, 1, u"Centred")->SetAlignment(taCenter);
    add(3, 0, u"No border")->SetBorderStyle(bsNone);
    auto* rings = add(3, 1, u"Border rings");
    rings->SetBorderWidth(2);
    rings->SetColor(RGB(0xFF, 0xF8, 0xD0));
    auto* upper = add(4, 0, u"upper case");
    upper->SetCharCase(ecUpperCase);
    auto* margins = add(4, 1, u"Margins 12 / 12");
    margins->GetEditMargins()->SetLeft(12);
    margins->GetEditMargins()->SetRight(12);
    add(5, 0, u"Disabled")->SetEnabled(false);
    add(5, 1, u"Read only")->SetReadOnly(true);
    ASSERT_TRUE(ShowAndWait(&form));
    QImage themed = Shot(back);
    SavePng(themed, "controls-edit-variants.png");
    SetThemesEnabled(false);
    QImage classic = Shot(back);
    SetThemesEnabled(true);
    SavePng(classic, "controls-edit-variants-classic.png");
    EXPECT_EQ(upper->GetText(), u"UPPER CASE");
    EXPECT_NE(themed, classic);
}

} // namespace
