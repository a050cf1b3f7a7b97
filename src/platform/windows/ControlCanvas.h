#pragma once
// TControlCanvas: a canvas bound to a windowed control, for owner drawing from message handlers.

#include "platform/graphics/Canvas.h"

class TWinControl;
struct TWinControlPrivate;

// Draws on a windowed control's window, in client coordinates (a native editor has no separate
// frame: its client is the whole window). While the control handles a paint message (WM_PAINT,
// WM_ERASEBKGND, and WM_NCPAINT of a native editor) the canvas draws on what is being painted,
// limited as that paint is, and each paint starts it with a fresh clip and origin. Outside a paint
// it draws on the kept pixels of a painted control (shown at the next refresh of the screen) and
// nowhere on a native editor, which repaints its pixels itself.
// Contract: a control that goes away unbinds its canvases (GetControl then returns null).
class TControlCanvas : public TCanvas {
public:
    TControlCanvas();
    explicit TControlCanvas(TWinControl* Control);
    ~TControlCanvas() override;
    TControlCanvas(const TControlCanvas&) = delete;
    TControlCanvas& operator=(const TControlCanvas&) = delete;

    TWinControl* GetControl() const { return FControl; }
    // Binds to another control (null: to none).
    void SetControl(TWinControl* Value);

private:
    friend void ReleaseControlCanvases(TWinControlPrivate& p);
    TWinControl* FControl = nullptr;
};

// Platform-internal: a control going away unbinds its canvases.
void ReleaseControlCanvases(TWinControlPrivate& p);
