// Gradient-index plug-in: the square of the index a polynomial of degree 6 in r^2,
// n = sqrt(|q|), q = n0 + nr2 r^2 + ... + nr12 r^12.
#include "grin_routines.h"

namespace {
const char* const kNames[MERIDYN_PARAM_SLOTS] = {"maxdist", "n0",   "nr2",  "nr4", "nr6",
                                                 "nr8",     "nr10", "nr12", ""};
} // namespace

MERIDYN_PLUGIN_EXPORT int UserParamNames(char* buffer) {
    return answerParamName(kNames, buffer);
}

MERIDYN_PLUGIN_EXPORT int UserGrinDefinition(GrinCallRecord* r) {
    if (!r) return -1;
    const GrinInput in = readInput(r);
    const double* p = in.p;
    const double r2 = radialSquared(in);
    const double q =
        (((((p[7] * r2 + p[6]) * r2 + p[5]) * r2 + p[4]) * r2 + p[3]) * r2 + p[2]) * r2 + p[1];
    const double dq =
        ((((6.0 * p[7] * r2 + 5.0 * p[6]) * r2 + 4.0 * p[5]) * r2 + 3.0 * p[4]) * r2 + 2.0 * p[3]) *
            r2 +
        p[2];
    const double n = std::sqrt(std::fabs(q));
    // n grad n is half the gradient of n^2 = |q|: X s q' where q is positive, its negative
    // where q is negative.
    const double radial = (q < 0.0 ? -1.0 : 1.0) * in.s * dq;
    return answerRadial(r, in, n, radial);
}
