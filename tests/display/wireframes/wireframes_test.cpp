#include <cmath>
#include <set>

#include "display/wireframes/wireframes.h"
#include "engine/polynet/polynet_belt.h"
#include "engine/model/user_parameters.h"
#include "tests/display/view_fixture.h"

namespace {

using displaytest::near;
using displaytest::Segment;
using displaytest::ViewTest;

class WireframeTest : public ViewTest {
  protected:
    void SetUp() override {
        ViewTest::SetUp();
        beginViewDraw(host, surface);
        setViewFromAngles(30, 20, {0, 0, 0});
    }
    std::vector<Segment> draw(const ObjectRecord* o) {
        return capture([o] { drawObjectWireframe(o); });
    }
    std::vector<Segment> drawAll() {
        return capture([] { drawAllWireframes(); });
    }
    static SurfaceRecord* surfaceAt(ObjectRecord* o, int number) {
        SurfaceRecord* s = o->firstSurface;
        while (s && s->number != number)
            s = s->next;
        return s;
    }
    // The lens of the defaults: r1 100, r2 -100, thickness 20, diameter 70, its faces moved
    // +-10 along z in the lens.
    ObjectRecord* makeLens(Vec3 at = {}) {
        ObjectRecord* o = makeObject(kWireSingleLens, 3, at);
        SurfaceRecord* front = surfaceAt(o, 1);
        SurfaceRecord* back = surfaceAt(o, 2);
        SurfaceRecord* edge = surfaceAt(o, 3);
        const double sag = 100 - std::sqrt(100.0 * 100 - 35.0 * 35);
        setSphere(front, {0, 0, 100}, 100);
        front->shapeCode = kShapeSphere;
        setExtent(front, -35, 35, -35, 35, 0, sag);
        translatePlacement(0, 0, -10, front->objectToSurface, front->surfaceToObject);
        setSphere(back, {0, 0, -100}, 100);
        back->shapeCode = kShapeSphere;
        setExtent(back, -35, 35, -35, 35, -35, 0);
        translatePlacement(0, 0, 10, back->objectToSurface, back->surfaceToObject);
        setQuadric(edge, 1 / 1225.0, 1 / 1225.0, 0, {}, -1);
        edge->shapeCode = kShapeCylinder;
        setExtent(edge, -35, 35, -35, 35, sag - 10, 10 - sag);
        setobj(o);
        return o;
    }
    HeadlessViewHost host{800, 600};
};

int countColour(const std::vector<Segment>& s, int colour) {
    int n = 0;
    for (const auto& e : s)
        n += e.colour == colour;
    return n;
}

TEST_F(WireframeTest, OnlyActivatedPlacedObjectsAreDrawn) {
    ObjectRecord* a = makeObject(kWireAxes);
    a->firstSurface->axisLength = 5;
    ObjectRecord* b = makeObject(kWireAxes);
    b->firstSurface->axisLength = 5;
    b->placed = 0; // removed from the workbox
    ObjectRecord* c = makeObject(kWireAxes);
    c->firstSurface->axisLength = 5;
    c->activated = 0;
    EXPECT_EQ(drawAll().size(), 3u);
}

TEST_F(WireframeTest, ExportLabelsAreTheKindNames) {
    makeObject(kWireAxes)->firstSurface->axisLength = 1;
    makeObject(kWirePoint, 1, {10, 0, 0});
    auto s = drawAll();
    ASSERT_EQ(s.size(), 3u + 7u);
    EXPECT_EQ(s[0].label, "axes");
    EXPECT_EQ(s[9].label, "point");
    // An unknown kind, and a polygon net without its net, draw nothing.
    makeObject(13);
    makeObject(kWirePrism);
    EXPECT_EQ(drawAll().size(), 10u);
}

TEST_F(WireframeTest, AxesAndPointMarkers) {
    ObjectRecord* axes = makeObject(kWireAxes, 1, {1, 2, 3});
    axes->firstSurface->axisLength = 7;
    auto s = draw(axes);
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[0].colour, 15);
    EXPECT_TRUE(near(s[0].p, {1, 2, 3}) && near(s[1].q, {1, 9, 3}));
    // Shaft 0.1 x the smallest workbox half size (50), barbs and two short lines.
    s = draw(makeObject(kWirePoint));
    ASSERT_EQ(s.size(), 7u);
    EXPECT_TRUE(near(s[0].q, {0, 0, 5}));
    EXPECT_TRUE(near(s[1].q, {0, 0.625, 3.75}));
    EXPECT_TRUE(near(s[6].q, {2.5, 0, 0}));
}

