#include "engine/optics/coatings.h"

#include <cmath>

#include "engine/math/complex_math.h"
#include "engine/optics/optics.h"
#include "tests/engine/engine_fixture.h"

namespace {

using CoatingsTest = EngineTest;

CoatingRecord metal(double pfraction, double absorb, double n0, double k0, double n1, double k1) {
    return CoatingRecord{kCoatingMetal, {pfraction, absorb, n0, k0, n1, k1}};
}

CoatingRecord lwir(double pfraction, double absorb, double ep0, double omega, double sigmast,
                   double c6) {
    return CoatingRecord{kCoatingLwirMetal, {pfraction, absorb, ep0, omega, sigmast, c6}};
}

// A unit direction at the given incidence angle onto the normal (0, 0, -1) (which faces it).
Vec3 incident(double degrees) {
    double a = degrees * M_PI / 180.0;
    return {std::sin(a), 0.0, std::cos(a)};
}
const Vec3 kNormal{0, 0, -1};

} // namespace

TEST(ComplexMath, PrincipalSquareRootAndProduct) {
    ComplexPair r;
    complexSqrt({3, 4}, r);
    EXPECT_NEAR(r.re, 2, 1e-15);
    EXPECT_NEAR(r.im, 1, 1e-15);
    complexSqrt({-3, -4}, r);
    EXPECT_NEAR(r.re, 1, 1e-15);
    EXPECT_NEAR(r.im, -2, 1e-15);
    complexSqrt({-4, 0}, r); // on the cut: the upper root
    EXPECT_NEAR(r.re, 0, 1e-15);
    EXPECT_NEAR(r.im, 2, 1e-15);
    complexSqrt({0, 0}, r);
    EXPECT_EQ(r.re, 0);
    EXPECT_EQ(r.im, 0);
    ComplexPair p{1, 2};
    complexMultiply(p, {3, -1}, p);
    EXPECT_EQ(p.re, 5);
    EXPECT_EQ(p.im, 5);
}

TEST_F(CoatingsTest, MetalChecksRefuseBadFractionAndMendTheAbsorbFlag) {
    CoatingRecord c = metal(1.5, 0, 1, 0, 1.5, 0);
    EXPECT_EQ(checkMetalCoating(c), 1);
    EXPECT_EQ(errorOccurred, 1);
    errorOccurred = 0;
    c = metal(NAN, 0, 1, 0, 1.5, 0);
    EXPECT_EQ(checkMetalCoating(c), 1);
    errorOccurred = 0;

    c = metal(0.3, 2, 1, 0, 1.5, 0);
    EXPECT_EQ(checkMetalCoating(c), 0);
    EXPECT_EQ(c.cons[1], 1.0);
    EXPECT_EQ(c.cons[0], 0.3);
    c = metal(0, 1, 1, 0, 1.5, 0);
    EXPECT_EQ(checkMetalCoating(c), 0);
    EXPECT_EQ(errorOccurred, 0);

    // The lines carry their own "Error:" and go out as they are.
    EXPECT_EQ(screen(), "Error: pfraction must be between 0 and 1\n"
                        "Error: pfraction must be between 0 and 1\n"
                        "Error: absorptance must be either 0 or 1\n"
                        "Absorb_flag set to 1.0\n");
}

TEST_F(CoatingsTest, MetalNeedsAnIncidentIndexAndANonZeroMetalIndex) {
    // The bare form, every constant missing (0), and its variants gave 0/0 reflectances.
    const char* refused = "Error: METAL n0 must be positive and n1, k1 not both 0\n";
    std::string expected;
    for (CoatingRecord c : {metal(0, 0, 0, 0, 0, 0), metal(0.5, 0, 0, 0, 1.5, 0),
                            metal(0.5, 0, -1, 0, 1.5, 3), metal(0.5, 0, 1, 0, 0, 0),
                            metal(0.5, 0, INFINITY, 0, 1.5, 3), metal(0.5, 0, 1, 0, NAN, 3)}) {
        errorOccurred = 0;
        EXPECT_EQ(checkMetalCoating(c), 1);
        EXPECT_EQ(errorOccurred, 1);
        expected += refused;
    }
    // A pure real or pure imaginary metal index is a metal all the same.
    CoatingRecord c = metal(0.5, 0, 1, 0, 0, 3);
    EXPECT_EQ(checkMetalCoating(c), 0);
    c = metal(0.5, 0, 1, 0, 1.5, 0);
    EXPECT_EQ(checkMetalCoating(c), 0);
    // The mended absorb flag comes before the index rule, which then still refuses.
    c = metal(0.5, 2, 1, 0, 0, 0);
    EXPECT_EQ(checkMetalCoating(c), 1);
    expected += "Error: absorptance must be either 0 or 1\nAbsorb_flag set to 1.0\n";
    expected += refused;
    EXPECT_EQ(screen(), expected);
}

