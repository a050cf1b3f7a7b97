#pragma once
// Private to platform code: the Qt font that draws a TFont.

#include <QFont>

#include "platform/graphics/Font.h"

// Family mapped from Windows face names, pixel size from the height, style, no antialiasing,
// full hinting and no kerning. The font's color and orientation are applied by the canvas.
QFont FontToQt(const TFont& font);
