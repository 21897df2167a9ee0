// Materials: bulk free paths and scatter directions, gradient-index steps through fixture
// profiles with known answers, the evaluation record, and the object-frame rotations.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "command/messages/messages.h"
#include "command/settings/settings.h"
#include "engine/model/object_table.h"
#include "engine/optics/random_sampling.h"
#include "parts/materials/grin_step.h"
#include "parts/materials/material.h"

namespace {

std::string fixturePlugin() {
    return std::string(MERIDYN_TEST_MODULE_DIR) + "/grin_fixture_plugin.so";
}

// p1..p16 of a material's record.
void setParams(CMaterial& m, std::initializer_list<double> values) {
    int k = 0;
    for (double v : values) m.record.v[GRIN_PARAM1 + k++] = v;
}
void clearCallCount(CMaterial& m) {
    m.record.v[GRIN_PARAM1 + 15] = 0.0;
}

// Collects what goes to the screen channel.
class ScreenCapture {
  public:
    ScreenCapture() {
        messageState().screenMirror = [this](std::string_view t) { text.append(t); };
    }
    ~ScreenCapture() { messageState().screenMirror = nullptr; }
    std::string text;
};

class MaterialTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetSettingsState();
        resetRandomState();
    }
    void TearDown() override { resetSettingsState(); }
};

} // namespace

TEST_F(MaterialTest, BulkMeanFreePathIsTheInverseScatterCoefficient) {
    CMaterial m(0.5, 0.1, 0.0);
    seedRandom(7);
    const int n = 200000;
    double sum = 0;
    int scattered = 0;
    for (int i = 0; i < n; ++i) {
        double path = -1;
        if (m.SampleFreePath(1e30, path)) {
            ++scattered;
            sum += path;
            ASSERT_GE(path, 0.0);
        }
    }
    EXPECT_EQ(scattered, n);
    EXPECT_NEAR(sum / n, 2.0, 0.02);
    // Paths at or beyond the distance do not scatter: about exp(-0.5) of them for distance 1.
    int inside = 0;
    for (int i = 0; i < n; ++i) {
        double path = 0;
        inside += m.SampleFreePath(1.0, path);
    }
    EXPECT_NEAR(inside / double(n), 1.0 - std::exp(-0.5), 0.01);
}

TEST_F(MaterialTest, ScatterZeroOrNegativeNeverScattersAndDrawsNothing) {
    for (double scatter : {0.0, -1.0}) {
        CMaterial m(scatter, 0.1, 0.5);
        auto before = randomState().generator.state();
        double path = 42;
        EXPECT_EQ(m.SampleFreePath(1e300, path), 0);
        EXPECT_EQ(path, 42);
        EXPECT_EQ(randomState().generator.state(), before);
    }
}

TEST_F(MaterialTest, ScatterDirectionsAreUnitWithMeanCosineNearG) {
    for (double g : {0.0, 0.5, 0.85, -0.4}) {
        CMaterial m(1.0, 0.0, g);
        seedRandom(11);
        Vec3 in{0.3, -0.4, std::sqrt(1 - 0.25)};
        double sumCos = 0;
        const int n = 100000;
        for (int i = 0; i < n; ++i) {
            Vec3 out;
            ASSERT_EQ(m.ScatterDirection(in, out), 1);
            ASSERT_NEAR(dot3(out, out), 1.0, 1e-12);
            sumCos += dot3(out, in);
        }
        EXPECT_NEAR(sumCos / n, g, 0.01) << g;
    }
}

TEST_F(MaterialTest, DescriptionsOfBothKinds) {
    CMaterial bulk(0.1, 0.25, 0.8);
    EXPECT_EQ(bulk.Description(), "Material scatter=0.1 absorb=0.25 anisotropy=0.8\n");
    CMaterial grin(fixturePlugin(), 0.5);
    EXPECT_EQ(grin.Description(),
              "Gradient Index material stepsize=0.5 DLL Name is " + fixturePlugin() + "\n");
    ScreenCapture screen;
    bulk.Describe(outputChannel);
    EXPECT_EQ(screen.text, bulk.Description());
}

TEST_F(MaterialTest, GradientIndexMaterialDoesNotScatter) {
    CMaterial grin(fixturePlugin(), 0.5);
    EXPECT_EQ(grin.bulk, 0);
    EXPECT_EQ(grin.gradientIndex, 1);
    ASSERT_NE(grin.entry, nullptr);
    double path = 3;
    EXPECT_EQ(grin.SampleFreePath(1e30, path), 0);
    Vec3 out{7, 7, 7};
    EXPECT_EQ(grin.ScatterDirection(Vec3{0, 0, 1}, out), 0);
    EXPECT_EQ(out.x, 7);
}

