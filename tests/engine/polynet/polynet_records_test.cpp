#include "engine/polynet/polynet_records.h"

#include <cmath>
#include <set>

#include "engine/model/model_blocks.h"
#include "engine/polynet/polynet_dump.h"
#include "engine/polynet/polynet_extrude.h"
#include "tests/engine/polynet_support.h"

using PolynetRecordTest = PolynetTest;

TEST_F(PolynetRecordTest, PointsComeFromBlocksOf500) {
    PolyPoint* first = allocPolyPoint();
    for (int i = 1; i < kPolyNodesPerBlock; ++i)
        ASSERT_EQ(allocPolyPoint(), first + i);
    PolyPoint* next = allocPolyPoint(); // the 501st: a new block
    ASSERT_NE(next, nullptr);
    EXPECT_TRUE(next < first || next >= first + kPolyNodesPerBlock);
    EXPECT_EQ(allocPolyPoint(), next + 1);
    EXPECT_EQ(next->x, 0); // zero-filled

    // Vertex nodes likewise; a block that cannot be had is reported and gives none.
    for (int i = 0; i < kPolyNodesPerBlock; ++i)
        ASSERT_NE(allocVertexNode(), nullptr);
    failNextModelBlocks(1);
    EXPECT_EQ(allocVertexNode(), nullptr);
    ASSERT_EQ(hooks.boxes.size(), 1u);
    EXPECT_EQ(hooks.boxes[0].text, "ERROR out of memory for polygon.\n");
    EXPECT_NE(allocVertexNode(), nullptr); // the next request tries again
}

TEST_F(PolynetRecordTest, ContourVertexWrapsOnceAndLookupsStopAtTheEnd) {
    PolynetRecord* net = allocPolynet();
    PolygonRecord* p = addFacet(net, {{1, 0, 0}, {2, 0, 0}, {2, 2, 0}});
    const ContourNode* c = p->firstContour;
    EXPECT_EQ(contourVertex(0, c)->x, 1);
    EXPECT_EQ(contourVertex(2, c)->y, 2);
    EXPECT_EQ(contourVertex(3, c), contourVertex(0, c));
    EXPECT_EQ(contourVertex(4, c), nullptr);
    EXPECT_EQ(contourVertex(-1, c), nullptr);
    EXPECT_EQ(vertexAt(c, 3)->point, contourVertex(2, c));
    EXPECT_EQ(vertexAt(c, 4), nullptr);
    EXPECT_EQ(vertexAt(c, 0), nullptr);
    EXPECT_EQ(contourAt(p, 2), nullptr);
    EXPECT_EQ(polygonAt(net, 1), p);
    EXPECT_EQ(polygonAt(net, 2), nullptr);
}

