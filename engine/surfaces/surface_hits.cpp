#include "engine/surfaces/surface_hits.h"

#include <cmath>

#include "command/settings/settings.h"
#include "engine/surfaces/surface_geometry.h"
#include "engine/surfaces/surface_media.h"

SurfaceHitState& surfaceHitState() {
    static SurfaceHitState s;
    return s;
}

void resetSurfaceHitState() {
    surfaceHitState() = SurfaceHitState{};
}

void findNearestIntercept(const Vec3& point, const Vec3& direction, SurfaceRecord*& surface,
                          Vec3& hitPoint, double& distance, int& noHit) {
    noHit = 0;
    surface = nullptr;
    Vec3 d = direction;
    normalize3(d);
    double nearest = -1.0;
    resetHitBookkeeping();
    const auto& table = objectTableState().objectTable;
    const int last = highestObjectIndex < kMaxObjects ? highestObjectIndex : kMaxObjects - 1;
    for (int i = 0; i <= last; ++i) {
        const ObjectRecord* o = table[i];
        if (!o || !o->activated || !o->traceable) continue;
        if (!raySphereTest(point, d, o->globalReferencePoint, o->boundingRadius)) continue;
        for (SurfaceRecord* s = o->firstSurface; s; s = s->next)
            if (s->intercept && s->intercept(s, point, d, nearest)) surface = s;
    }
    if (surface) {
        distance = nearest;
        rayPoint(hitPoint, point, d, nearest);
    } else {
        noHit = 1;
    }
}

void applyProximityGlue(double& index, const SurfaceRecord* surface) {
    const HitBookkeeping& h = hitBookkeeping;
    if (!surface || !h.nearestSurface || !h.secondSurface) return;
    if (!(proximityGlueDistance > 0)) return;
    const ObjectRecord* a = h.nearestSurface->owner;
    const ObjectRecord* b = h.secondSurface->owner;
    if (!a || !b || a->number == b->number) return;
    if (!(h.secondDistance - h.nearestDistance < proximityGlueDistance)) return;
    const SurfaceRecord* lower = a->number < b->number ? h.nearestSurface : h.secondSurface;
    index = resolveIndex(lower->index);
}
