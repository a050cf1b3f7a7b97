// Forms, alignment, anchors and constraints, the application's loop and exception display,
// components' ownership, dialogs through the provider, hints, cursors and popup windows.
#include <gtest/gtest.h>

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <memory>

#include "TestSupport.h"
#include "platform/windows/Buttons.h"
#include "platform/windows/ExtCtrls.h"
#include "platform/windows/StdCtrls.h"
#include "platform/windows/Themes.h"

QImage CursorImage(HCURSOR Cursor);

namespace {

// ---------------------------------------------------------------------------------------------
// Components

struct TTracked : TComponent {
    TTracked(TComponent* owner, std::vector<std::string>* log, std::string name)
        : TComponent(owner), Log(log), Tag(std::move(name)) {}
    ~TTracked() override { Log->push_back("free " + Tag); }
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        // The component is half destroyed by now: only its address may be used.
        if (op == TOperation::opRemove && c == Watched) {
            Log->push_back(Tag + " heard " + WatchedTag);
            Watched = nullptr;
        }
    }
    std::vector<std::string>* Log;
    std::string Tag;
    TComponent* Watched = nullptr;
    std::string WatchedTag;
};

TEST(ComponentTest, OwnerFreesOwnedComponentsAndFreeNotificationClearsReferences) {
    std::vector<std::string> log;
    auto* owner = new TTracked(nullptr, &log, "owner");
    auto* a = new TTracked(owner, &log, "a");
    auto* b = new TTracked(owner, &log, "b");
    auto* outsider = new TTracked(nullptr, &log, "outsider");
    outsider->Watched = a;
    outsider->WatchedTag = "a";
    outsider->FreeNotification(a);
    a->SetName("A");
    EXPECT_EQ(owner->FindComponent("a"), a) << "names compare without case";
    EXPECT_THROW(b->SetName("A"), EComponentError);
    EXPECT_EQ(owner->GetComponentCount(), 2);
    EXPECT_THROW(owner->GetComponent(2), EListError);
    delete owner;
    EXPECT_EQ(log, (std::vector<std::string>{"free owner", "free b", "free a", "outsider heard a"}));
    EXPECT_EQ(outsider->Watched, nullptr);
    delete outsider;
}

TEST(ComponentTest, LoadingStateCoversOwnedComponentsAndEndsWithLoaded) {
    struct TLoad : TComponent {
        using TComponent::TComponent;
        int loaded = 0;
        bool wasLoading = false;
        void Loaded() override {
            ++loaded;
            wasLoading = IsLoading();
        }
    };
    TLoad owner(nullptr);
    auto* child = new TLoad(&owner);
    owner.BeginLoading();
    EXPECT_TRUE(child->IsLoading());
    EXPECT_TRUE(child->GetComponentState().Contains(csReading));
    // Made while the owner reads: loading too, and Loaded once at the end.
    auto* late = new TLoad(&owner);
    EXPECT_TRUE(late->IsLoading());
    owner.EndLoading();
    EXPECT_FALSE(child->IsLoading());
    EXPECT_EQ(child->loaded, 1);
    EXPECT_FALSE(child->wasLoading);
    EXPECT_FALSE(late->IsLoading());
    EXPECT_EQ(late->loaded, 1);
}

// ---------------------------------------------------------------------------------------------
// Alignment, anchors, constraints

