// The current objects: which object, light source, detector and polygon net the commands that
// name none work on, and which object the user interface shows as selected. Recomputed after
// every command and every selection.
#pragma once

#include <functional>
#include <string>

#include "engine/model/object_table.h"

struct CurrentObjectsState {
    int currentObject = 0; // highest-numbered defined object
    int viewObject = 0;    // the selection
    int currentLightSource = 0;
    int currentDetector = 0;
    int currentPolynet = 0;
    int firstDefinedObject = 0;
    int firstUnplacedObject = 0;
    int lastDefinedObject = 0;  // the number the last definition made
    int newlyDefinedObject = 0; // made since the last refresh, to be selected by it
    int pendingSelection = 0;   // set by the user interface when the user picks an object
    int pendingSelectedObject = 0;
    // Receives "Object %d selected." for the status line; empty means nowhere (the console).
    std::function<void(const std::string&)> statusLine;
};

CurrentObjectsState& currentObjectsState();
void resetCurrentObjects();

inline int& currentObject = currentObjectsState().currentObject;
inline int& viewObject = currentObjectsState().viewObject;
inline int& currentLightSource = currentObjectsState().currentLightSource;
inline int& currentDetector = currentObjectsState().currentDetector;
inline int& currentPolynet = currentObjectsState().currentPolynet;
inline int& firstDefinedObject = currentObjectsState().firstDefinedObject;
inline int& firstUnplacedObject = currentObjectsState().firstUnplacedObject;
inline int& lastDefinedObject = currentObjectsState().lastDefinedObject;
inline int& pendingSelection = currentObjectsState().pendingSelection;
inline int& pendingSelectedObject = currentObjectsState().pendingSelectedObject;

// Installs the status-line receiver of the user interface (an empty function removes it).
void setStatusLineHook(std::function<void(const std::string&)> hook);

// Called by a definition that completed object `number`: it becomes lastDefinedObject, and the
// next refresh selects it while it is still defined.
void noteDefinedObject(int number);

// Recomputes the current numbers; returns objectCount. Deletes rays.dat when the model has just
// lost its current light source. Without quiet, the status line gets "Object %d selected.".
int refreshCurrentObjects(int quiet);

int isPlacedLightSource(int number);
int isPlacedDetector(int number);
int isPolynet(int number);

// The object tree's entry: "." when placed, "." when activated (blanks otherwise), the label and
// " (kind)". Empty for no object.
std::string objectListEntryText(const ObjectRecord* object);

// The object of a detector view. With the "object" value given: that object (value + 0.001,
// truncated) when it is defined, placed and activated; it becomes viewObject and is returned,
// else -1. Without it: a current detector becomes viewObject and 0 is returned, else -1.
int viewObjectArg(int objectGiven, double objectValue);
