#pragma once
// The graphics vocabulary the window classes use.
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsObjects.h"
#include "platform/graphics/Region.h"
