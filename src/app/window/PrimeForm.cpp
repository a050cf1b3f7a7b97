// TForm2: the prime test window, built in the order of its form description, and its two listings.
#include "app/window/PrimeForm.h"

#include <algorithm>
#include <string>

#include "app/window/PrimeListing.h"
#include "platform/runtime/ScopedChange.h"
#include "platform/runtime/SysUtils.h"

TForm2* Form2 = nullptr;

TForm2* CreateForm2() {
    Application->CreateForm(Form2);
    return Form2;
}

TForm2::TForm2(TComponent* AOwner) : TForm(AOwner) {
    // The members in their declared order; their properties follow in the order of the description.
    Panel1 = new TPanel(this);
    Panel2 = new TPanel(this);
    Button1 = new TButton(this);
    GroupBox1 = new TGroupBox(this);
    Splitter1 = new TSplitter(this);
    GroupBox2 = new TGroupBox(this);
    Memo1 = new TMemo(this);
    Memo2 = new TMemo(this);
    GroupBox3 = new TGroupBox(this);
    Memo3 = new TMemo(this);
    GroupBox4 = new TGroupBox(this);
    Panel3 = new TPanel(this);
    Button2 = new TButton(this);
    Memo4 = new TMemo(this);
    Splitter2 = new TSplitter(this);
    Splitter3 = new TSplitter(this);
    Splitter4 = new TSplitter(this);
    GroupBox5 = new TGroupBox(this);
    Panel4 = new TPanel(this);
    Button3 = new TButton(this);
    Memo5 = new TMemo(this);
    Button4 = new TButton(this);
    BeginLoading();
    BuildControls();
    EndLoading();
}

TForm2::~TForm2() {
    if (Form2 == this) Form2 = nullptr;
}

namespace {
// Every window made by another click shares its owner with the earlier ones, so the second one
// becomes "Form2_1", the third "Form2_2", and so on.
std::string UniqueFormName(const TComponent* Owner, const std::string& Base) {
    if (!Owner || !Owner->FindComponent(Base)) return Base;
    for (int i = 1;; ++i) {
        std::string name = Base + "_" + std::to_string(i);
        if (!Owner->FindComponent(name)) return name;
    }
}
} // namespace

void TForm2::BuildControls() {
    SetName(UniqueFormName(GetOwner(), "Form2"));
    SetBounds(331, 169, 870, 640);
    SetCaption(u"Тест RSA");
    SetColor(clBtnFace);
    GetFont()->SetCharset(DEFAULT_CHARSET);
    GetFont()->SetColor(clWindowText);
    GetFont()->SetHeight(-11);
    GetFont()->SetName("MS Sans Serif");
    GetFont()->SetStyle({});
    SetOldCreateOrder(false);
    // Shown by AfterConstruction, once the application has registered the window.
    FVisible = true;
    SetPixelsPerInch(96);
    SetTextHeight(13);

    auto splitter = [this](TSplitter* s, const char* name, int top) {
        s->SetName(name);
        s->SetParent(this);
        s->SetBounds(0, top, 862, 3);
        s->SetCursor(crVSplit);
        s->SetAlign(alTop);
    };
    splitter(Splitter2, "Splitter2", 145);
    splitter(Splitter3, "Splitter3", 252);
    splitter(Splitter4, "Splitter4", 383);

    auto panel = [](TPanel* p, const char* name, TWinControl* parent, int left, int top, int width) {
        p->SetName(name);
        p->SetParent(parent);
        p->SetBounds(left, top, width, 41);
        p->SetAlign(alTop);
        p->SetBevelOuter(bvNone);
        p->SetTabOrder(0);
    };
    auto button = [](TButton* b, const char* name, TWinControl* parent, int left, int width,
                     const WideString& caption, int tabOrder) {
        b->SetName(name);
        b->SetParent(parent);
        b->SetBounds(left, 8, width, 25);
        b->SetCaption(caption);
        b->SetTabOrder(tabOrder);
    };
    auto groupBox = [](TGroupBox* g, const char* name, TWinControl* parent, const TRect& bounds, TAlign align,
                       const WideString& caption, int tabOrder) {
        g->SetName(name);
        g->SetParent(parent);
        g->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
        g->SetAlign(align);
        g->SetCaption(caption);
        g->SetCtl3D(false);
        g->SetParentCtl3D(false);
        g->SetTabOrder(tabOrder);
    };
    auto memo = [](TMemo* m, const char* name, TWinControl* parent, const TRect& bounds, int tabOrder) {
        m->SetName(name);
        m->SetParent(parent);
        m->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
        m->SetAlign(alClient);
        m->SetScrollBars(ssBoth);
        m->SetTabOrder(tabOrder);
    };

    Panel1->SetName("Panel1");
    Panel1->SetParent(this);
    Panel1->SetBounds(0, 0, 862, 145);
    Panel1->SetAlign(alTop);
    Panel1->SetBevelOuter(bvNone);
    Panel1->SetTabOrder(0);
    // Unaligned in the description, so the splitter's own default alignment (left) holds.
    Splitter1->SetName("Splitter1");
    Splitter1->SetParent(Panel1);
    Splitter1->SetBounds(433, 41, 3, 104);
    Splitter1->SetCursor(crHSplit);
    panel(Panel2, "Panel2", Panel1, 0, 0, 862);
    button(Button1, "Button1", Panel2, 8, 153, u"Сгенерить ключи", 0);
    Button1->OnClick = [this](TObject* Sender) { Button1Click(Sender); };
    button(Button4, "Button4", Panel2, 184, 225, u"Button4", 1);
    Button4->OnClick = [this](TObject* Sender) { Button4Click(Sender); };
    groupBox(GroupBox1, "GroupBox1", Panel1, {436, 41, 862, 145}, alClient, u" Ключ для дешифрования ", 1);
    memo(Memo2, "Memo2", GroupBox1, {1, 14, 425, 103}, 0);
    groupBox(GroupBox2, "GroupBox2", Panel1, {0, 41, 433, 145}, alLeft, u" Ключ для шифрования ", 2);
    memo(Memo1, "Memo1", GroupBox2, {1, 14, 432, 103}, 0);

    groupBox(GroupBox3, "GroupBox3", this, {0, 148, 862, 252}, alTop, u" Текст ", 1);
    memo(Memo3, "Memo3", GroupBox3, {1, 14, 861, 103}, 0);

    groupBox(GroupBox4, "GroupBox4", this, {0, 255, 862, 383}, alTop, u" Шифр ", 2);
    panel(Panel3, "Panel3", GroupBox4, 1, 14, 860);
    button(Button2, "Button2", Panel3, 8, 153, u"Получить шифр текста", 0);
    Button2->OnClick = [this](TObject* Sender) { Button2Click(Sender); };
    memo(Memo4, "Memo4", GroupBox4, {1, 55, 861, 127}, 1);

    groupBox(GroupBox5, "GroupBox5", this, {0, 386, 862, 606}, alClient, u" Шифр ", 3);
    panel(Panel4, "Panel4", GroupBox5, 1, 14, 860);
    button(Button3, "Button3", Panel4, 8, 153, u"Дешифровать  шифр", 0);
    memo(Memo5, "Memo5", GroupBox5, {1, 55, 861, 219}, 1);
}

