#pragma once
// The Office header styles: scheme-colored gradient headers with a divider and a bottom border;
// a pressed header shows its gradient reversed.

#include "drawing/ThemesSupport.h"
#include "grid/view/StyleDisplay.h"

class TOffice2010StyleDisplay : public TStyleDisplay {
public:
    using TStyleDisplay::TStyleDisplay;
    void DrawHeaderBackground(TNxCustomColumn* Column, const TRect& Rect) override {
        DrawFrameBox(Column, Rect);
    }
    // The caption sits 2 pixels right of its laid-out place.
    void AdjustTextRect(TRect& Rect) override { Rect.Left += 2; }
    // A black-outlined triangle filled #A5ACB5, 8 by 4 pixels.
    void DrawArrow(int X, int Y, bool Ascending) override;
    // An unpressed header's gradient with a border down the right and along the bottom.
    void DrawCornerBox(const TRect& Rect, TBoxLocation Location) override;
    void DrawIndicator(const TRect& Rect, int, bool, bool) override { DrawCornerBox(Rect, bpAlone); }
    void DrawAreaSplitter(const TRect& Rect) override;
    // Gradient (reversed while pressed), divider or border on the right, border along the bottom.
    virtual void DrawFrameBox(TNxCustomColumn* Column, const TRect& Rect);

protected:
    virtual TColor GradientStart() const;
    virtual TColor GradientEnd() const;
};

// As Office 2010 with a white-to-header-end gradient and the base sort arrow.
class TOffice2007StyleDisplay : public TOffice2010StyleDisplay {
public:
    using TOffice2010StyleDisplay::TOffice2010StyleDisplay;
    void DrawArrow(int X, int Y, bool Ascending) override { TStyleDisplay::DrawArrow(X, Y, Ascending); }

protected:
    TColor GradientStart() const override;
    TColor GradientEnd() const override;
};