TEST(FormLayoutTest, AlignedChildrenFollowTheFormAndConstraintsHold) {
    TForm form(nullptr);
    form.GetConstraints()->SetMinWidth(400);
    form.GetConstraints()->SetMinHeight(200);
    form.SetBounds(711, 169, 649, 320);
    auto* bar = new TPanel(&form);
    bar->SetParent(&form);
    bar->SetBounds(0, 0, 633, 42);
    bar->SetAlign(alTop);
    auto* grid = new TProbe(&form);
    grid->SetParent(&form);
    grid->SetBounds(0, 42, 633, 240);
    grid->SetAlign(alClient);
    auto* status = new TPanel(&form);
    status->SetParent(&form);
    status->SetHeight(20);
    status->SetAlign(alBottom);
    status->SetAlign(alNone);
    auto* corner = new TButton(&form);
    corner->SetParent(&form);
    corner->SetBounds(500, 250, 75, 25);
    corner->SetAnchors({akRight, akBottom});
    ASSERT_TRUE(ShowAndWait(&form));
    EXPECT_EQ(form.GetClientWidth(), 633);
    EXPECT_EQ(form.GetClientHeight(), 282);
    EXPECT_EQ(bar->GetBoundsRect(), (TRect{0, 0, 633, 42}));
    EXPECT_EQ(grid->GetBoundsRect(), (TRect{0, 42, 633, 282}));

    // Through the window system: a smaller window than allowed stays at the minimum.
    QWidget* frame = Frame(&form);
    frame->resize(100, 50);
    Pump();
    EXPECT_EQ(form.GetWidth(), 400);
    EXPECT_EQ(form.GetHeight(), 200);
    EXPECT_EQ(grid->GetBoundsRect(), (TRect{0, 42, 384, 162}));
    EXPECT_EQ(bar->GetWidth(), 384);
    // Anchored right and bottom: the distances to those edges stay.
    EXPECT_EQ(corner->GetLeft(), 500 - (633 - 384));
    EXPECT_EQ(corner->GetTop(), 250 - (282 - 162));
    // Through code as well.
    form.SetBounds(0, 0, 10, 10);
    EXPECT_EQ(form.GetWidth(), 400);
    EXPECT_EQ(form.GetHeight(), 200);
    form.SetBounds(0, 0, 800, 600);
    EXPECT_EQ(grid->GetBoundsRect(), (TRect{0, 42, 784, 562}));
    EXPECT_EQ(corner->GetLeft(), 500 + (784 - 633));
}

TEST(FormLayoutTest, AlignOrderTopThenBottomThenSidesThenClient) {
    TForm form(nullptr);
    form.SetBorderStyle(bsNone);
    form.SetBounds(0, 0, 300, 200);
    auto make = [&](TAlign a, int l, int t, int w, int h) {
        auto* p = new TPanel(&form);
        p->SetParent(&form);
        p->SetBounds(l, t, w, h);
        p->SetAlign(a);
        return p;
    };
    // As when a form description is read: the places first, then one alignment.
    form.DisableAlign();
    TPanel* top2 = make(alTop, 0, 50, 10, 30);
    TPanel* top1 = make(alTop, 0, 0, 10, 20);
    TPanel* left = make(alLeft, 0, 0, 40, 10);
    TPanel* bottom = make(alBottom, 0, 0, 10, 25);
    TPanel* client = make(alClient, 0, 0, 1, 1);
    TPanel* right = make(alRight, 0, 0, 60, 10);
    form.EnableAlign();
    EXPECT_EQ(top1->GetBoundsRect(), (TRect{0, 0, 300, 20}));
    EXPECT_EQ(top2->GetBoundsRect(), (TRect{0, 20, 300, 50}));
    EXPECT_EQ(bottom->GetBoundsRect(), (TRect{0, 175, 300, 200}));
    EXPECT_EQ(left->GetBoundsRect(), (TRect{0, 50, 40, 175}));
    EXPECT_EQ(right->GetBoundsRect(), (TRect{240, 50, 300, 175}));
    EXPECT_EQ(client->GetBoundsRect(), (TRect{40, 50, 240, 175}));
    // Hiding a control gives its space to the others.
    top2->SetVisible(false);
    EXPECT_EQ(client->GetBoundsRect(), (TRect{40, 20, 240, 175}));
}

