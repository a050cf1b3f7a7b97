// Canvases over someone else's painter (a window's paint event) and a picture of the operations.

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"
#include "platform/graphics/CanvasQt.h"

using namespace gtest_graphics;

TEST(CanvasQt, AttachedToAPainterWithinItsLimit) {
    QImage img(40, 30, QImage::Format_RGB32);
    img.fill(Qt::white);
    TCanvas canvas;
    {
        QPainter painter(&img);
        QRegion invalid(QRect(10, 10, 20, 10));
        TCanvasAttachment attach(canvas, &painter, &invalid);
        EXPECT_TRUE(canvas.HandleAllocated());
        EXPECT_EQ(canvas.GetClipRect(), TRect(10, 10, 30, 20));
        canvas.GetBrush()->SetColor(clRed);
        canvas.FillRect({0, 0, 40, 30});
        // A clip region never reaches past the limit.
        canvas.SelectClipRgn(CreateRectRgn(0, 0, 15, 30));
        canvas.GetBrush()->SetColor(clBlue);
        canvas.FillRect({0, 0, 40, 30});
        EXPECT_EQ(canvas.GetPixels(12, 12), clBlue);
        canvas.GetPen()->SetMode(pmNot);
        canvas.SelectClipRgn(nullptr);
        canvas.MoveTo(0, 15);
        canvas.LineTo(40, 15);
    }
    EXPECT_FALSE(canvas.HandleAllocated());
    EXPECT_EQ(ColorFromQt(img.pixel(5, 5)), clWhite);
    EXPECT_EQ(ColorFromQt(img.pixel(12, 12)), clBlue);
    EXPECT_EQ(ColorFromQt(img.pixel(20, 12)), clRed);
    EXPECT_EQ(ColorFromQt(img.pixel(20, 15)), clAqua); // red inverted by the pen
    EXPECT_EQ(ColorFromQt(img.pixel(5, 15)), clWhite); // outside the limit
    // Detached, the canvas ignores drawing and keeps its objects.
    canvas.FillRect({0, 0, 40, 30});
    EXPECT_EQ(canvas.GetBrush()->GetColor(), clBlue);
}

TEST(CanvasQt, PainterTransformIsTheDeviceOrigin) {
    // A painter already translated (as for a child area of a window) is respected.
    QImage img(20, 20, QImage::Format_RGB32);
    img.fill(Qt::white);
    TCanvas canvas;
    QPainter painter(&img);
    painter.translate(5, 6);
    painter.setClipRect(QRect(0, 0, 10, 10)); // the owner's clip stays in force
    AttachCanvas(canvas, &painter);
    EXPECT_EQ(canvas.GetClipRect(), TRect(-5, -6, 15, 14));
    canvas.SetPixels(0, 0, clRed);
    EXPECT_EQ(canvas.GetPixels(0, 0), clRed);
    canvas.GetBrush()->SetColor(clBlue);
    canvas.FillRect({-5, -6, 15, 14});
    DetachCanvas(canvas);
    painter.end();
    EXPECT_EQ(ColorFromQt(img.pixel(5, 6)), clBlue);
    EXPECT_EQ(ColorFromQt(img.pixel(14, 15)), clBlue);
    EXPECT_EQ(ColorFromQt(img.pixel(15, 15)), clWhite);
    EXPECT_EQ(ColorFromQt(img.pixel(4, 6)), clWhite);
}

TEST(CanvasQt, PictureOfTheOperations) {
    auto b = MakeBitmap(240, 140, clBtnFace);
    TCanvas* c = b->GetCanvas();
    c->GetBrush()->SetColor(clWindow);
    c->Rectangle(5, 5, 115, 65);
    c->GetPen()->SetColor(clRed);
    c->MoveTo(10, 10);
    c->LineTo(110, 60);
    c->GetPen()->SetColor(clBlue);
    c->GetPen()->SetStyle(psDot);
    c->GetBrush()->SetStyle(bsClear);
    c->Polyline({{10, 60}, {60, 12}, {110, 60}});
    c->GetPen()->SetStyle(psSolid);
    c->GetPen()->SetColor(clBlack);
    c->GetBrush()->SetColor(clYellow);
    c->Ellipse(125, 5, 175, 45);
    c->GetBrush()->SetColor(clLime);
    c->Polygon({{185, 45}, {210, 5}, {235, 45}});
    c->SetBkColor(clBlack);
    c->SetTextColor(clWhite);
    c->DrawFocusRect({122, 50, 236, 64});
    c->GetFont()->SetColor(clWindowText);
    c->GetBrush()->SetStyle(bsClear);
    TRect t{5, 70, 115, 90};
    c->DrawText(WideString(u"&Centred text"), t, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    TRect e{5, 92, 115, 108};
    c->DrawText(WideString(u"A long text cut with an ellipsis"), e, DT_SINGLELINE | DT_END_ELLIPSIS);
    TRect w{122, 70, 200, 135};
    c->DrawText(WideString(u"Wrapped words in a narrow box"), w, DT_WORDBREAK | DT_RIGHT);
    c->GetFont()->SetOrientation(900);
    c->TextOut(205, 135, WideString(u"Upwards"));
    c->GetFont()->SetOrientation(0);
    TBitmap glyph(8, 8, pf24bit);
    glyph.GetCanvas()->GetBrush()->SetColor(clFuchsia);
    glyph.GetCanvas()->FillRect({0, 0, 8, 8});
    glyph.GetCanvas()->GetBrush()->SetColor(clNavy);
    glyph.GetCanvas()->Ellipse(0, 0, 8, 8);
    glyph.SetTransparent(true);
    c->Draw(10, 115, glyph);
    c->StretchDraw({25, 110, 41, 126}, glyph);
    std::string path = OutDir() + "/canvas-operations.png";
    b->SaveToFile(path);
    QImage back(QString::fromStdString(path));
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.size(), QSize(240, 140));
    EXPECT_EQ(ColorFromQt(back.pixel(10, 10)), clRed);
}
