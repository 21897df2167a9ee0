// Facet preparation and the geometric tests on one facet: its plane, the two axes it is tested
// in, its box, the point-in-polygon rule and the crossing of a ray.
#pragma once

#include <algorithm>
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

// How far from an edge (along u) a point still lies on it.
inline constexpr double kEdgeTolerance = 1e-9;

// One edge (ua, va) -> (ub, vb) of a contour in the even-odd rule for the point (u, v):
// true when the point lies on the edge (the rule's answer is then the outline's), else the
// edge toggles `crossings` when it counts. Crossings are counted on the side of smaller u. An
// edge counts when one end lies strictly above the point's level and the other at or below it:
// a vertex exactly at that level is then counted once when the contour passes through the level
// there and an even number of times when it only touches it, and an edge lying along the level
// never counts by itself, so that a point level with such an edge beyond the facet stays
// outside.
inline bool evenOddEdge(double u, double v, double ua, double va, double ub, double vb,
                        int& crossings) {
    if (u == ua && v == va) return true;
    if (va == vb) return v == va && u >= std::min(ua, ub) && u <= std::max(ua, ub);
    if (v < std::min(va, vb) || v > std::max(va, vb)) return false;
    double uc = ua + (v - va) * (ub - ua) / (vb - va);
    if (std::fabs(u - uc) <= kEdgeTolerance) return true;
    if ((va > v) != (vb > v) && u > uc) crossings ^= 1;
    return false;
}

// Even-odd rule over every contour, in the facet's dominant axes. A point on a vertex, on a
// facet edge or within 1e-9 of one (along u) is inside.
int polynetPointInPolygon(const PolygonRecord* polygon, double u, double v);
// The same rule, but a point on the outline or within 1e-9 of it is not inside.
int polynetPointWithinPolygon(const PolygonRecord* polygon, double u, double v);

// Where a ray (unit direction) crosses a facet's plane within its limits: the distance when it
// is above 1e-9 and not beyond `farthest`, with the crossing's coordinates on the two dominant
// axes; else 0. `Plane` is a facet record or a copy of its plane, limits and axes under the same
// names: both take this one sequence of operations, so a copy gives the record's results to the
// last bit. The plane and limit tests are evaluated together without branching: across a net
// their outcomes are close to random, and only the few facets that pass all of them go on to
// the polygon test.
template <class Plane>
inline double facetPlaneCrossing(const Plane& p, const Vec3& origin, const Vec3& direction,
                                 double farthest, double& u, double& v) {
    double dn = dot3(p.normal, direction);
    double t = (p.planeConstant - dot3(p.normal, origin)) / dn; // not finite when dn is 0
    Vec3 hit = origin + t * direction;
    u = axisValue(hit, p.dominantAxes[0]);
    v = axisValue(hit, p.dominantAxes[1]);
    bool candidate = (dn != 0) & (t > kFacetHitMinimum) & (t <= farthest) & (u >= p.limits[0]) &
                     (u <= p.limits[2]) & (v >= p.limits[1]) & (v <= p.limits[3]);
    return candidate ? t : 0;
}

// Where a ray (unit direction) crosses the facet: the distance when it is above 1e-9 and not
// beyond `farthest`, and the crossing lies within the limits and inside the polygon; else 0.
inline double facetRayDistance(const PolygonRecord* p, const Vec3& origin, const Vec3& direction,
                               double farthest = HUGE_VAL) {
    double u, v;
    double t = facetPlaneCrossing(*p, origin, direction, farthest, u, v);
    if (t == 0) return 0;
    return polynetPointInPolygon(p, u, v) ? t : 0;
}

// The point lies on the facet: within `planeTolerance` of its plane, within its limits and
// inside the polygon.
bool facetContainsPoint(const PolygonRecord* polygon, const Vec3& point, double planeTolerance);
