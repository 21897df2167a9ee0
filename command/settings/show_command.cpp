#include <cstdio>
#include <cstring>
#include <string_view>

#include "command/settings/color_tables.h"
#include "command/settings/settings.h"
#include "command/settings/settings_commands.h"

// clang-format off
const char* const kShowKeywords[] = {
    "board",       "screen",     "raylimits", "workbox",    "aimpoint",      "entrance",
    "viewbeep",    "fletch",     "color",     "wavelength", "aspect",        "units",
    "silent_err",  "resolution", "dispfile",  "materials",  "size",          "grid",
    "fresnel",     "add_rays",   "iteration", "frame",      "rayrainbow",    "proximity_glue",
    "autoretrace", "saverays",   "energy",    "savespots",  "sphlensvertex", " "};
// clang-format on

namespace {

constexpr const char* kBoardNames[] = {"CGA", "TECMAR", "EGA", "HERCULES", "VGA", "SVGA"};
constexpr const char* kScreenNames[] = {"alpha", "low", "medium", "high", "monochrome"};

const char* nameOf(const char* const* names, int count, int i) {
    return (i >= 0 && i < count) ? names[i] : "";
}

void onOff(int flag, const char* on, const char* off) {
    outText(outputChannel, "%s", flag ? on : off);
}

} // namespace

void showSetting(const char* keyword) {
    const auto& s = settingsState();
    const OutputChannel out = outputChannel;
    std::string_view w = keyword;
    if (w == "board") {
        outText(out, "Display system is %s (%d).\n", nameOf(kBoardNames, 6, s.boardNumber),
                s.boardNumber);
    } else if (w == "screen") {
        outText(out, "Display screen is %s.\n", nameOf(kScreenNames, 5, s.screenNumber));
    } else if (w == "proximity_glue") {
        if (s.proximityGlueDistance > 0)
            outText(out,
                    "Proximity_glue is on.  Inter-object distances shorter than %lg are "
                    "bonded.\n",
                    s.proximityGlueDistance);
        else
            outText(out, "Proximity_glue deactivated.\n");
    } else if (w == "color") {
        listColorTable(out);
    } else if (w == "iteration") {
        outText(out, "Iteration maximum count=%d, tolerance = %lg\n", s.iterationMaxCount,
                s.iterationTolerance);
    } else if (w == "fresnel") {
        onOff(s.fresnelOn, "Fresnel reflection mode is ON.\n", "Fresnel reflection mode is OFF.\n");
    } else if (w == "frame") {
        onOff(s.viewFrame, "Frame will be drawn on plots.\n",
              "Frame will NOT be drawn on plots.\n");
    } else if (w == "rayrainbow") {
        onOff(s.rayRainbow, "Rays will be drawn in a 15 colors, cyclicly.\n",
              "Rays will be drawn in 2 colors.\n");
    } else if (w == "viewbeep") {
        onOff(s.viewBeep, "Viewbeep is ON.\n", "Viewbeep is OFF.\n");
    } else if (w == "autoretrace") {
        onOff(s.autoRetrace, "Autoretrace is ON.\n", "Autoretrace is OFF.\n");
    } else if (w == "saverays") {
        onOff(s.saveRays, "Ray data saving is ON.\n", "Ray data saving is OFF.\n");
    } else if (w == "savespots") {
        onOff(!s.spotsOff, "Spot data saving is ON.\n", "Spot data saving is OFF.\n");
    } else if (w == "energy") {
        if (s.energyPercentage) outText(out, "Energy is shown as percentage.\n");
        if (s.energyDensity) outText(out, "Energy is shown as density.\n");
        onOff(s.energyAbsolute,
              "Energy (absolute) is calculated based the total energy in the system.\n",
              "Energy is calculated relative to the amount on the film plane selected.\n");
    } else if (w == "fletch") {
        if (s.fletchOn)
            outText(out, "Ray arrow fletching is ON. Position = %f, head size = %f\n",
                    s.arrowPosition, s.arrowHeadSize);
        else
            outText(out, "Ray arrow fletching is OFF.\n");
    } else if (w == "raylimits") {
        outText(out, "Ray trace limits:\n");
        outText(out, "   Maximum number of descendants per ray: %d\n", s.maxRayDepth);
        outText(out, "   Maximum number of ghost rays: %d\n", s.maxGhosts);
        outText(out, "   Minimum transmissivity along path: %f\n", s.minRayEnergy);
    } else if (w == "workbox") {
        const auto& b = s.workbox;
        outText(out, "Workbox center: %lf %lf %lf\n", b.center[0], b.center[1], b.center[2]);
        outText(out, "   half widths: %lf %lf %lf  %s\n", b.halfSize[0], b.halfSize[1],
                b.halfSize[2], currentUnitName());
    } else if (w == "wavelength") {
        outText(out, "# Wavelength(microns) Weight\n");
        for (int i = 0; i < kWavelengthSlots; ++i)
            outText(out, "%ld    %lg     %lg\n", static_cast<long>(i + 1), s.wavelengthTable[i],
                    s.weightTable[i]);
    } else if (w == "aspect") {
        outText(out, "Aspect ratio is %lf\n", s.aspect);
    } else if (w == "resolution") {
        outText(out, "Plot resolution is now ");
        if (s.wireframeDetail == 1) outText(out, "low.\n");
        if (s.wireframeDetail == 2) outText(out, "medium.\n");
        if (s.wireframeDetail == 3) outText(out, "high.\n");
    } else if (w == "dispfile") {
        auto& name = settingsHooks().displayFileName;
        if (auto open = name ? name() : std::nullopt)
            outText(out, "Display file name is: %s\n", open->c_str());
        else
            outText(out, "Output display file not currently open.\n");
    } else if (w == "grid") {
        outText(out, " Grid spacing: x = %f  y = %f  z = %f  %s\n", s.gridIncrements[0],
                s.gridIncrements[1], s.gridIncrements[2], currentUnitName());
    } else if (w == "units") {
        outText(out, " Units are %s\n", currentUnitName());
    } else if (w == "sphlensvertex") {
        onOff(s.sphLensVertex,
              " Spherical lens coordinate origin is at the vertex of the first surface.\n",
              " Spherical lens coordinate origin is at geometric center.\n");
    } else if (w == "add_rays") {
        onOff(s.addRays, " Ray data will be added to end of existing data file.\n",
              " Ray data file will be truncated at next ray trace.\n");
    }
    // aimpoint, entrance, silent_err, materials and size print nothing.
}

int showCommand() {
    int found = 0, several = 1, index = 0;
    getModifier(kShowKeywords, &found, &several, &index, " ");
    if (found) {
        char keyword[kKeywordChars + 1];
        std::snprintf(keyword, sizeof keyword, "%s", modifierWords[index]);
        showSetting(keyword);
        return 1;
    }
    for (int i = 0; i < kShowAllCount; ++i)
        showSetting(kShowKeywords[i]);
    return 1;
}
