#include "engine/optics/random_sampling.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/model/engine_state.h"
#include "engine/optics/direction_frames.h"

namespace {

class RandomSamplingTest : public ::testing::Test {
  protected:
    void SetUp() override { resetEngineState(); }
    void TearDown() override { resetEngineState(); }
};

double length(const Vec3& v) {
    return std::sqrt(dot3(v, v));
}

} // namespace

TEST_F(RandomSamplingTest, ProgramGeneratorRunsItsOwnPinnedSequence) {
    // Unseeded it behaves as seeded with 1.
    EXPECT_EQ(randomInt(), 16838);
    seedRandom(1);
    EXPECT_EQ(randomInt(), 16838);
    EXPECT_EQ(randomInt(), 5758);
    EXPECT_EQ(randomInt(), 10113);

    // A plug-in's copy of the generator keeps its own state.
    platform::Rand15 pluginCopy;
    seedRandom(1);
    randomInt();
    randomInt();
    EXPECT_EQ(pluginCopy.next(), 16838);
    EXPECT_EQ(randomInt(), 10113);

    seedRandom(2);
    EXPECT_NE(randomInt(), 16838);
    resetRandomState();
    EXPECT_EQ(randomInt(), 16838);
}

TEST_F(RandomSamplingTest, UniformDrawsCoverBothEnds) {
    double lo = 1, hi = 0;
    for (int i = 0; i < 200000; ++i) {
        double u = randomUniform();
        ASSERT_GE(u, 0.0);
        ASSERT_LE(u, 1.0);
        lo = std::fmin(lo, u);
        hi = std::fmax(hi, u);
    }
    EXPECT_EQ(lo, 0.0);
    EXPECT_EQ(hi, 1.0);
}

TEST_F(RandomSamplingTest, CosineLampDirectionsAreUnitOnBothSides) {
    seedRandom(11);
    const int n = 100000;
    double meanAbsZ = 0, meanX = 0, meanY = 0;
    int up = 0, left = 0;
    for (int i = 0; i < n; ++i) {
        Vec3 d;
        ASSERT_EQ(randomDirection(d.x, d.y, d.z), 1);
        ASSERT_NEAR(length(d), 1.0, 1e-9);
        meanAbsZ += std::fabs(d.z);
        meanX += d.x;
        meanY += d.y;
        up += d.z > 0;
        left += d.y < 0;
    }
    // |z| = asin(u) / (pi / 2) has the mean 1 - 2 / pi.
    EXPECT_NEAR(meanAbsZ / n, 1.0 - 2.0 / M_PI, 0.005);
    EXPECT_NEAR(meanX / n, 0.0, 0.01);
    EXPECT_NEAR(meanY / n, 0.0, 0.01);
    EXPECT_NEAR(up / double(n), 0.5, 0.01);
    EXPECT_NEAR(left / double(n), 0.5, 0.01);
}

TEST_F(RandomSamplingTest, HenyeyGreensteinMeanIsTheAsymmetry) {
    seedRandom(3);
    for (double g : {-0.8, -0.3, 0.0, 0.5, 0.9}) {
        const int n = 200000;
        double sum = 0, sumSq = 0;
        for (int i = 0; i < n; ++i) {
            double c = drawHenyeyGreenstein(g);
            ASSERT_GE(c, -1.0);
            ASSERT_LE(c, 1.0);
            sum += c;
            sumSq += c * c;
        }
        EXPECT_NEAR(sum / n, g, 0.01) << g;
        // g = 0 is uniform in [-1, 1]: its second moment is 1/3.
        if (g == 0.0) {
            EXPECT_NEAR(sumSq / n, 1.0 / 3.0, 0.01);
        }
    }
}

TEST_F(RandomSamplingTest, HenyeyGreensteinNeverGivesNaNOutsideItsRange) {
    for (double g : {1.0, -1.0, 1.5, -3.0, 1e300, double(NAN)}) {
        seedRandom(5);
        for (int i = 0; i < 40000; ++i) {
            double c = drawHenyeyGreenstein(g);
            ASSERT_FALSE(std::isnan(c)) << g;
            ASSERT_GE(c, -1.0) << g;
            ASSERT_LE(c, 1.0) << g;
            if (g == 1.0) {
                ASSERT_EQ(c, 1.0);
            }
            if (g == -1.0) {
                ASSERT_EQ(c, -1.0);
            }
        }
    }
}

