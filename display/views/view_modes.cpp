#include "display/views/view_modes.h"

#include <cmath>
#include <cstring>
#include <optional>
#include <string>

#include "command/interpreter/parsed_command.h"
#include "display/analysis/solid_image.h"
#include "display/plot/plot_files.h"
#include "display/raster/bitmap_holder.h"
#include "display/plot/plot_primitives.h"
#include "display/views/view_host.h"
#include "engine/model/object_table.h"

namespace {

const char* const kExportWords[] = {"save", "iges", " "};
const char* const kViewTypeWords[] = {"system", "orthogonal", "energy", "film",  "x", "y",
                                      "z",      "intensity",  "polar",  "image", " "};
const int kViewTypeCodes[] = {0, 1, 3, 2, 4, 5, 6, 7, 12, 0};
const char* const kRaysWords[] = {"rays", " "};
const char* const kAngleValues[] = {"azimuth", "elevation", "distance", " "};
const char* const kImageValues[] = {"nx", "ny", "azimuth", "elevation", "distance", " "};
const char* const kImageNameWords[] = {"name", " "};
const char* const kNoShowWords[] = {"noshow", " "};
const char* const kObjectValues[] = {"object", " "};

constexpr double kMaxImageSide = 640.0;

// Which entry of a table the command's modifiers name, -1 when none; with several, the first.
int modifierChoice(KeywordTable table, const char* label) {
    int found = 0, several = 0, index = 0;
    getModifier(table, &found, &several, &index, label);
    if (!found) return -1;
    for (int i = 0; std::strcmp(table[i], " ") != 0; ++i)
        if (std::strcmp(table[i], modifierWords[index]) == 0) return i;
    return -1;
}

void readValues(KeywordTable names, int count) {
    getNumericValues(numericValues, names, count, numericGiven);
}

void setViewAngles() {
    readValues(kAngleValues, 3);
    if (numericGiven[0]) viewAzimuth = numericValues[0];
    if (numericGiven[1]) viewElevation = numericValues[1];
    if (numericGiven[2]) viewDistance = numericValues[2];
}

bool usableObject(int number) {
    const ObjectRecord* object = getObject(number - 1);
    return object && object->placed && object->defined && object->activated;
}

} // namespace

ViewModeState& viewModeState() {
    static ViewModeState s;
    return s;
}

void resetViewModeState() {
    viewModeState() = ViewModeState{};
}

void setViewWindow(ViewHost* view) {
    viewModeState().viewWindow = view;
}

void installDisplaySettingsHooks() {
    SettingsHooks& hooks = settingsHooks();
    hooks.setViewAngles = [](double azimuth, double elevation) {
        viewAzimuth = azimuth;
        viewElevation = elevation;
    };
    hooks.displayFileName = []() -> std::optional<std::string> {
        const PlotState& s = plotState();
        if (!s.displayFileOpen) return std::nullopt;
        return s.displayFileName;
    };
}

void setViewType(int type) {
    systemMode = energyMode = orthogonalMode = filmMode = viewType = 0;
    switch (type) {
    case 0:
        systemMode = 1;
        break;
    case 1:
        orthogonalMode = 1;
        break;
    case 2:
        (currentDetector > 0 ? filmMode : systemMode) = 1;
        break;
    case 3:
        (currentDetector > 0 ? energyMode : systemMode) = 1;
        break;
    case kViewAxisX:
    case kViewAxisY:
    case kViewAxisZ:
    case kViewPolarRadiometer:
        viewType = type;
        break;
    case kViewIntensity:
        viewType = type;
        if (currentDetector <= 0) systemMode = 1;
        break;
    default:
        break;
    }
}

void parseViewModifiers() {
    if (modifierChoice(kExportWords, "export modifiers.") == 0) {
        saveRequested = 1;
        openPlotFile(" ");
    }
    const int type = modifierChoice(kViewTypeWords, "viewtypes.");
    if (type >= 0) setViewType(kViewTypeCodes[type]);
    viewModeState().zeroBasedScaling = 1;
}

int viewCommand(const char* word) {
    const std::string w = word && *word && std::strcmp(word, " ") != 0 ? word : "system";
    const int rays = modifierChoice(kRaysWords, " ") >= 0 ? 1 : 0;
    // Asked for the view again, the repaint says again what it found.
    viewModeState().repaintMessages.last.clear();
    parseViewModifiers();
    // Any other view leaves a rendered image behind.
    if (w != "image") solidMode = 0;
    if (w == "system" || w == "orthogonal") {
        viewRays = rays;
        setViewAngles();
        requestRedraw();
    } else if (w == "image") {
        readValues(kImageValues, 5);
        const double nx = numericGiven[0] ? numericValues[0] : 32.0;
        const double ny = numericGiven[1] ? numericValues[1] : 20.0;
        if (!(nx >= 1.0 && nx <= kMaxImageSide && ny >= 1.0 && ny <= kMaxImageSide)) {
            errorText(outputChannel, "Nx and ny must be greater than 0, less than 641.\n");
            errorText(outputChannel, "Try again.\n");
            return 0;
        }
        if (numericGiven[2]) viewAzimuth = numericValues[2];
        if (numericGiven[3]) viewElevation = numericValues[3];
        const double distance = numericGiven[4] ? numericValues[4] : 1000000.0;
        // The name only switches the file: "null" or an empty name write no TEMP.SOL.
        std::string name = "nul";
        int found = 0, several = 0, index = 0;
        getModifier(kImageNameWords, &found, &several, &index, " ");
        if (found) name = modifierHasValue[index] ? quotedStrings[index] : "";
        const int show = modifierChoice(kNoShowWords, " ") < 0 ? 1 : 0;
        renderShadedImage(name, static_cast<int>(nx), static_cast<int>(ny), viewAzimuth,
                          viewElevation, 0, show, distance);
        if (show) requestRedraw();
    } else if (w == "x" || w == "y" || w == "z") {
        viewRays = rays;
        requestRedraw();
    } else if (w == "film" || w == "energy") {
        requestRedraw();
    } else if (w == "polar" || w == "intensity") {
        readValues(kObjectValues, 1);
        const double value = numericValues[0] + 0.001;
        const int number =
            std::isfinite(value) && std::fabs(value) < 1e9 ? static_cast<int>(value) : 0;
        if (!usableObject(number)) {
            setViewType(0);
        } else {
            viewObject = number;
            refreshCurrentObjects(1);
        }
    } else if (w == "from_object") {
        viewRays = rays;
    }
    return 1;
}

void requestRedraw() {
    refreshCurrentObjects(1);
    repaintRequested = 1;
    if (ViewHost* view = viewModeState().viewWindow) view->invalidateAndUpdate();
}
