#include "command/settings/settings_file.h"

#include <climits>
#include <fstream>

#include "tests/command/settings_fixture.h"

namespace {

using testsupport::readFile;

class SettingsFile : public testsupport::SettingsFixture {
  protected:
    void writeIni(const std::string& text) { std::ofstream(iniPath, std::ios::binary) << text; }
};

TEST_F(SettingsFile, MissingFileKeepsCurrentValuesExceptPlotmax) {
    auto& s = settingsState();
    s.autoRedraw = 0;
    s.viewRays = 1;
    s.cpu = 77;
    errorPopup = 1;
    EXPECT_EQ(plotmax, 100.0); // the load-time value until the file is read
    loadIniSettings();
    EXPECT_EQ(s.autoRedraw, 0);
    EXPECT_EQ(s.viewRays, 1);
    EXPECT_EQ(s.cpu, 77);
    EXPECT_EQ(errorPopup, 1);
    EXPECT_EQ(plotmax, 99.0);
}

TEST_F(SettingsFile, ReadsEveryKeyInAnyCase) {
    writeIni("[Flags]\nVERIFYCOM=1\nOrtho=1\nrays=1\nbox=1\ngrid=1\nmemsplit=3\nxsnz=4\n"
             "redraw=0\nretrace=0\ncomline=5\ncomputertype=6\nautoplot=1\nplotmax=12.5\n"
             "density=1\npercent=1\nenergyabsolute=0\nsphlensvertex=1\ncpu=486\n"
             "errorpopup=1\n");
    loadIniSettings();
    const auto& s = settingsState();
    EXPECT_EQ(s.verifyCommands, 1);
    EXPECT_EQ(orthogonalMode, 1);
    EXPECT_EQ(viewRays, 1);
    EXPECT_EQ(viewBox, 1);
    EXPECT_EQ(viewGrid, 1);
    EXPECT_EQ(memsplit, 3);
    EXPECT_EQ(s.xsnz, 4);
    EXPECT_EQ(autoRedraw, 0);
    EXPECT_EQ(autoRetrace, 0);
    EXPECT_EQ(s.commandLineMode, 5);
    EXPECT_EQ(s.computerType, 6);
    EXPECT_EQ(autoplot, 1);
    EXPECT_EQ(plotmax, 12.5);
    EXPECT_EQ(energyDensity, 1);
    EXPECT_EQ(energyPercentage, 1);
    EXPECT_EQ(energyAbsolute, 0);
    EXPECT_EQ(sphLensVertex, 1);
    EXPECT_EQ(s.cpu, 486);
    EXPECT_EQ(errorPopup, 1);
    EXPECT_EQ(colorTableState().current, kColorMapped); // mono absent
}

TEST_F(SettingsFile, TextValuesDuplicatesAndMono) {
    writeIni("[flags]\nredraw=abc\nrays= 2x\nbox=-1\nmono=1\nmono=0\ncpu=99999999999999\n"
             "plotmax=nonsense\n");
    loadIniSettings();
    EXPECT_EQ(autoRedraw, 0); // no digits: 0
    EXPECT_EQ(viewRays, 2);
    EXPECT_EQ(viewBox, -1);
    EXPECT_EQ(monochrome, 1); // the first of two keys
    EXPECT_EQ(colorTableState().current, kBlackOnWhite);
    EXPECT_EQ(settingsState().cpu, INT_MAX);
    EXPECT_EQ(plotmax, 0.0);
}

TEST_F(SettingsFile, OtherSectionsKeysAndCommentsSurviveAWrite) {
    writeIni("; written by hand\n[window]\nx=10\n\n[flags]\n# keep\nRedraw=1\nunknown=7\n\n"
             "[last]\ny=2\n");
    autoRedraw = 0;
    saveIniSettings();
    EXPECT_EQ(readFile(iniPath),
              "; written by hand\n[window]\nx=10\n\n[flags]\n# keep\nRedraw=0\nunknown=7\n"
              "verifycom=0\northo=0\nrays=0\nmono=0\nbox=0\ngrid=0\nmemsplit=0\nXsnz=0\n"
              "retrace=1\ncomline=0\ncomputertype=0\nautoplot=0\nplotmax=100\ndensity=0\n"
              "percent=0\nenergyabsolute=1\nsphlensvertex=0\ncpu=0\nerrorpopup=0\n\n"
              "[last]\ny=2\n");
}

TEST_F(SettingsFile, FreshFileHasEveryKeyInOrder) {
    unsetenv("MERIDYN_INI");
    std::string xdg = dir.file("config");
    setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);
    EXPECT_EQ(settingsFilePath(), std::filesystem::path(xdg) / "meridyn" / "meridyn.ini");
    viewRays = 1;
    settingsState().cpu = 123456789;
    plotmax = 0.25;
    saveIniSettings();
    EXPECT_EQ(readFile(std::filesystem::path(xdg) / "meridyn" / "meridyn.ini"),
              "[flags]\nverifycom=0\northo=0\nrays=1\nmono=0\nbox=0\ngrid=0\nmemsplit=0\n"
              "Xsnz=0\nredraw=1\nretrace=1\ncomline=0\ncomputertype=0\nautoplot=0\n"
              "plotmax=0.25\ndensity=0\npercent=0\nenergyabsolute=1\nsphlensvertex=0\n"
              "cpu=123456789\nerrorpopup=0\n");
    unsetenv("XDG_CONFIG_HOME");
}

