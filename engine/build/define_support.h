// What the object builders share: reading a kind's values with their defaults, choosing among a
// kind's option modifiers, making surface chains and setting extents. Only the builders include
// this.
#pragma once

#include "command/interpreter/parsed_command.h"
#include "engine/model/object_table.h"

// One definition in progress: the new object and the value names the builder read, which become
// the object's user parameters once the builder succeeds.
struct DefineContext {
    ObjectRecord* object = nullptr;
    KeywordTable valueNames = nullptr;
    int valueCount = 0;
};

// Reads the first `count` values named in `names` (by position or name=value) into the parsed
// command's numeric values and notes them as the values the definition uses.
void readValues(DefineContext& context, KeywordTable names, int count);
// The value at position i, and whether the command gave it.
inline double& value(int i) {
    return numericValues[i];
}
inline bool valueGiven(int i) {
    return numericGiven[i] != 0;
}
// Writes the default into value i unless the command gave it; returns the value in force.
double useDefault(int i, double fallback);

// Which entry of an option table the command names, as an index into the table; `fallback`
// when none does.
int chooseOption(KeywordTable table, const char* label, int fallback);

// Appends `count` initialised surfaces to the object's chain (owner set, numbered along the
// chain). When memory runs out the surfaces obtained by this call go back, `failMessage` is
// reported as an error and nullptr is returned; otherwise the first new surface.
SurfaceRecord* appendSurfaces(ObjectRecord* object, int count, const char* failMessage);
// Returns every surface of the object's chain to the free list and empties the chain.
void releaseSurfaces(ObjectRecord* object);
// The surface at chain position n (1-based), or nullptr.
SurfaceRecord* surfaceAt(ObjectRecord* object, int n);

void setExtent(SurfaceRecord* surface, double xmin, double xmax, double ymin, double ymax,
               double zmin, double zmax);

// The builders of each kind; each returns true when the object was made.
bool buildAxis(DefineContext& context);
bool buildLightSource(DefineContext& context);
bool buildFilm(DefineContext& context);
bool buildDetector(DefineContext& context);
bool buildAperture(DefineContext& context);
bool buildRod(DefineContext& context);
// The spherical lens, the cylindrical lens or the doublet, by the lens modifier.
bool buildLens(DefineContext& context);
bool buildMirror(DefineContext& context);
// Quadric and cavity objects; kind receives the index of the quadric kind (0 ellipsoid, 1 cone,
// 2 cylinder, 3 eltrough).
bool buildQuadricObject(DefineContext& context, int& kind);

// The CPC builder in force (see setCpcMirrorBuilder).
int runCpcMirrorBuilder(ObjectRecord* object, SurfaceRecord* surface);
