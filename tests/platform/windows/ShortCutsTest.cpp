// A form's keyboard shortcuts: their written names, and keys pressed in a focused editor that click
// the command while it is available and otherwise reach the editor.
#include <gtest/gtest.h>

#include <memory>

#include "TestSupport.h"
#include "platform/windows/Accessibility.h"
#include "platform/windows/Buttons.h"
#include "platform/windows/StdCtrls.h"

namespace {

TEST(ShortCutText, ModifiersComeFirstAndKeysHaveTheirUsualNames) {
    struct {
        Word Key;
        TShiftState Shift;
        const char16_t* Text;
    } const cases[] = {
        {'O', {ssCtrl}, u"Ctrl+O"},
        {'O', {ssCtrl, ssShift}, u"Ctrl+Shift+O"},
        {VK_F5, {}, u"F5"},
        {VK_F12, {ssAlt}, u"Alt+F12"},
        {VK_ESCAPE, {}, u"Esc"},
        {VK_RETURN, {ssCtrl}, u"Ctrl+Enter"},
        {'7', {ssShift, ssAlt}, u"Shift+Alt+7"},
        {VK_DELETE, {}, u"Del"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShortCutToText(ShortCut(c.Key, c.Shift)), c.Text);
    EXPECT_EQ(ShortCut(0, {ssCtrl}), scNone);
    EXPECT_EQ(ShortCutToText(scNone), u"");
}

TEST(FormShortCuts, AKeyClicksTheAvailableCommandElseReachesTheFocusedEditor) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(60, 60, 300, 120);
    auto* edit = new TEdit(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(10, 10, 150, 21);
    int opened = 0, stopped = 0;
    auto button = [&](const char16_t* hint, int& count) {
        auto* b = new TSpeedButton(form.get());
        b->SetParent(form.get());
        b->SetBounds(200, 10, 30, 30);
        b->SetHint(hint);
        b->OnClick = [&count](TObject*) { ++count; };
        return b;
    };
    TSpeedButton* open = button(u"Open", opened);
    TSpeedButton* stop = button(u"Stop", stopped);
    form->AddShortCut(ShortCut('O', {ssCtrl}), open);
    form->AddShortCut(ShortCut(VK_ESCAPE, {}), stop);
    ASSERT_TRUE(ShowAndWait(form.get()));
    edit->SetFocus();

    QTest::keyClick(Client(edit), Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(Client(edit), Qt::Key_O);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(edit->GetText(), u"o") << "the plain key is typed";

    // A command not available leaves the key to the editor.
    open->SetEnabled(false);
    stop->SetVisible(false);
    QTest::keyClick(Client(edit), Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(Client(edit), Qt::Key_Escape);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(stopped, 0);
    stop->SetVisible(true);
    QTest::keyClick(Client(edit), Qt::Key_Escape);
    EXPECT_EQ(stopped, 1);

    // The action a screen reader sees names the key; a freed command is forgotten.
    EXPECT_EQ(GetAccessible(stop)->GetKeyBindings(), std::vector<WideString>{u"Esc"});
    EXPECT_TRUE(GetAccessible(edit)->GetKeyBindings().empty());
    delete stop;
    QTest::keyClick(Client(edit), Qt::Key_Escape);
    EXPECT_EQ(stopped, 1);
}

} // namespace
