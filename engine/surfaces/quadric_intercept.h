// The intercept of a quadric surface, inline: the nearest search of the bundle tracer calls it for
// every surface of every step, so it must cost no call, no hook and no second normalisation
// there. interceptQuadricSurface (the surfaces' default hook) is the same code behind the hook.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

#include "engine/surfaces/surface_geometry.h"
#include "engine/surfaces/surface_hits.h"

// True when the local point at distance t along the local direction lies within the surface's
// extents (tolerance 0.00001 where the outline allows it) and outside its hole.
inline bool withinSurfaceExtents(const Vec3& localPoint, const Vec3& localDirection, double t,
                                 const SurfaceRecord* surface) {
    const Vec3 p{localPoint.x + t * localDirection.x, localPoint.y + t * localDirection.y,
                 localPoint.z + t * localDirection.z};
    const double* e = surface->extent;
    constexpr double tol = kExtentTolerance;
    if (!(p.z >= e[4] - tol && p.z <= e[5] + tol)) return false;

    const bool severalSurfaces = surface->owner && surface->owner->surfaceCount > 1;
    const int edge = severalSurfaces ? 0 : surface->edgeType;
    if (edge == 1) {
        const double ha = (e[1] - e[0]) / 2, hb = (e[3] - e[2]) / 2;
        const double dx = p.x - (e[1] + e[0]) / 2, dy = p.y - (e[3] + e[2]) / 2;
        if (!(dx * dx / (ha * ha) + dy * dy / (hb * hb) <= 1)) return false;
    } else if (edge == 2) {
        if (!(p.x >= e[0] && p.x <= e[1] && p.y >= e[2] && p.y <= e[3])) return false;
    } else {
        // The box, for the box outline and for any outline type without its own rule.
        if (!(p.x >= e[0] - tol && p.x <= e[1] + tol && p.y >= e[2] - tol && p.y <= e[3] + tol))
            return false;
    }

    if (!surface->hasHole) return true;
    const double* h = surface->holeLimits;
    if (surface->holeShape == 1) {
        const double hx = (h[1] - h[0]) / 2, hy = (h[3] - h[2]) / 2;
        const double dx = (p.x - (h[1] + h[0]) / 2) / hx, dy = (p.y - (h[3] + h[2]) / 2) / hy;
        // A hole without width cuts nothing (0/0 compares false and keeps the point).
        return !(dx * dx + dy * dy < 1);
    }
    if (surface->holeShape == 2) return p.x <= h[0] || p.x >= h[1] || p.y <= h[2] || p.y >= h[3];
    return true;
}

namespace quadric_detail {

// A's six off-diagonal terms are all zero (either sign): one test on their bits, not six
// floating-point comparisons.
inline bool offDiagonalZero(const double* q) {
    std::uint64_t bits[9];
    std::memcpy(bits, q, sizeof bits);
    return ((bits[1] | bits[2] | bits[3] | bits[5] | bits[6] | bits[7]) << 1) == 0;
}

// A v for the 3x3 part of a quadric. Every shape the builders make has a diagonal A; skipping
// its zero terms adds nothing but zeros to the sums, so the result is the same to the last bit.
inline Vec3 multiplyA(const double* q, const Vec3& v, bool diagonal) {
    if (diagonal) return {q[0] * v.x, q[4] * v.y, q[8] * v.z};
    return {q[0] * v.x + q[1] * v.y + q[2] * v.z, q[3] * v.x + q[4] * v.y + q[5] * v.z,
            q[6] * v.x + q[7] * v.y + q[8] * v.z};
}

// One root: accepted when it lies ahead (after the self-hit rule), within the extents and, on
// lenses and rods, inside the object. Accepted roots go into the hit bookkeeping.
inline bool acceptRoot(SurfaceRecord* surface, double& t, const Vec3& localPoint,
                       const Vec3& localDirection, const Vec3& point, const Vec3& direction) {
    rejectSelfHit(surface, t);
    if (!(t > 0)) return false;
    if (!withinSurfaceExtents(localPoint, localDirection, t, surface)) return false;
    const ObjectRecord* owner = surface->owner;
    if (owner && (owner->typeCode == kTypeLens || owner->typeCode == kTypeRod) &&
        !insideObjectTest(owner, surface, point, direction, t))
        return false;
    noteHitDistance(t, surface);
    return true;
}

} // namespace quadric_detail