TEST(FormLayoutTest, GroupBoxAndPanelKeepTheirFramesFreeOfChildren) {
    TForm form(nullptr);
    auto* box = new TGroupBox(&form);
    box->SetParent(&form);
    box->SetCtl3D(false);
    box->GetFont()->SetName("DejaVu Sans");
    box->GetFont()->SetHeight(-11);
    box->SetBounds(0, 0, 200, 100);
    auto* memo = new TMemo(&form);
    memo->SetParent(box);
    memo->SetAlign(alClient);
    TCanvas measure;
    measure.SetFont(*box->GetFont());
    int th = measure.TextHeight(WideString(u"0"));
    EXPECT_EQ(memo->GetBoundsRect(), (TRect{1, th + 1, 199, 99}));
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(0, 100, 100, 50);
    auto* inner = new TPanel(&form);
    inner->SetParent(panel);
    inner->SetAlign(alClient);
    EXPECT_EQ(inner->GetBoundsRect(), (TRect{1, 1, 99, 49})) << "the raised bevel takes one pixel";
    panel->SetBevelOuter(bvNone);
    EXPECT_EQ(inner->GetBoundsRect(), (TRect{0, 0, 100, 50}));
}

// ---------------------------------------------------------------------------------------------
// The application

struct AppTest : ::testing::Test {
    TDialogScope dialogs;
    void TearDown() override { Application->OnException = nullptr; }
};

TEST_F(AppTest, ExceptionInAClickHandlerIsShownAndTheLoopGoesOn) {
    Application->SetTitle(u"Quillmar");
    auto form = std::make_unique<TForm>(nullptr);
    auto* button = new TButton(form.get());
    button->SetParent(form.get());
    button->SetBounds(10, 10, 80, 25);
    int clicks = 0;
    button->OnClick = [&](TObject*) {
        ++clicks;
        throw EConvertError("'abc' is not a valid integer value");
    };
    ASSERT_TRUE(ShowAndWait(form.get()));
    QTest::mouseClick(Client(button), Qt::LeftButton);
    ASSERT_EQ(dialogs.Script->Boxes.size(), 1u);
    EXPECT_EQ(dialogs.Script->Boxes[0].Text, u"'abc' is not a valid integer value.");
    EXPECT_EQ(dialogs.Script->Boxes[0].Caption, u"Quillmar");
    // The loop is still alive: timers and clicks keep working.
    bool ticked = false;
    QTimer::singleShot(1, [&] { ticked = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticked; }, 2000));
    QTest::mouseClick(Client(button), Qt::LeftButton);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(dialogs.Script->Boxes.size(), 2u);
    // Anything that is not an exception object is shown with an empty message.
    button->OnClick = [&](TObject*) { throw 42; };
    QTest::mouseClick(Client(button), Qt::LeftButton);
    ASSERT_EQ(dialogs.Script->Boxes.size(), 3u);
    EXPECT_EQ(dialogs.Script->Boxes[2].Text, u"");
    // OnException takes over the display.
    std::string seen;
    Application->OnException = [&](TObject* sender, const std::exception& e) {
        EXPECT_EQ(sender, button);
        seen = e.what();
    };
    button->OnClick = [&](TObject*) { throw Exception("boom"); };
    QTest::mouseClick(Client(button), Qt::LeftButton);
    EXPECT_EQ(seen, "boom");
    EXPECT_EQ(dialogs.Script->Boxes.size(), 3u);
}

TEST_F(AppTest, CreateFormRunsOnCreateAndRunEndsWhenTheMainFormCloses) {
    struct TMainForm : TForm {
        explicit TMainForm(TComponent* owner) : TForm(owner) {
            SetCaption(u"Main");
            OnCreate = [this](TObject*) { created = true; };
        }
        bool created = false;
    };
    TApplication app(nullptr);
    app.Initialize();
    TMainForm* main = nullptr;
    app.CreateForm(main);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(main->created);
    EXPECT_EQ(app.GetMainForm(), main);
    EXPECT_EQ(main->GetOwner(), &app);
    TForm* second = nullptr;
    app.CreateForm(second);
    EXPECT_EQ(app.GetMainForm(), main);
    // Close the main form from inside the loop.
    int closes = 0;
    main->OnClose = [&](TObject*, TCloseAction& a) {
        ++closes;
        EXPECT_EQ(a, caFree);
    };
    QTimer::singleShot(10, [&] { main->Close(); });
    app.Run();
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(main->IsClosed());
    EXPECT_TRUE(app.GetTerminated());
}

