#include "engine/surfaces/toric_surfaces.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "command/messages/messages.h"
#include "command/settings/settings.h"
#include "engine/surfaces/alt_surfaces.h"
#include "engine/surfaces/surface_geometry.h"
#include "engine/surfaces/surface_hits.h"
#include "engine/surfaces/surface_z_extents.h"

namespace {

bool verbose() {
    return toricState().yrevStatus != 0;
}

// The profile's square-root term m, its sag f and slope f' at y. False when the root's argument
// is negative beyond the tolerance (the absolute value is used).
bool profileAt(const ToricProfile& p, double y, double& f, double& slope) {
    const double tolerance = iterationTolerance;
    const double argument = 1 - (p.ccy + 1) * p.cvy * p.cvy * y * y;
    const double m = std::sqrt(std::fabs(argument));
    f = p.cvy * y * y / (1 + m);
    slope = p.cvy * y / std::max(m, tolerance);
    return !(argument < -tolerance);
}

ToricProfile profileOf(const AltSurfaceRecord* record) {
    return {record->values[3], record->values[4], record->values[2]};
}

bool isLensOrRod(const ObjectRecord* object) {
    return object && (object->typeCode == kTypeLens || object->typeCode == kTypeRod);
}

} // namespace

ToricState& toricState() {
    static ToricState s;
    return s;
}

void resetToricState() {
    toricState() = ToricState{};
}

const AltSurfaceRecord* toricRecord(const SurfaceRecord* surface) {
    const AltSurfaceRecord* found = nullptr;
    for (const AltSurfaceRecord* r = surface ? surface->altSurfaces : nullptr; r; r = r->next)
        if (r->kind == kInterceptRefinement)
            found = r; // a later record of the kind replaces an earlier one
    if (found && found->routineName && std::strcmp(found->routineName, "toric") == 0) return found;
    return nullptr;
}

int yrevSag(const ToricProfile& profile, double x, double y, double& z) {
    double f, slope;
    bool real = profileAt(profile, y, f, slope);
    if (profile.cvx == 0) {
        z = f;
    } else {
        const double R = 1 / profile.cvx;
        const double S = R - f;
        const double argument = S * S - x * x;
        if (argument < -iterationTolerance) real = false;
        const double root = std::sqrt(std::fabs(argument));
        const double below = S + (S > 0 ? root : -root);
        if (argument >= 0 && S * R > 0 && below != 0)
            z = f + x * x / below; // R - sign(R) root without the cancellation of R against root
        else
            z = R - (R > 0 ? root : -root);
    }
    if (!real) outText(outputChannel, " INTERMEDIATE VALUE REPRESENTS AN UNREAL INTERCEPT\n");
    if (verbose()) outText(outputChannel, "f0 = %g zsag = %g\n", f, z);
    return real ? 0 : 1;
}

void yrevNormal(const ToricProfile& profile, double x, double y, double z, Vec3& normal) {
    double f, slope;
    profileAt(profile, y, f, slope);
    double px = 0, pz = slope;
    if (profile.cvx != 0) {
        const double R = 1 / profile.cvx;
        const double tolerance = iterationTolerance;
        double below = R - z;
        if (std::fabs(below) < tolerance) below = below < 0 ? -tolerance : tolerance;
        px = x / below;
        pz = slope * (R - f) / below;
    }
    const double length = std::sqrt(1 + px * px + pz * pz);
    normal = {-px / length, -pz / length, 1 / length};
    if (verbose())
        outText(outputChannel, " pwx = %g pwy = %g pwz = %g\n", normal.x, normal.y, normal.z);
}

