// The facet hierarchy gives what the facet loop gives, to the last bit, on nets of every shape.
#include "engine/polynet/facet_hierarchy.h"

#include <cmath>
#include <cstring>

#include "engine/commands/placement_commands.h"
#include "engine/model/placement.h"
#include "engine/surfaces/surface_geometry.h"
#include "engine/trace/search_mode.h"
#include "platform/rand15.h"
#include "tests/engine/polynet_support.h"

namespace {

class FacetHierarchyTest : public PolynetTest {
  protected:
    void TearDown() override {
        setNearestHitSearch(NearestHitSearch::Hierarchy);
        PolynetTest::TearDown();
    }

    // A ball cut into 2 x sectors x (rings - 1) triangles on shared corners.
    static PolynetRecord* ball(int rings, int sectors, double r) {
        PolynetRecord* net = allocPolynet();
        std::vector<PolyPoint*> corners;
        for (int i = 0; i <= rings; ++i)
            for (int j = 0; j < sectors; ++j) {
                corners.push_back(allocPolyPoint());
                double theta = M_PI * i / rings, phi = 2 * M_PI * j / sectors;
                *corners.back() = {r * std::sin(theta) * std::cos(phi),
                                   r * std::sin(theta) * std::sin(phi), r * std::cos(theta)};
            }
        auto at = [&](int i, int j) { return corners[i * sectors + j % sectors]; };
        for (int i = 0; i < rings; ++i)
            for (int j = 0; j < sectors; ++j) {
                if (i + 1 < rings) addFacetOn(net, {at(i, j), at(i + 1, j), at(i + 1, j + 1)});
                if (i > 0) addFacetOn(net, {at(i, j), at(i + 1, j + 1), at(i, j + 1)});
            }
        return net;
    }

    // Hexagons of six triangles about their centres: one at z = 1, then two on the same corners
    // at z = 0.
    static PolynetRecord* fans() {
        PolynetRecord* net = allocPolynet();
        for (double z : {1.0, 0.0, 0.0}) {
            PolyPoint* centre = allocPolyPoint();
            *centre = {0, 0, z};
            std::vector<PolyPoint*> rim;
            for (int k = 0; k < 6; ++k) {
                rim.push_back(allocPolyPoint());
                *rim.back() = {std::cos(k * M_PI / 3), std::sin(k * M_PI / 3), z};
            }
            for (int k = 0; k < 6; ++k)
                addFacetOn(net, {centre, rim[k], rim[(k + 1) % 6]});
        }
        return net;
    }

    // A square facet with a square hole, and one facet filling the hole.
    static PolynetRecord* frame() {
        PolynetRecord* net = allocPolynet();
        PolygonRecord* p = addFacet(net, {{-2, -2, 0}, {2, -2, 0}, {2, 2, 0}, {-2, 2, 0}});
        addContour(p, {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}});
        addFacet(net, {{-1, -1, 0.5}, {1, -1, 0.5}, {1, 1, 0.5}, {-1, 1, 0.5}});
        return net;
    }

    static std::vector<Vec3> cornersOf(const PolynetRecord* net) {
        std::vector<Vec3> out;
        for (const PolygonRecord* p = net->firstPolygon; p; p = p->nextPolygon)
            for (const ContourNode* c = p->firstContour; c; c = c->nextContour)
                for (const VertexNode* v = c->firstVertex; v; v = v->next)
                    out.push_back(*v->point);
        return out;
    }

    struct Outcome {
        int found = 0, facet = -1;
        double nearest = -1, quadric[3] = {}, reflectance = 0, absorbtion = 0;
        long ties = 0;
    };

    static Outcome shoot(SurfaceRecord* s, NearestHitSearch search, const Vec3& from, Vec3 d) {
        setNearestHitSearch(search);
        polynetLastHitFacet = -1;
        polynetEqualDistanceHits = 0;
        s->reflectance = s->absorbtion = -1;
        Outcome o;
        o.found = polynetIntercept(s, from, d, o.nearest);
        o.facet = polynetLastHitFacet;
        std::memcpy(o.quadric, &s->quadric[9], sizeof o.quadric);
        o.reflectance = s->reflectance;
        o.absorbtion = s->absorbtion;
        o.ties = polynetEqualDistanceHits;
        return o;
    }

