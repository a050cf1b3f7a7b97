// Invalidation, painting limited to the invalid region, validation, and scrolling window pixels.
#include <gtest/gtest.h>

#include <QDir>
#include <memory>

#include "TestSupport.h"
#include "platform/windows/ControlCanvas.h"

namespace {

struct PaintingTest : ::testing::Test {
    std::unique_ptr<TForm> form;
    TProbe* probe = nullptr;
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(100, 100, 300, 200);
        probe = new TProbe(form.get());
        probe->SetParent(form.get());
        probe->SetBounds(10, 10, 120, 90);
        ASSERT_TRUE(ShowAndWait(form.get()));
        probe->Update();
        probe->PaintClips.clear();
    }
    QRgb PixelAt(int x, int y) { return probe->GetWindowPrivate()->Pixels.pixel(x, y); }
    static QRgb Expected(int y) {
        TColor c = TProbe::RowColor(y);
        return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
    }
};

TEST_F(PaintingTest, PaintRunsOnlyForTheInvalidRegionAndOnlyWhenAsked) {
    TRect r{5, 6, 25, 30};
    probe->InvalidateRect(&r);
    EXPECT_TRUE(probe->PaintClips.empty()) << "invalidating must not paint by itself";
    EXPECT_EQ(probe->GetUpdateRect(), r);
    probe->Update();
    ASSERT_EQ(probe->PaintClips.size(), 1u);
    EXPECT_EQ(probe->PaintClips[0], r);
    EXPECT_FALSE(probe->HasPendingPaint());
    // The event loop's paint finds nothing left to paint.
    Pump();
    EXPECT_EQ(probe->PaintClips.size(), 1u);
}

TEST_F(PaintingTest, ValidatingRemovesPartOfThePendingRegion) {
    TRect row{0, 20, 120, 40};
    probe->InvalidateRect(&row);
    TRect inner{1, 21, 119, 39};
    probe->ValidateRect(&inner);
    probe->Update();
    ASSERT_EQ(probe->PaintClips.size(), 1u);
    // Only the one-pixel frame remains: its bounding box is the row.
    EXPECT_EQ(probe->PaintClips[0], row);
    probe->InvalidateRect(&row);
    probe->ValidateRect(nullptr);
    probe->Update();
    EXPECT_EQ(probe->PaintClips.size(), 1u);
}

TEST_F(PaintingTest, EventLoopPaintsWhatIsInvalid) {
    probe->Invalidate();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !probe->PaintClips.empty(); }, 2000));
    EXPECT_EQ(probe->PaintClips[0], probe->GetClientRect());
}

TEST_F(PaintingTest, ScrollingMovesPixelsAndInvalidatesOnlyTheUncoveredStrip) {
    int w = probe->GetClientWidth(), h = probe->GetClientHeight();
    ASSERT_EQ(PixelAt(3, 0), Expected(0));
    probe->ScrollWindowEx(0, -10, nullptr, nullptr, SW_INVALIDATE);
    // Before any paint the old rows already sit 10 pixels higher.
    EXPECT_EQ(PixelAt(3, 0), Expected(10));
    EXPECT_EQ(PixelAt(3, h - 11), Expected(h - 1));
    EXPECT_EQ(probe->GetUpdateRect(), (TRect{0, h - 10, w, h}));
    probe->Update();
    ASSERT_EQ(probe->PaintClips.size(), 1u);
    EXPECT_EQ(probe->PaintClips[0], (TRect{0, h - 10, w, h}));
}

