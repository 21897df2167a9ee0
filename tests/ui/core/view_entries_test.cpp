// The view's entries against their tables over the real interpreter: dialog modes and paths,
// fixed command texts, toggles, presets, predicates from snapshots; and the view's drags and
// keys, which reach the model only as logged command texts.
#include <filesystem>
#include <fstream>
#include <map>

#include "command/general/highlighting.h"
#include "command/interpreter/parsed_command.h"
#include "command/settings/settings.h"
#include "display/raster/bitmap_holder.h"
#include "display/views/repaint.h"
#include "display/views/view_modes.h"
#include "engine/files/ray_files.h"
#include "engine/model/current_objects.h"
#include "parts/templates/define_params.h"
#include "tests/ui/core/view_fixture.h"
#include "ui/core/view_geometry.h"

using namespace viewtest;
namespace fs = std::filesystem;

namespace {
struct DialogCall {
    int mode;
    std::string path;
};
} // namespace

class ViewEntriesTest : public ViewTest {
  protected:
    void SetUp() override {
        ViewTest::SetUp();
        viewSeams().commandDialog = [this](int mode, const std::string& path) {
            dialogs.push_back({mode, path});
        };
    }
    std::vector<DialogCall> dialogs;
};

TEST_F(ViewEntriesTest, DialogEntriesSendTheirModeAndPath) {
    const std::map<std::string, DialogCall> table = {
        {"&Design>Lightsource", {1, "define/lightsource"}},
        {"&Design>Lens>Spherical...", {1, "define/lens/spherical"}},
        {"&Design>Lens>Cylindrical>y-powered...", {1, "define/lens/cylindrical/y_powered"}},
        {"&Design>Aperture>Oval>Hrectang...", {1, "define/aperture/oval/hrectangle"}},
        {"&Design>Cavity>Eltrough...", {2, "define/cavity/eltrough"}},
        {"#105>Conic>Round...", {3, "define/mirror/conic/round"}},
        {"&Design>Mirror...>Flat>Rectangle...", {4, "define/mirror/flat/rectang"}},
        {"#105>Pledge>Zdepth...", {3, "define/mirror/parabolic/pledge/zdepth"}},
        {"#105>Pledge...", {3, "define/mirror/spherical/pledge"}},
        {"&Design>Mirror...>CPC...", {3, "define/mirror/cpc"}},
        {"#105>Polynet>Start...", {1, "polynet/noconfirm/start"}},
        {"#105>Polynet>Vertex...", {0, "polynet/noconfirm/vertex"}},
        {"#105>Polynet>Normalize", {-1, "polynet/noconfirm/normalize"}},
        {"&Modify>Polynet...", {-1, "polynet/noconfirm/modify"}},
        {"#105>SurfaceHole...>Rectangular...", {-1, "modify/surface/hole/rectangular"}},
        {"#105>AltSurfaces>Grating...", {-1, "modify/altsurfaces/grating/x_cylindrical"}},
        {"#105>SurfaceFresnel>Off (Normal)...", {-1, "modify/surface/fresnel/off"}},
        {"#105>Scatterer>X-Y Exponential...", {-1, "modify/scatterer/xy_exponential"}},
        {"&Edit>Delete", {-1, "delete"}},
        {"&Analyze>&Energy>Y Linear...", {-2, "energy/ylinear"}},
        {"#105>Polar...", {0, "energy/polar"}},
        {"&Analyze>&Display>AltSurfaces...", {-3, "display/altsurface"}},
        {"#105>Parameters...", {-3, "display/parameter"}},
        {"&Analyze>Radiometer>Clear...", {-1, "radiometer/reset"}},
        {"&Options>RayTraceLimits...", {0, "set/raylimit"}},
        {"&Window>SunPosition>Absolute...", {0, "set/sun/absolute"}},
        {"#toolbar>Display a ray segment highlighted in a user selectable color.", {0, "echo/on/rayhilite"}},
        {"#toolbar>Resets the number of bins in x and y in the radiometer attached to the selected part.",
         {-1, "radiometer/resize"}},
    };
    for (const auto& [path, call] : table) {
        dialogs.clear();
        choose(path);
        ASSERT_EQ(dialogs.size(), 1u) << path;
        EXPECT_EQ(dialogs[0].mode, call.mode) << path;
        EXPECT_EQ(dialogs[0].path, call.path) << path;
    }
}

