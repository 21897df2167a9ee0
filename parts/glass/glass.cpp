#include "parts/glass/glass.h"

#include <climits>
#include <cmath>
#include <cstring>

#include "command/text/number_text.h"

namespace {

// Reads up to `count` numbers into `out`, stopping at the first that is not there (as sscanf).
int scanDoubles(const char* text, double* out, int count) {
    int read = 0;
    while (read < count && scanCDouble(text, out[read])) ++read;
    return read;
}

double finiteOrError(double n) {
    return std::isfinite(n) ? n : kGlassIndexError;
}

} // namespace

int CGlass::ParseLine(const char* tag, const char* rest) {
    if (!tag || !rest) return 0;
    auto is = [tag](const char* t) { return std::strncmp(tag, t, 2) == 0; };
    if (is("NM")) {
        // "%s %ld %ld %lg %lg": stops at the first field that cannot be read.
        const char* p = rest;
        long type = formulaType;
        if (scanCWord(p, name) && scanCLong(p, type)) {
            // A number beyond int range is no formula type (it must not wrap onto one).
            formulaType = (type >= INT_MIN && type <= INT_MAX) ? static_cast<int>(type) : 0;
            if (scanCLong(p, code) && scanCDouble(p, nd)) scanCDouble(p, vd);
        }
        return 1;
    }
    if (is("ED")) {
        scanDoubles(rest, extra, 4);
        return 1;
    }
    if (is("CD")) {
        scanDoubles(rest, dispersion, 6);
        return 1;
    }
    if (is("TD")) {
        scanDoubles(rest, thermal, 6);
        return 1;
    }
    if (is("LD")) {
        if (scanDoubles(rest, range, 2) == 2) hasRange = true;
        return 1;
    }
    if (is("IT")) {
        if (transmittanceCount < kGlassTransmittanceRows)
            scanDoubles(rest, transmittance[transmittanceCount++].values, 3);
        return 1;
    }
    return 0;
}

double CGlass::ClampWavelength(double lambda) const {
    if (!hasRange) return lambda;
    if (lambda > range[1]) return range[1];
    if (lambda < range[0]) return range[0];
    return lambda;
}

double CGlass::Index(double lambda) const {
    const double* a = dispersion;
    const double L = lambda * lambda;
    switch (formulaType) {
    case 1: {
        if (L == 0.0) return kGlassIndexError;
        const double L2 = L * L;
        double s = a[0] + a[1] * L + a[2] / L + a[3] / L2 + a[4] / (L2 * L) + a[5] / (L2 * L2);
        if (s == 0.0) return finiteOrError(nd != 0.0 ? nd : 1.0);
        return finiteOrError(std::sqrt(std::fabs(s)));
    }
    case 2: {
        double s = 1.0;
        for (int k = 0; k < 6; k += 2) {
            if (L == a[k + 1])
                s += 1000.0;
            else
                s += a[k] * L / (L - a[k + 1]);
        }
        return finiteOrError(std::sqrt(std::fabs(s)));
    }
    case 3: {
        double H = (L == 0.028) ? 100.0 : 1.0 / (L - 0.028);
        return finiteOrError(a[0] + a[1] * H + a[2] * H * H + a[3] * L + a[4] * L * L +
                             a[5] * L * L * L);
    }
    case 4: {
        const double b2 = a[2] * a[2];
        const double b4 = a[4] * a[4];
        if (L == 0.0 || L == b2 || L == b4) return kGlassIndexError;
        double s = 1.0 + a[0] + a[1] / (1.0 - b2 / L) + a[3] / (L - b4);
        return finiteOrError(std::sqrt(std::fabs(s)));
    }
    case 5: {
        if (lambda == 0.0) return kGlassIndexError;
        return finiteOrError(a[0] + a[1] / lambda + a[2] / std::pow(lambda, 3.5));
    }
    default:
        return kGlassIndexError;
    }
}
