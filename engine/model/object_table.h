// The model in memory: a table of at most 500 objects, each owning a chain of surfaces.
// Object n lives in slot n - 1 for its whole life; a deleted object keeps its record in its slot
// with the number negated until a later definition revives the slot.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/math/vector_math.h"

struct SurfaceRecord;
struct AltSurfaceRecord;
class CSurfaceHandle;

inline constexpr int kMaxObjects = 500;
inline constexpr int kRecordsPerBlock = 50;
inline constexpr int kKindNameChars = 20;

// Object type codes.
enum ObjectTypeCode : int {
    kTypeLens = 1,
    kTypeMirror = 2,
    kTypeLuminousBody = 3,
    kTypeLightSource = 4,
    kTypeRod = 5,
    kTypeAxis = 6,
    kTypeFilm = 8,
    kTypeRaytraceDetector = 9,
    kTypeAperture = 10,
    kTypeCone = 11,
    kTypeBarrel = 12,
    kTypeCylinder = 13,
    kTypePolynet = 14,
    kTypeCylindricLens = 15,
    kTypeCpc = 20,
};

// Which wireframe the display draws for an object.
enum WireframeKind : int {
    kWireAxes = 0,
    kWireXlong = 1,
    kWireFlatMirror = 2,
    kWireSingleLens = 3,
    kWireMirror = 4,
    kWireEllipsoid = 5,
    kWirePoint = 6,
    kWireEllipse = 7,
    kWireCylindricLens = 8,
    kWireCpc = 9,
    kWirePrism = 14,
};

// Surface shape codes.
enum SurfaceShape : int {
    kShapeLinearNormal = -1, // the normal is the quadric's constant linear-term vector
    kShapeNone = 0,
    kShapeFlat = 1,
    kShapeSphere = 2,
    kShapeCylinder = 3,
    kShapeEllipsoid = 4,
    kShapeParaboloid = 5,
    kShapeCone = 6,
    kShapeHyperboloid = 8,
};

// Intercept hook: (surface, global point, global direction (made unit), in/out nearest distance);
// returns the number of roots that improved the nearest distance.
using InterceptHook = int (*)(SurfaceRecord* surface, const Vec3& point, Vec3& direction,
                              double& nearest);
// Normal hook: (surface, local point, out local normal).
using NormalHook = void (*)(SurfaceRecord* surface, const Vec3& localPoint, Vec3& normal);

// The named parameters of an object. The list keeps its own copy of the names.
struct UserParameterList {
    std::vector<std::string> names;
    std::vector<double> values;
    int count = 0;
};

struct ObjectRecord {
    int number = 0; // 1..500; negated when the object is deleted
    int activated = 0;
    int surfaceCount = 0;
    SurfaceRecord* firstSurface = nullptr;
    int typeCode = 0;
    int placed = 0;
    int wireframeKind = 0;
    PlacementMatrix globalToLocal;
    PlacementMatrix localToGlobal;
    int defined = 0;
    Vec3 referencePoint;       // bounding-sphere centre, object frame
    double boundingRadius = 0; // above 0: the sphere is in use
    Vec3 globalReferencePoint; // referencePoint in global coordinates (setobj)
    unsigned char traceable = 0;
    UserParameterList userParameters;
};

struct SurfaceRecord {
    int number = 0;          // 1-based within the object
    double quadric[13] = {}; // Q row by row (9), linear terms (3), constant
    int shapeCode = 0;
    double reflectance = 0;
    double absorbtion = 0;
    double luminance = 0;
    double diffuse = 0;
    ObjectRecord* owner = nullptr;
    int side = 0; // +1 / -1: which side of the quadric is inside; 0 none
    double index = 0;
    double absorbtivity = 0;
    double luminence = 0;
    SurfaceRecord* inside = nullptr;
    PlacementMatrix globalToSurface;
    PlacementMatrix surfaceToGlobal;
    PlacementMatrix surfaceToObject;
    PlacementMatrix objectToSurface;
    double extent[6] = {}; // x min, x max, y min, y max, z min, z max (surface frame)
    int edgeType = 0;      // 0 box, 1 elliptic, 2 rectangular
    int hasHole = 0;
    double holeLimits[4] = {};     // x min, x max, y min, y max
    int holeShape = 0;             // 1 elliptic, 2 rectangular
    SurfaceRecord* next = nullptr; // next surface of the object; also the free-list link
    void* typeData = nullptr;      // polygon-net data, or the CPC surface of a terminal cone
    double axisLength = 0;
    AltSurfaceRecord* altSurfaces = nullptr;
    CSurfaceHandle* surfaceHandle = nullptr; // owned by the part model, never freed here
    InterceptHook intercept = nullptr;
    NormalHook normal = nullptr;
};

struct ObjectTableState {
    std::array<ObjectRecord*, kMaxObjects> objectTable{};
    int objectCount = 0;
    int highestObjectIndex = -1;
    int surfaceCount = 0;
    SurfaceRecord* surfaceFreeList = nullptr;
    ObjectRecord* objectBlock = nullptr;
    int objectBlockUsed = 0;
    SurfaceRecord* surfaceBlock = nullptr;
    int surfaceBlockUsed = 0;
};

ObjectTableState& objectTableState();
// Empties the table and frees every model block (tests only).
void resetObjectTable();

inline auto& objectTable = objectTableState().objectTable;
inline int& objectCount = objectTableState().objectCount;
inline int& highestObjectIndex = objectTableState().highestObjectIndex;
inline int& surfaceCount = objectTableState().surfaceCount;
inline SurfaceRecord*& surfaceFreeList = objectTableState().surfaceFreeList;

// The kind names indexed by type code (20 significant characters; "" for codes without one).
extern const char objectKindNames[21][kKindNameChars + 1];
// The kind name of a type code, "" outside the table.
const char* objectKindName(int typeCode);
// The 14-character label of the object listing.
const char* objectTypeLabel(int typeCode);
// The display's name of a wireframe kind, "" for an unknown kind.
const char* wireframeKindName(int kind);

// A slot for a new object: the lowest empty or deleted slot, its record reset to a fresh one
// numbered slot + 1. nullptr when 500 objects live or no memory can be had.
ObjectRecord* allocObjectSlot();
// Identity placement, defined, neither activated nor placed.
void initObjectRecord(ObjectRecord* object);
// Deletes the object and keeps its record; its surfaces are the caller's to free.
void freeObjectSlot(ObjectRecord* object);
// The record at a zero-based index (number - 1); nullptr outside 0..499, for an empty slot and
// for a deleted object.
ObjectRecord* getObject(int index);
// The surface of that object whose number is surfaceNumber, or nullptr.
SurfaceRecord* getSurface(int index, int surfaceNumber);

// A zeroed surface record (LIFO reuse of freed ones), nullptr when no memory can be had.
SurfaceRecord* allocSurface();
// Identity matrices, no shape, no hole, no links, the quadric hooks.
void initSurfaceRecord(SurfaceRecord* surface);
void freeSurface(SurfaceRecord* surface);

// Rules: 1 must be set, 2 must not be set, anything else no test. Reports the first failure
// through errorText on the output channel and returns 0; 1 when every test passes.
int checkObjectState(int index, int definedRule, int placedRule, int activatedRule);
