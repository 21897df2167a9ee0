// The two dispersion forms of the gradient-index plug-ins: from the d-line index nd to the index
// at a wavelength lambda (micrometres). Both give n = nd where lambda^2 = kDLineSquared.
#pragma once

#include <cmath>

namespace {

constexpr double kDLineSquared = 0.3452267536;

// Form A: n^2 = nd^2 + sum P_k(nd) (L - Ld) / (L - Q_k(nd)), P_k of degree 5, Q_k of degree 2.
inline double dispersionFormA(double nd, double lambda) {
    static constexpr double P[3][6] = {
        {-0.0683636, -0.0323639, -0.0286748, -0.0169163, 0.00256909, 0.0174719},
        {-0.00109783, 0.0334663, 0.0388098, 0.0370413, 0.017429, -0.0405421},
        {0.931075, -0.0306245, -0.0392756, -0.0423487, -0.0256629, 0.0437821}};
    static constexpr double Q[3][3] = {{0.00498103, 0.000410271, 2.44e-05},
                                       {0.082168, 0.0343531, -0.0337717},
                                       {110.0, 0.000285988, 0.000362547}};
    const double L = lambda * lambda;
    const double dL = L - kDLineSquared;
    double n2 = nd * nd;
    for (int k = 0; k < 3; ++k) {
        const double* p = P[k];
        double pk = ((((p[5] * nd + p[4]) * nd + p[3]) * nd + p[2]) * nd + p[1]) * nd + p[0];
        double qk = (Q[k][2] * nd + Q[k][1]) * nd + Q[k][0];
        n2 += pk * dL / (L - qk);
    }
    return std::sqrt(n2);
}

// Form B: the same sum with P_k of degree 3 and fixed poles Q_k.
inline double dispersionFormB(double nd, double lambda) {
    static constexpr double P[3][4] = {{-0.55614, 0.352371, 0.151477, -0.09623},
                                       {-0.62557, 0.598486, 0.13299, -0.17695},
                                       {6.52725, -1.23732, -5.93953, 2.83301}};
    static constexpr double Q[3] = {-0.1219, 0.020965, 109.949};
    const double L = lambda * lambda;
    const double dL = L - kDLineSquared;
    double n2 = nd * nd;
    for (int k = 0; k < 3; ++k) {
        const double* p = P[k];
        double pk = ((p[3] * nd + p[2]) * nd + p[1]) * nd + p[0];
        n2 += pk * dL / (L - Q[k]);
    }
    return std::sqrt(n2);
}

// A dispersion form with the wavelengths (micrometres, inclusive) it holds for.
struct DispersionForm {
    double (*index)(double nd, double lambda);
    double lo, hi;
};

constexpr DispersionForm kFormA{dispersionFormA, 0.38, 2.2};
constexpr DispersionForm kFormB{dispersionFormB, 0.365, 2.5};

} // namespace
