// Standard controls driven by real input: edit with password masking, clipboard and undo,
// memo lines, labels, speed buttons, splitters, push buttons and the timer component.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QLineEdit>
#include <memory>

#include "TestSupport.h"
#include "platform/windows/Buttons.h"
#include "platform/windows/ControlCanvas.h"
#include "platform/windows/ExtCtrls.h"
#include "platform/windows/StdCtrls.h"

namespace {

struct CtrlTest : ::testing::Test {
    std::unique_ptr<TForm> form;
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(40, 40, 500, 400);
        form->GetFont()->SetName("DejaVu Sans");
    }
    template <typename T> T* Add(int l, int t, int w, int h) {
        auto* c = new T(form.get());
        c->SetParent(form.get());
        c->SetBounds(l, t, w, h);
        return c;
    }
};

TEST_F(CtrlTest, PasswordEditShowsStarsKeepsTextAndRefusesTheClipboard) {
    auto* edit = Add<TEdit>(10, 10, 177, 21);
    edit->SetPasswordChar(u'*');
    ASSERT_TRUE(ShowAndWait(form.get()));
    edit->SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->Focused(); }, 2000));
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    QTest::keyClicks(Client(edit), "Key1");
    EXPECT_EQ(edit->GetText(), u"Key1");
    EXPECT_EQ(edit->GetDisplayText(), u"****");
    EXPECT_EQ(changes, 4);
    // Copy and cut, by call or by keys, never put masked text on the clipboard.
    QApplication::clipboard()->setText("before");
    edit->SelectAll();
    edit->CopyToClipboard();
    edit->CutToClipboard();
    QTest::keyClick(Client(edit), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(Client(edit), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "before");
    EXPECT_EQ(edit->GetText(), u"Key1");
    // Without the mask the same calls copy.
    edit->SetPasswordChar(0);
    edit->SelectAll();
    edit->CopyToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(), "Key1");
    EXPECT_EQ(edit->GetDisplayText(), u"Key1");
}

TEST_F(CtrlTest, EditSelectionUndoMarginsAndKeyHandlers) {
    auto* edit = Add<TEdit>(10, 10, 177, 21);
    ASSERT_TRUE(ShowAndWait(form.get()));
    edit->SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->Focused(); }, 2000));
    QTest::keyClicks(Client(edit), "hello");
    edit->SetSelStart(1);
    edit->SetSelLength(3);
    EXPECT_EQ(edit->GetSelText(), u"ell");
    EXPECT_EQ(edit->GetSelStart(), 1);
    EXPECT_EQ(edit->GetSelLength(), 3);
    edit->SetSelText(u"ipp");
    EXPECT_EQ(edit->GetText(), u"hippo");
    EXPECT_TRUE(edit->GetCanUndo());
    edit->Undo();
    EXPECT_EQ(edit->GetText(), u"hello");
    // A key handler can change the typed character.
    edit->OnKeyPress = [](TObject*, WideChar& k) {
        if (k >= u'a' && k <= u'z') k = WideChar(k - 32);
    };
    edit->SetSelStart(5);
    QTest::keyClicks(Client(edit), "xy");
    EXPECT_EQ(edit->GetText(), u"helloXY");
    // ... or swallow it.
    edit->OnKeyPress = [](TObject*, WideChar& k) { k = 0; };
    QTest::keyClicks(Client(edit), "z");
    EXPECT_EQ(edit->GetText(), u"helloXY");
    edit->OnKeyPress = nullptr;
    // A character sent as a message is typed as well.
    SendMessage(edit, WM_CHAR, '!', 0);
    EXPECT_EQ(edit->GetText(), u"helloXY!");
    // Text margins through the platform message.
    SendMessage(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, LPARAM(MakeWParam(51, 4)));
    EXPECT_EQ(edit->GetLeftMargin(), 51);
    EXPECT_EQ(edit->GetRightMargin(), 4);
    auto* le = qobject_cast<QLineEdit*>(Client(edit));
    ASSERT_NE(le, nullptr);
    EXPECT_EQ(le->textMargins().left(), 51);
}

