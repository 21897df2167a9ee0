// The analysis plots and their tables alone: the energy curve's points and ranges, the centred
// title, the azimuth bins at their edges and the xy rose's wedges, the bitmap holder's layout,
// and the progress test of long loops.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>

#include "command/settings/settings.h"
#include "display/analysis/analysis_reset.h"
#include "display/analysis/angular_analysis.h"
#include "display/analysis/energy_plot.h"
#include "display/plot/plot_files.h"
#include "display/raster/bitmap_holder.h"
#include "parts/trace/shade_ray.h"
#include "parts/trace/trace_progress.h"
#include "tests/display/display_test_support.h"
#include "tests/engine/test_object_builder.h"

namespace {

using Lines = std::vector<std::string>;

class AnalysisPlotTest : public displaytest::PlotTest {
  protected:
    void SetUp() override {
        PlotTest::SetUp();
        resetAnalysisState();
        resetPolarTables();
        resetSettingsState();
        viewFrame = 0;
    }
    void TearDown() override {
        resetAnalysisState();
        resetPolarTables();
        resetSettingsState();
        PlotTest::TearDown();
    }
    template <class Draw> Lines records(Draw draw) {
        std::filesystem::remove(dir.file("rec.dsp"));
        openPlotFile("rec.dsp");
        draw();
        closePlotFile();
        return displaytest::readLines(dir.file("rec.dsp"));
    }
    static Lines only(const Lines& all, const std::string& tag) {
        Lines out;
        for (const auto& r : all)
            if (r.rfind(tag + " ", 0) == 0) out.push_back(r);
        return out;
    }
};

TEST_F(AnalysisPlotTest, CentredTitles) {
    EXPECT_DOUBLE_EQ(centredTextX("FILM PLANE ENERGY DISTRIBUTION"), 15.0 / 60.0); // 30 letters
    EXPECT_DOUBLE_EQ(centredTextX("X POSITION ON FILM PLANE"), 18.0 / 60.0);      // 24
    EXPECT_DOUBLE_EQ(centredTextX("abc"), 28.0 / 60.0);                           // 57 / 2
    EXPECT_DOUBLE_EQ(centredTextX(std::string(100, 'x').c_str()), -10.0 / 60.0);  // 80 counted
}

TEST_F(AnalysisPlotTest, ArrayPlotCurveAndRanges) {
    std::vector<FilmCell> cells(20);
    for (int k = 0; k < 20; ++k)
        cells[k].energy = k % 5;
    Lines r = records([&] { arrayPlot(cells.data(), 20, -10, 10, "X", "E", "T", 1); });
    // The window: 15 % left and below, 5 % right, 10 % above; zero-based.
    EXPECT_EQ(only(r, "w")[0], "w -13 11 -0.6 4.4");
    // The curve: a move to the first cell centre, half a bin from x low, then 19 lines.
    Lines curve;
    bool inCurve = false;
    for (const auto& rec : r) {
        if (rec == "c 9") inCurve = true;
        else if (rec.rfind("c ", 0) == 0) inCurve = false;
        else if (inCurve && (rec.rfind("ma ", 0) == 0 || rec.rfind("la ", 0) == 0))
            curve.push_back(rec);
    }
    ASSERT_EQ(curve.size(), 20u);
    EXPECT_EQ(curve[0], "ma -9.5 0");
    EXPECT_EQ(curve[1], "la -8.5 1");
    EXPECT_EQ(curve[19], "la 9.5 4");

    // Equal cells: a flat line in the middle of a unit-high range.
    std::vector<FilmCell> flat(3);
    for (auto& c : flat)
        c.energy = 2.0;
    r = records([&] { arrayPlot(flat.data(), 3, 0, 3, "X", "E", "T", 0); });
    EXPECT_EQ(only(r, "w")[0], "w -0.45 3.15 1.35 2.6");
    // An empty grid draws nothing.
    r = records([&] { arrayPlot(flat.data(), 0, 0, 3, "X", "E", "T", 1); });
    EXPECT_TRUE(only(r, "la").empty());
    // The energy view without an analysis says so and draws nothing.
    r = records([&] { EXPECT_EQ(energyPlot(), 0); });
    EXPECT_TRUE(only(r, "la").empty());
    EXPECT_NE(screen().find("Use energy command to first evaluate a detector"), std::string::npos);
}

TEST_F(AnalysisPlotTest, AzimuthBinsAtTheirEdges) {
    AngularState& s = angularState();
    s.bucketWidth = 10 * 0.0174532925;
    s.bucketCount = 3;
    const double e = 1e-9;
    binTerminalDirection(0, 1, 0, 1);   // straight along +y: bin 180
    binTerminalDirection(e, 1, 0, 2);   // just right of it: 180 too
    binTerminalDirection(-e, 1, 0, 4);  // just left: 179, one bucket wide each
    const double a175 = 175 * M_PI / 180;
    binTerminalDirection(std::sin(a175), std::cos(a175), 0, 8);   // +175 degrees: bin 197
    binTerminalDirection(-std::sin(a175), std::cos(a175), 0, 16); // -175 degrees: bin 162
    const double* xy = polarTables().rows[kPolarRowXY];
    EXPECT_EQ(xy[180], 3);
    EXPECT_EQ(xy[179], 4);
    EXPECT_EQ(xy[197], 8);
    EXPECT_EQ(xy[162], 16);
    // 90 degrees from x lies beyond three buckets of 10: spillage; acos is clamped.
    EXPECT_EQ(s.spillage[0], 31);
    binTerminalDirection(1.0000000002, 0, 0, 32);
    EXPECT_EQ(polarTables().rows[kPolarRowX][0], 32);
    EXPECT_EQ(s.binCount, 6);
    // Narrow buckets reach beyond the table: the bin wraps into it. -170 degrees in buckets of
    // a quarter degree: floor(-680.000001) + 180 = -501, which is bin 219.
    resetAngularState();
    resetPolarTables();
    s.bucketWidth = 0.25 * 0.0174532925;
    s.bucketCount = 359;
    const double a170 = 170 * M_PI / 180;
    binTerminalDirection(-std::sin(a170), std::cos(a170), 0, 1);
    EXPECT_EQ(polarTables().rows[kPolarRowXY][219], 1);
}

TEST_F(AnalysisPlotTest, XyRoseDrawsTheAzimuthTableWhereItIs) {
    AngularState& s = angularState();
    s.bucketWidth = 10 * 0.0174532925;
    s.bucketCount = 18;
    PolarTables& p = polarTables();
    p.rows[kPolarRowXY][180] = 1;       // 0 to 10 degrees right of +y
    p.rows[kPolarRowXY][179 - 2] = 0.5; // 20 to 30 degrees left of it
    p.rowMaxima[kPolarRowXY] = 1;
    const Lines r = records([] { polarPlot(3); });
    auto has = [&](double x, double y) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "la %g %g", x, y);
        return std::find(r.begin(), r.end(), std::string(buf)) != r.end();
    };
    const double w = 10 * 0.0174532925;
    EXPECT_TRUE(has(std::sin(w), std::cos(w)));
    EXPECT_FALSE(has(-std::sin(w), std::cos(w)));
    EXPECT_TRUE(has(-0.5 * std::sin(3 * w), 0.5 * std::cos(3 * w)));
    EXPECT_FALSE(has(0.5 * std::sin(3 * w), 0.5 * std::cos(3 * w)));
}

