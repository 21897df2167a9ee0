// Ray source: the volume of a cylinder about z, emitting in every direction. One start point
// per call.
#include "source_routines.h"

namespace {

const char* const kNames[MERIDYN_PARAM_SLOTS] = {"radius", "half_length", "", "", "",
                                                 "",       "weight",      "", ""};

bool sampleCylinderPoint(double radius, double halfLength, Vec3& p) {
    return samplePoint(p, [&](Vec3& q) {
        const double x = uniformSpan(radius);
        const double y = uniformSpan(radius);
        if (!(x * x + y * y <= radius * radius)) return false;
        q = {x, y, uniformSpan(halfLength)};
        return true;
    });
}

} // namespace

MERIDYN_PLUGIN_EXPORT int UserParamNames(char* buffer) {
    return answerParamName(kNames, buffer);
}

MERIDYN_PLUGIN_EXPORT int UserSourceRay(SourceCallRecord* r) {
    return sizedSourceCall(r, {0, 0, 1}, [r](const Cone& cone) {
        Vec3 p;
        if (!sampleCylinderPoint(param(r, 0), param(r, 1), p)) return -1;
        return writeIsotropicRay(r, cone, p);
    });
}
