// Speed of the ray-surface interaction: one ray against one quadric through its intercept hook,
// and the nearest hit over a row of lenses followed by the optics at the hit.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "bench/engine/bench_lens.h"
#include "command/settings/settings.h"
#include "engine/model/engine_state.h"
#include "engine/model/object_table.h"
#include "engine/optics/optics.h"
#include "engine/model/placement.h"
#include "engine/surfaces/surface_geometry.h"
#include "engine/surfaces/surface_hits.h"
#include "engine/surfaces/surface_media.h"

namespace {

constexpr int kRays = 4096;

using bench::Ray;

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

void placeAt(ObjectRecord* o, double z, double beta) {
    translatePlacement(0, 0, z, o->globalToLocal, o->localToGlobal);
    rotatePlacementY(beta, o->globalToLocal, o->localToGlobal);
    o->activated = o->placed = 1;
    o->traceable = 1;
    setobj(o);
}

void BM_QuadricIntercept(benchmark::State& state) {
    resetEngineState();
    // A concave spherical mirror of radius 200 and aperture 50, slightly tilted.
    ObjectRecord* o = bench::newObject(kTypeMirror, 1);
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
    bench::timeIntercepts(state, s, rays);
    resetEngineState();
}
BENCHMARK(BM_QuadricIntercept);

// A biconvex lens of radius r on both faces at z.
void makeLens(double z, double r, double thickness, double diameter, double index) {
    placeAt(bench::makeLensSurfaces(r, thickness, diameter, index), z, 0);
}

// The nearest hit over a row of five lenses (15 quadric surfaces, no bounding spheres, so every
// hook runs for every ray), then normal, media, refraction and Fresnel reflectance at the hit.
void BM_InterceptRefract(benchmark::State& state) {
    resetEngineState();
    fresnelOn = 1;
    constexpr int kLenses = 5;
    for (int i = 0; i < kLenses; ++i)
        makeLens(40.0 * i, 150, 12, 80, 1.5);
    const int surfaces = 3 * kLenses;
    const std::vector<Ray> rays = rayFan();
    long hits = 0;
    double sum = 0;
    for (auto _ : state) {
        for (const Ray& r : rays) {
            SurfaceRecord* s = nullptr;
            Vec3 hit, local, localDirection, out;
            double distance = 0, n2 = 1, absorptivity = 0, luminance = 0, R = 0;
            int noHit = 0, totalInternal = 0;
            findNearestIntercept(r.point, r.direction, s, hit, distance, noHit);
            if (noHit) continue;
            ++hits;
            Vec3 d = r.direction;
            normalize3(d);
            toLocalPoint(hit, local, s);
            toLocalDirection(d, localDirection, s);
            surfaceMedia(s, local, localDirection, n2, absorptivity, luminance);
            refractRay(s, local, localDirection, 1.0, n2, out, totalInternal, R);
            sum += R + out.z;
        }
    }
    benchmark::DoNotOptimize(sum);
    if (hits == 0) std::abort();
    state.SetItemsProcessed(state.iterations() * kRays * surfaces);
    state.counters["hit share"] = double(hits) / (double(state.iterations()) * kRays);
    resetEngineState();
}
BENCHMARK(BM_InterceptRefract);

} // namespace