TEST_F(AnalysisPlotTest, ZeroTablesDrawNoWedges) {
    angularState().bucketWidth = 10 * 0.0174532925;
    angularState().bucketCount = 18;
    const Lines r = records([] { polarPlot(0); });
    // A wedge closes at the origin; the axes and arcs never line to it.
    EXPECT_EQ(std::count(r.begin(), r.end(), "la 0 0"), 0);
    const Lines withWedge = records([] {
        polarTables().rows[kPolarRowX][4] = 2;
        polarTables().rowMaxima[kPolarRowX] = 2;
        polarPlot(0);
    });
    EXPECT_EQ(std::count(withWedge.begin(), withWedge.end(), "la 0 0"), 2); // and its mirror
}

TEST_F(AnalysisPlotTest, SpotListings) {
    listSpotData(outputChannel);
    EXPECT_NE(screen().find(" Error opening spot data file."), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(spotFilePath())); // never created by a reader
    {
        std::ofstream out(spotFilePath(), std::ios::binary);
        SpotRecord r;
        r.point = {1.5, -2, 0.25};
        r.energy = 0.75;
        r.objectNumber = 3;
        r.surfaceNumber = 1;
        r.direction = {0, 0.6, 0.8};
        unsigned char b[kSpotRecordBytes];
        encodeSpotRecord(r, b);
        out.write(reinterpret_cast<const char*>(b), sizeof b);
    }
    listSpotData(outputChannel);
    listSpotLocationsAndDirections(outputChannel);
    const std::string text = screen();
    EXPECT_NE(text.find("Locations:    X                Y                Z\n"
                        "Dir. Cosines: X                Y                Z  Transm.   Obj# Surf# \n"
                        "            1.5,               -2,             0.25 \n"
                        "              0,              0.6,              0.8,  0.75000,    3,    1\n"
                        "\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\nRay Location and Intercept Angle\n"), std::string::npos);
    EXPECT_NE(text.find("              0,              0.6,              0.8,       0.75000,    3,"
                        "    1\n"),
              std::string::npos);
}

