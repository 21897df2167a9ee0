// Gradient-index plug-in: index a polynomial of degree 3 in r^2 plus a cubic in z.
#include "grin_routines.h"

namespace {
const char* const kNames[MERIDYN_PARAM_SLOTS] = {"maxdist", "n0",  "nr2", "nr4", "nr6",
                                                 "nz1",     "nz2", "nz3", ""};
} // namespace

MERIDYN_PLUGIN_EXPORT int UserParamNames(char* buffer) {
    return answerParamName(kNames, buffer);
}

MERIDYN_PLUGIN_EXPORT int UserGrinDefinition(GrinCallRecord* r) {
    if (!r) return -1;
    const GrinInput in = readInput(r);
    const double* p = in.p;
    const double r2 = radialSquared(in);
    const double z = in.Z;
    const double n =
        p[1] + ((p[4] * r2 + p[3]) * r2 + p[2]) * r2 + ((p[7] * z + p[6]) * z + p[5]) * z;
    const double radial = 2.0 * in.s * (p[2] + 2.0 * p[3] * r2 + 3.0 * p[4] * r2 * r2) * n;
    const double gz = (p[5] + 2.0 * p[6] * z + 3.0 * p[7] * z * z) * in.s * n;
    return answerRadial(r, in, n, radial, gz);
}
