// A part: the part model's companion of one object of the model, carrying the object's name.
#pragma once

#include <string>

#include "engine/model/object_table.h"
#include "engine/polynet/polynet_belt.h"

class CPartList;

class CPart {
  public:
    // A part of the object `geometry` (not owned); the kind name is the object's kind.
    explicit CPart(ObjectRecord* geometry);
    virtual ~CPart() = default;
    CPart(const CPart&) = delete;
    CPart& operator=(const CPart&) = delete;

    ObjectRecord* geometry = nullptr;
    std::string kindName; // the kind name of the object's type code, e.g. "lens", "cpc"
    std::string name;     // the object's label when the part was made
    // The plane of a net's polar plot (kPolarXY, kPolarXZ, kPolarYZ), kPolarNone for none.
    int polarPlane = kPolarNone;
};

// A name for the part of an object that has no name of its own: the first four characters of
// its kind name and its number ("lens12"), with "x" appended until no part and no alias has the
// name ("lens12x").
std::string MakePartName(CPartList& list, const ObjectRecord* object);