TEST_F(MaterialTest, BindingFailuresAreReportedAndTheMaterialIsStillBuilt) {
    ScreenCapture screen;
    CMaterial missing("/nonexistent/nothing.so", 1.0);
    EXPECT_EQ(missing.entry, nullptr);
    EXPECT_EQ(missing.pluginFileName, "/nonexistent/nothing.so");
    EXPECT_NE(screen.text.find("Could not load DLL"), std::string::npos) << screen.text;
    screen.text.clear();
    CMaterial noEntry(std::string(MERIDYN_TEST_MODULE_DIR) + "/long_name_plugin.so", 1.0);
    EXPECT_EQ(noEntry.entry, nullptr);
    EXPECT_NE(screen.text.find("Could not find UserGrinDefinition function in DLL"),
              std::string::npos)
        << screen.text;
    Vec3 p{1, 2, 3}, d{0, 0, 1};
    EXPECT_EQ(noEntry.GrinStep(p, d, 0.1), 0.0);
    EXPECT_EQ(p.x, 1);
}

TEST_F(MaterialTest, EvaluationRecordCarriesPointWavelengthAndUnit) {
    CMaterial m(fixturePlugin(), 1.0);
    setParams(m, {0, 1.6});
    const double perUnit[4] = {10.0, 1.0, 25.4, 1000.0};
    for (int unit = 0; unit < 4; ++unit) {
        currentUnit = unit;
        double n, gx, gy, gz;
        EXPECT_EQ(EvalGrinPoint(m.entry, m.record, n, gx, gy, gz, 1, 2, 3, 0.55), 0);
        EXPECT_EQ(m.record.v[GRIN_TAG], 29.0);
        EXPECT_EQ(m.record.v[GRIN_X], 1);
        EXPECT_EQ(m.record.v[GRIN_Z], 3);
        EXPECT_EQ(m.record.v[GRIN_WAVELENGTH], 0.55);
        EXPECT_EQ(m.record.v[GRIN_MM_PER_UNIT], perUnit[unit]) << unit;
        EXPECT_EQ(n, 1.6);
        EXPECT_EQ(m.record.v[GRIN_PARAM1 + 1], 1.6); // the parameters stay
    }
    // The material's steps use the current trace wavelength.
    wavelengthTable[0] = 0.6328;
    Vec3 p{}, d{0, 0, 1};
    m.GrinIndex(p, d);
    EXPECT_EQ(m.record.v[GRIN_WAVELENGTH], 0.6328);
}

TEST_F(MaterialTest, ConstantIndexStepMovesExactlyAlongTheDirection) {
    CMaterial m(fixturePlugin(), 0.75);
    for (double n0 : {1.5, -1.5}) { // a negative index counts by its absolute value
        setParams(m, {n0 < 0 ? 2.0 : 0.0, std::fabs(n0)});
        Vec3 d{0.48, 0.6, 0.64};
        Vec3 p{1, -2, 3};
        EXPECT_EQ(m.GrinStep(p, d, 2.0), 0.75); // maxdist, not the step given
        EXPECT_NEAR(p.x, 1 + 2.0 * 0.48, 1e-14);
        EXPECT_NEAR(p.y, -2 + 2.0 * 0.6, 1e-14);
        EXPECT_NEAR(p.z, 3 + 2.0 * 0.64, 1e-14);
        EXPECT_NEAR(d.x, 0.48, 1e-15);
        EXPECT_NEAR(d.z, 0.64, 1e-15);
        EXPECT_EQ(m.GrinIndex(p, d), 0.75);
        EXPECT_NEAR(p.z, 3 + 2.75 * 0.64, 1e-14);
    }
}

