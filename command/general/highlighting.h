// Ray and surface highlighting: one ray segment (parent path and descendant segment) and one
// surface or facet of one object can be drawn in a colour of their own. The echo command sets
// them; the ray replay and the wireframes ask for the colour of what they draw.
#pragma once

#include "command/messages/messages.h"

struct HighlightState {
    int rayParent = -1; // -1: ray highlighting off
    int rayDescendant = 0;
    int rayColour = 0;
    int surfaceObject = -1; // -1: surface highlighting off
    int surfaceNumber = 0;
    int surfaceColour = 0;
};

HighlightState& highlightState();
void resetHighlightState();

// A negative descendant switches ray highlighting off; 1 when it is on afterwards.
int setRayHighlight(int parent, int descendant, int colour);
// A negative surface number switches surface highlighting off; 1 when it is on afterwards.
int setSurfaceHighlight(int object, int surface, int colour);

// The highlight colour for the highlighted ray segment, else the default colour.
int rayHighlightColor(int defaultColour, int parent, int descendant);
// The highlight colour for the highlighted surface of the highlighted object, else the default.
int surfaceHighlightColor(int defaultColour, int object, int surface);

void printHighlighting(OutputChannel channel);
