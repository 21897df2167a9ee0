// Shaded and solid images: one view ray per pixel from an eye placed by azimuth, elevation and
// distance about the workbox centre; the nearest hit is shaded by a Lambert term against the
// sun. The grey levels go into the bitmap holder (bottom row first, rows padded) and, unless
// switched off, into "TEMP.SOL" (a text header, then the rows top first, unpadded).
#pragma once

#include <string>

#include "engine/math/vector_math.h"

inline constexpr const char* kSolidFileName = "TEMP.SOL";

// Both renderers: the name only switches the file ("null" or empty: no TEMP.SOL). nx and ny are
// 1 to 640 (the view command checks them); angles in degrees. 1 rendered (perhaps stopped by
// Escape), 0 not started or stopped by a failed write.
// The solid renderer shades through the raytrace manager's ShadePixel and reports progress.
int renderSolidImage(const std::string& name, int nx, int ny, double azimuth, double elevation,
                     int mode, int show, double distance);
// The image form of the view command: its own nearest-hit shade and the plain Escape test.
int renderShadedImage(const std::string& name, int nx, int ny, double azimuth, double elevation,
                      int mode, int show, double distance);
// Appends one row of bytes to `path`; false after "Unable to open %s for output during image
// write."
bool appendImageRow(const std::string& path, const unsigned char* bytes, int count);
// The shade of one view ray (0 when it hits nothing).
double shadeViewRay(const Vec3& eye, const Vec3& direction);
