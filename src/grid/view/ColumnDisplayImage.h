#pragma once
// Displays that paint pictures: check boxes, images of an image list, attached graphics, rating
// glyphs, and list items with their images.

#include <vector>

#include "grid/view/ColumnDisplay.h"
#include "platform/graphics/Bitmap.h"

// A check box for AsBoolean, placed by the column's alignments.
class TCheckBoxColumnDisplay : public TColumnDisplay {
public:
    using TColumnDisplay::TColumnDisplay;
    void Paint() override;
    // 13 with visual styles, 11 without.
    int GetContentWidth() override;
    int GetContentHeight() override { return GetContentWidth(); }
};

// What the picture displays read of their columns. The image, graphic and rate kinds are read
// through these; any other column may derive from them. Bitmaps are not owned by the displays.
class TImageColumnSettings {
public:
    virtual ~TImageColumnSettings() = default;
    virtual int GetImageCount() const = 0;
    virtual TBitmap* GetImage(int Index) const = 0;
};

// Image number AsInteger of the column's images, placed by the column's alignments with a
// 2-pixel margin; nothing for a negative or too large number.
class TImageColumnDisplay : public TColumnDisplay {
public:
    using TColumnDisplay::TColumnDisplay;
    void Paint() override;
    int GetContentWidth() override;
    int GetContentHeight() override;

private:
    TBitmap* CurrentImage() const;
};

class TGraphicColumnSettings {
public:
    virtual ~TGraphicColumnSettings() = default;
    virtual int GetBorderWidth() const = 0;
    virtual int GetMargin() const = 0;
    virtual bool GetStretch() const = 0;
};

// The bitmap in AsObject inside the column's margin and border: stretched to fill with Stretch,
// otherwise centred, and scaled down (keeping its shape) when it is larger than the room.
class TGraphicColumnDisplay : public TColumnDisplay {
public:
    using TColumnDisplay::TColumnDisplay;
    void Paint() override;
    // Where the current picture lands; empty without one.
    TRect GetPictureRect() const;
};

class TRateColumnSettings {
public:
    virtual ~TRateColumnSettings() = default;
    virtual TBitmap* GetGlyph() const = 0;
    virtual TBitmap* GetEmptyGlyph() const = 0;
    virtual bool GetHideWhenEmpty() const = 0;
    virtual int GetMax() const = 0;
};

// Max glyphs in a row placed by the column's alignments: the first AsInteger (kept within 0..Max)
// full, the rest empty; nothing for 0 with HideWhenEmpty.
class TRateColumnDisplay : public TColumnDisplay {
public:
    using TColumnDisplay::TColumnDisplay;
    void Paint() override;
    int GetContentWidth() override;
};

class TStringsColumnSettings {
public:
    virtual ~TStringsColumnSettings() = default;
    virtual TDisplayMode GetDisplayMode() const = 0;
    // The image that goes with the cell's value, null for none.
    virtual TBitmap* GetCellImage(const TCellInfo& CellInfo) const = 0;
};

// The draw text and/or the value's image, by the column's DisplayMode: the image vertically
// centred 2 pixels from the left, the text moved right by the image width + 4.
class TCustomStringsColumnDisplay : public TColumnDisplay {
public:
    using TColumnDisplay::TColumnDisplay;
    void Paint() override;
};

class TStringsColumnDisplay : public TCustomStringsColumnDisplay {
public:
    using TCustomStringsColumnDisplay::TCustomStringsColumnDisplay;
};
