#include "engine/optics/scatter_laws.h"

#include <cmath>

#include "engine/optics/direction_frames.h"
#include "engine/optics/random_sampling.h"
#include "tests/engine/engine_fixture.h"

namespace {

class ScatterLawsTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        seedRandom(12345);
    }
};

bool same(const Vec3& a, const Vec3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

Vec3 unit(Vec3 v) {
    normalize3(v);
    return v;
}

} // namespace

TEST_F(ScatterLawsTest, FractionZeroKeepsSpecularAndOneAlwaysScatters) {
    const Vec3 specular = unit({0.2, 0.1, 0.9});
    for (int i = 0; i < 2000; ++i) {
        Vec3 normal{0, 0, 1}, out{9, 9, 9};
        ASSERT_EQ(scatterLambertian(specular, 0.0, out, 1.0, normal), 1);
        ASSERT_TRUE(same(out, specular));
        ASSERT_EQ(scatterGaussian(specular, 0.3, -1.0, out, 1.0, normal), 1);
        ASSERT_TRUE(same(out, specular));
        ASSERT_EQ(scatterLambertian(specular, 1.0, out, 1.0, normal), 1);
        ASSERT_FALSE(same(out, specular));
        ASSERT_NEAR(std::sqrt(dot3(out, out)), 1.0, 1e-12);
        ASSERT_GT(out.z, 0.0);
    }
    // Seed 0 draws 0 first: a fraction of 1 still scatters.
    seedRandom(0);
    Vec3 normal{0, 0, 1}, out;
    ASSERT_EQ(scatterLambertian(specular, 1.0, out, 1.0, normal), 1);
    EXPECT_FALSE(same(out, specular));
}

TEST_F(ScatterLawsTest, FractionSplitsSpecularAndScatteredShares) {
    const Vec3 specular{0, 0, 1};
    int scattered = 0;
    const int n = 40000;
    for (int i = 0; i < n; ++i) {
        Vec3 normal{0, 0, 1}, out;
        ASSERT_EQ(scatterLambertian(specular, 0.25, out, 1.0, normal), 1);
        scattered += !same(out, specular);
    }
    EXPECT_NEAR(scattered / double(n), 0.25, 0.01);
}

TEST_F(ScatterLawsTest, EveryLawRefusesTheWrongSideAndLeavesOutAlone) {
    const Vec3 specular = unit({0.1, 0, -0.9});
    Vec3 normal{0, 0, 1};
    Vec3 out{7, 8, 9};
    EXPECT_EQ(scatterLambertian(specular, 1.0, out, 1.0, normal), 0);
    EXPECT_EQ(scatterGaussian(specular, 0.1, 1.0, out, 1.0, normal), 0);
    EXPECT_EQ(scatterXyExponential(specular, 0.1, 0.1, 1.0, out, 1.0, normal), 0);
    EXPECT_EQ(scatterPowerLaw(specular, 1.0, 1.0, out, 1.0, normal), 0);
    EXPECT_TRUE(same(out, Vec3{7, 8, 9}));
}

TEST_F(ScatterLawsTest, LambertianAboutTheNormalHasMeanCosineTwoThirds) {
    const int n = 100000;
    double sum = 0;
    for (int i = 0; i < n; ++i) {
        Vec3 normal{0, 0, 1}, out{0, 0, 1};
        ASSERT_EQ(scatterLambertian(out, 1.0, out, 1.0, normal), 1);
        ASSERT_GE(out.z, 0.0);
        sum += out.z;
    }
    EXPECT_NEAR(sum / n, 2.0 / 3.0, 0.005);
}

TEST_F(ScatterLawsTest, ScatteredDirectionsStayOnTheSpecularSideOfATiltedNormal) {
    const Vec3 tilted = unit({0.5, -0.3, 0.8});
    const Vec3 specular = unit({0.7, 0.1, 0.5});
    ASSERT_GT(dot3(specular, tilted), 0.0);
    for (int i = 0; i < 5000; ++i) {
        Vec3 normal = tilted, out;
        ASSERT_EQ(scatterLambertian(specular, 1.0, out, 1.0, normal), 1);
        ASSERT_GE(dot3(out, tilted), -1e-12);
        ASSERT_NEAR(dot3(out, out), 1.0, 1e-12);
    }
}

