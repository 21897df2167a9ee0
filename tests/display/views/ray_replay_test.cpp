#include <fstream>
#include <limits>

#include "display/views/ray_replay.h"
#include "platform/scripted_hooks.h"
#include "tests/display/view_fixture.h"

namespace {

using displaytest::near;
using displaytest::Segment;
using displaytest::ViewTest;

class ReplayTest : public ViewTest {
  protected:
    void SetUp() override {
        ViewTest::SetUp();
        setViewFromAngles(0, 0, {0, 0, 0});
        beginViewDraw(host, surface);
    }
    // Writes rays.dat from (flag, point) records, then `tail` extra bytes of a cut record.
    void writeRays(const std::vector<RayPointRecord>& records, int tail = 0) {
        std::ofstream out(rayFilePath(), std::ios::binary | std::ios::trunc);
        unsigned char b[kRayRecordBytes] = {};
        for (const auto& r : records) {
            encodeRayRecord(r, b);
            out.write(reinterpret_cast<const char*>(b), kRayRecordBytes);
        }
        out.write(reinterpret_cast<const char*>(b), tail);
    }
    std::vector<Segment> replay() {
        return capture([] { replayRays(); });
    }
    HeadlessViewHost host{800, 600};
};

const double kNan = std::numeric_limits<double>::quiet_NaN();

TEST_F(ReplayTest, MissingOrShortFileDrawsNothingAndSaysNothing) {
    EXPECT_TRUE(replay().empty());
    writeRays({}, 27);
    EXPECT_TRUE(replay().empty());
    writeRays({{1, {0, 0, 0}}}, 20);
    EXPECT_TRUE(replay().empty());
    EXPECT_EQ(screen().find("Bad points"), std::string::npos);
}

TEST_F(ReplayTest, PathsFollowTheirFlagsAndExitPointsContinueThem) {
    writeRays({{1, {0, 0, 0}},
               {0, {10, 0, 0}},
               {-1, {10, 10, 0}}, // a far point belongs to its path
               {1, {50, 0, 0}},
               {0, {50, 0, 5}},
               {2, {0, 7, 0}}}); // a path start that draws nothing after it
    auto s = replay();
    ASSERT_EQ(s.size(), 3u);
    EXPECT_TRUE(near(s[0].p, {0, 0, 0}) && near(s[0].q, {10, 0, 0}));
    EXPECT_TRUE(near(s[1].p, {10, 0, 0}) && near(s[1].q, {10, 10, 0}));
    EXPECT_TRUE(near(s[2].p, {50, 0, 0}) && near(s[2].q, {50, 0, 5}));
    // Without cyclic colours a path is drawn in the colour of its first flag.
    EXPECT_EQ(s[0].colour, 1);
    EXPECT_EQ(s[2].colour, 1);
}

TEST_F(ReplayTest, BadPointEndsThePathAndTheNextGoodPointStartsOne) {
    writeRays({{1, {0, 0, 0}},
               {0, {1, 0, 0}},
               {0, {kNan, 0, 0}},
               {0, {0, 5, 0}},
               {0, {0, 6, 0}},
               {0, {0, std::numeric_limits<double>::infinity(), 0}}});
    auto s = replay();
    ASSERT_EQ(s.size(), 2u);
    EXPECT_TRUE(near(s[0].q, {1, 0, 0}));
    EXPECT_TRUE(near(s[1].p, {0, 5, 0}) && near(s[1].q, {0, 6, 0}));
    EXPECT_NE(screen().find("ERROR: 2 Bad points are found in ray data."), std::string::npos);
}

TEST_F(ReplayTest, ABadFirstPointStartsNoPath) {
    writeRays({{1, {kNan, 0, 0}}, {0, {0, 0, 0}}, {0, {3, 0, 0}}});
    auto s = replay();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_TRUE(near(s[0].p, {0, 0, 0}) && near(s[0].q, {3, 0, 0}));
}

TEST_F(ReplayTest, CyclicColoursCountSegmentsFromTwoAndWrap) {
    cyclicRayColours = 1;
    std::vector<RayPointRecord> path{{1, {0, 0, 0}}};
    for (int i = 1; i <= 16; ++i)
        path.push_back({0, {static_cast<double>(i), 0, 0}});
    writeRays(path);
    auto s = replay();
    ASSERT_EQ(s.size(), 16u);
    EXPECT_EQ(s[0].colour, 2);
    EXPECT_EQ(s[13].colour, 15);
    EXPECT_EQ(s[14].colour, 1);
    EXPECT_EQ(s[15].colour, 2);
}

TEST_F(ReplayTest, FlagColoursAndTheHighlightedSegment) {
    setRayHighlight(2, 2, 13);
    writeRays({{3, {0, 0, 0}}, {0, {1, 0, 0}}, {1, {0, 1, 0}}, {0, {1, 1, 0}}, {0, {2, 1, 0}}});
    auto s = replay();
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[0].colour, 3);  // the wavelength's colour from the first flag
    EXPECT_EQ(s[1].colour, 1);  // path 2, segment 1
    EXPECT_EQ(s[2].colour, 13); // path 2, segment 2 is highlighted
    EXPECT_EQ(rayColour(2, 2, 1), 13);
    setRayHighlight(2, -1, 13);
    EXPECT_EQ(rayColour(2, 2, 1), 1);
}