TEST_F(PolynetRecordTest, FindPolygonWarns) {
    PolynetRecord* net = allocPolynet();
    EXPECT_EQ(polynetFindPolygon(net, 1), nullptr);
    EXPECT_NE(newScreen().find("WARNING: No such polygons found.\n"), std::string::npos);
    addFacet(net, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    EXPECT_EQ(polynetFindPolygon(net, 2), nullptr);
    EXPECT_NE(newScreen().find("WARNING: No such polygon 2 found.\n"), std::string::npos);
    EXPECT_EQ(polynetFindPolygon(net, 1), net->firstPolygon);
}

TEST_F(PolynetRecordTest, AreaFirstVertexDistanceAndBoundingSphere) {
    PolynetRecord* net = allocPolynet();
    EXPECT_EQ(polynetFirstVertexDistance(net), -1);
    addFacet(net, {{3, 4, 0}, {5, 4, 0}, {5, 7, 0}, {3, 7, 0}});
    addFacet(net, {{0, 0, 1}, {0, 4, 1}, {3, 0, 1}}); // turned the other way: area still 6
    EXPECT_DOUBLE_EQ(polynetPolygonArea(net, 1), 6);
    EXPECT_DOUBLE_EQ(polynetPolygonArea(net, 2), 6);
    EXPECT_EQ(polynetPolygonArea(net, 3), -1);
    EXPECT_DOUBLE_EQ(polynetFirstVertexDistance(net), 5);

    polynetCentroid(net);
    polynetRadius(net);
    EXPECT_DOUBLE_EQ(net->centroid.x, 2.5);
    EXPECT_DOUBLE_EQ(net->centroid.y, 3.5);
    EXPECT_DOUBLE_EQ(net->centroid.z, 0.5);
    EXPECT_DOUBLE_EQ(net->radius, std::sqrt(2.5 * 2.5 + 3.5 * 3.5 + 0.25));
}

TEST_F(PolynetRecordTest, ExtrusionMakesALiteralPrism) {
    PolynetRecord* net = allocPolynet();
    PolygonRecord* top = addFacet(net, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
    top->reflectance = 0.3;
    top->absorbtion = 0.2;
    PolygonRecord* last = polynetThickenPolygon(net, top, 2);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(net->polygonCount, 6);
    EXPECT_EQ(net->lastPolygon, last);
    EXPECT_EQ(top->reversed, 1);
    for (const VertexNode* v = top->firstContour->firstVertex; v; v = v->next)
        EXPECT_DOUBLE_EQ(v->point->z, 1);
    PolygonRecord* bottom = top->nextPolygon;
    EXPECT_EQ(bottom->reversed, 0);
    for (const VertexNode* v = bottom->firstContour->firstVertex; v; v = v->next)
        EXPECT_DOUBLE_EQ(v->point->z, -1);
    // Side facet i: top i, top i+1, bottom i+1, bottom i, on the shared points.
    PolygonRecord* side = bottom->nextPolygon;
    const ContourNode* s = side->firstContour;
    EXPECT_EQ(contourVertex(0, s), contourVertex(0, top->firstContour));
    EXPECT_EQ(contourVertex(1, s), contourVertex(1, top->firstContour));
    EXPECT_EQ(contourVertex(2, s), contourVertex(1, bottom->firstContour));
    EXPECT_EQ(contourVertex(3, s), contourVertex(0, bottom->firstContour));
    for (const PolygonRecord* p = top; p; p = p->nextPolygon) {
        EXPECT_DOUBLE_EQ(p->reflectance, 0.3);
        EXPECT_DOUBLE_EQ(p->absorbtion, 0.2);
    }

    // Prepared and judged, the closed prism has every normal turned one way: all outward or,
    // as the literal extrusion of a facet facing +z gives, all inward.
    for (PolygonRecord* p = net->firstPolygon; p; p = p->nextPolygon)
        polynetPreparePolygon(p);
    EXPECT_EQ(polynetCheckNormals(netObject(net)->number), 1);
    EXPECT_NE(screen().find("6 facet normals corrected.\n"), std::string::npos);
    EXPECT_DOUBLE_EQ(top->normal.z, 1);
    EXPECT_DOUBLE_EQ(bottom->normal.z, -1);
}

TEST_F(PolynetRecordTest, ExtrusionOfAFacetWithAHoleAndSharedCorners) {
    PolynetRecord* net = allocPolynet();
    PolygonRecord* p = addFacet(net, {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}});
    addContour(p, {{1, 1, 0}, {3, 1, 0}, {3, 3, 0}, {1, 3, 0}});
    // The first corner listed twice in the outline moves once.
    VertexNode* again = allocVertexNode();
    again->point = p->firstContour->firstVertex->point;
    appendVertex(p->firstContour, again);
    ASSERT_NE(polynetThickenPolygon(net, p, 1), nullptr);
    EXPECT_DOUBLE_EQ(p->firstContour->firstVertex->point->z, 0.5);
    // 1 copy + 5 outline sides + 4 hole sides; the hole's sides carry the reversed mark.
    EXPECT_EQ(net->polygonCount, 11);
    int reversedSides = 0;
    for (const PolygonRecord* q = p->nextPolygon->nextPolygon; q; q = q->nextPolygon)
        reversedSides += q->reversed;
    EXPECT_EQ(reversedSides, 4);
}

TEST_F(PolynetRecordTest, FailedExtrusionChangesNothing) {
    PolynetRecord* net = allocPolynet();
    PolygonRecord* p = addFacet(net, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}});
    for (int i = 3; i < kPolyNodesPerBlock; ++i) // use up the points' block
        allocPolyPoint();
    failNextModelBlocks(1); // so that the new points need a block that cannot be had
    EXPECT_EQ(polynetThickenPolygon(net, p, 2), nullptr);
    EXPECT_EQ(net->polygonCount, 1);
    EXPECT_EQ(p->reversed, 0);
    EXPECT_DOUBLE_EQ(p->firstContour->firstVertex->point->z, 0);
}

TEST_F(PolynetRecordTest, DumpFormat) {
    PolynetRecord* net = allocPolynet();
    PolygonRecord* p = addFacet(net, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    polynetCentroid(net);
    polynetRadius(net);
    p->reflectance = 0.5;
    polynetDump(net, outputChannel);
    EXPECT_EQ(screen(), "\nPolynet 1 rad = 0.707107 centroid = 0.500000 0.500000 0.000000\n"
                        " Polygon 1  centroid = 0.500000 0.500000 0.000000\n"
                        "              d = 0.000000 normal = 0.000000 0.000000 1.000000\n"
                        "              limits: 1 -0.000000 1.000000   2 -0.000000 1.000000\n"
                        "              Dominant axes are x y.\n"
                        "This polygon's reflectance = 5.000000e-01 absorption =0.000000e+00\n"
                        "  Chain 1:\n"
                        "    0.000000 0.000000 0.000000 \n"
                        "    1.000000 0.000000 0.000000 \n"
                        "    0.000000 1.000000 0.000000 extrema.\n");
    EXPECT_TRUE(hooks.boxes.empty());

    polynetDump(allocPolynet(), outputChannel);
    ASSERT_EQ(hooks.boxes.size(), 1u);
    EXPECT_EQ(hooks.boxes[0].text, "Empty polynet.\n");
}
