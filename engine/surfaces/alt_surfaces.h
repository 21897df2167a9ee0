// Alternate-surface functions: a chain of records per surface, each replacing or refining one step
// of a ray-surface interaction (the intercept, the normal or the outgoing direction), and the six
// dispatch slots loaded for the surface being hit.
#pragma once

#include "engine/model/object_table.h"

inline constexpr int kMaxAltSurfaces = 100; // records on one surface
inline constexpr int kAltSurfaceValues = 10;

enum AltSurfaceKind : int {
    kInterceptAlternate = 1,
    kInterceptRefinement = 2,
    kNormalAlternate = 3,
    kNormalRefinement = 4,
    kDirectionAlternate = 5,
    kDirectionRefinement = 6,
};

// A normal refinement turns the local normal at a local point (values: the record's parameters).
using NormalRefinementRoutine = int (*)(SurfaceRecord* surface, const Vec3& localPoint,
                                        Vec3& normal, const double* values);
// A direction routine turns a branch's local direction; index is that of the branch's medium.
using DirectionRoutine = int (*)(SurfaceRecord* surface, const Vec3& localPoint, Vec3& direction,
                                 double index, const double* values);

// The routine of a record, in the calling convention of its kind. Aspheric and toric records
// carry none: their surfaces' own hooks do the work.
struct AltSurfaceRoutine {
    InterceptHook intercept = nullptr;                  // kinds 1, 2
    NormalHook normal = nullptr;                        // kind 3
    NormalRefinementRoutine normalRefinement = nullptr; // kind 4
    DirectionRoutine direction = nullptr;               // kinds 5, 6
};

// A surface as it stood before a shape function (aspheric, toric) first set it up, so that
// modify/altsurfaces/none can give it back: its quadric, shape, side, extents and hooks, and the
// z extents of a single lens's edge surface, which a face's set-up moves.
struct PlainSurfaceState {
    int saved = 0;
    double quadric[13] = {};
    int shapeCode = 0;
    int side = 0;
    double extent[6] = {};
    InterceptHook intercept = nullptr;
    NormalHook normal = nullptr;
    double edgeZ[2] = {};
};

struct AltSurfaceRecord {
    AltSurfaceRoutine routine;
    int kind = 0;
    double values[kAltSurfaceValues] = {};
    int valueCount = 0; // values in use: 10 aspheric and toric, 7 the others
    AltSurfaceRecord* next = nullptr;
    const char* routineName = nullptr;
    int namedCount = 0;                 // how many values have names
    const char* const* names = nullptr; // "surface", then one name per value
    PlainSurfaceState plain;            // a shape function's surface before its first set-up
};

// Name tables of the kinds (slot 0 is "surface"; each ends with the entry " ").
extern const char* const asphericParameterNames[];
extern const char* const toricParameterNames[];
extern const char* const fresnelParameterNames[];
extern const char* const gratingParameterNames[];

struct AltSurfaceSlot {
    int present = 0; // the kind when loaded, else 0
    AltSurfaceRoutine routine;
    double* values = nullptr;
    const char* routineName = nullptr;
    AltSurfaceRecord* record = nullptr;
};

struct AltSurfaceState {
    AltSurfaceSlot slots[7]; // indexed by kind; slot 0 unused
};

AltSurfaceState& altSurfaceState();
void resetAltSurfaceState();

inline auto& altSurfaceSlots = altSurfaceState().slots;

// Clears the present flags of every slot.
void clearAltSurfaces();
// Loads the surface's chain into the slots (a later record of a kind replaces an earlier one);
// slots of kinds not in the chain keep what they had, so callers clear first. Unknown kinds are
// reported as warnings. Returns the number of records.
int loadAltSurfaces(SurfaceRecord* surface);
// Calls the loaded direction refinement, if any, on a branch's local direction; 1 when it ran.
int applyDirectionRefinement(SurfaceRecord* surface, const Vec3& localPoint, Vec3& direction,
                             double index);

// A zero-filled record, or nullptr when no memory can be had (model memory: records live as
// long as the program, an emptied chain does not free them).
AltSurfaceRecord* newAltSurfaceRecord();
// 0 when the pointer is set; else "Out of memory - command ignored.\n" as an error and 1.
int checkAllocated(const void* pointer);
// Appends the record at the end of the surface's chain; refused with an error (0) when the chain
// already holds 100 records, else 1.
int appendAltSurface(SurfaceRecord* surface, AltSurfaceRecord* record);
int altSurfaceCount(const SurfaceRecord* surface);
// True for the records of a CPC mirror.
bool isCpcRoutine(const AltSurfaceRecord* record);

// The shape function of the surface (the last aspheric or toric record), or nullptr.
AltSurfaceRecord* shapeRecord(const SurfaceRecord* surface);
// Keeps the surface's plain state in the record (before its shape function is set up on it).
void notePlainSurface(const SurfaceRecord* surface, AltSurfaceRecord* record);
// Gives the surface back the plain state the record kept (when it kept one) and puts the
// object's bounding sphere and global matrices right; false when there was none to give.
bool restorePlainSurface(SurfaceRecord* surface, const AltSurfaceRecord* record);

// Lists the chain on the output channel; the number of records + 1, or 0 when there is none.
int listAltSurfaces(const SurfaceRecord* surface);