TEST_F(SettingsFile, RoundTripOfEveryValue) {
    auto& s = settingsState();
    s.memsplit = 0;
    s.xsnz = -12;
    s.cpu = 486;
    s.computerType = 3;
    s.monochrome = 1;
    plotmax = 1e-7;
    autoplot = 1;
    energyAbsolute = 0;
    errorPopup = 1;
    saveIniSettings();
    resetSettingsState();
    errorPopup = 0;
    loadIniSettings();
    EXPECT_EQ(s.xsnz, -12);
    EXPECT_EQ(s.cpu, 486);
    EXPECT_EQ(s.computerType, 3);
    EXPECT_EQ(s.monochrome, 1);
    EXPECT_DOUBLE_EQ(plotmax, 1e-7);
    EXPECT_EQ(autoplot, 1);
    EXPECT_EQ(energyAbsolute, 0);
    EXPECT_EQ(errorPopup, 1);
}

TEST_F(SettingsFile, SingleKeyWritersAndReader) {
    EXPECT_TRUE(writeIniSwitch(5, "rays"));
    EXPECT_TRUE(writeIniInteger(-40, "cpu"));
    EXPECT_TRUE(writeIniNumber(2.5, "plotmax"));
    EXPECT_EQ(readFile(iniPath), "[flags]\nrays=1\ncpu=-40\nplotmax=2.5\n");
    EXPECT_EQ(readIniNumber("plotmax"), 2.5);
    EXPECT_EQ(readIniNumber("nosuch"), 99.0);
}

TEST_F(SettingsFile, LocationFollowsTheEnvironment) {
    EXPECT_EQ(settingsFilePath(), std::filesystem::path(iniPath));
    unsetenv("MERIDYN_INI");
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    std::string savedXdg = oldXdg ? oldXdg : "";
    const char* oldHome = std::getenv("HOME");
    std::string savedHome = oldHome ? oldHome : "";
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(settingsFilePath(),
              std::filesystem::path("/home/someone/.config/meridyn/meridyn.ini"));
    setenv("XDG_CONFIG_HOME", "", 1); // empty counts as unset
    EXPECT_EQ(settingsFilePath(),
              std::filesystem::path("/home/someone/.config/meridyn/meridyn.ini"));
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(settingsFilePath(), std::filesystem::path("/cfg/meridyn/meridyn.ini"));
    if (oldXdg)
        setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    if (oldHome) setenv("HOME", savedHome.c_str(), 1);
}

