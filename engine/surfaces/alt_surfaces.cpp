#include "engine/surfaces/alt_surfaces.h"

#include <cstring>

#include "command/messages/messages.h"
#include "engine/model/model_blocks.h"
#include "engine/model/placement.h"
#include "engine/surfaces/quadrics.h"

const char* const asphericParameterNames[] = {"surface", "cv", "k",  "a1", "a2", "a3",
                                              "a4",      "xc", "yc", "zc", " "};
const char* const toricParameterNames[] = {"surface", "rx", "ry", "ccy", "cvx", "cvy", " "};
const char* const fresnelParameterNames[] = {"surface", "s", "sp", "a", "b", " "};
const char* const gratingParameterNames[] = {"surface", "frequency", "theta", "order", " "};

AltSurfaceState& altSurfaceState() {
    static AltSurfaceState s;
    return s;
}

void resetAltSurfaceState() {
    altSurfaceState() = AltSurfaceState{};
}

void clearAltSurfaces() {
    for (auto& slot : altSurfaceState().slots)
        slot.present = 0;
}

int loadAltSurfaces(SurfaceRecord* surface) {
    if (!surface) return 0;
    auto& slots = altSurfaceState().slots;
    int records = 0;
    for (AltSurfaceRecord* r = surface->altSurfaces; r; r = r->next) {
        ++records;
        if (r->kind >= kInterceptAlternate && r->kind <= kDirectionRefinement) {
            AltSurfaceSlot& slot = slots[r->kind];
            slot.present = r->kind;
            slot.routine = r->routine;
            slot.values = r->values;
            slot.routineName = r->routineName;
            slot.record = r;
        } else {
            warningText(outputChannel,
                        "Unknown altsurface type %d encoutered - object %d surface %d\n", r->kind,
                        surface->owner ? surface->owner->number : 0, surface->number);
        }
    }
    return records;
}

int applyDirectionRefinement(SurfaceRecord* surface, const Vec3& localPoint, Vec3& direction,
                             double index) {
    const AltSurfaceSlot& slot = altSurfaceState().slots[kDirectionRefinement];
    if (!slot.present || !slot.routine.direction) return 0;
    slot.routine.direction(surface, localPoint, direction, index, slot.values);
    return 1;
}

AltSurfaceRecord* newAltSurfaceRecord() {
    return allocZeroedBlock<AltSurfaceRecord>(1);
}

int checkAllocated(const void* pointer) {
    if (pointer) return 0;
    errorText(outputChannel, "Out of memory - command ignored.\n");
    return 1;
}

int altSurfaceCount(const SurfaceRecord* surface) {
    int n = 0;
    for (const AltSurfaceRecord* r = surface ? surface->altSurfaces : nullptr; r; r = r->next)
        ++n;
    return n;
}

int appendAltSurface(SurfaceRecord* surface, AltSurfaceRecord* record) {
    if (!surface || !record) return 0;
    AltSurfaceRecord** link = &surface->altSurfaces;
    int n = 0;
    for (; *link; link = &(*link)->next)
        ++n;
    if (n >= kMaxAltSurfaces) {
        errorText(outputChannel, "Exceeds 100 surface alt functions - command ignored.");
        return 0;
    }
    record->next = nullptr;
    *link = record;
    return 1;
}

AltSurfaceRecord* shapeRecord(const SurfaceRecord* surface) {
    AltSurfaceRecord* found = nullptr;
    for (AltSurfaceRecord* r = surface ? surface->altSurfaces : nullptr; r; r = r->next)
        if (r->kind == kInterceptRefinement) found = r; // a later one replaces an earlier one
    if (!found || !found->routineName) return nullptr;
    const char* name = found->routineName;
    return std::strcmp(name, "aspheric") == 0 || std::strcmp(name, "toric") == 0 ? found : nullptr;
}

