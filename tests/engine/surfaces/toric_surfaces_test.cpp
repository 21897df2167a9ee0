// Toric surfaces: sag, normal and fit, the set-up through MODIFY/ALTSURFACES, the iterated
// intercept and its messages, and torics in the nearest search.
#include "engine/surfaces/alt_surfaces.h"
#include "tests/engine/special_surfaces_fixture.h"

namespace {

class ToricTest : public SpecialSurfaceTest {
  protected:
    // A plane surface (gradient +z) with an outline of half widths wx, wy, made toric.
    ObjectRecord* makeToric(double rx, double ry, double wx = 10, double wy = 8, Vec3 at = {},
                            double beta = 0, int type = kTypeMirror) {
        ObjectRecord* o = makeObject(type);
        setPlane(o->firstSurface);
        setExtent(o->firstSurface, -wx, wx, -wy, wy, -1, 1);
        place(o, at, beta);
        EXPECT_EQ(modifyAlt("/altsurfaces/toric", {o->number + 0.1, rx, ry}), 1);
        setobj(o);
        return o;
    }
    // x^2 + (R - z)^2 - (R - f(y))^2 at a local point (z - f(y) for rx = 0).
    static double torusResidual(double rx, double ry, const Vec3& p) {
        const double cvy = 1 / ry;
        const double f = cvy * p.y * p.y / (1 + std::sqrt(1 - cvy * cvy * p.y * p.y));
        if (rx == 0) return p.z - f;
        return p.x * p.x + (rx - p.z) * (rx - p.z) - (rx - f) * (rx - f);
    }
};

TEST_F(ToricTest, FirstSetUpWritesItsDiagnosticsThenTheTranscript) {
    ObjectRecord* o = makeObject(kTypeMirror);
    setPlane(o->firstSurface);
    setExtent(o->firstSurface, -10, 10, -8, 8, -1, 1);
    ASSERT_EQ(modifyAlt("/altsurfaces/toric", {1.1}), 1);
    const std::string text = newText();
    EXPECT_EQ(text.rfind("f0 = 0 zsag = 0\n", 0), 0u) << text;
    EXPECT_NE(text.find("z0 = 0 z1 = 0.501256 z2 = 0.501256 z3 = 0.160064 z4 = 0.160064\n"
                        "con1 = 0 con2 = 0 con3 = 0.00501256 con4 = 0.002501\n"
                        "l = 0 m = 0 n = -199.499\n"
                        "Adding new alternate surface function: toric.\n"
                        "Object 1 surface 1: modified.\n"
                        "1 alternate surfaces were found for surface 1.1\n"
                        "Alteration 1 function identified as: toric of type: "
                        "INTERCEPT_REFINEMENT\n"
                        "Parameters: rx = 100  ry = 200  ccy = 0  cvx = 0.01  cvy = 0.005  \n"),
              std::string::npos)
        << text;
    // A success ends the diagnostics; a change starts again from rx 100, ry 200.
    SurfaceRecord* s = o->firstSurface;
    s->altSurfaces->values[2] = 7;
    ASSERT_EQ(modifyAlt("/altsurfaces/toric", {1.1, 50}), 1);
    const std::string second = newText();
    EXPECT_EQ(second.rfind("Changing existing alternate surface : toric.\n", 0), 0u) << second;
    const double* v = s->altSurfaces->values;
    EXPECT_EQ(v[0], 50);
    EXPECT_EQ(v[1], 200);
    EXPECT_EQ(v[2], 0);
    EXPECT_EQ(v[3], 0.02);
    EXPECT_EQ(v[4], 0.005);
    EXPECT_EQ(s->intercept, toricIntercept);
    EXPECT_EQ(s->normal, toricNormal);
    EXPECT_EQ(s->shapeCode, kShapeSphere);
}

TEST_F(ToricTest, FitSagAndNormal) {
    ObjectRecord* o = makeToric(100, 200);
    SurfaceRecord* s = o->firstSurface;
    // z = con3 x^2 + con4 y^2 scaled by con3: the samples at the outline's edges lie on it.
    const double z1 = 100 - std::sqrt(100.0 * 100 - 100),
                 z3 = 64.0 / 200 / (1 + std::sqrt(1 - 64.0 / 40000));
    const double con3 = z1 / 100, con4 = z3 / 64;
    EXPECT_NEAR(s->quadric[0], 1, 1e-15);
    EXPECT_NEAR(s->quadric[4], con4 / con3, 1e-12);
    EXPECT_NEAR(s->quadric[11], -1 / con3, 1e-9);
    EXPECT_EQ(s->quadric[8], 0);
    EXPECT_EQ(s->quadric[12], 0);
    // z extents from the fitted quadric over the outline.
    EXPECT_NEAR(s->extent[4], 0, 1e-4);
    EXPECT_NEAR(s->extent[5], z1 + z3, 1e-3);

    const ToricProfile profile{0.01, 0.005, 0};
    for (Vec3 p : {Vec3{0, 0, 0}, Vec3{7, -3, 0}, Vec3{-9.5, 7.5, 0}}) {
        double z;
        ASSERT_EQ(yrevSag(profile, p.x, p.y, z), 0);
        EXPECT_NEAR(torusResidual(100, 200, {p.x, p.y, z}), 0, 1e-11);
        const double h = 1e-5;
        double zx1, zx2, zy1, zy2;
        yrevSag(profile, p.x + h, p.y, zx1);
        yrevSag(profile, p.x - h, p.y, zx2);
        yrevSag(profile, p.x, p.y + h, zy1);
        yrevSag(profile, p.x, p.y - h, zy2);
        const double gx = (zx1 - zx2) / (2 * h), gy = (zy1 - zy2) / (2 * h);
        const double len = std::sqrt(1 + gx * gx + gy * gy);
        Vec3 n;
        yrevNormal(profile, p.x, p.y, z, n);
        EXPECT_NEAR(n.x, -gx / len, 1e-9);
        EXPECT_NEAR(n.y, -gy / len, 1e-9);
        EXPECT_NEAR(n.z, 1 / len, 1e-9);
        // The hook turns it to agree with the base quadric's normal (which points along -z).
        toricNormal(s, {p.x, p.y, z}, n);
        EXPECT_NEAR(n.z, -1 / len, 1e-9);
    }
    // Far out the revolution has no real sag.
    newText();
    double z;
    EXPECT_EQ(yrevSag(profile, 150, 0, z), 1);
    EXPECT_EQ(newText(), " INTERMEDIATE VALUE REPRESENTS AN UNREAL INTERCEPT\n");
}

TEST_F(ToricTest, ZeroRxIsACylinderAlongX) {
    ObjectRecord* o = makeToric(0, 50);
    SurfaceRecord* s = o->firstSurface;
    EXPECT_EQ(s->altSurfaces->values[3], 0);
    const ToricProfile profile{0, 0.02, 0};
    double a, b;
    yrevSag(profile, -9, 6, a);
    yrevSag(profile, 4, 6, b);
    EXPECT_EQ(a, b);
    EXPECT_NEAR(a, 36.0 / 50 / (1 + std::sqrt(1 - 36.0 / 2500)), 1e-15);
    const Hit h = trace({-9, 6, -20}, {0, 0, 1});
    ASSERT_EQ(h.surface, s);
    EXPECT_NEAR(h.point.z, a, 1e-12);
    Vec3 n;
    toricNormal(s, h.point, n);
    EXPECT_EQ(n.x, 0);
}

TEST_F(ToricTest, SampledRaysHitTheTrueSurfaceInMovedAndTurnedFrames) {
    struct Frame {
        Vec3 at;
        double beta;
        double rx, ry;
    } frames[] = {{{0, 0, 0}, 0, 60, -90}, {{12, -4, 30}, 25, -40, 70}, {{-3, 8, -15}, -40, 0, 35}};
    for (const Frame& f : frames) {
        resetObjectTable();
        ObjectRecord* o = makeToric(f.rx, f.ry, 10, 8, f.at, f.beta);
        SurfaceRecord* s = o->firstSurface;
        int hits = 0;
        for (int i = 0; i < 500; ++i) {
            const Vec3 target{uniform(-9.5, 9.5), uniform(-7.5, 7.5), 0};
            const Vec3 from{uniform(-20, 20), uniform(-20, 20), -50};
            Vec3 gTarget, gFrom;
            transformPoint(target, gTarget, s->surfaceToGlobal);
            transformPoint(from, gFrom, s->surfaceToGlobal);
            const Hit h = trace(gFrom, gTarget - gFrom);
            if (h.noHit) continue;
            ++hits;
            ASSERT_EQ(h.surface, s);
            Vec3 local;
            toLocalPoint(h.point, local, s);
            EXPECT_NEAR(torusResidual(f.rx, f.ry, local), 0, 1e-9) << f.rx;
            EXPECT_LE(std::fabs(local.x), 10);
            EXPECT_LE(std::fabs(local.y), 8);
            // The hit is the first crossing: nothing of the surface lies between.
            Vec3 u = h.point - gFrom;
            normalize3(u);
            EXPECT_NEAR(dot3(h.point - gFrom, u), h.distance, 1e-9);
        }
        EXPECT_GT(hits, 450) << f.rx;
    }
}

TEST_F(ToricTest, ExtentMissWritesBothErrorLines) {
    // A steep torus across x: the fitted parabola lies above it inside the outline. This ray
    // crosses the parabola at x = 9.995 and the torus only beyond x = 10.
    ObjectRecord* o = makeToric(12, 1e9);
    SurfaceRecord* s = o->firstSurface;
    const double c = (12 - std::sqrt(144.0 - 100)) / 100;
    const Vec3 onParabola{9.995, 0, c * 9.995 * 9.995};
    Vec3 d{1, 0, 1.4};
    normalize3(d);
    const Vec3 from = onParabola - 5.0 * d;
    newText();
    double nearest = -1;
    Vec3 dir = d;
    EXPECT_EQ(toricIntercept(s, from, dir, nearest), 0);
    EXPECT_EQ(nearest, -1);
    std::string text = newText();
    EXPECT_NE(text.find("ERROR: RAY IS OUTSIDE OF EXTENT ON SURFACE\nERROR: from yrev_surf\n"),
              std::string::npos)
        << text;
    // After a failure the next iteration writes its diagnostics.
    EXPECT_EQ(yrevStatus, 1);
    nearest = -1;
    EXPECT_EQ(toricIntercept(s, {0, 0, -5}, dir = {0, 0, 1}, nearest), 1);
    text = newText();
    EXPECT_NE(text.find(" zsag = "), std::string::npos) << text;
    EXPECT_EQ(yrevStatus, 0);
    EXPECT_EQ(toricIntercept(s, {1, 1, -5}, dir = {0, 0, 1}, nearest = -1), 1);
    EXPECT_EQ(newText(), "");

    // The iteration's own failures.
    iterationMaxCount = 1;
    Vec3 p{-9, 0, -2};
    EXPECT_EQ(yrev_surf({1 / 12.0, 0, 0}, p, d, -10, 10, -8, 8), 1);
    EXPECT_NE(newText().find(" 1 iterations occured without convergence - error exceeds itertol\n"
                             "ERROR: FROM YREV_ITER\nERROR: from yrev_surf\n"),
              std::string::npos);
    iterationMaxCount = 7;
    p = {0, 0, 3};
    EXPECT_EQ(YREV_ITER({1 / 12.0, 0, 0}, p, {1, 0, 0}), 1);
    EXPECT_NE(newText().find("RAY FAILURE\n"), std::string::npos);
}

TEST_F(ToricTest, TwoToricsInOneSearchEachWithItsOwnNormal) {
    ObjectRecord* a = makeToric(30, 80, 10, 8, {0, 0, 10});
    ObjectRecord* b = makeToric(-50, 40, 10, 8, {0, 0, 25}, 10);
    SurfaceRecord* sa = a->firstSurface;
    SurfaceRecord* sb = b->firstSurface;
    const Hit first = trace({2, 3, 0}, {0, 0, 1});
    ASSERT_EQ(first.surface, sa);
    selfHitSurface = sa;
    const Hit second = trace(first.point, {0, 0, 1});
    ASSERT_EQ(second.surface, sb);
    selfHitSurface = nullptr;
    // The normal at each hit belongs to that surface, whichever was hit last.
    for (auto [s, hit, rx, ry] :
         {std::tuple{sa, first.point, 30.0, 80.0}, std::tuple{sb, second.point, -50.0, 40.0}}) {
        Vec3 local, n, own;
        toLocalPoint(hit, local, s);
        toricNormal(s, local, n);
        yrevNormal({1 / rx, 1 / ry, 0}, local.x, local.y, local.z, own);
        EXPECT_NEAR(std::fabs(dot3(n, own)), 1, 1e-12);
    }
}

TEST_F(ToricTest, RefusedSetUpLeavesTheSurfaceAsItWas) {
    ObjectRecord* o = makeObject(kTypeAperture);
    SurfaceRecord* s = o->firstSurface;
    setPlane(s);
    s->side = 1;
    setExtent(s, -10, 10, -8, 8, -1, 1);
    newText();
    // rx 5 across an outline 20 wide: the revolution has no real sag at its edges.
    EXPECT_EQ(modifyAlt("/altsurfaces/toric", {1.1, 5, 20}), 0);
    const std::string text = newText();
    EXPECT_NE(text.find(" INTERMEDIATE VALUE REPRESENTS AN UNREAL INTERCEPT\n"), std::string::npos);
    EXPECT_NE(text.find("ERROR: Toric mod failed due to user input.  Fix or delete this object.\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("Adding"), std::string::npos);
    EXPECT_EQ(text.find("modified"), std::string::npos);
    EXPECT_EQ(s->altSurfaces, nullptr);
    EXPECT_EQ(s->intercept, interceptQuadricSurface);
    EXPECT_EQ(s->quadric[11], 1);
    EXPECT_EQ(s->shapeCode, kShapeFlat);
    EXPECT_EQ(s->side, 1);
    EXPECT_EQ(s->extent[4], -1);
    // No outline to fit over.
    setExtent(s, 0, 0, -8, 8, -1, 1);
    EXPECT_EQ(modifyAlt("/altsurfaces/toric", {1.1}), 0);
    EXPECT_EQ(s->altSurfaces, nullptr);

    // The profile is sampled with ccy: rx 1.5 over a narrow outline is real although cvx as a
    // conic constant would make (1 + 0.667) 0.01 64 exceed 1.
    setExtent(s, -1, 1, -8, 8, -1, 1);
    EXPECT_EQ(modifyAlt("/altsurfaces/toric", {1.1, 1.5, 10}), 1);
    // A non-mirror keeps its inside on the same side: the plane's normal was +z, the fitted
    // quadric's is -z.
    EXPECT_EQ(s->side, -1);
}

TEST_F(ToricTest, HooksWithoutTheirRecordAreTheQuadricHooks) {
    ObjectRecord* o = makeObject(kTypeMirror);
    SurfaceRecord* s = o->firstSurface;
    setPlane(s);
    setExtent(s, -10, 10, -10, 10, -1, 1);
    place(o, {});
    setToricHooks(s);
    double nearest = -1;
    Vec3 d{0, 0, 1};
    EXPECT_EQ(toricIntercept(s, {1, 2, -4}, d, nearest), 1);
    EXPECT_DOUBLE_EQ(nearest, 4);
    Vec3 n;
    toricNormal(s, {1, 2, 0}, n);
    EXPECT_EQ(n.z, 1);
}

} // namespace
