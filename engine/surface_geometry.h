// Surface frames: points and directions between the global frame and a surface's own frame, and
// the default intercept and normal hooks of quadric surfaces.
#pragma once

#include "engine/object_table.h"

// out = point x (global-to-surface matrix).
void toLocalPoint(const Vec3& point, Vec3& out, const SurfaceRecord* surface);
// out = T(direction) - T(origin) with the global-to-surface matrix: the rotation alone, not
// renormalised.
void toLocalDirection(const Vec3& direction, Vec3& out, const SurfaceRecord* surface);

// The default hooks every surface record gets at initialisation. For now the quadric intercept
// finds nothing and the normal is zero.
int interceptQuadricSurface(SurfaceRecord* surface, const Vec3& point, Vec3& direction,
                            double& nearest);
void quadricNormal(SurfaceRecord* surface, const Vec3& localPoint, Vec3& normal);
