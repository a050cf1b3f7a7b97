// Keyboard shortcuts: building, naming and running them.
#include "platform/windows/ShortCuts.h"

#include <algorithm>
#include <string>

TShortCut ShortCut(Word Key, TShiftState Shift) {
    if (Key == 0 || (Key & 0xFF00) != 0) return scNone;
    TShortCut Result = Key;
    if (Shift.Contains(ssShift)) Result |= scShift;
    if (Shift.Contains(ssCtrl)) Result |= scCtrl;
    if (Shift.Contains(ssAlt)) Result |= scAlt;
    return Result;
}

namespace {
WideString KeyName(Word Key) {
    if ((Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z')) return WideString(1, char16_t(Key));
    if (Key >= VK_F1 && Key <= VK_F1 + 23) {
        std::string Name = "F" + std::to_string(Key - VK_F1 + 1);
        return WideString(Name.begin(), Name.end());
    }
    switch (Key) {
    case VK_BACK:
        return u"BkSp";
    case VK_TAB:
        return u"Tab";
    case VK_RETURN:
        return u"Enter";
    case VK_ESCAPE:
        return u"Esc";
    case VK_SPACE:
        return u"Space";
    case VK_PRIOR:
        return u"PgUp";
    case VK_NEXT:
        return u"PgDn";
    case VK_END:
        return u"End";
    case VK_HOME:
        return u"Home";
    case VK_LEFT:
        return u"Left";
    case VK_UP:
        return u"Up";
    case VK_RIGHT:
        return u"Right";
    case VK_DOWN:
        return u"Down";
    case VK_INSERT:
        return u"Ins";
    case VK_DELETE:
        return u"Del";
    default:
        return {};
    }
}
} // namespace

WideString ShortCutToText(TShortCut ShortCut) {
    WideString Name = KeyName(Word(ShortCut & 0xFF));
    if (Name.empty()) return {};
    WideString Result;
    if (ShortCut & scCtrl) Result += u"Ctrl+";
    if (ShortCut & scShift) Result += u"Shift+";
    if (ShortCut & scAlt) Result += u"Alt+";
    return Result + Name;
}

void TShortCutList::Add(TShortCut Key, TControl* Target) {
    if (Key != scNone && Target) FBindings.push_back({Key, Target});
}

void TShortCutList::Remove(const TComponent* Target) {
    std::erase_if(FBindings,
                  [Target](const TBinding& b) { return static_cast<const TComponent*>(b.Target) == Target; });
}

std::vector<TShortCut> TShortCutList::KeysOf(const TControl* Target) const {
    std::vector<TShortCut> Keys;
    for (const TBinding& b : FBindings)
        if (b.Target == Target) Keys.push_back(b.Key);
    return Keys;
}

bool TShortCutList::Execute(TShortCut Key) const {
    if (Key == scNone) return false;
    for (const TBinding& b : FBindings) {
        if (b.Key != Key || !b.Target->IsShowing() || !b.Target->IsEnabledInTree()) continue;
        b.Target->Click();
        return true;
    }
    return false;
}
