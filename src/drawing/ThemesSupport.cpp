// The process-wide color scheme and its table, the scheme component, and the visual-styles calls.
#include "drawing/ThemesSupport.h"

#include "platform/windows/Controls.h"

namespace NxThemesSupport {

TColorScheme ColorScheme = csBlue;
TList* ControlsList = nullptr;

TOpenThemeData OpenThemeData = nullptr;
TCloseThemeData CloseThemeData = nullptr;
TDrawThemeBackground DrawThemeBackground = nullptr;
TDrawThemeEdge DrawThemeEdge = nullptr;
TGetThemeSysSize GetThemeSysSize = nullptr;
TIsThemeActive IsThemeActive = nullptr;
TIsAppThemed IsAppThemed = nullptr;
const void* ThemeLibrary = nullptr;

namespace {

// The visual-styles library is the platform's stand-in, bound directly: "loading" it hands out
// its entry points by name.
struct TThemeLibraryExports {
    TOpenThemeData Open = &::OpenThemeData;
    TCloseThemeData Close = &::CloseThemeData;
    TDrawThemeBackground Background = &::DrawThemeBackground;
    TDrawThemeEdge Edge = &::DrawThemeEdge;
    TGetThemeSysSize SysSize = &::GetThemeSysSize;
    TIsThemeActive Active = &::IsThemeActive;
    TIsAppThemed AppThemed = &::IsAppThemed;
};
const TThemeLibraryExports ThemeExports;

// Module start-up and shutdown: the table is constant, so start-up loads the library and creates
// the list of controls to repaint.
struct TModule {
    TModule() {
        InitThemes();
        ControlsList = new TList;
    }
    ~TModule() {
        delete ControlsList;
        ControlsList = nullptr;
    }
};
const TModule Module;

} // namespace

TColor SchemeColor(TColorSchemeElement element, TColorScheme scheme) {
    if (scheme == csDefault) scheme = ColorScheme;
    if (scheme < csDefault || scheme > csBlack2010 || element < 0 || element >= SchemeElementCount)
        return clBlack;
    return ShemeColors[scheme][element];
}

void SchemeNotification(TControl* control) {
    if (ControlsList) ControlsList->Add(control);
}

void RemoveSchemeNotification(TControl* control) {
    if (ControlsList) ControlsList->Remove(control);
}

void InitThemes() {
    if (ThemeLibrary) return;
    ThemeLibrary = &ThemeExports;
    CloseThemeData = ThemeExports.Close;
    DrawThemeBackground = ThemeExports.Background;
    DrawThemeEdge = ThemeExports.Edge;
    GetThemeSysSize = ThemeExports.SysSize;
    IsThemeActive = ThemeExports.Active;
    IsAppThemed = ThemeExports.AppThemed;
    OpenThemeData = ThemeExports.Open;
}

void ReleaseThemes() {
    ThemeLibrary = nullptr;
    OpenThemeData = nullptr;
    CloseThemeData = nullptr;
    DrawThemeBackground = nullptr;
    DrawThemeEdge = nullptr;
    GetThemeSysSize = nullptr;
    IsThemeActive = nullptr;
    IsAppThemed = nullptr;
}

bool IsThemed() {
    if (!ThemeLibrary) return false;
    try {
        // A library without these entries fails like a call into a missing export.
        if (!IsAppThemed || !IsThemeActive) throw Exception("missing visual-styles entry point");
        if (!IsAppThemed()) return false;
        return IsThemeActive();
    } catch (...) {
        throw Exception("Error in Themes");
    }
}

namespace {
// A theme handle closed when the scope ends, a failed drawing included.
struct TOpenedTheme {
    explicit TOpenedTheme(HTHEME Theme) : Handle(Theme) {}
    ~TOpenedTheme() {
        if (Handle && CloseThemeData) CloseThemeData(Handle);
    }
    TOpenedTheme(const TOpenedTheme&) = delete;
    TOpenedTheme& operator=(const TOpenedTheme&) = delete;
    HTHEME Handle;
};
} // namespace

void ThemeRect(HWND wnd, TCanvas* dc, const TRect& rect, const WideString& classList, int part, int state) {
    if (!OpenThemeData || !CloseThemeData) return;
    const TOpenedTheme theme(OpenThemeData(wnd, classList));
    if (!theme.Handle) return;
    if (DrawThemeBackground) DrawThemeBackground(theme.Handle, dc, part, state, &rect, &rect);
}

// ---- TNxColorScheme

TNxColorScheme::TNxColorScheme(TComponent* AOwner) : TComponent(AOwner), FColorScheme(ColorScheme) {}

void TNxColorScheme::SetColorScheme(TColorSchemes Value) {
    if (Value < LowColorSchemes || Value > HighColorSchemes) throw ERangeError("Range check error");
    FColorScheme = Value;
    if (Value != ColorScheme) {
        ColorScheme = Value;
        DoChange();
    }
    if (!ControlsList) return;
    for (int i = 0; i < ControlsList->GetCount(); ++i) {
        auto* control = static_cast<TControl*>(ControlsList->Get(i));
        if (auto* win = dynamic_cast<TWinControl*>(control)) {
            const TRect r = win->GetClientRect();
            win->RedrawWindow(&r, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
        } else if (control) {
            control->Invalidate();
        }
    }
}

void TNxColorScheme::DoChange() {
    if (OnChange) OnChange(this);
}

} // namespace NxThemesSupport
