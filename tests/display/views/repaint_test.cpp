#include <algorithm>
#include <filesystem>
#include <set>

#include "display/plot/plot_files.h"
#include "display/views/repaint.h"
#include "tests/display/view_fixture.h"

namespace {

using displaytest::Segment;
using displaytest::ViewTest;
using Lines = std::vector<std::string>;

class RepaintTest : public ViewTest {
  protected:
    void SetUp() override {
        ViewTest::SetUp();
        setViewWindow(&host);
        host.setPaintRoutine([this](ViewHost& view, DrawSurface& s) {
            ++paints;
            paintView(view, s);
        });
    }
    // The records of one repaint into a display file, and its name.
    Lines repaintRecords(double az = 30, double el = 20) {
        std::filesystem::remove(dir.file("rec.dsp"));
        openPlotFile("rec.dsp");
        repaintView(host, host.raster(), az, el);
        return displaytest::readLines(dir.file("rec.dsp"));
    }
    // Only the records of one of the given tags.
    static Lines tags(const Lines& records, std::initializer_list<std::string> keep) {
        Lines out;
        for (const auto& r : records) {
            std::string tag = r.substr(0, r.find(' '));
            if (std::find(keep.begin(), keep.end(), tag) != keep.end()) out.push_back(r);
        }
        return out;
    }
    std::vector<Segment> repaintSegments(double az, double el) {
        return capture([&] { repaintView(host, surface, az, el); });
    }
    HeadlessViewHost host{800, 600};
    int paints = 0;
};

TEST_F(RepaintTest, SetViewTypeTable) {
    setViewType(1);
    EXPECT_EQ(orthogonalMode, 1);
    EXPECT_EQ(systemMode, 0);
    setViewType(2); // no detector: the system view
    EXPECT_EQ(filmMode, 0);
    EXPECT_EQ(systemMode, 1);
    EXPECT_EQ(orthogonalMode, 0);
    currentDetector = 3;
    setViewType(2);
    EXPECT_EQ(filmMode, 1);
    EXPECT_EQ(systemMode, 0);
    setViewType(3);
    EXPECT_EQ(energyMode, 1);
    EXPECT_EQ(filmMode, 0);
    setViewType(7);
    EXPECT_EQ(viewType, 7);
    EXPECT_EQ(systemMode, 0);
    currentDetector = 0;
    setViewType(7); // no detector: both
    EXPECT_EQ(viewType, 7);
    EXPECT_EQ(systemMode, 1);
    for (int t : {4, 5, 6, 12}) {
        setViewType(t);
        EXPECT_EQ(viewType, t);
        EXPECT_EQ(systemMode, 0);
    }
    setViewType(9);
    EXPECT_EQ(viewType + systemMode + orthogonalMode + filmMode + energyMode, 0);
}

TEST_F(RepaintTest, OneRepaintWritesOneTripleThenEndsEveryFile) {
    Lines r = tags(repaintRecords(), {"s", "w", "v", "p", "a", "d"});
    ASSERT_GE(r.size(), 6u);
    EXPECT_EQ(r[0], "s 0 799 0 599");
    EXPECT_EQ(r[1], "w 0 1200 0 800");
    EXPECT_EQ(r[2], "v 0 799 0 599");
    EXPECT_EQ(r[3], "p");
    EXPECT_EQ(Lines(r.end() - 2, r.end()), (Lines{"a", "d"}));
    EXPECT_EQ(plotState().displayFileOpen, 0);
    EXPECT_NE(screen().find("Plot file created: rec.dsp"), std::string::npos);
}

TEST_F(RepaintTest, FourViewsDrawThreeFixedPanesAndTheCurrentOne) {
    setViewType(1);
    Lines all = repaintRecords(30, 20);
    Lines v = tags(all, {"v"});
    Lines panes;
    for (const char* pane :
         {"v 0 399 0 299", "v 0 399 299 599", "v 399 799 0 299", "v 399 799 299 599"})
        if (std::find(v.begin(), v.end(), pane) != v.end()) panes.push_back(pane);
    EXPECT_EQ(panes.size(), 4u);
    Lines ends = tags(all, {"v", "a", "d"});
    EXPECT_EQ(Lines(ends.end() - 5, ends.end()), (Lines{"v 0 799 0 599", "a", "d", "a", "d"}));
    // The mapping of each fixed pane is kept for the mouse.
    for (const PaneScale& p : paneScale) {
        EXPECT_GT(p.scaleX, 0);
        EXPECT_NE(p.biasX, 0);
    }
}

TEST_F(RepaintTest, FilmAndEnergyFallBackWithoutADetector) {
    setViewType(1);
    filmMode = 1; // chosen while a detector existed
    orthogonalMode = 0;
    Lines r = repaintRecords();
    EXPECT_EQ(filmMode, 0);
    EXPECT_EQ(systemMode, 1);
    EXPECT_GT(tags(r, {"la"}).size(), 0u); // the system view was drawn
    // With a detector the spot diagram's place stays empty for now.
    currentDetector = 1;
    filmMode = 1;
    r = repaintRecords();
    EXPECT_EQ(tags(r, {"s", "w", "v", "p", "a", "d", "la", "ma", "c"}),
              (Lines{"s 0 799 0 599", "w 0 1200 0 800", "v 0 799 0 599", "p", "a", "d"}));
    energyMode = 1;
    filmMode = 0;
    currentDetector = 0;
    repaintRecords();
    EXPECT_EQ(energyMode, 0);
    EXPECT_EQ(systemMode, 1);
}

TEST_F(RepaintTest, PolarTypeComesBeforeTheSystemView) {
    setViewType(7); // no detector: system mode and type 7
    Lines r = repaintRecords();
    // The polar plot's window, not the system view's fit of the workbox.
    const Lines windows = tags(r, {"w"});
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[1], "w -1.1011 1.1011 -1.1011 1.1011");
}