TEST_F(ViewEntriesTest, EveryEntryHasAUniqueIdAndRunsWithoutAModel) {
    const auto all = viewEntries(*view);
    std::map<int, std::string> ids;
    for (const auto& e : all) {
        EXPECT_TRUE(ids.emplace(e.id, e.path).second) << e.path << " shares id " << e.id;
        ASSERT_TRUE(e.handler) << e.path;
    }
    EXPECT_GT(all.size(), 150u);
    // The toolbar identifiers of the main toolbar are the view's.
    for (int id : {32768, 32769, 32770, 32771, 32772, 32773, 32962, 32774, 33012, 32784, 32783,
                   32930, 32867, 32868, 32869, 32865, 32981, 57607, 57609, 57634})
        EXPECT_TRUE(ids.count(id)) << id;
    // Every entry, in an empty model, neither crashes nor loses the settings file's world.
    for (const auto& e : all) {
        if (e.path == "#105>Tour") continue; // its own test
        e.handler();
    }
    EXPECT_EQ(objectCount, 0);
}

TEST_F(ViewEntriesTest, TraceEntriesFollowSaveRaysAndPresetStoredValues) {
    saveRays = 0;
    choose("&Analyze>&Raytrace>Cone>Eqsolid...");
    saveRays = 1;
    choose("&Analyze>&Raytrace>Cone>Eqsolid...");
    choose("&Analyze>&Raytrace>Extended>Oval...");
    saveRays = 0;
    choose("&Analyze>&Raytrace>Extended>Rectangle...");
    ASSERT_EQ(dialogs.size(), 4u);
    EXPECT_EQ(dialogs[0].path, "raytrace/new/cone/eqsolid/nosave");
    EXPECT_EQ(dialogs[1].path, "raytrace/new/cone/eqsolid/yessave");
    EXPECT_EQ(dialogs[2].path, "raytrace/new/custom/yessave/oval");
    EXPECT_EQ(dialogs[3].path, "raytrace/new/custom/nosave/rect");
    for (const auto& d : dialogs)
        EXPECT_EQ(d.mode, -1);

    // Stored angles preset the cone dialog in degrees; the cosine lamp gets object and count.
    // The light source stays the current one when the selection is no light source.
    auto& v = qelViewState();
    v.sourcePreset = 1;
    v.sourceObject = 3;
    v.sourceCounts[0] = 500;
    v.sourceCounts[1] = 7;
    v.sourceAngles[0] = 0.5235987755982988;
    v.sourceAngles[1] = 0.0;
    currentLightSource = 3;
    viewObject = 2;
    choose("&Analyze>&Raytrace>Cone>Fullangle...");
    EXPECT_EQ(currentLightSource, 3);
    EXPECT_STREQ(defineParams.paramValues[0], "3");
    EXPECT_STREQ(defineParams.paramValues[1], "500");
    EXPECT_STREQ(defineParams.paramValues[2], "7");
    EXPECT_STREQ(defineParams.paramValues[3], "30");
    choose("#105>CosineLamp...");
    EXPECT_STREQ(defineParams.paramValues[0], "3");
    EXPECT_STREQ(defineParams.paramValues[1], "500");
}

TEST_F(ViewEntriesTest, FixedCommandsReachTheLog) {
    choose("&Window>SetUnits>inches");
    choose("&Window>SetUnits>meters");
    choose("&Window>LineWorkResolution>Low");
    choose("&Analyze>&Display>Rays");
    choose("#105>ScanRays>ScanNow");
    const std::string l = log();
    for (const char* text : {"set/units/inch", "set/units/met", "set/resolution/low", "display/ray", "energy/polar"})
        EXPECT_NE(l.find(text), std::string::npos) << text;
    EXPECT_EQ(ui.commands, (std::vector<std::string>{"set/units/inch", "set/resolution/low", "display/ray",
                                                     "energy/polar"}));
    EXPECT_EQ(ui.lines, (std::vector<std::string>{"set/units/met"}));
    // The units entries check what the unit now is.
    const ViewSnapshot s = takeViewSnapshot(false);
    EXPECT_TRUE(entry("&Window>SetUnits>meters").checked(s));
    EXPECT_FALSE(entry("&Window>SetUnits>inches").checked(s));
}

