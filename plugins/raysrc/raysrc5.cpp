// Ray source: the volume of an ellipsoid, emitting in every direction. One start point per call.
#include "source_routines.h"

namespace {

const char* const kNames[MERIDYN_PARAM_SLOTS] = {"x_size", "y_size", "z_size", "", "",
                                                 "",       "weight", "",       ""};

bool sampleEllipsoidPoint(double xs, double ys, double zs, Vec3& p) {
    for (int i = 0; i < kPointTries; ++i) {
        double x = (2.0 * uniform() - 1.0) * xs;
        double y = (2.0 * uniform() - 1.0) * ys;
        double z = (2.0 * uniform() - 1.0) * zs;
        if (!(x * x / (xs * xs) + y * y / (ys * ys) + z * z / (zs * zs) <= 1.0)) continue;
        p = {x, y, z};
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
    if (isCheckCall(r)) return checkSizesAndSeed(r, {0, 1, 2});
    beginRay(r, true);
    const Cone cone = NormalizeConeAngles(r);
    Vec3 p;
    if (!sampleEllipsoidPoint(param(r, 0), param(r, 1), param(r, 2), p)) return -1;
    for (int attempt = 0; attempt < kRayAttempts; ++attempt) {
        const Vec3 d = SampleIsotropicDirection();
        if (!AcceptDirection(cone, d)) continue;
        if (writeRay(r, p, d)) return 0;
    }
    return -1;
}
