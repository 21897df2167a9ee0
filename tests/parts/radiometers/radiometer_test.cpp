// Radiometers: bins and their clamping, reads, the two text reports, the polar table, the live
// count, and the screen mapping.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "command/messages/messages.h"
#include "engine/model/object_table.h"
#include "engine/polynet/polynet_intercept.h"
#include "engine/polynet/polynet_records.h"
#include "engine/surfaces/surface_geometry.h"
#include "parts/radiometers/polar_tables.h"
#include "parts/radiometers/radiometer.h"
#include "parts/radiometers/screen_mapping.h"
#include "parts/trace/trace_totals.h"
#include "tests/command/test_support.h"

namespace {

// A polygon net built by hand from squares in the plane z = zPlane (side given per facet; a
// side of 0 makes a facet with no area).
class HandNet {
  public:
    HandNet(std::initializer_list<double> sides, double x0, double zPlane) {
        points.reserve(sides.size() * 4);
        vertices.reserve(sides.size() * 4);
        contours.reserve(sides.size());
        polygons.reserve(sides.size());
        double x = x0;
        for (double s : sides) {
            polygons.emplace_back();
            contours.emplace_back();
            PolygonRecord& p = polygons.back();
            ContourNode& c = contours.back();
            p.firstContour = &c;
            const Vec3 corners[4] = {{x, 0, zPlane}, {x + s, 0, zPlane}, {x + s, s, zPlane},
                                     {x, s, zPlane}};
            VertexNode* previous = nullptr;
            for (const Vec3& q : corners) {
                points.push_back(q);
                vertices.emplace_back();
                vertices.back().point = &points.back();
                if (previous)
                    previous->next = &vertices.back();
                else
                    c.firstVertex = &vertices.back();
                previous = &vertices.back();
            }
            c.vertexCount = 4;
            x += s + 1;
        }
        for (std::size_t i = 0; i + 1 < polygons.size(); ++i)
            polygons[i].nextPolygon = &polygons[i + 1];
        net.firstPolygon = polygons.empty() ? nullptr : &polygons[0];
        net.polygonCount = static_cast<int>(polygons.size());
    }
    PolynetRecord net;

  private:
    std::vector<Vec3> points;
    std::vector<VertexNode> vertices;
    std::vector<ContourNode> contours;
    std::vector<PolygonRecord> polygons;
};

std::string report(const CRadiometer& r, const PolynetRecord* net = nullptr) {
    std::FILE* f = std::tmpfile();
    if (net)
        r.WriteTextPerArea(OutputChannel(f), net);
    else
        r.WriteText(OutputChannel(f));
    return testsupport::readBack(f);
}

class RadiometerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetTraceTotals();
        resetPolarTables();
        resetRadiometerState();
        polynetLastHitFacet = -1;
    }
    void TearDown() override {
        resetTraceTotals();
        resetPolarTables();
        polynetLastHitFacet = -1;
    }
};

} // namespace

TEST_F(RadiometerTest, BinsClampOnBothSidesAndReadsOutsideGiveMinusOne) {
    CRadiometer r(3, 2);
    EXPECT_EQ(r.size, 6);
    r.AddToBin(7, 0, 1.5); // beyond the grid: last column
    EXPECT_EQ(r.Value(2, 0), 1.5);
    r.AddToBin(-4, -1, 2.0); // below it: first column and row
    EXPECT_EQ(r.Value(0, 0), 2.0);
    r.AddToBin(1, 9, 0.5);
    EXPECT_EQ(r.Value(1, 1), 0.5);
    EXPECT_EQ(r.energySum, 4.0);
    EXPECT_EQ(r.maximum, 2.0);
    EXPECT_EQ(r.minimum, 0.0);
    // Reads outside the grid, by index at the size and by negative or too large cells.
    EXPECT_EQ(r.Value(0, 2), -1.0);
    EXPECT_EQ(r.Value(3, 0), -1.0);
    EXPECT_EQ(r.Value(-1, 0), -1.0);
    EXPECT_EQ(r.Value(0, -1), -1.0);
    EXPECT_EQ(r.ScaledValue(-1, 0), -1.0);
    EXPECT_EQ(r.ScaledValue(0, 0), 255.99999);
    EXPECT_DOUBLE_EQ(r.ScaledValue(2, 0), 1.5 / 2.0 * 255.99999);
    // SetBin moves the minimum down only for a smaller bin.
    r.SetBin(1, 0, -3.0);
    EXPECT_EQ(r.minimum, -3.0);
    r.SetBin(1, 0, 5.0);
    EXPECT_EQ(r.maximum, 5.0);
    EXPECT_EQ(r.minimum, -3.0);

    r.Reset();
    EXPECT_EQ(r.maximum, 0.0);
    EXPECT_EQ(r.minimum, 0.0);
    EXPECT_EQ(r.energySum, 0.0);
    EXPECT_EQ(r.Value(2, 0), 0.0);
    EXPECT_EQ(r.ScaledValue(2, 0), 0.0); // maximum 0
}