TEST_F(CtrlTest, EditsLetDescendantsDrawOverTheirFrame) {
    struct TFramedEdit : TEdit {
        using TEdit::TEdit;
        int ncPaints = 0;
        void WMNCPaint(TMessage& m) override {
            TEdit::WMNCPaint(m);
            ++ncPaints;
            TCanvas* c = GetPaintCanvas();
            c->GetBrush()->SetColor(clRed);
            c->FrameRect({0, 0, GetWidth(), GetHeight()});
        }
    };
    auto* edit = new TFramedEdit(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(10, 10, 120, 21);
    edit->SetText(u"framed");
    ASSERT_TRUE(ShowAndWait(form.get()));
    QImage img = Client(edit)->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_GT(edit->ncPaints, 0);
    EXPECT_EQ(img.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(119, 20), qRgb(255, 0, 0));
    EXPECT_NE(img.pixel(60, 10), qRgb(255, 0, 0));
}

// An edit as the component set builds on it: handlers that run after the editor's own handling.
struct THookedEdit : TEdit {
    using TEdit::TEdit;
    bool WantTab = false;
    bool RightAligned = false;
    int Margin = 0;
    int Paints = 0;
    std::vector<Word> Keys;
    std::unique_ptr<TControlCanvas> Canvas;
    void CreateParams(TCreateParams& p) override {
        TEdit::CreateParams(p);
        if (RightAligned) p.Style = (p.Style & ~(ES_CENTER | ES_RIGHT)) | ES_RIGHT;
    }
    void CreateWnd() override {
        TEdit::CreateWnd();
        Perform(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, LPARAM(MakeWParam(uint16_t(Margin), 0)));
    }
    void WMMouseDown(TMessage& m) override {
        TEdit::WMMouseDown(m);
        if (m.Msg == WM_LBUTTONDOWN && GetXLParam(m.LParam) <= 2) SelectAll();
    }
    void WMGetDlgCode(TMessage& m) override {
        TEdit::WMGetDlgCode(m);
        if (WantTab) m.Result |= DLGC_WANTTAB;
    }
    void KeyDown(Word& k, TShiftState s) override {
        Keys.push_back(k);
        TEdit::KeyDown(k, s);
    }
    void WMPaint(TMessage& m) override {
        ++Paints;
        if (!Canvas) Canvas = std::make_unique<TControlCanvas>(this);
        // A ring before the normal painting, a mark after it.
        Canvas->GetBrush()->SetColor(clRed);
        Canvas->FrameRect({1, 1, GetWidth() - 1, GetHeight() - 1});
        TEdit::WMPaint(m);
        Canvas->GetBrush()->SetColor(clBlue);
        Canvas->FillRect({GetWidth() - 6, 4, GetWidth() - 4, 6});
    }
};

TEST_F(CtrlTest, EditPressHandlersRunAfterTheEditorsOwnPress) {
    auto* edit = Add<THookedEdit>(10, 10, 150, 21);
    edit->SetText(u"select me");
    ASSERT_TRUE(ShowAndWait(form.get()));
    std::vector<int> selAtMouseDown;
    edit->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) {
        selAtMouseDown.push_back(edit->GetSelLength());
    };
    QTest::mouseClick(Client(edit), Qt::LeftButton, Qt::NoModifier, QPoint(1, 10));
    EXPECT_EQ(edit->GetSelLength(), 9) << "the editor's press placed the caret first, then all was selected";
    ASSERT_EQ(selAtMouseDown.size(), 1u);
    QTest::mouseClick(Client(edit), Qt::LeftButton, Qt::NoModifier, QPoint(80, 10), 1000);
    EXPECT_EQ(edit->GetSelLength(), 0);
    EXPECT_GT(edit->GetSelStart(), 0);
    EXPECT_EQ(selAtMouseDown.back(), 0) << "OnMouseDown sees what the editor's press did";
}

