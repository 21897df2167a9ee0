// Giving a defined object its place in the model and changing that place: activation with a
// position and three angles, placement relative to or inside another object, moves, turns,
// removal from the workbox and deletion. Every operation that changes a placement ends with
// setobj, so the surfaces' global matrices always follow their object. Object numbers are
// 1-based; messages go to the output channel and name objects by their label.
#pragma once

#include <string_view>

#include "engine/model/object_table.h"

struct PlacementCommandsState {
    int lastActivatedObject = 0; // the object placed last (the default reference of place)
};

PlacementCommandsState& placementCommandsState();
void resetPlacementCommandsState();

inline int& lastActivatedObject = placementCommandsState().lastActivatedObject;

// Places a defined object at (x, y, z) turned by alpha about its z axis, then beta about its new
// y axis, then gamma about its newest z axis (degrees); a parent number above 0 puts it inside
// that object. Replaces any earlier placement. 1 done, 0 refused.
int activateObject(int number, double x, double y, double z, double alpha, double beta,
                   double gamma, int parentNumber);

// mode "global": at (dx, dy, dz) in global axes. "relative" and "inside": in the reference
// object's frame, which must exist and be placed; "inside" also puts the object's media inside
// the reference. Any other mode counts as "global". 1 done, 0 refused.
int placeObjectRelative(std::string_view mode, int number, int referenceNumber, double dx,
                        double dy, double dz);
// The placement step itself, without checks: the reference's frame (identity for "global"), the
// offset in it, setobj and the inside links.
void placeAt(std::string_view mode, ObjectRecord* object, const ObjectRecord* reference, double dx,
             double dy, double dz);

// Sets the inside links of the object's surfaces for a new placement. Links to other objects'
// surfaces are dropped first (an earlier parent's medium must not survive a new placement);
// links within the object stay. Then, for mode "inside", every surface without a link gets the
// parent's first surface.
void linkInside(ObjectRecord* object, const ObjectRecord* parent, std::string_view mode);

// kind must be "object". frameMode "local" moves along the object's own axes, anything else along
// the global axes. 1 moved, 0 refused or another kind (nothing printed for another kind).
int moveObject(std::string_view kind, std::string_view frameMode, int number, double dx, double dy,
               double dz);

// Turns a placed object by angle degrees about axis "x", "y" or "z" (another word turns by
// nothing): "local" about its own axes through its own origin, "relative" about axes parallel to
// the reference's through the reference's origin, "global" (or any other word) about the global
// axes through the global origin. 1 done, 0 refused.
int rotateObject(std::string_view frameMode, std::string_view axis, int number, int referenceNumber,
                 double angle);

// Takes a placed object out of the workbox (kind "object" only). 1 done, 0 otherwise.
int removeObject(std::string_view kind, int number);

// Deletes a defined object (kind "object" only): its surfaces go back to the free list, every
// inside link into them is cleared, the slot is freed and the object's alias removed, with
// "Deleted object %s and its %d surfaces.". The part list calls it when a part is deleted and
// the clear command for every object. 1 done, 0 refused or another kind.
int deleteObject(std::string_view kind, int number);

// An information box "label: x y z", for the single-ray trace.
void showVector(const char* label, const Vec3& v);
