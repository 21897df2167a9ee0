#include "engine/build/object_definitions.h"

#include <cstring>

#include "command/interpreter/aliases.h"
#include "command/messages/messages.h"
#include "engine/surfaces/cpc_surfaces.h"
#include "engine/model/current_objects.h"
#include "engine/build/define_support.h"
#include "engine/surfaces/quadrics.h"
#include "engine/model/user_parameters.h"

const char* const objectTypeWords[] = {"axis",     "lightsource", "film", "detector",
                                       "aperture", "lens",        "rod",  "mirror",
                                       "quadric",  "cavity",      " "};

namespace {

CpcMirrorBuilder& cpcBuilder() {
    static CpcMirrorBuilder builder = defineCpcMirror;
    return builder;
}

bool is(const char* word, const char* kind) {
    return std::strcmp(word, kind) == 0;
}

// Runs the builder of the kind word. quiet: the kind reports no "Complete.".
bool runBuilder(DefineContext& context, const char* kindWord, bool& quiet) {
    ObjectRecord* object = context.object;
    quiet = false;
    if (is(kindWord, "axis")) {
        object->traceable = 0;
        quiet = true;
        return buildAxis(context);
    }
    if (is(kindWord, "lightsource")) {
        object->traceable = 0;
        quiet = true;
        return buildLightSource(context);
    }
    if (is(kindWord, "mirror")) return buildMirror(context);
    if (is(kindWord, "quadric") || is(kindWord, "cavity")) {
        int kind = 0;
        const bool ok = buildQuadricObject(context, kind);
        object->typeCode = kTypeCylinder;
        // The sphere of a refused object would be thrown away with it, after a second message.
        if (!ok) return false;
        boundingSphereFromSurface(object, object->firstSurface);
        if (kind == 0) object->typeCode = kTypeBarrel;
        if (kind == 1) object->typeCode = kTypeCone;
        return true;
    }
    if (is(kindWord, "aperture")) return buildAperture(context);
    if (is(kindWord, "lens")) return buildLens(context);
    if (is(kindWord, "rod")) return buildRod(context);
    if (is(kindWord, "detector")) return buildDetector(context);
    if (is(kindWord, "film")) return buildFilm(context);
    return false;
}

void attachUsedValues(const DefineContext& context) {
    if (context.valueCount <= 0) return;
    if (allocUserParameters(context.object, context.valueCount, context.valueNames))
        setUserParameters(context.object, numericValues);
}

} // namespace

void setCpcMirrorBuilder(CpcMirrorBuilder builder) {
    cpcBuilder() = builder ? builder : defineCpcMirror;
}

int runCpcMirrorBuilder(ObjectRecord* object, SurfaceRecord* surface) {
    return cpcBuilder()(object, surface);
}

int defineObject(const char* kindWord) {
    if (!kindWord) return 0;
    ObjectRecord* object = allocObjectSlot();
    if (!object) {
        errorText(outputChannel, "No more space left for objects.\n");
        return 0;
    }
    initObjectRecord(object);
    // Every kind but axes and light sources can be hit, lenses and rods included.
    object->traceable = 1;
    if (!is(kindWord, "rod") && !is(kindWord, "lens") &&
        !appendSurfaces(object, 1, "No more space left for surfaces.\n")) {
        freeObjectSlot(object);
        return 0;
    }

    DefineContext context;
    context.object = object;
    bool quiet = false;
    if (!runBuilder(context, kindWord, quiet)) {
        releaseSurfaces(object);
        freeObjectSlot(object);
        outText(outputChannel, "Try again.\n");
        return 0;
    }
    if (!quiet) outText(outputChannel, "Complete.\n");

    // Surfaces are numbered by their place in the chain, so that n.m finds each of them.
    int count = 0;
    for (SurfaceRecord* s = object->firstSurface; s; s = s->next) {
        s->number = ++count;
        s->owner = object;
    }
    object->surfaceCount = count;
    attachUsedValues(context);

    const int number = object->number;
    noteDefinedObject(number);
    object->defined = 1;
    registerPendingAlias(outputChannel, number);
    outText(outputChannel, "Object %s consisting of %d surface%s has been defined.\n",
            objectLabel(number), count, count == 1 ? "" : "s");
    return number;
}

// ---- shared by the builders ----

void readValues(DefineContext& context, KeywordTable names, int count) {
    getNumericValues(numericValues, names, count, numericGiven);
    context.valueNames = names;
    context.valueCount = count;
}

double useDefault(int i, double fallback) {
    if (!numericGiven[i]) numericValues[i] = fallback;
    return numericValues[i];
}

int chooseOption(KeywordTable table, const char* label, int fallback) {
    int found = 0, several = 0, index = 0;
    getModifier(table, &found, &several, &index, label);
    if (!found) return fallback;
    for (int i = 0; std::strcmp(table[i], " ") != 0; ++i)
        if (std::strcmp(table[i], modifierWords[index]) == 0) return i;
    return fallback;
}

SurfaceRecord* appendSurfaces(ObjectRecord* object, int count, const char* failMessage) {
    SurfaceRecord* chainEnd = nullptr;
    int position = 0;
    for (SurfaceRecord* s = object->firstSurface; s; s = s->next) {
        chainEnd = s;
        ++position;
    }
    SurfaceRecord* first = nullptr;
    SurfaceRecord* last = chainEnd;
    for (int i = 0; i < count; ++i) {
        SurfaceRecord* s = allocSurface();
        if (!s) {
            // Hand back what this call obtained and cut the chain where it ended before.
            while (first) {
                SurfaceRecord* next = first->next;
                freeSurface(first);
                first = next;
            }
            if (chainEnd)
                chainEnd->next = nullptr;
            else
                object->firstSurface = nullptr;
            object->surfaceCount = position;
            errorText(outputChannel, "%s", failMessage);
            return nullptr;
        }
        initSurfaceRecord(s);
        s->owner = object;
        s->number = position + i + 1;
        if (!first) first = s;
        if (last)
            last->next = s;
        else
            object->firstSurface = s;
        last = s;
    }
    object->surfaceCount = position + count;
    return first;
}

void releaseSurfaces(ObjectRecord* object) {
    SurfaceRecord* s = object->firstSurface;
    while (s) {
        SurfaceRecord* next = s->next;
        freeSurface(s);
        s = next;
    }
    object->firstSurface = nullptr;
    object->surfaceCount = 0;
}

SurfaceRecord* surfaceAt(ObjectRecord* object, int n) {
    int i = 1;
    for (SurfaceRecord* s = object->firstSurface; s; s = s->next, ++i)
        if (i == n) return s;
    return nullptr;
}

void setExtent(SurfaceRecord* surface, double xmin, double xmax, double ymin, double ymax,
               double zmin, double zmax) {
    double* e = surface->extent;
    e[0] = xmin;
    e[1] = xmax;
    e[2] = ymin;
    e[3] = ymax;
    e[4] = zmin;
    e[5] = zmax;
}
