#include "engine/polynet/polynet_intercept.h"

#include <cmath>

#include "engine/model/placement.h"
#include "tests/engine/polynet_support.h"

using PolynetInterceptTest = PolynetTest;

namespace {
std::vector<std::pair<double, SurfaceRecord*>> notedHits;
void noteHit(double t, SurfaceRecord* s) {
    notedHits.emplace_back(t, s);
}
} // namespace

TEST_F(PolynetInterceptTest, RaysAlongOrFromAFacetDoNotHitIt) {
    PolynetRecord* net = allocPolynet();
    addFacet(net, {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}});
    SurfaceRecord* s = netObject(net)->firstSurface;
    double nearest = -1;
    Vec3 along{1, 0, 0};
    EXPECT_EQ(polynetIntercept(s, {-1, 1, 0}, along, nearest), 0); // in the plane
    Vec3 up{0, 0, 1};
    EXPECT_EQ(polynetIntercept(s, {1, 1, 0}, up, nearest), 0);      // starts on it
    EXPECT_EQ(polynetIntercept(s, {1, 1, -1e-10}, up, nearest), 0); // 1e-10 is too close
    EXPECT_EQ(polynetIntercept(s, {1, 1, -1e-8}, up, nearest), 1);
    EXPECT_NEAR(nearest, 1e-8, 1e-20);
    EXPECT_EQ(polynetLastHitFacet, 1);
}

TEST_F(PolynetInterceptTest, NearestFacetWinsAndEqualDistancesKeepTheFirst) {
    PolynetRecord* net = allocPolynet();
    PolygonRecord* far = addFacet(net, {{0, 0, 5}, {2, 0, 5}, {2, 2, 5}, {0, 2, 5}});
    PolygonRecord* a = addFacet(net, {{0, 0, 3}, {2, 0, 3}, {2, 2, 3}, {0, 2, 3}});
    PolygonRecord* b = addFacet(net, {{0, 0, 3}, {0, 2, 3}, {2, 2, 3}, {2, 0, 3}});
    far->reflectance = 0.9;
    a->reflectance = 0.25;
    a->absorbtion = 0.5;
    b->reflectance = 0.75;
    SurfaceRecord* s = netObject(net)->firstSurface;
    s->reflectance = 0.1;

    double nearest = -1;
    Vec3 d{0, 0, 2}; // the caller's direction is made unit
    ASSERT_EQ(polynetIntercept(s, {1, 1, 0}, d, nearest), 1);
    EXPECT_DOUBLE_EQ(d.z, 1);
    EXPECT_DOUBLE_EQ(nearest, 3);
    EXPECT_EQ(polynetLastHitFacet, 2);
    EXPECT_EQ(polynetEqualDistanceHits, 1);
    EXPECT_DOUBLE_EQ(s->reflectance, 0.25);
    EXPECT_DOUBLE_EQ(s->absorbtion, 0.5);
    // The linear terms carry the facet's normal for the surface's normal rule.
    EXPECT_DOUBLE_EQ(s->quadric[9], a->normal.x);
    EXPECT_DOUBLE_EQ(s->quadric[10], a->normal.y);
    EXPECT_DOUBLE_EQ(s->quadric[11], a->normal.z);
    EXPECT_EQ(s->shapeCode, kShapeLinearNormal);

    // From above, facet 1 comes first.
    Vec3 down{0, 0, -1};
    nearest = -1;
    ASSERT_EQ(polynetIntercept(s, {1, 1, 10}, down, nearest), 1);
    EXPECT_DOUBLE_EQ(nearest, 5);
    EXPECT_EQ(polynetLastHitFacet, 1);
    EXPECT_DOUBLE_EQ(s->reflectance, 0.9);
}

TEST_F(PolynetInterceptTest, CallersNearestDistanceDecides) {
    PolynetRecord* net = allocPolynet();
    addFacet(net, {{0, 0, 2}, {2, 0, 2}, {2, 2, 2}, {0, 2, 2}});
    SurfaceRecord* s = netObject(net)->firstSurface;
    notedHits.clear();
    setPolynetHitDistanceHook(noteHit);
    Vec3 up{0, 0, 1};

    double nearest = 5; // farther: the net's hit replaces it
    EXPECT_EQ(polynetIntercept(s, {1, 1, 0}, up, nearest), 1);
    EXPECT_DOUBLE_EQ(nearest, 2);
    polynetLastHitFacet = -1;
    s->reflectance = 0.7;
    nearest = 2; // equal: not nearer
    EXPECT_EQ(polynetIntercept(s, {1, 1, 0}, up, nearest), 0);
    nearest = 1; // nearer: kept
    EXPECT_EQ(polynetIntercept(s, {1, 1, 0}, up, nearest), 0);
    EXPECT_DOUBLE_EQ(nearest, 1);
    EXPECT_EQ(polynetLastHitFacet, -1);
    EXPECT_DOUBLE_EQ(s->reflectance, 0.7); // a refused hit leaves the surface alone
    // Every hit goes to the bookkeeping, taken or not.
    ASSERT_EQ(notedHits.size(), 3u);
    EXPECT_DOUBLE_EQ(notedHits[2].first, 2);
    EXPECT_EQ(notedHits[2].second, s);
}

