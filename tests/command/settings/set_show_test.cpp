#include <climits>
#include <fstream>

#include "command/settings/settings_file.h"
#include "tests/command/settings_fixture.h"

namespace {

using testsupport::readFile;

class SetShow : public testsupport::SettingsFixture {
  protected:
    bool exists(const std::string& name) { return std::filesystem::exists(dir.file(name)); }
    void touch(const std::string& name) { std::ofstream(dir.file(name)) << "data"; }
};

const char* const kWavelengthListing = "# Wavelength(microns) Weight\n"
                                       "1    0.5     1\n2    1     0\n3    1     0\n"
                                       "4    1     0\n5    1     0\n6    1     0\n"
                                       "7    1     0\n8    1     0\n9    1     0\n"
                                       "10    1     0\n11    1     0\n12    1     0\n";

// ---- switches ----

TEST_F(SetShow, SwitchesAndTheirNoWordDefaults) {
    EXPECT_EQ(run("set/fresnel"), "Fresnel reflection mode is ON.\n");
    EXPECT_EQ(fresnelOn, 1);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(run("set/fres/of"), "Fresnel reflection mode is OFF.\n");
    EXPECT_EQ(fresnelOn, 0);

    rayRainbow = 1;
    EXPECT_EQ(run("set/rayrainbow"), "Rays will be drawn in 2 colors.\n");
    EXPECT_EQ(run("set/rayrainbow/on"), "Rays will be drawn in a 15 colors, cyclicly.\n");
    EXPECT_EQ(cyclicRayColours, 1);

    sphLensVertex = 1;
    EXPECT_EQ(run("set/sphlensvertex"),
              " Spherical lens coordinate origin is at geometric center.\n");
    EXPECT_EQ(run("set/sphlensvertex/on"),
              " Spherical lens coordinate origin is at the vertex of the first surface.\n");

    EXPECT_EQ(run("set/frame/off"), "Frame will NOT be drawn on plots.\n");
    EXPECT_EQ(viewFrame, 0);
    EXPECT_EQ(run("set/frame"), "Frame will be drawn on plots.\n");
    EXPECT_EQ(run("set/viewbeep"), "Viewbeep is ON.\n");
    EXPECT_EQ(run("set/viewbeep/off"), "Viewbeep is OFF.\n");
    EXPECT_EQ(run("set/autoretrace/off"), "Autoretrace is OFF.\n");
    EXPECT_EQ(autoRetrace, 0);
    EXPECT_EQ(run("set/autoretrace"), "Autoretrace is ON.\n");

    EXPECT_EQ(run("set/silent_err"), ""); // stored, never shown
    EXPECT_EQ(settingsState().silentError, 1);
    EXPECT_EQ(run("set/silent_err/off"), "");
    EXPECT_EQ(settingsState().silentError, 0);

    // autoredraw reports itself instead of a SHOW.
    EXPECT_EQ(run("set/autoredraw/off"), "AutoRedraw is off.\n");
    EXPECT_EQ(autoRedraw, 0);
    EXPECT_EQ(run("set/autoredraw"), "AutoRedraw is on.\n");
}

TEST_F(SetShow, AddRaysNeedsOnOrOff) {
    EXPECT_EQ(run("set/add_rays"), "ERROR:  SET/ADD_RAYS must include /ON or /OFF.\n");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(errorOccurred, 1);
    EXPECT_EQ(addRays, 0);
    EXPECT_EQ(run("set/add_rays/on"), " Ray data will be added to end of existing data file.\n");
    EXPECT_EQ(addRays, 1);
    EXPECT_EQ(run("set/add/off"), " Ray data file will be truncated at next ray trace.\n");
    EXPECT_EQ(addRays, 0);
}

TEST_F(SetShow, DataSavingSwitchesDeleteTheDataFiles) {
    int closed = 0;
    bool raysThereWhenClosed = false;
    settingsHooks().closeRayFiles = [&] {
        ++closed;
        raysThereWhenClosed = exists("rays.dat");
    };
    touch("rays.dat");
    touch("spots.dat");
    EXPECT_EQ(run("set/savespots"), "Spot data saving is ON.\n"); // no word keeps spots saved
    EXPECT_EQ(spotsOff, 0);
    EXPECT_TRUE(exists("spots.dat"));
    EXPECT_EQ(run("set/savespots/on"), "Spot data saving is ON.\n");
    EXPECT_EQ(closed, 0);

    EXPECT_EQ(run("set/saverays/off"), "Ray data saving is OFF.\n");
    EXPECT_EQ(saveRays, 0);
    EXPECT_FALSE(exists("rays.dat"));
    EXPECT_TRUE(exists("spots.dat"));
    EXPECT_EQ(closed, 1);
    EXPECT_TRUE(raysThereWhenClosed); // handles are closed before the files go

    touch("rays.dat");
    EXPECT_EQ(run("set/savespots/off"), "Spot data saving is OFF.\n");
    EXPECT_EQ(spotsOff, 1);
    EXPECT_FALSE(exists("rays.dat"));
    EXPECT_FALSE(exists("spots.dat"));
    EXPECT_EQ(closed, 2);
    // Deleting what is not there is quiet.
    EXPECT_EQ(run("set/savespots/off"), "Spot data saving is OFF.\n");
    EXPECT_EQ(run("set/saverays"), "Ray data saving is ON.\n");
    EXPECT_EQ(run("show/savespots"), "Spot data saving is OFF.\n");
}

// ---- limits ----

TEST_F(SetShow, RaylimitsAreLimitedToTheRayTree) {
    EXPECT_EQ(run("set/raylimits maxdepth=200"),
              "Max allowable trace depth is 150.\n"
              "Ray trace limits:\n"
              "   Maximum number of descendants per ray: 150\n"
              "   Maximum number of ghost rays: 2\n"
              "   Minimum transmissivity along path: 0.010000\n");
    EXPECT_EQ(run("set/raylimits maxghost=500"),
              "Max allowable ghosts is 150.\n"
              "Ray trace limits:\n"
              "   Maximum number of descendants per ray: 150\n"
              "   Maximum number of ghost rays: 150\n"
              "   Minimum transmissivity along path: 0.010000\n");
    // maxghost is limited by the depth of the same command.
    run("set/raylimits maxdepth=10 maxghost=20");
    EXPECT_EQ(maxRayDepth, 10);
    EXPECT_EQ(maxGhosts, 10);
    EXPECT_NE(screen().find("Max allowable ghosts is 10.\n"), std::string::npos);
    // By position.
    run("set/raylimits 30 0.5 3");
    EXPECT_EQ(maxRayDepth, 30);
    EXPECT_EQ(minRayEnergy, 0.5);
    EXPECT_EQ(maxGhosts, 3);
}

TEST_F(SetShow, RaylimitsRefuseOneValueAndKeepTheOthers) {
    EXPECT_EQ(run("set/raylimits maxdepth=20 mintrans=1.5 maxghost=4"),
              "ERROR: Transmission must be between 0 and 1.\n"
              "Ray trace limits:\n"
              "   Maximum number of descendants per ray: 20\n"
              "   Maximum number of ghost rays: 4\n"
              "   Minimum transmissivity along path: 0.010000\n");
    run("set/raylimits mintrans=-0.1");
    EXPECT_EQ(minRayEnergy, 0.01);
    run("set/raylimits mintrans=1");
    EXPECT_EQ(minRayEnergy, 1.0);
    run("set/raylimits mintrans=0");
    EXPECT_EQ(minRayEnergy, 0.0);
}

TEST_F(SetShow, RaylimitsNeverLeaveTheIntRange) {
    run("set/raylimits maxdepth=1e30 maxghost=1e30");
    EXPECT_EQ(maxRayDepth, 150);
    EXPECT_EQ(maxGhosts, 150);
    run("set/raylimits maxdepth=-1e30 maxghost=-1e30");
    EXPECT_EQ(maxRayDepth, 0);
    EXPECT_EQ(maxGhosts, 0);
    run("set/raylimits maxdepth=-3");
    EXPECT_EQ(maxRayDepth, 0);
    run("set/raylimits maxdepth=12.9");
    EXPECT_EQ(maxRayDepth, 12);
}

TEST_F(SetShow, RouletteReportsItsState) {
    EXPECT_EQ(run("set/raylimits/roulette").substr(0, 33), "Active ray resurection roulette.\n");
    EXPECT_EQ(rayRoulette, 1);
    EXPECT_EQ(run("set/raylimits/roulette/off").substr(0, 35),
              "Inactive ray resurection roulette.\n");
    EXPECT_EQ(rayRoulette, 0);
    run("set/raylimits maxdepth=40"); // without roulette the flag stays
    EXPECT_EQ(screen().find("roulette"), std::string::npos);
    EXPECT_EQ(rayRoulette, 0);
}

TEST_F(SetShow, IterationLimits) {
    EXPECT_EQ(run("set/iteration tolerance=0.001"),
              "Iteration maximum count=7, tolerance = 1e-12\n");
    EXPECT_EQ(run("set/iteration tolerance=1e-6"),
              "Iteration maximum count=7, tolerance = 1e-06\n");
    run("set/iteration maxcount=0.5");
    EXPECT_EQ(iterationMaxCount, 7);
    run("set/iteration maxcount=0.995"); // above 0.99 counts, and stores at least 1
    EXPECT_EQ(iterationMaxCount, 1);
    run("set/iteration maxcount=25.7");
    EXPECT_EQ(iterationMaxCount, 25);
    run("set/iteration maxcount=1e20");
    EXPECT_EQ(iterationMaxCount, INT_MAX);
    run("set/iteration 30 1e-9");
    EXPECT_EQ(iterationMaxCount, 30);
    EXPECT_EQ(iterationTolerance, 1e-9);
}

TEST_F(SetShow, ProximityGlue) {
    EXPECT_EQ(run("set/proximity_glue maxdistance=0.0001"),
              "Proximity_glue is on.  Inter-object distances shorter than 0.0001 are bonded.\n");
    EXPECT_EQ(run("set/prox 0"), "Proximity_glue deactivated.\n");
    EXPECT_EQ(run("set/proximity_glue"), "Proximity_glue deactivated.\n");
}

// ---- workbox and fletch ----

TEST_F(SetShow, WorkboxValuesDefaultAndRefusal) {
    EXPECT_EQ(run("set/workbox"), "ERROR: No parameters found on the command line.\n");
    EXPECT_EQ(result, 0);
    arrowHeadSize = 1.0;
    run("set/workbox");
    EXPECT_EQ(arrowHeadSize, 1.0); // a refused command changes nothing

    EXPECT_EQ(run("set/workbox xcenter=1 zsize=40 ysize=-5 xsize=0"),
              "Workbox center: 1.000000 0.000000 0.000000\n"
              "   half widths: 75.000000 50.000000 40.000000  cm.\n");
    EXPECT_EQ(arrowHeadSize, 2.0); // 0.05 x the z half size
    run("set/workbox 1 2 3 4 5 6");
    EXPECT_EQ(workbox.center[2], 3);
    EXPECT_EQ(workbox.halfSize[2], 6);
    run("set/workbox xs=9 xc=-1"); // the names the view's box drag sends
    EXPECT_EQ(workbox.halfSize[0], 9);
    EXPECT_EQ(workbox.center[0], -1);
    run("set/workbox/default");
    EXPECT_EQ(workbox.center[0], 0);
    EXPECT_EQ(workbox.halfSize[0], 75);
    EXPECT_EQ(workbox.halfSize[2], 100);
    EXPECT_EQ(arrowHeadSize, 5.0);
}

TEST_F(SetShow, SnugWorkboxUsesItsHookOrKeepsTheBox) {
    run("set/workbox zsize=20");
    EXPECT_EQ(run("set/workbox/snug"), "Workbox center: 0.000000 0.000000 0.000000\n"
                                       "   half widths: 75.000000 50.000000 20.000000  cm.\n");
    settingsHooks().snugWorkbox = [] { workbox.halfSize[2] = 60; };
    run("set/workbox/snug");
    EXPECT_EQ(workbox.halfSize[2], 60);
    EXPECT_EQ(arrowHeadSize, 3.0);
}

TEST_F(SetShow, FletchPositionAndHeadSize) {
    EXPECT_EQ(run("set/fletch position=0.25 size=2"),
              "Ray arrow fletching is ON. Position = 0.250000, head size = 2.000000\n");
    EXPECT_EQ(fletchOn, 1);
    // Without a size the head follows the workbox.
    run("set/fletch/on");
    EXPECT_EQ(arrowHeadSize, 5.0);
    EXPECT_EQ(arrowPosition, 0.25);
    EXPECT_EQ(run("set/fletch/off size=9"), "Ray arrow fletching is OFF.\n");
    EXPECT_EQ(rayArrows, 0);
    EXPECT_EQ(arrowHeadSize, 5.0);
}

// ---- wavelengths and weights ----

TEST_F(SetShow, WavelengthAndWeightSlots) {
    EXPECT_EQ(run("set/wavelength"), kWavelengthListing);
    EXPECT_EQ(wavelengthsChanged, 1);
    wavelengthsChanged = 0;
    run("set/wavelength w2=0.6 w12=2");
    EXPECT_EQ(wavelengthTable[1], 0.6);
    EXPECT_EQ(wavelengthTable[11], 2.0);
    EXPECT_EQ(wavelengthsChanged, 1);
    run("set/wavelength 0.4 0.7 0.8");
    EXPECT_EQ(wavelengthTable[0], 0.4);
    EXPECT_EQ(wavelengthTable[2], 0.8);
    EXPECT_EQ(wavelengthTable[3], 1.0);
    run("set/weightwave 0.5 0.25 0 0 0 0   0 0 0 0 0 1");
    EXPECT_EQ(weightTable[0], 0.5);
    EXPECT_EQ(weightTable[1], 0.25);
    EXPECT_EQ(weightTable[11], 1.0);
    EXPECT_EQ(screen().substr(0, 29), "# Wavelength(microns) Weight\n");
    EXPECT_NE(screen().find("\n12    2     1\n"), std::string::npos);
}

TEST_F(SetShow, NegativeWavelengthIsRefusedAloneAndZeroIsAccepted) {
    run("set/wavelength w3=-1 w4=0 w5=0.9");
    EXPECT_EQ(screen().substr(0, 36), "ERROR: Wavelength must be positive.\n");
    EXPECT_EQ(wavelengthTable[2], 1.0);
    EXPECT_EQ(wavelengthTable[3], 0.0);
    EXPECT_EQ(wavelengthTable[4], 0.9);
    EXPECT_NE(screen().find("# Wavelength(microns) Weight\n"), std::string::npos);
    // "w1" begins w10 to w12 as well, so it is ambiguous; positions are how slot 1 is set.
    run("set/wavelength w1=0.7");
    EXPECT_EQ(wavelengthTable[0], 0.5);
    EXPECT_NE(screen().find(" ambigious assignment: w1=0.7\n"), std::string::npos);
}

TEST_F(SetShow, PrimaryWavelengthIsReadAndIgnored) {
    EXPECT_EQ(run("set/primary_wavelength windex=3"), "");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(wavelengthTable[0], 0.5);
}

// ---- energy ----

TEST_F(SetShow, EnergyTypes) {
    const std::string absolute =
        "Energy (absolute) is calculated based the total energy in the system.\n";
    const std::string relative =
        "Energy is calculated relative to the amount on the film plane selected.\n";
    EXPECT_EQ(run("set/energy/percentage/on"), "Energy is shown as percentage.\n" + absolute);
    EXPECT_EQ(energyPercentage, 1);
    EXPECT_EQ(run("set/energy/density"),
              "Energy is shown as percentage.\nEnergy is shown as density.\n" + absolute);
    run("set/energy/percentage/off");
    EXPECT_EQ(energyPercentage, 0);
    run("set/energy/percent/on"); // the short word still matches
    EXPECT_EQ(energyPercentage, 1);
    run("set/energy/density/off");
    EXPECT_EQ(energyDensity, 0);
    EXPECT_EQ(run("set/energy/relative"), "Energy is shown as percentage.\n" + relative);
    EXPECT_EQ(energyAbsolute, 0);
    run("set/energy/absolute");
    EXPECT_EQ(energyAbsolute, 1);
    run("set/energy/on"); // no type: relative
    EXPECT_EQ(energyAbsolute, 0);
    EXPECT_EQ(energyPercentage, 1);
}

// ---- colours ----

TEST_F(SetShow, ColorCommands) {
    EXPECT_EQ(run("set/color/value source=3 displayed=12"),
              "Color mapped mode.\n0 1 2 12 4 5 6 7 8 9 10 11 12 13 14 15 \n");
    EXPECT_EQ(run("show/color"), "Color mapped mode.\n0 1 2 12 4 5 6 7 8 9 10 11 12 13 14 15 \n");
    EXPECT_EQ(run("set/color/monochrome"),
              "Colors mapped to monochrome.\n0 15 15 15 15 15 15 15 15 15 15 15 15 15 15 15 \n");
    EXPECT_EQ(monochrome, 0); // the menu's flag is not SET's business
    run("set/color/mapped");
    EXPECT_EQ(colorLut(3), 12);
    run("set/color/save");
    EXPECT_EQ(readFile(dir.file("colors.opt")).substr(0, 9), "0\n1\n2\n12\n");
    run("set/color/reset");
    EXPECT_EQ(colorLut(3), 3);
    run("set/color/load");
    EXPECT_EQ(colorLut(3), 12);
    EXPECT_EQ(result, 1);
}

TEST_F(SetShow, ColorRefusalsChangeAndShowNothing) {
    run("set/color/value source=3 displayed=12");
    EXPECT_EQ(run("set/color/value source=4"),
              "ERROR:  Both source and displayed values are needed.  Command ignored.\n");
    EXPECT_EQ(run("set/color/value source=16 displayed=1"),
              "ERROR:  Color numbers must be 0 to 15.  Command ignored.\n");
    EXPECT_EQ(run("set/color/value source=1 displayed=1e12"),
              "ERROR:  Color numbers must be 0 to 15.  Command ignored.\n");
    EXPECT_EQ(run("set/color/value 2 -1"),
              "ERROR:  Color numbers must be 0 to 15.  Command ignored.\n");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(run("set/color/load"),
              "ERROR:  Unable to read colors.opt.  Color table unchanged.\n");
    std::filesystem::create_directory(dir.file("colors.opt"));
    // "save" also begins two SET entries; whatever the matcher says about that, the row's
    // own refusal comes last.
    std::string out = run("set/color/save");
    std::string refusal = "ERROR:  Unable to write colors.opt.\n";
    ASSERT_GE(out.size(), refusal.size());
    EXPECT_EQ(out.substr(out.size() - refusal.size()), refusal);
    EXPECT_EQ(result, 0);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(colorLut(i), i == 3 ? 12 : i);
}

// ---- units, grid, display ----

TEST_F(SetShow, UnitsGridAndTheirNames) {
    EXPECT_EQ(run("set/units/mm"), " Units are mm.\n");
    EXPECT_EQ(currentUnit, 1);
    EXPECT_EQ(run("set/grid increment=2.5"),
              " Grid spacing: x = 2.500000  y = 2.500000  z = 2.500000  mm.\n");
    run("set/units/inch");
    EXPECT_EQ(run("show/workbox"), "Workbox center: 0.000000 0.000000 0.000000\n"
                                   "   half widths: 75.000000 50.000000 100.000000  inches\n");
    run("set/units/met");
    EXPECT_EQ(currentUnit, 3);
    const std::string refusal = "ERROR: SET/UNITS must include one of the following unit names "
                                "as a modifier:\nOptions: cm mm inches meters \n";
    EXPECT_EQ(run("set/units"), refusal);
    EXPECT_EQ(run("set/units/feet"), refusal);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(currentUnit, 3);
}

TEST_F(SetShow, DisplayChoices) {
    EXPECT_EQ(run("set/board/vga"), "Display system is VGA (4).\n");
    EXPECT_EQ(run("set/board/svga"), "Display system is SVGA (5).\n");
    EXPECT_EQ(run("set/board"), "Display system is SVGA (5).\n");
    EXPECT_EQ(run("set/screen/monochrome"), "Display screen is monochrome.\n");
    EXPECT_EQ(run("set/screen/low"), "Display screen is low.\n");
    EXPECT_EQ(run("set/resolution/high"), "Plot resolution is now high.\n");
    EXPECT_EQ(wireframeDetail, 3);
    EXPECT_EQ(run("set/resolution/lo"), "Plot resolution is now low.\n");
    EXPECT_EQ(run("set/aspect 2"), "Aspect ratio is 2.000000\n");
    EXPECT_EQ(aspect, 2.0);
    EXPECT_EQ(run("set/dispfile"), "Output display file not currently open.\n");
    settingsHooks().displayFileName = [] { return std::optional<std::string>("display.opt"); };
    EXPECT_EQ(run("show/dispfile"), "Display file name is: display.opt\n");
    for (const char* w : {"set/aimpoint", "set/entrance", "set/materials", "set/size=45"}) {
        EXPECT_EQ(run(w), "") << w;
        EXPECT_EQ(result, 1) << w;
    }
}

// ---- sun, shuffle ----

TEST_F(SetShow, SunStartsFromRelativeOrStoredAngles) {
    std::vector<std::string> calls;
    settingsHooks().setSunPosition = [&](double az, double el, double in, int rel) {
        calls.push_back(formatText("%g %g %g %d", az, el, in, rel));
    };
    settingsHooks().sunPosition = [] { return SunPosition{135, 60, 200}; };
    EXPECT_EQ(run("set/sun"), "");
    run("set/sun/relative elevation=5");
    run("set/sun/absolute");
    run("set/sun/absolute azimuth=1 intensity=100");
    EXPECT_EQ(calls, (std::vector<std::string>{"30 20 200 1", "30 5 200 1", "135 60 200 0",
                                               "1 60 100 0"}));
}

TEST_F(SetShow, ShuffleSeedsTheGenerator) {
    std::vector<int> seeds;
    settingsHooks().seedRandom = [&](int s) { seeds.push_back(s); };
    EXPECT_EQ(run("set/shuffle seed=12.7"), "Random number table seeded 12.\n");
    EXPECT_EQ(run("set/shuffle"), "");
    EXPECT_EQ(run("set/shuffle 1e20"), formatText("Random number table seeded %d.\n", INT_MAX));
    EXPECT_EQ(run("set/shuffle -5"), "Random number table seeded -5.\n");
    EXPECT_EQ(seeds, (std::vector<int>{12, INT_MAX, -5}));
}

// ---- catalog step and the set row ----

TEST_F(SetShow, CatalogRequestIsReportedAndCleared) {
    EXPECT_EQ(run("set/matcatalog/name=schott.agf"),
              "ERROR: Unable to read catalog file:" + dir.file("schott.agf") + "\n");
    EXPECT_EQ(settingsState().catalogRequested, 0);
    EXPECT_EQ(settingsState().catalogFileName, "");

    std::vector<std::string> asked;
    int answer = 1;
    settingsHooks().loadCatalog = [&](const std::string& n) {
        asked.push_back(n);
        return answer;
    };
    EXPECT_EQ(run("set/matcatalog/name=\"/abs/Hoya.AGF\""), "Loaded catalog file:/abs/Hoya.AGF\n");
    answer = 2;
    EXPECT_EQ(run("set/matcatalog/name=\"My Glass.agf\""),
              "Catalog " + dir.file("My Glass.agf") + " was already loaded\n");
    EXPECT_EQ(asked.size(), 2u);
    // No step runs after a command that asked for nothing.
    run("set/fresnel");
    EXPECT_EQ(asked.size(), 2u);
}

TEST_F(SetShow, CatalogWithoutNameIsRefused) {
    for (const char* line : {"set/matcatalog", "set/matcatalog/name", "set/matcatalog/name=\"\""}) {
        EXPECT_EQ(run(line), "ERROR:  No catalog file name given.\n") << line;
        EXPECT_EQ(result, 0);
    }
}

TEST_F(SetShow, RefreshHooksRunAfterEverySet) {
    int indices = 0, properties = 0;
    settingsHooks().updateIndices = [&] { return ++indices; };
    settingsHooks().refreshProperties = [&] { ++properties; };
    run("set/wavelength w2=0.7");
    run("set"); // refused, the row still ends with the refreshes
    EXPECT_EQ(indices, 2);
    EXPECT_EQ(properties, 2);
    run("show");
    EXPECT_EQ(indices, 2);
}

TEST_F(SetShow, SetWithoutOrWithTooManySettings) {
    EXPECT_EQ(run("set"), "ERROR: Command line contains no legal modifier.\n");
    EXPECT_EQ(run("set/nosuch"), "ERROR: Command line contains no legal modifier.\n");
    EXPECT_EQ(run("set/fresnel/frame"),
              "ERROR: Multiple modifiers not permitted on this command line.\n");
    EXPECT_EQ(fresnelOn, 0);
    EXPECT_EQ(viewFrame, 1);
}

// ---- show ----

TEST_F(SetShow, ShowListsTwentySevenSettingsInOrder) {
    EXPECT_EQ(run("show"),
              std::string("Display system is CGA (0).\n"
                          "Display screen is alpha.\n"
                          "Ray trace limits:\n"
                          "   Maximum number of descendants per ray: 140\n"
                          "   Maximum number of ghost rays: 2\n"
                          "   Minimum transmissivity along path: 0.010000\n"
                          "Workbox center: 0.000000 0.000000 0.000000\n"
                          "   half widths: 75.000000 50.000000 100.000000  cm.\n"
                          "Viewbeep is OFF.\n"
                          "Ray arrow fletching is OFF.\n"
                          "Color mapped mode.\n0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 \n") +
                  kWavelengthListing +
                  "Aspect ratio is 1.500000\n"
                  " Units are cm.\n"
                  "Plot resolution is now medium.\n"
                  "Output display file not currently open.\n"
                  " Grid spacing: x = 10.000000  y = 10.000000  z = 10.000000  cm.\n"
                  "Fresnel reflection mode is OFF.\n"
                  " Ray data file will be truncated at next ray trace.\n"
                  "Iteration maximum count=7, tolerance = 1e-12\n"
                  "Frame will be drawn on plots.\n"
                  "Rays will be drawn in 2 colors.\n"
                  "Proximity_glue deactivated.\n"
                  "Autoretrace is ON.\n"
                  "Ray data saving is ON.\n"
                  "Energy (absolute) is calculated based the total energy in the system.\n");
}

TEST_F(SetShow, ShowOneSetting) {
    EXPECT_EQ(run("show/sphlensvertex"),
              " Spherical lens coordinate origin is at geometric center.\n");
    EXPECT_EQ(run("show/it"), "Iteration maximum count=7, tolerance = 1e-12\n");
    EXPECT_EQ(run("show/silent_err"), "");
    // The first matching modifier decides; a second is no error.
    EXPECT_EQ(run("show/units/fresnel"), " Units are cm.\n");
    // A setting SHOW does not know falls back to the full listing.
    EXPECT_EQ(run("show/autoredraw").substr(0, 27), "Display system is CGA (0).\n");
}

} // namespace
