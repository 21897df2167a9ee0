#include "engine/optics/coatings.h"

#include <cmath>

#include "command/messages/messages.h"
#include "engine/math/complex_math.h"

namespace {
// A squared-modulus ratio; a zero denominator (a degenerate coating, such as an incident medium
// of index 0) counts as full reflection rather than 0/0.
double ratio(double numerator, double denominator) {
    return denominator > 0.0 ? numerator / denominator : 1.0;
}

// The split of 1 - R that a coating reports by its absorb_flag.
void splitRemainder(const CoatingRecord& coating, double R, double& transmitted, double& absorbed) {
    if (coating.cons[1] == 1.0) {
        absorbed = 1.0 - R;
        transmitted = 0.0;
    } else {
        transmitted = 1.0 - R;
        absorbed = 0.0;
    }
}

// The check lines carry their own "Error:" and are written as they are.
int refuseCoating(const char* text) {
    outText(outputChannel, "%s", text);
    errorOccurred = 1;
    return 1;
}
} // namespace

namespace {
// The checks both coating models share: pfraction and absorb_flag.
int checkSharedCoating(CoatingRecord& coating) {
    const double pfraction = coating.cons[0];
    if (!(pfraction >= 0.0 && pfraction <= 1.0))
        return refuseCoating("Error: pfraction must be between 0 and 1\n");
    const double absorbFlag = coating.cons[1];
    if (absorbFlag != 0.0 && absorbFlag != 1.0) {
        outText(outputChannel, "Error: absorptance must be either 0 or 1\n");
        outText(outputChannel, "Absorb_flag set to 1.0\n");
        coating.cons[1] = 1.0;
    }
    return 0;
}
} // namespace

int checkMetalCoating(CoatingRecord& coating) {
    if (checkSharedCoating(coating)) return 1;
    // Missing constants are 0: an incident index of 0 or a metal index of 0 + 0i would give
    // 0/0 reflectances. Infinite constants give the same.
    const double* c = coating.cons;
    const bool finite =
        std::isfinite(c[2]) && std::isfinite(c[3]) && std::isfinite(c[4]) && std::isfinite(c[5]);
    if (!finite || !(c[2] > 0.0) || (c[4] == 0.0 && c[5] == 0.0))
        return refuseCoating("Error: METAL n0 must be positive and n1, k1 not both 0\n");
    return 0;
}

int checkLwirMetalCoating(CoatingRecord& coating) {
    if (checkSharedCoating(coating)) return 1;
    // ep0 and omega divide in the model; sigmast and cons6 may be 0.
    const double* c = coating.cons;
    if (!(c[2] > 0.0 && c[3] > 0.0 && c[4] >= 0.0 && c[5] >= 0.0))
        return refuseCoating("Error: All LWIR Parameters Must be Positive\n");
    return 0;
}

int metalReflectance(const Vec3& direction, const Vec3& normal, const CoatingRecord& coating,
                     double& R, double& transmitted, double& absorbed) {
    const double pfraction = coating.cons[0];
    const double n0 = coating.cons[2], k0 = coating.cons[3];
    const ComplexPair m0{n0, n0 * k0};
    const ComplexPair m1{coating.cons[4], coating.cons[5]};
    const double q = std::fabs(dot3(direction, normal));

    ComplexPair m0sq, m1sq;
    complexMultiply(m0, m0, m0sq);
    complexMultiply(m1, m1, m1sq);
    const ComplexPair b0{q * m0.re, q * m0.im};
    ComplexPair b1{q * q * m0sq.re + m1sq.re - m0sq.re, q * q * m0sq.im + m1sq.im - m0sq.im};
    complexSqrt(b1, b1);

    const double rs = ratio(complexNormSquared({b0.re - b1.re, b0.im - b1.im}),
                            complexNormSquared({b0.re + b1.re, b0.im + b1.im}));
    ComplexPair p0, p1; // m1^2 b0 and m0^2 b1
    complexMultiply(m1sq, b0, p0);
    complexMultiply(m0sq, b1, p1);
    const double rp = ratio(complexNormSquared({p0.re - p1.re, p0.im - p1.im}),
                            complexNormSquared({p0.re + p1.re, p0.im + p1.im}));

    R = (1.0 - pfraction) * rs + pfraction * rp;
    splitRemainder(coating, R, transmitted, absorbed);
    return rp < 0.0;
}

int lwirMetalReflectance(const Vec3& direction, const Vec3& normal, const CoatingRecord& coating,
                         double& R, double& transmitted, double& absorbed) {
    const double pfraction = coating.cons[0];
    const double ep0 = coating.cons[2], omega = coating.cons[3], sigmast = coating.cons[4];
    const double q = std::fabs(dot3(direction, normal));

    const double loss = sigmast / (omega * ep0);
    const double e2 = 2.0 / (1.0 + std::sqrt(1.0 + loss * loss));
    const double Q = std::sqrt(e2) * q;
    const double rs = ((1.0 - Q) * (1.0 - Q) + 1.0) / ((1.0 + Q) * (1.0 + Q) + 1.0);
    const double rp = (e2 - 2.0 * Q + 2.0 * q * q) / (e2 + 2.0 * Q + 2.0 * q * q);

    R = (1.0 - pfraction) * rs + pfraction * rp;
    splitRemainder(coating, R, transmitted, absorbed);
    return rp < 0.0;
}
