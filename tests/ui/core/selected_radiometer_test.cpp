// Radiometers of parts in the view (intensity and polar radiometer views), the detector outline
// of the intensity view, the film zoom of the spot diagram and the spot colour option, over the
// real interpreter.
#include <algorithm>
#include <cmath>

#include "display/analysis/film_plane_analysis.h"
#include "display/plot/plot_primitives.h"
#include "display/raster/raster_surface.h"
#include "display/views/repaint.h"
#include "display/views/view_host.h"
#include "display/views/view_modes.h"
#include "engine/model/current_objects.h"
#include "engine/model/object_table.h"
#include "engine/polynet/polynet_belt.h"
#include "parts/part_list.h"
#include "parts/radiometers/polar_tables.h"
#include "parts/radiometers/radiometer.h"
#include "parts/trace/trace_totals.h"
#include "tests/ui/core/view_fixture.h"
#include "ui/core/selected_radiometer.h"
#include "ui/core/shell_text.h"
#include "ui/core/view_geometry.h"

using namespace viewtest;

namespace {

class RadiometerViewTest : public ViewTest {
  protected:
    CPart& part(const std::string& name) {
        CPart* p = thePartList ? thePartList->FindPart(name) : nullptr;
        if (!p) throw std::runtime_error("no part " + name);
        return *p;
    }
    void select(const std::string& name) {
        viewObject = objectNumberOfLabel(name);
        shellState().selectedPartName = name;
    }
};

TEST_F(RadiometerViewTest, TheIntensityViewShowsARadiometerAttachedByCommand) {
    run("define/detector det");
    run("place/object det 0 0 30");
    run("define/lens len");
    select("det");
    EXPECT_EQ(HasSelectedRadiometer(), 0);
    view->OnIntensityView();
    EXPECT_NE(viewType, kViewIntensity);

    run("radiometer/attach det 8 2");
    CRadiometer& r = *part("det").radiometer;
    r.SetBin(7, 0, 4.0); // bottom row, right end
    r.SetBin(0, 1, 2.0); // top row, left end
    EXPECT_EQ(HasSelectedRadiometer(), 1);
    EXPECT_TRUE(takeViewSnapshot(false).viewObjectHasRadiometer);
    view->OnIntensityView();
    EXPECT_EQ(viewType, kViewIntensity);
    EXPECT_EQ(qelViewState().intensityReady, 1);
    const DibBlock& dib = bitmapState().dibHandle;
    ASSERT_EQ(DibWidth(dib), 8);
    ASSERT_EQ(DibHeight(dib), 2);
    // Row 0 of the radiometer is the picture's bottom row; the maximum is 255.
    EXPECT_EQ(dibIndexAt(dib, 7, 1), 255);
    EXPECT_EQ(dibIndexAt(dib, 0, 0), 127);
    EXPECT_EQ(dibIndexAt(dib, 0, 1), 0);
    EXPECT_EQ(bitmapState().image.imageMaximum, 4.0);

    // The paint frames the image by the detector's outline: the energy map spans its extents.
    HeadlessViewHost host(400, 300);
    RasterSurface s(400, 300);
    view->OnDraw(host, s);
    const double* e = getObject(viewObject - 1)->firstSurface->extent;
    const CScreenMapping& map = qelViewState().energyMap;
    EXPECT_EQ(map.xRange[0], e[0]);
    EXPECT_EQ(map.xRange[1], e[1]);
    EXPECT_EQ(map.yRange[0], e[2]);
    EXPECT_EQ(map.yRange[1], e[3]);
    EXPECT_GT(map.xScale, 0.0);

    // A radiometer on a part that is no detector: the unit frame, and no message.
    run("radiometer/attach len 4 1");
    select("len");
    view->OnIntensityView();
    ASSERT_EQ(viewType, kViewIntensity);
    const std::size_t logSize = log().size();
    view->OnDraw(host, s);
    EXPECT_EQ(map.xRange[0], 0.0);
    EXPECT_EQ(map.xRange[1], 1.0);
    EXPECT_EQ(log().size(), logSize);

    // Removed by command: the next paint falls back.
    run("radiometer/remove len");
    EXPECT_EQ(HasSelectedRadiometer(), 0);
    view->OnDraw(host, s);
    EXPECT_EQ(viewType, 1);
}

TEST_F(RadiometerViewTest, ThePolarRadiometerViewFillsTheIntensityRowFromTheNet) {
    for (const char* step :
         {"polynet/start net", "polynet/polygon", "polynet/chain", "polynet/point 0 0 5",
          "polynet/point 2 0 5", "polynet/point 0 2 5", "polynet/close", "polynet/finish"})
        run(step);
    run("radiometer/attach net 4 1");
    select("net");
    part("net").polarPlane = kPolarNone;
    EXPECT_EQ(IsSelectedPolynetRadiometer(), 0);
    part("net").polarPlane = kPolarXY;
    EXPECT_EQ(IsSelectedPolynetRadiometer(), 1);
    EXPECT_TRUE(takeViewSnapshot(false).selectedPolynetRadiometer);

    // One facet of area 2 whose first corner lies 5 from the origin: 25 x (6 / 2) / 2.
    part("net").radiometer->AddFacetHit(1, 6.0);
    traceTotals().totalSourceEnergy = 2.0;
    polarTables().currentRow = kPolarRowX;
    EXPECT_EQ(PrepareSelectedPolarRadiometer(), 1);
    EXPECT_DOUBLE_EQ(polarTables().rows[kPolarRowIntensity][0], 37.5);
    EXPECT_DOUBLE_EQ(polarTables().rowMaxima[kPolarRowIntensity], 37.5);
    EXPECT_EQ(polarTables().rows[kPolarRowX][0], 0.0); // the angular rows are left alone

    HeadlessViewHost host(400, 300);
    RasterSurface s(400, 300);
    viewType = kViewPolarRadiometer;
    view->OnDraw(host, s);
    EXPECT_EQ(viewType, kViewPolarRadiometer);
    // The console's paint of the view's object loads the row itself and draws the same plot.
    std::fill(std::begin(polarTables().rows[kPolarRowIntensity]),
              std::end(polarTables().rows[kPolarRowIntensity]), 0.0);
    polarTables().rowMaxima[kPolarRowIntensity] = 0.0;
    RasterSurface console(400, 300);
    paintView(host, console);
    EXPECT_EQ(viewType, kViewPolarRadiometer);
    int differing = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x)
            differing += console.pixel(x, y) == s.pixel(x, y) ? 0 : 1;
    EXPECT_EQ(differing, 0);
    // Without a radiometer on the selection the view falls back to the four views.
    run("radiometer/remove net");
    EXPECT_EQ(IsSelectedPolynetRadiometer(), 0);
    EXPECT_EQ(PrepareSelectedPolarRadiometer(), 0);
    view->OnDraw(host, s);
    EXPECT_EQ(viewType, 1);
}

