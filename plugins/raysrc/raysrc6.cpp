// Ray source: the volume of a cylinder about z, emitting in every direction. One start point
// per call.
#include "source_routines.h"

namespace {

const char* const kNames[MERIDYN_PARAM_SLOTS] = {"radius", "half_length", "", "", "",
                                                 "",       "weight",      "", ""};

bool sampleCylinderPoint(double radius, double halfLength, Vec3& p) {
    for (int i = 0; i < kPointTries; ++i) {
        double x = (2.0 * uniform() - 1.0) * radius;
        double y = (2.0 * uniform() - 1.0) * radius;
        if (!(x * x + y * y <= radius * radius)) continue;
        p = {x, y, (2.0 * uniform() - 1.0) * halfLength};
        return true;
    }
    return false;
}

} // namespace

MERIDYN_PLUGIN_EXPORT int UserParamNames(char* buffer) {
    return answerParamName(kNames, buffer);
}

MERIDYN_PLUGIN_EXPORT int UserSourceRay(SourceCallRecord* r) {
    if (!r) return -1;
    if (isCheckCall(r)) return checkSizesAndSeed(r, {0, 0, 1});
    beginRay(r, true);
    const Cone cone = NormalizeConeAngles(r);
    Vec3 p;
    if (!sampleCylinderPoint(param(r, 0), param(r, 1), p)) return -1;
    for (int attempt = 0; attempt < kRayAttempts; ++attempt) {
        const Vec3 d = SampleIsotropicDirection();
        if (!AcceptDirection(cone, d)) continue;
        if (writeRay(r, p, d)) return 0;
    }
    return -1;
}
