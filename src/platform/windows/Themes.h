#pragma once
// The visual-styles stand-in: theme data for a class list ("edit", "header", "scrollbar",
// "treeview", "listview", "button", ...) and themed part backgrounds drawn with the platform's
// widget style. Themes are active by default; SetThemesEnabled switches them off (as a classic
// desktop would), which tests use for the unthemed paths. Switching sends WM_THEMECHANGED to
// every window.

#include <cstdint>

#include "platform/windows/Controls.h"

struct TThemeData;
using HTHEME = TThemeData*;

// Null when no class of the ";"-separated list is known or themes are off.
HTHEME OpenThemeData(HWND Wnd, const WideString& ClassList);
HRESULT CloseThemeData(HTHEME Theme);
// Draws part PartId in state StateId into Rect on the canvas, clipped to ClipRect when given.
HRESULT DrawThemeBackground(HTHEME Theme, TCanvas* DC, int PartId, int StateId, const TRect* Rect,
                            const TRect* ClipRect);
// Edge flags as the platform's DrawEdge: BDR_* in Edge, BF_* in Flags.
HRESULT DrawThemeEdge(HTHEME Theme, TCanvas* DC, int PartId, int StateId, const TRect* DestRect, UINT Edge,
                      UINT Flags, TRect* ContentRect);
int GetThemeSysSize(HTHEME Theme, int SizeId);
bool IsThemeActive();
bool IsAppThemed();
// The theme class the handle was opened for (lower case), for checks.
WideString GetThemeClassName(HTHEME Theme);

void SetThemesEnabled(bool Enabled);

// Edge flags.
constexpr UINT BDR_RAISEDOUTER = 0x1;
constexpr UINT BDR_SUNKENOUTER = 0x2;
constexpr UINT BDR_RAISEDINNER = 0x4;
constexpr UINT BDR_SUNKENINNER = 0x8;
constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr UINT EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
constexpr UINT BF_LEFT = 0x1;
constexpr UINT BF_TOP = 0x2;
constexpr UINT BF_RIGHT = 0x4;
constexpr UINT BF_BOTTOM = 0x8;
constexpr UINT BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr UINT BF_ADJUST = 0x2000;
