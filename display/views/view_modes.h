// The view mode: which picture the repaint draws (system view, four views, axis views, spot
// diagram, energy plot, polar plots), the view angles, and the view command that chooses them.
#pragma once

#include "command/messages/messages.h"
#include "command/settings/settings.h"
#include "engine/model/current_objects.h"
#include "engine/model/view_transform.h"

class ViewHost;

// The mapping of one fixed pane (x, y or z view) as last drawn: device = model * scale + bias.
struct PaneScale {
    double scaleX = 1.0, scaleY = 1.0;
    double biasX = 0.0, biasY = 0.0;
};

// View types besides the modes.
enum ViewTypeCode : int {
    kViewAxisX = 4,
    kViewAxisY = 5,
    kViewAxisZ = 6,
    kViewIntensity = 7,
    kViewPolarLast = 11,
    kViewPolarRadiometer = 12,
};

// `orthogonalMode`, `viewRays`, `viewBox`, `viewGrid` and `viewFrame` are settings
// (command/settings.h); `viewObject` and `currentDetector` are the current objects.
struct ViewModeState {
    int systemMode = 1;
    int filmMode = 0;
    int energyMode = 0;
    int viewType = 0;
    int stereoMode = 0;
    int stereoSeparation = 4;
    int stereoColours[2] = {12, 11};
    double viewAzimuth = 45.0;
    double viewElevation = 20.0;
    double arrowSize = 0.0;
    PaneScale paneScale[3]; // x, y and z views
    int repaintRequested = 0;
    int saveRequested = 0;
    int zeroBasedScaling = 1;       // the energy plot is scaled from zero
    int facetNormals = 0;           // polygon nets show their facet normals (a view menu option)
    // The zoomed part of the film the spot diagram shows (centre x, centre y, half width, half
    // height, set by a box drag in the film view); half sizes of 0: the whole film.
    double filmWindow[4] = {0.0, 0.0, 0.0, 0.0};
    ViewHost* viewWindow = nullptr; // the view that requestRedraw updates
    // What the last repaints said: a repaint after every command says a fault once (stamped
    // with the data files' generation; the view command asks afresh).
    RepeatMemory repaintMessages;
};

ViewModeState& viewModeState();
void resetViewModeState();

inline int& systemMode = viewModeState().systemMode;
inline int& filmMode = viewModeState().filmMode;
inline int& energyMode = viewModeState().energyMode;
inline int& viewType = viewModeState().viewType;
inline int& stereoMode = viewModeState().stereoMode;
inline double& viewAzimuth = viewModeState().viewAzimuth;
inline double& viewElevation = viewModeState().viewElevation;
inline double& arrowSize = viewModeState().arrowSize;
inline auto& paneScale = viewModeState().paneScale;
inline int& repaintRequested = viewModeState().repaintRequested;
inline int& saveRequested = viewModeState().saveRequested;
inline auto& filmWindow = viewModeState().filmWindow;
// The eye distance of the perspective view is the viewing transform's.
inline double& viewDistance = viewState().eyeDistance;

// The view window the repaint draws into on request (nullptr: none; requests only set flags).
void setViewWindow(ViewHost* view);
// Connects the settings to the view: the settings reset's view angles and the name of the open
// display file.
void installDisplaySettingsHooks();

// 0 system, 1 four views, 2 spot diagram, 3 energy plot, 4-6 axis views, 7 intensity, 12 polar
// radiometer; any other value clears every mode.
void setViewType(int type);
// The "save" and view-type modifiers of the view command.
void parseViewModifiers();
// The view command for a view-type word ("system", "image", "x", "orthogonal", "film", ...);
// returns 1 when done, 0 when rejected.
int viewCommand(const char* word);
// Recomputes the current objects and repaints the view window at once.
void requestRedraw();
