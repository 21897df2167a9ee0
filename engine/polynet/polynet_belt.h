// A band of rectangular facets around an axis, the form of the polar radiometer nets.
#pragma once

#include "engine/polynet/polynet_records.h"

// The plane a belt lies in, numbered as the polar plots number them.
enum PolarPlane : int {
    kPolarXZ = 0, // axis y, angles from z towards x
    kPolarXY = 1, // axis z, angles from x towards y
    kPolarYZ = 2, // axis x, angles from y towards z
    kPolarNone = -6,
};

// Appends `facets` facets to an empty net: facet i (0-based) spans the angles (i - 1/2) and
// (i + 1/2) times 360/facets degrees about the plane's axis, at `radius`, from -height/2 to
// +height/2 along the axis, its normal pointing away from the axis; neighbours share corners.
// Every facet is prepared. 0 (nothing appended) when memory cannot be had.
int polynetBuildBelt(PolynetRecord* net, int plane, double radius, double height, int facets);
