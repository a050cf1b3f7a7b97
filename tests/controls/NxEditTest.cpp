// The edit box through real input: masking and its secrecy, the left select-all zone and its
// cursor, margins moved for the information area, Tab handling, the themed border, typed
// accessors, character case, focus selection rules, auto height and the grid's editing hooks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDirIterator>
#include <QLineEdit>
#include <QTemporaryDir>

#include "controls/ControlsTestSupport.h"
#include "controls/NxEdit.h"
#include "drawing/ThemesSupport.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/Registry.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windows/Themes.h"

using namespace ControlsTest;
using namespace NxEdit;

namespace {

struct EditTest : FormTest {
    TNxEdit* edit = nullptr;
    TNxEdit* next = nullptr;
    void SetUp() override {
        FormTest::SetUp();
        edit = Add<TNxEdit>(10, 10, 177, 21);
        next = Add<TNxEdit>(10, 60, 177, 21);
    }
    void Focus(TWinControl* c) {
        c->SetFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return c->Focused(); }, 2000));
        Pump();
    }
    void ClickAt(int x) {
        QTest::mouseClick(Client(edit), Qt::LeftButton, Qt::NoModifier, QPoint(x, 10));
        Pump();
    }
};

std::unique_ptr<TBitmap> Glyph(int w, int h, TColor color) {
    auto b = std::make_unique<TBitmap>(w, h, pf24bit);
    b->GetCanvas()->GetBrush()->SetColor(clFuchsia);
    b->GetCanvas()->FillRect({0, 0, w, h});
    b->GetCanvas()->GetBrush()->SetColor(color);
    b->GetCanvas()->FillRect({2, 2, w - 2, h - 2});
    return b;
}

TEST_F(EditTest, MaskedKeyShowsStarsReturnsTheTypedTextAndNeverLeavesTheBox) {
    edit->SetPasswordChar(u'*');
    Show();
    Focus(edit);
    QTest::keyClicks(Client(edit), "k9Z");
    EXPECT_EQ(edit->GetDisplayText(), u"***");
    EXPECT_EQ(edit->GetText(), u"k9Z");
    EXPECT_EQ(edit->GetAsString(), u"k9Z");

    // Neither copy nor cut, by keys or by calls.
    QApplication::clipboard()->setText("before");
    edit->SelectAll();
    QTest::keyClick(Client(edit), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(Client(edit), Qt::Key_X, Qt::ControlModifier);
    edit->CopyToClipboard();
    edit->CutToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(), "before");
    EXPECT_EQ(edit->GetText(), u"k9Z");

    // The editor never starts a drag of the text.
    auto* line = qobject_cast<QLineEdit*>(Client(edit));
    ASSERT_NE(line, nullptr);
    EXPECT_FALSE(line->dragEnabled());

    // A conversion error names the mask, not the key.
    try {
        edit->GetAsInteger();
        ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'***' is not a valid integer value");
    }

    // Emptied by the user, the box has no undo step that brings the key back.
    edit->SelectAll();
    QTest::keyClick(Client(edit), Qt::Key_Delete);
    EXPECT_EQ(edit->GetText(), u"");
    QTest::keyClick(Client(edit), Qt::Key_Z, Qt::ControlModifier);
    edit->Undo();
    EXPECT_EQ(edit->GetText(), u"");
    // Cleared by the program, the same.
    QTest::keyClicks(Client(edit), "again");
    edit->Clear();
    edit->Undo();
    EXPECT_EQ(edit->GetText(), u"");
    EXPECT_FALSE(edit->GetCanUndo());

    // Without the mask, the error quotes the text as the platform does.
    next->SetText(u"12x");
    try {
        next->GetAsInteger();
        ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'12x' is not a valid integer value");
    }
}

std::vector<std::string>* gLogged = nullptr;
void Record(QtMsgType, const QMessageLogContext&, const QString& text) {
    gLogged->push_back(text.toStdString());
}

