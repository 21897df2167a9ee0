// Routines shared by the ray-source plug-ins: the private random generator and its seeding, the
// cone of accepted directions, the direction samplers, the parameter checks and the common frame
// of a ray call. Each plug-in compiles its own copy (everything here has internal linkage), so
// no two libraries, and not the program, share generator state.
#pragma once

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <ctime>

#include "param_name_table.h"
#include "platform/rand15.h"
#include "plugin_interface.h"

namespace {

platform::Rand15 generator;

constexpr double kTwoPi = 6.28318530718;
constexpr double kDegreesToRadians = 0.017453292519944444;
constexpr int kRayAttempts = 1000;    // attempts per ray call
constexpr int kPointTries = 200;      // tries of a point sampler
constexpr int kDirectionTries = 1000; // tries of a Lambert direction sampler

inline double uniform() {
    return generator.unit();
}

// Uniform over [-half, half], on the generator's grid.
inline double uniformSpan(double half) {
    return (2.0 * uniform() - 1.0) * half;
}

struct Vec3 {
    double x, y, z;
};

inline bool isFinite(const Vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

inline double& param(SourceCallRecord* r, int k) {
    return r->v[SRC_PARAM0 + k];
}

// Rejection sampling of a start point: up to kPointTries calls of `draw`, which writes p and
// returns true when its candidate is inside the shape.
template <class Draw> inline bool samplePoint(Vec3& p, Draw draw) {
    for (int i = 0; i < kPointTries; ++i)
        if (draw(p)) return true;
    return false;
}

// Seeds the generator from the clock, or from MERIDYN_PLUGIN_SEED when it holds an unsigned
// integer (repeatable runs).
inline void SeedRandomFromTime() {
    const char* text = std::getenv("MERIDYN_PLUGIN_SEED");
    if (text && *text) {
        bool digits = true;
        for (const char* c = text; *c; ++c)
            digits = digits && *c >= '0' && *c <= '9';
        errno = 0;
        char* end = nullptr;
        unsigned long long value = std::strtoull(text, &end, 10);
        if (digits && errno == 0 && *end == '\0' && value <= UINT32_MAX) {
            generator.seed(static_cast<std::uint32_t>(value));
            return;
        }
    }
    generator.seed(static_cast<std::uint32_t>(std::time(nullptr)));
}

// The cone of accepted directions, from the record's full angles and shape.
struct Cone {
    double ax = 180.0, ay = 180.0; // half-angles, degrees, after normalising
    double tx2 = 0.0, ty2 = 0.0;   // their tangents squared
    double shape = 0.0;            // 0 elliptical, 1 rectangular, anything else accepts nothing
};

// Half-angles not above 0 or above 180 mean every direction; a half-angle of 90 or more on one
// axis widens the other to the same value.
inline Cone NormalizeConeAngles(const SourceCallRecord* r) {
    Cone c;
    double ax = r->v[SRC_CONE_X] / 2.0;
    double ay = r->v[SRC_CONE_Y] / 2.0;
    if (!(ax > 0.0) || !(ay > 0.0) || ax > 180.0 || ay > 180.0) {
        ax = ay = 180.0;
    } else if (ax >= 90.0) {
        ay = ax;
    } else if (ay >= 90.0) {
        ax = ay;
    }
    c.ax = ax;
    c.ay = ay;
    double tx = std::tan(ax * kDegreesToRadians);
    double ty = std::tan(ay * kDegreesToRadians);
    c.tx2 = tx * tx;
    c.ty2 = ty * ty;
    c.shape = r->v[SRC_CONE_SHAPE];
    return c;
}

// Within 90 degrees the direction must lie inside the forward cone; wider than that it is
// refused only inside the backward cone of half-angle 180 - a about -z.
inline bool AcceptEllipticCone(const Cone& c, const Vec3& d) {
    double dz2 = d.z * d.z;
    bool inside = (d.x * d.x / dz2) / c.tx2 + (d.y * d.y / dz2) / c.ty2 < 1.0;
    if (c.ax <= 90.0) return d.z > 0.0 && inside;
    return !(d.z <= 0.0 && inside);
}

inline bool AcceptRectangularCone(const Cone& c, const Vec3& d) {
    double dz2 = d.z * d.z;
    double tx = d.x * d.x / dz2;
    double ty = d.y * d.y / dz2;
    if (c.ax <= 90.0) return d.z > 0.0 && tx < c.tx2 && ty < c.ty2;
    return !(d.z <= 0.0 && tx <= c.tx2 && ty <= c.ty2);
}

inline bool AcceptDirection(const Cone& c, const Vec3& d) {
    if (c.shape == 0.0) return AcceptEllipticCone(c, d);
    if (c.shape == 1.0) return AcceptRectangularCone(c, d);
    return false;
}

// A cosine-distributed direction about +z (dz > 0); `sign` -1 mirrors it about -z.
inline bool sampleLambert(Vec3& d, double sign) {
    for (int i = 0; i < kDirectionTries; ++i) {
        double u1 = uniform();
        double u2 = uniform();
        double s = std::sqrt(u1);
        if (!(1.0 - u1 > 1e-10) || !(s < 1.0)) continue;
        double phi = kTwoPi * u2;
        double dx = s * std::cos(phi);
        double dy = s * std::sin(phi);
        double rho2 = dx * dx + dy * dy;
        if (!(std::fabs(dx) < 1.0) || !(std::fabs(dy) < 1.0) || !(rho2 < 1.0)) continue;
        d = {dx, dy, sign * std::sqrt(1.0 - rho2)};
        return true;
    }
    return false;
}

inline bool SampleLambertDirection(Vec3& d) {
    return sampleLambert(d, 1.0);
}

// Turns a direction given about +z into the frame whose +z is the unit normal n.
inline Vec3 RotateToNormalFrame(const Vec3& d, Vec3 n) {
    double l = std::sqrt(n.x * n.x + n.z * n.z);
    if (l < 1e-10) {
        n.x = 1e-10;
        n.z = 1e-10;
        l = 1.414213562373095e-10;
    }
    double k = 1.0 / l;
    return {d.z * n.x + n.z * k * d.x - n.y * n.x * k * d.y, d.y * l + d.z * n.y,
            -n.x * k * d.x + d.z * n.z - n.y * n.z * k * d.y};
}

inline bool SampleLambertAboutNormal(Vec3& d, const Vec3& n) {
    if (!sampleLambert(d, 1.0)) return false;
    d = RotateToNormalFrame(d, n);
    return true;
}

// Cosine-distributed about the inward normal, for a surface whose outward normal is n.
inline bool SampleInwardLambert(Vec3& d, const Vec3& n) {
    if (!sampleLambert(d, -1.0)) return false;
    d = RotateToNormalFrame(d, n);
    return true;
}

// Uniform over the sphere. The radicand is clamped at 0: at u1 = 1 rounding can make it
// slightly negative.
inline Vec3 SampleIsotropicDirection() {
    double c = 1.0 - uniform();
    double s = std::sqrt(std::fmax(0.0, 1.0 - c * c));
    double phi = kTwoPi * uniform();
    double dx = s * std::cos(phi);
    double dy = s * std::sin(phi);
    double dz = std::sqrt(std::fmax(0.0, 1.0 - dx * dx - dy * dy));
    if (uniform() < 0.5) dz = -dz;
    return {dx, dy, dz};
}

// Check-only call: seed, then every listed size (parameter slots) must be 0 or more (NaN is
// not); a passing check seeds once more.
template <int N> inline int checkSizesAndSeed(const SourceCallRecord* r, const int (&slots)[N]) {
    SeedRandomFromTime();
    for (int k : slots)
        if (!(r->v[SRC_PARAM0 + k] >= 0.0)) return -1;
    SeedRandomFromTime();
    return 0;
}

inline bool isCheckCall(const SourceCallRecord* r) {
    return r->v[SRC_MODE] == 1.0;
}

// Steps 1 and 2 of a ray call: the preset direction, and the weight (0 means 1).
inline void beginRay(SourceCallRecord* r, bool presetDirection) {
    if (presetDirection) {
        r->v[SRC_DIR_X] = 0.0;
        r->v[SRC_DIR_Y] = 0.0;
        r->v[SRC_DIR_Z] = 1.0;
    }
    double& weight = param(r, 6);
    if (weight == 0.0) weight = 1.0;
    r->v[SRC_WEIGHT] *= weight;
}

// Writes a finished ray; a start point or direction that is not finite is no ray.
inline bool writeRay(SourceCallRecord* r, const Vec3& p, const Vec3& d) {
    if (!isFinite(p) || !isFinite(d)) return false;
    r->v[SRC_X] = p.x;
    r->v[SRC_Y] = p.y;
    r->v[SRC_Z] = p.z;
    r->v[SRC_DIR_X] = d.x;
    r->v[SRC_DIR_Y] = d.y;
    r->v[SRC_DIR_Z] = d.z;
    return true;
}

// The call of a source with sizes: a check-only call checks the listed size slots; a ray call
// presets the direction and the weight, then `trace` makes the ray within the cone (0) or
// fails (-1).
template <int N, class Trace>
inline int sizedSourceCall(SourceCallRecord* r, const int (&sizes)[N], Trace trace) {
    if (!r) return -1;
    if (isCheckCall(r)) return checkSizesAndSeed(r, sizes);
    beginRay(r, true);
    return trace(NormalizeConeAngles(r));
}

// A ray from p in a direction uniform over the sphere, tried until one lies in the cone.
inline int writeIsotropicRay(SourceCallRecord* r, const Cone& cone, const Vec3& p) {
    for (int attempt = 0; attempt < kRayAttempts; ++attempt) {
        const Vec3 d = SampleIsotropicDirection();
        if (!AcceptDirection(cone, d)) continue;
        if (writeRay(r, p, d)) return 0;
    }
    return -1;
}

} // namespace
