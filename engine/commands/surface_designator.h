// Surface designators: a surface is named n.m, object n and surface m (its first decimal digit).
#pragma once

#include <string>

struct SurfaceRecord;

// Splits a designator: objectIndex = n - 1, surfaceNumber = the first decimal digit (0 means
// surface 1; 3.2 is object 3 surface 2, 3 alone is object 3 surface 1). error 1 with
// "Object %d is undefined.\n" when the object does not exist and, independently,
// "Surface %d is undefined.\n" when the surface does not exist (errors on the output channel).
void parseSurfaceNumber(double designator, int& objectIndex, int& surfaceNumber, int& error);
// The same split without the checks and their messages (for a step that runs after one that
// already reported them).
void splitSurfaceNumber(double designator, int& objectIndex, int& surfaceNumber);

// The designator of a surface as messages and listings show it: the owner's label, a point and
// the surface number (0 shown as 1). Empty for no surface.
std::string surfaceDesignator(const SurfaceRecord* surface);