TEST_F(SettingsFile, FailedWriteWarnsOnStandardError) {
    std::ofstream(dir.file("plain")) << "x";
    std::string bad = dir.file("plain") + "/meridyn.ini";
    setenv("MERIDYN_INI", bad.c_str(), 1);
    testing::internal::CaptureStderr();
    saveIniSettings();
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("WARNING: Unable to write settings file"), std::string::npos);
    EXPECT_NE(err.find(bad), std::string::npos);
}

TEST_F(SettingsFile, ResetSettingsDefaultsThenFile) {
    std::vector<std::string> calls;
    auto& h = settingsHooks();
    h.setSunPosition = [&](double az, double el, double in, int rel) {
        calls.push_back(formatText("sun %g %g %g %d", az, el, in, rel));
    };
    h.setViewAngles = [&](double az, double el) {
        calls.push_back(formatText("view %g %g", az, el));
    };
    h.resetOpticalPathMode = [&] { calls.push_back("opl"); };
    auto& s = settingsState();
    s.energyPercentage = s.energyDensity = 1;
    s.savedEcho = 1;
    s.workbox.center[0] = 5;
    s.fletchOn = 1;
    setColorMapEntry(9, 2);
    s.unitIndex = 2;
    s.gridIncrements[1] = 3;
    s.fresnelOn = s.addRays = s.rayRainbow = 1;
    s.viewFrame = 0;
    s.proximityGlueDistance = 1;
    s.spotsOff = 1;
    s.saveRays = s.autoRetrace = 0;
    s.maxRayDepth = 3;
    s.wavelengthTable[3] = 7; // not a reset setting
    writeIni("[flags]\nredraw=0\nmemsplit=1\n");
    resetSettings();
    EXPECT_EQ(calls, (std::vector<std::string>{"sun 10 20 255 1", "view 45 20", "opl"}));
    EXPECT_EQ(s.energyPercentage + s.energyDensity + s.savedEcho + s.fletchOn, 0);
    EXPECT_EQ(s.workbox.center[0], 0);
    EXPECT_EQ(s.workbox.halfSize[2], 100);
    EXPECT_EQ(colorLut(2), 2);
    EXPECT_EQ(s.unitIndex, 0);
    EXPECT_EQ(s.gridIncrements[1], 10);
    EXPECT_EQ(s.fresnelOn + s.addRays + s.rayRainbow + s.spotsOff, 0);
    EXPECT_EQ(s.viewFrame, 1);
    EXPECT_EQ(s.proximityGlueDistance, 0);
    EXPECT_EQ(iterationMaxCount, 20);
    EXPECT_EQ(iterationTolerance, 1e-6);
    EXPECT_EQ(maxRayDepth, 140);
    EXPECT_EQ(minRayEnergy, 0.01);
    EXPECT_EQ(maxGhosts, 2);
    EXPECT_EQ(s.saveRays + s.autoRetrace + s.energyAbsolute, 3);
    EXPECT_EQ(s.wavelengthTable[3], 7);
    EXPECT_EQ(autoRedraw, 0); // the file wins over the default
    EXPECT_EQ(memsplit, 1);
    // A new document clears memsplit after the file was read, so it is written back as 0.
    newDocumentSettingsStep();
    saveIniSettings();
    EXPECT_NE(readFile(iniPath).find("memsplit=0\n"), std::string::npos);
}

// Load-time values that no SHOW prints (the listing test covers the others).
TEST_F(SettingsFile, LoadTimeValuesAndSharedNames) {
    resetSettingsState();
    EXPECT_EQ(viewRays + viewBox + viewGrid + orthogonalMode + monochrome + spotsOff, 0);
    EXPECT_EQ(autoRedraw, 1);
    EXPECT_EQ(iterationMaxCount, 7); // not the reset's 20
    EXPECT_EQ(arrowPosition, 0.5);
    EXPECT_EQ(arrowHeadSize, 5);
    EXPECT_EQ(&cyclicRayColours, &rayRainbow);
    EXPECT_EQ(&rayArrows, &fletchOn);
}

} // namespace
