// Gradient-index plug-in: index quadratic along each axis,
// n = n0 + nx1 X + nx2 X^2 + ny1 Y + ny2 Y^2 + nz1 Z + nz2 Z^2.
#include "grin_routines.h"

namespace {
const char* const kNames[MERIDYN_PARAM_SLOTS] = {"maxdist", "n0",  "nx1", "nx2", "ny1",
                                                 "ny2",     "nz1", "nz2", ""};
} // namespace

MERIDYN_PLUGIN_EXPORT int UserParamNames(char* buffer) {
    return answerParamName(kNames, buffer);
}

MERIDYN_PLUGIN_EXPORT int UserGrinDefinition(GrinCallRecord* r) {
    if (!r) return -1;
    const GrinInput in = readInput(r);
    const double* p = in.p;
    const double n = p[1] + (p[2] + p[3] * in.X) * in.X + (p[4] + p[5] * in.Y) * in.Y +
                     (p[6] + p[7] * in.Z) * in.Z;
    const double sn = in.s * n;
    return answer(r, n, (2.0 * p[3] * in.X + p[2]) * sn, (2.0 * p[5] * in.Y + p[4]) * sn,
                  (2.0 * p[7] * in.Z + p[6]) * sn);
}
