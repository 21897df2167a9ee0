// Speed of the ray-surface interaction: one ray against one quadric through its intercept hook,
// and the nearest hit over a row of lenses followed by the optics at the hit.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "engine/object_table.h"
#include "engine/placement.h"
#include "engine/surface_geometry.h"
#include "engine/surface_hits.h"

namespace {

constexpr int kRays = 4096;

struct Ray {
    Vec3 point, direction;
};

// A fan of rays from behind the origin towards +z, spread over about +-30 across.
std::vector<Ray> rayFan() {
    std::vector<Ray> rays(kRays);
    for (int i = 0; i < kRays; ++i) {
        const double u = (i % 64) / 63.0 - 0.5, v = (i / 64) / 63.0 - 0.5;
        rays[i].point = {60 * u, 60 * v, -100};
        rays[i].direction = {0.05 * v, -0.05 * u, 1};
    }
    return rays;
}

ObjectRecord* newObject(int type, int surfaces) {
    ObjectRecord* o = allocObjectSlot();
    if (!o) std::abort();
    initObjectRecord(o);
    o->typeCode = type;
    SurfaceRecord** link = &o->firstSurface;
    for (int i = 1; i <= surfaces; ++i) {
        SurfaceRecord* s = allocSurface();
        if (!s) std::abort();
        initSurfaceRecord(s);
        s->number = i;
        s->owner = o;
        *link = s;
        link = &s->next;
    }
    o->surfaceCount = surfaces;
    return o;
}

void placeAt(ObjectRecord* o, double z, double beta) {
    translatePlacement(0, 0, z, o->globalToLocal, o->localToGlobal);
    rotatePlacementY(beta, o->globalToLocal, o->localToGlobal);
    o->activated = o->placed = 1;
    o->traceable = 1;
    setobj(o);
}

void BM_QuadricIntercept(benchmark::State& state) {
    resetObjectTable();
    resetSurfaceHitState();
    // A concave spherical mirror of radius 200 and aperture 50, slightly tilted.
    ObjectRecord* o = newObject(kTypeMirror, 1);
    SurfaceRecord* s = o->firstSurface;
    const double R = 200;
    double* q = s->quadric;
    q[0] = q[4] = q[8] = 1;
    q[11] = -2 * R;
    s->shapeCode = kShapeSphere;
    const double e[6] = {-25, 25, -25, 25, -1, 2};
    std::copy(e, e + 6, s->extent);
    placeAt(o, 0, 2);
    const std::vector<Ray> rays = rayFan();
    long hits = 0;
    for (auto _ : state) {
        for (const Ray& r : rays) {
            resetHitBookkeeping();
            double nearest = -1.0;
            Vec3 d = r.direction;
            hits += s->intercept(s, r.point, d, nearest);
            benchmark::DoNotOptimize(nearest);
        }
    }
    if (hits == 0) std::abort();
    state.SetItemsProcessed(state.iterations() * kRays);
    resetObjectTable();
}
BENCHMARK(BM_QuadricIntercept);

} // namespace
