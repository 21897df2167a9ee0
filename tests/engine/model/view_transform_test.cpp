#include "engine/model/view_transform.h"

#include <cmath>

#include "platform/rand15.h"
#include "tests/engine/engine_fixture.h"

using ViewTransformTest = EngineTest;

TEST_F(ViewTransformTest, LookAtGoesToTheOriginAndTheEyeOntoPlusZ) {
    platform::Rand15 rng(3);
    for (int i = 0; i < 100; ++i) {
        Vec3 eye{rng.unit() * 200 - 100, rng.unit() * 200 - 100, rng.unit() * 200 - 100};
        Vec3 at{rng.unit() * 10, rng.unit() * 10, rng.unit() * 10};
        setViewTransform(eye, at);
        Vec3 e, a;
        transformPoint(eye, e, viewMatrix);
        transformPoint(at, a, viewMatrix);
        Vec3 d = eye - at;
        EXPECT_NEAR(a.x, 0, 1e-12);
        EXPECT_NEAR(a.y, 0, 1e-12);
        EXPECT_NEAR(a.z, 0, 1e-12);
        EXPECT_NEAR(e.x, 0, 1e-12);
        EXPECT_NEAR(e.y, 0, 1e-12);
        EXPECT_NEAR(e.z, std::sqrt(dot3(d, d)), 1e-12);
        EXPECT_EQ(viewDepth, e.z);
    }
}

TEST_F(ViewTransformTest, StartingEyeDistanceGivesParallelViews) {
    setViewFromAngles(0, 0, {0, 0, 0});
    double p[2];
    ASSERT_EQ(projectPoint({3, 4, 50}, p), 1);
    EXPECT_DOUBLE_EQ(p[0], 3); // no perspective shrinking to double precision
    EXPECT_DOUBLE_EQ(p[1], 4);
    // From the +x side, global +z points to the left of the picture.
    setViewFromAngles(90, 0, {0, 0, 0});
    ASSERT_EQ(projectPoint({0, 2, 1}, p), 1);
    EXPECT_NEAR(p[0], -1, 1e-12);
    EXPECT_NEAR(p[1], 2, 1e-12);
    // From above (elevation 90 ... less a hair), global -z points up the picture.
    setViewFromAngles(0, 89.999999, {0, 0, 0});
    ASSERT_EQ(projectPoint({0, 0, -1}, p), 1);
    EXPECT_NEAR(p[1], 1, 1e-6);
}

TEST_F(ViewTransformTest, PerspectiveDivideAndNearPlane) {
    eyeDistance = 10;
    setViewFromAngles(0, 0, {0, 0, 0});
    EXPECT_NEAR(viewDepth, 10, 1e-12);
    double p[2];
    ASSERT_EQ(projectPoint({1, 1, 0}, p), 1);
    EXPECT_NEAR(p[0], 1, 1e-12);
    ASSERT_EQ(projectPoint({1, 1, 5}, p), 1); // halfway to the eye: twice as large
    EXPECT_NEAR(p[0], 2, 1e-12);
    EXPECT_NEAR(p[1], 2, 1e-12);
    ASSERT_EQ(projectPoint({1, 1, -10}, p), 1);
    EXPECT_NEAR(p[0], 0.5, 1e-12);
    EXPECT_EQ(projectPoint({0, 0, 10.5}, p), 0); // behind the eye
    EXPECT_EQ(projectPoint({0, 0, 10}, p), 1);   // exactly at the near plane: visible
}

