#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string_view>

#include "command/general/file_names.h"
#include "command/settings/color_tables.h"
#include "command/settings/settings.h"
#include "command/settings/settings_commands.h"
#include "platform/temp_file.h"

// clang-format off
const char* const kSetKeywords[] = {
    "board",              "screen",    "raylimits",     "workbox",    "aimpoint",
    "entrance",           "viewbeep",  "fletch",        "color",      "wavelength",
    "aspect",             "sun",       "units",         "silent_err", "resolution",
    "dispfile",           "materials", "size",          "grid",       "fresnel",
    "add_rays",           "iteration", "frame",         "rayrainbow", "proximity_glue",
    "autoretrace",        "saverays",  "savespots",     "autoredraw", "matcatalog",
    "primary_wavelength", "energy",    "sphlensvertex", "weightwave", "shuffle",
    " "};
// clang-format on

namespace {

const char* const kSwitchWords[] = {"on", "off", " "};
const char* const kBoardWords[] = {"cga", "tecmar", "ega", "hercules", "vga", "svga", " "};
const char* const kScreenWords[] = {"low", "medium", "high", "monochrome", " "};
const char* const kResolutionWords[] = {"low", "medium", "high", " "};
const char* const kUnitWords[] = {"cm", "mm", "inches", "meters", " "};
const char* const kWorkboxWords[] = {"default", "snug", " "};
const char* const kSunWords[] = {"relative", "absolute", " "};
const char* const kRouletteWords[] = {"roulette", " "};
const char* const kCatalogWords[] = {"name", " "};
// Saved models write "set/energy/percentage/...", so the entry is the whole word.
const char* const kEnergyWords[] = {"relative", "absolute", "percentage", "density", " "};
const char* const kColorWords[] = {"monochrome", "mapped", "load", "save", "value", "reset", " "};

const char* const kFletchValues[] = {"position", "size", " "};
const char* const kWindexValues[] = {"windex", " "};
const char* const kSeedValues[] = {"seed", " "};
const char* const kSlotValues[] = {"w1", "w2", "w3",  "w4",  "w5",  "w6", "w7",
                                   "w8", "w9", "w10", "w11", "w12", " "};
const char* const kGlueValues[] = {"maxdistance", " "};
const char* const kIterationValues[] = {"maxcount", "tolerance", " "};
const char* const kWorkboxValues[] = {"xcenter", "ycenter", "zcenter", "xsize",
                                      "ysize",   "zsize",   " "};
const char* const kRaylimitValues[] = {"maxdepth", "mintrans", "maxghost", " "};
const char* const kGridValues[] = {"increment", " "};
const char* const kAspectValues[] = {"aspect", " "};
const char* const kSunValues[] = {"azimuth", "elevation", "intensity", " "};
const char* const kColorValues[] = {"source", "displayed", " "};

// Which entry of a choice table the command names; -1 when none.
int choice(KeywordTable table) {
    int found = 0, several = 0, index = 0;
    getModifier(table, &found, &several, &index, " ");
    if (!found) return -1;
    for (int i = 0; std::strcmp(table[i], " ") != 0; ++i)
        if (std::strcmp(table[i], modifierWords[index]) == 0) return i;
    return -1;
}

// The on/off modifier: 1 on, 0 off, the default when neither was given.
int switchValue(int defaultValue, bool* given = nullptr) {
    int c = choice(kSwitchWords);
    if (given) *given = c >= 0;
    return c < 0 ? defaultValue : (c == 0 ? 1 : 0);
}

// Fills numericValues / numericGiven by position and by name for a setting's value names.
void readValues(KeywordTable names, int count) {
    getNumericValues(numericValues, names, count, numericGiven);
}

bool given(int i) {
    return numericGiven[i] != 0;
}

// Decimal to int without leaving the int range (NaN gives 0).
int toInt(double v) {
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

void deleteDataFile(const std::string& path, const char* name) {
    std::error_code ec;
    std::filesystem::remove(path.empty() ? platform::joinPath(programHome, name) : path, ec);
}

// Turning data saving off throws the old files away; their handles are closed first.
void deleteDataFiles(bool spotsToo) {
    if (auto& close = settingsHooks().closeRayFiles) close();
    deleteDataFile(messageState().raysPath, "rays.dat");
    if (spotsToo) deleteDataFile(messageState().spotsPath, "spots.dat");
}

struct PlainSwitch {
    const char* keyword;
    int defaultValue;
    int SettingsState::*member;
};
const PlainSwitch kPlainSwitches[] = {
    {"fresnel", 1, &SettingsState::fresnelOn},
    {"frame", 1, &SettingsState::viewFrame},
    {"rayrainbow", 0, &SettingsState::rayRainbow},
    {"silent_err", 1, &SettingsState::silentError},
    {"sphlensvertex", 0, &SettingsState::sphLensVertex},
    {"viewbeep", 1, &SettingsState::viewBeep},
    {"autoretrace", 1, &SettingsState::autoRetrace},
};

int setFletch() {
    auto& s = settingsState();
    if (switchValue(1) == 0) {
        s.fletchOn = 0;
    } else {
        readValues(kFletchValues, 2);
        s.fletchOn = 1;
        if (given(0)) s.arrowPosition = numericValues[0];
        s.arrowHeadSize = given(1) ? numericValues[1] : 0.05 * s.workbox.halfSize[2];
    }
    showSetting("fletch");
    return 1;
}

int setWavelengths(bool weights) {
    auto& s = settingsState();
    readValues(kSlotValues, kWavelengthSlots);
    for (int i = 0; i < kWavelengthSlots; ++i) {
        if (!given(i)) continue;
        if (weights) {
            s.weightTable[i] = numericValues[i];
        } else if (numericValues[i] < 0) {
            errorText(outputChannel, "Wavelength must be positive.\n");
        } else {
            s.wavelengthTable[i] = numericValues[i];
        }
    }
    s.wavelengthsChanged = 1;
    showSetting("wavelength");
    return 1;
}

int setColor() {
    int c = choice(kColorWords);
    switch (c) {
    case 0:
        selectColorTable(kBlackOnWhite);
        break;
    case 1:
        selectColorTable(kColorMapped);
        break;
    case 2:
        if (!loadColorMap()) {
            errorText(outputChannel, " Unable to read colors.opt.  Color table unchanged.\n");
            return 0;
        }
        break;
    case 3:
        if (!saveColorMap()) {
            errorText(outputChannel, " Unable to write colors.opt.\n");
            return 0;
        }
        break;
    case 4: {
        readValues(kColorValues, 2);
        if (!given(0) || !given(1)) {
            errorText(outputChannel,
                      " Both source and displayed values are needed.  Command ignored.\n");
            return 0;
        }
        double source = numericValues[0], displayed = numericValues[1];
        // Checked as decimals, so a huge value cannot wrap into the range when converted.
        if (!(source >= 0 && source < kColorCount) ||
            !(displayed >= 0 && displayed < kColorCount)) {
            errorText(outputChannel, " Color numbers must be 0 to 15.  Command ignored.\n");
            return 0;
        }
        if (!setColorMapEntry(static_cast<int>(displayed), static_cast<int>(source))) return 0;
        break;
    }
    case 5:
        resetColorMap();
        break;
    default:
        break;
    }
    showSetting("color");
    return 1;
}

int setWorkbox() {
    auto& s = settingsState();
    int c = choice(kWorkboxWords);
    if (c == 0) {
        s.workbox = WorkboxRecord{};
    } else if (c == 1) {
        if (auto& snug = settingsHooks().snugWorkbox) snug();
    } else {
        readValues(kWorkboxValues, 6);
        bool any = false;
        for (int i = 0; i < 6; ++i)
            any = any || given(i);
        if (!any) {
            errorText(outputChannel, "No parameters found on the command line.\n");
            return 0;
        }
        for (int i = 0; i < 3; ++i) {
            if (given(i)) s.workbox.center[i] = numericValues[i];
            if (given(i + 3) && numericValues[i + 3] > 0)
                s.workbox.halfSize[i] = numericValues[i + 3];
        }
    }
    s.arrowHeadSize = 0.05 * s.workbox.halfSize[2];
    showSetting("workbox");
    return 1;
}

int setRaylimits() {
    auto& s = settingsState();
    if (choice(kRouletteWords) >= 0) {
        s.rayRoulette = switchValue(1);
        outText(outputChannel, s.rayRoulette ? "Active ray resurection roulette.\n"
                                             : "Inactive ray resurection roulette.\n");
    }
    readValues(kRaylimitValues, 3);
    if (given(0)) {
        double depth = numericValues[0];
        if (depth > kMaxTraceDepth) {
            outText(outputChannel, "Max allowable trace depth is %d.\n", kMaxTraceDepth);
            s.maxRayDepth = kMaxTraceDepth;
        } else {
            // A negative depth traces nothing, as 0 does, and leaves the tracers no negative
            // bound to count down from.
            s.maxRayDepth = depth > 0 ? toInt(depth) : 0;
        }
    }
    if (given(1)) {
        double trans = numericValues[1];
        if (trans >= 0 && trans <= 1)
            s.minRayEnergy = trans;
        else
            errorText(outputChannel, "Transmission must be between 0 and 1.\n");
    }
    if (given(2)) {
        double ghosts = numericValues[2];
        if (ghosts > s.maxRayDepth) {
            outText(outputChannel, "Max allowable ghosts is %d.\n", s.maxRayDepth);
            s.maxGhosts = s.maxRayDepth;
        } else {
            s.maxGhosts = ghosts > 0 ? toInt(ghosts) : 0;
        }
    }
    showSetting("raylimits");
    return 1;
}

int setSun() {
    auto& hooks = settingsHooks();
    int relative = choice(kSunWords) == 1 ? 0 : 1;
    SunPosition stored = hooks.sunPosition ? hooks.sunPosition() : SunPosition{};
    double azimuth = relative ? 30.0 : stored.azimuth;
    double elevation = relative ? 20.0 : stored.elevation;
    double intensity = stored.intensity;
    readValues(kSunValues, 3);
    if (given(0)) azimuth = numericValues[0];
    if (given(1)) elevation = numericValues[1];
    if (given(2)) intensity = numericValues[2];
    if (hooks.setSunPosition) hooks.setSunPosition(azimuth, elevation, intensity, relative);
    return 1;
}

int setMatcatalog() {
    int found = 0, several = 0, index = 0;
    getModifier(kCatalogWords, &found, &several, &index, " ");
    if (!found || !modifierHasValue[index] || quotedStrings[index][0] == '\0') {
        errorText(outputChannel, " No catalog file name given.\n");
        return 0;
    }
    std::string name = quotedStrings[index];
    if (!inputNameUsable(name)) return 0;
    auto& s = settingsState();
    s.catalogFileName =
        std::filesystem::path(name).is_absolute() ? name : platform::joinPath(programHome, name);
    s.catalogRequested = 1;
    return 1;
}

int setEnergy() {
    auto& s = settingsState();
    int value = switchValue(1);
    switch (choice(kEnergyWords)) {
    case 0:
        s.energyAbsolute = 0;
        break;
    case 1:
        s.energyAbsolute = 1;
        break;
    case 2:
        s.energyPercentage = value;
        break;
    case 3:
        s.energyDensity = value;
        break;
    default:
        s.energyAbsolute = 0;
        break;
    }
    showSetting("energy");
    return 1;
}

// The settings that are a plain on/off switch or a choice among a few words.
int setSwitchSetting(std::string_view w) {
    auto& s = settingsState();
    for (const PlainSwitch& row : kPlainSwitches) {
        if (w == row.keyword) {
            s.*row.member = switchValue(row.defaultValue);
            showSetting(row.keyword);
            return 1;
        }
    }
    if (w == "autoredraw") {
        s.autoRedraw = switchValue(1);
        outText(outputChannel, s.autoRedraw ? "AutoRedraw is on.\n" : "AutoRedraw is off.\n");
        return 1;
    }
    if (w == "savespots") {
        bool said = false;
        int on = switchValue(1, &said);
        s.spotsOff = (said && !on) ? 1 : 0;
        if (s.spotsOff) deleteDataFiles(true);
        showSetting("savespots");
        return 1;
    }
    if (w == "saverays") {
        s.saveRays = switchValue(1);
        if (!s.saveRays) deleteDataFiles(false);
        showSetting("saverays");
        return 1;
    }
    if (w == "add_rays") {
        bool said = false;
        int on = switchValue(1, &said);
        if (!said) {
            errorText(outputChannel, " SET/ADD_RAYS must include /ON or /OFF.\n");
            return 0;
        }
        s.addRays = on;
        showSetting("add_rays");
        return 1;
    }
    if (w == "units") {
        int c = choice(kUnitWords);
        if (c < 0) {
            errorText(outputChannel,
                      "SET/UNITS must include one of the following unit names as a modifier:");
            listOptions(kUnitWords);
            return 0;
        }
        s.unitIndex = c;
        showSetting("units");
        return 1;
    }
    if (w == "board" || w == "screen" || w == "resolution") {
        if (w == "board") {
            if (int c = choice(kBoardWords); c >= 0) s.boardNumber = c;
        } else if (w == "screen") {
            if (int c = choice(kScreenWords); c >= 0) s.screenNumber = c + 1;
        } else if (int c = choice(kResolutionWords); c >= 0) {
            s.wireframeDetail = c + 1;
        }
        showSetting(std::string(w).c_str());
        return 1;
    }
    return -1;
}

} // namespace

int setCommandSettings(const char* keyword) {
    auto& s = settingsState();
    std::string_view w = keyword;
    if (w == "fletch") return setFletch();
    if (w == "wavelength") return setWavelengths(false);
    if (w == "weightwave") return setWavelengths(true);
    if (w == "color") return setColor();
    if (w == "workbox") return setWorkbox();
    if (w == "raylimits") return setRaylimits();
    if (w == "sun") return setSun();
    if (w == "matcatalog") return setMatcatalog();
    if (w == "energy") return setEnergy();
    if (w == "primary_wavelength") {
        readValues(kWindexValues, 1); // read for its messages; the index is not used
        return 1;
    }
    if (w == "shuffle") {
        readValues(kSeedValues, 1);
        if (given(0)) {
            int seed = toInt(std::trunc(numericValues[0]));
            if (auto& seedRandom = settingsHooks().seedRandom) seedRandom(seed);
            outText(outputChannel, "Random number table seeded %ld.\n", static_cast<long>(seed));
        }
        return 1;
    }
    if (w == "proximity_glue") {
        readValues(kGlueValues, 1);
        if (given(0)) s.proximityGlueDistance = numericValues[0];
    } else if (w == "iteration") {
        readValues(kIterationValues, 2);
        // Above 0.99 stores at least 1: a count of 0 would stop every iteration at once.
        if (given(0) && numericValues[0] > 0.99)
            s.iterationMaxCount = std::max(1, toInt(numericValues[0]));
        if (given(1) && numericValues[1] < 0.0001) s.iterationTolerance = numericValues[1];
    } else if (w == "grid") {
        readValues(kGridValues, 1);
        if (given(0))
            for (double& g : s.gridIncrements)
                g = numericValues[0];
    } else if (w == "aspect") {
        readValues(kAspectValues, 1);
        if (given(0)) s.aspect = numericValues[0];
    } else if (int r = setSwitchSetting(w); r >= 0) {
        return r;
    }
    // dispfile, aimpoint, entrance, materials and size change nothing.
    showSetting(keyword);
    return 1;
}

int setCommand() {
    int found = 0, several = 0, index = 0;
    getModifier(kSetKeywords, &found, &several, &index, " ");
    if (several) {
        errorText(outputChannel, "Multiple modifiers not permitted on this command line.\n");
        return 0;
    }
    if (!found) {
        errorText(outputChannel, "Command line contains no legal modifier.\n");
        return 0;
    }
    char keyword[kKeywordChars + 1];
    std::snprintf(keyword, sizeof keyword, "%s", modifierWords[index]);
    return setCommandSettings(keyword);
}

void loadRequestedCatalog() {
    auto& s = settingsState();
    if (!s.catalogRequested) return;
    auto& load = settingsHooks().loadCatalog;
    int result = load ? load(s.catalogFileName) : 0;
    if (result == 2)
        outText(outputChannel, "Catalog %s was already loaded\n", s.catalogFileName.c_str());
    else if (result == 3)
        errorText(outputChannel, "Catalog file %s is larger than 64 MB, not loaded.\n",
                  s.catalogFileName.c_str());
    else if (result != 0)
        outText(outputChannel, "Loaded catalog file:%s\n", s.catalogFileName.c_str());
    else
        errorText(outputChannel, "Unable to read catalog file:%s\n", s.catalogFileName.c_str());
    s.catalogRequested = 0;
    s.catalogFileName.clear();
}

int runSetCommand() {
    int result = setCommand();
    loadRequestedCatalog();
    auto& hooks = settingsHooks();
    if (hooks.updateIndices) hooks.updateIndices();
    if (hooks.refreshProperties) hooks.refreshProperties();
    return result;
}
