// Every caption of the main and prime windows at 96 pixels per inch: inside its control and clear
// of its neighbours, in the font the windows are drawn with.
#include <gtest/gtest.h>

#include <string>

#include "MainFormTestSupport.h"
#include "app/window/MainForm.h"
#include "app/window/PrimeForm.h"
#include "controls/NxEdit.h"
#include "controls/NxLabel.h"
#include "controls/NxPanel.h"
#include "grid/model/Column.h"
#include "grid/model/Columns.h"
#include "grid/view/NextGrid.h"
#include "platform/graphics/Bitmap.h"
#include "platform/runtime/CodePage.h"
#include "platform/windows/StdCtrls.h"

namespace {

using CaptionFitTest = TMainFormFixture;

TSize Measure(const TFont* Font, const WideString& Text) {
    TBitmap Probe(1, 1, pf24bit);
    Probe.GetCanvas()->SetFont(*Font);
    return Probe.GetCanvas()->TextExtent(Text);
}

std::string Name(const TControl* C, const WideString& Text) {
    return C->GetName() + " \"" + WideToUtf8(Text) + "\"";
}

bool Overlap(const TRect& A, const TRect& B) {
    return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}

// Labels draw from their left edge; the text must fit the label and touch no sibling.
void ExpectLabelsClear(TWinControl* Parent) {
    for (int i = 0; i < Parent->GetControlCount(); ++i) {
        auto* Label = dynamic_cast<TCustomLabel*>(Parent->GetControl(i));
        if (!Label) continue;
        TSize Text = Measure(Label->GetFont(), Label->GetLabelText());
        TRect Drawn{Label->GetLeft(), Label->GetTop(), Label->GetLeft() + Text.cx, Label->GetTop() + Text.cy};
        EXPECT_LE(Text.cx, Label->GetWidth()) << Name(Label, Label->GetLabelText()) << " is cut";
        EXPECT_LE(Text.cy, Label->GetHeight()) << Name(Label, Label->GetLabelText()) << " is cut";
        EXPECT_LE(Drawn.Bottom, Parent->GetClientHeight()) << Name(Label, Label->GetLabelText());
        for (int j = 0; j < Parent->GetControlCount(); ++j) {
            TControl* Other = Parent->GetControl(j);
            if (Other == Label || !Other->GetVisible()) continue;
            TRect B{Other->GetLeft(), Other->GetTop(), Other->GetLeft() + Other->GetWidth(),
                    Other->GetTop() + Other->GetHeight()};
            EXPECT_FALSE(Overlap(Drawn, B))
                << Name(Label, Label->GetLabelText()) << " runs into " << Other->GetName();
        }
    }
}

// A push button's caption needs a few pixels of its face on each side of the text.
void ExpectButtonFits(TButton* Button) {
    constexpr int kFaceMargin = 4;
    TSize Text = Measure(Button->GetFont(), Button->GetCaption());
    EXPECT_LE(Text.cx + 2 * kFaceMargin, Button->GetWidth()) << Name(Button, Button->GetCaption());
    EXPECT_LE(Text.cy + 2, Button->GetHeight()) << Name(Button, Button->GetCaption());
}

TEST_F(CaptionFitTest, MainWindowCaptionsStayInsideTheirControls) {
    ExpectLabelsClear(Form->NxPanel1);
    // The key label's text ends before the key field starts, as the layout was made.
    TSize Key = Measure(Form->NxLabel1->GetFont(), u"Key for decode");
    EXPECT_LE(Form->NxLabel1->GetLeft() + Key.cx, Form->Edit1->GetLeft());
    EXPECT_EQ(Form->Edit1->GetLeft(), 256);
    ExpectButtonFits(Form->Button1);
    // Column captions sit inside their header cells with room for the header's margins.
    TNxColumns* Columns = Form->NextGrid1->GetColumns();
    for (int i = 0; i < Columns->Count(); ++i) {
        TNxCustomColumn* Column = Columns->GetItem(i);
        WideString Caption = Column->GetHeader()->GetCaption();
        EXPECT_LE(Measure(Column->GetFont(), Caption).cx + 4, Column->GetWidth()) << WideToUtf8(Caption);
    }
    // The tool bar holds its row of text: the field is as tall as the font makes it.
    EXPECT_EQ(Form->Edit1->GetHeight(), 21);
    EXPECT_EQ(Measure(Form->GetFont(), u"Ag").cy, 13);
}

TEST_F(CaptionFitTest, PrimeWindowCaptionsStayInsideTheirControls) {
    TForm2* Prime = new TForm2(nullptr);
    Prime->AfterConstruction();
    for (TButton* Button : {Prime->Button1, Prime->Button2, Prime->Button3, Prime->Button4})
        ExpectButtonFits(Button);
    // Group box captions start 8 pixels in and must end before the box's right border.
    for (TGroupBox* Box :
         {Prime->GroupBox1, Prime->GroupBox2, Prime->GroupBox3, Prime->GroupBox4, Prime->GroupBox5}) {
        TSize Text = Measure(Box->GetFont(), Box->GetCaption());
        EXPECT_LE(8 + Text.cx + 8, Box->GetWidth()) << Name(Box, Box->GetCaption());
        // The caption line fits above the memo that starts at 14.
        EXPECT_LE(Text.cy, 14) << Name(Box, Box->GetCaption());
    }
    delete Prime;
}

} // namespace
