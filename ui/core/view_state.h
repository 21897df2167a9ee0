// The view's own state: the selector mode and the drag in progress, the pane mappings of the
// last paint, the picked point, the snap grid, the printing and metafile flags, the intensity
// image, and the highlighted ray and surface. The solid views are the display's `solidMode`
// over its rendered image; the spot colours are the film analysis's option. One instance,
// grouped so tests can reset it. The grid spacing is the settings' (set/grid), not a copy.
#pragma once

#include <string>

#include "parts/radiometers/screen_mapping.h"

// The colours of the quick highlights (View > HighLight), also those of the arrow keys'.
inline constexpr int kQuickRayColour = 12;
inline constexpr int kQuickSurfaceColour = 14;

// What a left-button drag does.
enum SelectorMode : int { kSelectAzEl = 1, kSelectSizeBox = 2, kSelectNormal = 3, kSelectPoint = 4 };

struct QelViewState {
    int selectorMode = kSelectAzEl;
    // Client points with y counted upwards from the bottom row (height - 1 - y).
    int anchorPoint[2] = {0, 0};
    int dragPoint[2] = {0, 0};
    bool dragging = false; // the view holds the mouse capture
    CScreenMapping xPaneMap, yPaneMap, zPaneMap, energyMap;

    double pickedPoint[3] = {0, 0, 0};
    // The film zoom is the display's `filmWindow` (the spot diagram reads it).
    int gridSnap = 0;
    double gridExtent = 0;
    int clientSize[2] = {0, 0};
    double printAspect = 1.5;
    int printingNow = 0;
    int intensityReady = 0;
    int metafileOutput = 0;
    int highlightRay = 1, highlightPoint = 1;
    int highlightObject = 0, highlightSurface = 1;

    // Menu flags kept by the view.
    int autoFletch = 0;
    int quickRayHighlight = 0;
    int quickSurfaceHighlight = 0;
    int verifyTrace = 0;
    int autoScan = 0;
    int advancedTrace = 0;
    int dataOutputOn = 0;
    std::string dataOutputFile;

    // The stored trace settings of the selected light source (set by the selection when the
    // part keeps them): its object, counts, angles in radians, sizes, and whether they preset
    // the dialogs (only of that source).
    int sourcePreset = 0;
    int sourceObject = 0;
    int sourceCounts[3] = {0, 0, 0};
    double sourceAngles[2] = {0, 0};
    double sourceSizes[2] = {0, 0};

    // The last progress text shown (it is drawn again only when it changes).
    std::string progressText;
};

QelViewState& qelViewState();
// Restores the load-time state; gridExtent from the workbox as the view's constructor sets it.
void resetQelViewState();
