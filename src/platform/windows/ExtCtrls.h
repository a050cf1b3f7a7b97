#pragma once
// Panels, splitters and timers.

#include <memory>

#include "platform/windows/Controls.h"

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

// A container with beveled edges and a centred caption.
class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(TComponent* AOwner);
    TBevelCut GetBevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    TBevelCut GetBevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    int GetBevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool GetFullRepaint() const { return FFullRepaint; }
    void SetFullRepaint(bool Value) { FFullRepaint = Value; }
    void AdjustClientRect(TRect& Rect) override;

protected:
    void Paint() override;
    void CMTextChanged(TMessage& Message) override;

private:
    TBevelCut FBevelInner = bvNone;
    TBevelCut FBevelOuter = bvRaised;
    int FBevelWidth = 1;
    TAlignment FAlignment = taCenter;
    bool FFullRepaint = true;
};

class TPanel : public TCustomPanel {
public:
    explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

enum TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };
using TCanResizeSplitterEvent = std::function<void(TObject* Sender, int& NewSize, bool& Accept)>;

// Dragging a splitter resizes the control aligned just before it (the one it touches on the
// side of its own alignment), keeping MinSize for that control and for the remaining space.
class TSplitter : public TGraphicControl {
public:
    explicit TSplitter(TComponent* AOwner);
    int GetMinSize() const { return FMinSize; }
    void SetMinSize(int Value) { FMinSize = Value < 1 ? 1 : Value; }
    TResizeStyle GetResizeStyle() const { return FResizeStyle; }
    void SetResizeStyle(TResizeStyle Value) { FResizeStyle = Value; }
    // The control that the splitter resizes, found at the time of the call.
    TControl* FindResizeControl() const;
    TNotifyEvent OnMoved;
    TCanResizeSplitterEvent OnCanResize;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    int FMinSize = 30;
    TResizeStyle FResizeStyle = rsUpdate;
    TControl* FControl = nullptr;
    bool FDragging = false;
    TPoint FDownPos;
    int FStartSize = 0;
};

// A timer component: OnTimer every Interval milliseconds while Enabled, on the UI thread.
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    UINT GetInterval() const { return FInterval; }
    // Restarts the timer when it runs.
    void SetInterval(UINT Value);
    TNotifyEvent OnTimer;
    // Raises OnTimer.
    virtual void Timer();

private:
    void UpdateTimer();
    struct Private;
    std::unique_ptr<Private> P;
    bool FEnabled = true;
    UINT FInterval = 1000;
};
