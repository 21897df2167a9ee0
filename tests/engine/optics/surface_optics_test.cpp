// The optics at a hit surface, on surfaces built in the object table.
#include <cmath>

#include "command/settings/settings.h"
#include "engine/optics/optics.h"
#include "engine/files/ray_files.h"
#include "tests/engine/engine_fixture.h"

namespace {

// A flat surface z = 0 whose normal hook gives +z.
void upNormal(SurfaceRecord*, const Vec3&, Vec3& normal) {
    normal = {0, 0, 1};
}

class SurfaceOpticsTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        object = makeObject(kTypeLens, 1);
        surface = object->firstSurface;
        surface->normal = upNormal;
    }
    struct Result {
        Vec3 out;
        int totalInternal;
        double R;
    };
    Result refract(const Vec3& d, double n1, double n2, Vec3 out = {7, 7, 7}) {
        Result r{out, -1, -1};
        refractRay(surface, Vec3{}, d, n1, n2, r.out, r.totalInternal, r.R);
        return r;
    }

    ObjectRecord* object = nullptr;
    SurfaceRecord* surface = nullptr;
};

Vec3 downAt(double degrees) {
    double a = degrees * M_PI / 180.0;
    return {std::sin(a), 0.0, -std::cos(a)};
}

bool same(const Vec3& a, const Vec3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

} // namespace

TEST_F(SurfaceOpticsTest, ReflectionMirrorsAndKeepsTangentRays) {
    Vec3 out;
    reflectRay(surface, Vec3{}, Vec3{0.6, 0, -0.8}, out);
    // Scaled to a unit normal component, not normalised.
    EXPECT_NEAR(out.x, 0.75, 1e-15);
    EXPECT_EQ(out.y, 0.0);
    EXPECT_NEAR(out.z, 1.0, 1e-15);
    // Approached from below, the faced normal still mirrors it back down.
    reflectRay(surface, Vec3{}, Vec3{0.6, 0, 0.8}, out);
    EXPECT_LT(out.z, 0.0);
    reflectRay(surface, Vec3{}, Vec3{1, 0, 0}, out);
    EXPECT_TRUE(same(out, Vec3{1, 0, 0}));
}

TEST_F(SurfaceOpticsTest, FixedReflectanceWithoutFresnelOrCoating) {
    surface->reflectance = 0.1;
    Result r = refract(downAt(30), 1.0, 1.5);
    EXPECT_EQ(r.totalInternal, 0);
    EXPECT_EQ(r.R, 0.1);
    EXPECT_NEAR(std::sin(30 * M_PI / 180), 1.5 * std::hypot(r.out.x, r.out.y), 1e-12);
    EXPECT_LT(r.out.z, 0.0);
    EXPECT_EQ(coatingTransmitted, -1.0);
    EXPECT_EQ(coatingAbsorbed, -1.0);
}

TEST_F(SurfaceOpticsTest, FresnelFlagAppliesOnlyToSurfacesWithoutFixedReflectance) {
    fresnelOn = 1;
    EXPECT_NEAR(refract(downAt(0), 1.0, 1.5).R, 0.04, 1e-15);
    surface->reflectance = 0.1;
    EXPECT_EQ(refract(downAt(0), 1.0, 1.5).R, 0.1);
    // A coating model still applies to a surface with a fixed value.
    CoatingRecord fresnel{kCoatingFresnel, {}};
    currentCoating = &fresnel;
    EXPECT_NEAR(refract(downAt(0), 1.0, 1.5).R, 0.04, 1e-15);
    fresnelOn = 0;
    EXPECT_NEAR(refract(downAt(0), 1.5, 1.0).R, 0.04, 1e-15);
    // The reflectance uses the unit direction even when the caller's is longer.
    EXPECT_NEAR(refract(Vec3{0, 0, -5}, 1.0, 1.5).R, 0.04, 1e-15);
}

TEST_F(SurfaceOpticsTest, CoatingModelsReportTheirSplit) {
    CoatingRecord metal{kCoatingMetal, {0.5, 1, 1, 0, 1.2, 7}};
    currentCoating = &metal;
    Result r = refract(downAt(0), 1.0, 1.5);
    const double expected = (0.04 + 49) / (4.84 + 49);
    EXPECT_NEAR(r.R, expected, 1e-12);
    EXPECT_NEAR(coatingAbsorbed, 1 - expected, 1e-12);
    EXPECT_EQ(coatingTransmitted, 0.0);

    CoatingRecord lwir{kCoatingLwirMetal, {0.5, 0, 1, 1, 0, 0}};
    currentCoating = &lwir;
    r = refract(downAt(0), 1.0, 1.5);
    EXPECT_NEAR(r.R, 0.2, 1e-15);
    EXPECT_NEAR(coatingTransmitted, 0.8, 1e-15);

    // The split of an earlier hit does not survive the next refraction.
    CoatingRecord other{7, {}};
    currentCoating = &other;
    surface->reflectance = 0.3;
    r = refract(downAt(0), 1.0, 1.5);
    EXPECT_EQ(r.R, 0.3);
    EXPECT_EQ(coatingTransmitted, -1.0);
    EXPECT_EQ(coatingAbsorbed, -1.0);
}

TEST_F(SurfaceOpticsTest, TotalInternalReflectionKeepsTheFixedValueAndTheDirection) {
    surface->reflectance = 0.05;
    fresnelOn = 1;
    const double critical = std::asin(1.0 / 1.5) * 180 / M_PI;
    Result r = refract(downAt(critical + 0.01), 1.5, 1.0);
    EXPECT_EQ(r.totalInternal, 1);
    EXPECT_EQ(r.R, 0.05);
    EXPECT_TRUE(same(r.out, Vec3{7, 7, 7}));
    r = refract(downAt(critical - 0.01), 1.5, 1.0);
    EXPECT_EQ(r.totalInternal, 0);
}

TEST_F(SurfaceOpticsTest, TangentRayPassesAndClearsTheFlag) {
    surface->reflectance = 0.2;
    Vec3 out{7, 7, 7};
    int totalInternal = 1;
    double R = -1;
    refractRay(surface, Vec3{}, Vec3{0, 1, 0}, 1.5, 1.0, out, totalInternal, R);
    EXPECT_EQ(totalInternal, 0);
    EXPECT_EQ(R, 0.2);
    EXPECT_TRUE(same(out, Vec3{0, 1, 0}));
}

TEST_F(SurfaceOpticsTest, GratingOnASurfaceDiffractsAtTheTraceWavelength) {
    const double params[3] = {500, 0, 1};
    wavelengthTable[1] = 1.0;
    wavelengthIndex = 1;
    Vec3 d{0, 0, -1};
    ASSERT_EQ(gratingInteraction(surface, Vec3{}, d, 1.0, params), 1);
    EXPECT_NEAR(std::fabs(d.x), 0.5, 1e-12);
    EXPECT_LT(d.z, 0.0);
    // Twice the wavelength: f lambda = 1, nothing propagates and the direction stays.
    wavelengthTable[1] = 2.0;
    Vec3 e{0.1, 0, -0.99};
    const Vec3 before = e;
    EXPECT_EQ(gratingInteraction(surface, Vec3{}, e, 1.0, params), 0);
    EXPECT_TRUE(same(e, before));
}
