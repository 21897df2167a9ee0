// Facet preparation and the geometric tests on one facet: its plane, the two axes it is tested
// in, its box, the point-in-polygon rule and the crossing of a ray.
#pragma once

#include <cmath>

#include "engine/polynet/polynet_records.h"

// Smallest distance along a ray at which a facet counts as hit.
inline constexpr double kFacetHitMinimum = 1e-9;

// The four preparation steps of one facet, in order.
// 1. Unit normal and plane constant from the first contour: the first vertex p0, the next
//    vertex p1 that differs from it, and the first later vertex p2 whose direction from p0 is
//    not parallel to p1's. The reversed mark turns the normal round. A facet without such
//    vertices keeps a zero normal and is never hit.
void polygonNormal(PolygonRecord* polygon);
// 2. The two dominant axes: the axes other than that of the largest normal component (y wins
//    over x only when strictly larger, z wins over both when at least as large).
void polygonDominantAxes(PolygonRecord* polygon);
// 3. Centroid (centre of the bounding box of every vertex) and limits along the dominant axes,
//    widened outward by 1e-7 of their range.
void polygonCentroidAndLimits(PolygonRecord* polygon);
// 4. Extremum flags on the second dominant axis. A contour of a single vertex gives the error
//    "Single point polynet chain has been found.\n" (returns 0).
int polygonExtremumFlags(PolygonRecord* polygon);
// All four.
void polynetPreparePolygon(PolygonRecord* polygon);
// Every facet of every part.
void polynetPrepare(PolynetRecord* net);

// Even-odd rule over every contour, in the facet's dominant axes. A point on a vertex, on a
// facet edge or within 1e-9 of one (along u) is inside.
int polynetPointInPolygon(const PolygonRecord* polygon, double u, double v);
// The same rule, but a point on the outline or within 1e-9 of it is not inside.
int polynetPointWithinPolygon(const PolygonRecord* polygon, double u, double v);

// Where a ray (unit direction) crosses the facet: the distance when it is above 1e-9 and not
// beyond `farthest`, and the crossing lies within the limits and inside the polygon; else 0.
// The plane and limit tests are evaluated together without branching: across a net their
// outcomes are close to random, and only the few facets that pass all of them go on to the
// polygon test.
inline double facetRayDistance(const PolygonRecord* p, const Vec3& origin, const Vec3& direction,
                               double farthest = HUGE_VAL) {
    double dn = dot3(p->normal, direction);
    double t = (p->planeConstant - dot3(p->normal, origin)) / dn; // not finite when dn is 0
    Vec3 hit = origin + t * direction;
    double u = axisValue(hit, p->dominantAxes[0]);
    double v = axisValue(hit, p->dominantAxes[1]);
    bool candidate = (dn != 0) & (t > kFacetHitMinimum) & (t <= farthest) & (u >= p->limits[0]) &
                     (u <= p->limits[2]) & (v >= p->limits[1]) & (v <= p->limits[3]);
    if (!candidate) return 0;
    return polynetPointInPolygon(p, u, v) ? t : 0;
}

// The point lies on the facet: within `planeTolerance` of its plane, within its limits and
// inside the polygon.
bool facetContainsPoint(const PolygonRecord* polygon, const Vec3& point, double planeTolerance);
