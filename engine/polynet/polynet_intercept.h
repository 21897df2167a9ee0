// The intercept hook of polygon-net surfaces and the check that turns every facet normal
// outward.
#pragma once

#include "engine/polynet/polynet_records.h"
#include "engine/surfaces/surface_hits.h"

// Receives every net hit distance for the model-wide nearest / second-nearest bookkeeping (the
// trace core's own by default; tests may watch the hits through another).
using HitDistanceHook = void (*)(double distance, SurfaceRecord* surface);

struct PolynetTraceState {
    int lastHitFacet = -1;      // 1-based facet of the last accepted hit, -1 for none
    long equalDistanceHits = 0; // further facets met at exactly the nearest distance
    HitDistanceHook hitDistanceHook = noteHitDistance;
};

PolynetTraceState& polynetTraceState();
void resetPolynetTraceState();

inline int& polynetLastHitFacet = polynetTraceState().lastHitFacet;
inline long& polynetEqualDistanceHits = polynetTraceState().equalDistanceHits;

// Replaces the hit bookkeeping (nullptr: hits are not reported).
void setPolynetHitDistanceHook(HitDistanceHook hook);

// The intercept hook of a net's surface: the nearest facet of the first part that the ray
// (global point, global direction made unit) meets beyond 1e-9. Returns 1 when that hit is
// nearer than `nearest` (or `nearest` is unset, below 0): the surface then takes the facet's
// reflectance and absorbtion, its linear terms become the facet normal (so that the
// linear-normal rule of the surface gives it), `nearest` the distance and the facet becomes the
// last hit facet. Else 0.
int polynetIntercept(SurfaceRecord* surface, const Vec3& point, Vec3& direction, double& nearest);

// Turns every facet normal of object `number` (a net) outward by counting the facets that rays
// from each facet along and against its normal cross, reports facets that are gaps and returns
// 1; 0 with its error when it cannot run.
int polynetCheckNormals(int number);

// Most distinct hit distances one ray of the normal check remembers.
inline constexpr int kMaxNormalCheckHits = 64;
