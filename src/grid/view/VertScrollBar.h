#pragma once
// A vertical scroll bar painted by its control (TNxVertScrollBar) inside a two-pixel frame, and
// the control base that hosts it (TNxControl), with held-button auto-repeat.

#include <memory>

#include "grid/view/ScrollControl.h"

class TNxVertScrollBar : public TNxCustomScrollBar {
public:
    TNxVertScrollBar(TNxCustomScrollControl* AOwner, TCanvas* ACanvas);

    // Repaints the whole owner control.
    void UpdateScrollBar() override;
    // Move the position by LargeChange directly (no message).
    void PageDown() override;
    void PageUp() override;

    // Hover over the buttons and the thumb; while the thumb is pushed, Y drags it.
    virtual void MouseMove(int X, int Y);
    void MouseLeave();
    virtual void Paint();
    virtual void PaintBackground(const TRect& Rect, bool Pushed);
    virtual void PaintButton(TScrollButtonKind Kind, const TRect& Rect);
    virtual void PaintThumb(const TRect& Rect);
    // The system width of a vertical scroll bar: the height of each arrow button.
    virtual int GetButtonSize();
    virtual TRect GetBoundsRect();
    virtual TRect GetClientRect();
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);

    // Parts in the owner's client coordinates. The thumb rectangle is empty without range.
    TRect GetBackButtonRect();
    TRect GetForwardButtonRect();
    TRect GetThumbRect();
    TRect GetPageUpRect();
    TRect GetPageDownRect();
    // Repaints one part only.
    void Refresh(TScrollBarArea Area);

    int GetLeft() const { return FLeft; }
    int GetTop() const { return FTop; }
    int GetWidth() const { return FWidth; }
    int GetHeight() const { return FHeight; }
    TButtonState GetBackBtnState() const { return FBackBtnState; }
    void SetBackBtnState(TButtonState Value);
    TButtonState GetForwardBtnState() const { return FForwardBtnState; }
    void SetForwardBtnState(TButtonState Value);
    TButtonState GetThumbState() const { return FThumbState; }
    void SetThumbState(TButtonState Value);

private:
    int InnerHeight() { return FHeight - 2 * GetButtonSize(); }
    void SetPartState(TButtonState& State, TButtonState Value, TScrollBarArea Area);

    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    TButtonState FBackBtnState;
    TButtonState FForwardBtnState;
    TButtonState FThumbState;
};

// The base of the popup list controls: a frame, a painted vertical bar and auto-repeat timers.
class TNxControl : public TNxCustomScrollControl {
public:
    explicit TNxControl(TComponent* AOwner);
    ~TNxControl() override;

    TNxVertScrollBar* GetVertScrollBar() const { return FVertScrollBar.get(); }
    TNxVertScrollBar* GetHorzScrollBar() const { return FHorzScrollBar.get(); }
    TScrollDirection GetScrollDirection() const { return FScrollDirection; }
    TTimer* GetDelayTimer() const { return FDelayTimer; }
    TTimer* GetIncrementTimer() const { return FIncrementTimer; }

    // (2, 2, 2 + width, 2 + height): the client less the frame and, when shown, the bar.
    TRect GetControlRect();
    // Places the bar right of the control rectangle.
    void UpdateBarBounds();

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseLeave(TMessage& Message) override;

protected:
    virtual void DrawBorder();
    void Paint() override;
    void Resize() override;
    void DelayTimerTick(TObject* Sender);
    void IncrementTimerTick(TObject* Sender);

private:
    void RepeatAction();

    std::unique_ptr<TNxVertScrollBar> FVertScrollBar;
    std::unique_ptr<TNxVertScrollBar> FHorzScrollBar;
    TTimer* FDelayTimer;     // owned as a component
    TTimer* FIncrementTimer; // owned as a component
    TScrollDirection FScrollDirection = sdIdle;
};
