#include "drawing/NxClasses.h"

#include <algorithm>

#include "platform/runtime/CodePage.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/List.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windows/Controls.h"
#include "platform/windows/Forms.h"

namespace NxClasses {

// The platform is of the NT family: extents are taken of the wide text.
bool UnicodeSupported = true;

WideString TodayCaption = u"Today";
WideString NoneCaption = u"None";
TStartDayOfWeek StartDay = dwSunday;

// ---- measuring

int GetTextWidth(TCanvas* canvas, const WideString& text) {
    if (UnicodeSupported) return canvas->TextExtent(text).cx;
    return canvas->TextWidth(WideToAnsi(text));
}

int GetTextHeight(TCanvas* canvas, const WideString& text) {
    if (UnicodeSupported) return canvas->TextExtent(text).cy;
    return canvas->TextHeight(WideToAnsi(text));
}

int GetMultilineTextWidth(TCanvas* canvas, const WideString& text) {
    TRect r(0, 0, 0, 0);
    if (UnicodeSupported)
        canvas->DrawText(text, r, DT_CALCRECT);
    else
        canvas->DrawText(WideToAnsi(text), r, DT_CALCRECT);
    return r.Right - r.Left;
}

// ---- tool tips

void ActivateHint(THintWindow* hintWindow, const TRect& rect, const WideString& text) {
    // The hint window takes wide text, so characters outside the 8-bit code page survive.
    if (hintWindow) hintWindow->ActivateHint(rect, text);
}

TRect CalcHintRect(THintWindow* hintWindow, int maxWidth, const WideString& text) {
    if (!hintWindow) return {};
    return hintWindow->CalcHintRect(maxWidth, text, nullptr);
}

void DeactivateHint(THintWindow* hintWindow) {
    if (hintWindow) hintWindow->ReleaseHandle();
}

bool ParentFormActive(TControl* control) {
    if (!control) return false;
    TCustomForm* form = control->GetParentForm();
    return form != nullptr && Screen->GetActiveForm() == form;
}

// ---- value helpers

void Exchange(int& a, int& b) { std::swap(a, b); }

TIndent Indent(int left, int top) { return TIndent{left, top}; }

bool IsPointNil(const TPoint& point) { return point.X == -1 || point.Y == -1; }

void ResizeRect(TRect& rect, int dl, int dt, int dr, int db) {
    rect.Left += dl;
    rect.Top += dt;
    rect.Right += dr;
    rect.Bottom += db;
}

void SetRange(int& value, int low, int high) {
    if (value < low) value = low;
    if (value > high) value = high;
}

namespace {
// The locale's decimal separator as one 8-bit character.
char DecimalSeparator() {
    const WideChar sep = DefaultFormatSettings().DecimalSeparator;
    const AnsiString s = WideToAnsi(WideString(1, sep));
    return s.empty() ? '.' : s[0];
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

TDataKind GetDataKind(const AnsiString& text) {
    const char sep = DecimalSeparator();
    int separators = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) continue;
        if (i == 0 && (c == '+' || c == '-')) continue;
        if (c == sep) {
            ++separators;
            continue;
        }
        return dkString;
    }
    if (separators == 0) return dkInteger;
    return separators == 1 ? dkFloat : dkString;
}

double GetValidNumber(const AnsiString& text, bool allowDecimal, bool allowSign, double min,
                      double max) {
    const char sep = DecimalSeparator();
    AnsiString s;
    bool haveSeparator = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            s += c;
        } else if (allowSign && i == 0 && (c == '+' || c == '-')) {
            s += c;
        } else if (allowDecimal && c == sep && !haveSeparator) {
            haveSeparator = true;
            s += c;
        }
    }
    if (s.empty() || s == "+" || s == "-") s.assign(1, '0');
    double value = StrToFloat(s);
    if (min != 0 || max != 0) {
        if (value > max) value = max;
        if (value < min) value = min;
    }
    return value;
}

WideString ValueFromIndex(const TStrings* strings, int index) {
    if (!strings || index < 0) return {};
    const WideString line = strings->Get(index);
    const size_t eq = line.find(strings->GetNameValueSeparator());
    if (eq == WideString::npos) return {};
    return line.substr(eq + 1);
}

