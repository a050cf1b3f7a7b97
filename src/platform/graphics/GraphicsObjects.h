#pragma once
// Pens and brushes: plain attribute holders that report every change through OnChange.

#include <cstdint>
#include <functional>

#include "platform/graphics/Colors.h"
#include "platform/runtime/Object.h"

// Common base of fonts, pens and brushes: change notification.
class TGraphicsObject : public TPersistent {
public:
    TGraphicsObject() = default;

    // Raised after an attribute changed (a setter given the current value reports nothing) and,
    // once, after Assign.
    std::function<void()> OnChange;

protected:
    virtual void Changed();
};

enum TPenStyle {
    psSolid,
    psDash,
    psDot,
    psDashDot,
    psDashDotDot,
    psClear,
    psInsideFrame,
    psUserStyle,
    psAlternate
};

// Binary raster operations of the pen (and of the brush in filled shapes).
enum TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};

// Defaults: black, width 1, solid, copy mode. Widths 0 and 1 both draw one-pixel lines.
class TPen : public TGraphicsObject {
public:
    TPen() = default;

    TColor GetColor() const { return FColor; }
    void SetColor(TColor v);
    int GetWidth() const { return FWidth; }
    void SetWidth(int v);
    TPenStyle GetStyle() const { return FStyle; }
    void SetStyle(TPenStyle v);
    TPenMode GetMode() const { return FMode; }
    void SetMode(TPenMode v);

    void Assign(const TPen& source);
    void Assign(const TPen* source) {
        if (source) Assign(*source);
    }
    // Copies from another pen; anything else raises the assignment error.
    void Assign(const TPersistent* source) override;

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
};

enum TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

// Defaults: white, solid. A clear brush fills nothing and makes text backgrounds transparent.
class TBrush : public TGraphicsObject {
public:
    TBrush() = default;

    TColor GetColor() const { return FColor; }
    // Setting a color on a clear brush makes it solid again.
    void SetColor(TColor v);
    TBrushStyle GetStyle() const { return FStyle; }
    void SetStyle(TBrushStyle v);

    void Assign(const TBrush& source);
    void Assign(const TBrush* source) {
        if (source) Assign(*source);
    }
    void Assign(const TPersistent* source) override;

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
};
