#pragma once
// The pictures of the main window: the five tool bar glyphs (32 x 32, 24 bits, the bottom-left pixel's
// color transparent) and the window icon (48 x 48, 32 bits with alpha), each with a detail picture at
// twice the size for HiDPI screens. Drawn in code, so the program carries no image files.

#include <memory>

#include "platform/graphics/Bitmap.h"

enum class TMainGlyph { OpenFiles, OpenFolder, Run, Stop, OpenFile };

// A new 32 x 32 pf24bit glyph; its transparent color is the bottom-left pixel.
std::unique_ptr<TBitmap> MakeMainGlyph(TMainGlyph Glyph);
// A new 48 x 48 pf32bit icon.
std::unique_ptr<TBitmap> MakeMainIcon();
