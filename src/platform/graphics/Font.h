#pragma once
// Fonts: face name, height in pixels (negative: character height, positive: cell height) or size
// in points at PixelsPerInch, color, style, charset and orientation for rotated text.
//
// "MS Sans Serif" (and its shell-dialog aliases) and "Tahoma" resolve to the installed sans family
// whose line height and character widths come closest to theirs at the size drawn, so forms laid
// out for them keep their captions inside their boxes; other Windows face names resolve to the
// system's generic sans, serif or monospace family; other names are used as given.

#include <cstdint>
#include <string>

#include "platform/graphics/GraphicsObjects.h"
#include "platform/runtime/Types.h"

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;

enum TFontPitch { fpDefault, fpVariable, fpFixed };

using TFontCharset = uint8_t;
constexpr TFontCharset ANSI_CHARSET = 0;
constexpr TFontCharset DEFAULT_CHARSET = 1;
constexpr TFontCharset SYMBOL_CHARSET = 2;
constexpr TFontCharset SHIFTJIS_CHARSET = 128;
constexpr TFontCharset HANGEUL_CHARSET = 129;
constexpr TFontCharset GB2312_CHARSET = 134;
constexpr TFontCharset CHINESEBIG5_CHARSET = 136;
constexpr TFontCharset OEM_CHARSET = 255;
constexpr TFontCharset JOHAB_CHARSET = 130;
constexpr TFontCharset HEBREW_CHARSET = 177;
constexpr TFontCharset ARABIC_CHARSET = 178;
constexpr TFontCharset GREEK_CHARSET = 161;
constexpr TFontCharset TURKISH_CHARSET = 162;
constexpr TFontCharset VIETNAMESE_CHARSET = 163;
constexpr TFontCharset THAI_CHARSET = 222;
constexpr TFontCharset EASTEUROPE_CHARSET = 238;
constexpr TFontCharset RUSSIAN_CHARSET = 204;
constexpr TFontCharset BALTIC_CHARSET = 186;

// Defaults: "MS Sans Serif", height -11 (size 8 at 96 pixels per inch), clWindowText, no style,
// DEFAULT_CHARSET, orientation 0.
class TFont : public TGraphicsObject {
public:
    TFont() = default;

    const AnsiString& GetName() const { return FName; }
    void SetName(const AnsiString& v);
    // Negative: the character (em) height in pixels; positive: the cell height (ascent + descent).
    int GetHeight() const { return FHeight; }
    void SetHeight(int v);
    // Points: -Height * 72 / PixelsPerInch, rounded; setting it sets Height = -round(Size * PPI / 72).
    int GetSize() const;
    void SetSize(int v);
    int GetPixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int v); // keeps Height; Size follows
    TColor GetColor() const { return FColor; }
    void SetColor(TColor v);
    TFontStyles GetStyle() const { return FStyle; }
    void SetStyle(TFontStyles v);
    TFontCharset GetCharset() const { return FCharset; }
    void SetCharset(TFontCharset v);
    TFontPitch GetPitch() const { return FPitch; }
    void SetPitch(TFontPitch v);
    // Tenths of a degree, counter-clockwise: 900 runs the text upwards.
    int GetOrientation() const { return FOrientation; }
    void SetOrientation(int v);

    void Assign(const TFont& source);
    void Assign(const TFont* source) {
        if (source) Assign(*source);
    }
    // Copies from another font; anything else raises the assignment error.
    void Assign(const TPersistent* source) override;
    // True when every attribute equals the other's.
    bool IsEqual(const TFont& other) const;

    // The family the platform draws this font with at a pixel size (character height), after
    // mapping Windows face names.
    static AnsiString ResolveFamily(const AnsiString& faceName, int pixelSize = 11);

private:
    AnsiString FName = "MS Sans Serif";
    int FHeight = -11;
    int FPixelsPerInch = 96;
    TColor FColor = clWindowText;
    TFontStyles FStyle;
    TFontCharset FCharset = DEFAULT_CHARSET;
    TFontPitch FPitch = fpDefault;
    int FOrientation = 0;
};