template <typename Body> void TForm2::RunListing(Body body) {
    if (FListing) return;
    {
        TScopedChange<bool> listing(FListing, true);
        // A window hidden by an earlier close and shown again lists afresh.
        FCloseRequested = false;
        FTerminatedAtStart = Application->GetTerminated();
        body();
    }
    if (FFreeWhenDone) Release();
}

void TForm2::Button1Click(TObject* /*Sender*/) {
    RunListing([this] {
        TTrialDivisionListing listing(TTrialDivisionListing::WindowFirst, TTrialDivisionListing::WindowLast);
        std::vector<int64_t> found;
        for (;;) {
            found.clear();
            bool more = listing.Step(TrialStep, found);
            AppendNumbers(found, 0, found.size());
            if (!more || !KeepListing()) return;
        }
    });
}

void TForm2::Button4Click(TObject* /*Sender*/) {
    RunListing([this] {
        const std::vector<int64_t> primes = AtkinListing(AtkinWindowLimit, AtkinWindowFrom);
        for (size_t from = 0; from < primes.size(); from += AppendBatch) {
            AppendNumbers(primes, from, std::min(AppendBatch, primes.size() - from));
            if (!KeepListing()) return;
        }
    });
}

void TForm2::Button2Click(TObject* /*Sender*/) {}

void TForm2::AppendNumbers(const std::vector<int64_t>& Numbers, size_t From, size_t Count) {
    if (Count == 0) return;
    // One append of many lines: the editor lays out and reports a change once, not per line.
    // The memo's window must exist for a line break to start a new line.
    Memo1->HandleNeeded();
    WideString batch;
    for (size_t i = From; i < From + Count; ++i) {
        if (i > From) batch += u'\n';
        batch += IntToStr(Numbers[i]);
    }
    Memo1->GetLines()->Add(batch);
}

bool TForm2::KeepListing() {
    Application->ProcessMessages();
    // A loop that had already ended before the listing is no reason to stop it.
    bool ending = Application->GetTerminated() && !FTerminatedAtStart;
    return !FCloseRequested && !ending;
}

void TForm2::DoClose(TCloseAction& Action) {
    Action = caFree;
    TForm::DoClose(Action);
    if (!FListing || Action == caNone) return;
    FCloseRequested = true;
    // Freeing now would pull the window from under the running handler.
    TApplication* app = dynamic_cast<TApplication*>(GetOwner());
    bool isMain = (app ? app : static_cast<TApplication*>(Application))->GetMainForm() == this;
    if (Action == caFree && !isMain) {
        FFreeWhenDone = true;
        Action = caHide;
    }
}
