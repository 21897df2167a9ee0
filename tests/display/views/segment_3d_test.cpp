#include "display/views/annotations.h"
#include "display/plot/plot_files.h"
#include "tests/display/view_fixture.h"

namespace {

using displaytest::ViewTest;
using Lines = std::vector<std::string>;

class SegmentTest : public ViewTest {
  protected:
    void SetUp() override {
        ViewTest::SetUp();
        beginViewDraw(host, surface);
        setViewFromAngles(0, 0, {0, 0, 0}); // looking along -z: x right, y up
        setWindow(-100, 100, -100, 100);
    }
    HeadlessViewHost host{800, 600};
};

TEST_F(SegmentTest, ProjectsMovesAndDraws) {
    openPlotFile("out.dsp");
    EXPECT_EQ(drawSegment3d({-10, 0, 5}, {10, 20, -5}), 1);
    Lines d = fileLines(plotState().displayFile, "out.dsp");
    EXPECT_EQ(Lines(d.end() - 2, d.end()), (Lines{"ma -10 0", "la 10 20"}));
}

TEST_F(SegmentTest, HiddenSegmentsAreExportedButNotDrawn) {
    // Behind the eye: nothing visible.
    eyeDistance = 50;
    setViewFromAngles(0, 0, {0, 0, 0});
    auto s = capture([] { EXPECT_EQ(drawSegment3d({0, 0, 60}, {1, 0, 70}), 0); });
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].label, "RayData");
    EXPECT_EQ(s[0].q.z, 70);
    EXPECT_TRUE(surface.drawing().empty());
}

TEST_F(SegmentTest, LocalSegmentsGoThroughTheSurfaceFrame) {
    ObjectRecord* o = makeObject(kWireAxes, 1, {5, 6, 7});
    auto s = capture([&] { drawLocalSegment(o->firstSurface, {1, 0, 0}, {0, 0, 2}); });
    ASSERT_EQ(s.size(), 1u);
    EXPECT_TRUE(displaytest::near(s[0].p, {6, 6, 7}));
    EXPECT_TRUE(displaytest::near(s[0].q, {5, 6, 9}));
}

TEST_F(SegmentTest, LineExportRecordsAndItsOneOwner) {
    const std::string path = dir.file("lines.igs");
    ASSERT_TRUE(beginLineExport(path));
    setPenColor(12);
    setExportLabel("a-label-longer-than-twenty-characters");
    drawSegment3d({1.5, 2, 3}, {4, 5, 1e10});
    endLineExport();
    EXPECT_EQ(lineExportOn, 0);
    EXPECT_EQ(lineExportFile, nullptr);
    endLineExport(); // a second close does nothing
    EXPECT_EQ(displaytest::readLines(path),
              (Lines{"12 a-label-longer-than-", "110 1.5 2 3 4 5 1e+10"}));
    // Switching it on again starts with the ray label.
    ASSERT_TRUE(beginLineExport(path));
    EXPECT_EQ(exportLabel, "RayData");
    EXPECT_FALSE(beginLineExport(dir.file("no/such/dir/x.igs")));
    EXPECT_EQ(lineExportOn, 0);
}

} // namespace
