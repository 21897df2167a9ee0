// The global settings of the model and of the display: the values SET changes and SHOW prints,
// the flags kept in the settings file, and the defaults of the settings reset. Every subsystem
// reads them from here; none keeps a copy.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "command/messages/messages.h"

inline constexpr int kWavelengthSlots = 12;
inline constexpr int kMaxTraceDepth = 150; // the ray tree's size

// Centre and half sizes of the model box that every view fits.
struct WorkboxRecord {
    double center[3] = {0.0, 0.0, 0.0};
    double halfSize[3] = {75.0, 50.0, 100.0};
};

// Every member starts at its value at program load (ResetSettings does not run at start-up).
struct SettingsState {
    // Optics and the tracers.
    int fresnelOn = 0;
    int maxRayDepth = 140;
    double minRayEnergy = 0.01;
    int maxGhosts = 2;
    int rayRoulette = 0;
    double proximityGlueDistance = 0.0;
    int iterationMaxCount = 7;
    double iterationTolerance = 1e-12;
    int sphLensVertex = 0;
    double wavelengthTable[kWavelengthSlots] = {0.5, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    double weightTable[kWavelengthSlots] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    int wavelengthsChanged = 0;

    // Ray and spot data files.
    int saveRays = 1;
    int spotsOff = 0;
    int addRays = 0;

    // Energy reports.
    int energyPercentage = 0;
    int energyDensity = 0;
    int energyAbsolute = 1;
    int autoPlot = 0;
    double plotMax = 100.0; // until the settings file is read

    // Model box, grid and units.
    WorkboxRecord workbox;
    int unitIndex = 0;                       // into unitNames
    double gridIncrements[3] = {10, 10, 10}; // grid spacing x, y, z

    // Drawing.
    int rayRainbow = 0;         // rays drawn in 15 colours, cyclicly
    int fletchOn = 0;           // arrow heads on ray segments
    double arrowPosition = 0.5; // fraction of the segment
    double arrowHeadSize = 5.0; // world units
    int viewFrame = 1;
    int viewRays = 0;
    int viewBox = 0;
    int viewGrid = 0;
    int orthogonalMode = 0;
    int monochrome = 0;
    int wireframeDetail = 2; // plot resolution: 1 low, 2 medium, 3 high
    double aspect = 1.5;     // width / height of the drawing surface until the first repaint
    int boardNumber = 0;
    int screenNumber = 0;

    // Interaction.
    int autoRetrace = 1;
    int autoRedraw = 1;
    int viewBeep = 0;
    int silentError = 0;
    int savedEcho = 0; // the echo line of a saved model's settings block

    // Kept in the settings file for the user interface.
    int memsplit = 0;
    int computerType = 0;
    int verifyCommands = 0;  // "verifycom": only kept and written back
    int xsnz = 0;            // "Xsnz": only kept and written back
    int commandLineMode = 0; // "comline": only kept and written back
    int cpu = 0;             // only kept and written back

    // A glass catalog asked for by set/matcatalog, loaded after the command.
    int catalogRequested = 0;
    std::string catalogFileName;

    // The settings-file keys as the last load left them ("key" and its value as written), so
    // that the end of a run writes back only what the run changed.
    std::vector<std::pair<std::string, std::string>> iniLoadedValues;
};

SettingsState& settingsState();
// Restores every setting to its load-time value (tests).
void resetSettingsState();

// The shared settings under their usual names.
inline int& fresnelOn = settingsState().fresnelOn;
inline int& maxRayDepth = settingsState().maxRayDepth;
inline double& minRayEnergy = settingsState().minRayEnergy;
inline int& maxGhosts = settingsState().maxGhosts;
inline int& rayRoulette = settingsState().rayRoulette;
inline double& proximityGlueDistance = settingsState().proximityGlueDistance;
inline int& iterationMaxCount = settingsState().iterationMaxCount;
inline double& iterationTolerance = settingsState().iterationTolerance;
inline int& sphLensVertex = settingsState().sphLensVertex;
inline auto& wavelengthTable = settingsState().wavelengthTable;
inline auto& weightTable = settingsState().weightTable;
inline int& wavelengthsChanged = settingsState().wavelengthsChanged;
inline int& saveRays = settingsState().saveRays;
inline int& spotsOff = settingsState().spotsOff;
inline int& addRays = settingsState().addRays;
inline int& energyPercentage = settingsState().energyPercentage;
inline int& energyDensity = settingsState().energyDensity;
inline int& energyAbsolute = settingsState().energyAbsolute;
inline int& autoplot = settingsState().autoPlot;
inline double& plotmax = settingsState().plotMax;
inline WorkboxRecord& workbox = settingsState().workbox;
inline int& currentUnit = settingsState().unitIndex;
inline auto& gridIncrements = settingsState().gridIncrements;
inline int& rayRainbow = settingsState().rayRainbow;
inline int& cyclicRayColours = settingsState().rayRainbow;
inline int& fletchOn = settingsState().fletchOn;
inline int& rayArrows = settingsState().fletchOn;
inline double& arrowPosition = settingsState().arrowPosition;
inline double& arrowHeadSize = settingsState().arrowHeadSize;
inline int& viewFrame = settingsState().viewFrame;
inline int& viewRays = settingsState().viewRays;
inline int& viewBox = settingsState().viewBox;
inline int& viewGrid = settingsState().viewGrid;
inline int& orthogonalMode = settingsState().orthogonalMode;
inline int& monochrome = settingsState().monochrome;
inline int& wireframeDetail = settingsState().wireframeDetail;
inline double& aspect = settingsState().aspect;
inline int& autoRetrace = settingsState().autoRetrace;
inline int& autoRedraw = settingsState().autoRedraw;
inline int& memsplit = settingsState().memsplit;
// `errorPopup` (key "errorpopup") belongs to the message layer (command/messages.h).

// Unit names by `currentUnit` (index 4 is the blank name).
inline constexpr const char* unitNames[5] = {"cm.", "mm.", "inches", "meters", " "};
const char* currentUnitName();

// Calls from the settings into later subsystems. Each is optional: an unset hook does nothing
// (or, where a result is needed, behaves as stated).
struct SunPosition {
    double azimuth = 0.0;
    double elevation = 0.0;
    double intensity = 255.0;
};
struct SettingsHooks {
    // After every SET: the part list's index refresh and the object-property refresh.
    std::function<int()> updateIndices;
    std::function<void()> refreshProperties;
    // Loads a glass catalog: 0 failure, 1 loaded, 2 already loaded, 3 refused as too large.
    // Unset: 0.
    std::function<int(const std::string&)> loadCatalog;
    // Fits the workbox around the active placed objects. Unset: the workbox stays.
    std::function<void()> snugWorkbox;
    // The sun of the solid renderer: stores and reports a new position; the stored one.
    std::function<void(double azimuth, double elevation, double intensity, int relative)>
        setSunPosition;
    std::function<SunPosition()> sunPosition; // unset: azimuth 0, elevation 0, intensity 255
    // Seeds the trace's random generator (set/shuffle).
    std::function<void(int seed)> seedRandom;
    // The name of the open display file; nothing when none is open. Unset: none is open.
    std::function<std::optional<std::string>()> displayFileName;
    // Closes open handles of rays.dat and spots.dat before SET deletes them.
    std::function<void()> closeRayFiles;
    // The settings reset's view angles and its optical-path output mode.
    std::function<void(double azimuth, double elevation)> setViewAngles;
    std::function<void()> resetOpticalPathMode;
};
SettingsHooks& settingsHooks();

// The settings reset of the document (its Options > ReSet): every setting to its default, in
// order, then the settings file over them, then the optical-path output mode off.
void resetSettings();
// The step of a new document that clears memsplit after the start-up macro.
void newDocumentSettingsStep();
