// Ray source: an isotropic point at the record's start point. The start point is moved back
// along the ray by `dz` (measured along z) in x and y.
#include "source_routines.h"

namespace {
const char* const kNames[MERIDYN_PARAM_SLOTS] = {"", "", "", "", "", "dz", "weight", "", ""};
} // namespace

MERIDYN_PLUGIN_EXPORT int UserParamNames(char* buffer) {
    return answerParamName(kNames, buffer);
}

MERIDYN_PLUGIN_EXPORT int UserSourceRay(SourceCallRecord* r) {
    if (!r) return -1;
    if (isCheckCall(r)) {
        SeedRandomFromTime();
        return 0;
    }
    beginRay(r, false);
    const Cone cone = NormalizeConeAngles(r);
    const Vec3 origin{r->v[SRC_X], r->v[SRC_Y], r->v[SRC_Z]};
    const double dz = param(r, 5);
    for (int attempt = 0; attempt < kRayAttempts; ++attempt) {
        const Vec3 d = SampleIsotropicDirection();
        if (!AcceptDirection(cone, d)) continue;
        const Vec3 start{origin.x - d.x * dz / d.z, origin.y - d.y * dz / d.z, origin.z};
        if (writeRay(r, start, d)) return 0;
    }
    return -1;
}
