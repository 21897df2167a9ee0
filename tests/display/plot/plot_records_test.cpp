#include <clocale>
#include <cmath>

#include "command/settings/settings.h"
#include "display/plot/plot_files.h"
#include "display/raster/recording_surface.h"
#include "display/views/view_host.h"
#include "tests/display/display_test_support.h"

namespace {

using displaytest::PlotTest;
using Lines = std::vector<std::string>;

// Black on white: index 0 stays 0, every other index draws with pen 15.
int blackOnWhite(int index) {
    return index == 0 ? 0 : 15;
}

class RecordsTest : public PlotTest {
  protected:
    std::FILE* openDisplay() { return openPlotFile("out.dsp"); }
    std::FILE* openHpgl() {
        EXPECT_TRUE(openHpglFile("out.hgl"));
        return plotState().hpglFile;
    }
    Lines display() { return fileLines(plotState().displayFile, "out.dsp"); }
    Lines hpgl() { return fileLines(plotState().hpglFile, "out.hgl"); }
    // Everything after the HPGL file's first line.
    Lines hpglBody() {
        Lines l = hpgl();
        if (!l.empty()) l.erase(l.begin());
        return l;
    }
};

TEST_F(RecordsTest, SetWindowOrdersTheWindowButRecordsTheArguments) {
    openDisplay();
    setScreenRange(0, 799, 0, 599);
    setWindow(2, 1, 5, 3);
    const PlotRange& w = plotState().window;
    EXPECT_EQ(w.x1, 1);
    EXPECT_EQ(w.x2, 2);
    EXPECT_EQ(w.y1, 3);
    EXPECT_EQ(w.y2, 5);
    EXPECT_EQ(display(), (Lines{"s 0 799 0 599", "w 2 1 5 3", "v 0 799 0 599"}));
}

TEST_F(RecordsTest, RecordsTruncateAndKeepArgumentOrder) {
    openDisplay();
    setScreenRange(10.9, -3.7, 600, 0);
    setViewport(-20.5, 5000, 7.99, 3);
    EXPECT_EQ(display(), (Lines{"s 10 -3 600 0", "v -20 5000 7 3"}));
    const PlotRange& v = plotState().viewport;
    EXPECT_EQ(v.x1, -3.7); // clamped to the ordered screen range
    EXPECT_EQ(v.x2, 10.9);
    EXPECT_EQ(v.y1, 7.99);
    EXPECT_EQ(v.y2, 3);
}

TEST_F(RecordsTest, WindowMapsOntoTheViewportWithAnEdgeMargin) {
    setScreenRange(0, 100, 0, 50);
    setWindow(-10, 10, 0, 5);
    const PlotState& s = plotState();
    // The mapping belongs to the window widened by 0.00001 of its size on each side.
    EXPECT_NEAR(s.scale.x, 100 / (20 * 1.00002), 1e-12);
    EXPECT_NEAR(s.scale.y, 50 / (5 * 1.00002), 1e-12);
    EXPECT_NEAR(-10 * s.scale.x + s.bias.x, 100 * 0.00001 / 1.00002, 1e-9);
    EXPECT_NEAR(10 * s.scale.x + s.bias.x, 100 - 100 * 0.00001 / 1.00002, 1e-9);
    EXPECT_EQ(s.viewportHalf.x, 50);
    EXPECT_EQ(s.viewportHalf.y, 25);
}

TEST_F(RecordsTest, RepeatedPointsWriteNoRecordButStillDraw) {
    RecordingSurface surface;
    plotState().drawingSurface = &surface;
    openDisplay();
    setScreenRange(0, 799, 0, 599);
    setWindow(0, 1200, 0, 800);
    moveAbs(100, 200);
    moveAbs(100, 200);
    lineAbs(100, 200);
    lineAbs(300, 200);
    Lines d = display();
    EXPECT_EQ(Lines(d.begin() + 3, d.end()), (Lines{"ma 100 200", "la 300 200"}));
    // The zero-length line still reaches the surface.
    ASSERT_EQ(surface.drawing().size(), 4u);
    EXPECT_EQ(surface.drawing()[0].substr(5), surface.drawing()[1].substr(5));
}

TEST_F(RecordsTest, SegmentOutsideTheViewportIsRecordedButNotDrawn) {
    RecordingSurface surface;
    plotState().drawingSurface = &surface;
    openDisplay();
    openHpgl();
    setScreenRange(0, 100, 0, 100);
    setWindow(0, 100, 0, 100);
    moveAbs(-50, -50);
    lineAbs(-10, 200);
    EXPECT_EQ(display().back(), "la -10 200");
    EXPECT_TRUE(surface.drawing().empty());
    EXPECT_TRUE(hpglBody().empty());
    const PlotState& s = plotState();
    EXPECT_NEAR(s.screenCursor.x, -10 * s.scale.x + s.bias.x, 1e-9);
    EXPECT_NEAR(s.screenCursor.y, 200 * s.scale.y + s.bias.y, 1e-9);
}

TEST_F(RecordsTest, BothFilesOpenKeepPlotterSetUpOutOfTheHpglFile) {
    openDisplay();
    openHpgl();
    setScreenRange(0, 100, 0, 100);
    setWindow(0, 100, 0, 100);
    beginPage();
    setPenColor(3);
    moveAbs(10, 10);
    lineAbs(20, 10);
    endPage();
    endPlot();
    EXPECT_EQ(display(), (Lines{"s 0 100 0 100", "w 0 100 0 100", "v 0 100 0 100", "p", "c 3",
                                "ma 10 10", "la 20 10", "a", "d"}));
    Lines h = hpglBody();
    ASSERT_EQ(h.size(), 2u);
    EXPECT_EQ(h[0].substr(0, 6), "PU;PA ");
    EXPECT_EQ(h[1].substr(0, 6), "PD;PA ");
}

TEST_F(RecordsTest, HpglAloneGetsScalingPensAndEnd) {
    openHpgl();
    setScreenRange(0, 799.9, 0, 599);
    setWindow(0, 799.9, 0, 599);
    setPenColor(2);
    moveAbs(100, 100);
    lineAbs(200, 300);
    endPlot();
    Lines h = hpgl();
    ASSERT_EQ(h.size(), 6u);
    EXPECT_EQ(h[0], "IN;VS 16.5;SP 1;");
    EXPECT_EQ(h[1], "SC 0 799 0 599;");
    EXPECT_EQ(h[2], "SP 2;");
    const PlotState& s = plotState();
    char expect[128];
    std::snprintf(expect, sizeof expect, "PU;PA %f %f;", 100 * s.scale.x + s.bias.x,
                  100 * s.scale.y + s.bias.y);
    EXPECT_EQ(h[3], expect);
    std::snprintf(expect, sizeof expect, "PD;PA %f %f;", 200 * s.scale.x + s.bias.x,
                  300 * s.scale.y + s.bias.y);
    EXPECT_EQ(h[4], expect);
    EXPECT_EQ(h[5], "SP 0; IN;");
}

TEST_F(RecordsTest, ClippedHpglPairStartsOnTheViewportEdge) {
    openHpgl();
    setScreenRange(0, 100, 0, 100);
    setWindow(0, 100, 0, 100);
    moveAbs(-100, 50);
    lineAbs(50, 50);
    Lines h = hpglBody();
    ASSERT_EQ(h.size(), 3u);
    EXPECT_EQ(h[0], "SC 0 100 0 100;");
    EXPECT_EQ(h[1].substr(0, 15), "PU;PA 0.000000 ");
}

TEST_F(RecordsTest, HpglPenRuleOnABlackOnWhiteTable) {
    plotState().colourLookUp = blackOnWhite;
    RecordingSurface surface;
    plotState().drawingSurface = &surface;
    openHpgl();
    setPenColor(3);
    setPenColor(0);
    EXPECT_EQ(hpglBody(), (Lines{"SP 1;", "SP 1;"}));
    EXPECT_EQ(plotState().currentColour, 1);
    EXPECT_EQ(surface.calls.back(), "pen 1");
    // With the display file open the table's own pen goes to the record.
    openDisplay();
    setPenColor(3);
    EXPECT_EQ(display().back(), "c 15");
    EXPECT_EQ(plotState().currentColour, 15);
}

TEST_F(RecordsTest, ColourIndicesAndTableEntriesAreClampedToPens) {
    static int seen;
    plotState().colourLookUp = [](int index) {
        seen = index;
        return index * 10;
    };
    openDisplay();
    setPenColor(-4);
    EXPECT_EQ(seen, 0);
    EXPECT_EQ(plotState().currentColour, 0);
    setPenColor(2);
    EXPECT_EQ(plotState().currentColour, 15); // entry 20
    setPenColor(99);
    EXPECT_EQ(seen, 15);
    EXPECT_EQ(display(), (Lines{"c 0", "c 15", "c 15"}));
}

TEST_F(RecordsTest, OneViewDrawWritesOneScreenWindowViewportTriple) {
    HeadlessViewHost host(640, 480);
    openDisplay();
    plotState().currentColour = 4;
    plotState().textHeightDivisor = 40;
    moveAbs(0, 0);
    beginViewDraw(host, host.raster());
    EXPECT_EQ(plotState().currentColour, 15);
    EXPECT_EQ(plotState().textHeightDivisor, 280);
    EXPECT_EQ(plotState().bottomPixel, 479);
    EXPECT_DOUBLE_EQ(aspect, 640.0 / 480.0);
    beginPage();
    moveAbs(0, 0); // the point before the draw is forgotten: this move is written
    Lines d = display();
    EXPECT_EQ(Lines(d.begin() + 1, d.end()),
              (Lines{"s 0 639 0 479", "w 0 1200 0 800", "v 0 639 0 479", "p", "ma 0 0"}));
}

TEST_F(RecordsTest, PrinterPageSizeComesFromTheSurface) {
    HeadlessViewHost host(640, 480);
    RecordingSurface printer(2000, 1000, SurfaceKind::Printer);
    beginViewDraw(host, printer);
    EXPECT_EQ(plotState().screenRange.x2, 1999);
    EXPECT_EQ(plotState().bottomPixel, 999);
    EXPECT_EQ(plotState().drawingSurface, &printer);
}

TEST_F(RecordsTest, CrossIsTwoStrokesOfOnePercentOfTheWindow) {
    openDisplay();
    setScreenRange(0, 100, 0, 100);
    setWindow(0, 200, 0, 100);
    drawCross(50, 60);
    Lines d = display();
    EXPECT_EQ(Lines(d.end() - 4, d.end()), (Lines{"ma 48 60", "la 52 60", "ma 50 58", "la 50 62"}));
}

TEST_F(RecordsTest, ZeroSizedScreenAndWindowAreReportedAndDrawingGoesOn) {
    setScreenRange(5, 5, 0, 10);
    setWindow(0, 10, 0, 10);
    ASSERT_EQ(hooks.boxes.size(), 1u);
    EXPECT_EQ(hooks.boxes[0].title, "MERIDYN Information");
    EXPECT_EQ(hooks.boxes[0].text, "View surface size error.\n");
    EXPECT_TRUE(std::isfinite(plotState().scale.x));

    setScreenRange(0, 100, 0, 100);
    setWindow(1, 1, 0, 5);
    EXPECT_EQ(screen(), "ERROR: Window size error. x1=1 x2=1.000000 y1=-0.000050 y2=5.000050\n");
    EXPECT_EQ(plotState().scale.x, 100);
    EXPECT_EQ(plotState().scale.y, 100);
}

TEST_F(RecordsTest, RecordsIgnoreTheNumericLocale) {
    const char* found = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"})
        if ((found = std::setlocale(LC_NUMERIC, name))) break;
    if (!found) GTEST_SKIP() << "no locale with a decimal comma is installed";
    openDisplay();
    openHpgl();
    setScreenRange(0, 100, 0, 100);
    setWindow(0, 100, 0, 100);
    moveAbs(0.5, 1.25);
    lineAbs(2.5, 3.75);
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(display().back(), "la 2.5 3.75");
    EXPECT_NE(hpglBody()[0].find('.'), std::string::npos);
}

TEST_F(RecordsTest, PrimitivesWithoutSurfaceOrFilesDoNothingHarmful) {
    setScreenRange(0, 100, 0, 100);
    setWindow(0, 100, 0, 100);
    setPenColor(5);
    moveAbs(1, 1);
    lineAbs(50, 50);
    plotText("abc");
    drawCross(5, 5);
    endPlot();
    EXPECT_EQ(plotState().currentColour, 5);
    EXPECT_EQ(plotState().currentPoint.x, 5);
}

} // namespace
