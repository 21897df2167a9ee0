#include "engine/surfaces/surface_geometry.h"

#include <cmath>

#include "command/settings/settings.h"
#include "engine/surfaces/alt_surfaces.h"
#include "engine/surfaces/surface_hits.h"

namespace {
// The quadric's pieces: A row by row, L, constant.
inline void multiplyA(const double* q, const Vec3& v, Vec3& out) {
    out = {q[0] * v.x + q[1] * v.y + q[2] * v.z, q[3] * v.x + q[4] * v.y + q[5] * v.z,
           q[6] * v.x + q[7] * v.y + q[8] * v.z};
}

inline double rawQuadricValue(const double* q, const Vec3& p) {
    Vec3 ap;
    multiplyA(q, p, ap);
    return dot3(p, ap) + q[9] * p.x + q[10] * p.y + q[11] * p.z + q[12];
}

inline bool isLensOrRod(const ObjectRecord* object) {
    return object && (object->typeCode == kTypeLens || object->typeCode == kTypeRod);
}

// One root of the quadric intercept: 1 when it is accepted (ahead, within the extents, inside a
// lens or rod), after the self-hit rule. Accepted roots go into the hit bookkeeping.
inline bool acceptRoot(SurfaceRecord* surface, double& t, const Vec3& localPoint,
                       const Vec3& localDirection, const Vec3& point, const Vec3& direction) {
    rejectSelfHit(surface, t);
    if (!(t > 0)) return false;
    if (!surfaceExtentTest(localPoint, localDirection, t, surface)) return false;
    if (isLensOrRod(surface->owner) &&
        !insideObjectTest(surface->owner, surface, point, direction, t))
        return false;
    noteHitDistance(t, surface);
    return true;
}
} // namespace