WideString ValueFromPair(const WideString& text) {
    const size_t eq = text.find(u'=');
    if (eq == WideString::npos) return {};
    return text.substr(eq + 1);
}

// ---- glyph settings

TNxGlyphSettings::TNxGlyphSettings() : FNormalGlyph(std::make_unique<TBitmap>()) {
    FNormalGlyph->OnChange = [this] { DoChange(); };
}

TNxGlyphSettings::~TNxGlyphSettings() { FNormalGlyph->OnChange = nullptr; }

void TNxGlyphSettings::SetNormalGlyph(const TBitmap* Value) { FNormalGlyph->Assign(Value); }

void TNxGlyphSettings::SetTransparent(bool Value) {
    FTransparent = Value;
    DoChange();
}

void TNxGlyphSettings::SetTransparentColor(TColor Value) {
    FTransparentColor = Value;
    DoChange();
}

void TNxGlyphSettings::Assign(const TPersistent* Source) {
    if (auto* s = dynamic_cast<const TNxGlyphSettings*>(Source)) {
        FTransparent = s->FTransparent;
        FTransparentColor = s->FTransparentColor;
        FNormalGlyph->Assign(s->FNormalGlyph.get());
        DoChange();
        return;
    }
    TPersistent::Assign(Source);
}

void TNxGlyphSettings::DoChange() {
    if (OnChange) OnChange(this);
}

TNxActiveGlyphSettings::TNxActiveGlyphSettings() : FHoverGlyph(std::make_unique<TBitmap>()) {
    FHoverGlyph->OnChange = [this] { DoChange(); };
}

TNxActiveGlyphSettings::~TNxActiveGlyphSettings() { FHoverGlyph->OnChange = nullptr; }

void TNxActiveGlyphSettings::SetHoverGlyph(const TBitmap* Value) { FHoverGlyph->Assign(Value); }

void TNxActiveGlyphSettings::Assign(const TPersistent* Source) {
    if (auto* s = dynamic_cast<const TNxActiveGlyphSettings*>(Source))
        FHoverGlyph->Assign(s->FHoverGlyph.get());
    TNxGlyphSettings::Assign(Source);
}

// ---- tree of nodes

TNxTreeNode::TNxTreeNode(TNxTreeNodes* Owner, TNxTreeNode* Parent) : FOwner(Owner), FParent(Parent) {}

TNxTreeNode::~TNxTreeNode() = default;

void TNxTreeNode::SetText(const WideString& Value) {
    FText = Value;
    if (FOwner) FOwner->Changed();
}

void TNxTreeNode::SetExpanded(bool Value) {
    FExpanded = Value;
    if (FOwner) FOwner->Changed();
}

int TNxTreeNode::GetLevel() const {
    int level = -1;  // the hidden root holds the top level
    for (const TNxTreeNode* p = FParent; p; p = p->FParent) ++level;
    return level;
}

TNxTreeNode* TNxTreeNode::GetItem(int Index) const {
    if (Index < 0 || Index >= GetCount()) TList::Error("List index out of bounds (%d)", Index);
    return FChildren[static_cast<size_t>(Index)].get();
}

int TNxTreeNode::GetIndex() const {
    if (!FParent) return -1;
    const auto& siblings = FParent->FChildren;
    for (size_t i = 0; i < siblings.size(); ++i)
        if (siblings[i].get() == this) return static_cast<int>(i);
    return -1;
}

TNxTreeNode* TNxTreeNode::GetFirstChild() const {
    return FChildren.empty() ? nullptr : FChildren.front().get();
}

TNxTreeNode* TNxTreeNode::GetLastChild() const {
    return FChildren.empty() ? nullptr : FChildren.back().get();
}

TNxTreeNode* TNxTreeNode::GetNextSibling() const {
    const int i = GetIndex();
    if (i < 0 || i + 1 >= FParent->GetCount()) return nullptr;
    return FParent->FChildren[static_cast<size_t>(i + 1)].get();
}

