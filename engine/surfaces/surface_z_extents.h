// The z range of a surface's quadric over its x-y extents, for the builders that size a surface
// by its outline.
#pragma once

#include "engine/model/object_table.h"

// Samples a 31 x 31 grid over the x and y extents; at each node the line along +z through
// (x, y, 0) meets the quadric, and the root nearer z = 0 counts (the face of the surface, not
// the far side of a closed quadric). The smallest and largest such z, widened by 0.00001 x their
// range on each side, become zmin and zmax and the result is 1. When an x or y extent is not
// positive, or no grid line meets the surface, zmin and zmax are left as they were and the
// result is 0.
int surfaceZExtents(const SurfaceRecord* surface, double& zmin, double& zmax);
