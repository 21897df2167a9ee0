#include "engine/commands/snug_workbox.h"

#include <algorithm>

#include "command/settings/settings.h"
#include "engine/polynet/polynet_records.h"

namespace {

struct Box {
    Vec3 lo, hi;
    void start(const Vec3& p) { lo = hi = p; }
    void widen(const Vec3& p) {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
};

void widenBySurfacePoint(Box& box, const SurfaceRecord* surface, const Vec3& local) {
    Vec3 global;
    transformPoint(local, global, surface->surfaceToGlobal);
    box.widen(global);
}

void widenByExtentCorners(Box& box, const SurfaceRecord* surface) {
    const double* e = surface->extent;
    for (int corner = 0; corner < 8; ++corner) {
        Vec3 p{e[corner & 1 ? 1 : 0], e[corner & 2 ? 3 : 2], e[corner & 4 ? 5 : 4]};
        widenBySurfacePoint(box, surface, p);
    }
}

void widenByObject(Box& box, const ObjectRecord* object) {
    const SurfaceRecord* first = object->firstSurface;
    if (!first) return;
    if (object->typeCode == kTypeLightSource || object->typeCode == kTypeAxis) {
        widenBySurfacePoint(box, first, object->referencePoint);
        return;
    }
    if (object->typeCode == kTypePolynet) {
        const auto* part = static_cast<const PolynetRecord*>(first->typeData);
        if (!part) return;
        for (const PolygonRecord* p = part->firstPolygon; p; p = p->nextPolygon)
            for (const ContourNode* c = p->firstContour; c; c = c->nextContour)
                for (const VertexNode* v = c->firstVertex; v; v = v->next)
                    if (v->point) widenBySurfacePoint(box, first, *v->point);
        return;
    }
    for (const SurfaceRecord* s = first; s; s = s->next)
        widenByExtentCorners(box, s);
}

} // namespace

void snugWorkbox() {
    Box box;
    bool started = false;
    for (int i = 0; i <= highestObjectIndex; ++i) {
        const ObjectRecord* object = getObject(i);
        if (!object || !object->activated || !object->placed || !object->firstSurface) continue;
        if (!started) {
            Vec3 seed;
            transformPoint(object->referencePoint, seed, object->firstSurface->surfaceToGlobal);
            box.start(seed);
            started = true;
        }
        widenByObject(box, object);
    }
    if (!started) return;
    const double lo[3] = {box.lo.x, box.lo.y, box.lo.z};
    const double hi[3] = {box.hi.x, box.hi.y, box.hi.z};
    for (int k = 0; k < 3; ++k) {
        workbox.center[k] = (lo[k] + hi[k]) / 2;
        workbox.halfSize[k] = (hi[k] - lo[k]) / 2;
        if (workbox.halfSize[k] == 0) workbox.halfSize[k] = 1;
    }
}
