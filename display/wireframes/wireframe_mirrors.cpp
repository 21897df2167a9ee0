// Wireframes of the curved reflectors and cavities: mirrors, troughs, ellipsoids and the
// compound parabolic concentrator.
#include <algorithm>
#include <cmath>

#include "command/settings/settings.h"
#include "display/plot/plot_primitives.h"
#include "display/views/segment_3d.h"
#include "display/wireframes/wireframe_kinds.h"
#include "engine/math/vector_math.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr int kMirrorSamples = 15;
constexpr int kHoleSideSamples = 7;
constexpr int kEllipsoidSamples = 29;
constexpr double kEllipsoidSpan = 0.9999999;
constexpr int kChordSearchSteps = 200;
constexpr int kChordRefineSteps = 40;
constexpr int kCpcRingPoints = 30;
constexpr int kCpcMeridianPoints = 30;

double& component(Vec3& v, int axis) {
    return axis == 0 ? v.x : (axis == 1 ? v.y : v.z);
}

bool insideEdgeEllipse(const SurfaceRecord* s, double x, double y) {
    const double* e = s->extent;
    const double a = (e[1] - e[0]) / 2.0, b = (e[3] - e[2]) / 2.0;
    if (!(a > 0.0) || !(b > 0.0)) return false;
    const double dx = (x - (e[0] + e[1]) / 2.0) / a, dy = (y - (e[2] + e[3]) / 2.0) / b;
    return dx * dx + dy * dy <= 1.0;
}

// The surface has a point within its extent (and elliptic edge) on the z line through the
// section point at `v` along the sweep axis.
bool chordPoint(const SurfaceRecord* s, int fixedAxis, double fixed, int sweepAxis, double v) {
    Vec3 p;
    component(p, fixedAxis) = fixed;
    component(p, sweepAxis) = v;
    if (s->edgeType == 1 && !insideEdgeEllipse(s, p.x, p.y)) return false;
    double t1 = 0, t2 = 0;
    const int roots = lineQuadricRoots(s, p, {0, 0, 1}, t1, t2);
    if (roots == 0) return false;
    return pointInExtent(s, {p.x, p.y, t1}) || (roots == 2 && pointInExtent(s, {p.x, p.y, t2}));
}

// The first and last sweep coordinates of the section that lie on the surface.
bool findChord(const SurfaceRecord* s, int fixedAxis, double fixed, double& lo, double& hi) {
    const int sweep = fixedAxis == kAxisX ? kAxisY : kAxisX;
    const double from = s->extent[2 * sweep], to = s->extent[2 * sweep + 1];
    if (!(to >= from)) return false;
    const double step = (to - from) / kChordSearchSteps;
    int first = -1, last = -1;
    for (int i = 0; i <= kChordSearchSteps; ++i)
        if (chordPoint(s, fixedAxis, fixed, sweep, from + i * step)) {
            if (first < 0) first = i;
            last = i;
        }
    if (first < 0) return false;
    // Each end is refined between the last point off the surface and the first point on it.
    auto refine = [&](double off, double on) {
        for (int k = 0; k < kChordRefineSteps; ++k) {
            const double mid = (off + on) / 2.0;
            (chordPoint(s, fixedAxis, fixed, sweep, mid) ? on : off) = mid;
        }
        return on;
    };
    lo = first > 0 ? refine(from + (first - 1) * step, from + first * step) : from;
    hi = last < kChordSearchSteps ? refine(from + (last + 1) * step, from + last * step) : to;
    return true;
}

