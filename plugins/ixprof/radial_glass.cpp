// Gradient-index plug-in: a fixed radial glass with built-in dispersion,
// n = N1 + N2 r^2 + N3 r^4 with N1, N2, N3 functions of the wavelength. Built once per glass;
// RADIAL_GLASS names the library's coefficients.
#include "grin_routines.h"

#ifndef RADIAL_GLASS
#error "RADIAL_GLASS must name the library's glass"
#endif

namespace {

// N2 = a + b v + c v^2 + d Lw, N3 = e + f v + g Lw, with Lw the wavelength in nm squared.
struct RadialGlass {
    double a, b, c, d, e, f, g;
};

constexpr RadialGlass kGlass14{-0.00339471,  36.41714,    -2596082.0,   2.109024e-10,
                               5.601395e-06, -0.01197149, -1.639106e-13};
constexpr RadialGlass kGlass18{-0.01308047,  -40.2168,   5013696.0,    1.065853e-10,
                               8.982328e-05, -0.2122454, -2.856826e-12};
constexpr RadialGlass kGlass21{-0.001794301, -5.517312,    687784.3,     1.461641e-11,
                               1.682462e-06, -0.002718447, -4.213865e-14};
constexpr RadialGlass kGlass23{-0.001361131, -4.184891,   521716.6,     1.109108e-11,
                               1.01673e-06,  -0.02176479, -3.012678e-14};

constexpr const RadialGlass& kGlass = RADIAL_GLASS;
const char* const kNames[MERIDYN_PARAM_SLOTS] = {"maxdist", "", "", "", "", "", "", "", ""};

} // namespace

MERIDYN_PLUGIN_EXPORT int UserParamNames(char* buffer) {
    return answerParamName(kNames, buffer);
}

MERIDYN_PLUGIN_EXPORT int UserGrinDefinition(GrinCallRecord* r) {
    if (!r) return -1;
    const GrinInput in = readInput(r);
    const double lw = in.lambda * in.lambda * 1e6;
    const double v = 1.0 / lw;
    const double n1 = 1.520364 + 5492.546 * v - 31220780.0 * v * v - 2.031711e-10 * lw;
    const double n2 = kGlass.a + kGlass.b * v + kGlass.c * v * v + kGlass.d * lw;
    const double n3 = kGlass.e + kGlass.f * v + kGlass.g * lw;
    const double r2 = radialSquared(in);
    const double n = n1 + n2 * r2 + n3 * r2 * r2;
    // (X / r) dn/dr with dn/dr = 2 r (N2 + 2 N3 r^2), written without r so the axis gives 0.
    const double radial = 2.0 * (n2 + 2.0 * n3 * r2) * in.s * n;
    return answerRadial(r, in, n, radial);
}
