// The view's menu entries, context-menu entries and toolbar buttons as one table: identifier,
// menu path, shortcut, status prompt, handler, and enabling and check mark as pure functions of
// a snapshot of the state. The window turns the rows into actions; tests run them directly.
//
// Paths: "&View>Type>X" is a main-menu entry; "#105>..." an entry of the view's context menu;
// "#toolbar>..." a button of the view's toolbar only, named by its prompt.
#pragma once

#include <functional>
#include <string>
#include <vector>

class CQelView;

// What the entries are enabled and checked by.
struct ViewSnapshot {
    bool commandRunning = false;
    int objectCount = 0;
    int viewType = 0;
    int systemMode = 0, orthogonalMode = 0, filmMode = 0, energyMode = 0;
    int solidMode = 0;
    bool memsplit = false;
    bool hasRenderedImage = false; // view/image left an image the solid views paint
    bool spotFileOpen = false;
    int currentDetector = 0;
    int selectorMode = 1;
    int resolution = 2;
    int unit = 0;
    int gridSnap = 0;
    int energyAbsolute = 1;
    int energyDensity = 0, energyPercentage = 0;
    int viewRays = 0, viewBox = 0, viewFrame = 0, viewGrid = 0, facetNormals = 0;
    int autoRedraw = 0, autoRetrace = 0, stereo = 0, autoFletch = 0, spotColourByEnergy = 0;
    int fresnel = 0, advancedTrace = 0, saveRays = 0, spotsOff = 0, dataOutputOn = 0;
    int verifyTrace = 0, autoScan = 0, monochrome = 0, rayRainbow = 0, sphLensVertex = 0;
    int quickRayHighlight = 0, quickSurfaceHighlight = 0;
    bool viewObjectHasRadiometer = false;     // the part named like viewObject carries one
    bool selectedPolynetRadiometer = false;   // a polygon net with a polar radiometer
    bool viewObjectDefinable = false;         // viewObject names an object not of type 14
};
ViewSnapshot takeViewSnapshot(bool commandRunning);

struct ViewEntry {
    int id = 0;
    std::string path;
    std::string shortcut;
    std::string prompt;
    std::function<void()> handler;
    std::function<bool(const ViewSnapshot&)> enabled; // unset: while no command runs
    std::function<bool(const ViewSnapshot&)> checked; // unset: not checkable
};

// Every view entry, its handler bound to the view.
std::vector<ViewEntry> viewEntries(CQelView& view);

// The guided tour: every modifier path of the commands from "photometry" up to "raytrace",
// each line written to "tour.txt" and shown in a box.
void runTour(CQelView& view);
