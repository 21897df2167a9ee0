#include "engine/surfaces/surface_geometry.h"

#include <cmath>

#include "command/settings/settings.h"
#include "engine/surfaces/alt_surfaces.h"
#include "engine/surfaces/quadric_intercept.h"
#include "engine/surfaces/surface_hits.h"

namespace {
inline double rawQuadricValue(const double* q, const Vec3& p) {
    const Vec3 ap = quadric_detail::multiplyA(q, p, quadric_detail::offDiagonalZero(q));
    return dot3(p, ap) + q[9] * p.x + q[10] * p.y + q[11] * p.z + q[12];
}
// quadricValue without the call: the inside test makes it for every root on a lens face.
inline double snappedQuadricValue(const SurfaceRecord* surface, const Vec3& localPoint) {
    const double f = rawQuadricValue(surface->quadric, localPoint);
    return std::fabs(f) <= kQuadricZero ? 0.0 : f;
}
} // namespace

int interceptQuadricSurface(SurfaceRecord* surface, const Vec3& point, Vec3& direction,
                            double& nearest) {
    // The local direction comes from the direction as given; the caller's copy is made unit
    // afterwards (the search hands over one that is unit already).
    const Vec3 given = direction;
    normalizeNearUnit(direction);
    return quadricIntercept(surface, point, given, direction, nearest, proximityGlueDistance > 0);
}

int surfaceExtentTest(const Vec3& localPoint, const Vec3& localDirection, double t,
                      const SurfaceRecord* surface) {
    return withinSurfaceExtents(localPoint, localDirection, t, surface) ? 1 : 0;
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
        if (snappedQuadricValue(s, local) > 0) return 0;
    }
    return 1;
}

double quadricValue(const SurfaceRecord* surface, const Vec3& localPoint) {
    return snappedQuadricValue(surface, localPoint);
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
                   Vec3& normal, const Vec3* known) {
    if (known)
        normal = *known;
    else
        hookNormal(surface, localPoint, normal);
    const AltSurfaceSlot& slot = altSurfaceSlots[kNormalRefinement];
    if (slot.present && slot.routine.normalRefinement)
        slot.routine.normalRefinement(surface, localPoint, normal, slot.values);
    faceNormalAgainstRay(localDirection, normal);
}
