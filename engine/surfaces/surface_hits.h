// The nearest hit over the model: the bounding-sphere pre-test, the search through every
// surface's intercept hook, the nearest and second-nearest bookkeeping, the self-hit rule and
// the proximity glue between touching objects.
#pragma once

#include <cmath>

#include "engine/model/object_table.h"

inline constexpr double kSelfHitDistance = 1e-6;
inline constexpr double kNoHitDistance = 1e100;

// The two nearest accepted roots of the last search.
struct HitBookkeeping {
    SurfaceRecord* nearestSurface = nullptr;
    double nearestDistance = kNoHitDistance;
    SurfaceRecord* secondSurface = nullptr;
    double secondDistance = kNoHitDistance;
};

struct SurfaceHitState {
    HitBookkeeping hits;
    // The surface a trace starts from (set by whoever starts the trace).
    SurfaceRecord* traceStartSurface = nullptr;
    // The surface the ray is leaving: every tracer sets it before each nearest search (the start
    // surface at the first step, then the surface of the previous hit). Only it can be a
    // self-hit.
    SurfaceRecord* selfHitSurface = nullptr;
    // Set by the quadric intercept when both roots of one surface were accepted; otherRoot is
    // the root that did not become the nearest.
    int secondRootTaken = 0;
    double otherRoot = 0;
};

SurfaceHitState& surfaceHitState();
void resetSurfaceHitState();

inline HitBookkeeping& hitBookkeeping = surfaceHitState().hits;
inline SurfaceRecord*& traceStartSurface = surfaceHitState().traceStartSurface;
inline SurfaceRecord*& selfHitSurface = surfaceHitState().selfHitSurface;
inline int& secondRootTaken = surfaceHitState().secondRootTaken;
inline double& otherRoot = surfaceHitState().otherRoot;

// A root nearer than 1e-6 on the surface the ray is leaving becomes 0, which every caller's
// t > 0 test then refuses.
inline void rejectSelfHit(const SurfaceRecord* surface, double& t) {
    if (surface == selfHitSurface && t < kSelfHitDistance) t = 0;
}

// Records an accepted root in the nearest / second-nearest bookkeeping.
inline void noteHitDistance(double t, SurfaceRecord* surface) {
    HitBookkeeping& h = hitBookkeeping;
    if (t < h.nearestDistance) {
        if (h.nearestSurface) {
            h.secondSurface = h.nearestSurface;
            h.secondDistance = h.nearestDistance;
        }
        h.nearestSurface = surface;
        h.nearestDistance = t;
    } else if (t < h.secondDistance) {
        h.secondSurface = surface;
        h.secondDistance = t;
    }
}

inline void resetHitBookkeeping() {
    hitBookkeeping = HitBookkeeping{};
}

// True when the infinite line through the point along the unit direction passes within the
// radius of the centre, or when the radius is 0 or less (no sphere).
inline bool raySphereTest(const Vec3& point, const Vec3& unitDirection, const Vec3& centre,
                          double radius) {
    if (radius <= 0) return true;
    const Vec3 w = point - centre;
    const double s = dot3(unitDirection, w);
    return std::fabs(dot3(w, w) - s * s) <= radius * radius;
}

// The nearest hit over every activated, traceable object (slot order, then chain order; among
// equal distances the first wins). On a hit: surface, global hit point and distance along the
// unit direction, noHit 0. Without one: surface nullptr, noHit 1. The search is the traces' one
// (engine/trace/part_search.cpp).
void findNearestIntercept(const Vec3& point, const Vec3& direction, SurfaceRecord*& surface,
                          Vec3& hitPoint, double& distance, int& noHit);

// Where the two nearest hits of the last search lie on different objects closer together than
// the glue distance (proximityGlueDistance, above 0), the index entered at `surface` becomes the
// own index of the surface of the lower-numbered object (a negative index -k read through the
// index table). Run after surfaceMedia.
void applyProximityGlue(double& index, const SurfaceRecord* surface);
