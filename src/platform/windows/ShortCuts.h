#pragma once
// TShortCutList: a form's keyboard shortcuts, each a key with modifiers that clicks a command control.

#include <vector>

#include "platform/windows/Controls.h"

// A virtual key in the low byte with modifier bits above it, as menus and actions store shortcuts.
using TShortCut = Word;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;

// The shortcut of a key pressed with the given modifiers (other shift states are ignored).
TShortCut ShortCut(Word Key, TShiftState Shift);
// How a shortcut is written for people: modifiers first ("Ctrl+Shift+O", "F5", "Esc", "Ctrl+Enter");
// empty for scNone.
WideString ShortCutToText(TShortCut ShortCut);

class TShortCutList {
public:
    // Binds Key to Target. A key may be bound to several targets (a run command and the stop that
    // takes its place while running); the first one available takes it.
    void Add(TShortCut Key, TControl* Target);
    // Forgets every binding of Target (called as it goes away, when it is a TComponent no more).
    void Remove(const TComponent* Target);
    // The keys bound to Target, in the order added.
    std::vector<TShortCut> KeysOf(const TControl* Target) const;
    // Clicks the first target of Key that is showing and enabled; false when none is, so the key
    // goes on to the focused control.
    bool Execute(TShortCut Key) const;

private:
    struct TBinding {
        TShortCut Key;
        TControl* Target;
    };
    std::vector<TBinding> FBindings;
};
