#pragma once
// Displays that paint a cell as one text: plain text, numbers, dates, times, row numbers, memos,
// GUIDs, hyperlinks and named colors. The column forms the text (GetDrawText); these draw it.

#include "grid/view/ColumnDisplay.h"

// The column's draw text of AsString, on one line unless the column reports doMultiLine.
class TTextColumnDisplay : public TColumnDisplay {
public:
    using TColumnDisplay::TColumnDisplay;
    void Paint() override;
};

// The column's draw text of AsFloat.
class TNumberColumnDisplay : public TColumnDisplay {
public:
    using TColumnDisplay::TColumnDisplay;
    void Paint() override;
};

// The column's draw text of AsDateTime.
class TDateColumnDisplay : public TColumnDisplay {
public:
    using TColumnDisplay::TColumnDisplay;
    void Paint() override;
};

// The column's draw text of AsDateTime; a text display, since the time column is a text column.
class TTimeColumnDisplay : public TTextColumnDisplay {
public:
    using TTextColumnDisplay::TTextColumnDisplay;
    void Paint() override;
};

// The column's draw text of AsInteger, which holds the row index.
class TIncrementColumnDisplay : public TColumnDisplay {
public:
    using TColumnDisplay::TColumnDisplay;
    void Paint() override;
};

// AsString unchanged, word-wrapped over as many lines as the cell holds.
class TMemoColumnDisplay : public TTextColumnDisplay {
public:
    using TTextColumnDisplay::TTextColumnDisplay;
    // CellRect less 2 pixels at the sides and 1 at the top and bottom.
    TRect GetTextRect() override;
    TSize GetTextSize() override;
    void Paint() override;

private:
    static constexpr uint32_t MemoFlags = DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL;
};

// The GUID text between the column's TextBefore and TextAfter, as the column joins them.
class TNxGuidColumnDisplay : public TTextColumnDisplay {
public:
    using TTextColumnDisplay::TTextColumnDisplay;
};

// What the hyperlink display reads of its column; the hyperlink column kind is read directly, any
// other column may derive from this.
class THyperlinkColumnSettings {
public:
    virtual ~THyperlinkColumnSettings() = default;
    virtual TColor GetVisitedLinkColor() const = 0;
    virtual TColor GetInvalidatedLinkColor() const = 0;
    virtual bool HyperlinkHasBeenVisited(const WideString& Hyperlink) const = 0;
    virtual bool HyperlinkIsInvalidated(const WideString& Hyperlink) const = 0;
};

// The draw text, in the visited or invalidated link color when the link is known as such.
class THyperlinkColumnDisplay : public TColumnDisplay {
public:
    using TColumnDisplay::TColumnDisplay;
    void Paint() override;
};

// A color swatch (outlined in gray) holding the color the text names, and the text 26 pixels
// further right; right-to-left columns put the swatch at the right. An empty or unknown name
// shows a white swatch crossed by a red line.
class TNxColorColumnDisplay : public TTextColumnDisplay {
public:
    using TTextColumnDisplay::TTextColumnDisplay;
    void Paint() override;
    int GetContentWidth() override { return TTextColumnDisplay::GetContentWidth() + SwatchIndent; }
    // The swatch of the current CellRect; painting and tests share it.
    TRect GetSwatchRect() const;

private:
    static constexpr int SwatchIndent = 26;
};