TEST_F(CtrlTest, TabInNativeEditsMovesTheFocusUnlessTheEditWantsIt) {
    auto* first = Add<THookedEdit>(10, 10, 100, 21);
    auto* keeper = Add<THookedEdit>(10, 40, 100, 21);
    keeper->WantTab = true;
    auto* last = Add<THookedEdit>(10, 70, 100, 21);
    ASSERT_TRUE(ShowAndWait(form.get()));
    first->SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return first->Focused(); }, 2000));
    QTest::keyClick(Client(first), Qt::Key_Tab);
    ASSERT_TRUE(QTest::qWaitFor([&] { return keeper->Focused(); }, 2000));
    EXPECT_TRUE(first->Keys.empty()) << "a dialog Tab never reaches KeyDown";
    keeper->SetText(u"ab");
    QTest::keyClick(Client(keeper), Qt::Key_Tab);
    Pump();
    EXPECT_TRUE(keeper->Focused());
    EXPECT_EQ(keeper->Keys, (std::vector<Word>{VK_TAB}));
    EXPECT_EQ(keeper->GetText(), u"ab");
    keeper->WantTab = false;
    QTest::keyClick(Client(keeper), Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return first->Focused(); }, 2000));
    EXPECT_FALSE(last->Focused());
}

TEST_F(CtrlTest, KeysAnEditLeavesUnusedNeverReachItsParent) {
    auto* parent = Add<TProbe>(10, 10, 200, 60);
    auto* edit = new THookedEdit(form.get());
    edit->SetParent(parent);
    edit->SetBounds(5, 5, 100, 21);
    ASSERT_TRUE(ShowAndWait(form.get()));
    edit->SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->Focused(); }, 2000));
    parent->Messages.clear();
    QTest::keyClick(Client(edit), Qt::Key_Return);
    QTest::keyClick(Client(edit), Qt::Key_A);
    Pump();
    EXPECT_EQ(edit->Keys, (std::vector<Word>{VK_RETURN, 'A'}));
    EXPECT_EQ(edit->GetText(), u"a");
    for (UINT m : parent->Messages)
        EXPECT_TRUE(m != WM_KEYDOWN && m != WM_KEYUP && m != WM_CHAR) << m;
}

TEST_F(CtrlTest, RecreatingAnEditRebuildsItsEditorAndKeepsTheText) {
    auto* panel = Add<TPanel>(200, 10, 200, 100);
    auto* edit = Add<THookedEdit>(10, 10, 150, 21);
    edit->Margin = 7;
    ASSERT_TRUE(ShowAndWait(form.get()));
    edit->SetFocus();
    QTest::keyClicks(Client(edit), "typed");
    ASSERT_EQ(edit->GetText(), u"typed");
    edit->RightAligned = true;
    edit->Margin = 12;
    edit->SetPasswordChar(u'*');
    edit->SetBiDiMode(bdRightToLeft);
    edit->RecreateWnd();
    auto* le = qobject_cast<QLineEdit*>(Client(edit));
    ASSERT_NE(le, nullptr);
    EXPECT_EQ(edit->GetText(), u"typed");
    EXPECT_EQ(le->layoutDirection(), Qt::RightToLeft);
    EXPECT_TRUE(le->alignment() & Qt::AlignRight);
    EXPECT_EQ(le->textMargins().left(), 12);
    EXPECT_EQ(le->echoMode(), QLineEdit::Password);
    EXPECT_EQ(edit->GetDisplayText(), u"*****");
    // Moving to another parent makes a new editor there, with the text.
    edit->SetParent(panel);
    le = qobject_cast<QLineEdit*>(Client(edit));
    ASSERT_NE(le, nullptr);
    EXPECT_EQ(le->parentWidget(), Client(panel));
    EXPECT_EQ(edit->GetText(), u"typed");
    EXPECT_EQ(le->textMargins().left(), 12);
    // Alignment written as a property recreates the window too.
    edit->RightAligned = false;
    edit->SetAlignment(taCenter);
    le = qobject_cast<QLineEdit*>(Client(edit));
    EXPECT_TRUE(le->alignment() & Qt::AlignHCenter);
    EXPECT_EQ(edit->GetText(), u"typed");
    EXPECT_EQ(le->layoutDirection(), Qt::RightToLeft);
    edit->SetBiDiMode(bdLeftToRight);
    EXPECT_EQ(le->layoutDirection(), Qt::LeftToRight);
}

