// The routines that alternate-surface records of fresnel facets and gratings call through the
// dispatch slots.
#pragma once

#include "engine/object_table.h"

// The normal refinement of a fresnel facet (values: s, sp, a, b). For now the facet keeps the
// base surface's normal. Returns 1.
int fresnelAltsurface(SurfaceRecord* surface, const Vec3& localPoint, Vec3& normal,
                      const double* values);

// The direction refinement of a grating (values: frequency, orientation in degrees, order):
// diffracts the branch's local direction in a medium of the given index at the current
// wavelength. When the order does not propagate: "Error in grating spec.\n" as an error, the
// direction unchanged, result 0; else 1.
int gratingAltsurface(SurfaceRecord* surface, const Vec3& localPoint, Vec3& direction, double index,
                      const double* values);