TEST_F(ScatterLawsTest, GaussianSpreadFollowsSigmaAndTheDivisor) {
    for (double divisor : {1.0, 1.5}) {
        const double sigma = 0.05;
        const int n = 40000;
        double sum = 0;
        for (int i = 0; i < n; ++i) {
            Vec3 normal{0, 0, 1}, out{0, 0, 1};
            ASSERT_EQ(scatterGaussian(out, sigma, 1.0, out, divisor, normal), 1);
            sum += out.x * out.x + out.y * out.y;
        }
        // The offset's squared radius has the mean 2 sigma^2, divided by the divisor squared.
        EXPECT_NEAR(sum / n, 2 * sigma * sigma / (divisor * divisor), 2e-4) << divisor;
    }
}

TEST_F(ScatterLawsTest, XyExponentialSpreadsAlongTheRightAxes) {
    double sx = 0, sy = 0;
    for (int i = 0; i < 20000; ++i) {
        Vec3 normal{0, 0, 1}, out{0, 0, 1};
        ASSERT_EQ(scatterXyExponential(out, 1e-4, 0.1, 1.0, out, 1.0, normal), 1);
        sx += std::fabs(out.x);
        sy += std::fabs(out.y);
    }
    // Mean |offset| is 2 sigma on each axis.
    EXPECT_NEAR(sx / 20000, 2e-4, 2e-5);
    EXPECT_NEAR(sy / 20000, 0.2, 0.01);
}

TEST_F(ScatterLawsTest, PowerLawStaysNearSpecularForSmallExponents) {
    const int n = 40000;
    double sum = 0;
    for (int i = 0; i < n; ++i) {
        Vec3 normal{0, 0, 1}, out{0, 0, 1};
        ASSERT_EQ(scatterPowerLaw(out, 0.0, 1.0, out, 1.0, normal), 1);
        sum += out.z;
    }
    // Exponent 0 gives rho = 2 sqrt(u): the lambertian law.
    EXPECT_NEAR(sum / n, 2.0 / 3.0, 0.005);
}

TEST_F(ScatterLawsTest, NormalAlongYIsNudgedForTheCaller) {
    Vec3 normal{0, 1, 0}, out;
    const Vec3 specular = unit({0.1, 0.9, 0.2});
    ASSERT_EQ(scatterLambertian(specular, 1.0, out, 1.0, normal), 1);
    EXPECT_EQ(normal.x, 1e-7);
    EXPECT_EQ(normal.z, 1e-7);
    EXPECT_GT(out.y, 0.0);
}

TEST_F(ScatterLawsTest, ReportsWhenNoDirectionIsFound) {
    Vec3 normal{0, 0, 1}, out{1, 2, 3};
    // A divisor of 0 throws every offset out of the unit disc.
    EXPECT_EQ(scatterGaussian(Vec3{0, 0, 1}, 0.1, 1.0, out, 0.0, normal), 0);
    EXPECT_EQ(screen(), " NO REAL DIFFUSE RAY FOUND AFTER 200 TRIES\n");
    EXPECT_TRUE(std::isfinite(out.x) && std::isfinite(out.y) && std::isfinite(out.z));
    EXPECT_EQ(hooks.boxes.size(), 0u);
}

TEST_F(ScatterLawsTest, PowerLawExponentOutOfRangeIsReportedAndKeepsOut) {
    for (double e : {-0.5, 2.0, double(NAN)}) {
        Vec3 normal{0, 0, 1}, out{0.1, 0.2, 0.3};
        EXPECT_EQ(scatterPowerLaw(Vec3{0, 0, 1}, e, 1.0, out, 1.0, normal), 1);
        EXPECT_TRUE(same(out, Vec3{0.1, 0.2, 0.3}));
    }
    EXPECT_EQ(screen(), " POWER LAW COEFFICENT OUT OF RANGE\n"
                        " POWER LAW COEFFICENT OUT OF RANGE\n"
                        " POWER LAW COEFFICENT OUT OF RANGE\n");
    EXPECT_TRUE(hooks.boxes.empty());
}