// Where the section crosses the hole, along the sweep axis.
bool holeChord(const SurfaceRecord* s, int fixedAxis, double fixed, double& lo, double& hi) {
    const double* h = s->holeLimits;
    const int sweep = fixedAxis == kAxisX ? kAxisY : kAxisX;
    const double fixedLo = h[2 * fixedAxis], fixedHi = h[2 * fixedAxis + 1];
    const double sweepLo = h[2 * sweep], sweepHi = h[2 * sweep + 1];
    if (s->holeShape == 1) {
        const double semiFixed = (fixedHi - fixedLo) / 2.0, semiSweep = (sweepHi - sweepLo) / 2.0;
        if (!(semiFixed > 0.0)) return false;
        const double u = (fixed - (fixedLo + fixedHi) / 2.0) / semiFixed;
        if (!(std::fabs(u) < 1.0)) return false;
        const double half = semiSweep * std::sqrt(1.0 - u * u);
        lo = (sweepLo + sweepHi) / 2.0 - half;
        hi = (sweepLo + sweepHi) / 2.0 + half;
        return true;
    }
    if (!(fixed > fixedLo && fixed < fixedHi)) return false;
    lo = sweepLo;
    hi = sweepHi;
    return true;
}

void sectionPiece(const SurfaceRecord* s, int fixedAxis, double fixed, double lo, double hi,
                  int samples) {
    if (!(hi > lo)) return;
    const int sweep = fixedAxis == kAxisX ? kAxisY : kAxisX;
    Vec3 centre;
    component(centre, fixedAxis) = fixed;
    component(centre, sweep) = (lo + hi) / 2.0;
    sampleSurfaceProfile(kAxisZ, sweep, s, samples, centre, (hi - lo) * 0.9999);
}

// Draws a profile over every span of an axis of the surface's frame: `n` curves at even steps
// across `acrossAxis`, each along `directionAxis` sweeping `sweepAxis` over the extent.
void drawFamily(const SurfaceRecord* s, int n, int acrossAxis, int directionAxis, int sweepAxis,
                const Vec3& centre, double acrossSpan, double sweepSpan) {
    if (n <= 1) return; // the step divides by n - 1
    for (int k = 0; k < n; ++k) {
        Vec3 c = centre;
        component(c, acrossAxis) += (-0.5 + static_cast<double>(k) / (n - 1)) * acrossSpan;
        double span = sweepSpan;
        if (span < 0.0) {
            // A closed body: each curve spans the chord of the surface at its level.
            double t1 = 0, t2 = 0;
            Vec3 d;
            component(d, sweepAxis) = 1.0;
            if (lineQuadricRoots(s, c, d, t1, t2) != 2) continue;
            component(c, sweepAxis) += (t1 + t2) / 2.0;
            span = (t2 - t1) * kEllipsoidSpan;
        }
        sampleSurfaceProfile(directionAxis, sweepAxis, s, kEllipsoidSamples, c, span);
    }
}

bool userParameter(const ObjectRecord* object, const char* name, double& value) {
    const UserParameterList& list = object->userParameters;
    const std::size_t n = std::min(
        {static_cast<std::size_t>(std::max(list.count, 0)), list.names.size(), list.values.size()});
    for (std::size_t i = 0; i < n; ++i)
        if (list.names[i] == name) {
            value = list.values[i];
            return true;
        }
    return false;
}

// The meridian of a concentrator's wall: a parabola with its focus on the opposite rim of the
// exit aperture (radius a) and its axis tilted by the input angle, running from the exit (or
// the top of the terminal cone) at the output angle up to the input angle.
struct CpcProfile {
    double inputAngle = 0, outputAngle = 0, exitRadius = 0, focal = 0;

