// Both windows open wholly on the screen's available area at any scale factor; CTest runs this
// suite again with QT_SCALE_FACTOR 1.5 and 2 on the same 1600 x 1000 screen.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QScreen>

#include "app/window/MainForm.h"
#include "app/window/PrimeForm.h"
#include "controls/NxLabel.h"
#include "controls/NxPanel.h"
#include "platform/windows/Buttons.h"
#include "platform/windows/TestSupport.h"

namespace {

void ExpectOnScreen(TCustomForm* Form, const TRect& Designed) {
    ASSERT_TRUE(ShowAndWait(Form));
    QRect Area = QGuiApplication::primaryScreen()->availableGeometry();
    QRect Bounds(Form->GetLeft(), Form->GetTop(), Form->GetWidth(), Form->GetHeight());
    // The form's bounds include a border the window system may draw 2 pixels further out.
    EXPECT_TRUE(Area.adjusted(-2, -2, 2, 2).contains(Bounds))
        << Form->GetName() << " at " << Bounds.x() << "," << Bounds.y() << " " << Bounds.width() << "x"
        << Bounds.height() << " on " << Area.width() << "x" << Area.height();
    EXPECT_TRUE(Area.contains(Frame(Form)->geometry()));
    QRect Design(Designed.Left, Designed.Top, Designed.Width(), Designed.Height());
    if (Area.contains(Design)) {
        // A window that fits stays at its designed place (the frame's border may shift it by 2).
        EXPECT_NEAR(Bounds.x(), Design.x(), 2);
        EXPECT_NEAR(Bounds.y(), Design.y(), 2);
        EXPECT_EQ(Bounds.size(), Design.size());
    } else {
        EXPECT_TRUE(Bounds.width() == Design.width() || Bounds.width() == Area.width());
        EXPECT_TRUE(Bounds.height() == Design.height() || Bounds.height() == Area.height());
    }
}

TEST(WindowPlacement, MainWindowOpensWhollyOnTheScreen) {
    auto* Form = new TMain_form(nullptr);
    Form->AfterConstruction();
    ExpectOnScreen(Form, {711, 169, 711 + 649, 169 + 320});
    delete Form;
}

TEST(WindowPlacement, PrimeWindowOpensWhollyOnTheScreen) {
    auto* Form = new TForm2(nullptr);
    Form->AfterConstruction();
    ExpectOnScreen(Form, {331, 169, 331 + 870, 169 + 640});
    delete Form;
}

// Blocks of 2 x 2 device pixels, one per logical pixel, that hold more than one color: none when a
// picture drawn at the logical size was merely enlarged.
int FineBlocks(const QImage& Shot, const QRect& Logical) {
    int Count = 0;
    for (int y = Logical.top(); y <= Logical.bottom(); ++y)
        for (int x = Logical.left(); x <= Logical.right(); ++x) {
            QRgb A = Shot.pixel(2 * x, 2 * y);
            if (Shot.pixel(2 * x + 1, 2 * y) != A || Shot.pixel(2 * x, 2 * y + 1) != A ||
                Shot.pixel(2 * x + 1, 2 * y + 1) != A)
                ++Count;
        }
    return Count;
}

TEST(WindowPlacement, GlyphsTextAndIconAreDrawnAtTheDevicesResolution) {
    auto* Form = new TMain_form(nullptr);
    Form->AfterConstruction();
    ASSERT_TRUE(ShowAndWait(Form));
    EXPECT_TRUE(Frame(Form)->windowIcon().availableSizes().contains(QSize(96, 96)));
    if (qgetenv("QT_SCALE_FACTOR") == "2") ASSERT_EQ(Frame(Form)->devicePixelRatioF(), 2.0);
    if (Frame(Form)->devicePixelRatioF() == 2.0) {
        QImage Shot = Frame(Form)->grab().toImage();
        ASSERT_EQ(Shot.width(), 2 * Frame(Form)->width());
        auto AreaOf = [&](TControl* C) {
            QPoint At = Client(C->GetParent())->mapTo(Frame(Form), QPoint(C->GetLeft(), C->GetTop()));
            return QRect(At, QSize(C->GetWidth(), C->GetHeight()));
        };
        EXPECT_GT(FineBlocks(Shot, AreaOf(Form->decript_but)), 0) << "the Run glyph was enlarged";
        EXPECT_GT(FineBlocks(Shot, AreaOf(Form->NxLabel1)), 0) << "the key label's text was enlarged";
    }
    delete Form;
}

} // namespace