TEST_F(PaintingTest, ScrollingInsideAClipRectangleLeavesTheRestAlone) {
    int w = probe->GetClientWidth();
    TRect clip{0, 20, w, 60};
    probe->ScrollWindowEx(0, 5, nullptr, &clip, SW_INVALIDATE);
    EXPECT_EQ(PixelAt(3, 19), Expected(19)) << "outside the clip nothing moves";
    EXPECT_EQ(PixelAt(3, 30), Expected(25));
    EXPECT_EQ(PixelAt(3, 60), Expected(60));
    probe->Update();
    ASSERT_EQ(probe->PaintClips.size(), 1u);
    EXPECT_EQ(probe->PaintClips[0], (TRect{0, 20, w, 25}));
    // Horizontal moves uncover a column strip.
    probe->PaintClips.clear();
    probe->ScrollWindowEx(7, 0, nullptr, nullptr, SW_INVALIDATE);
    probe->Update();
    ASSERT_EQ(probe->PaintClips.size(), 1u);
    EXPECT_EQ(probe->PaintClips[0], (TRect{0, 0, 7, probe->GetClientHeight()}));
}

TEST_F(PaintingTest, PendingInvalidRegionMovesWithTheScrolledPixels) {
    TRect r{0, 40, 20, 50};
    probe->InvalidateRect(&r);
    probe->ScrollWindowEx(0, -10, nullptr, nullptr, 0);
    EXPECT_EQ(probe->GetUpdateRect(), (TRect{0, 30, 20, 40}));
}

TEST_F(PaintingTest, DrawingOutsidePaintStaysAndInvertingTwiceRestores) {
    QRgb before = PixelAt(50, 50);
    TCanvas* c = probe->GetCanvas();
    c->InvertRect({40, 0, 60, 90});
    EXPECT_NE(PixelAt(50, 50), before);
    EXPECT_TRUE(probe->PaintClips.empty());
    c->InvertRect({40, 0, 60, 90});
    EXPECT_EQ(PixelAt(50, 50), before);
}

TEST_F(PaintingTest, GraphicChildPaintsOnParentCanvasAtItsPlace) {
    struct TBlock : TGraphicControl {
        using TGraphicControl::TGraphicControl;
        int paints = 0;
        void Paint() override {
            ++paints;
            GetCanvas()->GetBrush()->SetColor(clRed);
            GetCanvas()->FillRect({0, 0, 1000, 1000}); // clipped to the block
        }
    };
    auto* block = new TBlock(form.get());
    block->SetParent(probe);
    block->SetBounds(20, 30, 10, 5);
    probe->Update();
    EXPECT_EQ(block->paints, 1);
    EXPECT_EQ(PixelAt(20, 30), qRgb(255, 0, 0));
    EXPECT_EQ(PixelAt(29, 34), qRgb(255, 0, 0));
    EXPECT_EQ(PixelAt(30, 34), Expected(34));
    EXPECT_EQ(PixelAt(20, 35), Expected(35));
    // Invalidating the graphic control invalidates its rectangle in the parent.
    probe->PaintClips.clear();
    block->Invalidate();
    EXPECT_EQ(probe->GetUpdateRect(), (TRect{20, 30, 30, 35}));
}

TEST_F(PaintingTest, APaintMessageWithACanvasPaintsOntoThatCanvas) {
    // As a transparent child does to show its parent behind it.
    TBitmap bmp(20, 20, pf24bit);
    TCanvas* c = bmp.GetCanvas();
    c->SetWindowOrg(0, 5);
    probe->Perform(WM_PAINT, reinterpret_cast<WPARAM>(c));
    TColor row7 = TProbe::RowColor(7);
    EXPECT_EQ(bmp.GetCanvas()->GetPixels(3, 7), row7);
    EXPECT_EQ(probe->PaintClips.size(), 1u);
}