// n = n0 sqrt(1 - g^2 r^2): in the optical parameter t every ray is x(t) = x0 cos(w t) +
// (Tx0 / w) sin(w t) (likewise y) and z(t) = z0 + Tz0 t, with w = n0 g and T = n dR/ds.
TEST_F(MaterialTest, HarmonicProfileFollowsTheExactCurveOverManySteps) {
    const double n0 = 1.6, g = 0.05, w = n0 * g;
    CMaterial m(fixturePlugin(), 0.1);
    setParams(m, {1.0, n0, g});
    const Vec3 p0{2.0, -1.0, 0.0};
    Vec3 d0{0.1, 0.05, 1.0};
    normalize3(d0);
    const double nStart = n0 * std::sqrt(1 - g * g * (p0.x * p0.x + p0.y * p0.y));
    const Vec3 T0 = nStart * d0;

    Vec3 p = p0, d = d0;
    double t = 0;
    for (int i = 0; i < 400; ++i) {
        double n = n0 * std::sqrt(1 - g * g * (p.x * p.x + p.y * p.y));
        t += 0.1 / n;
        ASSERT_EQ(GrinStep(m.entry, m.record, 0.1, p, d, 0.55), 0) << i;
        ASSERT_NEAR(dot3(d, d), 1.0, 1e-6);
    }
    EXPECT_NEAR(p.x, p0.x * std::cos(w * t) + T0.x / w * std::sin(w * t), 1e-9);
    EXPECT_NEAR(p.y, p0.y * std::cos(w * t) + T0.y / w * std::sin(w * t), 1e-9);
    EXPECT_NEAR(p.z, p0.z + T0.z * t, 1e-9);
    const double nEnd = n0 * std::sqrt(1 - g * g * (p.x * p.x + p.y * p.y));
    EXPECT_NEAR(nEnd * d.x, -p0.x * w * std::sin(w * t) + T0.x * std::cos(w * t), 1e-9);
    EXPECT_NEAR(nEnd * d.y, -p0.y * w * std::sin(w * t) + T0.y * std::cos(w * t), 1e-9);
    // A quarter turn and more has been travelled, so the curve is tested, not a line.
    EXPECT_GT(w * t, 2.0);
}

TEST_F(MaterialTest, FailureAtEachEvaluationHasItsPartialEffect) {
    CMaterial m(fixturePlugin(), 0.1);
    for (double how : {0.0, 1.0, 2.0, 3.0}) {
        for (int call = 1; call <= 4; ++call) {
            setParams(m, {1.0, 1.6, 0.05, double(call), how});
            clearCallCount(m);
            Vec3 p{1, 1, 0}, d{0, 0, 1};
            EXPECT_EQ(GrinStep(m.entry, m.record, 0.5, p, d, 0.55), -1) << call << " " << how;
            EXPECT_EQ(d.x, 0.0);
            EXPECT_EQ(d.z, 1.0);
            if (call < 4) {
                EXPECT_EQ(p.z, 0.0) << call;
            } else {
                EXPECT_NEAR(p.z, 0.5, 1e-3); // moved before the last evaluation failed
            }
        }
    }
    setParams(m, {1.0, 1.6, 0.05, 2.0, 0.0});
    clearCallCount(m);
    Vec3 p{}, d{0, 0, 1};
    EXPECT_EQ(m.GrinIndex(p, d), 0.0);
}

TEST_F(MaterialTest, RotationsUseThePlacementOfTheOwningObject) {
    ObjectRecord object;
    identity4(object.globalToLocal);
    identity4(object.localToGlobal);
    // Placed at (10, 20, 30) and turned 90 degrees about z.
    rotatePlacementZ(90.0, object.globalToLocal, object.localToGlobal);
    translatePlacement(10, 20, 30, object.globalToLocal, object.localToGlobal);
    SurfaceRecord surface;
    surface.owner = &object;

    Vec3 local;
    RotateOutOfObjectFrame(Vec3{1, 0, 0}, local, &surface);
    Vec3 back;
    RotateIntoObjectFrame(local, back, &surface);
    EXPECT_NEAR(back.x, 1, 1e-12);
    EXPECT_NEAR(back.y, 0, 1e-12);
    EXPECT_NEAR(back.z, 0, 1e-12);
    // The translation cancels: a turned unit vector stays unit and perpendicular to z.
    EXPECT_NEAR(dot3(local, local), 1.0, 1e-12);
    EXPECT_NEAR(std::fabs(local.y), 1.0, 1e-12);
    Vec3 z;
    RotateIntoObjectFrame(Vec3{0, 0, 1}, z, &surface);
    EXPECT_NEAR(z.z, 1.0, 1e-12);
    // Without an owner the direction stays.
    SurfaceRecord loose;
    Vec3 same;
    RotateIntoObjectFrame(Vec3{0.6, 0.8, 0}, same, &loose);
    EXPECT_EQ(same.y, 0.8);
}
