// Surface frames, the quadric intercept with its extent, hole and lens tests, and normals.
#include "tests/engine/surface_fixture.h"

namespace {

class SurfaceGeometryTest : public SurfaceTest {};

void expectNear(const Vec3& a, const Vec3& b, double tol = 1e-12) {
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}

TEST_F(SurfaceGeometryTest, FramesRoundTripAndDirectionsIgnoreTranslation) {
    ObjectRecord* o = makeObject(kTypeMirror);
    SurfaceRecord* s = o->firstSurface;
    offsetSurface(s, {0, 0, 5});
    place(o, {10, 20, 30}, 90);

    // The surface origin: object z = 5, turned 90 degrees about y (z goes to -x), then moved to
    // (10, 20, 30).
    Vec3 origin;
    toGlobalPoint({0, 0, 0}, origin, s);
    expectNear(origin, {5, 20, 30});
    Vec3 local;
    toLocalPoint(origin, local, s);
    expectNear(local, {0, 0, 0});

    const Vec3 p{1, -2, 3};
    Vec3 g, back;
    toGlobalPoint(p, g, s);
    toLocalPoint(g, back, s);
    expectNear(back, p);

    // Directions turn but do not move, and keep their length.
    Vec3 d;
    toGlobalDirection({0, 0, 2}, d, s);
    expectNear(d, {-2, 0, 0});
    toLocalDirection(d, back, s);
    expectNear(back, {0, 0, 2});
}

TEST_F(SurfaceGeometryTest, PlaneInterceptNormalisesTheDirection) {
    ObjectRecord* o = makePlaneObject({0, 0, 10});
    SurfaceRecord* s = o->firstSurface;
    Vec3 d{0, 0, 5};
    double nearest = -1;
    EXPECT_EQ(interceptQuadricSurface(s, {0, 0, 0}, d, nearest), 1);
    EXPECT_DOUBLE_EQ(nearest, 10);
    expectNear(d, {0, 0, 1});

    // Behind the start: no root ahead.
    nearest = -1;
    Vec3 back{0, 0, -1};
    EXPECT_EQ(interceptQuadricSurface(s, {0, 0, 0}, back, nearest), 0);
    EXPECT_EQ(nearest, -1);

    // A nearer hit already found is kept.
    nearest = 4;
    EXPECT_EQ(interceptQuadricSurface(s, {0, 0, 0}, d, nearest), 0);
    EXPECT_EQ(nearest, 4);
}

TEST_F(SurfaceGeometryTest, ParallelAndTangentRays) {
    ObjectRecord* o = makeObject(kTypeMirror);
    SurfaceRecord* s = o->firstSurface;
    setPlane(s);
    setWideExtent(s);
    place(o, {});
    double nearest = -1;
    Vec3 along{1, 0, 0};
    EXPECT_EQ(interceptQuadricSurface(s, {0, 0, 3}, along, nearest), 0); // a = b = 0
    EXPECT_EQ(nearest, -1);

    setSphere(s, {0, 0, 0}, 1);
    Vec3 d{1, 0, 0};
    EXPECT_EQ(interceptQuadricSurface(s, {-5, 1, 0}, d, nearest), 1); // touches at (0, 1, 0)
    EXPECT_DOUBLE_EQ(nearest, 5);
    EXPECT_EQ(secondRootTaken, 0);
}

TEST_F(SurfaceGeometryTest, BothRootsOfASphereAreBookkept) {
    ObjectRecord* o = makeObject(kTypeMirror);
    SurfaceRecord* s = o->firstSurface;
    setSphere(s, {0, 0, 0}, 2);
    setWideExtent(s);
    place(o, {});
    double nearest = -1;
    Vec3 d{0, 0, 1};
    // The far root comes first from the stable pair, then the near one replaces it.
    EXPECT_EQ(interceptQuadricSurface(s, {0, 0, -10}, d, nearest), 2);
    EXPECT_DOUBLE_EQ(nearest, 8);
    EXPECT_EQ(secondRootTaken, 1);
    EXPECT_DOUBLE_EQ(otherRoot, 12);
    EXPECT_EQ(hitBookkeeping.nearestSurface, s);
    EXPECT_DOUBLE_EQ(hitBookkeeping.nearestDistance, 8);
    EXPECT_EQ(hitBookkeeping.secondSurface, s);
    EXPECT_DOUBLE_EQ(hitBookkeeping.secondDistance, 12);

    // From inside only the forward root is accepted.
    nearest = -1;
    EXPECT_EQ(interceptQuadricSurface(s, {0, 0, 0}, d, nearest), 1);
    EXPECT_DOUBLE_EQ(nearest, 2);
    EXPECT_EQ(secondRootTaken, 0);
}

TEST_F(SurfaceGeometryTest, NearRootIsAccurateWhereTheTextbookFormulaCancels) {
    // A large sphere touching the origin; the ray starts a nanometre in front of it.
    ObjectRecord* o = makeObject(kTypeMirror);
    SurfaceRecord* s = o->firstSurface;
    const double R = 1e5, gap = 1e-9;
    setSphere(s, {0, 0, R}, R);
    setWideExtent(s);
    place(o, {});
    double nearest = -1;
    Vec3 d{0, 0, 1};
    EXPECT_EQ(interceptQuadricSurface(s, {0, 0, -gap}, d, nearest), 2);
    EXPECT_NEAR(nearest, gap, gap * 1e-9);
}

TEST_F(SurfaceGeometryTest, RaysThatCannotReachTheZRangeInTimeFindNothing) {
    ObjectRecord* o = makeObject(kTypeMirror);
    SurfaceRecord* s = o->firstSurface;
    setSphere(s, {0, 0, 0}, 2);
    setExtent(s, -10, 10, -10, 10, -1, 1);
    place(o, {});
    const double hit = 5 - std::sqrt(4 - 1.9 * 1.9); // from (0, 1.9, 5) down to the sphere
    Vec3 up{0, 0, 1}, down{0, 0, -1};
    double nearest = -1;
    EXPECT_EQ(interceptQuadricSurface(s, {0, 1.9, 5}, up, nearest), 0); // going away
    EXPECT_EQ(interceptQuadricSurface(s, {0, 1.9, 5}, down, nearest), 2); // far root, then near
    EXPECT_DOUBLE_EQ(nearest, hit);
    const double found = nearest;

    // A nearer hit before the z range (entered at distance 4) or at the root keeps its place;
    // one just beyond the root gives way to it.
    for (double before : {3.9, found}) {
        nearest = before;
        EXPECT_EQ(interceptQuadricSurface(s, {0, 1.9, 5}, down, nearest), 0) << before;
        EXPECT_EQ(nearest, before);
    }
    nearest = found + 1e-9;
    EXPECT_EQ(interceptQuadricSurface(s, {0, 1.9, 5}, down, nearest), 1);
    EXPECT_EQ(nearest, found);

    // With proximity glue every accepted root is bookkept, however far.
    proximityGlueDistance = 0.5;
    resetHitBookkeeping();
    nearest = 1;
    EXPECT_EQ(interceptQuadricSurface(s, {0, 1.9, 5}, down, nearest), 0);
    EXPECT_EQ(hitBookkeeping.nearestSurface, s);
    EXPECT_DOUBLE_EQ(hitBookkeeping.nearestDistance, hit);
    proximityGlueDistance = 0;
}

TEST_F(SurfaceGeometryTest, SelfHitIsRefusedOnlyOnTheSurfaceBeingLeft) {
    ObjectRecord* o = makePlaneObject({});
    SurfaceRecord* s = o->firstSurface;
    Vec3 d{0, 0, 1};
    double nearest = -1;
    selfHitSurface = s;
    EXPECT_EQ(interceptQuadricSurface(s, {0, 0, -0.9e-6}, d, nearest), 0);
    EXPECT_EQ(interceptQuadricSurface(s, {0, 0, -1.1e-6}, d, nearest), 1);
    EXPECT_NEAR(nearest, 1.1e-6, 1e-15);

    ObjectRecord* other = makePlaneObject({0, 0, 100});
    selfHitSurface = other->firstSurface;
    nearest = -1;
    EXPECT_EQ(interceptQuadricSurface(s, {0, 0, -0.9e-6}, d, nearest), 1);
}

TEST_F(SurfaceGeometryTest, BoxExtentsHoldTheirTolerance) {
    ObjectRecord* o = makeObject(kTypeMirror);
    SurfaceRecord* s = o->firstSurface;
    setExtent(s, -10, 10, -5, 5, -1, 1);
    const Vec3 up{0, 0, 1};
    EXPECT_EQ(surfaceExtentTest({10.000009, 5.000009, 1.000009}, up, 0, s), 1);
    EXPECT_EQ(surfaceExtentTest({10.000011, 0, 0}, up, 0, s), 0);
    EXPECT_EQ(surfaceExtentTest({0, -5.000011, 0}, up, 0, s), 0);
    EXPECT_EQ(surfaceExtentTest({0, 0, -3}, up, 2, s), 1); // the point at distance t counts
    EXPECT_EQ(surfaceExtentTest({0, 0, -3}, up, 1.9, s), 0);
    // An outline type without its own rule takes the box.
    s->edgeType = 7;
    EXPECT_EQ(surfaceExtentTest({10.000009, 5, 0}, up, 0, s), 1);
}

TEST_F(SurfaceGeometryTest, OutlinesOfOneSurfaceObjects) {
    ObjectRecord* o = makeObject(kTypeAperture);
    SurfaceRecord* s = o->firstSurface;
    setExtent(s, -10, 10, -5, 5, -1, 1);
    const Vec3 up{0, 0, 1};

    s->edgeType = 2; // rectangle: x and y without tolerance, z with it
    EXPECT_EQ(surfaceExtentTest({10, -5, 1.000009}, up, 0, s), 1);
    EXPECT_EQ(surfaceExtentTest({10.000001, 0, 0}, up, 0, s), 0);

    s->edgeType = 1; // ellipse of half widths 10 and 5
    EXPECT_EQ(surfaceExtentTest({10, 0, 0}, up, 0, s), 1);
    EXPECT_EQ(surfaceExtentTest({7, 3.5, 0}, up, 0, s), 1);
    EXPECT_EQ(surfaceExtentTest({7.2, 3.6, 0}, up, 0, s), 0);
    EXPECT_EQ(surfaceExtentTest({9, 4.5, 0}, up, 0, s), 0);
    EXPECT_EQ(surfaceExtentTest({0, 0, 1.1}, up, 0, s), 0);

    // On an object of several surfaces the outline is the box.
    ObjectRecord* lens = makeObject(kTypeMirror, 2);
    SurfaceRecord* s2 = lens->firstSurface;
    setExtent(s2, -10, 10, -5, 5, -1, 1);
    s2->edgeType = 1;
    EXPECT_EQ(surfaceExtentTest({9, 4.5, 0}, up, 0, s2), 1);
}

TEST_F(SurfaceGeometryTest, HolesAreCutOutUpToTheirEdges) {
    ObjectRecord* o = makeObject(kTypeAperture);
    SurfaceRecord* s = o->firstSurface;
    setExtent(s, -10, 10, -10, 10, -1, 1);
    s->hasHole = 1;
    const double rect[4] = {-2, 2, -1, 1};
    std::copy(rect, rect + 4, s->holeLimits);
    s->holeShape = 2;
    const Vec3 up{0, 0, 1};
    EXPECT_EQ(surfaceExtentTest({0, 0, 0}, up, 0, s), 0);
    EXPECT_EQ(surfaceExtentTest({1.9, 0.9, 0}, up, 0, s), 0);
    EXPECT_EQ(surfaceExtentTest({2, 0, 0}, up, 0, s), 1);  // on the edge: kept
    EXPECT_EQ(surfaceExtentTest({0, -1, 0}, up, 0, s), 1); // on the edge: kept
    EXPECT_EQ(surfaceExtentTest({11, 0, 0}, up, 0, s), 0); // outside the outline anyway

    // An elliptic hole centred at (4, 0), half widths 2 and 1.
    const double oval[4] = {2, 6, -1, 1};
    std::copy(oval, oval + 4, s->holeLimits);
    s->holeShape = 1;
    EXPECT_EQ(surfaceExtentTest({4, 0, 0}, up, 0, s), 0);
    EXPECT_EQ(surfaceExtentTest({5.4, 0.7, 0}, up, 0, s), 0);
    EXPECT_EQ(surfaceExtentTest({5.5, 0.75, 0}, up, 0, s), 1);
    EXPECT_EQ(surfaceExtentTest({6, 0, 0}, up, 0, s), 1);
    EXPECT_EQ(surfaceExtentTest({4, 0.99, 0}, up, 0, s), 0);
    EXPECT_EQ(surfaceExtentTest({0, 0, 0}, up, 0, s), 1);

    // A hole without width cuts nothing, not even its centre.
    const double none[4] = {4, 4, 0, 0};
    std::copy(none, none + 4, s->holeLimits);
    EXPECT_EQ(surfaceExtentTest({4, 0, 0}, up, 0, s), 1);
}

TEST_F(SurfaceGeometryTest, LensFacesCountOnlyInsideTheEdge) {
    ObjectRecord* lens = makeLens(100, -100, 20, 70, 1.5, {});
    SurfaceRecord* front = surface(lens, 1);
    SurfaceRecord* back = surface(lens, 2);
    Vec3 d{0, 0, 1};
    double nearest = -1;
    // The back face's extent box reaches beyond the edge cylinder (radius 35) at (30, 30).
    EXPECT_EQ(interceptQuadricSurface(back, {30, 30, -50}, d, nearest), 0);
    EXPECT_EQ(interceptQuadricSurface(back, {20, 20, -50}, d, nearest), 1);
    EXPECT_NEAR(nearest, 60 - sag(100, std::sqrt(800.0)), 1e-9);
    nearest = -1;
    EXPECT_EQ(interceptQuadricSurface(front, {20, 20, -50}, d, nearest), 1);
    EXPECT_NEAR(nearest, 40 + sag(100, std::sqrt(800.0)), 1e-9);

    // The edge itself is not tested against itself.
    SurfaceRecord* edge = surface(lens, 3);
    nearest = -1;
    Vec3 sideways{1, 0, 0};
    EXPECT_EQ(interceptQuadricSurface(edge, {0, 0, 0}, sideways, nearest), 1);
    EXPECT_DOUBLE_EQ(nearest, 35);

    // A rod is tested the same way.
    ObjectRecord* rod = makeLens(0, 0, 200, 40, 1.33, {0, 0, 500});
    nearest = -1;
    EXPECT_EQ(interceptQuadricSurface(surface(rod, 1), {19, 0, 0}, d, nearest), 1);
    EXPECT_EQ(interceptQuadricSurface(surface(rod, 1), {15, 15, 0}, d, nearest), 0);
}

TEST_F(SurfaceGeometryTest, FiveSurfaceLensChecksBothEdges) {
    // Faces 1, 2, 4 are planes at z = -10, 0, 10; surface 3 is an edge of radius 10, surface 5 one
    // of radius 8.
    ObjectRecord* o = makeObject(kTypeLens, 5);
    const double faceZ[] = {-10, 0, 0, 10, 0};
    for (int i = 1; i <= 5; ++i) {
        SurfaceRecord* s = surface(o, i);
        setExtent(s, -20, 20, -20, 20, -20, 20);
        if (i == 3 || i == 5)
            setCylinderZ(s, i == 3 ? 10 : 8);
        else {
            setPlane(s);
            offsetSurface(s, {0, 0, faceZ[i - 1]});
            s->extent[4] = -1;
            s->extent[5] = 1;
        }
    }
    place(o, {});
    const Vec3 inBoth{5, 0, -50}, onlyInThree{9, 0, -50};
    for (int face : {1, 2, 4}) {
        Vec3 d{0, 0, 1};
        double nearest = -1;
        EXPECT_EQ(interceptQuadricSurface(surface(o, face), inBoth, d, nearest), 1) << face;
        nearest = -1;
        EXPECT_EQ(interceptQuadricSurface(surface(o, face), onlyInThree, d, nearest), 0) << face;
    }
    // Hits on the edges themselves are not tested.
    Vec3 out{1, 0, 0};
    double nearest = -1;
    EXPECT_EQ(interceptQuadricSurface(surface(o, 5), {0, 0, 0}, out, nearest), 1);
    EXPECT_DOUBLE_EQ(nearest, 8);
}

TEST_F(SurfaceGeometryTest, QuadricValueAndNormals) {
    ObjectRecord* o = makeObject(kTypeMirror);
    SurfaceRecord* s = o->firstSurface;
    setPlane(s);
    EXPECT_EQ(quadricValue(s, {0, 0, 1e-8}), 0.0);
    EXPECT_DOUBLE_EQ(quadricValue(s, {0, 0, 2e-8}), 2e-8);
    EXPECT_DOUBLE_EQ(quadricValue(s, {0, 0, -3}), -3);

    setSphere(s, {0, 0, 10}, 10);
    Vec3 n;
    quadricNormal(s, {0, 0, 0}, n);
    expectNear(n, {0, 0, -1});
    quadricNormal(s, {10, 0, 10}, n);
    expectNear(n, {1, 0, 0});

    // The gradient of a non-symmetric matrix is (A + A^T) p + L.
    setQuadric(s, {0, 0, 0}, {0, 0, 0}, 0);
    s->quadric[1] = 2; // F = 2 x y
    quadricNormal(s, {1, 1, 0}, n);
    expectNear(n, {std::sqrt(0.5), std::sqrt(0.5), 0});

    // A constant-normal surface returns L as stored.
    setQuadric(s, {0, 0, 0}, {0, 0, 3}, 0);
    s->shapeCode = kShapeLinearNormal;
    quadricNormal(s, {5, 5, 5}, n);
    expectNear(n, {0, 0, 3});

    // The apex of a cone has no gradient.
    setQuadric(s, {1, 1, -1}, {}, 0);
    s->shapeCode = kShapeCone;
    quadricNormal(s, {0, 0, 0}, n);
    expectNear(n, {0, 0, 1});
    EXPECT_TRUE(std::isfinite(n.x));
}

int turnNormalToX(SurfaceRecord*, const Vec3&, Vec3& normal, const double* values) {
    normal = {values[0], 0, 0};
    return 1;
}

TEST_F(SurfaceGeometryTest, SurfaceNormalRefinesAndFacesTheRay) {
    ObjectRecord* o = makePlaneObject({});
    SurfaceRecord* s = o->firstSurface;
    Vec3 n;
    surfaceNormal(s, {0, 0, 0}, {0, 0, 1}, n);
    expectNear(n, {0, 0, -1});
    surfaceNormal(s, {0, 0, 0}, {0, 0, -1}, n);
    expectNear(n, {0, 0, 1});

    AltSurfaceRecord r;
    r.kind = kNormalRefinement;
    r.routine.normalRefinement = turnNormalToX;
    r.values[0] = 1;
    s->altSurfaces = &r;
    surfaceNormal(s, {0, 0, 0}, {1, 0, 0}, n);
    expectNear(n, {0, 0, 1}); // not loaded: no refinement (and a grazing ray turns nothing)
    loadAltSurfaces(s);
    surfaceNormal(s, {0, 0, 0}, {1, 0, 0}, n);
    expectNear(n, {-1, 0, 0}); // refined, then faced
    clearAltSurfaces();
    s->altSurfaces = nullptr;
}

} // namespace