TEST_F(WireframeTest, FlatOutlinesByEdgeTypeWithTheirHole) {
    ObjectRecord* o = makeObject(kWireFlatMirror, 1, {0, 0, 50});
    SurfaceRecord* s = o->firstSurface;
    setExtent(s, -20, 20, -10, 10, -1, 1);
    s->edgeType = 2;
    auto seg = draw(o);
    ASSERT_EQ(seg.size(), 4u);
    for (const auto& e : seg)
        EXPECT_EQ(e.p.z, 50); // the plane z = 0 of the surface
    EXPECT_TRUE(near(seg[0].p, {-20, -10, 50}) && near(seg[0].q, {20, -10, 50}));
    s->edgeType = 1;
    s->hasHole = 1;
    s->holeShape = 2;
    const double hole[4] = {-5, 5, -2, 2};
    std::copy(hole, hole + 4, s->holeLimits);
    seg = draw(o);
    ASSERT_EQ(seg.size(), 26u + 4u);
    EXPECT_TRUE(near(seg[0].p, {20, 0, 50}));
    EXPECT_TRUE(near(seg[25].q, {20, 0, 50})); // closed from the last point to the first
    EXPECT_TRUE(near(seg[26].p, {-5, -2, 50}));
}

TEST_F(WireframeTest, LensFacesFollowTheirSpheresAndEdgesAreRingsWithLines) {
    wireframeDetail = 1;
    ObjectRecord* lens = makeLens({0, 0, 100});
    auto s = draw(lens);
    // Faces: two 11-sample curves each (10 segments). Edge: two 26-point rims and one line.
    ASSERT_EQ(s.size(), 4u * 10 + 2 * 26 + 1);
    for (int i = 0; i < 20; ++i) {
        const Vec3 local = s[i].p - Vec3{0, 0, 90}; // the front face's frame
        const Vec3 d = local - Vec3{0, 0, 100};
        EXPECT_NEAR(dot3(d, d), 1e4, 0.05) << i;
        EXPECT_LT(local.z, 6.33);
    }
    for (int i = 40; i < 92; ++i)
        EXPECT_NEAR(std::hypot(s[i].p.x, s[i].p.y), 35, 1e-3) << i;
    EXPECT_NEAR(s[92].q.z - s[92].p.z, 2 * (10 - 6.3247), 1e-3);
    EXPECT_EQ(countColour(s, 11), static_cast<int>(s.size()));
    EXPECT_EQ(plotState().currentColour, 15);

    // The highlighted surface takes its colour.
    setSurfaceHighlight(lens->number, 2, 13);
    s = draw(lens);
    EXPECT_EQ(countColour(s, 13), 20);

    // High detail: three chords each way per face and 32 lines on the edge.
    wireframeDetail = 3;
    EXPECT_EQ(draw(lens).size(), 12u * 10 + 2 * 26 + 32);
    // Without curve counts only the rims remain.
    wireframeDetail = 0;
    EXPECT_EQ(draw(lens).size(), 2u * 26);
}

TEST_F(WireframeTest, FacesAndEdgesGoByShapeNotByNumber) {
    // A doublet: faces 1, 2 and 4, edges 3 and 5; a flat face draws no curves.
    wireframeDetail = 1;
    ObjectRecord* o = makeObject(kWireSingleLens, 5);
    for (int i = 1; i <= 5; ++i) {
        SurfaceRecord* s = surfaceAt(o, i);
        setExtent(s, -25, 25, -25, 25, -5, 5);
        if (i == 3 || i == 5) {
            setQuadric(s, 1 / 625.0, 1 / 625.0, 0, {}, -1);
            s->shapeCode = kShapeCylinder;
        } else if (i == 4) {
            setQuadric(s, 0, 0, 0, {0, 0, 1}, 0);
            s->shapeCode = kShapeFlat;
        } else {
            setSphere(s, {0, 0, 100}, 100);
            s->shapeCode = kShapeSphere;
        }
    }
    auto s = draw(o);
    EXPECT_EQ(s.size(), 2u * 2 * 10 + 2 * (2 * 26 + 1));
}

