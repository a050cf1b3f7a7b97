// The prime test window: its layout as described, both listings through real clicks, and what
// happens to clicks and closing while a listing runs.
#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "app/window/PrimeForm.h"
#include "app/window/PrimeListing.h"
#include "platform/windows/TestSupport.h"

namespace {

// Hears when the watched component is freed.
class TFreeWatch : public TComponent {
public:
    explicit TFreeWatch(TComponent* Watched) : TComponent(nullptr) { FreeNotification(Watched); }
    bool Freed = false;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation == TOperation::opRemove) Freed = true;
    }
};

std::vector<std::string> MemoLines(TMemo* Memo) {
    std::vector<std::string> lines;
    TStrings* l = Memo->GetLines();
    for (int i = 0; i < l->GetCount(); ++i) {
        WideString s = l->Get(i);
        lines.emplace_back(s.begin(), s.end());
    }
    return lines;
}

// The primes of [From, To] by a segmented sieve of Eratosthenes, as decimal text.
std::vector<std::string> PrimesAsText(int64_t From, int64_t To) {
    std::vector<bool> composite(size_t(To - From + 1), false);
    for (int64_t p = 2; p * p <= To; ++p) {
        bool pIsPrime = true;
        for (int64_t d = 2; d * d <= p; ++d)
            if (p % d == 0) pIsPrime = false;
        if (!pIsPrime) continue;
        for (int64_t k = std::max(p * p, (From + p - 1) / p * p); k <= To; k += p)
            composite[size_t(k - From)] = true;
    }
    std::vector<std::string> primes;
    for (int64_t n = std::max<int64_t>(From, 2); n <= To; ++n)
        if (!composite[size_t(n - From)]) primes.push_back(std::to_string(n));
    return primes;
}

void Click(TButton* Button) {
    QTest::mouseClick(Client(Button), Qt::LeftButton);
}

// A window of its own, owned by the application as the main window makes them, and shown.
class PrimeFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = new TForm2(Application);
        Watch = std::make_unique<TFreeWatch>(Form);
        ASSERT_TRUE(ShowAndWait(Form));
    }
    void TearDown() override {
        if (!Watch->Freed) delete Form;
    }
    TForm2* Form = nullptr;
    std::unique_ptr<TFreeWatch> Watch;
};

TEST_F(PrimeFormTest, CaptionsAndPropertiesFollowTheDescription) {
    EXPECT_EQ(Form->GetCaption(), u"Тест RSA");
    EXPECT_EQ(Form->GetWidth(), 870);
    EXPECT_EQ(Form->GetHeight(), 640);
    EXPECT_EQ(Form->GetColor(), clBtnFace);
    EXPECT_EQ(Form->GetFont()->GetName(), "MS Sans Serif");
    EXPECT_EQ(Form->GetFont()->GetHeight(), -11);
    // Group box captions keep their leading and trailing space.
    EXPECT_EQ(Form->GroupBox1->GetCaption(), u" Ключ для дешифрования ");
    EXPECT_EQ(Form->GroupBox2->GetCaption(), u" Ключ для шифрования ");
    EXPECT_EQ(Form->GroupBox3->GetCaption(), u" Текст ");
    EXPECT_EQ(Form->GroupBox4->GetCaption(), u" Шифр ");
    EXPECT_EQ(Form->GroupBox5->GetCaption(), u" Шифр ");
    for (TGroupBox* g : {Form->GroupBox1, Form->GroupBox2, Form->GroupBox3, Form->GroupBox4, Form->GroupBox5})
        EXPECT_FALSE(g->GetCtl3D()) << g->GetName();
    EXPECT_EQ(Form->Button1->GetCaption(), u"Сгенерить ключи");
    EXPECT_EQ(Form->Button4->GetCaption(), u"Button4");
    EXPECT_EQ(Form->Button2->GetCaption(), u"Получить шифр текста");
    EXPECT_EQ(Form->Button3->GetCaption(), u"Дешифровать  шифр");
    EXPECT_TRUE(Form->Button1->OnClick && Form->Button4->OnClick && Form->Button2->OnClick);
    EXPECT_FALSE(Form->Button3->OnClick);
    for (TMemo* m : {Form->Memo1, Form->Memo2, Form->Memo3, Form->Memo4, Form->Memo5}) {
        EXPECT_EQ(m->GetScrollBars(), ssBoth) << m->GetName();
        EXPECT_EQ(m->GetAlign(), alClient) << m->GetName();
        EXPECT_EQ(m->GetLines()->GetCount(), 0) << m->GetName();
    }
    // Tab order within each parent, as described.
    EXPECT_EQ(Form->Panel1->GetTabOrder(), 0);
    EXPECT_EQ(Form->GroupBox3->GetTabOrder(), 1);
    EXPECT_EQ(Form->GroupBox4->GetTabOrder(), 2);
    EXPECT_EQ(Form->GroupBox5->GetTabOrder(), 3);
    EXPECT_EQ(Form->Button4->GetTabOrder(), 1);
    EXPECT_EQ(Form->GroupBox1->GetTabOrder(), 1);
    EXPECT_EQ(Form->GroupBox2->GetTabOrder(), 2);
    EXPECT_EQ(Form->Memo4->GetTabOrder(), 1);
}