namespace {

// The edge surface of a single lens whose face is `surface` (its z extents run from rim to rim
// of the faces), or nullptr.
SurfaceRecord* lensEdge(const SurfaceRecord* surface) {
    const ObjectRecord* owner = surface->owner;
    if (!owner || owner->typeCode != kTypeLens || owner->surfaceCount != 3) return nullptr;
    if (surface->number != 1 && surface->number != 2) return nullptr;
    SurfaceRecord* edge = owner->firstSurface;
    while (edge && edge->number != 3)
        edge = edge->next;
    return edge;
}

} // namespace

void notePlainSurface(const SurfaceRecord* surface, AltSurfaceRecord* record) {
    if (!surface || !record) return;
    PlainSurfaceState& p = record->plain;
    p.saved = 1;
    std::memcpy(p.quadric, surface->quadric, sizeof p.quadric);
    p.shapeCode = surface->shapeCode;
    p.side = surface->side;
    std::memcpy(p.extent, surface->extent, sizeof p.extent);
    p.intercept = surface->intercept;
    p.normal = surface->normal;
    if (const SurfaceRecord* edge = lensEdge(surface)) {
        p.edgeZ[0] = edge->extent[4];
        p.edgeZ[1] = edge->extent[5];
    }
}

bool restorePlainSurface(SurfaceRecord* surface, const AltSurfaceRecord* record) {
    if (!surface || !record || !record->plain.saved) return false;
    const PlainSurfaceState& p = record->plain;
    std::memcpy(surface->quadric, p.quadric, sizeof p.quadric);
    surface->shapeCode = p.shapeCode;
    surface->side = p.side;
    std::memcpy(surface->extent, p.extent, sizeof p.extent);
    surface->intercept = p.intercept;
    surface->normal = p.normal;
    // Only this face's end of the edge moved with it.
    const int end = surface->number == 1 ? 0 : 1;
    if (SurfaceRecord* edge = lensEdge(surface)) edge->extent[4 + end] = p.edgeZ[end];
    if (surface->owner) {
        boundingSphereFromExtents(surface->owner);
        setobj(surface->owner);
    }
    return true;
}

bool isCpcRoutine(const AltSurfaceRecord* record) {
    if (!record || !record->routineName) return false;
    return std::strcmp(record->routineName, "cpc_intercept") == 0 ||
           std::strcmp(record->routineName, "cpc_normal") == 0;
}

namespace {
const char* kindLine(int kind) {
    switch (kind) {
    case kInterceptAlternate:
        return "INTERCEPT_ALTERNATE\n";
    case kInterceptRefinement:
        return "INTERCEPT_REFINEMENT\n";
    case kNormalAlternate:
        return "S_NORMAL_ALTERNATE\n";
    case kNormalRefinement:
        return "S_NORMAL_REFINEMENT\n";
    case kDirectionAlternate:
        return "DIRECTION_ALTERNATE\n";
    case kDirectionRefinement:
        return "DIRECTION_REFINEMENT\n";
    default:
        return "Unknown alternate surface type.\n";
    }
}
} // namespace

int listAltSurfaces(const SurfaceRecord* surface) {
    int records = altSurfaceCount(surface);
    if (records == 0) {
        outText(outputChannel, "No alternate surfaces functions attached.\n");
        return 0;
    }
    outText(outputChannel, "%d alternate surfaces were found for surface %d.%d\n", records,
            surface->owner ? surface->owner->number : 0, surface->number);
    int k = 0;
    for (const AltSurfaceRecord* r = surface->altSurfaces; r; r = r->next) {
        outText(outputChannel, "Alteration %d function identified as: %s of type: ", ++k,
                r->routineName ? r->routineName : "");
        outText(outputChannel, "%s", kindLine(r->kind));
        outText(outputChannel, "Parameters: ");
        if (r->namedCount > 0 && r->names && !isCpcRoutine(r)) {
            int n = r->namedCount < kAltSurfaceValues ? r->namedCount : kAltSurfaceValues;
            for (int i = 0; i < n; ++i)
                outText(outputChannel, "%s = %lg  ", r->names[i + 1], r->values[i]);
        }
        outText(outputChannel, "\n");
    }
    return records + 1;
}
