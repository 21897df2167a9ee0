#include "engine/optics/optics.h"

#include <cmath>

#include "command/settings/settings.h"
#include "engine/optics/direction_frames.h"
#include "engine/files/ray_files.h"
#include "engine/surfaces/surface_geometry.h"

namespace {
constexpr double kGratingDegree = 0.0174532925199;

bool finite3(const Vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}
} // namespace

OpticsState& opticsState() {
    static OpticsState state;
    return state;
}

void resetOpticsState() {
    opticsState() = OpticsState{};
}

double traceWavelength() {
    const int i = wavelengthIndex;
    return i >= 0 && i < kWavelengthSlots ? wavelengthTable[i] : 0.0;
}

void scaleToNormalComponent(const Vec3& direction, const Vec3& normal, Vec3& out, int& tangent) {
    const double dn = dot3(direction, normal);
    if (dn == 0.0) {
        tangent = 1;
        return;
    }
    tangent = 0;
    out = (1.0 / std::fabs(dn)) * direction;
}

void reflectScaled(Vec3& out, const Vec3& normal, const Vec3& scaled) {
    out = scaled + 2.0 * normal;
}

void refractDirection(const Vec3&, const Vec3& normal, const Vec3& scaled, double n1, double n2,
                      Vec3& out, int& totalInternal) {
    const double f = n2 / n1;
    const Vec3 t = scaled + normal; // the part of the scaled direction along the surface
    const double c = f * f * dot3(scaled, scaled) - dot3(t, t);
    // Past the critical angle; an index pair that gives no number is no transmission either.
    if (!(c > 0.0) || !std::isfinite(c)) {
        totalInternal = 1;
        return;
    }
    Vec3 r = (1.0 / std::sqrt(c)) * t - normal;
    normalize3(r);
    out = r;
    totalInternal = 0;
}

double fresnelReflectance(const Vec3& direction, const Vec3& normal, double n1, double n2,
                          const Vec3& transmitted) {
    const double ci = dot3(normal, direction);
    const double ct = dot3(normal, transmitted);
    const double rs = (n1 * ci - n2 * ct) / (n1 * ci + n2 * ct);
    const double rp = (n2 * ci - n1 * ct) / (n1 * ct + n2 * ci);
    return (rs * rs + rp * rp) / 2.0;
}

void reflectRay(SurfaceRecord* surface, const Vec3& localPoint, const Vec3& localDirection,
                Vec3& out, const Vec3* knownNormal) {
    Vec3 normal, scaled;
    surfaceNormal(surface, localPoint, localDirection, normal, knownNormal);
    int tangent = 0;
    scaleToNormalComponent(localDirection, normal, scaled, tangent);
    if (tangent) {
        out = localDirection;
        return;
    }
    reflectScaled(out, normal, scaled);
}

void refractRay(SurfaceRecord* surface, const Vec3& localPoint, const Vec3& localDirection,
                double n1, double n2, Vec3& out, int& totalInternal, double& R,
                const Vec3* knownNormal) {
    coatingTransmitted = -1.0;
    coatingAbsorbed = -1.0;
    totalInternal = 0;

    Vec3 normal, scaled;
    surfaceNormal(surface, localPoint, localDirection, normal, knownNormal);
    R = surface->reflectance;
    int tangent = 0;
    scaleToNormalComponent(localDirection, normal, scaled, tangent);
    if (tangent) {
        out = localDirection;
        return;
    }
    Vec3 transmitted;
    refractDirection(localDirection, normal, scaled, n1, n2, transmitted, totalInternal);
    if (totalInternal) return;
    out = transmitted;

    // The reflectance models take the cosine of incidence from a unit direction.
    const bool fresnel = fresnelOn && surface->reflectance == 0.0;
    const CoatingRecord* coating = currentCoating;
    if (!fresnel && !coating) return;
    Vec3 unit = localDirection;
    normalize3(unit);
    if (fresnel) {
        R = fresnelReflectance(unit, normal, n1, n2, transmitted);
        return;
    }
    switch (coating->mode) {
    case kCoatingFresnel:
        R = fresnelReflectance(unit, normal, n1, n2, transmitted);
        break;
    case kCoatingMetal:
        metalReflectance(unit, normal, *coating, R, coatingTransmitted, coatingAbsorbed);
        break;
    case kCoatingLwirMetal:
        lwirMetalReflectance(unit, normal, *coating, R, coatingTransmitted, coatingAbsorbed);
        break;
    default:
        break;
    }
}

int gratingInteraction(SurfaceRecord* surface, const Vec3& localPoint, Vec3& direction, double n,
                       const double* params) {
    Vec3 normal;
    surfaceNormal(surface, localPoint, direction, normal);
    return gratingDiffract(direction, n, params, normal);
}

int gratingDiffract(Vec3& direction, double n, const double* params, const Vec3& normal) {
    const double frequency = params[0];
    const double orientation = params[1] * kGratingDegree;
    const double order = params[2];
    const double lambda = traceWavelength() / 1000.0;
    Vec3 frame = normal; // the frame may nudge its reference; every transform uses the same one

    // frequency x wavelength of 1 or more has no grating vector: nothing propagates.
    const double reach = frequency * lambda;
    if (!(reach * reach < 1.0)) return 0;

    Vec3 d;
    toNormalFrame(direction, frame, d);
    normalize3(d);

    // The grating vector and its mirror, taken into the normal frame; their difference gives the
    // line frequencies along x and y. Their signs carry the lines' orientation: lines turned by
    // theta and by -theta diffract into mirror-image directions.
    Vec3 g1{std::cos(orientation) * frequency * lambda, std::sin(orientation) * frequency * lambda,
            0.0};
    g1.z = std::sqrt(1.0 - g1.x * g1.x - g1.y * g1.y);
    Vec3 g2{-g1.x, -g1.y, g1.z};
    toNormalFrame(g1, frame, g1);
    toNormalFrame(g2, frame, g2);
    normalize3(g1);
    normalize3(g2);
    const double fx = (g1.x - g2.x) * 0.5 / lambda;
    const double fy = (g1.y - g2.y) * 0.5 / lambda;

    if (d.z == 0.0) return 0; // the ray runs in the grating plane
    const double l = d.x + fx * lambda * order / n;
    const double m = d.y + fy * lambda * order / n;
    const double w = 1.0 - l * l - m * m;
    // An evanescent order, or values that give no number, propagate nothing.
    if (!(w > 0.0) || !std::isfinite(w)) return 0;

    Vec3 diffracted{l, m, d.z >= 0.0 ? std::sqrt(w) : -std::sqrt(w)};
    toGlobalFromNormalFrame(diffracted, frame, diffracted);
    normalize3(diffracted);
    if (!finite3(diffracted)) return 0;
    direction = diffracted;
    return 1;
}
