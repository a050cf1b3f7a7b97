// A demo form with every standard control, rendered offscreen to a PNG that anyone can open.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPixmap>
#include <memory>

#include "TestSupport.h"
#include "platform/windows/Buttons.h"
#include "platform/windows/ExtCtrls.h"
#include "platform/windows/StdCtrls.h"
#include "platform/windows/Themes.h"

namespace {

// A custom control with its own scroll bar, painting numbered rows and a themed edit frame.
class TRowsView : public TCustomControl {
public:
    explicit TRowsView(TComponent* owner) : TCustomControl(owner) { SetBorderStyle(bsSingle); }
    int Top = 0;

protected:
    void CreateWnd() override {
        TScrollInfo si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        si.nMax = 49;
        si.nPage = 8;
        SetScrollInfo(SB_VERT, si, true);
    }
    void Paint() override {
        TCanvas* c = GetCanvas();
        c->GetBrush()->SetColor(clWindow);
        c->FillRect(GetClientRect());
        for (int i = 0; i * 18 < GetClientHeight(); ++i) {
            TRect r{0, i * 18, GetClientWidth(), i * 18 + 18};
            if ((Top + i) % 2) {
                c->GetBrush()->SetColor(RGB(0xEF, 0xF5, 0xFB));
                c->FillRect(r);
            }
            c->GetBrush()->SetStyle(bsClear);
            r.Left += 4;
            std::string s = "Row " + std::to_string(Top + i + 1);
            c->DrawText(WideString(s.begin(), s.end()), r, DT_SINGLELINE | DT_VCENTER);
            c->GetBrush()->SetStyle(bsSolid);
        }
        if (HTHEME t = OpenThemeData(this, u"header")) {
            TRect h{GetClientWidth() - 90, 0, GetClientWidth(), 18};
            DrawThemeBackground(t, c, 1, 1, &h, nullptr);
            c->GetBrush()->SetStyle(bsClear);
            c->DrawText(WideString(u"Themed"), h, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
            CloseThemeData(t);
        }
    }
    void WMVScroll(TMessage& m) override {
        int code = LoWord(m.WParam);
        int old = Top;
        if (code == SB_LINEDOWN) Top = std::min(Top + 1, 42);
        if (code == SB_LINEUP) Top = std::max(Top - 1, 0);
        TScrollInfo si;
        si.fMask = SIF_POS;
        si.nPos = Top;
        SetScrollInfo(SB_VERT, si, true);
        ScrollWindowEx(0, (old - Top) * 18, nullptr, nullptr, SW_INVALIDATE);
        // The themed corner stays in place: repaint it.
        TRect h{GetClientWidth() - 90, 0, GetClientWidth(), 18};
        InvalidateRect(&h);
    }
};

TBitmap* MakeGlyph(TColor color, int shape) {
    auto* b = new TBitmap(32, 32, pf24bit);
    TCanvas* c = b->GetCanvas();
    c->GetBrush()->SetColor(clFuchsia); // the bottom-left pixel: transparent
    c->FillRect({0, 0, 32, 32});
    c->GetBrush()->SetColor(color);
    c->GetPen()->SetColor(clBlack);
    if (shape == 0) c->Rectangle(6, 4, 26, 28);
    if (shape == 1) c->Polygon({{4, 10}, {14, 10}, {16, 6}, {28, 6}, {28, 26}, {4, 26}});
    if (shape == 2) c->Polygon({{8, 4}, {28, 16}, {8, 28}});
    if (shape == 3) c->Ellipse(4, 4, 28, 28);
    return b;
}

class TDemoForm : public TForm {
public:
    explicit TDemoForm(TComponent* owner) : TForm(owner) {
        DisableAlign();
        SetCaption(u"Quillmar demo");
        SetBounds(100, 100, 649, 420);
        GetConstraints()->SetMinWidth(400);
        GetConstraints()->SetMinHeight(200);
        GetFont()->SetName("DejaVu Sans");
        GetFont()->SetHeight(-11);

        ToolBar = new TPanel(this);
        ToolBar->SetParent(this);
        ToolBar->SetBounds(0, 0, 633, 42);
        ToolBar->SetAlign(alTop);
        ToolBar->SetBevelOuter(bvNone);
        ToolBar->SetColor(RGB(0xE3, 0xEF, 0xFF));
        const char16_t* hints[] = {u"Upload files", u"Folder to upload files", u"Run", u"Open file"};
        TColor colors[] = {clWhite, clYellow, clLime, clAqua};
        for (int i = 0; i < 4; ++i) {
            auto* b = new TSpeedButton(this);
            b->SetParent(ToolBar);
            b->SetBounds(1 + 40 * i, 2, 40, 40);
            b->SetFlat(i != 2);
            std::unique_ptr<TBitmap> g(MakeGlyph(colors[i], i));
            b->SetGlyph(g.get());
            b->SetHint(hints[i]);
            b->SetShowHint(true);
            Buttons.push_back(b);
        }
        KeyLabel = new TLabel(this);
        KeyLabel->SetParent(ToolBar);
        KeyLabel->SetBounds(176, 13, 72, 13);
        KeyLabel->SetTransparent(true);
        KeyLabel->SetCaption(u"Key for &decode");
        Key = new TEdit(this);
        Key->SetParent(ToolBar);
        Key->SetBounds(276, 11, 177, 21);
        Key->SetPasswordChar(u'*');
        Key->SetText(u"secretkey12");
        KeyLabel->SetFocusControl(Key);
        Test = new TButton(this);
        Test->SetParent(ToolBar);
        Test->SetBounds(552, 8, 75, 25);
        Test->SetCaption(u"Test RSA");

        Left = new TGroupBox(this);
        Left->SetParent(this);
        Left->SetBounds(0, 42, 250, 200);
        Left->SetAlign(alLeft);
        Left->SetCaption(u" Memo ");
        Memo = new TMemo(this);
        Memo->SetParent(Left);
        Memo->SetAlign(alClient);
        Memo->SetScrollBars(ssVertical);
        for (const char16_t* s : {u"1000003", u"1000033", u"1000037", u"1000039"})
            Memo->GetLines()->Add(s);

        Split = new TSplitter(this);
        Split->SetParent(this);
        Split->SetBounds(250, 42, 4, 200);
        Split->SetAlign(alLeft);

        Status = new TPanel(this);
        Status->SetParent(this);
        Status->SetBounds(0, 350, 633, 24);
        Status->SetAlign(alBottom);
        Status->SetCaption(u"Raised panel with a centred caption");
        Status->SetBevelInner(bvLowered);

        Rows = new TRowsView(this);
        Rows->SetParent(this);
        Rows->SetBounds(254, 42, 379, 200);
        Rows->SetAlign(alClient);
        EnableAlign();
    }
    TPanel* ToolBar;
    std::vector<TSpeedButton*> Buttons;
    TLabel* KeyLabel;
    TEdit* Key;
    TButton* Test;
    TGroupBox* Left;
    TMemo* Memo;
    TSplitter* Split;
    TPanel* Status;
    TRowsView* Rows;
};

TEST(DemoFormTest, RendersEveryControlToAPng) {
    TDemoForm form(nullptr);
    ASSERT_TRUE(ShowAndWait(&form));
    // Scroll the rows once with the bar's arrow: pixels move, the strip repaints.
    QScrollBar* bar = form.Rows->GetWindowPrivate()->Bars[SB_VERT];
    ASSERT_NE(bar, nullptr);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, QPoint(bar->width() / 2, bar->height() - 3));
    EXPECT_EQ(form.Rows->Top, 1);
    // Hover the first button so its flat edge shows.
    QWidget* tb = Client(form.ToolBar);
    QMouseEvent move(QEvent::MouseMove, QPointF(20, 20), QPointF(tb->mapToGlobal(QPoint(20, 20))),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(tb, &move);
    Pump();
    QImage img = Frame(&form)->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.width(), form.GetClientWidth());
    EXPECT_EQ(img.height(), form.GetClientHeight());
    std::string path = OutDir() + "/windows-demo-form.png";
    ASSERT_TRUE(img.save(QString::fromStdString(path)));
    // A few landmarks: the toolbar color, the run button's glyph, the password stars.
    EXPECT_EQ(img.pixel(300, 5), qRgb(0xE3, 0xEF, 0xFF));
    EXPECT_EQ(img.pixel(81 + 20, 2 + 20), qRgb(0, 255, 0));
    EXPECT_EQ(form.Key->GetDisplayText(), u"***********");
    EXPECT_EQ(form.Rows->GetBoundsRect(), (TRect{254, 42, 633, 358}));
    EXPECT_EQ(form.Status->GetTop(), 358);
}

} // namespace