TEST_F(PaintingTest, BackgroundIsErasedOnlyWhenAskedAndAHandlerMayTakeItOver) {
    struct TEraser : TProbe {
        using TProbe::TProbe;
        int erases = 0;
        bool own = false;
        void WMEraseBkgnd(TMessage& m) override {
            ++erases;
            if (own)
                m.Result = 1; // answered without painting
            else
                TProbe::WMEraseBkgnd(m);
        }
    };
    auto* e = new TEraser(form.get());
    e->SetParent(form.get());
    e->SetBounds(150, 10, 50, 50);
    e->Update();
    EXPECT_EQ(e->erases, 1) << "a new window is erased once";
    TRect r{0, 0, 10, 10};
    e->InvalidateRect(&r, false);
    e->Update();
    EXPECT_EQ(e->erases, 1);
    e->InvalidateRect(&r, true);
    e->Update();
    EXPECT_EQ(e->erases, 2);
    e->ScrollWindowEx(0, 5, nullptr, nullptr, SW_INVALIDATE);
    e->Update();
    EXPECT_EQ(e->erases, 2) << "scrolling invalidates without erasing";
    e->own = true;
    e->Stripes = false;
    e->GetCanvas()->GetBrush()->SetColor(clRed);
    e->GetCanvas()->FillRect({0, 0, 50, 50});
    e->InvalidateRect(&r, true);
    e->Update();
    EXPECT_EQ(e->erases, 3);
    EXPECT_EQ(e->GetWindowPrivate()->Pixels.pixel(5, 5), qRgb(255, 0, 0)) << "nothing erased the old pixels";
}

TEST_F(PaintingTest, ResizingReportsTheNewSizeAndRealignsChildren) {
    int resizes = 0;
    probe->OnResize = [&](TObject*) { ++resizes; };
    auto* child = new TProbe(form.get());
    child->SetParent(probe);
    child->SetAlign(alClient);
    probe->Messages.clear();
    probe->SetBounds(10, 10, 140, 60);
    EXPECT_EQ(resizes, 1);
    EXPECT_EQ(child->GetBoundsRect(), (TRect{0, 0, 140, 60}));
    EXPECT_NE(std::find(probe->Messages.begin(), probe->Messages.end(), WM_SIZE), probe->Messages.end());
    EXPECT_NE(std::find(probe->Messages.begin(), probe->Messages.end(), WM_WINDOWPOSCHANGED),
              probe->Messages.end());
    // A window that does not redraw on resize gets only the uncovered strips.
    struct TStrips : TProbe {
        using TProbe::TProbe;
        void CreateParams(TCreateParams& p) override {
            TProbe::CreateParams(p);
            p.WindowClassStyle &= ~(CS_HREDRAW | CS_VREDRAW);
        }
    };
    auto* s = new TStrips(form.get());
    s->SetParent(form.get());
    s->SetBounds(0, 120, 50, 40);
    s->Update();
    s->PaintClips.clear();
    s->SetBounds(0, 120, 70, 40);
    s->Update();
    ASSERT_EQ(s->PaintClips.size(), 1u);
    EXPECT_EQ(s->PaintClips[0], (TRect{50, 0, 70, 40}));
}

TEST_F(PaintingTest, ThemeChangeMessageReachesEveryControl) {
    probe->Messages.clear();
    probe->Perform(WM_THEMECHANGED);
    EXPECT_EQ(probe->Messages.back(), WM_THEMECHANGED);
    EXPECT_TRUE(probe->HasPendingPaint());
}

} // namespace

