// Gradient-index plug-in: an axial glass whose d-line index is a polynomial along z, with
// dispersion form A. Built once per table; AXIAL_TABLE names the library's table.
#include "axial_tables.h"
#include "dispersion.h"
#include "grin_routines.h"

#ifndef AXIAL_TABLE
#error "AXIAL_TABLE must name the library's table"
#endif

namespace {

constexpr const AxialTable& kTable = AXIAL_TABLE;
const char* const kNames[MERIDYN_PARAM_SLOTS] = {"maxdist", "delta_z", "", "", "", "", "", "", ""};

inline double axialNd(double t) {
    const double* c = kTable.c;
    double nd = c[11];
    for (int i = 10; i >= 0; --i)
        nd = nd * t + c[i];
    return nd;
}

} // namespace

MERIDYN_PLUGIN_EXPORT int UserParamNames(char* buffer) {
    return answerParamName(kNames, buffer);
}

MERIDYN_PLUGIN_EXPORT int UserGrinDefinition(GrinCallRecord* r) {
    if (!r) return -1;
    const GrinInput in = readInput(r);
    if (!inRange(in.lambda, 0.38, 2.2)) return noIndex(r);
    const double t = in.s * kTable.k * (r->v[GRIN_Z] + in.p[1]);
    const double nd = axialNd(t);
    if (nd < 1.0) return -1; // nothing written
    const double n = dispersionFormA(nd, in.lambda);
    const double next = dispersionFormA(axialNd(t + kStep), in.lambda);
    const double gz = (next - n) * n * in.s * kTable.gradientFactor;
    return answer(r, n, 0.0, 0.0, gz);
}
