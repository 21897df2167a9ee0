// Gradient-index plug-in: d-line index a polynomial of degree 6 in |y|, with a dispersion form.
// Built once per form; DISPERSION names the library's form.
#include "dispersion.h"
#include "grin_routines.h"

#ifndef DISPERSION
#error "DISPERSION must name the library's dispersion form"
#endif

namespace {

constexpr const DispersionForm& kForm = DISPERSION;
const char* const kNames[MERIDYN_PARAM_SLOTS] = {"maxdist", "n0",  "ny1", "ny2", "ny3",
                                                 "ny4",     "ny5", "ny6", ""};

inline double indexAt(const double* p, double u, double lambda) {
    double nd = ((((((p[7] * u + p[6]) * u + p[5]) * u + p[4]) * u + p[3]) * u + p[2]) * u) + p[1];
    return kForm.index(nd, lambda);
}

} // namespace

MERIDYN_PLUGIN_EXPORT int UserParamNames(char* buffer) {
    return answerParamName(kNames, buffer);
}

MERIDYN_PLUGIN_EXPORT int UserGrinDefinition(GrinCallRecord* r) {
    if (!r) return -1;
    const GrinInput in = readInput(r);
    if (!inRange(in.lambda, kForm.lo, kForm.hi)) return noIndex(r);
    const double n = indexAt(in.p, std::fabs(in.Y), in.lambda);
    // The neighbour lies along +y on both sides of the axis.
    const double next = indexAt(in.p, std::fabs(in.Y + kStep), in.lambda);
    return answer(r, n, 0.0, forwardGradient(next, n, in.s), 0.0);
}