    // Both searches give the same bits; the hierarchy's tally is the number of further facets at
    // exactly the nearest distance. Returns the hierarchy's outcome.
    static Outcome expectSame(SurfaceRecord* s, const Vec3& from, const Vec3& d) {
        Outcome plain = shoot(s, NearestHitSearch::PlainLoop, from, d);
        Outcome tree = shoot(s, NearestHitSearch::Hierarchy, from, d);
        EXPECT_EQ(tree.found, plain.found);
        EXPECT_EQ(std::memcmp(&tree.nearest, &plain.nearest, sizeof(double)), 0)
            << tree.nearest << " " << plain.nearest;
        EXPECT_EQ(tree.facet, plain.facet);
        EXPECT_EQ(std::memcmp(tree.quadric, plain.quadric, sizeof tree.quadric), 0);
        EXPECT_EQ(tree.reflectance, plain.reflectance);
        EXPECT_EQ(tree.absorbtion, plain.absorbtion);
        if (!tree.found) return tree;
        Vec3 local, origin;
        toLocalDirection(d, local, s);
        normalize3(local);
        toLocalPoint(from, origin, s);
        long atNearest = -1;
        const auto* net = static_cast<const PolynetRecord*>(s->typeData);
        for (const PolygonRecord* p = net->firstPolygon; p; p = p->nextPolygon)
            atNearest += facetRayDistance(p, origin, local) == tree.nearest;
        EXPECT_EQ(tree.ties, atNearest);
        EXPECT_LE(tree.ties, plain.ties);
        return tree;
    }
};

struct NetCase {
    const char* name;
    PolynetRecord* (*make)();
};

TEST_F(FacetHierarchyTest, FindsWhatTheFacetLoopFinds) {
    const NetCase cases[] = {
        {"ball", [] { return ball(9, 14, 3); }},
        {"cube", [] { return cube(1.5); }},
        {"fans", fans},
        {"frame", frame},
        {"one facet",
         [] {
             PolynetRecord* n = allocPolynet();
             addFacet(n, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
             return n;
         }},
        {"no facet", [] { return allocPolynet(); }},
    };
    platform::Rand15 rng(7);
    auto random = [&] { return Vec3{2 * rng.unit() - 1, 2 * rng.unit() - 1, 2 * rng.unit() - 1}; };
    for (const NetCase& c : cases) {
        SCOPED_TRACE(c.name);
        resetEngineState();
        PolynetRecord* net = c.make();
        polynetFacetsChanged(net);
        ASSERT_NE(facetHierarchyOf(net), nullptr);
        ObjectRecord* o = netObject(net);
        SurfaceRecord* s = o->firstSurface;
        const std::vector<Vec3> corners = cornersOf(net);
        // Through every shared corner and edge middle from three sides, and along every edge.
        for (std::size_t i = 0; i < corners.size(); ++i) {
            const Vec3& a = corners[i];
            const Vec3& b = corners[i + 1 < corners.size() ? i + 1 : 0];
            for (const Vec3& from : {Vec3{5, 0.3, 7}, Vec3{-6, 2, -0.5}, Vec3{0, 0, -9}}) {
                expectSame(s, from, a - from);
                expectSame(s, from, 0.5 * (a + b) - from);
            }
            expectSame(s, a + 2.0 * (a - b), b - a);
            expectSame(s, a, b - a);
            for (const Vec3& d : {Vec3{0, 0, 1}, Vec3{0, -1, 0}, Vec3{1, 0, 0}})
                expectSame(s, a - 4.0 * d, d);
        }
        for (int i = 0; i < 400; ++i) {
            Vec3 from = (i % 2 ? 6.0 : 1.0) * random(); // many from inside the net
            expectSame(s, from, 1.5 * random() - from);
        }
        translatePlacement(10, -3, 2, o->globalToLocal, o->localToGlobal);
        rotatePlacementZ(30, o->globalToLocal, o->localToGlobal);
        o->placed = 1;
        setobj(o);
        for (int i = 0; i < 100; ++i) {
            Vec3 from = Vec3{10, -3, 2} + 6.0 * random();
            expectSame(s, from, Vec3{10, -3, 2} - from + random());
        }
    }
}

TEST_F(FacetHierarchyTest, TheTallyCountsOnlyTiesAtTheNearestDistance) {
    // Facets 1 and 2 at z = 2, 3 at z = 1, 4 and 5 at z = 3: the loop also counts a tie that a
    // nearer facet beats later.
    PolynetRecord* net = allocPolynet();
    for (double z : {2.0, 2.0, 1.0, 3.0, 3.0})
        addFacet(net, {{0, 0, z}, {2, 0, z}, {2, 2, z}, {0, 2, z}});
    polynetFacetsChanged(net);
    SurfaceRecord* s = netObject(net)->firstSurface;
    const struct {
        Vec3 from, d;
        int facet;
        long plainTies, treeTies;
    } rows[] = {{{1, 1, 0}, {0, 0, 1}, 3, 1, 0}, {{1, 1, 4}, {0, 0, -1}, 4, 2, 1}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.facet);
        Outcome plain = shoot(s, NearestHitSearch::PlainLoop, r.from, r.d);
        Outcome tree = shoot(s, NearestHitSearch::Hierarchy, r.from, r.d);
        EXPECT_EQ(plain.facet, r.facet);
        EXPECT_EQ(tree.facet, r.facet);
        EXPECT_EQ(plain.ties, r.plainTies);
        EXPECT_EQ(tree.ties, r.treeTies);
    }
}