TEST_F(CtrlTest, AnEditsPaintMessageDrawsBeforeAndAfterTheEditorsPainting) {
    auto* edit = Add<THookedEdit>(10, 10, 120, 24);
    edit->SetText(u"WWWW");
    ASSERT_TRUE(ShowAndWait(form.get()));
    QImage img = Client(edit)->grab().toImage().convertToFormat(QImage::Format_RGB32);
    img.save(QString::fromStdString(OutDir() + "/edit-paint-message.png"));
    EXPECT_GT(edit->Paints, 0);
    EXPECT_EQ(img.pixel(1, 10), qRgb(255, 0, 0)) << "the ring";
    EXPECT_EQ(img.pixel(60, 1), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(115, 5), qRgb(0, 0, 255)) << "the mark after the editor painted";
    // The editor's own text is there: dark pixels inside.
    int dark = 0;
    for (int y = 4; y < 20; ++y)
        for (int x = 4; x < 60; ++x)
            dark += qGray(img.pixel(x, y)) < 100;
    EXPECT_GT(dark, 10);
    // Outside a paint the canvas of a native editor draws nowhere (and does not crash).
    edit->Canvas->FillRect({0, 0, 5, 5});
    // The control going away unbinds the canvas.
    std::unique_ptr<TControlCanvas> kept = std::move(edit->Canvas);
    delete edit;
    EXPECT_EQ(kept->GetControl(), nullptr);
}

TEST_F(CtrlTest, MemoLinesAddReadAndSurviveWithoutAWindow) {
    auto* memo = new TMemo(form.get());
    memo->GetLines()->Add(u"one");
    memo->GetLines()->Add(u"two");
    EXPECT_EQ(memo->GetLines()->GetCount(), 2);
    memo->SetParent(form.get());
    memo->SetScrollBars(ssBoth);
    ASSERT_TRUE(ShowAndWait(form.get()));
    TMemoLines* lines = memo->GetLines();
    EXPECT_EQ(lines->GetCount(), 2);
    lines->Add(u"1000003");
    EXPECT_EQ(lines->GetCount(), 3);
    EXPECT_EQ(lines->Get(2), u"1000003");
    lines->Insert(0, u"zero");
    lines->Delete(1);
    EXPECT_EQ(lines->GetText(), u"zero\r\ntwo\r\n1000003\r\n");
    EXPECT_THROW(lines->Get(3), EListError);
    lines->Clear();
    EXPECT_EQ(lines->GetCount(), 0);
    EXPECT_THROW(lines->Delete(0), EListError);
}

TEST_F(CtrlTest, AMemoTypesTabsAndKeepsItsLinesOnANewParent) {
    auto* memo = Add<TMemo>(10, 10, 200, 100);
    auto* panel = Add<TPanel>(220, 10, 220, 120);
    ASSERT_TRUE(ShowAndWait(form.get()));
    memo->SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return memo->Focused(); }, 2000));
    QTest::keyClicks(Client(memo), "a");
    QTest::keyClick(Client(memo), Qt::Key_Tab);
    QTest::keyClicks(Client(memo), "b");
    EXPECT_TRUE(memo->Focused());
    EXPECT_EQ(memo->GetLines()->Get(0), u"a\tb");
    memo->GetLines()->Add(u"second");
    memo->SetParent(panel);
    ASSERT_EQ(memo->GetLines()->GetCount(), 2);
    EXPECT_EQ(memo->GetLines()->Get(0), u"a\tb");
    EXPECT_EQ(memo->GetLines()->Get(1), u"second");
}

