// Fitting the workbox (the model box every view fits) around the placed objects.
#pragma once

#include <functional>

#include "engine/object_table.h"

struct SnugWorkboxHooks {
    // Calls `visit` with every vertex of a polygon net object's first net, in the frame of its
    // first surface. Unset (no polygon nets yet): the net's surface extent boxes stand in.
    std::function<void(const ObjectRecord* object, const std::function<void(const Vec3&)>& visit)>
        forEachPolynetVertex;
};
SnugWorkboxHooks& snugWorkboxHooks();

// The snug form of set/workbox: the workbox centre and half sizes become those of the box around
// every activated and placed object (light sources and axes by their reference point, polygon
// nets by their vertices, every other object by the corners of its surfaces' extent boxes). A
// half size of 0 becomes 1. Without such an object the workbox stays as it was.
void snugWorkbox();