TEST_F(EditTest, KeyNeverReachesTheLogOrTheSettingsStore) {
    QTemporaryDir store;
    const std::string savedFolder = TRegistry::GetStoreFolder();
    TRegistry::SetStoreFolder(store.path().toStdString());
    std::vector<std::string> logged;
    gLogged = &logged;
    QtMessageHandler previous = qInstallMessageHandler(Record);
    edit->SetPasswordChar(u'*');
    edit->SetHint(u"Key");
    edit->SetShowHint(true);
    Show();
    Focus(edit);
    QTest::keyClicks(Client(edit), "Zebra-4711");
    EXPECT_THROW(edit->GetAsFloat(), EConvertError);
    EXPECT_THROW(edit->GetAsDateTime(), EConvertError);
    edit->SetAlignment(taCenter); // recreated with its text
    Focus(next);
    form.reset();
    qInstallMessageHandler(previous);
    gLogged = nullptr;
    TRegistry::SetStoreFolder(savedFolder);
    for (const std::string& line : logged)
        EXPECT_EQ(line.find("Zebra"), std::string::npos) << line;
    QDirIterator files(store.path(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile f(files.next());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_FALSE(f.readAll().contains("Zebra")) << f.fileName().toStdString();
    }
}

TEST_F(EditTest, LeftZoneSelectsAllWithTheReversedArrowAndFurtherRightPlacesTheCaret) {
    edit->SetText(u"hello");
    Show();
    Focus(next);
    EXPECT_FALSE(edit->GetEditInfo()->GetVisible());
    EXPECT_EQ(edit->GetEditLeft(), 0);
    // The zone is the first three pixels inside the two-pixel border, not the border itself.
    for (int x : {2, 3, 4}) {
        ClickAt(60); // the caret somewhere, nothing selected
        ASSERT_EQ(edit->GetSelLength(), 0);
        ClickAt(x);
        EXPECT_EQ(edit->GetSelStart(), 0) << x;
        EXPECT_EQ(edit->GetSelLength(), 5) << x;
    }
    for (int x : {0, 1, 5}) {
        ClickAt(60);
        ClickAt(x);
        EXPECT_EQ(edit->GetSelLength(), 0) << x;
    }

    // The cursor over the zone is the registered reversed arrow, the text cursor elsewhere.
    ASSERT_NE(Screen->GetCursors(crReversedArrow), nullptr);
    EXPECT_EQ(GetCursorHotSpot(Screen->GetCursors(crReversedArrow)), (TPoint{11, 0}));
    QTest::mouseMove(Client(edit), QPoint(4, 10));
    EXPECT_EQ(edit->GetCursor(), crReversedArrow);
    QTest::mouseMove(Client(edit), QPoint(40, 10));
    EXPECT_EQ(edit->GetCursor(), crIBeam);
}

TEST_F(EditTest, PreviewAndGlyphMoveTheMarginsAndTheZoneAndKeepTheText) {
    edit->SetText(u"kept");
    Show();
    edit->SetShowPreview(true);
    edit->GetEditMargins()->SetLeft(3);
    auto glyph = Glyph(16, 16, clRed);
    edit->SetGlyph(glyph.get());
    EXPECT_EQ(edit->GetLeftMargin(), 2 * 3 + 25 + 16 + 4);
    EXPECT_EQ(LoWord(uintptr_t(edit->Perform(EM_GETMARGINS))), 51);
    EXPECT_TRUE(edit->GetEditInfo()->GetVisible());
    EXPECT_EQ(edit->GetEditInfo()->GetWidth(), 40);
    EXPECT_EQ(edit->GetEditLeft(), edit->GetEditInfo()->GetLeft() + 40);
    EXPECT_EQ(edit->GetText(), u"kept");
    EXPECT_TRUE(edit->GetGlyph()->GetTransparent());
    EXPECT_EQ(ColorToRGB(edit->GetGlyph()->GetTransparentColor()), clFuchsia);

    // Right margin, alignment: the window is recreated and the text stays.
    edit->GetEditMargins()->SetRight(7);
    edit->SetAlignment(taRightJustify);
    EXPECT_EQ(edit->GetRightMargin(), 7);
    EXPECT_EQ(edit->GetText(), u"kept");

    // Glyph and preview are painted; the glyph takes clicks, the preview does not.
    std::vector<TRect> previews;
    edit->OnCustomPreviewDraw = [&](TObject*, const TRect& r) { previews.push_back(r); };
    int glyphClicks = 0;
    edit->OnGlyphClick = [&](TObject*) { ++glyphClicks; };
    edit->GetEditInfo()->Invalidate();
    QImage img = Shot(edit);
    ASSERT_FALSE(previews.empty());
    const int top = edit->GetEditInfo()->GetTop();
    const int left = edit->GetEditInfo()->GetLeft();
    const int h = edit->GetEditInfo()->GetHeight();
    // The preview box: framed in gray right of the glyph, handed over without the frame.
    EXPECT_EQ(previews.back(), (TRect{16 + 2 + 1, 1, 16 + 2 + 19, h - 1}));
    EXPECT_EQ(Pixel(img, left + 18, top + h / 2), clGray);
    EXPECT_EQ(Pixel(img, left + 8, top + h / 2), clRed);                // the glyph, vertically centred
    EXPECT_EQ(Pixel(img, left + 0, top + h / 2), ColorToRGB(clWindow)); // the glyph's transparent color
    QTest::mouseClick(Client(edit->GetEditInfo()), Qt::LeftButton, Qt::NoModifier, QPoint(5, h / 2));
    QTest::mouseClick(Client(edit->GetEditInfo()), Qt::LeftButton, Qt::NoModifier, QPoint(25, h / 2));
    EXPECT_EQ(glyphClicks, 1);

    // Without glyph and preview the area is hidden and the margins are the plain ones again.
    edit->SetGlyph(nullptr);
    edit->SetShowPreview(false);
    EXPECT_FALSE(edit->GetEditInfo()->GetVisible());
    EXPECT_EQ(edit->GetLeftMargin(), 3);
    EXPECT_EQ(edit->GetEditLeft(), 0);
}

TEST_F(EditTest, TabMovesOnUnlessTheBoxWantsIt) {
    Show();
    Focus(edit);
    QTest::keyClick(Client(edit), Qt::Key_Tab);
    Pump();
    EXPECT_TRUE(next->Focused());

    edit->SetWantTabs(true);
    Focus(edit);
    QTest::keyClick(Client(edit), Qt::Key_Tab);
    Pump();
    EXPECT_TRUE(edit->Focused());
    EXPECT_TRUE(edit->Perform(WM_GETDLGCODE) & DLGC_WANTTAB);
    edit->SetWantTabs(false);
    EXPECT_FALSE(edit->Perform(WM_GETDLGCODE) & DLGC_WANTTAB);
}

TEST_F(EditTest, ThemedBorderOnlyWhileStylesAreOnAndOnlyForASingleBorder) {
    auto* plain = Add<TEdit>(220, 10, 177, 21);
    auto* bare = Add<TNxEdit>(10, 110, 177, 21);
    bare->SetBorderStyle(bsNone);
    auto* plainBare = Add<TEdit>(220, 110, 177, 21);
    plainBare->SetBorderStyle(bsNone);
    for (auto* e : std::initializer_list<TCustomEdit*>{edit, plain, bare, plainBare})
        e->SetText(u"abc");
    Show();
    Focus(next); // none of the compared boxes shows a focus frame
    // The themed "edit" part, as it looks on its own.
    // Drawn over two backgrounds: where both agree, the part is opaque.
    TBitmap overPink(177, 21), overLime(177, 21);
    for (auto [bitmap, color] : {std::pair{&overPink, clFuchsia}, std::pair{&overLime, clLime}}) {
        bitmap->GetCanvas()->GetBrush()->SetColor(color);
        bitmap->GetCanvas()->FillRect({0, 0, 177, 21});
        NxThemesSupport::ThemeRect(edit, bitmap->GetCanvas(), {0, 0, 177, 21}, u"edit", 1, 0);
    }
    auto part = [&](int x, int y) { return ColorToRGB(overPink.GetCanvas()->GetPixels(x, y)); };
    auto onFrame = [&](int x, int y) {
        return (x < 2 || y < 2 || x >= 175 || y >= 19) &&
               part(x, y) == ColorToRGB(overLime.GetCanvas()->GetPixels(x, y));
    };
    auto frame = [](const QImage& img, int i) {
        // Points on the two-pixel frame and just inside it.
        const TPoint pts[] = {{0, 10},   {1, 10},  {88, 0},  {88, 1}, {176, 10},
                              {175, 10}, {88, 20}, {88, 19}, {2, 10}};
        return Pixel(img, pts[i].X, pts[i].Y);
    };
    QImage themed = Shot(edit), reference = Shot(plain);
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 177; ++x)
            if (onFrame(x, y)) ASSERT_EQ(Pixel(themed, x, y), part(x, y)) << x << "," << y;
    EXPECT_EQ(frame(themed, 8), frame(reference, 8)); // nothing drawn inside the frame

    SetThemesEnabled(false);
    QImage classic = Shot(edit), classicReference = Shot(plain);
    SetThemesEnabled(true);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(frame(classic, i), frame(classicReference, i)) << i;
    // The themed part covers the platform's own frame, which shows the focus in its own way.
    Focus(edit);
    QImage focusedThemed = Shot(edit);
    SetThemesEnabled(false);
    QImage focusedClassic = Shot(edit);
    SetThemesEnabled(true);
    Focus(next);
    int differing = 0;
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 177; ++x)
            differing += onFrame(x, y) && Pixel(focusedClassic, x, y) != Pixel(focusedThemed, x, y);
    EXPECT_GT(differing, 0);

    QImage none = Shot(bare), noneReference = Shot(plainBare);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(frame(none, i), frame(noneReference, i)) << i;
}

