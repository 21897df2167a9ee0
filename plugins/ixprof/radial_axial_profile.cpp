// Gradient-index plug-in: d-line index a polynomial in r^2 and z, with a dispersion form. Built
// once per form; DISPERSION names the library's form.
#include "dispersion.h"
#include "grin_routines.h"
#include "radial_axial_polynomial.h"

#ifndef DISPERSION
#error "DISPERSION must name the library's dispersion form"
#endif

namespace {

constexpr const DispersionForm& kForm = DISPERSION;
const char* const kNames[MERIDYN_PARAM_SLOTS] = {"maxdist", "n0",  "nr2", "nr4", "nz1",
                                                 "nz2",     "nz3", "nz4", ""};

} // namespace

MERIDYN_PLUGIN_EXPORT int UserParamNames(char* buffer) {
    return answerParamName(kNames, buffer);
}

MERIDYN_PLUGIN_EXPORT int UserGrinDefinition(GrinCallRecord* r) {
    if (!r) return -1;
    const GrinInput in = readInput(r);
    if (!inRange(in.lambda, kForm.lo, kForm.hi)) return noIndex(r);
    return answerFromDifferences(r, in, [&in](double x, double y, double z) {
        return kForm.index(radialAxialPolynomial(in.p, x, y, z), in.lambda);
    });
}
