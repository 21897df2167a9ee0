#include "engine/math/polynomial_roots.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kTwoPi = 6.283185307179586;
// Below this share of the largest term a coefficient counts as rounding noise.
constexpr double kNegligible = 1e-14;
// A leading term this small beside the largest over the range of interest is rounding noise.
constexpr double kDropLeading = 1e-13;
// A root this far beyond the range of interest is divided out before the closed forms run.
constexpr double kFarRoot = 100;
// Complex roots whose imaginary part is below this share of the range count as real.
constexpr double kGrazing = 1e-6;

ComplexPair add(const ComplexPair& a, const ComplexPair& b) {
    return {a.re + b.re, a.im + b.im};
}
ComplexPair mul(const ComplexPair& a, const ComplexPair& b) {
    ComplexPair r;
    complexMultiply(a, b, r);
    return r;
}
double modulus(const ComplexPair& z) {
    return std::hypot(z.re, z.im);
}

// Both roots of x^2 + p x + q = 0 with real p and q, without cancellation.
void realQuadratic(double p, double q, ComplexPair& x1, ComplexPair& x2) {
    const double disc = p * p - 4 * q;
    if (disc >= 0) {
        const double root = std::sqrt(disc);
        const double big = -(p + (p >= 0 ? root : -root)) / 2;
        x1 = {big, 0};
        x2 = {big != 0 ? q / big : 0.0, 0};
    } else {
        const double im = std::sqrt(-disc) / 2;
        x1 = {-p / 2, im};
        x2 = {-p / 2, -im};
    }
}

// x^4 + c x^2 + e = 0: x^2 is a root y of the quadratic, x = +-sqrt(y).
void biquadraticRoots(double c, double e, ComplexPair roots[4]) {
    ComplexPair y1, y2;
    realQuadratic(c, e, y1, y2);
    complexRoot(roots[0], y1);
    complexRoot(roots[2], y2);
    roots[1] = {-roots[0].re, -roots[0].im};
    roots[3] = {-roots[2].re, -roots[2].im};
}

// p(x) and p'(x) of the monic quartic.
void quarticValue(const double k[4], const ComplexPair& x, ComplexPair& value, ComplexPair& slope) {
    // Horner's scheme carried for the value and the derivative together.
    ComplexPair v{1, 0}, s{0, 0};
    for (int i = 0; i < 4; ++i) {
        s = add(mul(s, x), v);
        v = add(mul(v, x), {k[i], 0});
    }
    value = v;
    slope = s;
}

// A few Newton steps on the monic quartic (coefficients b, c, d, e), each kept only when it
// lowers |p|: they recover the digits that the closed form loses to cancellation.
void polishQuarticRoot(const double k[4], ComplexPair& x) {
    ComplexPair value, slope;
    quarticValue(k, x, value, slope);
    double best = modulus(value);
    for (int step = 0; step < 3 && best > 0; ++step) {
        if (slope.re == 0 && slope.im == 0) return;
        ComplexPair delta;
        complexDivide(delta, value, slope);
        const ComplexPair next{x.re - delta.re, x.im - delta.im};
        ComplexPair nextValue, nextSlope;
        quarticValue(k, next, nextValue, nextSlope);
        const double size = modulus(nextValue);
        if (!(size < best)) return;
        x = next;
        best = size;
        slope = nextSlope;
        value = nextValue;
    }
}

