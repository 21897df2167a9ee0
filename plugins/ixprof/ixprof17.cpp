// Gradient-index plug-in: index a polynomial in r^2 and z (no dispersion); gradient from
// forward differences, every neighbour also at least 1.
#include "grin_routines.h"
#include "radial_axial_polynomial.h"

namespace {
const char* const kNames[MERIDYN_PARAM_SLOTS] = {"maxdist", "n0",  "nr2", "nr4", "nz1",
                                                 "nz2",     "nz3", "nz4", ""};
} // namespace

MERIDYN_PLUGIN_EXPORT int UserParamNames(char* buffer) {
    return answerParamName(kNames, buffer);
}

MERIDYN_PLUGIN_EXPORT int UserGrinDefinition(GrinCallRecord* r) {
    if (!r) return -1;
    const GrinInput in = readInput(r);
    return answerFromDifferences(
        r, in, [&in](double x, double y, double z) { return radialAxialPolynomial(in.p, x, y, z); },
        Neighbours::AtLeastOne);
}
