// Ray source: a flat elliptical sheet in the plane z = 0 with an elliptical hole, emitting
// Lambertian rays into +z. The start point is moved back along the ray by `dz` (measured along z).
#include "source_routines.h"

namespace {

const char* const kNames[MERIDYN_PARAM_SLOTS] = {"x_size", "y_size", "x_hole", "y_hole", "",
                                                 "dz",     "weight", "",       ""};

// A point of the sheet outside the hole. A hole half-size of 0 means no hole.
bool sampleSheetPoint(double xs, double ys, double xh, double yh, Vec3& p) {
    const bool hole = xh != 0.0 && yh != 0.0;
    return samplePoint(p, [&](Vec3& q) {
        const double x = uniformSpan(xs);
        const double y = uniformSpan(ys);
        if (!(x * x / (xs * xs) + y * y / (ys * ys) <= 1.0)) return false;
        if (hole && !(x * x / (xh * xh) + y * y / (yh * yh) >= 1.0)) return false;
        q = {x, y, 0.0};
        return true;
    });
}

} // namespace

MERIDYN_PLUGIN_EXPORT int UserParamNames(char* buffer) {
    return answerParamName(kNames, buffer);
}

MERIDYN_PLUGIN_EXPORT int UserSourceRay(SourceCallRecord* r) {
    return sizedSourceCall(r, {0, 1, 2, 3}, [r](const Cone& cone) {
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
    });
}
