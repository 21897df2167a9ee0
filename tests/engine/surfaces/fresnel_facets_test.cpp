// The facet normal of fresnel lenses: the facet itself, the centre, the edge of the facet's zone
// and the specifications that give no facet.
#include "engine/surfaces/alt_surface_routines.h"
#include "tests/engine/special_surfaces_fixture.h"

namespace {

class FresnelFacetTest : public SpecialSurfaceTest {
  protected:
    const Vec3 base{0, 0, -1};
    Vec3 normal = base;
    int beyond = 7;
    void expectBase() const {
        EXPECT_EQ(normal.x, base.x);
        EXPECT_EQ(normal.y, base.y);
        EXPECT_EQ(normal.z, base.z);
    }
};

TEST_F(FresnelFacetTest, RadialAndCylindricalFacets) {
    // Index 1.5, s 50, sp 100 at (3, 4): tilted towards the point's radius.
    EXPECT_EQ(fresnelFacetNormal({3, 4, 0}, 50, 100, 1.5, 1, 1, normal, beyond), 1);
    EXPECT_EQ(beyond, 0);
    EXPECT_NEAR(normal.x, 0.17247038290481198, 1e-14);
    EXPECT_NEAR(normal.y, 0.2299605105397493, 1e-14);
    EXPECT_NEAR(normal.z, 0.9577954534309324, 1e-14);
    // x_cylindrical facets only see x.
    normal = base;
    EXPECT_EQ(fresnelFacetNormal({3, 4, 0}, 50, 100, 1.5, 1, 0, normal, beyond), 1);
    EXPECT_NEAR(normal.x, 0.17717813693620446, 1e-14);
    EXPECT_EQ(normal.y, 0);
    EXPECT_NEAR(normal.z, 0.9841787986904694, 1e-14);
}

TEST_F(FresnelFacetTest, CentreAndFacetlessLinesKeepTheBaseNormal) {
    EXPECT_EQ(fresnelFacetNormal({0, 0, 0}, 50, 100, 1.5, 1, 1, normal, beyond), 0);
    expectBase();
    EXPECT_EQ(beyond, 0);
    // On the axis of a y_cylindrical lens (x only varies): no facet radius, yet a valid point.
    EXPECT_EQ(fresnelFacetNormal({5, 0, 0}, 50, 100, 1.5, 0, 1, normal, beyond), 1);
    expectBase();
}

TEST_F(FresnelFacetTest, BeyondTheFacetZoneAndImpossibleFacets) {
    // sp so small that the facet would have to stand past vertical at this radius.
    EXPECT_EQ(fresnelFacetNormal({3, 4, 0}, 50, 0.1, 1.5, 1, 1, normal, beyond), 0);
    EXPECT_EQ(beyond, 1);
    expectBase();
    EXPECT_EQ(newText(), "");

    // An index below the facet's slope: reported, and the ray keeps the base normal.
    EXPECT_EQ(fresnelFacetNormal({30, 40, 0}, 1, 100, 0.5, 1, 1, normal, beyond), 0);
    EXPECT_EQ(beyond, 0);
    expectBase();
    EXPECT_EQ(newText(), "ERROR: Error in fresnel surface specification.\n");

    // Where the facet would lie flat in the plane (G = 1) there is no facet either.
    const double w = 5 / std::sqrt(25.0 + 2500), v = 1 / std::sqrt(25.0 + 10000);
    const double n = std::sqrt(100 * v * 100 * v + w * w);
    EXPECT_EQ(fresnelFacetNormal({3, 4, 0}, 50, 100, n, 1, 1, normal, beyond), 0);
    expectBase();
    EXPECT_EQ(newText(), "");
}

TEST_F(FresnelFacetTest, SurfaceNormalAppliesTheFacetOfTheSurfaceIndex) {
    ObjectRecord* o = makePlaneObject({});
    SurfaceRecord* s = o->firstSurface;
    s->index = 1.5;
    ASSERT_EQ(modifyAlt("/altsurfaces/fresnel", {1.1}), 1);
    clearAltSurfaces();
    loadAltSurfaces(s);
    Vec3 n;
    surfaceNormal(s, {3, 4, 0}, {0, 0, 1}, n);
    // The facet normal, then faced against the ray.
    EXPECT_NEAR(n.x, -0.17247038290481198, 1e-14);
    EXPECT_NEAR(n.y, -0.2299605105397493, 1e-14);
    EXPECT_NEAR(n.z, -0.9577954534309324, 1e-14);
}

} // namespace
