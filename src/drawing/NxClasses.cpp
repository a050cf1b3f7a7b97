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

void Exchange(int& a, int& b) {
    std::swap(a, b);
}

TIndent Indent(int left, int top) {
    return TIndent{left, top};
}

bool IsPointNil(const TPoint& point) {
    return point.X == -1 || point.Y == -1;
}

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
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

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

double GetValidNumber(const AnsiString& text, bool allowDecimal, bool allowSign, double min, double max) {
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

TNxGlyphSettings::~TNxGlyphSettings() {
    FNormalGlyph->OnChange = nullptr;
}

void TNxGlyphSettings::SetNormalGlyph(const TBitmap* Value) {
    FNormalGlyph->Assign(Value);
}

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

TNxActiveGlyphSettings::~TNxActiveGlyphSettings() {
    FHoverGlyph->OnChange = nullptr;
}

void TNxActiveGlyphSettings::SetHoverGlyph(const TBitmap* Value) {
    FHoverGlyph->Assign(Value);
}

void TNxActiveGlyphSettings::Assign(const TPersistent* Source) {
    if (auto* s = dynamic_cast<const TNxActiveGlyphSettings*>(Source))
        FHoverGlyph->Assign(s->FHoverGlyph.get());
    TNxGlyphSettings::Assign(Source);
}

} // namespace NxClasses