TEST_F(FacetHierarchyTest, ANetEditedAfterATraceIsSearchedAsEdited) {
    // A cube built by the command, its bottom (facet 1) listed with its normal inward.
    const int faces[6][4] = {{0, 1, 3, 2}, {4, 5, 7, 6}, {0, 1, 5, 4},
                             {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    std::vector<std::string> lines = {"polynet/start cube"};
    for (const auto& f : faces) {
        lines.insert(lines.end(), {"polynet/polygon", "polynet/chain"});
        for (int k : f)
            lines.push_back("polynet/point " + std::to_string(k & 1 ? 1.0 : -1.0) + " " +
                            std::to_string(k & 2 ? 1.0 : -1.0) + " " +
                            std::to_string(k & 4 ? 1.0 : -1.0));
        lines.push_back("polynet/close");
    }
    lines.push_back("polynet/finish");
    for (const auto& l : lines)
        ASSERT_TRUE(run(l)) << l;
    PolynetRecord* net = objectPolynet(1);
    ASSERT_NE(facetHierarchyOf(net), nullptr);
    SurfaceRecord* s = getObject(0)->firstSurface;
    auto up = [s] { return expectSame(s, {0.2, 0.1, -5}, {0, 0, 1}); };
    EXPECT_EQ(up().quadric[2], 1);
    ASSERT_TRUE(run("polynet/normalize 1"));
    EXPECT_EQ(up().quadric[2], -1);
    ASSERT_TRUE(run("polynet/modify 1 1 reflect=0.25 absorbtion=0.5"));
    const Outcome o = up();
    EXPECT_EQ(o.reflectance, 0.25);
    EXPECT_EQ(o.absorbtion, 0.5);
    // A facet added without a new hierarchy is searched facet by facet until one is built.
    addFacet(net, {{-2, -2, -3}, {2, -2, -3}, {2, 2, -3}, {-2, 2, -3}});
    EXPECT_EQ(facetHierarchyOf(net), nullptr);
    EXPECT_EQ(up().facet, 7);
    polynetFacetsChanged(net);
    ASSERT_NE(facetHierarchyOf(net), nullptr);
    EXPECT_EQ(up().facet, 7);
    // Deleted and its records handed out again: the new net has no hierarchy of the old one's.
    ASSERT_TRUE(deleteObject("object", 1));
    ASSERT_TRUE(run("polynet/belt nfacets=8"));
    const int belt = takePolynetPartRequest().objectNumber;
    EXPECT_NE(facetHierarchyOf(objectPolynet(belt)), nullptr);
    expectSame(getObject(belt - 1)->firstSurface, {0, 0, 0.01}, {1, 0.2, 0});
}

TEST_F(FacetHierarchyTest, TheNormalCheckJudgesAsTheLoopDoes) {
    const NetCase cases[] = {
        {"ball, facets turned",
         [] {
             PolynetRecord* n = ball(7, 10, 2);
             int i = 0;
             for (PolygonRecord* p = n->firstPolygon; p; p = p->nextPolygon)
                 if (++i % 5 == 0) {
                     p->normal = -1.0 * p->normal;
                     p->planeConstant = -p->planeConstant;
                 }
             return n;
         }},
        {"cube, one facet turned", [] { return cube(1, 3); }},
        {"cube and a facet inside it",
         [] {
             PolynetRecord* n = cube(1);
             addFacet(n, {{-0.5, -0.5, 0}, {0.5, -0.5, 0}, {0.5, 0.5, 0}, {-0.5, 0.5, 0}});
             return n;
         }},
    };
    for (const NetCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string said[2];
        std::vector<Vec3> normals[2];
        for (int mode = 0; mode < 2; ++mode) {
            resetEngineState();
            setNearestHitSearch(mode ? NearestHitSearch::Hierarchy : NearestHitSearch::PlainLoop);
            PolynetRecord* net = c.make();
            polynetFacetsChanged(net);
            ASSERT_EQ(netObject(net)->number, 1);
            newScreen();
            ASSERT_EQ(polynetCheckNormals(1), 1);
            said[mode] = newScreen();
            for (const PolygonRecord* p = net->firstPolygon; p; p = p->nextPolygon)
                normals[mode].push_back(p->normal);
            // The hierarchy follows the turned normals.
            expectSame(getObject(0)->firstSurface, {0.1, 0.2, -5}, {0.01, 0, 1});
        }
        EXPECT_EQ(said[1], said[0]);
        ASSERT_EQ(normals[1].size(), normals[0].size());
        for (std::size_t i = 0; i < normals[0].size(); ++i)
            EXPECT_EQ(std::memcmp(&normals[1][i], &normals[0][i], sizeof(Vec3)), 0) << i;
    }
}

} // namespace
