// Redefinition of a part: a new object made by the define command being run takes the place of
// the part's object, with its number, table slot, flags, placement and surface properties.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "command/interpreter/parsed_command.h"
#include "command/interpreter/reader.h"
#include "engine/build/object_definitions.h"
#include "engine/model/current_objects.h"
#include "engine/surfaces/alt_surfaces.h"
#include "engine/surfaces/aspheric_surfaces.h"
#include "engine/surfaces/toric_surfaces.h"
#include "parts/part_list.h"

namespace {

bool chainHasCpc(const SurfaceRecord* s) {
    for (const AltSurfaceRecord* r = s->altSurfaces; r; r = r->next)
        if (isCpcRoutine(r)) return true;
    return false;
}

// Gives the new surface the old one's alternate chain, with the set-up and hooks of an aspheric
// or toric record done again for the new surface. A CPC keeps its own chain, and a CPC's chain
// is never given to another surface.
void carryAltSurfaces(const SurfaceRecord* from, SurfaceRecord* to) {
    if (!from->altSurfaces || chainHasCpc(from) || to->altSurfaces) return;
    to->altSurfaces = from->altSurfaces;
    for (AltSurfaceRecord* r = to->altSurfaces; r; r = r->next) {
        if (!r->routineName) continue;
        // What none gives back is the new surface as its define made it.
        if (r == shapeRecord(to)) notePlainSurface(to, r);
        if (std::strcmp(r->routineName, "aspheric") == 0) {
            clearAsphericCache();
            setupAsphericSurface(to, r->values[0], r->values[1], to->extent[1] - to->extent[0]);
            installAsphericHooks(to);
        } else if (std::strcmp(r->routineName, "toric") == 0) {
            ToricSetupPlan plan;
            clearAsphericCache();
            if (planToricSetup(to, r->values[3], r->values[4], r->values[2], plan)) {
                applyToricSetup(to, plan);
                setToricHooks(to);
            }
        }
    }
}

void carrySurface(const ObjectRecord* oldObject, const SurfaceRecord* from, SurfaceRecord* to) {
    to->absorbtivity = from->absorbtivity;
    to->luminence = from->luminence;
    to->reflectance = from->reflectance;
    to->absorbtion = from->absorbtion;
    to->luminance = from->luminance;
    to->diffuse = from->diffuse;
    if (oldObject->typeCode != kTypeAperture) {
        to->hasHole = from->hasHole;
        std::copy(std::begin(from->holeLimits), std::end(from->holeLimits), to->holeLimits);
        to->holeShape = from->holeShape;
    }
    carryAltSurfaces(from, to);
}

// Puts `fresh` into the table slot of `old` under old's number and frees the slot fresh took.
void takeSlot(ObjectRecord* old, ObjectRecord* fresh) {
    auto& t = objectTableState();
    const int oldIndex = old->number - 1;
    const int freshIndex = fresh->number - 1;
    for (SurfaceRecord* s = old->firstSurface; s;) {
        SurfaceRecord* next = s->next;
        freeSurface(s);
        s = next;
    }
    t.objectTable[static_cast<std::size_t>(oldIndex)] = fresh;
    t.objectTable[static_cast<std::size_t>(freshIndex)] = old;
    *old = ObjectRecord{};
    old->number = -(freshIndex + 1);
    fresh->number = oldIndex + 1;
    --t.objectCount;
    // Only the slot that was taken is given back; a live object below it stays counted.
    if (freshIndex == t.highestObjectIndex) {
        int top = freshIndex - 1;
        while (top >= 0 && !getObject(top))
            --top;
        t.highestObjectIndex = top;
    }
}

} // namespace

int CPart::Define() {
    if (parsedCommand().aliasInUse || readerState().aliasExpanded) {
        errorText(outputChannel, "Object name alias is already in use.  Use a different name.\n");
        return 0;
    }
    int found = 0, several = 0, index = 0;
    getModifier(objectTypeWords, &found, &several, &index, "object type");
    if (!found) {
        errorText(outputChannel, "Object type not given. Command ignored.\n");
        return 0;
    }
    const CGlass* glass = nullptr;
    if (!CPartList::materialGlass(glass)) return 0;
    if (!geometry || geometry->number <= 0) return 0;

    const int previousCurrent = lastDefinedObject;
    const int number = defineObject(modifierWords[index]);
    ObjectRecord* fresh = number > 0 ? getObject(number - 1) : nullptr;
    if (!fresh) return 0;
    ObjectRecord* old = geometry;

    const SurfaceRecord* from = old->firstSurface;
    for (SurfaceRecord* to = fresh->firstSurface; from && to; from = from->next, to = to->next)
        carrySurface(old, from, to);
    CPlacementInfo placement;
    GetPlacement(placement);
    const int activated = old->activated, placed = old->placed;

    // Surfaces of other objects that sit in the old object's media move to the new one's.
    for (int i = 0; i <= highestObjectIndex; ++i) {
        ObjectRecord* other = getObject(i);
        if (!other || other == old || other == fresh) continue;
        for (SurfaceRecord* s = other->firstSurface; s; s = s->next) {
            if (!s->inside || s->inside->owner != old) continue;
            SurfaceRecord* same = fresh->firstSurface;
            for (int k = 1; k < s->inside->number && same && same->next; ++k)
                same = same->next;
            s->inside = same;
        }
    }

    // The new chain's handles, with the scatterers and coatings of the old ones pairwise.
    std::vector<std::unique_ptr<CSurfaceHandle>> oldHandles = std::move(handles);
    handles.clear();
    for (auto& h : oldHandles)
        if (h->surface && h->surface->surfaceHandle == h.get()) h->surface->surfaceHandle = nullptr;
    takeSlot(old, fresh);
    geometry = fresh;
    MakeHandles();
    for (std::size_t k = 0; k < handles.size() && k < oldHandles.size(); ++k) {
        handles[k]->child = std::move(oldHandles[k]->child);
        handles[k]->coatingMode = oldHandles[k]->coatingMode;
        std::copy(std::begin(oldHandles[k]->cons), std::end(oldHandles[k]->cons), handles[k]->cons);
    }
    oldHandles.clear();
    lastDefinedObject = previousCurrent;
    if (placed) WritePlacementRelative(placement, 0);
    fresh->activated = activated;
    fresh->placed = placed;

    TakeDefineCommand();
    catalogGlass = glass;
    UpdateIndices();
    // The log holds "redefine" and the define line before it: replayed, they do this again.
    outText(logChannel, "# > object redefined \n");
    return 1;
}