namespace quadric_detail {

// Every accepted root lies within the extents' z range, so a ray that stays outside it, or that
// reaches it only beyond the nearest hit so far, has no root worth solving for. pz and dz: the
// local z of the start and of the direction as turned (before it is made unit).
[[gnu::always_inline]] inline bool missesZRange(const SurfaceRecord* surface, double pz, double dz,
                                                double nearest, bool glue) {
    const double zLow = surface->extent[4] - kExtentTolerance;
    const double zHigh = surface->extent[5] + kExtentTolerance;
    if ((pz > zHigh && dz >= 0) || (pz < zLow && dz <= 0)) return true;
    // Without proximity glue nobody reads the second-nearest bookkeeping, so a root that cannot
    // beat the nearest hit so far needs no solving, and none of the extent and inside tests.
    // (The aspheric and toric intercepts, which read which roots were taken, always start from
    // no hit.)
    if (nearest > 0 && !glue) {
        // The distance to the z range along the (unit to rounding) direction, with a margin
        // for that rounding: a root there cannot beat the nearest.
        const double reach = nearest * (1 + 1e-9) + 1e-9;
        if ((dz > 0 && zLow - pz > reach * dz) || (dz < 0 && pz - zHigh > reach * -dz))
            return true;
    }
    return false;
}

// The roots for the ray already in the surface's frame: p the local start, d the local
// direction made unit. rootsRead: the caller reads secondRootTaken and otherRoot; when it does
// not and there is no glue, a second root no nearer than the first one taken needs no tests.
[[gnu::always_inline]] inline int solveLocal(SurfaceRecord* surface, const Vec3& point,
                                             const Vec3& unit, const Vec3& p, const Vec3& d,
                                             double& nearest, bool glue, bool rootsRead) {
    const bool mayPrune = nearest > 0 && !glue;
    const double bound = nearest;
    const double* q = surface->quadric;
    const bool diagonal = offDiagonalZero(q);
    const Vec3 ap = multiplyA(q, p, diagonal);
    const Vec3 ad = multiplyA(q, d, diagonal);
    const double a = dot3(d, ad);
    const double b = q[9] * d.x + q[10] * d.y + q[11] * d.z + dot3(d, ap) + dot3(p, ad);
    const double c = dot3(p, ap) + q[9] * p.x + q[10] * p.y + q[11] * p.z + q[12];

    const double disc = b * b - 4 * a * c;
    if (disc < 0 || (a == 0 && b == 0)) return 0;
    double t1, t2 = 0;
    int roots = 2;
    if (a == 0) {
        t1 = -c / b;
        roots = 1;
    } else if (disc == 0) {
        t1 = -b / (2 * a);
        roots = 1;
    } else {
        // The stable pair: no cancellation between b and the root of the discriminant.
        const double s = b >= 0 ? 1.0 : -1.0;
        const double qq = -(b + s * std::sqrt(disc)) / 2;
        t1 = qq / a;
        t2 = c / qq;
    }

    int improved = 0;
    const bool first = !(mayPrune && t1 >= bound) && acceptRoot(surface, t1, p, d, point, unit);
    if (first && (nearest < 0 || nearest > t1)) {
        nearest = t1;
        ++improved;
    }
    if (roots == 1) return improved;

    const bool secondPruned = rootsRead ? mayPrune && t2 >= bound
                                        : !glue && nearest > 0 && t2 >= nearest;
    const bool second = !secondPruned && acceptRoot(surface, t2, p, d, point, unit);
    bool secondNearest = false;
    if (second && (nearest <= 0 || nearest > t2)) {
        nearest = t2;
        ++improved;
        secondNearest = true;
    }
    if (first && second) secondRootTaken = 1;
    otherRoot = secondNearest ? t1 : t2;
    return improved;
}

} // namespace quadric_detail

// The roots of the surface's quadric along the ray, each accepted as acceptRoot says; returns how
// many improved `nearest` (negative: no hit yet). `given` is the global direction the local one
// is turned from, `unit` the same made unit (the distances are along it). `glue`: proximity glue
// is on, so every accepted root must reach the second-nearest bookkeeping. `rootsRead`: the
// caller reads secondRootTaken and otherRoot (the nearest-hit search does not).
[[gnu::always_inline]] inline int quadricIntercept(SurfaceRecord* surface, const Vec3& point,
                                                   const Vec3& given, const Vec3& unit,
                                                   double& nearest, bool glue,
                                                   bool rootsRead = true) {
    secondRootTaken = 0;
    // The local z of the start and of the direction first (the same sums the frame changes make).
    const PlacementMatrix& m = surface->globalToSurface;
    const double pz = point.x * m[0][2] + point.y * m[1][2] + point.z * m[2][2] + m[3][2];
    const double dz = given.x * m[0][2] + given.y * m[1][2] + given.z * m[2][2];
    if (quadric_detail::missesZRange(surface, pz, dz, nearest, glue)) return 0;
    // The local direction is made unit on its own (a turn keeps lengths only to rounding).
    Vec3 p, d;
    toLocalPoint(point, p, surface);
    toLocalDirection(given, d, surface);
    normalizeNearUnit(d);
    return quadric_detail::solveLocal(surface, point, unit, p, d, nearest, glue, rootsRead);
}

// A ray turned into the frames of several surfaces whose matrices share their rotation (to the
// bit; they may differ in where they put the origin): the turn made once serves each of them as
// its own would. A frame change sums the turned components first and adds the origin last, so
// the start turned once plus each surface's own origin is that surface's local start to the bit.
struct TurnedRay {
    Vec3 start;  // the start turned, before any origin is added
    Vec3 turned; // the direction as turned
    Vec3 unit;   // that made unit
};

inline void turnRay(const Vec3& start, const Vec3& direction, const SurfaceRecord* frame,
                    TurnedRay& out) {
    const PlacementMatrix& m = frame->globalToSurface;
    out.start = {start.x * m[0][0] + start.y * m[1][0] + start.z * m[2][0],
                 start.x * m[0][1] + start.y * m[1][1] + start.z * m[2][1],
                 start.x * m[0][2] + start.y * m[1][2] + start.z * m[2][2]};
    toLocalDirection(direction, out.turned, frame);
    out.unit = out.turned;
    normalizeNearUnit(out.unit);
}

// quadricIntercept for the nearest-hit search, for a surface whose rotation turns the ray from
// `point` along `unit` (the global direction, unit already) into `turn`.
[[gnu::always_inline]] inline int quadricInterceptTurned(SurfaceRecord* surface,
                                                         const Vec3& point, const Vec3& unit,
                                                         const TurnedRay& turn,
                                                         double& nearest, bool glue) {
    secondRootTaken = 0;
    const PlacementMatrix& m = surface->globalToSurface;
    const Vec3 p{turn.start.x + m[3][0], turn.start.y + m[3][1], turn.start.z + m[3][2]};
    if (quadric_detail::missesZRange(surface, p.z, turn.turned.z, nearest, glue)) return 0;
    return quadric_detail::solveLocal(surface, point, unit, p, turn.unit, nearest, glue, false);
}
