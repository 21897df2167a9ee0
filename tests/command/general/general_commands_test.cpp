#include <gtest/gtest.h>

#include <cmath>

#include "command/general/general_commands.h"
#include "command/general/highlighting.h"
#include "command/general/sun_position.h"
#include "tests/command/settings_fixture.h"

namespace {

class GeneralCommands : public testsupport::SettingsFixture {
  protected:
    // Runs one echo command and returns what it printed.
    std::string general(const std::string& line) {
        testsupport::parseCommandText(line);
        clearScreen();
        result = echoCommand();
        return screen();
    }
};

TEST_F(GeneralCommands, SurfaceHighlightingAndHugeValues) {
    general("echo/on");
    EXPECT_EQ(general("echo/surfacehilite object=3 surface=2 color=13"),
              "Ray highlighting is inactive.\n"
              "Surface highlighting is active on object 3 surface/facet 2, color 13.\n");
    general("echo/surfacehilite object=1e300 surface=-1e300 color=5");
    EXPECT_EQ(highlightState().surfaceObject, -1);
    EXPECT_EQ(highlightState().surfaceNumber, INT_MIN);
}

TEST_F(GeneralCommands, SunPositionKeepsItsIntensityInRange) {
    setSunPosition(30, 40, 300, 1);
    EXPECT_EQ(screen(), "Sun position relative to viewer is azimuth = 30 elevation = 40.\n"
                        "Maximum pixel intensity = 255\n");
    EXPECT_EQ(sunState().maxIntensity, 255.0);
    clearScreen();
    setSunPosition(135, 60, 200.5, 0);
    EXPECT_EQ(screen(), "Absolute sun position is azimuth = 135 elevation = 60.\n"
                        "Maximum pixel intensity = 200.5\n");
    setSunPosition(1, 2, 0, 0);
    EXPECT_EQ(sunState().maxIntensity, 255.0);
    setSunPosition(1, 2, 255.9, 0);
    EXPECT_EQ(sunState().maxIntensity, 255.9);
}

TEST_F(GeneralCommands, SunVectorAddsTheViewerOnlyWhenRelative) {
    setSunPosition(10, 20, 255, 1);
    clearScreen();
    setSunVector(80, 25); // relative: az 90, el 45
    const double r = std::sqrt(0.5);
    EXPECT_NEAR(sunState().vector[0], r, 1e-12);
    EXPECT_NEAR(sunState().vector[1], r, 1e-12);
    EXPECT_NEAR(sunState().vector[2], 0.0, 1e-12);
    EXPECT_EQ(screen(), "Sun at az=90 el=45\nSun vector set to: 0.707107 0.707107 0.000000");
    setSunPosition(0, -90, 255, 0);
    clearScreen();
    setSunVector(80, 25); // absolute: straight down
    EXPECT_NEAR(sunState().vector[1], -1.0, 1e-12);
    EXPECT_EQ(screen().substr(0, 19), "Sun at az=0 el=-90\n");
}

TEST_F(GeneralCommands, SetSunReachesTheOneSun) {
    installSunHooks();
    // the load-time sun is the reset's, set without a report
    EXPECT_EQ(sunState().azimuth, 10.0);
    EXPECT_EQ(sunState().elevation, 20.0);
    EXPECT_EQ(sunState().relative, 1);
    run("set/sun/absolute elevation=70 intensity=100");
    EXPECT_EQ(screen(), "Absolute sun position is azimuth = 10 elevation = 70.\n"
                        "Maximum pixel intensity = 100\n");
    run("set/sun/absolute azimuth=5");
    EXPECT_EQ(sunState().elevation, 70.0); // absolute starts from the stored angles
    EXPECT_EQ(sunState().maxIntensity, 100.0);
    run("set/sun");
    EXPECT_EQ(sunState().azimuth, 30.0); // relative starts from 30, 20
    EXPECT_EQ(sunState().relative, 1);
    resetSettings();
    EXPECT_EQ(sunState().azimuth, 10.0);
    EXPECT_EQ(sunState().maxIntensity, 255.0);
}

} // namespace
