#pragma once
// TNxPanel: a container that paints its own background (themed edit field, gradients, solid,
// or what lies behind it), border lines on chosen sides and a centred caption.

#include <memory>

#include "controls/NxCollection.h"
#include "drawing/ThemesSupport.h"
#include "platform/graphics/GraphicsObjects.h"
#include "platform/windows/Controls.h"

namespace NxStdCtrls {

enum TNxPanelBackgroundStyle { pbControl, pbHorzGradient, pbSolid, pbTransparent, pbVertGradient };

enum TPanelBorder { boBottom, boLeft, boRight, boTop };
using TPanelBorders = TSet<TPanelBorder>;
inline constexpr TPanelBorders AllPanelBorders{boBottom, boLeft, boRight, boTop};

// One border line: a two-point polyline whose end point is left unpainted.
struct TPanelBorderLine {
    TPoint From;
    TPoint To;
};

class TNxPanel : public TCustomControl {
public:
    // Registers the panel for color scheme changes; margins start at 0 on every side.
    explicit TNxPanel(TComponent* AOwner);
    ~TNxPanel() override;
    // A grouping of the controls it holds (ControlsAccessibility.cpp).
    std::unique_ptr<TAccessible> CreateAccessible() override;

    // The face color follows the color scheme (seBtnFace); off: the panel's own Color.
    bool GetAdaptiveColors() const { return FAdaptiveColors; }
    void SetAdaptiveColors(bool Value);
    TNxPanelBackgroundStyle GetBackgroundStyle() const { return FBackgroundStyle; }
    void SetBackgroundStyle(TNxPanelBackgroundStyle Value);
    // The panel's own pen; setting copies the given pen's attributes. A change made on the pen
    // itself repaints the panel.
    TPen* GetBorderPen() const { return FBorderPen.get(); }
    void SetBorderPen(const TPen* Value);
    NxThemesSupport::TColorScheme GetColorScheme() const { return FColorScheme; }
    void SetColorScheme(NxThemesSupport::TColorScheme Value);
    // Space kept free for aligned children. Setting copies the four values; a change made on the
    // margins themselves repaints the panel and realigns its children.
    NxCollection::TNxMargins* GetInnerMargins() const { return FInnerMargins.get(); }
    void SetInnerMargins(const NxCollection::TNxMargins* Value);
    TPanelBorders GetPanelBorders() const { return FPanelBorders; }
    void SetPanelBorders(TPanelBorders Value);
    // Only stored: the erase-background answer depends on it.
    bool GetFullRepaint() const { return FFullRepaint; }
    void SetFullRepaint(bool Value) { FFullRepaint = Value; }

    // Form descriptions set these; the platform has no docking, so they are only kept.
    bool GetUseDockManager() const { return FUseDockManager; }
    void SetUseDockManager(bool Value) { FUseDockManager = Value; }
    bool GetDockSite() const { return FDockSite; }
    void SetDockSite(bool Value) { FDockSite = Value; }

    // The color the background is painted with (scheme or Color, as AdaptiveColors says).
    TColor GetFaceColor() const;
    // Geometry shared by painting and tests, in client coordinates. The background is the client
    // rectangle narrowed by the pen width on each bordered side while the pen is solid.
    TRect GetBackgroundRect() const;
    TPanelBorderLine GetBorderLine(TPanelBorder Side) const;

    void AdjustClientRect(TRect& Rect) override;
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void CMTextChanged(TMessage& Message) override;
    void WMEraseBkgnd(TMessage& Message) override;
    void WMWindowPosChanged(TMessage& Message) override;
    void WMThemeChanged(TMessage& Message) override;

private:
    void MarginsChanged();

    bool FAdaptiveColors = true;
    TNxPanelBackgroundStyle FBackgroundStyle = pbSolid;
    std::unique_ptr<TPen> FBorderPen;
    NxThemesSupport::TColorScheme FColorScheme = NxThemesSupport::csDefault;
    std::unique_ptr<NxCollection::TNxMargins> FInnerMargins;
    TPanelBorders FPanelBorders = AllPanelBorders;
    bool FFullRepaint = false;
    bool FUseDockManager = true;
    bool FDockSite = false;
};

} // namespace NxStdCtrls
