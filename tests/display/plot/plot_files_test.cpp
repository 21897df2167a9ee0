#include <fstream>

#include "display/plot/plot_files.h"
#include "display/views/view_host.h"
#include "tests/display/display_test_support.h"

namespace {

using displaytest::PlotTest;
using Lines = std::vector<std::string>;

class PlotFilesTest : public PlotTest {
  protected:
    void touch(const std::string& name) { std::ofstream(dir.file(name)) << "old\n"; }
};

TEST_F(PlotFilesTest, BlankNameTakesTheFirstFreePlotNumber) {
    touch("plot0");
    touch("plot1");
    touch("plot3");
    std::FILE* f = openPlotFile(" ");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(plotState().displayFileName, "plot2");
    EXPECT_EQ(plotState().displayFileOpen, 1);
    EXPECT_EQ(plotState().displayFile, f);
}

TEST_F(PlotFilesTest, TakenNameGetsTheFirstFreeLetter) {
    ASSERT_NE(openPlotFile("view.dsp"), nullptr);
    EXPECT_EQ(plotState().displayFileName, "view.dsp");
    closePlotFile();
    ASSERT_NE(openPlotFile("view.dsp"), nullptr);
    EXPECT_EQ(plotState().displayFileName, "view.dspA");
    touch("view.dspB");
    closePlotFile();
    ASSERT_NE(openPlotFile("view.dsp"), nullptr);
    EXPECT_EQ(plotState().displayFileName, "view.dspC");
    closePlotFile();
    EXPECT_EQ(testsupport::readFile(dir.file("view.dspB")), "old\n"); // never overwritten
}

TEST_F(PlotFilesTest, NoFreeLetterOpensNothingAndWritesNothing) {
    touch("full");
    for (char c = 'A'; c <= 'Z'; ++c)
        touch(std::string("full") + c);
    EXPECT_EQ(openPlotFile("full"), nullptr);
    EXPECT_EQ(plotState().displayFileOpen, 0);
    beginPage();
    setPenColor(2);
    closePlotFile();
    EXPECT_EQ(testsupport::readFile(dir.file("full")), "old\n");
    EXPECT_EQ(screen(), ""); // no "Plot file created" for a file that never was
}

TEST_F(PlotFilesTest, UnopenableNameLeavesNoDisplayFile) {
    EXPECT_EQ(openPlotFile("missing/dir/plot"), nullptr);
    EXPECT_EQ(plotState().displayFileOpen, 0);
    EXPECT_EQ(plotState().displayFile, nullptr);
}

TEST_F(PlotFilesTest, ClosingReportsTheFileAndEndsIt) {
    ASSERT_NE(openPlotFile(" "), nullptr);
    beginPage();
    closePlotFile();
    EXPECT_EQ(screen(), "Plot file created: plot0\n");
    EXPECT_EQ(plotState().displayFileOpen, 0);
    EXPECT_EQ(testsupport::readFile(dir.file("plot0")), "p\n");
    endPage(); // no longer recorded
    closePlotFile();
    EXPECT_EQ(testsupport::readFile(dir.file("plot0")), "p\n");
    EXPECT_EQ(screen(), "Plot file created: plot0\n");
}

TEST_F(PlotFilesTest, OpeningAgainFirstEndsTheOpenFile) {
    ASSERT_NE(openPlotFile(" "), nullptr);
    beginPage();
    ASSERT_NE(openPlotFile(" "), nullptr);
    endPage();
    closePlotFile();
    EXPECT_EQ(screen(), "Plot file created: plot0\nPlot file created: plot1\n");
    EXPECT_EQ(testsupport::readFile(dir.file("plot0")), "p\n");
    EXPECT_EQ(testsupport::readFile(dir.file("plot1")), "a\n");
}

TEST_F(PlotFilesTest, HpglFileThatCannotBeOpenedGivesAnInformationBox) {
    HeadlessViewHost host;
    int paints = 0;
    host.setPaintRoutine([&](ViewHost&, DrawSurface&) { ++paints; });
    EXPECT_FALSE(exportHpglPlot("missing/dir/system.hgl", host));
    ASSERT_EQ(hooks.boxes.size(), 1u);
    EXPECT_EQ(hooks.boxes[0].title, "MERIDYN Information");
    EXPECT_EQ(hooks.boxes[0].text, "Unable to open hpgl file missing/dir/system.hgl for output.");
    EXPECT_EQ(plotState().hpglFile, nullptr);
    EXPECT_EQ(paints, 0);
}

TEST_F(PlotFilesTest, HpglExportWritesOnePictureThroughTheViewsRepaint) {
    HeadlessViewHost host(400, 300);
    host.setPaintRoutine([](ViewHost& view, DrawSurface& surface) {
        beginViewDraw(view, surface);
        beginPage();
        setPenColor(3);
        moveAbs(0, 0);
        lineAbs(1200, 800);
        endPage();
        endPlot();
        closePlotFile();
        closeHpglFile();
    });
    ASSERT_TRUE(exportHpglPlot("system.hgl", host));
    EXPECT_EQ(plotState().hpglFile, nullptr);
    Lines h = displaytest::readLines(dir.file("system.hgl"));
    ASSERT_EQ(h.size(), 6u);
    EXPECT_EQ(h[0], "IN;VS 16.5;SP 1;");
    EXPECT_EQ(h[1], "SC 0 399 0 299;");
    EXPECT_EQ(h[2], "SP 3;");
    EXPECT_EQ(h[3].substr(0, 6), "PU;PA ");
    EXPECT_EQ(h[4].substr(0, 6), "PD;PA ");
    EXPECT_EQ(h[5], "SP 0; IN;");
    // The same repaint drew the diagonal on the raster in pen 3.
    int red = 0;
    for (int y = 0; y < 300; ++y)
        red += host.raster().pixel(200, y) == screenPenColour(3);
    EXPECT_EQ(red, 1);
}

TEST_F(PlotFilesTest, NewHpglExportReplacesOneThatWasNeverDrawn) {
    ASSERT_TRUE(openHpglFile("first.hgl"));
    ASSERT_TRUE(openHpglFile("second.hgl"));
    endPlot();
    closeHpglFile();
    EXPECT_FALSE(std::filesystem::exists(dir.file("first.hgl"))); // dropped, never drawn
    EXPECT_EQ(testsupport::readFile(dir.file("second.hgl")), "IN;VS 16.5;SP 1;\nSP 0; IN;\n");
}

} // namespace
