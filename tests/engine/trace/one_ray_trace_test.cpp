// Whole rays through objects built in the object table: the branch tree on real surfaces, the
// spot records, the depth limit and the refusals. (Paths through defined models are compared
// with independent geometry in the command-line tests.)
#include <cmath>
#include <sys/stat.h>

#include "tests/engine/trace_fixture.h"

namespace {

class OneRayTest : public TraceTest {
  protected:
    void expectPath(const std::vector<std::pair<int, Vec3>>& expected, double tol = 1e-9) {
        const auto got = rays();
        ASSERT_EQ(got.size(), expected.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(got[i].flag, expected[i].first);
            EXPECT_VEC_NEAR(got[i].point, expected[i].second, tol);
        }
    }
};

// A biconvex lens of radii 50 / -50, 10 thick, 40 across, index 1.5, at the origin; the source
// 50 in front of it.
class LensTest : public OneRayTest {
  protected:
    void SetUp() override {
        OneRayTest::SetUp();
        lens = makeLens(50, -50, 10, 40, 1.5, {0, 0, 0});
        source = makeSource({0, 0, -50});
    }
    ObjectRecord* lens = nullptr;
    ObjectRecord* source = nullptr;
};

TEST_F(LensTest, FresnelGhostsFollowTheGhostLimit) {
    fresnelOn = 1;
    const Vec3 A{0, 0, -50}, F{0, 0, -5}, B{0, 0, 5}, fwd{0, 0, 2505}, back{0, 0, -2505};
    // Two generations of ghosts with the energy limit low enough for the ghost of a ghost (the
    // three limits at the usual energy limit are run through the command line).
    maxGhosts = 2;
    minRayEnergy = 0.001;
    traceSingleRay({0, 0, 1}, source);
    expectPath({{1, A},
                {0, F},
                {0, B},
                {0, fwd},
                {1, B},
                {0, F},
                {0, back},
                {1, F},
                {0, B},
                {0, fwd},
                {1, F},
                {0, back}});
}

TEST_F(LensTest, GhostEnergiesReachADetector) {
    fresnelOn = 1;
    maxGhosts = 2;
    minRayEnergy = 0.001;
    ObjectRecord* film = makePlaneObject({0, 0, 20}, 100, kTypeRaytraceDetector);
    traceSingleRay({0, 0, 1}, source);
    const auto hits = spots();
    ASSERT_EQ(hits.size(), 2u);
    // Every face passes 0.96 and reflects 0.04.
    EXPECT_NEAR(hits[0].energy, 0.96 * 0.96, 1e-12);
    EXPECT_NEAR(hits[1].energy, 0.96 * 0.04 * 0.04 * 0.96, 1e-12);
    for (const auto& h : hits) {
        EXPECT_EQ(h.objectNumber, film->number);
        EXPECT_EQ(h.surfaceNumber, 1);
        EXPECT_VEC_NEAR(h.point, (Vec3{0, 0, 0}), 1e-12);
        EXPECT_VEC_NEAR(h.direction, (Vec3{0, 0, 1}), 1e-12);
    }
}

TEST_F(OneRayTest, DetectorSpotsInARayTraceOnly) {
    ObjectRecord* film = makePlaneObject({0, 0, 100}, 50, kTypeRaytraceDetector);
    ObjectRecord* source = makeSource({3, 4, 0});
    wavelengthIndex = 2;
    traceSingleRay({0, 0, 1}, source);
    expectPath({{1, {3, 4, 0}}, {0, {3, 4, 100}}});
    auto hits = spots();
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_VEC_NEAR(hits[0].point, (Vec3{3, 4, 0}), 1e-12);
    EXPECT_EQ(hits[0].energy, 1.0);
    EXPECT_EQ(hits[0].objectNumber, film->number);
    EXPECT_EQ(hits[0].surfaceNumber, 1);
    EXPECT_VEC_NEAR(hits[0].direction, (Vec3{0, 0, 1}), 1e-12);
    EXPECT_EQ(hits[0].wavelengthIndex, 2);

    // Image rendering treats a detector as any surface and writes no spot.
    traceMode = kTraceModeImage;
    traceSingleRay({0, 0, 1}, source);
    expectPath({{1, {3, 4, 0}}, {0, {3, 4, 100}}, {0, {3, 4, 2600}}});
}

TEST_F(OneRayTest, SpotEnergyIsWhatReachesTheDetectorThroughTheMedium) {
    makePlaneObject({0, 0, 100}, 50, kTypeRaytraceDetector);
    ObjectRecord* murk = makeObject(kTypeLens);
    murk->firstSurface->index = 1.0;
    murk->firstSurface->absorbtivity = 0.01;
    ObjectRecord* source = makeSource({0, 0, 0});
    source->firstSurface->inside = murk->firstSurface;
    traceSingleRay({0, 0, 1}, source);
    ASSERT_EQ(spots().size(), 1u);
    // 100 units through absorptivity 0.01.
    EXPECT_DOUBLE_EQ(spots()[0].energy, std::exp(-1.0));
}

TEST_F(OneRayTest, DepthLimitEndsTheBranchAndThePendingOnesGoOn) {
    // A mirror at z = 0 and a half mirror at z = 10: the ray bounces between them.
    makePlaneObject({0, 0, 0}, 100)->firstSurface->reflectance = 1;
    makePlaneObject({0, 0, 10}, 100)->firstSurface->reflectance = 0.5;
    maxRayDepth = 3;
    maxGhosts = 1;
    minRayEnergy = 0;
    traceSingleRay({0, 0, 1}, makeSource({0, 0, 5}));
    const Vec3 up{0, 0, 10}, down{0, 0, 0};
    // Followed: up (a tie: the reflection is followed, the transmission stored at level 0),
    // down, up (stored at level 2), then the limit. The branch of level 2 starts at the limit
    // and ends at once; the one of level 0 leaves upwards.
    expectPath({{1, {0, 0, 5}}, {0, up}, {0, down}, {0, up}, {1, up}, {1, up}, {0, {0, 0, 2510}}});
    const std::string message =
        "Maximum ray depth (3) exceeded.  Trace terminated.\nSee SET command.\n";
    EXPECT_EQ(screen(), message + message);
}

TEST_F(OneRayTest, UnwritableRayFileEndsTheRayWithOneMessage) {
    ASSERT_EQ(mkdir(home("rays.dat").c_str(), 0755), 0);
    makePlaneObject({0, 0, 10}, 100);
    EXPECT_EQ(traceSingleRay({0, 0, 1}, makeSource({})), 1);
    EXPECT_EQ(screen(), "ERROR: Error writing ray data -- possibly out of disk space.\n");
}

TEST_F(OneRayTest, RefusesWhatItCannotTrace) {
    ObjectRecord* bare = makeObject(kTypeLightSource, 0);
    EXPECT_EQ(traceSingleRay({0, 0, 1}, bare), 0);
    EXPECT_EQ(traceSingleRay({0, 0, 1}, nullptr), 0);
    EXPECT_EQ(traceSingleRay({0, 0, 0}, makeSource({})), 0);
    EXPECT_EQ(traceSingleRay({NAN, 0, 1}, makeSource({})), 0);
    EXPECT_FALSE(std::filesystem::exists(home("rays.dat")));
    EXPECT_TRUE(hooks.boxes.empty());
}

} // namespace
