#include "engine/surfaces/cpc_surfaces.h"

#include <cmath>
#include <limits>

#include "engine/math/polynomial_roots.h"
#include "engine/surfaces/surface_geometry.h"
#include "engine/surfaces/surface_hits.h"

namespace {

constexpr double kRightAngle = 1.5707963267948966;
// An output angle this close to 90 degrees needs no cone.
constexpr double kNoConeSlack = 0.00001 * kDegree;
constexpr double kWallTolerance = 0.00001; // of the wall's z range
constexpr double kNearestRoot = 1e-5;
constexpr double kResidualBound = 0.1; // of the exit radius, for the solver's roots
// What is left of the wall equation at a polished root, relative to the CPC's size: the
// polish takes a true root there; a grazing miss stays away from 0.
constexpr double kConverged = 1e-9;

// The shape of the last parameters asked for: every intercept of a CPC asks for the same ones.
struct CpcModule {
    double inputAngle = -1, outputAngle = -1, exitRadius = -1;
    bool valid = false;
    CpcShape shape;
};

CpcModule& module() {
    static CpcModule m;
    return m;
}

bool shapeFor(double inputAngle, double outputAngle, double exitRadius, CpcShape& shape) {
    CpcModule& m = module();
    if (!(m.inputAngle == inputAngle && m.outputAngle == outputAngle &&
          m.exitRadius == exitRadius)) {
        m.valid = cpcShape(inputAngle, outputAngle, exitRadius, m.shape);
        m.inputAngle = inputAngle;
        m.outputAngle = outputAngle;
        m.exitRadius = exitRadius;
    }
    shape = m.shape;
    return m.valid;
}

// The shape of a CPC surface from its object's parameters.
bool surfaceShape(const SurfaceRecord* surface, CpcShape& shape) {
    const ObjectRecord* o = surface ? surface->owner : nullptr;
    if (!o || o->userParameters.count < 3 || o->userParameters.values.size() < 3) return false;
    const std::vector<double>& v = o->userParameters.values;
    return shapeFor(v[0] * kDegree, v[1] * kDegree, v[2], shape);
}

// The ray in units of the exit radius, from a point near the middle of the wall: the roots that
// matter are then of the size of the CPC itself, whatever the units and the ray's start.
struct ScaledRay {
    Vec3 p, d;
    double start = 0; // the distance of p along the original ray
};

// The wall along the scaled ray at parameter s (wall equation G = |P - F| - (P - F).e - 2f, in
// units of a; positive outside the wall) and its slope.
struct WallProbe {
    double sinIn, cosIn, focal;
    void at(const ScaledRay& r, double s, double& g, double& slope) const {
        const double x = r.p.x + s * r.d.x, y = r.p.y + s * r.d.y, z = r.p.z + s * r.d.z;
        const double rho = std::hypot(x, y);
        const double u = rho + 1;
        const double dist = std::hypot(u, z);
        g = dist + u * sinIn - z * cosIn - 2 * focal;
        const double du = rho > 0 ? (x * r.d.x + y * r.d.y) / rho : 0.0;
        slope = (u * du + z * r.d.z) / dist + du * sinIn - r.d.z * cosIn;
    }
};

// Newton steps on the unsquared wall equation, each kept only when it lowers |G|.
double polish(const WallProbe& wall, const ScaledRay& r, double s, double& residual) {
    double g, slope;
    wall.at(r, s, g, slope);
    for (int step = 0; step < 8 && g != 0; ++step) {
        if (slope == 0 || !std::isfinite(slope)) break;
        const double next = s - g / slope;
        double ng, nslope;
        wall.at(r, next, ng, nslope);
        if (!(std::fabs(ng) < std::fabs(g))) break;
        const bool settled = std::fabs(next - s) <= 1e-15 * (1 + std::fabs(s));
        s = next;
        g = ng;
        slope = nslope;
        if (settled) break;
    }
    residual = std::fabs(g);
    return s;
}

} // namespace

void resetCpcState() {
    module() = CpcModule{};
}

