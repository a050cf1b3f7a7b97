#include <QFontInfo>
#include <QFontMetrics>
#include <gtest/gtest.h>

#include "platform/graphics/Colors.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/FontQt.h"
#include "platform/graphics/GraphicsObjects.h"
#include "platform/runtime/Exception.h"

TEST(Colors, ChannelsAndNamedValues) {
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), 0x563412u);
    EXPECT_EQ(GetRValue(0x563412), 0x12);
    EXPECT_EQ(GetGValue(0x563412), 0x34);
    EXPECT_EQ(GetBValue(0x563412), 0x56);
    EXPECT_EQ(clBlue, RGB(0, 0, 255));
    EXPECT_EQ(clNone, 0x1FFFFFFFu);
    EXPECT_EQ(clWindow, 0x80000005u);
    EXPECT_EQ(clBtnFace, 0x8000000Fu);
    EXPECT_EQ(cl3DLight, 0x80000016u);
    EXPECT_EQ(clInactiveCaptionText, 0x80000013u);
}

TEST(Colors, SystemColorsResolveThroughTheTable) {
    EXPECT_EQ(ColorToRGB(clWindow), RGB(255, 255, 255));
    EXPECT_EQ(ColorToRGB(clWindowText), RGB(0, 0, 0));
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(240, 240, 240));
    EXPECT_EQ(ColorToRGB(clBtnShadow), RGB(160, 160, 160));
    EXPECT_EQ(ColorToRGB(clHighlight), RGB(51, 153, 255));
    EXPECT_EQ(ColorToRGB(clGrayText), RGB(109, 109, 109));
    EXPECT_EQ(ColorToRGB(clWindowFrame), RGB(100, 100, 100));
    EXPECT_EQ(ColorToRGB(cl3DLight), RGB(227, 227, 227));
    EXPECT_EQ(ColorToRGB(clInfoBk), RGB(255, 255, 225));
    EXPECT_EQ(ColorToRGB(clMenuBar), RGB(240, 240, 240));
    // Plain colors, clNone and clDefault come back unchanged; the index is the low byte.
    EXPECT_EQ(ColorToRGB(0x123456), 0x123456u);
    EXPECT_EQ(ColorToRGB(clNone), clNone);
    EXPECT_EQ(ColorToRGB(0x80001205), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(99), clBlack);
    EXPECT_EQ(GetSysColor(-1), clBlack);
}

TEST(Font, DefaultsHeightAndSize) {
    TFont f;
    EXPECT_EQ(f.GetName(), "MS Sans Serif");
    EXPECT_EQ(f.GetHeight(), -11);
    EXPECT_EQ(f.GetSize(), 8);
    EXPECT_EQ(f.GetColor(), clWindowText);
    EXPECT_EQ(f.GetCharset(), DEFAULT_CHARSET);
    EXPECT_TRUE(f.GetStyle().Empty());
    f.SetSize(10);
    EXPECT_EQ(f.GetHeight(), -13);
    f.SetSize(9);
    EXPECT_EQ(f.GetHeight(), -12);
    f.SetHeight(-16);
    EXPECT_EQ(f.GetSize(), 12);
    f.SetPixelsPerInch(120);
    EXPECT_EQ(f.GetHeight(), -16);
    EXPECT_EQ(f.GetSize(), 10);
}

TEST(Font, ChangeNotificationAndAssign) {
    TFont a, b;
    int changes = 0;
    b.OnChange = [&] { ++changes; };
    a.SetName("DejaVu Sans");
    a.SetHeight(-14);
    a.SetColor(clRed);
    a.SetStyle({fsBold, fsUnderline});
    a.SetOrientation(900);
    a.SetCharset(ANSI_CHARSET);
    b.Assign(a);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(b.IsEqual(a));
    b.SetStyle(b.GetStyle() + TFontStyles{fsItalic});
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(b.IsEqual(a));
    b.Assign(&b); // self-assignment changes nothing
    EXPECT_EQ(changes, 2);
    b.SetColor(clRed); // the current value: no change reported
    b.SetHeight(b.GetHeight());
    EXPECT_EQ(changes, 2);
    // Through the persistent interface.
    TFont c;
    c.Assign(static_cast<const TPersistent*>(&a));
    EXPECT_TRUE(c.IsEqual(a));
    TPen pen;
    EXPECT_THROW(c.Assign(static_cast<const TPersistent*>(&pen)), EConvertError);
    EXPECT_EQ(c.ClassName(), "TFont");
}

TEST(Font, ClassicFacesResolveToTheInstalledSansClosestInMetrics) {
    // At 8 points the classic sans runs "Key for decode" to 72 pixels on a 13-pixel line; the
    // substitute keeps both, and the shell-dialog aliases and Tahoma land on the same family.
    for (const char* face : {"MS Sans Serif", "Microsoft Sans Serif", "MS Shell Dlg 2", "Tahoma"}) {
        TFont f;
        f.SetName(face);
        QFont q = FontToQt(f);
        EXPECT_EQ(QFontInfo(q).family(), "DejaVu Sans Condensed") << face;
        EXPECT_EQ(QFontMetrics(q).height(), 13) << face;
        EXPECT_LE(QFontMetrics(q).horizontalAdvance("Key for decode"), 72) << face;
    }
    QString sans = QFontInfo(QFont("Sans Serif")).family();
    for (const char* face : {"Segoe UI", "Arial"}) {
        TFont f;
        f.SetName(face);
        EXPECT_EQ(QFontInfo(FontToQt(f)).family(), sans) << face;
    }
    TFont pinned;
    pinned.SetName("DejaVu Sans");
    EXPECT_EQ(QFontInfo(FontToQt(pinned)).family(), "DejaVu Sans");
}

TEST(Font, HeightsInPixels) {
    TFont f;
    f.SetName("DejaVu Sans");
    f.SetHeight(-11);
    QFont q = FontToQt(f);
    EXPECT_EQ(q.pixelSize(), 11);
    EXPECT_EQ(QFontMetrics(q).height(), 13); // the classic TextHeight of this font
    EXPECT_EQ(q.styleStrategy() & QFont::NoAntialias, QFont::NoAntialias);
    // A positive height is the cell height.
    f.SetHeight(26);
    EXPECT_NEAR(QFontMetrics(FontToQt(f)).height(), 26, 1);
    f.SetStyle({fsBold, fsItalic, fsUnderline, fsStrikeOut});
    q = FontToQt(f);
    EXPECT_TRUE(q.bold() && q.italic() && q.underline() && q.strikeOut());
}

TEST(PenBrush, DefaultsAndNotifications) {
    TPen pen;
    EXPECT_EQ(pen.GetColor(), clBlack);
    EXPECT_EQ(pen.GetWidth(), 1);
    EXPECT_EQ(pen.GetStyle(), psSolid);
    EXPECT_EQ(pen.GetMode(), pmCopy);
    int n = 0;
    pen.OnChange = [&] { ++n; };
    pen.SetWidth(-3);
    EXPECT_EQ(pen.GetWidth(), 0);
    pen.SetMode(pmXor);
    pen.SetMode(pmXor);
    EXPECT_EQ(n, 2);

    TBrush brush;
    EXPECT_EQ(brush.GetColor(), clWhite);
    EXPECT_EQ(brush.GetStyle(), bsSolid);
    brush.SetStyle(bsClear);
    brush.SetColor(clRed); // a color makes a clear brush solid again
    EXPECT_EQ(brush.GetStyle(), bsSolid);
    TBrush copy;
    copy.Assign(brush);
    EXPECT_EQ(copy.GetColor(), clRed);
}
