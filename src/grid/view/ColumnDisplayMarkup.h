#pragma once
// Displays with a layout of their own: markup text and the tree column's lines and buttons.

#include "grid/view/ColumnDisplay.h"
#include "grid/view/ColumnPlay.h"
#include "platform/graphics/Bitmap.h"
#include "platform/runtime/List.h"

class THtmlColumnSettings {
public:
    virtual ~THtmlColumnSettings() = default;
    virtual WideString GetMarkupPrefix() const = 0;
    virtual WideString GetMarkupSuffix() const = 0;
};

// AsString (between the column's markup prefix and suffix when it has them) rendered by the
// shared markup renderer, indented 2 pixels horizontally and 1 vertically.
class THtmlColumnDisplay : public TColumnDisplay {
public:
    using TColumnDisplay::TColumnDisplay;
    void Paint() override;
    int GetContentWidth() override;
    int GetContentHeight() override;

private:
    WideString MarkupText() const;
};

class TTreeColumnSettings {
public:
    virtual ~TTreeColumnSettings() = default;
    virtual bool GetShowButtons() const = 0;
    virtual bool GetShowLines() const = 0;
    // The row images (TBitmap*, not owned); null for none.
    virtual TList* GetImages() const { return nullptr; }
};

// Tree lines, an expand button (themed glyph, or a box with a minus and, when collapsed, a plus)
// and the text, indented by the row's level. Each level is LevelIndent pixels wide; the button is
// where the tree play hits it (TreeExpandButtonRect).
class TTreeColumnDisplay : public TColumnDisplay {
public:
    using TColumnDisplay::TColumnDisplay;
    static constexpr int LevelIndent = TreeLevelIndent;
    void Paint() override;
    int GetContentWidth() override;
    // The expand button of the current row; empty when the row has no children or buttons are off.
    TRect GetButtonRect() const;

private:
    void DrawLines(const TTreeColumnSettings& Settings);
    // Image ImageIndex of the column's images; null for none.
    TBitmap* RowImage(const TTreeColumnSettings* Settings) const;
};
