#pragma once
// The speed button: a windowless button with a glyph, drawn flat until the pointer is over it.

#include <memory>

#include "platform/windows/Controls.h"

class TBitmap;

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TSpeedButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;

    bool GetFlat() const { return FFlat; }
    void SetFlat(bool Value);
    // The glyph; setting copies the bitmap. The bottom-left pixel's color is transparent.
    TBitmap* GetGlyph() const { return FGlyph.get(); }
    void SetGlyph(const TBitmap* Value);
    bool GetDown() const { return FDown; }
    void SetDown(bool Value);
    int GetGroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    bool GetAllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
    TButtonLayout GetLayout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int GetMargin() const { return FMargin; }
    void SetMargin(int Value);
    int GetSpacing() const { return FSpacing; }
    void SetSpacing(int Value);
    // Drawn state now: up, down (pressed or Down) or disabled; and whether the pointer is over it.
    TSpeedButtonState GetState() const { return FState; }
    bool IsMouseOver() const { return FMouseInControl; }

    void Click() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;

private:
    void UpdateExclusive();
    bool FFlat = false;
    std::unique_ptr<TBitmap> FGlyph;
    bool FDown = false;
    int FGroupIndex = 0;
    bool FAllowAllUp = false;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    TSpeedButtonState FState = bsUp;
    bool FDragging = false;
};
