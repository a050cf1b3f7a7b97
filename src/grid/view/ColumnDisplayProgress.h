#pragma once
// The progress display: a framed bar whose filled share is the cell's value against the column's
// maximum, in one of four styles, with the percentage as text.

#include <map>
#include <tuple>
#include <vector>

#include "grid/view/ColumnDisplay.h"

// What the progress display reads of its column (the progress column kind is read through it).
class TProgressColumnSettings {
public:
    virtual ~TProgressColumnSettings() = default;
    virtual TColor GetBorderColor() const = 0;
    virtual bool GetHideWhenEmpty() const = 0;
    virtual int GetHighValueBound() const = 0;
    virtual TColor GetHighValueColor() const = 0;
    virtual int GetLowValueBound() const = 0;
    virtual TColor GetLowValueColor() const = 0;
    virtual int GetMargin() const = 0;
    virtual int GetMax() const = 0;
    virtual int GetPrecision() const = 0;
    virtual TColor GetProgressColor() const = 0;
    virtual int GetProgressHeight() const = 0;
    virtual TProgressStyle GetProgressStyle() const = 0;
    virtual bool GetRoundCorners() const = 0;
    virtual bool GetShowText() const = 0;
    virtual TProgressTextPosition GetTextPosition() const = 0;
    virtual bool GetTransparent() const = 0;
};

// Paints AsFloat as a bar. The settings come from the column: a TNxProgressColumn, or any column
// deriving from TProgressColumnSettings; another column gets its draw text.
class TProgressColumnDisplay : public TColumnDisplay {
public:
    using TColumnDisplay::TColumnDisplay;
    void Paint() override;
    // The percentage text's width when it is shown (at least 30 beside the bar); 0 without text.
    int GetContentWidth() override;

    // Geometry of the current cell, shared by painting and tests: the frame and the filled bar
    // (empty when the value is 0 or below).
    TRect GetFrameRect(const TProgressColumnSettings& Settings) const;
    TRect GetBarRect(const TProgressColumnSettings& Settings) const;
    // Value / Max * 100. A Max of 0 or below, or a value that is not a number, gives 0: there is
    // no share to show, and an undefined ratio must not reach the pixel arithmetic.
    double GetRatio(const TProgressColumnSettings& Settings) const;
    // The fill color of the current value by the two bounds.
    TColor GetBarColor(const TProgressColumnSettings& Settings) const;
    // The percentage with Precision decimals and "%".
    WideString GetPercentText(const TProgressColumnSettings& Settings) const;

    // The colors of a psGradient bar Width pixels wide, one per pixel column from From to To, as
    // the shared horizontal gradient blends them. Kept per display: a frame draws the same few
    // widths row after row, and the blend is the costly part of a gradient.
    const std::vector<TColor>& GetGradientColors(TColor From, TColor To, int Width);

private:
    void PaintBar(const TProgressColumnSettings& Settings, const TRect& Bar);

    // Bounded: a column shows at most one width per pixel of its cells and three bar colors.
    static constexpr size_t MaxGradients = 1024;
    std::map<std::tuple<TColor, TColor, int>, std::vector<TColor>> FGradients;
};
