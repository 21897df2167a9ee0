// DEFINE/MIRROR/CPC: the CPC surface, its terminal cone and its parameters on a new object.
#include <cmath>
#include <cstring>

#include "command/messages/messages.h"
#include "command/interpreter/parsed_command.h"
#include "engine/surfaces/alt_surfaces.h"
#include "engine/surfaces/cpc_surfaces.h"
#include "engine/surfaces/quadrics.h"
#include "engine/model/user_parameters.h"

namespace {

const char* const kCpcValueNames[] = {"input_angle", "output_angle", "radius_exit", " "};
const char* const kMirrorSurfaceTypes[] = {"concave", "both", "convex", " "};

// The first refused value in the order the command checks them, reported; true when all pass.
bool checkValues(double inputDegrees, double outputDegrees, double exitRadius, bool needsCone) {
    const char* refusal = nullptr;
    if (!(exitRadius > 0) || !std::isfinite(exitRadius))
        refusal = "Exit radius must be greater than 0.\n";
    else if (!(outputDegrees <= 90))
        refusal = "Output angle must be less than or equal to 90.\n";
    else if (!(inputDegrees <= 90))
        refusal = "Input angle must be less than or equal to 90.\n";
    else if (!(outputDegrees > 0))
        refusal = "Output angle must be greater than 0.\n";
    else if (!(inputDegrees > 0))
        refusal = "Input angle must be greater than 0.\n";
    else if (needsCone && !(inputDegrees < outputDegrees))
        // The cone's half angle is half the difference: without it the CPC has no foot.
        refusal = "Input angle must be less than output angle.\n";
    if (!refusal) return true;
    errorText(outputChannel, "%s", refusal);
    return false;
}

AltSurfaceRecord* cpcRecord(int kind, const char* name) {
    AltSurfaceRecord* r = newAltSurfaceRecord();
    if (checkAllocated(r)) return nullptr;
    r->kind = kind;
    r->routineName = name;
    r->valueCount = 7; // all 0: the CPC reads its object's parameters
    if (kind == kNormalAlternate)
        r->routine.normal = cpc_normal;
    else
        r->routine.intercept = cpc_intercept;
    return r;
}

// Takes the last record off the surface's chain.
void dropLastRecord(SurfaceRecord* surface) {
    AltSurfaceRecord** link = &surface->altSurfaces;
    if (!*link) return;
    while ((*link)->next)
        link = &(*link)->next;
    *link = nullptr;
}

} // namespace

int defineCpcMirror(ObjectRecord* object, SurfaceRecord* surface) {
    if (!object || !surface) return 1;
    getNumericValues(numericValues, kCpcValueNames, 3, numericGiven);
    const double defaults[3] = {20, 90, 20};
    for (int i = 0; i < 3; ++i)
        if (!numericGiven[i]) numericValues[i] = defaults[i];
    const double inputDegrees = numericValues[0], outputDegrees = numericValues[1];
    const double exitRadius = numericValues[2];
    const bool needsCone = 90 - outputDegrees > 0.00001;
    if (!checkValues(inputDegrees, outputDegrees, exitRadius, needsCone)) return 1;
    CpcShape shape;
    if (!cpcShape(inputDegrees * kDegree, outputDegrees * kDegree, exitRadius, shape)) {
        // Only an input angle too small for a CPC of finite size gets here.
        errorText(outputChannel, "Input angle must be greater than 0.\n");
        return 1;
    }
    outText(outputChannel, needsCone ? "A terminal cone will be added, as output angle is not 90 "
                                       "degrees.\n"
                                     : "A terminal cone will not be added, as output angle is 90 "
                                       "degrees.\n");

    int found = 0, several = 0, at = 0;
    getModifier(kMirrorSurfaceTypes, &found, &several, &at, "mirror surface type");
    int side = 1;
    if (found && std::strcmp(modifierWords[at], "both") == 0) side = 0;
    if (found && std::strcmp(modifierWords[at], "convex") == 0) side = -1;

    // Everything that can fail comes first, so that a refusal leaves the surfaces as they came.
    AltSurfaceRecord* normalRecord = cpcRecord(kNormalAlternate, "cpc_normal");
    if (!normalRecord) return 1;
    AltSurfaceRecord* interceptRecord = cpcRecord(kInterceptAlternate, "cpc_intercept");
    if (!interceptRecord) return 1;
    SurfaceRecord* coneSurface = nullptr;
    if (needsCone) {
        coneSurface = allocSurface();
        if (checkAllocated(coneSurface)) return 1;
    }
    auto giveBack = [&]() {
        if (coneSurface) freeSurface(coneSurface);
        return 1;
    };
    if (!allocUserParameters(object, 3, kCpcValueNames)) {
        checkAllocated(nullptr);
        return giveBack();
    }
    if (!appendAltSurface(surface, normalRecord)) return giveBack();
    if (!appendAltSurface(surface, interceptRecord)) {
        dropLastRecord(surface);
        return giveBack();
    }

    object->wireframeKind = kWireCpc;
    surface->reflectance = 1.0;
    surface->absorbtion = 0;
    surface->side = side;
    double* e = surface->extent;
    e[0] = e[2] = -shape.entranceRadius;
    e[1] = e[3] = shape.entranceRadius;
    e[4] = shape.wallBottom;
    e[5] = shape.wallTop;
    surface->intercept = cpc_intercept;
    surface->normal = cpc_normal;

    if (coneSurface) {
        initSurfaceRecord(coneSurface);
        coneSurface->owner = object;
        coneSurface->number = surface->number + 1;
        coneSurface->shapeCode = kShapeCone;
        const double rc = shape.bottomRadius, l = shape.wallBottom, d = shape.coneApex;
        cone(coneSurface->quadric, rc, rc, l + d);
        moveSurface("local", coneSurface, 0, 0, -d);
        double* ce = coneSurface->extent;
        ce[0] = ce[2] = -rc;
        ce[1] = ce[3] = rc;
        ce[4] = d;
        ce[5] = l + d;
        coneSurface->side = -side;
        coneSurface->reflectance = 1.0;
        coneSurface->absorbtion = 0;
        coneSurface->typeData = surface;
        coneSurface->next = surface->next;
        surface->next = coneSurface;
        ++object->surfaceCount;
    }

    setUserParameters(object, numericValues);
    object->typeCode = kTypeCpc;
    object->referencePoint = {};
    object->boundingRadius = 0; // always tested: the wall reaches far from any small sphere
    return 0;
}
