// Surface frames and the geometry of one surface: points and directions between the global frame
// and a surface's own frame, the default intercept and normal hooks of quadric surfaces with their
// extent, hole and lens tests, and the faced normal of a hit.
#pragma once

#include "engine/model/object_table.h"

inline constexpr double kExtentTolerance = 0.00001;
inline constexpr double kQuadricZero = 1e-8; // |F| at or below this counts as on the surface

// d x (upper-left 3x3 of m): the rotation part of a placement, which is what a direction sees
// (the translation cancels in T(d) - T(0)). out may be d.
inline void rotateDirection(const Vec3& d, Vec3& out, const PlacementMatrix& m) {
    Vec3 r{d.x * m[0][0] + d.y * m[1][0] + d.z * m[2][0],
           d.x * m[0][1] + d.y * m[1][1] + d.z * m[2][1],
           d.x * m[0][2] + d.y * m[1][2] + d.z * m[2][2]};
    out = r;
}

// The frame changes are inline: every intercept makes two of them.
// out = point x (global-to-surface matrix).
inline void toLocalPoint(const Vec3& point, Vec3& out, const SurfaceRecord* surface) {
    transformPoint(point, out, surface->globalToSurface);
}
// The direction turned by the rotation of the global-to-surface matrix (T(d) - T(0)); not
// renormalised.
inline void toLocalDirection(const Vec3& direction, Vec3& out, const SurfaceRecord* surface) {
    rotateDirection(direction, out, surface->globalToSurface);
}
// The same with the surface-to-global matrix.
inline void toGlobalPoint(const Vec3& point, Vec3& out, const SurfaceRecord* surface) {
    transformPoint(point, out, surface->surfaceToGlobal);
}
inline void toGlobalDirection(const Vec3& direction, Vec3& out, const SurfaceRecord* surface) {
    rotateDirection(direction, out, surface->surfaceToGlobal);
}

// out = origin + t direction; returns out.
inline Vec3& rayPoint(Vec3& out, const Vec3& origin, const Vec3& direction, double t) {
    out = {origin.x + t * direction.x, origin.y + t * direction.y, origin.z + t * direction.z};
    return out;
}

// Calls the surface's intercept hook (global point, direction made unit, in/out nearest
// distance, negative when unset) and returns the number of roots that improved the nearest.
inline int surfaceIntercept(SurfaceRecord* surface, const Vec3& point, Vec3& direction,
                            double& nearest) {
    return surface && surface->intercept ? surface->intercept(surface, point, direction, nearest)
                                         : 0;
}

// The default intercept hook: the roots of the quadric along the ray, each accepted when it lies
// ahead (after the self-hit rule), within the extents and outside the hole, and, on lenses and
// rods, inside the object. Normalises the caller's direction.
int interceptQuadricSurface(SurfaceRecord* surface, const Vec3& point, Vec3& direction,
                            double& nearest);

// 1 when the local point at distance t along the local direction lies within the surface's
// extents (tolerance 0.00001 where the outline allows it) and outside its hole.
int surfaceExtentTest(const Vec3& localPoint, const Vec3& localDirection, double t,
                      const SurfaceRecord* surface);

// The extra test of lens and rod objects: the global hit point at distance t must lie on the
// inner side (F <= 0) of the object's edge surfaces. 1 when it passes.
int insideObjectTest(const ObjectRecord* object, const SurfaceRecord* surface, const Vec3& point,
                     const Vec3& direction, double t);

// F(p) = p.(A p) + L.p + c at a local point; 0 when |F| <= 1e-8.
double quadricValue(const SurfaceRecord* surface, const Vec3& localPoint);

// The default normal hook: the unit gradient of the quadric, or L as stored for shape code -1.
// A zero gradient (the apex of a cone) gives (0, 0, 1).
void quadricNormal(SurfaceRecord* surface, const Vec3& localPoint, Vec3& normal);

// Negates the normal when it points along the direction (direction.normal > 0).
inline void faceNormalAgainstRay(const Vec3& direction, Vec3& normal) {
    if (dot3(direction, normal) > 0) normal = {-normal.x, -normal.y, -normal.z};
}

// The surface's own normal at a local point: its normal hook, or the quadric's.
inline void hookNormal(SurfaceRecord* surface, const Vec3& localPoint, Vec3& normal) {
    if (surface->normal)
        surface->normal(surface, localPoint, normal);
    else
        quadricNormal(surface, localPoint, normal);
}

// The normal of a hit as the optics use it: the surface's normal hook, then the loaded normal
// refinement (when the surface's alternate functions are loaded), faced against the direction.
// `known`, when given, is hookNormal's result at this point, worked out once for the whole hit.
void surfaceNormal(SurfaceRecord* surface, const Vec3& localPoint, const Vec3& localDirection,
                   Vec3& normal, const Vec3* known = nullptr);