int YREV_ITER(const ToricProfile& profile, Vec3& point, const Vec3& direction) {
    const int limit = iterationMaxCount;
    const double tolerance = iterationTolerance;
    for (int step = 0;; ++step) {
        double zsag;
        if (yrevSag(profile, point.x, point.y, zsag)) return 1;
        if (verbose()) outText(outputChannel, " zsag = %g\n", zsag);
        if (std::fabs(point.z - zsag) <= tolerance) return 0;
        if (step >= limit) {
            outText(outputChannel,
                    " %u iterations occured without convergence - error exceeds itertol\n",
                    static_cast<unsigned>(limit));
            return 1;
        }
        Vec3 n;
        yrevNormal(profile, point.x, point.y, zsag, n);
        if (verbose()) outText(outputChannel, " lnorm = %g mnorm = %g nnorm = %g\n", n.x, n.y, n.z);
        const double along = dot3(n, direction);
        if (along == 0 || !std::isfinite(along)) {
            outText(outputChannel, "RAY FAILURE\n");
            return 1;
        }
        // To the tangent plane of the surface above or below the point.
        const double delta = -n.z * (point.z - zsag) / along;
        point = {point.x + delta * direction.x, point.y + delta * direction.y,
                 point.z + delta * direction.z};
        if (verbose())
            outText(outputChannel, " xprime = %g yprime = %g zprime = %g\n", point.x, point.y,
                    point.z);
    }
}

int yrev_surf(const ToricProfile& profile, Vec3& point, const Vec3& direction, double xmin,
              double xmax, double ymin, double ymax) {
    int failed = 0;
    if (YREV_ITER(profile, point, direction)) {
        outText(outputChannel, "ERROR: FROM YREV_ITER\n");
        failed = 1;
    } else if (!(point.x >= xmin && point.x <= xmax && point.y >= ymin && point.y <= ymax)) {
        outText(outputChannel, "ERROR: RAY IS OUTSIDE OF EXTENT ON SURFACE\n");
        failed = 1;
    }
    if (failed) outText(outputChannel, "ERROR: from yrev_surf\n");
    toricState().yrevStatus = failed;
    return failed;
}

int yrevFitQuadric(const SurfaceRecord* surface, const ToricProfile& profile, double quadric[13]) {
    const double* e = surface->extent;
    const double x1 = e[1], x2 = e[0], y1 = e[3], y2 = e[2];
    double z[5];
    const double at[5][2] = {{0, 0}, {x1, 0}, {x2, 0}, {0, y1}, {0, y2}};
    for (int i = 0; i < 5; ++i)
        if (yrevSag(profile, at[i][0], at[i][1], z[i])) return 0;
    if (verbose())
        outText(outputChannel, "z0 = %g z1 = %g z2 = %g z3 = %g z4 = %g\n", z[0], z[1], z[2], z[3],
                z[4]);
    // z = con3 s^2 + con1 s + z0 through the samples at s1 and s2 on one axis.
    auto parabola = [&](double s1, double s2, double zs1, double zs2, double& square,
                        double& linear) {
        const double det = s1 * s2 * (s1 - s2);
        if (det == 0 || !std::isfinite(det)) return false;
        const double d1 = zs1 - z[0], d2 = zs2 - z[0];
        square = (d1 * s2 - d2 * s1) / det + 0.0; // + 0.0: no -0 in the diagnostics
        linear = (s1 * s1 * d2 - s2 * s2 * d1) / det + 0.0;
        return std::isfinite(square) && std::isfinite(linear);
    };
    double con1, con2, con3, con4;
    if (!parabola(x1, x2, z[1], z[2], con3, con1) || !parabola(y1, y2, z[3], z[4], con4, con2))
        return 0;
    if (verbose())
        outText(outputChannel, "con1 = %g con2 = %g con3 = %g con4 = %g\n", con1, con2, con3, con4);
    std::memset(quadric, 0, 13 * sizeof(double));
    quadric[0] = con3;
    quadric[4] = con4;
    quadric[9] = con1;
    quadric[10] = con2;
    quadric[11] = -1;
    quadric[12] = z[0];
    const double scale = std::max(std::fabs(con3), std::fabs(con4));
    if (scale != 0)
        for (int i = 0; i < 13; ++i)
            quadric[i] /= scale;
    if (verbose())
        outText(outputChannel, "l = %g m = %g n = %g\n", quadric[9], quadric[10], quadric[11]);
    return 1;
}