TEST_F(AppTest, FormCaptionIconAndColorReachTheWindow) {
    TForm form(nullptr);
    form.SetCaption(u"Quillmar 1.3");
    TBitmap icon(48, 48, pf32bit);
    icon.GetCanvas()->GetBrush()->SetColor(clBlue);
    icon.GetCanvas()->FillRect({0, 0, 48, 48});
    form.SetIcon(&icon);
    EXPECT_TRUE(form.HasIcon());
    ASSERT_TRUE(ShowAndWait(&form));
    EXPECT_EQ(Frame(&form)->windowTitle(), "Quillmar 1.3");
    EXPECT_FALSE(Frame(&form)->windowIcon().isNull());
    EXPECT_EQ(form.GetColor(), clBtnFace);
    form.Update();
    EXPECT_EQ(form.GetWindowPrivate()->Pixels.pixel(5, 5), qRgb(0xF0, 0xF0, 0xF0)) << "the erased face color";
}

TEST_F(AppTest, CloseQueryCanKeepAFormOpen) {
    TForm form(nullptr);
    ASSERT_TRUE(ShowAndWait(&form));
    form.OnCloseQuery = [](TObject*, bool& can) { can = false; };
    form.Close();
    EXPECT_TRUE(form.GetVisible());
    form.OnCloseQuery = nullptr;
    form.Close();
    EXPECT_FALSE(form.GetVisible());
}

TEST_F(AppTest, OpenDialogReturnsTheProvidersFilesInOrder) {
    TForm form(nullptr);
    auto* dlg = new TOpenDialog(&form);
    dlg->SetFilter(u"*.txt|*.txt");
    dlg->SetOptions({ofHideReadOnly, ofAllowMultiSelect, ofEnableSizing});
    dialogs.Script->OpenAnswers.push_back({u"/data/b.txt", u"/data/a.txt", u"/data/c.txt"});
    ASSERT_TRUE(dlg->Execute());
    EXPECT_EQ(dlg->GetFiles(), (std::vector<WideString>{u"/data/b.txt", u"/data/a.txt", u"/data/c.txt"}));
    EXPECT_EQ(dlg->GetFileName(), u"/data/b.txt");
    ASSERT_EQ(dialogs.Script->OpenRequests.size(), 1u);
    const TOpenFileRequest& r = dialogs.Script->OpenRequests[0];
    ASSERT_EQ(r.Filters.size(), 1u);
    EXPECT_EQ(r.Filters[0].Description, u"*.txt");
    EXPECT_EQ(r.Filters[0].Pattern, u"*.txt");
    EXPECT_TRUE(r.Options.Contains(ofAllowMultiSelect));
    // Cancelled: false, and the previous result stays.
    EXPECT_FALSE(dlg->Execute());
    EXPECT_EQ(dlg->GetFiles().size(), 3u);
    // Without multiple selection only one file comes back.
    dlg->SetOptions({ofHideReadOnly});
    dialogs.Script->OpenAnswers.push_back({u"/x/1.txt", u"/x/2.txt"});
    ASSERT_TRUE(dlg->Execute());
    EXPECT_EQ(dlg->GetFiles(), (std::vector<WideString>{u"/x/1.txt"}));
}