TEST_F(ViewEntriesTest, MonochromeGridAndQuickHighlights) {
    monochrome = 0;
    choose("&View>Monochrome");
    EXPECT_EQ(ui.lines.back(), "set/color/mono");
    EXPECT_EQ(monochrome, 1);

    // The grid on presets the dialog with the z increment; off sends nothing.
    gridIncrements[2] = 12.5;
    viewGrid = 0;
    choose("&View>Grid");
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].path, "set/grid");
    EXPECT_STREQ(defineParams.paramValues[0], "12.5");
    const std::size_t before = ui.commands.size() + ui.lines.size();
    choose("&View>Grid");
    EXPECT_EQ(viewGrid, 0);
    EXPECT_EQ(ui.commands.size() + ui.lines.size(), before);
    EXPECT_EQ(dialogs.size(), 1u);

    choose("&View>HighLight>QuickRaySeg");
    EXPECT_EQ(ui.commands.back(), "echo/on/rayhilite 1 1 12");
    EXPECT_EQ(qelViewState().selectorMode, kSelectPoint);
    choose("&View>HighLight>QuickRaySeg");
    EXPECT_EQ(ui.commands.back(), "echo/on/rayhilite 0 0 0");
    EXPECT_EQ(qelViewState().selectorMode, kSelectPoint);
    // Kept as it is: "0 0 0" highlights ray 0 rather than switching the highlight off.
    EXPECT_EQ(highlightState().rayParent, 0);
    choose("&View>HighLight>QuickFacet/Surface");
    EXPECT_EQ(ui.commands.back(), "echo/on/surfacehilite 1 1 14");
    EXPECT_EQ(qelViewState().selectorMode, kSelectNormal);
}

TEST_F(ViewEntriesTest, SolidModesAndTheirEnabling) {
    // The entries switch the display's solid mode, which the console's picture follows too.
    choose("&View>Type>SolidModel");
    EXPECT_EQ(solidMode, 1);
    choose("&View>Type>SolidOverlay");
    EXPECT_EQ(solidMode, 2);
    choose("&View>Type>SolidModel");
    EXPECT_EQ(solidMode, 0);
    choose("&View>Type>SolidOverlay");
    choose("&View>Type>SolidOverlay");
    EXPECT_EQ(solidMode, 0);

    // Enabled by a rendered image, as view/image leaves one.
    EXPECT_FALSE(takeViewSnapshot(false).hasRenderedImage);
    ASSERT_TRUE(makeImageDib(4, 3));
    EXPECT_TRUE(takeViewSnapshot(false).hasRenderedImage);
    ViewSnapshot s;
    s.memsplit = true;
    s.hasRenderedImage = false;
    EXPECT_FALSE(entry("&View>Type>SolidModel").enabled(s));
    s.hasRenderedImage = true;
    EXPECT_TRUE(entry("&View>Type>SolidModel").enabled(s));
    s.commandRunning = true;
    EXPECT_FALSE(entry("&View>Type>SolidModel").enabled(s));
}

TEST_F(ViewEntriesTest, PredicatesFromSnapshots) {
    ViewSnapshot s;
    EXPECT_FALSE(entry("&Edit>Place...").enabled(s));
    EXPECT_FALSE(entry("&View>Type>Film").enabled(s));
    EXPECT_FALSE(entry("&View>Type>Energy").enabled(s));
    EXPECT_FALSE(entry("&View>Type>Intensity (radiometer)").enabled(s));
    EXPECT_FALSE(entry("&Analyze>Radiometer>Attach...").enabled(s));
    s.objectCount = 2;
    s.currentDetector = 1;
    s.spotFileOpen = true;
    s.viewObjectHasRadiometer = true;
    EXPECT_TRUE(entry("&Edit>Place...").enabled(s));
    EXPECT_TRUE(entry("&View>Type>Film").enabled(s));
    EXPECT_TRUE(entry("&View>Type>Energy").enabled(s));
    EXPECT_TRUE(entry("&View>Type>Intensity (radiometer)").enabled(s));
    EXPECT_TRUE(entry("&Analyze>Radiometer>Attach...").enabled(s));
    s.selectedPolynetRadiometer = true;
    EXPECT_FALSE(entry("&View>Type>Intensity (radiometer)").enabled(s));
    EXPECT_TRUE(entry("&View>Type>PolarRadiometer").enabled(s));
    s.viewType = 9;
    EXPECT_TRUE(entry("#105>Polar>Z").checked(s));
    EXPECT_FALSE(entry("#105>Polar>Y").checked(s));
    s.spotsOff = 0;
    EXPECT_TRUE(entry("&Options>SaveSpots").checked(s));
    s.selectorMode = 3;
    EXPECT_TRUE(entry("#105>SelectorMode>Normal").checked(s));
    s.resolution = 3;
    EXPECT_TRUE(entry("&Window>LineWorkResolution>High").checked(s));
    s.energyAbsolute = 0;
    EXPECT_TRUE(entry("&Analyze>&Energy>Preferences>Relative").checked(s));
}

