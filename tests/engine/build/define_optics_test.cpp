// What the builders' side flags and media mean to a traced ray: lenses are entered at the front
// and left at the back, and mirrors reflect on the side their surface type names.
#include "engine/optics/optics.h"
#include "tests/engine/define_fixture.h"

TEST_F(DefineTest, RayAlongZEntersTheGlassAtTheFrontAndLeavesAtTheBack) {
    struct Case {
        const char* command;
        std::vector<double> entered; // the index entered at each hit, in order
    };
    const Case cases[] = {
        {"define/lens n=1.5", {1.5, 1.0}},
        {"define/lens r1=-80 r2=-40 n=1.6 thickness=30", {1.6, 1.0}},
        {"define/lens r1=0 r2=0 n=1.7", {1.7, 1.0}},
        {"define/lens r1=50 r2=50 n=1.4 thickness=5", {1.4, 1.0}},
        {"define/rod n=1.45", {1.45, 1.0}},
        {"define/lens/cylindrical n=1.5", {1.5, 1.0}},
        {"define/lens/cylindrical/x_powered r1=-60 r2=0 thickness=30 n=1.6", {1.6, 1.0}},
        {"define/lens/cylindrical r1=0 r2=30 n=1.3", {1.3, 1.0}},
        {"define/lens/doublet n1=1.6 n2=1.4", {1.6, 1.4, 1.0}},
        {"define/lens/doublet r1=0 r2=0 r3=-30 n1=1.5 n2=1.7", {1.5, 1.7, 1.0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        for (const Vec3 at : {Vec3{0, 0, 0}, Vec3{3, -2, 0}}) {
            resetObjectTable();
            ObjectRecord* o = define(c.command);
            ASSERT_NE(o, nullptr);
            EXPECT_EQ(indicesAlongZ(o, at.x, at.y), c.entered);
        }
    }
}

TEST_F(DefineTest, EdgesAndWallsLeadOutOfTheGlass) {
    // Rays leaving sideways through a lens edge and a cylindrical lens wall enter air.
    for (const char* command : {"define/lens", "define/lens/cylindrical"}) {
        SCOPED_TRACE(command);
        resetObjectTable();
        ObjectRecord* o = define(command);
        ASSERT_NE(o, nullptr);
        place(o, {0, 0, 0});
        const Vec3 start{0, 0, o->referencePoint.z};
        for (const Vec3 dir : {Vec3{1, 0, 0}, Vec3{0, -1, 0}}) {
            SurfaceRecord* s = nullptr;
            Vec3 hit;
            double distance = 0;
            int noHit = 0;
            selfHitSurface = nullptr;
            findNearestIntercept(start, dir, s, hit, distance, noHit);
            ASSERT_EQ(noHit, 0);
            Vec3 lp, ld;
            toLocalPoint(hit, lp, s);
            toLocalDirection(dir, ld, s);
            double index = 0, absorptivity = 0, luminance = 0;
            surfaceMedia(s, lp, ld, index, absorptivity, luminance);
            EXPECT_EQ(index, 1.0) << s->number;
            // And back in, the glass.
            const Vec3 back{-dir.x, -dir.y, -dir.z};
            toLocalDirection(back, ld, s);
            surfaceMedia(s, lp, ld, index, absorptivity, luminance);
            EXPECT_EQ(index, o->firstSurface->index) << s->number;
        }
    }
}

namespace {

struct MirrorHit {
    bool hit = false;
    bool reflected = false; // met from the reflecting side
    Vec3 point;             // global hit point
    Vec3 direction;         // reflected global direction
};

} // namespace

class MirrorSideTest : public DefineTest {
  protected:
    // Traces one ray at the placed mirror and reflects it when the side allows.
    MirrorHit shoot(const Vec3& from, const Vec3& dir) {
        MirrorHit r;
        SurfaceRecord* s = nullptr;
        double distance = 0;
        int noHit = 0;
        selfHitSurface = nullptr;
        findNearestIntercept(from, dir, s, r.point, distance, noHit);
        if (noHit) return r;
        r.hit = true;
        Vec3 lp, ld;
        toLocalPoint(r.point, lp, s);
        toLocalDirection(dir, ld, s);
        r.reflected = rayInsideSurface(lp, ld, s) == 0;
        Vec3 out;
        reflectRay(s, lp, ld, out);
        toGlobalDirection(out, r.direction, s);
        normalize3(r.direction);
        return r;
    }
    // The distance from a point to the line through p along the unit direction d.
    static double lineDistance(const Vec3& point, const Vec3& p, const Vec3& d) {
        const Vec3 v = point - p;
        const Vec3 c = cross3(v, d);
        return std::sqrt(dot3(c, c));
    }
    ObjectRecord* mirror(const std::string& command) {
        resetObjectTable();
        ObjectRecord* o = define(command);
        if (o) place(o, {0, 0, 0});
        return o;
    }
};

TEST_F(MirrorSideTest, ConcaveConicReflectsThroughItsFocusForEitherSignOfCurvature) {
    for (const double c : {0.01, -0.01}) {
        SCOPED_TRACE(c);
        const double focus = 1 / (2 * c); // a paraboloid z = c r^2 / 2
        const double towards = c > 0 ? -1 : 1;
        ASSERT_NE(mirror(formatText("define/mirror/conic/concave c=%g k=-1", c)), nullptr);
        // Arriving on the concave side (from the focus's side), parallel to the axis.
        MirrorHit h = shoot({5, 3, -towards * 500}, {0, 0, towards});
        ASSERT_TRUE(h.hit);
        EXPECT_TRUE(h.reflected);
        EXPECT_LT(lineDistance({0, 0, focus}, h.point, h.direction), 1e-9);
        // Arriving on the other side: the ray ends there.
        h = shoot({5, 3, towards * 500}, {0, 0, -towards});
        ASSERT_TRUE(h.hit);
        EXPECT_FALSE(h.reflected);

        ASSERT_NE(mirror(formatText("define/mirror/conic/convex c=%g k=-1", c)), nullptr);
        EXPECT_FALSE(shoot({5, 3, -towards * 500}, {0, 0, towards}).reflected);
        EXPECT_TRUE(shoot({5, 3, towards * 500}, {0, 0, -towards}).reflected);

        ASSERT_NE(mirror(formatText("define/mirror/conic c=%g k=-1", c)), nullptr);
        EXPECT_TRUE(shoot({5, 3, -towards * 500}, {0, 0, towards}).reflected);
        EXPECT_TRUE(shoot({5, 3, towards * 500}, {0, 0, -towards}).reflected);
    }
}

TEST_F(MirrorSideTest, SphericalParabolicAndTroughConcaveSidesReflect) {
    // Each mirror opens towards +z for a positive focal length and towards -z for a negative
    // one; light arriving into the opening meets the concave side.
    const char* kinds[] = {"spherical", "parabolic", "trough"};
    for (const char* kind : kinds) {
        for (const double fl : {20.0, -20.0}) {
            SCOPED_TRACE(formatText("%s %g", kind, fl));
            const char* value = std::string(kind) == "parabolic" ? "flx" : "fl";
            const double towards = fl > 0 ? -1 : 1;
            const Vec3 concaveStart{2, 1, -towards * 500}, convexStart{2, 1, towards * 500};
            const Vec3 intoOpening{0, 0, towards}, outOfOpening{0, 0, -towards};
            ASSERT_NE(mirror(formatText("define/mirror/%s/concave %s=%g", kind, value, fl)),
                      nullptr);
            MirrorHit h = shoot(concaveStart, intoOpening);
            ASSERT_TRUE(h.hit);
            EXPECT_TRUE(h.reflected);
            EXPECT_FALSE(shoot(convexStart, outOfOpening).reflected);
            ASSERT_NE(mirror(formatText("define/mirror/%s/convex %s=%g", kind, value, fl)),
                      nullptr);
            EXPECT_FALSE(shoot(concaveStart, intoOpening).reflected);
            EXPECT_TRUE(shoot(convexStart, outOfOpening).reflected);
            // Without a surface type the mirror reflects light travelling along +z.
            ASSERT_NE(mirror(formatText("define/mirror/%s %s=%g", kind, value, fl)), nullptr);
            EXPECT_TRUE(shoot({2, 1, -500}, {0, 0, 1}).reflected);
            EXPECT_FALSE(shoot({2, 1, 500}, {0, 0, -1}).reflected);
        }
    }
    // The concave parabolic mirror focuses at its focal length.
    ASSERT_NE(mirror("define/mirror/parabolic/concave flx=20"), nullptr);
    MirrorHit h = shoot({4, -3, 500}, {0, 0, -1});
    EXPECT_LT(lineDistance({0, 0, 20}, h.point, h.direction), 1e-9);
}

TEST_F(MirrorSideTest, FlatMirrorSidesAndBothSidedQuadrics) {
    ASSERT_NE(mirror("define/mirror/flat"), nullptr);
    EXPECT_TRUE(shoot({1, 1, 50}, {0, 0, -1}).reflected);
    EXPECT_FALSE(shoot({1, 1, -50}, {0, 0, 1}).reflected);
    ASSERT_NE(mirror("define/mirror/flat/back"), nullptr);
    EXPECT_FALSE(shoot({1, 1, 50}, {0, 0, -1}).reflected);
    EXPECT_TRUE(shoot({1, 1, -50}, {0, 0, 1}).reflected);
    // An inside cavity reflects light inside it and stops light from outside.
    ASSERT_NE(mirror("define/cavity/cylinder"), nullptr);
    EXPECT_TRUE(shoot({0, 0, 20}, {1, 0, 0}).reflected);
    EXPECT_FALSE(shoot({-100, 0, 20}, {1, 0, 0}).reflected);
    ASSERT_NE(mirror("define/cavity/cylinder/outside"), nullptr);
    EXPECT_FALSE(shoot({0, 0, 20}, {1, 0, 0}).reflected);
    EXPECT_TRUE(shoot({-100, 0, 20}, {1, 0, 0}).reflected);
}