TEST_F(AppTest, FolderBrowserMessageBoxAndShellGoThroughTheProvider) {
    char name[MAX_PATH] = {};
    TBrowseInfoA bi;
    bi.pszDisplayName = name;
    bi.lpszTitle = "Select folder for files";
    bi.ulFlags = 0x1054;
    dialogs.Script->FolderAnswers.push_back(u"/home/user/out");
    PItemIDList item = SHBrowseForFolderA(&bi);
    ASSERT_NE(item, nullptr);
    char path[MAX_PATH] = {};
    EXPECT_TRUE(SHGetPathFromIDListA(item, path));
    EXPECT_STREQ(path, "/home/user/out");
    EXPECT_STREQ(name, "out");
    CoTaskMemFree(item);
    ASSERT_EQ(dialogs.Script->FolderRequests.size(), 1u);
    EXPECT_EQ(dialogs.Script->FolderRequests[0].Title, u"Select folder for files");
    EXPECT_EQ(dialogs.Script->FolderRequests[0].Flags, 0x1054u);
    // Cancelled.
    EXPECT_EQ(SHBrowseForFolderA(&bi), nullptr);
    // A path too long for the buffer is refused, not cut or overrun.
    dialogs.Script->FolderAnswers.push_back(u"/" + WideString(300, u'a'));
    item = SHBrowseForFolderA(&bi);
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(SHGetPathFromIDListA(item, path));
    EXPECT_STREQ(path, "");
    CoTaskMemFree(item);

    EXPECT_EQ(MessageBox(nullptr, u"File is not selected!", u"Error", MB_OK), IDOK);
    ASSERT_EQ(dialogs.Script->Boxes.size(), 1u);
    EXPECT_EQ(dialogs.Script->Boxes[0].Caption, u"Error");
    EXPECT_EQ(dialogs.Script->Boxes[0].Text, u"File is not selected!");

    EXPECT_GT(ShellExecuteA(nullptr, "open", "/tmp/x(dec1).txt", nullptr, nullptr, SW_SHOWNORMAL), 32);
    EXPECT_EQ(dialogs.Script->Opened, (std::vector<WideString>{u"/tmp/x(dec1).txt"}));
    EXPECT_LE(ShellExecuteA(nullptr, "print", "/tmp/a.txt", nullptr, nullptr, SW_SHOWNORMAL), 32);
}

TEST_F(AppTest, HintShowsAfterThePauseOverAControlWithShowHint) {
    TForm form(nullptr);
    form.SetBounds(100, 100, 300, 200);
    auto* button = new TSpeedButton(&form);
    button->SetParent(&form);
    button->SetBounds(10, 10, 40, 40);
    button->SetHint(u"Upload files");
    button->SetShowHint(true);
    auto* silent = new TSpeedButton(&form);
    silent->SetParent(&form);
    silent->SetBounds(60, 10, 40, 40);
    silent->SetHint(u"never");
    ASSERT_TRUE(ShowAndWait(&form));
    Application->SetHintPause(20);
    Application->SetHintHidePause(5000);
    QTest::mouseMove(Client(&form), QPoint(15, 15));
    QWidget* w = Client(&form);
    QMouseEvent move(QEvent::MouseMove, QPointF(15, 15), QPointF(w->mapToGlobal(QPoint(15, 15))),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return Application->GetHintWindow() && Application->GetHintWindow()->IsHintShowing(); }, 3000));
    EXPECT_EQ(Application->GetHint(), u"Upload files");
    EXPECT_EQ(Application->GetHintWindow()->GetCaption(), u"Upload files");
    EXPECT_TRUE(Application->GetHintWindow()->IsTopLevelWindow());
    // Moving over a control whose ShowHint is off hides it.
    QMouseEvent move2(QEvent::MouseMove, QPointF(65, 15), QPointF(w->mapToGlobal(QPoint(65, 15))),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move2);
    EXPECT_FALSE(Application->GetHintWindow()->IsHintShowing());
    // The hint window measures its text.
    TRect r = Application->GetHintWindow()->CalcHintRect(1000, u"Upload files", nullptr);
    EXPECT_GT(r.Width(), 6);
    EXPECT_GT(r.Height(), 2);
    Application->CancelHint();
}

// ---------------------------------------------------------------------------------------------
// Cursors and popups