// A detector whose film has no width: every hit falls outside the grid, and nothing divides by
// zero into the cells.
TEST_F(AnalysisPlotTest, FilmWithoutWidthCountsEveryHitOutside) {
    resetObjectTable();
    ObjectRecord* o = testsupport::buildObjectWithSurfaces(1);
    ASSERT_NE(o, nullptr);
    o->typeCode = kTypeRaytraceDetector;
    const double extent[6] = {0, 0, -5, 5, 0, 0};
    std::copy(extent, extent + 6, o->firstSurface->extent);
    {
        std::ofstream out(spotFilePath(), std::ios::binary);
        SpotRecord r;
        r.objectNumber = o->number;
        r.energy = 1;
        unsigned char b[kSpotRecordBytes];
        for (double y : {-1.0, 2.0}) {
            r.point = {0, y, 0};
            encodeSpotRecord(r, b);
            out.write(reinterpret_cast<const char*>(b), sizeof b);
        }
    }
    filmPlaneState().filmAxisTitle = kFilmAxisX;
    ASSERT_EQ(filmPlaneGrid(4, 1, o->number, "", 0, 0), 1);
    const std::string text = screen();
    EXPECT_NE(text.find("NOTE: 2 film plane rays fell outside the grid."), std::string::npos);
    EXPECT_NE(text.find("   A total of ,0, rays struck the film, total energy =, 0.000000 \n"
                        "Energy normalization factor, 1\n"),
              std::string::npos);
    EXPECT_EQ(text.find("nan"), std::string::npos);
    for (const FilmCell& c : filmPlaneState().cells)
        EXPECT_EQ(c.hits, 0);
    // Rings of no width: every hit counts on the film, none in a ring.
    ASSERT_EQ(encircledEnergy(o->number, 1e-320, 2, ""), 1);
    EXPECT_NE(screen().find("   A total of, 2, rays struck the film"), std::string::npos);
    EXPECT_EQ(screen().find("nan"), std::string::npos);
    resetObjectTable();
}

TEST(BitmapHolder, LayoutPalettesAndRows) {
    resetBitmapHolder();
    EXPECT_EQ(imageStride(50), 52u);
    EXPECT_EQ(imageStride(52), 52u);
    EXPECT_EQ(imageStride(1), 4u);
    ASSERT_TRUE(makeImageDib(50, 30));
    EXPECT_EQ(imageDib.size(), 40u + 1024u + 52u * 30u);
    EXPECT_EQ(imageWidth(imageDib), 50);
    EXPECT_EQ(imageHeight(imageDib), 30);
    EXPECT_EQ(imageColourCount(imageDib), 256);
    EXPECT_EQ(imageBitsOffset(imageDib), 1064u);
    // The last byte row in memory is the top of the picture.
    imageDib[imageBitsOffset(imageDib) + 52 * 29 + 3] = 200;
    std::uint8_t rgb[3];
    ASSERT_TRUE(imagePixel(imageDib, 3, 0, rgb));
    EXPECT_EQ(rgb[0], 200);
    EXPECT_FALSE(imagePixel(imageDib, 50, 0, rgb));
    EXPECT_FALSE(makeImageDib(0, 5));
    EXPECT_TRUE(imageDib.empty());

    std::uint8_t table[256][3] = {};
    buildImagePalette(kImagePaletteSpectrum, table);
    EXPECT_EQ((std::vector<int>{table[127][0], table[127][1], table[127][2]}),
              (std::vector<int>{1, 254, 0}));
    EXPECT_EQ((std::vector<int>{table[128][0], table[128][1], table[128][2]}),
              (std::vector<int>{0, 255, 1}));
    EXPECT_EQ(table[0][0], 255);
    EXPECT_EQ(table[255][2], 255);
    buildImagePalette(9, table); // unknown: untouched
    EXPECT_EQ(table[127][1], 254);
}

TEST(TraceProgress, ShowsProgressAndStopsOnEscape) {
    platform::ScriptedHooks hooks;
    platform::ScopedHooks guard(hooks);
    resetMessageState();
    hooks.escapeOnPoll = 2;
    EXPECT_EQ(traceProgress(1, 10), 0);
    EXPECT_EQ(hooks.lastDone, 1);
    EXPECT_EQ(hooks.lastTotal, 10);
    EXPECT_EQ(traceProgress(2, 10), 1);
    EXPECT_EQ(hooks.lastDone, -1);
    EXPECT_EQ(abortRequest, 1);
    resetMessageState();
}

TEST(ShadeRule, LambertTermAndMisses) {
    EXPECT_DOUBLE_EQ(lambertShade(1.0), 254.0);
    EXPECT_DOUBLE_EQ(lambertShade(0.5), 143.5);
    EXPECT_DOUBLE_EQ(lambertShade(0.0), 33.0);
    EXPECT_DOUBLE_EQ(lambertShade(-0.7), 33.0);
    resetObjectTable();
    double shade = -1;
    EXPECT_EQ(ShadePixel({0, 0, 0}, {0, 0, 5}, {0, 0, 1}, &shade), 0.0);
    EXPECT_EQ(shade, 0.0);
}

} // namespace