TEST_F(ViewEntriesTest, SaveRaysAndSaveSpotsDeleteTheDataFiles) {
    auto touch = [](const std::string& p) { std::ofstream(p) << "x"; };
    touch(rayFilePath());
    touch(spotFilePath());
    saveRays = 1;
    choose("&Options>SaveRays"); // off: rays.dat goes
    EXPECT_FALSE(fs::exists(rayFilePath()));
    EXPECT_TRUE(fs::exists(spotFilePath()));
    touch(rayFilePath());
    spotsOff = 0;
    choose("&Options>SaveSpots"); // check removed: both go
    EXPECT_EQ(spotsOff, 1);
    EXPECT_FALSE(fs::exists(rayFilePath()));
    EXPECT_FALSE(fs::exists(spotFilePath()));
    touch(rayFilePath());
    choose("&Options>SaveSpots"); // check set again: nothing deleted
    EXPECT_TRUE(fs::exists(rayFilePath()));
}

TEST_F(ViewEntriesTest, DialogsWithoutTheirPieceClearTheRedefinition) {
    viewSeams().commandDialog = nullptr;
    bool cleared = false;
    viewSeams().clearRedefinitionMark = [&] { cleared = true; };
    redefineMode = 1;
    choose("&Design>Rod...");
    EXPECT_TRUE(cleared);
    EXPECT_EQ(redefineMode, 0);
    redefineMode = 1;
    choose("&Edit>Rotate...");
    EXPECT_EQ(redefineMode, 0);
    EXPECT_TRUE(ui.commands.empty());
}

TEST_F(ViewEntriesTest, ViewTypesPrintingAndTheClipboard) {
    choose("&View>Type>Orthographic");
    EXPECT_EQ(orthogonalMode, 1);
    EXPECT_EQ(systemMode, 0);
    choose("&View>Type>Y");
    EXPECT_EQ(viewType, 5);
    EXPECT_EQ(orthogonalMode, 0);
    choose("#105>Polar>X");
    EXPECT_EQ(viewType, 11);
    choose("&View>Type>Perspective (System)");
    EXPECT_EQ(systemMode, 1);
    EXPECT_EQ(viewType, 0);
    EXPECT_GE(ui.updates, 4); // always, whatever AutoRedraw says

    ui.files = {"", home.file("pic")};
    choose("&File>PrintMetaFile..."); // cancelled
    EXPECT_EQ(ui.metafiles, 0);
    choose("&File>PrintMetaFile...");
    EXPECT_EQ(ui.metafilePath, home.file("pic.emf"));
    choose("&Edit>CopyBitmap");
    choose("&File>Print Pre&view");
    EXPECT_EQ(ui.bitmaps, 1);
    EXPECT_EQ(ui.previews, 1);
    EXPECT_EQ(entry("&Edit>CopyBitmap").shortcut, "Ctrl+C");
}

TEST_F(ViewEntriesTest, TourWritesOneLinePerPathAndABoxEach) {
    choose("#105>Tour");
    const std::string tour = testsupport::readFile(home.path() / "tour.txt");
    EXPECT_NE(tour.find("photometry"), std::string::npos);
    EXPECT_NE(tour.find("radiometer"), std::string::npos);
    EXPECT_EQ(tour.find("raytrace"), std::string::npos);
    const auto lines = static_cast<std::size_t>(std::count(tour.begin(), tour.end(), '\n'));
    EXPECT_EQ(lines, ui.infos.size());
    EXPECT_GT(lines, 5u);
    EXPECT_EQ(tourState().on, 0);
}

