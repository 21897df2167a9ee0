// Toric surfaces: a conic profile in y, f(y) = cvy y^2 / (1 + sqrt(1 - (ccy + 1) cvy^2 y^2)),
// revolved about the line parallel to y at z = R = 1/cvx: x^2 + (R - z)^2 = (R - f(y))^2 (with
// cvx = 0, the cylinder z = f(y)). The surface keeps a fitted quadric as its base; its hooks
// iterate from the base's hit onto the true surface. The parameters are the values of the
// surface's INTERCEPT_REFINEMENT record: rx, ry, ccy, cvx, cvy.
#pragma once

#include "engine/model/object_table.h"

struct ToricState {
    // The result of the last y-revolved computation (0 success, 1 failure). While it is not 0
    // the fit and the iteration write their diagnostic lines on the output channel.
    int yrevStatus = 1;
};

ToricState& toricState();
void resetToricState();

inline int& yrevStatus = toricState().yrevStatus;

// The profile of a toric surface.
struct ToricProfile {
    double cvx = 0, cvy = 0, ccy = 0;
};

// The surface's toric record (its last INTERCEPT_REFINEMENT record named "toric"), or nullptr.
const AltSurfaceRecord* toricRecord(const SurfaceRecord* surface);

// The sag z at (x, y): the branch of the surface through the vertex. 1 (after " INTERMEDIATE
// VALUE REPRESENTS AN UNREAL INTERCEPT\n") when a square root of the profile or of the
// revolution has a negative argument beyond the iteration tolerance, the absolute value then
// taken; else 0.
int yrevSag(const ToricProfile& profile, double x, double y, double& z);
// The unit normal (-dz/dx, -dz/dy, 1) / |.| at the point (x, y, z) of the surface.
void yrevNormal(const ToricProfile& profile, double x, double y, double z, Vec3& normal);
// Newton steps along the unit direction from the point onto the surface, at most
// iterationMaxCount, until |z - sag| <= iterationTolerance. 0 with the point on the surface;
// 1 after "RAY FAILURE\n" (a step parallel to the tangent plane), after the line of iterations
// without convergence, or when a sag is not real.
int YREV_ITER(const ToricProfile& profile, Vec3& point, const Vec3& direction);
// YREV_ITER, then the point must lie within x and y limits (no tolerance). 0 on success; 1 after
// "ERROR: FROM YREV_ITER\n" or "ERROR: RAY IS OUTSIDE OF EXTENT ON SURFACE\n" and then
// "ERROR: from yrev_surf\n" (plain output). Sets yrevStatus.
int yrev_surf(const ToricProfile& profile, Vec3& point, const Vec3& direction, double xmin,
              double xmax, double ymin, double ymax);

// What a toric set-up will write into the surface.
struct ToricSetupPlan {
    double quadric[13] = {};
    int side = 0;
    double zmin = 0, zmax = 0;
};

// The base quadric through the sags at (0, 0), (xmax, 0), (xmin, 0), (0, ymax), (0, ymin):
// z = con3 x^2 + con1 x + con4 y^2 + con2 y + z0, scaled by the larger of |con3|, |con4| when
// that is not 0. 1 on success; 0 when a sag is not real or the samples cannot fix the parabolas.
int yrevFitQuadric(const SurfaceRecord* surface, const ToricProfile& profile, double quadric[13]);
// Works out a set-up without changing anything: the fitted quadric, the side flag (a non-mirror
// flips it when its normal turns over at the extents' centre) and the z extents of the new
// quadric over the x-y extents. 1 on success, 0 on failure.
int planToricSetup(const SurfaceRecord* surface, double cvx, double cvy, double c,
                   ToricSetupPlan& plan);
// Writes a planned set-up: quadric, side, shape code 2, z extents.
void applyToricSetup(SurfaceRecord* surface, const ToricSetupPlan& plan);
// planToricSetup with c as the profile's conic constant, then applyToricSetup. 1 on success,
// 0 on failure with the surface unchanged.
int toricSetup(SurfaceRecord* surface, double cvx, double cvy, double c);

// Intercept hook: the base quadric's nearest root (without touching the caller's nearest or the
// hit bookkeeping), then yrev_surf from it. The hit counts when it lies ahead of the ray after
// the self-hit rule (and inside a lens or rod); it is noted in the hit bookkeeping and becomes
// the nearest when nearer. Without a toric record the quadric intercept.
int toricIntercept(SurfaceRecord* surface, const Vec3& point, Vec3& direction, double& nearest);
// Normal hook: the unit yrevNormal at the point, turned to agree with the base quadric's normal
// there (the side flag refers to that one). Without a toric record the quadric normal.
void toricNormal(SurfaceRecord* surface, const Vec3& localPoint, Vec3& normal);
void setToricHooks(SurfaceRecord* surface);
