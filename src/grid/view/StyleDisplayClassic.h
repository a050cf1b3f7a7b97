#pragma once
// The system-looking header styles: the default (themed header items or a 3D frame), flat borders,
// the old raised style, the Outlook look and the Vista look.

#include "grid/view/StyleDisplay.h"

// hsAuto: themed header items with visual styles (hover and pressed states), otherwise the
// header color in a 3D frame with the pressed header inverted.
class TDefaultStyleDisplay : public TStyleDisplay {
public:
    using TStyleDisplay::TStyleDisplay;
    TStyleDisplayAttributes GetStyleDisplayAttributes() override;
    void DrawHeaderBackground(TNxCustomColumn* Column, const TRect& Rect) override {
        DrawFrameBox(Column, Rect);
    }
    void DrawCornerBox(const TRect& Rect, TBoxLocation Location) override;
    void DrawInactiveHeader(const TRect& Rect) override;
    virtual void DrawFrameBox(TNxCustomColumn* Column, const TRect& Rect);
    virtual void DrawDefaultFrameBox(TNxCustomColumn* Column, const TRect& Rect);
    // Header part 1 in state 1 (normal), 2 (hover) or 3 (pressed).
    virtual void DrawThemedFrameBox(TNxCustomColumn* Column, const TRect& Rect);

protected:
    void ThemedHeader(const TRect& Rect, int Part, int State);
};

// hsFlatBorders: flat faces with one gray line down the right and along the bottom.
class TFlatStyleDisplay : public TStyleDisplay {
public:
    using TStyleDisplay::TStyleDisplay;
    void DrawHeaderBackground(TNxCustomColumn* Column, const TRect& Rect) override {
        DrawFrameBox(Column, Rect);
    }
    void DrawCornerBox(const TRect& Rect, TBoxLocation) override { DrawFlat(Rect, clBtnFace); }
    void DrawIndicator(const TRect& Rect, int, bool, bool) override { DrawFlat(Rect, clBtnFace); }
    void DrawAreaSplitter(const TRect& Rect) override { DrawFlat(Rect, clBtnFace); }
    virtual void DrawFrameBox(TNxCustomColumn* Column, const TRect& Rect) {
        DrawDefaultFrameBox(Column, Rect);
    }
    virtual void DrawDefaultFrameBox(TNxCustomColumn* Column, const TRect& Rect);

private:
    void DrawFlat(const TRect& Rect, TColor Face);
};

// hsOldStyle: button faces in a highlight and window-frame 3D frame; pressed headers inverted.
class TOldStyleDisplay : public TStyleDisplay {
public:
    using TStyleDisplay::TStyleDisplay;
    TStyleDisplayAttributes GetStyleDisplayAttributes() override { return {sdaInvertFocus}; }
    void DrawHeaderBackground(TNxCustomColumn*, const TRect& Rect) override { DrawFrameBox(Rect); }
    void DrawCornerBox(const TRect& Rect, TBoxLocation) override { DrawFrameBox(Rect); }
    void DrawIndicator(const TRect& Rect, int, bool, bool) override { DrawFrameBox(Rect); }
    virtual void DrawFrameBox(const TRect& Rect);
};

// hsOutlook: the header color with short highlight and shadow dividers and soft shading along
// the bottom; splitters are raised buttons; pressed headers inverted.
class TOutlookStyleDisplay : public TStyleDisplay {
public:
    using TStyleDisplay::TStyleDisplay;
    TStyleDisplayAttributes GetStyleDisplayAttributes() override { return {sdaInvertFocus}; }
    void DrawHeaderBackground(TNxCustomColumn* Column, const TRect& Rect) override {
        DrawFrameBox(Column, Rect);
    }
    void AdjustTextRect(TRect& Rect) override { Rect.Bottom -= 3; }
    void DrawAreaSplitter(const TRect& Rect) override;
    virtual void DrawFrameBox(TNxCustomColumn* Column, const TRect& Rect);
};

// hsVista: #F0F0F0 faces, a light blue gradient and a white arrow at the top for the sorted
// column, a white line on the left and a button-face line on the right.
class TVistaStyleDisplay : public TStyleDisplay {
public:
    using TStyleDisplay::TStyleDisplay;
    TStyleDisplayAttributes GetStyleDisplayAttributes() override { return {sdaCustomArrow}; }
    void DrawHeaderBackground(TNxCustomColumn* Column, const TRect& Rect) override {
        DrawFrameBox(Column, Rect);
    }
    void AdjustTextRect(TRect& Rect) override { Rect.Left += 2; }
    virtual void DrawFrameBox(TNxCustomColumn* Column, const TRect& Rect);
    // The white sort arrow, 7 pixels wide and 4 high, centred at the top edge of Rect.
    void DrawTopArrow(const TRect& Rect, bool Ascending);
};
