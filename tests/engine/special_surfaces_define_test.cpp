// Aspheric and CPC surfaces on objects made by the define builders: the media the trace
// meets through aspheric lens faces, and DEFINE/MIRROR/CPC through the definition of a mirror.
#include "engine/aspheric_surfaces.h"
#include "engine/cpc_surfaces.h"
#include "engine/modify_altsurfaces.h"
#include "tests/engine/define_fixture.h"

namespace {

class SpecialDefineTest : public DefineTest {
  protected:
    void SetUp() override {
        DefineTest::SetUp();
        clearAsphericCache();
    }
    void TearDown() override {
        clearAsphericCache();
        DefineTest::TearDown();
    }
    static int modifyAlt(const char* modifiers, std::initializer_list<double> values) {
        parseModify(modifiers, values);
        return modifyAltsurfaces();
    }
};

TEST_F(SpecialDefineTest, AsphericFacesKeepEveryMediumOfLensesRodsAndDoublets) {
    // The media a ray along the axis enters, before and after the faces become aspheric (k > 0
    // included, and concave faces whose side flag starts at +1).
    struct Case {
        const char* define;
        std::vector<double> faces; // designators of the faces made aspheric
        std::vector<double> expected;
    } cases[] = {
        {"define/lens r1=-150 r2=-60 n=1.5", {1.1, 1.2}, {1.5, 1.0}},
        {"define/lens r1=80 r2=0 n=1.6", {1.1, 1.2}, {1.6, 1.0}},
        {"define/rod length=50 diameter=20 n=1.4", {1.1, 1.2}, {1.4, 1.0}},
        // The doublet's later faces have their vertices away from their frames' origins, where
        // an asphere's vertex lies: only its front face is made aspheric here.
        {"define/lens/doublet r1=-90 r2=-60 r3=120", {1.1}, {1.7, 1.4, 1.0}},
    };
    for (const Case& c : cases) {
        resetObjectTable();
        ObjectRecord* o = define(c.define);
        ASSERT_NE(o, nullptr) << c.define;
        EXPECT_EQ(indicesAlongZ(o, 1, 2), c.expected) << c.define;
        for (double face : c.faces) {
            ASSERT_EQ(modifyAlt("/altsurfaces/aspheric", {face, 0.004, 0.8, 1e-7}), 1) << face;
        }
        EXPECT_EQ(indicesAlongZ(o, 1, 2), c.expected) << c.define << " aspheric";
        // Every face crossed lies on its sag.
        place(o, {});
        Vec3 point{1, 2, -1000}, dir{0, 0, 1};
        selfHitSurface = nullptr;
        for (int k = 0; k < static_cast<int>(c.expected.size()); ++k) {
            SurfaceRecord* s = nullptr;
            Vec3 hit, local;
            double distance;
            int noHit;
            findNearestIntercept(point, dir, s, hit, distance, noHit);
            ASSERT_EQ(noHit, 0);
            toLocalPoint(hit, local, s);
            if (asphericRecord(s)) {
                EXPECT_NEAR(local.z, asphericSagAt(s, local.x, local.y), 1e-11) << c.define;
            }
            point = hit;
            selfHitSurface = s;
        }
    }
}

TEST_F(SpecialDefineTest, AsphericLensEdgeRunsFromRimToRim) {
    ObjectRecord* lens = define("define/lens r1=100 r2=-100 thickness=20 diameter=70");
    ASSERT_NE(lens, nullptr);
    ASSERT_EQ(modifyAlt("/altsurfaces/aspheric", {1.1, 0.012, -0.5, 3e-7}), 1);
    ASSERT_EQ(modifyAlt("/altsurfaces/aspheric", {1.2, -0.008, 0, -2e-7}), 1);
    const SurfaceRecord* edge = getSurface(0, 3);
    EXPECT_NEAR(edge->extent[4], asphericSagAt(getSurface(0, 1), 0, 35) - 10, 1e-12);
    EXPECT_NEAR(edge->extent[5], asphericSagAt(getSurface(0, 2), 0, 35) + 10, 1e-12);
}

TEST_F(SpecialDefineTest, CpcMirrorThroughTheMirrorDefinition) {
    setCpcMirrorBuilder(defineCpcMirror);
    ObjectRecord* o = define("define/mirror/cpc input_angle=25 output_angle=70 radius_exit=4");
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(out, "A terminal cone will be added, as output angle is not 90 degrees.\n"
                   "Complete.\n"
                   "Object 1 consisting of 2 surfaces has been defined.\n");
    EXPECT_EQ(o->typeCode, kTypeCpc);
    ASSERT_EQ(o->userParameters.count, 3);
    EXPECT_EQ(o->userParameters.values[0], 25);

    EXPECT_EQ(define("define/mirror/cpc output_angle=20"), nullptr);
    EXPECT_EQ(out, "ERROR: Input angle must be less than output angle.\nTry again.\n");
    EXPECT_EQ(objectCount, 1);
    EXPECT_EQ(surfaceCount, 2);

    // Light entering within the acceptance angle reaches the exit aperture (z = 0, radius 4)
    // after its reflections on the wall and the cone.
    place(o, {});
    CpcShape shape;
    ASSERT_TRUE(cpcShape(25 * 0.017453292519943295, 70 * 0.017453292519943295, 4, shape));
    int reached = 0, rays = 0;
    for (int i = 0; i < 60; ++i) {
        const double angle = (i % 10) * 2.4 * 0.017453292519943295; // up to 21.6 degrees
        const double x = -0.9 * shape.entranceRadius + 0.03 * shape.entranceRadius * (i / 10) * 6;
        Vec3 point{x, 0.2, shape.wallTop - 1e-3}, dir{std::sin(angle), 0, -std::cos(angle)};
        selfHitSurface = nullptr;
        ++rays;
        for (int bounce = 0; bounce < 40; ++bounce) {
            SurfaceRecord* s = nullptr;
            Vec3 hit, lp, ld, n;
            double distance;
            int noHit;
            findNearestIntercept(point, dir, s, hit, distance, noHit);
            if (noHit) {
                // Out through the exit plane within its radius?
                if (dir.z < 0) {
                    const double t = -point.z / dir.z;
                    const double r = std::hypot(point.x + t * dir.x, point.y + t * dir.y);
                    if (r <= 4 + 1e-6) ++reached;
                }
                break;
            }
            toLocalPoint(hit, lp, s);
            toLocalDirection(dir, ld, s);
            surfaceNormal(s, lp, ld, n);
            Vec3 gn;
            toGlobalDirection(n, gn, s);
            const double along = dot3(dir, gn);
            dir = dir - (2 * along) * gn;
            point = hit;
            selfHitSurface = s;
        }
    }
    EXPECT_EQ(reached, rays);
}

} // namespace
