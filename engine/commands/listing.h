// The text tables of the display command: objects, their placements, surface attributes and
// media, surface extents, alternate-surface functions and user parameters. The column formats
// are part of the program's visible output.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "command/messages/messages.h"
#include "engine/model/object_table.h"

struct ListingHooks {
    // The open display file; nullptr (or unset) when none is open.
    std::function<std::FILE*()> displayFile;
    // The name of the catalog glass of the part that owns the surface; false when that part has
    // none (or unset: no part model yet).
    std::function<bool(const SurfaceRecord* surface, std::string& name)> objectMaterialName;
};
ListingHooks& listingHooks();

// Chooses the table by kind: "object" (a = object index), "parameters" (a = object index),
// "altsurfaces", "surface" and "extents" (a = surface number, b = object index), "subassembly"
// and "photocalc". all lists every object. With toDisplayFile the table goes into the open
// display file, and nothing is listed when none is open.
void listCommand(std::string_view kind, int a, int b, int all, int toDisplayFile);

// Objects with their surface count, type and state, or with "geometry" given their location and
// orientation.
void listObjects(int index, int all, OutputChannel channel);
// One row of the object table.
void dispobj(int index, OutputChannel channel, int geometry);
// Surface attributes and the media behind each surface. Surface number 0 lists the whole chain.
void listSurfaces(int surfaceNumber, int index, int all, OutputChannel channel);
// Surface extent boxes. Surface number 0 lists the whole chain.
void listExtents(int surfaceNumber, int index, int all, OutputChannel channel);
// The alternate-surface functions of every surface, or of one surface (0: of the whole chain).
void listAltSurfaces(int surfaceNumber, int index, int all);