TEST_F(ReplayTest, ArrowHeadsSitAtThePositionAcrossTheYPlane) {
    rayArrows = 1;
    arrowPosition = 0.5;
    arrowHeadSize = 5;
    writeRays({{1, {0, 0, 0}}, {0, {100, 0, 0}}, {0, {105.4, 0, 0}}});
    auto s = replay();
    // The second segment (5.4 long) is shorter than 1.1 x 5: no head.
    ASSERT_EQ(s.size(), 6u);
    const double half = 2.5 * 0.67;
    EXPECT_TRUE(near(s[1].p, {47.5, half, 0}) && near(s[1].q, {52.5, 0, 0}));
    EXPECT_TRUE(near(s[2].p, {47.5, -half, 0}) && near(s[2].q, {52.5, 0, 0}));
    EXPECT_TRUE(near(s[3].p, {47.5, half, 0}) && near(s[3].q, {47.5, 0, 0}));
    EXPECT_TRUE(near(s[4].p, {47.5, -half, 0}) && near(s[4].q, {47.5, 0, 0}));
}

TEST_F(ReplayTest, ArrowHeadLengthRules) {
    // Beyond the workbox's z half size the head moves to 5 head lengths from the start.
    workbox.halfSize[2] = 100;
    auto s = capture([] { drawArrowHead({0, 0, 0}, {0, 0, 300}, 0.9, 2); });
    ASSERT_EQ(s.size(), 4u);
    EXPECT_TRUE(near(s[0].q, {0, 0, 11}));
    // Along y the side direction is z.
    s = capture([] { drawArrowHead({0, 0, 0}, {0, 10, 0}, 0.5, 2); });
    ASSERT_EQ(s.size(), 4u);
    EXPECT_TRUE(near(s[0].p, {0, 4, 0.67}));
    // Exactly 1.1 head lengths still has a head; a zero-length segment never has one.
    EXPECT_EQ(capture([] { drawArrowHead({0, 0, 0}, {1.1, 0, 0}, 0.5, 1); }).size(), 4u);
    EXPECT_TRUE(capture([] { drawArrowHead({1, 1, 1}, {1, 1, 1}, 0.5, 0); }).empty());
}

} // namespace

TEST_F(ReplayTest, ALongReplayShowsProgressAndStopsAtEscape) {
    // 60000 two-point paths: the replay polls every 8192 records and the third poll sees Escape.
    std::vector<RayPointRecord> records;
    for (int i = 0; i < 60000; ++i) {
        records.push_back({1, {0, 0, 0}});
        records.push_back({0, {10, static_cast<double>(i % 50), 0}});
    }
    writeRays(records);
    platform::ScriptedHooks hooks;
    platform::ScopedHooks guard(hooks);
    hooks.escapeOnPoll = 3;
    const auto s = replay();
    EXPECT_EQ(hooks.polls, 3);
    EXPECT_EQ(hooks.lastTotal, 120000);
    EXPECT_EQ(s.size(), 3u * 8192 / 2);
    EXPECT_EQ(abortRequest, 1);
    abortRequest = 0;
    // Without Escape every path is drawn.
    hooks.escapeOnPoll = -1;
    EXPECT_EQ(replay().size(), 60000u);
}
