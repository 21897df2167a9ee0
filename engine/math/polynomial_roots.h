// Roots of polynomials up to degree four in closed form, for ray intercepts with surfaces of
// degree four: the real roots of a monic cubic, the four complex roots of a monic quartic, and
// the real roots of a general polynomial whose leading coefficients may vanish.
#pragma once

#include "engine/math/complex_math.h"

// The real roots of x^3 + c x^2 + b x + a = 0. Returns how many there are (3 or 1; a repeated
// root is reported once per multiplicity) and puts them in r1, r2, r3; with one real root r2 and
// r3 are 0 and are not roots.
int realCubicRoots(double a, double b, double c, double& r1, double& r2, double& r3);

// The four roots of x^4 + b x^3 + c x^2 + d x + e = 0, each with its multiplicity.
void quarticRoots(double e, double b, double c, double d, ComplexPair roots[4]);

// The real roots of c[4] t^4 + c[3] t^3 + c[2] t^2 + c[1] t + c[0] = 0, at most four, in no
// particular order; returns how many. `scale` is the size of the t range that matters: a
// leading coefficient whose term is negligible over that range beside the others is dropped (its
// root lies far beyond the range), and roots whose imaginary part is small beside the range are
// taken as real (a grazing pair). Repeated roots may come more than once. All-zero coefficients
// give none.
int realPolynomialRoots(const double c[5], double scale, double roots[4]);
