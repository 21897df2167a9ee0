#include "engine/polynet/polynet_facets.h"

#include <cmath>

#include "tests/engine/polynet_support.h"

using PolynetFacetTest = PolynetTest;

namespace {
void expectVec(const Vec3& got, const Vec3& want, double tol = 1e-12) {
    EXPECT_NEAR(got.x, want.x, tol);
    EXPECT_NEAR(got.y, want.y, tol);
    EXPECT_NEAR(got.z, want.z, tol);
}
} // namespace

TEST_F(PolynetFacetTest, NormalSkipsRepeatedAndParallelLeadingVertices) {
    PolynetRecord* net = allocPolynet();
    // A repeated first vertex, then a vertex straight on along the first edge and one straight
    // back along it: none of them spans a plane with the first edge.
    PolygonRecord* p =
        addFacet(net, {{0, 0, 2}, {0, 0, 2}, {1, 0, 2}, {2, 0, 2}, {-1, 0, 2}, {1, 1, 2}});
    expectVec(p->normal, {0, 0, 1});
    EXPECT_DOUBLE_EQ(p->planeConstant, 2);

    // A sliver (every corner on one line) keeps a zero normal and is never hit.
    PolygonRecord* sliver = addFacet(net, {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}});
    expectVec(sliver->normal, {0, 0, 0});
    EXPECT_EQ(facetRayDistance(sliver, {1, 1, -5}, {0, 0, 1}), 0);
}

TEST_F(PolynetFacetTest, ReversedMarkTurnsTheNormalAtEveryPreparation) {
    PolynetRecord* net = allocPolynet();
    PolygonRecord* p = addFacet(net, {{0, 0, 2}, {1, 0, 2}, {1, 1, 2}});
    p->reversed = 1;
    polynetPreparePolygon(p);
    expectVec(p->normal, {0, 0, -1});
    EXPECT_DOUBLE_EQ(p->planeConstant, -2);
    polynetPreparePolygon(p); // prepared again: still reversed, not turned back
    expectVec(p->normal, {0, 0, -1});
}

TEST_F(PolynetFacetTest, DominantAxesFollowTheTieRules) {
    struct Case {
        Vec3 normal;
        int first, second;
    } cases[] = {
        {{1, 1, 0}, 1, 2},     // |y| equal to |x|: x stays the normal axis
        {{0.6, 0.8, 0}, 0, 2}, // |y| strictly larger
        {{1, 1, 1}, 0, 1},     // |z| as large as the others wins
        {{0, 1, 1}, 0, 1},     {{-1, 0, 1}, 0, 1},
        {{0, 0, 0}, 0, 1}, // no normal: tested in x and y
    };
    for (const auto& c : cases) {
        PolygonRecord p;
        p.normal = c.normal;
        polygonDominantAxes(&p);
        EXPECT_EQ(p.dominantAxes[0], c.first) << c.normal.x << c.normal.y << c.normal.z;
        EXPECT_EQ(p.dominantAxes[1], c.second);
    }
}

TEST_F(PolynetFacetTest, CentroidIsTheBoxCentreAndLimitsAreWidened) {
    PolynetRecord* net = allocPolynet();
    PolygonRecord* p = addFacet(net, {{0, 0, 1}, {10, 0, 1}, {10, 4, 1}, {2, 4, 1}});
    expectVec(p->centroid, {5, 2, 1});
    EXPECT_DOUBLE_EQ(p->limits[0], -10 * 1e-7);
    EXPECT_DOUBLE_EQ(p->limits[1], -4 * 1e-7);
    EXPECT_DOUBLE_EQ(p->limits[2], 10 + 10 * 1e-7);
    EXPECT_DOUBLE_EQ(p->limits[3], 4 + 4 * 1e-7);

    // A facet in the y-z plane is tested in y and z.
    PolygonRecord* side = addFacet(net, {{3, 0, 0}, {3, 2, 0}, {3, 2, 5}});
    EXPECT_EQ(side->dominantAxes[0], 1);
    EXPECT_EQ(side->dominantAxes[1], 2);
    EXPECT_DOUBLE_EQ(side->limits[3], 5 + 5e-7);
}

TEST_F(PolynetFacetTest, ExtremumFlagsMarkStrictTurnsOnTheSecondAxis) {
    PolynetRecord* net = allocPolynet();
    PolygonRecord* p = addFacet(net, {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {1, 3, 0}, {0, 2, 0}});
    std::vector<int> flags;
    for (const VertexNode* v = p->firstContour->firstVertex; v; v = v->next)
        flags.push_back(v->extremum);
    // Only the apex lies strictly beyond both neighbours; the bottom corners share their level.
    EXPECT_EQ(flags, (std::vector<int>{0, 0, 0, 1, 0}));

    PolygonRecord* diamond = addFacet(net, {{1, 0, 0}, {2, 1, 0}, {1, 2, 0}, {0, 1, 0}});
    flags.clear();
    for (const VertexNode* v = diamond->firstContour->firstVertex; v; v = v->next)
        flags.push_back(v->extremum);
    EXPECT_EQ(flags, (std::vector<int>{1, 0, 1, 0}));
}

