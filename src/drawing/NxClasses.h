#pragma once
// Text measuring, tool tips, the small value helpers and the minor classes shared by the
// controls: glyph settings, a tree of nodes and the calendar captions.

#include <functional>
#include <memory>
#include <vector>

#include "drawing/SharedCommon.h"
#include "drawing/TreeNodes.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/runtime/Object.h"
#include "platform/runtime/StringList.h"
#include "platform/runtime/Types.h"
#include "platform/windows/Component.h"

class THintWindow;
class TControl;

namespace NxClasses {

// True when the measuring helpers use the platform's wide-character extents. Set at start-up.
extern bool UnicodeSupported;

// ---- measuring

int GetTextWidth(TCanvas* canvas, const WideString& text);
int GetTextHeight(TCanvas* canvas, const WideString& text);
// The width of the widest line; "&" prefixes are processed.
int GetMultilineTextWidth(TCanvas* canvas, const WideString& text);

// ---- tool tips

// Shows the hint window over the screen rectangle; nothing without a window.
void ActivateHint(THintWindow* hintWindow, const TRect& rect, const WideString& text);
// The rectangle the text needs, wrapped at maxWidth; an empty rectangle without a window.
TRect CalcHintRect(THintWindow* hintWindow, int maxWidth, const WideString& text);
// Hides the hint window by giving up its window; the object stays.
void DeactivateHint(THintWindow* hintWindow);
// True when the control sits on a form and that form is the active one.
bool ParentFormActive(TControl* control);

// ---- value helpers

using NxSharedCommon::TIndent;

void Exchange(int& a, int& b);
TIndent Indent(int left, int top);
bool IsPointNil(const TPoint& point);
void ResizeRect(TRect& rect, int dl, int dt, int dr, int db);
void SetRange(int& value, int low, int high);

enum TDataKind { dkString, dkInteger, dkFloat };
// dkInteger for digits with an optional leading sign (and for empty text), dkFloat when there is
// also exactly one decimal separator of the current locale, dkString otherwise.
TDataKind GetDataKind(const AnsiString& text);
// Keeps digits, a leading sign (when allowed) and the first decimal separator (when allowed);
// empty text or a lone sign is 0. When min or max is not 0 the value is clamped to them.
double GetValidNumber(const AnsiString& text, bool allowDecimal, bool allowSign, double min, double max);
// The value part of the name=value line at the index; empty for a negative index or a line
// without "=".
WideString ValueFromIndex(const TStrings* strings, int index);
// The text after the first "="; empty when there is none.
WideString ValueFromPair(const WideString& text);

// ---- glyph settings

class TNxGlyphSettings : public TPersistent {
public:
    TNxGlyphSettings();
    ~TNxGlyphSettings() override;

    TBitmap* GetNormalGlyph() const { return FNormalGlyph.get(); }
    // Copies the bitmap.
    void SetNormalGlyph(const TBitmap* Value);
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    TColor GetTransparentColor() const { return FTransparentColor; }
    void SetTransparentColor(TColor Value);

    void Assign(const TPersistent* Source) override;

    TNotifyEvent OnChange;

protected:
    virtual void DoChange();

private:
    std::unique_ptr<TBitmap> FNormalGlyph;
    bool FTransparent = false;
    TColor FTransparentColor = clNone;
};

class TNxActiveGlyphSettings : public TNxGlyphSettings {
public:
    TNxActiveGlyphSettings();
    ~TNxActiveGlyphSettings() override;

    TBitmap* GetHoverGlyph() const { return FHoverGlyph.get(); }
    void SetHoverGlyph(const TBitmap* Value);

    void Assign(const TPersistent* Source) override;

private:
    std::unique_ptr<TBitmap> FHoverGlyph;
};

// The trees of nodes (TNxTreeNodes, TNxObjectTreeNodes) are in TreeNodes.h.

// ---- calendar captions

enum TStartDayOfWeek { dwAutomatic, dwMonday, dwSunday };

extern WideString TodayCaption;  // initially "Today"
extern WideString NoneCaption;   // initially "None"
extern TStartDayOfWeek StartDay; // initially dwSunday

// A component through which a form sets the calendar captions.
class TNxLocalizer : public TComponent {
public:
    explicit TNxLocalizer(TComponent* AOwner) : TComponent(AOwner) {}
    WideString GetTodayCaption() const { return TodayCaption; }
    void SetTodayCaption(const WideString& Value) { TodayCaption = Value; }
    WideString GetNoneCaption() const { return NoneCaption; }
    void SetNoneCaption(const WideString& Value) { NoneCaption = Value; }
    TStartDayOfWeek GetStartDay() const { return StartDay; }
    void SetStartDay(TStartDayOfWeek Value) { StartDay = Value; }
};

} // namespace NxClasses
