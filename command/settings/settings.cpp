#include "command/settings/settings.h"

#include "command/settings/color_tables.h"
#include "command/settings/settings_file.h"

SettingsState& settingsState() {
    static SettingsState s;
    return s;
}

void resetSettingsState() {
    settingsState() = SettingsState{};
}

SettingsHooks& settingsHooks() {
    static SettingsHooks h;
    return h;
}

const char* currentUnitName() {
    int i = settingsState().unitIndex;
    return (i >= 0 && i < 5) ? unitNames[i] : unitNames[4];
}

void resetSettings() {
    auto& s = settingsState();
    auto& hooks = settingsHooks();
    s.energyPercentage = 0;
    s.energyDensity = 0;
    s.savedEcho = 0;
    s.workbox = WorkboxRecord{};
    s.fletchOn = 0;
    resetColorMap();
    if (hooks.setSunPosition) hooks.setSunPosition(10.0, 20.0, 255.0, 1);
    s.viewFrame = 1;
    s.unitIndex = 0;
    for (double& g : s.gridIncrements)
        g = 10.0;
    s.fresnelOn = 0;
    s.addRays = 0;
    s.rayRainbow = 0;
    if (hooks.setViewAngles) hooks.setViewAngles(45.0, 20.0);
    s.memsplit = 0;
    s.proximityGlueDistance = 0.0;
    s.iterationMaxCount = 20;
    s.iterationTolerance = 1e-6;
    s.spotsOff = 0;
    s.maxRayDepth = 140;
    s.minRayEnergy = 0.01;
    s.maxGhosts = 2;
    s.autoRetrace = 1;
    s.autoRedraw = 1;
    s.energyAbsolute = 1;
    s.saveRays = 1;
    loadIniSettings();
    if (hooks.resetOpticalPathMode) hooks.resetOpticalPathMode();
}

void newDocumentSettingsStep() {
    settingsState().memsplit = 0;
}
