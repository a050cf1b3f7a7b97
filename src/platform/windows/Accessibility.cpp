// Default answers a control gives assistive technology, in the platform's own terms.
#include "platform/windows/Accessibility.h"

#include <algorithm>

#include "platform/windows/Buttons.h"
#include "platform/windows/ExtCtrls.h"
#include "platform/windows/Forms.h"
#include "platform/windows/StdCtrls.h"

WideString StripAccelerator(const WideString& Caption) {
    WideString Result;
    Result.reserve(Caption.size());
    for (size_t i = 0; i < Caption.size(); ++i) {
        if (Caption[i] == u'&') {
            // "&&" is a literal ampersand; a single "&" only marks the next character.
            if (i + 1 < Caption.size() && Caption[i + 1] == u'&') {
                Result += u'&';
                ++i;
            }
            continue;
        }
        Result += Caption[i];
    }
    return Result;
}

namespace {

// The label naming a control: one on the same form whose associate it is.
TControl* FindLabelOf(const TControl* Target, const TWinControl* Within) {
    if (!Within) return nullptr;
    for (int i = 0; i < Within->GetControlCount(); ++i) {
        TControl* Child = Within->GetControl(i);
        if (auto* Label = dynamic_cast<TCustomLabel*>(Child); Label && Label->GetFocusControl() == Target)
            return Label;
        if (TControl* Found = FindLabelOf(Target, dynamic_cast<TWinControl*>(Child))) return Found;
    }
    return nullptr;
}

class TFormAccessible : public TAccessible {
public:
    using TAccessible::TAccessible;
    TAccessibleRole GetRole() const override { return arWindow; }
    TAccessibleState GetState() const override {
        TAccessibleState State = TAccessible::GetState();
        if (static_cast<TCustomForm*>(GetControl())->IsActive()) State.Include(asActive);
        return State;
    }
};

class TGroupingAccessible : public TAccessible {
public:
    using TAccessible::TAccessible;
    TAccessibleRole GetRole() const override { return arGrouping; }
};

class TButtonAccessible : public TAccessible {
public:
    using TAccessible::TAccessible;
    TAccessibleRole GetRole() const override { return arPushButton; }
    TAccessibleState GetState() const override {
        TAccessibleState State = TAccessible::GetState();
        if (auto* Speed = dynamic_cast<TSpeedButton*>(GetControl()); Speed && Speed->GetState() == bsDown)
            State.Include(asPressed);
        return State;
    }
    bool DoDefaultAction() override {
        if (!GetControl()->IsEnabledInTree() || !GetControl()->IsShowing()) return false;
        GetControl()->Click();
        return true;
    }
};

class TLabelAccessible : public TAccessible {
public:
    using TAccessible::TAccessible;
    TAccessibleRole GetRole() const override { return arStaticText; }
    WideString GetName() const override { return static_cast<TCustomLabel*>(GetControl())->GetLabelText(); }
    TControl* GetLabelFor() const override {
        return static_cast<TCustomLabel*>(GetControl())->GetFocusControl();
    }
};

// An edit's caption is its text, so the name comes from its label or hint; a masked edit never
// tells its text.
class TEditAccessible : public TAccessible {
public:
    using TAccessible::TAccessible;
    TAccessibleRole GetRole() const override { return arEditableText; }
    WideString GetName() const override {
        TControl* Label = FindLabelOf(GetControl(), GetControl()->GetParentForm());
        if (Label) return GetAccessible(Label)->GetName();
        return GetControl()->GetHint();
    }
    WideString GetDescription() const override {
        const WideString& Hint = GetControl()->GetHint();
        return Hint == GetName() ? WideString() : Hint;
    }
    WideString GetValue() const override { return IsMasked() ? WideString() : GetControl()->GetText(); }
    TAccessibleState GetState() const override {
        TAccessibleState State = TAccessible::GetState();
        if (IsMasked()) State.Include(asProtected);
        if (Edit()->GetReadOnly()) State.Include(asReadOnly);
        return State;
    }
    bool HasText() const override { return true; }
    WideString GetShownText() const override {
        WideString Text = GetControl()->GetText();
        if (!IsMasked()) return Text;
        // One mask per character, a surrogate pair being one character.
        size_t Count =
            std::count_if(Text.begin(), Text.end(), [](char16_t c) { return c < 0xDC00 || c > 0xDFFF; });
        return WideString(Count, Edit()->GetPasswordChar());
    }
    int GetCaretOffset() const override { return ShownOffset(Edit()->GetSelStart()); }
    void GetTextSelection(int& Start, int& Length) const override {
        Start = ShownOffset(Edit()->GetSelStart());
        Length = ShownOffset(Edit()->GetSelStart() + Edit()->GetSelLength()) - Start;
    }

private:
    TCustomEdit* Edit() const { return static_cast<TCustomEdit*>(GetControl()); }
    bool IsMasked() const { return Edit()->GetPasswordChar() != 0; }
    // An offset into the text as an offset into the shown text (masks count pairs once).
    int ShownOffset(int Offset) const {
        if (!IsMasked()) return Offset;
        WideString Text = GetControl()->GetText();
        Offset = std::clamp(Offset, 0, static_cast<int>(Text.size()));
        return static_cast<int>(std::count_if(Text.begin(), Text.begin() + Offset,
                                              [](char16_t c) { return c < 0xDC00 || c > 0xDFFF; }));
    }
};

} // namespace

// The platform's own controls answer by kind, so they need no overrides of their own.
std::unique_ptr<TAccessible> TControl::CreateAccessible() {
    if (dynamic_cast<TCustomForm*>(this)) return std::make_unique<TFormAccessible>(this);
    if (dynamic_cast<TCustomEdit*>(this)) return std::make_unique<TEditAccessible>(this);
    if (dynamic_cast<TButton*>(this) || dynamic_cast<TSpeedButton*>(this))
        return std::make_unique<TButtonAccessible>(this);
    if (dynamic_cast<TCustomLabel*>(this)) return std::make_unique<TLabelAccessible>(this);
    if (dynamic_cast<TCustomPanel*>(this) || dynamic_cast<TGroupBox*>(this))
        return std::make_unique<TGroupingAccessible>(this);
    return std::make_unique<TAccessible>(this);
}

WideString TAccessible::GetName() const {
    WideString Name = StripAccelerator(FControl->GetCaption());
    return Name.empty() ? FControl->GetHint() : Name;
}

WideString TAccessible::GetDescription() const {
    const WideString& Hint = FControl->GetHint();
    return Hint == GetName() ? WideString() : Hint;
}

TAccessibleState TAccessible::GetState() const {
    TAccessibleState State;
    if (!FControl->IsShowing()) State.Include(asInvisible);
    if (!FControl->IsEnabledInTree()) State.Include(asUnavailable);
    if (auto* Win = dynamic_cast<TWinControl*>(FControl)) {
        if (Win->GetTabStop() || Win->CanFocus()) State.Include(asFocusable);
        if (Win->Focused()) State.Include(asFocused);
    }
    return State;
}

std::vector<WideString> TAccessible::GetKeyBindings() const {
    std::vector<WideString> Keys;
    if (TCustomForm* Form = FControl->GetParentForm())
        for (TShortCut Key : Form->GetShortCutsOf(FControl))
            if (WideString Text = ShortCutToText(Key); !Text.empty()) Keys.push_back(Text);
    return Keys;
}

bool TAccessible::TakeFocus() {
    auto* Win = dynamic_cast<TWinControl*>(FControl);
    if (!Win || !Win->CanFocus()) return false;
    Win->SetFocus();
    return Win->Focused();
}
