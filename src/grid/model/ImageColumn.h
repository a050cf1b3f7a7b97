#pragma once
// Picture column kinds: an image of a list by index, a rating in glyphs, and a cell's attached
// graphic.

#include <memory>

#include "grid/model/Column.h"
#include "platform/runtime/List.h"

// Integer cells holding an index into Images.
class TNxImageColumn : public TNxCustomColumn {
public:
    explicit TNxImageColumn(TObject* AOwner = nullptr);

    void Assign(const TPersistent* Source) override;
    TColumnStyle GetColumnStyle() const override { return {csFitToLargest}; }

    // A list of TBitmap* the program keeps; the column does not own it.
    TList* GetImages() const { return FImages; }
    void SetImages(TList* Value);
    int GetImageCount() const { return FImages ? FImages->Count() : 0; }
    // The image at Index, or null for an index outside the list.
    TBitmap* GetImage(int Index) const;
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool Value);

private:
    TList* FImages = nullptr;
    bool FTransparent = true;
};

// Integer cells drawn as a row of Max glyphs, the first value of them full.
class TNxRateColumn : public TNxCustomColumn {
public:
    explicit TNxRateColumn(TObject* AOwner = nullptr);
    ~TNxRateColumn() override;

    void Assign(const TPersistent* Source) override;
    TColumnStyle GetColumnStyle() const override { return {csFitToLargest}; }

    // Both glyphs are owned; setting copies the bitmap.
    TBitmap* GetEmptyGlyph() const { return FEmptyGlyph.get(); }
    void SetEmptyGlyph(const TBitmap* Value);
    TBitmap* GetGlyph() const { return FGlyph.get(); }
    void SetGlyph(const TBitmap* Value);
    bool GetHideWhenEmpty() const { return FHideWhenEmpty; }
    void SetHideWhenEmpty(bool Value);
    int GetMax() const { return FMax; }
    void SetMax(int Value);
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool Value);

private:
    std::unique_ptr<TBitmap> FEmptyGlyph;
    std::unique_ptr<TBitmap> FGlyph;
    bool FHideWhenEmpty = false;
    int FMax = 5;
    bool FTransparent = false;
};

// Cells whose value is the object attached to them, drawn inside a border and margin.
class TNxGraphicColumn : public TNxCustomColumn {
public:
    explicit TNxGraphicColumn(TObject* AOwner = nullptr);

    void Assign(const TPersistent* Source) override;

    int GetBorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    int GetMargin() const { return FMargin; }
    void SetMargin(int Value);
    bool GetStretch() const { return FStretch; }
    void SetStretch(bool Value);

private:
    int FBorderWidth = 1;
    int FMargin = 4;
    bool FStretch = false;
};