TEST_F(RandomSamplingTest, DirectionFromCosineKeepsThePolarAngle) {
    seedRandom(9);
    double meanX = 0, meanY = 0;
    const int n = 50000;
    for (int i = 0; i < n; ++i) {
        Vec3 d;
        directionFromCosine(d, 0.6);
        ASSERT_NEAR(d.z, 0.6, 1e-15);
        ASSERT_NEAR(length(d), 1.0, 1e-12);
        meanX += d.x;
        meanY += d.y;
    }
    EXPECT_NEAR(meanX / n, 0.0, 0.01);
    EXPECT_NEAR(meanY / n, 0.0, 0.01);

    Vec3 d;
    directionFromCosine(d, 1.5);
    EXPECT_EQ(d.z, 1.0);
    EXPECT_EQ(d.x, 0.0);
    directionFromCosine(d, -2.0);
    EXPECT_EQ(d.z, -1.0);
    EXPECT_EQ(d.y, 0.0);
    directionFromCosine(d, NAN);
    EXPECT_FALSE(std::isnan(d.x) || std::isnan(d.y) || std::isnan(d.z));
}

TEST_F(RandomSamplingTest, FreePathsAreExponentialAndNeverNegative) {
    seedRandom(21);
    for (double mu : {0.5, 2.0, 40.0}) {
        const int n = 200000;
        double sum = 0;
        for (int i = 0; i < n; ++i) {
            double t = drawFreePath(mu);
            ASSERT_GE(t, 0.0);
            ASSERT_FALSE(std::signbit(t));
            sum += t;
        }
        EXPECT_NEAR(sum / n * mu, 1.0, 0.01) << mu;
    }
}

TEST_F(RandomSamplingTest, DeflectionKeepsItsAngleForEveryDirection) {
    seedRandom(17);
    Vec3 oblique{0.3, -0.5, 0.2};
    normalize3(oblique);
    const Vec3 starts[] = {{0, 0, 1}, {0, 0, -1}, oblique, {1, 0, 0}, {0, 0.6, -0.8}};
    for (const Vec3& start : starts) {
        for (int i = 0; i < 2000; ++i) {
            Vec3 deflection;
            directionFromCosine(deflection, 2.0 * randomUniform() - 1.0);
            Vec3 d = start;
            rotateIntoFrame(d, deflection);
            ASSERT_NEAR(length(d), 1.0, 1e-9);
            ASSERT_NEAR(dot3(d, start), deflection.z, 1e-9)
                << start.x << " " << start.y << " " << start.z;
        }
    }
}

TEST_F(RandomSamplingTest, DeflectionAlongTheAxisKeepsOrReverses) {
    Vec3 d{0.36, 0.48, 0.8};
    rotateIntoFrame(d, Vec3{0, 0, 1});
    EXPECT_EQ(d.x, 0.36);
    EXPECT_EQ(d.z, 0.8);
    rotateIntoFrame(d, Vec3{0, 0, -1});
    EXPECT_EQ(d.x, -0.36);
    EXPECT_EQ(d.y, -0.48);
    EXPECT_EQ(d.z, -0.8);

    // A ray along -z deflected by a small angle keeps going down.
    Vec3 down{0, 0, -1};
    rotateIntoFrame(down, Vec3{0.6, 0, 0.8});
    EXPECT_NEAR(down.z, -0.8, 1e-15);
    EXPECT_NEAR(std::hypot(down.x, down.y), 0.6, 1e-15);
}

TEST_F(RandomSamplingTest, NormalFramesRoundTripAndTakeTheReferenceToZ) {
    seedRandom(4);
    for (int i = 0; i < 500; ++i) {
        Vec3 ref, v;
        directionFromCosine(ref, 2.0 * randomUniform() - 1.0);
        v = {randomUniform() - 0.5, randomUniform() - 0.5, randomUniform() - 0.5};
        Vec3 z, local, back;
        toNormalFrame(ref, ref, z);
        EXPECT_NEAR(z.x, 0, 1e-12);
        EXPECT_NEAR(z.y, 0, 1e-12);
        EXPECT_NEAR(z.z, 1, 1e-12);
        toNormalFrame(v, ref, local);
        EXPECT_NEAR(length(local), length(v), 1e-12);
        toGlobalFromNormalFrame(local, ref, back);
        EXPECT_NEAR(back.x, v.x, 1e-12);
        EXPECT_NEAR(back.y, v.y, 1e-12);
        EXPECT_NEAR(back.z, v.z, 1e-12);
    }
}

TEST_F(RandomSamplingTest, ReferenceAlongYIsNudgedInPlace) {
    for (double y : {1.0, -1.0}) {
        Vec3 ref{0, y, 0};
        Vec3 v{0.2, 0.3, -0.4}, local, back;
        toNormalFrame(v, ref, local);
        EXPECT_EQ(ref.x, 1e-7);
        EXPECT_EQ(ref.z, 1e-7);
        EXPECT_EQ(ref.y, y);
        toGlobalFromNormalFrame(local, ref, back);
        EXPECT_NEAR(back.x, v.x, 1e-9);
        EXPECT_NEAR(back.y, v.y, 1e-9);
        EXPECT_NEAR(back.z, v.z, 1e-9);
        EXPECT_NEAR(local.z, dot3(v, ref), 1e-12);
    }
}