TEST_F(PrimeFormTest, SplittersSitBetweenTheTopAlignedParts) {
    const int cw = Form->GetClientWidth(), ch = Form->GetClientHeight();
    EXPECT_EQ(Form->Panel1->GetBoundsRect(), (TRect{0, 0, cw, 145}));
    EXPECT_EQ(Form->Splitter2->GetBoundsRect(), (TRect{0, 145, cw, 148}));
    EXPECT_EQ(Form->GroupBox3->GetBoundsRect(), (TRect{0, 148, cw, 252}));
    EXPECT_EQ(Form->Splitter3->GetBoundsRect(), (TRect{0, 252, cw, 255}));
    EXPECT_EQ(Form->GroupBox4->GetBoundsRect(), (TRect{0, 255, cw, 383}));
    EXPECT_EQ(Form->Splitter4->GetBoundsRect(), (TRect{0, 383, cw, 386}));
    EXPECT_EQ(Form->GroupBox5->GetBoundsRect(), (TRect{0, 386, cw, ch}));
    // Each splitter resizes the part above it, with the vertical-split pointer.
    EXPECT_EQ(Form->Splitter2->FindResizeControl(), Form->Panel1);
    EXPECT_EQ(Form->Splitter3->FindResizeControl(), Form->GroupBox3);
    EXPECT_EQ(Form->Splitter4->FindResizeControl(), Form->GroupBox4);
    for (TSplitter* s : {Form->Splitter2, Form->Splitter3, Form->Splitter4})
        EXPECT_EQ(s->GetCursor(), crVSplit);

    // Inside Panel1: the button strip on top, the two key boxes side by side below it.
    EXPECT_EQ(Form->Panel2->GetBoundsRect(), (TRect{0, 0, cw, 41}));
    EXPECT_EQ(Form->Button1->GetBoundsRect(), (TRect{8, 8, 161, 33}));
    EXPECT_EQ(Form->Button4->GetBoundsRect(), (TRect{184, 8, 409, 33}));
    EXPECT_EQ(Form->GroupBox2->GetBoundsRect(), (TRect{0, 41, 433, 145}));
    EXPECT_EQ(Form->Splitter1->GetBoundsRect(), (TRect{433, 41, 436, 145}));
    EXPECT_EQ(Form->GroupBox1->GetBoundsRect(), (TRect{436, 41, cw, 145}));
    EXPECT_EQ(Form->Splitter1->FindResizeControl(), Form->GroupBox2);
    EXPECT_EQ(Form->Splitter1->GetCursor(), crHSplit);

    // Memos fill their boxes inside the one-pixel frame, below the caption line.
    EXPECT_EQ(Form->Memo1->GetBoundsRect(), (TRect{1, 14, 432, 103}));
    EXPECT_EQ(Form->Memo2->GetBoundsRect(), (TRect{1, 14, cw - 436 - 1, 103}));
    EXPECT_EQ(Form->Memo3->GetBoundsRect(), (TRect{1, 14, cw - 1, 103}));
    EXPECT_EQ(Form->Panel3->GetBoundsRect(), (TRect{1, 14, cw - 1, 55}));
    EXPECT_EQ(Form->Memo4->GetBoundsRect(), (TRect{1, 55, cw - 1, 127}));
    EXPECT_EQ(Form->Panel4->GetBoundsRect(), (TRect{1, 14, cw - 1, 55}));
    EXPECT_EQ(Form->Memo5->GetBoundsRect(), (TRect{1, 55, cw - 1, ch - 386 - 1}));
    EXPECT_EQ(Form->Memo1->GetParent(), Form->GroupBox2);
    EXPECT_EQ(Form->Button2->GetParent(), Form->Panel3);
    EXPECT_EQ(Form->Button3->GetParent(), Form->Panel4);
}

