#include "engine/model/object_table.h"

#include <climits>

#include "command/interpreter/aliases.h"
#include "command/messages/messages.h"
#include "engine/model/model_blocks.h"
#include "engine/model/model_version.h"
#include "engine/surfaces/surface_geometry.h"

ObjectTableState& objectTableState() {
    static ObjectTableState s;
    return s;
}

void resetObjectTable() {
    objectTableState() = ObjectTableState{};
    releaseAllModelBlocks();
}

const char objectKindNames[21][kKindNameChars + 1] = {
    "",
    "lens",
    "mirror",
    "lightsource",
    "lightsource",
    "rod",
    "axis",
    "surface",
    "film",
    "film-r",
    "aperture",
    "cone",
    "ellipsoid",
    "cylinder",
    "polynet",
    "cyllens",
    "",
    "",
    "",
    "",
    "cpc",
};

const char* objectKindName(int typeCode) {
    if (typeCode < 0 || typeCode > 20) return "";
    return objectKindNames[typeCode];
}

const char* objectTypeLabel(int typeCode) {
    switch (typeCode) {
    case kTypeLens:
        return "     Lens     ";
    case kTypeMirror:
        return "    Mirror    ";
    case kTypeLuminousBody:
        return "Lumnious Body ";
    case kTypeLightSource:
        return "Light Source  ";
    case kTypeRod:
        return "      Rod     ";
    case kTypeAxis:
        return "     Axis     ";
    case kTypeFilm:
        return "Photo Detector";
    case kTypeRaytraceDetector:
        return "Raytr Detector";
    case kTypeAperture:
        return " Aperture     ";
    case kTypeCone:
        return "     Cone     ";
    case kTypeBarrel:
        return "    Barrel    ";
    case kTypeCylinder:
        return "   Cylinder   ";
    case kTypePolynet:
        return "Polygonal Net ";
    case kTypeCylindricLens:
        return "Cylindric Lens";
    default:
        return "    Unknown   ";
    }
}

const char* wireframeKindName(int kind) {
    switch (kind) {
    case kWireAxes:
        return "axes";
    case kWireXlong:
        return "xlong";
    case kWireFlatMirror:
        return "flatmirr";
    case kWireSingleLens:
        return "singlens";
    case kWireMirror:
        return "mirror";
    case kWireEllipsoid:
        return "elipsoid";
    case kWirePoint:
        return "point";
    case kWireEllipse:
        return "ellipse";
    case kWireCylindricLens:
        return "cyl_lens";
    case kWireCpc:
        return "cpc";
    case kWirePrism:
        return "prism";
    default:
        return "";
    }
}

namespace {
// The next record of the current block of a kind, a new block when the current one is used up.
// The counter stays as it was when no block can be had.
template <class T> T* takeFromBlock(T*& block, int& used) {
    if (!block || used == 0 || used == kRecordsPerBlock) {
        T* fresh = allocZeroedBlock<T>(kRecordsPerBlock);
        if (!fresh) return nullptr;
        block = fresh;
        used = 0;
    }
    return &block[used++];
}

void countSlot(int index) {
    auto& s = objectTableState();
    ++s.objectCount;
    if (index > s.highestObjectIndex) s.highestObjectIndex = index;
}
} // namespace

ObjectRecord* allocObjectSlot() {
    bumpModelVersion();
    auto& s = objectTableState();
    for (int i = 0; i < kMaxObjects; ++i) {
        ObjectRecord* rec = s.objectTable[i];
        if (rec && rec->number > 0) continue;
        if (!rec) {
            rec = takeFromBlock(s.objectBlock, s.objectBlockUsed);
            if (!rec) return nullptr;
            s.objectTable[i] = rec;
        }
        // A revived slot starts like a new one: a left-over bounding sphere or traceable flag
        // would make the intercept pre-test reject hits on the new object.
        *rec = ObjectRecord{};
        rec->number = i + 1;
        countSlot(i);
        return rec;
    }
    return nullptr;
}

void initObjectRecord(ObjectRecord* object) {
    if (!object) return;
    identity4(object->globalToLocal);
    identity4(object->localToGlobal);
    object->defined = 1;
    object->activated = 0;
    object->placed = 0;
}

void freeObjectSlot(ObjectRecord* object) {
    if (!object) return;
    bumpModelVersion();
    if (object->number > 0) object->number = -object->number;
    object->activated = 0;
    object->surfaceCount = 0;
    object->firstSurface = nullptr;
    object->typeCode = 0;
    object->wireframeKind = 0;
    object->defined = 0;
    --objectTableState().objectCount;
}

ObjectRecord* getObject(int index) {
    if (index < 0 || index >= kMaxObjects) return nullptr;
    ObjectRecord* rec = objectTableState().objectTable[index];
    if (!rec || rec->number < 0) return nullptr;
    return rec;
}

SurfaceRecord* getSurface(int index, int surfaceNumber) {
    ObjectRecord* object = getObject(index);
    if (!object) return nullptr;
    for (SurfaceRecord* s = object->firstSurface; s; s = s->next)
        if (s->number == surfaceNumber) return s;
    return nullptr;
}

SurfaceRecord* allocSurface() {
    auto& st = objectTableState();
    SurfaceRecord* s = st.surfaceFreeList;
    if (s) {
        st.surfaceFreeList = s->next;
    } else {
        s = takeFromBlock(st.surfaceBlock, st.surfaceBlockUsed);
        if (!s) return nullptr;
    }
    ++st.surfaceCount;
    *s = SurfaceRecord{};
    return s;
}

void initSurfaceRecord(SurfaceRecord* surface) {
    if (!surface) return;
    identity4(surface->globalToSurface);
    identity4(surface->surfaceToGlobal);
    identity4(surface->surfaceToObject);
    identity4(surface->objectToSurface);
    surface->shapeCode = kShapeNone;
    surface->hasHole = 0;
    surface->next = nullptr;
    surface->typeData = nullptr;
    surface->intercept = interceptQuadricSurface;
    surface->normal = quadricNormal;
}

void freeSurface(SurfaceRecord* surface) {
    if (!surface) return;
    auto& st = objectTableState();
    surface->next = st.surfaceFreeList;
    st.surfaceFreeList = surface;
    --st.surfaceCount;
}

int checkObjectState(int index, int definedRule, int placedRule, int activatedRule) {
    // An index outside the table counts as an empty slot: handlers pass user numbers straight in.
    ObjectRecord* rec =
        index >= 0 && index < kMaxObjects ? objectTableState().objectTable[index] : nullptr;
    const char* message = nullptr;
    if (!rec)
        message = "Object %s never defined.\n";
    else if (definedRule == 1 && !rec->defined)
        message = "Object %s not defined.\n";
    else if (definedRule == 2 && rec->defined)
        message = "Object %s is already defined.\n";
    else if (placedRule == 1 && !rec->placed)
        message = "Object %s not placed in the workbox.\n";
    else if (placedRule == 2 && rec->placed)
        message = "Object %s is already placed in the workbox.\n";
    else if (activatedRule == 1 && !rec->activated)
        message = "Object %s is not activated.\n";
    else if (activatedRule == 2 && rec->activated)
        message = "Object %s is already activated.\n";
    if (!message) return 1;
    errorText(outputChannel, message, objectLabel(index < INT_MAX ? index + 1 : index));
    return 0;
}