TEST_F(WireframeTest, MirrorSectionsSpanTheChordAndSkipTheHole) {
    wireframeDetail = 2;
    ObjectRecord* o = makeObject(kWireMirror);
    SurfaceRecord* m = o->firstSurface;
    setSphere(m, {0, 0, 100}, 100);
    const double depth = 100 - std::sqrt(1e4 - 400);
    setExtent(m, -20, 20, -20, 20, 0, depth);
    auto s = draw(o);
    ASSERT_EQ(s.size(), 2u * 14);
    EXPECT_EQ(countColour(s, 10), 28);
    EXPECT_EQ(plotState().currentColour, 15);
    EXPECT_NEAR(s[0].p.y, -20 * 0.9999, 1e-3);
    EXPECT_NEAR(s[13].q.y, 20 * 0.9999, 1e-3);
    // An oval edge narrows the chord along the short axis.
    m->edgeType = 1;
    setExtent(m, -20, 20, -10, 10, 0, depth);
    s = draw(o);
    ASSERT_EQ(s.size(), 2u * 14);
    EXPECT_NEAR(s[0].p.y, -10 * 0.9999, 1e-3);
    // A round hole splits each section into two 7-sample curves.
    m->edgeType = 0;
    setExtent(m, -20, 20, -20, 20, 0, depth);
    m->hasHole = 1;
    m->holeShape = 1;
    const double hole[4] = {-5, 5, -5, 5};
    std::copy(hole, hole + 4, m->holeLimits);
    s = draw(o);
    ASSERT_EQ(s.size(), 4u * 6);
    for (const auto& e : s)
        for (const Vec3& p : {e.p, e.q})
            EXPECT_GE(std::hypot(p.x, p.y), 5 - 1e-3);
}

TEST_F(WireframeTest, TroughSectionsAcrossAndAlong) {
    wireframeDetail = 2;
    ObjectRecord* o = makeObject(kWireXlong);
    SurfaceRecord* t = o->firstSurface;
    setQuadric(t, 0, 1, 0, {0, 0, -20}, 0); // y^2 = 20 z
    setExtent(t, -25, 25, -10, 10, 0, 5);
    auto s = draw(o);
    // Three parabolic sections across x and two straight ones along it, 15 samples each.
    ASSERT_EQ(s.size(), 5u * 14);
    for (const auto& e : s)
        EXPECT_NEAR(e.p.y * e.p.y, 20 * e.p.z, 1e-3);
    t->hasHole = 1;
    t->holeShape = 2;
    const double hole[4] = {-5, 5, -3, 3};
    std::copy(hole, hole + 4, t->holeLimits);
    s = draw(o);
    // The hole outline follows the trough (4 sides of 8 pieces).
    ASSERT_GE(s.size(), 32u);
    for (std::size_t i = s.size() - 32; i < s.size(); ++i)
        EXPECT_NEAR(s[i].p.y * s[i].p.y, 20 * s[i].p.z, 1e-3);
}

// Family curves across the depth lie in planes of constant z.
int levelsAcrossZ(const std::vector<Segment>& s) {
    std::set<long> levels;
    for (const auto& e : s)
        if (e.p.z == e.q.z) levels.insert(std::lround(e.p.z * 1000));
    return static_cast<int>(levels.size());
}

TEST_F(WireframeTest, ClosedEllipsoidFamiliesFollowTheDetail) {
    ObjectRecord* o = makeObject(kWireEllipsoid);
    SurfaceRecord* e = o->firstSurface;
    setQuadric(e, 1 / 400.0, 1 / 400.0, 1 / 400.0, {}, -1);
    setExtent(e, -20, 20, -20, 20, -20, 20);
    wireframeDetail = 3;
    auto s = draw(o);
    EXPECT_EQ(levelsAcrossZ(s), 32);
    EXPECT_EQ(countColour(s, 10), static_cast<int>(s.size()));
    wireframeDetail = 1;
    s = draw(o);
    EXPECT_EQ(levelsAcrossZ(s), 0);
    // The two outlines through the origin: 28 pairs each, near and far.
    EXPECT_EQ(s.size(), 2u * 2 * 28);
    wireframeDetail = 2;
    EXPECT_EQ(levelsAcrossZ(draw(o)), 4);
}

