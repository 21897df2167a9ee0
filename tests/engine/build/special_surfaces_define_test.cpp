// Aspheric and CPC surfaces on objects made by the define builders: the media the trace
// meets through aspheric lens faces, and DEFINE/MIRROR/CPC through the definition of a mirror.
#include "engine/surfaces/aspheric_surfaces.h"
#include "engine/surfaces/cpc_surfaces.h"
#include "engine/commands/modify_altsurfaces.h"
#include "tests/engine/define_fixture.h"

namespace {

class SpecialDefineTest : public DefineTest {
  protected:
    static int modifyAlt(const char* modifiers, std::initializer_list<double> values) {
        parseModify(modifiers, values);
        return modifyAltsurfaces();
    }

    struct Hit {
        SurfaceRecord* surface;
        Vec3 point; // global: the object sits at the origin, so also its own frame
        double entered;
    };
    // The hits of one ray through the object placed at the origin, with the index entered at
    // each.
    std::vector<Hit> trace(ObjectRecord* o, Vec3 point, Vec3 dir, int hits = 6) {
        place(o, {});
        normalize3(dir);
        std::vector<Hit> found;
        selfHitSurface = nullptr;
        for (int k = 0; k < hits; ++k) {
            SurfaceRecord* s = nullptr;
            Vec3 hit, lp, ld;
            double distance = 0;
            int noHit = 0;
            findNearestIntercept(point, dir, s, hit, distance, noHit);
            if (noHit) break;
            toLocalPoint(hit, lp, s);
            toLocalDirection(dir, ld, s);
            double index = 0, absorptivity = 0, luminance = 0;
            surfaceMedia(s, lp, ld, index, absorptivity, luminance);
            found.push_back({s, hit, index});
            point = hit;
            selfHitSurface = s;
        }
        return found;
    }
    // Rays along the axis, parallel to it and slanted, from in front of the object.
    static std::vector<std::pair<Vec3, Vec3>> rays() {
        std::vector<std::pair<Vec3, Vec3>> r;
        for (Vec3 at : {Vec3{0, 0, -500}, Vec3{3, -2, -500}, Vec3{-7, 5, -500}, Vec3{0, 9.5, -500}})
            r.push_back({at, {0, 0, 1}});
        r.push_back({{-15, 4, -500}, {0.03, -0.01, 1}});
        r.push_back({{2, 10, -500}, {-0.005, -0.02, 1}});
        return r;
    }
    // The even asphere written out: sag about the axis through (0, 0).
    static double asphereSag(double cv, double k, double a1, double a2, double x, double y) {
        const double r2 = x * x + y * y;
        return cv * r2 / (1 + std::sqrt(1 - (k + 1) * cv * cv * r2)) + a1 * r2 * r2 +
               a2 * r2 * r2 * r2;
    }
};

// Faces the builders place away from their frame's origin (a doublet's cemented and back faces,
// a cylindrical lens's back face) and one at its origin for comparison: each made aspheric
// singly, with the vertex the spherical face had in the object (z along the axis).
struct OffsetFace {
    const char* define;
    int face;
    double radius; // the spherical face's radius, 0 flat
    double vertexZ;
};
const OffsetFace kOffsetFaces[] = {
    {"define/lens/doublet r1=90 r2=-60 r3=-150 t1=12 t2=6 diameter=40", 1, 90, 0},
    {"define/lens/doublet r1=90 r2=-60 r3=-150 t1=12 t2=6 diameter=40", 2, -60, 12},
    {"define/lens/doublet r1=90 r2=-60 r3=-150 t1=12 t2=6 diameter=40", 4, -150, 18},
    // A short concave back face whose centre of curvature lies on the far side of the frame's
    // origin from it, and a flat cemented face.
    {"define/lens/doublet r1=40 r2=-30 r3=-15 t1=12 t2=8 diameter=24", 4, -15, 20},
    {"define/lens/doublet r1=40 r2=0 r3=-35 t1=9 t2=7 diameter=24", 2, 0, 9},
    {"define/lens r1=100 r2=-80 thickness=20 diameter=40", 2, -80, 10},
};

TEST_F(SpecialDefineTest, AsphericOfTheFaceOwnConicLeavesEveryHitWhereItWas) {
    for (const OffsetFace& c : kOffsetFaces) {
        SCOPED_TRACE(std::string(c.define) + " face " + std::to_string(c.face));
        resetObjectTable();
        ObjectRecord* o = define(c.define);
        ASSERT_NE(o, nullptr);
        const std::vector<std::pair<Vec3, Vec3>> sent = rays();
        std::vector<std::vector<Hit>> before;
        for (const auto& [at, dir] : sent)
            before.push_back(trace(o, at, dir));
        const double cv = c.radius != 0 ? 1 / c.radius : 0;
        ASSERT_EQ(modifyAlt("/altsurfaces/aspheric", {1 + c.face / 10.0, cv, 0}), 1);
        ASSERT_NE(asphericRecord(getSurface(0, c.face)), nullptr);
        for (size_t i = 0; i < sent.size(); ++i) {
            const auto& [at, dir] = sent[i];
            const std::vector<Hit> after = trace(o, at, dir);
            ASSERT_EQ(after.size(), before[i].size()) << "ray " << i;
            ASSERT_GE(after.size(), 2u) << "ray " << i;
            for (size_t k = 0; k < after.size(); ++k) {
                EXPECT_EQ(after[k].surface, before[i][k].surface) << "ray " << i << " hit " << k;
                EXPECT_EQ(after[k].entered, before[i][k].entered) << "ray " << i << " hit " << k;
                const Vec3 d = after[k].point - before[i][k].point;
                EXPECT_LT(std::sqrt(dot3(d, d)), 1e-9) << "ray " << i << " hit " << k;
            }
        }
    }
}

TEST_F(SpecialDefineTest, AsphericTermsPutHitsOnTheSagAboutTheFaceVertex) {
    std::vector<OffsetFace> faces(std::begin(kOffsetFaces), std::end(kOffsetFaces));
    faces.push_back({"define/lens/cylindrical r1=100 r2=-100 thickness=20", 2, -100, 20});
    const double cv = -0.006, k = -0.7, a1 = 4e-7, a2 = -1e-10;
    for (const OffsetFace& c : faces) {
        SCOPED_TRACE(std::string(c.define) + " face " + std::to_string(c.face));
        resetObjectTable();
        ObjectRecord* o = define(c.define);
        ASSERT_NE(o, nullptr);
        const std::vector<double> media = indicesAlongZ(o, 1, 2);
        SurfaceRecord* s = getSurface(0, c.face);
        // A change of an aspheric face keeps the vertex the first set-up found.
        ASSERT_EQ(modifyAlt("/altsurfaces/aspheric", {1 + c.face / 10.0, 0.01, 0.5, -2e-7}), 1);
        ASSERT_EQ(modifyAlt("/altsurfaces/aspheric", {1 + c.face / 10.0, cv, k, a1, a2}), 1);
        if (o->typeCode != kTypeCylindricLens) {
            EXPECT_EQ(indicesAlongZ(o, 1, 2), media);
        }
        expectSphereEncloses(o);
        int onFace = 0;
        for (const auto& [at, dir] : rays()) {
            for (const Hit& h : trace(o, at, dir)) {
                if (h.surface != s) continue;
                ++onFace;
                const Vec3& p = h.point;
                EXPECT_NEAR(p.z, c.vertexZ + asphereSag(cv, k, a1, a2, p.x, p.y), 1e-10)
                    << p.x << " " << p.y;
                if (p.x == 0 && p.y == 0) {
                    EXPECT_NEAR(p.z, c.vertexZ, 1e-12);
                }
                // The face's z extents hold it.
                Vec3 local;
                toLocalPoint(p, local, s);
                EXPECT_GE(local.z, s->extent[4] - 1e-12);
                EXPECT_LE(local.z, s->extent[5] + 1e-12);
            }
        }
        EXPECT_EQ(onFace, static_cast<int>(rays().size()));
    }
}

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
        // The doublet's later faces, placed away from their frames' origins, have tests of their
        // own above.
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
