// Gradient-index plug-in: a spherical lens of radius A centred at z = R whose index falls from
// n0 sqrt(2) at the centre to n0 at the rim, n = n0 sqrt(2 - rho^2 / A^2).
#include "grin_routines.h"

namespace {
const char* const kNames[MERIDYN_PARAM_SLOTS] = {"maxdist", "n0", "R", "A", "", "", "", "", ""};
} // namespace

MERIDYN_PLUGIN_EXPORT int UserParamNames(char* buffer) {
    return answerParamName(kNames, buffer);
}

MERIDYN_PLUGIN_EXPORT int UserGrinDefinition(GrinCallRecord* r) {
    if (!r) return -1;
    const GrinInput in = readInput(r);
    const double* p = in.p;
    const double w = in.Z - p[2];
    const double rho2 = in.X * in.X + in.Y * in.Y + w * w;
    const double a2 = p[3] * p[3];
    const double radicand = 2.0 - rho2 / a2;
    if (!(radicand >= 0.0)) return noIndex(r);
    const double n = p[1] * std::sqrt(radicand);
    // n grad n = half the gradient of n^2 = -(n0^2 / A^2) (X, Y, W), per model unit.
    const double k = -(p[1] * p[1] / a2) * in.s;
    return answer(r, n, in.X * k, in.Y * k, w * k);
}