TEST_F(RepaintTest, AxisViewsKeepTheirMappingAndTheAngles) {
    workbox.center[0] = 5;
    workbox.center[1] = 7;
    workbox.center[2] = 11;
    viewAzimuth = 33;
    viewElevation = 12;
    setViewType(6); // z view: x and y
    repaintView(host, surface, 33, 12);
    EXPECT_EQ(viewAzimuth, 33);
    EXPECT_EQ(viewElevation, 12);
    const PaneScale& z = paneScale[2];
    const PlotState& s = plotState();
    EXPECT_DOUBLE_EQ(z.scaleX, s.scale.x);
    EXPECT_DOUBLE_EQ(z.biasX, s.bias.x - s.scale.x * 5);
    EXPECT_DOUBLE_EQ(z.biasY, s.bias.y - s.scale.y * 7);
    // The mapping sends the workbox centre to the middle of the picture.
    EXPECT_NEAR(z.scaleX * 5 + z.biasX, 399.5, 1);
    EXPECT_NEAR(z.scaleY * 7 + z.biasY, 299.5, 1);
}

// Which grid planes a repaint drew: a tick runs along one axis of its plane, at a multiple of
// the increment on the other, on the lower workbox face of the plane's third axis (plane 0:
// x, 1: y, 2: z). Ticks whose two fixed coordinates both lie on lower faces are left out.
std::set<int> gridPlanes(const std::vector<Segment>& s) {
    const double lower[3] = {-75, -50, -100};
    std::set<int> planes;
    for (const auto& e : s) {
        if (e.colour != 6) continue;
        const double p[3] = {e.p.x, e.p.y, e.p.z}, q[3] = {e.q.x, e.q.y, e.q.z};
        int onLower = 0, third = -1;
        for (int axis = 0; axis < 3; ++axis)
            if (p[axis] == q[axis] && p[axis] == lower[axis]) {
                ++onLower;
                third = axis;
            }
        if (onLower == 1) planes.insert(third);
    }
    return planes;
}

TEST_F(RepaintTest, GridPlanesFollowTheViewDirection) {
    viewGrid = 1;
    gridOn = 1;
    EXPECT_EQ(gridPlanes(repaintSegments(0, 90)), std::set<int>{1});
    gridOn = 1;
    EXPECT_EQ(gridPlanes(repaintSegments(0, 0)), std::set<int>{2});
    gridOn = 1;
    EXPECT_EQ(gridPlanes(repaintSegments(30, 20)), std::set<int>{1});
    gridOn = 1;
    EXPECT_EQ(gridPlanes(repaintSegments(-90, 0)), std::set<int>{0});
    viewGrid = 0;
    EXPECT_TRUE(gridPlanes(repaintSegments(0, 0)).empty());
}

TEST_F(RepaintTest, StereoPairsInTheirColoursButNotFromAbove) {
    makeObject(kWireAxes)->firstSurface->axisLength = 10;
    setColorMapEntry(7, 15); // the user's own table survives the pair
    stereoMode = 1;
    auto s = repaintSegments(30, 20);
    int first = 0, second = 0;
    auto isAxis = [](const Segment& e) {
        return displaytest::near(e.p, {0, 0, 0}) && std::fabs(displaytest::length(e) - 10) < 1e-6;
    };
    for (const auto& e : s)
        if (isAxis(e)) (e.colour == 12 ? first : second) += 1;
    EXPECT_EQ(first, 3);
    EXPECT_EQ(second, 3);
    EXPECT_EQ(colorLut(15), 7);
    EXPECT_EQ(viewAzimuth, 30);
    s = repaintSegments(30, 90);
    EXPECT_EQ(std::count_if(s.begin(), s.end(), isAxis), 3);
}