    bool build(double inputDegrees, double outputDegrees, double radius) {
        if (!(radius > 0.0) || !(inputDegrees > 0.0 && inputDegrees <= 90.0) ||
            !(outputDegrees > 0.0 && outputDegrees <= 90.0))
            return false;
        inputAngle = inputDegrees * kDegree;
        outputAngle = outputDegrees * kDegree;
        exitRadius = radius;
        double start = radius; // radius where the wall begins: the exit, or the cone's top
        if (90.0 - outputDegrees > 0.00001) {
            const double phi = (outputAngle - inputAngle) / 2.0;
            const double coneLength = 2.0 * radius / (std::tan(outputAngle) - std::tan(phi));
            start = std::tan(phi) * coneLength + radius;
        }
        const double rho = (start + radius) / std::sin(outputAngle);
        focal = rho * (1.0 - std::cos(inputAngle + outputAngle)) / 2.0;
        return std::isfinite(focal) && focal > 0.0;
    }
    // The wall point seen from the focus at `beta` from the axis.
    void at(double beta, double& r, double& z) const {
        const double rho = 2.0 * focal / (1.0 - std::cos(beta + inputAngle));
        r = -exitRadius + rho * std::sin(beta);
        z = rho * std::cos(beta);
    }
    // Height falls as beta grows, so the wall's radius at a height is found by bisection.
    double radiusAt(double z) const {
        double lo = std::min(inputAngle, outputAngle), hi = std::max(inputAngle, outputAngle);
        double r = 0, zz = 0;
        at(lo, r, zz);
        if (z >= zz) return r;
        at(hi, r, zz);
        if (z <= zz) return r;
        for (int i = 0; i < 60; ++i) {
            const double mid = (lo + hi) / 2.0;
            at(mid, r, zz);
            (zz > z ? lo : hi) = mid;
        }
        at((lo + hi) / 2.0, r, zz);
        return r;
    }
};

// Rings and meridians of a surface of revolution about z over its extent's height.
template <class Radius>
void drawRevolved(const SurfaceRecord* s, int meridians, int rings, Radius radiusAt) {
    const double inset = 0.00001 * (s->extent[5] - s->extent[4]);
    const double zLo = s->extent[4] + inset, zHi = s->extent[5] - inset;
    Vec3 points[std::max(kCpcRingPoints, kCpcMeridianPoints)];
    for (int j = 0; j < rings; ++j) {
        const double z = rings == 1 ? (zLo + zHi) / 2.0 : zLo + j * (zHi - zLo) / (rings - 1);
        const double r = radiusAt(z);
        for (int k = 0; k < kCpcRingPoints; ++k) {
            const double angle = kTwoPi * k / (kCpcRingPoints - 1);
            points[k] = {r * std::cos(angle), r * std::sin(angle), z};
        }
        for (int k = 1; k < kCpcRingPoints; ++k)
            drawLocalSegment(s, points[k - 1], points[k]);
    }
    for (int k = 0; k < meridians; ++k) {
        const double angle = kTwoPi * k / meridians;
        for (int i = 0; i < kCpcMeridianPoints; ++i) {
            const double z = zLo + i * (zHi - zLo) / (kCpcMeridianPoints - 1);
            const double r = radiusAt(z);
            points[i] = {r * std::cos(angle), r * std::sin(angle), z};
        }
        for (int i = 1; i < kCpcMeridianPoints; ++i)
            drawLocalSegment(s, points[i - 1], points[i]);
    }
}

} // namespace

void drawSectionCurve(const SurfaceRecord* s, int fixedAxis, double fixed, int samples) {
    double lo = 0, hi = 0;
    if (!findChord(s, fixedAxis, fixed, lo, hi)) return;
    double holeLo = 0, holeHi = 0;
    if (s->hasHole && holeChord(s, fixedAxis, fixed, holeLo, holeHi) && holeLo < hi &&
        holeHi > lo) {
        sectionPiece(s, fixedAxis, fixed, lo, std::max(lo, holeLo), kHoleSideSamples);
        sectionPiece(s, fixedAxis, fixed, std::min(hi, holeHi), hi, kHoleSideSamples);
        return;
    }
    sectionPiece(s, fixedAxis, fixed, lo, hi, samples);
}

void drawMirrorWireframe(const ObjectRecord* object) {
    const SurfaceRecord* s = object->firstSurface;
    const int n = wireframeCounts(wireframeDetail).faceCurves;
    const double* e = s->extent;
    setPenColor(10);
    for (int i = 0; i < n; ++i) {
        drawSectionCurve(s, kAxisX, e[0] + (i + 1) * (e[1] - e[0]) / (n + 1), kMirrorSamples);
        drawSectionCurve(s, kAxisY, e[2] + (i + 1) * (e[3] - e[2]) / (n + 1), kMirrorSamples);
    }
    setPenColor(15);
}

