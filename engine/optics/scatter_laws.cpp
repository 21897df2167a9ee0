#include "engine/optics/scatter_laws.h"

#include <cmath>
#include <limits>

#include "command/messages/messages.h"
#include "engine/optics/direction_frames.h"
#include "engine/optics/random_sampling.h"

namespace {
constexpr double kPi = 3.141592654;
constexpr double kThreshold = 1e-7;
constexpr double kLambertianSigma = 1e99;

// What every law shares: the side test, the draw that decides between the specular direction and
// a scattered one, and the specular direction in the normal frame. Returns what the law returns
// at once (0 on the wrong side, 1 for the specular direction), or -1 when it goes on to scatter
// about `local`.
int startScatter(const Vec3& source, double fraction, Vec3& out, Vec3& normal, Vec3& local) {
    if (dot3(source, normal) < 0.0) return 0;
    const double u = randomUniform();
    const bool specular = fraction <= 0.0 || (fraction < 1.0 && u <= 1.0 - fraction);
    if (specular) {
        out = source;
        return 1;
    }
    toNormalFrame(source, normal, local);
    return -1;
}

// A uniform draw for an offset, or a negative value when it lies too close to 1 for a logarithm.
double offsetDraw() {
    const double u = randomUniform();
    return 1.0 - u <= kThreshold ? -1.0 : u;
}

// Completes a direction from its x and y cosines in the normal frame: false when they leave the
// unit disc. z takes the side of the specular direction.
bool finishDirection(double l, double m, double n0, Vec3& normal, Vec3& out) {
    if (!(std::fabs(l) < 1.0 && std::fabs(m) < 1.0 && l * l + m * m < 1.0)) return false;
    double z = std::sqrt(1.0 - l * l - m * m);
    if (std::fabs(n0) < kThreshold)
        z = 0.0;
    else if (n0 < 0.0)
        z = -z;
    toGlobalFromNormalFrame(Vec3{l, m, z}, normal, out);
    return true;
}

int noDirectionFound() {
    outText(outputChannel, " NO REAL DIFFUSE RAY FOUND AFTER %ld TRIES\n",
            static_cast<long>(kScatterAttempts));
    return 0;
}

// Radial laws: rho(u) gives the offset length, the azimuth is uniform.
template <typename Radius>
int scatterRadial(const Vec3& source, double fraction, Vec3& out, double n, Vec3& normal,
                  Radius radius) {
    Vec3 local;
    if (const int done = startScatter(source, fraction, out, normal, local); done >= 0) return done;
    for (int attempt = 0; attempt < kScatterAttempts; ++attempt) {
        const double u = offsetDraw();
        if (u < 0.0) continue;
        const double rho = radius(u);
        if (!(std::fabs(rho) < 2.0)) continue;
        const double phi = 2.0 * kPi * randomUniform();
        const double l = local.x + rho * std::cos(phi) / n;
        const double m = local.y + rho * std::sin(phi) / n;
        if (finishDirection(l, m, local.z, normal, out)) return 1;
    }
    return noDirectionFound();
}

double gaussianRadius(double sigma, double u) {
    return sigma >= 2.0 ? 2.0 * std::sqrt(u) : sigma * std::sqrt(-2.0 * std::log(1.0 - u));
}

// One signed exponential offset along an axis (scale k), or NaN when the draw is unusable.
double exponentialOffset(double sigma, double k) {
    const double u = offsetDraw();
    if (u < 0.0) return std::numeric_limits<double>::quiet_NaN();
    double p = sigma >= 2.0 ? 2.0 * std::sqrt(u) * k : -2.0 * sigma * std::log(1.0 - u) * k;
    if (!(randomUniform() > 0.5)) p = -p;
    return p;
}
} // namespace

int scatterGaussian(const Vec3& source, double sigma, double fraction, Vec3& out, double n,
                    Vec3& normal) {
    return scatterRadial(source, fraction, out, n, normal,
                         [sigma](double u) { return gaussianRadius(sigma, u); });
}

int scatterLambertian(const Vec3& source, double fraction, Vec3& out, double n, Vec3& normal) {
    return scatterGaussian(source, kLambertianSigma, fraction, out, n, normal);
}

int scatterPowerLaw(const Vec3& source, double exponent, double fraction, Vec3& out, double n,
                    Vec3& normal) {
    if (!(exponent >= 0.0 && exponent < 2.0)) {
        if (dot3(source, normal) < 0.0) return 0;
        outText(outputChannel, " POWER LAW COEFFICENT OUT OF RANGE\n");
        return 1;
    }
    const double power = 1.0 / (2.0 - exponent);
    return scatterRadial(source, fraction, out, n, normal,
                         [power](double u) { return 2.0 * std::pow(u, power); });
}

int scatterXyExponential(const Vec3& source, double xsigma, double ysigma, double fraction,
                         Vec3& out, double n, Vec3& normal) {
    Vec3 local;
    if (const int done = startScatter(source, fraction, out, normal, local); done >= 0) return done;
    for (int attempt = 0; attempt < kScatterAttempts; ++attempt) {
        const double px = exponentialOffset(xsigma, 1.0);
        if (!(std::fabs(px) < 2.0)) continue;
        const double l = local.x + px / n;
        if (!(std::fabs(l) < 1.0)) continue;
        const double py = exponentialOffset(ysigma, std::sqrt(std::fabs(1.0 - px * px)));
        if (!(std::fabs(py) < 2.0)) continue;
        const double m = local.y + py / n;
        if (finishDirection(l, m, local.z, normal, out)) return 1;
    }
    return noDirectionFound();
}