TNxTreeNode* TNxTreeNode::GetPrevSibling() const {
    const int i = GetIndex();
    if (i <= 0) return nullptr;
    return FParent->FChildren[static_cast<size_t>(i - 1)].get();
}

bool TNxTreeNode::HasAsParent(const TNxTreeNode* node) const {
    for (const TNxTreeNode* p = this; p; p = p->FParent)
        if (p == node) return true;
    return false;
}

void TNxTreeNode::MoveTo(TNxTreeNode* Destination, TAddPosition Position) {
    if (!FOwner || !FParent) return;
    TNxTreeNode* target = Destination ? Destination : FOwner->FRoot.get();
    if (target->HasAsParent(this)) throw EInvalidOperation("Cannot move a node under itself");
    auto& from = FParent->FChildren;
    const auto it = std::find_if(from.begin(), from.end(), [this](auto& p) { return p.get() == this; });
    std::unique_ptr<TNxTreeNode> self = std::move(*it);
    from.erase(it);
    FParent = target;
    if (Position == apFirst)
        target->FChildren.insert(target->FChildren.begin(), std::move(self));
    else
        target->FChildren.push_back(std::move(self));
    FOwner->Changed();
}

void TNxTreeNode::Sort(bool Recursive) {
    std::stable_sort(FChildren.begin(), FChildren.end(),
                     [](const auto& a, const auto& b) { return a->FText < b->FText; });
    if (Recursive)
        for (auto& child : FChildren) child->Sort(true);
    if (FOwner) FOwner->Changed();
}

TNxTreeNodes::TNxTreeNodes() : FRoot(std::make_unique<TNxTreeNode>(this, nullptr)) {}

TNxTreeNodes::~TNxTreeNodes() {
    FRoot->FOwner = nullptr;
    OnChange = nullptr;
}

TNxTreeNode* TNxTreeNodes::Add(TNxTreeNode* Parent, const WideString& Text, TAddPosition Position) {
    TNxTreeNode* target = Parent ? Parent : FRoot.get();
    auto node = std::make_unique<TNxTreeNode>(this, target);
    node->FText = Text;
    TNxTreeNode* result = node.get();
    if (Position == apFirst)
        target->FChildren.insert(target->FChildren.begin(), std::move(node));
    else
        target->FChildren.push_back(std::move(node));
    Changed();
    return result;
}

void TNxTreeNodes::Delete(TNxTreeNode* Node) {
    if (!Node || !Node->FParent || Node->FOwner != this) return;
    auto& siblings = Node->FParent->FChildren;
    siblings.erase(std::find_if(siblings.begin(), siblings.end(),
                                [Node](auto& p) { return p.get() == Node; }));
    Changed();
}

void TNxTreeNodes::Clear() {
    FRoot->FChildren.clear();
    Changed();
}

namespace {
int CountBelow(const TNxTreeNode* node) {
    int n = 0;
    for (int i = 0; i < node->GetCount(); ++i) n += 1 + CountBelow(node->GetItem(i));
    return n;
}
TNxTreeNode* FindAt(const TNxTreeNode* node, int& index) {
    for (int i = 0; i < node->GetCount(); ++i) {
        TNxTreeNode* child = node->GetItem(i);
        if (index == 0) return child;
        --index;
        if (TNxTreeNode* found = FindAt(child, index)) return found;
    }
    return nullptr;
}
}  // namespace

int TNxTreeNodes::GetCount() const { return CountBelow(FRoot.get()); }

TNxTreeNode* TNxTreeNodes::GetFirstNode() const { return FRoot->GetFirstChild(); }

TNxTreeNode* TNxTreeNodes::GetItem(int Index) const {
    if (Index < 0) TList::Error("List index out of bounds (%d)", Index);
    int rest = Index;
    TNxTreeNode* node = FindAt(FRoot.get(), rest);
    if (!node) TList::Error("List index out of bounds (%d)", Index);
    return node;
}

void TNxTreeNodes::Changed() {
    if (OnChange) OnChange(this);
}

}  // namespace NxClasses
