#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "display/plot/plot_primitives.h"
#include "display/views/display_state.h"

namespace {

// Viewport 0..100 x 0..100 in device units.
class ClipTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetDisplayState();
        setScreenRange(0, 100, 0, 100);
    }
    void TearDown() override { resetDisplayState(); }

    bool clip(PlotPoint a, PlotPoint b) {
        p = a;
        q = b;
        return clipToViewport(p, q);
    }
    PlotPoint p, q;
};

#define EXPECT_POINT(pt, ex, ey)                                                                   \
    do {                                                                                           \
        EXPECT_NEAR((pt).x, ex, 1e-9);                                                             \
        EXPECT_NEAR((pt).y, ey, 1e-9);                                                             \
    } while (0)

TEST_F(ClipTest, InsideSegmentIsKeptUnchanged) {
    ASSERT_TRUE(clip({10, 20}, {90, 80}));
    EXPECT_POINT(p, 10, 20);
    EXPECT_POINT(q, 90, 80);
}

TEST_F(ClipTest, CrossingEachEdgeEndsOnThatEdge) {
    ASSERT_TRUE(clip({-50, 50}, {50, 50})); // low x
    EXPECT_POINT(p, 0, 50);
    EXPECT_POINT(q, 50, 50);
    ASSERT_TRUE(clip({50, 50}, {150, 100})); // high x
    EXPECT_POINT(q, 100, 75);
    ASSERT_TRUE(clip({20, -20}, {20, 30})); // low y
    EXPECT_POINT(p, 20, 0);
    ASSERT_TRUE(clip({40, 60}, {80, 140})); // high y
    EXPECT_POINT(q, 60, 100);
}

TEST_F(ClipTest, BothEndsOutsideOnOppositeSides) {
    ASSERT_TRUE(clip({-100, 50}, {200, 50}));
    EXPECT_POINT(p, 0, 50);
    EXPECT_POINT(q, 100, 50);
    ASSERT_TRUE(clip({50, 300}, {50, -300}));
    EXPECT_POINT(p, 50, 100);
    EXPECT_POINT(q, 50, 0);
}

TEST_F(ClipTest, AcrossACornerBothEndsMove) {
    // The line x + y = 40 enters through the low x edge and leaves through the low y edge.
    ASSERT_TRUE(clip({-10, 50}, {50, -10}));
    EXPECT_POINT(p, 0, 40);
    EXPECT_POINT(q, 40, 0);
    // A point beyond a corner needs both of its bits.
    ASSERT_TRUE(clip({-20, -10}, {40, 20}));
    EXPECT_POINT(p, 0, 0);
    ASSERT_TRUE(clip({120, 130}, {50, 60}));
    EXPECT_POINT(p, 90, 100);
}

TEST_F(ClipTest, SegmentsThatMissTheViewportAreRejected) {
    EXPECT_FALSE(clip({-10, 10}, {-5, 90}));  // both left
    EXPECT_FALSE(clip({10, 110}, {90, 150})); // both above
    // Outside on different sides, passing beyond the corner: no shared bit at first.
    EXPECT_FALSE(clip({-10, 5}, {5, -10}));
    EXPECT_FALSE(clip({95, 120}, {120, 95}));
}

TEST_F(ClipTest, ZeroLengthSegments) {
    ASSERT_TRUE(clip({30, 30}, {30, 30}));
    EXPECT_POINT(p, 30, 30);
    EXPECT_POINT(q, 30, 30);
    ASSERT_TRUE(clip({0, 100}, {0, 100})); // on the corner itself
    EXPECT_FALSE(clip({-1, 30}, {-1, 30}));
}

TEST_F(ClipTest, HugeAndNonFiniteCoordinates) {
    ASSERT_TRUE(clip({-1e300, 50}, {1e300, 50}));
    EXPECT_POINT(p, 0, 50);
    EXPECT_POINT(q, 100, 50);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(clip({nan, 10}, {20, 20}));
    EXPECT_FALSE(clip({10, 10}, {inf, 20}));
    EXPECT_FALSE(clip({-inf, 50}, {inf, 50}));
}

TEST_F(ClipTest, EmptyViewportShowsNothingAndDoesNotHang) {
    // Low edge beyond the high edge after clamping to the screen range.
    setViewport(60, 40, 0, 100);
    EXPECT_FALSE(clip({-10, 50}, {110, 50}));
    EXPECT_FALSE(clip({50, 50}, {50, 50}));
    setViewport(200, 300, 0, 100);
    EXPECT_FALSE(clip({-10, 50}, {110, 50}));
}

TEST_F(ClipTest, ViewportIsClampedToTheScreenRange) {
    setViewport(-50, 50, 20, 500);
    const PlotRange& v = plotState().viewport;
    EXPECT_EQ(v.x1, 0);
    EXPECT_EQ(v.x2, 50);
    EXPECT_EQ(v.y1, 20);
    EXPECT_EQ(v.y2, 100);
    ASSERT_TRUE(clip({-10, 50}, {110, 50}));
    EXPECT_POINT(p, 0, 50);
    EXPECT_POINT(q, 50, 50);
}

} // namespace
