// The routines that alternate-surface records of fresnel facets and gratings call through the
// dispatch slots.
#pragma once

#include "engine/model/object_table.h"

// The normal refinement of a fresnel facet (values: s, sp, a, b): fresnelFacetNormal with the
// surface's own refractive index.
int fresnelAltsurface(SurfaceRecord* surface, const Vec3& localPoint, Vec3& normal,
                      const double* values);

// Replaces the normal at the point (x, y) of the surface frame by the normal of the facet of a
// fresnel lens of index n there: s and sp are the facet distances, a and b the weights of x and
// y in the facet radius t = sqrt(a x^2 + b y^2). Result 1 with the facet normal; result 1 with
// the normal unchanged where t = 0 off the centre; result 0 with the normal unchanged at the
// centre, where the facet cannot be had (index below the facet slope: reported as an error),
// and beyond the facet's valid zone (beyond = 1).
int fresnelFacetNormal(const Vec3& point, double s, double sp, double n, double a, double b,
                       Vec3& normal, int& beyond);

// The direction refinement of a grating (values: frequency, orientation in degrees, order):
// diffracts the branch's local direction in a medium of the given index at the current
// wavelength. When the order does not propagate: "Error in grating spec.\n" as an error, the
// direction unchanged, result 0; else 1.
int gratingAltsurface(SurfaceRecord* surface, const Vec3& localPoint, Vec3& direction, double index,
                      const double* values);