TEST_F(EditTest, TypedAccessorsConvertBothWays) {
    EXPECT_EQ(edit->GetAsDateTime(), 0.0);
    edit->SetAsInteger(-42);
    EXPECT_EQ(edit->GetText(), u"-42");
    EXPECT_EQ(edit->GetAsInteger(), -42);
    edit->SetAsBoolean(true);
    EXPECT_EQ(edit->GetText(), u"True");
    EXPECT_TRUE(edit->GetAsBoolean());
    edit->SetAsBoolean(false);
    EXPECT_EQ(edit->GetText(), u"False");
    edit->SetAsFloat(2.5);
    EXPECT_DOUBLE_EQ(edit->GetAsFloat(), 2.5);
    edit->SetAsDateTime(45000.5);
    EXPECT_NEAR(edit->GetAsDateTime(), 45000.5, 1e-6);
    // Wide text stays wide.
    edit->SetAsString(u"Ключ");
    EXPECT_EQ(edit->GetAsString(), u"Ключ");
    edit->SetText(u"maybe");
    EXPECT_THROW(edit->GetAsBoolean(), EConvertError);
    EXPECT_THROW(edit->GetAsFloat(), EConvertError);
    EXPECT_THROW(edit->GetAsDateTime(), EConvertError);
}

TEST_F(EditTest, CharCaseAppliesToTypedPastedAndAssignedText) {
    edit->SetText(u"MiXed");
    edit->SetCharCase(ecLowerCase);
    EXPECT_EQ(edit->GetText(), u"mixed");
    edit->SetCharCase(ecUpperCase);
    EXPECT_EQ(edit->GetText(), u"MIXED");
    Show();
    Focus(edit);
    edit->SelectAll();
    QTest::keyClicks(Client(edit), "abC");
    EXPECT_EQ(edit->GetText(), u"ABC");
    QApplication::clipboard()->setText("xyz");
    QTest::keyClick(Client(edit), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->GetText(), u"ABCXYZ");
    edit->SetText(u"low");
    EXPECT_EQ(edit->GetText(), u"LOW");
}

