#include "engine/optics/random_sampling.h"

#include <cmath>

namespace {
// The constants of the draws as the stored models were made with them.
constexpr double kPi = 3.141592654;
constexpr double kHalfPi = 1.570796327;
constexpr double kFineScale = 1073676289.0; // 32767^2
} // namespace

RandomState& randomState() {
    static RandomState state;
    return state;
}

void resetRandomState() {
    randomState() = RandomState{};
}

int randomInt() {
    return randomState().generator.next();
}

void seedRandom(unsigned int seed) {
    randomState().generator.seed(seed);
}

double randomUniform() {
    return randomInt() / static_cast<double>(kRandomMax);
}

double randomPolarCosine() {
    return 1.0 - std::asin(randomUniform()) / kHalfPi;
}

int randomDirection(double& x, double& y, double& z) {
    const double c = randomPolarCosine();
    z = (randomInt() & 1) ? 1.0 - c : c - 1.0;
    const double s = std::sqrt(std::fmax(0.0, 1.0 - z * z));
    // One draw gives the azimuth's magnitude and, by its parity, the sign of its sine.
    const int d = randomInt();
    const double cosPhi = std::cos((2.0 * d / kRandomMax - 1.0) * kPi);
    double sinPhi = 1.0;
    if (cosPhi != 0.0) {
        sinPhi = std::sqrt(std::fmax(0.0, 1.0 - cosPhi * cosPhi));
        if (!(d & 1)) sinPhi = -sinPhi;
    }
    x = cosPhi * s;
    y = s * sinPhi;
    return 1;
}

double drawHenyeyGreenstein(double g) {
    const double u = randomUniform();
    if (g == 0.0) return 2.0 * u - 1.0;
    const double numerator = 1.0 - g * g;
    const double denominator = 1.0 - g + 2.0 * g * u;
    double c;
    if (denominator == 0.0) {
        // The limit of the formula at its pole: |g| = 1 puts every draw straight ahead of the
        // sign of g; beyond 1 the cosine runs off to the far end.
        if (numerator == 0.0)
            c = g > 0.0 ? 1.0 : -1.0;
        else
            c = g > 0.0 ? -1.0 : 1.0;
    } else {
        const double e = numerator / denominator;
        c = (1.0 + g * g - e * e) / (2.0 * g);
    }
    if (std::isnan(c)) return 2.0 * u - 1.0; // a non-number g: isotropic
    if (c > 1.0) return 1.0;
    if (c < -1.0) return -1.0;
    return c;
}

void directionFromCosine(Vec3& out, double cosine) {
    double c = cosine;
    double sinTheta = 0.0;
    if (c >= 1.0) {
        c = 1.0;
    } else if (c <= -1.0) {
        c = -1.0;
    } else if (std::isnan(c)) {
        c = 1.0;
    } else {
        sinTheta = std::sqrt(1.0 - c * c);
    }
    const int d = randomInt();
    const double phi = (2.0 * d / kRandomMax - 1.0) * kPi;
    double cosPhi = std::cos(phi);
    double sinPhi = 1.0;
    if (cosPhi != 0.0) sinPhi = std::sqrt(std::fmax(0.0, 1.0 - cosPhi * cosPhi));
    if (d & 1) sinPhi = -sinPhi;
    if (d & 4) cosPhi = -cosPhi;
    out = {sinTheta * cosPhi, sinTheta * sinPhi, c};
}

double drawFreePath(double mu) {
    const int high = randomInt();
    const int low = randomInt();
    const double sum = static_cast<double>(high) * kRandomMax + low;
    const double r = sum == 0.0 ? 1.0 / kFineScale : sum / kFineScale;
    // r can exceed 1 by 1/32767, which would give a slightly negative length.
    return std::fabs(-std::log(r) / mu);
}