// The quartic with roots of size about 1: Ferrari's reduction to the depressed quartic
// y^4 + p y^2 + q y + r (x = y - b/4), whose resolvent cubic has a positive root m when q is not
// 0; then the quartic splits into y^2 -+ s y + (p/2 + m +- q/(2s)) with s = sqrt(2m).
void unitQuarticRoots(double e, double b, double c, double d, ComplexPair roots[4]) {
    if (std::fabs(b) <= kNegligible && std::fabs(d) <= kNegligible) {
        biquadraticRoots(c, e, roots);
        return;
    }
    const double shift = b / 4;
    const double b2 = b * b;
    const double p = c - 3 * b2 / 8;
    const double q = d - b * c / 2 + b2 * b / 8;
    const double r = e - b * d / 4 + b2 * c / 16 - 3 * b2 * b2 / 256;
    double m = 0;
    if (std::fabs(q) > kNegligible) {
        double m1, m2, m3;
        const int n = realCubicRoots(-q * q / 8, p * p / 4 - r, p, m1, m2, m3);
        m = n == 3 ? std::max(m1, std::max(m2, m3)) : m1;
        // One Newton step on the resolvent sharpens the root the splitting depends on; it is
        // kept only when it lowers the residual (at a double root the slope vanishes).
        auto resolvent = [&](double x) { return ((x + p) * x + (p * p / 4 - r)) * x - q * q / 8; };
        const double f = resolvent(m);
        const double fp = (3 * m + 2 * p) * m + (p * p / 4 - r);
        if (fp != 0) {
            const double better = m - f / fp;
            if (better > 0 && std::fabs(resolvent(better)) < std::fabs(f)) m = better;
        }
    }
    if (!(m > 0)) {
        biquadraticRoots(p, r, roots);
    } else {
        const double s = std::sqrt(2 * m);
        realQuadratic(-s, p / 2 + m + q / (2 * s), roots[0], roots[1]);
        realQuadratic(s, p / 2 + m - q / (2 * s), roots[2], roots[3]);
    }
    for (int i = 0; i < 4; ++i)
        roots[i].re -= shift;
}

} // namespace

int realCubicRoots(double a, double b, double c, double& r1, double& r2, double& r3) {
    const double Q = (c * c - 3 * b) / 9;
    const double R = (2 * c * c * c - 9 * c * b + 27 * a) / 54;
    const double Q3 = Q * Q * Q, R2 = R * R;
    const double third = c / 3;
    // Three real roots when Q^3 >= R^2, up to rounding at the cubic's own scale.
    if (Q3 - R2 >= -1e-8 * std::max(std::fabs(Q3), R2)) {
        if (Q <= 0) {
            r1 = r2 = r3 = -third;
            return 3;
        }
        const double rootQ = std::sqrt(Q);
        double cosine = R / (Q * rootQ);
        if (!(cosine >= -1)) cosine = -1;
        if (!(cosine <= 1)) cosine = 1;
        const double theta = std::acos(cosine);
        r1 = -2 * rootQ * std::cos(theta / 3) - third;
        r2 = -2 * rootQ * std::cos((theta + kTwoPi) / 3) - third;
        r3 = -2 * rootQ * std::cos((theta - kTwoPi) / 3) - third;
        return 3;
    }
    const double A = -(R >= 0 ? 1.0 : -1.0) * std::cbrt(std::fabs(R) + std::sqrt(R2 - Q3));
    const double B = A != 0 ? Q / A : 0.0;
    r1 = A + B - third;
    r2 = r3 = 0;
    return 1;
}

void quarticRoots(double e, double b, double c, double d, ComplexPair roots[4]) {
    // Solved for x = size y, so that the roots y are of size about 1 whatever the units.
    const double size =
        std::max(std::max(std::fabs(b), std::sqrt(std::fabs(c))),
                 std::max(std::cbrt(std::fabs(d)), std::sqrt(std::sqrt(std::fabs(e)))));
    if (!(size > 0) || !std::isfinite(size)) {
        for (int i = 0; i < 4; ++i)
            roots[i] = {};
        return;
    }
    const double k[4] = {b / size, c / (size * size), d / (size * size * size),
                         e / (size * size * size * size)};
    unitQuarticRoots(k[3], k[0], k[1], k[2], roots);
    for (int i = 0; i < 4; ++i) {
        polishQuarticRoot(k, roots[i]);
        roots[i] = {roots[i].re * size, roots[i].im * size};
    }
}