TEST_F(CoatingsTest, LwirChecksNeedPositiveDivisorsAndAllowZeroConductivity) {
    CoatingRecord c = lwir(0.5, 0, 1, 1, 0, 0);
    EXPECT_EQ(checkLwirMetalCoating(c), 0);
    for (int i = 2; i < 6; ++i) {
        c = lwir(0.5, 0, 1, 1, 1, 1);
        c.cons[i] = -1;
        EXPECT_EQ(checkLwirMetalCoating(c), 1) << i;
    }
    c = lwir(0.5, 0, 0, 1, 1, 1);
    EXPECT_EQ(checkLwirMetalCoating(c), 1);
    c = lwir(0.5, 0, 1, 0, 1, 1);
    EXPECT_EQ(checkLwirMetalCoating(c), 1);
    c = lwir(-0.1, 0, 1, 1, 1, 1);
    EXPECT_EQ(checkLwirMetalCoating(c), 1);
    std::string expected = "Error: pfraction must be between 0 and 1\n";
    std::string positive = "Error: All LWIR Parameters Must be Positive\n";
    EXPECT_EQ(screen(), positive + positive + positive + positive + positive + positive + expected);
}

TEST_F(CoatingsTest, MetalWithoutAbsorptionIsTheDielectricFresnelFormula) {
    const double n1 = 1.0, n2 = 1.5;
    CoatingRecord c = metal(0.5, 0, n1, 0, n2, 0);
    for (double angle = 0; angle < 89.5; angle += 2.5) {
        Vec3 d = incident(angle), scaled, t;
        int tangent = 0, tir = 0;
        scaleToNormalComponent(d, kNormal, scaled, tangent);
        refractDirection(d, kNormal, scaled, n1, n2, t, tir);
        ASSERT_EQ(tir, 0);
        double R = 0, T = 0, A = 0;
        metalReflectance(d, kNormal, c, R, T, A);
        EXPECT_NEAR(R, fresnelReflectance(d, kNormal, n1, n2, t), 1e-12) << angle;
        EXPECT_NEAR(T, 1 - R, 1e-15);
        EXPECT_EQ(A, 0);
    }
    double R = 0, T = 0, A = 0;
    metalReflectance(incident(0), kNormal, c, R, T, A);
    EXPECT_NEAR(R, 0.04, 1e-15);
}

TEST_F(CoatingsTest, MetalAtNormalIncidenceMatchesTheAbsorbingFormula) {
    const double n = 1.2, k = 7.0;
    CoatingRecord c = metal(0.3, 1, 1, 0, n, k);
    double R = 0, T = 0, A = 0;
    metalReflectance(incident(0), kNormal, c, R, T, A);
    EXPECT_NEAR(R, ((n - 1) * (n - 1) + k * k) / ((n + 1) * (n + 1) + k * k), 1e-12);
    EXPECT_NEAR(A, 1 - R, 1e-15);
    EXPECT_EQ(T, 0);

    // s and p light part at oblique incidence: s reflects more.
    double rs = 0, rp = 0;
    c.cons[0] = 0;
    metalReflectance(incident(70), kNormal, c, rs, T, A);
    c.cons[0] = 1;
    metalReflectance(incident(70), kNormal, c, rp, T, A);
    EXPECT_GT(rs, rp);
    EXPECT_LE(rs, 1.0);
    EXPECT_GE(rp, 0.0);
}

TEST_F(CoatingsTest, DegenerateMetalGivesAFiniteReflectance) {
    CoatingRecord c = metal(0.5, 0, 0, 0, 1, 0); // incident index 0
    double R = -5, T = 0, A = 0;
    metalReflectance(incident(30), kNormal, c, R, T, A);
    EXPECT_TRUE(std::isfinite(R));
    EXPECT_GE(R, 0.0);
    EXPECT_LE(R, 1.0);
}

TEST_F(CoatingsTest, LwirModelLimits) {
    double R = 0, T = 0, A = 0;
    // No conductivity: e2 = 1, and at normal incidence both terms are 1/5.
    lwirMetalReflectance(incident(0), kNormal, lwir(0.5, 0, 1, 1, 0, 0), R, T, A);
    EXPECT_NEAR(R, 0.2, 1e-15);
    EXPECT_NEAR(T, 0.8, 1e-15);
    // A very good conductor reflects nearly everything, at every angle.
    for (double angle : {0.0, 30.0, 60.0, 85.0}) {
        lwirMetalReflectance(incident(angle), kNormal, lwir(0.5, 1, 1, 1, 1e8, 0), R, T, A);
        EXPECT_GT(R, 0.99) << angle;
        EXPECT_LE(R, 1.0);
        EXPECT_NEAR(A, 1 - R, 1e-15);
    }
    // Reflectance grows with the conductivity.
    double previous = 0;
    for (double sigma : {0.0, 0.5, 2.0, 10.0, 100.0}) {
        lwirMetalReflectance(incident(20), kNormal, lwir(0.5, 0, 1, 1, sigma, 0), R, T, A);
        EXPECT_GT(R, previous);
        EXPECT_LE(R, 1.0);
        previous = R;
    }
}
