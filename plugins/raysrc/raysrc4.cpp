// Ray source: the outside surface of a cylinder about z, emitting Lambertian rays outwards.
#include "source_routines.h"

namespace {
const char* const kNames[MERIDYN_PARAM_SLOTS] = {"radius", "half_length", "", "", "",
                                                 "",       "weight",      "", ""};
} // namespace

MERIDYN_PLUGIN_EXPORT int UserParamNames(char* buffer) {
    return answerParamName(kNames, buffer);
}

MERIDYN_PLUGIN_EXPORT int UserSourceRay(SourceCallRecord* r) {
    if (!r) return -1;
    if (isCheckCall(r)) return checkSizesAndSeed(r, {0, 1});
    beginRay(r, true);
    const Cone cone = NormalizeConeAngles(r);
    const double radius = param(r, 0), halfLength = param(r, 1);
    for (int attempt = 0; attempt < kRayAttempts; ++attempt) {
        const double phi = kTwoPi * uniform();
        const Vec3 p{radius * std::cos(phi), radius * std::sin(phi),
                     (2.0 * uniform() - 1.0) * halfLength};
        const Vec3 outward{p.x / radius, p.y / radius, 0.0};
        Vec3 d;
        if (!SampleLambertAboutNormal(d, outward) || !AcceptDirection(cone, d)) continue;
        if (writeRay(r, p, d)) return 0;
    }
    return -1;
}