void drawTroughWireframe(const ObjectRecord* object) {
    const SurfaceRecord* s = object->firstSurface;
    const WireframeCounts counts = wireframeCounts(wireframeDetail);
    const double* e = s->extent;
    for (int i = 0; i < counts.troughAcrossX; ++i)
        drawSectionCurve(s, kAxisX, e[0] + (i + 1) * (e[1] - e[0]) / (counts.troughAcrossX + 1),
                         kMirrorSamples);
    for (int i = 0; i < counts.troughAcrossY; ++i)
        drawSectionCurve(s, kAxisY, e[2] + (i + 1) * (e[3] - e[2]) / (counts.troughAcrossY + 1),
                         kMirrorSamples);
    if (s->hasHole) drawOutline(s, s->holeLimits, s->holeShape == 1, 0.0, true);
}

void drawEllipsoidWireframe(const ObjectRecord* object) {
    const SurfaceRecord* s = object->firstSurface;
    const int n = wireframeCounts(wireframeDetail).edgeCurves;
    const Vec3 origin{0, 0, 0};
    const double sagX = surfaceSag(kAxisX, s, origin), sagZ = surfaceSag(kAxisZ, s, origin);
    const Vec3 size = extentSize(s);
    constexpr double kFit = 0.00002; // the extent test's tolerance on both sides
    setPenColor(10);
    if (sagX > 0.0 && sagZ > 0.0 && sagX <= size.x + kFit && sagZ <= size.z + kFit) {
        // A closed body: its outlines through the origin and rings across its depth.
        const double span = sagZ * kEllipsoidSpan;
        sampleSurfaceProfile(kAxisX, kAxisZ, s, kEllipsoidSamples, origin, span);
        sampleSurfaceProfile(kAxisY, kAxisZ, s, kEllipsoidSamples, origin, span);
        drawFamily(s, n, kAxisZ, kAxisX, kAxisY, origin, span, -1.0);
    } else {
        // Cut by its extent: the extent's sizes stand for the sags.
        const Vec3 c = extentCentre(s);
        sampleSurfaceProfile(kAxisX, kAxisZ, s, kEllipsoidSamples, c, size.z * kEllipsoidSpan);
        sampleSurfaceProfile(kAxisY, kAxisZ, s, kEllipsoidSamples, c, size.z * kEllipsoidSpan);
        if (size.z > 0.0)
            drawFamily(s, n, kAxisZ, kAxisX, kAxisY, c, size.z * kEllipsoidSpan,
                       size.y * kEllipsoidSpan);
        if (size.x > 0.0)
            drawFamily(s, n, kAxisX, kAxisY, kAxisZ, c, size.x * kEllipsoidSpan,
                       size.z * kEllipsoidSpan);
        if (size.y > 0.0)
            drawFamily(s, n, kAxisY, kAxisX, kAxisZ, c, size.y * kEllipsoidSpan,
                       size.z * kEllipsoidSpan);
    }
    setPenColor(15);
}

void drawCpcWireframe(const ObjectRecord* object) {
    double input = 0, output = 0, radius = 0;
    CpcProfile profile;
    if (!userParameter(object, "input_angle", input) ||
        !userParameter(object, "output_angle", output) ||
        !userParameter(object, "radius_exit", radius) || !profile.build(input, output, radius))
        return;
    const WireframeCounts counts = wireframeCounts(wireframeDetail);
    int meridians = counts.faceCurves, rings = counts.edgeCurves;
    if (counts.edgeCurves == 1) meridians = rings = 2;
    if (counts.edgeCurves == 4) meridians = rings = 4;
    if (counts.edgeCurves == 32) {
        meridians = 8;
        rings = 16;
    }
    setPenColor(10);
    const SurfaceRecord* wall = object->firstSurface;
    drawRevolved(wall, meridians, rings, [&](double z) { return profile.radiusAt(z); });
    if (const SurfaceRecord* cone = wall->next) {
        drawRevolved(cone, meridians, rings / 2, [&](double z) {
            double t1 = 0, t2 = 0;
            return lineQuadricRoots(cone, {0, 0, z}, {1, 0, 0}, t1, t2) > 0 ? t2 : 0.0;
        });
    }
    setPenColor(15);
}
