// Gradient-index plug-in: parabolic radial index n = n0 + nr2 r^2.
#include "grin_routines.h"

namespace {
const char* const kNames[MERIDYN_PARAM_SLOTS] = {"maxdist", "n0", "nr2", "", "", "", "", "", ""};
} // namespace

MERIDYN_PLUGIN_EXPORT int UserParamNames(char* buffer) {
    return answerParamName(kNames, buffer);
}

MERIDYN_PLUGIN_EXPORT int UserGrinDefinition(GrinCallRecord* r) {
    if (!r) return -1;
    const GrinInput in = readInput(r);
    const double* p = in.p;
    const double n = p[1] + p[2] * radialSquared(in);
    const double radial = 2.0 * p[2] * in.s * n;
    return answerRadial(r, in, n, radial);
}