namespace {

// The polynomial sum k[i] u^i of the given degree at u, with its slope.
void polynomialValue(const double* k, int degree, double u, double& value, double& slope) {
    value = k[degree];
    slope = 0;
    for (int i = degree - 1; i >= 0; --i) {
        slope = slope * u + value;
        value = value * u + k[i];
    }
}

// A root far beyond |u| = 1 when the leading term is small: near -k[d-1]/k[d], where the two
// leading terms outweigh the rest. Its value after a few Newton steps, or false when the
// polynomial has no such root.
bool farRoot(const double* k, int degree, double& root) {
    const double lead = k[degree], next = k[degree - 1];
    if (!(std::fabs(lead) * kFarRoot <= std::fabs(next))) return false;
    double u = -next / lead;
    // The estimate stands only where the two leading terms are the largest by far.
    const double dominant = std::fabs(next) * std::pow(std::fabs(u), degree - 1);
    for (int j = 0; j < degree - 1; ++j)
        if (!(std::fabs(k[j]) * std::pow(std::fabs(u), j) * kFarRoot <= dominant)) return false;
    for (int step = 0; step < 8; ++step) {
        double value, slope;
        polynomialValue(k, degree, u, value, slope);
        if (slope == 0 || !std::isfinite(slope)) break;
        const double better = u - value / slope;
        const bool settled = std::fabs(better - u) <= 1e-15 * std::fabs(u);
        u = better;
        if (settled) break;
    }
    root = u;
    return std::isfinite(u);
}

// The real roots of sum k[i] u^i of the given degree, the roots that matter being those of size
// about 1. A far root is divided out from the constant end, which keeps the remaining roots
// exact; the closed forms then solve a polynomial whose roots are all of one size.
int realRootsNearUnit(const double* coefficients, int degree, double* roots) {
    double k[5];
    double largest = 0;
    for (int i = 0; i <= degree; ++i) {
        k[i] = coefficients[i];
        largest = std::max(largest, std::fabs(k[i]));
    }
    if (!(largest > 0) || !std::isfinite(largest)) return 0;
    while (degree > 0 && std::fabs(k[degree]) <= kDropLeading * largest)
        --degree;
    if (degree >= 3) {
        double far;
        if (farRoot(k, degree, far)) {
            // (u - far)(c[d-1] u^(d-1) + ... + c[0]): from the constant end c[0] = -k[0]/far,
            // c[i] = (c[i-1] - k[i])/far.
            double c[4];
            c[0] = -k[0] / far;
            for (int i = 1; i < degree; ++i)
                c[i] = (c[i - 1] - k[i]) / far;
            const int n = realRootsNearUnit(c, degree - 1, roots);
            roots[n] = far;
            return n + 1;
        }
    }
    int count = 0;
    switch (degree) {
    case 4: {
        ComplexPair z[4];
        quarticRoots(k[0] / k[4], k[3] / k[4], k[2] / k[4], k[1] / k[4], z);
        for (const ComplexPair& root : z)
            if (std::fabs(root.im) <= kGrazing * std::max(1.0, std::fabs(root.re)))
                roots[count++] = root.re;
        break;
    }
    case 3:
        count = realCubicRoots(k[0] / k[3], k[1] / k[3], k[2] / k[3], roots[0], roots[1], roots[2]);
        break;
    case 2: {
        ComplexPair x1, x2;
        realQuadratic(k[1] / k[2], k[0] / k[2], x1, x2);
        if (x1.im == 0) {
            roots[count++] = x1.re;
            roots[count++] = x2.re;
        } else if (std::fabs(x1.im) <= kGrazing * std::max(1.0, std::fabs(x1.re))) {
            roots[count++] = x1.re;
        }
        break;
    }
    case 1:
        roots[count++] = -k[0] / k[1];
        break;
    default:
        break;
    }
    return count;
}

} // namespace

int realPolynomialRoots(const double c[5], double scale, double roots[4]) {
    if (!(scale > 0) || !std::isfinite(scale)) scale = 1;
    // The coefficients of t = scale u.
    double k[5];
    double power = 1;
    for (int i = 0; i <= 4; ++i) {
        k[i] = c[i] * power;
        power *= scale;
    }
    const int count = realRootsNearUnit(k, 4, roots);
    for (int i = 0; i < count; ++i)
        roots[i] *= scale;
    return count;
}
