// Picking objects with the mouse: the object nearest to a model point, and the vector from the
// selected object's origin to a point.
#pragma once

#include "engine/math/vector_math.h"

// Makes the placed object nearest to (x, y, z) (global) the selection (viewObject). An object
// whose capture radius holds the point wins over a nearer one whose radius does not; the radius
// is the object's reference radius, else 0.05 x the mean workbox half width (one third of the
// sum of `workboxHalfSizes`). The selection stays when no placed object exists. Returns -1.
int PickNearestObject(double x, double y, double z, const Vec3& workboxHalfSizes);
// out = (x, y, z) minus the selected object's origin in global coordinates; 0 (out untouched)
// when viewObject names no object, else 1.
int VectorToCurrentObject(double x, double y, double z, Vec3& out);
