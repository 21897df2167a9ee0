#include "engine/polynet/polynet_trim.h"

#include "tests/engine/polynet_support.h"

using PolynetTrimTest = PolynetTest;

namespace {
PolyPoint* point(double x, double y, double z) {
    PolyPoint* q = allocPolyPoint();
    *q = {x, y, z};
    return q;
}
} // namespace

TEST_F(PolynetTrimTest, MessagesAndChainLimit) {
    EXPECT_EQ(polynetTrimChainBegin(1), 0);
    EXPECT_EQ(newScreen(), "Error trim/begin not found.");
    polynetTrimBegin();
    EXPECT_EQ(newScreen(), "Polynet trim commenced.\n");
    polynetTrimBegin();
    EXPECT_EQ(newScreen(), "Error trim already begun.Polynet trim commenced.\n");

    EXPECT_EQ(polynetTrimChainBegin(1), 1);
    EXPECT_EQ(newScreen(), "Polynet trim chain will trim inside.\n");
    polynetTrimChainClose();
    polynetTrimChainClose();
    EXPECT_EQ(newScreen(), "Trim chain closed\n");
    EXPECT_EQ(polynetTrimChainAdd(point(0, 0, 0)), 0); // closed

    for (int i = 1; i < kMaxTrimChains; ++i)
        ASSERT_EQ(polynetTrimChainBegin(0), 1);
    EXPECT_NE(newScreen().find("Polynet trim chain will trim outside.\n"), std::string::npos);
    EXPECT_EQ(polynetTrimChainBegin(0), 0);
    EXPECT_EQ(newScreen(), "Error too many (more than 100) trim chains created.");
    EXPECT_EQ(polynetTrimState().chainCount, kMaxTrimChains);
    EXPECT_EQ(polynetTrimState().chains[0].inside, 1);
}

TEST_F(PolynetTrimTest, EndAddsCrossingsBetweenFacets) {
    PolynetRecord* net = allocPolynet();
    addFacet(net, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
    addFacet(net, {{1, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}});
    polynetTrimBegin();
    polynetTrimChainBegin(1);
    PolyPoint* a = point(0.5, 0.5, 0);
    PolyPoint* b = point(1.5, 0.25, 0);
    ASSERT_EQ(polynetTrimChainAdd(a), 1);
    ASSERT_EQ(polynetTrimChainAdd(b), 1);
    ASSERT_EQ(polynetTrimChainAdd(point(5, 5, 0)), 1); // on no facet
    polynetTrimChainClose();
    newScreen();

    polynetTrimListChains(net);
    EXPECT_EQ(newScreen(), "Trim chain 1 has 3 points.\n");
    EXPECT_EQ(polynetTrimEnd(), 1);
    EXPECT_EQ(newScreen(), "1 points added to the trim chain.\n"
                           "Polynet trim ended with 1 chains, 1 polygonless points.\n");
    const ContourNode& chain = polynetTrimState().chains[0].points;
    ASSERT_EQ(chain.vertexCount, 4);
    const PolyPoint* added = contourVertex(1, &chain);
    EXPECT_EQ(contourVertex(0, &chain), a);
    EXPECT_EQ(contourVertex(2, &chain), b);
    EXPECT_DOUBLE_EQ(added->x, 1);
    EXPECT_DOUBLE_EQ(added->y, 0.375);
    // The trim is over.
    EXPECT_EQ(polynetTrimEnd(), 0);
    EXPECT_EQ(newScreen(), "Error trim/begin not found.");
}

TEST_F(PolynetTrimTest, CrossingAtAChainPointIsNotAdded) {
    PolynetRecord* net = allocPolynet();
    addFacet(net, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
    addFacet(net, {{1, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}});
    polynetTrimBegin();
    polynetTrimChainBegin(0);
    polynetTrimChainAdd(point(0.5, 0.5, 0));
    polynetTrimChainAdd(point(1, 0.5, 0)); // on the shared edge: on both facets
    polynetTrimChainAdd(point(1.5, 0.5, 0));
    polynetTrimListChains(net);
    newScreen();
    polynetTrimEnd();
    EXPECT_EQ(newScreen(), "0 points added to the trim chain.\n"
                           "Polynet trim ended with 1 chains, 0 polygonless points.\n");
}

TEST_F(PolynetTrimTest, AtMostFourFacetsPerTrimPoint) {
    PolynetRecord* net = allocPolynet();
    for (int i = 0; i < 6; ++i)
        addFacet(net, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
    polynetTrimBegin();
    polynetTrimChainBegin(0);
    polynetTrimChainAdd(point(0.5, 0.5, 0));
    polynetTrimListChains(net);
    newScreen();
    EXPECT_EQ(polynetTrimEnd(), 1);
    EXPECT_EQ(newScreen(), "Too many polygons on trim point.0 points added to the trim chain.\n"
                           "Polynet trim ended with 1 chains, 0 polygonless points.\n");
}
