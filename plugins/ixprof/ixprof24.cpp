// Gradient-index plug-in: a fixed parabolic radial glass with built-in dispersion,
// n = N0 (1 - A r^2 / 2). It has no user parameters and so no UserParamNames.
#include "grin_routines.h"

MERIDYN_PLUGIN_EXPORT int UserGrinDefinition(GrinCallRecord* r) {
    if (!r) return -1;
    const GrinInput in = readInput(r);
    const double v = 1.0 / (in.lambda * in.lambda);
    const double n0 = 1.5868 + 0.00814 * v;
    const double g = 0.5945 + 0.003936 * v + 0.0005539 * v * v;
    const double a = g * g;
    const double r2 = radialSquared(in);
    const double n = n0 * (1.0 - a * r2 / 2.0);
    const double radial = -n * in.s * n0 * a;
    return answerRadial(r, in, n, radial);
}