TEST_F(RepaintTest, HpglExportWritesOnePictureAndClosesIt) {
    makeObject(kWireAxes)->firstSurface->axisLength = 10;
    ASSERT_TRUE(exportHpglPlot(dir.file("system.hgl"), host));
    EXPECT_EQ(plotState().hpglFile, nullptr);
    Lines h = displaytest::readLines(dir.file("system.hgl"));
    ASSERT_GE(h.size(), 4u);
    EXPECT_EQ(h[0], "IN;VS 16.5;SP 1;");
    EXPECT_EQ(h[1], "SC 0 799 0 599;");
    EXPECT_EQ(h.back(), "SP 0; IN;");
    EXPECT_NE(std::find(h.begin(), h.end(), "SP 15;"), h.end());
    EXPECT_EQ(paints, 1);
}

TEST_F(RepaintTest, ThePaintTruncatesTheAnglesAndSetsTheGridFlag) {
    viewAzimuth = 30.7;
    viewElevation = -20.9;
    viewGrid = 1;
    host.updateAllViews();
    EXPECT_EQ(gridOn, 1);
    EXPECT_EQ(viewAzimuth, 30);
    EXPECT_EQ(viewElevation, -20);
}

TEST_F(RepaintTest, RequestRedrawRepaintsTheViewAtOnce) {
    requestRedraw();
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(repaintRequested, 0); // cleared by that repaint
    setViewWindow(nullptr);
    requestRedraw();
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(repaintRequested, 1);
}

TEST_F(RepaintTest, ViewCommandSetsAnglesRaysAndSaves) {
    parse({"rays", "save"}, {"azimuth=60", "distance=5000"});
    EXPECT_EQ(viewCommand("system"), 1);
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(viewRays, 1);
    EXPECT_EQ(viewAzimuth, 60);
    EXPECT_EQ(viewElevation, 20);
    EXPECT_EQ(eyeDistance, 5000);
    EXPECT_EQ(saveRequested, 0);
    EXPECT_NE(screen().find("Plot file created: plot0"), std::string::npos);
    EXPECT_EQ(displaytest::readLines(dir.file("plot0"))[0], "s 0 799 0 599");
    parse({"x"});
    viewCommand("x");
    EXPECT_EQ(viewType, 4);
    EXPECT_EQ(viewRays, 0);
    parse({"orthogonal"});
    viewCommand("orthogonal");
    EXPECT_EQ(orthogonalMode, 1);
    EXPECT_EQ(paints, 3);
    // Views that do not repaint: no redraw, and a save waits for the next repaint.
    parse({"from_object", "rays"});
    viewCommand("from_object");
    EXPECT_EQ(viewRays, 1);
    EXPECT_EQ(paints, 3);
}

TEST_F(RepaintTest, ImageSizesAreChecked) {
    for (const char* bad : {"nx=641", "nx=-3", "ny=0"}) {
        parse({"image"}, {bad, "azimuth=10"});
        EXPECT_EQ(viewCommand("image"), 0) << bad;
        EXPECT_EQ(viewAzimuth, 45) << bad; // refused before anything changed
    }
    EXPECT_NE(screen().find("ERROR: Nx and ny must be greater than 0, less than 641.\n"),
              std::string::npos);
    EXPECT_NE(screen().find("ERROR: Try again.\n"), std::string::npos);
    parse({"image"}, {"nx=640", "ny=1", "azimuth=10"});
    EXPECT_EQ(viewCommand("image"), 1);
    EXPECT_EQ(viewAzimuth, 10);
    EXPECT_EQ(systemMode, 1);
}

TEST_F(RepaintTest, PolarViewsNeedAUsableObject) {
    parse({"polar"}, {"object=4"});
    viewCommand("polar");
    EXPECT_EQ(viewType, 0); // no object 4: the system view
    EXPECT_EQ(systemMode, 1);
    ObjectRecord* o = makeObject(kWireFlatMirror);
    parse({"intensity"}, {"object=0.9999"});
    viewCommand("intensity");
    EXPECT_EQ(viewType, 7);
    EXPECT_EQ(viewObject, o->number);
    o->placed = 0;
    parse({"polar"}, {"object=1"});
    viewCommand("polar");
    EXPECT_EQ(viewType, 0);
}

TEST_F(RepaintTest, SaveWithAViewThatDoesNotRepaintKeepsItsFile) {
    parse({"save", "polar"});
    viewCommand("maxwellian");
    EXPECT_EQ(plotState().displayFileOpen, 1);
    parse({"save"});
    viewCommand("maxwellian"); // the first file ends before the second opens
    EXPECT_NE(screen().find("Plot file created: plot0"), std::string::npos);
    EXPECT_EQ(plotState().displayFileName, "plot1");
}

TEST_F(RepaintTest, SettingsHooksReachTheView) {
    installDisplaySettingsHooks();
    settingsHooks().setViewAngles(10, 5);
    EXPECT_EQ(viewAzimuth, 10);
    EXPECT_EQ(viewElevation, 5);
    EXPECT_FALSE(settingsHooks().displayFileName().has_value());
    openPlotFile("named.dsp");
    EXPECT_EQ(settingsHooks().displayFileName().value(), "named.dsp");
    settingsHooks() = SettingsHooks{};
}

} // namespace