TEST_F(EditTest, KeyboardFocusSelectsAllOnlyWithAutoSelectAndHideSelectionOffKeepsTheSelection) {
    next->SetText(u"selected");
    edit->SetText(u"first");
    Show();
    Focus(edit);
    QTest::keyClick(Client(edit), Qt::Key_Tab);
    Pump();
    ASSERT_TRUE(next->Focused());
    EXPECT_EQ(next->GetSelLength(), 8);

    next->SetAutoSelect(false);
    next->SetSelStart(2);
    Focus(edit);
    QTest::keyClick(Client(edit), Qt::Key_Tab);
    Pump();
    ASSERT_TRUE(next->Focused());
    EXPECT_EQ(next->GetSelLength(), 0);

    next->SetHideSelection(false);
    next->SetSelStart(1);
    next->SetSelLength(3);
    Focus(edit);
    EXPECT_EQ(next->GetSelStart(), 1);
    EXPECT_EQ(next->GetSelLength(), 3);
}

TEST_F(EditTest, AutoHeightFollowsTheFont) {
    EXPECT_EQ(edit->GetHeight(), 21);
    TNxEdit fresh(nullptr);
    EXPECT_EQ(fresh.GetWidth(), 121);
    EXPECT_EQ(fresh.GetHeight(), 20);
    EXPECT_TRUE(fresh.GetAutoSize());
    Show();
    TBitmap measure(1, 1);
    measure.GetCanvas()->SetFont(edit->GetFont());
    EXPECT_EQ(edit->GetHeight(), measure.GetCanvas()->GetTextMetrics().tmHeight + 8);
    edit->GetFont()->SetHeight(-20);
    measure.GetCanvas()->SetFont(edit->GetFont());
    EXPECT_EQ(edit->GetHeight(), measure.GetCanvas()->GetTextMetrics().tmHeight + 8);
    // No border: the height is left alone.
    next->SetBorderStyle(bsNone);
    next->SetHeight(40);
    next->GetFont()->SetHeight(-9);
    EXPECT_EQ(next->GetHeight(), 40);
}

