#include "engine/commands/modify_altsurfaces.h"

#include <algorithm>
#include <cstring>

#include "command/interpreter/aliases.h"
#include "command/interpreter/parsed_command.h"
#include "engine/surfaces/alt_surface_routines.h"
#include "engine/surfaces/alt_surfaces.h"
#include "engine/surfaces/aspheric_surfaces.h"
#include "engine/commands/modify_commands.h"
#include "engine/commands/surface_designator.h"
#include "engine/surfaces/surface_geometry.h"
#include "engine/surfaces/toric_surfaces.h"

namespace {

const char* const kKindWords[] = {"aspheric", "grating", "fresnel", "toric", "none", " "};
const char* const kSymmetryWords[] = {"radial", "x_cylindrical", "y_cylindrical", " "};

// The record of a kind to change on the surface whose slots are loaded: the loaded one, or a new
// record at the end of the chain. nullptr (after the message) when no memory can be had or the
// chain is full; the surface is then unchanged.
AltSurfaceRecord* recordToChange(SurfaceRecord* surface, int kind, const char* changingText,
                                 const char* addingText, bool& added) {
    added = false;
    const AltSurfaceSlot& slot = altSurfaceSlots[kind];
    if (slot.present && slot.record) {
        outText(outputChannel, "%s", changingText);
        return slot.record;
    }
    AltSurfaceRecord* record = newAltSurfaceRecord();
    if (checkAllocated(record)) return nullptr;
    if (!appendAltSurface(surface, record)) return nullptr;
    outText(outputChannel, "%s", addingText);
    added = true;
    return record;
}

void confirm(const SurfaceRecord* surface) {
    outText(outputChannel, "Object %s surface %d: modified.\n",
            objectLabel(surface->owner ? surface->owner->number : 0), surface->number);
    listAltSurfaces(surface);
}

int attachFresnel(SurfaceRecord* surface, double a, double b) {
    bool added = false;
    AltSurfaceRecord* r =
        recordToChange(surface, kNormalRefinement, "Changing existing alternate surface fresnel.\n",
                       "Adding new alternate surface function: fresnel.\n", added);
    if (!r) return 0;
    double* v = r->values;
    if (added) {
        v[0] = 50;  // s
        v[1] = 100; // sp
    }
    v[2] = a;
    v[3] = b;
    if (numericGiven[1]) v[0] = numericValues[1];
    if (numericGiven[2]) v[1] = numericValues[2];
    r->kind = kNormalRefinement;
    r->valueCount = 7;
    r->routine = AltSurfaceRoutine{};
    r->routine.normalRefinement = fresnelAltsurface;
    r->routineName = "fresnel";
    r->namedCount = 4;
    r->names = fresnelParameterNames;
    const char* const* n = fresnelParameterNames;
    outText(outputChannel, "%s=%g %s=%g %s=%g %s=%g \n", n[1], v[0], n[2], v[1], n[3], v[2], n[4],
            v[3]);
    confirm(surface);
    return 1;
}

int attachGrating(SurfaceRecord* surface) {
    bool added = false;
    AltSurfaceRecord* r = recordToChange(
        surface, kDirectionRefinement, "Changing existing alternate surface : grating.\n",
        "Adding new alternate surface function: grating.\n", added);
    if (!r) return 0;
    double* v = r->values;
    if (added) {
        v[0] = 50;  // frequency
        v[1] = 0;   // theta
        v[2] = 1.0; // order
    }
    for (int i = 0; i < 3; ++i)
        if (numericGiven[i + 1]) v[i] = numericValues[i + 1];
    r->kind = kDirectionRefinement;
    r->valueCount = 7;
    r->routine = AltSurfaceRoutine{};
    r->routine.direction = gratingAltsurface;
    r->routineName = "grating";
    r->namedCount = 3;
    r->names = gratingParameterNames;
    const char* const* n = gratingParameterNames;
    outText(outputChannel, "%s=%g %s=%g %s=%g\n", n[1], v[0], n[2], v[1], n[3], v[2]);
    confirm(surface);
    return 1;
}

// The aspheric change: every change starts from zero, then takes the given cv, k, a1..a4. The
// set-up is checked before anything changes; the hooks come once the record is attached.
int attachAspheric(SurfaceRecord* surface) {
    double v[kAltSurfaceValues] = {};
    for (int i = 0; i < 6; ++i)
        if (numericGiven[i + 1]) v[i] = numericValues[i + 1];
    const double diameter = surface->extent[1] - surface->extent[0];
    if (checkAsphericSetup(v[0], v[1], diameter)) {
        errorText(outputChannel, "Error in conic parameters given!");
        return 0;
    }
    bool added = false;
    AltSurfaceRecord* r = recordToChange(
        surface, kInterceptRefinement, "Changing existing alternate surface : aspheric.\n",
        "Adding new alternate surface function: aspheric.\n", added);
    if (!r) return 0;
    if (!r->plain.saved) notePlainSurface(surface, r);
    std::copy(v, v + kAltSurfaceValues, r->values);
    r->kind = kInterceptRefinement;
    r->valueCount = kAltSurfaceValues;
    r->routine = AltSurfaceRoutine{};
    r->routineName = "aspheric";
    r->namedCount = 9;
    r->names = asphericParameterNames;
    clearAsphericCache();
    // The set-up compares the normal of the hooks in force with the aspheric one: hooks after.
    setupAsphericSurface(surface, v[0], v[1], diameter);
    installAsphericHooks(surface);
    confirm(surface);
    return 1;
}

// The toric change: rx 100, ry 200, the rest 0, then the given rx and ry. The fit samples the
// profile with ccy, as the intercept does.
int attachToric(SurfaceRecord* surface) {
    double v[kAltSurfaceValues] = {};
    v[0] = 100; // rx
    v[1] = 200; // ry
    if (numericGiven[1]) v[0] = numericValues[1];
    if (numericGiven[2]) v[1] = numericValues[2];
    v[3] = v[0] != 0 ? 1 / v[0] : 0; // cvx
    v[4] = v[1] != 0 ? 1 / v[1] : 0; // cvy
    ToricSetupPlan plan;
    if (!planToricSetup(surface, v[3], v[4], v[2], plan)) {
        errorText(outputChannel,
                  "Toric mod failed due to user input.  Fix or delete this object.\n");
        return 0;
    }
    bool added = false;
    AltSurfaceRecord* r = recordToChange(surface, kInterceptRefinement,
                                         "Changing existing alternate surface : toric.\n",
                                         "Adding new alternate surface function: toric.\n", added);
    if (!r) return 0;
    if (!r->plain.saved) notePlainSurface(surface, r);
    std::copy(v, v + kAltSurfaceValues, r->values);
    r->kind = kInterceptRefinement;
    r->valueCount = kAltSurfaceValues;
    r->routine = AltSurfaceRoutine{};
    r->routineName = "toric";
    r->namedCount = 5;
    r->names = toricParameterNames;
    clearAsphericCache();
    applyToricSetup(surface, plan);
    setToricHooks(surface);
    confirm(surface);
    return 1;
}

} // namespace

