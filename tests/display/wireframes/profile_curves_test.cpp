#include "display/wireframes/profile_curves.h"
#include "tests/display/view_fixture.h"

namespace {

using displaytest::near;
using displaytest::Segment;
using displaytest::ViewTest;

class ProfileTest : public ViewTest {
  protected:
    void SetUp() override {
        ViewTest::SetUp();
        beginViewDraw(host, surface);
        setViewFromAngles(0, 0, {0, 0, 0});
        object = makeObject(kWireMirror);
        sphere = object->firstSurface;
        setSphere(sphere, {0, 0, 0}, 10);
        setExtent(sphere, -10, 10, -10, 10, -10, 10);
    }
    ProfileSamples samples(double x, double span, int count) {
        ProfileSamples v;
        computeProfileSamples(kAxisZ, kAxisX, sphere, count, {x, 0, 0}, span, v);
        return v;
    }
    HeadlessViewHost host{800, 600};
    ObjectRecord* object = nullptr;
    SurfaceRecord* sphere = nullptr;
};

TEST(WireframeCounts, DetailTable) {
    auto c = wireframeCounts(1);
    EXPECT_EQ(c.faceCurves, 1);
    EXPECT_EQ(c.edgeCurves, 1);
    EXPECT_EQ(c.troughAcrossY, 1);
    EXPECT_EQ(c.troughAcrossX, 2);
    c = wireframeCounts(2);
    EXPECT_EQ(c.edgeCurves, 4);
    EXPECT_EQ(c.troughAcrossX, 3);
    c = wireframeCounts(3);
    EXPECT_EQ(c.faceCurves, 3);
    EXPECT_EQ(c.edgeCurves, 32);
    EXPECT_EQ(c.troughAcrossY, 16);
    c = wireframeCounts(7);
    EXPECT_EQ(c.faceCurves, 0);
    EXPECT_EQ(c.edgeCurves, 0);
    EXPECT_EQ(c.troughAcrossY, 5);
    EXPECT_EQ(c.troughAcrossX, 5);
}

TEST_F(ProfileTest, SampleCountsOutsideTwoToThirtyFiveBecomeTwentyOne) {
    EXPECT_EQ(samples(0, 10, 1).count, 21);
    EXPECT_EQ(samples(0, 10, 40).count, 21);
    EXPECT_EQ(samples(0, 10, 2).count, 2);
    EXPECT_EQ(samples(0, 10, 35).count, 35);
    // Samples run across the span about the centre.
    auto v = samples(3, 10, 3);
    EXPECT_DOUBLE_EQ(v.nearPoint[0].x, -2);
    EXPECT_DOUBLE_EQ(v.nearPoint[2].x, 8);
}

TEST_F(ProfileTest, MarksByRootsAndExtent) {
    EXPECT_EQ(samples(0, 0, 2).mark[0], kMarkBoth);
    // The line x = 10 touches the sphere once.
    auto v = samples(10, 0, 2);
    EXPECT_EQ(v.mark[0], kMarkNear);
    EXPECT_TRUE(near(v.nearPoint[0], {10, 0, 0}));
    EXPECT_EQ(samples(10.5, 0, 2).mark[0], kMarkMiss);
    setExtent(sphere, -10, 10, -10, 10, 0, 10);
    EXPECT_EQ(samples(0, 0, 2).mark[0], kMarkFar);
    setExtent(sphere, -10, 10, -10, 10, -10, 0);
    EXPECT_EQ(samples(0, 0, 2).mark[0], kMarkNear);
    setExtent(sphere, 20, 30, 20, 30, 20, 30);
    EXPECT_EQ(samples(0, 0, 2).mark[0], kMarkMiss);
    // A plane has one root: drawn wherever it lies.
    setQuadric(sphere, 0, 0, 0, {0, 0, 1}, -50);
    EXPECT_EQ(samples(0, 0, 2).mark[0], kMarkNear);
    // A line parallel to the plane has none.
    ProfileSamples p;
    computeProfileSamples(kAxisX, kAxisY, sphere, 2, {0, 0, 0}, 1, p);
    EXPECT_EQ(p.mark[0], kMarkMiss);
}

TEST_F(ProfileTest, JoinsInFivePasses) {
    // Extent cut at z = 5: at x = 0 only the near point is in, at x = +-9 both are.
    setExtent(sphere, -10, 10, -10, 10, -10, 5);
    auto v = samples(0, 18, 3);
    ASSERT_EQ(v.mark[0], kMarkBoth);
    ASSERT_EQ(v.mark[1], kMarkNear);
    ASSERT_EQ(v.mark[2], kMarkBoth);
    auto s = capture([&] { joinProfileSamples(sphere, v); });
    ASSERT_EQ(s.size(), 2u);
    // Pass 2 (1 then 2: near to far) comes before pass 3 (2 then 1: far to near).
    EXPECT_TRUE(near(s[0].p, v.nearPoint[1]) && near(s[0].q, v.farPoint[2]));
    EXPECT_TRUE(near(s[1].p, v.farPoint[0]) && near(s[1].q, v.nearPoint[1]));

    setExtent(sphere, -10, 10, -10, 10, -10, 10);
    s = capture([&] { sampleSurfaceProfile(kAxisZ, kAxisX, sphere, 5, {0, 0, 0}, 16); });
    // Four pairs of marks 2-2, each near-near then far-far.
    ASSERT_EQ(s.size(), 8u);
    EXPECT_LT(s[0].p.z, 0);
    EXPECT_GT(s[1].p.z, 0);
    for (const Segment& seg : s)
        for (const Vec3& p : {seg.p, seg.q})
            EXPECT_NEAR(dot3(p, p), 100, 1e-3);
    // Upper cap only (marks 3): far to far.
    setExtent(sphere, -10, 10, -10, 10, 0, 10);
    s = capture([&] { sampleSurfaceProfile(kAxisZ, kAxisX, sphere, 5, {0, 0, 0}, 16); });
    ASSERT_EQ(s.size(), 4u);
    for (const Segment& seg : s)
        EXPECT_GT(seg.p.z, 0);
}

TEST_F(ProfileTest, SagAndExtentTest) {
    EXPECT_DOUBLE_EQ(surfaceSag(kAxisX, sphere, {0, 0, 0}), 20);
    EXPECT_DOUBLE_EQ(surfaceSag(kAxisZ, sphere, {0, 6, 0}), 16);
    EXPECT_EQ(surfaceSag(kAxisX, sphere, {0, 10, 0}), 0); // touches once
    EXPECT_EQ(surfaceSag(kAxisX, sphere, {0, 11, 0}), 0);
    EXPECT_TRUE(pointInExtent(sphere, {10.00001, -10.00001, 0}));
    EXPECT_FALSE(pointInExtent(sphere, {10.0000101, 0, 0}));
}

} // namespace
