#include <algorithm>

#include "display/views/annotations.h"
#include "display/plot/plot_files.h"
#include "tests/display/view_fixture.h"

namespace {

using displaytest::near;
using displaytest::Segment;
using displaytest::ViewTest;
using Lines = std::vector<std::string>;

class AnnotationTest : public ViewTest {
  protected:
    void SetUp() override {
        ViewTest::SetUp();
        beginViewDraw(host, surface);
        setViewFromAngles(0, 0, {0, 0, 0});
        setWindow(-200, 200, -150, 150);
    }
    bool drewText(const std::string& text) {
        auto d = surface.drawing();
        return std::any_of(d.begin(), d.end(), [&](const std::string& c) {
            return c.starts_with("text ") && c.ends_with(" " + text);
        });
    }
    HeadlessViewHost host{800, 600};
};

TEST_F(AnnotationTest, GridTicksRunAlongTheWorkboxEdgesOfThePlane) {
    EXPECT_TRUE(capture([] { drawGrid(2); }).empty()); // grids off
    gridOn = 1;
    auto s = capture([] { drawGrid(2); });
    // x: -70..70 (15 positions), y: -50..50 (11), two ticks each.
    ASSERT_EQ(s.size(), 2u * (15 + 11));
    for (const Segment& t : s) {
        EXPECT_EQ(t.colour, 6);
        EXPECT_EQ(t.p.z, -100); // on the lower z face
    }
    EXPECT_TRUE(near(s[0].p, {-70, -50, -100}) && near(s[0].q, {-70, -47, -100}));
    EXPECT_TRUE(near(s[1].p, {-70, 50, -100}) && near(s[1].q, {-70, 47, -100}));
    // The tick on the axis itself is longer.
    EXPECT_TRUE(near(s[14].p, {0, -50, -100}) && near(s[14].q, {0, -46, -100}));
    EXPECT_TRUE(near(s[30].p, {-75, -50, -100}) && near(s[30].q, {-72, -50, -100}));
    EXPECT_EQ(plotState().currentColour, 15);
}

TEST_F(AnnotationTest, GridPlanesAndUnusableIncrements) {
    gridOn = 1;
    auto s = capture([] { drawGrid(0); }); // y and z, on the lower x face
    EXPECT_EQ(s.size(), 2u * (11 + 21));
    EXPECT_EQ(s[0].p.x, -75);
    gridIncrements[1] = 0;
    EXPECT_TRUE(capture([] { drawGrid(0); }).empty());
    gridIncrements[1] = 10;
    gridIncrements[2] = 0.001; // 200,001 positions on z: that axis is left out
    s = capture([] { drawGrid(0); });
    EXPECT_EQ(s.size(), 2u * 11);
    EXPECT_TRUE(capture([] { drawGrid(3); }).empty());
}

TEST_F(AnnotationTest, ResetGridIncrementBringsItIntoRange) {
    workbox.halfSize[2] = 10;
    for (double& g : gridIncrements)
        g = 0.01;
    resetGridIncrement();
    EXPECT_DOUBLE_EQ(gridIncrements[0], 1.0);
    EXPECT_DOUBLE_EQ(gridIncrements[1], 1.0);
    EXPECT_NE(screen().find("Grid increment has been reset to 1.000000 cm."), std::string::npos);
    const std::string before = screen();
    resetGridIncrement(); // 10 / 1 lies in 5..50: no change, no message
    EXPECT_EQ(screen(), before);
    gridIncrements[0] = 1000;
    resetGridIncrement();
    EXPECT_NEAR(gridIncrements[0], 1.0, 1e-9);
    for (double bad : {0.0, -2.0}) {
        gridIncrements[0] = bad;
        resetGridIncrement(); // must come back, and leave it alone
        EXPECT_EQ(gridIncrements[0], bad);
    }
    gridIncrements[0] = 1;
    workbox.halfSize[2] = 0;
    resetGridIncrement();
    EXPECT_EQ(gridIncrements[0], 1);
}

TEST(TrimTrailingZeros, KeepsOneCharacterAfterTheLastNonZero) {
    EXPECT_EQ(trimTrailingZeros("1.500000"), "1.50");
    EXPECT_EQ(trimTrailingZeros("2.000000"), "2.0");
    EXPECT_EQ(trimTrailingZeros("10.000000"), "10.0");
    EXPECT_EQ(trimTrailingZeros("0.000000"), "0.0");
    EXPECT_EQ(trimTrailingZeros("1.234567"), "1.234567");
    EXPECT_EQ(trimTrailingZeros("100"), "100");
}

TEST_F(AnnotationTest, GridLabelNamesIncrementAndUnit) {
    drawGridLabel(2.5);
    EXPECT_FALSE(drewText("GRID = 2.50 cm."));
    gridOn = 1;
    currentUnit = 1;
    drawGridLabel(2.5);
    EXPECT_TRUE(drewText("GRID = 2.50 mm."));
    EXPECT_EQ(plotState().textHeightDivisor, 300);
    EXPECT_EQ(plotState().currentColour, 6);
}

TEST_F(AnnotationTest, WorkboxOutlineHasTwelveEdgesAndRestoresTheColour) {
    setPenColor(5);
    auto s = capture([] { drawWorkboxOutline({1, 2, 3}, {10, 20, 30}); });
    ASSERT_EQ(s.size(), 12u);
    double total = 0;
    for (const Segment& e : s) {
        EXPECT_EQ(e.colour, 1);
        total += displaytest::length(e);
    }
    EXPECT_DOUBLE_EQ(total, 4 * (20 + 40 + 60));
    EXPECT_EQ(plotState().currentColourIndex, 5);
}

TEST_F(AnnotationTest, AxisTriadDrawsInTheCornerAndRestoresTheState) {
    eyeDistance = 500;
    plotState().textHeightDivisor = 280;
    const PlotRange viewport = plotState().viewport;
    PlotRange during;
    auto s = capture([&] { drawAxisTriad(10, 1, 0, 1); });
    ASSERT_EQ(s.size(), 3u);
    EXPECT_TRUE(near(s[0].q - s[0].p, {10, 0, 0}));
    EXPECT_TRUE(near(s[2].q - s[2].p, {0, 0, 10}));
    EXPECT_TRUE(drewText("X"));
    EXPECT_FALSE(drewText("Y"));
    EXPECT_TRUE(drewText("Z"));
    EXPECT_EQ(eyeDistance, 500);
    EXPECT_EQ(plotState().textHeightDivisor, 280);
    during = plotState().viewport;
    EXPECT_EQ(during.x2, viewport.x2);
    EXPECT_EQ(during.y2, viewport.y2);
    // Every stroke lies in the lower-left fifth of the picture.
    for (const auto& call : surface.drawing()) {
        if (!call.starts_with("line")) continue;
        int x = 0, y = 0;
        std::sscanf(call.c_str(), "line %d %d", &x, &y);
        EXPECT_LE(x, 0.2 * 799 + 1) << call;
        EXPECT_GE(y, 599 - 0.2 * 599 - 1) << call;
    }
}

TEST_F(AnnotationTest, DimensionBoxWritesBothSizes) {
    openPlotFile("dim.dsp");
    drawDimensionBox(0, 50, 0, 20);
    Lines d = fileLines(plotState().displayFile, "dim.dsp");
    // Colour, two dimension lines and four arrow heads of four strokes each, then the strokes
    // of the two texts.
    EXPECT_EQ(d[0], "c 11");
    EXPECT_EQ(d[1], "ma 0 22");
    EXPECT_EQ(d[2], "la 50 22");
    EXPECT_EQ(plotState().textHeightDivisor, 250);
    closePlotFile();
    surface.calls.clear();
    drawDimensionBox(0, 50, 0, 20);
    EXPECT_TRUE(drewText("20.0 cm."));
    EXPECT_TRUE(drewText("50.0 cm."));
}

TEST_F(AnnotationTest, PlotFrameFollowsTheFrameSetting) {
    openPlotFile("frame.dsp");
    viewFrame = 0;
    drawPlotFrame();
    EXPECT_TRUE(fileLines(plotState().displayFile, "frame.dsp").empty());
    viewFrame = 1;
    setWindow(0, 100000, 0, 100000);
    drawPlotFrame();
    EXPECT_EQ(fileLines(plotState().displayFile, "frame.dsp"),
              (Lines{"w 0 100000 0 100000", "v 0 799 0 599", "c 15", "ma 1 1", "la 99999 1",
                     "la 99999 99999", "la 1 99999", "la 1 1"}));
}

} // namespace
