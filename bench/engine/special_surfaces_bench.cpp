// Speed of the intercept hooks of aspheric, toric and CPC surfaces: one ray against one surface
// in a turned and moved frame, through the surface's own hook (base intercept, refinement or
// roots, bookkeeping).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "bench/engine/bench_lens.h"
#include "command/settings/settings.h"
#include "engine/surfaces/alt_surfaces.h"
#include "engine/surfaces/aspheric_surfaces.h"
#include "engine/surfaces/cpc_surfaces.h"
#include "engine/model/object_table.h"
#include "engine/model/engine_state.h"
#include "engine/model/placement.h"
#include "engine/surfaces/surface_geometry.h"
#include "engine/surfaces/surface_hits.h"
#include "engine/surfaces/toric_surfaces.h"
#include "engine/model/user_parameters.h"

namespace {

constexpr int kRays = 4096;

using bench::Ray;

SurfaceRecord* newSurfaceObject(int type) {
    ObjectRecord* o = allocObjectSlot();
    SurfaceRecord* s = allocSurface();
    if (!o || !s) std::abort();
    initObjectRecord(o);
    initSurfaceRecord(s);
    o->typeCode = type;
    o->firstSurface = s;
    o->surfaceCount = 1;
    o->traceable = 1;
    s->number = 1;
    s->owner = o;
    return s;
}

// Turned about x and y and moved, so that every ray goes through a full frame change.
void place(ObjectRecord* o) {
    translatePlacement(3, -2, 50, o->globalToLocal, o->localToGlobal);
    rotatePlacementY(12, o->globalToLocal, o->localToGlobal);
    rotatePlacementX(-7, o->globalToLocal, o->localToGlobal);
    o->activated = o->placed = 1;
    setobj(o);
}

// Rays from a plane 60 in front of the surface to points of the face within `reach` of its
// axis, in the surface's frame, then taken to the global frame.
std::vector<Ray> raysAt(const SurfaceRecord* s, double reach, double sagAt(double, double)) {
    std::vector<Ray> rays(kRays);
    for (int i = 0; i < kRays; ++i) {
        const double u = (i % 64) / 63.0 - 0.5, v = (i / 64) / 63.0 - 0.5;
        const Vec3 target{2 * reach * u * 0.7, 2 * reach * v * 0.7, 0};
        const Vec3 onFace{target.x, target.y, sagAt(target.x, target.y)};
        const Vec3 from{onFace.x * 0.5 + 10 * v, onFace.y * 0.5 - 10 * u, -60};
        Vec3 a, b;
        transformPoint(from, a, s->surfaceToGlobal);
        transformPoint(onFace, b, s->surfaceToGlobal);
        rays[i] = {a, b - a};
        normalize3(rays[i].direction);
    }
    return rays;
}

void run(benchmark::State& state, SurfaceRecord* s, const std::vector<Ray>& rays) {
    const long hits = bench::timeIntercepts(state, s, rays);
    state.counters["hit share"] = double(hits) / (double(state.iterations()) * kRays);
}

SurfaceRecord* asphere = nullptr;
double asphereSag(double x, double y) {
    return asphericSagAt(asphere, x, y);
}

void BM_AsphericIntercept(benchmark::State& state) {
    resetEngineState();
    // An even asphere of diameter 40 on a hyperbolic base, with all four polynomial terms.
    SurfaceRecord* s = newSurfaceObject(kTypeMirror);
    const double e[6] = {-20, 20, -20, 20, -1, 1};
    std::copy(e, e + 6, s->extent);
    s->edgeType = 1;
    AltSurfaceRecord* r = newAltSurfaceRecord();
    const double v[9] = {0.015, -1.6, 2e-6, -1e-9, 4e-13, -1e-16, 0, 0, 0};
    std::copy(v, v + 9, r->values);
    r->kind = kInterceptRefinement;
    r->routineName = "aspheric";
    r->valueCount = 10;
    appendAltSurface(s, r);
    setupAsphericSurface(s, v[0], v[1], 40);
    installAsphericHooks(s);
    place(s->owner);
    asphere = s;
    run(state, s, raysAt(s, 20, asphereSag));
    resetEngineState();
}
BENCHMARK(BM_AsphericIntercept);

ToricProfile torus;
double torusSag(double x, double y) {
    double z = 0;
    yrevSag(torus, x, y, z);
    return z;
}

void BM_ToricIntercept(benchmark::State& state) {
    resetEngineState();
    // rx 60, ry 150 over an outline of 40 x 30.
    SurfaceRecord* s = newSurfaceObject(kTypeMirror);
    const double e[6] = {-20, 20, -15, 15, -1, 1};
    std::copy(e, e + 6, s->extent);
    AltSurfaceRecord* r = newAltSurfaceRecord();
    r->values[0] = 60;
    r->values[1] = 150;
    r->values[3] = 1 / 60.0;
    r->values[4] = 1 / 150.0;
    r->kind = kInterceptRefinement;
    r->routineName = "toric";
    r->valueCount = 10;
    appendAltSurface(s, r);
    torus = {1 / 60.0, 1 / 150.0, 0};
    toricState().yrevStatus = 0; // no diagnostics while timing
    if (!toricSetup(s, torus.cvx, torus.cvy, 0)) std::abort();
    setToricHooks(s);
    place(s->owner);
    run(state, s, raysAt(s, 15, torusSag));
    resetEngineState();
}
BENCHMARK(BM_ToricIntercept);

void BM_CpcIntercept(benchmark::State& state) {
    resetEngineState();
    // Input 20, output 70 degrees, exit radius 10: wall from z = 6 to 98, entrance radius 27.
    SurfaceRecord* s = newSurfaceObject(kTypeMirror);
    const char* const names[] = {"input_angle", "output_angle", "radius_exit", " "};
    const double values[] = {20, 70, 10};
    if (!allocUserParameters(s->owner, 3, names)) std::abort();
    setUserParameters(s->owner, values);
    s->intercept = cpc_intercept;
    s->normal = cpc_normal;
    place(s->owner);
    // Rays from beyond the entrance towards points of the wall, most at angles to the axis that
    // the CPC accepts, some meridional, some skew.
    std::vector<Ray> rays(kRays);
    for (int i = 0; i < kRays; ++i) {
        const double u = (i % 64) / 63.0, v = (i / 64) / 63.0;
        const Vec3 from{30 * (u - 0.5), 30 * (v - 0.5), 130};
        const double angle = 6.283185307179586 * u * 7, z = 10 + 85 * v;
        const double radius = 10 + 17 * (z - 6) / 92;
        const Vec3 to{radius * std::cos(angle), radius * std::sin(angle), z};
        Vec3 a, b;
        transformPoint(from, a, s->surfaceToGlobal);
        transformPoint(to, b, s->surfaceToGlobal);
        rays[i] = {a, b - a};
        normalize3(rays[i].direction);
    }
    run(state, s, rays);
    resetEngineState();
}
BENCHMARK(BM_CpcIntercept);

} // namespace