int planToricSetup(const SurfaceRecord* surface, double cvx, double cvy, double c,
                   ToricSetupPlan& plan) {
    if (!surface) return 0;
    const double* e = surface->extent;
    const Vec3 probe{e[0] + e[1], e[2] + e[3], 0};
    // The side flag names a physical side through the normal hook in force.
    Vec3 before;
    if (surface->normal)
        surface->normal(const_cast<SurfaceRecord*>(surface), probe, before);
    else
        quadricNormal(const_cast<SurfaceRecord*>(surface), probe, before);
    const ToricProfile profile{cvx, cvy, c};
    if (!yrevFitQuadric(surface, profile, plan.quadric)) {
        toricState().yrevStatus = 1;
        return 0;
    }
    toricState().yrevStatus = 0;
    SurfaceRecord trial = *surface;
    std::copy(plan.quadric, plan.quadric + 13, trial.quadric);
    trial.shapeCode = kShapeSphere;
    Vec3 after;
    quadricNormal(&trial, probe, after);
    plan.side = surface->side;
    const bool mirror = surface->owner && surface->owner->typeCode == kTypeMirror;
    if (!mirror && dot3(before, after) < 0) plan.side = plan.side == -1 ? 1 : -1;
    plan.zmin = e[4];
    plan.zmax = e[5];
    surfaceZExtents(&trial, plan.zmin, plan.zmax);
    return 1;
}

void applyToricSetup(SurfaceRecord* surface, const ToricSetupPlan& plan) {
    std::copy(plan.quadric, plan.quadric + 13, surface->quadric);
    surface->side = plan.side;
    surface->shapeCode = kShapeSphere;
    surface->extent[4] = plan.zmin;
    surface->extent[5] = plan.zmax;
}

int toricSetup(SurfaceRecord* surface, double cvx, double cvy, double c) {
    ToricSetupPlan plan;
    if (!planToricSetup(surface, cvx, cvy, c, plan)) return 0;
    applyToricSetup(surface, plan);
    return 1;
}

int toricIntercept(SurfaceRecord* surface, const Vec3& point, Vec3& direction, double& nearest) {
    const AltSurfaceRecord* record = toricRecord(surface);
    if (!record) return interceptQuadricSurface(surface, point, direction, nearest);
    // The base quadric only says where to start: its roots must not become anybody's hit.
    const HitBookkeeping kept = hitBookkeeping;
    double start = -1.0;
    const int roots = interceptQuadricSurface(surface, point, direction, start);
    hitBookkeeping = kept;
    if (roots == 0) return 0;

    Vec3 localPoint, u;
    toLocalPoint(point, localPoint, surface);
    toLocalDirection(direction, u, surface);
    normalize3(u);
    Vec3 hit{localPoint.x + start * u.x, localPoint.y + start * u.y, localPoint.z + start * u.z};
    const double* e = surface->extent;
    if (yrev_surf(profileOf(record), hit, u, e[0], e[1], e[2], e[3])) return 0;
    // The distance along the ray, so that a point behind its start is no hit.
    double t = dot3(hit - localPoint, u);
    rejectSelfHit(surface, t);
    if (!(t > 0)) return 0;
    if (isLensOrRod(surface->owner) &&
        !insideObjectTest(surface->owner, surface, point, direction, t))
        return 0;
    noteHitDistance(t, surface);
    if (nearest < 0 || t < nearest) {
        nearest = t;
        return 1;
    }
    return 0;
}

void toricNormal(SurfaceRecord* surface, const Vec3& localPoint, Vec3& normal) {
    Vec3 base;
    quadricNormal(surface, localPoint, base);
    const AltSurfaceRecord* record = toricRecord(surface);
    if (!record) {
        normal = base;
        return;
    }
    yrevNormal(profileOf(record), localPoint.x, localPoint.y, localPoint.z, normal);
    if (dot3(normal, base) < 0) normal = {-normal.x, -normal.y, -normal.z};
}

void setToricHooks(SurfaceRecord* surface) {
    if (!surface) return;
    surface->intercept = toricIntercept;
    surface->normal = toricNormal;
}