TEST_F(PolynetFacetTest, SinglePointChainIsReported) {
    PolynetRecord* net = allocPolynet();
    PolygonRecord* p = addFacet(net, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    addContour(p, {{0.2, 0.2, 0}});
    EXPECT_NE(screen().find("ERROR: Single point polynet chain has been found.\n"),
              std::string::npos);
}

TEST_F(PolynetFacetTest, PointsOnVerticesAndEdgesAreInside) {
    PolynetRecord* net = allocPolynet();
    PolygonRecord* sq = addFacet(net, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
    EXPECT_TRUE(polynetPointInPolygon(sq, 1, 1));
    EXPECT_TRUE(polynetPointInPolygon(sq, 0, 0));
    EXPECT_TRUE(polynetPointInPolygon(sq, 0.5, 0)); // along a horizontal edge
    EXPECT_TRUE(polynetPointInPolygon(sq, 1 + 5e-10, 0.5));
    EXPECT_FALSE(polynetPointInPolygon(sq, 1 + 1e-8, 0.5));
    EXPECT_FALSE(polynetPointInPolygon(sq, -1e-8, 0.5));
    EXPECT_TRUE(polynetPointInPolygon(sq, 0.5, 0.5));
    EXPECT_FALSE(polynetPointInPolygon(sq, 1.5, 0.5));
}

TEST_F(PolynetFacetTest, PointsLevelWithVerticesCountCrossingsOnce) {
    PolynetRecord* net = allocPolynet();
    // Level with the far-side corner of a convex facet: inside.
    PolygonRecord* diamond = addFacet(net, {{1, 0, 0}, {2, 1, 0}, {1, 2, 0}, {0, 1, 0}});
    EXPECT_TRUE(polynetPointInPolygon(diamond, 1, 1));
    EXPECT_TRUE(polynetPointInPolygon(diamond, 1.9, 1));
    EXPECT_FALSE(polynetPointInPolygon(diamond, 2.1, 1));
    EXPECT_FALSE(polynetPointInPolygon(diamond, -0.1, 1));
    // Level with the top corner (an extremum), either side of it: outside.
    EXPECT_FALSE(polynetPointInPolygon(diamond, 0.5, 2));
    EXPECT_FALSE(polynetPointInPolygon(diamond, 1.5, 2));
    // Level with a corner where the outline passes through.
    PolygonRecord* arrow = addFacet(net, {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {2, 2, 0}, {0, 4, 0}});
    EXPECT_TRUE(polynetPointInPolygon(arrow, 1, 2));
    EXPECT_TRUE(polynetPointInPolygon(arrow, 3, 2));
    EXPECT_FALSE(polynetPointInPolygon(arrow, 2, 3));
}

TEST_F(PolynetFacetTest, PointsLevelWithHorizontalEdgesBeyondTheFacetAreOutside) {
    PolynetRecord* net = allocPolynet();
    PolygonRecord* hexagon =
        addFacet(net, {{1, 0, 0}, {2, 0, 0}, {3, 1, 0}, {2, 2, 0}, {1, 2, 0}, {0, 1, 0}});
    EXPECT_FALSE(polynetPointInPolygon(hexagon, 2.5, 0));
    EXPECT_FALSE(polynetPointInPolygon(hexagon, 0.5, 2));
    EXPECT_TRUE(polynetPointInPolygon(hexagon, 1.5, 0));
    EXPECT_TRUE(polynetPointInPolygon(hexagon, 2.5, 1));
    // A notch in the top: the right arm, level with the notch's floor, is inside; the notch
    // above the floor is not.
    PolygonRecord* u = addFacet(
        net,
        {{0, 0, 0}, {3, 0, 0}, {3, 2, 0}, {2, 2, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}});
    EXPECT_TRUE(polynetPointInPolygon(u, 2.5, 1));
    EXPECT_TRUE(polynetPointInPolygon(u, 0.5, 1));
    EXPECT_TRUE(polynetPointInPolygon(u, 1.5, 1)); // on the floor edge
    EXPECT_FALSE(polynetPointInPolygon(u, 1.5, 1.5));
}

TEST_F(PolynetFacetTest, SecondContourIsAHole) {
    PolynetRecord* net = allocPolynet();
    PolygonRecord* p = addFacet(net, {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}});
    addContour(p, {{1, 1, 0}, {3, 1, 0}, {3, 3, 0}, {1, 3, 0}});
    EXPECT_FALSE(polynetPointInPolygon(p, 2, 2));
    EXPECT_TRUE(polynetPointInPolygon(p, 0.5, 2));
    EXPECT_TRUE(polynetPointInPolygon(p, 3.5, 2));
    EXPECT_TRUE(polynetPointInPolygon(p, 1, 2)); // on the hole's edge
    EXPECT_EQ(facetRayDistance(p, {2, 2, -1}, {0, 0, 1}), 0);
    EXPECT_DOUBLE_EQ(facetRayDistance(p, {0.5, 0.5, -1}, {0, 0, 1}), 1);
}