// ---- drags and keys ----

class ViewMouseTest : public ViewTest {};

TEST_F(ViewMouseTest, AzElDragTurnsTheView) {
    viewAzimuth = 45;
    viewElevation = 20;
    view->OnLButtonDown(500, 200);
    view->OnMouseMove(300, 250);
    view->OnLButtonUp(100, 300);
    EXPECT_DOUBLE_EQ(viewAzimuth, 134.6637608966376);
    EXPECT_DOUBLE_EQ(viewElevation, 2.0);
    EXPECT_EQ(ui.angles[0], viewAzimuth);
    // A release without a drag does nothing; a zero client changes nothing.
    view->OnLButtonUp(0, 0);
    EXPECT_DOUBLE_EQ(viewAzimuth, 134.6637608966376);
    ui.width = 0;
    view->OnLButtonDown(10, 10);
    view->OnLButtonUp(400, 400);
    EXPECT_DOUBLE_EQ(viewAzimuth, 134.6637608966376);
}

TEST_F(ViewMouseTest, ArrowKeysStepAnglesAndStopAt90) {
    viewElevation = 75;
    for (int i = 0; i < 4; ++i)
        view->OnArrowKey(CQelView::Arrow::Up);
    EXPECT_EQ(viewElevation, 90.0);
    viewAzimuth = 178;
    view->OnArrowKey(CQelView::Arrow::Right);
    EXPECT_EQ(viewAzimuth, -177.0);
}

TEST_F(ViewMouseTest, KeysWithoutObjectsOrRaysDoNotFail) {
    qelViewState().selectorMode = kSelectNormal;
    for (auto k : {CQelView::Arrow::Up, CQelView::Arrow::Down, CQelView::Arrow::Left, CQelView::Arrow::Left})
        view->OnArrowKey(k);
    EXPECT_EQ(qelViewState().highlightSurface, 1);
    EXPECT_EQ(ui.paneLabels[0], "Surface");
    qelViewState().selectorMode = kSelectPoint;
    view->OnArrowKey(CQelView::Arrow::Down);
    view->OnArrowKey(CQelView::Arrow::Right);
    EXPECT_EQ(ui.paneLabels[0], "Ray");
    EXPECT_EQ(ui.paneLabels[1], "1-2");
    qelViewState().selectorMode = kSelectSizeBox; // not the film view: nothing
    view->OnArrowKey(CQelView::Arrow::Left);
    EXPECT_TRUE(ui.commands.empty());
}

TEST_F(ViewMouseTest, SizeBoxInAnAxisViewSetsTheWorkboxButNotAFlatAxis) {
    viewType = kViewAxisZ; // maps x and y through the z pane
    auto& v = qelViewState();
    v.zPaneMap = {400, 250, 2, 2};
    v.selectorMode = kSelectSizeBox;
    view->OnLButtonDown(300, 200);
    view->OnMouseMove(350, 220);
    view->OnLButtonUp(500, 300);
    ASSERT_EQ(ui.lines.size(), 2u);
    EXPECT_EQ(ui.lines[0], "set/workbox xs=            50 xc=             0");
    EXPECT_EQ(ui.lines[1], "set/workbox ys=            25 yc=             0");
    EXPECT_NE(log().find("set/workbox xs="), std::string::npos);
    EXPECT_EQ(workbox.halfSize[0], 50.0);
    EXPECT_EQ(workbox.halfSize[2], 100.0); // z unmapped: unchanged
    // In the system view nothing maps: no command.
    viewType = 0;
    view->OnLButtonDown(300, 200);
    view->OnLButtonUp(500, 300);
    EXPECT_EQ(ui.lines.size(), 2u);
}

