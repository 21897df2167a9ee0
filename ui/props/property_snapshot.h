// What the object property sheet shows of the selected object and surface: one plain record per
// page, filled from the part model by LoadPropertySnapshot. The snapshot holds values only (no
// pointer into the model), so a page may keep it while commands change or delete the part.
#pragma once

#include <array>
#include <string>
#include <vector>

// "n/a": the text of a field that has nothing to show.
inline constexpr const char* kNotApplicable = "n/a";
// The first entry of the glass and place-inside lists: no glass, not inside another object.
inline constexpr const char* kNoEntry = "   ";

struct ExtentPageValues {
    int holeSection = 0; // the surface's owner takes holes (mirrors, detectors)
    std::string name;    // surface designator
    int outside = 0, inside = 0;
    double holeXCenter = 0, holeXHalf = 0, holeYCenter = 0, holeYHalf = 0;
    int holeType = -1; // 0 none, 1 rectangular, 2 oval
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0, zMin = 0, zMax = 0;
};

struct DefinitionPageValues {
    static constexpr int kValues = 10;
    std::string defineText;                  // the define command path that made the part
    std::vector<std::string> glassNames;     // kNoEntry, then every catalog glass once
    int glassSelection = 0;                  // index into glassNames
    std::string mediumOwner;                 // the object whose medium the surface sits in
    std::array<std::string, kValues> labels; // each beside its value
    std::array<double, kValues> values{};
    std::string objectName;
    int valueCount = 0;
};

struct PlacementPageValues {
    std::vector<std::string> objectNames; // kNoEntry, then every part in list order
    std::string insideName;               // the enclosing object, or empty
    std::string name;
    double x = 0, y = 0, z = 0, alpha = 0, beta = 0, gamma = 0;
    int activated = 0, inPlace = 0;
};

struct AttributesPageValues {
    std::string name;
    double refl = 0, absor = 0, reserved = 0;
    std::array<double, 12> indices{};
};

struct AltSurfacePageValues {
    std::array<std::string, 6> labels;
    std::array<double, 6> values{};
    int type = -1; // 0 none, 1 toric, 2 aspheric, 3 fresnel, 4 grating, 5 other
    std::string name;
    int fresnelKind = -1; // 0 radial, 1 x cylindrical, 2 y cylindrical
};

struct ScatteringPageValues {
    std::string name;
    int type = -1; // 0 none, 1 lambertian, 2 gaussian, 3 powerlaw, 4 x-y exponential
    std::array<std::string, 3> labels;
    std::array<double, 3> values{};
};

struct FresnelPageValues {
    std::string name;
    int type = -1; // 0 none, 1 fresnel, 2 metal, 3 lwirmetal
    std::array<double, 6> cons{};
};

struct MediaPageValues {
    std::string pluginFile;
    std::string name;
    std::array<std::string, 9> labels;
    double absorptionLoaded = 0;
    std::array<double, 9> values{}; // p0 (scatter or step) .. p8
    double volumeAbsorption = 0;
    int materialType = -1; // 0 none, 1 bulk scattering, 2 gradient index
};

struct SourcePageValues {
    std::string name;
    std::string tableFile;
    std::string dllFile;
    int type = -1; // 0 none, 1 custom, 2 iesna, 3 standard, 4 user-defined table; -1 unset
    std::array<std::string, 9> labels;
    std::array<double, 9> values{};
};

struct PropertySnapshot {
    std::string title;      // label + "." + surface number
    bool hasPart = false;   // false: the pages show "n/a" and 0 and apply nothing
    bool faceFound = false; // the surface number names a surface of the part
    ExtentPageValues extent;
    DefinitionPageValues definition;
    PlacementPageValues placement;
    AttributesPageValues attributes;
    AltSurfacePageValues altSurface;
    ScatteringPageValues scattering;
    FresnelPageValues fresnel;
    MediaPageValues media;
    SourcePageValues source;
};

// Fills a snapshot of the part named `label` (found again in thePartList) and its surface
// `surface` (below 1: surface 1). Without such a part every page holds "n/a" and 0.
PropertySnapshot LoadPropertySnapshot(const std::string& label, int surface);

// The nine parameter names a plug-in reports (UserParamNames), binding `modulePath`'s `entryName`
// again; false (names untouched) when it does not bind or reports no names.
bool pluginParameterLabels(const std::string& modulePath, const char* entryName,
                           std::array<std::string, 9>& labels);
