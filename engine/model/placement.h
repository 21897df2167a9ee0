// An object's placement carried to its surfaces, and the placement angles recovered from it.
#pragma once

#include "engine/model/object_table.h"

// Recomputes what follows from the object's placement: the global reference point (when the
// bounding sphere is in use) and both global matrices of every surface.
void setobj(ObjectRecord* object);

// The z-y-z angles in degrees that rebuild the object's local-to-global rotation through the
// activation order (rotate z by alpha, then y by beta, then z by gamma). Where several sign
// choices fit equally the first of the search order wins, so the triple is often the dual
// (alpha +- 180, -beta, gamma +- 180) of the one that was placed. When angles of fewer digits
// rebuild both of the object's matrices bit for bit (a placement typed as short numbers), those
// are given, so that a saved placement comes back exactly.
void objectOrientationAngles(const ObjectRecord* object, double& alpha, double& beta,
                             double& gamma);