TEST_F(RadiometerViewTest, TheFilmZoomIsTheSpotDiagramsWindowAndItsMappingTheZPanes) {
    run("define/detector det");
    run("place/object det 0 0 30");
    currentDetector = objectNumberOfLabel("det");
    systemMode = 0;
    filmMode = 1;
    HeadlessViewHost host(400, 300);
    RasterSurface s(400, 300);
    view->OnDraw(host, s);
    ASSERT_EQ(filmMode, 1);
    const CScreenMapping whole = qelViewState().zPaneMap;
    EXPECT_GT(whole.xScale, 0.0);
    // A box dragged over film x -4..4, y -2..2 becomes the zoom ...
    auto& v = qelViewState();
    v.selectorMode = kSelectSizeBox;
    const auto px = [&](double x) { return static_cast<int>(std::lround(whole.PixelX(x))); };
    const auto py = [&](double y) { return static_cast<int>(std::lround(whole.PixelY(y))); };
    view->OnLButtonDown(px(-4), py(-2));
    view->OnLButtonUp(px(4), py(2));
    const double pixel = 1.0 / whole.xScale;
    EXPECT_NEAR(filmWindow[0], 0.0, pixel);
    EXPECT_NEAR(filmWindow[1], 0.0, pixel);
    EXPECT_NEAR(filmWindow[2], 4.0, pixel);
    EXPECT_NEAR(filmWindow[3], 2.0, pixel);
    // ... which the next paint shows, centred, with the mouse mapping through it.
    view->OnDraw(host, s);
    const CScreenMapping zoom = qelViewState().zPaneMap;
    EXPECT_GT(zoom.xScale, 3.0 * whole.xScale);
    const PlotRange sr = plotState().screenRange;
    EXPECT_NEAR(zoom.PixelX(filmWindow[0]), 0.5 * (sr.x1 + sr.x2), 1.0);
    EXPECT_NEAR(zoom.PixelY(filmWindow[1]), 0.5 * (sr.y1 + sr.y2), 1.0);
    double p[3] = {0, 0, 0};
    ASSERT_TRUE(ClientToModel(static_cast<int>(zoom.PixelX(3.0)), static_cast<int>(zoom.PixelY(-1.0)), p));
    EXPECT_NEAR(p[0], 3.0, 2.0 / zoom.xScale);
    EXPECT_NEAR(p[1], -1.0, 2.0 / zoom.yScale);
    // A flat drag shows the whole film again.
    view->OnLButtonDown(100, 100);
    view->OnLButtonUp(200, 100);
    view->OnDraw(host, s);
    EXPECT_DOUBLE_EQ(qelViewState().zPaneMap.xScale, whole.xScale);
}

TEST_F(RadiometerViewTest, ColorSpotsByEnergyIsTheSpotDiagramsOption) {
    EXPECT_EQ(filmPlaneState().spotColourByEnergy, 0);
    choose("&Window>ColorSpotsByEnergy");
    EXPECT_EQ(filmPlaneState().spotColourByEnergy, 1);
    EXPECT_EQ(takeViewSnapshot(false).spotColourByEnergy, 1);
    EXPECT_TRUE(entry("&Window>ColorSpotsByEnergy").checked(takeViewSnapshot(false)));
    choose("&Window>ColorSpotsByEnergy");
    EXPECT_EQ(filmPlaneState().spotColourByEnergy, 0);
}

} // namespace
