// Gradient-index plug-in: d-line index a polynomial in r^2 and z, dispersion form A.
#include "dispersion.h"
#include "grin_routines.h"
#include "radial_axial_polynomial.h"

namespace {

const char* const kNames[MERIDYN_PARAM_SLOTS] = {"maxdist", "n0",  "nr2", "nr4", "nz1",
                                                 "nz2",     "nz3", "nz4", ""};

inline double indexAt(const GrinInput& in, double x, double y, double z) {
    return dispersionFormA(radialAxialPolynomial(in.p, x, y, z), in.lambda);
}

} // namespace

MERIDYN_PLUGIN_EXPORT int UserParamNames(char* buffer) {
    return answerParamName(kNames, buffer);
}

MERIDYN_PLUGIN_EXPORT int UserGrinDefinition(GrinCallRecord* r) {
    if (!r) return -1;
    const GrinInput in = readInput(r);
    if (!inRange(in.lambda, 0.38, 2.2)) return noIndex(r);
    const double n = indexAt(in, in.X, in.Y, in.Z);
    const double nx = indexAt(in, in.X + kStep, in.Y, in.Z);
    const double ny = indexAt(in, in.X, in.Y + kStep, in.Z);
    const double nz = indexAt(in, in.X, in.Y, in.Z + kStep);
    return answer(r, n, forwardGradient(nx, n, in.s), forwardGradient(ny, n, in.s),
                  forwardGradient(nz, n, in.s));
}
