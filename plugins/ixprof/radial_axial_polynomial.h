// The d-line index p1 + p2 r^2 + p3 r^4 + p4 Z + p5 Z^2 + p6 Z^3 + p7 Z^4 (millimetres), shared
// by the plug-ins built on it.
#pragma once

namespace {

inline double radialAxialPolynomial(const double* p, double x, double y, double z) {
    const double r2 = x * x + y * y;
    return p[1] + (p[2] + p[3] * r2) * r2 + (((p[7] * z + p[6]) * z + p[5]) * z + p[4]) * z;
}

} // namespace
