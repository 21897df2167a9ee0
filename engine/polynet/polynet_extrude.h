// Giving a facet a thickness: the facet becomes the top of a prism along z.
#pragma once

#include "engine/polynet/polynet_records.h"

// Moves every point of the facet by +t/2 in z (points shared with other facets move with it)
// and marks it reversed; appends a copy on new points t lower, then one four-vertex side facet
// per edge of every contour (top i, top i+1, bottom i+1, bottom i; reversed for the contours
// after the first). The new facets take the facet's reflectance and absorbtion and are left
// unprepared. Returns the last facet appended, nullptr (and nothing changed) when memory for the
// new nodes cannot be had.
PolygonRecord* polynetThickenPolygon(PolynetRecord* net, PolygonRecord* polygon, double thickness);