TEST_F(WireframeTest, OpenBodiesUseTheirExtent) {
    // A cylinder along z: no sag along z, so it is drawn over its extent.
    wireframeDetail = 2;
    ObjectRecord* o = makeObject(kWireEllipse);
    SurfaceRecord* c = o->firstSurface;
    setQuadric(c, 0.01, 0.01, 0, {}, -1);
    setExtent(c, -10, 10, -10, 10, 0, 40);
    auto s = draw(o);
    ASSERT_FALSE(s.empty());
    for (const auto& e : s) {
        EXPECT_NEAR(std::hypot(e.p.x, e.p.y), 10, 1e-3);
        EXPECT_GE(e.p.z, -1e-3);
        EXPECT_LE(e.p.z, 40 + 1e-3);
    }
    EXPECT_EQ(levelsAcrossZ(s), 4);
    // Nothing across the depth at low detail.
    wireframeDetail = 1;
    EXPECT_EQ(levelsAcrossZ(draw(o)), 0);
}

class CpcTest : public WireframeTest {
  protected:
    // A concentrator of input angle 20 degrees and exit radius 20, with its cone when the
    // output angle is below 90 degrees.
    ObjectRecord* makeCpc(double output) {
        const double a = 20, thi = 20 * kDegree, tho = output * kDegree;
        const bool cone = 90 - output > 0.00001;
        ObjectRecord* o = makeObject(kWireCpc, cone ? 2 : 1);
        const double values[3] = {20, output, a};
        allocUserParameters(o, 3, kNames);
        setUserParameters(o, values);
        const double entrance = a * std::sin(tho) / std::sin(thi);
        const double length =
            a * (std::sin(thi) + std::cos(thi) * std::sin(tho)) / (std::sin(thi) * std::sin(thi));
        double l = 0;
        if (cone) {
            const double phi = (tho - thi) / 2, d = a / std::tan(phi);
            l = 2 * a / (std::tan(tho) - std::tan(phi));
            const double rc = std::tan(phi) * l + a;
            SurfaceRecord* k = surfaceAt(o, 2);
            const double h = l + d;
            setQuadric(k, 1 / (rc * rc), 1 / (rc * rc), -1 / (h * h), {}, 0);
            setExtent(k, -rc, rc, -rc, rc, d, l + d);
            translatePlacement(0, 0, -d, k->objectToSurface, k->surfaceToObject);
            setobj(o);
        }
        setExtent(o->firstSurface, -entrance, entrance, -entrance, entrance, l, length);
        return o;
    }
    static constexpr const char* kNames[4] = {"input_angle", "output_angle", "radius_exit", " "};
};

TEST_F(CpcTest, RingsAndMeridiansOfTheWall) {
    wireframeDetail = 2; // four meridians, four rings
    auto s = draw(makeCpc(90));
    ASSERT_EQ(s.size(), 8u * 29);
    EXPECT_EQ(countColour(s, 10), 8 * 29);
    // The lowest ring sits at the exit radius; the wall widens upwards to the entrance.
    EXPECT_NEAR(std::hypot(s[0].p.x, s[0].p.y), 20, 1e-2);
    const double top = 20 * (1 + std::sin(20 * kDegree)) * std::cos(20 * kDegree) /
                       std::pow(std::sin(20 * kDegree), 2);
    for (const auto& e : s) {
        const double r = std::hypot(e.p.x, e.p.y);
        EXPECT_GE(r, 20 - 1e-2);
        EXPECT_LE(r, 20 / std::sin(20 * kDegree) + 1e-2);
        if (std::fabs(e.p.z - top) < 1) {
            EXPECT_NEAR(r, 20 / std::sin(20 * kDegree), 0.5);
        }
    }
    wireframeDetail = 3; // eight meridians, sixteen rings
    EXPECT_EQ(draw(makeCpc(90)).size(), 24u * 29);
    wireframeDetail = 0; // no counts: nothing
    EXPECT_TRUE(draw(makeCpc(90)).empty());
}

TEST_F(CpcTest, TheConeTakesHalfTheRingsAndMeetsTheWall) {
    wireframeDetail = 2;
    ObjectRecord* o = makeCpc(60);
    auto s = draw(o);
    ASSERT_EQ(s.size(), 8u * 29 + (4 + 2) * 29);
    // The cone runs from the exit radius at z = 0 to the wall's lower rim.
    const auto& coneRing = s[8 * 29];
    EXPECT_NEAR(coneRing.p.z, 0, 0.01);
    EXPECT_NEAR(std::hypot(coneRing.p.x, coneRing.p.y), 20, 0.01);
    const double wallBottom = std::hypot(s[0].p.x, s[0].p.y);
    const auto& coneTop = s[8 * 29 + 29];
    EXPECT_NEAR(std::hypot(coneTop.p.x, coneTop.p.y), wallBottom, 0.05);
    // Without its parameters nothing can be drawn.
    o->userParameters.count = 0;
    EXPECT_TRUE(draw(o).empty());
}

