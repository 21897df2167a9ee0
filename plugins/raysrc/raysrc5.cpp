// Ray source: the volume of an ellipsoid, emitting in every direction. One start point per call.
#include "source_routines.h"

namespace {

const char* const kNames[MERIDYN_PARAM_SLOTS] = {"x_size", "y_size", "z_size", "", "",
                                                 "",       "weight", "",       ""};

bool sampleEllipsoidPoint(double xs, double ys, double zs, Vec3& p) {
    return samplePoint(p, [&](Vec3& q) {
        const double x = uniformSpan(xs);
        const double y = uniformSpan(ys);
        const double z = uniformSpan(zs);
        if (!(x * x / (xs * xs) + y * y / (ys * ys) + z * z / (zs * zs) <= 1.0)) return false;
        q = {x, y, z};
        return true;
    });
}

} // namespace

MERIDYN_PLUGIN_EXPORT int UserParamNames(char* buffer) {
    return answerParamName(kNames, buffer);
}

MERIDYN_PLUGIN_EXPORT int UserSourceRay(SourceCallRecord* r) {
    return sizedSourceCall(r, {0, 1, 2}, [r](const Cone& cone) {
        Vec3 p;
        if (!sampleEllipsoidPoint(param(r, 0), param(r, 1), param(r, 2), p)) return -1;
        return writeIsotropicRay(r, cone, p);
    });
}
