// Helpers of the view's paint.
#pragma once

#include <string>

#include "display/raster/draw_surface.h"
#include "ui/core/dib.h"

// An 8-bit bitmap as an image with its colour table, rows top first; an invalid image for any
// other bitmap.
IndexedImage indexedImageOfDib(const DibBlock& dib);
// The height of the intensity view's colour bar on a surface of that height.
int intensityBarHeight(int surfaceHeight);
