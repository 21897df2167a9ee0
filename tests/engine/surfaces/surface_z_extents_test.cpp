// The z range of a quadric over its x-y extents.
#include "engine/surfaces/surface_z_extents.h"
#include "tests/engine/surface_fixture.h"

namespace {

class SurfaceZExtentsTest : public SurfaceTest {
  protected:
    SurfaceRecord* s = nullptr;
    void SetUp() override {
        SurfaceTest::SetUp();
        s = makeObject(kTypeMirror)->firstSurface;
    }
};

TEST_F(SurfaceZExtentsTest, Paraboloid) {
    // x^2 + y^2 = 4 f z with f = 25 over [-10, 10] x [-10, 10]: 0 at the centre, 2 at a corner.
    setQuadric(s, {1, 1, 0}, {0, 0, -100}, 0);
    setExtent(s, -10, 10, -10, 10, 0, 0);
    double zmin = 7, zmax = 7;
    ASSERT_EQ(surfaceZExtents(s, zmin, zmax), 1);
    EXPECT_NEAR(zmin, -0.00002, 1e-12);
    EXPECT_NEAR(zmax, 2.00002, 1e-12);
}

TEST_F(SurfaceZExtentsTest, TroughIsFlatAlongItsLength) {
    // y^2 = 4 f z, f = 2, over x in [0, 300], y in [-4, 4]: z from 0 to 2.
    setQuadric(s, {0, 1, 0}, {0, 0, -8}, 0);
    setExtent(s, 0, 300, -4, 4, 0, 0);
    double zmin = 0, zmax = 0;
    ASSERT_EQ(surfaceZExtents(s, zmin, zmax), 1);
    const double range = 2;
    EXPECT_NEAR(zmin, -0.00001 * range, 1e-12);
    EXPECT_NEAR(zmax, range * 1.00001, 1e-12);
}

TEST_F(SurfaceZExtentsTest, SphereCountsOnlyItsNearCap) {
    // A sphere of radius 10 through the origin, centre on +z, over [-6, 6] x [-6, 6]: the cap
    // rises to 10 - sqrt(100 - 72) at the corners; the far side at z near 20 does not count.
    setSphere(s, {0, 0, 10}, 10);
    setExtent(s, -6, 6, -6, 6, 0, 0);
    double zmin = 0, zmax = 0;
    ASSERT_EQ(surfaceZExtents(s, zmin, zmax), 1);
    const double rim = 10 - std::sqrt(28.0);
    EXPECT_NEAR(zmin, -0.00001 * rim, 1e-9);
    EXPECT_NEAR(zmax, rim * 1.00001, 1e-9);
}

TEST_F(SurfaceZExtentsTest, NothingToSampleLeavesTheRangeAlone) {
    setSphere(s, {0, 0, 10}, 10);
    double zmin = -3, zmax = 4;
    setExtent(s, 0, 0, -6, 6, 0, 0); // no x extent
    EXPECT_EQ(surfaceZExtents(s, zmin, zmax), 0);
    setExtent(s, -6, 6, 6, -6, 0, 0); // reversed y extent
    EXPECT_EQ(surfaceZExtents(s, zmin, zmax), 0);
    setExtent(s, 20, 30, 20, 30, 0, 0); // beyond the sphere: no grid line meets it
    EXPECT_EQ(surfaceZExtents(s, zmin, zmax), 0);
    setQuadric(s, {1, 1, 0}, {0, 0, 0}, -1); // a cylinder along z is never met along z
    setExtent(s, -6, 6, -6, 6, 0, 0);
    EXPECT_EQ(surfaceZExtents(s, zmin, zmax), 0);
    EXPECT_EQ(zmin, -3);
    EXPECT_EQ(zmax, 4);
}

} // namespace
