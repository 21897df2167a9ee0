// The wireframe of every object of the model: lines that follow each surface's quadric within
// its extent, chosen by the object's wireframe kind and drawn through the 3-D segment road.
#pragma once

#include "engine/model/object_table.h"

// Draws every activated and placed object from the first slot to the highest in use.
void drawAllWireframes();
// Draws one object by its wireframe kind (a kind without a generator draws nothing).
void drawObjectWireframe(const ObjectRecord* object);