TEST_F(ViewMouseTest, FilmZoomAndAFlatDragShowingTheWholeFilm) {
    filmMode = 1;
    auto& v = qelViewState();
    v.zPaneMap = {0, 0, 10, 10};
    v.selectorMode = kSelectSizeBox;
    view->OnLButtonDown(100, 100);
    view->OnLButtonUp(300, 200);
    EXPECT_EQ(filmWindow[0], 20.0);
    EXPECT_EQ(filmWindow[1], 15.0);
    EXPECT_EQ(filmWindow[2], 10.0);
    EXPECT_EQ(filmWindow[3], 5.0);
    view->OnArrowKey(CQelView::Arrow::Right);
    EXPECT_EQ(filmWindow[0], 22.5);
    view->OnLButtonDown(100, 100);
    view->OnLButtonUp(300, 100);
    EXPECT_EQ(filmWindow[2], 0.0);
    EXPECT_EQ(filmWindow[3], 0.0);
}

TEST_F(ViewMouseTest, NormalDragTranslatesTheSelectedObject) {
    run("define/lens lens1");
    run("place/object lens1 0 0 0");
    ASSERT_EQ(objectCount, 1);
    viewType = kViewAxisZ;
    auto& v = qelViewState();
    v.zPaneMap = {400, 250, 2, 2};
    v.selectorMode = kSelectNormal;
    view->OnLButtonDown(400, 250);
    EXPECT_EQ(viewObject, 1);
    view->OnLButtonUp(420, 240);
    ASSERT_FALSE(ui.commands.empty());
    EXPECT_EQ(ui.commands.back(), "translate/global lens1 10 -5 0");
    EXPECT_NE(log().find("translate/global lens1 10 -5 0"), std::string::npos);
    // A zero drag, or one where nothing maps, issues nothing.
    const std::size_t n = ui.commands.size();
    view->OnLButtonDown(400, 250);
    view->OnLButtonUp(400, 250);
    viewType = 0;
    view->OnLButtonDown(400, 250);
    view->OnLButtonUp(600, 50);
    EXPECT_EQ(ui.commands.size(), n);
}

TEST_F(ViewMouseTest, PointModeSnapsToTheGrid) {
    viewType = kViewAxisZ;
    auto& v = qelViewState();
    v.zPaneMap = {0, 0, 1, 1};
    v.selectorMode = kSelectPoint;
    v.gridSnap = 1;
    gridIncrements[0] = gridIncrements[1] = gridIncrements[2] = 10;
    view->OnLButtonDown(10, 10);
    view->OnMouseMove(12, 14);
    ASSERT_FALSE(ui.overlays.empty());
    EXPECT_EQ(ui.overlays.back(), "       12        14         0");
    view->OnLButtonUp(15, -15);
    EXPECT_EQ(v.pickedPoint[0], 20.0);
    EXPECT_EQ(v.pickedPoint[1], -20.0);
    // A first increment when the x increment is not above 0.
    gridIncrements[0] = 0;
    view->OnLButtonDown(1, 1);
    EXPECT_GT(gridIncrements[0], 0.0);
    EXPECT_EQ(gridIncrements[1], gridIncrements[0]);
}

TEST_F(ViewMouseTest, CommandsOverTheReadersLengthAreRefused) {
    const std::string text(300, 'x');
    view->IssueCommand("%s", text.c_str());
    EXPECT_TRUE(ui.commands.empty());
    ASSERT_EQ(ui.errors.size(), 1u);
}

TEST_F(ViewMouseTest, ProgressIsDrawnOnlyWhenItChanges) {
    view->ShowProgress(0.5);
    view->ShowProgress(0.501);
    view->ShowProgress(-1);
    ASSERT_EQ(ui.overlays.size(), 2u);
    EXPECT_EQ(ui.overlays[0], "50 % Complete       ");
    EXPECT_EQ(ui.overlays[1], "Escaped                    ");
}

// ---- the paint ----

#include "command/settings/color_tables.h"
#include "display/raster/raster_surface.h"
#include "display/raster/recording_surface.h"
#include "display/views/view_host.h"

class ViewPaintTest : public ViewTest {};