TEST_F(ViewTransformTest, SegmentsAreClippedAtNearAndFar) {
    eyeDistance = 10;
    setViewFromAngles(0, 0, {0, 0, 0});
    double a[2], b[2];
    EXPECT_EQ(projectLine({0, 0, 11}, {1, 0, 20}, a, b), 0);         // both behind the eye
    EXPECT_EQ(projectLine({0, 0, -1e302}, {1, 0, -2e302}, a, b), 0); // both beyond far
    // One end behind the eye: it moves along the segment to the eye plane.
    ASSERT_EQ(projectLine({2, 0, 0}, {2, 4, 20}, a, b), 1);
    EXPECT_NEAR(a[0], 2, 1e-12);
    EXPECT_NEAR(a[1], 0, 1e-12);
    EXPECT_NEAR(b[1], 2e20, 1e8); // y 2 at the eye plane, divided by the tiny w
    // The first end behind the eye is clipped as well.
    ASSERT_EQ(projectLine({0, 4, 20}, {0, 0, 0}, a, b), 1);
    EXPECT_NEAR(a[1], 2e20, 1e8);
    EXPECT_NEAR(b[1], 0, 1e-12);
    // One end beyond the far plane comes back to it.
    ASSERT_EQ(projectLine({0, 1, 0}, {0, 1, -2e300}, a, b), 1);
    EXPECT_NEAR(b[1], 1 / (1 + (1e300 - 10) / 10), 1e-300);
}

TEST_F(ViewTransformTest, BoxExtentsSkipHiddenCorners) {
    eyeDistance = 10;
    setViewFromAngles(0, 0, {0, 0, 0});
    double x[2], y[2];
    // The near face of this box lies behind the eye; the far face projects at a third.
    projectBoxExtents({0, 0, 0}, {1, 2, 20}, x, y);
    EXPECT_NEAR(x[0], -1.0 / 3, 1e-12);
    EXPECT_NEAR(x[1], 1.0 / 3, 1e-12);
    EXPECT_NEAR(y[0], -2.0 / 3, 1e-12);
    EXPECT_NEAR(y[1], 2.0 / 3, 1e-12);
    // All corners hidden: the centre's projection, or 0..0 when that is hidden too.
    projectBoxExtents({3, 4, 0}, {1, 1, 1e301}, x, y);
    EXPECT_NEAR(x[0], 3, 1e-12);
    EXPECT_EQ(x[0], x[1]);
    EXPECT_NEAR(y[0], 4, 1e-12);
    EXPECT_EQ(y[0], y[1]);
    projectBoxExtents({3, 4, 50}, {1, 1, 1}, x, y);
    EXPECT_EQ(x[0], 0);
    EXPECT_EQ(x[1], 0);
    EXPECT_EQ(y[0], 0);
    EXPECT_EQ(y[1], 0);
}

TEST_F(ViewTransformTest, AnglesFromPoints) {
    double a[3] = {7, 7, 7};
    viewAnglesFromPoints({1, 1, 1}, {2, 1, 2}, a);
    EXPECT_NEAR(a[0], 45, 1e-6);
    EXPECT_NEAR(a[1], 0, 1e-12);
    EXPECT_EQ(a[2], 0);
    viewAnglesFromPoints({0, 0, 0}, {0, 1, -1}, a);
    EXPECT_NEAR(a[0], 180, 1e-6);
    EXPECT_NEAR(a[1], 45, 1e-6);
    viewAnglesFromPoints({0, 0, 0}, {0, 5, 0}, a);
    EXPECT_EQ(a[0], 0);
    EXPECT_EQ(a[1], 90);
    viewAnglesFromPoints({0, 0, 0}, {0, -5, 0}, a);
    EXPECT_EQ(a[1], -90);
    viewAnglesFromPoints({2, 2, 2}, {2, 2, 2}, a);
    EXPECT_EQ(a[0], 0);
    EXPECT_EQ(a[1], 0);
    // The angles lead back to the same line of sight.
    setViewFromAngles(30, 20, {0, 0, 0});
    Vec3 eyeDir{std::cos(20 * kDegree) * std::sin(30 * kDegree), std::sin(20 * kDegree),
                std::cos(20 * kDegree) * std::cos(30 * kDegree)};
    viewAnglesFromPoints({0, 0, 0}, eyeDir, a);
    EXPECT_NEAR(a[0], 30, 1e-6);
    EXPECT_NEAR(a[1], 20, 1e-6);
}
