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