TEST_F(RadiometerTest, WithoutBinsEverythingIsIgnoredAndTheCountFollowsTheBins) {
    {
        CRadiometer a(2, 2), none(0, 5), negative(-1, 3);
        EXPECT_EQ(radiometerState().liveCount, 1);
        none.AddToBin(0, 0, 1.0);
        none.SetBin(0, 0, 1.0);
        none.Reset();
        none.AddFacetHit(1, 1.0);
        EXPECT_EQ(none.size, 0);
        EXPECT_EQ(none.energySum, 0.0);
        EXPECT_EQ(none.Value(0, 0), -1.0);
        CRadiometer b(1, 1);
        EXPECT_EQ(radiometerState().liveCount, 2);
    }
    EXPECT_EQ(radiometerState().liveCount, 0);
}

TEST_F(RadiometerTest, HitsFallInTheCellUnderTheSurfacePoint) {
    ObjectRecord object;
    SurfaceRecord surface;
    surface.owner = &object;
    identity4(surface.globalToSurface);
    identity4(surface.surfaceToGlobal);
    translatePlacement(100, 0, 0, surface.globalToSurface, surface.surfaceToGlobal);
    // The surface is moved along x; hits are binned in its own frame.
    Vec3 probe;
    toLocalPoint(Vec3{0, 0, 0}, probe, &surface);
    const double shift = -probe.x; // global x = local x + shift
    ASSERT_NE(shift, 0.0);
    surface.extent[0] = -10;
    surface.extent[1] = 10;
    surface.extent[2] = -5;
    surface.extent[3] = 5;
    CRadiometer r(4, 2);
    r.AddHitAt(Vec3{2 + shift, 1, 0}, 1.0, &surface); // column trunc(0.6 * 4), row trunc(0.6 * 2)
    EXPECT_EQ(r.Value(2, 1), 1.0);
    r.AddHitAt(Vec3{10 + shift, 5, 0}, 1.0, &surface); // the upper edges stay in the last cell
    EXPECT_EQ(r.Value(3, 1), 1.0);
    r.AddHitAt(Vec3{-10 + shift, -5, 0}, 1.0, &surface);
    EXPECT_EQ(r.Value(0, 0), 1.0);
    r.AddHitAt(Vec3{-60 + shift, -1e9, 0}, 1.0, &surface); // below the extents: clamped
    EXPECT_EQ(r.Value(0, 0), 2.0);
    // A NaN coordinate (it spreads to every local coordinate) lands in the first cell.
    r.AddHitAt(Vec3{std::numeric_limits<double>::quiet_NaN(), 1, 0}, 1.0, &surface);
    EXPECT_EQ(r.Value(0, 0), 3.0);
    surface.extent[1] = -10; // zero width in x: column 0
    r.AddHitAt(Vec3{5 + shift, 4, 0}, 1.0, &surface);
    EXPECT_EQ(r.Value(0, 1), 1.0);
    EXPECT_EQ(r.energySum, 6.0);
}

TEST_F(RadiometerTest, PolynetHitsGoToTheCellOfTheLastFacet) {
    CRadiometer r(3, 2);
    r.AddPolynetHit(1.0); // no facet hit
    EXPECT_EQ(r.energySum, 0.0);
    polynetLastHitFacet = 5;
    r.AddPolynetHit(2.0);
    EXPECT_EQ(r.Value(1, 1), 2.0);
    polynetLastHitFacet = 1;
    r.AddPolynetHit(1.0);
    EXPECT_EQ(r.Value(0, 0), 1.0);
    polynetLastHitFacet = 40; // column 39 mod 3 = 0, row 13 clamped into the last row
    r.AddPolynetHit(1.0);
    EXPECT_EQ(r.Value(0, 1), 1.0);
}