int modifyAltsurfaces() {
    int found = 0, several = 0, at = 0;
    getModifier(kKindWords, &found, &several, &at, "surface modification");
    if (!found) {
        warningText(outputChannel, "No alternate surface type specified.  Command ignored.\n");
        return 0;
    }
    const char* kind = modifierWords[at];
    const bool aspheric = std::strcmp(kind, "aspheric") == 0;
    const bool toric = std::strcmp(kind, "toric") == 0;
    const bool fresnel = std::strcmp(kind, "fresnel") == 0;
    const bool grating = std::strcmp(kind, "grating") == 0;

    // The values by the kind's names: the surface designator, then the kind's parameters.
    KeywordTable names = gratingParameterNames;
    int count = 4;
    if (aspheric) {
        names = asphericParameterNames;
        count = 7;
    } else if (toric) {
        names = toricParameterNames;
        count = 3;
    } else if (fresnel) {
        names = fresnelParameterNames;
        count = 3;
    }
    getNumericValues(numericValues, names, count, numericGiven);

    int symmetryFound = 0, symmetrySeveral = 0, symmetryAt = 0;
    getModifier(kSymmetryWords, &symmetryFound, &symmetrySeveral, &symmetryAt, "symetry");
    double facetA = 1, facetB = 1; // radial
    if (symmetryFound) {
        if (std::strcmp(modifierWords[symmetryAt], "x_cylindrical") == 0)
            facetB = 0;
        else if (std::strcmp(modifierWords[symmetryAt], "y_cylindrical") == 0)
            facetA = 0;
    }

    if (!numericGiven[0]) {
        errorText(outputChannel, " No surface specified, command ignored.\n ");
        return 0;
    }
    int objectIndex = 0, surfaceNumber = 0, bad = 0;
    parseSurfaceNumber(numericValues[0], objectIndex, surfaceNumber, bad);
    if (bad) return 0;
    SurfaceRecord* surface = getSurface(objectIndex, surfaceNumber);
    if (!surface) {
        errorText(outputChannel, " Illegal surface number.\n");
        return 0;
    }

    // Only this surface's records may be found in the slots: "Changing existing" edits them.
    clearAltSurfaces();
    loadAltSurfaces(surface);
    const AltSurfaceSlot& interceptSlot = altSurfaceSlots[kInterceptAlternate];
    if (interceptSlot.present && isCpcRoutine(interceptSlot.record)) {
        errorText(outputChannel, "Cannot modify a CPC with an altsurface.\n");
        return 0;
    }

    if (fresnel) return attachFresnel(surface, facetA, facetB);
    if (grating) return attachGrating(surface);
    if (aspheric) return attachAspheric(surface);
    if (toric) return attachToric(surface);
    // "none": the chain is emptied and the surface is given back as it was before its shape
    // function (quadric, hooks and extents), so that the model is what its saved form rebuilds;
    // centre shifts made since stay. Without a shape function it is a plain quadric again (a
    // polygon net keeps its own hooks: they belong to the net, not to an alternate function).
    const AltSurfaceRecord* shape = shapeRecord(surface);
    surface->altSurfaces = nullptr;
    clearAsphericCache();
    if (restorePlainSurface(surface, shape)) {
        const double dx = shape->values[6], dy = shape->values[7];
        if (dx != 0 || dy != 0) shiftMirrorCentre(surface, dx, dy);
    } else if (!surface->owner || surface->owner->typeCode != kTypePolynet) {
        surface->intercept = interceptQuadricSurface;
        surface->normal = quadricNormal;
    }
    return 1;
}