TEST_F(PolynetInterceptTest, RaysAreCarriedIntoThePlacedFrame) {
    PolynetRecord* net = cube(1);
    ObjectRecord* o = netObject(net);
    translatePlacement(10, 0, 0, o->globalToLocal, o->localToGlobal);
    rotatePlacementZ(90, o->globalToLocal, o->localToGlobal);
    o->placed = 1;
    setobj(o);
    Vec3 d{1, 0, 0};
    double nearest = -1;
    ASSERT_EQ(polynetIntercept(o->firstSurface, {0, 0.5, 0}, d, nearest), 1);
    EXPECT_NEAR(nearest, 9, 1e-12);
    // In the object's own frame the ray runs along +y after the quarter turn and meets the
    // cube's -y face.
    EXPECT_NEAR(o->firstSurface->quadric[10], -1, 1e-12);
    EXPECT_NEAR(std::fabs(o->firstSurface->quadric[9]) + std::fabs(o->firstSurface->quadric[11]), 0,
                1e-12);
}

TEST_F(PolynetInterceptTest, NormalCheckOnAClosedCube) {
    PolynetRecord* net = cube(1);
    ObjectRecord* o = netObject(net);
    EXPECT_EQ(polynetCheckNormals(o->number), 1);
    EXPECT_NE(screen().find("All facet normals face outward, as expected.\n"), std::string::npos);
    newScreen();

    resetNets();
    resetObjectTable();
    PolynetRecord* turned = cube(1, 4);
    PolygonRecord* fourth = polygonAt(turned, 4);
    Vec3 before = fourth->normal;
    ObjectRecord* t = netObject(turned);
    EXPECT_EQ(polynetCheckNormals(t->number), 1);
    EXPECT_NE(screen().find("1 facet normals corrected.\n"), std::string::npos);
    EXPECT_DOUBLE_EQ(fourth->normal.y, -before.y);
    EXPECT_DOUBLE_EQ(fourth->normal.y, 1); // the +y face
    EXPECT_DOUBLE_EQ(fourth->planeConstant, 1);
    // Prepared again, the facet keeps the corrected way round.
    polynetPreparePolygon(fourth);
    EXPECT_DOUBLE_EQ(fourth->normal.y, 1);
}

TEST_F(PolynetInterceptTest, FacetInsideAClosedSolidIsAGap) {
    PolynetRecord* net = cube(1);
    addFacet(net, {{-0.5, -0.5, 0}, {0.5, -0.5, 0}, {0.5, 0.5, 0}, {-0.5, 0.5, 0}});
    // A sliver without a plane is passed over, not a failure to find a point on it.
    addFacet(net, {{0, 0, 0.2}, {0.1, 0, 0.2}, {0.3, 0, 0.2}});
    ObjectRecord* o = netObject(net);
    EXPECT_EQ(polynetCheckNormals(o->number), 1);
    std::string out = screen();
    EXPECT_NE(out.find("WARNING: 1 gaps detected on object exterior - check your surface "
                       "model.\n"),
              std::string::npos);
    EXPECT_NE(out.find("All facet normals face outward, as expected.\n"), std::string::npos);
}

TEST_F(PolynetInterceptTest, NormalCheckRefusals) {
    EXPECT_EQ(polynetCheckNormals(3), 0);
    EXPECT_NE(newScreen().find("ERROR: No such polygonal object.\n"), std::string::npos);
    ObjectRecord* lens = makeObject(kTypeLens);
    EXPECT_EQ(polynetCheckNormals(lens->number), 0);
    EXPECT_NE(newScreen().find("ERROR: This object is not a polygonal object.\n"),
              std::string::npos);
    ObjectRecord* bare = netObject(nullptr);
    EXPECT_EQ(polynetCheckNormals(bare->number), 0);
    EXPECT_NE(newScreen().find("ERROR: No polygons in network.\n"), std::string::npos);
    ObjectRecord* empty = netObject(allocPolynet());
    EXPECT_EQ(polynetCheckNormals(empty->number), 0);
    EXPECT_NE(newScreen().find("ERROR: No polygon on polynet."), std::string::npos);
}

TEST_F(PolynetInterceptTest, TooManyDistinctHitsStopsTheCheckWithoutChanges) {
    PolynetRecord* net = allocPolynet();
    for (int i = 0; i < kMaxNormalCheckHits + 1; ++i)
        addFacet(net, {{0, 0, double(i)}, {1, 0, double(i)}, {1, 1, double(i)}});
    ObjectRecord* o = netObject(net);
    EXPECT_EQ(polynetCheckNormals(o->number), 0);
    EXPECT_NE(screen().find("ERROR: Polynet complexity too great for autonormalize.\n"),
              std::string::npos);
    for (const PolygonRecord* p = net->firstPolygon; p; p = p->nextPolygon)
        EXPECT_DOUBLE_EQ(p->normal.z, 1);

    // 63 hits along one ray are still counted.
    resetNets();
    resetObjectTable();
    PolynetRecord* stack = allocPolynet();
    for (int i = 0; i < kMaxNormalCheckHits; ++i)
        addFacet(stack, {{0, 0, double(i)}, {1, 0, double(i)}, {1, 1, double(i)}});
    EXPECT_EQ(polynetCheckNormals(netObject(stack)->number), 1);
}

// The box centre of a right triangle lies on its long edge; the rays of the check must start
// inside the facet, or a turned facet of a tetrahedron goes unnoticed.
TEST_F(PolynetInterceptTest, NormalCheckStartsInsideRightTriangles) {
    PolynetRecord* net = allocPolynet();
    const Vec3 o{0, 0, 0}, x{10, 0, 0}, y{0, 10, 0}, z{0, 0, 10};
    addFacet(net, {o, x, y}); // inward
    addFacet(net, {o, x, z});
    addFacet(net, {x, y, z});
    addFacet(net, {o, y, z}); // inward
    EXPECT_EQ(polynetCheckNormals(netObject(net)->number), 1);
    EXPECT_EQ(screen(), "2 facet normals corrected.\n");
    EXPECT_DOUBLE_EQ(net->firstPolygon->normal.z, -1);
    EXPECT_DOUBLE_EQ(net->lastPolygon->normal.x, -1);
}
