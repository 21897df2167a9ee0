// Hand-built objects and the intercept timing loop of the engine benchmarks: the object table is
// filled directly, so the figures measure the intercept and trace code alone.
#pragma once

#include <benchmark/benchmark.h>

#include <vector>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>

#include "engine/model/object_table.h"
#include "engine/surfaces/surface_hits.h"
#include "engine/math/vector_math.h"

namespace bench {

struct Ray {
    Vec3 point, direction;
};

// Runs every ray through the surface's own intercept hook, as the nearest search does, and
// counts one item per ray. Aborts when nothing was hit (the figure would measure misses only).
// Returns the hits of all iterations.
inline long timeIntercepts(benchmark::State& state, SurfaceRecord* s,
                           const std::vector<Ray>& rays) {
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
    state.SetItemsProcessed(state.iterations() * static_cast<long>(rays.size()));
    return hits;
}

// A defined object with `surfaces` surfaces numbered 1, 2, ...; aborts when the table is full.
inline ObjectRecord* newObject(int type, int surfaces) {
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

// F = diag . (x^2, y^2, z^2) + linear . p + constant.
inline void setQuadric(SurfaceRecord* s, Vec3 diag, Vec3 linear, double constant, int shape) {
    std::fill(std::begin(s->quadric), std::end(s->quadric), 0.0);
    s->quadric[0] = diag.x;
    s->quadric[4] = diag.y;
    s->quadric[8] = diag.z;
    s->quadric[9] = linear.x;
    s->quadric[10] = linear.y;
    s->quadric[11] = linear.z;
    s->quadric[12] = constant;
    s->shapeCode = shape;
}

// A biconvex lens of radius r on both faces, as the lens builder lays it out: faces at -t/2 and
// +t/2 (surface origins at the vertices), the edge cylinder of the diameter third. Not placed.
inline ObjectRecord* makeLensSurfaces(double r, double thickness, double diameter, double index) {
    ObjectRecord* o = newObject(kTypeLens, 3);
    SurfaceRecord* s1 = o->firstSurface;
    SurfaceRecord* s2 = s1->next;
    SurfaceRecord* s3 = s2->next;
    const double h = thickness / 2, R = diameter / 2;
    const double sag = r - std::sqrt(r * r - R * R);
    for (SurfaceRecord* s : {s1, s2, s3}) {
        s->index = index;
        const double e[6] = {-R, R, -R, R, 0, 0};
        std::copy(e, e + 6, s->extent);
    }
    setQuadric(s1, {1, 1, 1}, {0, 0, -2 * r}, 0, kShapeSphere);
    s1->side = -1;
    s1->extent[5] = sag;
    translationMatrix({0, 0, -h}, s1->surfaceToObject);
    translationMatrix({0, 0, h}, s1->objectToSurface);
    setQuadric(s2, {1, 1, 1}, {0, 0, 2 * r}, 0, kShapeSphere);
    s2->side = 1;
    s2->extent[4] = -sag;
    translationMatrix({0, 0, h}, s2->surfaceToObject);
    translationMatrix({0, 0, -h}, s2->objectToSurface);
    setQuadric(s3, {1 / (R * R), 1 / (R * R), 0}, {}, -1, kShapeCylinder);
    s3->side = -1;
    s3->extent[4] = sag - h;
    s3->extent[5] = h - sag;
    return o;
}

} // namespace bench
