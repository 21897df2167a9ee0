// Gradient-index plug-in: spherical index shells about (0, 0, R),
// n = n0 + alpha d + beta d^2 with d = sign(R) |P - (0, 0, R)| - R (sign(0) = +1).
#include "grin_routines.h"

namespace {

const char* const kNames[MERIDYN_PARAM_SLOTS] = {"maxdist", "n0", "R", "alpha", "beta",
                                                 "",        "",   "",  ""};

inline double indexAt(const double* p, double x, double y, double z) {
    const double sign = p[2] < 0.0 ? -1.0 : 1.0;
    const double w = p[2] - z;
    const double d = sign * std::sqrt(x * x + y * y + w * w) - p[2];
    return p[1] + p[3] * d + p[4] * d * d;
}

} // namespace

MERIDYN_PLUGIN_EXPORT int UserParamNames(char* buffer) {
    return answerParamName(kNames, buffer);
}

MERIDYN_PLUGIN_EXPORT int UserGrinDefinition(GrinCallRecord* r) {
    if (!r) return -1;
    const GrinInput in = readInput(r);
    return answerFromDifferences(
        r, in, [&in](double x, double y, double z) { return indexAt(in.p, x, y, z); },
        Neighbours::AtLeastOne);
}