TEST_F(EditTest, GridHooksTypeAKeyOverTheSelectionAndPutTheCaretAtTheEnd) {
    EXPECT_FALSE(edit->GetInplaceEditor());
    EXPECT_FALSE(edit->GetEditorUpdating());
    edit->SetInplaceEditor(true);
    edit->SetEditorUpdating(true);
    EXPECT_TRUE(edit->GetInplaceEditor());
    EXPECT_TRUE(edit->GetEditorUpdating());
    edit->SetText(u"cell");
    Show();
    Focus(edit);
    edit->BeginEditing();
    EXPECT_EQ(edit->GetSelStart(), 4);
    EXPECT_EQ(edit->GetSelLength(), 0);
    edit->SelectAll();
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    edit->PressKey(u'x');
    EXPECT_EQ(edit->GetText(), u"x");
    EXPECT_EQ(changes, 1);
    edit->PressKey(u'y');
    EXPECT_EQ(edit->GetText(), u"xy");
}

TEST_F(EditTest, BorderRingsLieInsideTheFrameOrJustOutsideWithoutOne) {
    edit->SetBorderWidth(2);
    EXPECT_EQ(edit->GetBorderRings(), (std::vector<TRect>{{2, 2, 175, 19}, {3, 3, 174, 18}}));
    next->SetBorderStyle(bsNone);
    next->SetBorderWidth(1);
    EXPECT_EQ(next->GetBorderRings(), (std::vector<TRect>{{0, 0, 177, 21}}));
    next->SetBorderWidth(0);
    EXPECT_TRUE(next->GetBorderRings().empty());
}

// Counts how often its window is (re)created from its parameters.
class TCountingControl : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    int Created = 0;

protected:
    void CreateParams(TCreateParams& Params) override {
        TCustomControl::CreateParams(Params);
        ++Created;
    }
};

TEST_F(EditTest, MarginsOfTheOtherEditKindsRecreateTheirWindowOnEveryWrite) {
    auto* owner = Add<TCountingControl>(300, 100, 50, 20);
    Show();
    NxEdit::TNxMargins margins(owner);
    const int before = owner->Created;
    margins.SetTop(1);
    margins.SetLeft(2);
    margins.SetBottom(3);
    margins.SetRight(4);
    EXPECT_EQ(owner->Created, before + 4);
    NxEdit::TNxMargins copy(nullptr);
    copy.Assign(&margins);
    EXPECT_EQ(copy.GetLeft() + copy.GetTop() + copy.GetRight() + copy.GetBottom(), 10);

    // The edit's own margins take copies the same way.
    NxEdit::TNxEditMargins em(nullptr);
    em.SetLeft(5);
    em.SetRight(6);
    edit->SetEditMargins(&em);
    EXPECT_EQ(edit->GetLeftMargin(), 5);
    EXPECT_EQ(edit->GetRightMargin(), 6);
}

} // namespace