TEST(CursorTest, ProgramCursorsAreDrawnWithOutlineAndHotSpots) {
    struct Expect {
        const char* name;
        TPoint hot;
    } expects[] = {{"REVERSEDARROW", {11, 0}}, {"HORZSPLIT", {8, 8}},        {"COLUMNNODRAG", {14, 14}},
                   {"VERTSPLIT", {8, 8}},      {"INDICATORSELECT", {11, 4}}, {"ROLL", {15, 15}},
                   {"ROLLUP", {15, 15}},       {"ROLLDOWN", {15, 15}}};
    for (const Expect& e : expects) {
        HCURSOR h = LoadCursor(HInstance, e.name);
        ASSERT_NE(h, nullptr) << e.name;
        EXPECT_EQ(GetCursorSize(h), (TSize{32, 32})) << e.name;
        EXPECT_EQ(GetCursorHotSpot(h), e.hot) << e.name;
        QImage img = CursorImage(h).convertToFormat(QImage::Format_ARGB32);
        int black = 0, white = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                QRgb p = img.pixel(x, y);
                if (qAlpha(p) == 0) continue;
                if (p == 0xFF000000u) ++black;
                if (p == 0xFFFFFFFFu) ++white;
            }
        EXPECT_GT(black, 10) << e.name;
        EXPECT_GT(white, 10) << e.name;
        EXPECT_EQ(LoadCursor(HInstance, e.name), h) << "loaded once";
    }
    EXPECT_EQ(LoadCursor(HInstance, "NOSUCHCURSOR"), nullptr);
    // The arrow of REVERSEDARROW points up and right: its tip is the top pixel at x = 11.
    QImage arrow = CursorImage(LoadCursor(HInstance, "REVERSEDARROW")).convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(arrow.pixel(11, 0), 0xFF000000u);
    EXPECT_EQ(arrow.pixel(11, 12), 0xFF000000u);
    EXPECT_EQ(arrow.pixel(1, 10), 0xFF000000u) << "the wide part is on the left";
    EXPECT_EQ(arrow.pixel(11, 10), 0xFF000000u);
    EXPECT_EQ(arrow.pixel(12, 10), 0xFFFFFFFFu) << "outlined in white";
}