TEST_F(RadiometerTest, TextReportByteForByte) {
    traceTotals().raysTraced = 12;
    traceTotals().totalSourceEnergy = 11.5;
    CRadiometer r(3, 2);
    r.AddToBin(0, 0, 1.25);
    r.AddToBin(2, 1, 3.0);
    r.AddToBin(1, 1, 1e-7);
    EXPECT_EQ(report(r),
              "Total # rays traced, total system energy, Maximum # rays in a bin, minimum, energy "
              "sum\n"
              "12,11.5,3,0,4.25\n"
              " 1.25, 0, 0\n"
              " 0, 1e-07, 3\n");
}

TEST_F(RadiometerTest, PerAreaReportAndPolarTableOnASmallNet) {
    // Facets of area 1, 4 and 0 in the plane z = 3, the first corner at (0, 0, 3): r = 3.
    HandNet hand({1.0, 2.0, 0.0}, 0.0, 3.0);
    traceTotals().raysTraced = 4;
    traceTotals().totalSourceEnergy = 8.0;
    CRadiometer r(2, 2); // cell 4 has no facet
    r.AddFacetHit(1, 2.0);
    r.AddFacetHit(2, 4.0);
    r.AddFacetHit(3, 1.0);
    r.AddFacetHit(4, 1.0);
    std::string screen;
    messageState().screenMirror = [&](std::string_view t) { screen.append(t); };
    EXPECT_EQ(report(r, &hand.net),
              "Total # rays traced, total system energy, Maximum # rays in a bin, minimum, energy "
              "sum\n"
              "4,8,4,0,8\n"
              "2,1\n"
              "0,0\n");
    messageState().screenMirror = nullptr;
    EXPECT_EQ(screen, "Energy divided by area\n");

    polarTables().currentRow = kPolarRowIntensity;
    polarTables().rows[kPolarRowIntensity][4] = 77; // beyond the cells: untouched
    EXPECT_EQ(r.FillPolarTable(&hand.net), 4);
    const double* row = polarTables().rows[kPolarRowIntensity];
    EXPECT_DOUBLE_EQ(row[0], 9.0 * (2.0 / 8.0) / 1.0);
    EXPECT_DOUBLE_EQ(row[1], 9.0 * (4.0 / 8.0) / 4.0);
    EXPECT_EQ(row[2], 0.0); // no area
    EXPECT_EQ(row[3], 0.0); // no facet
    EXPECT_EQ(row[4], 77.0);
    EXPECT_DOUBLE_EQ(polarTables().rowMaxima[kPolarRowIntensity], 2.25);
    EXPECT_DOUBLE_EQ(polarTables().cellWidth, 120.0 * M_PI / 180.0);

    // No energy traced: every cell 0. A net without facets: nothing stored.
    traceTotals().totalSourceEnergy = 0;
    EXPECT_EQ(r.FillPolarTable(&hand.net), 4);
    EXPECT_EQ(row[0], 0.0);
    EXPECT_EQ(polarTables().rowMaxima[kPolarRowIntensity], 0.0);
    PolynetRecord empty;
    EXPECT_EQ(r.FillPolarTable(&empty), 0);
    EXPECT_EQ(r.FillPolarTable(nullptr), 0);
}

TEST_F(RadiometerTest, PolarTableStopsAtOneRow) {
    HandNet hand({1.0}, 0.0, 1.0);
    traceTotals().totalSourceEnergy = 1.0;
    CRadiometer r(400, 1);
    r.AddFacetHit(1, 1.0);
    polarTables().currentRow = kPolarRowZ;
    polarTables().rows[kPolarRowXY][0] = -5; // the row after it
    EXPECT_EQ(r.FillPolarTable(&hand.net), kPolarTableCells);
    EXPECT_EQ(polarTables().rows[kPolarRowXY][0], -5);
    EXPECT_DOUBLE_EQ(polarTables().rows[kPolarRowZ][0], 1.0);
    EXPECT_DOUBLE_EQ(polarTables().cellWidth, 2 * M_PI);
}

TEST(ScreenMappingTest, PixelsAndPlotCoordinatesRoundTrip) {
    CScreenMapping m;
    EXPECT_EQ(m.PixelX(3), 3);
    EXPECT_EQ(m.xRange[1], 100.0);
    EXPECT_EQ(m.yRange[0], 0.0);
    m.xOffset = 40;
    m.yOffset = 300;
    m.xScale = 2.5;
    m.yScale = -1.5;
    EXPECT_DOUBLE_EQ(m.PixelX(10), 65);
    EXPECT_DOUBLE_EQ(m.PixelY(10), 285);
    EXPECT_DOUBLE_EQ(m.PlotX(65), 10);
    EXPECT_DOUBLE_EQ(m.PlotY(285), 10);
}
