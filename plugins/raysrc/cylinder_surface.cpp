// Ray source: the wall of a cylinder, emitting Lambertian rays from its inside or its outside
// face. Built once per cylinder; CYLINDER_SURFACE names the library's table.
#include "source_routines.h"

#ifndef CYLINDER_SURFACE
#error "CYLINDER_SURFACE must name the library's cylinder"
#endif

namespace {

struct CylinderSurface {
    bool alongX; // the axis is x; otherwise z
    bool inward; // rays leave the inside face, into the cylinder; otherwise the outside face
};

constexpr CylinderSurface kInsideAlongZ{false, true};
constexpr CylinderSurface kOutsideAlongX{true, false};
constexpr CylinderSurface kOutsideAlongZ{false, false};

constexpr const CylinderSurface& kCylinder = CYLINDER_SURFACE;
const char* const kNames[MERIDYN_PARAM_SLOTS] = {"radius", "half_length", "", "", "",
                                                 "",       "weight",      "", ""};

// A point of the wall and the wall's outward unit normal there.
void sampleWallPoint(double radius, double halfLength, Vec3& p, Vec3& outward) {
    const double phi = kTwoPi * uniform();
    const double along = uniformSpan(halfLength);
    const double c = radius * std::cos(phi), s = radius * std::sin(phi);
    if (kCylinder.alongX) {
        p = {along, c, s};
        outward = {0.0, c / radius, s / radius};
    } else {
        p = {c, s, along};
        outward = {c / radius, s / radius, 0.0};
    }
}

} // namespace

MERIDYN_PLUGIN_EXPORT int UserParamNames(char* buffer) {
    return answerParamName(kNames, buffer);
}

MERIDYN_PLUGIN_EXPORT int UserSourceRay(SourceCallRecord* r) {
    return sizedSourceCall(r, {0, 1}, [r](const Cone& cone) {
        const double radius = param(r, 0), halfLength = param(r, 1);
        for (int attempt = 0; attempt < kRayAttempts; ++attempt) {
            Vec3 p, outward, d;
            sampleWallPoint(radius, halfLength, p, outward);
            const bool sampled = kCylinder.inward ? SampleInwardLambert(d, outward)
                                                  : SampleLambertAboutNormal(d, outward);
            if (!sampled || !AcceptDirection(cone, d)) continue;
            if (writeRay(r, p, d)) return 0;
        }
        return -1;
    });
}