TEST_F(WireframeTest, PolygonNetContoursNormalsAndTheHighlightedFacet) {
    ObjectRecord* o = makeObject(kWirePrism, 1, {0, 0, 50});
    PolynetRecord* net = allocPolynet();
    ASSERT_EQ(polynetBuildBelt(net, kPolarXY, 10, 4, 4), 1);
    o->firstSurface->typeData = net;
    auto s = draw(o);
    // Four facets of one closed four-corner contour each.
    ASSERT_EQ(s.size(), 16u);
    EXPECT_EQ(countColour(s, 12), 16);
    for (const auto& e : s) {
        EXPECT_NEAR(std::fabs(e.p.z - 50), 2, 1e-4);
        EXPECT_NEAR(std::hypot(e.p.x, e.p.y), 10, 1e-4); // corners on the radius
    }
    EXPECT_TRUE(near(s[3].q, s[0].p)); // closed
    EXPECT_EQ(plotState().currentColour, 15);

    viewModeState().facetNormals = 1;
    s = draw(o);
    ASSERT_EQ(s.size(), 4u * (4 + 1 + 4));
    // The first normal starts at the facet's centre and points away from the axis.
    const Segment& normal = s[4];
    EXPECT_NEAR(std::hypot(normal.p.x, normal.p.y), 10 / std::sqrt(2.0), 1e-4);
    EXPECT_NEAR(displaytest::length(normal), 0.04 * (75 + 50 + 100), 1e-4);
    EXPECT_GT(std::hypot(normal.q.x, normal.q.y), 10 / std::sqrt(2.0));

    viewModeState().facetNormals = 0;
    setSurfaceHighlight(o->number, 2, 13);
    s = draw(o);
    ASSERT_EQ(s.size(), 16u + 4u);
    EXPECT_EQ(countColour(s, 13), 4);
    EXPECT_TRUE(near(s[16].p, s[4].p));    // facet 2 again
    setSurfaceHighlight(o->number, 9, 13); // no such facet: nothing more
    EXPECT_EQ(draw(o).size(), 16u);
}

TEST_F(WireframeTest, CylindricalLensSurfacesByRole) {
    wireframeDetail = 2;
    ObjectRecord* o = makeObject(kWireCylindricLens, 6);
    SurfaceRecord* s1 = surfaceAt(o, 1);
    setQuadric(s1, 0, 1e-4, 1e-4, {0, 0, -0.02}, 0); // y^2 + (z - 100)^2 = 100^2
    s1->shapeCode = kShapeCylinder;
    const double sag = 100 - std::sqrt(1e4 - 400);
    setExtent(s1, -40, 40, -20, 20, 0, sag);
    SurfaceRecord* s2 = surfaceAt(o, 2);
    setQuadric(s2, 0, 0, 0, {0, 0, 1}, -20);
    s2->shapeCode = kShapeCylinder; // flat by its quadric
    setExtent(s2, -40, 40, -20, 20, 20, 20);
    for (int i : {3, 4}) {
        SurfaceRecord* s = surfaceAt(o, i);
        setQuadric(s, 0, 0, 0, {0, 1, 0}, i == 3 ? -20 : 20);
        setExtent(s, -40, 40, -20, 20, 0, 20);
    }
    for (int i : {5, 6}) {
        SurfaceRecord* s = surfaceAt(o, i);
        setQuadric(s, 0, 0, 0, {1, 0, 0}, i == 5 ? 40 : -40);
        setExtent(s, -40, 40, -20, 20, 0, 20);
    }
    auto seg = draw(o);
    // Face 1: one section each way (10 segments each) and four edge curves (23 each); face 2
    // edge curves only; side walls two lines; end faces their rectangles.
    ASSERT_EQ(seg.size(), (20u + 92) + 92 + 2 * 2 + 2 * 4);
    EXPECT_EQ(countColour(seg, 11), static_cast<int>(seg.size()));
    for (int i = 0; i < 112; ++i)
        EXPECT_NEAR(seg[i].p.y * seg[i].p.y + std::pow(seg[i].p.z - 100, 2), 1e4, 0.05);
    const Segment& end = seg[seg.size() - 4];
    EXPECT_NEAR(end.p.x, 40, 1e-9); // on the plane x = 40 of the sixth surface
}

} // namespace
