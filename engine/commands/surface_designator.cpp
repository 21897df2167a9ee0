#include "engine/commands/surface_designator.h"

#include <cmath>

#include "command/interpreter/aliases.h"
#include "command/messages/messages.h"
#include "engine/model/object_table.h"

void splitSurfaceNumber(double designator, int& objectIndex, int& surfaceNumber) {
    // Numbers far outside the table name no object; keep them inside int on the way.
    if (!std::isfinite(designator)) designator = 0;
    if (designator > 1e6) designator = 1e6;
    if (designator < -1e6) designator = -1e6;
    const double whole = std::trunc(designator);
    objectIndex = static_cast<int>(whole) - 1;
    surfaceNumber = static_cast<int>((designator - whole + 0.0001) * 10);
    if (surfaceNumber == 0) surfaceNumber = 1;
}

void parseSurfaceNumber(double designator, int& objectIndex, int& surfaceNumber, int& error) {
    splitSurfaceNumber(designator, objectIndex, surfaceNumber);
    const int objectNumber = objectIndex + 1;
    error = 0;
    if (!getObject(objectIndex)) {
        errorText(outputChannel, "Object %d is undefined.\n", objectNumber);
        error = 1;
    }
    if (!getSurface(objectIndex, surfaceNumber)) {
        errorText(outputChannel, "Surface %d is undefined.\n", surfaceNumber);
        error = 1;
    }
}

std::string surfaceDesignator(const SurfaceRecord* surface) {
    if (!surface) return {};
    const int number = surface->number == 0 ? 1 : surface->number;
    const int owner = surface->owner ? surface->owner->number : 0;
    return formatText("%s.%d", objectLabel(owner), number);
}