TEST_F(PrimeFormTest, SieveListingAppendsThePrimesAboveAMillionAgainOnEachClick) {
    const std::vector<std::string> primes = PrimesAsText(1'000'000, 1'100'000);
    Click(Form->Button4);
    std::vector<std::string> lines = MemoLines(Form->Memo1);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "1000003");
    EXPECT_EQ(lines, primes);
    EXPECT_FALSE(Form->IsListing());

    Pump();
    QImage img = Frame(Form)->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_TRUE(img.save(QString::fromStdString(OutDir() + "/prime-test-window.png")));

    Click(Form->Button4);
    lines = MemoLines(Form->Memo1);
    ASSERT_EQ(lines.size(), 2 * primes.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin() + long(primes.size()), lines.end()), primes);
    // The other memos stay empty, and the button without a handler does nothing.
    Click(Form->Button2);
    Click(Form->Button3);
    for (TMemo* m : {Form->Memo2, Form->Memo3, Form->Memo4, Form->Memo5})
        EXPECT_EQ(m->GetLines()->GetCount(), 0);
    EXPECT_EQ(Form->Memo1->GetLines()->GetCount(), int(2 * primes.size()));
}

TEST_F(PrimeFormTest, TrialDivisionListingEndsAtItsBound) {
    Click(Form->Button1);
    EXPECT_FALSE(Form->IsListing());
    std::vector<std::string> lines = MemoLines(Form->Memo1);
    EXPECT_EQ(lines, PrimesAsText(TTrialDivisionListing::WindowFirst, TTrialDivisionListing::WindowLast));
}

TEST_F(PrimeFormTest, ClicksWhileAListingRunsAreIgnored) {
    int clicksDuring = 0;
    // Runs at the listing's first round of message handling.
    QTimer::singleShot(0, Frame(Form), [&] {
        EXPECT_TRUE(Form->IsListing());
        Click(Form->Button4);
        Click(Form->Button1);
        ++clicksDuring;
    });
    Click(Form->Button4);
    EXPECT_EQ(clicksDuring, 1);
    EXPECT_EQ(MemoLines(Form->Memo1), PrimesAsText(1'000'000, 1'100'000));
    // Once it has ended, a click lists again.
    Click(Form->Button4);
    EXPECT_EQ(Form->Memo1->GetLines()->GetCount(), 2 * int(PrimesAsText(1'000'000, 1'100'000).size()));
}

TEST_F(PrimeFormTest, ClosingDuringAListingStopsItAndFreesTheWindowAfterwards) {
    int lines = -1;
    QTimer::singleShot(0, Frame(Form), [&] {
        lines = Form->Memo1->GetLines()->GetCount();
        Form->Close();
    });
    Click(Form->Button1);
    // The handler returned on its own: the window is still there, hidden, with one step's lines.
    ASSERT_FALSE(Watch->Freed);
    EXPECT_FALSE(Form->GetVisible());
    EXPECT_GT(lines, 0);
    EXPECT_EQ(Form->Memo1->GetLines()->GetCount(), lines);
    Pump();
    EXPECT_TRUE(Watch->Freed);
}

TEST_F(PrimeFormTest, WindowHiddenDuringAListingListsInFullWhenShownAgain) {
    Form->OnClose = [](TObject*, TCloseAction& Action) { Action = caHide; };
    QTimer::singleShot(0, Frame(Form), [&] { Form->Close(); });
    Click(Form->Button4);
    const int stoppedAt = Form->Memo1->GetLines()->GetCount();
    const int primes = int(PrimesAsText(1'000'000, 1'100'000).size());
    EXPECT_LT(stoppedAt, primes);
    Pump();
    ASSERT_FALSE(Watch->Freed);
    ASSERT_TRUE(ShowAndWait(Form));
    Click(Form->Button4);
    EXPECT_EQ(Form->Memo1->GetLines()->GetCount(), stoppedAt + primes);
}

TEST_F(PrimeFormTest, ClosingAnIdleWindowFreesIt) {
    Form->Close();
    EXPECT_FALSE(Form->GetVisible());
    Pump();
    EXPECT_TRUE(Watch->Freed);
}

TEST(PrimeFormCreationTest, EachCallMakesOneMoreWindowAndForm2NamesTheNewest) {
    const bool namesFree = !Application->FindComponent("Form2") && !Application->FindComponent("Form2_1");
    TForm2* first = CreateForm2();
    TForm2* second = CreateForm2();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, first);
    EXPECT_EQ(Form2, second);
    // The application owns both, so the newer one takes the next free name.
    EXPECT_NE(first->GetName(), second->GetName());
    if (namesFree) {
        EXPECT_EQ(first->GetName(), "Form2");
        EXPECT_EQ(second->GetName(), "Form2_1");
    }
    for (TForm2* f : {first, second}) {
        EXPECT_EQ(f->GetOwner(), static_cast<TApplication*>(Application));
        EXPECT_TRUE(f->GetVisible());
        ASSERT_NE(Frame(f), nullptr);
        EXPECT_TRUE(Frame(f)->isVisible());
    }
    delete second;
    EXPECT_EQ(Form2, nullptr);
    delete first;
}

} // namespace
