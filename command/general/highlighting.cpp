#include "command/general/highlighting.h"

HighlightState& highlightState() {
    static HighlightState s;
    return s;
}

void resetHighlightState() {
    highlightState() = HighlightState{};
}

int setRayHighlight(int parent, int descendant, int colour) {
    HighlightState& s = highlightState();
    s.rayParent = descendant < 0 ? -1 : parent;
    s.rayDescendant = descendant;
    s.rayColour = colour;
    return s.rayParent != -1;
}

int setSurfaceHighlight(int object, int surface, int colour) {
    HighlightState& s = highlightState();
    s.surfaceObject = surface < 0 ? -1 : object;
    s.surfaceNumber = surface;
    s.surfaceColour = colour;
    return s.surfaceObject != -1;
}

int rayHighlightColor(int defaultColour, int parent, int descendant) {
    const HighlightState& s = highlightState();
    if (s.rayParent != -1 && parent == s.rayParent && descendant == s.rayDescendant)
        return s.rayColour;
    return defaultColour;
}

int surfaceHighlightColor(int defaultColour, int object, int surface) {
    const HighlightState& s = highlightState();
    if (s.surfaceObject != -1 && object == s.surfaceObject && surface == s.surfaceNumber)
        return s.surfaceColour;
    return defaultColour;
}

void printHighlighting(OutputChannel channel) {
    const HighlightState& s = highlightState();
    if (s.rayParent == -1)
        outText(channel, "Ray highlighting is inactive.\n");
    else
        outText(channel,
                "Ray highlighting is active on ray parent %d and decendant %d, color %d.\n",
                s.rayParent, s.rayDescendant, s.rayColour);
    if (s.surfaceObject == -1)
        outText(channel, "Object highlighting is inactive.\n");
    else
        outText(channel,
                "Surface highlighting is active on object %d surface/facet %d, color %d.\n",
                s.surfaceObject, s.surfaceNumber, s.surfaceColour);
}