TEST_F(CtrlTest, LabelSizesToItsCaptionAndHidesTheAcceleratorMark) {
    auto* label = new TLabel(form.get());
    label->SetParent(form.get());
    label->SetLeft(176);
    label->SetTop(13);
    label->SetCaption(u"Key for &decode");
    EXPECT_EQ(label->GetLabelText(), u"Key for decode");
    EXPECT_EQ(label->GetAccelChar(), u'D');
    TCanvas measure;
    measure.SetFont(*label->GetFont());
    EXPECT_EQ(label->GetWidth(), measure.TextWidth(WideString(u"Key for decode")));
    EXPECT_EQ(label->GetHeight(), measure.TextHeight(WideString(u"Key for decode")));
    label->SetShowAccelChar(false);
    EXPECT_EQ(label->GetLabelText(), u"Key for &decode");
    EXPECT_EQ(label->GetAccelChar(), 0);
    label->SetCaption(u"A && B");
    label->SetShowAccelChar(true);
    EXPECT_EQ(label->GetLabelText(), u"A & B");
    // Right-aligned auto-size keeps the right edge.
    label->SetAlignment(taRightJustify);
    int right = label->GetLeft() + label->GetWidth();
    label->SetCaption(u"A much longer caption");
    EXPECT_EQ(label->GetLeft() + label->GetWidth(), right);
}

TEST_F(CtrlTest, AltAndTheAcceleratorFocusTheLabelsControl) {
    auto* first = Add<TEdit>(10, 10, 100, 21);
    auto* key = Add<TEdit>(10, 60, 100, 21);
    auto* label = new TLabel(form.get());
    label->SetParent(form.get());
    label->SetBounds(10, 40, 80, 13);
    label->SetCaption(u"Key for &decode");
    label->SetFocusControl(key);
    ASSERT_TRUE(ShowAndWait(form.get()));
    first->SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return first->Focused(); }, 2000));
    QTest::keyClick(Client(first), Qt::Key_D, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return key->Focused(); }, 2000));
    EXPECT_EQ(first->GetText(), u"") << "the accelerator is not typed";
    // Freeing the target clears the label's reference.
    delete key;
    EXPECT_EQ(label->GetFocusControl(), nullptr);
}

TEST_F(CtrlTest, TransparentLabelLeavesItsParentsPixels) {
    auto* panel = Add<TPanel>(0, 0, 200, 50);
    panel->SetBevelOuter(bvNone);
    panel->SetColor(clRed);
    auto* label = new TLabel(form.get());
    label->SetParent(panel);
    label->SetBounds(10, 10, 80, 20);
    label->SetAutoSize(false);
    label->SetCaption(u"I");
    label->SetTransparent(true);
    ASSERT_TRUE(ShowAndWait(form.get()));
    panel->Update();
    QImage& px = panel->GetWindowPrivate()->Pixels;
    EXPECT_EQ(px.pixel(70, 25), qRgb(255, 0, 0));
    label->SetTransparent(false);
    label->SetColor(clWhite);
    panel->Update();
    EXPECT_EQ(px.pixel(70, 25), qRgb(255, 255, 255));
}

TEST_F(CtrlTest, SpeedButtonClicksOnReleaseInsideAndFlatShowsOnlyWhenHot) {
    auto* panel = Add<TPanel>(0, 0, 300, 42);
    panel->SetBevelOuter(bvNone);
    panel->SetColor(clRed);
    auto* btn = new TSpeedButton(form.get());
    btn->SetParent(panel);
    btn->SetBounds(1, 2, 40, 40);
    btn->SetFlat(true);
    TBitmap glyph(32, 32, pf24bit);
    glyph.GetCanvas()->GetBrush()->SetColor(clLime);
    glyph.GetCanvas()->FillRect({0, 0, 32, 32});
    glyph.GetCanvas()->GetBrush()->SetColor(clBlue);
    glyph.GetCanvas()->FillRect({8, 8, 24, 24});
    btn->SetGlyph(&glyph);
    int clicks = 0;
    btn->OnClick = [&](TObject*) { ++clicks; };
    ASSERT_TRUE(ShowAndWait(form.get()));
    panel->Update();
    QImage& px = panel->GetWindowPrivate()->Pixels;
    EXPECT_EQ(px.pixel(2, 3), qRgb(255, 0, 0)) << "flat and not hot: no edge";
    EXPECT_EQ(px.pixel(5 + 16, 6 + 16), qRgb(0, 0, 255)) << "the glyph is centred";
    EXPECT_EQ(px.pixel(5 + 2, 6 + 2), qRgb(255, 0, 0)) << "the bottom-left color is transparent";
    QWidget* w = Client(panel);
    QTest::mouseMove(w, QPoint(20, 20));
    QMouseEvent move(QEvent::MouseMove, QPointF(20, 20), QPointF(w->mapToGlobal(QPoint(20, 20))),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
    EXPECT_TRUE(btn->IsMouseOver());
    panel->Update();
    EXPECT_NE(px.pixel(1, 3), qRgb(255, 0, 0)) << "hot: the edge shows";
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    EXPECT_EQ(clicks, 1);
    // Pressed inside, released outside: no click.
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    EXPECT_EQ(btn->GetState(), bsDown);
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(200, 20));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(btn->GetState(), bsUp);
    // A hidden button takes no clicks.
    btn->SetVisible(false);
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    EXPECT_EQ(clicks, 1);
}

