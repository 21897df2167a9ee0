// Aspheric surfaces: sag and normal, the refined intercept, the set-up through
// MODIFY/ALTSURFACES, the lens edge and the decentre.
#include "engine/surfaces/alt_surfaces.h"
#include "engine/surfaces/quadrics.h"
#include "tests/engine/special_surfaces_fixture.h"

namespace {

class AsphericTest : public SpecialSurfaceTest {
  protected:
    // A mirror surface of half width w in the z = 0 plane of its object, placed at `at` and
    // turned about y; the aspheric change then rebuilds it.
    ObjectRecord* makeMirror(double w, Vec3 at = {}, double beta = 0) {
        ObjectRecord* o = makeObject(kTypeMirror);
        setPlane(o->firstSurface);
        setExtent(o->firstSurface, -w, w, -w, w, -1, 1);
        place(o, at, beta);
        return o;
    }
    // The sag the parameters describe, written out independently of the cache.
    static double expectedSag(const double v[9], double x, double y) {
        const double dx = x - v[6], dy = y - v[7], r2 = dx * dx + dy * dy;
        const double m = std::sqrt(1 - (v[1] + 1) * v[0] * v[0] * r2);
        return v[0] * r2 / (1 + m) + v[2] * r2 * r2 + v[3] * r2 * r2 * r2 + v[4] * std::pow(r2, 4) +
               v[5] * std::pow(r2, 5);
    }
    static double residual(SurfaceRecord* s, const Vec3& globalPoint) {
        Vec3 local;
        toLocalPoint(globalPoint, local, s);
        return local.z - asphericSagAt(s, local.x, local.y);
    }
};

TEST_F(AsphericTest, SagAndNormalMatchTheFormulaAndFiniteDifferences) {
    ObjectRecord* o = makeMirror(20);
    SurfaceRecord* s = o->firstSurface;
    ASSERT_EQ(modifyAlt("/altsurfaces/aspheric", {1.1, 0.02, -0.6, 2e-6, -3e-9, 1e-12, 0}), 1);
    AltSurfaceRecord* r = s->altSurfaces;
    r->values[6] = 1.5; // decentre
    r->values[7] = -2;
    clearAsphericCache();
    const double* v = r->values;
    for (Vec3 p : {Vec3{0, 0, 0}, Vec3{3, 4, 0}, Vec3{-12, 7, 0}, Vec3{1.5, -2, 0}}) {
        EXPECT_NEAR(asphericSagAt(s, p.x, p.y), expectedSag(v, p.x, p.y), 1e-13);
        const double h = 1e-5;
        const double gx = (expectedSag(v, p.x + h, p.y) - expectedSag(v, p.x - h, p.y)) / (2 * h);
        const double gy = (expectedSag(v, p.x, p.y + h) - expectedSag(v, p.x, p.y - h)) / (2 * h);
        const double len = std::sqrt(1 + gx * gx + gy * gy);
        Vec3 n;
        ASSERT_EQ(asphericNormalAt(s, p, n), 1);
        EXPECT_NEAR(n.x, gx / len, 1e-8);
        EXPECT_NEAR(n.y, gy / len, 1e-8);
        EXPECT_NEAR(n.z, -1 / len, 1e-8);
    }
    // The same point twice is the cached one; a point without a real sag is told apart.
    EXPECT_EQ(asphericSagTerms(s, 3, 4), kSagComputed);
    EXPECT_EQ(asphericSagTerms(s, 3, 4), kSagCached);
    newText();
    EXPECT_EQ(asphericSagTerms(s, 100, 0), kSagNotReal);
    EXPECT_EQ(newText(), "Warning - Non real intercept in aspheric.\n");
    // Beyond the conic only the polynomial terms remain.
    const double r2 = 98.5 * 98.5 + 2 * 2;
    EXPECT_NEAR(asphericCache().sag, 2e-6 * r2 * r2 - 3e-9 * r2 * r2 * r2 + 1e-12 * std::pow(r2, 4),
                1e-9);
}

TEST_F(AsphericTest, FlatBaseWithPolynomialTermsAndShapeCodesByK) {
    ObjectRecord* o = makeMirror(10);
    SurfaceRecord* s = o->firstSurface;
    const int shapes[][2] = {
        {-3, kShapeHyperboloid}, {-1, kShapeParaboloid}, {0, kShapeSphere}, {2, kShapeEllipsoid}};
    for (const auto& [k, shape] : shapes) {
        ASSERT_EQ(modifyAlt("/altsurfaces/aspheric", {1.1, 0, double(k), 1e-4}), 1);
        EXPECT_EQ(s->shapeCode, shape);
    }
    EXPECT_NEAR(asphericSagAt(s, 3, 4), 1e-4 * 625, 1e-15);
    // The z extents cover the polynomial's sag over the rim, not only the flat base.
    EXPECT_EQ(s->extent[4], 0);
    EXPECT_NEAR(s->extent[5], 1e-4 * 1e4, 1e-12);
    // The base quadric is the plane z = 0 (F = -z).
    EXPECT_EQ(s->quadric[0], 0);
    EXPECT_EQ(s->quadric[11], -1);
}

TEST_F(AsphericTest, CommandTranscriptAndChangesStartFromZero) {
    ObjectRecord* o = makeMirror(10);
    SurfaceRecord* s = o->firstSurface;
    ASSERT_EQ(modifyAlt("/altsurfaces/aspheric", {1.1, 0.01, -1, 1e-5}), 1);
    const std::string first = newText();
    EXPECT_EQ(first.rfind("Adding new alternate surface function: aspheric.\n", 0), 0u) << first;
    EXPECT_NE(first.find("Object 1 surface 1: modified.\n"
                         "1 alternate surfaces were found for surface 1.1\n"
                         "Alteration 1 function identified as: aspheric of type: "
                         "INTERCEPT_REFINEMENT\n"
                         "Parameters: cv = 0.01  k = -1  a1 = 1e-05  a2 = 0  a3 = 0  a4 = 0  xc = 0"
                         "  yc = 0  zc = 0  \n"),
              std::string::npos)
        << first;
    EXPECT_EQ(s->intercept, asphericIntercept);
    EXPECT_EQ(s->normal, asphericNormal);
    s->altSurfaces->values[6] = 4; // a decentre from an earlier move
    ASSERT_EQ(modifyAlt("/altsurfaces/aspheric", {1.1, 0.02}), 1);
    EXPECT_EQ(newText().rfind("Changing existing alternate surface : aspheric.\n", 0), 0u);
    EXPECT_EQ(altSurfaceCount(s), 1);
    const double* v = s->altSurfaces->values;
    EXPECT_EQ(v[0], 0.02);
    for (int i = 1; i < 10; ++i)
        EXPECT_EQ(v[i], 0) << i;
    EXPECT_NEAR(asphericSagAt(s, 3, 4), 0.02 * 25 / (1 + std::sqrt(1 - 0.0004 * 25)), 1e-15);
}

TEST_F(AsphericTest, HemisphereBandAndRefusalsLeaveTheSurfaceAsItWas) {
    ObjectRecord* o = makeMirror(10); // diameter 20
    SurfaceRecord* s = o->firstSurface;
    // cv 0.1, k 0 over a diameter of 20: a hemisphere, accepted.
    ASSERT_EQ(modifyAlt("/altsurfaces/aspheric", {1.1, 0.1, 0}), 1);
    EXPECT_NEAR(s->extent[5], 10, 1e-12);
    EXPECT_EQ(newText().find("Warning"), std::string::npos);
    Vec3 n;
    ASSERT_EQ(asphericNormalAt(s, {10, 0, 10}, n), 1); // the rim: a horizontal normal
    EXPECT_NEAR(n.x, 1, 1e-12);
    EXPECT_NEAR(n.z, 0, 1e-12);

    // (1 + k) cv^2 h^2 = 1.00000005 counts as 1.
    setExtent(s, -10, 10, -10, 10, 0, 10);
    ASSERT_EQ(modifyAlt("/altsurfaces/aspheric", {1.1, 0.1, 0.0000001}), 1);
    EXPECT_EQ(newText().find("Warning"), std::string::npos);

    // Everything a refusal could touch, before it.
    SurfaceRecord before = *s;
    const AltSurfaceRecord record = *s->altSurfaces;
    auto unchanged = [&] {
        EXPECT_EQ(std::memcmp(before.quadric, s->quadric, sizeof s->quadric), 0);
        EXPECT_EQ(std::memcmp(before.extent, s->extent, sizeof s->extent), 0);
        EXPECT_EQ(s->shapeCode, before.shapeCode);
        EXPECT_EQ(s->side, before.side);
        EXPECT_EQ(s->intercept, before.intercept);
        EXPECT_EQ(s->normal, before.normal);
        EXPECT_EQ(s->altSurfaces, before.altSurfaces);
        EXPECT_EQ(s->altSurfaces->next, nullptr);
        EXPECT_EQ(std::memcmp(record.values, s->altSurfaces->values, sizeof record.values), 0);
    };
    // A diameter of 21 takes the hemisphere past its rim.
    setExtent(s, -10.5, 10.5, -10, 10, 0, 10);
    before.extent[0] = -10.5;
    before.extent[1] = 10.5;
    EXPECT_EQ(modifyAlt("/altsurfaces/aspheric", {1.1, 0.1, 0}), 0);
    EXPECT_EQ(newText(), "ERROR:  Illegal combination of values for cc, cv, and diameter.\n"
                         "ERROR: Error in conic parameters given!");
    unchanged();
    setExtent(s, 0, 0, -10, 10, 0, 10); // no diameter
    before.extent[0] = before.extent[1] = 0;
    EXPECT_EQ(modifyAlt("/altsurfaces/aspheric", {1.1, 0.1}), 0);
    EXPECT_EQ(newText(), "ERROR:  Radius must be greater than 0.\n"
                         "ERROR: Error in conic parameters given!");
    unchanged();

    // A refused first change attaches nothing and keeps the quadric hooks.
    ObjectRecord* plain = makeMirror(10);
    SurfaceRecord* p = plain->firstSurface;
    EXPECT_EQ(modifyAlt("/altsurfaces/aspheric", {2.1, 1.0}), 0);
    EXPECT_EQ(p->altSurfaces, nullptr);
    EXPECT_EQ(p->intercept, interceptQuadricSurface);
    EXPECT_EQ(p->normal, quadricNormal);
    EXPECT_EQ(p->shapeCode, kShapeFlat);
}

TEST_F(AsphericTest, SampledRaysHitTheTrueSurfaceInATurnedFrame) {
    ObjectRecord* o = makeMirror(15, {5, -3, 40}, 20);
    SurfaceRecord* s = o->firstSurface;
    ASSERT_EQ(modifyAlt("/altsurfaces/aspheric", {1.1, 0.02, -1.8, 5e-5, -2e-8, 3e-11, -1e-14}), 1);
    const double* v = s->altSurfaces->values;
    const PlacementMatrix& toGlobal = s->surfaceToGlobal;
    int hits = 0;
    for (int i = 0; i < 2000; ++i) {
        // Aimed at a point of the face from a start in front of it, obliquely; the corners of
        // the square outline rise 6 above the sag at its half width.
        Vec3 target{uniform(-15, 15), uniform(-15, 15), 0};
        target.z = expectedSag(v, target.x, target.y);
        const Vec3 from{uniform(-30, 30), uniform(-30, 30), -60};
        Vec3 gTarget, gFrom;
        transformPoint(target, gTarget, toGlobal);
        transformPoint(from, gFrom, toGlobal);
        const Hit h = trace(gFrom, gTarget - gFrom);

        // The first crossing of the face by bisection over fine steps along the ray.
        Vec3 u = target - from;
        normalize3(u);
        auto gap = [&](double t) {
            const Vec3 p = from + t * u;
            return p.z - expectedSag(v, p.x, p.y);
        };
        auto inside = [&](double t) {
            const Vec3 p = from + t * u;
            return std::fabs(p.x) <= 15 && std::fabs(p.y) <= 15;
        };
        double expected = -1;
        for (double t = 0; t < 200 && expected < 0; t += 0.05) {
            if ((gap(t) > 0) == (gap(t + 0.05) > 0)) continue;
            double lo = t, hi = t + 0.05;
            for (int k = 0; k < 60; ++k)
                ((gap(lo) > 0) == (gap(0.5 * (lo + hi)) > 0) ? lo : hi) = 0.5 * (lo + hi);
            if (inside(lo)) expected = lo;
        }
        ASSERT_GT(expected, 0);
        // The conic only starts the search: over this strongly aspheric face a few rays find
        // no start on it, or need more steps than the limit. None may find a wrong point.
        if (h.noHit) continue;
        ++hits;
        ASSERT_EQ(h.surface, s);
        EXPECT_NEAR(h.distance, expected, 1e-8);
        EXPECT_NEAR(residual(s, h.point), 0, 1e-11);
    }
    EXPECT_GT(hits, 1940);
}

TEST_F(AsphericTest, StepLimitMissesAndLeavesTheCallerAlone) {
    ObjectRecord* o = makeMirror(15);
    SurfaceRecord* s = o->firstSurface;
    ASSERT_EQ(modifyAlt("/altsurfaces/aspheric", {1.1, 0.02, 0, 2e-4}), 1);
    const Vec3 from{-20, 5, -30}, d{0.5, -0.1, 1};
    double nearest = -1;
    Vec3 dir = d;
    ASSERT_EQ(asphericIntercept(s, from, dir, nearest), 1);
    EXPECT_NEAR(residual(s, from + nearest * dir), 0, 1e-12);

    // One step is not enough for this oblique ray: a miss that changes nothing of the caller's.
    iterationMaxCount = 1;
    nearest = 123;
    resetHitBookkeeping();
    hitBookkeeping.nearestSurface = o->firstSurface;
    hitBookkeeping.nearestDistance = 200;
    dir = d;
    EXPECT_EQ(asphericIntercept(s, from, dir, nearest), 0);
    EXPECT_EQ(nearest, 123);
    EXPECT_EQ(hitBookkeeping.nearestDistance, 200);
    EXPECT_EQ(hitBookkeeping.secondSurface, nullptr);

    // A hit farther than the caller's nearest is noted but does not become the nearest.
    iterationMaxCount = 7;
    nearest = 1;
    resetHitBookkeeping();
    EXPECT_EQ(asphericIntercept(s, from, dir, nearest), 0);
    EXPECT_EQ(nearest, 1);
    EXPECT_EQ(hitBookkeeping.nearestSurface, s);
    EXPECT_GT(hitBookkeeping.nearestDistance, 30);
}

TEST_F(AsphericTest, RetryFromTheOtherRootWhenTheNearOneLeadsBack) {
    // Below the conic by 1e-4 r^4: a level ray leaving the face at x = -5 crosses the conic at
    // x = -4.33 and +4.33, both ahead. The near crossing leads back to where the ray started.
    ObjectRecord* o = makeMirror(15);
    SurfaceRecord* s = o->firstSurface;
    ASSERT_EQ(modifyAlt("/altsurfaces/aspheric", {1.1, 0.02, 0, -1e-4}), 1);
    const double z = asphericSagAt(s, -5, 0);
    selfHitSurface = s;
    double nearest = -1;
    Vec3 d{1, 0, 0};
    ASSERT_EQ(asphericIntercept(s, {-5, 0, z}, d, nearest), 1);
    EXPECT_NEAR(nearest, 10, 1e-9);

    // Without the far crossing on the face (cut off by the outline) there is nothing to retry.
    setExtent(s, -15, 3, -15, 15, s->extent[4], s->extent[5]);
    nearest = -1;
    EXPECT_EQ(asphericIntercept(s, {-5, 0, z}, d, nearest), 0);
    EXPECT_EQ(nearest, -1);
}

TEST_F(AsphericTest, WithoutItsRecordTheSurfaceIsAQuadric) {
    ObjectRecord* o = makeMirror(10);
    SurfaceRecord* s = o->firstSurface;
    installAsphericHooks(s);
    double nearest = -1;
    Vec3 d{0, 0, 1};
    EXPECT_EQ(asphericIntercept(s, {1, 1, -5}, d, nearest), 1);
    EXPECT_DOUBLE_EQ(nearest, 5);
    Vec3 n;
    asphericNormal(s, {1, 1, 0}, n);
    EXPECT_EQ(n.z, 1);
}

TEST_F(AsphericTest, DoubletEdgesAndMirrorSidesStayAsTheyAre) {
    ObjectRecord* doublet = makeObject(kTypeLens, 5);
    giveParameters(doublet, {"r1", "r2", "r3", "t1", "t2"}, {100, -100, 100, 10, 10});
    for (int i = 1; i <= 5; ++i) {
        setPlane(surface(doublet, i));
        setExtent(surface(doublet, i), -20, 20, -20, 20, -3, 3);
    }
    ASSERT_EQ(modifyAlt("/altsurfaces/aspheric", {1.1, 0.01}), 1);
    ASSERT_EQ(modifyAlt("/altsurfaces/aspheric", {1.2, 0.01}), 1);
    for (int edge : {3, 5}) {
        EXPECT_EQ(surface(doublet, edge)->extent[4], -3);
        EXPECT_EQ(surface(doublet, edge)->extent[5], 3);
    }
    // A mirror keeps its reflecting side: the flag follows the normal, which turns over here
    // (the plane's normal is +z, the aspheric's -z at the vertex); no side stays no side.
    for (int side : {1, 0, -1}) {
        SCOPED_TRACE(side);
        ObjectRecord* mirror = makeMirror(10);
        SurfaceRecord* s = mirror->firstSurface;
        s->side = side;
        const int upBefore = rayInsideSurface({}, {0, 0, 1}, s);
        const int downBefore = rayInsideSurface({}, {0, 0, -1}, s);
        const double designator = mirror->number + 0.1;
        ASSERT_EQ(modifyAlt("/altsurfaces/aspheric", {designator, -0.02, 0}), 1);
        EXPECT_EQ(s->side, -side);
        EXPECT_EQ(rayInsideSurface({}, {0, 0, 1}, s), upBefore);
        EXPECT_EQ(rayInsideSurface({}, {0, 0, -1}, s), downBefore);
    }
}

TEST_F(AsphericTest, DecentreAccumulates) {
    ObjectRecord* o = makeMirror(10);
    SurfaceRecord* s = o->firstSurface;
    moveAltsurface(s, 1, 2); // no aspheric record: nothing happens
    EXPECT_EQ(newText(), "");
    ASSERT_EQ(modifyAlt("/altsurfaces/aspheric", {1.1, 0.05}), 1);
    const double before = asphericSagAt(s, 3, 4);
    newText();
    moveAltsurface(s, 1.5, -1);
    EXPECT_EQ(newText(), "Moved altsurface to 1.5 -1.\n");
    moveAltsurface(s, 1.5, 3);
    EXPECT_EQ(newText(), "Moved altsurface to 3 2.\n");
    // The sag follows the centre at once: the cache was cleared.
    EXPECT_NEAR(asphericSagAt(s, 6, 6), before, 1e-15);
    EXPECT_NEAR(asphericSagAt(s, 3, 2), 0, 1e-15);
}

} // namespace