namespace {

TEST_F(PaintingTest, SizeMessagesCarryTheClientSizeAlsoWhenAScrollBarComesOrGoes) {
    struct TSizeProbe : TProbe {
        using TProbe::TProbe;
        std::vector<std::pair<int, int>> Sizes;
        void WMSize(TMessage& m) override {
            Sizes.emplace_back(GetXLParam(m.LParam), GetYLParam(m.LParam));
            TProbe::WMSize(m);
        }
    };
    auto* sized = new TSizeProbe(form.get());
    sized->SetParent(form.get());
    sized->SetBorderStyle(bsSingle);
    sized->SetBounds(140, 10, 120, 90);
    Pump();
    sized->Sizes.clear();
    sized->SetBounds(140, 10, 124, 94);
    ASSERT_EQ(sized->Sizes.size(), 1u) << "one size message per change of bounds";
    EXPECT_EQ(sized->Sizes[0], std::make_pair(sized->GetClientWidth(), sized->GetClientHeight()));
    EXPECT_EQ(sized->Sizes[0].first, 124 - 4) << "the client size, not the outer size";
    sized->Sizes.clear();
    TScrollInfo si;
    si.fMask = SIF_RANGE | SIF_PAGE;
    si.nMax = 500;
    si.nPage = 50;
    sized->SetScrollInfo(SB_HORZ, si, true);
    ASSERT_EQ(sized->Sizes.size(), 1u);
    EXPECT_EQ(sized->Sizes[0], std::make_pair(120, 90 - GetSystemMetrics(SM_CYHSCROLL)));
    si.nPage = 600;
    sized->SetScrollInfo(SB_HORZ, si, true);
    ASSERT_EQ(sized->Sizes.size(), 2u);
    EXPECT_EQ(sized->Sizes[1], std::make_pair(120, 90));
}

TEST_F(PaintingTest, ACanvasTakenOutsidePaintKeepsTheFontItIsGiven) {
    struct TMeasurer : TCustomControl {
        using TCustomControl::TCustomControl;
    };
    auto* m = new TMeasurer(form.get());
    m->SetParent(form.get());
    m->GetFont()->SetName("DejaVu Sans");
    m->GetFont()->SetSize(8);
    TCanvas* c = m->GetCanvas();
    EXPECT_EQ(c->GetFont()->GetSize(), 8) << "it starts with the control's font";
    int narrow = c->TextWidth(u"Measure me");
    TFont big;
    big.SetName("DejaVu Sans");
    big.SetSize(20);
    c->SetFont(big);
    // Taken again, as measuring code does for each column: the font it was given stays.
    EXPECT_EQ(m->GetCanvas()->GetFont()->GetSize(), 20);
    EXPECT_GT(m->GetCanvas()->TextWidth(u"Measure me"), narrow);
}

} // namespace

namespace {

TEST_F(PaintingTest, AControlCanvasDrawsWithinThePaintAndOnTheKeptPixelsOutsideIt) {
    TControlCanvas canvas(probe);
    EXPECT_EQ(canvas.GetControl(), probe);
    // During a paint: on what is painted, limited to the invalid region.
    struct TBoundProbe : TProbe {
        using TProbe::TProbe;
        TControlCanvas* Bound = nullptr;
        void Paint() override {
            TProbe::Paint();
            Bound->GetBrush()->SetColor(clRed);
            Bound->FillRect({0, 0, 120, 90});
        }
    };
    auto* bound = new TBoundProbe(form.get());
    bound->SetParent(form.get());
    bound->SetBounds(140, 10, 120, 90);
    TControlCanvas boundCanvas(bound);
    bound->Bound = &boundCanvas;
    bound->Update();
    TRect part{10, 10, 20, 20};
    auto px = [&](int x, int y) { return bound->GetWindowPrivate()->Pixels.pixel(x, y); };
    // Paint everything once, then make the kept pixels blue outside a paint.
    ASSERT_EQ(px(50, 50), qRgb(255, 0, 0));
    boundCanvas.GetBrush()->SetColor(clBlue);
    boundCanvas.FillRect({0, 0, 120, 90});
    EXPECT_EQ(px(50, 50), qRgb(0, 0, 255)) << "outside a paint: the kept pixels";
    // A paint of a part: red only there.
    bound->InvalidateRect(&part, false);
    bound->Update();
    EXPECT_EQ(px(15, 15), qRgb(255, 0, 0));
    EXPECT_EQ(px(50, 50), qRgb(0, 0, 255)) << "the paint's limit holds for the bound canvas too";
    // Rebinding to another control, and the control going away, unbind it.
    boundCanvas.SetControl(nullptr);
    EXPECT_FALSE(boundCanvas.HandleAllocated());
    delete probe;
    probe = nullptr;
    EXPECT_EQ(canvas.GetControl(), nullptr);
}

} // namespace