bool cpcShape(double inputAngle, double outputAngle, double exitRadius, CpcShape& shape) {
    shape = CpcShape{};
    const double a = exitRadius;
    if (!(a > 0) || !std::isfinite(a)) return false;
    if (!(inputAngle > 0 && inputAngle <= kRightAngle + 1e-12)) return false;
    if (!(outputAngle > 0 && outputAngle <= kRightAngle + 1e-12)) return false;
    const bool cone = kRightAngle - outputAngle > kNoConeSlack;
    if (cone && !(inputAngle < outputAngle)) return false;
    const double sinIn = std::sin(inputAngle), cosIn = std::cos(inputAngle);
    shape.exitRadius = a;
    shape.sinIn = sinIn;
    shape.cosIn = cosIn;
    shape.cone = cone;
    shape.entranceRadius = a * std::sin(outputAngle) / sinIn;
    shape.wallTop = (shape.entranceRadius + a) * cosIn / sinIn;
    if (cone) {
        const double phi = (outputAngle - inputAngle) / 2;
        const double tanPhi = std::tan(phi);
        shape.coneApex = a / tanPhi;
        shape.wallBottom = 2 * a / (std::tan(outputAngle) - tanPhi);
        shape.bottomRadius = tanPhi * shape.wallBottom + a;
    } else {
        shape.bottomRadius = a;
    }
    // The parabola through the wall's foot (rc, l): 2f = |P0 - F| - (P0 - F).e.
    const double ux = shape.bottomRadius + a, uz = shape.wallBottom;
    shape.focalLength = (std::hypot(ux, uz) - (-ux * sinIn + uz * cosIn)) / 2;
    const double check[] = {shape.entranceRadius, shape.wallTop,      shape.coneApex,
                            shape.wallBottom,     shape.bottomRadius, shape.focalLength};
    for (double v : check)
        if (!std::isfinite(v)) return false;
    return shape.focalLength > 0;
}

int cpcSolveIntercept(double inputAngle, double outputAngle, double exitRadius,
                      const Vec3& localPoint, const Vec3& localDirection, double& distance,
                      Vec3& point, const SurfaceRecord* surface) {
    CpcShape shape;
    if (!shapeFor(inputAngle, outputAngle, exitRadius, shape)) return 0;
    Vec3 d = localDirection;
    normalize3(d);
    if (!(dot3(d, d) > 0) || !std::isfinite(d.x + d.y + d.z)) return 0;

    const double a = shape.exitRadius, inv = 1 / a;
    const double s = shape.sinIn, c = shape.cosIn, f = shape.focalLength * inv;
    ScaledRay ray;
    const Vec3 middle{0, 0, (shape.wallBottom + shape.wallTop) / 2};
    ray.start = dot3(middle - localPoint, d);
    ray.p = inv * Vec3{localPoint.x + ray.start * d.x, localPoint.y + ray.start * d.y,
                       localPoint.z + ray.start * d.z};
    ray.d = d;
    const Vec3& p = ray.p;
    if (!std::isfinite(p.x + p.y + p.z)) return 0;

    // Squared once, the wall is A rho^2 + B(z) rho + C(z) = 0 with A = cos^2; with rho^2 a
    // quadratic in the distance, squaring rho B = -(A rho^2 + C) gives a quartic. Its roots with
    // rho B = +(A rho^2 + C) belong to the wall mirrored through the axis.
    const double r0 = p.x * p.x + p.y * p.y, r1 = 2 * (p.x * d.x + p.y * d.y),
                 r2 = d.x * d.x + d.y * d.y;
    const double b0 = 2 * c * c + 4 * s * f + 2 * s * c * p.z, b1 = 2 * s * c * d.z;
    const double k0 = c * c + 4 * s * f - 4 * f * f, k1 = 2 * s * c - 4 * f * c, k2 = s * s;
    const double e0 = c * c * r0 + k0 + k1 * p.z + k2 * p.z * p.z;
    const double e1 = c * c * r1 + k1 * d.z + 2 * k2 * p.z * d.z;
    const double e2 = c * c * r2 + k2 * d.z * d.z;
    const double beta0 = b0 * b0, beta1 = 2 * b0 * b1, beta2 = b1 * b1;
    double q[5];
    q[0] = r0 * beta0 - e0 * e0;
    q[1] = r0 * beta1 + r1 * beta0 - 2 * e0 * e1;
    q[2] = r0 * beta2 + r1 * beta1 + r2 * beta0 - (e1 * e1 + 2 * e0 * e2);
    q[3] = r1 * beta2 + r2 * beta1 - 2 * e1 * e2;
    // -(cos^2 rho'^2 - sin^2 z'^2)^2 in full: 0 for rays at the input angle to the axis.
    const double lead = c * c * r2 - s * s * d.z * d.z;
    q[4] = -lead * lead;

    double roots[4];
    const double span = (shape.wallTop + shape.entranceRadius) * inv + 1;
    const int count = realPolynomialRoots(q, span, roots);

    const WallProbe wall{s, c, f};
    double best = std::numeric_limits<double>::infinity();
    for (int i = 0; i < count; ++i) {
        double sr = roots[i];
        {
            const double x = p.x + sr * d.x, y = p.y + sr * d.y, z = p.z + sr * d.z;
            const double rho = std::hypot(x, y);
            const double B = b0 + b1 * sr;
            const double E = c * c * rho * rho + k0 + k1 * z + k2 * z * z;
            if (std::fabs(rho * B + E) > std::fabs(rho * B - E)) continue; // mirrored wall
        }
        double residual, g, slope;
        wall.at(ray, sr, g, slope);
        if (!(std::fabs(g) <= kResidualBound)) continue;
        sr = polish(wall, ray, sr, residual);
        if (!(residual <= kConverged * span)) continue;
        const double z = a * (p.z + sr * d.z);
        if (!(z >= shape.wallBottom - kWallTolerance && z <= shape.wallTop + kWallTolerance))
            continue;
        double t = ray.start + a * sr;
        if (surface) rejectSelfHit(surface, t);
        if (!(t > kNearestRoot)) continue;
        if (t < best) best = t;
    }
    if (!(best < std::numeric_limits<double>::infinity())) return 0;
    distance = best;
    point = {localPoint.x + best * d.x, localPoint.y + best * d.y, localPoint.z + best * d.z};
    return 1;
}