TEST_F(CtrlTest, SplitterResizesTheControlBeforeItWithinMinSize) {
    form->DisableAlign();
    auto* top = Add<TPanel>(0, 0, 500, 145);
    top->SetAlign(alTop);
    auto* splitter = new TSplitter(form.get());
    splitter->SetParent(form.get());
    splitter->SetBounds(0, 145, 484, 3);
    splitter->SetAlign(alTop);
    splitter->SetCursor(crVSplit);
    auto* rest = Add<TPanel>(0, 148, 484, 100);
    rest->SetAlign(alClient);
    form->EnableAlign();
    ASSERT_TRUE(ShowAndWait(form.get()));
    EXPECT_EQ(rest->GetBoundsRect(), (TRect{0, 148, 484, 362}));
    EXPECT_EQ(splitter->FindResizeControl(), top);
    int moved = 0;
    splitter->OnMoved = [&](TObject*) { ++moved; };
    QWidget* w = Client(form.get());
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(100, 146));
    QMouseEvent drag(QEvent::MouseMove, QPointF(100, 186), QPointF(w->mapToGlobal(QPoint(100, 186))),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &drag);
    EXPECT_EQ(top->GetHeight(), 185);
    EXPECT_EQ(splitter->GetTop(), 185);
    EXPECT_EQ(rest->GetTop(), 188);
    // Dragging far up stops at MinSize.
    QMouseEvent up(QEvent::MouseMove, QPointF(100, 0), QPointF(w->mapToGlobal(QPoint(100, 0))), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &up);
    EXPECT_EQ(top->GetHeight(), 30);
    // ... and far down leaves MinSize for the rest.
    QMouseEvent down(QEvent::MouseMove, QPointF(100, 1000), QPointF(w->mapToGlobal(QPoint(100, 1000))),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &down);
    EXPECT_EQ(top->GetHeight(), form->GetClientHeight() - 3 - 30);
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(100, 1000));
    EXPECT_EQ(moved, 1);
}

TEST_F(CtrlTest, ButtonClickByMouseAndByKeyboard) {
    auto* button = Add<TButton>(8, 8, 153, 25);
    button->SetCaption(u"Button4");
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    ASSERT_TRUE(ShowAndWait(form.get()));
    QTest::mouseClick(Client(button), Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    button->SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return button->Focused(); }, 2000));
    QTest::keyClick(Client(button), Qt::Key_Space);
    EXPECT_EQ(clicks, 2);
    button->SetVisible(false);
    EXPECT_FALSE(Client(button)->isVisible());
}

TEST_F(CtrlTest, TimerComponentTicksWhileEnabled) {
    auto* timer = new TTimer(form.get());
    int ticks = 0;
    timer->SetInterval(1);
    timer->OnTimer = [&](TObject*) {
        if (++ticks == 3) timer->SetEnabled(false);
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }, 3000));
    for (int i = 0; i < 5; ++i)
        Pump();
    EXPECT_EQ(ticks, 3);
    // An exception in a timer handler is shown; the timer keeps running.
    TDialogScope dialogs;
    ticks = 0;
    timer->OnTimer = [&](TObject*) {
        ++ticks;
        throw Exception("tick failed");
    };
    timer->SetEnabled(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 3000));
    timer->SetEnabled(false);
    ASSERT_GE(dialogs.Script->Boxes.size(), 2u);
    EXPECT_EQ(dialogs.Script->Boxes[0].Text, u"tick failed.");
}

} // namespace
