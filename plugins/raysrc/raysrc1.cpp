// Ray source: a flat elliptical sheet in the plane z = 0 with an elliptical hole, emitting
// Lambertian rays into +z. The start point is moved back along the ray by `dz` (measured along z).
#include "source_routines.h"

namespace {

const char* const kNames[MERIDYN_PARAM_SLOTS] = {"x_size", "y_size", "x_hole", "y_hole", "",
                                                 "dz",     "weight", "",       ""};

// A point of the sheet outside the hole. A hole half-size of 0 means no hole.
bool sampleSheetPoint(double xs, double ys, double xh, double yh, Vec3& p) {
    const bool hole = xh != 0.0 && yh != 0.0;
    for (int i = 0; i < kPointTries; ++i) {
        double x = (2.0 * uniform() - 1.0) * xs;
        double y = (2.0 * uniform() - 1.0) * ys;
        if (!(x * x / (xs * xs) + y * y / (ys * ys) <= 1.0)) continue;
        if (hole && !(x * x / (xh * xh) + y * y / (yh * yh) >= 1.0)) continue;
        p = {x, y, 0.0};
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
    if (isCheckCall(r)) return checkSizesAndSeed(r, {0, 1, 2, 3});
    beginRay(r, true);
    const Cone cone = NormalizeConeAngles(r);
    const double xs = param(r, 0), ys = param(r, 1), xh = param(r, 2), yh = param(r, 3);
    const double dz = param(r, 5);
    for (int attempt = 0; attempt < kRayAttempts; ++attempt) {
        Vec3 p, d;
        if (!sampleSheetPoint(xs, ys, xh, yh, p)) continue;
        if (!SampleLambertDirection(d) || !AcceptDirection(cone, d)) continue;
        const Vec3 start{p.x - dz * d.x / d.z, p.y - dz * d.y / d.z, 0.0};
        if (writeRay(r, start, d)) return 0;
    }
    return -1;
}
