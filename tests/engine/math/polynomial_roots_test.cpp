// Closed-form roots of cubics and quartics and the complex helpers they use.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/math/polynomial_roots.h"

namespace {

std::vector<double> sorted(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v;
}

// x^3 + c x^2 + b x + a with the given roots.
void cubicFrom(double x1, double x2, double x3, double& a, double& b, double& c) {
    c = -(x1 + x2 + x3);
    b = x1 * x2 + x1 * x3 + x2 * x3;
    a = -x1 * x2 * x3;
}

TEST(RealCubicRoots, ThreeDistinctDoubleAndTripleRoots) {
    struct Case {
        double x1, x2, x3, tolerance;
    } cases[] = {
        {1, 2, 3, 1e-12}, {-4, 0.5, 7, 1e-12}, {2, 2, -1, 1e-7}, {5, 5, 5, 1e-4}, {0, 0, 0, 0}};
    for (const Case& k : cases) {
        double a, b, c, r1, r2, r3;
        cubicFrom(k.x1, k.x2, k.x3, a, b, c);
        ASSERT_EQ(realCubicRoots(a, b, c, r1, r2, r3), 3) << k.x1 << " " << k.x2 << " " << k.x3;
        const std::vector<double> got = sorted({r1, r2, r3}), want = sorted({k.x1, k.x2, k.x3});
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(got[i], want[i], k.tolerance * (1 + std::fabs(want[i])));
    }
}

TEST(RealCubicRoots, OneRealRootLeavesNoFillersAsRoots) {
    // (x - 2)(x^2 + 1): Q^3 - R^2 < 0.
    double r1 = 9, r2 = 9, r3 = 9;
    EXPECT_EQ(realCubicRoots(-2, 1, -2, r1, r2, r3), 1);
    EXPECT_NEAR(r1, 2, 1e-12);
    EXPECT_EQ(r2, 0);
    EXPECT_EQ(r3, 0);
    // R = 0 with Q < 0: x^3 + 3x = 0 has the one real root 0 (sign(0) = +1, Q/A with A = 0).
    EXPECT_EQ(realCubicRoots(0, 3, 0, r1, r2, r3), 1);
    EXPECT_NEAR(r1, 0, 1e-15);
    EXPECT_FALSE(std::isnan(r1));
    // R = 0 with Q = 0: the triple root at -c/3.
    EXPECT_EQ(realCubicRoots(0, 0, 0, r1, r2, r3), 3);
    EXPECT_EQ(r1, 0);
    // R = 0, three real roots: x^3 - x = 0.
    EXPECT_EQ(realCubicRoots(0, -1, 0, r1, r2, r3), 3);
    const std::vector<double> got = sorted({r1, r2, r3});
    EXPECT_NEAR(got[0], -1, 1e-14);
    EXPECT_NEAR(got[1], 0, 1e-14);
    EXPECT_NEAR(got[2], 1, 1e-14);
}

TEST(RealCubicRoots, SmallCubicsAreClassifiedAtTheirOwnScale) {
    // (x - 0.001)(x^2 + 1e-6): one real root, although Q^3 - R^2 is far above -1e-8.
    const double s = 0.001;
    double r1, r2, r3;
    EXPECT_EQ(realCubicRoots(-s * s * s, s * s, -s, r1, r2, r3), 1);
    EXPECT_NEAR(r1, s, 1e-15);
    // Roots 1e-3, 2e-3, 3e-3 stay three.
    double a, b, c;
    cubicFrom(s, 2 * s, 3 * s, a, b, c);
    EXPECT_EQ(realCubicRoots(a, b, c, r1, r2, r3), 3);
    const std::vector<double> got = sorted({r1, r2, r3});
    EXPECT_NEAR(got[2], 3 * s, 1e-15);
}

// The monic quartic with roots given as (re, im) pairs; complex ones come with their conjugate.
struct Quartic {
    double e, b, c, d;
};
Quartic quarticFrom(const ComplexPair r[4]) {
    // Multiply out (x - r0)(x - r1)(x - r2)(x - r3) in complex arithmetic.
    ComplexPair k[5] = {{1, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}}; // k[i]: coefficient of x^(4-i)
    int degree = 0;
    for (int j = 0; j < 4; ++j) {
        for (int i = degree + 1; i >= 1; --i) {
            ComplexPair product;
            complexMultiply(r[j], k[i - 1], product);
            k[i] = {k[i].re - product.re, k[i].im - product.im};
        }
        ++degree;
    }
    return {k[4].re, k[1].re, k[2].re, k[3].re};
}

// Every expected root is matched by a distinct computed one.
void expectRoots(const ComplexPair want[4], const ComplexPair got[4], double tolerance) {
    bool used[4] = {};
    for (int i = 0; i < 4; ++i) {
        int best = -1;
        double bestDistance = 1e300;
        for (int j = 0; j < 4; ++j) {
            if (used[j]) continue;
            const double dist = std::hypot(got[j].re - want[i].re, got[j].im - want[i].im);
            if (dist < bestDistance) {
                bestDistance = dist;
                best = j;
            }
        }
        ASSERT_GE(best, 0);
        used[best] = true;
        EXPECT_LE(bestDistance, tolerance) << "root " << want[i].re << " + " << want[i].im << "i";
    }
}

TEST(QuarticRoots, KnownRootsOverEveryScale) {
    const ComplexPair shapes[][4] = {
        {{1, 0}, {-2, 0}, {3, 0}, {0.5, 0}},          // four real
        {{1, 1}, {1, -1}, {-2, 0}, {0.3, 0}},         // a pair and two real
        {{0.2, 2}, {0.2, -2}, {-1, 0.5}, {-1, -0.5}}, // two pairs
        {{1, 0}, {1, 0}, {-3, 0}, {2, 0}},            // a double root
        {{2, 0}, {-2, 0}, {1, 0}, {-1, 0}},           // biquadratic
        {{0, 1}, {0, -1}, {2, 0}, {-2, 0}},           // biquadratic with imaginary roots
        {{1, 1}, {-1, 1}, {1, -1}, {-1, -1}},         // biquadratic, x^4 = -4
    };
    for (double scale : {1e-3, 1e-1, 1.0, 37.0, 1e4}) {
        for (const auto& shape : shapes) {
            ComplexPair want[4];
            for (int i = 0; i < 4; ++i)
                want[i] = {shape[i].re * scale, shape[i].im * scale};
            const Quartic q = quarticFrom(want);
            ComplexPair got[4];
            quarticRoots(q.e, q.b, q.c, q.d, got);
            const bool doubleRoot = shape[0].re == shape[1].re && shape[0].im == shape[1].im;
            expectRoots(want, got, (doubleRoot ? 1e-7 : 1e-10) * scale);
        }
    }
}

TEST(QuarticRoots, BiquadraticShortcutOnlyWhenOddTermsAreNegligible) {
    // x^4 + 0.005 x^3 - 5 x^2 + 0.005 x + 4 is not biquadratic: 0.005 is not small beside roots
    // of size 1 to 2. An absolute 0.01 shortcut would give roots off by about 1e-3.
    ComplexPair want[4] = {{1, 0}, {-1, 0}, {2, 0}, {-2.005, 0}};
    const Quartic q = quarticFrom(want);
    ComplexPair got[4];
    quarticRoots(q.e, q.b, q.c, q.d, got);
    expectRoots(want, got, 1e-11);
    // All coefficients 0: four roots at 0, no NaN.
    quarticRoots(0, 0, 0, 0, got);
    for (const ComplexPair& r : got) {
        EXPECT_EQ(r.re, 0);
        EXPECT_EQ(r.im, 0);
    }
}

TEST(RealPolynomialRoots, LeadingCoefficientsNearZeroDropTheDegree) {
    // 1e-20 t^4 + (t - 1)(t - 2)(t + 3): the fourth root lies near -1e20, far beyond the range.
    double c[5] = {6, -7, 0, 1, 1e-20};
    double r[4];
    int n = realPolynomialRoots(c, 10, r);
    ASSERT_EQ(n, 3);
    std::vector<double> got = sorted({r[0], r[1], r[2]});
    EXPECT_NEAR(got[0], -3, 1e-9);
    EXPECT_NEAR(got[1], 1, 1e-9);
    EXPECT_NEAR(got[2], 2, 1e-9);
    // Down to a line and a quadratic.
    const double line[5] = {-4, 2, 1e-30, 0, 0};
    ASSERT_EQ(realPolynomialRoots(line, 1, r), 1);
    EXPECT_NEAR(r[0], 2, 1e-14);
    const double square[5] = {1, 0, 1, 0, 0}; // t^2 + 1: none
    EXPECT_EQ(realPolynomialRoots(square, 1, r), 0);
    const double nothing[5] = {};
    EXPECT_EQ(realPolynomialRoots(nothing, 1, r), 0);
    // A genuine quartic keeps four real roots, in units far from 1.
    ComplexPair want[4] = {{3e3, 0}, {-1e3, 0}, {5e2, 0}, {2e3, 0}};
    const Quartic q = quarticFrom(want);
    const double big[5] = {q.e, q.d, q.c, q.b, 1};
    ASSERT_EQ(realPolynomialRoots(big, 3e3, r), 4);
    got = sorted({r[0], r[1], r[2], r[3]});
    EXPECT_NEAR(got[0], -1e3, 1e-7);
    EXPECT_NEAR(got[3], 3e3, 1e-7);
}

TEST(ComplexHelpers, ZeroAndTheBranchCut) {
    ComplexPair out;
    complexRoot(out, {0, 0});
    EXPECT_EQ(out.re, 0);
    EXPECT_EQ(out.im, 0);
    complexPower(out, {0, 0}, {0.5, 0});
    EXPECT_EQ(out.re, 0);
    EXPECT_EQ(out.im, 0);
    complexDivide(out, {1, 1}, {0, 0}); // no quotient
    EXPECT_EQ(out.re, 0);
    EXPECT_EQ(out.im, 0);

    // Just above and just below the negative real axis the roots are conjugates near +-2i,
    // and each squares back to its argument.
    for (double im : {1e-12, -1e-12, 0.5, -0.5, 3.0, -3.0}) {
        const ComplexPair z{-4, im};
        complexRoot(out, z);
        EXPECT_GE(out.re, 0);
        EXPECT_EQ(std::signbit(out.im), std::signbit(im));
        ComplexPair square;
        complexMultiply(out, out, square);
        EXPECT_NEAR(square.re, z.re, 1e-14);
        EXPECT_NEAR(square.im, z.im, 1e-14);
    }
    complexRoot(out, {-4, 0});
    EXPECT_NEAR(out.im, 2, 1e-15);
    complexRoot(out, {9, 0});
    EXPECT_NEAR(out.re, 3, 1e-15);
    EXPECT_EQ(out.im, 0);

    // The principal power: (-8)^(1/3) = 1 + sqrt(3) i, i^i = exp(-pi/2).
    complexPower(out, {-8, 0}, {1.0 / 3, 0});
    EXPECT_NEAR(out.re, 1, 1e-14);
    EXPECT_NEAR(out.im, std::sqrt(3.0), 1e-14);
    complexPower(out, {0, 1}, {0, 1});
    EXPECT_NEAR(out.re, std::exp(-M_PI / 2), 1e-15);
    EXPECT_NEAR(out.im, 0, 1e-15);

    // Division with either part as the pivot, and extreme magnitudes without overflow.
    complexDivide(out, {1, 2}, {3, 4});
    EXPECT_NEAR(out.re, 0.44, 1e-15);
    EXPECT_NEAR(out.im, 0.08, 1e-15);
    complexDivide(out, {1, 2}, {4, -3});
    EXPECT_NEAR(out.re, -0.08, 1e-15);
    EXPECT_NEAR(out.im, 0.44, 1e-15);
    complexDivide(out, {1e300, 1e300}, {1e300, 1e300});
    EXPECT_NEAR(out.re, 1, 1e-15);
    EXPECT_NEAR(out.im, 0, 1e-15);
}

} // namespace
