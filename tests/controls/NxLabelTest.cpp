// The label tied to an associate: the nine places it can take, following moves and size changes,
// letting go when the associate changes or dies, and transparency over the gradient panel.
#include <gtest/gtest.h>

#include "controls/ControlsTestSupport.h"
#include "controls/NxLabel.h"
#include "controls/NxPanel.h"
#include "platform/runtime/Exception.h"

using namespace ControlsTest;
using namespace NxStdCtrls;

namespace {

struct LabelTest : FormTest {
    TNxPanel* associate = nullptr;
    TNxLabel* label = nullptr;
    void SetUp() override {
        FormTest::SetUp();
        associate = Add<TNxPanel>(100, 50, 80, 20);
        label = Add<TNxLabel>(0, 0, 30, 13);
        label->SetAutoSize(false);
        label->SetCaption(u"Key");
    }
    TPoint Place() const { return {label->GetLeft(), label->GetTop()}; }
};

TEST_F(LabelTest, DefaultsPutTheLabelAboveTheLeftEdgeTwoPixelsClear) {
    label->SetAssociate(associate);
    EXPECT_EQ(Place(), (TPoint{100, 50 - 13 - 2}));
    EXPECT_EQ(label->GetWidth(), 30);
    EXPECT_EQ(label->GetHeight(), 13);
}

TEST_F(LabelTest, EveryPositionInsideAndOutside) {
    label->SetAssociate(associate);
    NxCollection::TMargins m;
    m.SetHorizontal(4);
    m.SetVertical(2);
    label->SetInnerMargins(&m);
    struct Case {
        THorizontalPosition h;
        bool innerH;
        TVerticalPosition v;
        bool innerV;
        TPoint expected;
    };
    // Associate (100, 50, 80 x 20), label 30 x 13, margins 4 and 2.
    const Case cases[] = {
        {hpLeft, true, vpTop, true, {104, 52}},      {hpLeft, false, vpTop, false, {66, 35}},
        {hpCenter, true, vpMiddle, true, {129, 56}}, {hpCenter, false, vpMiddle, false, {129, 56}},
        {hpRight, true, vpBottom, true, {146, 59}},  {hpRight, false, vpBottom, false, {184, 72}},
    };
    for (const Case& c : cases) {
        label->SetHorizontalPosition(c.h);
        label->SetInnerHorizontal(c.innerH);
        label->SetVerticalPosition(c.v);
        label->SetInnerVertical(c.innerV);
        EXPECT_EQ(Place(), c.expected) << int(c.h) << c.innerH << int(c.v) << c.innerV;
    }
    // A change made on the label's own margins moves it at once.
    label->GetInnerMargins()->SetHorizontal(10);
    EXPECT_EQ(Place(), (TPoint{190, 72}));
}

TEST_F(LabelTest, FollowsItsAssociateUntilTheTieChangesOrTheAssociateDies) {
    Show();
    label->SetAssociate(associate);
    associate->SetBounds(10, 100, 80, 20);
    EXPECT_EQ(Place(), (TPoint{10, 85}));
    label->SetHorizontalPosition(hpRight);
    associate->SetWidth(120);
    EXPECT_EQ(Place(), (TPoint{100, 85}));

    // The associate still handles its own messages through the hook.
    int resized = 0;
    associate->OnResize = [&](TObject*) { ++resized; };
    associate->SetHeight(30);
    EXPECT_EQ(resized, 1);

    // Itself as associate is ignored.
    label->SetAssociate(label);
    EXPECT_EQ(label->GetAssociate(), associate);

    // Another associate: the first one gets its window procedure back and no longer moves the label.
    auto* other = Add<TNxPanel>(300, 200, 50, 20);
    label->SetAssociate(other);
    const TPoint tied = Place();
    associate->SetLeft(0);
    EXPECT_EQ(Place(), tied);
    associate->SetWidth(60);
    EXPECT_EQ(resized, 2);

    // Destroying the associate leaves the label where it was, untied.
    delete other;
    EXPECT_EQ(label->GetAssociate(), nullptr);
    EXPECT_EQ(Place(), tied);
}

TEST_F(LabelTest, AutoSizedCaptionChangeKeepsTheRightEdgeInsideTheAssociate) {
    label->SetAutoSize(true);
    label->SetHorizontalPosition(hpRight);
    label->SetInnerHorizontal(true);
    label->GetInnerMargins()->SetHorizontal(3);
    label->SetAssociate(associate);
    const int right = associate->GetLeft() + associate->GetWidth() - 3;
    EXPECT_EQ(label->GetLeft() + label->GetWidth(), right);
    const int before = label->GetWidth();
    label->SetCaption(u"A much longer caption");
    EXPECT_GT(label->GetWidth(), before);
    EXPECT_EQ(label->GetLeft() + label->GetWidth(), right);
}

TEST_F(LabelTest, DestroyingTheLabelGivesTheAssociateItsProcedureBack) {
    label->SetAssociate(associate);
    delete label;
    label = nullptr;
    int resized = 0;
    associate->OnResize = [&](TObject*) { ++resized; };
    associate->SetBounds(1, 2, 30, 40); // would touch the freed label if the hook stayed
    EXPECT_EQ(resized, 1);
}

TEST_F(LabelTest, AssignTakesTheTieAndPlacesThenTheBaseRefusesTheRest) {
    auto* source = Add<TNxLabel>(0, 0, 30, 13);
    source->SetAssociate(associate);
    source->SetVerticalPosition(vpBottom);
    source->GetInnerMargins()->SetVertical(7);
    try {
        label->Assign(source);
        ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TNxLabel to a TNxLabel");
    }
    EXPECT_EQ(label->GetAssociate(), associate);
    EXPECT_EQ(label->GetVerticalPosition(), vpBottom);
    EXPECT_EQ(label->GetInnerMargins()->GetVertical(), 7);
    EXPECT_EQ(Place(), (TPoint{100, 77}));
}

TEST_F(LabelTest, TransparentLabelShowsTheGradientBehindItsText) {
    auto* bar = Add<TNxPanel>(0, 0, 633, 42);
    bar->SetBackgroundStyle(pbVertGradient);
    bar->SetPanelBorders({});
    auto* onBar = Add<TNxLabel>(bar, 176, 13, 72, 13);
    onBar->SetAutoSize(false);
    onBar->SetCaption(u"Key for decode");
    onBar->SetTransparent(true);
    Show();
    QImage img = Shot(bar);
    // The gradient runs on under the label's blank right end, row by row.
    for (int y = 13; y < 26; ++y)
        EXPECT_EQ(Pixel(img, 247, y), Pixel(img, 300, y)) << y;
    EXPECT_NE(Pixel(img, 247, 13), Pixel(img, 247, 25));
    onBar->SetTransparent(false);
    img = Shot(bar);
    EXPECT_EQ(Pixel(img, 247, 13), Pixel(img, 247, 25));
}

} // namespace
