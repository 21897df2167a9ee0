// Helpers of the view's paint.
#pragma once

#include <string>

#include "display/raster/draw_surface.h"
#include "ui/core/dib.h"

// An 8-bit bitmap as an image with its colour table, rows top first; an invalid image for any
// other bitmap.
IndexedImage indexedImageOfDib(const DibBlock& dib);
// Text at a position given as fractions of the plot window.
void plotTextAt(double fx, double fy, const std::string& text);
