#pragma once
// The color vocabulary the controls share: the fixed scheme table, the process-wide scheme, the
// component that changes it and repaints the controls that asked, and the bridge to the visual
// styles (IsThemed, ThemeRect).

#include "drawing/SchemeTable.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Colors.h"
#include "platform/runtime/List.h"
#include "platform/windows/Component.h"
#include "platform/windows/Themes.h"

class TControl;

namespace NxThemesSupport {

// Filled once at start-up and never written afterwards; the csDefault row is black throughout.
inline constexpr TSchemeTable ShemeColors = Detail::MakeSchemeTable();

// The process-wide scheme every control follows unless it names one of its own.
extern TColorScheme ColorScheme;

// Controls (not owned) repainted when a TNxColorScheme sets the scheme. Created at start-up,
// freed at shutdown; null outside that span.
extern TList* ControlsList;

// The visual-styles entry points; null while the library is not loaded.
using TOpenThemeData = HTHEME (*)(HWND, const WideString&);
using TCloseThemeData = HRESULT (*)(HTHEME);
using TDrawThemeBackground = HRESULT (*)(HTHEME, TCanvas*, int, int, const TRect*, const TRect*);
using TDrawThemeEdge = HRESULT (*)(HTHEME, TCanvas*, int, int, const TRect*, UINT, UINT, TRect*);
using TGetThemeSysSize = int (*)(HTHEME, int);
using TIsThemeActive = bool (*)();
using TIsAppThemed = bool (*)();

extern TOpenThemeData OpenThemeData;
extern TCloseThemeData CloseThemeData;
extern TDrawThemeBackground DrawThemeBackground;
extern TDrawThemeEdge DrawThemeEdge;
extern TGetThemeSysSize GetThemeSysSize;
extern TIsThemeActive IsThemeActive;
extern TIsAppThemed IsAppThemed;
// The loaded visual-styles library; null when it is not loaded.
extern const void* ThemeLibrary;

// The color of a role; csDefault means the process-wide ColorScheme.
TColor SchemeColor(TColorSchemeElement element, TColorScheme scheme = csDefault);

void SchemeNotification(TControl* control);
void RemoveSchemeNotification(TControl* control);

void InitThemes();
void ReleaseThemes();
// True when the library is loaded, the application is themed and a theme is active; computed at
// every call. A failure inside the queries raises Exception "Error in Themes".
bool IsThemed();
// Draws the themed background of one part into the rectangle; nothing when the class list has no
// theme data.
void ThemeRect(HWND wnd, TCanvas* dc, const TRect& rect, const WideString& classList, int part, int state);

// A non-visual component that sets the process-wide scheme.
class TNxColorScheme : public TComponent {
public:
    explicit TNxColorScheme(TComponent* AOwner);

    TColorSchemes GetColorScheme() const { return FColorScheme; }
    // Only csBlack..csBlack2010; anything else raises ERangeError.
    void SetColorScheme(TColorSchemes Value);

    TNotifyEvent OnChange;

protected:
    virtual void DoChange();

private:
    TColorScheme FColorScheme;
};

// A value outside a subrange type.
class ERangeError : public Exception {
    using Exception::Exception;
};

} // namespace NxThemesSupport
