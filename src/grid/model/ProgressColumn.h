#pragma once
// The progress column: float cells drawn as a bar filled to value / Max, with an optional
// percentage text.

#include "grid/model/Column.h"

class TNxProgressColumn : public TNxCustomColumn {
public:
    explicit TNxProgressColumn(TObject* AOwner = nullptr);

    // The base settings, then from another progress column BorderColor, Margin, Max,
    // ProgressColor, ProgressStyle, TextPosition and ShowText.
    void Assign(const TPersistent* Source) override;

    // The fill color of a value: HighValueColor from HighValueBound up, ProgressColor above
    // LowValueBound, LowValueColor otherwise.
    TColor GetValueColor(double Value) const;
    // Value / Max x 100 in fixed notation with Precision decimals, then "%". A Max of 0 or below
    // has no share to show and gives 0.
    WideString GetPercentText(double Value) const;

    TColor GetBorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value) { FBorderColor = Value; }
    bool GetHideWhenEmpty() const { return FHideWhenEmpty; }
    void SetHideWhenEmpty(bool Value);
    int GetHighValueBound() const { return FHighValueBound; }
    void SetHighValueBound(int Value);
    TColor GetHighValueColor() const { return FHighValueColor; }
    void SetHighValueColor(TColor Value);
    int GetLowValueBound() const { return FLowValueBound; }
    void SetLowValueBound(int Value);
    TColor GetLowValueColor() const { return FLowValueColor; }
    void SetLowValueColor(TColor Value);
    int GetMargin() const { return FMargin; }
    void SetMargin(int Value);
    int GetMax() const { return FMax; }
    void SetMax(int Value);
    int GetPrecision() const { return FPrecision; }
    void SetPrecision(int Value);
    TColor GetProgressColor() const { return FProgressColor; }
    void SetProgressColor(TColor Value);
    int GetProgressHeight() const { return FProgressHeight; }
    void SetProgressHeight(int Value);
    TProgressStyle GetProgressStyle() const { return FProgressStyle; }
    void SetProgressStyle(TProgressStyle Value);
    bool GetRoundCorners() const { return FRoundCorners; }
    void SetRoundCorners(bool Value);
    bool GetShowText() const { return FShowText; }
    void SetShowText(bool Value);
    TProgressTextPosition GetTextPosition() const { return FTextPosition; }
    void SetTextPosition(TProgressTextPosition Value);
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool Value);

private:
    TColor FBorderColor = clGray;
    bool FHideWhenEmpty = false;
    int FHighValueBound = 0;
    TColor FHighValueColor = clHighlight;
    int FLowValueBound = 0;
    TColor FLowValueColor = clHighlight;
    int FMargin = 2;
    int FMax = 100;
    int FPrecision = 0;
    TColor FProgressColor = clHighlight;
    int FProgressHeight = 0;
    TProgressStyle FProgressStyle = TProgressStyle::psSolid;
    bool FRoundCorners = false;
    bool FShowText = false;
    TProgressTextPosition FTextPosition = TProgressTextPosition::tpBeside;
    bool FTransparent = false;
};
