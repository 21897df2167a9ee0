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
    const double n = radialAxialPolynomial(in.p, in.X, in.Y, in.Z);
    const double nx = radialAxialPolynomial(in.p, in.X + kStep, in.Y, in.Z);
    const double ny = radialAxialPolynomial(in.p, in.X, in.Y + kStep, in.Z);
    const double nz = radialAxialPolynomial(in.p, in.X, in.Y, in.Z + kStep);
    const double gx = forwardGradient(nx, n, in.s), gy = forwardGradient(ny, n, in.s),
                 gz = forwardGradient(nz, n, in.s);
    if (std::isfinite(gx) && std::isfinite(gy) && std::isfinite(gz) && std::isfinite(n) &&
        (nx < 1.0 || ny < 1.0 || nz < 1.0))
        return belowOne(r, n);
    return answer(r, n, gx, gy, gz);
}
