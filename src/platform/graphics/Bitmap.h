#pragma once
// Bitmaps with 4, 24 or 32 bits per pixel, direct row access, a canvas and transparent drawing.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/graphics/Colors.h"
#include "platform/runtime/Object.h"
#include "platform/runtime/Types.h"

class TCanvas;

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

// A new bitmap is empty (0 by 0) with pfDevice, which draws like pf32bit. Growing it fills the new
// pixels with black (and alpha 0 in pf32bit).
//
// ScanLine(row) points at the row's bytes, top row 0: pf24bit 3 bytes blue, green, red per pixel,
// pf32bit (and pfDevice) 4 bytes blue, green, red, alpha, pf4bit two pixels per byte (high nibble
// first) as indexes into the 16-color palette; every row is padded to a multiple of 4 bytes.
// The pointer stays valid until the bitmap is drawn on, resized or reformatted.
class TBitmap : public TPersistent {
public:
    TBitmap();
    TBitmap(int width, int height, TPixelFormat format = pf24bit);
    ~TBitmap() override;

    int GetWidth() const;
    void SetWidth(int v);
    int GetHeight() const;
    void SetHeight(int v);
    void SetSize(int width, int height);
    bool GetEmpty() const;
    TPixelFormat GetPixelFormat() const;
    // Converts the pixels (pf4bit picks the nearest palette color); unsupported formats raise
    // EInvalidGraphic.
    void SetPixelFormat(TPixelFormat v);

    uint8_t* ScanLine(int row);
    const uint8_t* ScanLine(int row) const;
    // Bytes per row including the padding.
    int GetRowBytes() const;

    TCanvas* GetCanvas() const;

    bool GetTransparent() const;
    void SetTransparent(bool v);
    // tmAuto: the color of the bottom-left pixel; tmFixed: the color that was set.
    TColor GetTransparentColor() const;
    void SetTransparentColor(TColor v); // also selects tmFixed
    TTransparentMode GetTransparentMode() const;
    void SetTransparentMode(TTransparentMode v);

    // Copies size, pixel format, pixels and transparency settings (nullptr empties this bitmap).
    void Assign(const TBitmap& source);
    void Assign(const TBitmap* source);
    // Copies from another bitmap (nullptr empties this one); anything else raises the assignment
    // error.
    void Assign(const TPersistent* source) override;

    // The same picture at twice the width and height, drawn in its place on surfaces kept at a
    // scale factor of 1.5 or more, so it stays sharp on HiDPI screens; its transparent color follows
    // this bitmap's mode (tmAuto: its own bottom-left pixel). Assign copies it; resizing or loading
    // drops it; drawing on the canvas leaves it. nullptr drops it.
    void SetDetail(const TBitmap* twice);
    const TBitmap* GetDetail() const;
    // Loads a bitmap of the program's resources by name (case-insensitive); raises EResNotFound
    // with "Resource NAME not found" when there is none.
    void LoadFromResourceName(const AnsiString& name);
    // BMP or PNG files (by content); raises EInvalidGraphic when it cannot be read.
    void LoadFromFile(const std::string& fileName);
    // PNG when the name ends in ".png", BMP otherwise; raises EFCreateError when it cannot write.
    void SaveToFile(const std::string& fileName) const;

    // Raised after the bitmap changed: size, format, transparency settings (when they differ from
    // before), drawing on its canvas, loading or Assign. Row writes through ScanLine do not raise it.
    std::function<void()> OnChange;

    struct Impl;
    Impl& GetImpl() const { return *FImpl; }

private:
    std::unique_ptr<Impl> FImpl;
};

// The 16 colors of pf4bit bitmaps, by palette index.
TColor Palette16Color(int index);

// Named bitmap resources of the program. Code registers encoded images (BMP or PNG bytes) under a
// name; names are case-insensitive. Bitmaps compiled in as Qt resources under ":/bitmaps/NAME.bmp"
// or ":/bitmaps/NAME.png" are found as well.
void RegisterBitmapResource(const AnsiString& name, const uint8_t* data, size_t size);
void UnregisterBitmapResource(const AnsiString& name);
bool BitmapResourceExists(const AnsiString& name);

#include "platform/runtime/Exception.h"

// Errors of the graphics objects.
class EInvalidGraphic : public Exception {
    using Exception::Exception;
};
class EResNotFound : public Exception {
    using Exception::Exception;
};
