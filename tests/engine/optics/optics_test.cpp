#include "engine/optics/optics.h"

#include <cmath>

#include "command/settings/settings.h"
#include "engine/files/ray_files.h"
#include "tests/engine/engine_fixture.h"

namespace {

class OpticsTest : public EngineTest {};

Vec3 unit(Vec3 v) {
    normalize3(v);
    return v;
}

Vec3 cross(const Vec3& a, const Vec3& b) {
    return cross3(a, b);
}

double length(const Vec3& v) {
    return std::sqrt(dot3(v, v));
}

// Sine of the angle between a unit direction and the normal's axis.
double sine(const Vec3& d, const Vec3& n) {
    return length(cross(d, n));
}

// A direction at an incidence angle onto the unit normal n (which faces it), tilted in the plane
// of n and a side vector.
Vec3 incident(double degrees, const Vec3& n, const Vec3& side) {
    double a = degrees * M_PI / 180.0;
    return unit(std::cos(a) * (-1.0 * n) + std::sin(a) * side);
}

bool same(const Vec3& a, const Vec3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

} // namespace

TEST_F(OpticsTest, ScalingToTheNormalComponent) {
    Vec3 out{5, 5, 5};
    int tangent = 0;
    scaleToNormalComponent({3, 0, -0.5}, {0, 0, 1}, out, tangent);
    EXPECT_EQ(tangent, 0);
    EXPECT_DOUBLE_EQ(out.x, 6);
    EXPECT_DOUBLE_EQ(out.z, -1);
    out = {5, 5, 5};
    scaleToNormalComponent({1, 2, 0}, {0, 0, 1}, out, tangent);
    EXPECT_EQ(tangent, 1);
    EXPECT_TRUE(same(out, Vec3{5, 5, 5}));

    Vec3 r;
    reflectScaled(r, {0, 0, 1}, {0.5, 0.25, -1});
    EXPECT_TRUE(same(r, Vec3{0.5, 0.25, 1}));
}

TEST_F(OpticsTest, RefractionObeysTheVectorSnellLaw) {
    const Vec3 normals[] = {{0, 0, -1}, unit({0.3, -0.4, 0.8})};
    const double pairs[][2] = {{1.0, 1.5}, {1.5, 1.0}, {1.0, 2.4}, {1.33, 1.0}, {1.5, 1.5}};
    for (const Vec3& n : normals) {
        Vec3 side = unit(cross(n, {1, 0, 0}));
        for (const auto& p : pairs) {
            const double n1 = p[0], n2 = p[1];
            for (double angle = 0; angle < 90; angle += 1.0) {
                Vec3 d = incident(angle, n, side), s, t{9, 9, 9};
                int tangent = 0, tir = -1;
                scaleToNormalComponent(d, n, s, tangent);
                ASSERT_EQ(tangent, 0);
                refractDirection(d, n, s, n1, n2, t, tir);
                double sin1 = sine(d, n);
                if (n1 * sin1 > n2) {
                    EXPECT_EQ(tir, 1);
                    EXPECT_TRUE(same(t, Vec3{9, 9, 9}));
                    continue;
                }
                ASSERT_EQ(tir, 0) << n1 << " " << n2 << " " << angle;
                EXPECT_NEAR(length(t), 1.0, 1e-12);
                EXPECT_NEAR(n1 * sin1, n2 * sine(t, n), 1e-9) << angle;
                EXPECT_LT(dot3(t, n), 0.0);                  // goes on through the surface
                EXPECT_NEAR(dot3(t, cross(d, n)), 0, 1e-12); // in the plane of incidence
                EXPECT_GE(dot3(t, side), -1e-12);            // on the same side of the normal
            }
        }
    }
}

TEST_F(OpticsTest, TotalInternalReflectionStartsAtTheCriticalAngle) {
    const Vec3 n{0, 0, -1}, side{1, 0, 0};
    const double n1 = 1.5, n2 = 1.0;
    const double critical = std::asin(n2 / n1) * 180.0 / M_PI;
    for (double delta : {-1e-6, 1e-6}) {
        Vec3 d = incident(critical + delta, n, side), s, t;
        int tangent = 0, tir = -1;
        scaleToNormalComponent(d, n, s, tangent);
        refractDirection(d, n, s, n1, n2, t, tir);
        EXPECT_EQ(tir, delta > 0 ? 1 : 0) << delta;
    }
    // Index values that give no number are no transmission either.
    Vec3 d = incident(10, n, side), s, t{1, 2, 3};
    int tangent = 0, tir = 0;
    scaleToNormalComponent(d, n, s, tangent);
    refractDirection(d, n, s, NAN, 1.0, t, tir);
    EXPECT_EQ(tir, 1);
    EXPECT_TRUE(same(t, Vec3{1, 2, 3}));
}

TEST_F(OpticsTest, FresnelReflectanceAtNormalAndOtherIncidences) {
    const Vec3 n{0, 0, -1}, side{0, 1, 0};
    auto reflectance = [&](double angle, double n1, double n2) {
        Vec3 d = incident(angle, n, side), s, t;
        int tangent = 0, tir = 0;
        scaleToNormalComponent(d, n, s, tangent);
        refractDirection(d, n, s, n1, n2, t, tir);
        EXPECT_EQ(tir, 0);
        return fresnelReflectance(d, n, n1, n2, t);
    };
    const double pairs[][2] = {{1.0, 1.5}, {1.5, 1.0}, {1.0, 4.0}};
    for (const auto& p : pairs) {
        double expected = (p[0] - p[1]) / (p[0] + p[1]);
        EXPECT_NEAR(reflectance(0, p[0], p[1]), expected * expected, 1e-15);
    }
    EXPECT_NEAR(reflectance(0, 1.0, 1.5), 0.04, 1e-15);
    // At Brewster's angle p light is not reflected: R = rs^2 / 2.
    const double brewster = std::atan(1.5) * 180.0 / M_PI;
    const double t = std::asin(std::sin(brewster * M_PI / 180) / 1.5);
    const double ci = std::cos(brewster * M_PI / 180), ct = std::cos(t);
    const double rs = (ci - 1.5 * ct) / (ci + 1.5 * ct);
    EXPECT_NEAR(reflectance(brewster, 1.0, 1.5), rs * rs / 2, 1e-12);
    double previous = 0;
    for (double angle = 60; angle < 90; angle += 1) {
        double R = reflectance(angle, 1.0, 1.5);
        EXPECT_GT(R, previous);
        EXPECT_LE(R, 1.0);
        previous = R;
    }
    EXPECT_GT(reflectance(89.99, 1.0, 1.5), 0.99);
}

TEST_F(OpticsTest, TraceWavelengthFollowsTheIndex) {
    wavelengthTable[3] = 1.2;
    wavelengthIndex = 3;
    EXPECT_EQ(traceWavelength(), 1.2);
    wavelengthIndex = 0;
    EXPECT_EQ(traceWavelength(), 0.5);
    wavelengthIndex = 12;
    EXPECT_EQ(traceWavelength(), 0.0);
    wavelengthIndex = -1;
    EXPECT_EQ(traceWavelength(), 0.0);
}

TEST_F(OpticsTest, GratingOrderZeroKeepsTheDirection) {
    const double params[3] = {600, 30, 0};
    const Vec3 normals[] = {{0, 0, -1}, {0, 0, 1}, unit({0.2, 0.1, -0.9}), {0, -1, 0}};
    for (const Vec3& n : normals) {
        Vec3 d = unit({0.3, 0.2, -0.9 * (n.z > 0 ? 1 : -1) - 0.1});
        if (dot3(d, n) > 0) d = -1.0 * d;
        Vec3 out = d;
        ASSERT_EQ(gratingDiffract(out, 1.5, params, n), 1);
        EXPECT_NEAR(out.x, d.x, 1e-12);
        EXPECT_NEAR(out.y, d.y, 1e-12);
        EXPECT_NEAR(out.z, d.z, 1e-12);
    }
}

TEST_F(OpticsTest, GratingFirstOrderFollowsTheGratingEquation) {
    // 500 lines per mm at 0.5 micrometres: f lambda = 0.25.
    wavelengthTable[2] = 0.5;
    wavelengthIndex = 2;
    for (double index : {1.0, 1.5}) {
        for (double order : {1.0, 2.0, -1.0}) {
            const double params[3] = {500, 0, order};
            Vec3 d{0, 0, 1};
            ASSERT_EQ(gratingDiffract(d, index, params, {0, 0, -1}), 1);
            EXPECT_NEAR(length(d), 1.0, 1e-12);
            EXPECT_NEAR(std::fabs(d.x), 0.25 * std::fabs(order) / index, 1e-12);
            EXPECT_NEAR(d.y, 0.0, 1e-12);
            EXPECT_GT(d.z, 0.0); // goes on the way it came
        }
    }
    // At 90 degrees the lines turn: the shift is along y.
    const double turned[3] = {500, 90, 1};
    Vec3 d{0, 0, 1};
    ASSERT_EQ(gratingDiffract(d, 1.0, turned, {0, 0, -1}), 1);
    EXPECT_NEAR(std::fabs(d.y), 0.25, 1e-12);
    EXPECT_NEAR(d.x, 0.0, 1e-12);

    // Oblique incidence: the x cosine moves by f lambda order / n, y stays.
    const double params[3] = {500, 0, 1};
    Vec3 oblique = unit({0.2, 0.1, 0.9});
    Vec3 out = oblique;
    ASSERT_EQ(gratingDiffract(out, 1.0, params, {0, 0, -1}), 1);
    EXPECT_NEAR(std::fabs(out.x - oblique.x), 0.25, 1e-12);
    EXPECT_NEAR(out.y, oblique.y, 1e-12);
    // Reflected side: z keeps its sign.
    out = {0.2, 0.1, -0.9};
    out = unit(out);
    ASSERT_EQ(gratingDiffract(out, 1.0, params, {0, 0, 1}), 1);
    EXPECT_LT(out.z, 0.0);
}

TEST_F(OpticsTest, GratingLinesKeepTheirOrientationFromEitherSide) {
    // 500 lines per mm at 0.5 micrometres, order 1, on a face of the x-y plane. The lines belong
    // to the surface: from either side the tangential shift is f lambda (cos t, sin t) / n.
    wavelengthTable[2] = 0.5;
    wavelengthIndex = 2;
    for (double theta : {0.0, 30.0, -30.0, 90.0, 150.0, 210.0}) {
        SCOPED_TRACE(theta);
        const double params[3] = {500, theta, 1};
        const double c = std::cos(theta * M_PI / 180), s = std::sin(theta * M_PI / 180);
        for (double side : {1.0, -1.0}) {
            const Vec3 in = unit({0.1, -0.2, side});
            Vec3 d = in;
            ASSERT_EQ(gratingDiffract(d, 1.5, params, {0, 0, -side}), 1);
            // The grating's degree is carried to 12 digits.
            EXPECT_NEAR(d.x - in.x, 0.25 * c / 1.5, 1e-11);
            EXPECT_NEAR(d.y - in.y, 0.25 * s / 1.5, 1e-11);
            EXPECT_GT(d.z * side, 0);
        }
    }
}

TEST_F(OpticsTest, NonPropagatingGratingLeavesTheDirectionExactlyAsItCame) {
    const Vec3 n = unit({0.1, -0.2, -0.95});
    const Vec3 start = unit({0.4, -0.3, 0.8});
    auto expectRefused = [&](const double* params, double index) {
        Vec3 d = start;
        EXPECT_EQ(gratingDiffract(d, index, params, n), 0);
        EXPECT_TRUE(same(d, start));
    };
    const double evanescent[3] = {1500, 0, 2}; // |l| beyond 1
    expectRefused(evanescent, 1.0);
    const double tooFine[3] = {2000, 45, 0}; // f lambda = 1: no grating vector
    expectRefused(tooFine, 1.0);
    const double notANumber[3] = {NAN, 0, 1};
    expectRefused(notANumber, 1.0);
    const double infinite[3] = {500, 0, INFINITY};
    expectRefused(infinite, 1.0);
    const double fine[3] = {500, 0, 1};
    expectRefused(fine, 0.0);
    // No wavelength at the current index.
    wavelengthIndex = 40;
    expectRefused(fine, 1.0);
    wavelengthIndex = 0;

    // A ray in the grating plane.
    Vec3 grazing{1, 0, 0};
    EXPECT_EQ(gratingDiffract(grazing, 1.0, fine, {0, 0, -1}), 0);
    EXPECT_TRUE(same(grazing, Vec3{1, 0, 0}));
}