int interceptQuadricSurface(SurfaceRecord* surface, const Vec3& point, Vec3& direction,
                            double& nearest) {
    secondRootTaken = 0;
    // The local direction is made unit on its own (a turn keeps lengths), so that the caller's
    // normalisation does not lie on the path to the roots.
    Vec3 p, d;
    toLocalPoint(point, p, surface);
    toLocalDirection(direction, d, surface);
    normalizeNearUnit(d);
    normalizeNearUnit(direction);

    const double* q = surface->quadric;
    Vec3 ap, ad;
    multiplyA(q, p, ap);
    multiplyA(q, d, ad);
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

    // Without proximity glue nobody reads the second-nearest bookkeeping, so a root that cannot
    // beat the nearest hit so far needs none of the extent and inside tests. (The aspheric
    // intercept, which reads which roots were taken, always starts from no hit.)
    const bool mayPrune = nearest > 0 && !(proximityGlueDistance > 0);
    if (mayPrune && t1 >= nearest && (roots == 1 || t2 >= nearest)) return 0;

    int improved = 0;
    const bool first = acceptRoot(surface, t1, p, d, point, direction);
    if (first && (nearest < 0 || nearest > t1)) {
        nearest = t1;
        ++improved;
    }
    if (roots == 1) return improved;

    const bool second = acceptRoot(surface, t2, p, d, point, direction);
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

int surfaceExtentTest(const Vec3& localPoint, const Vec3& localDirection, double t,
                      const SurfaceRecord* surface) {
    const Vec3 p{localPoint.x + t * localDirection.x, localPoint.y + t * localDirection.y,
                 localPoint.z + t * localDirection.z};
    const double* e = surface->extent;
    constexpr double tol = kExtentTolerance;
    if (!(p.z >= e[4] - tol && p.z <= e[5] + tol)) return 0;

    const bool severalSurfaces = surface->owner && surface->owner->surfaceCount > 1;
    const int edge = severalSurfaces ? 0 : surface->edgeType;
    if (edge == 1) {
        const double ha = (e[1] - e[0]) / 2, hb = (e[3] - e[2]) / 2;
        const double dx = p.x - (e[1] + e[0]) / 2, dy = p.y - (e[3] + e[2]) / 2;
        if (!(dx * dx / (ha * ha) + dy * dy / (hb * hb) <= 1)) return 0;
    } else if (edge == 2) {
        if (!(p.x >= e[0] && p.x <= e[1] && p.y >= e[2] && p.y <= e[3])) return 0;
    } else {
        // The box, for the box outline and for any outline type without its own rule.
        if (!(p.x >= e[0] - tol && p.x <= e[1] + tol && p.y >= e[2] - tol && p.y <= e[3] + tol))
            return 0;
    }

    if (!surface->hasHole) return 1;
    const double* h = surface->holeLimits;
    if (surface->holeShape == 1) {
        const double hx = (h[1] - h[0]) / 2, hy = (h[3] - h[2]) / 2;
        const double dx = (p.x - (h[1] + h[0]) / 2) / hx, dy = (p.y - (h[3] + h[2]) / 2) / hy;
        // A hole without width cuts nothing (0/0 compares false and keeps the point).
        return !(dx * dx + dy * dy < 1);
    }
    if (surface->holeShape == 2) return p.x <= h[0] || p.x >= h[1] || p.y <= h[2] || p.y >= h[3];
    return 1;
}

int insideObjectTest(const ObjectRecord* object, const SurfaceRecord* surface, const Vec3& point,
                     const Vec3& direction, double t) {
    if (!object || !surface) return 1;
    Vec3 hit;
    rayPoint(hit, point, direction, t);
    const int hitNumber = surface->number;
    const bool doublet = object->typeCode == kTypeLens && object->surfaceCount == 5;
    if (doublet && hitNumber != 1 && hitNumber != 2 && hitNumber != 4) return 1;
    for (const SurfaceRecord* s = object->firstSurface; s; s = s->next) {
        bool tested =
            doublet ? (s->number == 3 || s->number == 5) : (s->number == 3 && hitNumber != 3);
        if (!tested) continue;
        Vec3 local;
        toLocalPoint(hit, local, s);
        if (quadricValue(s, local) > 0) return 0;
    }
    return 1;
}

double quadricValue(const SurfaceRecord* surface, const Vec3& localPoint) {
    double f = rawQuadricValue(surface->quadric, localPoint);
    return std::fabs(f) <= kQuadricZero ? 0.0 : f;
}

void quadricNormal(SurfaceRecord* surface, const Vec3& localPoint, Vec3& normal) {
    const double* q = surface->quadric;
    if (surface->shapeCode == kShapeLinearNormal) {
        normal = {q[9], q[10], q[11]};
        return;
    }
    const Vec3& p = localPoint;
    Vec3 n{(q[0] + q[0]) * p.x + (q[1] + q[3]) * p.y + (q[2] + q[6]) * p.z + q[9],
           (q[3] + q[1]) * p.x + (q[4] + q[4]) * p.y + (q[5] + q[7]) * p.z + q[10],
           (q[6] + q[2]) * p.x + (q[7] + q[5]) * p.y + (q[8] + q[8]) * p.z + q[11]};
    const double len2 = dot3(n, n);
    if (!(len2 > 0)) {
        // The gradient vanishes at a cone's apex: no direction is better than the axis.
        normal = {0, 0, 1};
        return;
    }
    normal = (1 / std::sqrt(len2)) * n;
}

void surfaceNormal(SurfaceRecord* surface, const Vec3& localPoint, const Vec3& localDirection,
                   Vec3& normal) {
    if (surface->normal)
        surface->normal(surface, localPoint, normal);
    else
        quadricNormal(surface, localPoint, normal);
    const AltSurfaceSlot& slot = altSurfaceSlots[kNormalRefinement];
    if (slot.present && slot.routine.normalRefinement)
        slot.routine.normalRefinement(surface, localPoint, normal, slot.values);
    faceNormalAgainstRay(localDirection, normal);
}