TEST(CursorTest, ScreenCursorTableRegistersNumbersAndOverrides) {
    HCURSOR h = LoadCursor(HInstance, "HORZSPLIT");
    Screen->SetCursors(3000, h);
    EXPECT_EQ(Screen->GetCursors(3000), h);
    EXPECT_EQ(Screen->GetCursors(3999), nullptr);
    EXPECT_NE(Screen->GetCursors(crHandPoint), nullptr);
    TForm form(nullptr);
    auto* probe = new TProbe(&form);
    probe->SetParent(&form);
    ASSERT_TRUE(ShowAndWait(&form));
    probe->SetCursor(3000);
    EXPECT_EQ(Client(probe)->cursor().hotSpot(), QPoint(8, 8));
    Screen->SetCursor(crHourGlass);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    Screen->SetCursor(crDefault);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(PopupTest, TopmostPopupShapedByARegionIsATopLevelWindow) {
    struct TPopup : TCustomControl {
        using TCustomControl::TCustomControl;
        void CreateParams(TCreateParams& p) override {
            TCustomControl::CreateParams(p);
            p.Style = (p.Style & ~WS_CHILD) | WS_POPUP;
            p.ExStyle |= WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
        }
        void Paint() override {
            GetCanvas()->GetBrush()->SetColor(clGrayText);
            GetCanvas()->FillRect(GetClientRect());
        }
    };
    TForm form(nullptr);
    form.SetBounds(100, 100, 300, 200);
    ASSERT_TRUE(ShowAndWait(&form));
    auto* popup = new TPopup(&form);
    popup->SetVisible(false);
    popup->SetParent(&form);
    popup->SetBounds(500, 400, 32, 32); // screen coordinates
    TRegion shape = CreatePolygonRgn({{-1, 7}, {7, -1}, {8, 0}, {14, 7}, {0, 6}}, WINDING);
    shape = shape.United(CreateEllipticRgn(5, 9, 10, 14));
    popup->SetWindowRgn(&shape);
    popup->Show();
    QWidget* f = Frame(popup);
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->isWindow());
    EXPECT_TRUE(f->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(f->geometry().topLeft(), QPoint(500, 400));
    EXPECT_TRUE(f->mask().contains(QPoint(7, 3)));
    EXPECT_FALSE(f->mask().contains(QPoint(25, 25)));
    EXPECT_TRUE(popup->IsTopLevelWindow());
    popup->SetWindowRgn(nullptr);
    EXPECT_TRUE(f->mask().isEmpty());
}

// ---------------------------------------------------------------------------------------------
// Visual styles

TEST(ThemeTest, ThemeDataOpensForKnownClassesAndDrawsWithTheStyle) {
    EXPECT_TRUE(IsThemeActive());
    EXPECT_TRUE(IsAppThemed());
    HTHEME edit = OpenThemeData(nullptr, u"EDIT");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(GetThemeClassName(edit), u"edit");
    EXPECT_EQ(OpenThemeData(nullptr, u"nonsense"), nullptr);
    HTHEME header = OpenThemeData(nullptr, u"nonsense;Header");
    ASSERT_NE(header, nullptr);
    TBitmap bmp(60, 30, pf24bit);
    bmp.GetCanvas()->GetBrush()->SetColor(clRed);
    bmp.GetCanvas()->FillRect({0, 0, 60, 30});
    TRect r{10, 5, 50, 25};
    TRect clip{10, 5, 30, 25};
    EXPECT_EQ(DrawThemeBackground(edit, bmp.GetCanvas(), 1, 0, &r, &clip), S_OK);
    EXPECT_NE(bmp.GetCanvas()->GetPixels(20, 15), clRed) << "drawn inside the clip";
    EXPECT_EQ(bmp.GetCanvas()->GetPixels(40, 15), clRed) << "nothing outside the clip";
    EXPECT_EQ(bmp.GetCanvas()->GetPixels(5, 15), clRed);
    EXPECT_EQ(DrawThemeBackground(header, bmp.GetCanvas(), 1, 1, &r, nullptr), S_OK);
    EXPECT_EQ(CloseThemeData(edit), S_OK);
    EXPECT_EQ(CloseThemeData(edit), E_HANDLE) << "closing twice is refused, not a double free";
    EXPECT_EQ(DrawThemeBackground(edit, bmp.GetCanvas(), 1, 0, &r, nullptr), E_HANDLE);
    CloseThemeData(header);
}

TEST(ThemeTest, SwitchingThemesOffTellsEveryWindow) {
    TForm form(nullptr);
    auto* probe = new TProbe(&form);
    probe->SetParent(&form);
    form.HandleNeeded();
    probe->Messages.clear();
    SetThemesEnabled(false);
    EXPECT_FALSE(IsThemeActive());
    EXPECT_EQ(OpenThemeData(nullptr, u"edit"), nullptr);
    EXPECT_NE(std::find(probe->Messages.begin(), probe->Messages.end(), WM_THEMECHANGED),
              probe->Messages.end());
    SetThemesEnabled(true);
    EXPECT_TRUE(IsThemeActive());
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Files dropped from the desktop

TEST(FormDropTest, LocalFilesDroppedOnAnAcceptingFormReachOnDropFiles) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    std::vector<WideString> got;
    int drops = 0;
    form.OnDropFiles = [&](TObject*, const std::vector<WideString>& files) {
        got = files;
        ++drops;
    };
    ASSERT_TRUE(ShowAndWait(&form));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/tmp/a b.txt"), QUrl("https://example.org/x.txt"),
                  QUrl::fromLocalFile(QString::fromUtf8("/tmp/файл.txt"))});
    auto drop = [&] {
        // As a real drag does: the window accepts the entering drag, then the drop.
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Client(&form), &enter);
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Client(&form), &event);
        return event.isAccepted();
    };
    // Not accepting yet: nothing arrives.
    drop();
    EXPECT_EQ(drops, 0);
    form.DragAcceptFiles(true);
    EXPECT_TRUE(Client(&form)->acceptDrops());
    EXPECT_TRUE(drop());
    ASSERT_EQ(drops, 1);
    ASSERT_EQ(got.size(), 2u); // the web address is not a local file
    EXPECT_EQ(got[0], u"/tmp/a b.txt");
    EXPECT_EQ(got[1], u"/tmp/файл.txt");
    form.DragAcceptFiles(false);
    drop();
    EXPECT_EQ(drops, 1);
}