void cpcWallNormal(const CpcShape& shape, const Vec3& localPoint, Vec3& normal) {
    const double x = localPoint.x, y = localPoint.y, z = localPoint.z;
    const double rho = std::hypot(x, y);
    const double u = rho + shape.exitRadius;
    const double dist = std::hypot(u, z);
    // The gradient of the wall equation points away from the axis; the normal faces the axis.
    const double radial = dist > 0 ? u / dist + shape.sinIn : shape.sinIn;
    const double axial = dist > 0 ? z / dist - shape.cosIn : -shape.cosIn;
    Vec3 n = rho > 0 ? Vec3{-radial * x / rho, -radial * y / rho, -axial} : Vec3{0, 0, -axial};
    normalize3(n);
    if (!(dot3(n, n) > 0)) n = {0, 0, 1};
    normal = n;
}

int cpc_intercept(SurfaceRecord* surface, const Vec3& point, Vec3& direction, double& nearest) {
    const ObjectRecord* o = surface ? surface->owner : nullptr;
    if (!o || o->userParameters.count < 3 || o->userParameters.values.size() < 3) return 0;
    const std::vector<double>& v = o->userParameters.values;
    normalize3(direction);
    Vec3 localPoint, localDirection;
    toLocalPoint(point, localPoint, surface);
    toLocalDirection(direction, localDirection, surface);
    double t;
    Vec3 hit;
    if (!cpcSolveIntercept(v[0] * kDegree, v[1] * kDegree, v[2], localPoint, localDirection, t, hit,
                           surface))
        return 0;
    noteHitDistance(t, surface);
    if (nearest < 0 || nearest > t) {
        nearest = t;
        return 1;
    }
    return 0;
}

void cpc_normal(SurfaceRecord* surface, const Vec3& localPoint, Vec3& normal) {
    CpcShape shape;
    if (!surfaceShape(surface, shape)) {
        quadricNormal(surface, localPoint, normal);
        return;
    }
    cpcWallNormal(shape, localPoint, normal);
}
