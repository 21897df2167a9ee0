// Routines shared by the gradient-index plug-ins: reading the call record in millimetres and
// writing the answer. Each plug-in compiles its own copy (internal linkage).
#pragma once

#include <cmath>

#include "param_name_table.h"
#include "plugin_interface.h"

namespace {

// Forward differences step 1e-6 mm along the named coordinate.
constexpr double kStep = 1e-6;
constexpr double kInverseStep = 1e6;

// The call's point in millimetres (X = s x, ...), s, the wavelength and the parameters
// p[1] .. p[16].
struct GrinInput {
    double X, Y, Z;
    double s;
    double lambda;
    const double* p;
};

inline GrinInput readInput(const GrinCallRecord* r) {
    const double s = r->v[GRIN_MM_PER_UNIT];
    return {s * r->v[GRIN_X],      s * r->v[GRIN_Y],      s * r->v[GRIN_Z], s,
            r->v[GRIN_WAVELENGTH], r->v + GRIN_PARAM1 - 1};
}

// Inclusive range test; NaN is outside.
inline bool inRange(double lambda, double lo, double hi) {
    return lambda >= lo && lambda <= hi;
}

// No index here: n = 1 and a zero gradient.
inline int noIndex(GrinCallRecord* r) {
    r->v[GRIN_INDEX] = 1.0;
    r->v[GRIN_GRAD_X] = 0.0;
    r->v[GRIN_GRAD_Y] = 0.0;
    r->v[GRIN_GRAD_Z] = 0.0;
    return -1;
}

// An index below 1.0: the value computed is kept, the gradient is not written.
inline int belowOne(GrinCallRecord* r, double n) {
    r->v[GRIN_INDEX] = n;
    return -1;
}

// Writes n and G = n grad n (per model unit). A value that is not finite (a pole, a negative
// square, a division by zero) means no index.
inline int answer(GrinCallRecord* r, double n, double gx, double gy, double gz) {
    if (!std::isfinite(n) || !std::isfinite(gx) || !std::isfinite(gy) || !std::isfinite(gz))
        return noIndex(r);
    if (n < 1.0) return belowOne(r, n);
    r->v[GRIN_INDEX] = n;
    r->v[GRIN_GRAD_X] = gx;
    r->v[GRIN_GRAD_Y] = gy;
    r->v[GRIN_GRAD_Z] = gz;
    return 0;
}

// G along one axis from a forward difference of n over kStep millimetres.
inline double forwardGradient(double neighbour, double n, double s) {
    return (neighbour - n) * n * s * kInverseStep;
}

// Whether the forward neighbours must hold an index too.
enum class Neighbours { Any, AtLeastOne };

// Answers n = indexAt(X, Y, Z) (millimetres) with G from forward differences along x, y and z.
// With Neighbours::AtLeastOne a finite answer whose neighbour lies below 1 is refused as an
// index below 1 is: the index computed is kept, the gradient is not written.
template <class IndexAt>
inline int answerFromDifferences(GrinCallRecord* r, const GrinInput& in, IndexAt indexAt,
                                 Neighbours neighbours = Neighbours::Any) {
    const double n = indexAt(in.X, in.Y, in.Z);
    const double nx = indexAt(in.X + kStep, in.Y, in.Z);
    const double ny = indexAt(in.X, in.Y + kStep, in.Z);
    const double nz = indexAt(in.X, in.Y, in.Z + kStep);
    const double gx = forwardGradient(nx, n, in.s), gy = forwardGradient(ny, n, in.s),
                 gz = forwardGradient(nz, n, in.s);
    if (neighbours == Neighbours::AtLeastOne && std::isfinite(gx) && std::isfinite(gy) &&
        std::isfinite(gz) && std::isfinite(n) && (nx < 1.0 || ny < 1.0 || nz < 1.0))
        return belowOne(r, n);
    return answer(r, n, gx, gy, gz);
}

// The squared distance from the z axis, millimetres squared.
inline double radialSquared(const GrinInput& in) {
    return in.X * in.X + in.Y * in.Y;
}

// Answers a profile whose gradient is radial, G = radial (X, Y), plus gz along z.
inline int answerRadial(GrinCallRecord* r, const GrinInput& in, double n, double radial,
                        double gz = 0.0) {
    return answer(r, n, in.X * radial, in.Y * radial, gz);
}

} // namespace