TEST_F(ViewPaintTest, AGreyPrinterPageIsBlackOnWhiteUnderItsHeader) {
    run("define/lens lens1");
    run("place/object lens1 0 0 0");
    viewBox = 1;
    HeadlessViewHost host(400, 300);
    RasterSurface page(900, 1200, SurfaceKind::Printer);
    page.erase();
    view->OnDraw(host, page, true, "11:05PM Tue, Dec 08, 2026  lens.opt");
    long ink = 0, coloured = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const Rgb p = page.pixel(x, y);
            if (p == Rgb{0xFF, 0xFF, 0xFF}) continue;
            ++ink;
            if (!(p == Rgb{0, 0, 0})) ++coloured;
        }
    EXPECT_GT(ink, 500);
    EXPECT_EQ(coloured, 0);
    EXPECT_EQ(colorTableState().current, kColorMapped); // the screen's table again
    EXPECT_EQ(qelViewState().printingNow, 0);
    // The page keeps the screen's aspect of the last screen paint, not its own.
    RasterSurface screen(803, 500);
    view->OnDraw(host, screen);
    EXPECT_DOUBLE_EQ(qelViewState().printAspect, 803.0 / 500.0);
    view->OnDraw(host, page, false);
    EXPECT_DOUBLE_EQ(qelViewState().printAspect, 803.0 / 500.0);

    // The header goes onto the printed page only.
    RecordingSurface recorded(900, 1200, SurfaceKind::Printer);
    view->OnDraw(host, recorded, false, "HEADER-TEXT");
    bool header = false;
    for (const auto& c : recorded.calls)
        if (c.find("HEADER-TEXT") != std::string::npos) header = true;
    EXPECT_TRUE(header);
}

TEST_F(ViewPaintTest, SolidModeChoosesTheImageAndAutoFletchTheArrowLength) {
    auto& v = qelViewState();
    HeadlessViewHost host(200, 100);
    RasterSurface s(200, 100);
    // The rendered image fills the picture in solid mode 1; the held bitmap (a pasted one)
    // is not what the solid view shows.
    ColourTable table{};
    table[1] = {255, 0, 0};
    DibBlock held = makeIndexedDib(1, 1, table);
    setDibIndex(held, 0, 0, 1);
    bitmapState().dibHandle = held;
    imagePaletteIndex = kImagePaletteRed;
    ASSERT_TRUE(makeImageDib(2, 1));
    // Left pixel index 0 (black), right pixel 200 (red 200); rows padded to 4 bytes.
    imageDib[imageBitsOffset(imageDib) + 1] = 200;
    solidMode = 1;
    view->OnDraw(host, s);
    EXPECT_EQ(s.pixel(0, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(s.pixel(99, 99), (Rgb{0, 0, 0}));
    EXPECT_EQ(s.pixel(100, 0), (Rgb{200, 0, 0}));
    EXPECT_EQ(s.pixel(199, 99), (Rgb{200, 0, 0}));
    // The console's paint of the same image gives the same picture.
    RasterSurface console(200, 100);
    paintView(host, console);
    for (int x : {0, 99, 100, 199})
        for (int y : {0, 99})
            EXPECT_EQ(console.pixel(x, y), s.pixel(x, y)) << x << "," << y;
    // The four views show no solid image.
    orthogonalMode = 1;
    RasterSurface t(200, 100);
    t.erase();
    view->OnDraw(host, t);
    EXPECT_NE(t.pixel(100, 50), (Rgb{255, 0, 0}));
    orthogonalMode = 0;
    solidMode = 0;

    v.autoFletch = 1;
    fletchOn = 1;
    workbox.halfSize[0] = 30;
    workbox.halfSize[1] = 40;
    workbox.halfSize[2] = 0;
    view->OnDraw(host, s);
    EXPECT_DOUBLE_EQ(arrowHeadSize, 2.5);
}

// With automatic retrace on, a view command ends by repeating the stored trace through the
// document's raytrace manager, so the rays follow the model.
TEST_F(ViewEntriesTest, FinishingAViewCommandRepeatsTheStoredTrace) {
    run("define/lightsource lamp");
    run("place/object lamp 0 0 0");
    run("raytrace/cone lamp nx=3 ny=2 hfov=60 vfov=20");
    const auto rays = home.path() / "rays.dat";
    const std::string first = testsupport::readFile(rays);
    ASSERT_FALSE(first.empty());
    std::filesystem::remove(rays);
    autoRetrace = 0;
    view->FinishViewCommand();
    EXPECT_FALSE(std::filesystem::exists(rays));
    autoRetrace = 1;
    view->FinishViewCommand();
    EXPECT_EQ(testsupport::readFile(rays), first);
}
